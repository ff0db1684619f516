#include "base/CstdFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace kivora {
namespace {

std::vector<std::string> ReadAllLines(const std::string& path) {
  CstdFile file(path, CstdFile::modeRead | CstdFile::typeText);
  std::vector<std::string> lines;
  std::string line;
  while (file.ReadString(line)) lines.push_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(CstdFileTest, LineEndsAndPieces) {
  test::TempDir dir;
  const std::string x3000(3000, 'x');
  const std::string a2048(2048, 'a');
  struct Case {
    const char* name;
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"lf", "one\ntwo\n", {"one", "two"}},
      {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
      {"mixed", "one\r\ntwo\nthree", {"one", "two", "three"}},
      {"no final lf", "last", {"last"}},
      {"empty lines", "\n\nx\n", {"", "", "x"}},
      {"lone cr does not end a line", "a\rb\nc", {"ab", "c"}},
      {"only cr", "\r\r", {""}},
      {"empty file", "", {}},
      {"3000 bytes", x3000 + "\nz", {std::string(2048, 'x'), std::string(952, 'x'), "z"}},
      // A 2048-byte piece ends just before the line feed, which then ends an empty line.
      {"exactly 2048", a2048 + "\nb", {a2048, "", "b"}},
      {"carriage returns shorten the piece", std::string(1000, '\r') + x3000,
       {std::string(1048, 'x'), std::string(1952, 'x')}},
      {"nul bytes kept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) {
    const auto path = dir.Write("f.txt", c.bytes);
    EXPECT_EQ(ReadAllLines(path.string()), c.lines) << c.name;
  }
}

TEST(CstdFileTest, AtEndOfFileTheStringIsLeftAlone) {
  test::TempDir dir;
  CstdFile file(dir.Write("f", "x").string(), CstdFile::modeRead);
  std::string line;
  ASSERT_TRUE(file.ReadString(line));
  line = "kept";
  EXPECT_FALSE(file.ReadString(line));
  EXPECT_EQ(line, "kept");
}

TEST(CstdFileTest, BufferFormReadsAtMostSizeMinusOne) {
  test::TempDir dir;
  CstdFile file(dir.Write("f", "abcdefg\r\nhi\n").string(), CstdFile::modeRead);
  char buffer[5];
  ASSERT_EQ(file.ReadString(buffer, sizeof buffer), buffer);
  EXPECT_STREQ(buffer, "abcd");
  ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "efg");  // the piece "efg\r" holds no line feed...
  ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "");  // ...so the line feed comes next, alone
  ASSERT_NE(file.ReadString(buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(buffer, "hi");
  EXPECT_EQ(file.ReadString(buffer, sizeof buffer), nullptr);
  EXPECT_EQ(file.ReadString(buffer, 1), nullptr);
  EXPECT_EQ(file.ReadString(buffer, 0), nullptr);
}

TEST(CstdFileTest, PositionFollowsTheLinesRead) {
  test::TempDir dir;
  CstdFile file(dir.Write("f", "ab\ncd\nef").string(), CstdFile::modeRead);
  std::string line;
  file.ReadString(line);
  EXPECT_EQ(file.GetPosition(), 3u);
  char raw[2];
  ASSERT_EQ(file.Read(raw, 2), 2u);
  EXPECT_EQ(std::string(raw, 2), "cd");
  file.Seek(0, File::begin);
  file.ReadString(line);
  EXPECT_EQ(line, "ab");
}

TEST(CstdFileTest, WriteStringTurnsLineFeedsIntoCrLf) {
  test::TempDir dir;
  const std::string path = (dir.Path() / "out.txt").string();
  {
    CstdFile file(path, CstdFile::modeCreate | CstdFile::modeWrite | CstdFile::typeText);
    file.WriteString("a\nb\r\n\n");
  }
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "a\r\nb\r\r\n\r\n");
}

TEST(CstdFileTest, FilesThatCannotBeReadRaiseTheFileException) {
  test::TempDir dir;
  const auto sub = dir.MakeDir("adir.prg");
  const std::string fifo = (dir.Path() / "pipe.prg").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    FileException::Cause cause;
  };
  const Case cases[] = {
      {(dir.Path() / "missing.prg").string(), FileException::fileNotFound},
      {sub.string(), FileException::notAFile},
      {fifo, FileException::notAFile},  // opening must not wait for a writer
      {"", FileException::fileNotFound},
      {std::string("a\0b", 3), FileException::fileNotFound},
  };
  for (const Case& c : cases) {
    try {
      CstdFile file(c.path, CstdFile::modeRead);
      ADD_FAILURE() << "opened " << c.path;
    } catch (const FileException& e) {
      EXPECT_EQ(e.cause, c.cause) << c.path << ": " << e.what();
      EXPECT_EQ(e.fileName, c.path);
    }
  }
}

}  // namespace
}  // namespace kivora
