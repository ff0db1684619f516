#include "sim/Field.h"

#include "sim/EE.h"
#include "sim/OKE.h"

namespace kivora {

Field::Field() = default;

Field::~Field() {
    // Targets first: two objects aiming at each other would otherwise keep
    // each other alive after the field lets go of them.
    for (EE* obj : fieldList.Items()) obj->SetTarget(nullptr);
    for (EE* obj : fieldList.Items()) obj->Release();
}

EE* Field::Add(Ref<EE> obj) {
    EE* p = obj.Detach();
    if (p) AddToFieldList(p);
    return p;
}

OKE* Field::Deploy(Ref<OKE> unit) {
    OKE* p = unit.Detach();
    if (!p) return nullptr;
    unitList.push_back(p);
    AddToFieldList(p);
    if (p->Kind() == kKindPlayerUnit) ++playerUnitCount;
    return p;
}

void Field::AddToFieldList(EE* obj) {
    if (obj->fieldId == 0) obj->fieldId = nextFieldId_++;
    fieldList.Add(obj);
}

}  // namespace kivora
