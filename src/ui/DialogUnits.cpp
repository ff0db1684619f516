#include "ui/DialogUnits.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace kivora {

QFont DialogUnits::DialogFont() {
  QFont font(QStringLiteral("IPAMincho"));
  font.setPointSize(10);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetricsF metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = metrics.horizontalAdvance(letters) / 52.0;
  baseY_ = metrics.height();
  // A font that measures nothing would collapse every dialog to a point.
  if (!(baseX_ > 0.0)) baseX_ = 6.0;
  if (!(baseY_ > 0.0)) baseY_ = 13.0;
}

int DialogUnits::X(int units) const { return static_cast<int>(std::lround(units * baseX_ / 4.0)); }
int DialogUnits::Y(int units) const { return static_cast<int>(std::lround(units * baseY_ / 8.0)); }

QRect DialogUnits::Rect(int x, int y, int w, int h) const {
  // Edges are converted, not sizes, so that neighbouring controls meet as
  // they do in the layout.
  const int left = X(x), top = Y(y);
  return QRect(left, top, X(x + w) - left, Y(y + h) - top);
}

QSize DialogUnits::Size(int w, int h) const { return QSize(X(w), Y(h)); }

}  // namespace kivora
