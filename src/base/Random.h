#pragma once
#include <cstdint>

namespace kivora {

// A source of the game's random numbers: the classic C library generator
// (state = state * 1103515245 + 12345, result = bits 16..30 of the state,
// 0..32767). A battle owns two of them, the window thread's (set-up,
// purchases, the rival's deployments, the leader, the slot machine) and the
// simulation's (RANDOM commands and pick-up rewards), so the two never
// disturb each other and two battles never share one.
class Random {
public:
  // A new generator starts at state 1, as an unseeded C library one does:
  // the simulation relies on that for repeatable battles.
  explicit Random(std::uint32_t state = 1) : state_(state) {}

  // The next raw draw, 0..32767.
  int Draw();

  std::uint32_t State() const { return state_; }
  void Seed(std::uint32_t state) { state_ = state; }

private:
  std::uint32_t state_;
};

// An integer in [lo, hi] from `random`, every value equally likely, for
// 1 <= hi - lo + 1 <= 32767. Outside that span the result is still defined
// and the call always returns:
//   hi < lo                 -> lo, and nothing is drawn;
//   hi - lo + 1 > 32767     -> one draw r, scaled: lo + r * (hi - lo + 1) / 32768
//                              (in range, but not every value can come out).
int randomRange(Random& random, int lo, int hi);

}  // namespace kivora
