// What each command does when a unit executes it: the state it asks the
// unit for, what it looks for on the field, how it counts with the unit's
// variables, and which command runs after it.
#include <cstdint>
#include <iterator>

#include "base/IntMath.h"
#include "lang/Command.h"

namespace kivora {

namespace {

// Close combat and picking up look this far ahead, in a quarter circle.
constexpr Sector kReach{30, 0, 90};

// The largest denominator the random draw can serve.
constexpr std::int32_t kRandomMax = 32767;

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

Command* CommandNop::Execute(ProgramUnit&) { return next; }

Command* CommandMove::Execute(ProgramUnit& unit) {
  static constexpr std::int32_t states[] = {kForward, kBackward, kLeftStep, kRightStep, kStanding};
  if (kind >= 0 && kind < static_cast<int>(std::size(states))) unit.Request(states[kind]);
  return next;
}

Command* CommandJump::Execute(ProgramUnit& unit) {
  static constexpr std::int32_t states[] = {kJumpForwardReady, kJumpBackwardReady, kJumpLeftReady,
                                            kJumpRightReady};
  if (kind >= 0 && kind < static_cast<int>(std::size(states))) unit.Request(states[kind]);
  return next;
}

Command* CommandTurn::Execute(ProgramUnit& unit) {
  unit.Request(kind == TURNRIGHT ? kTurnRight : kTurnLeft);
  return next;
}

// FIRE asks to aim whether or not the unit has a bullet left; an empty unit
// goes through the motions without firing.
Command* CommandFire::Execute(ProgramUnit& unit) {
  unit.RequestToward(kAiming, Sought::Enemy, Sector{range, angle, width});
  return next;
}

Command* CommandFight::Execute(ProgramUnit& unit) {
  unit.RequestToward(kFighting, Sought::Enemy, kReach);
  return next;
}

Command* CommandProne::Execute(ProgramUnit& unit) {
  unit.Request(kProne);
  return next;
}

Command* CommandGetParts::Execute(ProgramUnit& unit) {
  unit.RequestToward(kPickingUp, Sought::Part, kReach);
  return next;
}

Command* CommandSearch::Execute(ProgramUnit& unit) {
  return unit.Senses(Target(), Sector{range, angle, width}) ? jumpTarget : next;
}

// The draw serves denominators up to 32767: a larger one counts as 32767
// (N of D for N >= 32767 still always branches), and a denominator of 0 or
// less never branches and draws nothing.
Command* CommandRandom::Execute(ProgramUnit& unit) {
  if (denominator <= 0) return next;
  const std::int32_t d = denominator > kRandomMax ? kRandomMax : denominator;
  return unit.Draw(1, d) <= numerator ? jumpTarget : next;
}

Command* CommandRemain::Execute(ProgramUnit& unit) {
  return Compare(op, unit.Remain(), value) ? jumpTarget : next;
}

Command* CommandVar::Execute(ProgramUnit& unit) {
  const std::int32_t c = unit.GetVar(variable);
  const std::int32_t s = op < 6 ? value : unit.GetVar(sourceVariable);
  unit.SetVar(variable, Arithmetic(op, c, s));
  return next;
}

Command* CommandVarCond::Execute(ProgramUnit& unit) {
  const std::int32_t a = unit.GetVar(variable);
  const std::int32_t b = op < 4 ? value : unit.GetVar(sourceVariable);
  return Compare(op, a, b) ? jumpTarget : next;
}

Command* CommandGetInfo::Execute(ProgramUnit& unit) {
  std::int32_t v = 0;
  switch (item) {
    case X: v = unit.X(); break;
    case Y: v = unit.Y(); break;
    case DIR: v = unit.Direction(); break;
    default: v = unit.Remain(); break;
  }
  unit.SetVar(variable, v);
  return next;
}

}  // namespace kivora
