#pragma once
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

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

}  // namespace kivora::test
