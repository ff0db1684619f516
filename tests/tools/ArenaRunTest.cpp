#include "kivora-arena/ArenaRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "base/Random.h"
#include "base/TextCodec.h"
#include "support/TempDir.h"
#include "support/TextLines.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using test::Lines;

// A model file: level, hit points, ammunition; every state lasts 3 ticks
// except walking (no countdown).
std::string ModelText(int level, int hp, int ammo) {
  std::string text = std::to_string(level) + "\n" + std::to_string(hp) + ",0,0,0,30\n100,20\n10,500,40,0\n" +
                     std::to_string(ammo) + ",0,0\n5\n";
  for (int i = 0; i < 21; ++i) text += (i >= 1 && i <= 4) ? "0\n" : "3\n";
  return text;
}

std::string ReadWhole(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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
  Outcome Run(std::vector<std::string> args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
      if ((args[i] == "--trace" || args[i] == "--frames") && args[i + 1] != "-" && args[i + 1].front() != '/')
        args[i + 1] = (start.Path() / args[i + 1]).string();
    }
    std::string error;
    const auto options = ParseArenaOptions(args, error);
    EXPECT_TRUE(options) << error;
    if (!options) return {2, "", error};
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Outcome outcome;
    outcome.status = RunArena(*options, out, err);
    outcome.out = ReadWhole(out);
    outcome.err = ReadWhole(err);
    std::fclose(out);
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

TEST_F(ArenaRunTest, FailuresBeforeTheFirstTick) {
  data.Write("map.txt", "");
  data.Write("bad.spc", "1\n2\n");
  data.MakeDir("dir.spc");
  struct Case {
    std::vector<std::string> args;
  };
  const std::vector<std::vector<std::string>> cases = {
      {"--player", "missing.spc"},
      {"--rival", "bad.spc:x.prg"},
      {"--player", "dir.spc"},
  };
  for (std::vector<std::string> args : cases) {
    args.insert(args.end(), {"--trace", "t.txt", data.Path().string()});
    const Outcome run = Run(args);
    EXPECT_EQ(run.status, 2) << args[1];
    EXPECT_NE(run.err, "");
    EXPECT_FALSE(fs::exists(start.Path() / "t.txt")) << "nothing may be traced";
  }
  EXPECT_EQ(Run({(data.Path() / "nowhere").string()}).status, 2);
  EXPECT_EQ(Run({"--trace", (data.Path() / "no" / "such" / "t.txt").string(), data.Path().string()}).status, 2);
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
