// The tick label: the digits as drawn, read back from the canvas.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "field/Canvas.h"
#include "field/TickLabel.h"

namespace kivora {
namespace {

// The digits as they must look, '#' for ink.
const std::array<std::array<const char*, 7>, 10> kExpected = {{
    {" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "},
    {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "},
    {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"},
    {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "},
    {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "},
    {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "},
    {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "},
    {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "},
    {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "},
    {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "},
}};

// What the canvas shows of a label drawn at (left, top), as text: '#' ink,
// '.' box, '?' anything else; one character per font pixel, read at the
// centre of its scale x scale square.
std::string Read(const Canvas& canvas, int left, int top, int columns, int rows, int scale, const TickLabelStyle& style) {
  std::string text;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const Pixel p = canvas.At(left + column * scale + scale / 2, top + row * scale + scale / 2);
      text += p == style.ink ? '#' : p == style.box ? '.' : '?';
    }
    text += '\n';
  }
  return text;
}

// The same, made from the expected glyphs: a font pixel of box around and
// between the digits.
std::string Expected(const std::string& digits) {
  std::string text(digits.size() * 6 + 1, '.');
  text = text + "\n";
  for (int row = 0; row < 7; ++row) {
    text += '.';
    for (char d : digits) text += std::string(kExpected[static_cast<std::size_t>(d - '0')][row]) + ".";
    text += '\n';
  }
  for (char& c : text) c = c == ' ' ? '.' : c;
  return text + std::string(digits.size() * 6 + 1, '.') + "\n";
}

TEST(TickLabelTest, DrawsEveryDigitInItsBoxAtEveryScale) {
  for (const int scale : {1, 2, 3}) {
    SCOPED_TRACE(scale);
    TickLabelStyle style;
    style.scale = scale;
    Canvas canvas(200, 40);
    const std::string digits = "9876543210";
    DrawLabel(canvas, 3, 5, digits, style);
    const LabelSize size = TickLabelSize(digits, style);
    EXPECT_EQ(size.width, 61 * scale);
    EXPECT_EQ(size.height, 9 * scale);
    EXPECT_EQ(Read(canvas, 3, 5, 61, 9, scale, style), Expected(digits));
    // Every scaled pixel is whole, and nothing is drawn outside the box.
    for (int y = 0; y < canvas.Height(); ++y) {
      for (int x = 0; x < canvas.Width(); ++x) {
        const bool inside = x >= 3 && x < 3 + size.width && y >= 5 && y < 5 + size.height;
        const Pixel p = canvas.At(x, y);
        if (!inside) {
          ASSERT_EQ(p, kWhite) << x << "," << y;
        } else {
          ASSERT_EQ(p, canvas.At(3 + (x - 3) / scale * scale, 5 + (y - 5) / scale * scale)) << x << "," << y;
        }
      }
    }
  }
}

TEST(TickLabelTest, TheTickGoesInTheTopLeftCornerAndIsClipped) {
  const TickLabelStyle style;
  Canvas canvas(320, 320);
  canvas.Fill(Rgb(0, 128, 0));
  DrawTickLabel(canvas, 3000, style);
  EXPECT_EQ(Read(canvas, 0, 0, 25, 9, style.scale, style), Expected("3000"));
  EXPECT_EQ(canvas.At(25 * style.scale, 0), Rgb(0, 128, 0));
  EXPECT_EQ(canvas.At(0, 9 * style.scale), Rgb(0, 128, 0));
  // Off the edges, even far off, nothing is drawn and nothing breaks.
  Canvas small(8, 8);
  DrawLabel(small, -20, 4, "18446744073709551615", style);
  DrawLabel(small, -(std::int64_t{1} << 62), std::int64_t{1} << 62, "1", style);
  EXPECT_EQ(small.At(7, 4), style.box);
  EXPECT_EQ(small.At(7, 3), kWhite);
}

}  // namespace
}  // namespace kivora
