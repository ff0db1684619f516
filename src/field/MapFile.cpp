#include "field/MapFile.h"

#include <string>

#include "base/CstdFile.h"
#include "base/Random.h"
#include "base/Scanner.h"
#include "field/Placement.h"
#include "field/ViewGeometry.h"
#include "sim/Field.h"
#include "sim/Parts.h"
#include "sim/Ref.h"
#include "sim/Wall.h"

namespace kivora {

std::optional<MapWall> ParseMapLine(std::string_view line) {
  if (line.empty() || line.front() == '#') return std::nullopt;
  // "%d,%d,%d,%d"
  Scanner in(line);
  MapWall wall;
  if (!in.Int(wall.x) || !in.Literal(',') || !in.Int(wall.y) || !in.Literal(',') || !in.Int(wall.width) ||
      !in.Literal(',') || !in.Int(wall.height))
    return std::nullopt;
  return wall;
}

bool ReadMapFile(Field& field, const std::filesystem::path& fileName) {
  try {
    CstdFile file(fileName.string(), File::modeRead);
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

void AddRandomWalls(Field& field, Random& random, int count) {
  for (int i = 0; i < count; ++i) {
    Ref<Wall> wall = MakeRef<Wall>();
    PlaceAtRandom(*wall, random);
    field.Add(std::move(wall));
  }
}

void AddRandomParts(Field& field, Random& random, int count) {
  for (int i = 0; i < count; ++i) {
    Ref<Parts> part = MakeRef<Parts>();
    part->x = randomRange(random, -100, 100) * kFieldUnitsPerPixel;
    part->y = randomRange(random, -100, 100) * kFieldUnitsPerPixel;
    field.Add(std::move(part));
  }
}

}  // namespace kivora
