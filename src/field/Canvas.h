#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "field/Bmp.h"

namespace kivora {

// How a picture's pixels combine with the canvas under them.
enum class RasterOp {
  SrcCopy,   // replace
  SrcAnd,    // AND: a mask's black punches a hole, its white keeps the canvas
  SrcPaint,  // OR: a sprite's black leaves the canvas as it is
};

// The game's off-screen drawing surface: 32-bit pixels (0xFFRRGGBB), rows
// from the top, (0,0) at the top left. Everything drawn is clipped at the
// edges. The field view draws each frame here and the window only copies it.
class Canvas {
 public:
  // A canvas starts white. Sizes are clamped to 0..kMaxBmpSide.
  Canvas(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour at (x, y); black outside the canvas.
  Pixel At(int x, int y) const;
  const std::vector<Pixel>& Pixels() const { return pixels_; }
  const Pixel* Data() const { return pixels_.data(); }

  void Fill(Pixel colour);
  void Whiten() { Fill(kWhite); }
  // Fills left <= x < right, top <= y < bottom. An empty or inverted
  // rectangle fills nothing.
  void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Pixel colour);
  // Draws a width x height picture (rows from the top) unscaled with its top
  // left corner at (left, top).
  void DrawImage(const Pixel* image, int width, int height, std::int64_t left, std::int64_t top, RasterOp op);

  // The canvas as an uncompressed 24-bit bitmap file.
  std::vector<std::uint8_t> EncodeBmp() const;
  bool WriteBmp(const std::string& path) const;

 private:
  int width_;
  int height_;
  std::vector<Pixel> pixels_;
};

}  // namespace kivora
