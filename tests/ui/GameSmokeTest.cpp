// Starts the real game binary on a copy of the default arena.
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

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

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    return env;
  }

  test::TempDir dir;
};

TEST_F(GameSmokeTest, RunsOffscreenAndQuitsCleanlyOnSigterm) {
  QProcess game;
  QProcessEnvironment env = Environment();
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
  if (QStandardPaths::findExecutable("xvfb-run").isEmpty() || QStandardPaths::findExecutable("import").isEmpty())
    GTEST_SKIP() << "xvfb-run or ImageMagick's import is missing";
  const QString shot = QString::fromStdString((dir.Path() / "shot.png").string());
  QProcess run;
  QProcessEnvironment env = Environment();
  env.remove("QT_QPA_PLATFORM");
  env.insert("KIVORA_GAME", kGame);
  env.insert("KIVORA_SHOT", shot);
  run.setProcessEnvironment(env);
  run.setWorkingDirectory(QString::fromStdString((dir.Path() / "arena").string()));
  run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  run.start("xvfb-run", {"-a", "-s", "-screen 0 800x600x24", "sh", "-c",
                         "\"$KIVORA_GAME\" & pid=$!; sleep 3; import -window root \"$KIVORA_SHOT\"; "
                         "kill -TERM $pid; wait $pid"});
  ASSERT_TRUE(run.waitForStarted(10000));
  ASSERT_TRUE(run.waitForFinished(60000));
  EXPECT_EQ(run.exitCode(), 0) << "the game did not end cleanly";

  QImage image(shot);
  ASSERT_FALSE(image.isNull());
  // Kept next to the build for whoever wants to look at it.
  image.save(KIVORA_BINARY_DIR "/smoke-window.png");
  // The screen is black around the window; find the window's box.
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  EXPECT_EQ(right - left + 1, 640);
  const int height = bottom - top + 1;
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
