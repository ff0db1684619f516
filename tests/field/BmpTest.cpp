#include "field/Bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace kivora {
namespace {

using Bytes = std::vector<std::uint8_t>;

void SetU16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void SetU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// A 3 x 2 picture of four colours in 8 bits, top row first.
const std::vector<Pixel> kPalette = {Rgb(10, 20, 30), Rgb(250, 0, 0), Rgb(0, 250, 0), Rgb(0, 0, 250)};
const std::vector<std::uint8_t> kIndices = {0, 1, 2, 3, 2, 1};

Bytes SmallPalettePicture() { return EncodeIndexedBmp(3, 2, 8, kPalette, kIndices); }

std::vector<Pixel> Expected(const std::vector<std::uint8_t>& indices) {
  std::vector<Pixel> out;
  for (auto i : indices) out.push_back(kPalette[i]);
  return out;
}

// Moves the colour table and pixels so that the information header takes
// `infoSize` bytes, as newer writers do.
Bytes WithLongHeader(Bytes b, std::uint32_t infoSize) {
  b.insert(b.begin() + 54, infoSize - 40, 0xEE);
  SetU32(b, 14, infoSize);
  SetU32(b, 10, GetU32(b, 10) + infoSize - 40);
  SetU32(b, 2, static_cast<std::uint32_t>(b.size()));
  return b;
}

TEST(BmpRowBytesTest, PaddedToFourBytes) {
  struct Case { int bits; int width; std::uint64_t bytes; };
  const Case cases[] = {
      {24, 33, 100}, {1, 33, 8}, {4, 3, 4}, {8, 5, 8}, {16, 3, 8}, {32, 1, 4},
      {1, 0, 0},     {1, 32, 4}, {2, 10, 0}, {24, -1, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(BmpRowBytes(c.bits, c.width), c.bytes) << c.bits << " bits, width " << c.width;
}

TEST(BmpDecodeTest, PaletteRoundTripsAtEveryDepth) {
  // 13 pixels wide so that rows need padding at every depth.
  for (int bits : {1, 4, 8}) {
    const int colours = 1 << bits > 40 ? 40 : 1 << bits;
    std::vector<Pixel> palette;
    for (int i = 0; i < colours; ++i) palette.push_back(Rgb(i * 6, 255 - i * 5, i * 3));
    std::vector<std::uint8_t> indices;
    for (int k = 0; k < 13 * 5; ++k) indices.push_back(static_cast<std::uint8_t>((k * 7 + k / 13) % colours));
    const Bytes file = EncodeIndexedBmp(13, 5, bits, palette, indices);
    const auto image = DecodeBmp(file);
    ASSERT_TRUE(image) << bits;
    ASSERT_EQ(image->pixels.size(), indices.size());
    for (std::size_t k = 0; k < indices.size(); ++k) ASSERT_EQ(image->pixels[k], palette[indices[k]]) << bits << " bits, pixel " << k;
    EXPECT_EQ(image->infoBlock.size(), 40u + 4u * (1u << bits));
  }
}

TEST(BmpDecodeTest, TrueColourRoundTrip) {
  std::vector<Pixel> pixels;
  for (int k = 0; k < 5 * 3; ++k) pixels.push_back(Rgb(k * 17, 255 - k, k * 3));
  const auto image = DecodeBmp(EncodeBmp24(5, 3, pixels));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, pixels);
  EXPECT_EQ(image->infoBlock.size(), 40u);
}

TEST(BmpDecodeTest, SixteenAndThirtyTwoBits) {
  // 16 bits: x1r5g5b5; 32 bits: blue, green, red, unused.
  Bytes b16 = EncodeBmp24(2, 1, std::vector<Pixel>{kBlack, kBlack});
  SetU16(b16, 28, 16);
  b16[54] = 0x1F;  // pure blue
  b16[55] = 0x00;
  b16[56] = 0x00;  // pure red: 0x7C00
  b16[57] = 0x7C;
  auto image = DecodeBmp(b16);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<Pixel>{Rgb(0, 0, 255), Rgb(255, 0, 0)}));

  Bytes b32 = EncodeBmp24(1, 1, std::vector<Pixel>{kBlack});
  SetU16(b32, 28, 32);
  b32[54] = 1;
  b32[55] = 2;
  b32[56] = 3;
  b32[57] = 0x80;
  image = DecodeBmp(b32);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, std::vector<Pixel>{Rgb(3, 2, 1)});
}

TEST(BmpDecodeTest, TopDownFileComesOutUpright) {
  Bytes file = SmallPalettePicture();
  // Swap the two stored rows and flip the sign of the height.
  std::swap_ranges(file.begin() + 1078, file.begin() + 1082, file.begin() + 1082);
  SetU32(file, 22, static_cast<std::uint32_t>(-2));
  const auto image = DecodeBmp(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->height, 2);
  EXPECT_EQ(image->headerHeight, -2);
  EXPECT_EQ(image->pixels, Expected(kIndices));
}

TEST(BmpDecodeTest, ColourTableFollowsALongHeader) {
  for (std::uint32_t infoSize : {108u, 124u}) {
    const auto image = DecodeBmp(WithLongHeader(SmallPalettePicture(), infoSize));
    ASSERT_TRUE(image) << infoSize;
    EXPECT_EQ(image->pixels, Expected(kIndices)) << infoSize;
  }
}

TEST(BmpDecodeTest, ShortColourTableOfFewColours) {
  // Four entries stored where 8 bits allow 256: colours used says so and the
  // pixels follow right after; a file this small has no room for 256.
  Bytes file = SmallPalettePicture();
  file.erase(file.begin() + 54 + 16, file.begin() + 54 + 1024);
  SetU32(file, 10, 54 + 16);
  SetU32(file, 46, 4);
  const auto image = DecodeBmp(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, Expected(kIndices));

  // An index past the stored entries is black.
  file.back() = 0;
  file[54 + 16] = 200;
  const auto odd = DecodeBmp(file);
  ASSERT_TRUE(odd);
  EXPECT_EQ(odd->pixels[3], kBlack);
}

TEST(BmpDecodeTest, RefusesWhatItCannotDraw) {
  const Bytes good = SmallPalettePicture();
  struct Case {
    const char* what;
    Bytes file;
    BmpError error;
  };
  auto patched = [&good](std::size_t at, std::uint32_t v, bool wide = true) {
    Bytes b = good;
    if (wide) SetU32(b, at, v); else SetU16(b, at, v);
    return b;
  };
  const std::vector<Case> cases = {
      {"empty", {}, BmpError::ShortFile},
      {"13 bytes", Bytes(good.begin(), good.begin() + 13), BmpError::ShortFile},
      {"file header only", Bytes(good.begin(), good.begin() + 14), BmpError::ShortFile},
      {"info header cut", Bytes(good.begin(), good.begin() + 53), BmpError::ShortFile},
      {"no signature", patched(0, 0x4142, false), BmpError::NotBitmap},
      {"core header of 12 bytes", patched(14, 12), BmpError::BadHeader},
      {"RLE8", patched(30, 1), BmpError::Compressed},
      {"RLE4", patched(30, 2), BmpError::Compressed},
      {"bit fields", patched(30, 3), BmpError::Compressed},
      {"2 bits", patched(28, 2, false), BmpError::BadBitCount},
      {"0 bits", patched(28, 0, false), BmpError::BadBitCount},
      {"64 bits", patched(28, 64, false), BmpError::BadBitCount},
      {"pixels one byte short", Bytes(good.begin(), good.end() - 1), BmpError::ShortFile},
      {"colour table cut", Bytes(good.begin(), good.begin() + 54 + 500), BmpError::ShortFile},
      {"offset past the end", patched(10, 0xFFFFFFF0u), BmpError::ShortFile},
      {"header size past the end", patched(14, 0xFFFFFFF0u), BmpError::ShortFile},
      {"100000 x 100000", [&] { Bytes b = patched(18, 100000); SetU32(b, 22, 100000); return b; }(), BmpError::TooLarge},
      {"huge top-down height", patched(22, static_cast<std::uint32_t>(-100000)), BmpError::TooLarge},
      {"lowest height", patched(22, 0x80000000u), BmpError::BadHeader},
      {"negative width", patched(18, static_cast<std::uint32_t>(-3)), BmpError::BadHeader},
      {"4096 x 4096 claims pixels it lacks", [&] { Bytes b = patched(18, 4096); SetU32(b, 22, 4096); return b; }(),
       BmpError::ShortFile},
  };
  for (const Case& c : cases) {
    BmpError error = BmpError::None;
    EXPECT_FALSE(DecodeBmp(c.file, &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what << ": " << BmpErrorText(error);
  }
}

TEST(BmpDecodeTest, EmptyPictureLoadsWithoutPixels) {
  const auto image = DecodeBmp(EncodeBmp24(0, 0, {}));
  ASSERT_TRUE(image);
  EXPECT_TRUE(image->pixels.empty());
}

// Files written by ImageMagick in its default format (124-byte header) and as
// BMP3 (40 bytes), compared with ImageMagick's own decoding of each file. The
// files and their pixels are generated by data/make-bmp-fixtures.sh.
Bytes ReadFixture(const std::string& name) {
  std::ifstream in(std::string(KIVORA_SOURCE_DIR) + "/tests/field/data/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(BmpDecodeTest, MatchesImageMagicksDecoding) {
  const char* const names[] = {"im-bmp-1bit",  "im-bmp-4bit",  "im-bmp-8bit",  "im-bmp-24bit",
                               "im-bmp3-1bit", "im-bmp3-4bit", "im-bmp3-8bit", "im-bmp3-24bit"};
  for (const char* name : names) {
    const Bytes file = ReadFixture(std::string(name) + ".bmp");
    const Bytes rgb = ReadFixture(std::string(name) + ".rgb");
    ASSERT_FALSE(file.empty()) << name;
    BmpError error = BmpError::None;
    const auto image = DecodeBmp(file, &error);
    ASSERT_TRUE(image) << name << ": " << BmpErrorText(error);
    ASSERT_EQ(rgb.size(), image->pixels.size() * 3) << name;
    for (std::size_t k = 0; k < image->pixels.size(); ++k) {
      ASSERT_EQ(image->pixels[k], Rgb(rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2])) << name << ", pixel " << k;
    }
  }
  // ImageMagick compresses 8-bit pictures unless told otherwise; those stay refused.
  for (const char* name : {"im-bmp-8bit-rle.bmp", "im-bmp3-8bit-rle.bmp"}) {
    BmpError error = BmpError::None;
    EXPECT_FALSE(DecodeBmp(ReadFixture(name), &error)) << name;
    EXPECT_EQ(error, BmpError::Compressed) << name;
  }
}

}  // namespace
}  // namespace kivora
