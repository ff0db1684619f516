#include "field/DrawField.h"

#include <algorithm>

#include "field/Canvas.h"
#include "field/DIBits.h"
#include "field/PictureCache.h"
#include "sim/EE.h"
#include "sim/EElist.h"
#include "sim/Field.h"

namespace kivora {

const char* PictureFileOfKind(int kind) {
  switch (kind) {
    case kKindPlayerUnit: return "kivo1.bmp";
    case kKindRivalUnit: return "kivo2.bmp";
    case kKindWall: return "wall.bmp";
    case kKindBullet: return "bulet.bmp";
    case kKindParts: return "parts.bmp";
    default: return nullptr;
  }
}

Pixel MarkerColourOfKind(int kind) {
  switch (kind) {
    case kKindPlayerUnit: return Rgb(0, 64, 255);
    case kKindRivalUnit: return Rgb(255, 0, 0);
    case kKindBullet: return Rgb(255, 200, 0);
    case kKindParts: return Rgb(0, 200, 0);
    default: return Rgb(255, 0, 255);
  }
}

FieldPictures FieldPictures::Gather(PictureCache& pictures) {
  FieldPictures gathered;
  gathered.background = pictures.GetPicture("bg.bmp");
  for (int kind = 0; kind < kKindCount; ++kind) {
    const char* file = PictureFileOfKind(kind);
    // Walls are filled rectangles: their picture is never read.
    if (kind == kKindWall || file == nullptr) continue;
    gathered.ofKind[static_cast<std::size_t>(kind)] = pictures.GetPicture(file);
  }
  return gathered;
}

void DrawField(Canvas& dc, const EElist& fieldList, const FieldPictures& pictures, Pixel wallBrush) {
  if (pictures.background) pictures.background->Draw(dc, kViewCentre, kViewCentre);

  const int count = fieldList.Count();
  for (int i = 0; i < count; ++i) {
    const EE* obj = fieldList.At(i);
    const ViewPoint at = FieldToView(obj->x, obj->y);
    const int kind = obj->Kind();
    if (kind == kKindWall) {
      const std::int64_t w = obj->width / kFieldUnitsPerPixel;
      const std::int64_t h = obj->height / kFieldUnitsPerPixel;
      const std::int64_t left = at.x - w / 2;
      const std::int64_t top = at.y - h / 2;
      dc.FillRect(left, top, left + w, top + h, wallBrush);
      continue;
    }
    if (kind < 0 || kind >= kKindCount || PictureFileOfKind(kind) == nullptr) continue;
    if (const DIBits* pic = pictures.ofKind[static_cast<std::size_t>(kind)]) {
      pic->Draw(dc, at.x, at.y);
    } else {
      const std::int64_t w = std::max(obj->width / kFieldUnitsPerPixel, 3);
      const std::int64_t h = std::max(obj->height / kFieldUnitsPerPixel, 3);
      const std::int64_t left = at.x - w / 2;
      const std::int64_t top = at.y - h / 2;
      dc.FillRect(left, top, left + w, top + h, MarkerColourOfKind(kind));
    }
  }
}

void DrawField(Canvas& dc, const Field& field, const FieldPictures& pictures) {
  DrawField(dc, field.fieldList, pictures, kWallBrush);
}

}  // namespace kivora
