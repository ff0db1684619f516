#include "ui/MapMessageBox.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace kivora {
namespace {

// The map's box comes before the main window shows: it is centred on the
// screen then, on the window once that is up, and it is never narrower than
// its title needs.
TEST(MapMessageBoxTest, CentredAndWideEnoughForItsTitle) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  for (const bool ownerShown : {false, true}) {
    QMainWindow owner;
    owner.setGeometry(40, 30, 300, 200);
    if (ownerShown) owner.show();
    MapMessageBox box(QString::fromUtf8("マップファイルが読み込めません"), &owner);
    box.show();
    const QRect area = ownerShown ? owner.frameGeometry() : screen;
    EXPECT_LE(std::abs(box.frameGeometry().center().x() - area.center().x()), 1) << ownerShown;
    EXPECT_LE(std::abs(box.frameGeometry().center().y() - area.center().y()), 1) << ownerShown;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Kivora Virtual System by Pobogom"));
    EXPECT_GE(box.width(), MapMessageBox::WidthForTitle(box.windowTitle())) << ownerShown;
    // Still a small box, not one the width of the screen.
    EXPECT_LT(box.width(), 640);
  }
}

}  // namespace
}  // namespace kivora
