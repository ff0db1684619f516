#include "ui/PoboQuestion.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include "ui/Pictures.h"

namespace kivora {

PoboQuestion::PoboQuestion(const QString& text, QWidget* owner)
    : GameDialog(QStringLiteral("ポボゴム"), 364, 151, owner), text_(text) {
  const DialogUnits& du = Units();

  pictureLabel_ = new QLabel(this);
  const QPixmap portrait = GamePicture(QStringLiteral("GOMMU"));
  pictureLabel_->setPixmap(portrait);
  // A picture control takes the picture's own size at its place.
  pictureLabel_->setGeometry(QRect(du.Rect(13, 10, 128, 128).topLeft(), portrait.size()));

  textLabel_ = new QLabel(text_, this);
  textLabel_->setTextFormat(Qt::PlainText);
  textLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  textLabel_->setWordWrap(true);
  textLabel_->setGeometry(du.Rect(158, 39, 196, 39));

  okButton_ = AddButton(QStringLiteral("了解"), 199, 110, 40, 14);
  okButton_->setDefault(true);
  cancelButton_ = AddButton(QStringLiteral("中断"), 287, 110, 40, 14);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  okButton_->setFocus();
}

namespace {

// The game's main window: the owner of a box asked for without one, whichever
// window happens to be active (none when the game is in the background).
QWidget* MainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMainWindow*>(widget) != nullptr && widget->isVisible()) return widget;
  }
  return QApplication::activeWindow();
}

}  // namespace

bool AskPobo(const QString& text, QWidget* owner) {
  if (owner == nullptr) owner = MainWindow();
  PoboQuestion box(text, owner);
  return box.exec() == QDialog::Accepted;
}

}  // namespace kivora
