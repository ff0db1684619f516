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
// The iterators take a position that the caller starts at 0 and that they
// advance past what they return, so a caller can go on searching from there.
//
// Next to the whole list the list keeps, for each kind of object, the
// objects of that kind in the same order: the sensors look for one kind at a
// time, and on a busy field most objects are bullets that a search for units
// or parts would only skip.
//
// During a tick the sensors and the collision walks visit the whole list
// many times; they then read positions and sizes from a compact copy kept
// next to the list instead of from the objects scattered over the heap.
// The world step switches that copy on for the length of a tick
// (TickScope) and refreshes an object's entry after the object has moved,
// the only moment in a tick at which a position changes; the collision walk
// then also asks a coarse grid (CollisionGrid) which objects may be near.
// Outside a tick the iterators read the objects themselves.
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

    // The next object from i on, other than `self`, that `self` overlaps
    // by its own test (swept for bullets). Null (and i = Count()) at the end.
    EE* NextOverlapping(int& i, const EE& self) const;

    const std::vector<EE*>& Items() const { return items_; }
    // The objects of one kind, in list order.
    const std::vector<EE*>& OfKind(int kind) const;
    // Removes every object for which `pred` holds, keeping the order.
    template <typename Pred>
    void RemoveIf(Pred pred) {
        std::size_t kept = 0;
        for (std::size_t k = 0; k < items_.size(); ++k) {
            if (pred(items_[k])) continue;
            items_[kept] = items_[k];
            boxes_[kept] = boxes_[k];
            orders_[kept] = orders_[k];
            kinds_[kept] = kinds_[k];
            ++kept;
        }
        if (kept == items_.size()) return;
        items_.resize(kept);
        boxes_.resize(kept);
        orders_.resize(kept);
        kinds_.resize(kept);
        RebuildKinds();
    }

    // Reads positions from the compact copy while alive; see above.
    class TickScope {
    public:
        explicit TickScope(EElist& list);
        ~TickScope();
        TickScope(const TickScope&) = delete;
        TickScope& operator=(const TickScope&) = delete;

    private:
        EElist& list_;
    };
    // Whether ticks use the compact copy and the grid (they do unless told
    // otherwise; tests compare both ways).
    void SetTickCache(bool on) { useTickCache_ = on; }

    // After `obj` has moved: brings its entry up to date. `hint` is where it
    // was (it may since have moved one place forward when an object before
    // it left the list).
    void Refresh(const EE* obj, int hint);

private:
    struct Box {
        std::int32_t x, y, width, height;
    };
    static Box BoxOf(const EE& obj);
    Box BoxAt(int k) const;

    // The position of the object with order key `order`, or -1 when it has
    // left the list.
    int IndexOfOrder(std::uint64_t order) const;

    // Kinds 0..5 have a list of their own; any other kind shares the last.
    static constexpr int kKindSlots = 7;
    static int SlotOf(int kind) { return kind >= 0 && kind < kKindSlots - 1 ? kind : kKindSlots - 1; }
    void RebuildKinds();

    std::vector<EE*> items_;
    std::vector<int> kinds_;              // parallel to items_: each object's Kind() as it joined
    std::array<std::vector<EE*>, kKindSlots> byKind_;
    std::vector<Box> boxes_;              // parallel to items_
    std::vector<std::uint64_t> orders_;   // parallel to items_: rising order keys
    std::uint64_t nextOrder_ = 0;
    bool ticking_ = false;
    bool useTickCache_ = true;
    CollisionGrid grid_;                  // in use while ticking_
    mutable std::vector<std::uint64_t> candidates_;  // scratch for NextOverlapping
};

}  // namespace kivora
