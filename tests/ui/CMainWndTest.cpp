#include "ui/CMainWnd.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <QMenu>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "game/Campaign.h"
#include "economy/Economy.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "ui/FieldViewWnd.h"
#include "ui/StatusViewWnd.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

class CMainWndTest : public ::testing::Test {
 protected:
  void SetUp() override { window = &game.Open(); }

  test::GameFixture game;
  CMainWnd* window = nullptr;
  test::TestClock& clock = game.clock;
};

std::vector<std::string> LogLines(const CMainWnd& w) {
  std::vector<std::string> lines;
  for (int i = 0; i < w.MessageLog()->count(); ++i) lines.push_back(w.MessageLog()->item(i)->text().toStdString());
  return lines;
}

bool IsTaunt(const std::string& line) {
  for (std::string_view taunt : kRivalTaunts)
    if (line == taunt) return true;
  return false;
}

bool IsDeploymentCount(const std::string& line) {
  for (int n = 1; n <= 5; ++n)
    if (line == "ポボゴムがＯＫＥを" + std::to_string(n) + "機配置しました") return true;
  return false;
}

TEST_F(CMainWndTest, FixedClientAreaWithChildrenInPlace) {
  window->show();
  EXPECT_EQ(window->windowTitle(), "Kivora Virtual System by Pobogom");
  EXPECT_EQ(window->centralWidget()->size(), QSize(640, 400));
  EXPECT_EQ(window->FieldView()->geometry(), QRect(0, 0, 320, 320));
  EXPECT_EQ(window->StatusView()->geometry(), QRect(321, 0, 319, 320));
  EXPECT_EQ(window->MessageLog()->geometry(), QRect(0, 321, 640, 79));
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

// The one-pixel gaps between the field, the status sheet and the log show
// the window's own background, not the toolkit's grey.
TEST_F(CMainWndTest, GapsBetweenTheChildrenShowTheWindowBackground) {
  window->show();
  const QImage client = window->centralWidget()->grab().toImage();
  const QPoint gaps[] = {{320, 0}, {320, 160}, {320, 319}, {0, 320}, {320, 320}, {639, 320}};
  for (const QPoint& p : gaps) EXPECT_EQ(client.pixel(p), CMainWnd::kBackground) << p.x() << "," << p.y();
  EXPECT_NE(client.pixel(480, 100), CMainWnd::kBackground);  // the sheet itself is paper white
}

TEST_F(CMainWndTest, MenuHasTheFileMenuAndThreeCommandsOnTheBar) {
  const QList<QAction*> bar = window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0]->text(), QString::fromUtf8("ファイル(&F)"));
  ASSERT_NE(bar[0]->menu(), nullptr);
  ASSERT_EQ(bar[0]->menu()->actions().size(), 1);
  EXPECT_EQ(bar[0]->menu()->actions()[0], window->MenuAction(1000));
  EXPECT_EQ(window->MenuAction(1000)->text(), QString::fromUtf8("終了(&X)"));
  EXPECT_EQ(bar[1], window->MenuAction(1001));
  EXPECT_EQ(bar[1]->text(), QString::fromUtf8("ＯＫＥ購入(&B)!"));
  EXPECT_EQ(bar[2]->text(), QString::fromUtf8("スロットマシーン(&M)!"));
  EXPECT_EQ(bar[3]->text(), QString::fromUtf8("ローン「党首」(&L)!"));
  for (int id = 1000; id <= 1003; ++id) EXPECT_TRUE(window->MenuAction(id)->isEnabled()) << id;
}

TEST_F(CMainWndTest, FullLogDropsTheOldestLinesAndShowsTheNewest) {
  QListWidget* log = window->MessageLog();
  for (int i = 0; i < CMainWnd::kMessageLogLimit + 5; ++i) window->AddMessage("line " + std::to_string(i));
  ASSERT_EQ(log->count(), CMainWnd::kMessageLogLimit);
  EXPECT_EQ(log->item(0)->text(), "line 5");
  EXPECT_EQ(log->currentRow(), log->count() - 1);
  EXPECT_EQ(log->currentItem()->text(), QString::fromStdString("line " + std::to_string(CMainWnd::kMessageLogLimit + 4)));
}

TEST_F(CMainWndTest, LogScrollsSidewaysOver1024Pixels) {
  window->show();
  QListWidget* log = window->MessageLog();
  window->AddMessage("ＯＫＥを配置しました");
  QApplication::processEvents();
  EXPECT_EQ(log->horizontalScrollBar()->maximum(), 1024 - log->viewport()->width());
  // Four lines fit; the vertical bar comes with the fifth.
  EXPECT_FALSE(log->verticalScrollBar()->isVisible());
  for (int i = 0; i < 6; ++i) window->AddMessage("line");
  QApplication::processEvents();
  EXPECT_TRUE(log->verticalScrollBar()->isVisible());
}

TEST_F(CMainWndTest, SquadLostFlashesOnlyWhileMinimisedUntilActivated) {
  window->show();
  window->OnSquadLost();
  EXPECT_FALSE(window->Flashing());
  EXPECT_EQ(window->FlashCount(), 0);

  window->showMinimized();
  ASSERT_TRUE(window->isMinimized());
  window->PostSquadLost();  // posted, as from the simulation thread
  EXPECT_FALSE(window->Flashing());
  ASSERT_TRUE(test::SpinUntil([&] { return window->Flashing(); }));
  EXPECT_EQ(window->FlashCount(), 1);

  clock.now += 1000;  // not yet more than a second
  window->CampaignTick();
  EXPECT_EQ(window->FlashCount(), 1);
  clock.now += 1;
  window->CampaignTick();
  EXPECT_EQ(window->FlashCount(), 2);
  clock.now += 1001;
  window->CampaignTick();
  EXPECT_EQ(window->FlashCount(), 3);

  window->showNormal();
  window->activateWindow();
  ASSERT_TRUE(test::SpinUntil([&] { return !window->Flashing(); }));
  clock.now += 5000;
  window->CampaignTick();
  EXPECT_EQ(window->FlashCount(), 3);
}

TEST_F(CMainWndTest, CloseBoxQuitsWithoutAQuestionAndStopsTheCampaign) {
  window->show();
  bool asked = false;
  QTimer::singleShot(200, [&] { asked = QApplication::activeModalWidget() != nullptr; });
  EXPECT_TRUE(window->close());
  test::SpinUntil([] { return false; }, 300);
  EXPECT_FALSE(asked);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->CampaignTimer()->isActive());
}

using test::Click;

TEST_F(CMainWndTest, ClickOnTheFieldSelectsAndRightClickClears) {
  // In the corner of the view, beyond where rivals are placed.
  Ref<OKE> made = game.battle.NewUnit(1, "standard.spc");
  ASSERT_TRUE(made);
  made->x = 15800;
  made->y = -15800;
  OKE* unit = game.battle.Lock()->Deploy(std::move(made));
  Click(window->FieldView(), Qt::LeftButton, QPoint(100, 5));  // empty ground
  EXPECT_EQ(window->StatusView()->Selected(), nullptr);
  Click(window->FieldView(), Qt::LeftButton, QPoint(318, 318));
  EXPECT_EQ(window->StatusView()->Selected(), unit);
  EXPECT_NE(window->StatusView()->SheetText().find("ペコ党部隊 カヴォラ[standard.spc]"), std::string::npos);
  Click(window->FieldView(), Qt::RightButton, QPoint(318, 318));
  EXPECT_EQ(window->StatusView()->Selected(), nullptr);
}

TEST_F(CMainWndTest, ExitAsksAndOnlyQuitsOnYes) {
  window->show();
  {
    test::ModalAnswers player({"中断"});
    window->MenuAction(1000)->trigger();
    EXPECT_EQ(player.Answered(), 1);
    EXPECT_TRUE(player.texts.contains(QString::fromUtf8("終了してもいいのかい？")));
  }
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->CampaignTimer()->isActive());
  {
    test::ModalAnswers player({"了解"});
    window->MenuAction(1000)->trigger();
    EXPECT_EQ(player.Answered(), 1);
  }
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->CampaignTimer()->isActive());
}

TEST_F(CMainWndTest, CancelledPurchasePlacesAndLogsNothing) {
  {
    test::ModalAnswers player({"中止"});
    window->MenuAction(1001)->trigger();
    EXPECT_EQ(player.Answered(), 1);
  }
  EXPECT_EQ(window->MessageLog()->count(), 0);
  EXPECT_EQ(game.economy.GetMoney(), 1000u);
  EXPECT_EQ(game.battle.Lock()->playerUnitCount, 0);
  EXPECT_EQ(window->StatusView()->Selected(), nullptr);
}

TEST(CMainWndPurchaseTest, PurchasePlacesSelectsAndLogsTheUnit) {
  struct Case {
    QStringList answers;
    bool withProgram;
  } cases[] = {
      // The first row (800) is bought; the software dialog is declined, and
      // the unit is placed all the same, without a program.
      {{"#0", "購入", "了解", "非搭載"}, false},
      // ... or the first program is chosen and confirmed.
      {{"#0", "購入", "了解", "#0", "搭載", "了解"}, true},
  };
  for (const Case& c : cases) {
    test::GameFixture game;
    CMainWnd& window = game.Open();
    {
      test::ModalAnswers player(c.answers);
      window.MenuAction(1001)->trigger();
      EXPECT_EQ(player.Answered(), c.answers.size());
    }
    EXPECT_EQ(game.economy.GetMoney(), 200u);
    OKE* unit = window.StatusView()->Selected();
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->Kind(), 1);
    EXPECT_EQ(unit->spec->name, "scout.spc");
    EXPECT_EQ(window.MessageLog()->currentItem()->text(), QString::fromUtf8("ＯＫＥを配置しました"));
    const auto field = game.battle.Lock();
    EXPECT_EQ(field->playerUnitCount, 1);
    EXPECT_EQ(unit->firstCommand != nullptr, c.withProgram);
    EXPECT_EQ(field->unitList.back(), unit);
    EXPECT_GE(field->fieldList.IndexOf(unit), 0);
  }
}

TEST(CMainWndCampaignTest, RivalEveryThreeMinutesLeaderAtFifteenAcrossTheClockWrap) {
  test::GameFixture game;
  // The 32-bit tick count wraps between the first and the second step.
  const std::uint32_t start = 0xFFFFFFFFu - 200000u;
  CMainWnd& window = game.Open(start);
  game.clock.now = start + 179999u;
  window.CampaignTick();
  EXPECT_EQ(window.MessageLog()->count(), 0);

  std::uint32_t step = start;
  for (int n = 1; n <= 5; ++n) {
    step += 180000u;
    game.clock.now = step;
    const int before = window.MessageLog()->count();
    window.CampaignTick();
    window.CampaignTick();  // the same moment again makes no second step
    game.clock.now = step + 100;
    window.CampaignTick();
    const auto lines = LogLines(window);
    ASSERT_GE(lines.size(), static_cast<std::size_t>(before + 2)) << "step " << n;
    EXPECT_TRUE(IsTaunt(lines[before])) << lines[before];
    EXPECT_TRUE(IsDeploymentCount(lines[before + 1])) << lines[before + 1];
    if (n < 5) {
      EXPECT_EQ(lines.size(), static_cast<std::size_t>(before + 2)) << "step " << n;
    } else {
      // The leader comes in the same tick, right after the deployment. With
      // no debt and 1000 in hand he takes 100.
      ASSERT_EQ(lines.size(), static_cast<std::size_t>(before + 3));
      EXPECT_EQ(lines[before + 2], "100ペコグスタを党首に持って行かれました");
      EXPECT_EQ(game.economy.GetMoney(), 900u);
      EXPECT_EQ(game.economy.GetLeaderWallet(), 1100u);
    }
  }
  EXPECT_EQ(window.CampaignSteps(), 5);
}

TEST(CMainWndCampaignTest, UnreadableMapIsToldAndTheGameGoesOn) {
  test::GameFixture game({"map.txt"});
  test::ModalAnswers player({"OK"});
  CMainWnd& window = game.Open();
  EXPECT_EQ(player.Answered(), 1);
  EXPECT_TRUE(player.texts.contains(QString::fromUtf8("マップファイルが読み込めません")));
  const auto field = game.battle.Lock();
  // Ten random walls, ten parts and the rival's first unit.
  EXPECT_GE(field->fieldList.Count(), 20);
  EXPECT_EQ(field->unitList.size(), 1u);
  EXPECT_TRUE(window.FieldView()->Loop().Running());
}

}  // namespace
}  // namespace kivora
