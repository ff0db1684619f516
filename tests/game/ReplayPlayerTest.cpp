#include "game/ReplayPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Fnv1a.h"
#include "field/ProgramListing.h"
#include "lang/ProgramCopy.h"
#include "game/ReplayRecorder.h"
#include "game/Trace.h"
#include "sim/OKE.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

const std::filesystem::path kArena = std::filesystem::path(KIVORA_SOURCE_DIR) / "arena";

// The digest of every tick's trace of a straight run, tick 0 first.
class TickTraces : public BattleObserver {
public:
  void Started(Battle& battle) override { Ticked(0, battle); }
  void Ticked(std::uint64_t tick, Battle& battle) override {
    std::string text;
    AppendTraceTick(text, tick, *battle.Lock(), battle.GetEconomy());
    digests.push_back(Fnv1a().Add(text).Value());
  }
  std::vector<std::uint64_t> digests;
};

std::uint64_t TraceDigestOf(ReplayPlayer& player) {
  Battle& battle = player.Shown();
  std::string text;
  AppendTraceTick(text, player.Tick(), *battle.Lock(), battle.GetEconomy());
  return Fnv1a().Add(text).Value();
}

// Records `setup`, encodes the replay and reads it back.
Replay RecordAndReadBack(const BattleSetup& setup, BattleObserver* also = nullptr) {
  std::string why;
  auto files = CaptureBattleFiles(setup, true, why);
  EXPECT_TRUE(files) << why;
  ReplayRecorder recorder(std::move(*files), also);
  BattleRun run(setup, &recorder);
  EXPECT_FALSE(run.Start());
  run.Run();
  const std::vector<std::uint8_t> bytes = EncodeReplay(recorder.Finish(run));
  auto replay = DecodeReplay(bytes, why);
  EXPECT_TRUE(replay) << why;
  return std::move(*replay);
}

// The default arena with the campaign: walls, parts, the random rival and
// the rival's deployments every 1800 ticks, two given units.
BattleSetup Campaign(std::uint64_t ticks) {
  BattleSetup setup;
  setup.folder = kArena;
  setup.setupSeed = 7;
  setup.simSeed = 3;
  setup.campaign = true;
  setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                 BattleUnit{1, "scout.spc", "collector.prg", std::nullopt}};
  setup.ticks = ticks;
  return setup;
}

// Seeking any tick, in any order, shows exactly what the straight run had
// after that tick; the path, the sheet and the events agree with it.
TEST(ReplayPlayerTest, SeekingShowsTheStraightRunsTicks) {
  const BattleSetup setup = Campaign(4000);
  TickTraces straight;
  Replay replay = RecordAndReadBack(setup, &straight);
  ASSERT_EQ(straight.digests.size(), 4001u);

  std::string why;
  ReplayPlayerLimits limits;
  limits.snapshotEvery = 64;
  auto player = ReplayPlayer::Load(std::move(replay), why, limits);
  ASSERT_TRUE(player) << why;
  ASSERT_EQ(player->Ticks(), 4000u);
  EXPECT_NE(player->Folder(), kArena);
  EXPECT_EQ(player->SnapshotEvery(), 64u);

  // Backwards, across snapshots, on them and beside them, forwards by one,
  // past the end, the ticks of the campaign's steps.
  std::vector<std::uint64_t> ticks = {4000, 0,    1,    63,   64,   65,   3999, 1799, 1800, 1801, 1802,
                                      127,  128,  2,    3600, 3601, 3599, 500,  501,  502,  9999, 64};
  for (std::uint64_t t = 17; t < 4000; t += 389) ticks.push_back(t);
  for (const std::uint64_t t : ticks) {
    player->Seek(t);
    const std::uint64_t shown = std::min<std::uint64_t>(t, 4000);
    ASSERT_EQ(player->Tick(), shown);
    ASSERT_EQ(TraceDigestOf(*player), straight.digests[shown]) << "tick " << t;
  }
  player->Seek(1000);
  for (int k = 0; k < 70; ++k) ASSERT_TRUE(player->StepBack());
  EXPECT_EQ(TraceDigestOf(*player), straight.digests[930]);
  ASSERT_TRUE(player->StepForward());
  EXPECT_EQ(TraceDigestOf(*player), straight.digests[931]);

  // Every unit's path point is where the unit stands at that tick.
  ASSERT_FALSE(player->Units().empty());
  EXPECT_EQ(player->PathStride(), 1u);
  int seen = 0;
  for (const std::uint64_t t : {0u, 1u, 650u, 1801u, 3999u}) {
    player->Seek(t);
    const auto field = player->Shown().Lock();
    for (const OKE* unit : field->unitList) {
      std::uint64_t first = 0;
      const auto path = player->PathBetween(unit->fieldId, t, t, &first);
      ASSERT_EQ(path.size(), 1u) << "unit " << unit->fieldId << " tick " << t;
      EXPECT_EQ(first, t);
      EXPECT_EQ(path[0].x, unit->x);
      EXPECT_EQ(path[0].y, unit->y);
      EXPECT_EQ(path[0].direction, unit->direction);
      ++seen;
    }
  }
  EXPECT_GT(seen, 5);

  // A unit's listing follows the command it runs at the shown tick.
  const std::int64_t first = player->Units().front().id;
  ProgramListing listing;
  for (const std::uint64_t t : {10u, 11u}) {
    player->Seek(t);
    const auto field = player->Shown().Lock();
    OKE* unit = player->UnitOnField(field, first);
    ASSERT_TRUE(unit);
    listing.Follow(unit);
    listing.Update();
    EXPECT_FALSE(listing.Lines().empty());
    ASSERT_TRUE(listing.Current());
    EXPECT_EQ(listing.Lines()[*listing.Current()].rfind(std::to_string(*listing.Current()) + " ", 0), 0u);
    // The restored unit runs its own copy of the program.
    EXPECT_EQ(listing.Current(), CommandIndex(unit->firstCommand, unit->currentCommand));
  }
  listing.Follow(nullptr);

  // Falls: one event each, in the tick the record names; the fallen keep
  // their last sheet.
  std::size_t falls = 0;
  for (const ReplayEvent& event : player->Events()) {
    if (event.kind != ReplayEvent::Kind::Fall) continue;
    ++falls;
    const ReplayUnitInfo* unit = player->Unit(event.unitId);
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->fellAt, event.tick);
    player->Seek(event.tick);
    const auto sheet = player->Sheet(event.unitId);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->hp, 0);
    EXPECT_TRUE(player->PathBetween(event.unitId, event.tick, event.tick).empty());
  }
  EXPECT_GT(falls, 0u);
  // The campaign's news after ticks 1800 and 3600.
  ASSERT_FALSE(player->Messages().empty());
  for (const ReplayMessage& message : player->Messages()) {
    EXPECT_TRUE(message.tick == 1800 || message.tick == 3600) << message.tick << " " << message.text;
  }
  EXPECT_TRUE(std::is_sorted(player->Events().begin(), player->Events().end(),
                             [](const ReplayEvent& a, const ReplayEvent& b) { return a.tick < b.tick; }));
  for (const ReplayUnitInfo& unit : player->Units()) {
    if (!unit.program.empty()) {
      EXPECT_TRUE(player->ProgramText(unit.id)) << unit.program;
    }
  }
}

// A small snapshot budget spaces the snapshots wider; the battle shown
// stays the same.
TEST(ReplayPlayerTest, ABudgetSpacesSnapshotsAndPathPoints) {
  TickTraces straight;
  Replay replay = RecordAndReadBack(Campaign(1000), &straight);
  ReplayPlayerLimits limits;
  limits.snapshotEvery = 10;
  limits.snapshotBytes = 200'000;
  limits.pathPoints = 500;
  std::string why;
  auto player = ReplayPlayer::Load(std::move(replay), why, limits);
  ASSERT_TRUE(player) << why;
  EXPECT_GT(player->SnapshotEvery(), 10u);
  EXPECT_LE(player->SnapshotBytes(), 200'000u);
  EXPECT_GT(player->PathStride(), 1u);
  std::size_t points = 0;
  for (const ReplayUnitInfo& unit : player->Units()) {
    points += unit.path.size();
    EXPECT_EQ(unit.pathStart % player->PathStride(), 0u);
  }
  EXPECT_LE(points, 500u);
  for (const std::uint64_t t : {999u, 3u, 517u, 0u, 1000u, 271u}) {
    player->Seek(t);
    ASSERT_EQ(TraceDigestOf(*player), straight.digests[t]) << t;
  }

  // Opening tells how far it is and can be given up.
  std::vector<std::uint64_t> told;
  limits.progress = [&](std::uint64_t played, std::uint64_t ticks) {
    told.push_back(played);
    told.push_back(ticks);
    return false;
  };
  EXPECT_FALSE(ReplayPlayer::Load(player->Recording(), why, limits));
  EXPECT_EQ(why, "cancelled");
  EXPECT_EQ(told, (std::vector<std::uint64_t>{0, 1000}));
}

// What does not play out as it was recorded is refused: another program in
// the files, another seed, a changed outcome, another rules version.
TEST(ReplayPlayerTest, AReplayThatDoesNotReproduceIsRefused) {
  BattleSetup setup;
  setup.folder = kArena;
  setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                 BattleUnit{0, "gunner.spc", "sniper.prg", std::nullopt}};
  setup.ticks = 600;
  const Replay recorded = RecordAndReadBack(setup);

  struct Case {
    const char* name;
    void (*change)(Replay&);
    const char* says;
  };
  const Case cases[] = {
      {"a program changed",
       [](Replay& r) {
         for (ReplayEntry& e : r.files) {
           if (e.name == "hunter.prg") e.bytes = ":a\nFORWARD\n>a\n";
         }
       },
       "parts from the recording by tick"},
      {"another seed", [](Replay& r) { r.setup.simSeed += 1; }, "parts from the recording by tick"},
      {"a digest changed", [](Replay& r) { r.check.digests.back() ^= 1; }, "parts from the recording by tick 600"},
      {"another winner",
       [](Replay& r) { r.check.outcome.winner = r.check.outcome.winner == Side::Draw ? Side::Player : Side::Draw; },
       "its recorded outcome is another"},
      {"a model missing",
       [](Replay& r) {
         std::erase_if(r.files, [](const ReplayEntry& e) { return e.name == "gunner.spc"; });
       },
       "does not start: cannot load the model gunner.spc"},
  };
  for (const Case& c : cases) {
    Replay changed = recorded;
    c.change(changed);
    std::string why;
    // Through the file format, as another player would get it.
    const std::vector<std::uint8_t> bytes = EncodeReplay(changed);
    auto decoded = DecodeReplay(bytes, why);
    ASSERT_TRUE(decoded) << c.name << ": " << why;
    EXPECT_FALSE(ReplayPlayer::Load(std::move(*decoded), why)) << c.name;
    EXPECT_NE(why.find(c.says), std::string::npos) << c.name << ": " << why;
  }
  std::string why;
  EXPECT_TRUE(ReplayPlayer::Load(recorded, why)) << why;
}

}  // namespace
}  // namespace kivora
