#pragma once
#include <QApplication>

#include <memory>

class QSocketNotifier;

#include "economy/Economy.h"
#include "field/PictureCache.h"
#include "sim/Field.h"
#include "sim/OKEspec.h"

namespace kivora {

class CMainWnd;

// The game itself: the economy and the field live here for the whole run,
// the main window shows them. Nothing is read from the command line and
// nothing is saved.
class CApp : public QApplication {
  Q_OBJECT
 public:
  CApp(int& argc, char** argv);
  ~CApp() override;

  // Seeds this thread's random numbers from the clock, sets the counters to
  // their start values and shows the main window. False when there is none.
  bool InitInstance();

  Economy& GetEconomy() { return economy_; }
  CMainWnd* MainWnd() const { return mainWnd_.get(); }

 private:
  // A terminal's Ctrl+C or the session's SIGTERM closes the main window as
  // its close box would, so the battle's thread is stopped and joined.
  void InstallQuitSignals();

  QSocketNotifier* quitNotifier_ = nullptr;
  // In the order they depend on each other; the window goes first.
  Economy economy_;
  SpecTable specs_;
  PictureCache pictures_;
  Field field_{economy_};
  std::unique_ptr<CMainWnd> mainWnd_;
};

}  // namespace kivora
