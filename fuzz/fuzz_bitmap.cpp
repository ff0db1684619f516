// Feeds arbitrary bytes to the bitmap decoder and draws whatever it accepts,
// centred and off every edge of a small canvas.
#include <cstddef>
#include <cstdint>
#include <span>

#include "field/Bmp.h"
#include "field/Canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = kivora::DecodeBmp(std::span<const std::uint8_t>(data, size));
  if (!image) return 0;
  if (image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) __builtin_trap();
  kivora::Canvas canvas(40, 30);
  for (int at : {-1000, -7, 0, 13, 39}) {
    canvas.DrawImage(image->pixels.data(), image->width, image->height, at, at, kivora::RasterOp::SrcCopy);
    canvas.DrawImage(image->pixels.data(), image->width, image->height, at, -at, kivora::RasterOp::SrcAnd);
    canvas.DrawImage(image->pixels.data(), image->width, image->height, -at, at, kivora::RasterOp::SrcPaint);
  }
  return 0;
}
