#include "sim/WorldStep.h"

#include <algorithm>
#include <vector>

#include "sim/Bullette.h"
#include "sim/EE.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/Parts.h"
#include "sim/FieldEvents.h"

namespace kivora {

namespace {

constexpr int kPhases = 6;

bool Contains(const std::vector<const EE*>& sorted, const EE* obj) {
    return std::binary_search(sorted.begin(), sorted.end(), obj, std::less<const EE*>());
}

void SweepBullets(Field& field) {
    std::vector<Bullette*> spent;
    std::erase_if(field.bulletList, [&](Bullette* b) {
        if (b->alive != 0) return false;
        spent.push_back(b);
        return true;
    });
    if (spent.empty()) return;
    // Membership only: the order of the sorted pointers decides nothing.
    std::vector<const EE*> gone(spent.begin(), spent.end());
    std::sort(gone.begin(), gone.end(), std::less<const EE*>());
    field.fieldList.RemoveIf([&](const EE* obj) { return Contains(gone, obj); });
    for (Bullette* b : spent) b->Release();
}

void SweepUnits(Field& field) {
    std::vector<OKE*> fallen;
    std::erase_if(field.unitList, [&](OKE* u) {
        if (u->hp != 0) return false;
        fallen.push_back(u);
        return true;
    });
    if (fallen.empty()) return;
    std::vector<const EE*> gone(fallen.begin(), fallen.end());
    std::sort(gone.begin(), gone.end(), std::less<const EE*>());
    field.fieldList.RemoveIf([&](const EE* obj) { return Contains(gone, obj); });

    for (OKE* unit : fallen) {
        const std::int32_t x = unit->x;
        const std::int32_t y = unit->y;
        if (field.events) field.events->Fell(*unit);
        if (unit->Kind() == kKindPlayerUnit) {
            --field.playerUnitCount;
            if (field.playerUnitCount == 0 && field.events) field.events->SquadLost();
        }
        // Its bullets still in flight forget who fired them: the unit may be
        // freed below and its memory reused by a unit deployed later, which
        // those bullets must not take for their shooter.
        for (Bullette* b : field.bulletList) {
            if (b->owner == unit) b->owner = nullptr;
        }
        // A unit off the field never acts again; letting go of its target
        // keeps two fallen units that aimed at each other from holding each
        // other alive for ever.
        unit->SetTarget(nullptr);
        unit->Release();

        Ref<Parts> part = MakeRef<Parts>();
        part->x = x;
        part->y = y;
        field.Add(std::move(part));
    }
}

}  // namespace

void WorldStep(Field& field) {
    EElist& list = field.fieldList;
    {
        EElist::TickScope scope(list);
        for (int phase = kPhases; phase >= 1; --phase) {
            for (int i = 0; i < list.Count(); ++i) {
                EE* obj = list.At(i);
                // Walls and parts run nothing, and what a bullet does in a
                // program phase it does the same way in every phase: they
                // are passed by, as they would change nothing.
                const int kind = obj->listEntry.kind;
                if (kind == kKindWall || kind == kKindParts || (kind == kKindBullet && phase != kPhases)) continue;
                obj->RunProgram(phase, field);
            }
        }
        // By position while the list grows: bullets fired in this pass are
        // appended and step in it too. An object moves only in its own step.
        for (int i = 0; i < list.Count(); ++i) {
            EE* obj = list.At(i);
            obj->Step(field);
            list.Refresh(*obj);
        }
    }
    SweepBullets(field);
    SweepUnits(field);
}

}  // namespace kivora
