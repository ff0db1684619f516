#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "base/Random.h"
#include "support/TempDir.h"
#include "ui/BuyListDlg.h"
#include "ui/LoanTousyuDlg.h"
#include "ui/NewSoftDlg.h"
#include "ui/PoboQuestion.h"
#include "ui/PoboSlotDlg.h"

namespace kivora {
namespace {

// A player who moves the keyboard focus onto a button and presses Enter
// means that button, not the dialog's default: Enter on 中断 in ポボゴム's box
// must not answer 了解, and Enter on 借りない must not borrow.
TEST(GameDialogTest, EnterPressesTheFocusedButton) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<QDialog>(Economy&)> make;
    std::function<QPushButton*(QDialog&)> focus;
    int result;
  };
  const Case cases[] = {
      {"question: 中断", [](Economy&) { return std::make_unique<PoboQuestion>(QStringLiteral("購入してもいいのかい？")); },
       [](QDialog& d) { return static_cast<PoboQuestion&>(d).CancelButton(); }, QDialog::Rejected},
      {"question: 了解", [](Economy&) { return std::make_unique<PoboQuestion>(QStringLiteral("購入してもいいのかい？")); },
       [](QDialog& d) { return static_cast<PoboQuestion&>(d).OkButton(); }, QDialog::Accepted},
      {"loan: 借りない",
       [](Economy& e) {
         auto d = std::make_unique<LoanTousyuDlg>(e);
         d->RaiseButton()->click();  // 借りる enabled, sum 100
         return d;
       },
       [](QDialog& d) { return static_cast<LoanTousyuDlg&>(d).CancelButton(); }, QDialog::Rejected},
  };
  for (const Case& c : cases) {
    Economy economy(1000, 0, 1000, 0);
    std::unique_ptr<QDialog> dlg = c.make(economy);
    QPushButton* button = c.focus(*dlg);
    // Key presses go to the widget with the focus: here the button.
    QTimer::singleShot(0, [&] { QTest::keyClick(button, Qt::Key_Return); });
    EXPECT_EQ(dlg->exec(), c.result) << c.name;
    EXPECT_EQ(economy.GetMoney(), 1000u) << c.name;
  }
}

// At opening Enter still goes to each dialog's default button.
TEST(GameDialogTest, EnterAtOpeningPressesTheDefault) {
  Economy economy(1000, 0, 1000, 0);
  PoboQuestion box(QStringLiteral("終了してもいいのかい？"));
  QTimer::singleShot(0, [&] { QTest::keyClick(box.focusWidget(), Qt::Key_Return); });
  EXPECT_EQ(box.exec(), QDialog::Accepted);
  Random random;
  PoboSlotDlg slot(economy, random);
  QTimer::singleShot(0, [&] { QTest::keyClick(slot.focusWidget(), Qt::Key_Return); });
  EXPECT_EQ(slot.exec(), QDialog::Rejected);
  EXPECT_EQ(economy.GetMoney(), 1000u);
}

// Escape leaves every dialog as its Cancel button would, whichever widget
// has the focus, and also when the window system still reports the Alt of
// the menu key that opened the dialog (as X does after Alt+M or Alt+L).
TEST(GameDialogTest, EscapeCancelsEveryDialog) {
  test::TempDir dir;
  dir.Write("buylist.txt", "scout.spc,100,scout\n");
  dir.Write("hunter.prg", "# hunter\n");
  Random random;
  struct Case {
    const char* name;
    std::function<std::unique_ptr<QDialog>(Economy&)> make;
  };
  const Case cases[] = {
      {"question", [](Economy&) { return std::make_unique<PoboQuestion>(QStringLiteral("購入してもいいのかい？")); }},
      {"slot machine",
       [&](Economy& e) {
         auto d = std::make_unique<PoboSlotDlg>(e, random);
         d->RaiseButton()->click();
         return d;
       }},
      {"loan",
       [](Economy& e) {
         auto d = std::make_unique<LoanTousyuDlg>(e);
         d->RaiseButton()->click();
         return d;
       }},
      {"warehouse",
       [&](Economy& e) {
         return std::make_unique<BuyListDlg>(e, dir.Path(), [](const std::string&) { return true; });
       }},
      {"software", [&](Economy&) { return std::make_unique<NewSoftDlg>(dir.Path()); }},
  };
  for (const Case& c : cases) {
    for (const Qt::KeyboardModifiers held : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier)}) {
      Economy economy(1000, 0, 1000, 0);
      std::unique_ptr<QDialog> dlg = c.make(economy);
      QTimer::singleShot(0, [&] {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dlg.get();
        QTest::keyClick(target, Qt::Key_Escape, held);
      });
      // A dialog that ignored the key is ended with -1 after two seconds.
      QTimer::singleShot(2000, dlg.get(), [&] { dlg->done(-1); });
      EXPECT_EQ(dlg->exec(), QDialog::Rejected) << c.name << " " << held.toInt();
      EXPECT_EQ(economy.GetMoney(), 1000u) << c.name;
      EXPECT_EQ(economy.GetDebt(), 0u) << c.name;
    }
  }
}

}  // namespace
}  // namespace kivora
