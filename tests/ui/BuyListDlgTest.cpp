#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/TempDir.h"
#include "ui/BuyListDlg.h"
#include "ui/ListText.h"
#include "ui/NewSoftDlg.h"
#include "ui/ScriptedAsker.h"

namespace kivora {
namespace {

const QString kShort = QStringLiteral("ペコグスタが足りねーぜ");
const QString kSure = QStringLiteral("購入してもいいのかい？");
const QString kNoModel = QStringLiteral("そのＯＫＥは組み立てられねーぜ");

// A warehouse in a temporary directory, its dialog shown (not run), the
// player's answers scripted.
struct Warehouse {
  explicit Warehouse(std::string list, std::uint32_t money = 1000, BuyListDlg::ModelCheck check = nullptr)
      : economy(money, 0, 1000, 0) {
    if (!list.empty()) dir.Write("buylist.txt", list);
    if (!check) check = [](const std::string&) { return true; };
    dlg = std::make_unique<BuyListDlg>(economy, dir.Path(), std::move(check));
    dlg->SetAsker(asker.Asker());
    dlg->show();
  }
  void Select(int row) { dlg->List()->setCurrentRow(row); }
  void Buy() { dlg->BuyButton()->click(); }
  bool Open() const { return dlg->isVisible(); }

  test::TempDir dir;
  Economy economy;
  test::ScriptedAsker asker;
  std::unique_ptr<BuyListDlg> dlg;
};

const std::string kList =
    "scout.spc,1500,\x8c\x79\x82\xa2\x83\x58\x83\x4a\x83\x45\x83\x67\r\n"  // 軽いスカウト
    "broken line\r\n"
    "gunner.spc, 800,heavy gunner,ignored\r\n"
    "\r\n"
    "odd.spc,-5,negative price\r\n";

TEST(BuyListDlgTest, OpensWithTheValidRowsAndTheFirstChosen) {
  Warehouse w(kList);
  EXPECT_EQ(w.dlg->windowTitle(), QStringLiteral("ＯＫＥ倉庫"));
  ASSERT_EQ(w.dlg->List()->count(), 3);
  EXPECT_EQ(w.dlg->List()->item(0)->text(), QStringLiteral("1500ペコG\t軽いスカウト"));
  EXPECT_EQ(w.dlg->List()->item(1)->text(), QStringLiteral("800ペコG\theavy gunner"));
  EXPECT_EQ(w.dlg->List()->item(2)->text(), QStringLiteral("-5ペコG\tnegative price"));
  EXPECT_EQ(w.dlg->Rows().size(), 3u);
  EXPECT_TRUE(w.dlg->BuyButton()->isDefault());
  EXPECT_EQ(w.dlg->CancelButton()->text(), QStringLiteral("中止"));
  EXPECT_EQ(w.dlg->Selection(), 0);
  EXPECT_EQ(SelectedRow(*w.dlg->List()), 0);
  EXPECT_EQ(w.dlg->List()->currentRow(), 0);
}

// The row drawn as chosen is the one bought, and one key press moves one
// row, also right after the list took the keyboard focus.
TEST(BuyListDlgTest, TheRowShownChosenIsTheOneBought) {
  for (const int downs : {0, 1, 2}) {
    Warehouse w(kList, 5000);
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w.dlg->List(), &focus);
    for (int i = 0; i < downs; ++i) QTest::keyClick(w.dlg->List(), Qt::Key_Down);
    EXPECT_EQ(SelectedRow(*w.dlg->List()), downs);
    EXPECT_EQ(w.dlg->List()->currentRow(), downs);
    w.Buy();
    ASSERT_EQ(w.asker.texts.size(), 1) << downs;
    if (downs < 2) {
      EXPECT_EQ(w.dlg->result(), QDialog::Accepted) << downs;
      EXPECT_EQ(w.dlg->ChosenRow().specFile, downs == 0 ? "scout.spc" : "gunner.spc");
    } else {
      EXPECT_EQ(w.asker.texts[0], kShort);  // the negative price
    }
  }
}

TEST(BuyListDlgTest, BuyingWithoutASelectionDoesNothing) {
  Warehouse w(kList);
  w.dlg->List()->clearSelection();
  w.Buy();
  EXPECT_TRUE(w.asker.texts.isEmpty());
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(w.economy.GetMoney(), 1000u);
}

TEST(BuyListDlgTest, PriceChecksAndConfirmation) {
  struct Case {
    const char* what;
    std::uint32_t money;
    int row;
    std::deque<bool> answers;
    QStringList texts;
    bool bought;
    std::uint32_t moneyAfter;
  };
  const Case cases[] = {
      {"exactly enough", 1500, 0, {true}, {kSure}, true, 0},
      {"one short", 1499, 0, {true}, {kShort}, false, 1499},
      {"short, answered 中断", 1499, 0, {false}, {kShort}, false, 1499},
      {"中断 in the confirmation", 5000, 0, {false}, {kSure}, false, 5000},
      {"a negative price is more than any money", 2'000'000'000u, 2, {true}, {kShort}, false, 2'000'000'000u},
      {"another row", 1000, 1, {true}, {kSure}, true, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Warehouse w(kList, c.money);
    w.asker.answers = c.answers;
    w.Select(c.row);
    w.Buy();
    EXPECT_EQ(w.asker.texts, c.texts);
    EXPECT_EQ(w.dlg->result() == QDialog::Accepted, c.bought);
    EXPECT_EQ(w.Open(), !c.bought);
    EXPECT_EQ(w.economy.GetMoney(), c.moneyAfter);
    if (c.bought) {
      EXPECT_EQ(w.dlg->ChosenRow().specFile, w.dlg->Rows()[static_cast<std::size_t>(c.row)].specFile);
    }
  }
}

TEST(BuyListDlgTest, RefusedRowLeavesTheDialogForAnotherChoice) {
  Warehouse w(kList, 1499);
  w.Select(0);
  w.Buy();
  ASSERT_TRUE(w.Open());
  w.Select(1);
  w.Buy();
  EXPECT_EQ(w.asker.texts, (QStringList{kShort, kSure}));
  EXPECT_EQ(w.dlg->result(), QDialog::Accepted);
  EXPECT_EQ(w.dlg->ChosenRow().specFile, "gunner.spc");
  EXPECT_EQ(w.economy.GetMoney(), 699u);
}

TEST(BuyListDlgTest, ModelThatCannotBeBuiltIsNotSold) {
  std::vector<std::string> checked;
  Warehouse w(kList, 5000, [&](const std::string& spec) {
    checked.push_back(spec);
    return spec != "scout.spc";
  });
  w.Select(0);
  w.Buy();
  EXPECT_EQ(w.asker.texts, (QStringList{kNoModel}));
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(w.economy.GetMoney(), 5000u);
  EXPECT_EQ(checked, (std::vector<std::string>{"scout.spc"}));
}

TEST(BuyListDlgTest, MoneyThatFallsDuringTheQuestionIsNotOverdrawn) {
  Warehouse w(kList, 1500);
  w.asker.during = [&] { w.economy.SubMoney(100); };  // the leader takes his allowance meanwhile
  w.Select(0);
  w.Buy();
  EXPECT_EQ(w.asker.texts, (QStringList{kSure, kShort}));
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(w.economy.GetMoney(), 1300u);
}

TEST(BuyListDlgTest, EmptyOrMissingWarehouseOffersNothing) {
  for (const std::string& list : {std::string(), std::string("\r\n\r\nnothing valid\n"), std::string(100000, ',')}) {
    Warehouse w(list);
    EXPECT_EQ(w.dlg->List()->count(), 0);
    w.Select(0);
    w.Buy();
    EXPECT_TRUE(w.asker.texts.isEmpty());
    EXPECT_TRUE(w.Open());
  }
}

TEST(BuyListDlgTest, OverlongFieldsAreSkippedWhole) {
  Warehouse w("a.spc,10," + std::string(5000, 'D') + "\n" + std::string(300, 'M') + ".spc,10,x\nok.spc,10,fine\n");
  ASSERT_EQ(w.dlg->List()->count(), 1);
  EXPECT_EQ(w.dlg->List()->item(0)->text(), QStringLiteral("10ペコG\tfine"));
}

TEST(BuyListDlgTest, CancelAndEscapeChangeNothing) {
  for (bool escape : {false, true}) {
    Warehouse w(kList, 5000);
    w.Select(1);
    if (escape) {
      QTest::keyClick(w.dlg.get(), Qt::Key_Escape);
    } else {
      w.dlg->CancelButton()->click();
    }
    EXPECT_EQ(w.dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(w.economy.GetMoney(), 5000u);
    EXPECT_TRUE(w.asker.texts.isEmpty());
  }
}

TEST(BuyListDlgTest, DoubleClickOnlySelects) {
  Warehouse w(kList, 5000);
  const QRect rect = w.dlg->List()->visualItemRect(w.dlg->List()->item(1));
  QTest::mouseDClick(w.dlg->List()->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_TRUE(w.asker.texts.isEmpty());
  EXPECT_TRUE(w.Open());
  EXPECT_EQ(w.dlg->List()->currentRow(), 1);
}

// A purchase is paid in the warehouse; declining software afterwards keeps it paid.
TEST(BuyListDlgTest, ConfirmedPurchaseThenNoSoftwareStaysPaid) {
  Warehouse w(kList, 1000);
  w.dir.Write("hunter.prg", "# hunter\n");
  w.Select(1);
  w.Buy();
  ASSERT_EQ(w.dlg->result(), QDialog::Accepted);
  NewSoftDlg soft(w.dir.Path());
  soft.show();
  soft.CancelButton()->click();
  EXPECT_EQ(soft.result(), QDialog::Rejected);
  EXPECT_TRUE(soft.SoftwareName().empty());
  EXPECT_EQ(w.economy.GetMoney(), 200u);
}

}  // namespace
}  // namespace kivora
