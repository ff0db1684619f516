#include "ui/CApp.h"

#include <QScreen>

#include "app/TickClock.h"
#include "ui/CMainWnd.h"

namespace kivora {

CApp::CApp(int& argc, char** argv) : QApplication(argc, argv) {}

// The main window goes before the field and the counters it shows; its
// field view stops the simulation thread on the way.
CApp::~CApp() { mainWnd_.reset(); }

bool CApp::InitInstance() {
  mainWnd_ = std::make_unique<CMainWnd>(economy_, TickCount);
  mainWnd_->show();
  // Centred on the screen; the window manager's frame is only known once shown.
  if (const QScreen* screen = mainWnd_->screen()) {
    const QRect area = screen->geometry();
    const QRect frame = mainWnd_->frameGeometry();
    mainWnd_->move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
  }
  return true;
}

}  // namespace kivora
