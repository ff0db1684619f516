#include "sim/Bullette.h"

#include <gtest/gtest.h>

#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::TestField;

Bullette* Shot(TestField& t, const EE* owner, std::int32_t x, std::int32_t y, std::int32_t dir,
               std::int32_t speed, std::int32_t homing = 0, std::int32_t steering = 10,
               std::int32_t life = 100, std::int32_t power = 10, std::int32_t loss = 0) {
    Bullette* b = new Bullette(owner, homing, life, speed, power, loss, steering);
    b->x = x;
    b->y = y;
    b->direction = dir;
    t.field.bulletList.push_back(b);
    t.field.AddToFieldList(b);
    return b;
}

// The swept test samples a straight path at its four sub-step starts and
// covers a diagonal one with four rectangles.
TEST(BulletteTest, SweptTestAlongThePath) {
    const struct {
        const char* what;
        std::int32_t prevX, prevY, x, y;  // the bullet's move
        std::int32_t ox, oy, ow, oh;      // the other box
        bool hit;
    } cases[] = {
        {"box at the 100 sample", 0, 0, 0, 400, 0, 100, 20, 20, true},
        {"box at the 300 sample", 0, 0, 0, 400, 0, 300, 20, 20, true},
        {"box only at the end point", 0, 0, 0, 400, 0, 400, 20, 20, false},
        {"box between samples", 0, 0, 0, 400, 0, 150, 20, 20, false},
        {"box beside the path", 0, 0, 0, 400, 50, 200, 20, 20, false},
        {"path on the box's left edge", 0, 0, 0, 400, 10, 200, 20, 20, true},
        {"path on the box's right edge", 0, 0, 0, 400, -10, 200, 20, 20, false},
        {"flying down", 0, 400, 0, 0, 0, 300, 20, 20, true},
        {"sideways", 0, 0, 400, 0, 200, 0, 20, 20, true},
        {"sideways, end point only", 0, 0, 400, 0, 400, 0, 20, 20, false},
        {"diagonal through the box", 0, 0, 400, 400, 200, 200, 20, 20, true},
        {"diagonal past the box", 0, 0, 400, 400, 300, 100, 20, 20, false},
        {"diagonal touching a corner only", 0, 0, 400, 400, 110, -10, 20, 20, false},
        {"short move: the plain box test", 0, 0, 3, 3, 100, 0, 100, 100, true},
        {"short move: touching does not count", 0, 0, 3, 3, 103, 0, 100, 100, false},
    };
    for (const auto& c : cases) {
        Bullette b(nullptr, 0, 1, 1, 1, 0, 1);
        b.prevX = c.prevX;
        b.prevY = c.prevY;
        b.x = c.x;
        b.y = c.y;
        Parts other;
        other.x = c.ox;
        other.y = c.oy;
        other.width = c.ow;
        other.height = c.oh;
        EXPECT_EQ(b.Overlaps(other), c.hit) << c.what;
    }
}

TEST(BulletteTest, HitsDamageUnitsOfEitherSideButNeverTheShooter) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* shooter = t.Unit(spec, 1, 0, 0);
    OKE* mate = t.Unit(spec, 1, 0, 300);
    Bullette* b = Shot(t, shooter, 0, 0, 0, 200);
    b->Step(t.field);
    EXPECT_EQ(b->alive, 0);
    EXPECT_EQ(shooter->hp, spec.maxHp);
    EXPECT_EQ(mate->hp, spec.maxHp - 10);
}

TEST(BulletteTest, PartsAndBulletsAreFlownThroughWallsStopIt) {
    TestField t;
    const OKEspec spec = PlainSpec();
    t.AddPart(0, 200);
    Bullette* other = Shot(t, nullptr, 0, 200, 180, 0);
    (void)other;
    Bullette* b = Shot(t, nullptr, 0, 0, 0, 300);
    b->Step(t.field);
    EXPECT_EQ(b->alive, 1);
    EXPECT_EQ(b->y, 300);
    t.AddWall(0, 500, 100, 100);  // met by the sample at 450
    OKE* beyond = t.Unit(spec, 0, 0, 1000);
    b->Step(t.field);
    EXPECT_EQ(b->alive, 0);
    EXPECT_EQ(beyond->hp, spec.maxHp);
}

TEST(BulletteTest, WhenAPathMeetsAWallAndAUnitTheEarlierInTheListDecides) {
    for (bool wallFirst : {true, false}) {
        TestField t;
        const OKEspec spec = PlainSpec();
        OKE* unit = nullptr;
        if (wallFirst) t.AddWall(0, 400, 100, 100);
        unit = t.Unit(spec, 0, 0, 200);
        if (!wallFirst) t.AddWall(0, 400, 100, 100);
        Bullette* b = Shot(t, nullptr, 0, 0, 0, 800);
        b->Step(t.field);
        EXPECT_EQ(b->alive, 0);
        EXPECT_EQ(unit->hp, wallFirst ? spec.maxHp : spec.maxHp - 10) << wallFirst;
    }
}

TEST(BulletteTest, ExpiryByLifeAndPower) {
    const struct {
        const char* what;
        std::int32_t life, power, loss;
        int stepsAlive;  // steps after which it is still alive (-1: checked for 50)
    } cases[] = {
        {"life 1 ends after one step", 1, 10, 0, 0},
        {"life 3", 3, 10, 0, 2},
        {"life 0 never ends by age", 0, 10, 0, -1},
        {"no power loss never ends by power", 100000, 10, 0, -1},
        {"power 0, loss 1 ends after its first step", 100, 0, 1, 0},
        {"power 2, loss 1: 1, 0, then -1", 100, 2, 1, 2},
    };
    for (const auto& c : cases) {
        TestField t;
        Bullette* b = Shot(t, nullptr, 0, 0, 0, 100, 0, 10, c.life, c.power, c.loss);
        int steps = 0;
        while (b->alive == 1 && steps < 50) {
            b->Step(t.field);
            ++steps;
        }
        if (c.stepsAlive < 0) {
            EXPECT_EQ(b->alive, 1) << c.what;
        } else {
            EXPECT_EQ(steps, c.stepsAlive + 1) << c.what;
        }
        EXPECT_GE(b->power, 0) << c.what;
    }
}

TEST(BulletteTest, ADeadBulletDoesNotMove) {
    TestField t;
    Bullette* b = Shot(t, nullptr, 0, 0, 0, 100);
    b->alive = 0;
    b->Step(t.field);
    EXPECT_EQ(b->y, 0);
}

TEST(BulletteTest, GrowingPowerSaturatesInsteadOfWrapping) {
    TestField t;
    Bullette* b = Shot(t, nullptr, 0, 0, 0, 100, 0, 10, 0, INT32_MAX - 1, -10);
    b->Step(t.field);
    b->Step(t.field);
    EXPECT_EQ(b->alive, 1);
    EXPECT_EQ(b->power, INT32_MAX);
}

TEST(BulletteTest, HomingSteersInsideItsConeOnly) {
    const struct {
        const char* what;
        std::int32_t tx, ty;  // target position, the bullet at the origin facing +y
        std::int32_t spin, direction, vx, vy;
    } cases[] = {
        // 60 degrees off: straight on along its direction.
        {"60 degrees off flies straight", 8660, 5000, 0, 0, 0, 100},
        // 30 degrees off: turns by up to its steering, keeps last velocity.
        {"30 degrees off turns", 5000, 8660, 10, 10, 7, 7},
        {"30 degrees left turns left", -5000, 8660, -10, -10, 7, 7},
        // within 4 degrees: re-aims its velocity along its direction
        {"3 degrees off flies straight", 524, 10000, 0, 0, 0, 100},
    };
    for (const auto& c : cases) {
        TestField t;
        const OKEspec spec = PlainSpec();
        OKE* target = t.Unit(spec, 0, c.tx, c.ty);
        Bullette* b = Shot(t, nullptr, 0, 0, 0, 100, 1, 10);
        b->SetTarget(target);
        b->vx = 7;
        b->vy = 7;
        b->RunProgram(1, t.field);
        b->Step(t.field);
        EXPECT_EQ(b->spin, c.spin) << c.what;
        EXPECT_EQ(b->direction, c.direction) << c.what;
        EXPECT_EQ(b->vx, c.vx) << c.what;
        EXPECT_EQ(b->vy, c.vy) << c.what;
    }
}

TEST(BulletteTest, AHomingBulletDropsAFallenTargetAndFliesStraight) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* target = t.Unit(spec, 0, 5000, 8660);
    Bullette* b = Shot(t, nullptr, 0, 0, 0, 100, 1, 10);
    b->SetTarget(target);
    target->hp = 0;
    b->Step(t.field);
    EXPECT_EQ(b->target.get(), nullptr);
    EXPECT_EQ(b->state, kForward);
    EXPECT_EQ(b->y, 100);
}

}  // namespace
}  // namespace kivora

namespace kivora {
namespace {

// A bullet that flies over the edge of the 32-bit field wraps around; its
// hit test follows the short way it flew, not a path back across the field.
TEST(BulletteTest, APathOverTheEdgeOfTheFieldIsTheShortWay) {
    test::TestField t;
    const OKEspec spec = test::PlainSpec();
    OKE* farSide = t.Unit(spec, 0, 0, 0);  // in the middle of the field
    auto* b = new Bullette(nullptr, 0, 100, 400, 10, 0, 10);
    b->y = INT32_MAX - 100;
    t.field.bulletList.push_back(b);
    t.field.AddToFieldList(b);
    b->Step(t.field);
    EXPECT_EQ(b->y, INT32_MIN + 299);
    EXPECT_EQ(b->alive, 1);
    EXPECT_EQ(farSide->hp, spec.maxHp);
}

}  // namespace
}  // namespace kivora
