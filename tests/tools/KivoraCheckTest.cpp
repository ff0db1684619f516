#include "kivora-check/ProgramCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/TextCodec.h"
#include "sim/OKEspec.h"
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

TEST(KivoraCheckTest, HelpOnStandardOutputUsageOnStandardErrorForBadArguments) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {{{}, 2}, {{"--list"}, 2}, {{"--lists", "a.prg"}, 2}, {{"a.prg", "-l"}, 2}, {{"-w", "a.prg"}, 2},
                        {{"--help"}, 0}, {{"-W", "--help", "a.prg"}, 0}};
  for (const Case& c : cases) {
    const CheckResult r = Check(c.args);
    EXPECT_EQ(r.status, c.status);
    if (c.status == 0) {
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(r.out.rfind("usage: kivora-check [--list] [-W] FILE...\n", 0), 0u) << r.out;
      for (const char* mentioned : {".spc", "-W", "--list", "rejected", "warning"})
        EXPECT_NE(r.out.find(mentioned), std::string::npos) << mentioned;
    } else {
      EXPECT_EQ(r.out, "");
      EXPECT_NE(r.err.find("usage: kivora-check [--list] FILE.prg...\n"), std::string::npos) << r.err;
    }
  }
}

// The example and a file of random bytes, as a program and as a
// model, named with control characters too: nothing reaches the terminal
// but text, line feeds and tabs.
TEST(KivoraCheckTest, ControlCharactersAreNeverPrintedRaw) {
  test::TempDir dir;
  dir.Write("esc.prg", "FORWARD\n\x1b]0;owned\x07\x1b[2J\n>\x1b[31mred\n");
  dir.Write("a\x1b[2Jb.prg", "VAR,\x01=5\nVAR,A=B\x9b\n");
  const CheckResult esc = CheckIn(dir, {"--list", "esc.prg", "a\x1b[2Jb.prg"});
  EXPECT_EQ(esc.status, 1);
  EXPECT_EQ(esc.out,
            "0 L1 FORWARD next=- jump=-\n"
            "esc.prg:2: dropped: unknown keyword \\x1b]0;owned\\x07\\x1b[2J\n"
            "esc.prg:3: unknown label \"\\x1b[31mred\"\n"
            "esc.prg: 1 commands, 1 dropped, 1 unknown labels\n"
            "0 L1 VAR:\\x01=5 next=1 jump=-\n"
            "1 L2 VAR:A=B next=- jump=-\n"
            "a\\x1b[2Jb.prg: 2 commands, 0 dropped, 0 unknown labels\n");

  std::mt19937 random(10);
  std::string noise(200000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  noise += "\nVAR,A=B\x1b[2J\nSEARCHE,1(0,9),\x1b]0;x\x07\n:\x1b\n:\x1b\n";  // an ignored text, a label, twice
  dir.Write("noise.prg", noise);
  dir.Write("noise.spc", noise);
  const CheckResult r = CheckIn(dir, {"--list", "-W", "noise.prg", "noise.spc", "\x1b[2J.prg"});
  EXPECT_EQ(r.status, 2);
  const CheckResult bad = Check({"--bad\x1b"});
  for (const std::string* text : {&r.out, &r.err, &bad.err}) {
    for (char c : *text) {
      const auto b = static_cast<unsigned char>(c);
      ASSERT_FALSE((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) << "byte " << int{b};
    }
    EXPECT_EQ(ToUtf8(*text), *text);  // UTF-8 throughout, so no C1 control either
    EXPECT_EQ(text->find("\xC2\x9B"), std::string::npos);
  }
  EXPECT_NE(r.out.find("\\x1b"), std::string::npos);
  EXPECT_NE(r.out.find("\\x1b[2J.prg: cannot open"), std::string::npos);
  EXPECT_NE(bad.err.find("unknown option --bad\\x1b\n"), std::string::npos);
}

// What -W adds is only warning lines: without it the output is the same
// but for them, and so is the status.
void ExpectWarningsOnlyAdd(const test::TempDir& dir, const std::string& file, const CheckResult& warned) {
  const CheckResult plain = CheckIn(dir, {file});
  EXPECT_EQ(plain.status, warned.status) << file;
  std::string kept;
  std::istringstream lines(warned.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(": warning: ") == std::string::npos) kept += line + "\n";
  }
  EXPECT_EQ(plain.out, kept) << file;
}

TEST(KivoraCheckTest, WarningsForPrograms) {
  using namespace std::string_literals;
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string text;
    std::string out;  // with -W, file "p.prg"
  };
  const Case cases[] = {
      {"no command", "# nothing\n:a\n>a\n",
       "p.prg: warning: no command: a unit with this program does nothing\n"
       "p.prg: 0 commands, 0 dropped, 0 unknown labels\n"},
      {"the last command is the end", "FORWARD\nTURNLEFT\n",
       "p.prg:2: warning: the program stops for good after this command\n"
       "p.prg: 2 commands, 0 dropped, 0 unknown labels\n"},
      {"a loop runs for ever; an unreachable end does not count", ":top\nFORWARD\n>top\nNOP\n",
       "p.prg: 2 commands, 0 dropped, 0 unknown labels\n"},
      {"a branch leads out of the loop to an end", ":top\nSEARCHE,100(0,90),shoot\n>top\n:shoot\nFIRE,100(0,90)\n",
       "p.prg:5: warning: the program stops for good after this command\n"
       "p.prg: 2 commands, 0 dropped, 0 unknown labels\n"},
      {"a jump line to a label with nothing after it", ":top\nFORWARD\n>end\nNOP\n>top\n:end\n",
       "p.prg:2: warning: the program stops for good after this command\n"
       "p.prg: 2 commands, 0 dropped, 0 unknown labels\n"},
      {"a branch to a label with nothing after it", ":top\nSEARCHE,1(0,9),end\n>top\n:end\n",
       "p.prg:2: warning: label \"end\" has no command after it: taking this branch stops the program for good\n"
       "p.prg: 1 commands, 0 dropped, 0 unknown labels\n"},
      {"an unknown label is an error, not also a warning", ":top\nSEARCHE,1(0,9),nowhere\n>top\n",
       "p.prg:2: unknown label \"nowhere\"\n"
       "p.prg: 1 commands, 0 dropped, 1 unknown labels\n"},
      {"a label defined twice", ":a\nFORWARD\n:a\n>a\n",
       "p.prg:3: warning: label \"a\" is defined again; its definition on line 1 is the one used\n"
       "p.prg: 1 commands, 0 dropped, 0 unknown labels\n"},
      {"text glued to a complete command, every form; notes after white space are fine",
       ":top\n"
                   "VAR,A=B5\nVAR,A=5x\nVAR,A=5\tnote\nCOND,A==5,top,x\nCOND,a>=b,top,x\n"
                   "FORWARD,10\nFORWARD  a note\nNOP,1\nGET,x\nPRONE,x\nFIGHT,x\nJUMPLEFT,x\nturnright,x\n"
                   "FIRE,10(0,30)\nFIRE,10(0,30\nFIRE,10(0,30))\nFIRE,10(0,30) aim\n"
                   "SEARCHE,1(0,9),top,x\nRANDOM,1/2,top,2\nREMAIN,<=0,top,x\nGETINFO,A=dir,x\n"
                   "FORWARD\0x\n"
                   ">top\n"s,
       "p.prg:2: warning: the game reads VAR:A=B and ignores \"5\"\n"
       "p.prg:3: warning: the game reads VAR:A=5 and ignores \"x\"\n"
       "p.prg:5: warning: the game reads COND:A==5 and ignores \",x\"\n"
       "p.prg:6: warning: the game reads COND:A>=B and ignores \",x\"\n"
       "p.prg:7: warning: the game reads FORWARD and ignores \",10\"\n"
       "p.prg:9: warning: the game reads NOP and ignores \",1\"\n"
       "p.prg:10: warning: the game reads GET and ignores \",x\"\n"
       "p.prg:11: warning: the game reads PRONE and ignores \",x\"\n"
       "p.prg:12: warning: the game reads FIGHT and ignores \",x\"\n"
       "p.prg:13: warning: the game reads JUMPLEFT and ignores \",x\"\n"
       "p.prg:14: warning: the game reads TURNRIGHT and ignores \",x\"\n"
       "p.prg:17: warning: the game reads FIRE:10(0,30) and ignores \")\"\n"
       "p.prg:19: warning: the game reads SEARCHE:1(0,9) and ignores \",x\"\n"
       "p.prg:20: warning: the game reads RANDOM:1/2 and ignores \",2\"\n"
       "p.prg:21: warning: the game reads REMAIN:<=0 and ignores \",x\"\n"
       "p.prg:22: warning: the game reads GETINFO:A=SELFDIR and ignores \",x\"\n"
       "p.prg:23: warning: the game reads FORWARD and ignores \"\\x00x\"\n"
       "p.prg: 22 commands, 0 dropped, 0 unknown labels\n"},
      {"UTF-8 text", ":top\nFORWARD\n# \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\n>top\n",
       "p.prg:3: warning: the file looks like UTF-8 (this is its first line with non-ASCII text); the game reads "
       "Shift-JIS\n"
       "p.prg: 1 commands, 0 dropped, 0 unknown labels\n"},
      {"Shift-JIS text is not UTF-8", "# \x8c\x82\n:top\nFORWARD\n>top\n",
       "p.prg: 1 commands, 0 dropped, 0 unknown labels\n"},
      {"a UTF-8 byte-order mark", "\xEF\xBB\xBF:top\nFORWARD\n>top\n",
       "p.prg:1: warning: the file starts with a UTF-8 byte-order mark, which the game reads as part of line 1\n"
       "p.prg:1: dropped: unknown keyword \xEF\xBB\xBF:top\n"
       "p.prg:2: warning: the program stops for good after this command\n"
       "p.prg:3: unknown label \"top\"\n"
       "p.prg: 1 commands, 1 dropped, 1 unknown labels\n"},
      {"a UTF-16 byte-order mark", "\xFF\xFENOP\n",
       "p.prg:1: warning: the file starts with a UTF-16 byte-order mark; the game reads Shift-JIS\n"
       "p.prg:1: dropped: unknown keyword \xEF\xBF\xBD\xEF\xBF\xBDNOP\n"
       "p.prg: warning: no command: a unit with this program does nothing\n"
       "p.prg: 0 commands, 1 dropped, 0 unknown labels\n"},
      {"carriage returns only: one line", ":top\rFORWARD\r>top\r",
       "p.prg:1: warning: line ends are carriage returns only; the game drops them and reads the file as one line\n"
       "p.prg: warning: no command: a unit with this program does nothing\n"
       "p.prg: 0 commands, 0 dropped, 0 unknown labels\n"},
      {"carriage returns with line feeds are fine", ":top\r\nFORWARD\r\n>top\r\n",
       "p.prg: 1 commands, 0 dropped, 0 unknown labels\n"},
  };
  for (const Case& c : cases) {
    dir.Write("p.prg", c.text);
    const CheckResult r = CheckIn(dir, {"-W", "p.prg"});
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
    ExpectWarningsOnlyAdd(dir, "p.prg", r);
  }
}

// A model line by line, as the game reads it: the checker refuses exactly
// the models the game refuses, first at the line the game stops at, and
// reports every other line the game would refuse as well.
TEST(KivoraCheckTest, ModelsLineByLine) {
  test::TempDir dir;
  auto model = [](std::vector<std::pair<int, std::string>> changes, std::size_t keep = 99, const char* end = "\n") {
    std::vector<std::string> lines = {"4", "500,0,0,0,15\tnote", "80,30", "7,300,20,1", "50,1,9", "12"};
    for (int s = 0; s < 21; ++s) lines.push_back(std::to_string(100 + s));
    for (const auto& [line, text] : changes) {
      if (static_cast<std::size_t>(line) > lines.size()) lines.resize(static_cast<std::size_t>(line));
      lines[static_cast<std::size_t>(line - 1)] = text;
    }
    if (keep < lines.size()) lines.resize(keep);
    std::string text;
    for (const std::string& l : lines) text += l + end;
    return text;
  };
  struct Case {
    const char* name;
    std::string text;
    int status;
    std::string out;  // with -W, file "m.spc"
  };
  const Case cases[] = {
      {"a model the game loads, with notes and a description", model({{28, "\x95\x57\x8f\x80"}}), 0,
       "m.spc: 28 lines, 0 rejected\n"},
      {"every bad line",
       model({{2, "500,0,0 ,0,15"}, {3, "80"}, {7, ""}, {27, "x"}}), 1,
       "m.spc:2: rejected: expected 5 numbers: hit points, three unused, aim turn rate, separated by commas\n"
       "m.spc:3: rejected: expected 2 numbers: armour in hundredths, stagger threshold, separated by commas\n"
       "m.spc:7: rejected: expected 1 number: the ticks of state 0 (\xE9\x9D\x99\xE6\xAD\xA2\xE4\xB8\xAD)\n"
       "m.spc:27: rejected: expected 1 number: the ticks of state 20 (\xE8\xA2\xAB\xE5\xBC\xBE)\n"
       "m.spc: 27 lines, 4 rejected\n"},
      {"too short, and a bad line before the end", model({{5, "50;1;9"}}, 20), 1,
       "m.spc:5: rejected: expected 3 numbers: ammunition, homing (1 = on), homing turn rate, separated by commas\n"
       "m.spc:21: rejected: the file ends after line 20; a model has 27 lines\n"
       "m.spc: 20 lines, 2 rejected\n"},
      {"empty", "", 1,
       "m.spc:1: rejected: the file ends after line 0; a model has 27 lines\n"
       "m.spc: 0 lines, 1 rejected\n"},
      {"text glued to the numbers; numbers after line 27", model({{2, "500,0,0,0,15,3"}, {6, "12abc"},
                                                                 {28, "5"}, {29, "6"}}),
       0,
       "m.spc:2: warning: the game reads 500,0,0,0,15 and ignores \",3\"\n"
       "m.spc:6: warning: the game reads 12 and ignores \"abc\"\n"
       "m.spc:28: warning: the game reads 27 lines; this line and any after it are ignored\n"
       "m.spc: 29 lines, 0 rejected\n"},
      {"a byte-order mark and carriage returns only", "\xEF\xBB\xBF" + model({}, 99, "\r"), 1,
       "m.spc:1: warning: the file starts with a UTF-8 byte-order mark, which the game reads as part of line 1\n"
       "m.spc:1: warning: line ends are carriage returns only; the game drops them and reads the file as one line\n"
       "m.spc:1: rejected: expected 1 number: the level (commands per tick)\n"
       "m.spc:2: rejected: the file ends after line 1; a model has 27 lines\n"
       "m.spc: 1 lines, 2 rejected\n"},
  };
  for (const Case& c : cases) {
    const auto path = dir.Write("m.spc", c.text);
    const CheckResult r = CheckIn(dir, {"-W", "m.spc"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    ExpectWarningsOnlyAdd(dir, "m.spc", r);
    OKEspec record;
    SpecFault fault;
    EXPECT_EQ(LoadSpec(record, path, &fault), c.status == 0) << c.name;
    if (c.status != 0) {
      std::istringstream lines(r.out);
      std::string first;
      while (std::getline(lines, first) && first.find(": rejected: ") == std::string::npos) {}
      EXPECT_EQ(first, "m.spc:" + std::to_string(fault.line) + ": rejected: " + fault.what) << c.name;
    }
  }
  // Any letter case of the extension makes a model; other names are programs.
  dir.Write("M.SpC", model({}));
  EXPECT_EQ(CheckIn(dir, {"M.SpC"}).out, "M.SpC: 27 lines, 0 rejected\n");
  dir.Write("m.spc.prg", "NOP\n");
  EXPECT_EQ(CheckIn(dir, {"m.spc.prg"}).out, "m.spc.prg: 1 commands, 0 dropped, 0 unknown labels\n");
}

// The installed programs pass the exit status on; --help is usage on
// standard output.
TEST(KivoraCheckTest, TheProgramsExitWithTheStatus) {
  const std::filesystem::path tools = std::filesystem::path(KIVORA_BINARY_DIR) / "tools";
  if (!std::filesystem::exists(tools / "kivora-check")) GTEST_SKIP() << "kivora-check not built";
  test::TempDir dir;
  const auto good = dir.Write("good.prg", "NOP\n");
  const auto bad = dir.Write("bad.prg", "nop\n");
  const auto model = dir.Write("bad.Spc", "3\n");
  const auto missing = dir.Path() / "x.prg";
  const auto out = dir.Path() / "out.txt";
  struct Case {
    std::string tool, args;
    int status;
    std::string out;  // how standard output starts
  };
  const Case cases[] = {
      {"kivora-check", "'" + good.string() + "'", 0, good.string() + ": 1 commands"},
      {"kivora-check", "'" + bad.string() + "'", 1, bad.string() + ":1: dropped"},
      {"kivora-check", "'" + model.string() + "'", 1, model.string() + ":2: rejected"},
      {"kivora-check", "'" + missing.string() + "'", 2, missing.string() + ": cannot open\n"},
      {"kivora-check", "", 2, ""},
      {"kivora-check", "--help", 0, "usage: kivora-check "},
      {"kivora-art", "--help", 0, "usage: kivora-art [DIR]\n"},
      {"kivora-art", "-x", 2, ""},
  };
  for (const Case& c : cases) {
    if (!std::filesystem::exists(tools / c.tool)) continue;
    const std::string command =
        "'" + (tools / c.tool).string() + "' " + c.args + " >'" + out.string() + "' 2>/dev/null";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    EXPECT_EQ(WEXITSTATUS(raw), c.status) << command;
    std::ifstream in(out);
    const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(printed.substr(0, c.out.size()), c.out) << command;
    if (c.out.empty()) {
      EXPECT_EQ(printed, "") << command;
    }
  }
}

}  // namespace
}  // namespace kivora
