#pragma once
#include <functional>
#include <string_view>
#include <vector>

#include "field/SpawnRival.h"

namespace kivora {

class Field;
class SpecTable;

// Builds the battlefield from the working directory as the field view does
// when it is created: the walls of "map.txt", 10 walls and 10 parts at
// random places, then one rival unit, every draw from the calling thread's
// generator in that order. A map that cannot be read is told to
// `mapUnreadable` (with the message the player sees) right after the attempt,
// and set-up goes on; an empty map is no error.
// The rival unit joins under the field's lock: call this without holding it.
void BuildField(Field& field, SpecTable& specs, const std::function<void(std::string_view message)>& mapUnreadable,
                std::vector<SpawnedUnit>* spawned = nullptr);

}  // namespace kivora
