#include "sim/Bullette.h"

#include <algorithm>

#include "sim/Field.h"
#include "sim/FieldEvents.h"
#include "sim/Geometry.h"
#include "sim/OKE.h"

namespace kivora {

Bullette::Bullette(const EE* o, std::int32_t h, std::int32_t l, std::int32_t speed, std::int32_t p,
                   std::int32_t loss, std::int32_t steering)
    : owner(o), ownerFieldId(o ? o->fieldId : 0), homing(h), life(l), power(p), powerLoss(loss) {
    moveSpeed = speed;
    turnSpeed = steering;
}

void Bullette::Step(Field& field) {
    if (alive != 1) return;

    if (homing == 1 && target) {
        if (IsUnitKind(target->Kind()) && static_cast<const OKE&>(*target).hp == 0) {
            SetTarget(nullptr);
            state = kForward;
        }
        if (target) {
            const BearingDistance bd = BearingAndDistance(x, y, target->x, target->y);
            const std::int32_t diff = NormalizeAngle(WrapSub(bd.bearing, direction));
            if (diff > 50 || diff < -50 || (diff >= -4 && diff <= 4)) {
                // Outside the steering cone, or close enough: fly straight on.
                const Displacement d = Along(moveSpeed, direction);
                vx = d.dx;
                vy = d.dy;
                spin = 0;
            } else if (diff < -4) {
                spin = std::max(diff, WrapSub(0, turnSpeed));
            } else {
                spin = std::min(diff, turnSpeed);
            }
        }
    } else {
        // Straight flight: the walking state makes the motion integration
        // set the velocity along the bullet's direction.
        state = kForward;
    }

    prevX = x;
    prevY = y;
    Integrate();

    // The first unit or wall in its way, its shooter aside: a unit takes the
    // hit, a wall stops it.
    if (EE* other = field.fieldList.FirstOverlapping(*this, kUnitKinds | KindBit(kKindWall), owner)) {
        if (IsUnitKind(other->Kind())) {
            OKE& victim = static_cast<OKE&>(*other);
            const std::int32_t hpBefore = victim.hp;
            TakeDamage(victim, power, this);
            if (field.events) field.events->Struck(victim, *this, hpBefore);
        }
        alive = 0;
    }

    // Saturating: a model whose bullets gain power must not wrap into a
    // negative power that would end the flight.
    power = ClampToInt32(std::int64_t{power} - powerLoss);
    if (power < 0) {
        power = 0;
        alive = 0;
    }
    life = WrapSub(life, 1);
    if (life == 0) alive = 0;
}

namespace {

struct SubStep {
    std::int32_t sx, sy;
};

// A quarter of this tick's move. The move is taken as the displacement
// itself, also when the position wrapped around the edge of the 32-bit field.
SubStep SubStepOf(const Bullette& b) {
    return {WrapSub(b.x, b.prevX) / 4, WrapSub(b.y, b.prevY) / 4};
}

}  // namespace

Bounds Bullette::Reach() const {
    const SubStep s = SubStepOf(*this);
    const std::int64_t sx = s.sx;
    const std::int64_t sy = s.sy;
    if (sx == 0 && sy == 0) return BoxBounds();
    // The swept test looks no further than four sub-steps from the start.
    const std::int64_t endX = prevX + 4 * sx;
    const std::int64_t endY = prevY + 4 * sy;
    return {std::min<std::int64_t>(prevX, endX), std::max<std::int64_t>(prevX, endX),
            std::min<std::int64_t>(prevY, endY), std::max<std::int64_t>(prevY, endY)};
}

bool Bullette::Overlaps(const EE& other) const {
    const SubStep s = SubStepOf(*this);
    const std::int64_t sx = s.sx;
    const std::int64_t sy = s.sy;
    if (sx == 0 && sy == 0) return BoxesOverlap(*this, other);

    const std::int64_t left = std::int64_t{other.x} - other.width / 2;
    const std::int64_t bottom = std::int64_t{other.y} - other.height / 2;
    const std::int64_t right = left + other.width;
    const std::int64_t top = bottom + other.height;
    const std::int64_t px = prevX;
    const std::int64_t py = prevY;

    if (sx == 0) {
        if (!(left <= px && px < right)) return false;
        for (int k = 0; k < 4; ++k) {
            const std::int64_t sampleY = py + k * sy;
            if (bottom <= sampleY && sampleY < top) return true;
        }
        return false;
    }
    if (sy == 0) {
        if (!(bottom <= py && py < top)) return false;
        for (int k = 0; k < 4; ++k) {
            const std::int64_t sampleX = px + k * sx;
            if (left <= sampleX && sampleX < right) return true;
        }
        return false;
    }
    for (int k = 0; k < 4; ++k) {
        const std::int64_t x0 = px + k * sx, x1 = px + (k + 1) * sx;
        const std::int64_t y0 = py + k * sy, y1 = py + (k + 1) * sy;
        const std::int64_t l = std::max(std::min(x0, x1), left);
        const std::int64_t r = std::min(std::max(x0, x1), right);
        const std::int64_t b = std::max(std::min(y0, y1), bottom);
        const std::int64_t t = std::min(std::max(y0, y1), top);
        if (r > l && t > b) return true;
    }
    return false;
}

}  // namespace kivora
