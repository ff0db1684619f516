#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "base/Random.h"
#include "sim/EElist.h"
#include "sim/Ref.h"

namespace kivora {

class Bullette;
class EE;
class FieldEvents;
class OKE;

// The battlefield: every object on it, the bullets and units among them,
// the number of the player's units and the simulation's random numbers.
//
// Each object on the field is owned by the field through the one reference
// it was born with; whoever takes it off the field releases that reference.
// A Field is plain state: whoever holds one may read and change it. A field
// that two threads share lives in a SharedField, which hands it out only
// under its lock.
class Field {
public:
    Field();
    ~Field();
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    EElist fieldList;                   // everything on the field, in insertion order
    std::vector<Bullette*> bulletList;  // bullets fired and not yet removed, in firing order
    std::vector<OKE*> unitList;         // units of both sides, in deployment order
    std::int32_t playerUnitCount = 0;
    // The simulation's generator: RANDOM commands and pick-up rewards draw
    // from it, nothing else does. It starts at state 1, so a battle repeats.
    Random generator;
    // Told of rewards and of the player's squad lost; none: nobody listens.
    FieldEvents* events = nullptr;

    // Places a wall or a part (field list only). The field takes over the
    // reference; returns the object.
    EE* Add(Ref<EE> obj);
    // Deploys a unit: the unit list, the field list and, for a player's unit,
    // the player's unit count. The field takes over the reference.
    OKE* Deploy(Ref<OKE> unit);
    // Appends `obj` to the field list, taking over the reference the caller
    // holds, and numbers it (see EE::fieldId).
    void AddToFieldList(EE* obj);

private:
    friend class FieldCopy;  // keeps and puts back the numbering
    std::int64_t nextFieldId_ = 1;
};

// A field shared by the game window's thread and the battle's own thread.
// The field is reached only through Lock(), which holds the field lock for
// as long as the handle it returns lives: every walk over the lists, every
// change to them and to the objects on them, every program step and every
// look at a unit's program happens under that one lock. The world step
// holds it for a whole tick, drawing for a whole frame.
class SharedField {
public:
    class Locked {
    public:
        Field& operator*() const { return *field_; }
        Field* operator->() const { return field_; }

    private:
        friend class SharedField;
        Locked(std::mutex& mutex, Field& field) : lock_(mutex), field_(&field) {}
        std::unique_lock<std::mutex> lock_;
        Field* field_;
    };

    SharedField() = default;
    SharedField(const SharedField&) = delete;
    SharedField& operator=(const SharedField&) = delete;

    [[nodiscard]] Locked Lock() { return Locked(mutex_, field_); }

private:
    std::mutex mutex_;
    Field field_;
};

}  // namespace kivora
