#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "lang/ProgramUnit.h"
#include "sim/CollisionGrid.h"

namespace kivora {

class EE;

// The objects on the field, in the order in which they were added. The list
// holds no references of its own: the field owns the one each object was
// born with (see Field).
//
// Next to the whole list the list keeps, for each kind of object, the
// objects of that kind in the same order: the sensors look for one kind at a
// time, the collision tests for units and walls only, and on a busy field
// most objects are bullets that they would only skip.
//
// In the program phases of a tick, when no object moves, the sensors read
// positions from a compact copy kept with each kind's list instead of from
// the objects scattered over the heap.
//
// During a tick the collision tests also ask a coarse grid of the units and
// walls (CollisionGrid) which of them may be near. The world step switches
// it on for the length of a tick (TickScope) and tells the list after each
// object has moved (Refresh), the only moment in a tick at which a position
// changes. Outside a tick the tests walk the kind lists.
class EElist {
public:
    void Add(EE* obj);
    // Removes the first occurrence, keeping the order of the rest.
    void Remove(const EE* obj);
    int IndexOf(const EE* obj) const;
    int Count() const { return static_cast<int>(items_.size()); }
    EE* At(int i) const { return items_[static_cast<std::size_t>(i)]; }

    // The object at i, advancing i; null at the end.
    EE* Next(int& i) const;

    // What a sensor sees: the nearest object of `kind`, other than `self`,
    // whose centre lies within the sector (`range` pixels, within `width`/2
    // degrees of `self`'s facing turned by `angle`, bounds inclusive) and
    // closer than 999 pixels, by whole-pixel distance; of several at the
    // same distance the first in the list. With kIncomingOnly only objects
    // heading at most 45 degrees away from the line to `self` count (bullets
    // flying at it). Null when there is none.
    enum Heading { kAnyHeading, kIncomingOnly };
    EE* Nearest(const EE& self, int kind, const Sector& sector, Heading heading = kAnyHeading) const;

    // The first object in list order whose kind is in `kinds` (a set of
    // KindBit of units and walls: the only kinds anything collides with),
    // other than `self` and `skip`, that `self` overlaps by its own test
    // (swept for bullets). Null when there is none.
    EE* FirstOverlapping(const EE& self, unsigned kinds, const EE* skip = nullptr) const;

    const std::vector<EE*>& Items() const { return items_; }
    // The objects of one kind, in list order.
    const std::vector<EE*>& OfKind(int kind) const;
    // Removes every object for which `pred` holds, keeping the order.
    template <typename Pred>
    void RemoveIf(Pred pred) {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < items_.size(); ++k) {
            if (pred(items_[k])) {
                Forget(*items_[k]);
                continue;
            }
            items_[kept++] = items_[k];
        }
        if (kept == items_.size()) return;
        items_.resize(kept);
        RebuildKinds();
    }

    // Uses the grid while alive; see above.
    class TickScope {
    public:
        explicit TickScope(EElist& list);
        ~TickScope();
        TickScope(const TickScope&) = delete;
        TickScope& operator=(const TickScope&) = delete;

    private:
        EElist& list_;
    };
    // Whether ticks use the grid (they do unless told otherwise; tests
    // compare both ways).
    void SetTickCache(bool on) { useTickCache_ = on; }

    // After `obj` has moved: brings the grid up to date.
    void Refresh(EE& obj);

private:
    // Kinds 0..5 have a list of their own; any other kind shares the last.
    static constexpr int kKindSlots = 7;
    static int SlotOf(int kind) { return kind >= 0 && kind < kKindSlots - 1 ? kind : kKindSlots - 1; }
    // Units and walls, the kinds the collision tests look for, live in the grid.
    static bool InGridKind(int kind) { return (KindBit(kind) & (kUnitKinds | KindBit(kKindWall))) != 0; }
    void RebuildKinds();
    void Forget(EE& obj);  // out of the grid
    // Copies each kind's positions for the sensors (see above).
    void CopyPositions();

    struct Spot {
        std::int32_t x, y;
    };
    // Where each object of a kind lies during the program phases: cells of
    // kSensorCellShift bits of field units over the kind's extent, each with
    // the objects in it in list order, so a sensor looks only near itself.
    static constexpr int kSensorCellShift = 12;
    struct CellIndex {
        bool built = false;
        std::int64_t originX = 0, originY = 0, width = 0, height = 0;
        std::vector<std::uint32_t> start;  // per cell, into items; one more at the end
        std::vector<std::uint32_t> items;  // indexes into the kind's list
        std::vector<std::uint32_t> fill;   // scratch while building
        void Build(const std::vector<Spot>& spots);
    };
    struct Sensor;

    std::vector<EE*> items_;
    std::array<std::vector<EE*>, kKindSlots> byKind_;
    std::array<std::vector<Spot>, kKindSlots> spots_;  // parallel to byKind_ while positionsCopied_
    std::array<CellIndex, kKindSlots> cells_;
    bool positionsCopied_ = false;
    std::uint64_t nextOrder_ = 0;
    bool ticking_ = false;
    bool useTickCache_ = true;
    CollisionGrid grid_;                                         // in use while ticking_
    mutable std::vector<CollisionGrid::Candidate> candidates_;  // scratch for FirstOverlapping
};

}  // namespace kivora
