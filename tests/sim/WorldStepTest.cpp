#include "sim/WorldStep.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/Random.h"
#include "game/Trace.h"
#include "sim/Geometry.h"
#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::Give;
using test::PlainSpec;
using test::Program;
using test::TestField;

TEST(WorldStepTest, ProgramsRunPhaseByPhaseByLevel) {
    TestField t;
    const OKEspec spec = PlainSpec();
    std::string order;
    const struct {
        char name;
        std::int32_t level;
    } units[] = {{'a', 3}, {'b', 0}, {'c', 7}, {'d', 1}};
    for (const auto& u : units) {
        OKE* unit = t.Unit(spec, 1, 0, 0);
        unit->level = u.level;
        const char name = u.name;
        Give(*unit, Program({[&order, name](EE&) { order += name; }}, true));
    }
    WorldStep(t.field);
    // Phases 6..1: c acts from phase 6 (levels above 6 act like 6), a from
    // phase 3, d in phase 1 only, b never.
    EXPECT_EQ(order, "c" "c" "c" "ac" "ac" "acd");
}

TEST(WorldStepTest, ABulletFiredInATickFliesInThatTick) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* shooter = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 90000);
    shooter->state = kFiring;
    shooter->SetTarget(enemy);
    WorldStep(t.field);
    ASSERT_EQ(t.field.bulletList.size(), 1u);
    EXPECT_EQ(t.field.bulletList[0]->y, 600);  // placed one step ahead, then stepped
}

// The step pass walks the list by position. A part picked up from before the
// stepping unit closes the gap under it, so the object behind the unit
// moves up into the place just stepped and sits out that one tick, with or
// without the tick's compact copy of positions.
TEST(WorldStepTest, APartTakenFromBeforeTheStepperCostsTheNextObjectItsStep) {
    for (bool cache : {true, false}) {
        TestField t;
        t.field.fieldList.SetTickCache(cache);
        const OKEspec spec = PlainSpec();
        Parts* part = t.AddPart(0, 300);
        OKE* picker = t.Unit(spec, 1, 0, 0, 0);
        OKE* walker = t.Unit(spec, 0, 50000, 0, 0);
        picker->SetState(kPickingUp, part);
        walker->SetState(kForward, nullptr);

        WorldStep(t.field);
        EXPECT_EQ(t.field.fieldList.IndexOf(part), -1) << cache;
        EXPECT_EQ(walker->y, 0) << cache;  // skipped this tick
        WorldStep(t.field);
        EXPECT_EQ(walker->y, 100) << cache;
    }
}

TEST(WorldStepTest, SpentBulletsLeaveInTheSameTick) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.bulletLife = 2;
    OKE* shooter = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 90000);
    shooter->state = kFiring;
    shooter->SetTarget(enemy);
    WorldStep(t.field);
    EXPECT_EQ(t.field.fieldList.Count(), 3);
    WorldStep(t.field);
    EXPECT_TRUE(t.field.bulletList.empty());
    EXPECT_EQ(t.field.fieldList.Count(), 2);
}

TEST(WorldStepTest, FallenUnitsLeaveAPartWhereTheyStood) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* a = t.Unit(spec, 1, 100, 200);
    OKE* rival = t.Unit(spec, 0, -300, 400);
    OKE* b = t.Unit(spec, 1, 500, 600);
    OKE* watcher = t.Unit(spec, 0, 0, 9000);
    watcher->SetTarget(a);  // keeps the fallen unit valid after it leaves
    EXPECT_EQ(t.field.playerUnitCount, 2);
    a->hp = 0;
    rival->hp = 0;
    WorldStep(t.field);
    EXPECT_EQ(t.field.playerUnitCount, 1);
    EXPECT_EQ(t.pay.squadsLost, 0);
    ASSERT_EQ(t.field.unitList.size(), 2u);
    EXPECT_EQ(t.field.unitList[0], b);
    ASSERT_EQ(watcher->target.get(), a);
    EXPECT_EQ(a->RefCount(), 1);
    EXPECT_EQ(a->hp, 0);
    // Parts in unit-list order, at the end of the field list.
    const EElist& list = t.field.fieldList;
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(2)->Kind(), kKindParts);
    EXPECT_EQ(list.At(2)->x, 100);
    EXPECT_EQ(list.At(2)->y, 200);
    EXPECT_EQ(list.At(2)->width, 200);
    EXPECT_EQ(list.At(3)->x, -300);
    // Aiming at it again, the watcher sees it fallen, drops it and frees it.
    watcher->state = kAiming;
    WorldStep(t.field);
    EXPECT_EQ(watcher->target.get(), nullptr);
}

TEST(WorldStepTest, TheSquadLostNoticeComesOnceWhenTheLastTwoFallTogether) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* a = t.Unit(spec, 1, 0, 0);
    OKE* b = t.Unit(spec, 1, 0, 0);
    t.Unit(spec, 0, 0, 0);
    a->hp = 0;
    b->hp = 0;
    WorldStep(t.field);
    EXPECT_EQ(t.pay.squadsLost, 1);
    EXPECT_EQ(t.field.playerUnitCount, 0);
    WorldStep(t.field);
    EXPECT_EQ(t.pay.squadsLost, 1);
}

TEST(WorldStepTest, BulletsOfAFallenShooterForgetIt) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* shooter = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 90000);
    shooter->state = kFiring;
    shooter->SetTarget(enemy);
    shooter->hp = 0;  // still fires in its last tick
    WorldStep(t.field);
    ASSERT_EQ(t.field.bulletList.size(), 1u);
    EXPECT_EQ(t.field.bulletList[0]->owner, nullptr);
}

// Two units that aim at each other and both fall: neither may keep the
// other alive (LeakSanitizer watches this test).
TEST(WorldStepTest, FallenUnitsAimingAtEachOtherAreFreed) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* a = t.Unit(spec, 1, 0, 0);
    OKE* b = t.Unit(spec, 0, 0, 9000);
    a->SetTarget(b);
    b->SetTarget(a);
    a->hp = 0;
    b->hp = 0;
    WorldStep(t.field);
    EXPECT_TRUE(t.field.unitList.empty());
}

// A unit at each end of a lane, both firing at each other for ever. Straight
// bullets of speed 300 fired every second tick from tick 2 reach the other
// unit's box (30 px away, 2 px deep) on tick 10; three hits of 10 take the
// 30 hit points, so both fall together on tick 14.
TEST(WorldStepTest, ADuelFoughtOutToTheEnd) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.maxHp = 30;
    spec.durations[kAiming] = 1;
    spec.durations[kFiring] = 1;
    OKE* a = t.Unit(spec, 1, 0, 0, 0);
    OKE* b = t.Unit(spec, 0, 0, 3000, 180);
    Give(*a, Program({[b](EE& self) { self.SetState(kAiming, b); }}, true));
    Give(*b, Program({[a](EE& self) { self.SetState(kAiming, a); }}, true));
    std::vector<int> hitTicksA, hitTicksB;
    std::int32_t hpA = a->hp, hpB = b->hp;
    int tick = 0;
    while (t.field.unitList.size() == 2 && tick < 100) {
        ++tick;
        WorldStep(t.field);
        if (t.field.unitList.size() < 2) break;
        if (a->hp != hpA) hitTicksA.push_back(tick);
        if (b->hp != hpB) hitTicksB.push_back(tick);
        hpA = a->hp;
        hpB = b->hp;
    }
    EXPECT_EQ(tick, 14);
    EXPECT_EQ(hitTicksA, (std::vector<int>{10, 12}));
    EXPECT_EQ(hitTicksB, (std::vector<int>{10, 12}));
    EXPECT_TRUE(t.field.unitList.empty());
    EXPECT_EQ(t.pay.squadsLost, 1);
    int parts = 0;
    for (EE* o : t.field.fieldList.Items()) parts += o->Kind() == kKindParts;
    EXPECT_EQ(parts, 2);
}

std::string Snapshot(const Field& field) {
    std::ostringstream out;
    for (const EE* o : field.fieldList.Items()) {
        out << o->fieldId << ' ' << o->Kind() << ' ' << o->x << ',' << o->y << ' ' << o->direction
            << ' ' << o->state << ' ' << o->timer << ' ' << (o->target ? o->target->fieldId : 0) << ';';
    }
    return out.str();
}

// A busy field: walls, parts, homing and straight shooters, a fighter and a
// collector, run twice from the same start. Nothing may depend on where the
// objects happen to live in memory.
std::string RunMelee(int ticks) {
    TestField t;
    OKEspec straight = PlainSpec();
    straight.durations.fill(2);
    straight.durations[kHit] = 1;
    straight.maxHp = 60;
    OKEspec homing = straight;
    homing.homingBullets = 1;
    homing.bulletSpeed = 200;
    homing.aimTurnRate = 15;
    t.AddWall(0, 0);
    t.AddWall(4000, 2000, 400, 2000);
    for (int i = 0; i < 6; ++i) t.AddPart(-3000 + 1000 * i, -3000);
    std::vector<OKE*> units;
    for (int i = 0; i < 8; ++i) {
        units.push_back(t.Unit(i % 2 ? homing : straight, i % 3 == 0 ? 1 : 0, -5000 + 1400 * i,
                               (i % 2 ? 3000 : -2000), (i * 47) % 360 - 179));
    }
    // Each unit goes for the first enemy (or the third object) in the list,
    // looked up afresh each time as a real program's search would.
    Field& field = t.field;
    auto enemyOf = [&field](EE& me) -> EE* {
        for (EE* o : field.fieldList.Items()) {
            if (IsUnitKind(o->Kind()) && o->Kind() != me.Kind()) return o;
        }
        return nullptr;
    };
    for (std::size_t i = 0; i < units.size(); ++i) {
        OKE* self = units[i];
        Give(*self, Program({[enemyOf](EE& me) { me.SetState(kAiming, enemyOf(me)); },
                             [](EE& me) { me.SetState(kForward, nullptr); },
                             [enemyOf](EE& me) { me.SetState(kFighting, enemyOf(me)); },
                             [&field](EE& me) {
                                 if (field.fieldList.Count() > 2)
                                     me.SetState(kPickingUp, field.fieldList.At(2));
                             }},
                            true));
        self->level = 1 + static_cast<std::int32_t>(i % 3);
    }
    std::string trace;
    for (int k = 0; k < ticks; ++k) {
        WorldStep(t.field);
        trace += Snapshot(t.field) + "\n";
    }
    return trace;
}

TEST(WorldStepTest, TheSameFieldGivesTheSameBattle) {
    const std::string first = RunMelee(300);
    EXPECT_EQ(first, RunMelee(300));
    // It was a battle: bullets flew and units fell, leaving parts.
    EXPECT_NE(first.find(" 4 "), std::string::npos);
    EXPECT_NE(first.find("32 5 "), std::string::npos);  // a part left by a fallen unit
}

// A crowded random field: walls of every size (some huge, some with a
// negative size), parts, units of both sides with fast, slow, homing and
// straight bullets, programs that aim, fight, walk, jump and pick up.
//
// With `edge`, the field sits across the edge of the 32-bit coordinates and
// one model hits hard enough to throw units across it: positions wrap
// every few ticks.
std::string RunRandomBattle(std::uint32_t seed, int ticks, bool tickCache, bool edge = false, int units = 40) {
    Random random(seed);
    TestField t;
    t.field.fieldList.SetTickCache(tickCache);
    std::vector<OKEspec> specs(4, PlainSpec());
    for (std::size_t m = 0; m < specs.size(); ++m) {
        OKEspec& s = specs[m];
        for (auto& d : s.durations) d = randomRange(random, 1, 6);
        s.durations[kHit] = randomRange(random, 1, 3);
        s.maxHp = randomRange(random, 20, 200);
        s.armour = randomRange(random, 50, 150) / 100.0;
        s.aimTurnRate = randomRange(random, 5, 90);
        s.bulletSpeed = m == 3 ? 200000 : randomRange(random, 50, 900);  // one model shoots across the field
        s.bulletPower = randomRange(random, 5, 40);
        s.bulletPowerLoss = randomRange(random, 0, 2);
        s.bulletLife = randomRange(random, 20, 80);
        s.homingBullets = randomRange(random, 0, 1);
        s.bulletTurnSpeed = randomRange(random, 1, 30);
        s.ammunition = randomRange(random, 10, 60);
        s.fightPower = randomRange(random, 1, 30);
        s.level = randomRange(random, 1, 7);
    }
    if (edge) specs[2].bulletPower = 1000000000;
    const std::int32_t at = edge ? INT32_MAX - 6000 : 0;
    auto place = [at](std::int32_t v) { return WrapAdd(v, at); };
    const std::int32_t span = 12000;
    t.AddWall(place(0), place(-14000), 300000, 200);  // a huge wall along one side
    t.AddWall(place(5000), place(5000), -800, -800);
    for (int i = 0; i < 12; ++i) {
        t.AddWall(place(randomRange(random, -span, span)), place(randomRange(random, -span, span)), randomRange(random, 100, 3000),
                  randomRange(random, 100, 3000));
    }
    for (int i = 0; i < 20; ++i) t.AddPart(place(randomRange(random, -span, span)), place(randomRange(random, -span, span)));
    Field& field = t.field;
    auto nearestOf = [&field](EE& me, bool enemy) -> EE* {
        const int kind = !enemy ? kKindParts : me.Kind() == kKindPlayerUnit ? kKindRivalUnit : kKindPlayerUnit;
        return field.fieldList.Nearest(me, kind, Sector{500, 0, 360});
    };
    for (int i = 0; i < units; ++i) {
        OKE* u = t.Unit(specs[static_cast<std::size_t>(randomRange(random, 0, 3))], randomRange(random, 0, 1),
                        place(randomRange(random, -span, span)), place(randomRange(random, -span, span)), randomRange(random, -179, 180));
        Give(*u, Program({[nearestOf, &random](EE& me) {
                                const int roll = randomRange(random, 1, 100);
                                if (roll <= 60) me.SetState(kAiming, nearestOf(me, true));
                                else if (roll <= 75) me.SetState(randomRange(random, 1, 6), nullptr);
                                else if (roll <= 85) me.SetState(randomRange(random, 7, 10), nullptr);
                                else if (roll <= 90) me.SetState(kFighting, nearestOf(me, true));
                                else if (roll <= 95) me.SetState(kPickingUp, nearestOf(me, false));
                                else me.SetState(kProne, nullptr);
                            }},
                           true));
    }
    std::string trace;
    for (int k = 1; k <= ticks; ++k) {
        WorldStep(t.field);
        AppendTraceTick(trace, static_cast<std::uint64_t>(k), t.field, t.economy);
    }
    return trace;
}

// "" when two traces are the same, else their first line that differs: a
// whole trace is too long to print.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(x, la));
        const bool moreB = static_cast<bool>(std::getline(y, lb));
        if (!moreA && !moreB) return "";
        if (!moreA || !moreB || la != lb) return "line " + std::to_string(line) + ": " + la + " | " + lb;
    }
}

// The same field gives the same battle in every run: nothing may depend on
// addresses or leftovers in memory. And the tick's copies, cells and grid
// only make a tick faster: with and without them every battle comes out the
// same, object for object, tick for tick, on fields crowded enough for the
// sensors' cells too.
TEST(WorldStepTest, TheSameFieldGivesTheSameBattleWithOrWithoutTheTickCache) {
    for (std::uint32_t seed : {1u, 7u, 12345u, 99u, 2024u}) {
        const int units = seed % 2 == 1 ? 160 : 40;
        const std::string fast = RunRandomBattle(seed, 300, true, false, units);
        EXPECT_EQ(FirstDifference(RunRandomBattle(seed, 300, true, false, units), fast), "") << "seed " << seed;
        EXPECT_EQ(FirstDifference(RunRandomBattle(seed, 300, false, false, units), fast), "") << "seed " << seed;
        EXPECT_NE(fast.find(" 4 x="), std::string::npos) << "seed " << seed;  // bullets flew
    }
}

// The same across the edge of the coordinates, where positions wrap and a
// move of a few pixels can span the whole 32-bit range.
TEST(WorldStepTest, TheTickCacheNeverChangesABattleAcrossTheEdge) {
    for (std::uint32_t seed : {3u, 8u, 4242u}) {
        const std::string fast = RunRandomBattle(seed, 200, true, true);
        const std::string plain = RunRandomBattle(seed, 200, false, true);
        EXPECT_EQ(FirstDifference(fast, plain), "") << "seed " << seed;
        EXPECT_NE(fast.find("=-2147"), std::string::npos) << "seed " << seed;  // something wrapped
    }
}

}  // namespace
}  // namespace kivora
