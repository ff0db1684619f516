#include "ui/StatusViewWnd.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

#include "economy/Economy.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

QAction* CheckedItem(QMenu& menu) {
  QAction* checked = nullptr;
  for (QAction* a : menu.actions()) {
    if (a->isChecked()) {
      EXPECT_EQ(checked, nullptr) << "two items checked";
      checked = a;
    }
  }
  return checked;
}

TEST(StatusViewWndTest, PopupListsTenIntervalsAndChecksTheCurrentOne) {
  Economy economy;
  test::TestClock clock;
  StatusViewWnd view(economy, clock.Fn(), nullptr);
  EXPECT_EQ(view.RefreshInterval(), 1000);

  std::unique_ptr<QMenu> menu(view.BuildIntervalMenu());
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 12);
  EXPECT_EQ(items[0]->text(), QString::fromUtf8("表示更新間隔"));
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text(), QString::fromUtf8("１秒程度"));
  EXPECT_EQ(items[11]->text(), QString::fromUtf8("わずか100ミリ秒程度"));
  EXPECT_EQ(CheckedItem(*menu), items[2]);

  items[0]->trigger();  // the title does nothing
  EXPECT_EQ(view.RefreshInterval(), 1000);

  QAction* ms300 = items[9];
  ASSERT_EQ(ms300->text(), QString::fromUtf8("300ミリ秒程度"));
  ms300->trigger();
  EXPECT_EQ(view.RefreshInterval(), 300);
  std::unique_ptr<QMenu> again(view.BuildIntervalMenu());
  EXPECT_EQ(CheckedItem(*again), again->actions()[9]);

  struct Case {
    int id, interval;
  } cases[] = {{1001, 100}, {1005, 500}, {1010, 1000}, {1000, 1000}, {1011, 1000}, {0, 1000}};
  for (const Case& c : cases) {
    view.OnIntervalCommand(c.id);
    EXPECT_EQ(view.RefreshInterval(), c.interval) << c.id;
  }
}

TEST(StatusViewWndTest, RefreshRepaintsOnceTheIntervalHasPassedAcrossTheWrap) {
  Economy economy;
  test::TestClock clock;
  clock.now = 0xFFFFFFC0u;
  StatusViewWnd view(economy, clock.Fn(), nullptr);
  view.OnIntervalCommand(1001);  // 100 ms, counted from the last timed repaint
  clock.now += 99;
  EXPECT_FALSE(view.Refresh());
  clock.now += 1;
  EXPECT_TRUE(view.Refresh());
  clock.now += 100;
  EXPECT_TRUE(view.Refresh());
  EXPECT_FALSE(view.Refresh());
}

TEST(StatusViewWndTest, SheetShowsTheCountersWithoutSelection) {
  Economy economy(1000, 0, 1000, 0);
  test::TestClock clock;
  StatusViewWnd view(economy, clock.Fn(), nullptr);
  EXPECT_EQ(view.SheetText(), "残金:      1000ペコグスタ\nポボゴム:         0ポイント\n---- * ----\n");
  economy.AddRivalPoints(3);
  EXPECT_EQ(view.SheetText(), "残金:      1000ペコグスタ\nポボゴム:         3ポイント\n---- * ----\n");
}

}  // namespace
}  // namespace kivora
