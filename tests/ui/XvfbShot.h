#pragma once
// Starting a real program of the game from a test: a quiet environment, and
// its window on a virtual X display, grabbed into a picture as a player
// would see it.
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>

namespace kivora::test {

// The environment of a program a test starts: no session bus to wait for.
inline QProcessEnvironment ProgramEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  return env;
}

// Whether xvfb-run and ImageMagick's import are there to take a screenshot.
inline bool CanShootScreen() {
  return !QStandardPaths::findExecutable("xvfb-run").isEmpty() && !QStandardPaths::findExecutable("import").isEmpty();
}

struct Screenshot {
  int exitCode = -1;  // the program's, after SIGTERM
  QImage image;       // null when none was taken
};

// Runs `program` with `args` in `folder` (the test's own when empty) on a
// virtual screen of `screen` ("800x600x24"), grabs the whole screen into
// the PNG `shot` after 3 s, then ends the program with SIGTERM.
inline Screenshot ShootUnderXvfb(const QString& program, const QStringList& args, const QString& screen,
                                 const QString& shot, const QString& folder = {}) {
  QProcess run;
  QProcessEnvironment env = ProgramEnvironment();
  env.remove("QT_QPA_PLATFORM");
  env.insert("KIVORA_PROGRAM", program);
  env.insert("KIVORA_SHOT", shot);
  run.setProcessEnvironment(env);
  if (!folder.isEmpty()) run.setWorkingDirectory(folder);
  run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  run.start("xvfb-run", QStringList{"-a", "-s", "-screen 0 " + screen, "sh", "-c",
                                    "\"$KIVORA_PROGRAM\" \"$@\" & pid=$!; sleep 3; import -window root \"$KIVORA_SHOT\"; "
                                    "kill -TERM $pid; wait $pid",
                                    "sh"} +
                            args);
  Screenshot result;
  EXPECT_TRUE(run.waitForStarted(10000));
  EXPECT_TRUE(run.waitForFinished(60000));
  result.exitCode = run.exitCode();
  result.image = QImage(shot);
  return result;
}

// The box of the window on the black screen: every pixel that is not black.
inline QRect WindowBox(const QImage& image) {
  int left = image.width(), top = image.height(), right = -1, bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace kivora::test
