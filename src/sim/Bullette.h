#pragma once
#include <cstdint>

#include "sim/EE.h"

namespace kivora {

// A bullet in flight.
class Bullette : public EE {
public:
    // `speed` becomes the flight speed (`moveSpeed`), `steering` the largest
    // turn per tick of a homing bullet (`turnSpeed`).
    Bullette(const EE* owner, std::int32_t homing, std::int32_t life, std::int32_t speed,
             std::int32_t power, std::int32_t powerLoss, std::int32_t steering);

    const EE* owner;  // the shooter: compared by identity only, never used
    // The shooter's field id, kept for traces: the shooter may be gone while
    // its bullet still flies.
    std::int64_t ownerFieldId;
    std::int32_t alive = 1;  // 0 once it must leave the field
    std::int32_t homing;     // 1: steers toward its target
    std::int32_t life;       // ticks left
    std::int32_t power;      // damage dealt on a hit
    std::int32_t powerLoss;  // power lost per tick
    std::int32_t prevX = 0, prevY = 0;  // position before this tick's move

    int Kind() const override { return kKindBullet; }
    // A bullet runs no program; it only marks itself as steering until its
    // step decides otherwise.
    void RunProgram(int, Field&) override { state = 0; }
    // Steering, flight, hits, loss of power and age.
    void Step(Field& field) override;
    // The swept test along this tick's path.
    bool Overlaps(const EE& other) const override;
    Bounds Reach() const override;
};

}  // namespace kivora
