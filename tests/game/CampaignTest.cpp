#include "game/Campaign.h"

#include "game/Battle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "base/Random.h"
#include "economy/Economy.h"
#include "economy/MessageSink.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "support/FieldInDirTest.h"
#include "support/ModelText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

TEST(CampaignClockTest, StepsEveryThreeMinutesAcrossTheCounterWrap) {
  struct Case {
    std::uint32_t start;
    std::uint32_t now;
    bool due;
  };
  const Case cases[] = {
      {0, 0, false},
      {0, 179999, false},
      {0, 180000, true},
      {0, 180100, true},
      {1000, 180999, false},
      {0xFFFFFFFFu - 999, 179000, true},   // wrapped: 1000 + 179000 ms have passed
      {0xFFFFFFFFu - 999, 178999, false},  // wrapped: one millisecond short
      {0xFFFFFFFFu, 179999, true},
      {5, 4, true},  // "now" before the last step: a wrap of almost 50 days
  };
  for (const Case& c : cases) {
    CampaignClock clock(c.start);
    EXPECT_EQ(clock.Due(c.now), c.due) << c.start << " -> " << c.now;
    EXPECT_EQ(clock.LastStep(), c.due ? c.now : c.start);
  }
}

TEST(CampaignClockTest, ALongPauseMakesOneStepAndTimesTheNextFromIt) {
  CampaignClock clock(0);
  std::uint32_t steps = 0;
  std::vector<std::uint32_t> when;
  // The window asks every 100 ms; one pause of ten minutes in the middle.
  for (std::uint32_t now = 0; now <= 1'500'000; now += 100) {
    if (now > 200'000 && now < 800'000) continue;
    if (clock.Due(now)) {
      ++steps;
      when.push_back(now);
    }
  }
  EXPECT_EQ(when, (std::vector<std::uint32_t>{180'000, 800'000, 980'000, 1'160'000, 1'340'000}));
}

std::string CountLine(int n) { return "ポボゴムがＯＫＥを" + std::to_string(n) + "機配置しました"; }

class DeploymentTest : public test::FieldInDirTest {
protected:
  MessageRecorder log;
};

TEST_F(DeploymentTest, OneToThreeUnitsThenTheTauntAndTheCount) {
  dir.Write("a.spc", test::ModelText(1, 10));
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    Battle fresh(dir.Path(), seed);
    log.lines.clear();
    const int count = fresh.DeployRivals(log);

    Random random(seed);
    ASSERT_EQ(count, randomRange(random, 1, 3));
    for (int i = 0; i < count; ++i) {
      randomRange(random, 0, 0);
      randomRange(random, -150, 150);
      randomRange(random, -150, 150);
      randomRange(random, -179, 180);
    }
    const std::string taunt(kRivalTaunts[static_cast<std::size_t>(randomRange(random, 0, 2))]);
    EXPECT_EQ(fresh.Lock()->unitList.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(log.lines, (std::vector<std::string>{taunt, CountLine(count)}));
    EXPECT_EQ(fresh.SetupRandom().State(), random.State());
  }
}

TEST_F(DeploymentTest, OnePointOfTheRivalBuysTwoMoreUnits) {
  dir.Write("a.spc", test::ModelText(1, 10));
  economy.AddRivalPoints(1);
  battle.SetupRandom().Seed(3);
  const int withPoint = battle.DeployRivals(log);
  EXPECT_GE(withPoint, 3);
  EXPECT_LE(withPoint, 5);
  EXPECT_EQ(economy.GetRivalPoints(), 0u);
  const int without = battle.DeployRivals(log);
  EXPECT_GE(without, 1);
  EXPECT_LE(without, 3);
  EXPECT_EQ(battle.Lock()->unitList.size(), static_cast<std::size_t>(withPoint + without));
}

TEST_F(DeploymentTest, WithoutModelsTheRivalStillBoasts) {
  battle.SetupRandom().Seed(11);
  const int count = battle.DeployRivals(log);
  EXPECT_EQ(battle.Lock()->fieldList.Count(), 0);
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[1], CountLine(count));
}

TEST_F(DeploymentTest, TheLeaderComesAfterEveryFifthDeployment) {
  for (int step = 1; step <= 10; ++step) {
    log.lines.clear();
    battle.CampaignStep(log);
    // The deployment's two lines come first; the leader's follow on steps 5 and 10.
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines.size() > 2, step % 5 == 0) << "step " << step;
  }
  // Two visits from 1000 money: 100 each time.
  EXPECT_EQ(economy.GetMoney(), 800u);
  EXPECT_EQ(economy.GetLeaderWallet(), 1200u);
}

// The window thread deploys while the simulation thread ticks: every unit
// lands between two ticks, none is lost, and nothing races.
class DeploymentThreadTest : public DeploymentTest {};

TEST_F(DeploymentThreadTest, UnitsLandBetweenTicks) {
  dir.Write("a.spc", test::ModelText(1, 10));
  dir.Write("p.prg", ":top\nSEARCHE,300(0,360),f\nFORWARD\n>top\n:f\nFIRE,300(0,360)\n>top\n");
  std::atomic<bool> stop{false};
  std::thread simulation([&] {
    while (!stop.load()) battle.Tick();
  });
  int attempts = 0;
  battle.SetupRandom().Seed(21);
  for (int i = 0; i < 20; ++i) attempts += battle.DeployRivals(log);
  stop = true;
  simulation.join();
  EXPECT_EQ(log.lines.size(), 40u);
  // Units may have fallen meanwhile, but each fallen one left a part.
  int partsAndUnits = 0;
  for (const EE* object : battle.Lock()->fieldList.Items()) partsAndUnits += object->Kind() != kKindBullet;
  EXPECT_EQ(partsAndUnits, attempts);
}

}  // namespace
}  // namespace kivora
