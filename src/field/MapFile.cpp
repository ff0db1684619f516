#include "field/MapFile.h"

#include <cstdio>

#include "app/CstdFile.h"
#include "app/Random.h"
#include "sim/Field.h"
#include "sim/Parts.h"
#include "sim/Ref.h"
#include "sim/Wall.h"

namespace kivora {

std::optional<MapWall> ParseMapLine(std::string_view line) {
  if (line.empty() || line.front() == '#') return std::nullopt;
  // The line reader hands out at most 2048 bytes, so this copy is bounded;
  // it gives the scanner the terminating zero it needs.
  const std::string text(line);
  int x = 0, y = 0, width = 0, height = 0;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &x, &y, &width, &height) != 4) return std::nullopt;
  return MapWall{x, y, width, height};
}

bool ReadMapFile(Field& field, const std::string& fileName) {
  try {
    CstdFile file(fileName, File::modeRead);
    std::string line;
    while (file.ReadString(line)) {
      const std::optional<MapWall> wall = ParseMapLine(line);
      if (!wall) continue;
      Ref<Wall> object = MakeRef<Wall>();
      object->x = wall->x;
      object->y = wall->y;
      object->width = wall->width;
      object->height = wall->height;
      field.Add(std::move(object));
    }
  } catch (const FileException&) {
    return false;
  }
  return true;
}

void AddRandomWalls(Field& field, int count) {
  for (int i = 0; i < count; ++i) {
    Ref<Wall> wall = MakeRef<Wall>();
    wall->x = randomRange(-150, 150) * 100;
    wall->y = randomRange(-150, 150) * 100;
    field.Add(std::move(wall));
  }
}

void AddRandomParts(Field& field, int count) {
  for (int i = 0; i < count; ++i) {
    Ref<Parts> part = MakeRef<Parts>();
    part->x = randomRange(-100, 100) * 100;
    part->y = randomRange(-100, 100) * 100;
    field.Add(std::move(part));
  }
}

}  // namespace kivora
