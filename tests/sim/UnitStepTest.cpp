#include <gtest/gtest.h>

#include <vector>

#include "base/Random.h"
#include "sim/Bullette.h"
#include "sim/OKE.h"
#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::TestField;

TEST(UnitStepTest, AimingTurnsAtTheModelsRateAndStandsOnlyWhenFacing) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.aimTurnRate = 20;
    OKE* u = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, -10000, 10000);  // 45 degrees to the left
    u->vx = 40;
    u->SetState(kAiming, enemy);
    const std::int32_t spins[] = {-20, -20, -5};
    for (std::int32_t s : spins) {
        u->Step(t.field);
        EXPECT_EQ(u->spin, s);
        EXPECT_EQ(u->vx, 40);  // keeps drifting while it turns
    }
    EXPECT_EQ(u->direction, -45);
    EXPECT_EQ(u->x, 120);
    u->Step(t.field);
    EXPECT_EQ(u->spin, 0);
    EXPECT_EQ(u->vx, 0);
    EXPECT_EQ(u->x, 120);
}

TEST(UnitStepTest, ATargetThatFallsWhileAimingIsDroppedAndNothingIsFired) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.aimTurnRate = 10;
    spec.durations[kAiming] = 3;
    spec.durations[kFiring] = 2;
    OKE* u = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 10000, 0);  // 90 degrees right
    u->SetState(kAiming, enemy);
    u->Step(t.field);
    EXPECT_EQ(u->spin, 10);
    enemy->hp = 0;
    u->Step(t.field);
    EXPECT_EQ(u->target.get(), nullptr);
    EXPECT_EQ(u->spin, 10);  // goes on turning at its last rate
    EXPECT_EQ(u->direction, 20);
    u->Step(t.field);  // the countdown ends: firing begins
    EXPECT_EQ(u->state, kFiring);
    u->Step(t.field);
    EXPECT_TRUE(t.field.bulletList.empty());
    EXPECT_EQ(u->ammo, spec.ammunition);
}

TEST(UnitStepTest, FiringShootsOnceFromOneFlightStepAhead) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* u = t.Unit(spec, 1, 1000, 2000, 0);
    OKE* enemy = t.Unit(spec, 0, 1000, 90000);
    u->state = kFiring;
    u->SetTarget(enemy);
    u->vx = 7;
    u->spin = 3;
    u->Step(t.field);
    ASSERT_EQ(t.field.bulletList.size(), 1u);
    Bullette* b = t.field.bulletList[0];
    EXPECT_EQ(t.field.fieldList.At(t.field.fieldList.Count() - 1), b);
    EXPECT_EQ(b->x, 1000);
    EXPECT_EQ(b->y, 2000 + spec.bulletSpeed);
    EXPECT_EQ(b->direction, 0);
    EXPECT_EQ(b->target.get(), enemy);
    EXPECT_EQ(b->owner, u);
    EXPECT_EQ(b->power, spec.bulletPower);
    EXPECT_EQ(b->life, spec.bulletLife);
    EXPECT_EQ(b->moveSpeed, spec.bulletSpeed);
    EXPECT_EQ(b->turnSpeed, spec.bulletTurnSpeed);
    EXPECT_EQ(u->ammo, spec.ammunition - 1);
    EXPECT_EQ(u->target.get(), nullptr);
    EXPECT_EQ(u->vx, 3);
    EXPECT_EQ(u->spin, 0);
    u->Step(t.field);  // still firing, but the shot has gone
    EXPECT_EQ(t.field.bulletList.size(), 1u);
}

TEST(UnitStepTest, AnEmptyUnitFiresNothingButDropsItsTarget) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.ammunition = 0;
    OKE* u = t.Unit(spec, 1, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 90000);
    u->state = kFiring;
    u->SetTarget(enemy);
    u->Step(t.field);
    EXPECT_TRUE(t.field.bulletList.empty());
    EXPECT_EQ(u->target.get(), nullptr);
    EXPECT_EQ(u->ammo, 0);
}

TEST(UnitStepTest, PickingUpTakesThePartWithinFivePixelsAndPays) {
    const struct {
        std::int32_t partY;
        bool taken;
    } cases[] = {{500, true}, {501, false}};
    for (const auto& c : cases) {
        TestField t;
        const OKEspec spec = PlainSpec();
        OKE* u = t.Unit(spec, 1, 0, 0, 0);
        Parts* part = t.AddPart(0, c.partY);
        u->SetState(kPickingUp, part);
        t.field.generator.Seed(42);
        Random copy(42);
        const int draw = randomRange(copy, 1, 10);
        u->Step(t.field);
        if (c.taken) {
            EXPECT_EQ(t.field.fieldList.IndexOf(part), -1);
            EXPECT_EQ(u->target.get(), nullptr);
            EXPECT_EQ(t.economy.GetMoney(), 1000u + 100u * static_cast<std::uint32_t>(draw));
            EXPECT_EQ(u->y, 0);
        } else {
            EXPECT_NE(t.field.fieldList.IndexOf(part), -1);
            EXPECT_EQ(u->vy, 100);  // walks one full step toward it
            EXPECT_EQ(u->y, 100);
            EXPECT_EQ(t.economy.GetMoney(), 1000u);
        }
    }
}

TEST(UnitStepTest, TwoUnitsOnOnePartBothGetPaidButItLeavesOnce) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* a = t.Unit(spec, 0, 0, 0, 0);
    OKE* b = t.Unit(spec, 0, 0, 600, 180);
    Parts* part = t.AddPart(0, 300);
    a->SetState(kPickingUp, part);
    b->SetState(kPickingUp, part);
    const int before = t.field.fieldList.Count();
    a->Step(t.field);
    EXPECT_EQ(t.field.fieldList.Count(), before - 1);
    EXPECT_EQ(part->RefCount(), 1);  // only b's target keeps it now
    b->Step(t.field);
    EXPECT_EQ(t.field.fieldList.Count(), before - 1);
    EXPECT_EQ(t.economy.GetRivalPoints(), 2u);
    EXPECT_EQ(b->target.get(), nullptr);  // and with that the part is gone
}

TEST(UnitStepTest, AHeavyHitStaggersAndKnocksBackAlongTheAttackersFacing) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.maxHp = 1000;
    spec.durations[kHit] = 4;
    OKE* victim = t.Unit(spec, 0, 0, 0, 90);
    OKE* attacker = t.Unit(spec, 1, 0, -5000, 0);
    TakeDamage(*victim, 150, attacker);
    EXPECT_EQ(victim->hp, 850);
    EXPECT_EQ(victim->state, kHit);
    EXPECT_EQ(victim->timer, 60);
    EXPECT_EQ(victim->vx, 0);
    EXPECT_EQ(victim->vy, 800);
    const std::int32_t ys[] = {400, 600, 700, 750};
    for (std::int32_t y : ys) {
        victim->Step(t.field);
        EXPECT_EQ(victim->y, y);
    }
    EXPECT_EQ(victim->timer, 56);
}

TEST(UnitStepTest, DamageRules) {
    const struct {
        const char* what;
        std::int32_t armourHundredths, power, prone, hitDuration, hp;
        std::int32_t hpAfter, state, timer;
    } cases[] = {
        {"at the threshold: no stagger", 100, 10, 0, 4, 100, 90, kStanding, 0},
        {"one above: stagger", 100, 11, 0, 4, 100, 89, kHit, 4},
        {"short hit state has no countdown", 100, 11, 0, 0, 100, 89, kHit, 0},
        {"damage x duration below 10", 100, 11, 0, 0, 100, 89, kHit, 0},
        {"prone halves an odd 7 to 3", 100, 7, 1, 4, 100, 97, kStanding, 0},
        {"armour rounds half up", 150, 7, 0, 4, 100, 89, kHit, 4},  // 10.5 -> 11
        {"armour 0.8", 80, 30, 0, 4, 100, 76, kHit, 9},
        {"more damage than hp leaves 0", 100, 500, 0, 1, 100, 0, kHit, 50},
        {"exactly the hp leaves 0", 100, 100, 0, 1, 100, 0, kHit, 10},
    };
    for (const auto& c : cases) {
        TestField t;
        OKEspec spec = PlainSpec();
        spec.armour = c.armourHundredths / 100.0;
        spec.durations[kHit] = c.hitDuration;
        spec.maxHp = c.hp;
        OKE* v = t.Unit(spec, 0, 0, 0);
        v->prone = c.prone;
        TakeDamage(*v, c.power, nullptr);
        EXPECT_EQ(v->hp, c.hpAfter) << c.what;
        EXPECT_EQ(v->state, c.state) << c.what;
        EXPECT_EQ(v->timer, c.timer) << c.what;
        EXPECT_EQ(v->vx, 0) << c.what;  // no attacker, no knockback
    }
}

// Extreme models must not overflow: the hit countdown and the knockback
// are computed wide and clamped to the 32-bit range.
TEST(UnitStepTest, HugeHitsClampInsteadOfOverflowing) {
    TestField t;
    OKEspec spec = PlainSpec();
    spec.durations[kHit] = 1000;
    spec.armour = 1.0e6;
    OKE* v = t.Unit(spec, 0, 0, 0);
    OKE* attacker = t.Unit(spec, 1, 0, 0, 0);
    TakeDamage(*v, INT32_MAX, attacker);
    EXPECT_EQ(v->hp, 0);
    EXPECT_EQ(v->timer, INT32_MAX);
    EXPECT_EQ(v->vy, INT32_MAX);
    EXPECT_EQ(v->vx, 0);
    // Negative armour: a hit that heals saturates instead of wrapping.
    spec.armour = -1.0;
    OKE* w = t.Unit(spec, 0, 0, 0);
    w->hp = INT32_MAX - 5;
    TakeDamage(*w, 100, attacker);
    EXPECT_EQ(w->hp, INT32_MAX);
    EXPECT_EQ(w->state, kStanding);
}

TEST(UnitStepTest, WallsUndoTheMoveButNotTheTurn) {
    TestField t;
    const OKEspec spec = PlainSpec();
    t.AddWall(0, 500);  // spans y 100..900
    OKE* u = t.Unit(spec, 1, 0, 0, 0);
    u->vy = 300;
    u->spin = 10;
    u->Step(t.field);
    EXPECT_EQ(u->y, 0);
    EXPECT_EQ(u->direction, 5);
    EXPECT_EQ(u->vy, 150);
    // Moving away from the wall is allowed; parts and units never block.
    t.AddPart(0, -150);
    t.Unit(spec, 0, 0, -150);
    u->vy = -200;
    u->Step(t.field);
    EXPECT_EQ(u->y, -100);
}

TEST(UnitStepTest, AUnitOnTopOfAWallCanOnlyMoveClearOfIt) {
    TestField t;
    const OKEspec spec = PlainSpec();
    t.AddWall(0, 0);  // spans -400..400
    OKE* u = t.Unit(spec, 1, 0, 0, 0);
    u->vy = 400;  // halved to 200: still on the wall
    u->Step(t.field);
    EXPECT_EQ(u->y, 0);
    u->vy = 1400;  // halved to 700: box 500..900, clear
    u->Step(t.field);
    EXPECT_EQ(u->y, 700);
}

TEST(UnitStepTest, FightingLungesAndStrikesTheFirstOverlappingUnitOncePerTick) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* friendUnit = t.Unit(spec, 1, 0, 500);
    OKE* fighter = t.Unit(spec, 1, 0, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 600);
    t.AddPart(0, 300);
    fighter->SetState(kFighting, enemy);
    fighter->Step(t.field);
    EXPECT_EQ(fighter->vy, 400);
    EXPECT_EQ(fighter->y, 400);
    EXPECT_EQ(friendUnit->hp, spec.maxHp - spec.fightPower);  // first in the list, friend or not
    EXPECT_EQ(enemy->hp, spec.maxHp);
    fighter->Step(t.field);
    EXPECT_EQ(friendUnit->hp, spec.maxHp - 2 * spec.fightPower);
    EXPECT_EQ(enemy->hp, spec.maxHp);
}

TEST(UnitStepTest, ProneLastsOnlyForTheUnitsOwnSteps) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* u = t.Unit(spec, 1, 0, 0);
    u->SetState(kProne, nullptr);
    u->vx = 9;
    u->Step(t.field);
    EXPECT_EQ(u->prone, 1);
    EXPECT_EQ(u->vx, 4);
    u->Cancel();
    u->Step(t.field);
    EXPECT_EQ(u->prone, 0);
}

TEST(UnitStepTest, StatesEndIntoTheirSuccessors) {
    OKEspec spec = PlainSpec();
    spec.durations.fill(2);
    const struct {
        std::int32_t from, after;
        std::int32_t timerAfter;
    } cases[] = {
        {kForward, kForward, 2},  // walking re-arms itself
        {kRightStep, kRightStep, 2},
        {kTurnLeft, kStanding, 0},
        {kJumpForwardReady, kJumpForward, 2},
        {kJumpBackwardReady, kJumpBackward, 2},
        {kJumpLeftReady, kJumpLeft, 2},
        {kJumpRightReady, kJumpRight, 2},
        {kJumpLeft, kStanding, 0},
        {kAiming, kFiring, 2},
        {kFiring, kStanding, 0},
        {kProne, kStanding, 0},
        {kHit, kStanding, 0},
    };
    for (const auto& c : cases) {
        TestField t;
        OKE* u = t.Unit(spec, 1, 0, 0);
        u->state = c.from;
        u->timer = 2;
        u->Step(t.field);
        EXPECT_EQ(u->state, c.from) << c.from;
        u->Step(t.field);
        EXPECT_EQ(u->state, c.after) << c.from;
        EXPECT_EQ(u->timer, c.timerAfter) << c.from;
    }
}

TEST(UnitStepTest, WalkingAndJumpingHeadings) {
    const struct {
        std::int32_t state, direction, x, y;
    } cases[] = {
        {kForward, 0, 0, 100},        {kBackward, 0, 0, -99},      {kLeftStep, 0, -99, 0},
        {kRightStep, 0, 99, 0},       {kJumpForward, 90, 399, 0},  {kJumpBackward, 90, -399, 0},
        {kBackward, 180, 0, 100},     {kLeftStep, -179, 99, -1},  // heading 91    {kTurnLeft, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TestField t;
        const OKEspec spec = PlainSpec();
        OKE* u = t.Unit(spec, 1, 0, 0, c.direction);
        u->state = c.state;
        u->Step(t.field);
        EXPECT_EQ(u->x, c.x) << c.state << "@" << c.direction;
        EXPECT_EQ(u->y, c.y) << c.state << "@" << c.direction;
    }
}

TEST(UnitStepTest, PositionsWrapAroundTheEdgeOfTheField) {
    TestField t;
    OKEspec spec = PlainSpec();
    OKE* u = t.Unit(spec, 1, 0, INT32_MAX - 50, 0);
    u->state = kForward;
    u->Step(t.field);
    EXPECT_EQ(u->y, INT32_MIN + 49);
}

}  // namespace
}  // namespace kivora
