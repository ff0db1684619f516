#include "field/SpawnRival.h"

#include <mutex>

#include "app/ListFiles.h"
#include "app/Random.h"
#include "lang/LoadProgram.h"
#include "sim/Field.h"
#include "sim/OKE.h"

namespace kivora {

int SpawnRivalUnits(Field& field, SpecTable& specs, int count, std::vector<SpawnedUnit>* spawned) {
  int placed = 0;
  for (int attempt = 0; attempt < count; ++attempt) {
    const std::vector<std::string> models = ListFiles("*.spc", ListEntries::All);
    if (models.empty()) continue;
    const std::string& model = models[static_cast<std::size_t>(randomRange(0, static_cast<int>(models.size()) - 1))];
    Ref<OKE> unit = OKE::Create(0, model, specs);
    if (!unit) continue;  // a directory or a malformed file: nothing to deploy
    const std::vector<std::string> programs = ListFiles("*.prg", ListEntries::All);
    std::string program;
    if (!programs.empty()) {
      program = programs[static_cast<std::size_t>(randomRange(0, static_cast<int>(programs.size()) - 1))];
      LoadProgram(*unit, program);
    }
    unit->x = randomRange(-150, 150) * 100;
    unit->y = randomRange(-150, 150) * 100;
    unit->direction = randomRange(-179, 180);
    {
      // The simulation may be ticking on its own thread: a unit never lands
      // in the middle of a tick.
      const std::lock_guard<std::mutex> hold(field.lock);
      const OKE* placedUnit = field.Deploy(std::move(unit));
      if (spawned) spawned->push_back(SpawnedUnit{placedUnit->fieldId, std::move(program)});
    }
    ++placed;
  }
  return placed;
}

}  // namespace kivora
