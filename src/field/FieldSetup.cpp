#include "field/FieldSetup.h"

#include "field/MapFile.h"
#include "field/SpawnRival.h"
#include "sim/Field.h"

namespace kivora {

void BuildField(SharedField& field, SpecTable& specs, Random& random, const std::filesystem::path& folder,
                const std::function<void(std::string_view message)>& mapUnreadable,
                std::vector<SpawnedUnit>* spawned, SetUpParts parts) {
  if (parts.map) {
    bool mapRead = false;
    {
      const auto locked = field.Lock();
      mapRead = ReadMapFile(*locked, folder / "map.txt");
    }
    if (!mapRead && mapUnreadable) mapUnreadable(kMapUnreadableMessage);
  }
  if (parts.randomWallsAndParts) {
    const auto locked = field.Lock();
    AddRandomWalls(*locked, random, 10);
    AddRandomParts(*locked, random, 10);
  }
  if (parts.rival) SpawnRivalUnits(field, specs, random, folder, 1, spawned);
}

}  // namespace kivora
