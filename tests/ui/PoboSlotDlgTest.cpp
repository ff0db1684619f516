#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "base/Random.h"
#include "ui/PoboSlotDlg.h"
#include "ui/ScriptedAsker.h"

namespace kivora {
namespace {

struct Machine {
  explicit Machine(std::uint32_t money) : economy(money, 0, 1000, 0), dlg(economy, random) {
    dlg.SetAsker(asker.Asker());
    dlg.show();
  }
  Economy economy;
  Random random;  // the window thread's generator
  test::ScriptedAsker asker;
  PoboSlotDlg dlg;
};

// A generator state whose second turn of the reels wins something: a round
// started, stopped at once and turned twice pays.
std::uint32_t WinningSeed() {
  for (std::uint32_t seed = 1;; ++seed) {
    Random random(seed);
    SlotRound::Reels reels{};
    for (int turn = 0; turn < 2; ++turn)
      for (auto& r : reels) r = randomRange(random, 0, SlotRound::kSymbols - 1);
    if (SlotRound::Settle(reels, 100).payout != 0) return seed;
  }
}

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

// One round to its end, driven beat by beat. ポボゴム's box comes first, with
// the stake still shown and the winnings not yet paid, and meanwhile the
// title keeps following the money (here a pick-up reward); then the stake
// goes to 0 and the winnings come in.
TEST(PoboSlotDlgTest, FullRoundShowsTheResultThenClearsTheStakeThenPays) {
  Machine m(1000);
  m.random.Seed(777);
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
  m.dlg.Tick();
  const auto reels = m.dlg.Round().CurrentReels();
  EXPECT_EQ(m.dlg.ShownSymbols(), (std::array<int, 3>{reels[0], reels[1], reels[2]}));
  const auto expected = SlotRound::Settle(reels, 300);

  QString stakeDuring, titleDuring;
  std::uint32_t moneyDuring = 0;
  bool buttonsDuring = true;
  m.asker.during = [&] {
    m.economy.AddMoney(5);
    QTest::qWait(4 * PoboSlotDlg::kTimerMs);  // the timer beats on while the box is open
    stakeDuring = m.dlg.StakeLabel()->text();
    titleDuring = m.dlg.windowTitle();
    moneyDuring = m.economy.GetMoney();
    buttonsDuring = m.dlg.StartButton()->isEnabled() || m.dlg.StopButton()->isEnabled() ||
                    m.dlg.RaiseButton()->isEnabled();
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m.asker.texts.isEmpty(); }, 2000));
  ASSERT_EQ(m.asker.texts.size(), 1);
  EXPECT_EQ(m.asker.texts[0], QString::fromStdString(expected.message));
  EXPECT_EQ(stakeDuring, QStringLiteral("300"));
  EXPECT_EQ(moneyDuring, 705u);
  EXPECT_EQ(titleDuring, QStringLiteral("ポボゴムスロットマシーン 残高：705ペコグスタ"));
  EXPECT_FALSE(buttonsDuring);

  EXPECT_EQ(m.economy.GetMoney(), 705u + expected.payout);
  EXPECT_EQ(m.dlg.StakeLabel()->text(), QStringLiteral("0"));
  EXPECT_FALSE(m.dlg.StartButton()->isEnabled());
  EXPECT_FALSE(m.dlg.StopButton()->isEnabled());
  EXPECT_TRUE(m.dlg.RaiseButton()->isEnabled());
  QTest::qWait(3 * PoboSlotDlg::kTimerMs);
  EXPECT_EQ(m.asker.texts.size(), 1);  // told once
}

// However the machine is left once a round has settled, the winnings are
// paid, once: closed while ポボゴム's box is open, closed before it could
// open, or destroyed before it could open.
TEST(PoboSlotDlgTest, LeavingASettledRoundStillPays) {
  enum class Leave { WhileTheBoxIsOpen, BeforeTheBoxOpens, DestroyedBeforeTheBoxOpens };
  for (const Leave leave : {Leave::WhileTheBoxIsOpen, Leave::BeforeTheBoxOpens, Leave::DestroyedBeforeTheBoxOpens}) {
    Random random(WinningSeed());
    Economy economy(1000, 0, 0, 0);
    test::ScriptedAsker asker;
    auto dlg = std::make_unique<PoboSlotDlg>(economy, random);
    dlg->SetAsker(asker.Asker());
    dlg->show();
    dlg->RaiseButton()->click();
    dlg->StartButton()->click();
    dlg->StopButton()->click();
    dlg->Tick();
    dlg->Tick();
    const std::uint32_t payout = dlg->Round().Owed();
    std::uint32_t moneyAfterClose = 0;
    asker.during = [&] {
      dlg->reject();
      moneyAfterClose = economy.GetMoney();
    };
    if (leave == Leave::BeforeTheBoxOpens) dlg->reject();
    if (leave == Leave::DestroyedBeforeTheBoxOpens) dlg.reset();
    QTest::qWait(2 * PoboSlotDlg::kTimerMs);
    const int index = static_cast<int>(leave);
    EXPECT_EQ(economy.GetMoney(), 900u + payout) << index;
    if (leave == Leave::WhileTheBoxIsOpen) {
      EXPECT_EQ(moneyAfterClose, 900u + payout) << index;
      EXPECT_EQ(asker.texts.size(), 1) << index;
    } else {
      EXPECT_TRUE(asker.texts.isEmpty()) << index;
    }
    dlg.reset();
    EXPECT_EQ(economy.GetMoney(), 900u + payout) << index;
  }
}

TEST(PoboSlotDlgTest, StartRefusedWhenTheMoneyFellSinceTheStake) {
  Machine m(500);
  for (int i = 0; i < 5; ++i) m.dlg.RaiseButton()->click();
  m.economy.SubMoney(100);  // the leader's allowance
  QString stakeDuring;
  m.asker.during = [&] { stakeDuring = m.dlg.StakeLabel()->text(); };
  m.dlg.StartButton()->click();
  EXPECT_EQ(m.asker.texts, (QStringList{QStringLiteral("掛けるだけのペコグスタがねーぜ")}));
  EXPECT_EQ(stakeDuring, QStringLiteral("500"));  // told first, then dropped
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
  Random random;
  PoboSlotDlg dlg(economy, random);
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
