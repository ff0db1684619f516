#include "field/Canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>

#include "support/TempDir.h"

namespace kivora {
namespace {

const Pixel kRed = Rgb(255, 0, 0);

// Counts the pixels of one colour.
int CountOf(const Canvas& c, Pixel colour) {
  int n = 0;
  for (Pixel p : c.Pixels()) n += p == colour;
  return n;
}

TEST(CanvasTest, StartsWhite) {
  Canvas c(4, 3);
  EXPECT_EQ(CountOf(c, kWhite), 12);
  c.Fill(kBlack);
  c.Whiten();
  EXPECT_EQ(CountOf(c, kWhite), 12);
}

TEST(CanvasTest, FillRectIsClippedAndHalfOpen) {
  struct Case { std::int64_t l, t, r, b; int filled; };
  const Case cases[] = {
      {1, 1, 3, 4, 6},                         // right and bottom edges excluded
      {-5, -5, 2, 2, 4},                       // clipped at the top left
      {8, 8, 20, 20, 4},                       // clipped at the bottom right
      {3, 3, 3, 9, 0},                         // empty
      {5, 5, 2, 2, 0},                         // inverted: nothing
      {-100, -100, 100, 100, 100},             // covers all
      {10, 0, 20, 10, 0},                      // beside the canvas
      {INT64_MIN / 2, INT64_MIN / 2, INT64_MAX / 2, 1, 10},
  };
  for (const Case& k : cases) {
    Canvas c(10, 10);
    c.FillRect(k.l, k.t, k.r, k.b, kRed);
    EXPECT_EQ(CountOf(c, kRed), k.filled) << k.l << "," << k.t << "," << k.r << "," << k.b;
  }
  Canvas c(10, 10);
  c.FillRect(1, 1, 3, 4, kRed);
  EXPECT_EQ(c.At(1, 1), kRed);
  EXPECT_EQ(c.At(2, 3), kRed);
  EXPECT_EQ(c.At(3, 3), kWhite);
  EXPECT_EQ(c.At(2, 4), kWhite);
}

TEST(CanvasTest, RasterOperations) {
  const Pixel under = Rgb(0xF0, 0x0F, 0x55);
  const Pixel over = Rgb(0x3C, 0xFF, 0x00);
  struct Case { RasterOp op; Pixel result; };
  const Case cases[] = {
      {RasterOp::SrcCopy, over},
      {RasterOp::SrcAnd, Rgb(0x30, 0x0F, 0x00)},
      {RasterOp::SrcPaint, Rgb(0xFC, 0xFF, 0x55)},
  };
  for (const Case& k : cases) {
    Canvas c(1, 1);
    c.Fill(under);
    c.DrawImage(&over, 1, 1, 0, 0, k.op);
    EXPECT_EQ(c.At(0, 0), k.result) << static_cast<int>(k.op);
  }
}

TEST(CanvasTest, ImagesAreClippedAtEveryEdge) {
  // A 3 x 3 picture numbered 1..9, drawn partly off each edge of a 5 x 4 canvas.
  std::vector<Pixel> image;
  for (int i = 1; i <= 9; ++i) image.push_back(Rgb(0, 0, static_cast<std::uint8_t>(i)));
  struct Case { std::int64_t left, top; int visible; int x, y; int value; };
  const Case cases[] = {
      {-1, -1, 4, 0, 0, 5},   // top left: pixel (1,1) of the picture lands at (0,0)
      {3, 2, 4, 4, 3, 5},     // bottom right
      {-2, 1, 3, 0, 1, 3},    // left
      {1, -2, 3, 1, 0, 7},    // top
      {5, 0, 0, 0, 0, 0},     // just beyond the right edge
      {0, 4, 0, 0, 0, 0},     // just below
      {-3, 0, 0, 0, 0, 0},    // just beyond the left edge
      {INT_MAX, INT_MIN, 0, 0, 0, 0},
      {INT64_MIN / 2, 0, 0, 0, 0, 0},
  };
  for (const Case& k : cases) {
    Canvas c(5, 4);
    c.DrawImage(image.data(), 3, 3, k.left, k.top, RasterOp::SrcCopy);
    EXPECT_EQ(20 - CountOf(c, kWhite), k.visible) << k.left << "," << k.top;
    if (k.visible) {
      EXPECT_EQ(c.At(k.x, k.y), Rgb(0, 0, static_cast<std::uint8_t>(k.value))) << k.left << "," << k.top;
    }
  }
}

TEST(CanvasTest, WritesItselfAsA24BitBitmap) {
  Canvas c(5, 3);  // rows of 15 bytes padded to 16
  c.FillRect(0, 0, 1, 1, kRed);
  c.FillRect(4, 2, 5, 3, Rgb(1, 2, 3));
  const std::vector<std::uint8_t> bytes = c.EncodeBmp();
  ASSERT_EQ(bytes.size(), 54u + 16u * 3u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[28], 24);
  EXPECT_EQ(bytes[10], 54);
  // Bottom-up: the first stored row is the canvas's last, blue green red.
  EXPECT_EQ(bytes[54 + 12], 3);
  EXPECT_EQ(bytes[54 + 13], 2);
  EXPECT_EQ(bytes[54 + 14], 1);
  const auto back = DecodeBmp(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->pixels, c.Pixels());

  test::TempDir dir;
  const std::string path = (dir.Path() / "frame.bmp").string();
  ASSERT_TRUE(c.WriteBmp(path));
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), bytes);
  EXPECT_FALSE(c.WriteBmp((dir.Path() / "no-such-dir" / "frame.bmp").string()));
}

}  // namespace
}  // namespace kivora
