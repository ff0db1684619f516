// Giving a unit its program from a file: where it starts, what a reload
// keeps and what a file that cannot be read leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lang/Command.h"
#include "sim/LoadProgram.h"
#include "support/SimTestSupport.h"
#include "sim/WorldStep.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

using test::PlainSpec;
using test::TempDir;
using test::TestField;

// The program as the sheet would list it: each command's text in file order.
std::vector<std::string> Listing(const EE& unit) {
  std::vector<std::string> out;
  for (Command* c = unit.firstCommand; c != nullptr; c = c->textNext) out.push_back(c->Describe());
  return out;
}

class LoadProgramTest : public ::testing::Test {
protected:
  TempDir dir;
  OKEspec spec = PlainSpec();
  TestField t;

  std::string Write(const std::string& name, const std::string& text) {
    return dir.Write(name, text).string();
  }
};

TEST_F(LoadProgramTest, StartsAtTheFirstCommand) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  LoadProgram(*u, Write("a.prg", "# walker\r\n:top\r\nFORWARD\r\nbogus line\r\nTURNLEFT\r\n>top\r\n"));
  EXPECT_EQ(Listing(*u), (std::vector<std::string>{"FORWARD", "TURNLEFT"}));
  EXPECT_EQ(u->currentCommand, u->firstCommand);
  EXPECT_EQ(u->DescribeCommand(), "FORWARD");
  // The jump line closes the loop.
  EXPECT_EQ(u->firstCommand->textNext->next, u->firstCommand);
}

TEST_F(LoadProgramTest, ReloadingRestartsAndKeepsTheVariables) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  const std::string counter = Write("count.prg", "VAR,A+1\nVAR,B+2\n");
  LoadProgram(*u, counter);
  WorldStep(t.field);  // level 1: one command per tick
  EXPECT_EQ(u->GetVar('A'), 1);
  EXPECT_EQ(u->DescribeCommand(), "VAR:B+2");

  LoadProgram(*u, counter);
  EXPECT_EQ(u->DescribeCommand(), "VAR:A+1");
  WorldStep(t.field);
  WorldStep(t.field);
  EXPECT_EQ(u->GetVar('A'), 2);
  EXPECT_EQ(u->GetVar('B'), 2);
  EXPECT_EQ(u->currentCommand, nullptr);  // ended after its last command
  EXPECT_EQ(u->DescribeCommand(), "-");
}

TEST_F(LoadProgramTest, WhatLeavesTheUnitWithoutAProgram) {
  OKE* u = t.Unit(spec, 1, 0, 0);
  const std::string good = Write("good.prg", "FORWARD\n");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"missing file", (dir.Path() / "missing.prg").string()},
      {"directory", dir.MakeDir("dir.prg").string()},
      {"empty file", Write("empty.prg", "")},
      {"comments and labels only", Write("labels.prg", "# x\n:a\n>a\n  # indented\n")},
  };
  for (const auto& [what, file] : cases) {
    LoadProgram(*u, good);
    ASSERT_NE(u->firstCommand, nullptr);
    LoadProgram(*u, file);
    EXPECT_EQ(u->firstCommand, nullptr) << what;
    EXPECT_EQ(u->currentCommand, nullptr) << what;
  }
  LoadProgram(*u, good);
  LoadProgram(*u, std::filesystem::path());  // no file at all
  EXPECT_EQ(u->firstCommand, nullptr);
  EXPECT_EQ(u->currentCommand, nullptr);
}

// The loop of a hunter: walk, look, shoot when something is in sight, walk
// again. The commands run in the order the labels and jump lines give them.
TEST_F(LoadProgramTest, LabelsAndJumpLinesDecideTheOrderOfExecution) {
  spec.level = 1;
  OKE* u = t.Unit(spec, 1, 0, 0);
  const std::string hunter = ":top\nFORWARD\nSEARCHE,300(0,60),shoot\n>top\n:shoot\nFIRE,300(0,60)\n>top\n";
  LoadProgram(*u, Write("hunter.prg", hunter));
  std::vector<std::string> seen;
  // Nothing in sight: FORWARD and SEARCHE alternate.
  for (int i = 0; i < 4; ++i) {
    seen.push_back(u->DescribeCommand());
    u->RunProgram(1, t.field);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"FORWARD", "SEARCHE:300(0,60)", "FORWARD", "SEARCHE:300(0,60)"}));
  // An enemy ahead: SEARCHE leads to FIRE and FIRE back to the top.
  t.Unit(spec, 0, 0, 10000);
  seen.clear();
  for (int i = 0; i < 4; ++i) {
    seen.push_back(u->DescribeCommand());
    u->RunProgram(1, t.field);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"FORWARD", "SEARCHE:300(0,60)", "FIRE:300(0,60)", "FORWARD"}));
}

// A unit runs as many commands a tick as its level says, at most six, and a
// program that reaches its end stays ended.
TEST_F(LoadProgramTest, CommandsPerTickFollowTheLevel) {
  const std::string loop = Write("loop.prg", ":top\nVAR,A+1\n>top\n");
  const std::string once = Write("once.prg", "VAR,A+1\nVAR,A+1\nVAR,A+1\n");
  const std::vector<std::pair<std::int32_t, std::int32_t>> levels = {{0, 0}, {1, 1}, {3, 3}, {6, 6}, {9, 6}, {-2, 0}};
  for (const auto& [level, perTick] : levels) {
    spec.level = level;
    OKE* u = t.Unit(spec, 1, 0, 0);
    OKE* v = t.Unit(spec, 0, 0, 0);
    LoadProgram(*u, loop);
    LoadProgram(*v, once);
    WorldStep(t.field);
    WorldStep(t.field);
    EXPECT_EQ(u->GetVar('A'), 2 * perTick) << level;
    EXPECT_EQ(v->GetVar('A'), std::min(3, 2 * perTick)) << level;
  }
}

// Two commands of a level-2 unit run in one tick: the second request is
// judged against the state the first one set.
TEST_F(LoadProgramTest, BothCommandsOfALevelTwoUnitRunInOneTick) {
  spec.level = 2;
  spec.durations[kForward] = 4;
  OKE* u = t.Unit(spec, 1, 0, 0);
  LoadProgram(*u, Write("walk.prg", "FORWARD\nTURNLEFT\nSTOP\n"));
  WorldStep(t.field);
  EXPECT_EQ(u->state, kForward);  // the turn was refused: the walk's countdown runs
  EXPECT_EQ(u->DescribeCommand(), "STOP");
  EXPECT_EQ(u->y, 100);
}

}  // namespace
}  // namespace kivora
