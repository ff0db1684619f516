#pragma once
#include <cstdint>

#include "economy/Economy.h"
#include "economy/MessageSink.h"

namespace kivora {

class Random;

// The party leader drops by on every fifth call (the campaign calls this
// after each rival deployment, so every fifteen minutes). He takes the whole
// debt if the player can pay it, or adds a tenth of it as interest if not,
// and then takes his allowance from what money is left, or, when the player
// has next to nothing, scolds and pays for his own visit. Every step is told
// in `log`; his words are drawn from `random`. `visitCount` is the caller's counter of calls (0 at the start of
// the game); returns true when the leader came.
bool LeaderVisit(std::int32_t& visitCount, Economy& economy, Random& random, MessageSink& log);

// The leader's allowance from money `m` when m >= 10000: a tenth of the
// money rounded up to a whole hundred (the tenth itself rounded down first).
constexpr std::uint32_t LeaderAllowance(std::uint32_t m) { return ((m / 10 + 99) / 100) * 100; }

}  // namespace kivora
