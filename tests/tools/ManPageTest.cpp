// Every option a program's usage names is in its man page.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "kivora-arena/ArenaOptions.h"
#include "game/GameOptions.h"
#include "kivora-check/ProgramCheck.h"
#include "kivora-tournament/TournamentOptions.h"
#include "viewer/ViewerUsage.h"

namespace kivora {
namespace {

std::set<std::string> Options(const std::string& text, const std::regex& pattern) {
  std::set<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
    found.insert((*it)[1]);
  return found;
}

TEST(ManPageTest, NamesEveryOption) {
  std::ostringstream out, err;
  RunProgramCheck({}, out, err);
  const struct {
    const char* page;
    std::string usage;
  } programs[] = {
      {"kivora-arena.1", kArenaUsage},
      {"kivora-check.1", err.str()},
      {"kivora-tournament.1", kTournamentUsage},
      {"kivora.6", kGameUsage},
      {"kivora-viewer.1", kViewerUsage},
  };
  for (const auto& p : programs) {
    SCOPED_TRACE(p.page);
    std::ifstream in(std::string(KIVORA_SOURCE_DIR) + "/man/" + p.page + ".scd");
    ASSERT_TRUE(in);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // In the page an option is an item of its own: "*--ticks* _N_" at the start of a line.
    const std::set<std::string> documented = Options(page, std::regex(R"((?:^|\n)\*(--?[a-z-]+)\*)"));
    const std::set<std::string> used = Options(p.usage, std::regex(R"((?:^|[\s\[])(--[a-z][a-z-]*))"));
    ASSERT_FALSE(used.empty());
    for (const std::string& option : used) EXPECT_TRUE(documented.count(option)) << option << " is not in the page";
  }
}

}  // namespace
}  // namespace kivora
