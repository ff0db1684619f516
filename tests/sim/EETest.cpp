#include "sim/EE.h"

#include <gtest/gtest.h>

#include <optional>

#include "sim/EElist.h"
#include "sim/Parts.h"
#include "sim/Wall.h"
#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::TestField;

TEST(EETest, StateTableNamesAndPriorities) {
    const struct {
        std::int32_t state;
        const char* name;
        std::int32_t priority;
    } rows[] = {
        {0, "静止中", 1},      {1, "前進", 1},        {2, "後退", 1},       {3, "左移動", 1},
        {4, "右移動", 1},      {5, "左旋回", 1},      {6, "右旋回", 1},     {7, "前Ｊ準備中", 5},
        {8, "後Ｊ準備中", 5},  {9, "左Ｊ準備中", 5},  {10, "右Ｊ準備中", 5}, {11, "前Ｊ中", 6},
        {12, "後Ｊ中", 6},     {13, "左Ｊ中", 6},     {14, "右Ｊ中", 6},    {15, "射撃準備中", 2},
        {16, "射撃中", 3},     {17, "格闘", 3},       {18, "伏せ", 4},      {19, "取得", 3},
        {20, "被弾", 10},
    };
    for (const auto& r : rows) {
        EXPECT_STREQ(StateName(r.state), r.name) << r.state;
        EXPECT_EQ(StatePriorityOf(r.state), r.priority) << r.state;
    }
    EXPECT_STREQ(StateName(21), "?");
    EXPECT_STREQ(StateName(-1), "?");
}

TEST(EETest, SetStateFollowsPriorityAndCountdown) {
    OKEspec spec = PlainSpec();
    spec.durations.fill(3);
    const struct {
        const char* what;
        std::int32_t from, timer, to;
        bool taken;
    } cases[] = {
        {"equal priority, countdown running", kForward, 2, kTurnLeft, false},
        {"equal priority, no countdown", kForward, 0, kTurnLeft, true},
        {"lower priority even without countdown", kProne, 0, kForward, false},
        {"higher priority interrupts a countdown", kForward, 2, kAiming, true},
        {"being hit accepts nothing", kHit, 0, kJumpForward, false},
        {"being hit accepts another hit only without countdown", kHit, 0, kHit, true},
        {"fire, fight and pick-up share a priority", kFighting, 1, kPickingUp, false},
    };
    for (const auto& c : cases) {
        TestField t;
        OKE* u = t.Unit(spec, 1, 0, 0);
        OKE* other = t.Unit(spec, 0, 0, 0);
        u->state = c.from;
        u->timer = c.timer;
        u->SetState(c.to, other);
        EXPECT_EQ(u->state, c.taken ? c.to : c.from) << c.what;
        EXPECT_EQ(u->timer, c.taken ? 3 : c.timer) << c.what;
        EXPECT_EQ(u->target.get(), c.taken ? other : nullptr) << c.what;
    }
}

TEST(EETest, AStateWithoutTargetDropsTheOldTarget) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* u = t.Unit(spec, 1, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 0);
    u->SetState(kAiming, enemy);
    ASSERT_EQ(u->target.get(), enemy);
    EXPECT_EQ(enemy->RefCount(), 2);
    u->SetState(kProne, nullptr);
    EXPECT_EQ(u->target.get(), nullptr);
    EXPECT_EQ(enemy->RefCount(), 1);
}

TEST(EETest, CancelStandsStillButNotWhenHitAndKeepsTheTarget) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* u = t.Unit(spec, 1, 0, 0);
    OKE* enemy = t.Unit(spec, 0, 0, 0);
    u->SetState(kAiming, enemy);
    u->timer = 4;
    u->Cancel();
    EXPECT_EQ(u->state, kStanding);
    EXPECT_EQ(u->timer, 0);
    EXPECT_EQ(u->target.get(), enemy);
    u->state = kHit;
    u->timer = 7;
    u->Cancel();
    EXPECT_EQ(u->state, kHit);
    EXPECT_EQ(u->timer, 7);
}

TEST(EETest, OnlyCapitalLettersAreVariables) {
    Wall w;
    w.SetVar('A', 1);
    w.SetVar('Z', 26);
    w.SetVar('a', 5);
    w.SetVar('[', 9);
    w.SetVar('@', 9);
    EXPECT_EQ(w.GetVar('A'), 1);
    EXPECT_EQ(w.GetVar('Z'), 26);
    EXPECT_EQ(w.GetVar('a'), 0);
    EXPECT_EQ(w.GetVar('['), 0);
    EXPECT_EQ(w.GetVar('@'), 0);
    for (int i = 1; i < kVariableCount - 1; ++i) EXPECT_EQ(w.variables[static_cast<std::size_t>(i)], 0);
}

TEST(EETest, BoxOverlapExcludesTouchingBoxes) {
    const struct {
        const char* what;
        std::int32_t ax, aw, bx, bw, by;
        bool overlap;
    } cases[] = {
        {"centres 100 apart touch", 0, 100, 100, 100, 0, false},
        {"centres 99 apart overlap", 0, 100, 99, 100, 0, true},
        {"odd width: right edge at x + 51", 0, 101, 100, 100, 0, true},
        {"odd width: touching at x + 51", 0, 101, 101, 100, 0, false},
        {"odd width: left edge at x - 50", 0, 101, -100, 100, 0, false},
        {"vertically apart", 0, 100, 0, 100, 100, false},
        {"vertically overlapping", 0, 100, 0, 100, -99, true},
        {"at the far ends of the field", INT32_MAX, 400, INT32_MIN, 400, 0, false},
        {"near the edge without wrapping", INT32_MAX - 10, 400, INT32_MAX - 300, 400, 0, true},
    };
    for (const auto& c : cases) {
        Parts a, b;
        a.x = c.ax;
        a.width = c.aw;
        a.height = 100;
        b.x = c.bx;
        b.y = c.by;
        b.width = c.bw;
        b.height = 100;
        EXPECT_EQ(a.Overlaps(b), c.overlap) << c.what;
        EXPECT_EQ(b.Overlaps(a), c.overlap) << c.what;
    }
}

TEST(EETest, ATargetedObjectOutlivesItsRemovalUntilDropped) {
    const OKEspec spec = PlainSpec();
    Ref<OKE> shooter = MakeRef<OKE>(1, spec);
    Ref<Parts> part = MakeRef<Parts>();
    Parts* raw = part.get();
    shooter->SetTarget(raw);
    EXPECT_EQ(raw->RefCount(), 2);
    shooter->SetTarget(raw);  // the same target again takes no second reference
    EXPECT_EQ(raw->RefCount(), 2);
    part.Reset();  // the field lets go of it
    EXPECT_EQ(raw->RefCount(), 1);
    EXPECT_EQ(raw->Kind(), kKindParts);  // still valid
    shooter->SetTarget(nullptr);  // destroyed here (LeakSanitizer checks the rest)
}

TEST(EETest, DescribeWithoutProgramIsADash) {
    const OKEspec spec = PlainSpec();
    Ref<OKE> u = MakeRef<OKE>(1, spec);
    EXPECT_EQ(u->DescribeCommand(), "-");
    test::Give(*u, test::Program({[](EE&) {}}));
    EXPECT_EQ(u->DescribeCommand(), "SCRIPT");
}

TEST(EETest, UnitsTakeTheirModelsValues) {
    OKEspec spec = PlainSpec();
    spec.maxHp = 321;
    spec.ammunition = 7;
    spec.level = 5;
    Ref<OKE> mine = MakeRef<OKE>(1, spec);
    Ref<OKE> theirs = MakeRef<OKE>(0, spec);
    EXPECT_EQ(mine->Kind(), kKindPlayerUnit);
    EXPECT_EQ(theirs->Kind(), kKindRivalUnit);
    EXPECT_EQ(mine->hp, 321);
    EXPECT_EQ(mine->Remain(), 7);
    EXPECT_EQ(mine->level, 5);
    EXPECT_EQ(mine->width, 400);
    EXPECT_EQ(mine->moveSpeed, 100);
    EXPECT_EQ(mine->jumpSpeed, 400);
    EXPECT_EQ(mine->turnSpeed, 1);
}

TEST(EETest, AUnitWhoseModelCannotBeLoadedIsNeverCreated) {
    SpecTable table;
    EXPECT_FALSE(OKE::Create(1, "/nonexistent/none.spc", table));
    EXPECT_EQ(table.Count(), 0u);
}

TEST(EElistTest, RemoveIndexOfAndNext) {
    Parts a, b, c;
    EElist list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    list.Add(&c);
    EXPECT_EQ(list.IndexOf(&a), 0);
    EXPECT_EQ(list.IndexOf(&c), 3);
    list.Remove(&a);  // the first occurrence only, the order kept
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0), &b);
    EXPECT_EQ(list.At(1), &a);
    EXPECT_EQ(list.At(2), &c);
    Parts absent;
    list.Remove(&absent);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf(&absent), -1);
    int i = 0;
    EXPECT_EQ(list.Next(i), &b);
    EXPECT_EQ(list.Next(i), &a);
    EXPECT_EQ(list.Next(i), &c);
    EXPECT_EQ(list.Next(i), nullptr);
    EXPECT_EQ(i, 3);
}

// The sensor: sector bounds are inclusive, only the kind asked for counts,
// the searcher itself never does, and the nearest by whole pixels wins.
TEST(EElistTest, NearestLooksInTheSectorForOneKind) {
    TestField t;
    const OKEspec spec = PlainSpec();
    OKE* self = t.Unit(spec, 1, 0, 0, 0);  // faces +y
    Parts* onEdge = t.AddPart(3000, 3000);     // 45 degrees right, 42.4 px
    t.AddPart(-3000, 2800);                     // 46.97 degrees left, truncated to 46
    Parts* atRange = t.AddPart(0, 3000);        // exactly 30 px ahead
    Parts* behind = t.AddPart(0, -1000);
    const EElist& list = t.field.fieldList;

    EXPECT_EQ(list.Nearest(*self, kKindParts, {100, 0, 90}), atRange);
    EXPECT_EQ(list.Nearest(*self, kKindParts, {100, 45, 1}), onEdge);
    EXPECT_EQ(list.Nearest(*self, kKindParts, {100, -23, 1}), nullptr);  // 46 is beyond -45
    // Range 30 accepts the centre exactly 30 px away; 29 does not.
    EXPECT_EQ(list.Nearest(*self, kKindParts, {30, 0, 10}), atRange);
    EXPECT_EQ(list.Nearest(*self, kKindParts, {29, 0, 10}), nullptr);
    // A relative angle of 180 looks behind.
    EXPECT_EQ(list.Nearest(*self, kKindParts, {100, 180, 10}), behind);
    // Units: never the searcher, only the side asked for.
    EXPECT_EQ(list.Nearest(*self, kKindPlayerUnit, {100, 0, 360}), nullptr);
    OKE* rival = t.Unit(spec, 0, 0, 5000, 180);
    EXPECT_EQ(list.Nearest(*self, kKindRivalUnit, {100, 0, 360}), rival);
    EXPECT_EQ(list.Nearest(*self, kKindParts, {100, 0, 360}), behind);  // 10 px behind beats 30 ahead
}

// The collision test: the first object in list order of the kinds asked
// for, never the object itself nor the one it skips, with and without the
// grid of a tick.
TEST(EElistTest, FirstOverlappingTakesTheEarliestOfTheKindsAskedFor) {
    for (const bool ticking : {false, true}) {
        TestField t;
        const OKEspec spec = PlainSpec();
        t.AddPart(0, 0);
        OKE* self = t.Unit(spec, 1, 0, 0);
        Wall* w = t.AddWall(300, 0);
        OKE* rival = t.Unit(spec, 0, -300, 0);
        OKE* friendUnit = t.Unit(spec, 1, 0, 300);
        t.AddWall(5000, 0);
        const EElist& list = t.field.fieldList;
        std::optional<EElist::TickScope> tick;
        if (ticking) tick.emplace(t.field.fieldList);
        EXPECT_EQ(list.FirstOverlapping(*self, KindBit(kKindWall)), w) << ticking;
        EXPECT_EQ(list.FirstOverlapping(*self, kUnitKinds), rival) << ticking;
        EXPECT_EQ(list.FirstOverlapping(*self, kUnitKinds | KindBit(kKindWall)), w) << ticking;
        EXPECT_EQ(list.FirstOverlapping(*self, kUnitKinds, rival), friendUnit) << ticking;
        rival->x = 30000;  // moved: the grid follows once told
        t.field.fieldList.Refresh(*rival);
        EXPECT_EQ(list.FirstOverlapping(*self, kUnitKinds), friendUnit) << ticking;
    }
}

}  // namespace
}  // namespace kivora
