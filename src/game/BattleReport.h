#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "game/BattleRun.h"

namespace kivora {

class JsonWriter;

// How a battle's result and its units read, as text for a terminal (every
// name from a file or a command line escaped) and as JSON for scripts. The
// layout of both is in docs/arena-json.md; the text is kivora-arena's
// summary, the JSON members are shared by whatever else reports battles.

// "player's side" or "rival's side".
const char* SideTitle(std::int32_t team);

// The result line: "result: the player's side won at tick 412", "result: a
// draw at tick 412, both sides fell in it", "result: a draw at the time
// limit (tick 3000), both sides still on the field", or for a run stopped
// before its end "result: none, stopped at tick 57 with both sides on the
// field". Ends with a line feed.
std::string DescribeResult(const BattleRun& run);

// Two lines per unit that took part, in the order they joined the field:
//   #22 player's side standard.spc hunter.prg: fell at tick 311, last hit by the bullet of #21 missile.spc guard.prg
//     shots 12, hits 5 (friendly 1), damage dealt 300 (friendly 20), damage taken 200, parts 1
std::string DescribeUnits(const BattleRun& run);

// JSON values, each one member's value (the caller writes the key):
// the setup as an object, the result as an object, the two sides' tallies
// as an object, the units as an array.
void WriteSetupJson(JsonWriter& json, const BattleSetup& setup);
void WriteResultJson(JsonWriter& json, const BattleRun& run);
void WriteSidesJson(JsonWriter& json, const BattleRun& run);
void WriteUnitsJson(JsonWriter& json, const BattleRun& run);
// The same array from the records alone, for results kept after their
// battle is gone.
void WriteUnitsJson(JsonWriter& json, const std::map<std::int64_t, UnitRecord>& units);

// kivora-arena's whole document: format, version, setup, ticks run, why it
// stopped early (`stopped`; empty: it did not), result, sides, units.
inline constexpr int kArenaJsonVersion = 1;
std::string ArenaJson(const BattleRun& run, std::string_view stopped);

}  // namespace kivora
