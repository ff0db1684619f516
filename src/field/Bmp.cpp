#include "field/Bmp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kivora {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
         (std::uint32_t{b[at + 3]} << 24);
}

std::int32_t ReadI32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(ReadU32(b, at));
}

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

int PaletteEntries(int bitCount) {
  switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16:
    case 24:
    case 32: return 0;
    default: return -1;
  }
}

// Five bits of a 16-bit pixel spread over eight, so that full intensity stays full.
std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }

// The headers of a file we write: 14-byte file header, 40-byte info header,
// `entries` colour entries, then `dataBytes` of rows.
std::vector<std::uint8_t> NewBmp(std::int32_t width, std::int32_t height, int bitCount, int entries,
                                 std::uint64_t dataBytes) {
  const std::uint64_t offBits = kFileHeaderBytes + kInfoHeaderBytes + 4u * static_cast<unsigned>(entries);
  std::vector<std::uint8_t> out(offBits + dataBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32(out, 2, static_cast<std::uint32_t>(out.size()));
  PutU32(out, 10, static_cast<std::uint32_t>(offBits));
  PutU32(out, 14, kInfoHeaderBytes);
  PutU32(out, 18, static_cast<std::uint32_t>(width));
  PutU32(out, 22, static_cast<std::uint32_t>(height));
  PutU16(out, 26, 1);
  PutU16(out, 28, static_cast<std::uint32_t>(bitCount));
  PutU32(out, 30, 0);
  PutU32(out, 34, static_cast<std::uint32_t>(dataBytes));
  PutU32(out, 38, 2835);  // 72 dpi
  PutU32(out, 42, 2835);
  PutU32(out, 46, static_cast<std::uint32_t>(entries));
  return out;
}

bool SizeIsSane(std::int32_t width, std::int32_t height) {
  return width >= 0 && height >= 0 && width <= kMaxBmpSide && height <= kMaxBmpSide &&
         std::int64_t{width} * height <= kMaxBmpPixels;
}

}  // namespace

const char* BmpErrorText(BmpError error) {
  switch (error) {
    case BmpError::None: return "no error";
    case BmpError::ShortFile: return "the file ends early";
    case BmpError::NotBitmap: return "not a bitmap file";
    case BmpError::BadHeader: return "bad information header";
    case BmpError::Compressed: return "compressed pixels";
    case BmpError::BadBitCount: return "unsupported bit count";
    case BmpError::TooLarge: return "picture too large";
  }
  return "unknown error";
}

std::uint64_t BmpRowBytes(int bitCount, std::int64_t width) {
  if (width < 0) return 0;
  const std::uint64_t w = static_cast<std::uint64_t>(width);
  std::uint64_t bytes = 0;
  switch (bitCount) {
    case 1: bytes = (w + 7) / 8; break;
    case 4: bytes = (w + 1) / 2; break;
    case 8: bytes = w; break;
    case 16: bytes = 2 * w; break;
    case 24: bytes = 3 * w; break;
    case 32: bytes = 4 * w; break;
    default: return 0;
  }
  return (bytes + 3) / 4 * 4;
}

std::optional<BmpImage> DecodeBmp(std::span<const std::uint8_t> file, BmpError* error) {
  auto fail = [error](BmpError why) -> std::optional<BmpImage> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (error) *error = BmpError::None;

  if (file.size() < kFileHeaderBytes) return fail(BmpError::ShortFile);
  if (ReadU16(file, 0) != 0x4D42) return fail(BmpError::NotBitmap);
  if (file.size() < kFileHeaderBytes + kInfoHeaderBytes) return fail(BmpError::ShortFile);

  const std::uint32_t offBits = ReadU32(file, 10);
  const std::uint32_t infoSize = ReadU32(file, 14);
  const std::int32_t width = ReadI32(file, 18);
  const std::int32_t headerHeight = ReadI32(file, 22);
  const int bitCount = ReadU16(file, 28);
  const std::uint32_t compression = ReadU32(file, 30);
  const std::uint32_t coloursUsed = ReadU32(file, 46);

  // Newer writers use longer information headers (108 or 124 bytes); the
  // colour table follows the whole header, wherever it ends.
  if (infoSize < kInfoHeaderBytes) return fail(BmpError::BadHeader);
  if (compression != 0) return fail(BmpError::Compressed);
  const int entries = PaletteEntries(bitCount);
  if (entries < 0) return fail(BmpError::BadBitCount);

  // A table shorter than the bit count allows, as some writers store for
  // pictures of few colours; the entries it leaves out are black.
  std::uint64_t stored = static_cast<std::uint64_t>(entries);
  if (coloursUsed > 0 && coloursUsed < stored) stored = coloursUsed;
  const std::uint64_t tableAt = kFileHeaderBytes + std::uint64_t{infoSize};
  if (stored > 0 && tableAt + 4 * stored > file.size()) return fail(BmpError::ShortFile);

  if (width < 0 || headerHeight == std::numeric_limits<std::int32_t>::min()) return fail(BmpError::BadHeader);
  const std::int32_t height = headerHeight < 0 ? -headerHeight : headerHeight;
  if (!SizeIsSane(width, height)) return fail(BmpError::TooLarge);

  const std::uint64_t rowBytes = BmpRowBytes(bitCount, width);
  const std::uint64_t dataBytes = rowBytes * static_cast<std::uint64_t>(height);
  if (std::uint64_t{offBits} + dataBytes > file.size()) return fail(BmpError::ShortFile);

  BmpImage image;
  image.width = width;
  image.height = height;
  image.headerHeight = headerHeight;
  image.bitCount = bitCount;
  image.infoBlock.assign(kInfoHeaderBytes + 4 * static_cast<std::size_t>(entries), 0);
  std::memcpy(image.infoBlock.data(), file.data() + kFileHeaderBytes, kInfoHeaderBytes);
  if (stored > 0) std::memcpy(image.infoBlock.data() + kInfoHeaderBytes, file.data() + tableAt, 4 * stored);

  std::array<Pixel, 256> palette{};
  for (int i = 0; i < entries; ++i) {
    const std::uint8_t* e = image.infoBlock.data() + kInfoHeaderBytes + 4 * i;
    palette[static_cast<std::size_t>(i)] = Rgb(e[2], e[1], e[0]);
  }

  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const bool bottomUp = headerHeight > 0;
  for (std::int32_t r = 0; r < height; ++r) {
    const std::uint8_t* src = file.data() + offBits + static_cast<std::uint64_t>(r) * rowBytes;
    const std::int32_t y = bottomUp ? height - 1 - r : r;
    Pixel* dst = image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      switch (bitCount) {
        case 1: dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]; break;
        case 8: dst[x] = palette[src[x]]; break;
        case 16: {
          const unsigned v = static_cast<unsigned>(src[2 * x] | (src[2 * x + 1] << 8));
          dst[x] = Rgb(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
          break;
        }
        case 24: dst[x] = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
        case 32: dst[x] = Rgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]); break;
        default: break;
      }
    }
  }
  return image;
}

std::vector<std::uint8_t> EncodeBmp24(std::int32_t width, std::int32_t height, std::span<const Pixel> pixels) {
  if (!SizeIsSane(width, height) || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const std::uint64_t rowBytes = BmpRowBytes(24, width);
  std::vector<std::uint8_t> out = NewBmp(width, height, 24, 0, rowBytes * static_cast<std::uint64_t>(height));
  std::uint8_t* data = out.data() + kFileHeaderBytes + kInfoHeaderBytes;
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* row = data + static_cast<std::uint64_t>(height - 1 - y) * rowBytes;
    const Pixel* src = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      row[3 * x] = BlueOf(src[x]);
      row[3 * x + 1] = GreenOf(src[x]);
      row[3 * x + 2] = RedOf(src[x]);
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeIndexedBmp(std::int32_t width, std::int32_t height, int bitCount,
                                           std::span<const Pixel> palette,
                                           std::span<const std::uint8_t> indices) {
  if (bitCount != 1 && bitCount != 4 && bitCount != 8) return {};
  const int entries = PaletteEntries(bitCount);
  if (!SizeIsSane(width, height) || palette.size() > static_cast<std::size_t>(entries) ||
      indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const std::uint64_t rowBytes = BmpRowBytes(bitCount, width);
  std::vector<std::uint8_t> out =
      NewBmp(width, height, bitCount, entries, rowBytes * static_cast<std::uint64_t>(height));
  std::uint8_t* table = out.data() + kFileHeaderBytes + kInfoHeaderBytes;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    table[4 * i] = BlueOf(palette[i]);
    table[4 * i + 1] = GreenOf(palette[i]);
    table[4 * i + 2] = RedOf(palette[i]);
  }
  std::uint8_t* data = table + 4 * entries;
  const unsigned mask = (1u << bitCount) - 1;
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* row = data + static_cast<std::uint64_t>(height - 1 - y) * rowBytes;
    const std::uint8_t* src = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      const unsigned v = src[x] & mask;
      switch (bitCount) {
        case 1: row[x >> 3] = static_cast<std::uint8_t>(row[x >> 3] | (v << (7 - (x & 7)))); break;
        case 4: row[x >> 1] = static_cast<std::uint8_t>(row[x >> 1] | (v << ((x & 1) ? 0 : 4))); break;
        default: row[x] = static_cast<std::uint8_t>(v); break;
      }
    }
  }
  return out;
}

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  return written && closed;
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t maxBytes) {
  // Non-blocking, so that a pipe or device under a picture's name is refused
  // instead of waiting for a writer that never comes.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::vector<std::uint8_t>> result;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
      static_cast<std::uint64_t>(info.st_size) <= maxBytes) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    // A file that shrinks while it is read gives what was there.
    std::size_t got = 0;
    bool failed = false;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) failed = true;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    if (!failed) {
      bytes.resize(got);
      result = std::move(bytes);
    }
  }
  ::close(fd);
  return result;
}

}  // namespace kivora
