// The pictures the game reads at run time, as committed: they load with the
// game's own loader, have the sizes the screens are laid out for, and every
// masked sprite is black wherever its mask lets the field show through.
#include <gtest/gtest.h>

#include <png.h>

#include <set>
#include <string>

#include "field/DIBits.h"
#include "field/MaskDIBits.h"

namespace kivora {
namespace {

std::string SourceFile(const std::string& name) { return std::string(KIVORA_SOURCE_DIR) + "/" + name; }

TEST(ArtworkTest, FieldPictures) {
  DIBits bg;
  ASSERT_TRUE(bg.Load(SourceFile("arena/bg.bmp")));
  EXPECT_EQ(bg.Width(), 320);
  EXPECT_EQ(bg.Height(), 320);
  EXPECT_EQ(bg.Mask(), nullptr);

  for (const char* name : {"kivo1.bmp", "kivo2.bmp", "bulet.bmp", "parts.bmp"}) {
    DIBits sprite;
    ASSERT_TRUE(sprite.Load(SourceFile(std::string("arena/") + name))) << name;
    const MaskDIBits* mask = sprite.Mask();
    ASSERT_NE(mask, nullptr) << name;
    ASSERT_EQ(mask->Width(), sprite.Width()) << name;
    ASSERT_EQ(mask->Height(), sprite.Height()) << name;
    // Odd sizes centre exactly on an object's position.
    EXPECT_EQ(sprite.Width() % 2, 1) << name;
    EXPECT_EQ(sprite.Height() % 2, 1) << name;
    int opaque = 0;
    for (std::size_t i = 0; i < sprite.Pixels().size(); ++i) {
      const Pixel m = mask->Pixels()[i];
      ASSERT_TRUE(m == kBlack || m == kWhite) << name;
      if (m == kWhite) {
        ASSERT_EQ(sprite.Pixels()[i], kBlack) << name << ", pixel " << i;
      } else {
        ++opaque;
      }
    }
    EXPECT_GT(opaque, 0) << name;
  }

  DIBits player, rival;
  ASSERT_TRUE(player.Load(SourceFile("arena/kivo1.bmp")));
  ASSERT_TRUE(rival.Load(SourceFile("arena/kivo2.bmp")));
  EXPECT_NE(player.Pixels(), rival.Pixels());
  EXPECT_NE(player.Mask()->Pixels(), rival.Mask()->Pixels());  // they differ in shape, not only colour
}

TEST(ArtworkTest, WindowPictures) {
  DIBits gommu;
  ASSERT_TRUE(gommu.Load(SourceFile("res/GOMMU.bmp")));
  EXPECT_EQ(gommu.Width(), 128);
  EXPECT_EQ(gommu.Height(), 128);
  EXPECT_EQ(gommu.InfoBlock()[14], 1);  // two colours

  std::set<std::vector<Pixel>> reels;
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "res/Slot" + std::to_string(i) + ".bmp";
    DIBits reel;
    ASSERT_TRUE(reel.Load(SourceFile(name))) << name;
    EXPECT_EQ(reel.Width(), 128) << name;
    EXPECT_EQ(reel.Height(), 128) << name;
    EXPECT_EQ(reel.InfoBlock()[14], 8) << name;  // 256 colours
    if (i == 1) {
      EXPECT_EQ(reel.Pixels()[0], kWhite);  // black on white
    }
    if (i == 6) {
      EXPECT_EQ(reel.Pixels()[0], kBlack);  // white on black
    }
    reels.insert(reel.Pixels());
  }
  EXPECT_EQ(reels.size(), 6u);  // six symbols told apart

}

// The icon PNGs: every size of the desktop's icon theme, a tile with
// transparent corners; the window shows the same picture as the desktop.
std::vector<Pixel> ReadPng(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<Pixel> pixels;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
  image.format = PNG_FORMAT_BGRA;
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
  return pixels;
}

TEST(ArtworkTest, Icons) {
  std::vector<Pixel> largest;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    int w = 0, h = 0;
    const std::vector<Pixel> icon = ReadPng(SourceFile("data/icons/kivora-" + std::to_string(size) + ".png"), w, h);
    ASSERT_FALSE(icon.empty());
    EXPECT_EQ(w, size);
    EXPECT_EQ(h, size);
    EXPECT_EQ(icon.front() >> 24, 0u);  // corners see through
    EXPECT_EQ(icon.back() >> 24, 0u);
    EXPECT_EQ(icon[static_cast<std::size_t>(size / 2 * size + size / 2)] >> 24, 255u);
    largest = icon;
  }
  int w = 0, h = 0;
  EXPECT_EQ(ReadPng(SourceFile("res/AppIcon.png"), w, h), largest);
}

}  // namespace
}  // namespace kivora
