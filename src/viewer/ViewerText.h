#pragma once
// The words the viewer shows for units and events (UTF-8).
#include <string>

#include "game/ReplayPlayer.h"

namespace kivora {

// The side a unit fights for, as the sheet names it: "ペコ党" or "ポボゴム".
std::string SideName(std::int32_t team);

// A unit by side and program (its model when it runs none): "ペコ党 hunter.prg".
// File names are shown as the game would show them, converted from Shift-JIS.
std::string UnitLabel(const ReplayUnitInfo& unit);

// One line of the event list: the tick, what happened, to whom and from whom.
// Units the player does not know are named by their field id.
std::string EventLine(const ReplayEvent& event, const ReplayPlayer& player);

}  // namespace kivora
