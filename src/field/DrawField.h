#pragma once
#include <array>
#include <cstdint>

#include "field/Bmp.h"
#include "field/ViewGeometry.h"

namespace kivora {

class Canvas;
class DIBits;
class EElist;
class Field;
class PictureCache;

// The stock dark-gray brush the walls are filled with.
inline constexpr Pixel kWallBrush = Rgb(64, 64, 64);

// The picture file drawn for an object of a kind; null for kinds without one.
// Walls have a name in the table but are drawn as filled rectangles.
const char* PictureFileOfKind(int kind);

// The colour of the plain square drawn in place of an object whose picture
// cannot be loaded, so that a missing or broken file never hides units,
// bullets or parts.
Pixel MarkerColourOfKind(int kind);

// Every kind code a field object can have, 0..5.
inline constexpr int kKindCount = 6;

// The pictures frames are drawn with, gathered from the cache once when
// drawing starts: the background and the picture of each kind. Frames do
// not look anything up, so a missing or broken file is read once for the
// whole run, not ten times a second; a file dropped into the directory
// later shows from the next gathering.
struct FieldPictures {
  const DIBits* background = nullptr;                // "bg.bmp"; null: none
  std::array<const DIBits*, kKindCount> ofKind{};    // null: none (walls never have one)

  static FieldPictures Gather(PictureCache& pictures);
};

// Draws one frame: the background centred on the view (where it does not
// reach, earlier frames stay), then every object of the field list in list
// order, walls as rectangles of `wallBrush`, everything else as its picture
// centred on its position. The caller holds the field's lock.
//
// A missing background is skipped. An object without a picture is drawn as
// a plain square of its own box (at least 3 x 3 pixels) in its kind's
// marker colour.
void DrawField(Canvas& dc, const EElist& fieldList, const FieldPictures& pictures, Pixel wallBrush);

// The same with the dark-gray wall brush.
void DrawField(Canvas& dc, const Field& field, const FieldPictures& pictures);

}  // namespace kivora
