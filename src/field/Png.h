#pragma once
// PNG pictures written with libpng: the game's icons, and any picture the
// tools draw on the software canvas.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "field/Bmp.h"

namespace kivora {

class Canvas;

enum class PngFormat {
  Rgb,   // 8-bit RGB: the pixels' top byte is ignored
  Rgba,  // 8-bit RGB with alpha: the top byte of each pixel is its opacity
};

// zlib's effort, 1..9. The smallest files take up to ten times as long on
// pictures of repeating tiles (a battle's floor) as the quick level, for a
// tenth less.
inline constexpr int kPngSmallest = 9;
inline constexpr int kPngQuick = 6;

// Encodes width x height pixels (0xAARRGGBB, rows from the top) as a PNG
// file held in memory. Nothing, with `error` set when given, for a size that
// does not match the pixels or that PNG cannot hold, or when libpng fails.
std::optional<std::vector<std::uint8_t>> EncodePng(std::int32_t width, std::int32_t height,
                                                   std::span<const Pixel> pixels, PngFormat format,
                                                   std::string* error = nullptr, int level = kPngSmallest);

// The same, written to `path`; false (with `error`) when it cannot be.
bool WritePngFile(const std::string& path, std::int32_t width, std::int32_t height, std::span<const Pixel> pixels,
                  PngFormat format, std::string* error = nullptr);

// A canvas as an opaque RGB picture.
bool WritePngFile(const std::string& path, const Canvas& canvas, std::string* error = nullptr);

}  // namespace kivora
