#include "lang/DropReason.h"

#include <gtest/gtest.h>

#include "lang/Command.h"

namespace kivora {
namespace {

TEST(DropReasonTest, NamesTheFault) {
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
  for (const Case& c : cases) {
    ASSERT_EQ(CreateCommand(c.line, label), nullptr) << c.line;
    EXPECT_EQ(DropReason(c.line), c.reason) << c.line;
  }
  EXPECT_EQ(DropReason(("SEARCHE,1(0,1)," + std::string(300, 'x')).c_str()), "label longer than 255 bytes");
  EXPECT_EQ(DropReason(std::string(300, 'K').c_str()), "keyword longer than 255 bytes");
}

}  // namespace
}  // namespace kivora
