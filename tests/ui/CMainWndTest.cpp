#include "ui/CMainWnd.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "economy/Economy.h"
#include "support/TempDir.h"
#include "ui/FieldViewWnd.h"
#include "ui/StatusViewWnd.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

using test::TestClock;

class CMainWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock.now = 0xFFFF0000u;  // the campaign clock wraps during the tests
    window = std::make_unique<CMainWnd>(economy, clock.Fn());
  }
  void TearDown() override { window.reset(); }

  TestClock clock;
  Economy economy;
  std::unique_ptr<CMainWnd> window;
};

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

}  // namespace
}  // namespace kivora
