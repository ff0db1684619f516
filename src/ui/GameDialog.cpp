#include "ui/GameDialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace kivora {

GameDialog::GameDialog(const QString& title, int widthUnits, int heightUnits, QWidget* owner)
    : QDialog(owner), units_(DialogUnits::DialogFont()) {
  setWindowTitle(title);
  setFont(DialogUnits::DialogFont());
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFixedSize(units_.Size(widthUnits, heightUnits));
}

void GameDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // coming back from minimised: stay put
  QRect area;
  if (QWidget* owner = parentWidget()) {
    area = owner->window()->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  }
  if (area.isValid()) {
    // A window's position is that of its frame.
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
}

}  // namespace kivora
