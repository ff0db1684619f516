#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sim/EE.h"

namespace kivora {

// A coarse grid over the field for the collision walks of a tick: it tells
// which objects may be near a rectangle, so that a bullet's hit test looks
// at a handful of objects instead of the whole field.
//
// Objects are known by their order key (their place in the field list,
// which never changes relative to the others). The grid only narrows the
// choice; the exact test and the list order still decide, so what a walk
// finds is the same with or without it.
class CollisionGrid {
public:
    void Clear();
    // Registers (or re-registers) the object `order` as covering `box`.
    void Place(std::uint64_t order, const Bounds& box);
    // The order keys of every object registered in a cell that `reach`
    // touches, from `fromOrder` on, sorted and without repeats. False when
    // `reach` spans so many cells that a plain walk is cheaper.
    bool Candidates(const Bounds& reach, std::uint64_t fromOrder, std::vector<std::uint64_t>& out) const;

private:
    struct CellRange {
        std::int64_t cx0, cy0, cx1, cy1;
        bool big;  // spans too many cells: kept in big_ instead
        bool operator==(const CellRange&) const = default;
    };
    static CellRange RangeOf(const Bounds& box);
    static std::uint64_t Key(std::int64_t cx, std::int64_t cy);
    void Unplace(std::uint64_t order, const CellRange& range);

    std::unordered_map<std::uint64_t, std::vector<std::uint64_t>> cells_;
    std::vector<std::uint64_t> big_;
    std::unordered_map<std::uint64_t, CellRange> where_;
};

}  // namespace kivora
