#include "ui/CApp.h"

#include <QScreen>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "base/TickClock.h"
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
  // Only the window thread's generator is seeded: the battle's own draws the
  // same numbers in every run, the rival's deployments differ.
  std::filesystem::path folder = dataFolder_;
  if (folder.empty()) {
    std::error_code ec;
    folder = std::filesystem::current_path(ec);
    if (ec) folder = ".";
  }
  battle_ = std::make_unique<Battle>(folder, TickCount());
  mainWnd_ = std::make_unique<CMainWnd>(*battle_, TickCount);
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
