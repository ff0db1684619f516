#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Fnv1a.h"

namespace kivora {

class Battle;

// The digest of everything a battle shows, as it goes: the trace of every
// tick (exactly as kivora-arena writes it, tick 0 included) and every
// message (the map's, the campaign's), kept at tick 0, at every `every`-th
// tick and wherever the battle ends. A recording keeps the digests; a replay
// computes them again, and where the two part, so did the battles.
class BattleDigest {
public:
  explicit BattleDigest(std::uint32_t every = 100) : every_(every == 0 ? 1 : every) {}

  std::uint32_t Every() const { return every_; }

  void MapUnreadable(std::string_view message);
  void Message(std::uint64_t tick, std::string_view text);
  // After tick `tick` (0: the field as set up), in tick order.
  void Ticked(std::uint64_t tick, Battle& battle);

  // The digests kept so far, with the one of the last tick fed at the end
  // when it is not a checkpoint itself.
  std::vector<std::uint64_t> Digests() const;
  // The digest after the last tick fed.
  std::uint64_t Now() const { return hash_.Value(); }

private:
  std::uint32_t every_;
  Fnv1a hash_;
  std::string scratch_;
  std::vector<std::uint64_t> kept_;
  std::uint64_t lastTick_ = 0;
  bool any_ = false;
};

}  // namespace kivora
