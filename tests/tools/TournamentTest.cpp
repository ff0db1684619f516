// kivora-tournament: its command line, its list of battles, the standings'
// arithmetic, and that threads and slices never change a result.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <algorithm>
#include <map>
#include <tuple>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/Replay.h"
#include "kivora-tournament/Standings.h"
#include "kivora-tournament/TournamentJson.h"
#include "kivora-tournament/TournamentOptions.h"
#include "kivora-tournament/TournamentRun.h"
#include "support/StreamText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadWhole;

const fs::path kArena = fs::path(KIVORA_SOURCE_DIR) / "arena";

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

// Parses `args` as the command line and runs the tournament in-process.
Outcome RunWith(const std::vector<std::string>& args, const std::atomic<int>* stop = nullptr) {
  Outcome run;
  std::string error;
  const auto options = ParseTournamentOptions(args, error);
  if (!options) {
    run.status = -1;
    run.err = error;
    return run;
  }
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  run.status = RunTournament(*options, out, err, stop);
  run.out = ReadWhole(out);
  run.err = ReadWhole(err);
  std::fclose(out);
  std::fclose(err);
  return run;
}

// Three of the default arena's programs over two seeds: 12 duels.
std::vector<std::string> SmallTournament() {
  return {"--dir", kArena.string(), "--seeds", "2", "standard.spc:hunter.prg", "standard.spc:guard.prg",
          "scout.spc:sniper.prg"};
}

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more) {
  args.insert(args.end(), more);
  return args;
}

TEST(TournamentOptionsTest, RefusesBadArgumentsWithAReason) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--seeds", "0", "a:b", "c:d"}, "--seeds wants a whole number from 1 to 1000000, not 0"},
      {{"--seeds", "1000001", "a:b", "c:d"}, "--seeds wants a whole number from 1 to 1000000, not 1000001"},
      {{"--seeds", "-3", "a:b", "c:d"}, "--seeds wants a whole number from 1 to 1000000, not -3"},
      {{"--ticks", "0", "a:b", "c:d"}, "--ticks wants a whole number from 1 to 1000000000000, not 0"},
      {{"--ticks", "18446744073709551615"}, "--ticks wants a whole number from 1 to 1000000000000"},
      {{"--threads", "0"}, "--threads wants a whole number from 1 to 1024, not 0"},
      {{"--threads", "2x"}, "--threads wants a whole number from 1 to 1024, not 2x"},
      {{"--first-seed", "4294967296"}, "--first-seed wants a number from 0 to 4294967295, not 4294967296"},
      {{"--sim-seed", ""}, "--sim-seed wants a number from 0 to 4294967295, not "},
      {{"--shard", "0/3", "--json", "x"}, "--shard wants K/N, the K-th of N slices with 1 <= K <= N, not 0/3"},
      {{"--shard", "4/3", "--json", "x"}, "--shard wants K/N"},
      {{"--shard", "1/0", "--json", "x"}, "--shard wants K/N"},
      {{"--shard", "1-3", "--json", "x"}, "--shard wants K/N"},
      {{"--shard", "1/3", "a:b", "c:d"}, "--shard wants --json FILE, where the slice's battles go"},
      {{"--json", "-"}, "--json wants a file name (the standings themselves go to standard output)"},
      {{"--csv", ""}, "--csv wants a file name"},
      {{"--entries", ""}, "--entries wants a file name"},
      {{"--dir"}, "--dir needs a value"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"--\x1b[2J"}, "unknown option --\\x1b[2J"},
      {{"hunter.prg"}, "an entry is SPC:PRG, a model and a program file, not hunter.prg"},
      {{"standard.spc:"}, "an entry is SPC:PRG, a model and a program file, not standard.spc:"},
      {{":hunter.prg"}, "an entry is SPC:PRG"},
      {{"--merge"}, "--merge wants the JSON files of the slices"},
      {{"--merge", "--seeds", "3", "a.json"}, "--merge takes the tournament from its files; --seeds does not go with it"},
      {{"--merge", "--melee", "a.json"}, "--melee does not go with it"},
      {{"--merge", "--shard", "1/2", "--json", "x", "a.json"}, "--shard does not go with it"},
      {{"--merge", "--record-battle", "0", "r.kvr", "a.json"}, "--merge plays no battles; --record-battle does not go"},
      {{"--merge", "--record-all", "d", "a.json"}, "--record-all does not go with it"},
      {{"--record-battle", "x", "r.kvr"}, "--record-battle wants a battle index, a whole number from 0, not x"},
      {{"--record-battle", "-1", "r.kvr"}, "--record-battle wants a battle index"},
      {{"--record-battle", "3"}, "--record-battle needs a battle index and a file name"},
      {{"--record-battle", "3", "-"}, "--record-battle wants a file name after the index"},
      {{"--record-all", ""}, "--record-all wants a directory"},
      {{"--record-all", "d", "--record-battle", "1", "r.kvr"}, "--record-battle and --record-all do not go together"},
      {{"--ticks", "1000001", "--record-all", "d", "a:b", "c:d"},
       "--record-all holds at most 1000000 ticks a battle; --ticks asks for 1000001"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& arg : c.args) shown += arg + " ";
    SCOPED_TRACE(shown);
    std::string error;
    EXPECT_FALSE(ParseTournamentOptions(c.args, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(TournamentOptionsTest, TakesEveryOptionInto) {
  std::string error;
  const auto options = ParseTournamentOptions(
      {"--dir", "d", "--melee", "--seeds", "7", "--first-seed", "4294967289", "--sim-seed", "9", "--ticks", "500",
       "--full-time", "--no-map", "--with-random", "--with-rival", "--campaign", "--threads", "3", "--shard", "2/5",
       "--json", "j", "--csv", "c", "a.spc:x.prg", "--", "-b.spc:y:z.prg"},
      error);
  ASSERT_TRUE(options) << error;
  const TournamentSpec& spec = options->spec;
  EXPECT_EQ(spec.folder, "d");
  EXPECT_EQ(spec.mode, TournamentMode::Melee);
  EXPECT_EQ(spec.seeds, 7u);
  EXPECT_EQ(spec.firstSeed, 4294967289u);
  EXPECT_EQ(spec.simSeed, 9u);
  EXPECT_EQ(spec.ticks, 500u);
  EXPECT_FALSE(spec.untilDecided);
  EXPECT_FALSE(spec.parts.map);
  EXPECT_TRUE(spec.parts.randomWallsAndParts);
  EXPECT_TRUE(spec.parts.rival);
  EXPECT_TRUE(spec.campaign);
  EXPECT_EQ(options->threads, 3u);
  EXPECT_EQ(options->shard, (Shard{2, 5}));
  EXPECT_EQ(spec.entries, (std::vector<Entry>{{"a.spc", "x.prg"}, {"-b.spc", "y:z.prg"}}));
  // The last seed is 4294967295: still fine; one more is not.
  EXPECT_FALSE(CheckTournament(spec));
  TournamentSpec past = spec;
  past.seeds = 8;
  EXPECT_EQ(CheckTournament(past).value_or(""),
            "the seeds would go past 4294967295: --first-seed 4294967289 with --seeds 8");
}

TEST(TournamentOptionsTest, ReadsEntriesFilesAndNamesTheirFaults) {
  test::TempDir dir;
  std::vector<Entry> entries;
  std::string error;
  const fs::path good = dir.Write("good.txt", "# the gunners\n  standard.spc:hunter.prg\r\n\n\tgunner.spc:guard.prg  \n");
  ASSERT_TRUE(ReadEntriesFile(good.string(), entries, error)) << error;
  EXPECT_EQ(entries, (std::vector<Entry>{{"standard.spc", "hunter.prg"}, {"gunner.spc", "guard.prg"}}));

  const struct {
    const char* name;
    std::string bytes;
    const char* reason;  // after the file's name
  } cases[] = {
      {"bad.txt", "a.spc:b.prg\n\nhunter.prg\n", ":3: an entry is SPC:PRG, a model and a program file, not hunter.prg"},
      {"esc.txt", "x\x1b]0;owned\x07\n", ":1: an entry is SPC:PRG, a model and a program file, not x\\x1b]0;owned\\x07"},
      {"big.txt", std::string((1 << 20) + 1, '#'), " is larger than 1 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = dir.Write(c.name, c.bytes);
    entries.clear();
    EXPECT_FALSE(ReadEntriesFile(path.string(), entries, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  std::string many;
  for (std::size_t i = 0; i <= kMaxEntries; ++i) many += "m.spc:p" + std::to_string(i) + ".prg\n";
  entries.clear();
  EXPECT_FALSE(ReadEntriesFile(dir.Write("many.txt", many).string(), entries, error));
  EXPECT_NE(error.find(":257: more than 256 entries"), std::string::npos) << error;
  EXPECT_FALSE(ReadEntriesFile((dir.Path() / "none.txt").string(), entries, error));
  EXPECT_NE(error.find("cannot open the entries file"), std::string::npos) << error;
}

TEST(StandingsTest, WilsonIntervalMatchesPublishedValues) {
  // 95% intervals with z = 1.96, as the textbooks tabulate them.
  const struct {
    std::uint64_t wins, played;
    double low, high;
  } cases[] = {
      {0, 10, 0.0, 0.2775}, {5, 10, 0.2366, 0.7634}, {10, 10, 0.7225, 1.0},
      {1, 1, 0.2065, 1.0},  {81, 263, 0.2553, 0.3662},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.wins) + " of " + std::to_string(c.played));
    const auto interval = WilsonInterval(c.wins, c.played, 1.96);
    ASSERT_TRUE(interval);
    EXPECT_NEAR(interval->low, c.low, 5e-5);
    EXPECT_NEAR(interval->high, c.high, 5e-5);
  }
  EXPECT_FALSE(WilsonInterval(0, 0));
  EXPECT_FALSE(WilsonInterval(3, 2));
}

TEST(StandingsTest, CountsEachSideOfEveryBattleAndSharesTiedPlaces) {
  TournamentSpec spec;
  spec.entries = {{"a.spc", "a.prg"}, {"b.spc", "b.prg"}, {"c.spc", "c.prg"}};
  spec.seeds = 1;
  // (0,1): 0 wins as player, 1 wins as player; (0,2): 0 wins, draw;
  // (1,2): 1 wins twice.
  const Side winners[] = {Side::Player, Side::Player, Side::Player, Side::Draw, Side::Player, Side::Rival};
  std::vector<BattleResult> results;
  for (std::uint64_t i = 0; i < BattleCount(spec); ++i) {
    BattleResult result;
    result.plan = PlanBattle(spec, i);
    result.winner = winners[i];
    results.push_back(result);
  }
  std::vector<const BattleResult*> all;
  for (const BattleResult& result : results) all.push_back(&result);
  const Standings standings = Tally(spec, all);
  EXPECT_EQ(standings.battles, 6u);
  const struct {
    std::size_t entry;
    std::uint64_t wins, draws, losses, score;
  } expected[] = {{0, 2, 1, 1, 7}, {1, 3, 0, 1, 9}, {2, 0, 1, 3, 1}};
  ASSERT_EQ(standings.table.size(), 3u);
  EXPECT_EQ(standings.table[0].entry, 1u);
  EXPECT_EQ(standings.table[1].entry, 0u);
  EXPECT_EQ(standings.table[2].entry, 2u);
  for (const auto& e : expected) {
    const auto line = std::find_if(standings.table.begin(), standings.table.end(),
                                   [&](const Standing& s) { return s.entry == e.entry; });
    SCOPED_TRACE(e.entry);
    EXPECT_EQ(line->record.wins, e.wins);
    EXPECT_EQ(line->record.draws, e.draws);
    EXPECT_EQ(line->record.losses, e.losses);
    EXPECT_EQ(line->record.Score(), e.score);
  }
  const Record& aVersusC = standings.versus[0][2];
  EXPECT_EQ(aVersusC.wins + aVersusC.draws + aVersusC.losses, 2u);
  EXPECT_EQ(aVersusC.wins, 1u);
  EXPECT_EQ(aVersusC.draws, 1u);
  EXPECT_EQ(standings.versus[2][0].losses, 1u);

  // Equal score and wins share a place; the next place is skipped.
  Standings tied;
  tied.table.resize(4);
  tied.table[0].record = {3, 0, 0};
  tied.table[1].record = {2, 1, 0};
  tied.table[2].record = {2, 1, 5};
  tied.table[3].record = {1, 4, 0};
  EXPECT_EQ(Ranks(tied), (std::vector<std::size_t>{1, 2, 2, 4}));
}

TEST(TournamentPlanTest, EveryPairingMeetsOnEverySeedOnceOnEachSide) {
  TournamentSpec spec;
  spec.entries.resize(5, Entry{"m.spc", "p.prg"});
  spec.seeds = 3;
  spec.firstSeed = 40;
  ASSERT_EQ(BattleCount(spec), 10u * 3 * 2);
  std::map<std::tuple<std::uint32_t, std::size_t, std::size_t>, int> met;  // seed, player, rival
  for (std::uint64_t i = 0; i < BattleCount(spec); ++i) {
    const BattlePlan plan = PlanBattle(spec, i);
    ASSERT_EQ(plan.contestants.size(), 2u);
    EXPECT_EQ(plan.contestants[0].team, 1);
    EXPECT_EQ(plan.contestants[1].team, 0);
    EXPECT_NE(plan.contestants[0].entry, plan.contestants[1].entry);
    ++met[{plan.seed, plan.contestants[0].entry, plan.contestants[1].entry}];
  }
  EXPECT_EQ(met.size(), 3u * 5 * 4);  // every ordered pair on every seed
  for (const auto& [key, count] : met) EXPECT_EQ(count, 1);
  EXPECT_EQ(met.begin()->first, std::make_tuple(40u, std::size_t{0}, std::size_t{1}));
  EXPECT_EQ(met.rbegin()->first, std::make_tuple(42u, std::size_t{4}, std::size_t{3}));

  spec.mode = TournamentMode::Melee;
  ASSERT_EQ(BattleCount(spec), 6u);
  for (std::uint64_t i = 0; i < BattleCount(spec); i += 2) {
    const BattlePlan plan = PlanBattle(spec, i);
    const BattlePlan swapped = PlanBattle(spec, i + 1);
    EXPECT_EQ(plan.seed, swapped.seed);
    ASSERT_EQ(plan.contestants.size(), 5u);
    std::vector<int> seen(5);
    int players = 0;
    for (std::size_t c = 0; c < 5; ++c) {
      ++seen[plan.contestants[c].entry];
      players += plan.contestants[c].team;
      EXPECT_EQ(swapped.contestants[c].entry, plan.contestants[c].entry);
      EXPECT_EQ(swapped.contestants[c].team, 1 - plan.contestants[c].team);
    }
    EXPECT_EQ(seen, std::vector<int>(5, 1));
    EXPECT_EQ(players, 3);
  }
}

TEST(TournamentRunTest, SameStandingsAndBattlesWhateverTheThreads) {
  test::TempDir dir;
  std::vector<std::string> texts, jsons;
  for (const char* threads : {"1", "2", "3"}) {
    SCOPED_TRACE(threads);
    const fs::path json = dir.Path() / (std::string(threads) + ".json");
    const Outcome run = RunWith(With(SmallTournament(), {"--threads", threads, "--json", json.string()}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    texts.push_back(run.out);
    jsons.push_back(ReadFile(json));
  }
  EXPECT_EQ(texts[1], texts[0]);
  EXPECT_EQ(texts[2], texts[0]);
  EXPECT_EQ(jsons[1], jsons[0]);
  EXPECT_EQ(jsons[2], jsons[0]);
  EXPECT_NE(texts[0].find("3 pairings x 2 seeds x 2 sides = 12 duels"), std::string::npos) << texts[0];
  EXPECT_NE(jsons[0].find("\"battles_played\": 12"), std::string::npos);
}

TEST(TournamentRunTest, SlicesMergedAreTheWholeTournament) {
  test::TempDir dir;
  const fs::path whole = dir.Path() / "whole.json";
  const fs::path wholeCsv = dir.Path() / "whole.csv";
  const Outcome all = RunWith(With(SmallTournament(), {"--json", whole.string(), "--csv", wholeCsv.string()}));
  ASSERT_EQ(all.status, 0) << all.err;
  std::vector<std::string> slices;
  for (const char* k : {"3", "1", "2"}) {
    slices.push_back((dir.Path() / ("slice" + std::string(k) + ".json")).string());
    const Outcome slice = RunWith(With(SmallTournament(), {"--shard", std::string(k) + "/3", "--json", slices.back()}));
    ASSERT_EQ(slice.status, 0) << slice.err;
    EXPECT_NE(slice.out.find("slice " + std::string(k) + " of 3: 4 of the 12 battles"), std::string::npos);
  }
  const fs::path merged = dir.Path() / "merged.json";
  const fs::path mergedCsv = dir.Path() / "merged.csv";
  const Outcome merge =
      RunWith({"--merge", slices[0], slices[1], slices[2], "--json", merged.string(), "--csv", mergedCsv.string()});
  ASSERT_EQ(merge.status, 0) << merge.err;
  EXPECT_EQ(merge.out, all.out);
  EXPECT_EQ(ReadFile(merged), ReadFile(whole));
  EXPECT_EQ(ReadFile(mergedCsv), ReadFile(wholeCsv));

  // What does not make one tournament is refused, and nothing is written.
  const fs::path other = dir.Path() / "other.json";
  ASSERT_EQ(RunWith(With(SmallTournament(), {"--seeds", "3", "--shard", "2/3", "--json", other.string()})).status, 0);
  std::string text = ReadFile(slices[1]);
  const auto cut = [&](const char* name, std::string bytes) { return dir.Write(name, bytes).string(); };
  std::string tampered = text;
  tampered.replace(tampered.find("\"entry\": 1,\n          \"side\""), 10, "\"entry\": 3");
  const struct {
    std::vector<std::string> files;
    const char* reason;
  } cases[] = {
      {{slices[0], slices[1]}, "slice 2 of 3 is missing"},
      {{slices[0], slices[1], slices[1], slices[2]}, "are both slice 1 of 3"},
      {{slices[0], slices[1], other.string()}, "is not a slice of the tournament of"},
      {{cut("short.json", text.substr(0, text.find('\n', text.size() / 2) + 1))}, "the file ends early"},
      {{cut("arena.json", "{\"format\": \"kivora-arena\", \"version\": 1, \"battles\": [{}]}")},
       "not a kivora-tournament JSON file"},
      {{cut("deep.json", std::string(100000, '['))}, "nested too deep"},
      {{cut("tampered.json", tampered)}, "does not read as one of this tournament"},
      {{(dir.Path() / "none.json").string()}, "No such file or directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::vector<std::string> args = {"--merge", "--json", (dir.Path() / "refused.json").string()};
    args.insert(args.end(), c.files.begin(), c.files.end());
    const Outcome refused = RunWith(args);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(c.reason), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(fs::exists(dir.Path() / "refused.json"));
  }
}

TEST(TournamentRunTest, AnEntryThatCannotLoadStopsItBeforeTheFirstBattle) {
  test::TempDir dir;
  const fs::path json = dir.Path() / "t.json";
  const struct {
    const char* entry;
    const char* message;
  } cases[] = {
      {"standard.spc:nosuch.prg",
       "kivora-tournament: entry 3, standard.spc:nosuch.prg: cannot read the program nosuch.prg: file not found "
       "(No such file or directory); the tournament does not start\n"},
      {"nosuch.spc:hunter.prg",
       "kivora-tournament: entry 3, nosuch.spc:hunter.prg: cannot load the model nosuch.spc: file not found "
       "(No such file or directory); the tournament does not start\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    const Outcome run = RunWith({"--dir", kArena.string(), "--json", json.string(), "standard.spc:hunter.prg",
                             "standard.spc:guard.prg", c.entry});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(json));
  }
  const Outcome one = RunWith({"--dir", kArena.string(), "standard.spc:hunter.prg"});
  EXPECT_EQ(one.status, 2);
  EXPECT_EQ(one.err, "kivora-tournament: a tournament wants at least two entries (SPC:PRG), 1 given\n");
  const Outcome nowhere = RunWith({"--dir", (dir.Path() / "none").string(), "a.spc:b.prg", "c.spc:d.prg"});
  EXPECT_EQ(nowhere.status, 2);
  EXPECT_NE(nowhere.err.find("cannot enter the data folder"), std::string::npos) << nowhere.err;
}

TEST(TournamentRunTest, AnOutputThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const char* option : {"--json", "--csv"}) {
    SCOPED_TRACE(option);
    const Outcome run = RunWith(With(SmallTournament(), {option, "/dev/full"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write the "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" to /dev/full: No space left on device"), std::string::npos) << run.err;
  }
}

// Stopped from another thread while the battles are under way: none of
// them is counted half-played, and what was finished is reported.
TEST(TournamentPoolThreadTest, AStopEndsTheBattlesUnderWayUncounted) {
  TournamentSpec spec;
  spec.folder = kArena;
  spec.entries = {{"standard.spc", "hunter.prg"}, {"standard.spc", "guard.prg"}, {"scout.spc", "sniper.prg"}};
  spec.seeds = 2;
  std::vector<std::uint64_t> all(BattleCount(spec));
  for (std::uint64_t i = 0; i < all.size(); ++i) all[i] = i;

  const PlayedBattles one = PlayBattles(spec, all, 1);
  const PlayedBattles two = PlayBattles(spec, all, 2);
  ASSERT_FALSE(one.fault);
  ASSERT_FALSE(two.fault);
  for (std::size_t i = 0; i < all.size(); ++i) {
    ASSERT_TRUE(one.results[i] && two.results[i]);
    EXPECT_EQ(one.results[i]->winner, two.results[i]->winner);
    EXPECT_EQ(one.results[i]->ticksRun, two.results[i]->ticksRun);
    EXPECT_EQ(one.results[i]->unitIds, two.results[i]->unitIds);
  }

  spec.untilDecided = false;
  spec.ticks = 1'000'000;  // far longer than the wait below
  std::atomic<int> stop{0};
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = SIGTERM;
  });
  const PlayedBattles stopped = PlayBattles(spec, all, 2, &stop);
  stopper.join();
  EXPECT_FALSE(stopped.fault);
  for (const auto& result : stopped.results) EXPECT_FALSE(result);
}

TEST(TournamentRunTest, AnInterruptedTournamentReportsWhatItFinished) {
  test::TempDir dir;
  const fs::path json = dir.Path() / "t.json";
  std::atomic<int> stop{SIGINT};
  const fs::path replays = dir.Path() / "replays";
  const Outcome run = RunWith(With(SmallTournament(), {"--json", json.string(), "--record-all", replays.string()}), &stop);
  EXPECT_EQ(run.status, 130);
  EXPECT_TRUE(fs::is_empty(replays));  // no replay of a battle cut short
  EXPECT_EQ(run.err,
            "kivora-tournament: interrupted by SIGINT: 0 of 12 battles played; those under way were stopped and are "
            "not counted\n");
  EXPECT_NE(run.out.find("\ninterrupted by SIGINT: 0 of 12 battles played"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("standings"), std::string::npos);
  const std::string text = ReadFile(json);
  EXPECT_NE(text.find("\"interrupted\": \"SIGINT\""), std::string::npos);
  // The interrupted file still merges, saying what it lacks.
  const Outcome merge = RunWith({"--merge", json.string()});
  EXPECT_EQ(merge.status, 0) << merge.err;
  EXPECT_NE(merge.out.find("interrupted: 0 of 12 battles played"), std::string::npos) << merge.out;
}

// Recording leaves the tournament as it was, and each replay is its battle:
// the same outcome as the JSON gives it, the same bytes whether recorded
// alone or with all the others.
TEST(TournamentRunTest, RecordsBattlesWithoutChangingThem) {
  test::TempDir dir;
  const fs::path plainJson = dir.Path() / "plain.json";
  const Outcome plain = RunWith(With(SmallTournament(), {"--threads", "2", "--json", plainJson.string()}));
  ASSERT_EQ(plain.status, 0) << plain.err;

  const fs::path all = dir.Path() / "new" / "replays";  // made, parents too
  const fs::path allJson = dir.Path() / "all.json";
  const Outcome recorded =
      RunWith(With(SmallTournament(), {"--threads", "2", "--record-all", all.string(), "--json", allJson.string()}));
  ASSERT_EQ(recorded.status, 0) << recorded.err;
  EXPECT_EQ(recorded.err, "");
  EXPECT_EQ(recorded.out, plain.out);
  EXPECT_EQ(ReadFile(allJson), ReadFile(plainJson));

  TournamentDocument document;
  std::string why;
  ASSERT_TRUE(ReadTournamentJson(allJson.string(), document, why)) << why;
  ASSERT_EQ(document.results.size(), 12u);
  EXPECT_EQ(std::distance(fs::directory_iterator(all), fs::directory_iterator()), 12);
  for (const BattleResult& result : document.results) {
    SCOPED_TRACE(result.plan.index);
    const fs::path file = ReplayFileIn(all, result.plan.index);
    const auto replay = ReadReplay(file, why);
    ASSERT_TRUE(replay) << why;
    EXPECT_EQ(replay->check.outcome.winner, result.winner);
    EXPECT_EQ(replay->check.outcome.decidedAt, result.decidedAt);
    EXPECT_EQ(replay->check.ticksRun, result.ticksRun);
  }
  EXPECT_EQ(ReplayFileIn(all, 7).filename(), "battle-000007.kvr");

  const fs::path one = dir.Path() / "one.kvr";
  const Outcome single = RunWith(With(SmallTournament(), {"--record-battle", "7", one.string()}));
  ASSERT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.out, plain.out);
  EXPECT_EQ(ReadFile(one), ReadFile(ReplayFileIn(all, 7)));

  // Refused before the first battle: no battle 12, a folder that is a file,
  // a battle outside the slice played, an entry that loads from outside the
  // folder (which a replay cannot hold).
  const struct {
    std::vector<std::string> more;
    std::string reason;
  } refused[] = {
      {{"--record-battle", "12", (dir.Path() / "x.kvr").string()}, "--record-battle 12: the battles are numbered 0 to 11"},
      {{"--record-all", one.string()}, " exists and is not a directory"},
      {{"--record-all", (one / "sub").string()}, "--record-all: cannot create the directory "},
      {{"--shard", "2/3", "--json", (dir.Path() / "s.json").string(), "--record-battle", "3", "r.kvr"},
       "--record-battle 3: that battle is not in slice 2 of 3"},
      {{"--record-all", all.string(), "../arena/standard.spc:hunter.prg"},
       "entry 4, ../arena/standard.spc:hunter.prg cannot be recorded: the file name ../arena/standard.spc "},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.reason);
    std::vector<std::string> args = SmallTournament();
    args.insert(args.end(), c.more.begin(), c.more.end());
    const Outcome run = RunWith(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(dir.Path() / "x.kvr"));

  // A replay that cannot be written fails the run; the standings are whole.
  if (fs::exists("/dev/full")) {
    const Outcome full = RunWith(With(SmallTournament(), {"--record-battle", "0", "/dev/full"}));
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.out, plain.out);
    EXPECT_NE(full.err.find("kivora-tournament: the replay of battle 0: cannot write /dev/full: No space left on device"),
              std::string::npos)
        << full.err;
  }
}

}  // namespace
}  // namespace kivora
