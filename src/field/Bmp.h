#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kivora {

// One pixel of the software canvas and of every decoded picture: 0xFFRRGGBB.
// The top byte is always 0xFF, so the raster operations (AND, OR) keep it and
// a frame can be shown as it is by anything that takes opaque 32-bit RGB.
using Pixel = std::uint32_t;

constexpr Pixel Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr std::uint8_t RedOf(Pixel p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t GreenOf(Pixel p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t BlueOf(Pixel p) { return static_cast<std::uint8_t>(p); }

constexpr Pixel kWhite = Rgb(255, 255, 255);
constexpr Pixel kBlack = Rgb(0, 0, 0);

// Why a bitmap file was refused.
enum class BmpError {
  None,
  ShortFile,     // the file ends before a part its headers promise
  NotBitmap,     // no "BM" signature
  BadHeader,     // information header shorter than 40 bytes, negative width, ...
  Compressed,    // RLE or bit-field files: only plain BI_RGB pixels are drawn
  BadBitCount,   // bit counts other than 1, 4, 8, 16, 24, 32
  TooLarge,      // more pixels than any picture of the game needs
};

const char* BmpErrorText(BmpError error);

// Limits on what a picture may claim, checked before anything is allocated.
// The game's pictures are a few hundred pixels across at most.
inline constexpr std::int32_t kMaxBmpSide = 16384;
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{1} << 24;

// A bitmap file decoded into the canvas's pixel format, top row first, so
// that drawing it later copies pixels and converts nothing.
struct BmpImage {
  std::int32_t width = 0;
  std::int32_t height = 0;                // always positive
  std::int32_t headerHeight = 0;          // as the file gives it; negative for top-down files
  std::int32_t bitCount = 0;
  std::vector<std::uint8_t> infoBlock;    // the first 40 header bytes, then 4 bytes per colour entry
  std::vector<Pixel> pixels;              // width * height, row by row from the top
};

// Decodes a whole bitmap file held in memory. Never reads outside `file` and
// never allocates more than the limits above, whatever the bytes claim.
std::optional<BmpImage> DecodeBmp(std::span<const std::uint8_t> file, BmpError* error = nullptr);

// Bytes per stored pixel row for a bit count and width, padded to 4 bytes;
// 0 for an unsupported bit count.
std::uint64_t BmpRowBytes(int bitCount, std::int64_t width);

// Writes an uncompressed 24-bit bottom-up bitmap with a 40-byte header.
// `pixels` holds width * height pixels, top row first.
std::vector<std::uint8_t> EncodeBmp24(std::int32_t width, std::int32_t height, std::span<const Pixel> pixels);

// Writes an uncompressed palette bitmap (1, 4 or 8 bits) with a 40-byte
// header. `indices` holds width * height colour indices, top row first;
// `palette` at most 2^bitCount colours (the table is written in full, unused
// entries black).
std::vector<std::uint8_t> EncodeIndexedBmp(std::int32_t width, std::int32_t height, int bitCount,
                                           std::span<const Pixel> palette,
                                           std::span<const std::uint8_t> indices);

// Writes bytes to a file; false when it cannot be written completely.
bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads a whole regular file of at most maxBytes; nothing for a missing or
// unreadable file, a directory or anything larger.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t maxBytes);

}  // namespace kivora
