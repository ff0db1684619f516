#pragma once
#include <QApplication>

#include <filesystem>
#include <memory>

class QSocketNotifier;

#include "game/Battle.h"

namespace kivora {

class CMainWnd;

// The game itself: the battle lives here for the whole run, the main window
// shows it. Its data files come from the data folder it is given; nothing
// is saved.
class CApp : public QApplication {
  Q_OBJECT
 public:
  CApp(int& argc, char** argv);
  ~CApp() override;

  // The folder the battle takes its data files from; set before InitInstance.
  void SetDataFolder(std::filesystem::path folder) { dataFolder_ = std::move(folder); }
  const std::filesystem::path& DataFolder() const { return dataFolder_; }

  // Seeds the window thread's random numbers from the clock, sets the
  // counters to their start values and shows the main window. False when
  // there is none.
  bool InitInstance();

  // True when a quit signal came before the main window was up (while the
  // start-up message box showed): the game then ends without showing it.
  bool QuitRequested() const { return quitRequested_; }

  Economy& GetEconomy() { return battle_->GetEconomy(); }
  CMainWnd* MainWnd() const { return mainWnd_.get(); }

 private:
  // A terminal's Ctrl+C or the session's SIGTERM closes the main window as
  // its close box would, so the battle's thread is stopped and joined.
  void InstallQuitSignals();

  QSocketNotifier* quitNotifier_ = nullptr;
  bool quitRequested_ = false;
  std::filesystem::path dataFolder_;
  // The window goes before the battle it shows.
  std::unique_ptr<Battle> battle_;
  std::unique_ptr<CMainWnd> mainWnd_;
};

}  // namespace kivora
