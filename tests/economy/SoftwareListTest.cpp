#include <gtest/gtest.h>

#include "economy/SoftwareList.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

TEST(SoftwareListTest, ListsEveryProgramWithItsFirstLineSortedByName) {
  test::TempDir dir;
  dir.Write("hunter.prg", "# \x83\x6e\x83\x93\x83\x5e\x81\x5b\r\nMOVE,100\r\n");  // # ハンター
  dir.Write("Alpha.PRG", "WAIT\n");
  dir.Write("empty.prg", "");
  dir.Write("long.prg", std::string(3000, 'L') + "\n");
  dir.Write("crs.prg", "a\rb\r\r\nsecond");
  dir.Write("readme.txt", "not a program");
  dir.MakeDir("folder.prg");

  const auto entries = ListSoftware(dir.Path());
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].fileName, "Alpha.PRG");
  EXPECT_EQ(entries[0].firstLine, "WAIT");
  EXPECT_EQ(entries[1].fileName, "crs.prg");
  EXPECT_EQ(entries[1].firstLine, "ab");
  EXPECT_EQ(entries[2].fileName, "empty.prg");
  EXPECT_EQ(entries[2].firstLine, "");
  EXPECT_EQ(entries[3].fileName, "hunter.prg");
  EXPECT_EQ(entries[3].EntryText(), "hunter.prg\t# ハンター");
  EXPECT_EQ(entries[4].firstLine, std::string(2048, 'L'));
}

TEST(SoftwareListTest, UnreadableProgramIsListedWithoutDescription) {
  test::TempDir dir;
  const auto file = dir.Write("locked.prg", "secret\n");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  const auto entries = ListSoftware(dir.Path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].fileName, "locked.prg");
  // Root reads anything; otherwise the line stays empty.
  if (entries[0].firstLine != "secret") {
    EXPECT_EQ(entries[0].firstLine, "");
  }
}

TEST(SoftwareListTest, NoProgramsNoEntries) {
  test::TempDir dir;
  dir.Write("a.spc", "");
  EXPECT_TRUE(ListSoftware(dir.Path()).empty());
}

TEST(SoftwareListTest, QuestionNamesTheFile) {
  EXPECT_EQ(SoftwareQuestion("hunter.prg"), "ソフトウェアは[hunter.prg]でいいのかい？");
  EXPECT_EQ(SoftwareQuestion("\x83\x6e.prg"), "ソフトウェアは[ハ.prg]でいいのかい？");
}

}  // namespace
}  // namespace kivora
