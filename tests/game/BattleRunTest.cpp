#include "game/BattleRun.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "economy/MessageSink.h"
#include "game/BattleReport.h"
#include "game/Campaign.h"
#include "game/Trace.h"
#include "sim/OKE.h"
#include "support/ModelText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

using test::ModelText;

// Models for duels on an empty field: 10 hit points, armour 1.0 and no
// staggering, bullets of power 100 (one kills), turning at once to aim.
// They differ in the speed of their bullets: 500, 100 or 1000 field units a
// tick.
const std::string kGun = ModelText("1\n10,0,0,0,360\n100,1000\n100,500,40,0\n5,0,0\n100\n");
const std::string kSlowGun = ModelText("1\n10,0,0,0,360\n100,1000\n100,100,200,0\n5,0,0\n100\n");
const std::string kFastGun = ModelText("1\n10,0,0,0,360\n100,1000\n100,1000,40,0\n5,0,0\n100\n");

class BattleRunTest : public ::testing::Test {
protected:
  BattleRunTest() {
    data.Write("gun.spc", kGun);
    data.Write("slow.spc", kSlowGun);
    data.Write("fast.spc", kFastGun);
    data.Write("fire.prg", ":top\nFIRE,300(0,60)\n>top\n");
    data.Write("fight.prg", ":top\nFIGHT\n>top\n");
  }

  // A field with nothing but the units given.
  BattleSetup Duel(std::vector<BattleUnit> units, std::uint64_t ticks, bool untilDecided) const {
    BattleSetup setup;
    setup.folder = data.Path();
    setup.parts = SetUpParts{false, false, false};
    setup.units = std::move(units);
    setup.ticks = ticks;
    setup.untilDecided = untilDecided;
    return setup;
  }

  test::TempDir data;
};

BattleUnit At(std::int32_t team, const char* spec, std::optional<std::string> program, std::int32_t y,
              std::int32_t direction) {
  return BattleUnit{team, spec, std::move(program), UnitStart{0, y, direction}};
}

// One unit's record in a line, for tables of expected records.
std::string Brief(const UnitRecord& u) {
  std::string text = "#" + std::to_string(u.id);
  if (u.fellAt) {
    text += " fell=" + std::to_string(*u.fellAt);
    if (u.lastHit) {
      text += " by=" + std::to_string(u.lastHit->unitId) + (u.lastHit->fist ? "/fist" : "/bullet");
      if (u.lastHit->shooterFell) text += "/fallen";
    }
  } else {
    text += " hp=" + std::to_string(u.hp) + " ammo=" + std::to_string(u.ammo);
  }
  return text + " shots=" + std::to_string(u.shots) + " hits=" + std::to_string(u.hits) + "/" +
         std::to_string(u.friendlyHits) + " dealt=" + std::to_string(u.damageDealt) + "/" +
         std::to_string(u.friendlyDamage) + " taken=" + std::to_string(u.damageTaken);
}

// The player's unit at (0,0) faces the rival's, 50 pixels north of it.
TEST_F(BattleRunTest, DuelsAreDecidedAndScored) {
  struct Case {
    const char* name;
    std::vector<BattleUnit> units;
    std::uint64_t ticks;
    bool untilDecided;
    std::uint64_t ticksRun;
    Side winner;
    std::optional<std::uint64_t> decidedAt;
    std::vector<std::string> records;
  };
  const std::vector<Case> cases = {
      {"one shot kills an idle rival",
       {At(1, "gun.spc", "fire.prg", 0, 0), At(0, "gun.spc", std::nullopt, 5000, 180)},
       3000, true, 12, Side::Player, 12,
       {"#1 hp=10 ammo=3 shots=2 hits=1/0 dealt=10/0 taken=0",
        "#2 fell=12 by=1/bullet shots=0 hits=0/0 dealt=0/0 taken=10"}},
      {"a friend in the line of fire takes the first bullet",
       {At(1, "gun.spc", "fire.prg", 0, 0), At(1, "gun.spc", std::nullopt, 2500, 0),
        At(0, "gun.spc", std::nullopt, 5000, 180)},
       3000, true, 18, Side::Player, 18,
       {"#1 hp=10 ammo=2 shots=3 hits=1/1 dealt=10/10 taken=0",
        "#2 fell=7 by=1/bullet shots=0 hits=0/0 dealt=0/0 taken=10",
        "#3 fell=18 by=1/bullet shots=0 hits=0/0 dealt=0/0 taken=10"}},
      {"both fire at once and fall in the same tick: a draw",
       {At(1, "gun.spc", "fire.prg", 0, 0), At(0, "gun.spc", "fire.prg", 5000, 180)},
       3000, true, 12, Side::Draw, 12,
       {"#1 fell=12 by=2/bullet shots=2 hits=1/0 dealt=10/0 taken=10",
        "#2 fell=12 by=1/bullet shots=2 hits=1/0 dealt=10/0 taken=10"}},
      // The slow bullet arrives long after its shooter fell: it still counts
      // for the shooter, but the battle was decided when the shooter fell.
      {"a fallen unit's bullet scores and changes no result",
       {At(1, "slow.spc", "fire.prg", 0, 0), At(0, "fast.spc", "fire.prg", 5000, 180)},
       100, false, 100, Side::Rival, 8,
       {"#1 fell=8 by=2/bullet shots=1 hits=1/0 dealt=10/0 taken=10",
        "#2 fell=51 by=1/bullet/fallen shots=1 hits=1/0 dealt=10/0 taken=10"}},
      {"close combat",
       {At(1, "gun.spc", "fight.prg", 0, 0), At(0, "gun.spc", std::nullopt, 1000, 180)},
       3000, true, 2, Side::Player, 2,
       {"#1 hp=10 ammo=5 shots=0 hits=1/0 dealt=10/0 taken=0",
        "#2 fell=2 by=1/fist shots=0 hits=0/0 dealt=0/0 taken=10"}},
      {"nobody fights: a draw at the time limit",
       {At(1, "gun.spc", std::nullopt, 0, 0), At(0, "gun.spc", std::nullopt, 5000, 180)},
       50, true, 50, Side::Draw, std::nullopt,
       {"#1 hp=10 ammo=5 shots=0 hits=0/0 dealt=0/0 taken=0",
        "#2 hp=10 ammo=5 shots=0 hits=0/0 dealt=0/0 taken=0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BattleRun run(Duel(c.units, c.ticks, c.untilDecided));
    ASSERT_FALSE(run.Start());
    run.Run();
    EXPECT_TRUE(run.Done());
    EXPECT_EQ(run.TicksRun(), c.ticksRun);
    EXPECT_EQ(run.Outcome().winner, c.winner);
    EXPECT_EQ(run.Outcome().decidedAt, c.decidedAt);
    std::vector<std::string> records;
    for (const auto& [id, unit] : run.Units()) records.push_back(Brief(unit));
    EXPECT_EQ(records, c.records);
  }
}

TEST_F(BattleRunTest, ResultLines) {
  struct Case {
    std::vector<BattleUnit> units;
    std::uint64_t ticks;
    std::uint64_t stopAfter;
    std::string line;
  };
  const std::vector<Case> cases = {
      {{At(1, "gun.spc", "fire.prg", 0, 0), At(0, "gun.spc", std::nullopt, 5000, 180)}, 3000, 3000,
       "result: the player's side won at tick 12\n"},
      {{At(0, "gun.spc", "fire.prg", 0, 0), At(1, "gun.spc", std::nullopt, 5000, 180)}, 3000, 3000,
       "result: the rival's side won at tick 12\n"},
      {{At(1, "gun.spc", "fire.prg", 0, 0), At(0, "gun.spc", "fire.prg", 5000, 180)}, 3000, 3000,
       "result: a draw at tick 12, both sides fell in it\n"},
      {{At(1, "gun.spc", std::nullopt, 0, 0), At(0, "gun.spc", std::nullopt, 5000, 180)}, 40, 40,
       "result: a draw at the time limit (tick 40), both sides still on the field\n"},
      {{At(1, "gun.spc", std::nullopt, 0, 0), At(0, "gun.spc", std::nullopt, 5000, 180)}, 40, 7,
       "result: none, stopped at tick 7 with both sides on the field\n"},
  };
  for (const Case& c : cases) {
    BattleRun run(Duel(c.units, c.ticks, true));
    ASSERT_FALSE(run.Start());
    run.Run([&] { return run.TicksRun() == c.stopAfter; });
    EXPECT_EQ(DescribeResult(run), c.line);
  }
}

// Every default is the game's own battle: the same field tick for tick as a
// Battle driven by hand, the campaign included, although the run listens to
// every shot and strike.
TEST_F(BattleRunTest, DefaultsGiveTheGamesOwnBattle) {
  data.Write("map.txt", "0,3000,6000,400\n");
  data.Write("roam.prg", ":top\nRANDOM,1/3,turn\nFORWARD\nFIRE,400(0,360)\n>top\n:turn\nTURN,45\n>top\n");
  class Silent : public MessageSink {
    void AddMessage(std::string_view) override {}
  } silent;

  BattleSetup setup;
  setup.folder = data.Path();
  setup.setupSeed = 42;
  setup.campaign = true;
  setup.ticks = 3700;
  setup.units = {BattleUnit{1, "gun.spc", "roam.prg", std::nullopt}, BattleUnit{0, "fast.spc", "roam.prg", std::nullopt}};
  BattleRun run(setup);
  ASSERT_FALSE(run.Start());

  Battle battle(data.Path(), 42);
  battle.Build(nullptr);
  for (const BattleUnit& unit : setup.units) {
    Ref<OKE> made = battle.NewUnit(unit.team, unit.spec);
    ASSERT_TRUE(made);
    ASSERT_TRUE(battle.GiveProgram(*made, *unit.program));
    battle.Deploy(std::move(made));
  }
  auto trace = [](Battle& b, std::uint64_t tick) {
    std::string text;
    AppendTraceTick(text, tick, *b.Lock(), b.GetEconomy());
    return text;
  };
  ASSERT_EQ(trace(run.GetBattle(), 0), trace(battle, 0));
  std::uint64_t shots = 0;
  for (std::uint64_t tick = 1; tick <= setup.ticks; ++tick) {
    run.Step();
    battle.Tick();
    if (tick % kCampaignPeriodTicks == 0) battle.CampaignStep(silent);
    ASSERT_EQ(trace(run.GetBattle(), tick), trace(battle, tick)) << "tick " << tick;
  }
  for (const auto& [id, unit] : run.Units()) shots += unit.shots;
  EXPECT_GT(shots, 0u) << "the battle should have seen some shooting";
  EXPECT_GT(run.Units().size(), 3u) << "the campaign's units take part too";
}

// The simulation's seed moves what RANDOM draws and nothing of the set-up.
TEST_F(BattleRunTest, SimulationSeedIsItsOwn) {
  data.Write("dice.prg", ":top\nRANDOM,1/2,one\nVAR,B+1\n>top\n:one\nVAR,A+1\n>top\n");
  auto variablesAfter = [&](std::uint32_t simSeed) {
    BattleSetup setup;
    setup.folder = data.Path();
    setup.simSeed = simSeed;
    setup.units = {BattleUnit{1, "gun.spc", "dice.prg", std::nullopt}};
    BattleRun run(setup);
    EXPECT_FALSE(run.Start());
    for (int i = 0; i < 30; ++i) run.Step();
    const auto field = run.GetBattle().Lock();
    const OKE& unit = *field->unitList.back();
    return std::to_string(unit.x) + "," + std::to_string(unit.y) + " A=" + std::to_string(unit.GetVar('A')) +
           " B=" + std::to_string(unit.GetVar('B'));
  };
  const std::string one = variablesAfter(1);
  const std::string two = variablesAfter(2);
  EXPECT_EQ(one, variablesAfter(1));
  EXPECT_NE(one, two);
  EXPECT_EQ(one.substr(0, one.find(' ')), two.substr(0, two.find(' '))) << "same place from the same set-up";
}

TEST_F(BattleRunTest, GivenUnitsThatCannotBeLoadedStopTheStart) {
  data.Write("short.spc", "1\n10,0,0,0,360\n");
  data.MakeDir("dir.prg");
  struct Case {
    BattleUnit unit;
    std::string fault;
  };
  const std::vector<Case> cases = {
      {{1, "nosuch.spc", std::nullopt, std::nullopt},
       "cannot load the model nosuch.spc: file not found (No such file or directory)"},
      {{0, "short.spc", "fire.prg", std::nullopt},
       "cannot load the model short.spc: line 3: the file ends after line 2; a model has 27 lines"},
      {{1, "gun.spc", "nosuch.prg", std::nullopt},
       "cannot read the program nosuch.prg: file not found (No such file or directory)"},
      {{1, "gun.spc", "dir.prg", std::nullopt}, "cannot read the program dir.prg: not a regular file"},
      // Names reach a terminal escaped.
      {{1, "\x1b]0;owned\x07.spc", std::nullopt, std::nullopt},
       "cannot load the model \\x1b]0;owned\\x07.spc: file not found (No such file or directory)"},
  };
  for (const Case& c : cases) {
    BattleSetup setup;
    setup.folder = data.Path();
    setup.units = {BattleUnit{1, "gun.spc", "fire.prg", std::nullopt}, c.unit};
    BattleRun run(setup);
    const auto fault = run.Start();
    ASSERT_TRUE(fault) << c.fault;
    EXPECT_EQ(fault->Describe(), c.fault);
  }
}

// Battles on two threads share nothing: each comes out as it does alone.
TEST(BattleRunThreadTest, TwoBattlesSideBySideComeOutAsAlone) {
  const std::filesystem::path arena = std::filesystem::path(KIVORA_SOURCE_DIR) / "arena";
  auto setupOf = [&](std::uint32_t seed) {
    BattleSetup setup;
    setup.folder = arena;
    setup.setupSeed = seed;
    setup.parts.rival = false;
    setup.parts.randomWallsAndParts = false;
    setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                   BattleUnit{0, "gunner.spc", "sniper.prg", std::nullopt}};
    setup.ticks = 300;
    return setup;
  };
  auto play = [&](std::uint32_t seed) {
    BattleRun run(setupOf(seed));
    EXPECT_FALSE(run.Start());
    run.Run();
    std::string text = DescribeResult(run) + DescribeUnits(run);
    AppendTraceTick(text, run.TicksRun(), *run.GetBattle().Lock(), run.GetBattle().GetEconomy());
    return text;
  };
  const std::string alone[2] = {play(1), play(2)};
  ASSERT_NE(alone[0], alone[1]);
  std::string together[2];
  std::thread other([&] { together[1] = play(2); });
  together[0] = play(1);
  other.join();
  EXPECT_EQ(together[0], alone[0]);
  EXPECT_EQ(together[1], alone[1]);
}

}  // namespace
}  // namespace kivora
