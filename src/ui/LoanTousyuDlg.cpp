#include "ui/LoanTousyuDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kivora {
namespace {

QString Number(std::uint32_t n) { return QString::number(n); }

}  // namespace

LoanTousyuDlg::LoanTousyuDlg(Economy& economy, QWidget* owner)
    : GameDialog(QStringLiteral("ローン「党首」"), 215, 110, owner), economy_(economy) {
  const auto right = Qt::AlignRight | Qt::AlignVCenter;
  AddText(QStringLiteral("党首の財布："), 21, 17, 48, 8);
  purseLabel_ = AddText(QStringLiteral("0"), 81, 17, 75, 8, right);
  AddText(QStringLiteral("ペコグスタ"), 164, 17, 35, 8);
  AddText(QStringLiteral("党首への借金："), 21, 36, 55, 8);
  debtLabel_ = AddText(QStringLiteral("0"), 81, 36, 75, 8, right);
  AddText(QStringLiteral("ペコグスタ"), 164, 36, 35, 8);
  AddText(QStringLiteral("今回の借入れペコグスタ："), 21, 55, 85, 8);
  sumLabel_ = AddText(QStringLiteral("0"), 113, 55, 86, 8, right);

  raiseButton_ = AddButton(QStringLiteral("+100ペコグスタ"), 147, 67, 54, 14);
  borrowButton_ = AddButton(QStringLiteral("借りる"), 51, 90, 40, 14);
  borrowButton_->setDefault(true);
  cancelButton_ = AddButton(QStringLiteral("借りない"), 133, 90, 40, 14);
  connect(raiseButton_, &QPushButton::clicked, this, &LoanTousyuDlg::Raise);
  connect(borrowButton_, &QPushButton::clicked, this, &LoanTousyuDlg::Borrow);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

  timer_ = new QTimer(this);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, &LoanTousyuDlg::Refresh);
  timer_->start();

  sumLabel_->setText(Number(request_.Sum()));
  borrowButton_->setEnabled(request_.CanBorrow());
  Refresh();
}

void LoanTousyuDlg::Raise() {
  if (!request_.Raise(economy_.GetLeaderWallet())) return;
  sumLabel_->setText(Number(request_.Sum()));
  borrowButton_->setEnabled(request_.CanBorrow());
}

void LoanTousyuDlg::Borrow() {
  // Nothing to borrow until the sum has been raised once.
  if (!borrowButton_->isEnabled()) return;
  if (!request_.Confirm(economy_.GetLeaderWallet())) {
    sumLabel_->setText(Number(request_.Sum()));
    return;
  }
  amount_ = request_.Sum();
  accept();
}

void LoanTousyuDlg::Refresh() {
  purseLabel_->setText(Number(economy_.GetLeaderWallet()));
  debtLabel_->setText(Number(economy_.GetDebt()));
}

bool RunLoanCommand(Economy& economy, MessageSink& log, QWidget* owner) {
  LoanTousyuDlg dialog(economy, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  return SettleLoan(dialog.Amount(), economy, log);
}

}  // namespace kivora
