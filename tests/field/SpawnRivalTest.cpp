#include "field/SpawnRival.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/ListFiles.h"
#include "app/Random.h"
#include "economy/Economy.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "support/FieldInDirTest.h"
#include "support/ModelText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

using test::ModelText;

using SpawnRivalTest = test::FieldInDirTest;

TEST_F(SpawnRivalTest, EveryMatchingEntryIsAChoiceFilesOrNot) {
  dir.Write("b.spc", ModelText(1, 10));
  dir.Write("A.SPC", ModelText(1, 10));
  dir.Write("c.spcx", "");
  dir.Write("notes.txt", "");
  dir.MakeDir("d.Spc");
  EXPECT_EQ(ListFiles("*.spc", ListEntries::All), (std::vector<std::string>{"A.SPC", "b.spc", "d.Spc"}));
  EXPECT_TRUE(ListFiles("*.prg", ListEntries::All).empty());
}

TEST_F(SpawnRivalTest, WithoutModelsNothingIsDrawnOrPlaced) {
  dir.Write("a.prg", "FORWARD\n");
  SeedRandom(77);
  EXPECT_EQ(SpawnRivalUnits(field, specs, 5), 0);
  EXPECT_EQ(GetRandomState(), 77u);
  EXPECT_EQ(field.fieldList.Count(), 0);
}

TEST_F(SpawnRivalTest, DrawsModelProgramPlaceAndDirectionInThatOrder) {
  dir.Write("a.spc", ModelText(2, 50));
  dir.Write("b.spc", ModelText(4, 90));
  dir.Write("p.prg", "FORWARD\n");
  dir.Write("q.prg", "# nothing\n");
  SeedRandom(9);
  ASSERT_EQ(SpawnRivalUnits(field, specs, 6), 6);

  SeedRandom(9);
  ASSERT_EQ(field.unitList.size(), 6u);
  ASSERT_EQ(field.fieldList.Count(), 6);
  EXPECT_EQ(field.playerUnitCount.load(), 0);
  for (int i = 0; i < 6; ++i) {
    const OKE& unit = *field.unitList[static_cast<std::size_t>(i)];
    EXPECT_EQ(field.fieldList.At(i), &unit);
    const int model = randomRange(0, 1);
    const int program = randomRange(0, 1);
    EXPECT_EQ(unit.team, 0);
    EXPECT_EQ(unit.Kind(), kKindRivalUnit);
    EXPECT_EQ(unit.spec->name, model == 0 ? "a.spc" : "b.spc");
    EXPECT_EQ(unit.level, model == 0 ? 2 : 4);
    EXPECT_EQ(unit.firstCommand != nullptr, program == 0);  // q.prg holds no command
    EXPECT_EQ(unit.x, randomRange(-150, 150) * 100);
    EXPECT_EQ(unit.y, randomRange(-150, 150) * 100);
    EXPECT_EQ(unit.direction, randomRange(-179, 180));
  }
}

TEST_F(SpawnRivalTest, WithoutProgramsUnitsStandIdle) {
  dir.Write("only.spc", ModelText(3, 40));
  SeedRandom(5);
  ASSERT_EQ(SpawnRivalUnits(field, specs, 3), 3);
  SeedRandom(5);
  for (const OKE* unit : field.unitList) {
    EXPECT_EQ(unit->firstCommand, nullptr);
    EXPECT_EQ(randomRange(0, 0), 0);  // the model index: no program index follows
    EXPECT_EQ(unit->x, randomRange(-150, 150) * 100);
    EXPECT_EQ(unit->y, randomRange(-150, 150) * 100);
    EXPECT_EQ(unit->direction, randomRange(-179, 180));
  }
}

TEST_F(SpawnRivalTest, AModelThatCannotBeLoadedEndsTheAttemptAfterItsIndex) {
  dir.MakeDir("a.spc");                              // a directory
  dir.Write("b.spc", "3\n100,0,0,0,10\n");           // cut short
  dir.Write("c.spc", ModelText(1, 10));
  dir.Write("p.prg", "FORWARD\n");
  int failed = 0;
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    Field fresh(economy);
    SeedRandom(seed);
    const int placed = SpawnRivalUnits(fresh, specs, 1);
    const std::uint32_t after = GetRandomState();

    // The draws that should have been made: the model index, and only for
    // the loadable model the program index, x, y and direction.
    SeedRandom(seed);
    const int model = randomRange(0, 2);
    if (model == 2) {
      randomRange(0, 0);
      randomRange(-150, 150);
      randomRange(-150, 150);
      randomRange(-179, 180);
    } else {
      ++failed;
    }
    EXPECT_EQ(placed, model == 2 ? 1 : 0) << "seed " << seed;
    EXPECT_EQ(fresh.fieldList.Count(), placed);
    EXPECT_EQ(after, GetRandomState()) << "seed " << seed;
  }
  EXPECT_GT(failed, 0);
  EXPECT_LT(failed, 39);
}

TEST_F(SpawnRivalTest, PlacesOnWholePixelsNearTheCentre) {
  dir.Write("a.spc", ModelText(1, 10));
  SeedRandom(123);
  SpawnRivalUnits(field, specs, 400);
  std::set<std::int32_t> directions;
  for (const OKE* unit : field.unitList) {
    EXPECT_EQ(unit->x % 100, 0);
    EXPECT_EQ(unit->y % 100, 0);
    EXPECT_LE(std::abs(unit->x), 15000);
    EXPECT_LE(std::abs(unit->y), 15000);
    EXPECT_GE(unit->direction, -179);
    EXPECT_LE(unit->direction, 180);
    directions.insert(unit->direction);
  }
  EXPECT_GT(directions.size(), 200u);
}

}  // namespace
}  // namespace kivora
