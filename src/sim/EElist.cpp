#include "sim/EElist.h"

#include <algorithm>

#include "sim/EE.h"
#include "sim/Geometry.h"

namespace kivora {

void EElist::Remove(const EE* obj) {
    const auto it = std::find(items_.begin(), items_.end(), obj);
    if (it != items_.end()) items_.erase(it);
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
        const EE* obj = At(k);
        if (obj == &self) continue;
        const std::int64_t dx = std::int64_t{obj->x} - self.x;
        const std::int64_t dy = std::int64_t{obj->y} - self.y;
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
    for (int k = std::max(i, 0); k < Count(); ++k) {
        const EE* obj = At(k);
        if (obj == &self) continue;
        if (!reach.Meets(obj->BoxBounds())) continue;
        if (self.Overlaps(*obj)) {
            i = k + 1;
            return At(k);
        }
    }
    i = Count();
    return nullptr;
}

}  // namespace kivora
