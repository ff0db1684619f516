// Animations written by the engine, read back with libwebp.
#include "field/Animation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "field/Canvas.h"
#include "support/AnimationFile.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
using test::ReadAnimation;

// A frame of its own for every n: a square that moves, a stripe of colour.
Canvas Frame(int n, int width = 40, int height = 30) {
  Canvas canvas(width, height);
  canvas.FillRect(0, 0, width, 3, Rgb(static_cast<std::uint8_t>(n * 40), 90, static_cast<std::uint8_t>(255 - n)));
  canvas.FillRect(n * 3, 10, n * 3 + 5, 15, Rgb(0, 0, 255));
  return canvas;
}

TEST(AnimationTest, HoldsEveryFrameExactlyWithItsTime) {
  AnimationWriter writer(40, 30, 250);
  std::vector<Canvas> shown;
  for (int n = 0; n < 7; ++n) {
    shown.push_back(Frame(n));
    ASSERT_TRUE(writer.Add(shown.back())) << writer.Error();
  }
  EXPECT_EQ(writer.Frames(), 7);
  const auto bytes = writer.Finish();
  ASSERT_TRUE(bytes) << writer.Error();
  const auto file = ReadAnimation(*bytes);
  ASSERT_TRUE(file.valid);
  EXPECT_TRUE(file.animated);
  EXPECT_EQ(file.width, 40u);
  EXPECT_EQ(file.height, 30u);
  EXPECT_EQ(file.loopCount, 0u);  // forever
  ASSERT_EQ(file.frameCount, 7u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(file.ends[i], 250 * static_cast<int>(i + 1));
    EXPECT_TRUE(file.frames[i] == shown[i].Pixels()) << "lossless";
  }
  // Finished: nothing more is taken.
  EXPECT_FALSE(writer.Add(Frame(0)));
  EXPECT_FALSE(writer.Finish());
}

TEST(AnimationTest, FramesAlikeAreShownLongerAndTheTimeAddsUp) {
  AnimationWriter writer(40, 30, 100);
  for (const int n : {0, 0, 0, 1, 2, 2}) ASSERT_TRUE(writer.Add(Frame(n))) << writer.Error();
  const auto bytes = writer.Finish();
  ASSERT_TRUE(bytes) << writer.Error();
  const auto file = ReadAnimation(*bytes);
  ASSERT_TRUE(file.valid);
  EXPECT_EQ(file.ends, (std::vector<int>{300, 400, 600}));
  EXPECT_TRUE(file.frames[2] == Frame(2).Pixels());
}

TEST(AnimationTest, RefusesWhatItCannotHold) {
  struct Case {
    int width, height, delay;
  };
  for (const Case c : {Case{0, 10, 100}, Case{10, -1, 100}, Case{16384, 10, 100}, Case{10, 10, 0},
                       Case{10, 10, kMaxFrameMilliseconds + 1}}) {
    AnimationWriter writer(c.width, c.height, c.delay);
    EXPECT_FALSE(writer.Error().empty());
    EXPECT_FALSE(writer.Add(Canvas(10, 10)));
    EXPECT_FALSE(writer.Finish());
  }
  AnimationWriter writer(40, 30, 100);
  EXPECT_FALSE(writer.Finish()) << "no frame";
  AnimationWriter sized(40, 30, 100);
  EXPECT_FALSE(sized.Add(Frame(0, 30, 40)));
  EXPECT_EQ(sized.Error(), "a frame of 30x40 does not fit an animation of 40x30");
  EXPECT_TRUE(sized.Add(Frame(1)));
  EXPECT_TRUE(sized.Finish());
}

TEST(AnimationTest, SaveLeavesNoFileWhenItCannotWrite) {
  test::TempDir dir;
  {
    AnimationWriter writer(40, 30, 100);
    ASSERT_TRUE(writer.Add(Frame(1)));
    ASSERT_TRUE(writer.Save((dir.Path() / "a.webp").string())) << writer.Error();
    std::vector<std::uint8_t> bytes = *ReadFileBytes((dir.Path() / "a.webp").string(), 1 << 20);
    EXPECT_EQ(ReadAnimation(bytes).frameCount, 1u);
  }
  struct Case {
    fs::path path;
    std::string error;
  };
  fs::create_symlink("/dev/full", dir.Path() / "full.webp");
  dir.MakeDir("d.webp");
  for (const Case& c : {Case{dir.Path() / "full.webp", "No space left on device"},
                        Case{dir.Path() / "d.webp", "Is a directory"},
                        Case{dir.Path() / "no" / "a.webp", "No such file or directory"}}) {
    SCOPED_TRACE(c.path);
    AnimationWriter writer(40, 30, 100);
    ASSERT_TRUE(writer.Add(Frame(1)));
    EXPECT_FALSE(writer.Save(c.path.string()));
    EXPECT_EQ(writer.Error(), c.error);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() / "full.webp"))) << "the cut-off file goes";
  EXPECT_TRUE(fs::is_directory(dir.Path() / "d.webp"));
  // A device named as the file stays a device.
  AnimationWriter writer(40, 30, 100);
  ASSERT_TRUE(writer.Add(Frame(1)));
  EXPECT_FALSE(writer.Save("/dev/full"));
  struct stat st {};
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
}  // namespace kivora
