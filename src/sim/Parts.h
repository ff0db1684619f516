#pragma once
#include "sim/EE.h"

namespace kivora {

// A part lying on the field, worth money (or points to the rival) to the
// unit that picks it up.
class Parts : public EE {
public:
    Parts() {
        width = 200;
        height = 200;
    }
    int Kind() const override { return kKindParts; }
    void RunProgram(int, Field&) override {}
};

}  // namespace kivora
