// The arena floor: light steel plates with seams and rivets and a faded ring
// painted round the centre. It stays light and quiet so that the dark walls,
// the blue and red units, the yellow bullets and the green parts all stand
// out on it.
#include <cmath>

#include "Art.h"

namespace kivora::art {

namespace {

constexpr int kSize = 320;
constexpr int kPlate = 40;

// A fixed scatter of grain, the same on every run.
unsigned Grain(int x, int y) {
  unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return (h ^ (h >> 16)) % 7;
}

}  // namespace

Image ArenaFloor() {
  const Pixel base[3] = {Rgb(176, 172, 160), Rgb(172, 168, 156), Rgb(180, 176, 164)};
  const Pixel seam = Rgb(132, 128, 118);
  const Pixel highlight = Rgb(196, 192, 182);
  const Pixel rivet = Rgb(140, 136, 126);
  const Pixel rivetShine = Rgb(214, 210, 200);
  const Pixel paint = Rgb(196, 170, 104);

  Image floor(kSize, kSize, base[0]);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int px = x % kPlate;
      const int py = y % kPlate;
      const unsigned g = Grain(x, y);
      Pixel c = base[g < 5 ? 0 : g - 4];
      // Painted ring (radius 64, 3 pixels wide) and a dot at the centre.
      const double r = std::hypot(x + 0.5 - kSize / 2.0, y + 0.5 - kSize / 2.0);
      if ((r >= 62.5 && r < 65.5) || r < 6.0) c = paint;
      if (px == 0 || py == 0) c = highlight;
      if (px == kPlate - 1 || py == kPlate - 1) c = seam;
      const bool rivetX = px == 4 || px == kPlate - 5;
      const bool rivetY = py == 4 || py == kPlate - 5;
      if (rivetX && rivetY) c = rivet;
      if ((px == 3 || px == kPlate - 6) && (py == 3 || py == kPlate - 6)) c = rivetShine;
      floor.at(x, y) = c;
    }
  }
  return floor;
}

}  // namespace kivora::art
