#include "kivora-arena/ArenaRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <tuple>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "base/Random.h"
#include "base/JsonText.h"
#include "base/TextCodec.h"
#include "game/ReplayPlayer.h"
#include "game/Trace.h"
#include "support/ModelText.h"
#include "support/StreamText.h"
#include "support/TempDir.h"
#include "support/TextLines.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadWhole;
using test::Lines;

// A model file: level, hit points, ammunition; every state lasts 3 ticks
// except walking (no countdown).
std::string ModelText(int level, int hp, int ammo) {
  std::string text = std::to_string(level) + "\n" + std::to_string(hp) + ",0,0,0,30\n100,20\n10,500,40,0\n" +
                     std::to_string(ammo) + ",0,0\n5\n";
  for (int i = 0; i < 21; ++i) text += (i >= 1 && i <= 4) ? "0\n" : "3\n";
  return text;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class ArenaRunTest : public ::testing::Test {
protected:
  // Runs the arena as if started in `start`: the trace and the frames named
  // on the command line are written there.
  // `out`, when given, takes standard output instead of a temporary file;
  // `stop` is the signal that asks the run to end.
  Outcome Run(std::vector<std::string> args, std::FILE* givenOut = nullptr, int stopSignal = 0) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
      if ((args[i] == "--trace" || args[i] == "--frames" || args[i] == "--json" || args[i] == "--record") &&
          args[i + 1] != "-" &&
          args[i + 1].front() != '/')
        args[i + 1] = (start.Path() / args[i + 1]).string();
    }
    std::string error;
    const auto options = ParseArenaOptions(args, error);
    EXPECT_TRUE(options) << error;
    if (!options) return {2, "", error};
    std::FILE* out = givenOut ? givenOut : std::tmpfile();
    std::FILE* err = std::tmpfile();
    const std::atomic<int> stop{stopSignal};
    Outcome outcome;
    outcome.status = RunArena(*options, out, err, &stop);
    if (!givenOut) outcome.out = ReadWhole(out);
    outcome.err = ReadWhole(err);
    if (!givenOut) std::fclose(out);
    std::fclose(err);
    return outcome;
  }

  test::TempDir start;  // where the program is started
  test::TempDir data;   // the data directory
};

TEST_F(ArenaRunTest, TickZeroListsTheSetUpInFieldOrder) {
  data.Write("map.txt", "0,15800,32000,400\n-100,250,800,800\n");
  const Outcome run = Run({"--ticks", "0", "--quiet", "--trace", "-", data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 1u + 2 + 10 + 10);  // no model file: no rival unit
  EXPECT_EQ(lines[0], "T 0 money=1000 points=0 wallet=1000 debt=0 players=0");
  EXPECT_EQ(lines[1], "O 1 3 x=0 y=15800 w=32000 h=400 dir=0 st=0 tm=0 v=0,0 spin=0 tgt=-");
  EXPECT_EQ(lines[2], "O 2 3 x=-100 y=250 w=800 h=800 dir=0 st=0 tm=0 v=0,0 spin=0 tgt=-");
  // The random walls and parts from the set-up generator seeded with 1.
  Random setup(1);
  for (int i = 0; i < 20; ++i) {
    const int reach = i < 10 ? 150 : 100;
    const int x = randomRange(setup, -reach, reach) * 100;
    const int y = randomRange(setup, -reach, reach) * 100;
    const int size = i < 10 ? 800 : 200;
    EXPECT_EQ(lines[3 + static_cast<std::size_t>(i)],
              "O " + std::to_string(3 + i) + (i < 10 ? " 3" : " 5") + " x=" + std::to_string(x) +
                  " y=" + std::to_string(y) + " w=" + std::to_string(size) + " h=" + std::to_string(size) +
                  " dir=0 st=0 tm=0 v=0,0 spin=0 tgt=-");
  }
}

TEST_F(ArenaRunTest, UnitLinesShowProgramCounterAndVariables) {
  data.Write("map.txt", "");
  data.Write("m.spc", ModelText(3, 100, 7));
  data.Write("v.prg", "# counts\nVAR,A=5\nVAR,C=-2\n:loop\nNOP\n>loop\n");
  const Outcome run =
      Run({"--ticks", "1", "--quiet", "--trace", "-", "--player", "m.spc:v.prg", "--rival", "m.spc:",
           data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto lines = Lines(run.out);
  // Tick 0: the rival of the set-up (id 21, with v.prg, the only program),
  // then the player's unit (22) and the rival of the command line (23).
  ASSERT_EQ(lines.size(), 2u * (1 + 20 + 3));
  EXPECT_EQ(lines[0], "T 0 money=1000 points=0 wallet=1000 debt=0 players=1");
  const std::regex unit(R"(O (\d+) (\d) x=-?\d+ y=-?\d+ w=400 h=400 dir=-?\d+ st=0 tm=0 v=0,0 spin=0 tgt=- )"
                        R"(hp=100 ammo=7 prone=0 pc=(\S+) vars=(\S+))");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[21], m, unit)) << lines[21];
  EXPECT_EQ(m[1], "21");
  EXPECT_EQ(m[2], "2");
  EXPECT_EQ(m[3], "0");
  EXPECT_EQ(m[4], "-");
  ASSERT_TRUE(std::regex_match(lines[22], m, unit)) << lines[22];
  EXPECT_EQ(m[1], "22");
  EXPECT_EQ(m[2], "1");
  ASSERT_TRUE(std::regex_match(lines[23], m, unit)) << lines[23];
  EXPECT_EQ(m[1], "23");
  EXPECT_EQ(m[3], "-");  // no program
  // Tick 1: three commands ran (level 3): both VARs and the NOP, which loops.
  EXPECT_EQ(lines[24], "T 1 money=1000 points=0 wallet=1000 debt=0 players=1");
  ASSERT_TRUE(std::regex_match(lines[46], m, unit)) << lines[46];
  EXPECT_EQ(m[3], "2");
  EXPECT_EQ(m[4], "A:5,C:-2");
}

TEST_F(ArenaRunTest, BulletsGetTheNextIdsAndNameTheirOwner) {
  data.Write("m.spc", ModelText(1, 1000, 3));
  data.Write("f.prg", "FIRE,900(0,360)\n");
  const Outcome run = Run({"--ticks", "40", "--quiet", "--trace", "-", "--player", "m.spc:f.prg",
                           "--rival", "m.spc:", data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  // ids 1-20 walls and parts, 21 the set-up rival, 22 the player's, 23 the rival.
  const std::regex bullet(R"(O (\d+) 4 .* tgt=(\S+) alive=[01] life=-?\d+ power=-?\d+ owner=(\d+))");
  int bullets = 0;
  for (const std::string& line : Lines(run.out)) {
    std::smatch m;
    if (!std::regex_match(line, m, bullet)) continue;
    ++bullets;
    EXPECT_GE(std::stoi(m[1]), 24);
    EXPECT_TRUE(m[3] == "21" || m[3] == "22") << line;
  }
  EXPECT_GT(bullets, 0);
}

TEST_F(ArenaRunTest, SameSeedSameBattleAndTheWorldKeepsItsOwnGenerator) {
  data.Write("m.spc", ModelText(2, 100, 5));
  data.Write("r.prg", ":top\nRANDOM,1/2,one\nVAR,B+1\n>top\n:one\nVAR,A+1\n>top\n");
  auto traceOf = [&](const char* seed) {
    const Outcome run = Run({"--ticks", "50", "--quiet", "--seed", seed, "--trace", "-", "--player",
                             "m.spc:r.prg", data.Path().string()});
    EXPECT_EQ(run.status, 0);
    return run.out;
  };
  const std::string first = traceOf("7");
  EXPECT_EQ(first, traceOf("7"));
  // Another set-up seed moves everything, but the draws inside the ticks
  // (here the units' RANDOM commands) come out the same.
  const std::string other = traceOf("8");
  EXPECT_NE(first, other);
  auto variables = [&](const std::string& trace) {
    std::string all;
    const std::regex vars(R"(vars=(\S+))");
    for (std::sregex_iterator it(trace.begin(), trace.end(), vars), end; it != end; ++it) all += (*it)[1].str() + ";";
    return all;
  };
  EXPECT_EQ(variables(first), variables(other));
  EXPECT_NE(variables(first).find("A:"), std::string::npos);
}

TEST_F(ArenaRunTest, TraceEveryAndTraceFileRelativeToTheStart) {
  const Outcome run = Run({"--ticks", "25", "--quiet", "--trace", "t.txt", "--trace-every", "10", data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  std::string ticks;
  for (const std::string& line : Lines(ReadFile(start.Path() / "t.txt"))) {
    if (line.rfind("T ", 0) == 0) ticks += line.substr(2, line.find(' ', 2) - 2) + " ";
  }
  EXPECT_EQ(ticks, "0 10 20 ");
}

TEST_F(ArenaRunTest, MissingMapIsReportedAndTheRunGoesOn) {
  const Outcome run = Run({"--ticks", "3", "--quiet", data.Path().string()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "マップファイルが読み込めません\n");
}

// Each failure before the first tick names the file and says why; nothing
// is traced then.
TEST_F(ArenaRunTest, FailuresBeforeTheFirstTickSayWhy) {
  data.Write("map.txt", "");
  data.Write("m.spc", ModelText(1, 100, 5));
  data.Write("bad.spc", "1\n2\n");
  data.MakeDir("dir.spc");
  data.MakeDir("dir.prg");
  start.Write("file", "");
  start.MakeDir("t.dir");
  const std::string trace = (start.Path() / "t.txt").string();
  const std::string at = start.Path().string() + "/";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"--player", "m.spc:nosuch.prg"},
       "cannot read the program nosuch.prg: file not found (No such file or directory)"},
      {{"--rival", "m.spc:dir.prg"}, "cannot read the program dir.prg: not a regular file"},
      {{"--player", "missing.spc"}, "cannot load the model missing.spc: file not found (No such file or directory)"},
      {{"--rival", "bad.spc:x.prg"}, "cannot load the model bad.spc: line 2: expected 5 numbers: hit points, three "
                                     "unused, aim turn rate, separated by commas"},
      {{"--player", "dir.spc"}, "cannot load the model dir.spc: not a regular file"},
      {{"--trace", "t.dir"}, "cannot create the trace file " + at + "t.dir: Is a directory"},
      {{"--trace", "no/t.txt"}, "cannot create the trace file " + at + "no/t.txt: No such file or directory"},
      {{"--json", "no/r.json"}, "cannot create the JSON file " + at + "no/r.json: No such file or directory"},
      {{"--frames", "file/frames"}, "cannot create the frame directory " + at + "file/frames: Not a directory"},
      {{(data.Path() / "nowhere").string()},
       "cannot enter " + (data.Path() / "nowhere").string() + ": No such file or directory"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    if (args.size() > 1) {
      if (args.front() != "--trace") args.insert(args.end(), {"--trace", trace});
      args.push_back(data.Path().string());
    }
    const Outcome run = Run(args);
    EXPECT_EQ(run.status, 2) << c.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "kivora-arena: " + c.err + "\n");
    EXPECT_FALSE(fs::exists(trace)) << "nothing may be traced: " << c.err;
  }
}

// The summary, the trace and the frames all check that they were written,
// and the run stops at the first that was not.
TEST_F(ArenaRunTest, OutputsThatCannotBeWrittenFailWithTheReason) {
  data.Write("map.txt", "");
  {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_TRUE(full);
    const Outcome run = Run({"--ticks", "10", data.Path().string()}, full);
    std::fclose(full);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivora-arena: cannot write the summary: No space left on device\n");
  }
  {
    // The trace is written as it goes: a full disk shows long before the end.
    const Outcome run = Run({"--ticks", "100000", "--trace", "/dev/full", data.Path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivora-arena: cannot write the trace to /dev/full: No space left on device\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(run.out, m, std::regex(R"(\nstopped at tick (\d+): an output could not be written\n)")))
        << run.out;
    EXPECT_LT(std::stoul(m[1]), 100000u);
  }
  {
    // A frame on a full disk: the cut-off file goes, and no frame follows.
    const fs::path frames = start.MakeDir("frames");
    fs::create_symlink("/dev/full", frames / "frame-000010.bmp");
    const Outcome run = Run({"--ticks", "50", "--quiet", "--frames", "frames", data.Path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kivora-arena: cannot write the frame " + (frames / "frame-000010.bmp").string() +
                           ": No space left on device\n");
    EXPECT_TRUE(fs::exists(frames / "frame-000000.bmp"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(frames / "frame-000010.bmp")));
    EXPECT_FALSE(fs::exists(frames / "frame-000020.bmp"));
  }
}

// A stop asked for from outside ends the run after the tick in hand, with
// everything written and said.
TEST_F(ArenaRunTest, AStopWritesWhatWasTracedAndSaysSo) {
  data.Write("map.txt", "");
  for (const auto& [signal, name, status] : {std::tuple{SIGINT, "SIGINT", 130}, std::tuple{SIGTERM, "SIGTERM", 143}}) {
    const Outcome run = Run({"--ticks", "100", "--trace", "t.txt", "--trace-every", "36000", "--json", "r.json",
                             data.Path().string()},
                            nullptr, signal);
    EXPECT_EQ(run.status, status);
    const std::string said = std::string("interrupted at tick 0 by ") + name;
    EXPECT_EQ(run.err, "kivora-arena: " + said + "\n");
    EXPECT_NE(run.out.find("\n" + said + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("result: none, stopped at tick 0"), std::string::npos) << run.out;
    const std::string trace = ReadFile(start.Path() / "t.txt");
    EXPECT_EQ(trace.rfind("T 0 ", 0), 0u);
    EXPECT_EQ(trace.find("T 1 "), std::string::npos);
    EXPECT_NE(ReadFile(start.Path() / "r.json").find(std::string("\"stopped\": \"") + name + "\""), std::string::npos);
  }
}

// File names are bytes, often Shift-JIS; what is printed is UTF-8.
TEST_F(ArenaRunTest, MessagesNameShiftJisFilesInUtf8) {
  const std::string name = "\x83\x65\x83\x58\x83\x67";  // "テスト" in Shift-JIS
  data.Write("map.txt", "");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{(data.Path() / name).string()}, "テスト"},
      {{"--player", name + ".spc", data.Path().string()}, "cannot load the model テスト.spc"},
      {{"--trace", "no/" + name, data.Path().string()}, "no/テスト"},
  };
  for (const auto& [args, shown] : cases) {
    const Outcome run = Run(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(IsValidUtf8(run.err)) << run.err;
    EXPECT_NE(run.err.find(shown), std::string::npos) << run.err;
  }
}

TEST_F(ArenaRunTest, CampaignStepsEvery1800TicksOnStandardError) {
  data.Write("map.txt", "");
  data.Write("m.spc", ModelText(1, 100, 5));
  const Outcome run = Run({"--ticks", "3600", "--quiet", "--campaign", data.Path().string()});
  ASSERT_EQ(run.status, 0);
  const auto lines = Lines(run.err);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("[1800] ポボゴム「", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("[1800] ポボゴムがＯＫＥを", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("[3600] ポボゴム「", 0), 0u) << lines[2];
}

TEST_F(ArenaRunTest, FramesAtTickZeroAndEveryKthTick) {
  data.Write("map.txt", "0,0,3200,3200\n");
  const Outcome run = Run({"--ticks", "25", "--quiet", "--frames", "out/frames", "--frame-every", "10",
                           data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(start.Path() / "out" / "frames")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame-000000.bmp", "frame-000010.bmp", "frame-000020.bmp"}));
  const std::string frame = ReadFile(start.Path() / "out" / "frames" / "frame-000020.bmp");
  ASSERT_EQ(frame.size(), 54u + 320 * 320 * 3);
  // No background picture: white, with the map's wall in dark gray in the middle.
  const auto pixel = [&](int x, int y) {  // bottom-up rows of three bytes
    const std::size_t at = 54 + (static_cast<std::size_t>(319 - y) * 320 + static_cast<std::size_t>(x)) * 3;
    return std::string(frame, at, 3);
  };
  EXPECT_EQ(pixel(160, 160), std::string(3, '\x40'));
  EXPECT_EQ(pixel(2, 2), std::string(3, '\xff'));
}

TEST_F(ArenaRunTest, SummaryNamesTheUnitsOfBothSides) {
  data.Write("map.txt", "");
  data.Write("m.spc", ModelText(1, 100, 5));
  data.Write("p.prg", "STOP\n");
  const Outcome run = Run({"--ticks", "2", "--player", "m.spc:p.prg", data.Path().string()});
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("player's side: 1 unit\n  #22 m.spc p.prg hp=100 ammo=5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("rival's side: 1 unit\n  #21 m.spc p.prg"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("money 1000, rival points 0, leader's purse 1000, debt 0"), std::string::npos);
}

}  // namespace
}  // namespace kivora

namespace kivora {
namespace {

// A duel on an empty field, its result, the units' statistics and the JSON.
TEST_F(ArenaRunTest, ADuelIsOneCommand) {
  // 10 hit points; one bullet (power 100, 500 field units a tick) kills.
  data.Write("gun.spc", test::ModelText("1\n10,0,0,0,360\n100,1000\n100,500,40,0\n5,0,0\n100\n"));
  data.Write("fire.prg", ":top\nFIRE,300(0,60)\n>top\n");
  data.Write("map.txt", "0,15800,32000,400\n");
  const Outcome run = Run({"--no-rival", "--no-random", "--no-map", "--until-decided", "--sim-seed", "9", "--player",
                           "gun.spc:fire.prg", "--at", "0,0,0", "--rival", "gun.spc:", "--at", "0,5000,180", "--json",
                           "r.json", "--trace", "t.txt", data.Path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string out = run.out.substr(run.out.find('\n') + 1);  // after the timing
  EXPECT_EQ(out,
            "player's side: 1 unit\n"
            "  #1 gun.spc fire.prg hp=10 ammo=3 at (0,0) dir=0\n"
            "rival's side: 0 units\n"
            "bullets in flight: 1, parts on the field: 1\n"
            "money 1000, rival points 0, leader's purse 1000, debt 0\n"
            "result: the player's side won at tick 12\n"
            "units that took part: 2\n"
            "  #1 player's side gun.spc fire.prg: survived, hp 10, ammo 3\n"
            "    shots 2, hits 1 (friendly 0), damage dealt 10 (friendly 0), damage taken 0, parts 0\n"
            "  #2 rival's side gun.spc -: fell at tick 12, last hit by the bullet of #1 gun.spc fire.prg\n"
            "    shots 0, hits 0 (friendly 0), damage dealt 0 (friendly 0), damage taken 10, parts 0\n");
  // No map, no random walls or parts: the trace holds the two units alone.
  const auto trace = Lines(ReadFile(start.Path() / "t.txt"));
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[1].rfind("O 1 1 x=0 y=0 w=400 h=400 dir=0 ", 0), 0u) << trace[1];
  EXPECT_EQ(trace[2].rfind("O 2 2 x=0 y=5000 w=400 h=400 dir=180 ", 0), 0u) << trace[2];
  EXPECT_EQ(trace[3], "T 1 money=1000 points=0 wallet=1000 debt=0 players=1");

  // One member a line, as JsonWriter writes it; compared without the
  // line breaks and indentation.
  std::string json = ReadFile(start.Path() / "r.json");
  ASSERT_FALSE(json.empty());
  EXPECT_EQ(json.back(), '\n');
  json = std::regex_replace(json, std::regex("\n *"), "");
  std::string directory;
  AppendJsonString(directory, data.Path().native());
  std::string expected =
      R"({"format": "kivora-arena","version": 1,"setup": {"directory": DIR,"seed": 1,"sim_seed": 9,)"
      R"("map": false,"random_walls_and_parts": false,"setup_rival": false,"campaign": false,"ticks": 3000,)"
      R"("until_decided": true,"units": [{"side": "player","model": "gun.spc","program": "fire.prg",)"
      R"("at": {"x": 0,"y": 0,"dir": 0}},{"side": "rival","model": "gun.spc","program": null,)"
      R"("at": {"x": 0,"y": 5000,"dir": 180}}]},"ticks_run": 12,"stopped": null,)"
      R"("result": {"winner": "player","decided_at": 12,"end": "decided"},)"
      R"("sides": {"player": {"units_left": 1,"hp_left": 10,"damage_dealt": 10},)"
      R"("rival": {"units_left": 0,"hp_left": 0,"damage_dealt": 0}},)"
      R"("units": [{"id": 1,"side": "player","origin": "given","model": "gun.spc","program": "fire.prg",)"
      R"("deployed_at": 0,"survived": true,"fell_at": null,"last_hit": null,"shots": 2,"hits": 1,)"
      R"("friendly_hits": 0,"damage_dealt": 10,"friendly_damage": 0,"damage_taken": 0,"parts": 0,"hp": 10,)"
      R"("ammo": 3},{"id": 2,"side": "rival","origin": "given","model": "gun.spc","program": null,)"
      R"("deployed_at": 0,"survived": false,"fell_at": 12,)"
      R"("last_hit": {"by": 1,"weapon": "bullet","shooter_fell": false},"shots": 0,"hits": 0,)"
      R"("friendly_hits": 0,"damage_dealt": 0,"friendly_damage": 0,"damage_taken": 10,"parts": 0,"hp": 0,)"
      R"("ammo": 5}]})";
  expected.replace(expected.find("DIR"), 3, directory);
  EXPECT_EQ(json, expected);
}

// A recorded campaign plays back in a folder of its own, with the data
// folder changed and its rival's listing gone: every tick's trace is the
// trace of the run that recorded it, up to where the run was stopped.
TEST_F(ArenaRunTest, ARecordedBattlePlaysBackTickForTick) {
  data.Write("map.txt", "0,15800,32000,400\n");
  data.Write("m.spc", ModelText(1, 100, 5));
  data.Write("n.spc", ModelText(2, 60, 9));
  data.Write("walk.prg", ":a\nFORWARD\nTURNLEFT\n>a\n");
  data.Write("shoot.prg", ":a\nFIRE,300(0,60)\nRANDOM,50,b\n>a\n:b\nJUMPRIGHT\n>a\n");
  data.MakeDir("dir.spc");  // takes its turn in the rival's draw
  for (const int signal : {0, SIGINT}) {
    const Outcome run = Run({"--ticks", "3700", "--campaign", "--seed", "5", "--player", "m.spc:shoot.prg", "--trace",
                             "t.txt", "--record", "r.kvr", "--quiet", data.Path().string()},
                            nullptr, signal);
    ASSERT_EQ(run.status, signal == 0 ? 0 : 128 + signal) << run.err;
    const std::string recorded = ReadFile(start.Path() / "t.txt");
    std::string why;
    auto player = ReplayPlayer::Open(start.Path() / "r.kvr", why);
    ASSERT_TRUE(player) << why;
    EXPECT_EQ(player->Ticks(), signal == 0 ? 3700u : 0u);
    std::string again;
    for (std::uint64_t tick = 0;; ++tick) {
      AppendTraceTick(again, tick, *player->Shown().Lock(), player->Shown().GetEconomy());
      if (!player->StepForward()) break;
    }
    EXPECT_TRUE(again == recorded) << "the replay's trace differs from the run's";
    if (signal == 0) {
      // The campaign's deployments are in it.
      EXPECT_TRUE(std::any_of(player->Units().begin(), player->Units().end(),
                              [](const ReplayUnitInfo& u) { return u.origin == UnitOrigin::Campaign; }));
    }
  }
  // The data folder can change or go: the replay holds what it read.
  data.Write("shoot.prg", ":a\nSTOP\n>a\n");
  std::error_code ec;
  fs::remove_all(data.Path() / "dir.spc", ec);
  std::string why;
  EXPECT_TRUE(ReplayPlayer::Open(start.Path() / "r.kvr", why)) << why;
}

// A replay that cannot be written whole fails the run and is not left
// behind cut off; a file that is not a plain one is never removed.
TEST_F(ArenaRunTest, AReplayThatCannotBeWrittenFails) {
  data.Write("map.txt", "");
  const Outcome full = Run({"--ticks", "10", "--quiet", "--record", "/dev/full", data.Path().string()});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "kivora-arena: cannot write the replay to /dev/full: No space left on device\n");
  EXPECT_TRUE(fs::exists("/dev/full"));
  const Outcome early = Run({"--ticks", "10", "--quiet", "--trace", "/dev/null", "--record", "no/r.kvr",
                             data.Path().string()});
  EXPECT_EQ(early.status, 2);
  EXPECT_EQ(early.err, "kivora-arena: cannot create the replay file " + (start.Path() / "no/r.kvr").string() +
                           ": No such file or directory\n");
  EXPECT_TRUE(fs::exists("/dev/null"));
}

// The program itself: SIGTERM in the middle of a long run with a sparse
// trace ends it after the tick in hand with the trace and the summary
// written. The trace reaches its file within a second of run time, so the
// test waits for that before it signals.
TEST(ArenaSignalTest, SigtermFinishesTheTickWritesTheTraceAndExits143) {
  const fs::path tool = fs::path(KIVORA_BINARY_DIR) / "tools" / "kivora-arena";
  if (!fs::exists(tool)) GTEST_SKIP() << "kivora-arena not built";
  test::TempDir dir;
  dir.Write("map.txt", "");
  const fs::path trace = dir.Path() / "t.txt";
  const fs::path out = dir.Path() / "out.txt";
  const fs::path err = dir.Path() / "err.txt";
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    ::execl(tool.c_str(), "kivora-arena", "--ticks", "1000000000000", "--trace", trace.c_str(), "--trace-every",
            "36000000000", dir.Path().c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  auto traced = [&] {
    std::error_code ec;
    return fs::exists(trace, ec) && fs::file_size(trace, ec) > 0;
  };
  for (int i = 0; i < 600 && !traced(); ++i) ::usleep(50000);
  EXPECT_TRUE(traced()) << "tick 0 should have been written within a second";
  ::kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 143);
  EXPECT_EQ(ReadFile(trace).rfind("T 0 money=1000 ", 0), 0u);
  const std::string summary = ReadFile(out);
  EXPECT_NE(summary.find("\ninterrupted at tick "), std::string::npos) << summary;
  EXPECT_NE(summary.find(" by SIGTERM\n"), std::string::npos) << summary;
  EXPECT_NE(ReadFile(err).find("kivora-arena: interrupted at tick "), std::string::npos);
}

}  // namespace
}  // namespace kivora
