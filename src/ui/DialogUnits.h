#pragma once
#include <QFont>
#include <QRect>
#include <QSize>

namespace kivora {

// The game's dialogs are laid out in dialog units: a quarter of the dialog
// font's average letter width across, an eighth of its height down. This
// turns those figures into pixels for the font actually in use, so the
// layout keeps its proportions whatever the font measures on this machine.
class DialogUnits {
public:
  // The font of every dialog: IPAMincho, 10 point.
  static QFont DialogFont();

  explicit DialogUnits(const QFont& font = DialogFont());

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int w, int h) const;
  QSize Size(int w, int h) const;

  double BaseX() const { return baseX_; }
  double BaseY() const { return baseY_; }

private:
  double baseX_;
  double baseY_;
};

}  // namespace kivora
