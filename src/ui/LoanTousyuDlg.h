#pragma once
#include <cstdint>

#include "economy/Economy.h"
#include "economy/Loan.h"
#include "economy/MessageSink.h"
#include "ui/GameDialog.h"

class QLabel;
class QPushButton;
class QTimer;

namespace kivora {

// "ローン「党首」": the leader's purse and the debt (refreshed every second,
// since a visit can change them while the dialog is open), and the sum to
// borrow, raised by +100ペコグスタ. 借りる ends accepted with Amount().
class LoanTousyuDlg : public GameDialog {
  Q_OBJECT
public:
  static constexpr int kRefreshMs = 1000;

  explicit LoanTousyuDlg(Economy& economy, QWidget* owner = nullptr);

  // The sum the player confirmed; 0 unless the dialog was accepted.
  std::uint32_t Amount() const { return amount_; }

  QLabel* PurseLabel() const { return purseLabel_; }
  QLabel* DebtLabel() const { return debtLabel_; }
  QLabel* SumLabel() const { return sumLabel_; }
  QPushButton* RaiseButton() const { return raiseButton_; }
  QPushButton* BorrowButton() const { return borrowButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  QTimer* Timer() const { return timer_; }

public slots:
  void Raise();    // +100ペコグスタ
  void Borrow();   // 借りる
  void Refresh();  // the once-a-second timer

private:
  Economy& economy_;
  LoanRequest request_;
  std::uint32_t amount_ = 0;
  QLabel* purseLabel_;
  QLabel* debtLabel_;
  QLabel* sumLabel_;
  QPushButton* raiseButton_;
  QPushButton* borrowButton_;
  QPushButton* cancelButton_;
  QTimer* timer_;
};

// The whole of the loan command: runs the dialog over `owner` and, when the
// player chose 借りる, settles the loan and logs it. Returns true when
// money was lent.
bool RunLoanCommand(Economy& economy, MessageSink& log, QWidget* owner);

}  // namespace kivora
