#include "lang/Command.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

namespace kivora {
namespace {

// One command line, and what the factory makes of it: nullptr `describe`
// means the line is dropped.
struct LineCase {
  const char* line;
  const char* describe;
  const char* label;
};

class CreateCommandTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CreateCommandTest, AcceptsOrDropsAndDescribes) {
  const LineCase& c = GetParam();
  std::string label = "stale";
  std::unique_ptr<Command> command = CreateCommand(c.line, label);
  if (c.describe == nullptr) {
    EXPECT_EQ(command, nullptr) << "accepted as " << command->Describe();
    return;
  }
  ASSERT_NE(command, nullptr) << "dropped";
  EXPECT_STREQ(command->Describe(), c.describe);
  EXPECT_EQ(label, c.label);
  if (*c.label != '\0') EXPECT_STREQ(command->JumpLabel(), c.label);
  else EXPECT_EQ(command->JumpLabel(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Lines, CreateCommandTest, ::testing::Values(
    // Keywords: NOP exact, the rest in any case; nothing before the keyword.
    LineCase{"nop", nullptr, ""},
    LineCase{"NOP", "NOP", ""},
    LineCase{"-", "NOP", ""},
    LineCase{"-x", nullptr, ""},
    LineCase{"forward", "FORWARD", ""},
    LineCase{"FORWARD,whatever 12", "FORWARD", ""},
    LineCase{"Backward", "BACKWARD", ""},
    LineCase{"left", "LEFT", ""},
    LineCase{"RIGHT", "RIGHT", ""},
    LineCase{"stop", "STOP", ""},
    LineCase{"jumpForward", "JUMPFORWARD", ""},
    LineCase{"JUMPBACKWARD", "JUMPBACKWARD", ""},
    LineCase{"JUMPLEFT x", "JUMPLEFT", ""},
    LineCase{"jumpright", "JUMPRIGHT", ""},
    LineCase{"TurnLeft", "TURNLEFT", ""},
    LineCase{"TURNRIGHT\tnow", "TURNRIGHT", ""},
    LineCase{"FIGHT xyz", "FIGHT", ""},
    LineCase{"prone", "PRONE", ""},
    LineCase{"get", "GET", ""},
    LineCase{" FORWARD", nullptr, ""},
    LineCase{"\tFORWARD", nullptr, ""},
    LineCase{",FORWARD", nullptr, ""},
    LineCase{"FORWARDS", nullptr, ""},
    LineCase{"CANCEL", nullptr, ""},
    LineCase{"", nullptr, ""},
    // FIRE: exactly one comma after the keyword, ranges checked.
    LineCase{"FIRE,10(0,30)", "FIRE:10(0,30)", ""},
    LineCase{"fire, 10( 0, 30)", "FIRE:10(0,30)", ""},
    LineCase{"FIRE,10(0,30) and more", "FIRE:10(0,30)", ""},
    LineCase{"FIRE,+10(-0,+30)", "FIRE:10(0,30)", ""},
    LineCase{"FIRE,10 (0,30)", nullptr, ""},
    LineCase{"FIRE 10(0,30)", nullptr, ""},
    LineCase{"FIRE ,10(0,30)", nullptr, ""},
    LineCase{"FIRE,10(0 ,30)", nullptr, ""},
    LineCase{"FIRE,10(0,30", "FIRE:10(0,30)", ""},
    LineCase{"FIRE,10(-179,1)", "FIRE:10(-179,1)", ""},
    LineCase{"FIRE,0(180,360)", "FIRE:0(180,360)", ""},
    LineCase{"FIRE,10(-180,30)", nullptr, ""},
    LineCase{"FIRE,10(181,30)", nullptr, ""},
    LineCase{"FIRE,10(0,0)", nullptr, ""},
    LineCase{"FIRE,10(0,361)", nullptr, ""},
    LineCase{"FIRE,-1(0,30)", nullptr, ""},
    LineCase{"FIRE,2147483647(0,30)", "FIRE:2147483647(0,30)", ""},
    LineCase{"FIRE", nullptr, ""},
    // The five searches.
    LineCase{"SEARCHE,500(0,90),found", "SEARCHE:500(0,90)", "found"},
    LineCase{"searchf,1(-179,360),a b", "SEARCHF:1(-179,360)", "a"},
    LineCase{"SEARCHO,0(180,1),x,y", "SEARCHO:0(180,1)", "x"},
    LineCase{"SEARCHB,20(10,20),\x83\x8b\x81[\x83v", "SEARCHB:20(10,20)", "\x83\x8b\x81[\x83v"},
    LineCase{"SEARCHP,20(10,20),p\tq", "SEARCHP:20(10,20)", "p"},
    LineCase{"SEARCHE,500(0,90)", nullptr, ""},
    LineCase{"SEARCHE,500(0,90),", nullptr, ""},
    LineCase{"SEARCHE,500(0,90), found", nullptr, ""},
    LineCase{"SEARCHE,500(0,90)found", nullptr, ""},
    LineCase{"SEARCHE,500(0,0),found", nullptr, ""},
    LineCase{"SEARCHE,-5(0,10),found", nullptr, ""},
    LineCase{"SEARCHX,500(0,90),found", nullptr, ""},
    // VAR: constant form takes any character, variable form letters only.
    LineCase{"VAR,a+b", "VAR:A+B", ""},
    LineCase{"VAR,A=-5", "VAR:A=-5", ""},
    LineCase{"VAR,z%-2", "VAR:Z%-2", ""},
    LineCase{"VAR,A-5", "VAR:A-5", ""},
    LineCase{"VAR,A--5", "VAR:A--5", ""},
    LineCase{"VAR,A* 3", "VAR:A*3", ""},
    LineCase{"VAR,B/c", "VAR:B/C", ""},
    LineCase{"VAR,B%C", "VAR:B%C", ""},
    LineCase{"VAR,1=5", "VAR:1=5", ""},
    LineCase{"VAR,1=B", nullptr, ""},
    LineCase{"VAR,A=1", "VAR:A=1", ""},
    LineCase{"VAR,A=", nullptr, ""},
    LineCase{"VAR, A=5", nullptr, ""},
    LineCase{"VAR,A", nullptr, ""},
    LineCase{"VAR,A<5", nullptr, ""},
    LineCase{"VAR,A=[", nullptr, ""},
    // COND: the comparison always carries its trailing =.
    LineCase{"COND,A<5,x", nullptr, ""},
    LineCase{"COND,a>=10,x", "COND:A>=10", "x"},
    LineCase{"COND,A==B,x", "COND:A==B", "x"},
    LineCase{"COND,q!=r,lbl", "COND:Q!=R", "lbl"},
    LineCase{"COND,A<=-3,x", "COND:A<=-3", "x"},
    LineCase{"COND,A== 5,x", "COND:A==5", "x"},
    LineCase{"COND,#==5,x", "COND:#==5", "x"},
    LineCase{"COND,A== B,x", nullptr, ""},
    LineCase{"COND,A==1B,x", nullptr, ""},
    LineCase{"COND,1==B,x", nullptr, ""},
    LineCase{"COND,A==5", nullptr, ""},
    LineCase{"COND,A==B", nullptr, ""},
    LineCase{"COND,A==5, x", nullptr, ""},
    // REMAIN, RANDOM.
    LineCase{"REMAIN,<=0,reload", "REMAIN:<=0", "reload"},
    LineCase{"REMAIN,==3,r", "REMAIN:==3", "r"},
    LineCase{"REMAIN,!=3,r", "REMAIN:!=3", "r"},
    LineCase{"REMAIN,>=-1,r", "REMAIN:>=-1", "r"},
    LineCase{"REMAIN,<0,r", nullptr, ""},
    LineCase{"REMAIN,<=0", nullptr, ""},
    LineCase{"RANDOM,1/3,x", "RANDOM:1/3", "x"},
    LineCase{"RANDOM,5/0,x", "RANDOM:5/0", "x"},
    LineCase{"RANDOM,-1/-7,x", "RANDOM:-1/-7", "x"},
    LineCase{"RANDOM,1/3", nullptr, ""},
    LineCase{"RANDOM,1,x", nullptr, ""},
    // GETINFO: the items are X, Y, DIR and WEAPON, in any case.
    LineCase{"GETINFO,b=dir", "GETINFO:B=SELFDIR", ""},
    LineCase{"GETINFO,A=x", "GETINFO:A=SELFX", ""},
    LineCase{"GETINFO,A=Y junk", "GETINFO:A=SELFY", ""},
    LineCase{"GETINFO,A=Weapon", "GETINFO:A=WEAPON", ""},
    LineCase{"GETINFO,7=X", "GETINFO:7=SELFX", ""},
    LineCase{"GETINFO,B=SELFX", nullptr, ""},
    LineCase{"GETINFO,B=", nullptr, ""},
    LineCase{"GETINFO,B= X", nullptr, ""},
    LineCase{"GETINFO,BB=X", nullptr, ""}));

// Words that do not fit their 256-byte buffer drop the line; 255 bytes fit.
TEST(CreateCommandWordTest, WordsUpTo255BytesFitLongerOnesDropTheLine) {
  const std::string fits(255, 'w');
  const std::string tooLong(256, 'w');
  const std::string huge(5000, 'w');
  std::string label;
  struct Case {
    std::string line;
    bool accepted;
  };
  const Case cases[] = {
      {"SEARCHE,1(0,90)," + fits, true},
      {"SEARCHE,1(0,90)," + fits + ",more", true},
      {"SEARCHE,1(0,90)," + tooLong, false},
      {"SEARCHE,1(0,90)," + huge + " x", false},
      {"RANDOM,1/2," + fits, true},
      {"RANDOM,1/2," + tooLong, false},
      {"REMAIN,==1," + tooLong, false},
      {"COND,A==1," + fits, true},
      {"COND,A==1," + tooLong, false},
      {"COND,A==B," + tooLong, false},
      {"GETINFO,A=" + huge, false},
      {"GETINFO,A=X" + tooLong, false},
      {huge, false},
      {"FORWARD" + huge, false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Command> command = CreateCommand(c.line.c_str(), label);
    EXPECT_EQ(command != nullptr, c.accepted) << c.line.substr(0, 40) << "... (" << c.line.size() << " bytes)";
    if (command && command->JumpLabel() != nullptr) {
      EXPECT_EQ(label, fits);
    }
  }
}

TEST(CreateCommandFieldsTest, StoresTheCodesTheExecutionUses) {
  std::string label;
  auto var = CreateCommand("VAR,a%b", label);
  auto* v = dynamic_cast<CommandVar*>(var.get());
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->variable, 'A');
  EXPECT_EQ(v->sourceVariable, 'B');
  EXPECT_EQ(v->op, 11);

  auto cvar = CreateCommand("VAR,c*-4", label);
  auto* cv = dynamic_cast<CommandVar*>(cvar.get());
  ASSERT_NE(cv, nullptr);
  EXPECT_EQ(cv->variable, 'C');
  EXPECT_EQ(cv->value, -4);
  EXPECT_EQ(cv->op, 3);

  struct CondCase {
    const char* line;
    int op;
  };
  const CondCase conds[] = {{"COND,A==1,x", 0}, {"COND,A!=1,x", 1}, {"COND,A>=1,x", 2}, {"COND,A<=1,x", 3},
                            {"COND,A==B,x", 4}, {"COND,A!=B,x", 5}, {"COND,A>=B,x", 6}, {"COND,A<=B,x", 7}};
  for (const CondCase& c : conds) {
    auto cmd = CreateCommand(c.line, label);
    auto* cond = dynamic_cast<CommandVarCond*>(cmd.get());
    ASSERT_NE(cond, nullptr) << c.line;
    EXPECT_EQ(cond->op, c.op) << c.line;
  }

  auto fire = CreateCommand("FIRE,300(-45,60)", label);
  auto* f = dynamic_cast<CommandFire*>(fire.get());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->range, 300);
  EXPECT_EQ(f->angle, -45);
  EXPECT_EQ(f->width, 60);

  EXPECT_NE(dynamic_cast<CommandSearchBullette*>(CreateCommand("searchb,1(0,1),l", label).get()), nullptr);
  EXPECT_NE(dynamic_cast<CommandSearchParts*>(CreateCommand("SEARCHP,1(0,1),l", label).get()), nullptr);
  auto info = CreateCommand("GETINFO,w=weapon", label);
  auto* gi = dynamic_cast<CommandGetInfo*>(info.get());
  ASSERT_NE(gi, nullptr);
  EXPECT_EQ(gi->variable, 'W');
  EXPECT_EQ(gi->item, CommandGetInfo::WEAPON);
}

// A refused line says why, in the words the checker prints.
TEST(CreateCommandReasonTest, NamesTheFault) {
  struct Case {
    const char* line;
    const char* reason;
  };
  const Case cases[] = {
      {" FORWARD", "no keyword: the line starts with white space"},
      {",x", "no keyword: the line starts with a comma"},
      {"CANCEL", "unknown keyword CANCEL"},
      {"nop", "unknown keyword nop (NOP is written in capitals)"},
      {"FIRE 10(0,30)", "expected FIRE,RANGE(ANGLE,WIDTH)"},
      {"FIRE,10(-180,30)", "angle must be -179..180"},
      {"FIRE,10(0,361)", "width must be 1..360"},
      {"FIRE,-1(0,30)", "range must be 0 or more"},
      {"searchp,10(0,30)", "expected a comma and a label"},
      {"SEARCHE,10(0,30), x", "no label after the comma"},
      {"SEARCHE,10(0,0),x", "width must be 1..360"},
      {"SEARCHE 10(0,30),x", "expected SEARCHE,RANGE(ANGLE,WIDTH),LABEL"},
      {"RANDOM,1/2", "expected a comma and a label"},
      {"RANDOM,1,x", "expected RANDOM,N/D,LABEL"},
      {"REMAIN,<0,x", "a comparison is written ==, !=, >= or <="},
      {"REMAIN,<=0,", "no label after the comma"},
      {"VAR,1=B", "variables are the letters A to Z"},
      {"VAR, A=5", "expected VAR,X=NUMBER or VAR,X=Y (operators = + - * / %)"},
      {"COND,A<5,x", "a comparison is written ==, !=, >= or <="},
      {"COND,A==B", "expected a comma and a label"},
      {"COND,A==5,", "no label after the comma"},
      {"COND,A==!,x", "variables are the letters A to Z"},
      {"GETINFO,B=SELFX", "unknown item SELFX (X, Y, DIR or WEAPON)"},
      {"GETINFO B=X", "expected GETINFO,X=ITEM"},
  };
  std::string label;
  auto reason = [&label](const std::string& line) {
    std::string why;
    EXPECT_EQ(CreateCommand(line.c_str(), label, &why), nullptr) << line;
    return why;
  };
  for (const Case& c : cases) EXPECT_EQ(reason(c.line), c.reason) << c.line;
  EXPECT_EQ(reason("SEARCHE,1(0,1)," + std::string(300, 'x')), "label longer than 255 bytes");
  EXPECT_EQ(reason(std::string(300, 'K')), "keyword longer than 255 bytes");
  EXPECT_EQ(reason(""), "no keyword");
}

// Anything the reader can hand over (any byte but NUL, up to a 2048-byte
// piece) must be safe to parse and to describe.
TEST(CreateCommandJunkTest, AnyBytesAreSafe) {
  std::string label;
  for (int first = 1; first < 256; ++first) {
    for (const char* rest : {"", ",", ",1(2,3),", "=\xff", ",%%%n%s", ",\x81"}) {
      for (const char* keyword : {"", "VAR", "COND", "GETINFO", "REMAIN", "SEARCHE"}) {
        std::string line = std::string(keyword) + rest + static_cast<char>(first) + "==1,\x82";
        auto command = CreateCommand(line.c_str(), label);
        if (command) {
          EXPECT_NE(command->Describe(), nullptr);
        }
      }
    }
  }
}

}  // namespace
}  // namespace kivora
