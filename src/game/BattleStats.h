#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "sim/FieldEvents.h"

namespace kivora {

// How a unit came onto the field.
enum class UnitOrigin {
  SetUp,     // the random rival of the game's set-up
  Given,     // one of the setup's own units
  Campaign,  // deployed by the rival during the campaign
};

// The strike that took a unit's last hit points.
struct LastHit {
  std::int64_t unitId = 0;   // whose bullet or fist it was (0: a bullet of nobody known)
  bool fist = false;         // close combat; otherwise a bullet
  bool shooterFell = false;  // a bullet that struck after its shooter had fallen
};

// One unit that took part in a battle, with what it did. Hits are strikes
// (a bullet, or a fist in close combat) on a unit that still had hit points
// left; damage is the hit points such a strike took. Strikes on the own side
// count apart, as friendly hits and friendly damage, never as hits or damage
// dealt. A bullet's strike counts for its shooter also after the shooter has
// fallen.
struct UnitRecord {
  std::int64_t id = 0;  // field id
  std::int32_t team = 1;
  std::string model;    // the model file as it was asked for, bytes as they are
  std::string program;  // the program file, "" for none
  UnitOrigin origin = UnitOrigin::Given;
  std::uint64_t deployedAt = 0;         // the tick after which it joined (0: before the first)
  std::optional<std::uint64_t> fellAt;  // the tick in which it fell; none: still on the field
  std::optional<LastHit> lastHit;       // the last strike that cost it hit points
  std::uint64_t shots = 0;
  std::uint64_t hits = 0;
  std::uint64_t friendlyHits = 0;
  std::int64_t damageDealt = 0;
  std::int64_t friendlyDamage = 0;
  std::int64_t damageTaken = 0;  // from anyone, the own side included
  std::uint64_t parts = 0;       // parts picked up
  std::int32_t hp = 0;           // now (0 once fallen)
  std::int32_t ammo = 0;         // now
};

// Keeps the score of one battle from what its field tells: listens to a
// Battle (Battle::Listen) and fills one record per unit. Units are known
// from the moment one is Added or the field first tells of it. Not thread-safe
// on its own: it is written under the field lock by the world step, read by
// whoever runs the battle between ticks.
class BattleStats : public FieldEvents {
public:
  // The tick now running, for the records of units that fall in it.
  void SetTick(std::uint64_t tick) { tick_ = tick; }

  // A unit that joined the field, with its program file and origin.
  UnitRecord& Add(const OKE& unit, std::string program, UnitOrigin origin);

  // Every unit in the order it joined the field (by field id).
  const std::map<std::int64_t, UnitRecord>& Units() const { return units_; }
  const UnitRecord* Find(std::int64_t id) const;

  void PartPickedUp(const OKE& unit, std::uint32_t reward) override;
  void SquadLost() override {}
  void ShotFired(const OKE& shooter, const Bullette& bullet) override;
  void Struck(const OKE& victim, const EE& striker, std::int32_t hpBefore) override;
  void Fell(const OKE& unit) override;

private:
  UnitRecord& RecordOf(const OKE& unit);

  std::map<std::int64_t, UnitRecord> units_;
  std::uint64_t tick_ = 0;
};

}  // namespace kivora
