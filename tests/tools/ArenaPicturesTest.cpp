// kivora-arena's pictures: frames as BMP or PNG, the tick on them, and the
// animation of the whole battle, read back with libpng and libwebp.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/stat.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "field/Canvas.h"
#include "field/TickLabel.h"
#include "kivora-arena/ArenaOptions.h"
#include "kivora-arena/ArenaRun.h"
#include "support/AnimationFile.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const fs::path& path) { return ReadFileBytes(path.string(), 1 << 24).value_or(std::vector<std::uint8_t>{}); }

std::vector<Pixel> PngPixels(const fs::path& path) {
  const std::vector<std::uint8_t> file = Bytes(path);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "opaque RGB";
  image.format = PNG_FORMAT_BGRA;  // in memory on a little-endian machine: 0xAARRGGBB
  std::vector<Pixel> pixels(std::size_t{image.width} * image.height);
  if (image.width != 320 || image.height != 320 || !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
    return {};
  return pixels;
}

std::vector<Pixel> BmpPixels(const fs::path& path) {
  const auto image = DecodeBmp(Bytes(path));
  return image && image->width == 320 && image->height == 320 ? image->pixels : std::vector<Pixel>{};
}

// A BMP frame with the tick label drawn over it, as --frame-tick draws it.
std::vector<Pixel> Labelled(const std::vector<Pixel>& pixels, std::uint64_t tick) {
  Canvas canvas(320, 320);
  canvas.DrawImage(pixels.data(), 320, 320, 0, 0, RasterOp::SrcCopy);
  DrawTickLabel(canvas, tick);
  return canvas.Pixels();
}

struct Outcome {
  int status = -1;
  std::string err;
};

class ArenaPicturesTest : public ::testing::Test {
protected:
  // A duel in the game's own arena folder, with its pictures; every file
  // named is inside `out`.
  Outcome Run(std::vector<std::string> args, int stopSignal = 0) {
    args.insert(args.end(), {"--quiet", "--no-rival", "--no-random", "--player", "standard.spc:hunter.prg", "--rival",
                             "gunner.spc:sniper.prg", std::string(KIVORA_SOURCE_DIR) + "/arena"});
    std::string error;
    const auto options = ParseArenaOptions(args, error);
    EXPECT_TRUE(options) << error;
    if (!options) return {};
    std::FILE* printed = std::tmpfile();
    std::FILE* messages = std::tmpfile();
    const std::atomic<int> stop{stopSignal};
    Outcome outcome;
    outcome.status = RunArena(*options, printed, messages, &stop);
    std::rewind(messages);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, messages)) > 0;) outcome.err.append(buffer, n);
    std::fclose(printed);
    std::fclose(messages);
    return outcome;
  }

  std::string At(const char* name) const { return (out.Path() / name).string(); }

  test::TempDir out;
};

// The same battle drawn three ways: BMP frames; PNG frames with the tick;
// the animation. The PNG frame is the BMP frame with its label, pixel for
// pixel, and the animation shows the PNG frames, one every --frame-every
// ticks for 100 ms a tick.
TEST_F(ArenaPicturesTest, PngFramesAndTheAnimationShowTheBmpFrames) {
  ASSERT_EQ(Run({"--ticks", "40", "--frames", At("bmp"), "--frame-every", "8"}).status, 0);
  const Outcome run = Run({"--ticks", "40", "--frames", At("png"), "--frame-every", "8", "--frame-format", "png",
                           "--frame-tick", "--animation", At("a.webp")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto animation = test::ReadAnimation(Bytes(At("a.webp")));
  ASSERT_TRUE(animation.valid);
  EXPECT_EQ(animation.width, 320u);
  EXPECT_EQ(animation.height, 320u);
  ASSERT_EQ(animation.frameCount, 6u);
  std::vector<Pixel> first;
  for (std::uint64_t tick = 0; tick <= 40; tick += 8) {
    SCOPED_TRACE(tick);
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06llu", static_cast<unsigned long long>(tick));
    const std::vector<Pixel> bmp = BmpPixels(out.Path() / "bmp" / (std::string(name) + ".bmp"));
    const std::vector<Pixel> png = PngPixels(out.Path() / "png" / (std::string(name) + ".png"));
    ASSERT_FALSE(bmp.empty());
    ASSERT_FALSE(png.empty());
    EXPECT_TRUE(png == Labelled(bmp, tick));
    if (tick == 0) first = bmp;
    EXPECT_TRUE(animation.frames[tick / 8] == png);
    EXPECT_EQ(animation.ends[tick / 8], static_cast<int>(tick + 8) * 100);
  }
  EXPECT_FALSE(fs::exists(out.Path() / "png" / "frame-000000.bmp"));
  EXPECT_TRUE(BmpPixels(out.Path() / "bmp" / "frame-000040.bmp") != first) << "the units move";
}

// Without --frame-every the animation has every tick; frames drawn beside it
// on other ticks are the same as when drawn alone.
TEST_F(ArenaPicturesTest, TheAnimationTakesEveryTickUnlessToldOtherwise) {
  ASSERT_EQ(Run({"--ticks", "12", "--frames", At("alone"), "--frame-tick"}).status, 0);
  ASSERT_EQ(Run({"--ticks", "12", "--frames", At("beside"), "--frame-tick", "--animation", At("a.webp")}).status, 0);
  const auto animation = test::ReadAnimation(Bytes(At("a.webp")));
  ASSERT_TRUE(animation.valid);
  ASSERT_EQ(animation.frameCount, 13u);  // every frame has its own label
  EXPECT_EQ(animation.ends.back(), 1300);
  for (const auto& [tick, name] : {std::pair{0, "frame-000000.bmp"}, std::pair{10, "frame-000010.bmp"}}) {
    SCOPED_TRACE(name);
    const std::vector<Pixel> alone = BmpPixels(out.Path() / "alone" / name);
    ASSERT_FALSE(alone.empty());
    EXPECT_TRUE(BmpPixels(out.Path() / "beside" / name) == alone);
    EXPECT_TRUE(animation.frames[tick] == alone);
  }
}

// An animation that cannot be written says why, fails the run and leaves
// nothing behind; one that cannot be made costs no battle; a stop finishes
// it with the ticks run.
TEST_F(ArenaPicturesTest, TheAnimationFailsCleanlyAndSurvivesAStop) {
  fs::create_symlink("/dev/full", out.Path() / "full.webp");
  Outcome run = Run({"--ticks", "20", "--animation", At("full.webp")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "kivora-arena: cannot write the animation to " + At("full.webp") + ": No space left on device\n");
  EXPECT_FALSE(fs::exists(fs::symlink_status(out.Path() / "full.webp")));

  out.MakeDir("d.webp");
  run = Run({"--ticks", "20", "--animation", At("d.webp"), "--json", At("r.json")});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "kivora-arena: cannot create the animation file " + At("d.webp") + ": Is a directory\n");
  EXPECT_FALSE(fs::exists(At("r.json"))) << "the outputs made before it go again";

  run = Run({"--ticks", "20", "--animation", At("stopped.webp")}, SIGTERM);
  EXPECT_EQ(run.status, 128 + SIGTERM);
  const auto animation = test::ReadAnimation(Bytes(At("stopped.webp")));
  ASSERT_TRUE(animation.valid);
  EXPECT_EQ(animation.frameCount, 1u);  // tick 0: the stop came before the first tick
}

// Outputs that will not be written after all are removed, but never a
// device or a pipe named on the command line.
TEST_F(ArenaPicturesTest, APipeNamedAsAnOutputIsNeverRemoved) {
  const std::string pipe = At("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // A reader, so that opening the pipe for writing does not wait.
  std::FILE* reader = std::fopen(pipe.c_str(), "r+");
  ASSERT_TRUE(reader);
  const Outcome run = Run({"--trace", pipe, "--json", At("no/r.json")});
  std::fclose(reader);
  EXPECT_EQ(run.status, 2);
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0) << run.err;
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

}  // namespace
}  // namespace kivora
