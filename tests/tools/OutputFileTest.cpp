// The output files the command-line programs share: what Discard may remove,
// and that a failed write is told, never taken for success.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/OutputFile.h"
#include "support/StreamText.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using test::ReadWhole;

TEST(OutputFileTest, DiscardRemovesOnlyAFileOfItsOwn) {
  test::TempDir dir;
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);

  const fs::path made = dir.Path() / "standings.csv";
  OutputFile file("kivora-test");
  ASSERT_TRUE(file.Open(made.native(), "CSV", err));
  ASSERT_TRUE(file.Close(err));
  file.Discard();
  EXPECT_FALSE(fs::exists(made));

  // A pipe named for the output (as a device would be) stays.
  const fs::path pipe = dir.Path() / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  OutputFile piped("kivora-test");
  ASSERT_TRUE(piped.Open(pipe.native(), "CSV", err));
  piped.Discard();
  EXPECT_TRUE(fs::exists(fs::symlink_status(pipe)));
  ::close(reader);

  // "-" is standard output only where the program says so.
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  OutputFile toOut("kivora-test");
  ASSERT_TRUE(toOut.Open("-", "trace", err, out));
  EXPECT_TRUE(toOut.Write("tick 0\n", err));
  EXPECT_TRUE(toOut.Close(err));
  toOut.Discard();
  EXPECT_EQ(ReadWhole(out), "tick 0\n");
  EXPECT_EQ(ReadWhole(err), "");
  std::fclose(out);
  std::fclose(err);
}

TEST(OutputFileTest, AFullDeviceIsAFailureOnEveryPath) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const std::string big(1 << 16, 'x');  // more than one buffer, so fwrite itself fails
  const std::string expected = "kivora-test: cannot write the JSON to /dev/full: No space left on device\n";
  for (const bool pieces : {false, true}) {
    SCOPED_TRACE(pieces ? "Append and WriteAndClose" : "Write");
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    {
      OutputFile file("kivora-test");
      ASSERT_TRUE(file.Open("/dev/full", "JSON", err));
      if (pieces) {
        file.Append(big);
        EXPECT_FALSE(file.Append("more"));
        EXPECT_FALSE(file.WriteAndClose("end", err));
      } else {
        EXPECT_FALSE(file.Write(big, err));
      }
      file.Discard();
    }
    EXPECT_EQ(ReadWhole(err), expected);
    EXPECT_TRUE(fs::exists("/dev/full"));
    std::fclose(err);
  }
}

}  // namespace
}  // namespace kivora
