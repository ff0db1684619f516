#pragma once
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "field/SpawnRival.h"

namespace kivora {

class Random;
class SharedField;
class SpecTable;

// Builds the battlefield from the data folder `folder` as the field view does
// when it is created: the walls of "map.txt", 10 walls and 10 parts at
// random places, then one rival unit, every draw from `random` in that
// order. A map that cannot be read is told to `mapUnreadable` (with the
// message the player sees) right after the attempt, and set-up goes on; an
// empty map is no error. Takes the field's lock itself.
void BuildField(SharedField& field, SpecTable& specs, Random& random, const std::filesystem::path& folder,
                const std::function<void(std::string_view message)>& mapUnreadable,
                std::vector<SpawnedUnit>* spawned = nullptr);

}  // namespace kivora
