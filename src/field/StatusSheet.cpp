#include "field/StatusSheet.h"

#include <cstdio>

#include "base/TextCodec.h"
#include "field/ViewGeometry.h"
#include "sim/EE.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"

namespace kivora {

namespace {

template <typename... Args>
void Append(std::string& out, const char* format, Args... args) {
  char line[128];
  const int n = std::snprintf(line, sizeof line, format, args...);
  if (n > 0) out.append(line, static_cast<std::size_t>(n) < sizeof line ? static_cast<std::size_t>(n) : sizeof line - 1);
}

}  // namespace

UnitSheet SheetOf(const OKE& unit) {
  UnitSheet sheet;
  sheet.kind = unit.Kind();
  sheet.modelName = ToUtf8(unit.spec->name);
  sheet.x = unit.x;
  sheet.y = unit.y;
  sheet.direction = unit.direction;
  sheet.state = unit.state;
  sheet.hp = unit.hp;
  sheet.remain = unit.Remain();
  sheet.command = ToUtf8(unit.DescribeCommand());
  sheet.fallen = HasFallen(unit);
  sheet.variables = unit.variables;
  return sheet;
}

bool HasFallen(const OKE& unit) {
  // A unit at 0 hit points leaves the field at the end of its tick, and the
  // sheet is read between ticks: at 0 it is gone.
  return unit.hp == 0;
}

std::string SheetTitleLine(const UnitSheet& unit) {
  // Names and commands come from data files and may be of any length, so
  // they are appended whole instead of through a fixed buffer.
  return (unit.kind == 1 ? "ペコ党部隊 " : "ポボゴム ") + ("カヴォラ[" + unit.modelName + "]");
}

std::string SheetCommandLine(const UnitSheet& unit) {
  return "実行<" + (unit.fallen ? std::string("撃破") : unit.command) + ">";
}

OKE* UnitAt(const std::vector<OKE*>& units, std::int32_t fx, std::int32_t fy) {
  for (OKE* unit : units) {
    // In 64 bits: a unit far out on the field must not overflow its edges.
    const std::int64_t left = std::int64_t{unit->x} - unit->width / 2;
    const std::int64_t low = std::int64_t{unit->y} - unit->height / 2;
    if (left <= fx && fx < left + unit->width && low <= fy && fy < low + unit->height) return unit;
  }
  return nullptr;
}

std::string StatusSheetText(std::uint32_t money, std::uint32_t rivalPoints, const UnitSheet* unit) {
  std::string text;
  Append(text, "残金:%10luペコグスタ\nポボゴム:%10luポイント\n---- * ----\n",
         static_cast<unsigned long>(money), static_cast<unsigned long>(rivalPoints));
  if (unit == nullptr) return text;

  text += SheetTitleLine(*unit) + '\n';
  Append(text, "x:%d y:%d dir:%d [", static_cast<int>(unit->x / kFieldUnitsPerPixel),
         static_cast<int>(unit->y / kFieldUnitsPerPixel),
         static_cast<int>(unit->direction));
  text += StateName(unit->state);
  text += "]\n";
  Append(text, "HP:%d  武器:%d 発\n", static_cast<int>(unit->hp), static_cast<int>(unit->remain));
  text += SheetCommandLine(*unit) + '\n';
  for (int i = 0; i < 13; ++i) {
    Append(text, "%c=%10d %c=%10d\n", 'A' + i, static_cast<int>(unit->variables[i]), 'N' + i,
           static_cast<int>(unit->variables[13 + i]));
  }
  return text;
}

}  // namespace kivora
