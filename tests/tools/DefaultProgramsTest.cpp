// The programs in arena/ are what a new player equips first and what the
// rival picks from. Each must load without a dropped line or an unknown
// label (the game would skip them in silence), name itself on its first line
// (the software dialog shows that line), and together they show every
// keyword of the language.
#include "kivora-check/ProgramCheck.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace kivora {
namespace {

namespace fs = std::filesystem;

TEST(DefaultProgramsTest, LoadCleanNameThemselvesAndUseEveryKeyword) {
  std::set<std::string> used;
  int programs = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KIVORA_SOURCE_DIR) / "arena")) {
    if (entry.path().extension() != ".prg") continue;
    ++programs;
    const std::string name = entry.path().filename().string();
    std::ostringstream out, err;
    EXPECT_EQ(RunProgramCheck({entry.path().string()}, out, err), 0) << out.str();

    std::ifstream in(entry.path(), std::ios::binary);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (first) {
        EXPECT_TRUE(line.size() > 1 && line[0] == '#') << name << ": the first line names the program";
      }
      first = false;
      if (line.empty() || line[0] == '#' || line[0] == ':' || line[0] == '>') continue;
      std::string keyword = line.substr(0, line.find_first_of("\t, "));
      if (keyword != "NOP" && keyword != "-") {
        for (char& c : keyword) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
      used.insert(keyword);
    }
    EXPECT_FALSE(first) << name << " is empty";
  }
  ASSERT_GT(programs, 0) << "no program in arena/";
  const std::set<std::string> all = {
      "NOP",     "-",       "FORWARD", "BACKWARD", "LEFT",    "RIGHT",   "STOP",   "JUMPFORWARD", "JUMPBACKWARD",
      "JUMPLEFT", "JUMPRIGHT", "TURNLEFT", "TURNRIGHT", "FIRE", "FIGHT",  "PRONE",  "GET",         "SEARCHE",
      "SEARCHF", "SEARCHO", "SEARCHB", "SEARCHP",  "VAR",     "COND",    "RANDOM", "REMAIN",      "GETINFO"};
  ASSERT_EQ(all.size(), 27u);
  EXPECT_EQ(used, all);
}

}  // namespace
}  // namespace kivora
