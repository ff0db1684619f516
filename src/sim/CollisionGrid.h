#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "sim/EE.h"

namespace kivora {

// A coarse grid over the field for the collision tests of a tick: it tells
// which units and walls may be near a rectangle, so that a bullet's hit test
// looks at a handful of objects instead of the whole field.
//
// Cells are 2048 field units square and hashed into a fixed number of
// buckets, so the grid takes no memory for empty ground and allocates
// nothing once its buckets have grown. An object is registered in every
// cell its box touches (an object spanning too many cells is kept on one
// side list), and remembers in its list entry where it is, so moving it
// costs nothing while it stays in the same cells. The grid only narrows the
// choice; the exact test and the list order still decide, so what a search
// finds is the same with or without it.
class CollisionGrid {
public:
    struct Candidate {
        std::uint64_t order;  // the object's place in the field list's order
        EE* object;
    };

    // Registers `obj` where its box is now, or moves it there.
    void Place(EE& obj);
    // Takes `obj` out of the grid.
    void Remove(EE& obj);
    // Every registered object of a kind in `kinds` (a set of KindBit) whose
    // cells meet `reach`, sorted by order without repeats, into `out`. False
    // when `reach` spans so many cells that a plain walk is cheaper.
    bool Candidates(const Bounds& reach, unsigned kinds, std::vector<Candidate>& out) const;

private:
    struct Entry {
        std::uint64_t order;
        EE* object;
        unsigned kindBit;
    };
    static constexpr std::size_t kBuckets = 4096;

    static std::size_t BucketOf(std::int64_t cx, std::int64_t cy);
    void Unplace(EE& obj);

    std::array<std::vector<Entry>, kBuckets> buckets_;
    std::vector<Entry> big_;
};

// The kind codes as bits of a set.
constexpr unsigned KindBit(int kind) { return kind >= 0 && kind < 32 ? 1u << kind : 0u; }
inline constexpr unsigned kUnitKinds = KindBit(kKindPlayerUnit) | KindBit(kKindRivalUnit);

}  // namespace kivora
