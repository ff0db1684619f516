#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "lang/ProgramUnit.h"
#include "sim/Ref.h"

namespace kivora {

class Command;
class Field;

// Kind codes of field objects.
inline constexpr int kKindPlayerUnit = 1;
inline constexpr int kKindRivalUnit = 2;
inline constexpr int kKindWall = 3;
inline constexpr int kKindBullet = 4;
inline constexpr int kKindParts = 5;

inline constexpr bool IsUnitKind(int kind) { return kind == kKindPlayerUnit || kind == kKindRivalUnit; }

// The name the status sheet shows for a state ("?" outside 0..20).
const char* StateName(std::int32_t state);
// Which state changes are allowed: a higher priority always interrupts
// (0 outside 0..20).
std::int32_t StatePriorityOf(std::int32_t state);

// A closed rectangle in field units, wide enough for any box of the field.
struct Bounds {
    std::int64_t left, right, bottom, top;
    bool Meets(const Bounds& o) const {
        return left <= o.right && o.left <= right && bottom <= o.top && o.bottom <= top;
    }
};

// The box centred on (x, y) as a closed rectangle; a negative size spans the
// other way. Halves truncate toward zero, as everywhere on the field.
inline Bounds BoundsOfBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    const std::int64_t left = std::int64_t{x} - width / 2;
    const std::int64_t bottom = std::int64_t{y} - height / 2;
    const std::int64_t right = left + width;
    const std::int64_t top = bottom + height;
    return {left < right ? left : right, left < right ? right : left,
            bottom < top ? bottom : top, bottom < top ? top : bottom};
}

// Everything on the field: units, bullets, walls and parts.
//
// Objects live on the heap and are reference counted. The object is born
// holding one reference, which the field keeps while the object is on it;
// whatever targets the object holds another, so an object that has left the
// field stays valid while anything still aims at it. Data members are
// public: commands, the field view and the status sheet read them, and
// whoever places an object writes its position and size.
class EE {
public:
    EE();
    EE(const EE&) = delete;
    EE& operator=(const EE&) = delete;

    std::int32_t x = 0, y = 0;               // centre, field units
    std::int32_t width = 100, height = 100;  // box size, field units
    std::int32_t direction = 0;              // degrees, -179..180
    std::int32_t vx = 0, vy = 0;             // this tick's displacement
    std::int32_t spin = 0;                   // this tick's change of direction
    std::int32_t moveSpeed = 100;            // walking speed; a bullet's flight speed
    std::int32_t jumpSpeed = 400;            // jumping and lunging speed; unit of knockback
    std::int32_t turnSpeed = 1;              // turning rate; a bullet's steering limit
    Command* firstCommand = nullptr;         // the program, owned by the unit (OKE)
    Command* currentCommand = nullptr;       // executed next; null: the program has stopped
    std::array<std::int32_t, kVariableCount> variables{};  // 'A'..'Z'
    std::int32_t state = kStanding;
    std::int32_t timer = 0;  // ticks left in the state; 0: no countdown
    std::int32_t level = 1;  // program phases per tick in which a command runs
    Ref<EE> target;          // what the current state aims at
    // Numbers objects 1, 2, 3, ... in the order in which they first join
    // their field (0 before that), so traces and tests can name them without
    // relying on addresses.
    std::int64_t fieldId = 0;

    // The field list's own bookkeeping for the object while it is on the
    // list: its place in the list's order, its kind as it joined, and where
    // the collision grid keeps it. Nothing else reads or writes it.
    struct ListEntry {
        std::uint64_t order = 0;
        int kind = 0;
        bool inGrid = false;
        bool big = false;
        std::int64_t cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    };
    ListEntry listEntry;

    virtual std::int32_t StatePriority(std::int32_t s) const;
    virtual std::int32_t StateDuration(std::int32_t s) const;
    virtual ~EE();
    virtual int Kind() const = 0;
    // Executes one command of the program when `phase` <= `level`.
    virtual void RunProgram(int phase, Field& field);
    // One tick of movement: the motion integration shared by every object.
    virtual void Step(Field& field);
    // Enters `newState` aiming at `newTarget` if the state priorities allow it.
    virtual void SetState(std::int32_t newState, EE* newTarget);
    // Back to standing, unless being hit; the target stays.
    virtual void Cancel();
    // The centred-box test; touching boxes do not overlap.
    virtual bool Overlaps(const EE& other) const;
    // Ammunition left (units only).
    virtual std::int32_t Remain() const;
    // Replaces the counted reference to the target.
    virtual void SetTarget(EE* newTarget);
    // The current command as the status sheet shows it, "-" without one.
    virtual std::string DescribeCommand() const;
    virtual void AddRef();
    // Gives back one reference; the last one destroys the object.
    virtual void Release();

    std::int32_t RefCount() const { return refCount_.load(std::memory_order_acquire); }

    // 'A'..'Z' only; any other character reads 0 and writes nothing.
    std::int32_t GetVar(char c) const;
    void SetVar(char c, std::int32_t v);

    // The object's box as a closed rectangle.
    Bounds BoxBounds() const { return BoundsOfBox(x, y, width, height); }
    // A rectangle outside which Overlaps never finds anything.
    virtual Bounds Reach() const { return BoxBounds(); }

    // The plain box test, also used by the bullet's swept test when it does
    // not move.
    static bool BoxesOverlap(const EE& a, const EE& b);

protected:
    // The motion integration itself, for derived Step overrides.
    void Integrate();

private:
    std::atomic<std::int32_t> refCount_{1};
};

}  // namespace kivora
