#include "field/DrawField.h"

#include <algorithm>
#include <array>

#include "field/Canvas.h"
#include "field/DIBits.h"
#include "field/PictureCache.h"
#include "sim/EE.h"
#include "sim/EElist.h"
#include "sim/Field.h"

namespace kivora {

namespace {

constexpr int kKinds = 6;  // kind codes 0..5

}  // namespace

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

void DrawField(Canvas& dc, const EElist& fieldList, PictureCache& pictures, const DIBits* background,
               Pixel wallBrush) {
  if (background) background->Draw(dc, kViewCentre, kViewCentre);

  // Each kind's picture is looked up once a frame, however many objects use it.
  std::array<const DIBits*, kKinds> picture{};
  std::array<bool, kKinds> looked{};

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
    if (kind < 0 || kind >= kKinds || PictureFileOfKind(kind) == nullptr) continue;
    if (!looked[static_cast<std::size_t>(kind)]) {
      picture[static_cast<std::size_t>(kind)] = pictures.GetPicture(PictureFileOfKind(kind));
      looked[static_cast<std::size_t>(kind)] = true;
    }
    if (const DIBits* pic = picture[static_cast<std::size_t>(kind)]) {
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

void DrawField(Canvas& dc, const Field& field, PictureCache& pictures) {
  DrawField(dc, field.fieldList, pictures, pictures.GetPicture("bg.bmp"), kWallBrush);
}

}  // namespace kivora
