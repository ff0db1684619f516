#include "field/Canvas.h"

#include <algorithm>
#include <cstring>

namespace kivora {

namespace {

int ClampSide(int v) { return std::clamp(v, 0, static_cast<int>(kMaxBmpSide)); }

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(ClampSide(width)),
      height_(ClampSide(height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite) {}

Pixel Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Canvas::Fill(Pixel colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

void Canvas::FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Pixel colour) {
  const std::int64_t x0 = std::max<std::int64_t>(left, 0);
  const std::int64_t y0 = std::max<std::int64_t>(top, 0);
  const std::int64_t x1 = std::min<std::int64_t>(right, width_);
  const std::int64_t y1 = std::min<std::int64_t>(bottom, height_);
  if (x0 >= x1 || y0 >= y1) return;
  for (std::int64_t y = y0; y < y1; ++y) {
    Pixel* row = pixels_.data() + y * width_;
    std::fill(row + x0, row + x1, colour);
  }
}

void Canvas::DrawImage(const Pixel* image, int width, int height, std::int64_t left, std::int64_t top, RasterOp op) {
  if (image == nullptr || width <= 0 || height <= 0) return;
  // The part of the picture that lands on the canvas.
  const std::int64_t sx0 = std::max<std::int64_t>(0, -left);
  const std::int64_t sy0 = std::max<std::int64_t>(0, -top);
  const std::int64_t sx1 = std::min<std::int64_t>(width, std::int64_t{width_} - left);
  const std::int64_t sy1 = std::min<std::int64_t>(height, std::int64_t{height_} - top);
  if (sx0 >= sx1 || sy0 >= sy1) return;
  const std::size_t count = static_cast<std::size_t>(sx1 - sx0);
  for (std::int64_t sy = sy0; sy < sy1; ++sy) {
    const Pixel* src = image + sy * width + sx0;
    Pixel* dst = pixels_.data() + (top + sy) * width_ + (left + sx0);
    switch (op) {
      case RasterOp::SrcCopy: std::memcpy(dst, src, count * sizeof(Pixel)); break;
      case RasterOp::SrcAnd:
        for (std::size_t i = 0; i < count; ++i) dst[i] &= src[i];
        break;
      case RasterOp::SrcPaint:
        for (std::size_t i = 0; i < count; ++i) dst[i] |= src[i];
        break;
    }
  }
}

std::vector<std::uint8_t> Canvas::EncodeBmp() const { return EncodeBmp24(width_, height_, pixels_); }

bool Canvas::WriteBmp(const std::string& path) const { return WriteFileBytes(path, EncodeBmp()); }

}  // namespace kivora
