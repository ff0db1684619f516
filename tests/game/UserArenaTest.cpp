// Which data folder the game plays in, and how the player's arena is made
// and kept up to date from the default arena.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "game/UserArena.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// A default arena as installed: read-only files.
void Ship(const test::TempDir& dir, const std::string& name, const std::string& text) {
  const fs::path file = dir.Write("default/" + name, text);
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

using Source = ArenaChoice::Source;

TEST(UserArenaTest, ChoosesTheDataFolder) {
  enum Env { XdgAndHome, RelativeXdgAndHome, HomeOnly, Neither };
  enum Expect { Cwd, XdgArena, HomeArena, Default };
  struct Case {
    const char* name;
    std::vector<std::string> cwdFiles;  // a trailing '/' makes a folder
    Env env;
    std::string inTheWay;  // made a file before the start, relative to the temp dir
    bool haveDefault;
    bool userArenaExists;
    Source source;
    Expect folder;
    bool noted;  // something went to standard error
  };
  const Case cases[] = {
      {"a map makes an arena", {"map.txt"}, XdgAndHome, "", true, false, Source::CurrentDirectory, Cwd, false},
      {"so does a buy list", {"buylist.txt"}, XdgAndHome, "", true, false, Source::CurrentDirectory, Cwd, false},
      {"and a model in any case", {"A.SPC"}, XdgAndHome, "", true, false, Source::CurrentDirectory, Cwd, false},
      {"programs alone do not", {"mine.prg"}, XdgAndHome, "", true, false, Source::UserArena, XdgArena, false},
      {"nor a folder named like a model", {"x.spc/", "Map.TXT"}, XdgAndHome, "", true, false, Source::UserArena,
       XdgArena, false},
      {"XDG_DATA_HOME first", {}, XdgAndHome, "", true, false, Source::UserArena, XdgArena, false},
      {"a relative XDG_DATA_HOME is ignored", {}, RelativeXdgAndHome, "", true, false, Source::UserArena, HomeArena,
       false},
      {"HOME's data folder by default", {}, HomeOnly, "", true, false, Source::UserArena, HomeArena, false},
      {"no HOME: the default arena", {}, Neither, "", true, false, Source::DefaultArena, Default, true},
      {"a file where the arena should be", {}, XdgAndHome, "xdg/kivora/arena", true, false, Source::DefaultArena,
       Default, true},
      {"a file where a parent should be", {}, XdgAndHome, "xdg/kivora", true, false, Source::DefaultArena, Default,
       true},
      {"no default arena: the player's as it is", {}, XdgAndHome, "", false, true, Source::UserArena, XdgArena, true},
      {"no default arena and nothing else", {}, XdgAndHome, "", false, false, Source::Nothing, Cwd, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path cwd = dir.MakeDir("cwd");
    for (const std::string& f : c.cwdFiles) {
      if (f.back() == '/') dir.MakeDir("cwd/" + f);
      else dir.Write("cwd/" + f, "x");
    }
    if (c.haveDefault) Ship(dir, "map.txt", "map");
    if (!c.inTheWay.empty()) dir.Write(c.inTheWay, "in the way");
    if (c.userArenaExists) dir.MakeDir("xdg/kivora/arena");
    const std::string xdg = (dir.Path() / "xdg").string(), home = (dir.Path() / "home").string();
    const UserEnvironment env[] = {{xdg, home}, {"relative/data", home}, {"", home}, {"", ""}};
    const fs::path expected[] = {cwd, dir.Path() / "xdg/kivora/arena", dir.Path() / "home/.local/share/kivora/arena",
                                 dir.Path() / "default"};

    const ArenaChoice choice = ChooseArena(cwd, env[c.env], dir.Path() / "default");
    EXPECT_EQ(choice.source, c.source);
    EXPECT_EQ(choice.folder, expected[c.folder]);
    EXPECT_EQ(!choice.notes.empty(), c.noted);
    if (c.source == Source::UserArena && c.haveDefault) {
      EXPECT_EQ(choice.copied, std::vector<std::string>{"map.txt"});
      EXPECT_EQ(Read(choice.folder / "map.txt"), "map");
    }
    // What is in the way is left as it was.
    if (!c.inTheWay.empty()) {
      EXPECT_EQ(Read(dir.Path() / c.inTheWay), "in the way");
    }
  }
}

TEST(UserArenaTest, KeepsWhatThePlayerHasAndAddsWhatIsNew) {
  test::TempDir dir;
  Ship(dir, "map.txt", "map 1");
  Ship(dir, "hunter.prg", "hunter 1");
  Ship(dir, "sniper.prg", "sniper 1");
  const fs::path defaults = dir.Path() / "default";
  const fs::path mine = dir.Path() / "data/kivora/arena";
  dir.Write("data/kivora/arena/sniper.prg", "the player's sniper");  // there before the first start

  // First start: everything the player does not have, writable by them.
  ArenaUpdate first = UpdateUserArena(mine, defaults);
  EXPECT_TRUE(first.usable);
  EXPECT_TRUE(first.problems.empty());
  EXPECT_EQ(first.copied, (std::vector<std::string>{"hunter.prg", "map.txt"}));
  EXPECT_EQ(Read(mine / "sniper.prg"), "the player's sniper");
  EXPECT_EQ(Read(mine / "hunter.prg"), "hunter 1");
  EXPECT_EQ(::access((mine / "hunter.prg").c_str(), W_OK), 0);
  EXPECT_NE(fs::status(mine / "hunter.prg").permissions() & fs::perms::owner_write, fs::perms::none);

  // The player plays: changes one, deletes one, adds one. A new version
  // changes a file and adds two.
  dir.Write("data/kivora/arena/hunter.prg", "the player's hunter");
  fs::remove(mine / "map.txt");
  dir.Write("data/kivora/arena/own.spc", "own");
  fs::permissions(defaults / "hunter.prg", fs::perms::owner_write, fs::perm_options::add);
  Ship(dir, "hunter.prg", "hunter 2");
  Ship(dir, "new.prg", "new");
  Ship(dir, "own.spc", "shipped own");

  ArenaUpdate second = UpdateUserArena(mine, defaults);
  EXPECT_TRUE(second.problems.empty());
  EXPECT_EQ(second.copied, std::vector<std::string>{"new.prg"});
  EXPECT_EQ(Read(mine / "hunter.prg"), "the player's hunter");
  EXPECT_EQ(Read(mine / "own.spc"), "own");
  EXPECT_FALSE(fs::exists(mine / "map.txt")) << "a deleted default file came back";
  EXPECT_EQ(Names(mine), (std::set<std::string>{std::string(kShippedListName), "hunter.prg", "new.prg", "own.spc",
                                                "sniper.prg"}));

  // Nothing new: nothing copied, nothing written.
  EXPECT_TRUE(UpdateUserArena(mine, defaults).copied.empty());

  // Without the list every missing default file is offered again.
  fs::remove(mine / std::string(kShippedListName));
  ArenaUpdate third = UpdateUserArena(mine, defaults);
  EXPECT_EQ(third.copied, std::vector<std::string>{"map.txt"});
  EXPECT_EQ(Read(mine / "hunter.prg"), "the player's hunter");
}

}  // namespace
}  // namespace kivora
