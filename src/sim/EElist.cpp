#include "sim/EElist.h"

#include <algorithm>

#include "sim/EE.h"
#include "sim/Geometry.h"

namespace kivora {

EElist::Box EElist::BoxOf(const EE& obj) { return {obj.x, obj.y, obj.width, obj.height}; }

EElist::Box EElist::BoxAt(int k) const {
    return ticking_ ? boxes_[static_cast<std::size_t>(k)] : BoxOf(*At(k));
}

void EElist::Add(EE* obj) {
    items_.push_back(obj);
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
    boxes_.erase(boxes_.begin() + k);
    orders_.erase(orders_.begin() + k);
    items_.erase(it);
}

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

EE* EElist::FindInSector(int& i, const EE& self, std::int32_t relAngle, std::int32_t width,
                         std::int32_t range, std::int32_t& dist) const {
    const std::int32_t centre = NormalizeAngle(WrapAdd(self.direction, relAngle));
    const std::int32_t half = width / 2;
    for (int k = std::max(i, 0); k < Count(); ++k) {
        if (At(k) == &self) continue;
        const Box box = BoxAt(k);
        const std::int64_t dx = std::int64_t{box.x} - self.x;
        const std::int64_t dy = std::int64_t{box.y} - self.y;
        const double distance = DistanceOf(dx, dy);
        if (range < distance) continue;
        const std::int64_t off = NormalizeAngle(WrapSub(BearingOf(dx, dy), centre));
        if ((off < 0 ? -off : off) > half) continue;
        dist = TruncToInt32(distance);
        i = k + 1;
        return At(k);
    }
    i = Count();
    return nullptr;
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
