#pragma once
#include <QDialog>

#include "ui/DialogUnits.h"

class QLabel;
class QPushButton;

namespace kivora {

// What every dialog of the game shares: modal, the dialog font, a fixed
// size given in dialog units, centred over its owner's window each time it
// is shown (over the screen when it has none), and Escape as Cancel.
class GameDialog : public QDialog {
  Q_OBJECT
public:
  GameDialog(const QString& title, int widthUnits, int heightUnits, QWidget* owner);

  // Dialog units of this dialog's font, for laying out its controls.
  const DialogUnits& Units() const { return units_; }

  // A static text over the rectangle (x, y, w, h) in dialog units. Kana and
  // kanji are twice as wide as the letters the units are measured by, so a
  // text that would be cut off grows to the right (left-aligned texts) or to
  // both sides (buttons) instead.
  QLabel* AddText(const QString& text, int x, int y, int w, int h,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
  QPushButton* AddButton(const QString& text, int x, int y, int w, int h);

protected:
  void showEvent(QShowEvent* event) override;
  // Escape leaves the dialog as its Cancel button (or close box) would.
  void keyPressEvent(QKeyEvent* event) override;

private:
  DialogUnits units_;
};

}  // namespace kivora
