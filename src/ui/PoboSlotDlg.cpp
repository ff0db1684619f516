#include "ui/PoboSlotDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ui/Pictures.h"

namespace kivora {

PoboSlotDlg::PoboSlotDlg(Economy& economy, Random& random, QWidget* owner)
    : GameDialog(QStringLiteral("ポボゴムスロットマシーン"), 454, 204, owner), economy_(economy), random_(random) {
  const DialogUnits& du = Units();

  for (int i = 0; i < SlotRound::kSymbols; ++i)
    symbols_[static_cast<std::size_t>(i)] = GamePicture(QStringLiteral("Slot%1").arg(i + 1));
  const int reelX[3] = {14, 154, 294};
  for (std::size_t i = 0; i < 3; ++i) {
    reelLabels_[i] = new QLabel(this);
    reelLabels_[i]->setGeometry(QRect(du.Rect(reelX[i], 14, 129, 129).topLeft(), symbols_[0].size()));
  }

  startButton_ = AddButton(QStringLiteral("スタート"), 50, 169, 97, 14);
  stopButton_ = AddButton(QStringLiteral("ストップ"), 182, 169, 97, 14);
  raiseButton_ = AddButton(QStringLiteral("＋１００ペコグスタ"), 342, 169, 74, 14);
  AddText(QStringLiteral("掛け金:"), 306, 156, 30, 8);
  stakeLabel_ = AddText(QStringLiteral("10000"), 343, 156, 65, 8, Qt::AlignRight | Qt::AlignVCenter);
  AddText(QStringLiteral("ペコグスタ"), 413, 156, 38, 8);
  endButton_ = AddButton(QStringLiteral("終了"), 407, 188, 40, 14);
  endButton_->setDefault(true);
  // With スタート and ストップ disabled the focus would land on ＋１００, and
  // Enter would raise the stake instead of leaving.
  endButton_->setFocus();

  connect(raiseButton_, &QPushButton::clicked, this, &PoboSlotDlg::Raise);
  connect(startButton_, &QPushButton::clicked, this, &PoboSlotDlg::Start);
  connect(stopButton_, &QPushButton::clicked, this, &PoboSlotDlg::Stop);
  connect(endButton_, &QPushButton::clicked, this, &QDialog::reject);

  // The timer lives as long as the dialog; closing it mid-spin forfeits the stake.
  timer_ = new QTimer(this);
  timer_->setInterval(kTimerMs);
  connect(timer_, &QTimer::timeout, this, &PoboSlotDlg::Tick);
  timer_->start();

  ShowReels();
  ShowStake();
  ShowButtons();
}

PoboSlotDlg::~PoboSlotDlg() {
  // Left before ポボゴム could say what came out: the winnings are paid all the same.
  round_.CloseRound(economy_);
}

void PoboSlotDlg::done(int result) {
  // Leaving with his box still open (or about to open) pays what is owed;
  // a round still turning is forfeited.
  CloseRound();
  GameDialog::done(result);
}

void PoboSlotDlg::Raise() {
  if (round_.Raise(economy_.GetMoney())) ShowStake();
  ShowButtons();
}

void PoboSlotDlg::Start() {
  if (const auto refusal = round_.Start(economy_)) {
    // He says so first; the stake he refused goes back to 0 afterwards.
    ShowButtons();
    ask_(QString::fromStdString(*refusal), this);
    CloseRound();
    return;
  }
  ShowButtons();
}

void PoboSlotDlg::Stop() {
  round_.Stop();
  ShowButtons();
}

void PoboSlotDlg::Tick() {
  ShowTitle();
  if (!round_.Spinning()) return;
  const auto settled = round_.Tick(random_);
  ShowReels();
  if (!settled) return;
  ShowButtons();
  // The box opens from the event loop, after this slot has returned: a timer
  // does not fire again while its own slot runs, and the title must keep
  // following the money while the box is open.
  QMetaObject::invokeMethod(
      this, [this, text = QString::fromStdString(settled->message)] { Announce(text); }, Qt::QueuedConnection);
}

void PoboSlotDlg::Announce(const QString& text) {
  if (!round_.Announcing()) return;  // the machine was left meanwhile, and has paid
  ask_(text, this);
  CloseRound();
}

void PoboSlotDlg::CloseRound() {
  if (!round_.Announcing()) return;
  round_.CloseRound(economy_);
  ShowStake();
  ShowButtons();
  ShowTitle();
}

void PoboSlotDlg::ShowTitle() {
  setWindowTitle(QStringLiteral("ポボゴムスロットマシーン 残高：%1ペコグスタ").arg(economy_.GetMoney()));
}

void PoboSlotDlg::ShowReels() {
  const auto& reels = round_.CurrentReels();
  for (std::size_t i = 0; i < 3; ++i) {
    const int symbol = reels[i];
    if (symbol == shown_[i] && !reelLabels_[i]->pixmap().isNull()) continue;
    shown_[i] = symbol;
    reelLabels_[i]->setPixmap(symbols_[static_cast<std::size_t>(symbol)]);
  }
}

void PoboSlotDlg::ShowStake() { stakeLabel_->setText(QString::number(static_cast<qint64>(round_.Bet()))); }

void PoboSlotDlg::ShowButtons() {
  startButton_->setEnabled(round_.CanStart());
  stopButton_->setEnabled(round_.CanStop());
  raiseButton_->setEnabled(round_.CanRaise());
}

}  // namespace kivora
