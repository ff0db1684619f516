#include "sim/EElist.h"

#include <algorithm>

#include "sim/EE.h"
#include "sim/Geometry.h"

namespace kivora {

EElist::Box EElist::BoxOf(const EE& obj) { return {obj.x, obj.y, obj.width, obj.height}; }

EElist::Box EElist::BoxAt(int k) const {
    return ticking_ ? boxes_[static_cast<std::size_t>(k)] : BoxOf(*At(k));
}

namespace {

// Nothing at this distance (in pixels) or beyond is ever chosen, whatever
// the range a search asks for.
constexpr std::int32_t kFarthestCounted = 999;

// A bullet counts as incoming when it heads at most this many degrees away
// from the line to the searching unit.
constexpr std::int32_t kIncomingCone = 45;

bool HeadsTowards(const EE& obj, const EE& unit) {
    const BearingDistance bd = BearingAndDistance(obj.x, obj.y, unit.x, unit.y);
    const std::int32_t d = NormalizeAngle(WrapSub(bd.bearing, obj.direction));
    return d >= -kIncomingCone && d <= kIncomingCone;
}

}  // namespace

void EElist::Add(EE* obj) {
    const int kind = obj->Kind();
    items_.push_back(obj);
    kinds_.push_back(kind);
    byKind_[static_cast<std::size_t>(SlotOf(kind))].push_back(obj);
    boxes_.push_back(BoxOf(*obj));
    orders_.push_back(nextOrder_);
    if (ticking_) grid_.Place(nextOrder_, obj->BoxBounds());
    ++nextOrder_;
}

int EElist::IndexOfOrder(std::uint64_t order) const {
    const auto it = std::lower_bound(orders_.begin(), orders_.end(), order);
    if (it == orders_.end() || *it != order) return -1;
    return static_cast<int>(it - orders_.begin());
}

void EElist::Remove(const EE* obj) {
    const auto it = std::find(items_.begin(), items_.end(), obj);
    if (it == items_.end()) return;
    const auto k = it - items_.begin();
    std::vector<EE*>& sameKind = byKind_[static_cast<std::size_t>(SlotOf(kinds_[static_cast<std::size_t>(k)]))];
    sameKind.erase(std::find(sameKind.begin(), sameKind.end(), obj));
    boxes_.erase(boxes_.begin() + k);
    orders_.erase(orders_.begin() + k);
    kinds_.erase(kinds_.begin() + k);
    items_.erase(it);
}

void EElist::RebuildKinds() {
    for (auto& list : byKind_) list.clear();
    for (std::size_t k = 0; k < items_.size(); ++k) byKind_[static_cast<std::size_t>(SlotOf(kinds_[k]))].push_back(items_[k]);
}

const std::vector<EE*>& EElist::OfKind(int kind) const { return byKind_[static_cast<std::size_t>(SlotOf(kind))]; }

EElist::TickScope::TickScope(EElist& list) : list_(list) {
    if (!list_.useTickCache_) return;
    list_.grid_.Clear();
    for (std::size_t k = 0; k < list_.items_.size(); ++k) {
        list_.boxes_[k] = BoxOf(*list_.items_[k]);
        list_.grid_.Place(list_.orders_[k], list_.items_[k]->BoxBounds());
    }
    list_.ticking_ = true;
}

EElist::TickScope::~TickScope() {
    list_.ticking_ = false;
    list_.grid_.Clear();
}

void EElist::Refresh(const EE* obj, int hint) {
    for (int k = std::min(hint, Count() - 1); k >= 0; --k) {
        if (At(k) == obj) {
            boxes_[static_cast<std::size_t>(k)] = BoxOf(*obj);
            if (ticking_) grid_.Place(orders_[static_cast<std::size_t>(k)], obj->BoxBounds());
            return;
        }
    }
}

int EElist::IndexOf(const EE* obj) const {
    const auto it = std::find(items_.begin(), items_.end(), obj);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

EE* EElist::Next(int& i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return At(i++);
}

// The sensor: the kind's own list in list order, and two cheap rejections
// before the bearing is worked out: an object whose offset on either axis is
// a full pixel beyond the range, or beyond the best distance so far, can
// neither be in the sector nor win. Every object that passes is judged
// exactly, so the choice is the one a walk over the whole list would make.
EE* EElist::Nearest(const EE& self, int kind, const Sector& sector, Heading heading) const {
    const std::int32_t range = sector.range;
    if (range < 0) return nullptr;
    const std::int32_t centre = NormalizeAngle(WrapAdd(self.direction, sector.angle));
    const std::int32_t half = sector.width / 2;
    const bool oddKind = SlotOf(kind) == kKindSlots - 1;
    std::int32_t best = kFarthestCounted;
    EE* chosen = nullptr;
    for (EE* obj : OfKind(kind)) {
        if (obj == &self || (oddKind && obj->Kind() != kind)) continue;
        const std::int64_t reach = (std::int64_t{range < best ? range : best} + 1) * 100;
        const std::int64_t dx = std::int64_t{obj->x} - self.x;
        const std::int64_t dy = std::int64_t{obj->y} - self.y;
        if (dx > reach || dx < -reach || dy > reach || dy < -reach) continue;
        const BearingDistance bd = BearingAndDistance(dx, dy);
        if (range < bd.distance) continue;
        const std::int32_t off = NormalizeAngle(WrapSub(bd.bearing, centre));
        if (off > half || off < -half) continue;
        const std::int32_t distance = TruncToInt32(bd.distance);
        if (distance >= best) continue;
        if (heading == kIncomingOnly && !HeadsTowards(*obj, self)) continue;
        best = distance;
        chosen = obj;
    }
    return chosen;
}

EE* EElist::NextOverlapping(int& i, const EE& self) const {
    // Most of the field is nowhere near: a cheap look at the boxes first,
    // the object's own (possibly swept) test only for what may touch.
    const Bounds reach = self.Reach();
    const int start = std::max(i, 0);
    if (ticking_ && start < Count() &&
        grid_.Candidates(reach, orders_[static_cast<std::size_t>(start)], candidates_)) {
        for (std::uint64_t order : candidates_) {
            const int k = IndexOfOrder(order);
            if (k < 0) continue;  // left the list during this tick
            EE* obj = At(k);
            if (obj == &self) continue;
            if (self.Overlaps(*obj)) {
                i = k + 1;
                return obj;
            }
        }
        i = Count();
        return nullptr;
    }
    for (int k = start; k < Count(); ++k) {
        const EE* obj = At(k);
        if (obj == &self) continue;
        const Box box = BoxAt(k);
        if (!reach.Meets(BoundsOfBox(box.x, box.y, box.width, box.height))) continue;
        if (self.Overlaps(*obj)) {
            i = k + 1;
            return At(k);
        }
    }
    i = Count();
    return nullptr;
}

}  // namespace kivora
