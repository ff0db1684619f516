// What each command does when a unit executes it: the state it asks the
// unit for, what it looks for on the field, how it counts with the unit's
// variables, and which command runs after it.
#include <cstdint>
#include <iterator>

#include "app/Random.h"
#include "lang/Command.h"
#include "sim/EE.h"
#include "sim/EElist.h"
#include "sim/Geometry.h"

namespace kivora {

namespace {

// Nothing at this distance (in pixels) or beyond is ever chosen, whatever
// the range a command asks for.
constexpr std::int32_t kFarthestCounted = 999;

// Close combat and picking up look this far ahead, in a quarter circle.
constexpr std::int32_t kReachRange = 30;
constexpr std::int32_t kReachWidth = 90;

// A bullet counts for SEARCHB only when it heads at most this many degrees
// away from the line to the searching unit.
constexpr std::int32_t kIncomingCone = 45;

// The largest denominator the random draw can serve.
constexpr std::int32_t kRandomMax = 32767;

std::int32_t EnemyKind(const EE& unit) {
  return unit.Kind() == kKindPlayerUnit ? kKindRivalUnit : kKindPlayerUnit;
}

bool HeadsTowards(const EE& bullet, const EE& unit) {
  const BearingDistance bd = BearingAndDistance(bullet.x, bullet.y, unit.x, unit.y);
  const std::int32_t d = NormalizeAngle(WrapSub(bd.bearing, bullet.direction));
  return d >= -kIncomingCone && d <= kIncomingCone;
}

// The nearest object of `wanted` kind in the sector; of several at the same
// whole-pixel distance the first in the field list. With `incoming`, only
// bullets flying towards the unit count.
//
// This is the sensor walk (EElist::FindInSector) with the kind test first
// and two cheap rejections before the bearing is worked out: an object
// whose offset on either axis is a full pixel beyond the range, or beyond
// the best distance so far, can neither be in the sector nor win. Every
// object that passes is judged exactly as the sensor judges it, so the
// choice is the same; the searches run thousands of times a tick on a busy
// field, and most objects fail on kind or distance.
EE* Search(EE& unit, EElist& fieldList, std::int32_t angle, std::int32_t width, std::int32_t range,
           int wanted, bool incoming = false) {
  if (range < 0) return nullptr;
  const std::int32_t centre = NormalizeAngle(WrapAdd(unit.direction, angle));
  const std::int32_t half = width / 2;
  std::int32_t best = kFarthestCounted;
  EE* chosen = nullptr;
  for (EE* obj : fieldList.Items()) {
    if (obj == &unit || obj->Kind() != wanted) continue;
    const std::int64_t reach = (std::int64_t{range < best ? range : best} + 1) * 100;
    const std::int64_t dx = std::int64_t{obj->x} - unit.x;
    const std::int64_t dy = std::int64_t{obj->y} - unit.y;
    if (dx > reach || dx < -reach || dy > reach || dy < -reach) continue;
    const BearingDistance bd = BearingAndDistance(dx, dy);
    if (range < bd.distance) continue;
    const std::int32_t off = NormalizeAngle(WrapSub(bd.bearing, centre));
    if (off > half || off < -half) continue;
    const std::int32_t distance = TruncToInt32(bd.distance);
    if (distance >= best) continue;
    if (incoming && !HeadsTowards(*obj, unit)) continue;
    best = distance;
    chosen = obj;
  }
  return chosen;
}

bool Compare(int code, std::int32_t a, std::int32_t b) {
  switch (code % 4) {
    case 0: return a == b;
    case 1: return a != b;
    case 2: return a >= b;
    default: return a <= b;
  }
}

// The arithmetic of VAR on 32-bit values. +, - and * wrap around. / and %
// truncate toward zero; dividing by zero leaves the variable as it was, and
// the one quotient that does not fit (-2147483648 / -1) wraps to
// -2147483648 with remainder 0, so a program never stops on its numbers.
std::int32_t Arithmetic(int code, std::int32_t c, std::int32_t s) {
  const std::int64_t wide = c;
  switch (code % 6) {
    case 0: return s;
    case 1: return WrapToInt32(wide + s);
    case 2: return WrapToInt32(wide - s);
    case 3: return WrapToInt32(wide * s);
    case 4: return s == 0 ? c : WrapToInt32(wide / s);
    default: return s == 0 ? c : static_cast<std::int32_t>(wide % s);
  }
}

}  // namespace

Command* CommandNop::Execute(EE*, EElist&) { return next; }

Command* CommandMove::Execute(EE* unit, EElist&) {
  static constexpr std::int32_t states[] = {kForward, kBackward, kLeftStep, kRightStep, kStanding};
  if (kind >= 0 && kind < static_cast<int>(std::size(states))) unit->SetState(states[kind], nullptr);
  return next;
}

Command* CommandJump::Execute(EE* unit, EElist&) {
  static constexpr std::int32_t states[] = {kJumpForwardReady, kJumpBackwardReady, kJumpLeftReady,
                                            kJumpRightReady};
  if (kind >= 0 && kind < static_cast<int>(std::size(states))) unit->SetState(states[kind], nullptr);
  return next;
}

Command* CommandTurn::Execute(EE* unit, EElist&) {
  unit->SetState(kind == TURNRIGHT ? kTurnRight : kTurnLeft, nullptr);
  return next;
}

// FIRE asks to aim whether or not the unit has a bullet left; an empty unit
// goes through the motions without firing.
Command* CommandFire::Execute(EE* unit, EElist& fieldList) {
  if (EE* enemy = Search(*unit, fieldList, angle, width, range, EnemyKind(*unit))) {
    unit->SetState(kAiming, enemy);
  }
  return next;
}

Command* CommandFight::Execute(EE* unit, EElist& fieldList) {
  if (EE* enemy = Search(*unit, fieldList, 0, kReachWidth, kReachRange, EnemyKind(*unit))) {
    unit->SetState(kFighting, enemy);
  }
  return next;
}

Command* CommandProne::Execute(EE* unit, EElist&) {
  unit->SetState(kProne, nullptr);
  return next;
}

Command* CommandGetParts::Execute(EE* unit, EElist& fieldList) {
  if (EE* part = Search(*unit, fieldList, 0, kReachWidth, kReachRange, kKindParts)) {
    unit->SetState(kPickingUp, part);
  }
  return next;
}

Command* CommandSearchEnemy::Execute(EE* unit, EElist& fieldList) {
  return Search(*unit, fieldList, angle, width, range, EnemyKind(*unit)) ? jumpTarget : next;
}

Command* CommandSearchFriend::Execute(EE* unit, EElist& fieldList) {
  return Search(*unit, fieldList, angle, width, range, unit->Kind()) ? jumpTarget : next;
}

Command* CommandSearchObject::Execute(EE* unit, EElist& fieldList) {
  return Search(*unit, fieldList, angle, width, range, kKindWall) ? jumpTarget : next;
}

Command* CommandSearchBullette::Execute(EE* unit, EElist& fieldList) {
  return Search(*unit, fieldList, angle, width, range, kKindBullet, true) ? jumpTarget : next;
}

Command* CommandSearchParts::Execute(EE* unit, EElist& fieldList) {
  return Search(*unit, fieldList, angle, width, range, kKindParts) ? jumpTarget : next;
}

// The draw serves denominators up to 32767: a larger one counts as 32767
// (N of D for N >= 32767 still always branches), and a denominator of 0 or
// less never branches and draws nothing.
Command* CommandRandom::Execute(EE*, EElist&) {
  if (denominator <= 0) return next;
  const std::int32_t d = denominator > kRandomMax ? kRandomMax : denominator;
  return randomRange(1, d) <= numerator ? jumpTarget : next;
}

Command* CommandRemain::Execute(EE* unit, EElist&) {
  return Compare(op, unit->Remain(), value) ? jumpTarget : next;
}

Command* CommandVar::Execute(EE* unit, EElist&) {
  const std::int32_t c = unit->GetVar(variable);
  const std::int32_t s = op < 6 ? value : unit->GetVar(sourceVariable);
  unit->SetVar(variable, Arithmetic(op, c, s));
  return next;
}

Command* CommandVarCond::Execute(EE* unit, EElist&) {
  const std::int32_t a = unit->GetVar(variable);
  const std::int32_t b = op < 4 ? value : unit->GetVar(sourceVariable);
  return Compare(op, a, b) ? jumpTarget : next;
}

Command* CommandGetInfo::Execute(EE* unit, EElist&) {
  std::int32_t v = 0;
  switch (item) {
    case X: v = unit->x; break;
    case Y: v = unit->y; break;
    case DIR: v = unit->direction; break;
    default: v = unit->Remain(); break;
  }
  unit->SetVar(variable, v);
  return next;
}

}  // namespace kivora
