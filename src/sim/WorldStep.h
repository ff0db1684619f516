#pragma once

namespace kivora {

class Field;

// Advances the battle by one tick: every program gets its commands (phases
// 6 down to 1), every object steps, spent bullets leave, and fallen units
// leave a part where they stood. The caller holds the field's lock.
void WorldStep(Field& field);

}  // namespace kivora
