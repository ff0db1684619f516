#pragma once
#include <QPixmap>
#include <array>

#include "economy/Economy.h"
#include "economy/SlotRound.h"
#include "ui/GameDialog.h"
#include "ui/PoboQuestion.h"

class QLabel;
class QPushButton;
class QTimer;

namespace kivora {

// ポボゴム's slot machine, "ポボゴムスロットマシーン". The rules of a round
// live in SlotRound; this shows the reels, the stake and the balance (in the
// title, twenty times a second, also while ポボゴム's box is open) and passes
// the buttons on. A settled round is told first; only when his box closes
// does the stake go back to 0 and the winnings come in. Leaving the machine
// before that still pays them.
class PoboSlotDlg : public GameDialog {
  Q_OBJECT
public:
  static constexpr int kTimerMs = 50;

  // The reels are drawn from `random`, the window thread's generator.
  PoboSlotDlg(Economy& economy, Random& random, QWidget* owner = nullptr);
  ~PoboSlotDlg() override;

  void SetAsker(QuestionAsker asker) { ask_ = std::move(asker); }

  const SlotRound& Round() const { return round_; }
  QLabel* Reel(int i) const { return reelLabels_.at(static_cast<std::size_t>(i)); }
  QLabel* StakeLabel() const { return stakeLabel_; }
  QPushButton* StartButton() const { return startButton_; }
  QPushButton* StopButton() const { return stopButton_; }
  QPushButton* RaiseButton() const { return raiseButton_; }
  QPushButton* EndButton() const { return endButton_; }
  QTimer* Timer() const { return timer_; }
  // The symbol each reel shows now.
  std::array<int, 3> ShownSymbols() const { return shown_; }

public slots:
  void Raise();  // ＋１００ペコグスタ
  void Start();  // スタート
  void Stop();   // ストップ
  void Tick();   // the 50 ms timer
  void done(int result) override;

private:
  // Shows ポボゴム's word on a settled round, then closes the round.
  void Announce(const QString& text);
  void CloseRound();
  void ShowTitle();
  void ShowReels();
  void ShowStake();
  void ShowButtons();

  Economy& economy_;
  Random& random_;
  SlotRound round_;
  QuestionAsker ask_ = AskPobo;
  std::array<QPixmap, SlotRound::kSymbols> symbols_;
  std::array<QLabel*, 3> reelLabels_{};
  std::array<int, 3> shown_{0, 0, 0};
  QLabel* stakeLabel_;
  QPushButton* startButton_;
  QPushButton* stopButton_;
  QPushButton* raiseButton_;
  QPushButton* endButton_;
  QTimer* timer_;
};

}  // namespace kivora
