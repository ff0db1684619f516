#pragma once
#include <QApplication>

#include <memory>

class QSocketNotifier;

#include "game/Battle.h"

namespace kivora {

class CMainWnd;

// The game itself: the battle lives here for the whole run, the main window
// shows it. Its data files are those of the working directory; nothing is
// saved.
class CApp : public QApplication {
  Q_OBJECT
 public:
  CApp(int& argc, char** argv);
  ~CApp() override;

  // Seeds the window thread's random numbers from the clock, sets the
  // counters to their start values and shows the main window. False when
  // there is none.
  bool InitInstance();

  Economy& GetEconomy() { return battle_->GetEconomy(); }
  CMainWnd* MainWnd() const { return mainWnd_.get(); }

 private:
  // A terminal's Ctrl+C or the session's SIGTERM closes the main window as
  // its close box would, so the battle's thread is stopped and joined.
  void InstallQuitSignals();

  QSocketNotifier* quitNotifier_ = nullptr;
  // The window goes before the battle it shows.
  std::unique_ptr<Battle> battle_;
  std::unique_ptr<CMainWnd> mainWnd_;
};

}  // namespace kivora
