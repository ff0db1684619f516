#include "ui/Pictures.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace kivora {
namespace {

QString FindResource(const QString& name) {
  const QDir dir(QStringLiteral(":/res"));
  for (const QString& entry : dir.entryList(QDir::Files)) {
    if (QFileInfo(entry).completeBaseName().compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
  }
  return QString();
}

QPixmap StandIn(const QString& name) {
  QPixmap pixmap(128, 128);
  // Six distinguishable colours for the reels, black on white otherwise.
  static const QColor kReelColours[6] = {Qt::white,           QColor(220, 60, 60),  QColor(60, 160, 60),
                                         QColor(60, 90, 220), QColor(230, 190, 40), Qt::black};
  QColor background = Qt::white;
  if (name.startsWith(QStringLiteral("slot"), Qt::CaseInsensitive)) {
    bool ok = false;
    const int n = name.mid(4).toInt(&ok);
    if (ok && n >= 1 && n <= 6) background = kReelColours[n - 1];
  }
  pixmap.fill(background);
  QPainter painter(&pixmap);
  painter.setPen(background.lightness() < 128 ? Qt::white : Qt::black);
  painter.drawRect(0, 0, 127, 127);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, name);
  return pixmap;
}

}  // namespace

QPixmap GamePicture(const QString& name) {
  const QString path = FindResource(name);
  if (!path.isEmpty()) {
    QPixmap pixmap(path);
    if (!pixmap.isNull()) return pixmap;
  }
  return StandIn(name);
}

bool HasGamePicture(const QString& name) {
  const QString path = FindResource(name);
  return !path.isEmpty() && !QPixmap(path).isNull();
}

}  // namespace kivora
