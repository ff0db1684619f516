// Commands executed one at a time by a unit on a small field: the states
// they ask for, what the searches choose, the branches and the arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Random.h"
#include "lang/Command.h"
#include "sim/Geometry.h"
#include "sim/RunningUnit.h"
#include "support/SimTestSupport.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::TestField;

// Two markers that tell which way a command went.
struct Branches {
  CommandNop next;
  CommandNop target;
};

std::unique_ptr<Command> Make(const std::string& line) {
  std::string label;
  std::unique_ptr<Command> c = CreateCommand(line.c_str(), label);
  EXPECT_NE(c, nullptr) << line;
  return c;
}

// Runs `command` once for `unit` on `field` and returns what follows it.
Command* RunOnce(Command& command, EE& unit, Field& field) {
  RunningUnit running(unit, field);
  return command.Execute(running);
}

// Executes `line` once for `unit`; true when it took its branch.
bool Branched(const std::string& line, EE& unit, Field& field) {
  Branches b;
  std::unique_ptr<Command> c = Make(line);
  if (!c) return false;
  c->next = &b.next;
  c->jumpTarget = &b.target;
  Command* after = RunOnce(*c, unit, field);
  EXPECT_TRUE(after == &b.next || after == &b.target) << line;
  return after == &b.target;
}

// Executes each line once, in order, ignoring where they lead.
void RunLines(const std::vector<std::string>& lines, EE& unit, Field& field) {
  for (const std::string& line : lines) Branched(line, unit, field);
}

class ExecuteTest : public ::testing::Test {
protected:
  OKEspec spec = PlainSpec();
  TestField t;
  Field& list() { return t.field; }
};

// --- VAR -------------------------------------------------------------------

struct VarCase {
  std::vector<std::string> lines;
  std::int32_t a;
};

TEST_F(ExecuteTest, VarArithmetic) {
  const std::string minA = "VAR,A=-2147483648";
  const std::vector<VarCase> cases = {
      {{"VAR,A=7", "VAR,A%-2"}, 1},
      {{"VAR,A=-7", "VAR,A/2"}, -3},
      {{"VAR,A=-7", "VAR,A%2"}, -1},
      {{"VAR,A=7", "VAR,A-10"}, -3},
      {{"VAR,A=6", "VAR,A*-7"}, -42},
      {{"VAR,A=2147483647", "VAR,A+1"}, INT_MIN},
      {{minA, "VAR,A-1"}, INT_MAX},
      {{"VAR,A=65536", "VAR,A*65536"}, 0},
      {{"VAR,A=65537", "VAR,A*65537"}, 131073},  // 2^32 + 2^17 + 1 wraps
      // Division by zero leaves the variable as it was; the program goes on.
      {{"VAR,A=9", "VAR,A/0"}, 9},
      {{"VAR,A=9", "VAR,A%0"}, 9},
      {{"VAR,A=9", "VAR,B=0", "VAR,A/B"}, 9},
      {{"VAR,A=9", "VAR,A%B"}, 9},
      // The one quotient that does not fit wraps; its remainder is 0.
      {{minA, "VAR,A/-1"}, INT_MIN},
      {{minA, "VAR,A%-1"}, 0},
      {{minA, "VAR,B=-1", "VAR,A/B"}, INT_MIN},
      // The variable forms.
      {{"VAR,B=5", "VAR,A=B"}, 5},
      {{"VAR,A=3", "VAR,B=5", "VAR,A+B"}, 8},
      {{"VAR,A=3", "VAR,B=5", "VAR,A-B"}, -2},
      {{"VAR,A=3", "VAR,B=5", "VAR,A*B"}, 15},
      {{"VAR,A=17", "VAR,B=5", "VAR,A/B"}, 3},
      {{"VAR,A=17", "VAR,B=-5", "VAR,A%B"}, 2},
      {{"VAR,A=4", "VAR,a+a"}, 8},
      // Variables start at 0.
      {{"VAR,A+3"}, 3},
  };
  for (const VarCase& c : cases) {
    OKE* u = t.Unit(spec, 1, 0, 0);
    RunLines(c.lines, *u, list());
    EXPECT_EQ(u->GetVar('A'), c.a) << c.lines.back();
  }
}

TEST_F(ExecuteTest, VarOnANonLetterChangesNothing) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  RunLines({"VAR,1=5", "VAR,1+5", "VAR,1/0", "VAR,@*3"}, *u, list());
  for (std::int32_t v : u->variables) EXPECT_EQ(v, 0);
}

// --- COND, REMAIN, GETINFO -----------------------------------------------------

struct BranchCase {
  std::string line;
  bool branches;
};

TEST_F(ExecuteTest, CondComparesWithNumbersAndVariables) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  u->SetVar('A', 5);
  u->SetVar('B', 7);
  u->SetVar('C', 5);
  const std::vector<BranchCase> cases = {
      {"COND,A==5,x", true},   {"COND,A==6,x", false}, {"COND,A!=6,x", true},
      {"COND,A!=5,x", false},  {"COND,A>=5,x", true},  {"COND,A>=6,x", false},
      {"COND,A<=5,x", true},   {"COND,A<=4,x", false}, {"COND,A==B,x", false},
      {"COND,A==C,x", true},   {"COND,A!=B,x", true},  {"COND,B>=A,x", true},
      {"COND,A>=B,x", false},  {"COND,A<=B,x", true},  {"COND,B<=A,x", false},
      {"COND,Q==0,x", true},   // a fresh variable is 0
      {"COND,1==0,x", true},   // a non-letter reads as 0
      {"COND,A>=-2147483648,x", true},
  };
  for (const BranchCase& c : cases) EXPECT_EQ(Branched(c.line, *u, list()), c.branches) << c.line;
}

TEST_F(ExecuteTest, RemainComparesTheAmmunitionLeft) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  u->ammo = 3;
  const std::vector<BranchCase> full = {
      {"REMAIN,==3,x", true}, {"REMAIN,!=3,x", false}, {"REMAIN,>=4,x", false},
      {"REMAIN,<=3,x", true}, {"REMAIN,<=0,x", false},
  };
  for (const BranchCase& c : full) EXPECT_EQ(Branched(c.line, *u, list()), c.branches) << c.line;
  u->ammo = 0;
  EXPECT_TRUE(Branched("REMAIN,<=0,reload", *u, list()));
}

TEST_F(ExecuteTest, GetInfoReadsPositionFacingAndAmmunition) {
  OKE* u = t.Unit(spec, 1, -1234, 5678, -90);
  u->ammo = 4;
  RunLines({"GETINFO,a=x", "GETINFO,B=Y", "GETINFO,C=DIR", "GETINFO,D=weapon", "GETINFO,1=X"}, *u,
           list());
  EXPECT_EQ(u->GetVar('A'), -1234);
  EXPECT_EQ(u->GetVar('B'), 5678);
  EXPECT_EQ(u->GetVar('C'), -90);
  EXPECT_EQ(u->GetVar('D'), 4);
}

TEST_F(ExecuteTest, GetInfoDirThenCondTellsTheFacing) {
  for (std::int32_t dir : {-179, -1, 0, 90, 180}) {
    OKE* u = t.Unit(spec, 1, 0, 0, dir);
    RunLines({"GETINFO,D=DIR"}, *u, list());
    EXPECT_EQ(Branched("COND,D>=0,L", *u, list()), dir >= 0) << dir;
  }
}

// --- RANDOM ------------------------------------------------------------------

TEST_F(ExecuteTest, RandomBranchesWithTheGivenOdds) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  t.field.generator.Seed(12345);
  int never = 0, always = 0, half = 0, over = 0;
  constexpr int trials = 4000;
  for (int i = 0; i < trials; ++i) {
    never += Branched("RANDOM,0/5,x", *u, list());
    always += Branched("RANDOM,5/5,x", *u, list());
    over += Branched("RANDOM,9/5,x", *u, list());
    half += Branched("RANDOM,1/2,x", *u, list());
  }
  EXPECT_EQ(never, 0);
  EXPECT_EQ(always, trials);
  EXPECT_EQ(over, trials);
  EXPECT_GT(half, trials * 45 / 100);
  EXPECT_LT(half, trials * 55 / 100);
}

TEST_F(ExecuteTest, RandomWithADenominatorOutsideTheDrawsRange) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  t.field.generator.Seed(7);
  // Zero or negative: never branches and leaves the generator alone.
  for (const char* line : {"RANDOM,5/0,x", "RANDOM,-5/-1,x", "RANDOM,1/-2147483648,x"}) {
    const std::uint32_t before = t.field.generator.State();
    EXPECT_FALSE(Branched(line, *u, list())) << line;
    EXPECT_EQ(t.field.generator.State(), before) << line;
  }
  // Above 32767 it draws as 32767 would.
  for (int i = 0; i < 200; ++i) {
    EXPECT_TRUE(Branched("RANDOM,32767/2147483647,x", *u, list()));
    EXPECT_TRUE(Branched("RANDOM,40000/40000,x", *u, list()));
    EXPECT_FALSE(Branched("RANDOM,0/100000,x", *u, list()));
  }
  t.field.generator.Seed(99);
  std::vector<bool> big, capped;
  for (int i = 0; i < 50; ++i) big.push_back(Branched("RANDOM,16000/100000,x", *u, list()));
  t.field.generator.Seed(99);
  for (int i = 0; i < 50; ++i) capped.push_back(Branched("RANDOM,16000/32767,x", *u, list()));
  EXPECT_EQ(big, capped);
}

// --- searches ----------------------------------------------------------------

TEST_F(ExecuteTest, SearchesCountTheirOwnKindOnly) {
  OKE* player = t.Unit(spec, 1, 0, 0);
  OKE* rival = t.Unit(spec, 0, 0, -20000);  // behind the player, facing it
  struct Case {
    EE* searcher;
    std::string line;
    bool before;  // with only the other unit on the field
    bool after;   // with a friend, a wall, a part and an incoming bullet added
  };
  const std::vector<Case> cases = {
      {player, "SEARCHE,500(180,10),x", true, true},
      {player, "SEARCHF,500(180,10),x", false, true},
      {player, "SEARCHO,500(180,10),x", false, true},
      {player, "SEARCHP,500(180,10),x", false, true},
      {player, "SEARCHB,500(180,10),x", false, true},
      {rival, "SEARCHE,500(0,10),x", true, true},
      {rival, "SEARCHF,500(0,10),x", false, false},
  };
  for (const Case& c : cases) EXPECT_EQ(Branched(c.line, *c.searcher, list()), c.before) << c.line;

  t.Unit(spec, 1, 0, -5000);
  t.AddWall(0, -6000);
  t.AddPart(0, -7000);
  Ref<Bullette> b = MakeRef<Bullette>(rival, 0, 10, 100, 1, 0, 0);
  b->y = -8000;  // flying +y, straight at the player
  t.field.AddToFieldList(b.Detach());
  for (const Case& c : cases) EXPECT_EQ(Branched(c.line, *c.searcher, list()), c.after) << c.line;
}

TEST_F(ExecuteTest, AnEnemyAt999PixelsOrMoreIsNeverFound) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  OKE* far = t.Unit(spec, 0, 0, 120000);  // 1200 pixels straight ahead
  EXPECT_FALSE(Branched("SEARCHE,5000(0,360),L", *u, list()));
  far->y = 99900;  // 999
  EXPECT_FALSE(Branched("SEARCHE,5000(0,360),L", *u, list()));
  far->y = 99899;  // 998.99 truncates to 998
  EXPECT_TRUE(Branched("SEARCHE,5000(0,360),L", *u, list()));
  EXPECT_FALSE(Branched("SEARCHE,998(0,360),L", *u, list()));
}

TEST_F(ExecuteTest, SearchSectorLimitsAreInclusive) {
  OKE* u = t.Unit(spec, 1, 0, 0, 90);  // facing +x
  OKE* e = t.Unit(spec, 0, 3000, 0);  // 30 pixels ahead
  EXPECT_TRUE(Branched("SEARCHE,30(0,2),L", *u, list()));
  EXPECT_FALSE(Branched("SEARCHE,29(0,2),L", *u, list()));
  // 45 degrees off the facing: inside a sector of 90, outside one of 88.
  e->x = 3000;
  e->y = 3000;
  EXPECT_TRUE(Branched("SEARCHE,100(0,90),L", *u, list()));
  EXPECT_FALSE(Branched("SEARCHE,100(0,88),L", *u, list()));
  // The sector turns with the relative angle: -45 is to the left of +x, i.e. toward +y.
  EXPECT_TRUE(Branched("SEARCHE,100(-45,2),L", *u, list()));
  EXPECT_FALSE(Branched("SEARCHE,100(45,2),L", *u, list()));
}

TEST_F(ExecuteTest, FireAimsAtTheNearestEnemyAndTheFirstOfEqualOnes) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  OKE* farther = t.Unit(spec, 0, 0, 20000);
  OKE* tieA = t.Unit(spec, 0, -10050, 0);  // 100.5 pixels: truncates to 100
  OKE* tieB = t.Unit(spec, 0, 10000, 0);   // 100 pixels
  OKE* friendNear = t.Unit(spec, 1, 0, 500);
  (void)farther;
  (void)friendNear;
  RunLines({"FIRE,300(0,360)"}, *u, list());
  EXPECT_EQ(u->state, kAiming);
  EXPECT_EQ(u->target.get(), tieA);

  // In list order the nearer one comes last; it still wins.
  OKE* nearest = t.Unit(spec, 0, 0, -9000);
  OKE* v = t.Unit(spec, 1, 0, 0);
  RunLines({"FIRE,300(0,360)"}, *v, list());
  EXPECT_EQ(v->target.get(), nearest);
  (void)tieB;
}

TEST_F(ExecuteTest, FireWithoutAnEnemyInSightChangesNothing) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  t.Unit(spec, 0, 0, -20000);  // behind
  RunLines({"FIRE,300(0,60)"}, *u, list());
  EXPECT_EQ(u->state, kStanding);
  EXPECT_EQ(u->target.get(), nullptr);
}

TEST_F(ExecuteTest, FireAsksToAimEvenWithoutAmmunition) {
  OKE* u = t.Unit(spec, 0, 0, 0);  // a rival's unit: its enemies are the player's
  u->ammo = 0;
  OKE* e = t.Unit(spec, 1, 0, 10000);
  RunLines({"FIRE,300(0,60)"}, *u, list());
  EXPECT_EQ(u->state, kAiming);
  EXPECT_EQ(u->target.get(), e);
}

TEST_F(ExecuteTest, FightAndGetReachThirtyPixelsAheadOnly) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  OKE* e = t.Unit(spec, 0, 0, 3100);
  Parts* p = t.AddPart(3100, 0);
  RunLines({"FIGHT", "GET"}, *u, list());
  EXPECT_EQ(u->state, kStanding);

  e->y = 3000;
  RunLines({"FIGHT"}, *u, list());
  EXPECT_EQ(u->state, kFighting);
  EXPECT_EQ(u->target.get(), e);

  OKE* w = t.Unit(spec, 1, 0, 0, 90);
  p->x = 2900;
  RunLines({"FIGHT", "GET"}, *w, list());  // the enemy is 90 degrees off: no fight
  EXPECT_EQ(w->state, kPickingUp);
  EXPECT_EQ(w->target.get(), p);
}

TEST_F(ExecuteTest, SearchbCountsOnlyBulletsHeadingForTheUnit) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  Ref<Bullette> b = MakeRef<Bullette>(nullptr, 0, 10, 100, 1, 0, 0);
  Bullette* bullet = b.get();
  bullet->y = 10000;  // 100 pixels ahead of the unit
  t.field.AddToFieldList(b.Detach());
  const std::string line = "SEARCHB,200(0,90),dodge";
  // The line from the bullet to the unit points to 180.
  const std::vector<std::pair<std::int32_t, bool>> headings = {
      {180, true}, {135, true}, {-135, true}, {134, false}, {-134, false}, {0, false}, {90, false},
  };
  for (const auto& [dir, counts] : headings) {
    bullet->direction = dir;
    EXPECT_EQ(Branched(line, *u, list()), counts) << dir;
  }
  // A bullet on top of the unit has bearing 0 towards it.
  bullet->y = 0;
  bullet->direction = 45;
  EXPECT_TRUE(Branched(line, *u, list()));
  bullet->direction = 46;
  EXPECT_FALSE(Branched(line, *u, list()));
}

TEST_F(ExecuteTest, SearchbPrefersANearerIncomingBulletOverAFartherOne) {
  // A nearer bullet flying away must not hide a farther incoming one.
  OKE* u = t.Unit(spec, 1, 0, 0);
  Ref<Bullette> away = MakeRef<Bullette>(nullptr, 0, 10, 100, 1, 0, 0);
  away->y = 5000;
  away->direction = 0;
  t.field.AddToFieldList(away.Detach());
  Ref<Bullette> in = MakeRef<Bullette>(nullptr, 0, 10, 100, 1, 0, 0);
  in->y = 15000;
  in->direction = 180;
  t.field.AddToFieldList(in.Detach());
  EXPECT_TRUE(Branched("SEARCHB,200(0,10),dodge", *u, list()));
}

TEST_F(ExecuteTest, ABranchToAMissingLabelEndsTheProgram) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  Parts* part = t.AddPart(0, 1000);
  std::string label;
  std::unique_ptr<Command> c = CreateCommand("SEARCHP,100(0,90),nowhere", label);
  CommandNop after;
  c->next = &after;
  EXPECT_EQ(RunOnce(*c, *u, list()), nullptr);
  part->y = -1000;  // behind the unit: nothing in the sector
  EXPECT_EQ(RunOnce(*c, *u, list()), &after);
}

// The searches must choose exactly what the sensor of the rules chooses:
// the whole field list in order, the wanted kind only, centres within the
// range and the sector (bounds inclusive), the nearest by whole pixels, the
// first of equals, nothing at 999 or beyond, and for SEARCHB only bullets
// heading at the unit. Written here the plain way, over every object; the
// game's searches keep lists by kind and reject early. Crowded random fields
// make ties and boundary cases common.
EE* SensorChoice(EE& unit, const EElist& list, std::int32_t angle, std::int32_t width, std::int32_t range,
                 int wanted) {
  const std::int32_t centre = NormalizeAngle(unit.direction + angle);
  std::int32_t best = 999;
  EE* chosen = nullptr;
  for (EE* obj : list.Items()) {
    if (obj == &unit || obj->Kind() != wanted) continue;
    const BearingDistance bd = BearingAndDistance(unit.x, unit.y, obj->x, obj->y);
    if (range < bd.distance) continue;
    const std::int32_t off = NormalizeAngle(bd.bearing - centre);
    if (off < -(width / 2) || off > width / 2) continue;
    if (wanted == kKindBullet) {
      const BearingDistance back = BearingAndDistance(obj->x, obj->y, unit.x, unit.y);
      const std::int32_t d = NormalizeAngle(back.bearing - obj->direction);
      if (d < -45 || d > 45) continue;
    }
    const std::int32_t dist = TruncToInt32(bd.distance);
    if (dist < best) {
      best = dist;
      chosen = obj;
    }
  }
  return chosen;
}

TEST_F(ExecuteTest, SearchesChooseWhatTheSensorWalkChooses) {
  Random random(2024);
  const char* const keywords[] = {"SEARCHE", "SEARCHF", "SEARCHO", "SEARCHB", "SEARCHP"};
  for (int field = 0; field < 32; ++field) {
    TestField f;
    const std::int32_t spread = field % 2 == 0 ? 40 : 1500;  // pixels
    auto spot = [&] { return randomRange(random, -spread, spread) * (field % 4 < 2 ? 100 : 1); };
    // Crowded fields fill the sensors' cells; half of them are searched
    // inside a tick, where the sensors read their copy and their cells.
    const int objects = field % 3 == 0 ? 400 : 40;
    for (int k = 0; k < objects; ++k) {
      const std::int32_t x = spot(), y = spot();
      switch (randomRange(random, 0, 4)) {
        case 0: f.Unit(spec, 1, x, y, randomRange(random, -179, 180)); break;
        case 1: f.Unit(spec, 0, x, y, randomRange(random, -179, 180)); break;
        case 2: f.AddWall(x, y); break;
        case 3: f.AddPart(x, y); break;
        default: {
          Ref<Bullette> b = MakeRef<Bullette>(nullptr, 0, 10, 100, 1, 0, 0);
          b->x = x;
          b->y = y;
          b->direction = randomRange(random, -179, 180);
          f.field.AddToFieldList(b.Detach());
        }
      }
    }
    EElist& fl = f.field.fieldList;
    Field& ff = f.field;
    std::optional<EElist::TickScope> tick;
    if (field % 4 >= 2) tick.emplace(fl);
    for (int trial = 0; trial < 60; ++trial) {
      OKE* u = nullptr;
      while (u == nullptr) {
        EE* obj = fl.At(randomRange(random, 0, fl.Count() - 1));
        if (IsUnitKind(obj->Kind())) u = static_cast<OKE*>(obj);
      }
      const std::int32_t angle = randomRange(random, -179, 180);
      const std::int32_t width = randomRange(random, 1, 360);
      const std::int32_t range = randomRange(random, 0, spread * 3);
      const int enemy = u->Kind() == kKindPlayerUnit ? kKindRivalUnit : kKindPlayerUnit;
      const int wanted[] = {enemy, u->Kind(), kKindWall, kKindBullet, kKindParts};
      const std::string args = "," + std::to_string(range) + "(" + std::to_string(angle) + "," +
                               std::to_string(width) + ")";
      for (int c = 0; c < 5; ++c) {
        EE* const expected = SensorChoice(*u, fl, angle, width, range, wanted[c]);
        ASSERT_EQ(fl.Nearest(*u, wanted[c], Sector{range, angle, width}, c == 3 ? EElist::kIncomingOnly : EElist::kAnyHeading),
                  expected)
            << keywords[c] << args;
        ASSERT_EQ(Branched(keywords[c] + args + ",L", *u, ff), expected != nullptr) << keywords[c] << args;
      }
      u->state = kStanding;
      u->timer = 0;
      u->SetTarget(nullptr);
      RunLines({"FIRE" + args}, *u, ff);
      ASSERT_EQ(u->target.get(), SensorChoice(*u, fl, angle, width, range, enemy)) << "FIRE" << args;
      u->state = kStanding;
      u->SetTarget(nullptr);
    }
  }
}

// --- state requests ------------------------------------------------------------

TEST_F(ExecuteTest, MovementCommandsRequestTheirStates) {
  const std::vector<std::pair<std::string, std::int32_t>> cases = {
      {"FORWARD", kForward},          {"BACKWARD", kBackward},
      {"LEFT", kLeftStep},            {"RIGHT", kRightStep},
      {"STOP", kStanding},            {"TURNLEFT", kTurnLeft},
      {"TURNRIGHT", kTurnRight},      {"JUMPFORWARD", kJumpForwardReady},
      {"JUMPBACKWARD", kJumpBackwardReady}, {"JUMPLEFT", kJumpLeftReady},
      {"JUMPRIGHT", kJumpRightReady}, {"PRONE", kProne},
      {"NOP", kTurnRight},            // NOP leaves the state alone
  };
  OKE* u = t.Unit(spec, 1, 0, 0);
  for (const auto& [line, state] : cases) {
    u->state = kTurnRight;
    u->timer = 0;
    RunLines({line}, *u, list());
    EXPECT_EQ(u->state, state) << line;
  }
}

TEST_F(ExecuteTest, StateRequestsObeyThePriorityRule) {
  spec.durations[kForward] = 5;
  OKE* u = t.Unit(spec, 1, 0, 0);
  RunLines({"FORWARD", "TURNLEFT"}, *u, list());  // same priority, countdown running
  EXPECT_EQ(u->state, kForward);
  RunLines({"PRONE", "FORWARD"}, *u, list());  // higher interrupts, lower is refused
  EXPECT_EQ(u->state, kProne);
}

}  // namespace
}  // namespace kivora
