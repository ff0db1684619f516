#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "base/Random.h"
#include "ui/PoboSlotDlg.h"
#include "ui/ScriptedAsker.h"

namespace kivora {
namespace {

struct Machine {
  explicit Machine(std::uint32_t money) : economy(money, 0, 1000, 0), dlg(economy) {
    dlg.SetAsker(asker.Asker());
    dlg.show();
  }
  Economy economy;
  test::ScriptedAsker asker;
  PoboSlotDlg dlg;
};

TEST(PoboSlotDlgTest, OpensIdleWithStakeZeroAndFirstSymbols) {
  Machine m(1000);
  EXPECT_EQ(m.dlg.windowTitle(), QStringLiteral("ポボゴムスロットマシーン"));
  EXPECT_FALSE(m.dlg.StartButton()->isEnabled());
  EXPECT_FALSE(m.dlg.StopButton()->isEnabled());
  EXPECT_TRUE(m.dlg.RaiseButton()->isEnabled());
  EXPECT_EQ(m.dlg.StakeLabel()->text(), QStringLiteral("0"));
  EXPECT_EQ(m.dlg.ShownSymbols(), (std::array<int, 3>{0, 0, 0}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(m.dlg.Reel(i)->pixmap().size(), QSize(128, 128));
  EXPECT_TRUE(m.dlg.EndButton()->isDefault());
  EXPECT_EQ(m.dlg.Timer()->interval(), 50);
  EXPECT_TRUE(m.dlg.Timer()->isActive());
}

TEST(PoboSlotDlgTest, TitleFollowsTheMoney) {
  Machine m(1234);
  m.dlg.Tick();
  EXPECT_EQ(m.dlg.windowTitle(), QStringLiteral("ポボゴムスロットマシーン 残高：1234ペコグスタ"));
  m.economy.AddMoney(100);  // a pick-up reward while the machine stands idle
  m.dlg.Tick();
  EXPECT_EQ(m.dlg.windowTitle(), QStringLiteral("ポボゴムスロットマシーン 残高：1334ペコグスタ"));
}

TEST(PoboSlotDlgTest, StakeCannotPassTheMoney) {
  Machine m(150);
  m.dlg.RaiseButton()->click();
  m.dlg.RaiseButton()->click();
  EXPECT_EQ(m.dlg.StakeLabel()->text(), QStringLiteral("100"));
  EXPECT_TRUE(m.dlg.StartButton()->isEnabled());
}

TEST(PoboSlotDlgTest, FullRoundTakesTheStakeTurnsTwiceMoreAndSettles) {
  SetRandomState(777);
  Machine m(1000);
  for (int i = 0; i < 3; ++i) m.dlg.RaiseButton()->click();
  m.dlg.StartButton()->click();
  EXPECT_EQ(m.economy.GetMoney(), 700u);
  EXPECT_FALSE(m.dlg.StartButton()->isEnabled());
  EXPECT_TRUE(m.dlg.StopButton()->isEnabled());
  EXPECT_FALSE(m.dlg.RaiseButton()->isEnabled());
  m.dlg.Tick();
  m.dlg.Tick();
  m.dlg.StopButton()->click();
  EXPECT_FALSE(m.dlg.StopButton()->isEnabled());
  m.dlg.Tick();
  EXPECT_TRUE(m.asker.texts.isEmpty());
  m.dlg.Tick();
  ASSERT_EQ(m.asker.texts.size(), 1);
  const auto reels = m.dlg.Round().CurrentReels();
  EXPECT_EQ(m.dlg.ShownSymbols(), (std::array<int, 3>{reels[0], reels[1], reels[2]}));
  const auto expected = SlotRound::Settle(reels, 300);
  EXPECT_EQ(m.asker.texts[0], QString::fromStdString(expected.message));
  EXPECT_EQ(m.economy.GetMoney(), 700u + expected.payout);
  EXPECT_EQ(m.dlg.StakeLabel()->text(), QStringLiteral("0"));
  EXPECT_FALSE(m.dlg.StartButton()->isEnabled());
  EXPECT_FALSE(m.dlg.StopButton()->isEnabled());
  EXPECT_TRUE(m.dlg.RaiseButton()->isEnabled());
}

TEST(PoboSlotDlgTest, StartRefusedWhenTheMoneyFellSinceTheStake) {
  Machine m(500);
  for (int i = 0; i < 5; ++i) m.dlg.RaiseButton()->click();
  m.economy.SubMoney(100);  // the leader's allowance
  m.dlg.StartButton()->click();
  EXPECT_EQ(m.asker.texts, (QStringList{QStringLiteral("掛けるだけのペコグスタがねーぜ")}));
  EXPECT_EQ(m.economy.GetMoney(), 400u);
  EXPECT_EQ(m.dlg.StakeLabel()->text(), QStringLiteral("0"));
  EXPECT_FALSE(m.dlg.StartButton()->isEnabled());
  EXPECT_TRUE(m.dlg.RaiseButton()->isEnabled());
}

TEST(PoboSlotDlgTest, ClosingMidSpinForfeitsTheStake) {
  Machine m(1000);
  m.dlg.RaiseButton()->click();
  m.dlg.StartButton()->click();
  m.dlg.Tick();
  m.dlg.EndButton()->click();
  EXPECT_FALSE(m.dlg.isVisible());
  EXPECT_EQ(m.economy.GetMoney(), 900u);
  EXPECT_TRUE(m.asker.texts.isEmpty());
}

TEST(PoboSlotDlgTest, EnterEndsTheDialog) {
  Economy economy(1000, 0, 0, 0);
  PoboSlotDlg dlg(economy);
  QTimer::singleShot(0, [&] { QTest::keyClick(&dlg, Qt::Key_Return); });
  EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}

TEST(PoboSlotDlgTest, TheTimerDrivesTheReelsInTheEventLoop) {
  Machine m(1000);
  m.dlg.RaiseButton()->click();
  m.dlg.StartButton()->click();
  m.dlg.StopButton()->click();
  // Two beats of 50 ms settle the round; wait for the result line.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !m.asker.texts.isEmpty(); }, 2000));
  EXPECT_TRUE(m.dlg.windowTitle().startsWith(QStringLiteral("ポボゴムスロットマシーン 残高：")));
}

}  // namespace
}  // namespace kivora
