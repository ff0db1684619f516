#pragma once
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

// Draws one frame: the background centred on the view (where it does not
// reach, earlier frames stay), then every object of the field list in list
// order, walls as rectangles of `wallBrush`, everything else as its picture
// centred on its position. The caller holds the field's lock.
//
// A missing background is skipped. An object whose picture cannot be loaded
// is drawn as a plain square of its own box (at least 3 x 3 pixels) in its
// kind's marker colour. A picture that failed is tried again next frame.
void DrawField(Canvas& dc, const EElist& fieldList, PictureCache& pictures, const DIBits* background,
               Pixel wallBrush);

// The same with the background "bg.bmp" from `pictures` and the dark-gray brush.
void DrawField(Canvas& dc, const Field& field, PictureCache& pictures);

}  // namespace kivora
