#include <gtest/gtest.h>

#include <filesystem>

#include "base/ListFiles.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

using Names = std::vector<std::string>;

TEST(ListFilesTest, MatchesTheExtensionInAnyCaseAndSortsRepeatably) {
  test::TempDir dir;
  for (const char* name :
       {"b.prg", "A.PRG", "a.prg", "c.Prg", "_x.prg", "Zed.prg", "notes.txt", "x.prgx", "prg", ".prg", "d.spc"}) {
    dir.Write(name, "");
  }
  // Upper-cased letters first, then bytes: '_' (0x5F) sorts after 'Z'; names
  // equal but for case fall back to their bytes.
  EXPECT_EQ(ListFiles(dir.Path(), "*.prg"), (Names{".prg", "A.PRG", "a.prg", "b.prg", "c.Prg", "Zed.prg", "_x.prg"}));
  EXPECT_EQ(ListFiles(dir.Path(), "*.SPC"), (Names{"d.spc"}));
}

TEST(ListFilesTest, ListsOnlyRegularFilesAndLinksToThem) {
  test::TempDir dir;
  dir.Write("real.spc", "x");
  dir.MakeDir("folder.spc");
  std::filesystem::create_symlink("real.spc", dir.Path() / "link.spc");
  std::filesystem::create_symlink("missing.spc", dir.Path() / "dangling.spc");
  EXPECT_EQ(ListFiles(dir.Path(), "*.spc"), (Names{"link.spc", "real.spc"}));
}

TEST(ListFilesTest, KeepsShiftJisNamesAsBytes) {
  test::TempDir dir;
  const std::string sjis = "\x83\x7B\x83\x53.prg";  // katakana in Shift-JIS, not valid UTF-8
  dir.Write(sjis, "");
  dir.Write("a.prg", "");
  EXPECT_EQ(ListFiles(dir.Path(), "*.prg"), (Names{"a.prg", sjis}));
}

TEST(ListFilesTest, MissingOrNonDirectoryListsNothing) {
  test::TempDir dir;
  EXPECT_TRUE(ListFiles(dir.Path() / "nowhere", "*.prg").empty());
  EXPECT_TRUE(ListFiles(dir.Write("file.prg", ""), "*.prg").empty());
  EXPECT_TRUE(ListFiles(dir.Path(), "*.prg").size() == 1);
}

}  // namespace
}  // namespace kivora
