#include "kivora-check/ProgramCheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace kivora {
namespace {

struct CheckResult {
  int status;
  std::string out, err;
};

CheckResult Check(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunProgramCheck(args, out, err);
  return {status, out.str(), err.str()};
}

// The same with the files in `dir`: they are named by full path, and the
// folder is taken out of what is printed again, so the results read as if
// the checker had been started in `dir`.
CheckResult CheckIn(const test::TempDir& dir, std::vector<std::string> args) {
  const std::string folder = dir.Path().string() + "/";
  bool files = false;
  for (std::string& arg : args) {
    if (!files && arg == "--") files = true;
    else if (files || arg.empty() || arg[0] != '-') arg = folder + arg;
  }
  CheckResult r = Check(args);
  for (std::size_t at; (at = r.out.find(folder)) != std::string::npos;) r.out.erase(at, folder.size());
  return r;
}

TEST(KivoraCheckTest, ListingDiagnosticsSummaryAndStatus) {
  test::TempDir dir;
  dir.Write("loop.prg", ":top\nFORWARD\nSEARCHE,300(0,60),shoot\n>top\n:shoot\nFIRE,300(0,60)\n>top\n");
  dir.Write("bad.prg",
            "# bad\r\n"
            "SEARCHE,300(0,60),nowhere\r\n"
            ">gone\r\n"
            "FIRE,10(0,361)\r\n"
            "COND,A<5,x\r\n"
            "RANDOM,1/3,nowhere\r\n"
            ":end\r\n"
            "REMAIN,<=0,end\r\n");
  dir.Write("sjis.prg", ":\x8c\x82\nSEARCHE,1(0,9),\x8c\x82\nSEARCHE,1(0,9),\x91\xd2\nVAR,\xb1=1\n");
  dir.Write("empty.prg", "");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
  };
  const Case cases[] = {
      {{"--list", "loop.prg"},
       0,
       "0 L2 FORWARD next=1 jump=-\n"
       "1 L3 SEARCHE:300(0,60) next=0 jump=2\n"
       "2 L6 FIRE:300(0,60) next=0 jump=-\n"
       "loop.prg: 3 commands, 0 dropped, 0 unknown labels\n"},
      {{"loop.prg"}, 0, "loop.prg: 3 commands, 0 dropped, 0 unknown labels\n"},
      {{"bad.prg", "--list"},
       1,
       "0 L2 SEARCHE:300(0,60) next=1 jump=-\n"
       "1 L6 RANDOM:1/3 next=2 jump=-\n"
       "2 L8 REMAIN:<=0 next=- jump=2\n"
       "bad.prg:2: unknown label \"nowhere\"\n"
       "bad.prg:3: unknown label \"gone\"\n"
       "bad.prg:4: dropped: width must be 1..360\n"
       "bad.prg:5: dropped: a comparison is written ==, !=, >= or <=\n"
       "bad.prg:6: unknown label \"nowhere\"\n"
       "bad.prg: 3 commands, 2 dropped, 3 unknown labels\n"},
      {{"--list", "sjis.prg"},
       1,
       "0 L2 SEARCHE:1(0,9) next=1 jump=0\n"
       "1 L3 SEARCHE:1(0,9) next=2 jump=-\n"
       "2 L4 VAR:\xEF\xBD\xB1=1 next=- jump=-\n"
       "sjis.prg:3: unknown label \"\xE5\xBE\x85\"\n"
       "sjis.prg: 3 commands, 0 dropped, 1 unknown labels\n"},
      {{"missing.prg", "empty.prg"},
       2,
       "missing.prg: cannot open\n"
       "empty.prg: 0 commands, 0 dropped, 0 unknown labels\n"},
      {{"bad.prg", "missing.prg", "loop.prg"},
       2,
       "bad.prg:2: unknown label \"nowhere\"\n"
       "bad.prg:3: unknown label \"gone\"\n"
       "bad.prg:4: dropped: width must be 1..360\n"
       "bad.prg:5: dropped: a comparison is written ==, !=, >= or <=\n"
       "bad.prg:6: unknown label \"nowhere\"\n"
       "bad.prg: 3 commands, 2 dropped, 3 unknown labels\n"
       "missing.prg: cannot open\n"
       "loop.prg: 3 commands, 0 dropped, 0 unknown labels\n"},
      {{"--", "--list"}, 2, "--list: cannot open\n"},
      {{"."}, 2, ".: cannot open\n"},
  };
  for (const Case& c : cases) {
    const CheckResult r = CheckIn(dir, c.args);
    EXPECT_EQ(r.status, c.status) << c.args[0];
    EXPECT_EQ(r.out, c.out) << c.args[0];
    EXPECT_EQ(r.err, "") << c.args[0];
  }
}

TEST(KivoraCheckTest, ShiftJisFileNamesAreShownInUtf8) {
  test::TempDir dir;
  dir.Write("\x8c\x82.prg", "NOP\n");
  const CheckResult r = CheckIn(dir, {"\x8c\x82.prg"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\xE6\x92\x83.prg: 1 commands, 0 dropped, 0 unknown labels\n");
}

TEST(KivoraCheckTest, BadArgumentsPrintUsage) {
  const std::vector<std::vector<std::string>> cases = {{}, {"--list"}, {"--lists", "a.prg"}, {"a.prg", "-l"}};
  for (const auto& args : cases) {
    const CheckResult r = Check(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: kivora-check [--list] FILE.prg..."), std::string::npos);
  }
}

// The installed program passes the exit status on.
TEST(KivoraCheckTest, TheProgramExitsWithTheStatus) {
  const std::filesystem::path tool = std::filesystem::path(KIVORA_BINARY_DIR) / "tools" / "kivora-check";
  if (!std::filesystem::exists(tool)) GTEST_SKIP() << "kivora-check not built";
  test::TempDir dir;
  const auto good = dir.Write("good.prg", "NOP\n");
  const auto bad = dir.Write("bad.prg", "nop\n");
  struct Case {
    std::string args;
    int status;
  };
  const Case cases[] = {{good.string(), 0}, {bad.string(), 1}, {(dir.Path() / "x.prg").string(), 2}, {"", 2}};
  for (const Case& c : cases) {
    const std::string command = "'" + tool.string() + "' " + (c.args.empty() ? "" : "'" + c.args + "'") + " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    EXPECT_EQ(WEXITSTATUS(raw), c.status) << command;
  }
}

}  // namespace
}  // namespace kivora
