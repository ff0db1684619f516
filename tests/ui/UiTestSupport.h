#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "economy/Economy.h"
#include "field/PictureCache.h"
#include "sim/Field.h"
#include "sim/OKEspec.h"
#include "support/TempDir.h"
#include "ui/CMainWnd.h"

namespace kivora::test {

// A clock the test moves by hand.
struct TestClock {
  std::uint32_t now = 0;
  std::function<std::uint32_t()> Fn() {
    return [this] { return now; };
  }
};

// Once the next modal dialog is up, hands it to `seen` (if given) and
// presses its button labelled `buttonText` (closes it when there is none).
inline void AnswerNextModal(const QString& buttonText, std::function<void(QWidget*)> seen = {}) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, buttonText, seen] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    timer->stop();
    timer->deleteLater();
    if (seen) seen(modal);
    for (QPushButton* button : modal->findChildren<QPushButton*>()) {
      if (button->text() == buttonText) {
        button->click();
        return;
      }
    }
    modal->close();
  });
  timer->start();
}

// Runs the event loop until `done` holds or `ms` have passed.
inline bool SpinUntil(const std::function<bool()>& done, int ms = 5000) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// A game in a private copy of the default arena (minus what `without`
// names), with a clock the test drives. The window is made by Open().
struct GameFixture {
  explicit GameFixture(std::initializer_list<const char*> without = {}) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(fs::path(KIVORA_SOURCE_DIR) / "arena")) {
      bool skip = false;
      for (const char* name : without) skip = skip || entry.path().filename() == name;
      if (!skip) fs::copy(entry.path(), dir.Path() / entry.path().filename(), fs::copy_options::recursive);
    }
    cwd = std::make_unique<ScopedWorkingDir>(dir.Path());
  }
  ~GameFixture() {
    window.reset();  // stops the battle before the field goes
  }

  CMainWnd& Open(std::uint32_t start = 0x10000) {
    clock.now = start;
    window = std::make_unique<CMainWnd>(economy, field, specs, pictures, clock.Fn());
    return *window;
  }

  TempDir dir;
  std::unique_ptr<ScopedWorkingDir> cwd;
  TestClock clock;
  Economy economy;
  SpecTable specs;
  PictureCache pictures;
  Field field{economy};
  std::unique_ptr<CMainWnd> window;
};

}  // namespace kivora::test
