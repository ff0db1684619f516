#include "sim/CollisionGrid.h"

#include <algorithm>

namespace kivora {

namespace {

constexpr int kCellShift = 11;         // cells of 2048 field units
constexpr std::int64_t kMaxSpan = 4;   // cells per side before an object counts as big
constexpr std::int64_t kMaxQueryCells = 64;

// Floor division by the cell size (arithmetic shift rounds toward -inf).
std::int64_t CellOf(std::int64_t v) { return v >> kCellShift; }

template <typename Entries>
void EraseOne(Entries& v, const EE* obj) {
    for (std::size_t k = 0; k < v.size(); ++k) {
        if (v[k].object == obj) {
            v[k] = v.back();
            v.pop_back();
            return;
        }
    }
}

}  // namespace

std::size_t CollisionGrid::BucketOf(std::int64_t cx, std::int64_t cy) {
    const std::uint64_t key = (static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15u) ^
                              (static_cast<std::uint64_t>(cy) * 0xC2B2AE3D27D4EB4Fu);
    return static_cast<std::size_t>(key >> 52) & (kBuckets - 1);
}

void CollisionGrid::Unplace(EE& obj) {
    EE::ListEntry& e = obj.listEntry;
    if (!e.inGrid) return;
    if (e.big) {
        EraseOne(big_, &obj);
    } else {
        for (std::int64_t cx = e.cx0; cx <= e.cx1; ++cx) {
            for (std::int64_t cy = e.cy0; cy <= e.cy1; ++cy) EraseOne(buckets_[BucketOf(cx, cy)], &obj);
        }
    }
    e.inGrid = false;
}

void CollisionGrid::Place(EE& obj) {
    const Bounds box = obj.BoxBounds();
    const std::int64_t cx0 = CellOf(box.left), cy0 = CellOf(box.bottom);
    const std::int64_t cx1 = CellOf(box.right), cy1 = CellOf(box.top);
    EE::ListEntry& e = obj.listEntry;
    if (e.inGrid && e.cx0 == cx0 && e.cy0 == cy0 && e.cx1 == cx1 && e.cy1 == cy1) return;
    Unplace(obj);
    e.cx0 = cx0;
    e.cy0 = cy0;
    e.cx1 = cx1;
    e.cy1 = cy1;
    e.big = cx1 - cx0 >= kMaxSpan || cy1 - cy0 >= kMaxSpan;
    e.inGrid = true;
    const Entry entry{e.order, &obj, KindBit(e.kind)};
    if (e.big) {
        big_.push_back(entry);
        return;
    }
    for (std::int64_t cx = cx0; cx <= cx1; ++cx) {
        for (std::int64_t cy = cy0; cy <= cy1; ++cy) buckets_[BucketOf(cx, cy)].push_back(entry);
    }
}

void CollisionGrid::Remove(EE& obj) { Unplace(obj); }

bool CollisionGrid::Candidates(const Bounds& reach, unsigned kinds, std::vector<Candidate>& out) const {
    const std::int64_t cx0 = CellOf(reach.left), cy0 = CellOf(reach.bottom);
    const std::int64_t cx1 = CellOf(reach.right), cy1 = CellOf(reach.top);
    if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) > kMaxQueryCells) return false;
    out.clear();
    for (const Entry& e : big_) {
        if (e.kindBit & kinds) out.push_back({e.order, e.object});
    }
    for (std::int64_t cx = cx0; cx <= cx1; ++cx) {
        for (std::int64_t cy = cy0; cy <= cy1; ++cy) {
            // A bucket may also hold other cells that hash alike: harmless,
            // the exact test decides.
            for (const Entry& e : buckets_[BucketOf(cx, cy)]) {
                if (e.kindBit & kinds) out.push_back({e.order, e.object});
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
    out.erase(std::unique(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) { return a.order == b.order; }),
              out.end());
    return true;
}

}  // namespace kivora
