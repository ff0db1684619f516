#pragma once
#include <cstdint>
#include <string>

#include "sim/EE.h"
#include "sim/OKEspec.h"
#include "sim/Ref.h"

namespace kivora {

class Bullette;
class SpecTable;

// A robot unit: a model, hit points, ammunition and a program.
//
// A unit always has a model. The constructor takes a loaded one; the factory
// Create loads it by file name and returns an empty handle when the model
// file cannot be loaded, so a unit without a model is never created and the
// deployers skip it.
class OKE : public EE {
public:
    OKE(std::int32_t team, const OKEspec& spec);
    ~OKE() override;

    // A unit of `team` (1: the player's) built from the model file
    // `specFile`; empty when that model cannot be loaded.
    static Ref<OKE> Create(std::int32_t team, const std::string& specFile, SpecTable& specs);

    std::int32_t team;       // 1 for the player's units, 0 for the rival's
    const OKEspec* spec;     // shared model, never null
    std::int32_t hp;         // 0: destroyed, leaves the field at the end of the tick
    std::int32_t ammo;       // bullets left
    std::int32_t prone = 0;  // 1 in a tick spent lying prone: damage taken is halved

    std::int32_t StateDuration(std::int32_t s) const override;
    int Kind() const override { return team == 1 ? kKindPlayerUnit : kKindRivalUnit; }
    void Step(Field& field) override;
    std::int32_t Remain() const override { return ammo; }

    // Frees the current program and starts `first` (null: no program); the
    // unit owns it from now on. The variables stay as they are. On a shared
    // field the caller holds the field lock, as for any change to a unit.
    void InstallProgram(Command* first);
};

// What a hit does to `victim`: armour, lying prone, hit points, staggering
// and knockback along the attacker's facing (no knockback without one).
void TakeDamage(OKE& victim, std::int32_t power, const EE* attacker);

// Fires one bullet from `shooter`'s model values, one flight step in front
// of it; the bullet joins the bullet list and the field list.
Bullette* FireBullet(Field& field, const OKE& shooter);

// Takes `part` off the field if it is a part and still on it.
void PickUp(EE& part, Field& field);

}  // namespace kivora
