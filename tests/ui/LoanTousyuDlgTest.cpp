#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/LoanTousyuDlg.h"

namespace kivora {
namespace {

TEST(LoanTousyuDlgTest, OpensWithPurseDebtAndNothingToBorrow) {
  Economy economy(1000, 0, 1234, 56);
  LoanTousyuDlg dlg(economy);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("ローン「党首」"));
  EXPECT_EQ(dlg.PurseLabel()->text(), QStringLiteral("1234"));
  EXPECT_EQ(dlg.DebtLabel()->text(), QStringLiteral("56"));
  EXPECT_EQ(dlg.SumLabel()->text(), QStringLiteral("0"));
  EXPECT_FALSE(dlg.BorrowButton()->isEnabled());
  EXPECT_TRUE(dlg.BorrowButton()->isDefault());
  EXPECT_EQ(dlg.Timer()->interval(), 1000);
  EXPECT_EQ(dlg.Amount(), 0u);
}

TEST(LoanTousyuDlgTest, SumRisesByHundredsUpToThePurse) {
  struct Case {
    std::uint32_t purse;
    int presses;
    QString sum;
    bool canBorrow;
  };
  for (const Case& c : {Case{0, 2, QStringLiteral("0"), false}, Case{150, 3, QStringLiteral("100"), true},
                        Case{1000, 4, QStringLiteral("400"), true}}) {
    Economy economy(0, 0, c.purse, 0);
    LoanTousyuDlg dlg(economy);
    for (int i = 0; i < c.presses; ++i) dlg.RaiseButton()->click();
    EXPECT_EQ(dlg.SumLabel()->text(), c.sum) << c.purse;
    EXPECT_EQ(dlg.BorrowButton()->isEnabled(), c.canBorrow) << c.purse;
  }
}

TEST(LoanTousyuDlgTest, BorrowEndsWithTheSum) {
  Economy economy(0, 0, 1000, 0);
  LoanTousyuDlg dlg(economy);
  dlg.show();
  dlg.RaiseButton()->click();
  dlg.RaiseButton()->click();
  dlg.BorrowButton()->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.Amount(), 200u);
  EXPECT_EQ(economy.GetLeaderWallet(), 1000u);  // the main window settles, not the dialog
}

TEST(LoanTousyuDlgTest, PurseThatShrankResetsTheSumAndKeepsTheDialog) {
  Economy economy(0, 0, 1000, 0);
  LoanTousyuDlg dlg(economy);
  dlg.show();
  for (int i = 0; i < 5; ++i) dlg.RaiseButton()->click();
  economy.SubLeaderWallet(700);  // the leader spent it meanwhile
  dlg.BorrowButton()->click();
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.SumLabel()->text(), QStringLiteral("0"));
  EXPECT_TRUE(dlg.BorrowButton()->isEnabled());
  dlg.Refresh();
  EXPECT_EQ(dlg.PurseLabel()->text(), QStringLiteral("300"));
  dlg.BorrowButton()->click();  // borrowing 0 is allowed
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.Amount(), 0u);
}

TEST(LoanTousyuDlgTest, FiguresFollowAVisitWithinASecond) {
  Economy economy(0, 0, 1000, 0);
  LoanTousyuDlg dlg(economy);
  dlg.show();
  economy.AddDebt(500);
  economy.AddLeaderWallet(250);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.DebtLabel()->text() == QStringLiteral("500"); }, 3000));
  EXPECT_EQ(dlg.PurseLabel()->text(), QStringLiteral("1250"));
}

TEST(LoanTousyuDlgTest, LoanCommandSettlesOrChangesNothing) {
  struct Case {
    bool borrow;
    std::vector<std::string> lines;
    std::uint32_t money, debt, purse;
  };
  for (const Case& c :
       {Case{true, {"党首から300ペコグスタを借りました"}, 1300, 300, 700}, Case{false, {}, 1000, 0, 1000}}) {
    Economy economy;
    MessageRecorder log;
    QTimer::singleShot(0, [&] {
      auto* dlg = qobject_cast<LoanTousyuDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dlg, nullptr);
      for (int i = 0; i < 3; ++i) dlg->RaiseButton()->click();
      (c.borrow ? dlg->BorrowButton() : dlg->CancelButton())->click();
    });
    EXPECT_EQ(RunLoanCommand(economy, log, nullptr), c.borrow);
    EXPECT_EQ(log.lines, c.lines);
    EXPECT_EQ(economy.GetMoney(), c.money);
    EXPECT_EQ(economy.GetDebt(), c.debt);
    EXPECT_EQ(economy.GetLeaderWallet(), c.purse);
  }
}

}  // namespace
}  // namespace kivora
