#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "field/Bmp.h"

namespace kivora::test {

// The bytes of a 24-bit picture file, as a string for TempDir::Write.
inline std::string BmpText(int w, int h, const std::vector<Pixel>& pixels) {
  const std::vector<std::uint8_t> bytes = EncodeBmp24(w, h, pixels);
  return std::string(bytes.begin(), bytes.end());
}

// A picture file of one colour.
inline std::string SolidBmp(int w, int h, Pixel colour) {
  return BmpText(w, h, std::vector<Pixel>(static_cast<std::size_t>(w * h), colour));
}

}  // namespace kivora::test
