#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/GameOptions.h"

namespace kivora {
namespace {

TEST(GameOptionsTest, Arguments) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    bool help, version;
    const char* folder;  // nullptr: none
  };
  const Case cases[] = {
      {{}, true, false, false, nullptr},
      {{"arena"}, true, false, false, "arena"},
      {{"--help"}, true, true, false, nullptr},
      {{"-h"}, true, true, false, nullptr},
      {{"--version"}, true, false, true, nullptr},
      {{"--", "--help"}, true, false, false, "--help"},
      {{"-"}, true, false, false, "-"},
      {{"--arena"}, false, false, false, nullptr},
      {{"-x"}, false, false, false, nullptr},
      {{"a", "b"}, false, false, false, nullptr},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + ' ';
    SCOPED_TRACE(joined);
    std::string error;
    const auto options = ParseGameOptions(c.args, error);
    ASSERT_EQ(options.has_value(), c.ok);
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(options->help, c.help);
    EXPECT_EQ(options->version, c.version);
    EXPECT_EQ(options->folder.has_value(), c.folder != nullptr);
    if (c.folder) {
      EXPECT_EQ(*options->folder, c.folder);
    }
  }
}

}  // namespace
}  // namespace kivora
