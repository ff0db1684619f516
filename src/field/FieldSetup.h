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

// Which parts of the game's set-up a field gets. The game always builds all
// three; a duel on a clean field leaves out the random walls and parts and
// the random rival, and may leave out the map too.
struct SetUpParts {
  bool map = true;                  // the walls of "map.txt"
  bool randomWallsAndParts = true;  // 10 walls and 10 parts at random places
  bool rival = true;                // one rival unit of a random model and program
};

// Builds the battlefield from the data folder `folder` as the field view does
// when it is created: the walls of "map.txt", 10 walls and 10 parts at
// random places, then one rival unit, every draw from `random` in that
// order. A map that cannot be read is told to `mapUnreadable` (with the
// message the player sees) right after the attempt, and set-up goes on; an
// empty map is no error. A part left out of `parts` is neither read nor
// drawn for, so what remains draws as it would after it. Takes the field's
// lock itself.
void BuildField(SharedField& field, SpecTable& specs, Random& random, const std::filesystem::path& folder,
                const std::function<void(std::string_view message)>& mapUnreadable,
                std::vector<SpawnedUnit>* spawned = nullptr, SetUpParts parts = {});

}  // namespace kivora
