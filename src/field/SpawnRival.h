#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kivora {

class Field;
class SpecTable;

// What a deployment placed, for callers that report it: the unit's field
// id and its program file ("" for none).
struct SpawnedUnit {
  std::int64_t id = 0;
  std::string program;
};

// Makes `count` attempts to put a rival unit (team 0) on the field, each with
// a model and a program drawn from the working directory and a random place
// and direction. Every entry whose name matches counts, files or not, so a
// directory named "x.spc" is drawn like a model and then fails to load.
// Per attempt the draws are: model index, program index (only
// when program files exist), x, y, direction. An attempt without model files
// draws nothing; one whose model cannot be loaded ends right after the model
// index was drawn. Returns the number of units placed.
//
// Each unit joins the field under the field's lock, which this takes itself:
// call it without holding the lock, from any thread, while the world ticks.
int SpawnRivalUnits(Field& field, SpecTable& specs, int count, std::vector<SpawnedUnit>* spawned = nullptr);

}  // namespace kivora
