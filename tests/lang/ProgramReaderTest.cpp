#include "lang/ProgramReader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/CstdFile.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

// The chain as "DESCRIBE next=J jump=K" per command in file order.
std::vector<std::string> Render(const CommandChain& chain) {
  std::map<const Command*, int> index;
  int i = 0;
  for (const Command* c = chain.First(); c != nullptr; c = c->textNext) index[c] = i++;
  auto ref = [&](const Command* c) { return c == nullptr ? std::string("-") : std::to_string(index.at(c)); };
  std::vector<std::string> out;
  for (Command* c = chain.First(); c != nullptr; c = c->textNext)
    out.push_back(std::string(c->Describe()) + " next=" + ref(c->next) + " jump=" + ref(c->jumpTarget));
  return out;
}

struct Recorder : ProgramDiagnostics {
  void Accepted(std::int64_t line, Command&) override { accepted.push_back(line); }
  void Dropped(std::int64_t line, const std::string&, const std::string& reason) override {
    dropped.push_back(std::to_string(line) + " " + reason);
  }
  void UnknownLabel(std::int64_t line, const std::string& name) override {
    unknown.push_back(std::to_string(line) + " " + name);
  }
  std::vector<std::int64_t> accepted;
  std::vector<std::string> dropped, unknown;
};

using Listing = std::vector<std::string>;

struct ProgramCase {
  const char* name;
  std::string text;
  Listing listing;
};

TEST(ProgramReaderTest, LabelsJumpLinesAndBranches) {
  const ProgramCase cases[] = {
      {"empty file", "", {}},
      {"comments and definitions only", "# hello\n:a\n\n:b\n", {}},
      {"loop with a search",
       ":top\nFORWARD\nSEARCHE,300(0,60),shoot\n>top\n:shoot\nFIRE,300(0,60)\n>top\n",
       {"FORWARD next=1 jump=-", "SEARCHE:300(0,60) next=0 jump=2", "FIRE:300(0,60) next=0 jump=-"}},
      {"without the last jump line the program ends after FIRE",
       ":top\nFORWARD\nSEARCHE,300(0,60),shoot\n>top\n:shoot\nFIRE,300(0,60)\n",
       {"FORWARD next=1 jump=-", "SEARCHE:300(0,60) next=0 jump=2", "FIRE:300(0,60) next=- jump=-"}},
      {"crlf line ends", ":top\r\nFORWARD\r\n>top\r\n", {"FORWARD next=0 jump=-"}},
      {"definition after the last command has no target", "SEARCHE,1(0,90),end\nNOP\n:end\n",
       {"SEARCHE:1(0,90) next=1 jump=-", "NOP next=- jump=-"}},
      {"jump to a definition after the last command ends the program", "NOP\n>end\nNOP\n:end\n",
       {"NOP next=- jump=-", "NOP next=- jump=-"}},
      {"first definition wins", ":a\nFORWARD\n:a\nSTOP\nRANDOM,1/2,a\n>a\n",
       {"FORWARD next=1 jump=-", "STOP next=2 jump=-", "RANDOM:1/2 next=0 jump=0"}},
      {"letter case counts", ":Loop\nSEARCHE,100(0,90),loop\n", {"SEARCHE:100(0,90) next=- jump=-"}},
      {"jump line before the first command", ">b\nFORWARD\nNOP\n:b\nTURNLEFT\n",
       {"FORWARD next=2 jump=-", "NOP next=2 jump=-", "TURNLEFT next=- jump=-"}},
      {"two jump lines after one command: the second decides", ":x\nNOP\n:y\nSTOP\n>x\n>y\n",
       {"NOP next=1 jump=-", "STOP next=1 jump=-"}},
      {"a jump line to an unknown name changes nothing", "NOP\n>nowhere\nSTOP\n",
       {"NOP next=1 jump=-", "STOP next=- jump=-"}},
      {"jump lines without any command", ">a\n:a\n>a\n", {}},
      {"a comment after a space is a dropped line", " # note\nFORWARD\n", {"FORWARD next=- jump=-"}},
      {"trailing white space is trimmed, leading kept", ":a \t\nFORWARD \v\f\r\n>a\t\n :a\n",
       {"FORWARD next=0 jump=-"}},
      {"names of definitions and jump lines take the whole rest of the line", ": a, b\nNOP\n> a, b\n",
       {"NOP next=0 jump=-"}},
      {"Shift-JIS labels compare byte for byte", ":\x8c\x82\nNOP\nRANDOM,1/2,\x8c\x82\nRANDOM,1/2,\x8c\x83\n",
       {"NOP next=1 jump=-", "RANDOM:1/2 next=2 jump=0", "RANDOM:1/2 next=- jump=-"}},
      {"dropped lines do not count as the last command", "NOP\n:a\nbogus\nSTOP\n>a\n",
       {"NOP next=1 jump=-", "STOP next=1 jump=-"}},
      {"empty label name", ":\nNOP\n>\n", {"NOP next=0 jump=-"}},
      {"trimming keeps the byte after a lead byte", ":\x95\x5c \n:\xe3\x83\x88 \nNOP\n>\x95\x5c\nSTOP\n>\xe3\x83\x88\n",
       {"NOP next=0 jump=-", "STOP next=- jump=-"}},
  };
  test::TempDir dir;
  for (const ProgramCase& c : cases) {
    const auto path = dir.Write("p.prg", c.text);
    const CommandChain chain = ReadProgram(path.string());
    EXPECT_EQ(Render(chain), c.listing) << c.name;
  }
}

TEST(ProgramReaderTest, TrimmingNeverCutsADoubleByteCharacter) {
  struct TrimCase {
    std::string line, trimmed;
  };
  const TrimCase cases[] = {
      {"FORWARD \t\v\f\r\n", "FORWARD"},
      {" \t ", ""},
      {"  a b  ", "  a b"},
      {"\x95\x5c  ", "\x95\x5c"},          // a trail byte that equals a backslash
      {"a\x82 ", "a\x82 "},                // the space after a lead byte is its second byte
      {"a\x82  ", "a\x82 "},
      {"a\x82\x82 ", "a\x82\x82"},
      {"\xe3\x83\x86\xe3\x82\xb9 ", "\xe3\x83\x86\xe3\x82\xb9"},  // pairs E3 83, 86 E3, 82 B9
      {"\xe3\x83\x88 ", "\xe3\x83\x88 "},                      // pairs E3 83, 88 20
      {"ab\x82", "ab\x82"},                // a lead byte at the end stands alone
      {"a\xa0 \xfd ", "a\xa0 \xfd"},       // single-byte and invalid bytes are no lead bytes
      {std::string("a \0 ", 4), std::string("a \0", 3)},
  };
  for (const TrimCase& c : cases) {
    std::string line = c.line;
    TrimLineEnd(line);
    EXPECT_EQ(line, c.trimmed) << c.line;
  }
}

TEST(ProgramReaderTest, ReportsDroppedLinesAndUnknownLabelsByLine) {
  test::TempDir dir;
  const auto path = dir.Write("p.prg",
                              "# test\n"                 // 1
                              "SEARCHE,1(0,90),gone\n"   // 2
                              ">missing\n"               // 3
                              "nop\n"                    // 4
                              "FIRE,1(0,0)\n"            // 5
                              "RANDOM,1/2,gone\n"        // 6
                              ":late\n"                  // 7
                              "RANDOM,1/2,late\n"        // 8
                              ">late\n");                // 9
  Recorder r;
  const CommandChain chain = ReadProgram(path.string(), &r);
  EXPECT_EQ(chain.Size(), 3u);
  EXPECT_EQ(r.accepted, (std::vector<std::int64_t>{2, 6, 8}));
  EXPECT_EQ(r.dropped, (Listing{"4 unknown keyword nop (NOP is written in capitals)", "5 width must be 1..360"}));
  EXPECT_EQ(r.unknown, (Listing{"2 gone", "3 missing", "6 gone"}));
}

TEST(ProgramReaderTest, LongLinesCountAsSeveralLines) {
  test::TempDir dir;
  // 2048 bytes of a comment, then its rest "FORWARD" comes back as a line of its own.
  const auto path = dir.Write("p.prg", "#" + std::string(2047, 'c') + "FORWARD\nSTOP\n");
  Recorder r;
  const CommandChain chain = ReadProgram(path.string(), &r);
  EXPECT_EQ(Render(chain), (Listing{"FORWARD next=1 jump=-", "STOP next=- jump=-"}));
  EXPECT_EQ(r.accepted, (std::vector<std::int64_t>{2, 3}));
}

TEST(ProgramReaderTest, UnreadableFilesThrowAndLeaveNothing) {
  test::TempDir dir;
  EXPECT_THROW(ReadProgram((dir.Path() / "none.prg").string()), FileException);
  EXPECT_THROW(ReadProgram(dir.MakeDir("d.prg").string()), FileException);
}

TEST(ProgramReaderTest, NulBytesEndACommandLineButNotALabel) {
  test::TempDir dir;
  const auto path = dir.Write("p.prg", std::string(":a\0b\nFORWARD\0junk\n>a\0b\n\0STOP\n", 29));
  Recorder r;
  const CommandChain chain = ReadProgram(path.string(), &r);
  EXPECT_EQ(Render(chain), (Listing{"FORWARD next=0 jump=-"}));
  EXPECT_EQ(r.dropped, (Listing{"4 no keyword"}));
}

TEST(ProgramReaderTest, AMillionCommandsReleaseWithoutRecursion) {
  test::TempDir dir;
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "NOP\n:l\n>l\n";
  const CommandChain chain = ReadProgram(dir.Write("big.prg", text).string());
  EXPECT_EQ(chain.Size(), 200000u);
  // Each jump line sends its command to the first command after the first :l.
  EXPECT_EQ(chain.First()->next, chain.First()->textNext);
  EXPECT_EQ(chain.First()->textNext->next, chain.First()->textNext);
}

}  // namespace
}  // namespace kivora
