#pragma once
#include <cstdint>

namespace kivora {

// The field as the player sees it: a view of 320 x 320 pixels, field (0, 0)
// at pixel (160, 160), 100 field units to a pixel, field y growing upwards.
inline constexpr int kViewSize = 320;
inline constexpr int kViewCentre = 160;
inline constexpr int kFieldUnitsPerPixel = 100;

struct ViewPoint {
  int x;
  int y;
  friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

// Field position to view pixel; the division truncates toward zero, so
// x = -150 lands on pixel 159.
constexpr ViewPoint FieldToView(std::int32_t x, std::int32_t y) {
  return {kViewCentre + x / kFieldUnitsPerPixel, kViewCentre - y / kFieldUnitsPerPixel};
}

// A view pixel (a click) in field units.
constexpr std::int32_t ViewToFieldX(int px) { return (px - kViewCentre) * kFieldUnitsPerPixel; }
constexpr std::int32_t ViewToFieldY(int py) { return (kViewCentre - py) * kFieldUnitsPerPixel; }

}  // namespace kivora
