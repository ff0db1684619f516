#include "field/FieldSetup.h"

#include "field/MapFile.h"
#include "field/SpawnRival.h"

namespace kivora {

void BuildField(Field& field, SpecTable& specs, const std::function<void(std::string_view message)>& mapUnreadable,
                std::vector<SpawnedUnit>* spawned) {
  if (!ReadMapFile(field, "map.txt") && mapUnreadable) mapUnreadable(kMapUnreadableMessage);
  AddRandomWalls(field, 10);
  AddRandomParts(field, 10);
  SpawnRivalUnits(field, specs, 1, spawned);
}

}  // namespace kivora
