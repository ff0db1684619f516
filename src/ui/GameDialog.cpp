#include "ui/GameDialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

namespace kivora {

GameDialog::GameDialog(const QString& title, int widthUnits, int heightUnits, QWidget* owner)
    : QDialog(owner), units_(DialogUnits::DialogFont()) {
  setWindowTitle(title);
  setFont(DialogUnits::DialogFont());
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFixedSize(units_.Size(widthUnits, heightUnits));
}

QLabel* GameDialog::AddText(const QString& text, int x, int y, int w, int h, Qt::Alignment alignment) {
  auto* label = new QLabel(text, this);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(alignment);
  QRect rect = units_.Rect(x, y, w, h);
  if (alignment & Qt::AlignLeft) rect.setWidth(std::max(rect.width(), label->sizeHint().width()));
  label->setGeometry(rect);
  return label;
}

QPushButton* GameDialog::AddButton(const QString& text, int x, int y, int w, int h) {
  auto* button = new QPushButton(text, this);
  // As players expect of a dialog: Enter presses the button that has the
  // keyboard focus, and the dialog's default button when no button has it.
  button->setAutoDefault(true);
  QRect rect = units_.Rect(x, y, w, h);
  const int missing = button->sizeHint().width() - rect.width();
  if (missing > 0) rect.adjust(-(missing + 1) / 2, 0, missing / 2, 0);
  button->setGeometry(rect);
  return button;
}

void GameDialog::keyPressEvent(QKeyEvent* event) {
  // Qt's dialogs take only a bare Escape. Under X the key can come with Alt
  // still reported held: the Alt of the menu key (Alt+M, Alt+L, ...) that
  // opened the dialog, whose release the window system may not have
  // accounted yet, so the player's Escape was ignored. Any Escape that
  // reaches the dialog cancels it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
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
