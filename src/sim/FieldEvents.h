#pragma once
#include <cstdint>

namespace kivora {

// What the battle tells its owner while it runs: the rewards of parts picked
// up (the game pays them into its economy) and the fall of the player's last
// unit (the game window turns that into its squad-lost notice). Called on
// the thread that runs the world step, in the middle of the tick.
class FieldEvents {
public:
  virtual ~FieldEvents() = default;
  // A unit of `team` picked up a part worth `reward`: ペコグスタ for the
  // player's side (team 1), rival points for the other.
  virtual void PartPickedUp(std::int32_t team, std::uint32_t reward) = 0;
  // The player's last unit on the field has fallen; the battle goes on.
  virtual void SquadLost() = 0;
};

}  // namespace kivora
