// PNG files written by the engine, read back with libpng.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "field/Canvas.h"
#include "field/Png.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

struct Decoded {
  std::uint32_t width = 0, height = 0;
  bool alpha = false;
  std::vector<Pixel> pixels;  // 0xAARRGGBB
};

Decoded Decode(const std::vector<std::uint8_t>& file) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return d;
  d.alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;  // in memory on a little-endian machine: 0xAARRGGBB
  d.width = image.width;
  d.height = image.height;
  d.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, d.pixels.data(), 0, nullptr)) d.pixels.clear();
  return d;
}

std::vector<Pixel> Pattern(int w, int h) {
  std::vector<Pixel> pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels.push_back(static_cast<Pixel>((x * 37 + y * 11) % 256) << 24 | static_cast<Pixel>(x * 7919 + y * 104729) % 0x1000000u);
  return pixels;
}

TEST(PngTest, RoundTripsEverySizeAndFormat) {
  struct Case {
    int width, height;
    PngFormat format;
  };
  for (const Case c : {Case{1, 1, PngFormat::Rgb}, Case{3, 2, PngFormat::Rgba}, Case{257, 3, PngFormat::Rgb},
                       Case{5, 300, PngFormat::Rgba}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const std::vector<Pixel> pixels = Pattern(c.width, c.height);
    std::string error;
    const auto file = EncodePng(c.width, c.height, pixels, c.format, &error);
    ASSERT_TRUE(file) << error;
    const Decoded d = Decode(*file);
    EXPECT_EQ(d.width, static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(d.height, static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(d.alpha, c.format == PngFormat::Rgba);
    ASSERT_EQ(d.pixels.size(), pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      // RGB drops the top byte: the picture reads back opaque.
      const Pixel want = c.format == PngFormat::Rgba ? pixels[i] : (pixels[i] | 0xFF000000u);
      ASSERT_EQ(d.pixels[i], want) << "pixel " << i;
    }
  }
}

TEST(PngTest, RefusesWhatItCannotWrite) {
  const std::vector<Pixel> six(6, kWhite);
  struct Case {
    int width, height;
  };
  for (const Case c : {Case{0, 6}, Case{6, 0}, Case{-1, -6}, Case{4, 2}, Case{2, 2}, Case{1000001, 0}}) {
    std::string error;
    EXPECT_FALSE(EncodePng(c.width, c.height, six, PngFormat::Rgb, &error)) << c.width << "x" << c.height;
    EXPECT_FALSE(error.empty());
  }
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(WritePngFile((dir.Path() / "missing/x.png").string(), 2, 3, six, PngFormat::Rgb, &error));
  EXPECT_FALSE(error.empty());
}

TEST(PngTest, WritesACanvas) {
  Canvas canvas(4, 3);
  canvas.FillRect(1, 1, 3, 2, Rgb(10, 20, 30));
  test::TempDir dir;
  const std::string path = (dir.Path() / "frame.png").string();
  ASSERT_TRUE(WritePngFile(path, canvas));
  const auto bytes = ReadFileBytes(path, 1 << 20);
  ASSERT_TRUE(bytes);
  const Decoded d = Decode(*bytes);
  EXPECT_FALSE(d.alpha);
  EXPECT_EQ(d.pixels, canvas.Pixels());
}

}  // namespace
}  // namespace kivora
