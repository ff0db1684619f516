#include "field/ProgramListing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "kivora-check/ProgramCheck.h"
#include "support/FieldInDirTest.h"
#include "support/ModelText.h"
#include "support/TextLines.h"

namespace kivora {
namespace {

class ProgramListingTest : public test::FieldInDirTest {
 protected:
  void SetUp() override { dir.Write("unit.spc", test::ModelText(1, 100)); }

  // A unit of the rival's side with the program `text`, not on the field yet.
  Ref<OKE> UnitWith(const std::string& text) {
    dir.Write("p.prg", text);
    Ref<OKE> unit = battle.NewUnit(0, "unit.spc");
    EXPECT_TRUE(unit && battle.GiveProgram(*unit, "p.prg"));
    return unit;
  }
};

// The checker's --list line without its source line number.
std::vector<std::string> CheckerLines(const std::filesystem::path& file) {
  std::ostringstream out, err;
  RunProgramCheck({"--list", file.string()}, out, err);
  std::vector<std::string> lines;
  const std::regex listed(R"(^(\d+) L\d+ (.*)$)");
  for (const std::string& line : test::Lines(out.str())) {
    std::smatch m;
    if (std::regex_match(line, m, listed)) lines.push_back(m[1].str() + ' ' + m[2].str());
  }
  return lines;
}

TEST_F(ProgramListingTest, LinesAreTheCheckersListingWithoutSourceLines) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> lines;  // empty: only compared with the checker
  } cases[] = {
      {"branches and jump lines",
       "# aim\n:top\nFORWARD\nSEARCHE,300(0,60),shoot\n>top\n:shoot\nFIRE,300(0,60)\nVAR,\xb1=5\n:end\n",
       {"0 FORWARD next=1 jump=-", "1 SEARCHE:300(0,60) next=0 jump=2", "2 FIRE:300(0,60) next=3 jump=-",
        "3 VAR:ｱ=5 next=- jump=-"}},
      {"a branch to a label after the last command",
       "COND,A>=3,end\nVAR,A+1\n:end\n", {"0 COND:A>=3 next=1 jump=-", "1 VAR:A+1 next=- jump=-"}},
  };
  for (const Case& c : cases) {
    Ref<OKE> unit = UnitWith(c.text);
    ProgramListing listing;
    listing.Follow(unit.get());
    EXPECT_TRUE(listing.Update()) << c.name;
    EXPECT_EQ(listing.Lines(), c.lines) << c.name;
    EXPECT_EQ(listing.Lines(), CheckerLines(dir.Path() / "p.prg")) << c.name;
    EXPECT_EQ(listing.Current(), std::optional<std::size_t>(0)) << c.name;
  }
  // Every program the game comes with.
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(KIVORA_SOURCE_DIR) / "arena")) {
    if (entry.path().extension() != ".prg") continue;
    std::filesystem::copy_file(entry.path(), dir.Path() / "p.prg", std::filesystem::copy_options::overwrite_existing);
    Ref<OKE> unit = battle.NewUnit(0, "unit.spc");
    ASSERT_TRUE(battle.GiveProgram(*unit, "p.prg"));
    ProgramListing listing;
    listing.Follow(unit.get());
    listing.Update();
    EXPECT_FALSE(listing.Lines().empty()) << entry.path();
    EXPECT_EQ(listing.Lines(), CheckerLines(dir.Path() / "p.prg")) << entry.path();
  }
}

TEST_F(ProgramListingTest, CurrentFollowsTheProgramTickByTickUntilItStops) {
  OKE* unit = battle.Deploy(UnitWith(":top\nVAR,A+1\nCOND,A>=3,reset\n>top\n:reset\nVAR,A=0\n"));
  ProgramListing listing;
  listing.Follow(unit);
  // The command run next after each tick: A counts to 3 round the loop,
  // then the branch, then the program has nothing more to run.
  const std::optional<std::size_t> none;
  const std::optional<std::size_t> expected[] = {0, 1, 0, 1, 0, 1, 2, none, none};
  for (std::size_t tick = 0; tick < std::size(expected); ++tick) {
    if (tick > 0) battle.Tick();
    const bool gathered = [&] {
      const auto field = battle.Lock();
      return listing.Update();
    }();
    EXPECT_EQ(gathered, tick == 0) << "tick " << tick;  // the same program: only the position is looked up
    EXPECT_EQ(listing.Current(), expected[tick]) << "tick " << tick;
    EXPECT_EQ(listing.Lines().size(), 3u);
  }
  EXPECT_EQ(listing.Head(), "ポボゴム カヴォラ[unit.spc]\n実行<->");
}

TEST_F(ProgramListingTest, NoUnitNoProgramNewProgramAndFallenUnit) {
  ProgramListing listing;
  EXPECT_FALSE(listing.Update());
  EXPECT_EQ(listing.Head(), "ＯＫＥが選択されていません");
  EXPECT_TRUE(listing.Lines().empty());

  Ref<OKE> bare = battle.NewUnit(1, "unit.spc");
  listing.Follow(bare.get());
  listing.Update();
  EXPECT_EQ(listing.Head(), "ペコ党部隊 カヴォラ[unit.spc]\n実行<->\nプログラムがありません");
  EXPECT_EQ(listing.Current(), std::nullopt);

  // A program given while the unit is shown is gathered anew.
  dir.Write("one.prg", "FORWARD\n");
  dir.Write("two.prg", "BACKWARD\nFIRE,100(0,30)\n");
  ASSERT_TRUE(battle.GiveProgram(*bare, "one.prg"));
  EXPECT_TRUE(listing.Update());
  EXPECT_EQ(listing.Lines(), std::vector<std::string>{"0 FORWARD next=- jump=-"});
  ASSERT_TRUE(battle.GiveProgram(*bare, "two.prg"));
  EXPECT_TRUE(listing.Update());
  EXPECT_EQ(listing.Lines(), (std::vector<std::string>{"0 BACKWARD next=1 jump=-", "1 FIRE:100(0,30) next=- jump=-"}));
  EXPECT_EQ(listing.Head(), "ペコ党部隊 カヴォラ[unit.spc]\n実行<BACKWARD>");

  // Fallen: off the field, the listing stays, nothing runs any more.
  OKE* unit = battle.Deploy(std::move(bare));
  battle.Lock()->unitList.front()->hp = 0;  // the one unit on the field
  battle.Tick();
  EXPECT_TRUE(battle.Lock()->unitList.empty());
  {
    const auto field = battle.Lock();
    EXPECT_FALSE(listing.Update());
  }
  EXPECT_EQ(listing.Followed(), unit);
  EXPECT_TRUE(listing.Fallen());
  EXPECT_EQ(listing.Lines().size(), 2u);
  EXPECT_EQ(listing.Current(), std::nullopt);
  EXPECT_EQ(listing.Head(), "ペコ党部隊 カヴォラ[unit.spc]\n実行<撃破>");

}

}  // namespace
}  // namespace kivora
