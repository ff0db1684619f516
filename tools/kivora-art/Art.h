#pragma once
// The game's artwork, drawn from the sources in this folder: the field's
// sprites and masks, the arena floor, the rival's portrait in its colourings
// and the application icon.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "field/Bmp.h"
#include "field/Png.h"

namespace kivora::art {

// An RGB picture, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;

  Image() = default;
  Image(int w, int h, Pixel fill) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}
  Pixel& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
  Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Writes `image` as an uncompressed bitmap of 1, 4, 8 or 24 bits; palette
// files take the picture's own colours, in order of first appearance.
// Returns false (with a message on standard error) when it cannot.
bool WriteBmpFile(const std::string& path, const Image& image, int bitCount);

// A sprite drawn as rows of letters, one letter per pixel, each letter a
// colour of `palette`; '.' is transparent.
struct Sprite {
  std::vector<std::string> rows;
  std::vector<std::pair<char, Pixel>> palette;
};

// The sprite for SRCPAINT: black where transparent.
Image SpritePicture(const Sprite& sprite);
// Its mask for SRCAND: black where the sprite is opaque, white elsewhere.
Image SpriteMask(const Sprite& sprite);

Sprite PlayerUnitSprite();
Sprite RivalUnitSprite();
Sprite BulletSprite();
Sprite PartsSprite();

// The arena floor, 320 x 320.
Image ArenaFloor();

// The rival's portrait at any size, by colouring. The portrait is made of
// inks (outline, face, eyes, ...) and a colouring gives each ink its colour
// at each pixel, so that patterns and shading are possible.
enum Ink : std::uint8_t { Background, Outline, Face, Collar, EyeWhite, Pupil, Mouth, Teeth, Horn, Cheek, InkCount };
using Colouring = std::function<Pixel(Ink ink, int x, int y, int size)>;
std::vector<Ink> PortraitInks(int size);
Image Portrait(int size, const Colouring& colouring);

Colouring TwoColourColouring(bool inverted);
Colouring SlotColouring(int index);  // 0..5: Slot1 .. Slot6

// The application icon at `size` x `size`, with its opacity in each pixel's
// top byte: one picture for the desktop's icon theme and the game window.
Image AppIcon(int size);
// Writes a picture with opacity as a PNG file; false (with a message on
// standard error) when it cannot.
bool WritePngImage(const std::string& path, const Image& image);

}  // namespace kivora::art
