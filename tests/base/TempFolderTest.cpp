#include "base/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace kivora {
namespace {

namespace fs = std::filesystem;

// Private while it lives, gone with everything in it afterwards, and a move
// hands the folder over without removing it.
TEST(TempFolderTest, PrivateAndRemovedWithItsContents) {
  std::string why;
  fs::path path;
  {
    auto made = TempFolder::Make(why);
    ASSERT_TRUE(made) << why;
    path = made->Path();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    fs::create_directories(path / "a" / "b");
    std::ofstream(path / "a" / "b" / "f.prg") << "FORWARD\n";
    TempFolder moved = std::move(*made);
    made.reset();
    EXPECT_TRUE(fs::exists(path / "a" / "b" / "f.prg"));
    EXPECT_EQ(moved.Path(), path);
  }
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace kivora
