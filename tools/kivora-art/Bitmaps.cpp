#include <cstdio>

#include "Art.h"

namespace kivora::art {

bool WriteBmpFile(const std::string& path, const Image& image, int bitCount) {
  std::vector<std::uint8_t> bytes;
  if (bitCount == 24) {
    bytes = EncodeBmp24(image.width, image.height, image.pixels);
  } else {
    std::vector<Pixel> palette;
    std::vector<std::uint8_t> indices;
    indices.reserve(image.pixels.size());
    for (Pixel p : image.pixels) {
      std::size_t i = 0;
      while (i < palette.size() && palette[i] != p) ++i;
      if (i == palette.size()) {
        if (palette.size() == (std::size_t{1} << bitCount)) {
          std::fprintf(stderr, "kivora-art: %s has more than %zu colours\n", path.c_str(), palette.size());
          return false;
        }
        palette.push_back(p);
      }
      indices.push_back(static_cast<std::uint8_t>(i));
    }
    bytes = EncodeIndexedBmp(image.width, image.height, bitCount, palette, indices);
  }
  if (bytes.empty() || !WriteFileBytes(path, bytes)) {
    std::fprintf(stderr, "kivora-art: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

Image SpritePicture(const Sprite& sprite) {
  const int h = static_cast<int>(sprite.rows.size());
  const int w = h ? static_cast<int>(sprite.rows[0].size()) : 0;
  Image image(w, h, kBlack);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const char c = sprite.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      for (const auto& [letter, colour] : sprite.palette)
        if (letter == c) image.at(x, y) = colour;
    }
  }
  return image;
}

Image SpriteMask(const Sprite& sprite) {
  const int h = static_cast<int>(sprite.rows.size());
  const int w = h ? static_cast<int>(sprite.rows[0].size()) : 0;
  Image mask(w, h, kWhite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (sprite.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] != '.') mask.at(x, y) = kBlack;
  return mask;
}

}  // namespace kivora::art
