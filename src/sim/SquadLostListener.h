#pragma once

namespace kivora {

// Told when the player's last unit on the field has fallen. The battle goes
// on; the game window turns this into its squad-lost message. Called on the
// thread that runs the world step, with the field lock held.
class SquadLostListener {
public:
    virtual ~SquadLostListener() = default;
    virtual void SquadLost() = 0;
};

}  // namespace kivora
