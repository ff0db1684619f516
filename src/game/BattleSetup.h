#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "field/FieldSetup.h"

namespace kivora {

// Where a unit of a setup starts, instead of a place and facing drawn from
// the set-up generator: field units (100 to a pixel, as the trace shows
// them) and degrees, -179..180.
struct UnitStart {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t direction = 0;
};

// One unit a setup deploys before the first tick: a model file and an
// optional program file of the data folder, for the player's side (team 1)
// or the rival's (team 0).
struct BattleUnit {
  std::int32_t team = 1;
  std::string spec;
  std::optional<std::string> program;  // none: the unit stands idle
  std::optional<UnitStart> at;         // none: placed at random, as a purchase is
};

// The longest battle a setup may ask for: at a million ticks a second it
// would still run for eleven days, and the tick counter can never wrap.
inline constexpr std::uint64_t kMaxBattleTicks = 1'000'000'000'000;

// Everything that decides a battle, as plain data: the same setup gives the
// same battle, tick for tick, in any process and on any thread. The defaults
// are the game's own start: the whole set-up, both generators at state 1.
struct BattleSetup {
  std::filesystem::path folder = ".";  // the data folder
  std::uint32_t setupSeed = 1;         // the set-up generator: field, placements, campaign
  std::uint32_t simSeed = 1;           // the simulation's: RANDOM commands, pick-up rewards
  SetUpParts parts;                    // map, random walls and parts, random rival
  std::vector<BattleUnit> units;       // deployed in this order after the set-up
  bool campaign = false;               // the rival's deployments and the leader every 1800 ticks
  std::uint64_t ticks = 3000;          // at most kMaxBattleTicks
  bool untilDecided = false;           // end as soon as one side has no unit left
};

}  // namespace kivora
