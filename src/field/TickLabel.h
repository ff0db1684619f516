#pragma once
// The tick number drawn on a frame: digits of a small built-in 5 x 7 font,
// light on a dark box, so that it reads on any background. Used by the
// frames and animations of kivora-arena and by anything else that shows a
// battle on a Canvas.
#include <array>
#include <cstdint>
#include <string_view>

#include "field/Bmp.h"

namespace kivora {

class Canvas;

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// One glyph: seven rows from the top, bit 4 of a row its leftmost pixel.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of a character the label can show: '0'..'9'; anything else is
// blank.
Glyph GlyphOf(char c);

struct TickLabelStyle {
  int scale = 2;                  // each font pixel as scale x scale canvas pixels (at least 1)
  Pixel ink = kWhite;             // the digits
  Pixel box = Rgb(16, 16, 16);    // the box under them
};

// The box the label of `text` takes: one font pixel (scaled) of box around
// the glyphs and between them.
struct LabelSize {
  int width = 0;
  int height = 0;
};
LabelSize TickLabelSize(std::string_view text, const TickLabelStyle& style = {});

// Draws `text` in its box with the box's top left corner at (left, top),
// clipped at the canvas's edges.
void DrawLabel(Canvas& canvas, std::int64_t left, std::int64_t top, std::string_view text,
               const TickLabelStyle& style = {});

// The tick as plain decimal digits in the top left corner of the canvas.
void DrawTickLabel(Canvas& canvas, std::uint64_t tick, const TickLabelStyle& style = {});

}  // namespace kivora
