#include "field/SpawnRival.h"

#include "base/ListFiles.h"
#include "base/Random.h"
#include "field/Placement.h"
#include "sim/Field.h"
#include "sim/LoadProgram.h"
#include "sim/OKE.h"

namespace kivora {

int SpawnRivalUnits(SharedField& field, SpecTable& specs, Random& random, const std::filesystem::path& folder,
                    int count, std::vector<SpawnedUnit>* spawned) {
  int placed = 0;
  for (int attempt = 0; attempt < count; ++attempt) {
    const std::vector<std::string> models = ListFiles(folder, "*.spc", ListEntries::All);
    if (models.empty()) continue;
    const std::string& model =
        models[static_cast<std::size_t>(randomRange(random, 0, static_cast<int>(models.size()) - 1))];
    Ref<OKE> unit = OKE::Create(0, model, specs);
    if (!unit) continue;  // a directory or a malformed file: nothing to deploy
    const std::vector<std::string> programs = ListFiles(folder, "*.prg", ListEntries::All);
    std::string program;
    if (!programs.empty()) {
      program = programs[static_cast<std::size_t>(randomRange(random, 0, static_cast<int>(programs.size()) - 1))];
      LoadProgram(*unit, folder / program);
    }
    PlaceUnitAtRandom(*unit, random);
    const auto locked = field.Lock();
    const OKE* placedUnit = locked->Deploy(std::move(unit));
    if (spawned) spawned->push_back(SpawnedUnit{placedUnit->fieldId, std::move(program)});
    ++placed;
  }
  return placed;
}

}  // namespace kivora
