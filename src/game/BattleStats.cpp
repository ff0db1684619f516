#include "game/BattleStats.h"

#include "sim/Bullette.h"
#include "sim/OKE.h"

namespace kivora {

UnitRecord& BattleStats::Add(const OKE& unit, std::string program, UnitOrigin origin) {
  UnitRecord& record = RecordOf(unit);
  record.program = std::move(program);
  record.origin = origin;
  record.deployedAt = tick_;
  return record;
}

const UnitRecord* BattleStats::Find(std::int64_t id) const {
  const auto found = units_.find(id);
  return found == units_.end() ? nullptr : &found->second;
}

UnitRecord& BattleStats::RecordOf(const OKE& unit) {
  const auto [at, added] = units_.try_emplace(unit.fieldId);
  UnitRecord& record = at->second;
  if (added) {
    record.id = unit.fieldId;
    record.team = unit.team;
    record.model = unit.spec->name;
    record.origin = UnitOrigin::Campaign;
    record.deployedAt = tick_;
    record.hp = unit.hp;
    record.ammo = unit.ammo;
  }
  return record;
}

void BattleStats::PartPickedUp(const OKE& unit, std::uint32_t) { ++RecordOf(unit).parts; }

void BattleStats::ShotFired(const OKE& shooter, const Bullette&) {
  UnitRecord& record = RecordOf(shooter);
  ++record.shots;
  record.ammo = shooter.ammo;
}

void BattleStats::Struck(const OKE& victim, const EE& striker, std::int32_t hpBefore) {
  UnitRecord& hurt = RecordOf(victim);
  hurt.hp = victim.hp;
  // A unit already at 0 falls at the end of the tick whatever strikes it
  // now: such strikes score nothing.
  if (hpBefore == 0) return;
  const std::int64_t damage = std::int64_t{hpBefore} - victim.hp;
  hurt.damageTaken += damage;

  LastHit hit;
  UnitRecord* by = nullptr;
  if (striker.Kind() == kKindBullet) {
    const auto& bullet = static_cast<const Bullette&>(striker);
    hit.unitId = bullet.ownerFieldId;
    hit.shooterFell = bullet.owner == nullptr;
    const auto found = units_.find(bullet.ownerFieldId);
    if (found != units_.end()) by = &found->second;
  } else if (IsUnitKind(striker.Kind())) {
    const auto& fighter = static_cast<const OKE&>(striker);
    hit.unitId = fighter.fieldId;
    hit.fist = true;
    by = &RecordOf(fighter);
  }
  if (damage > 0 || !hurt.lastHit) hurt.lastHit = hit;
  if (by == nullptr) return;
  if (by->team == victim.team) {
    ++by->friendlyHits;
    by->friendlyDamage += damage;
  } else {
    ++by->hits;
    by->damageDealt += damage;
  }
}

void BattleStats::Fell(const OKE& unit) {
  UnitRecord& record = RecordOf(unit);
  record.fellAt = tick_;
  record.hp = 0;
}

}  // namespace kivora
