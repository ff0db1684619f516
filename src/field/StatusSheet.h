#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lang/ProgramUnit.h"

namespace kivora {

class OKE;

// What the status view shows of one unit, gathered under the field lock so
// the sheet can be written without holding it. Texts are UTF-8.
struct UnitSheet {
  int kind = 0;               // 1 = the player's side, anything else the rival's
  std::string modelName;      // the model file the unit was built from
  std::int32_t x = 0, y = 0;  // field units
  std::int32_t direction = 0;
  int state = 0;              // 0..20
  std::int32_t hp = 0;
  std::int32_t remain = 0;    // bullets left
  std::string command;        // the command to run next, "-" when none
  bool fallen = false;        // destroyed in battle: no program runs any more
  std::array<std::int32_t, kVariableCount> variables{};
};

// Gathers the sheet of `unit`; the caller holds the field lock.
UnitSheet SheetOf(const OKE& unit);

// Whether `unit` has fallen in battle; the caller holds the field lock.
bool HasFallen(const OKE& unit);

// Two lines of the sheet, without their '\n': the unit's side and model
// ("ペコ党部隊 カヴォラ[kivo.spc]") and what it runs ("実行<FORWARD>",
// "実行<撃破>" once fallen).
std::string SheetTitleLine(const UnitSheet& unit);
std::string SheetCommandLine(const UnitSheet& unit);

// The unit a click at field point (fx, fy) selects: the first in `units`
// (deployment order) whose box holds the point, left and bottom edges
// included; null when the click hits none.
OKE* UnitAt(const std::vector<OKE*>& units, std::int32_t fx, std::int32_t fy);

// The whole text of the status view: money, rival points, the rule, and the
// sheet of the selected unit when there is one (20 lines), every line ended
// by '\n'. A fallen unit keeps its last values, but its 実行 line reads
// 実行<撃破>, so it cannot be taken for a unit still at work.
std::string StatusSheetText(std::uint32_t money, std::uint32_t rivalPoints, const UnitSheet* unit);

}  // namespace kivora
