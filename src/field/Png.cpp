#include "field/Png.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <exception>

#include "field/Canvas.h"

namespace kivora {

namespace {

// libpng reports errors by jumping back to the setjmp in Encode; nothing
// with a destructor lives in the frames it jumps over.
struct WriteState {
  std::vector<std::uint8_t>* out = nullptr;
  std::string error;
};

void OnError(png_structp png, png_const_charp message) {
  auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
  try {
    state->error = message ? message : "libpng error";
  } catch (...) {
  }
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
  try {
    state->out->insert(state->out->end(), data, data + length);
  } catch (const std::exception&) {
    png_error(png, "out of memory");
  }
}

void OnFlush(png_structp) {}

// Everything that needs memory of ours is made by the caller, before the
// jump target is set.
bool Encode(png_structp png, png_infop info, std::int32_t width, std::int32_t height, std::span<const Pixel> pixels,
            PngFormat format, int level, std::vector<png_byte>& row, WriteState& state) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &state, OnWrite, OnFlush);
  const bool alpha = format == PngFormat::Rgba;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  const std::size_t channels = alpha ? 4 : 3;
  for (std::int32_t y = 0; y < height; ++y) {
    const Pixel* source = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      const Pixel p = source[x];
      png_byte* out = row.data() + static_cast<std::size_t>(x) * channels;
      out[0] = RedOf(p);
      out[1] = GreenOf(p);
      out[2] = BlueOf(p);
      if (alpha) out[3] = static_cast<png_byte>(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(std::int32_t width, std::int32_t height,
                                                   std::span<const Pixel> pixels, PngFormat format,
                                                   std::string* error, int level) {
  auto fail = [error](std::string message) -> std::optional<std::vector<std::uint8_t>> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  // PNG's own limit on a side; libpng refuses more than a million by default.
  constexpr std::int32_t kMaxSide = 1000000;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return fail("a PNG picture must be 1 to 1000000 pixels on each side");
  if (pixels.size() / static_cast<std::size_t>(width) != static_cast<std::size_t>(height) ||
      pixels.size() % static_cast<std::size_t>(width) != 0)
    return fail("the pixels do not fill the picture's size");

  std::vector<std::uint8_t> out;
  WriteState state;
  state.out = &out;
  std::vector<png_byte> row(static_cast<std::size_t>(width) * (format == PngFormat::Rgba ? 4 : 3));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
  if (!png) return fail("libpng cannot start");
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return fail("libpng cannot start");
  }
  const bool ok = Encode(png, info, width, height, pixels, format, std::clamp(level, 1, 9), row, state);
  png_destroy_write_struct(&png, &info);
  if (!ok) return fail(state.error.empty() ? std::string("libpng error") : state.error);
  return out;
}

bool WritePngFile(const std::string& path, std::int32_t width, std::int32_t height, std::span<const Pixel> pixels,
                  PngFormat format, std::string* error) {
  const auto bytes = EncodePng(width, height, pixels, format, error);
  if (!bytes) return false;
  if (!WriteFileBytes(path, *bytes)) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

bool WritePngFile(const std::string& path, const Canvas& canvas, std::string* error) {
  return WritePngFile(path, canvas.Width(), canvas.Height(), canvas.Pixels(), PngFormat::Rgb, error);
}

}  // namespace kivora
