#include "sim/OKE.h"

#include <algorithm>
#include <cmath>

#include "base/Random.h"
#include "lang/ProgramReader.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/FieldEvents.h"
#include "sim/Geometry.h"
#include "sim/OKEspec.h"

namespace kivora {

OKE::OKE(std::int32_t t, const OKEspec& s)
    : team(t), spec(&s), hp(s.maxHp), ammo(s.ammunition) {
    level = s.level;
    width = 400;
    height = 400;
}

OKE::~OKE() {
    CommandChain::Destroy(firstCommand);
    firstCommand = currentCommand = nullptr;
}

Ref<OKE> OKE::Create(std::int32_t team, const std::string& specFile, SpecTable& specs) {
    const OKEspec* s = specs.GetSpec(specFile);
    if (s == nullptr) return {};
    return MakeRef<OKE>(team, *s);
}

void OKE::InstallProgram(Command* first) {
    Command* old = firstCommand;
    firstCommand = currentCommand = first;
    CommandChain::Destroy(old);
}

std::int32_t OKE::StateDuration(std::int32_t s) const {
    if (s < 0 || s >= kStateCount) return 0;
    return spec->durations[static_cast<std::size_t>(s)];
}

namespace {

const OKE* AsDeadUnit(const EE* obj) {
    if (obj == nullptr || !IsUnitKind(obj->Kind())) return nullptr;
    const OKE* unit = static_cast<const OKE*>(obj);
    return unit->hp == 0 ? unit : nullptr;
}

}  // namespace

void OKE::Step(Field& field) {
    prone = 0;
    switch (state) {
        case kAiming:
        case kFighting:
        case kPickingUp:
            if (AsDeadUnit(target.get())) SetTarget(nullptr);
            if (target) {
                const BearingDistance bd = BearingAndDistance(x, y, target->x, target->y);
                const std::int32_t diff = NormalizeAngle(WrapSub(bd.bearing, direction));
                const std::int32_t r = spec->aimTurnRate;
                if (diff < 0) {
                    spin = std::max(diff, WrapSub(0, r));
                } else if (diff > 0) {
                    spin = std::min(diff, r);
                } else {
                    spin = 0;
                    if (state == kFighting) {
                        const Displacement d = Along(jumpSpeed, direction);
                        vx = d.dx;
                        vy = d.dy;
                    } else if (state == kPickingUp) {
                        if (bd.distance > 5.0) {
                            const Displacement d = Along(moveSpeed, direction);
                            vx = d.dx;
                            vy = d.dy;
                        } else {
                            vx = vy = 0;
                            PickUp(*target, field);
                            SetTarget(nullptr);
                            // The player's side earns 100 to 1000 ペコグスタ,
                            // the rival one point.
                            const std::uint32_t reward =
                                team == 1 ? 100u * static_cast<std::uint32_t>(randomRange(field.generator, 1, 10)) : 1u;
                            if (field.events) field.events->PartPickedUp(*this, reward);
                        }
                    } else {
                        vx = vy = 0;
                    }
                }
            }
            break;
        case kFiring:
            if (target) {
                if (ammo != 0) {
                    Bullette* bullet = FireBullet(field, *this);
                    bullet->SetTarget(target.get());
                    ammo = WrapSub(ammo, 1);
                    if (field.events) field.events->ShotFired(*this, *bullet);
                }
                SetTarget(nullptr);
            }
            vx /= 2;
            vy /= 2;
            spin = 0;
            break;
        case kProne:
            vx /= 2;
            vy /= 2;
            spin = 0;
            prone = 1;
            break;
        default:
            vx /= 2;
            vy /= 2;
            spin /= 2;
            break;
    }

    EE::Step(field);

    const EElist& list = field.fieldList;
    if (state == kFighting) {
        if (EE* other = list.FirstOverlapping(*this, kUnitKinds)) {
            OKE& victim = static_cast<OKE&>(*other);
            const std::int32_t hpBefore = victim.hp;
            TakeDamage(victim, spec->fightPower, this);
            if (field.events) field.events->Struck(victim, *this, hpBefore);
        }
    }
    if ((vx != 0 || vy != 0) && list.FirstOverlapping(*this, KindBit(kKindWall))) {
        x = WrapSub(x, vx);
        y = WrapSub(y, vy);
    }
}

void TakeDamage(OKE& victim, std::int32_t power, const EE* attacker) {
    const OKEspec& spec = *victim.spec;
    std::int32_t damage = TruncToInt32(std::floor(spec.armour * power + 0.5));
    if (victim.prone == 1) damage /= 2;
    victim.hp = victim.hp > damage ? ClampToInt32(std::int64_t{victim.hp} - damage) : 0;
    if (damage <= spec.staggerThreshold) return;
    victim.state = kHit;
    // 64 bits: a heavy hit on a model with a long hit state must not wrap
    // into a negative countdown.
    victim.timer = ClampToInt32(std::int64_t{damage} * spec.durations[kHit] / 10);
    if (attacker != nullptr) {
        const double k = static_cast<double>((std::int64_t{damage} + 99) / 100);
        const double a = DegreesToRadians(attacker->direction);
        victim.vx = TruncToInt32(victim.jumpSpeed * std::sin(a) * k);
        victim.vy = TruncToInt32(k * std::cos(a) * victim.jumpSpeed);
    }
}

Bullette* FireBullet(Field& field, const OKE& shooter) {
    const OKEspec& s = *shooter.spec;
    Bullette* bullet = new Bullette(&shooter, s.homingBullets, s.bulletLife, s.bulletSpeed,
                                    s.bulletPower, s.bulletPowerLoss, s.bulletTurnSpeed);
    const double a = DegreesToRadians(shooter.direction);
    bullet->x = WrapAdd(shooter.x, TruncToInt32(std::sin(a) * s.bulletSpeed));
    bullet->y = WrapAdd(shooter.y, TruncToInt32(std::cos(a) * s.bulletSpeed));
    bullet->direction = shooter.direction;
    field.bulletList.push_back(bullet);
    field.AddToFieldList(bullet);
    return bullet;
}

void PickUp(EE& part, Field& field) {
    if (part.Kind() != kKindParts) return;
    if (field.fieldList.IndexOf(&part) < 0) return;
    field.fieldList.Remove(&part);
    part.Release();
}

}  // namespace kivora
