#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kivora {

class Field;
class Random;

// The message the player gets when "map.txt" cannot be read.
inline constexpr std::string_view kMapUnreadableMessage = "マップファイルが読み込めません";

// One wall of the map file: centre and full size in field units.
struct MapWall {
  std::int32_t x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const MapWall&, const MapWall&) = default;
};

// A line of the map file: a wall for "x,y,width,height" (blanks allowed in
// front of each number, the comma right after it, anything after the fourth
// number ignored); nothing for empty lines, comments ("#" in the first
// column) and everything else.
std::optional<MapWall> ParseMapLine(std::string_view line);

// Appends one wall to the field for each wall line of the file, in file
// order. Returns false when the file could not be opened or read; the walls
// read before the failure stay on the field.
bool ReadMapFile(Field& field, const std::filesystem::path& file);

// `count` walls of the default size at random spots (PlaceAtRandom).
void AddRandomWalls(Field& field, Random& random, int count);

// `count` parts at random whole-pixel places within 100 pixels of the centre;
// x is drawn before y.
void AddRandomParts(Field& field, Random& random, int count);

}  // namespace kivora
