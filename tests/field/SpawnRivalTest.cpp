#include "field/SpawnRival.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/ListFiles.h"
#include "base/Random.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "support/FieldInDirTest.h"
#include "support/ModelText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

using test::ModelText;

class SpawnRivalTest : public test::FieldInDirTest {
protected:
  int Spawn(int count, std::uint32_t seed, SharedField& into) {
    random.Seed(seed);
    return SpawnRivalUnits(into, specs, random, dir.Path(), count);
  }
  int Spawn(int count, std::uint32_t seed) { return Spawn(count, seed, battle.Shared()); }
  Random random;
};

TEST_F(SpawnRivalTest, EveryMatchingEntryIsAChoiceFilesOrNot) {
  dir.Write("b.spc", ModelText(1, 10));
  dir.Write("A.SPC", ModelText(1, 10));
  dir.Write("c.spcx", "");
  dir.Write("notes.txt", "");
  dir.MakeDir("d.Spc");
  EXPECT_EQ(ListFiles(dir.Path(), "*.spc", ListEntries::All), (std::vector<std::string>{"A.SPC", "b.spc", "d.Spc"}));
  EXPECT_TRUE(ListFiles(dir.Path(), "*.prg", ListEntries::All).empty());
}

TEST_F(SpawnRivalTest, WithoutModelsNothingIsDrawnOrPlaced) {
  dir.Write("a.prg", "FORWARD\n");
  EXPECT_EQ(Spawn(5, 77), 0);
  EXPECT_EQ(random.State(), 77u);
  EXPECT_EQ(battle.Lock()->fieldList.Count(), 0);
}

TEST_F(SpawnRivalTest, DrawsModelProgramPlaceAndDirectionInThatOrder) {
  dir.Write("a.spc", ModelText(2, 50));
  dir.Write("b.spc", ModelText(4, 90));
  dir.Write("p.prg", "FORWARD\n");
  dir.Write("q.prg", "# nothing\n");
  ASSERT_EQ(Spawn(6, 9), 6);

  random.Seed(9);
  const auto field = battle.Lock();
  ASSERT_EQ(field->unitList.size(), 6u);
  ASSERT_EQ(field->fieldList.Count(), 6);
  EXPECT_EQ(field->playerUnitCount, 0);
  for (int i = 0; i < 6; ++i) {
    const OKE& unit = *field->unitList[static_cast<std::size_t>(i)];
    EXPECT_EQ(field->fieldList.At(i), &unit);
    const int model = randomRange(random, 0, 1);
    const int program = randomRange(random, 0, 1);
    EXPECT_EQ(unit.team, 0);
    EXPECT_EQ(unit.Kind(), kKindRivalUnit);
    EXPECT_EQ(unit.spec->name, model == 0 ? "a.spc" : "b.spc");
    EXPECT_EQ(unit.level, model == 0 ? 2 : 4);
    EXPECT_EQ(unit.firstCommand != nullptr, program == 0);  // q.prg holds no command
    EXPECT_EQ(unit.x, randomRange(random, -150, 150) * 100);
    EXPECT_EQ(unit.y, randomRange(random, -150, 150) * 100);
    EXPECT_EQ(unit.direction, randomRange(random, -179, 180));
  }
}

TEST_F(SpawnRivalTest, WithoutProgramsUnitsStandIdle) {
  dir.Write("only.spc", ModelText(3, 40));
  ASSERT_EQ(Spawn(3, 5), 3);
  random.Seed(5);
  for (const OKE* unit : battle.Lock()->unitList) {
    EXPECT_EQ(unit->firstCommand, nullptr);
    EXPECT_EQ(randomRange(random, 0, 0), 0);  // the model index: no program index follows
    EXPECT_EQ(unit->x, randomRange(random, -150, 150) * 100);
    EXPECT_EQ(unit->y, randomRange(random, -150, 150) * 100);
    EXPECT_EQ(unit->direction, randomRange(random, -179, 180));
  }
}

TEST_F(SpawnRivalTest, AModelThatCannotBeLoadedEndsTheAttemptAfterItsIndex) {
  dir.MakeDir("a.spc");                              // a directory
  dir.Write("b.spc", "3\n100,0,0,0,10\n");           // cut short
  dir.Write("c.spc", ModelText(1, 10));
  dir.Write("p.prg", "FORWARD\n");
  int failed = 0;
  for (std::uint32_t seed = 1; seed < 40; ++seed) {
    SharedField fresh;
    const int placed = Spawn(1, seed, fresh);
    const std::uint32_t after = random.State();

    // The draws that should have been made: the model index, and only for
    // the loadable model the program index, x, y and direction.
    random.Seed(seed);
    const int model = randomRange(random, 0, 2);
    if (model == 2) {
      randomRange(random, 0, 0);
      randomRange(random, -150, 150);
      randomRange(random, -150, 150);
      randomRange(random, -179, 180);
    } else {
      ++failed;
    }
    EXPECT_EQ(placed, model == 2 ? 1 : 0) << "seed " << seed;
    EXPECT_EQ(fresh.Lock()->fieldList.Count(), placed);
    EXPECT_EQ(after, random.State()) << "seed " << seed;
  }
  EXPECT_GT(failed, 0);
  EXPECT_LT(failed, 39);
}

TEST_F(SpawnRivalTest, PlacesOnWholePixelsNearTheCentre) {
  dir.Write("a.spc", ModelText(1, 10));
  Spawn(400, 123);
  std::set<std::int32_t> directions;
  for (const OKE* unit : battle.Lock()->unitList) {
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
