#pragma once
#include <cstdint>

namespace kivora {

class Bullette;
class EE;
class OKE;

// What the battle tells its owner while it runs: the rewards of parts picked
// up (the game pays them into its economy), the fall of the player's last
// unit (the game window turns that into its squad-lost notice), and for
// those who keep score, every shot, every hit and every fall. Called on the
// thread that runs the world step, in the middle of the tick, under the
// field lock; the objects named are valid for the call only. A listener must
// not change the field: the battle has to come out the same whether anybody
// listens or not.
class FieldEvents {
public:
  virtual ~FieldEvents() = default;
  // `unit` picked up a part worth `reward`: ペコグスタ for the player's side
  // (team 1), rival points for the other.
  virtual void PartPickedUp(const OKE& unit, std::uint32_t reward) = 0;
  // The player's last unit on the field has fallen; the battle goes on.
  virtual void SquadLost() = 0;
  // `shooter` has just fired `bullet`.
  virtual void ShotFired(const OKE& /*shooter*/, const Bullette& /*bullet*/) {}
  // `striker` (a bullet, or a unit in close combat) has just struck
  // `victim`, who had `hpBefore` hit points and now has victim.hp.
  virtual void Struck(const OKE& /*victim*/, const EE& /*striker*/, std::int32_t /*hpBefore*/) {}
  // `unit` has no hit points left and is leaving the field at the end of
  // this tick (told before the part it leaves is placed).
  virtual void Fell(const OKE& /*unit*/) {}
};

}  // namespace kivora
