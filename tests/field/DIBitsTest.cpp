#include "field/DIBits.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "field/MaskDIBits.h"
#include "field/PictureCache.h"
#include "support/BmpText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

const Pixel kRed = Rgb(255, 0, 0);
const Pixel kGrey = Rgb(64, 64, 64);

using test::SolidBmp;

// A picture from rows of characters: '.' black, 'R' red, 'W' white.
std::string Picture(const std::vector<std::string>& rows) {
  std::vector<Pixel> px;
  for (const auto& row : rows)
    for (char ch : row) px.push_back(ch == 'R' ? kRed : ch == 'W' ? kWhite : kBlack);
  return test::BmpText(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), px);
}

// The covered box of everything not of colour `bg`: left, top, right, bottom (inclusive).
std::array<int, 4> Extent(const Canvas& c, Pixel bg) {
  std::array<int, 4> box{c.Width(), c.Height(), -1, -1};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.At(x, y) != bg) box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

TEST(DIBitsTest, DrawnCentredWithTruncatingHalves) {
  test::TempDir dir;
  struct Case { int w, h, cx, cy; std::array<int, 4> box; };
  const Case cases[] = {
      {9, 9, 100, 100, {96, 96, 104, 104}},
      {10, 4, 100, 100, {95, 98, 104, 101}},
      {1, 1, 0, 0, {0, 0, 0, 0}},
  };
  for (const Case& k : cases) {
    DIBits pic;
    ASSERT_TRUE(pic.Load(dir.Write("p.bmp", SolidBmp(k.w, k.h, kRed)).string()));
    Canvas c(320, 320);
    pic.Draw(c, k.cx, k.cy);
    EXPECT_EQ(Extent(c, kWhite), k.box) << k.w << "x" << k.h;
  }
}

// A usable mask makes the picture's black transparent; without one (no
// file, an empty one, a corrupt one) black is drawn like any colour.
TEST(DIBitsTest, MaskDecidesWhetherBlackIsDrawn) {
  test::TempDir dir;
  const auto file = dir.Write("kivo1.bmp", Picture({"...", ".R.", "..."}));
  const std::string goodMask = Picture({"WWW", "W.W", "WWW"});
  struct Case { const char* what; const std::string* maskBytes; bool masked; };
  const std::string empty, corrupt = "BM corrupt";
  const Case cases[] = {
      {"good mask", &goodMask, true},
      {"empty mask", &empty, false},
      {"corrupt mask", &corrupt, false},
      {"no mask", nullptr, false},
  };
  for (const Case& k : cases) {
    std::filesystem::remove(dir.Path() / "mkivo1.bmp");
    if (k.maskBytes) dir.Write("mkivo1.bmp", *k.maskBytes);
    DIBits pic;
    ASSERT_TRUE(pic.Load(file.string())) << k.what;
    EXPECT_EQ(pic.Mask() != nullptr, k.masked) << k.what;
    Canvas c(3, 3);
    c.Fill(kGrey);
    pic.Draw(c, 1, 1);
    EXPECT_EQ(c.At(1, 1), kRed) << k.what;
    EXPECT_EQ(c.At(0, 0), k.masked ? kGrey : kBlack) << k.what;
    EXPECT_EQ(c.At(2, 2), k.masked ? kGrey : kBlack) << k.what;
  }
}

TEST(DIBitsTest, MaskIsCentredByItsOwnSize) {
  test::TempDir dir;
  const auto file = dir.Write("s.bmp", SolidBmp(3, 3, kRed));
  dir.Write("ms.bmp", SolidBmp(1, 1, kBlack));
  DIBits pic;
  ASSERT_TRUE(pic.Load(file.string()));
  Canvas c(5, 5);
  c.Fill(kGrey);
  pic.Draw(c, 2, 2);
  // Only the centre went through the mask's black; elsewhere red is ORed on grey.
  EXPECT_EQ(c.At(2, 2), kRed);
  EXPECT_EQ(c.At(1, 1), kRed | kGrey);
}

TEST(DIBitsTest, TopDownFileDrawnUpright) {
  test::TempDir dir;
  std::string bytes = Picture({"R", "."});
  // Store the rows the other way round and say so with a negative height.
  std::swap(bytes[54], bytes[58]);
  std::swap(bytes[55], bytes[59]);
  std::swap(bytes[56], bytes[60]);
  bytes[22] = static_cast<char>(0xFE);
  for (int i = 23; i < 26; ++i) bytes[i] = static_cast<char>(0xFF);
  DIBits pic;
  ASSERT_TRUE(pic.Load(dir.Write("t.bmp", bytes).string()));
  EXPECT_EQ(pic.Height(), 2);
  Canvas c(1, 2);
  pic.Draw(c, 0, 1);
  EXPECT_EQ(c.At(0, 0), kRed);
  EXPECT_EQ(c.At(0, 1), kBlack);
}

TEST(DIBitsTest, FailedLoads) {
  test::TempDir dir;
  dir.MakeDir("dir.bmp");
  // A pipe without a writer: opening it for reading would wait forever.
  ASSERT_EQ(::mkfifo((dir.Path() / "pipe.bmp").c_str(), 0600), 0);
  const std::string good = SolidBmp(4, 4, kRed);
  struct Case { const char* name; std::string bytes; bool exists; };
  const Case cases[] = {
      {"missing.bmp", "", false},
      {"dir.bmp", "", true},
      {"pipe.bmp", "", true},
      {"empty.bmp", "", true},
      {"short.bmp", good.substr(0, good.size() - 1), true},
      {"rle.bmp", good.substr(0, 30) + '\1' + good.substr(31), true},
  };
  for (const Case& k : cases) {
    if (k.exists && std::string(k.name) != "dir.bmp" && std::string(k.name) != "pipe.bmp") dir.Write(k.name, k.bytes);
    DIBits pic("before");
    EXPECT_FALSE(pic.Load((dir.Path() / k.name).string())) << k.name;
    EXPECT_TRUE(pic.Pixels().empty()) << k.name;
    EXPECT_TRUE(pic.InfoBlock().empty()) << k.name;
    EXPECT_EQ(pic.Mask(), nullptr) << k.name;
    // A file that is not there leaves the picture as it was.
    if (!k.exists) {
      EXPECT_EQ(pic.Name(), "before");
    }
    Canvas c(8, 8);
    pic.Draw(c, 4, 4);
    EXPECT_EQ(Extent(c, kWhite)[2], -1) << k.name;
  }
}

TEST(DIBitsTest, MaskFileNames) {
  EXPECT_EQ(DIBits::MaskFileName("kivo1.bmp"), "mkivo1.bmp");
  EXPECT_EQ(DIBits::MaskFileName("arena/bulet.bmp"), "arena/mbulet.bmp");
  EXPECT_EQ(DIBits::MaskFileName("/a/b/c.bmp"), "/a/b/mc.bmp");
}

TEST(PictureCacheTest, LoadsEachNameOnce) {
  test::TempDir dir;
  dir.Write("kivo1.bmp", SolidBmp(2, 2, kRed));
  PictureCache cache(dir.Path());
  const DIBits* first = cache.GetPicture("kivo1.bmp");
  ASSERT_NE(first, nullptr);
  // The file is not read again: the picture stays even when the file goes.
  std::filesystem::remove(dir.Path() / "kivo1.bmp");
  EXPECT_EQ(cache.GetPicture("kivo1.bmp"), first);
  EXPECT_EQ(cache.Size(), 1u);
}

TEST(PictureCacheTest, NamesAreCaseSensitiveKeys) {
  test::TempDir dir;
  dir.Write("kivo1.bmp", SolidBmp(2, 2, kRed));
  dir.Write("KIVO1.BMP", SolidBmp(2, 2, kRed));
  PictureCache cache(dir.Path());
  const DIBits* lower = cache.GetPicture("kivo1.bmp");
  const DIBits* upper = cache.GetPicture("KIVO1.BMP");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(cache.Size(), 2u);
}

TEST(PictureCacheTest, FailuresAreNotRemembered) {
  test::TempDir dir;
  PictureCache cache(dir.Path());
  EXPECT_EQ(cache.GetPicture("parts.bmp"), nullptr);
  dir.Write("parts.bmp", "not a picture");
  EXPECT_EQ(cache.GetPicture("parts.bmp"), nullptr);
  dir.Write("parts.bmp", SolidBmp(2, 2, kRed));
  const DIBits* pic = cache.GetPicture("parts.bmp");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->Width(), 2);
  EXPECT_EQ(cache.Size(), 1u);
}

}  // namespace
}  // namespace kivora
