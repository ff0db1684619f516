#pragma once

namespace kivora {

class Field;

// Advances the battle by one tick: every program gets its commands (phases
// 6 down to 1), every object steps, spent bullets leave, and fallen units
// leave a part where they stood. RANDOM commands and rewards draw from the
// field's own generator; a shared field is stepped under its lock.
void WorldStep(Field& field);

}  // namespace kivora
