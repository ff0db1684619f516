#include "sim/CollisionGrid.h"

#include <algorithm>

namespace kivora {

namespace {

constexpr int kCellShift = 11;         // cells of 2048 field units
constexpr std::int64_t kMaxSpan = 4;   // cells per side before an object counts as big
constexpr std::int64_t kMaxQueryCells = 64;

// Floor division by the cell size (arithmetic shift rounds toward -inf).
std::int64_t CellOf(std::int64_t v) { return v >> kCellShift; }

void EraseOne(std::vector<std::uint64_t>& v, std::uint64_t order) {
    const auto it = std::find(v.begin(), v.end(), order);
    if (it != v.end()) {
        *it = v.back();
        v.pop_back();
    }
}

}  // namespace

void CollisionGrid::Clear() {
    cells_.clear();
    big_.clear();
    where_.clear();
}

CollisionGrid::CellRange CollisionGrid::RangeOf(const Bounds& box) {
    CellRange r{CellOf(box.left), CellOf(box.bottom), CellOf(box.right), CellOf(box.top), false};
    r.big = r.cx1 - r.cx0 >= kMaxSpan || r.cy1 - r.cy0 >= kMaxSpan;
    return r;
}

std::uint64_t CollisionGrid::Key(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(cx) << 32) ^ (static_cast<std::uint64_t>(cy) & 0xFFFFFFFFu);
}

void CollisionGrid::Unplace(std::uint64_t order, const CellRange& r) {
    if (r.big) {
        EraseOne(big_, order);
        return;
    }
    for (std::int64_t cx = r.cx0; cx <= r.cx1; ++cx) {
        for (std::int64_t cy = r.cy0; cy <= r.cy1; ++cy) {
            const auto it = cells_.find(Key(cx, cy));
            if (it != cells_.end()) EraseOne(it->second, order);
        }
    }
}

void CollisionGrid::Place(std::uint64_t order, const Bounds& box) {
    const CellRange r = RangeOf(box);
    const auto known = where_.find(order);
    if (known != where_.end()) {
        if (known->second == r) return;
        Unplace(order, known->second);
        known->second = r;
    } else {
        where_.emplace(order, r);
    }
    if (r.big) {
        big_.push_back(order);
        return;
    }
    for (std::int64_t cx = r.cx0; cx <= r.cx1; ++cx) {
        for (std::int64_t cy = r.cy0; cy <= r.cy1; ++cy) cells_[Key(cx, cy)].push_back(order);
    }
}

bool CollisionGrid::Candidates(const Bounds& reach, std::uint64_t fromOrder,
                               std::vector<std::uint64_t>& out) const {
    const CellRange r = RangeOf(reach);
    if ((r.cx1 - r.cx0 + 1) * (r.cy1 - r.cy0 + 1) > kMaxQueryCells) return false;
    out.clear();
    for (std::uint64_t order : big_) {
        if (order >= fromOrder) out.push_back(order);
    }
    for (std::int64_t cx = r.cx0; cx <= r.cx1; ++cx) {
        for (std::int64_t cy = r.cy0; cy <= r.cy1; ++cy) {
            const auto it = cells_.find(Key(cx, cy));
            if (it == cells_.end()) continue;
            for (std::uint64_t order : it->second) {
                if (order >= fromOrder) out.push_back(order);
            }
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return true;
}

}  // namespace kivora
