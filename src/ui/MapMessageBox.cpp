#include "ui/MapMessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QSpacerItem>

namespace kivora {

namespace {
// A frame's icon, its buttons and the margins around the title.
constexpr int kFrameButtonsWidth = 120;
}  // namespace

MapMessageBox::MapMessageBox(const QString& text, QWidget* owner)
    : QMessageBox(QMessageBox::Critical, "Kivora Virtual System by Pobogom", text, QMessageBox::Ok, owner) {
  // A message box sizes itself to its text; a spacer across the whole
  // bottom row makes it no narrower than its title needs.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addItem(new QSpacerItem(WidthForTitle(windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

int MapMessageBox::WidthForTitle(const QString& title) {
  QFont font = QApplication::font();
  font.setBold(true);
  const int text = QFontMetrics(font).horizontalAdvance(title);
  return text + text / 4 + kFrameButtonsWidth;
}

void MapMessageBox::showEvent(QShowEvent* event) {
  QMessageBox::showEvent(event);
  if (event->spontaneous()) return;
  // Over the owner's window once it shows; until then over the screen, as the
  // main window itself is placed.
  QRect area;
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner != nullptr && owner->isVisible()) {
    area = owner->frameGeometry();
  } else if (const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen()) {
    area = screen->geometry();
  }
  if (!area.isValid()) return;
  const QRect frame = frameGeometry();
  move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace kivora
