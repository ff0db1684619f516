#include "field/TickLabel.h"

#include <algorithm>
#include <string>

#include "field/Canvas.h"

namespace kivora {

namespace {

constexpr std::array<Glyph, 10> kDigits = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
}};

int ScaleOf(const TickLabelStyle& style) { return std::clamp(style.scale, 1, 64); }

}  // namespace

Glyph GlyphOf(char c) {
  if (c >= '0' && c <= '9') return kDigits[static_cast<std::size_t>(c - '0')];
  return Glyph{};
}

LabelSize TickLabelSize(std::string_view text, const TickLabelStyle& style) {
  const int scale = ScaleOf(style);
  // Labels are a few digits; a longer text is cut rather than overflow.
  const int count = static_cast<int>(std::min<std::size_t>(text.size(), 64));
  return {(count * (kGlyphWidth + 1) + 1) * scale, (kGlyphHeight + 2) * scale};
}

void DrawLabel(Canvas& canvas, std::int64_t left, std::int64_t top, std::string_view text,
               const TickLabelStyle& style) {
  const int scale = ScaleOf(style);
  const LabelSize size = TickLabelSize(text, style);
  canvas.FillRect(left, top, left + size.width, top + size.height, style.box);
  const std::size_t count = static_cast<std::size_t>(size.width / scale - 1) / (kGlyphWidth + 1);
  for (std::size_t i = 0; i < count; ++i) {
    const Glyph glyph = GlyphOf(text[i]);
    const std::int64_t x0 = left + static_cast<std::int64_t>(i * (kGlyphWidth + 1) + 1) * scale;
    for (int row = 0; row < kGlyphHeight; ++row) {
      const std::int64_t y = top + std::int64_t{row + 1} * scale;
      for (int column = 0; column < kGlyphWidth; ++column) {
        if ((glyph[static_cast<std::size_t>(row)] >> (kGlyphWidth - 1 - column) & 1) == 0) continue;
        const std::int64_t x = x0 + std::int64_t{column} * scale;
        canvas.FillRect(x, y, x + scale, y + scale, style.ink);
      }
    }
  }
}

void DrawTickLabel(Canvas& canvas, std::uint64_t tick, const TickLabelStyle& style) {
  DrawLabel(canvas, 0, 0, std::to_string(tick), style);
}

}  // namespace kivora
