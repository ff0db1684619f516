#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "economy/Economy.h"
#include "game/Battle.h"
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

// Plays the player at modal dialogs: as each new one comes up, records its
// labels' texts and presses the next button of `buttons` (by its text).
// A step "#N" first picks row N of the dialog's list. A dialog without the
// button asked for is closed.
class ModalAnswers {
 public:
  explicit ModalAnswers(QStringList buttons) : buttons_(std::move(buttons)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  int Answered() const { return answered_; }
  QStringList texts;  // every label of every dialog seen, in order

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == last_.data() || !modal->isVisible()) return;
    last_ = modal;
    for (QLabel* label : modal->findChildren<QLabel*>())
      if (!label->text().isEmpty()) texts << label->text();
    while (answered_ < buttons_.size() && buttons_[answered_].startsWith('#')) {
      if (auto* list = modal->findChild<QListWidget*>()) list->setCurrentRow(buttons_[answered_].mid(1).toInt());
      ++answered_;
    }
    if (answered_ < buttons_.size()) {
      for (QPushButton* button : modal->findChildren<QPushButton*>()) {
        if (QString(button->text()).remove('&') == buttons_[answered_]) {
          ++answered_;
          // Pressed from the event loop, so a dialog it opens does not
          // block this poll.
          QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
          return;
        }
      }
    }
    QMetaObject::invokeMethod(modal, &QWidget::close, Qt::QueuedConnection);
  }

  QStringList buttons_;
  int answered_ = 0;
  QPointer<QWidget> last_;
  QTimer timer_;
};

// Runs the event loop until `done` holds or `ms` have passed.
inline bool SpinUntil(const std::function<bool()>& done, int ms = 5000) {
  QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// QTest takes the point (0, 0) for the widget's centre, so clicks are sent by hand.
inline void Click(QWidget* widget, Qt::MouseButton button, QPoint at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), button, button, {});
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), button, {}, {});
  QApplication::sendEvent(widget, &release);
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
  }
  ~GameFixture() {
    window.reset();  // stops the battle before the field goes
  }

  CMainWnd& Open(std::uint32_t start = 0x10000) {
    clock.now = start;
    window = std::make_unique<CMainWnd>(battle, clock.Fn());
    return *window;
  }

  TempDir dir;
  TestClock clock;
  Battle battle{dir.Path()};
  Economy& economy = battle.GetEconomy();
  std::unique_ptr<CMainWnd> window;
};

}  // namespace kivora::test
