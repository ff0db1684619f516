#pragma once
#include <QMainWindow>
#include <QRgb>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "economy/MessageSink.h"
#include "ui/PoboQuestion.h"

class QAction;
class QListWidget;
class QTimer;

namespace kivora {

class Battle;
class FieldViewWnd;
class ProgramListWnd;
class StatusViewWnd;

// The game's one top-level window: the field, the status sheet and the
// message log in a fixed 640 x 400 client area, the menu, and the campaign
// timer that brings the rival's deployments and the party leader's visits.
class CMainWnd : public QMainWindow, public MessageSink {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 640;
  static constexpr int kClientHeight = 400;
  static constexpr int kCampaignTimerMs = 100;
  // The log keeps this many lines; the oldest go first once it is full.
  // Deployments and visits add about 45 lines an hour, so this holds days.
  static constexpr int kMessageLogLimit = 10000;

  // How far the log scrolls sideways, in pixels.
  static constexpr int kMessageLogExtent = 1024;

  // The window's own background, showing in the one-pixel gaps between the
  // field, the status sheet and the log: the application-workspace grey of
  // the classic window scheme the game's window class asks for.
  static constexpr QRgb kBackground = 0xFF808080;

  using Clock = std::function<std::uint32_t()>;

  // Creating the window builds the battle's field (through its view) and
  // starts the battle and the campaign clock.
  CMainWnd(Battle& battle, Clock clock);
  ~CMainWnd() override;

  // Appends a line (UTF-8) to the message log and scrolls it into view.
  void AddMessage(std::string_view text) override;
  void SelectAt(std::int32_t fx, std::int32_t fy);
  void ClearSelection();

  // What the 100 ms timer runs; public so tests can drive a clock.
  void CampaignTick();
  // The field's notice that the player's last unit fell; any thread.
  void PostSquadLost();
  void OnSquadLost();

  // Menu commands.
  void OnExit();
  void OnBuy();
  void OnSlot();
  void OnLoan();
  // The program window of the selected unit, made on first use.
  void OpenProgramList();

  // Replaces the question box (for tests).
  void SetAsker(QuestionAsker asker) { ask_ = std::move(asker); }

  QAction* MenuAction(int id) const;
  QListWidget* MessageLog() const { return messageLog_; }
  StatusViewWnd* StatusView() const { return statusView_; }
  FieldViewWnd* FieldView() const { return fieldView_; }
  // Null until the player first asks for it.
  ProgramListWnd* ProgramList() const { return programList_; }
  bool Flashing() const { return flashing_; }
  int FlashCount() const { return flashCount_; }
  int CampaignSteps() const { return campaignSteps_; }
  QTimer* CampaignTimer() const { return campaignTimer_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenu();
  void Flash();

  Battle& battle_;
  Clock clock_;
  FieldViewWnd* fieldView_ = nullptr;
  StatusViewWnd* statusView_ = nullptr;
  ProgramListWnd* programList_ = nullptr;
  QListWidget* messageLog_ = nullptr;
  QTimer* campaignTimer_ = nullptr;
  std::uint32_t lastFlashTick_ = 0;
  bool flashing_ = false;
  int flashCount_ = 0;
  int campaignSteps_ = 0;
  QAction* actions_[4] = {};
  QuestionAsker ask_ = AskPobo;
};

}  // namespace kivora
