// The application icon: the rival's grin, red on sunshine as on the second
// reel of the slot machine, on a tile with rounded corners. Each pixel is
// the average of 4 x 4 samples, so the small sizes stay smooth and the
// corners fade out instead of stepping.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Art.h"

namespace kivora::art {

namespace {

constexpr int kSamples = 4;

// Whether the sample at (u, v), in tile units 0..1, lies on the tile.
bool OnTile(double u, double v) {
  constexpr double r = 0.2;  // corner radius
  const double dx = std::max({r - u, 0.0, u - (1 - r)});
  const double dy = std::max({r - v, 0.0, v - (1 - r)});
  return dx * dx + dy * dy <= r * r;
}

}  // namespace

Image AppIcon(int size) {
  const int big = size * kSamples;
  const std::vector<Ink> inks = PortraitInks(big);
  const Colouring colouring = SlotColouring(1);
  Image icon(size, size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int covered = 0;
      int red = 0, green = 0, blue = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const int bx = x * kSamples + sx, by = y * kSamples + sy;
          if (!OnTile((bx + 0.5) / big, (by + 0.5) / big)) continue;
          const Pixel p = colouring(inks[static_cast<std::size_t>(by * big + bx)], bx, by, big);
          red += RedOf(p), green += GreenOf(p), blue += BlueOf(p);
          ++covered;
        }
      }
      if (covered == 0) continue;  // fully transparent
      auto mean = [covered](int sum) { return static_cast<std::uint8_t>((sum + covered / 2) / covered); };
      const auto alpha = static_cast<std::uint32_t>((covered * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
      icon.at(x, y) = (alpha << 24) | (Rgb(mean(red), mean(green), mean(blue)) & 0x00FFFFFFu);
    }
  }
  return icon;
}

bool WritePngImage(const std::string& path, const Image& image) {
  std::string error;
  if (!WritePngFile(path, image.width, image.height, image.pixels, PngFormat::Rgba, &error)) {
    std::fprintf(stderr, "kivora-art: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace kivora::art
