#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kivora {

class Random;
class SharedField;
class SpecTable;

// What a deployment placed, for callers that report it: the unit's field
// id and its program file ("" for none).
struct SpawnedUnit {
  std::int64_t id = 0;
  std::string program;
};

// Makes `count` attempts to put a rival unit (team 0) on the field, each with
// a model and a program drawn from the data folder `folder` and a random
// place and direction, every draw from `random`. Every entry whose name
// matches counts, files or not, so a directory named "x.spc" is drawn like a
// model and then fails to load. Per attempt the draws are: model index,
// program index (only when program files exist), x, y, direction. An attempt
// without model files draws nothing; one whose model cannot be loaded ends
// right after the model index was drawn. Returns the number of units placed.
//
// Files are read without the field's lock; each unit then joins the field
// under it, so this may run while the world ticks on another thread.
int SpawnRivalUnits(SharedField& field, SpecTable& specs, Random& random, const std::filesystem::path& folder,
                    int count, std::vector<SpawnedUnit>* spawned = nullptr);

}  // namespace kivora
