#include "sim/EE.h"

#include <algorithm>
#include <cstdlib>

#include "lang/Command.h"
#include "sim/Field.h"
#include "sim/Geometry.h"
#include "sim/RunningUnit.h"

namespace kivora {

namespace {

struct StateInfo {
    const char* name;
    std::int32_t priority;
};

constexpr StateInfo kStates[kStateCount] = {
    {"静止中", 1},     {"前進", 1},       {"後退", 1},       {"左移動", 1},
    {"右移動", 1},     {"左旋回", 1},     {"右旋回", 1},     {"前Ｊ準備中", 5},
    {"後Ｊ準備中", 5}, {"左Ｊ準備中", 5}, {"右Ｊ準備中", 5}, {"前Ｊ中", 6},
    {"後Ｊ中", 6},     {"左Ｊ中", 6},     {"右Ｊ中", 6},     {"射撃準備中", 2},
    {"射撃中", 3},     {"格闘", 3},       {"伏せ", 4},       {"取得", 3},
    {"被弾", 10},
};

bool ValidState(std::int32_t s) { return s >= 0 && s < kStateCount; }

}  // namespace

const char* StateName(std::int32_t s) { return ValidState(s) ? kStates[s].name : "?"; }

std::int32_t StatePriorityOf(std::int32_t s) { return ValidState(s) ? kStates[s].priority : 0; }

EE::EE() = default;

EE::~EE() = default;  // `target` gives its reference back

std::int32_t EE::StatePriority(std::int32_t s) const { return StatePriorityOf(s); }

std::int32_t EE::StateDuration(std::int32_t) const { return 0; }

void EE::RunProgram(int phase, Field& field) {
    if (phase <= level && currentCommand != nullptr) {
        RunningUnit running(*this, field);
        currentCommand = currentCommand->Execute(running);
    }
}

void EE::Step(Field&) { Integrate(); }

void EE::Integrate() {
    switch (state) {
        case kForward:
        case kBackward:
        case kLeftStep:
        case kRightStep:
        case kJumpForward:
        case kJumpBackward:
        case kJumpLeft:
        case kJumpRight: {
            const bool walking = state <= kRightStep;
            const std::int32_t way = walking ? state : state - (kJumpForward - kForward);
            std::int32_t heading = direction;
            if (way == kBackward) heading = NormalizeAngle(WrapAdd(direction, 180));
            if (way == kLeftStep) heading = NormalizeAngle(WrapSub(direction, 90));
            if (way == kRightStep) heading = NormalizeAngle(WrapAdd(direction, 90));
            const Displacement d = Along(walking ? moveSpeed : jumpSpeed, heading);
            vx = d.dx;
            vy = d.dy;
            spin = 0;
            break;
        }
        case kTurnLeft:
            vx = vy = 0;
            spin = WrapSub(0, turnSpeed);
            break;
        case kTurnRight:
            vx = vy = 0;
            spin = turnSpeed;
            break;
        default:
            break;
    }
    direction = NormalizeAngle(WrapAdd(direction, spin));
    if (vx != 0 || vy != 0) {
        x = WrapAdd(x, vx);
        y = WrapAdd(y, vy);
    }
    if (timer != 0) {
        timer = WrapSub(timer, 1);
        if (timer == 0) {
            switch (state) {
                case kForward:
                case kBackward:
                case kLeftStep:
                case kRightStep:
                    timer = StateDuration(state);
                    break;
                case kJumpForwardReady:
                case kJumpBackwardReady:
                case kJumpLeftReady:
                case kJumpRightReady:
                    state = state + (kJumpForward - kJumpForwardReady);
                    timer = StateDuration(state);
                    break;
                case kAiming:
                    state = kFiring;
                    timer = StateDuration(state);
                    break;
                default:
                    state = kStanding;
                    break;
            }
        }
    }
}

void EE::SetState(std::int32_t newState, EE* newTarget) {
    const std::int32_t p = StatePriority(state);
    const std::int32_t q = StatePriority(newState);
    if (p > q) return;
    if (p == q && timer != 0) return;
    state = newState;
    timer = StateDuration(newState);
    SetTarget(newTarget);
}

void EE::Cancel() {
    if (state != kHit) {
        state = kStanding;
        timer = 0;
    }
}

bool EE::BoxesOverlap(const EE& a, const EE& b) {
    // 64 bits: boxes near the edge of the 32-bit field must not wrap.
    const std::int64_t aLeft = std::int64_t{a.x} - a.width / 2;
    const std::int64_t aBottom = std::int64_t{a.y} - a.height / 2;
    const std::int64_t bLeft = std::int64_t{b.x} - b.width / 2;
    const std::int64_t bBottom = std::int64_t{b.y} - b.height / 2;
    return aLeft < bLeft + b.width && aLeft + a.width > bLeft && aBottom < bBottom + b.height &&
           aBottom + a.height > bBottom;
}

bool EE::Overlaps(const EE& other) const { return BoxesOverlap(*this, other); }

std::int32_t EE::Remain() const { return 0; }

void EE::SetTarget(EE* newTarget) {
    if (target.get() == newTarget) return;
    target = Ref<EE>(newTarget);
}

std::string EE::DescribeCommand() const {
    if (currentCommand == nullptr) return "-";
    return currentCommand->Describe();
}

void EE::AddRef() { refCount_.fetch_add(1, std::memory_order_relaxed); }

void EE::Release() {
    if (refCount_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

std::int32_t EE::GetVar(char c) const {
    if (c < 'A' || c > 'Z') return 0;
    return variables[static_cast<std::size_t>(c - 'A')];
}

void EE::SetVar(char c, std::int32_t v) {
    if (c < 'A' || c > 'Z') return;
    variables[static_cast<std::size_t>(c - 'A')] = v;
}

}  // namespace kivora
