#pragma once
#include <QDialog>

#include "ui/DialogUnits.h"

namespace kivora {

// What every dialog of the game shares: modal, the dialog font, a fixed
// size given in dialog units, and centred over its owner's window each time
// it is shown (over the screen when it has none).
class GameDialog : public QDialog {
  Q_OBJECT
public:
  GameDialog(const QString& title, int widthUnits, int heightUnits, QWidget* owner);

  // Dialog units of this dialog's font, for laying out its controls.
  const DialogUnits& Units() const { return units_; }

protected:
  void showEvent(QShowEvent* event) override;

private:
  DialogUnits units_;
};

}  // namespace kivora
