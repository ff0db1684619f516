#pragma once
#include "sim/EE.h"

namespace kivora {

// A block that stops units and bullets. Walls never leave the field.
class Wall : public EE {
public:
    Wall() {
        width = 800;
        height = 800;
    }
    int Kind() const override { return kKindWall; }
    void RunProgram(int, Field&) override {}
};

}  // namespace kivora
