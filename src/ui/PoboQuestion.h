#pragma once
#include <QString>
#include <functional>

#include "ui/GameDialog.h"

class QLabel;
class QPushButton;

namespace kivora {

// ポボゴム's box: his portrait, one text (line breaks start new lines) and
// two buttons, 了解 and 中断. It asks yes-or-no questions and gives notices
// alike; for a notice the answer is simply not used. 了解 (also Enter)
// accepts; 中断, Escape and the close box reject.
class PoboQuestion : public GameDialog {
  Q_OBJECT
public:
  explicit PoboQuestion(const QString& text, QWidget* owner = nullptr);

  QString Text() const { return text_; }
  QLabel* TextLabel() const { return textLabel_; }
  QLabel* PictureLabel() const { return pictureLabel_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

private:
  QString text_;
  QLabel* pictureLabel_;
  QLabel* textLabel_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

// How a dialog puts a question to the player: true for 了解. The game runs
// a PoboQuestion modally over `owner`; tests put in their own answers.
using QuestionAsker = std::function<bool(const QString& text, QWidget* owner)>;

// Runs a PoboQuestion modally over `owner` (or over the application's main
// window when there is none) and returns true when the player chose 了解.
bool AskPobo(const QString& text, QWidget* owner);

}  // namespace kivora
