#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sim/EElist.h"
#include "sim/Ref.h"

namespace kivora {

class Bullette;
class EE;
class Economy;
class OKE;
class SquadLostListener;

// The battlefield: every object on it, the bullets and units among them,
// the number of the player's units, and the lock that keeps the window
// thread's deployments and reads out of the middle of a tick.
//
// Each object on the field is owned by the field through the one reference
// it was born with; whoever takes it off the field releases that reference.
// The world step (WorldStep) holds `lock` for a whole tick; the window
// thread takes it to deploy units or walk the lists.
class Field {
public:
    // `economy` receives the rewards for parts picked up on this field.
    explicit Field(Economy& economy);
    ~Field();
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    EElist fieldList;                // everything on the field, in insertion order
    std::vector<Bullette*> bulletList;  // bullets fired and not yet removed, in firing order
    std::vector<OKE*> unitList;      // units of both sides, in deployment order
    std::atomic<std::int32_t> playerUnitCount{0};
    std::mutex lock;
    Economy& economy;

    // Places a wall or a part (field list only). The field takes over the
    // reference; returns the object.
    EE* Add(Ref<EE> obj);
    // Deploys a unit: the unit list, the field list and, for a player's unit,
    // the player's unit count. The field takes over the reference.
    OKE* Deploy(Ref<OKE> unit);
    // Appends `obj` to the field list, taking over the reference the caller
    // holds, and numbers it (see EE::fieldId).
    void AddToFieldList(EE* obj);

    void SetSquadLostListener(SquadLostListener* listener) { squadLost_ = listener; }
    SquadLostListener* squadLostListener() const { return squadLost_; }

private:
    SquadLostListener* squadLost_ = nullptr;
    std::int64_t nextFieldId_ = 1;
};

}  // namespace kivora
