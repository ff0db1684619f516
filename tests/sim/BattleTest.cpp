// Whole battles: units built from model files, running program files, tick
// after tick, with outcomes worked out by hand from the rules of the game.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "base/Random.h"
#include "economy/Economy.h"
#include "sim/LoadProgram.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/WorldStep.h"
#include "support/SimTestSupport.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

// The numbers of a model file, with values that keep hand calculation easy:
// one command per tick, full armour, turning as far as needed at once,
// straight bullets of 10 that fly 500 a tick, no countdowns.
struct Model {
  int level = 1;
  int hp = 100;
  int aim = 180;
  int armour = 100;  // hundredths
  int stagger = 50;
  int bulletPower = 10, bulletSpeed = 500, bulletLife = 100, bulletLoss = 0;
  int ammo = 3, homing = 0, bulletTurn = 0;
  int fight = 5;
  std::array<int, kStateCount> durations{};

  std::string Text() const {
    std::ostringstream s;
    s << level << "\r\n"
      << hp << ",0,0,0," << aim << "\r\n"
      << armour << "," << stagger << "\r\n"
      << bulletPower << "," << bulletSpeed << "," << bulletLife << "," << bulletLoss << "\r\n"
      << ammo << "," << homing << "," << bulletTurn << "\r\n"
      << fight << "\r\n";
    for (int d : durations) s << d << "\r\n";
    return s.str();
  }
};

class BattleTest : public ::testing::Test {
protected:
  void SetUp() override { field.events = &lost; }

  // Builds a unit from model and program files written for the test and
  // deploys it. The test keeps its own reference, so the unit can still be
  // looked at after it has fallen.
  OKE* Deploy(std::int32_t team, const std::string& name, const Model& model, const std::string& program,
              std::int32_t x, std::int32_t y, std::int32_t direction) {
    const std::string spc = dir.Write(name + ".spc", model.Text()).string();
    const std::string prg = dir.Write(name + ".prg", program).string();
    Ref<OKE> unit = OKE::Create(team, spc, specs);
    EXPECT_TRUE(unit) << name;
    if (!unit) return nullptr;
    LoadProgram(*unit, prg);
    unit->x = x;
    unit->y = y;
    unit->direction = direction;
    held.push_back(unit);
    return field.Deploy(std::move(unit));
  }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      WorldStep(field);
      ++tick;
    }
  }
  void TickUntil(int t) { Tick(t - tick); }

  bool OnField(const EE* obj) const { return field.fieldList.IndexOf(obj) >= 0; }
  int CountKind(int kind) const {
    int n = 0;
    for (const EE* obj : field.fieldList.Items()) n += obj->Kind() == kind;
    return n;
  }
  const EE* PartAt(std::int32_t x, std::int32_t y) const {
    for (const EE* obj : field.fieldList.Items()) {
      if (obj->Kind() == kKindParts && obj->x == x && obj->y == y) return obj;
    }
    return nullptr;
  }

  test::TempDir dir;
  SpecTable specs;
  Economy economy;
  test::PayInto lost{economy};
  Field field;
  std::vector<Ref<OKE>> held;
  int tick = 0;
};

// A gunner aims for one tick and fires in the next, so a FIRE loop shoots
// every second tick.
Model Gunner() {
  Model m;
  m.hp = 25;
  m.durations[kAiming] = 1;
  m.durations[kFiring] = 1;
  return m;
}

const char* const kFireLoop = "# gunner\n:top\nFIRE,500(0,60)\n>top\n";

// Two gunners face each other 200 pixels apart across the x axis and
// fire at once. Facing 90 and -90 both fly 499 a tick (the game's pi makes
// sin(90) fall just short of 1), so the duel is a mirror image: each side
// fires in ticks 2, 4 and 6, and each bullet hits in its 39th step, when
// its third sample point enters the other's box: ticks 40, 42 and 44. Which
// side survives depends only on the armour: 10 through armour 80 is 8.5,
// rounded down to 8, so three hits leave 1 of 25.
struct DuelCase {
  int playerArmour;
  std::int32_t damage;  // what one bullet does to the player
};
class DuelTest : public BattleTest, public ::testing::WithParamInterface<DuelCase> {};

TEST_P(DuelTest, MirroredDuelIsDecidedByArmour) {
  const DuelCase c = GetParam();
  const std::int32_t playerHpAfter = 25 > 3 * c.damage ? 25 - 3 * c.damage : 0;
  const int squadLost = playerHpAfter == 0 ? 1 : 0;
  Model player = Gunner();
  player.armour = c.playerArmour;
  OKE* p = Deploy(1, "blue", player, kFireLoop, -10000, 0, 90);
  OKE* r = Deploy(0, "red", Gunner(), kFireLoop, 10000, 0, -90);

  TickUntil(2);
  ASSERT_EQ(CountKind(kKindBullet), 2);
  const Bullette* first = field.bulletList[0];
  EXPECT_EQ(first->x, -10000 + 499 + 499);  // fired one step ahead, then flew one step
  EXPECT_EQ(field.bulletList[1]->x, 10000 - 499 - 499);

  TickUntil(39);
  EXPECT_EQ(r->hp, 25);
  EXPECT_EQ(CountKind(kKindBullet), 6);
  Tick();
  EXPECT_EQ(r->hp, 15);
  EXPECT_EQ(CountKind(kKindBullet), 4);
  TickUntil(43);
  EXPECT_EQ(r->hp, 5);
  EXPECT_EQ(p->hp, 25 - 2 * c.damage);
  EXPECT_EQ(p->ammo, 0);
  EXPECT_EQ(r->ammo, 0);
  Tick();
  EXPECT_EQ(r->hp, 0);
  EXPECT_EQ(p->hp, playerHpAfter);
  EXPECT_FALSE(OnField(r));
  EXPECT_EQ(OnField(p), playerHpAfter > 0);
  EXPECT_NE(PartAt(10000, 0), nullptr);
  EXPECT_EQ(PartAt(-10000, 0) != nullptr, playerHpAfter == 0);
  EXPECT_EQ(CountKind(kKindBullet), 0);
  EXPECT_EQ(lost.squadsLost, squadLost);
  EXPECT_EQ(field.playerUnitCount, playerHpAfter > 0 ? 1 : 0);

  // Nothing more happens: empty guns, nobody left to shoot at.
  Tick(20);
  EXPECT_EQ(p->hp, playerHpAfter);
  EXPECT_EQ(lost.squadsLost, squadLost);
}

INSTANTIATE_TEST_SUITE_P(Armour, DuelTest,
                         ::testing::Values(DuelCase{100, 10}, DuelCase{80, 8}, DuelCase{70, 7}));

// A gunner shoots a standing target to pieces, then walks to the part it
// left and collects it. Bullets fired in ticks 2, 4 and 6 fly 500 a tick
// from 500 ahead of the gunner and hit the box 200 pixels away in their
// 39th step: ticks 40, 42, 44. Then the loop FIRE, SEARCHE, GET, FORWARD
// starts walking in tick 48 at 100 a tick; the GET of tick 219 sees the
// part 29 pixels ahead, and the unit walks on until the part is 5.0 pixels
// away at the start of tick 243's step, where it takes it.
TEST_F(BattleTest, GunnerDestroysATargetAndCollectsWhatIsLeft) {
  const int reward = [] {
    Random fresh;  // where the field's generator starts
    return 100 * randomRange(fresh, 1, 10);
  }();
  Model gunner = Gunner();
  gunner.durations[kPickingUp] = 30;
  const char* collector =
      "# collector\n:top\nFIRE,500(0,60)\nSEARCHE,500(0,60),top\nGET\nFORWARD\n>top\n";
  OKE* p = Deploy(1, "blue", gunner, collector, 0, 0, 0);
  OKE* target = Deploy(0, "dummy", Gunner(), "# stands still\n", 0, 20000, 180);

  TickUntil(43);
  EXPECT_EQ(target->hp, 5);
  Tick();
  EXPECT_FALSE(OnField(target));
  const EE* part = PartAt(0, 20000);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(p->ammo, 0);

  TickUntil(47);
  EXPECT_EQ(p->y, 0);
  TickUntil(218);
  EXPECT_EQ(p->state, kForward);
  EXPECT_EQ(p->y, 17100);
  Tick();
  EXPECT_EQ(p->state, kPickingUp);
  EXPECT_EQ(p->target.get(), part);
  EXPECT_EQ(p->y, 17200);

  TickUntil(242);
  EXPECT_TRUE(OnField(part));
  EXPECT_EQ(economy.GetMoney(), 1000u);
  Tick();
  EXPECT_FALSE(OnField(part));
  EXPECT_EQ(p->target.get(), nullptr);
  EXPECT_EQ(p->y, 19500);
  EXPECT_EQ(economy.GetMoney(), 1000u + static_cast<std::uint32_t>(reward));
  EXPECT_EQ(economy.GetRivalPoints(), 0u);
}

// A brawler lunges at a dummy 25 pixels ahead. It closes in 400 a tick and
// strikes from tick 6 on whenever its box overlaps the dummy's after the
// move. Having lunged past, it turns about (the dummy is outside FIGHT's
// sector, so the state simply runs on with the old velocity), lunges back
// 399 a tick (the game's pi leaves cos(180) just short of -1) and so on: a
// three-tick rhythm of two strikes and a turn. Twenty strikes of 5 fell the
// dummy in tick 34.
TEST_F(BattleTest, BrawlerStrikesInARhythmOfTwoBlowsAndATurn) {
  Model brawler;
  brawler.fight = 5;
  Model dummy;
  dummy.hp = 100;
  OKE* p = Deploy(1, "brawler", brawler, "# brawler\n:top\nFIGHT\n>top\n", 0, 0, 0);
  OKE* d = Deploy(0, "dummy", dummy, "", 0, 2500, 0);

  struct Pose {
    int tick;
    std::int32_t y, direction;
  };
  const std::vector<Pose> poses = {{5, 2000, 0},   {6, 2400, 0},   {7, 2800, 0},   {8, 3200, 180},
                                   {9, 2801, 180}, {10, 2402, 180}, {11, 2003, 0}, {12, 2403, 0},
                                   {20, 3206, 180}, {29, 2012, 0}};
  std::size_t next = 0;
  int strikes = 0;
  for (int t = 1; t <= 33; ++t) {
    Tick();
    if (t >= 6 && t % 3 != 2) ++strikes;
    ASSERT_EQ(d->hp, 100 - 5 * strikes) << "tick " << t;
    if (next < poses.size() && poses[next].tick == t) {
      EXPECT_EQ(p->y, poses[next].y) << "tick " << t;
      EXPECT_EQ(p->direction, poses[next].direction) << "tick " << t;
      ++next;
    }
  }
  EXPECT_EQ(strikes, 19);
  EXPECT_EQ(p->state, kFighting);
  Tick();
  EXPECT_EQ(d->hp, 0);
  EXPECT_FALSE(OnField(d));
  EXPECT_NE(PartAt(0, 2500), nullptr);
  EXPECT_EQ(p->hp, 100);
  EXPECT_EQ(lost.squadsLost, 0);
}

}  // namespace
}  // namespace kivora
