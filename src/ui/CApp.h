#pragma once
#include <QApplication>

#include <filesystem>
#include <memory>

class QSocketNotifier;

#include "economy/Economy.h"
#include "field/PictureCache.h"
#include "sim/Field.h"
#include "sim/OKEspec.h"

namespace kivora {

class CMainWnd;

// The game itself: the economy and the field live here for the whole run,
// the main window shows them. Nothing is saved.
class CApp : public QApplication {
  Q_OBJECT
 public:
  CApp(int& argc, char** argv);
  ~CApp() override;

  // The folder the battle takes its data files from; set before InitInstance.
  void SetDataFolder(std::filesystem::path folder) { dataFolder_ = std::move(folder); }
  const std::filesystem::path& DataFolder() const { return dataFolder_; }

  // Seeds this thread's random numbers from the clock, sets the counters to
  // their start values and shows the main window. False when there is none.
  bool InitInstance();

  // True when a quit signal came before the main window was up (while the
  // start-up message box showed): the game then ends without showing it.
  bool QuitRequested() const { return quitRequested_; }

  Economy& GetEconomy() { return economy_; }
  CMainWnd* MainWnd() const { return mainWnd_.get(); }

 private:
  // A terminal's Ctrl+C or the session's SIGTERM closes the main window as
  // its close box would, so the battle's thread is stopped and joined.
  void InstallQuitSignals();

  QSocketNotifier* quitNotifier_ = nullptr;
  bool quitRequested_ = false;
  std::filesystem::path dataFolder_;
  // In the order they depend on each other; the window goes first.
  Economy economy_;
  SpecTable specs_;
  PictureCache pictures_;
  Field field_{economy_};
  std::unique_ptr<CMainWnd> mainWnd_;
};

}  // namespace kivora
