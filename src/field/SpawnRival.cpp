#include "field/SpawnRival.h"

#include <algorithm>
#include <mutex>
#include <filesystem>
#include <system_error>

#include "app/ListFiles.h"
#include "app/Random.h"
#include "lang/LoadProgram.h"
#include "sim/Field.h"
#include "sim/OKE.h"

namespace kivora {
namespace {

bool HasExtension(std::string_view name, std::string_view extension) {
  if (extension.size() > name.size()) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  for (std::size_t i = 0; i < extension.size(); ++i) {
    char a = tail[i], b = extension[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> ListRivalChoices(std::string_view pattern) {
  std::string_view extension = pattern;
  while (!extension.empty() && extension.front() == '*') extension.remove_prefix(1);
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(".", ec);
  if (ec) return names;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::string name = it->path().filename().native();
    if (HasExtension(name, extension)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return FileNameLess(a, b); });
  return names;
}

int SpawnRivalUnits(Field& field, SpecTable& specs, int count, std::vector<SpawnedUnit>* spawned) {
  int placed = 0;
  for (int attempt = 0; attempt < count; ++attempt) {
    const std::vector<std::string> models = ListRivalChoices("*.spc");
    if (models.empty()) continue;
    const std::string& model = models[static_cast<std::size_t>(randomRange(0, static_cast<int>(models.size()) - 1))];
    Ref<OKE> unit = OKE::Create(0, model, specs);
    if (!unit) continue;  // a directory or a malformed file: nothing to deploy
    const std::vector<std::string> programs = ListRivalChoices("*.prg");
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
