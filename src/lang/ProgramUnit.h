#pragma once
#include <cstdint>

namespace kivora {

// The behaviour states of a unit. Commands ask for them by number; the
// battle gives each its duration, priority and name.
inline constexpr int kStateCount = 21;
enum State : std::int32_t {
  kStanding = 0,
  kForward = 1,
  kBackward = 2,
  kLeftStep = 3,
  kRightStep = 4,
  kTurnLeft = 5,
  kTurnRight = 6,
  kJumpForwardReady = 7,
  kJumpBackwardReady = 8,
  kJumpLeftReady = 9,
  kJumpRightReady = 10,
  kJumpForward = 11,
  kJumpBackward = 12,
  kJumpLeft = 13,
  kJumpRight = 14,
  kAiming = 15,
  kFiring = 16,
  kFighting = 17,
  kProne = 18,
  kPickingUp = 19,
  kHit = 20,
};

inline constexpr int kVariableCount = 26;

// What a sector search looks for.
enum class Sought { Enemy, Friend, Wall, IncomingBullet, Part };

// A sector in front of the unit: `range` pixels, centred `angle` degrees off
// its facing, `width` degrees wide.
struct Sector {
  std::int32_t range;
  std::int32_t angle;
  std::int32_t width;
};

// The unit that runs a program, as its commands see it: its variables, what
// it knows of itself, its sensors, the states it may ask for and the battle's
// chance. The battle implements it; the language knows nothing else of units
// and fields.
class ProgramUnit {
public:
  virtual ~ProgramUnit() = default;

  // 'A'..'Z'; any other character reads 0 and writes nothing.
  virtual std::int32_t GetVar(char c) const = 0;
  virtual void SetVar(char c, std::int32_t v) = 0;

  // Position in field units, facing in degrees, ammunition left.
  virtual std::int32_t X() const = 0;
  virtual std::int32_t Y() const = 0;
  virtual std::int32_t Direction() const = 0;
  virtual std::int32_t Remain() const = 0;

  // Whether a search of the sector finds something of `what`.
  virtual bool Senses(Sought what, const Sector& sector) = 0;
  // Asks for `state` with no target; the state priorities decide.
  virtual void Request(std::int32_t state) = 0;
  // Asks for `state` aimed at the nearest `what` in the sector; nothing
  // happens when the search finds none.
  virtual void RequestToward(std::int32_t state, Sought what, const Sector& sector) = 0;

  // A draw in [lo, hi] from the battle's generator.
  virtual std::int32_t Draw(std::int32_t lo, std::int32_t hi) = 0;
};

}  // namespace kivora
