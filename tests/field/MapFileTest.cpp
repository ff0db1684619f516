#include "field/MapFile.h"

#include <gtest/gtest.h>

#include <string>

#include "base/Random.h"
#include "sim/EE.h"
#include "sim/Field.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

TEST(MapFileTest, LinesOfTheMap) {
  struct Case {
    const char* line;
    std::optional<MapWall> wall;
  };
  const Case cases[] = {
      {"100, 200, 300, 400", MapWall{100, 200, 300, 400}},  // blanks before a number
      {"100 ,200,300,400", std::nullopt},                     // a blank before the comma ends the match
      {"1,2,3,4,5", MapWall{1, 2, 3, 4}},                     // the rest of the line is ignored
      {" #1,2,3,4", std::nullopt},                            // neither a comment nor a wall
      {"1,2,3", std::nullopt},
      {"0,0,0,0", MapWall{0, 0, 0, 0}},
      {"-5,+6,-7,-8 walls may have any size", MapWall{-5, 6, -7, -8}},
      {"\t0,15800,32000,400", MapWall{0, 15800, 32000, 400}},
      {"#0,0,10,10", std::nullopt},
      {"", std::nullopt},
      {"x,1,2,3", std::nullopt},
      {"1,2,3,x", std::nullopt},
      {"2147483647,-2147483648,1,1", MapWall{2147483647, -2147483648, 1, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseMapLine(c.line), c.wall) << '"' << c.line << '"';
  }
}

TEST(MapFileTest, HostileLinesNeverCrash) {
  // Numbers far beyond 32 bits, a zero byte, bytes of every value.
  EXPECT_TRUE(ParseMapLine("99999999999999999999999,1,1,1"));
  EXPECT_FALSE(ParseMapLine(std::string_view("1,2\0,3,4", 8)));
  std::string junk;
  for (int i = 1; i < 256; ++i) junk += static_cast<char>(i);
  EXPECT_FALSE(ParseMapLine(junk));
  EXPECT_FALSE(ParseMapLine(std::string(5000, '-')));
}

class MapFieldTest : public ::testing::Test {
protected:
  std::vector<MapWall> Walls() const {
    std::vector<MapWall> walls;
    for (const EE* object : field.fieldList.Items()) {
      EXPECT_EQ(object->Kind(), kKindWall);
      walls.push_back(MapWall{object->x, object->y, object->width, object->height});
    }
    return walls;
  }

  test::TempDir dir;
  Field field;
};

TEST_F(MapFieldTest, ReadsWallsInFileOrderWhateverTheLineEnds) {
  const std::string lf = "# arena\n0,15800,32000,400\n\nnot a wall\n-100,250,800,800";  // no final line feed
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& text : {lf, crlf}) {
    Field fresh;
    ASSERT_TRUE(ReadMapFile(fresh, dir.Write("map.txt", text).string()));
    ASSERT_EQ(fresh.fieldList.Count(), 2);
    EXPECT_EQ(fresh.fieldList.At(0)->y, 15800);
    EXPECT_EQ(fresh.fieldList.At(0)->width, 32000);
    EXPECT_EQ(fresh.fieldList.At(1)->x, -100);
    EXPECT_EQ(fresh.fieldList.At(1)->height, 800);
  }
}

TEST_F(MapFieldTest, EmptyMissingAndUnreadableMaps) {
  EXPECT_TRUE(ReadMapFile(field, dir.Write("empty.txt", "").string()));
  EXPECT_EQ(field.fieldList.Count(), 0);
  EXPECT_FALSE(ReadMapFile(field, (dir.Path() / "missing.txt").string()));
  EXPECT_FALSE(ReadMapFile(field, dir.MakeDir("map.txt").string()));  // a directory is no map
  EXPECT_EQ(field.fieldList.Count(), 0);
}

TEST_F(MapFieldTest, ManyLinesGiveManyWallsAndLongLinesArePieces) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += std::to_string(i) + ",1,2,3\n";
  // A line of 3000 bytes is read as a piece of 2048 bytes and the rest: the
  // second piece begins with the wall.
  text += std::string(2048, ' ') + "7,7,7,7\n";
  ASSERT_TRUE(ReadMapFile(field, dir.Write("map.txt", text).string()));
  const auto walls = Walls();
  ASSERT_EQ(walls.size(), 20001u);
  EXPECT_EQ(walls[19999], (MapWall{19999, 1, 2, 3}));
  EXPECT_EQ(walls[20000], (MapWall{7, 7, 7, 7}));
}

TEST_F(MapFieldTest, BinaryJunkGivesOnlyTheWallsItSpellsOut) {
  std::string junk;
  std::uint32_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 1103515245u + 12345u;
    junk += static_cast<char>(state >> 24);
  }
  junk += "\n5,6,7,8\r\n";
  ASSERT_TRUE(ReadMapFile(field, dir.Write("map.txt", junk).string()));
  ASSERT_GE(field.fieldList.Count(), 1);
  EXPECT_EQ(Walls().back(), (MapWall{5, 6, 7, 8}));
}

TEST_F(MapFieldTest, RandomWallsThenPartsDrawXBeforeY) {
  Random random(4242);
  AddRandomWalls(field, random, 10);
  AddRandomParts(field, random, 10);
  random.Seed(4242);
  ASSERT_EQ(field.fieldList.Count(), 20);
  for (int i = 0; i < 20; ++i) {
    const EE& object = *field.fieldList.At(i);
    const int reach = i < 10 ? 150 : 100;
    const std::int32_t x = randomRange(random, -reach, reach) * 100;
    const std::int32_t y = randomRange(random, -reach, reach) * 100;
    EXPECT_EQ(object.Kind(), i < 10 ? kKindWall : kKindParts);
    EXPECT_EQ(object.x, x);
    EXPECT_EQ(object.y, y);
    EXPECT_EQ(object.width, i < 10 ? 800 : 200);
    EXPECT_EQ(object.height, i < 10 ? 800 : 200);
  }
}

}  // namespace
}  // namespace kivora
