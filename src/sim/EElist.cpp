#include "sim/EElist.h"

#include <algorithm>

#include "sim/EE.h"
#include "sim/Geometry.h"

namespace kivora {

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
    positionsCopied_ = false;
    const int kind = obj->Kind();
    obj->listEntry.order = nextOrder_++;
    obj->listEntry.kind = kind;
    obj->listEntry.inGrid = false;
    items_.push_back(obj);
    byKind_[static_cast<std::size_t>(SlotOf(kind))].push_back(obj);
    if (ticking_ && InGridKind(kind)) grid_.Place(*obj);
}

void EElist::Forget(EE& obj) {
    positionsCopied_ = false;
    if (obj.listEntry.inGrid) grid_.Remove(obj);
}

void EElist::Remove(const EE* obj) {
    const auto it = std::find(items_.begin(), items_.end(), obj);
    if (it == items_.end()) return;
    EE& found = **it;
    std::vector<EE*>& sameKind = byKind_[static_cast<std::size_t>(SlotOf(found.listEntry.kind))];
    sameKind.erase(std::find(sameKind.begin(), sameKind.end(), obj));
    Forget(found);
    items_.erase(it);
}

void EElist::RebuildKinds() {
    for (auto& list : byKind_) list.clear();
    for (EE* obj : items_) byKind_[static_cast<std::size_t>(SlotOf(obj->listEntry.kind))].push_back(obj);
}

const std::vector<EE*>& EElist::OfKind(int kind) const { return byKind_[static_cast<std::size_t>(SlotOf(kind))]; }

EElist::TickScope::TickScope(EElist& list) : list_(list) {
    if (!list_.useTickCache_) return;
    // The grid outlives ticks; between them positions may have been set by
    // hand, so every unit and wall is brought up to date first.
    for (int kind : {kKindPlayerUnit, kKindRivalUnit, kKindWall}) {
        for (EE* obj : list_.OfKind(kind)) list_.grid_.Place(*obj);
    }
    list_.ticking_ = true;
    list_.CopyPositions();
}

EElist::TickScope::~TickScope() {
    list_.ticking_ = false;
    list_.positionsCopied_ = false;
}

void EElist::CopyPositions() {
    for (std::size_t slot = 0; slot < byKind_.size(); ++slot) {
        std::vector<Spot>& spots = spots_[slot];
        spots.resize(byKind_[slot].size());
        for (std::size_t k = 0; k < spots.size(); ++k) spots[k] = {byKind_[slot][k]->x, byKind_[slot][k]->y};
        cells_[slot].Build(spots);
    }
    positionsCopied_ = true;
}

void EElist::CellIndex::Build(const std::vector<Spot>& spots) {
    built = false;
    // A few objects are quicker walked than indexed.
    if (spots.size() < 48) return;
    std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
    for (const Spot& s : spots) {
        minX = std::min<std::int64_t>(minX, s.x);
        maxX = std::max<std::int64_t>(maxX, s.x);
        minY = std::min<std::int64_t>(minY, s.y);
        maxY = std::max<std::int64_t>(maxY, s.y);
    }
    originX = minX;
    originY = minY;
    width = ((maxX - minX) >> kSensorCellShift) + 1;
    height = ((maxY - minY) >> kSensorCellShift) + 1;
    // Objects strewn over a vast field: too many empty cells to be worth it.
    if (width * height > 4 * static_cast<std::int64_t>(spots.size()) + 256) return;
    const std::size_t cellCount = static_cast<std::size_t>(width * height);
    start.assign(cellCount + 1, 0);
    auto cellOf = [this](const Spot& s) {
        return static_cast<std::size_t>(((s.y - originY) >> kSensorCellShift) * width + ((s.x - originX) >> kSensorCellShift));
    };
    for (const Spot& s : spots) ++start[cellOf(s) + 1];
    for (std::size_t c = 0; c < cellCount; ++c) start[c + 1] += start[c];
    items.resize(spots.size());
    fill.assign(start.begin(), start.end() - 1);
    for (std::uint32_t k = 0; k < spots.size(); ++k) items[fill[cellOf(spots[k])]++] = k;
    built = true;
}

void EElist::Refresh(EE& obj) {
    positionsCopied_ = false;  // things move: the copy is out of date
    if (ticking_ && obj.listEntry.inGrid) grid_.Place(obj);
}

int EElist::IndexOf(const EE* obj) const {
    const auto it = std::find(items_.begin(), items_.end(), obj);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

EE* EElist::Next(int& i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return At(i++);
}

// One object weighed by a sensor: the rule's own tests, cheapest first (an
// offset beyond the reach, then the distance, then the bearing, which costs
// an arc tangent). The nearest by whole pixels wins; of equals, the first in
// the list. Whatever order the objects are weighed in, the choice is the one
// a walk over the whole list would make.
struct EElist::Sensor {
    const EE& self;
    int kind;
    std::int32_t range;
    std::int32_t centre;
    std::int32_t half;
    bool oddKind;
    Heading heading;
    std::int32_t best = kFarthestCounted;
    std::size_t bestIndex = 0;
    EE* chosen = nullptr;

    // How far from `self` a winner may still lie on either axis, in field units.
    std::int64_t Reach() const { return (std::int64_t{range < best ? range : best} + 1) * 100; }

    void Weigh(EE* obj, std::size_t index, std::int32_t x, std::int32_t y) {
        const std::int64_t reach = Reach();
        const std::int64_t dx = std::int64_t{x} - self.x;
        const std::int64_t dy = std::int64_t{y} - self.y;
        if (dx > reach || dx < -reach || dy > reach || dy < -reach) return;
        if (obj == &self || (oddKind && obj->Kind() != kind)) return;
        const double exact = DistanceOf(dx, dy);
        if (range < exact) return;
        const std::int32_t distance = TruncToInt32(exact);
        if (distance > best || (distance == best && (!chosen || index > bestIndex))) return;
        const std::int32_t off = NormalizeAngle(WrapSub(BearingOf(dx, dy), centre));
        if (off > half || off < -half) return;
        if (heading == kIncomingOnly && !HeadsTowards(*obj, self)) return;
        best = distance;
        bestIndex = index;
        chosen = obj;
    }
};

EE* EElist::Nearest(const EE& self, int kind, const Sector& sector, Heading heading) const {
    if (sector.range < 0) return nullptr;
    Sensor sensor{self,         kind,
                  sector.range, NormalizeAngle(WrapAdd(self.direction, sector.angle)),
                  sector.width / 2, SlotOf(kind) == kKindSlots - 1,
                  heading};
    const std::size_t slot = static_cast<std::size_t>(SlotOf(kind));
    const std::vector<EE*>& objects = byKind_[slot];
    if (!positionsCopied_) {
        for (std::size_t k = 0; k < objects.size(); ++k) sensor.Weigh(objects[k], k, objects[k]->x, objects[k]->y);
        return sensor.chosen;
    }
    const std::vector<Spot>& spots = spots_[slot];
    const CellIndex& cells = cells_[slot];
    if (!cells.built) {
        for (std::size_t k = 0; k < objects.size(); ++k) sensor.Weigh(objects[k], k, spots[k].x, spots[k].y);
        return sensor.chosen;
    }
    // Ring by ring of cells around the sensor's own cell, outwards, until a
    // ring lies wholly beyond the reach.
    auto visit = [&](std::int64_t cx, std::int64_t cy) {
        if (cx < 0 || cy < 0 || cx >= cells.width || cy >= cells.height) return;
        const std::size_t cell = static_cast<std::size_t>(cy * cells.width + cx);
        for (std::uint32_t e = cells.start[cell]; e < cells.start[cell + 1]; ++e) {
            const std::uint32_t k = cells.items[e];
            sensor.Weigh(objects[k], k, spots[k].x, spots[k].y);
        }
    };
    const std::int64_t scx = (std::int64_t{self.x} - cells.originX) >> kSensorCellShift;
    const std::int64_t scy = (std::int64_t{self.y} - cells.originY) >> kSensorCellShift;
    const std::int64_t farthest = std::max({scx, cells.width - 1 - scx, scy, cells.height - 1 - scy});
    for (std::int64_t r = 0; r <= farthest; ++r) {
        if (r > 0 && ((r - 1) << kSensorCellShift) > sensor.Reach()) break;
        if (r == 0) {
            visit(scx, scy);
            continue;
        }
        for (std::int64_t cx = scx - r; cx <= scx + r; ++cx) {
            visit(cx, scy - r);
            visit(cx, scy + r);
        }
        for (std::int64_t cy = scy - r + 1; cy <= scy + r - 1; ++cy) {
            visit(scx - r, cy);
            visit(scx + r, cy);
        }
    }
    return sensor.chosen;
}

EE* EElist::FirstOverlapping(const EE& self, unsigned kinds, const EE* skip) const {
    // Most of the field is nowhere near: a cheap look at the boxes first,
    // the object's own (possibly swept) test only for what may touch.
    const Bounds reach = self.Reach();
    if (ticking_ && grid_.Candidates(reach, kinds, candidates_)) {
        for (const CollisionGrid::Candidate& c : candidates_) {
            if (c.object == &self || c.object == skip) continue;
            if (self.Overlaps(*c.object)) return c.object;
        }
        return nullptr;
    }
    // The first overlapping object of each kind asked for; the earliest of
    // them in the list wins.
    EE* first = nullptr;
    for (int kind = 0; kind < kKindSlots - 1; ++kind) {
        if (!(kinds & KindBit(kind))) continue;
        for (EE* obj : OfKind(kind)) {
            if (first && obj->listEntry.order > first->listEntry.order) break;
            if (obj == &self || obj == skip) continue;
            if (!reach.Meets(obj->BoxBounds())) continue;
            if (self.Overlaps(*obj)) {
                first = obj;
                break;
            }
        }
    }
    return first;
}

}  // namespace kivora
