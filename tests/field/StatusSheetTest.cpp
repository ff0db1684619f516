#include "field/StatusSheet.h"

#include <gtest/gtest.h>

#include "support/SimTestSupport.h"
#include "support/TextLines.h"

#include <climits>
#include <vector>

namespace kivora {
namespace {

using test::Lines;

TEST(StatusSheetTest, WithoutSelectionShowsExactlyTheThreeHeadLines) {
  const std::string text = StatusSheetText(1000, 0, nullptr);
  EXPECT_EQ(text,
            "残金:      1000ペコグスタ\n"
            "ポボゴム:         0ポイント\n"
            "---- * ----\n");
}

TEST(StatusSheetTest, CountersAreRightAlignedInTenColumnsWholeRange) {
  struct Case {
    std::uint32_t money, points;
    const char* moneyLine;
    const char* pointsLine;
  } cases[] = {
      {0, 10000, "残金:         0ペコグスタ", "ポボゴム:     10000ポイント"},
      {2000000000u, 1, "残金:2000000000ペコグスタ", "ポボゴム:         1ポイント"},
      {4294967295u, 4294967295u, "残金:4294967295ペコグスタ", "ポボゴム:4294967295ポイント"},
  };
  for (const Case& c : cases) {
    const auto lines = Lines(StatusSheetText(c.money, c.points, nullptr));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], c.moneyLine);
    EXPECT_EQ(lines[1], c.pointsLine);
  }
}

TEST(StatusSheetTest, SelectedUnitSheetHasTwentyLinesInOrder) {
  UnitSheet unit;
  unit.kind = 1;
  unit.modelName = "kivo.spc";
  unit.x = -150;
  unit.y = 250;
  unit.direction = 90;
  unit.state = 1;
  unit.hp = 120;
  unit.remain = 30;
  unit.command = "-";
  unit.variables[0] = -5;        // A
  unit.variables[13] = INT_MAX;  // N
  unit.variables[12] = INT_MIN;  // M
  unit.variables[25] = 7;        // Z

  const auto lines = Lines(StatusSheetText(1000, 0, &unit));
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[3], "ペコ党部隊 カヴォラ[kivo.spc]");
  EXPECT_EQ(lines[4], "x:-1 y:2 dir:90 [前進]");
  EXPECT_EQ(lines[5], "HP:120  武器:30 発");
  EXPECT_EQ(lines[6], "実行<->");
  EXPECT_EQ(lines[7], "A=        -5 N=2147483647");
  EXPECT_EQ(lines[8], "B=         0 O=         0");
  EXPECT_EQ(lines[19], "M=-2147483648 Z=         7");
}

TEST(StatusSheetTest, RivalUnitAndPositionsTruncateTowardZero) {
  struct Case {
    int kind;
    std::int32_t x, y;
    int state;
    const char* head;
    const char* place;
  } cases[] = {
      {2, 99, -99, 0, "ポボゴム カヴォラ[m]", "x:0 y:0 dir:-179 [静止中]"},
      {0, INT_MIN, INT_MAX, 20, "ポボゴム カヴォラ[m]", "x:-21474836 y:21474836 dir:-179 [被弾]"},
      {1, -100, 100, 15, "ペコ党部隊 カヴォラ[m]", "x:-1 y:1 dir:-179 [射撃準備中]"},
      // A state outside the table must not read past the names.
      {1, 0, 0, 21, "ペコ党部隊 カヴォラ[m]", "x:0 y:0 dir:-179 [?]"},
      {1, 0, 0, -1, "ペコ党部隊 カヴォラ[m]", "x:0 y:0 dir:-179 [?]"},
  };
  for (const Case& c : cases) {
    UnitSheet unit;
    unit.kind = c.kind;
    unit.modelName = "m";
    unit.x = c.x;
    unit.y = c.y;
    unit.direction = -179;
    unit.state = c.state;
    const auto lines = Lines(StatusSheetText(0, 0, &unit));
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[3], c.head);
    EXPECT_EQ(lines[4], c.place);
  }
}

TEST(StatusSheetTest, LongNamesAndCommandsAreKeptWhole) {
  UnitSheet unit;
  unit.modelName = std::string(5000, 'k');
  unit.command = "SEARCHE,300(0,60)," + std::string(3000, 'x');
  const std::string text = StatusSheetText(0, 0, &unit);
  EXPECT_NE(text.find("カヴォラ[" + unit.modelName + "]\n"), std::string::npos);
  EXPECT_NE(text.find("実行<" + unit.command + ">\n"), std::string::npos);
}

TEST(StatusSheetTest, SheetOfAUnitReadsItsFieldsAndConvertsItsModelName) {
  test::TestField f;
  OKEspec spec = test::PlainSpec();
  spec.name = "\x83\x4a\x83\x94\x83\x49.spc";  // a Shift-JIS file name
  OKE* unit = f.Unit(spec, 0, -150, 250, 90);
  unit->state = 1;
  unit->hp = 42;
  unit->ammo = 3;
  unit->SetVar('Q', -5);
  const UnitSheet sheet = SheetOf(*unit);
  EXPECT_EQ(sheet.kind, 2);
  EXPECT_EQ(sheet.modelName, "カヴオ.spc");
  EXPECT_EQ(sheet.command, "-");
  EXPECT_EQ(sheet.remain, 3);
  const auto lines = Lines(StatusSheetText(5, 0, &sheet));
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[3], "ポボゴム カヴォラ[カヴオ.spc]");
  EXPECT_EQ(lines[4], "x:-1 y:2 dir:90 [前進]");
  EXPECT_EQ(lines[5], "HP:42  武器:3 発");
  EXPECT_EQ(lines[6], "実行<->");
  EXPECT_EQ(lines[10], "D=         0 Q=        -5");

  test::Give(*unit, test::Program({[](EE&) {}}));
  EXPECT_EQ(SheetOf(*unit).command, "SCRIPT");
}

// A unit destroyed in battle stays selected with its last values; only its
// 実行 line changes, so the player sees it no longer runs. One hit point
// short of that, the sheet is that of any live unit.
TEST(StatusSheetTest, AFallenUnitIsMarkedOnItsExecuteLineOnly) {
  test::TestField f;
  const OKEspec spec = test::PlainSpec();
  OKE* unit = f.Unit(spec, 1, 0, 0);
  test::Give(*unit, test::Program({[](EE&) {}}));
  unit->hp = 1;
  const UnitSheet live = SheetOf(*unit);
  unit->hp = 0;
  const UnitSheet fallen = SheetOf(*unit);
  EXPECT_FALSE(live.fallen);
  EXPECT_TRUE(fallen.fallen);

  const auto liveLines = Lines(StatusSheetText(0, 0, &live));
  const auto fallenLines = Lines(StatusSheetText(0, 0, &fallen));
  ASSERT_EQ(fallenLines.size(), 20u);
  ASSERT_EQ(liveLines.size(), 20u);
  EXPECT_EQ(liveLines[6], "実行<SCRIPT>");
  EXPECT_EQ(fallenLines[6], "実行<撃破>");
  EXPECT_EQ(fallenLines[5].substr(0, 5), "HP:0 ");
  for (std::size_t i = 0; i < 20; ++i) {
    if (i == 5 || i == 6) continue;
    EXPECT_EQ(fallenLines[i], liveLines[i]) << i;
  }
}

TEST(StatusSheetTest, ClickSelectsTheFirstUnitWhoseBoxHoldsThePoint) {
  test::TestField f;
  const OKEspec spec = test::PlainSpec();
  // Units are 400 x 400: the first spans x -200..199, y -200..199.
  OKE* first = f.Unit(spec, 1, 0, 0);
  OKE* second = f.Unit(spec, 0, 300, 0);  // overlaps the first on x 100..199
  OKE* odd = f.Unit(spec, 1, -1001, 3001);
  odd->width = 101;   // left edge at x - 50
  odd->height = 101;  // low edge at y - 50
  struct Case {
    std::int32_t x, y;
    OKE* expected;
  } cases[] = {
      {0, 0, first},       {-200, -200, first},    {199, 199, first},  {200, 0, second},
      {150, 0, first},     {499, 199, second},     {500, 0, nullptr},  {0, 200, nullptr},
      {-201, 0, nullptr},  {-1051, 2951, odd},     {-951, 3051, odd},  {-950, 3000, nullptr},
      {-1052, 3000, nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(UnitAt(f.field.unitList, c.x, c.y), c.expected) << c.x << "," << c.y;

  OKE* far = f.Unit(spec, 0, INT32_MAX, INT32_MIN);  // edges beyond 32 bits
  EXPECT_EQ(UnitAt(f.field.unitList, INT32_MAX, INT32_MIN), far);
  EXPECT_EQ(UnitAt({}, 0, 0), nullptr);
}

}  // namespace
}  // namespace kivora
