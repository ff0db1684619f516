#include "field/DrawField.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "field/Canvas.h"
#include "field/DIBits.h"
#include "field/MaskDIBits.h"
#include "field/PictureCache.h"
#include "support/BmpText.h"
#include "support/SimTestSupport.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

const Pixel kBg = Rgb(200, 200, 180);
const Pixel kPlayer = Rgb(0, 0, 250);
const Pixel kRival = Rgb(250, 0, 0);
const Pixel kBullet = Rgb(250, 250, 0);
const Pixel kPart = Rgb(0, 250, 0);

using test::SolidBmp;

// A directory with 3 x 3 single-colour pictures for every kind and a 320 x 320 background.
struct Pictures {
  test::TempDir dir;
  PictureCache cache{dir.Path()};
  Pictures() {
    dir.Write("bg.bmp", SolidBmp(320, 320, kBg));
    dir.Write("kivo1.bmp", SolidBmp(3, 3, kPlayer));
    dir.Write("kivo2.bmp", SolidBmp(3, 3, kRival));
    dir.Write("bulet.bmp", SolidBmp(3, 3, kBullet));
    dir.Write("parts.bmp", SolidBmp(3, 3, kPart));
  }
};

// Inclusive box of the pixels of one colour: left, top, right, bottom.
std::array<int, 4> BoxOf(const Canvas& c, Pixel colour) {
  std::array<int, 4> box{INT_MAX, INT_MAX, -1, -1};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.At(x, y) == colour) box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

Bullette* AddBullet(test::TestField& tf, std::int32_t x, std::int32_t y) {
  Ref<Bullette> b = MakeRef<Bullette>(nullptr, 0, 10, 100, 10, 0, 1);
  b->x = x;
  b->y = y;
  return static_cast<Bullette*>(tf.field.Add(std::move(b)));
}

TEST(DrawFieldTest, FieldToViewTruncatesTowardZero) {
  struct Case { std::int32_t x, y; ViewPoint view; };
  const Case cases[] = {
      {0, 0, {160, 160}},         {-16000, 16000, {0, 0}},   {15900, -15900, {319, 319}},
      {-150, 150, {159, 159}},    {150, -150, {161, 161}},   {-99, 99, {160, 160}},
      {INT32_MIN, INT32_MAX, {160 - 21474836, 160 - 21474836}},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldToView(c.x, c.y), c.view) << c.x << "," << c.y;
}

TEST(DrawFieldTest, PictureTable) {
  EXPECT_EQ(PictureFileOfKind(0), nullptr);
  EXPECT_STREQ(PictureFileOfKind(1), "kivo1.bmp");
  EXPECT_STREQ(PictureFileOfKind(2), "kivo2.bmp");
  EXPECT_STREQ(PictureFileOfKind(3), "wall.bmp");
  EXPECT_STREQ(PictureFileOfKind(4), "bulet.bmp");
  EXPECT_STREQ(PictureFileOfKind(5), "parts.bmp");
  EXPECT_EQ(PictureFileOfKind(6), nullptr);
}

TEST(DrawFieldTest, WallsAreFilledRectangles) {
  struct Case { std::int32_t x, y, w, h; std::array<int, 4> box; };
  const Case cases[] = {
      {-100, 250, 800, 800, {155, 154, 162, 161}},
      {0, 15800, 32000, 400, {0, 0, 319, 3}},        // the top edge of the view
      {0, 0, 150, 250, {160, 159, 160, 160}},         // sizes truncate to whole pixels
      {0, -16000, 64000, 400, {0, 318, 319, 319}},    // clipped at the edges
      {0, 0, 0, 0, {INT_MAX, INT_MAX, -1, -1}},      // nothing
      {0, 0, -800, 800, {INT_MAX, INT_MAX, -1, -1}},  // nothing
      {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, {INT_MAX, INT_MAX, -1, -1}},
  };
  for (const Case& c : cases) {
    Pictures pics;
    test::TestField tf;
    tf.AddWall(c.x, c.y, c.w, c.h);
    Canvas canvas(320, 320);
    DrawField(canvas, tf.field.fieldList, FieldPictures{}, kWallBrush);
    EXPECT_EQ(BoxOf(canvas, kWallBrush), c.box) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(DrawFieldTest, EachKindItsPictureCentred) {
  Pictures pics;
  test::TestField tf;
  const OKEspec spec = test::PlainSpec();
  tf.Unit(spec, 1, -150, 0);     // pixel 159, 160
  tf.Unit(spec, 0, 5000, 5000);  // 210, 110
  AddBullet(tf, -3000, -3000);   // 130, 190
  tf.AddPart(9999, -9999);       // 259, 259
  Canvas canvas(320, 320);
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  EXPECT_EQ(BoxOf(canvas, kPlayer), (std::array<int, 4>{158, 159, 160, 161}));
  EXPECT_EQ(BoxOf(canvas, kRival), (std::array<int, 4>{209, 109, 211, 111}));
  EXPECT_EQ(BoxOf(canvas, kBullet), (std::array<int, 4>{129, 189, 131, 191}));
  EXPECT_EQ(BoxOf(canvas, kPart), (std::array<int, 4>{258, 258, 260, 260}));
  EXPECT_EQ(canvas.At(0, 0), kBg);
}

TEST(DrawFieldTest, LaterObjectsCoverEarlierOnes) {
  Pictures pics;
  test::TestField tf;
  tf.AddPart(0, 0);
  tf.AddWall(0, 0, 100, 100);
  tf.Unit(test::PlainSpec(), 1, 0, 0);
  Canvas canvas(320, 320);
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  EXPECT_EQ(canvas.At(160, 160), kPlayer);
  tf.AddPart(0, 0);
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  EXPECT_EQ(canvas.At(160, 160), kPart);
}

TEST(DrawFieldTest, WithoutBackgroundEarlierFramesStay) {
  Pictures pics;
  std::filesystem::remove(pics.dir.Path() / "bg.bmp");
  test::TestField tf;
  Bullette* b = AddBullet(tf, 0, 0);
  Canvas canvas(320, 320);
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  b->x = 1000;
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  EXPECT_EQ(canvas.At(160, 160), kBullet);  // the trail
  EXPECT_EQ(canvas.At(170, 160), kBullet);
  EXPECT_EQ(canvas.At(300, 300), kWhite);
}

TEST(DrawFieldTest, SmallBackgroundLeavesTheRestAlone) {
  Pictures pics;
  pics.dir.Write("bg.bmp", SolidBmp(20, 20, kBg));
  test::TestField tf;
  Canvas canvas(320, 320);
  canvas.Fill(kRival);
  DrawField(canvas, tf.field, FieldPictures::Gather(pics.cache));
  EXPECT_EQ(BoxOf(canvas, kBg), (std::array<int, 4>{150, 150, 169, 169}));
  EXPECT_EQ(canvas.At(0, 0), kRival);
}

// Frames draw with what was gathered when drawing started: a missing picture
// stays a marker without its file being looked for again each frame, and a
// file that comes later shows from the next gathering on.
TEST(DrawFieldTest, MissingPicturesDrawPlainMarkersUntilGatheredAgain) {
  test::TempDir empty;
  PictureCache cache(empty.Path());
  test::TestField tf;
  tf.Unit(test::PlainSpec(), 1, 0, 0);  // 400 x 400: a 4 x 4 square
  AddBullet(tf, 5000, 0);                // 100 x 100: the smallest square, 3 x 3
  const FieldPictures atStart = FieldPictures::Gather(cache);
  EXPECT_EQ(atStart.background, nullptr);
  Canvas canvas(320, 320);
  DrawField(canvas, tf.field, atStart);
  EXPECT_EQ(BoxOf(canvas, MarkerColourOfKind(1)), (std::array<int, 4>{158, 158, 161, 161}));
  EXPECT_EQ(BoxOf(canvas, MarkerColourOfKind(4)), (std::array<int, 4>{209, 159, 211, 161}));

  empty.Write("kivo1.bmp", SolidBmp(3, 3, kPlayer));
  empty.Write("bg.bmp", SolidBmp(320, 320, kBg));
  canvas.Whiten();
  DrawField(canvas, tf.field, atStart);
  EXPECT_EQ(BoxOf(canvas, MarkerColourOfKind(1)), (std::array<int, 4>{158, 158, 161, 161}));
  EXPECT_EQ(canvas.At(0, 0), kWhite);
  EXPECT_EQ(cache.Size(), 0u);  // nothing was read while drawing

  const FieldPictures later = FieldPictures::Gather(cache);
  EXPECT_EQ(later.ofKind[kKindWall], nullptr);  // walls are rectangles: wall.bmp is never read
  DrawField(canvas, tf.field, later);
  EXPECT_EQ(BoxOf(canvas, kPlayer), (std::array<int, 4>{159, 159, 161, 161}));
  EXPECT_EQ(canvas.At(0, 0), kBg);
  EXPECT_EQ(BoxOf(canvas, MarkerColourOfKind(4)), (std::array<int, 4>{209, 159, 211, 161}));
}

TEST(DrawFieldTest, ArenaSpritesShowTheFloorThroughTheirMasks) {
  PictureCache cache(std::string(KIVORA_SOURCE_DIR) + "/arena");
  const DIBits* bg = cache.GetPicture("bg.bmp");
  const DIBits* unit = cache.GetPicture("kivo1.bmp");
  ASSERT_NE(bg, nullptr);
  ASSERT_NE(unit, nullptr);
  ASSERT_NE(unit->Mask(), nullptr);
  test::TestField tf;
  tf.Unit(test::PlainSpec(), 1, 0, 0);
  Canvas canvas(320, 320);
  DrawField(canvas, tf.field, FieldPictures::Gather(cache));
  const int left = 160 - unit->Width() / 2, top = 160 - unit->Height() / 2;
  for (int y = 0; y < unit->Height(); ++y) {
    for (int x = 0; x < unit->Width(); ++x) {
      const std::size_t i = static_cast<std::size_t>(y * unit->Width() + x);
      const Pixel expected = unit->Mask()->Pixels()[i] == kWhite
                                 ? bg->Pixels()[static_cast<std::size_t>((top + y) * 320 + left + x)]
                                 : unit->Pixels()[i];
      ASSERT_EQ(canvas.At(left + x, top + y), expected) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace kivora
