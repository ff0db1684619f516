#include "lang/ProgramCopy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "lang/Command.h"
#include "lang/ProgramReader.h"

namespace kivora {
namespace {

// The chain as text: each command's description and where its links point,
// as indices along textNext.
std::string Shape(Command* first) {
  std::string text;
  for (Command* c = first; c; c = c->textNext) {
    auto index = [&](const Command* link) {
      const auto at = CommandIndex(first, link);
      return link == nullptr ? std::string("-") : at ? std::to_string(*at) : std::string("outside");
    };
    text += std::string(c->Describe()) + " next=" + index(c->next) + " jump=" + index(c->jumpTarget) + "\n";
  }
  return text;
}

// A copy describes itself as the original does, links within itself, and
// shares no command with it: the game's own programs, every kind of command
// among them.
TEST(ProgramCopyTest, TheCopyIsTheSameProgramOnItsOwnCommands) {
  for (const char* name : {"brawler.prg", "collector.prg", "dodger.prg", "guard.prg", "hunter.prg", "sniper.prg",
                           "wanderer.prg"}) {
    CommandChain original = ReadProgram(std::string(KIVORA_SOURCE_DIR) + "/arena/" + name);
    ASSERT_TRUE(original.First()) << name;
    CommandChain copy = CopyProgram(original.First());
    EXPECT_EQ(Shape(copy.First()), Shape(original.First())) << name;
    EXPECT_EQ(Shape(copy.First()).find("outside"), std::string::npos) << name;
    std::vector<const Command*> mine;
    for (const Command* c = original.First(); c; c = c->textNext) mine.push_back(c);
    for (const Command* c = copy.First(); c; c = c->textNext) {
      ASSERT_EQ(std::find(mine.begin(), mine.end(), c), mine.end()) << name;
    }
  }
}

// A link out of the chain is no program the reader makes: refused.
TEST(ProgramCopyTest, ALinkOutOfTheChainIsRefused) {
  CommandChain a = ReadProgram(std::string(KIVORA_SOURCE_DIR) + "/arena/hunter.prg");
  CommandChain b = CopyProgram(a.First());
  Command* kept = a.First()->next;
  a.First()->next = b.First();
  EXPECT_THROW(CopyProgram(a.First()), std::logic_error);
  a.First()->next = kept;
}

}  // namespace
}  // namespace kivora
