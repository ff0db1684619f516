#pragma once
#include <cstdint>
#include <vector>

namespace kivora {

class EE;

// The objects on the field, in the order in which they were added. The list
// holds no references of its own: the field owns the one each object was
// born with (see Field).
//
// The iterators take a position that the caller starts at 0 and that they
// advance past what they return, so a caller can go on searching from there.
class EElist {
public:
    void Add(EE* obj) { items_.push_back(obj); }
    // Removes the first occurrence, keeping the order of the rest.
    void Remove(const EE* obj);
    int IndexOf(const EE* obj) const;
    int Count() const { return static_cast<int>(items_.size()); }
    EE* At(int i) const { return items_[static_cast<std::size_t>(i)]; }

    // The object at i, advancing i; null at the end.
    EE* Next(int& i) const;

    // The next object from i on, other than `self`, whose centre lies within
    // `range` pixels and within `width`/2 degrees of `self`'s facing turned
    // by `relAngle`; `dist` receives its distance in whole pixels. Bounds
    // are inclusive. Null (and i = Count()) when there is none.
    EE* FindInSector(int& i, const EE& self, std::int32_t relAngle, std::int32_t width,
                     std::int32_t range, std::int32_t& dist) const;

    // The next object from i on, other than `self`, that `self` overlaps
    // by its own test (swept for bullets). Null (and i = Count()) at the end.
    EE* NextOverlapping(int& i, const EE& self) const;

    const std::vector<EE*>& Items() const { return items_; }
    // Removes every object for which `pred` holds, keeping the order.
    template <typename Pred>
    void RemoveIf(Pred pred) {
        std::erase_if(items_, pred);
    }

private:
    std::vector<EE*> items_;
};

}  // namespace kivora
