// Starts the real game binary on a copy of the default arena.
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "ui/XvfbShot.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

const QString kGame = KIVORA_BINARY_DIR "/src/kivora";

class GameSmokeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kGame.toStdString())) GTEST_SKIP() << "the game binary is not built";
    fs::copy(fs::path(KIVORA_SOURCE_DIR) / "arena", dir.Path() / "arena", fs::copy_options::recursive);
  }

  test::TempDir dir;
};

TEST_F(GameSmokeTest, RunsOffscreenAndQuitsCleanlyOnSigterm) {
  QProcess game;
  QProcessEnvironment env = test::ProgramEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  game.setProcessEnvironment(env);
  game.setWorkingDirectory(QString::fromStdString((dir.Path() / "arena").string()));
  game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  game.start(kGame, {});
  ASSERT_TRUE(game.waitForStarted(10000));
  EXPECT_FALSE(game.waitForFinished(3000)) << "the game ended on its own";
  game.terminate();
  ASSERT_TRUE(game.waitForFinished(20000));
  EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(game.exitCode(), 0);
}

// Looks at the window as a player would: on a virtual X display, grabbed
// into a PNG.
TEST_F(GameSmokeTest, WindowShowsUnderAVirtualDisplay) {
  if (!test::CanShootScreen()) GTEST_SKIP() << "xvfb-run or ImageMagick's import is missing";
  const QString shot = QString::fromStdString((dir.Path() / "shot.png").string());
  const test::Screenshot taken = test::ShootUnderXvfb(kGame, {}, "800x600x24", shot,
                                                      QString::fromStdString((dir.Path() / "arena").string()));
  EXPECT_EQ(taken.exitCode, 0) << "the game did not end cleanly";

  const QImage& image = taken.image;
  ASSERT_FALSE(image.isNull());
  // Kept next to the build for whoever wants to look at it.
  image.save(KIVORA_BINARY_DIR "/smoke-window.png");
  // The screen is black around the window; find the window's box.
  const QRect box = test::WindowBox(image);
  const int left = box.left(), top = box.top();
  EXPECT_EQ(box.width(), 640);
  const int height = box.height();
  EXPECT_GT(height, 400);  // the client area and the menu bar
  EXPECT_LT(height, 460);
  // The status sheet: white paper with dark text in the top right.
  int white = 0, dark = 0;
  for (int y = top + height - 400; y < top + height - 400 + 60; ++y) {
    for (int x = left + 322; x < left + 639; ++x) {
      const QRgb c = image.pixel(x, y);
      if (qGray(c) > 240) ++white;
      if (qGray(c) < 80) ++dark;
    }
  }
  EXPECT_GT(white, 5000);
  EXPECT_GT(dark, 200);
}

}  // namespace
}  // namespace kivora
