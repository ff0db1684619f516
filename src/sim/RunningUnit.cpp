#include "sim/RunningUnit.h"

#include "base/Random.h"
#include "sim/EE.h"
#include "sim/Field.h"

namespace kivora {

std::int32_t RunningUnit::GetVar(char c) const { return unit.GetVar(c); }
void RunningUnit::SetVar(char c, std::int32_t v) { unit.SetVar(c, v); }
std::int32_t RunningUnit::X() const { return unit.x; }
std::int32_t RunningUnit::Y() const { return unit.y; }
std::int32_t RunningUnit::Direction() const { return unit.direction; }
std::int32_t RunningUnit::Remain() const { return unit.Remain(); }

EE* RunningUnit::Find(Sought what, const Sector& sector) const {
  const int self = unit.Kind();
  switch (what) {
    case Sought::Enemy:
      return field.fieldList.Nearest(unit, self == kKindPlayerUnit ? kKindRivalUnit : kKindPlayerUnit, sector);
    case Sought::Friend: return field.fieldList.Nearest(unit, self, sector);
    case Sought::Wall: return field.fieldList.Nearest(unit, kKindWall, sector);
    case Sought::IncomingBullet: return field.fieldList.Nearest(unit, kKindBullet, sector, EElist::kIncomingOnly);
    case Sought::Part: return field.fieldList.Nearest(unit, kKindParts, sector);
  }
  return nullptr;
}

bool RunningUnit::Senses(Sought what, const Sector& sector) { return Find(what, sector) != nullptr; }

void RunningUnit::Request(std::int32_t state) { unit.SetState(state, nullptr); }

void RunningUnit::RequestToward(std::int32_t state, Sought what, const Sector& sector) {
  if (EE* target = Find(what, sector)) unit.SetState(state, target);
}

std::int32_t RunningUnit::Draw(std::int32_t lo, std::int32_t hi) { return randomRange(field.generator, lo, hi); }

}  // namespace kivora
