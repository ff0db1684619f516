#pragma once
#include <QMessageBox>

namespace kivora {

// The one error box of the game: the map could not be read. It comes while
// the main window is still being built, before that window shows (started
// from a desktop launcher in a folder without the game's data, it is the only
// sign), so it is centred on the screen, where the main window will come,
// and it is wide enough for the whole of its title on a window frame.
class MapMessageBox : public QMessageBox {
  Q_OBJECT
 public:
  MapMessageBox(const QString& text, QWidget* owner);

  // The narrowest the box may be for its title to show whole: the title in a
  // bold face, a quarter wider for the window system's own title font, and
  // room for the frame's icon and buttons.
  static int WidthForTitle(const QString& title);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kivora
