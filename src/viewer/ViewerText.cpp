#include "viewer/ViewerText.h"

#include "base/TextCodec.h"

namespace kivora {

namespace {

std::string NameOf(std::int64_t id, const ReplayPlayer& player) {
  if (const ReplayUnitInfo* unit = player.Unit(id)) return UnitLabel(*unit);
  return "#" + std::to_string(id);
}

}  // namespace

std::string SideName(std::int32_t team) { return team == 1 ? "ペコ党" : "ポボゴム"; }

std::string UnitLabel(const ReplayUnitInfo& unit) {
  const std::string& file = unit.program.empty() ? unit.model : unit.program;
  return SideName(unit.team) + " " + ToUtf8(file);
}

std::string EventLine(const ReplayEvent& event, const ReplayPlayer& player) {
  std::string line = std::to_string(event.tick) + "  ";
  switch (event.kind) {
    case ReplayEvent::Kind::Hit:
      line += event.fist ? "格闘 " : "命中 ";
      line += NameOf(event.unitId, player);
      line += " -" + std::to_string(event.amount);
      if (event.otherId != 0) line += " ← " + NameOf(event.otherId, player);
      if (event.friendly) line += "（味方から）";
      break;
    case ReplayEvent::Kind::Fall:
      line += "撃破 " + NameOf(event.unitId, player);
      break;
    case ReplayEvent::Kind::PickUp:
      line += "回収 " + NameOf(event.unitId, player) + " +" + std::to_string(event.amount);
      break;
  }
  return line;
}

}  // namespace kivora
