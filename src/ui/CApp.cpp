#include "ui/CApp.h"

#include <QScreen>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/Random.h"
#include "app/TickClock.h"
#include "ui/CMainWnd.h"

namespace kivora {

namespace {

// The write end is used from the signal handler, which may only write a byte.
int quitPipe[2] = {-1, -1};

void OnQuitSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &byte, 1);
}

}  // namespace

CApp::CApp(int& argc, char** argv) : QApplication(argc, argv) { InstallQuitSignals(); }

void CApp::InstallQuitSignals() {
  if (quitPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, quitPipe) != 0) return;
  quitNotifier_ = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, this);
  connect(quitNotifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(quitPipe[0], buffer, sizeof buffer) > 0) {
    }
    quitRequested_ = true;
    if (mainWnd_) {
      mainWnd_->close();
    } else {
      // Still starting: quit() would do nothing before the event loop runs,
      // so close the start-up message box; InitInstance sees the request.
      closeAllWindows();
      quit();
    }
  });
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// The main window goes before the field and the counters it shows; its
// field view stops the simulation thread on the way.
CApp::~CApp() { mainWnd_.reset(); }

bool CApp::InitInstance() {
  // Only this thread is seeded: the battle's thread draws the same numbers
  // in every run, the rival's deployments differ.
  SeedRandom(TickCount());
  // DATA FOLDER HAND-OFF: the battle is built here and still reads its data
  // files from the working directory. Once a battle takes its data folder as
  // a path, it is given dataFolder_ at this point; nothing else needs it.
  mainWnd_ = std::make_unique<CMainWnd>(economy_, field_, specs_, pictures_, TickCount);
  if (quitRequested_) return true;
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
