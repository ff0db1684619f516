// Starts the viewer binary itself: its command line, and its window on a
// virtual X display.
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/ReplayRecorder.h"
#include "support/TempDir.h"
#include "ui/XvfbShot.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;

const QString kViewer = KIVORA_BINARY_DIR "/src/kivora-viewer";

class ViewerSmokeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kViewer.toStdString())) GTEST_SKIP() << "the viewer binary is not built";
    // A duel of the default arena until one side is gone.
    BattleSetup setup;
    setup.folder = fs::path(KIVORA_SOURCE_DIR) / "arena";
    setup.parts.rival = false;
    setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                   BattleUnit{0, "gunner.spc", "sniper.prg", std::nullopt}};
    setup.ticks = 1000;
    setup.untilDecided = true;
    std::string why;
    auto files = CaptureBattleFiles(setup, true, why);
    ASSERT_TRUE(files) << why;
    ReplayRecorder recorder(std::move(*files));
    BattleRun run(setup, &recorder);
    ASSERT_FALSE(run.Start());
    run.Run();
    bytes = EncodeReplay(recorder.Finish(run));
    Write("duel.kvr", bytes);
  }

  QString Write(const char* name, const std::vector<std::uint8_t>& content) {
    const fs::path path = dir.Path() / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                static_cast<std::streamsize>(content.size()));
    return QString::fromStdString(path.string());
  }

  struct Ran {
    int code = -1;
    QString out, err;
  };
  Ran Run(const QStringList& args) {
    QProcess viewer;
    QProcessEnvironment env = test::ProgramEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    viewer.setProcessEnvironment(env);
    viewer.start(kViewer, args);
    EXPECT_TRUE(viewer.waitForFinished(30000));
    return {viewer.exitCode(), QString::fromUtf8(viewer.readAllStandardOutput()),
            QString::fromUtf8(viewer.readAllStandardError())};
  }

  test::TempDir dir;
  std::vector<std::uint8_t> bytes;
};

// What the command line answers without a window: help, version, faults,
// and a replay that cannot be played (exit 2, the reason on stderr).
TEST_F(ViewerSmokeTest, CommandLineAnswersAndRefusals) {
  std::vector<std::uint8_t> damaged = bytes;
  damaged[damaged.size() / 2] ^= 0x01;
  const QString bad = Write("damaged\x1b[31m.kvr", damaged);
  const struct {
    QStringList args;
    int code;
    const char* out;  // a part of standard output, or of standard error when the code is 2
  } cases[] = {
      {{"--help"}, 0, "usage: kivora-viewer [--help] [--version] [FILE]"},
      {{"--version"}, 0, "kivora-viewer "},
      {{"--bogus"}, 2, "kivora-viewer: unknown option --bogus\nusage:"},
      {{"a.kvr", "b.kvr"}, 2, "kivora-viewer: more than one file"},
      {{bad}, 2, "damaged\\x1b[31m.kvr: "},
      {{QString::fromStdString((dir.Path() / "missing.kvr").string())}, 2, "missing.kvr: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const Ran ran = Run(c.args);
    EXPECT_EQ(ran.code, c.code) << ran.err.toStdString();
    const QString& text = c.code == 2 ? ran.err : ran.out;
    EXPECT_TRUE(text.contains(QString::fromUtf8(c.out))) << text.toStdString();
    EXPECT_FALSE(ran.err.contains('\x1b'));
  }
}

// Looks at the window as a player would: on a virtual X display, grabbed
// into a PNG.
TEST_F(ViewerSmokeTest, WindowDrawsUnderAVirtualDisplay) {
  if (!test::CanShootScreen()) GTEST_SKIP() << "xvfb-run or ImageMagick's import is missing";
  const QString shot = QString::fromStdString((dir.Path() / "shot.png").string());
  const QString replay = QString::fromStdString((dir.Path() / "duel.kvr").string());
  const QImage image = test::ShootUnderXvfb(kViewer, {replay}, "1280x900x24", shot).image;
  ASSERT_FALSE(image.isNull());
  image.save(KIVORA_BINARY_DIR "/smoke-viewer.png");
  // The window's box on the black screen: the field (640 pixels enlarged)
  // beside the sheet.
  const QRect box = test::WindowBox(image);
  int blue = 0, red = 0, white = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (qBlue(c) > 180 && qRed(c) < 90) ++blue;   // the player's unit
      if (qRed(c) > 180 && qGreen(c) < 60) ++red;   // the rival's, and the fall marks
      if (qGray(c) > 250) ++white;                  // the sheet's paper
    }
  }
  EXPECT_GT(box.width(), 640 + 300);
  EXPECT_GT(box.height(), 640 + 40);
  EXPECT_GT(blue, 100);
  EXPECT_GT(red, 100);
  EXPECT_GT(white, 30000);
}

}  // namespace
}  // namespace kivora
