#include "ui/StatusViewWnd.h"

#include <QAction>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

#include "economy/Economy.h"
#include "support/SimTestSupport.h"
#include "sim/WorldStep.h"
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
  test::SharedTestField f;
  test::TestClock clock;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  EXPECT_EQ(view.RefreshInterval(), 1000);

  std::unique_ptr<QMenu> menu(view.BuildIntervalMenu());
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 14);  // and the program window's item below a separator
  EXPECT_EQ(items[0]->text(), QString::fromUtf8("表示更新間隔"));
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(items[2]->text(), QString::fromUtf8("１秒程度"));
  EXPECT_EQ(items[11]->text(), QString::fromUtf8("わずか100ミリ秒程度"));
  EXPECT_TRUE(items[12]->isSeparator());
  EXPECT_EQ(items[13]->text(), QString::fromUtf8("プログラム表示"));
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

TEST(StatusViewWndTest, PopupMarksOnlyTheCurrentInterval) {
  test::SharedTestField f;
  test::TestClock clock;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  for (int id : {1010, 1003, 1001}) {
    view.OnIntervalCommand(id);
    std::unique_ptr<QMenu> menu(view.BuildIntervalMenu());
    int marked = 0;
    for (QAction* a : menu->actions()) marked += a->isCheckable() ? 1 : 0;
    EXPECT_EQ(marked, 1) << id;  // an empty box beside every other item is no check mark
    ASSERT_NE(CheckedItem(*menu), nullptr);
    EXPECT_EQ(CheckedItem(*menu)->data().toInt(), id);
  }
}

TEST(StatusViewWndTest, RefreshRepaintsOnceTheIntervalHasPassedAcrossTheWrap) {
  test::SharedTestField f;
  test::TestClock clock;
  clock.now = 0xFFFFFFC0u;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  view.OnIntervalCommand(1001);  // 100 ms, counted from the last timed repaint
  clock.now += 99;
  EXPECT_FALSE(view.Refresh());
  clock.now += 1;
  EXPECT_TRUE(view.Refresh());
  clock.now += 100;
  EXPECT_TRUE(view.Refresh());
  EXPECT_FALSE(view.Refresh());
}

TEST(StatusViewWndTest, SelectionByPointByPurchaseAndClear) {
  test::SharedTestField f;
  test::TestClock clock;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  const std::string heads = "残金:      1000ペコグスタ\nポボゴム:         0ポイント\n---- * ----\n";
  EXPECT_EQ(view.SheetText(), heads);

  const OKEspec spec = test::PlainSpec();
  OKE* mine = f.Unit(spec, 1, 1000, 1000);
  OKE* rival = f.Unit(spec, 0, -1000, -1000);
  view.SelectAt(0, 0);  // empty ground
  EXPECT_EQ(view.Selected(), nullptr);
  view.SelectAt(1100, 900);
  EXPECT_EQ(view.Selected(), mine);
  EXPECT_EQ(mine->RefCount(), 2);  // the field's and the view's
  EXPECT_EQ(view.SheetText().substr(heads.size(), view.SheetText().find('\n', heads.size()) - heads.size()),
            "ペコ党部隊 カヴォラ[plain.spc]");
  view.SelectAt(0, 0);  // empty ground keeps the selection
  EXPECT_EQ(view.Selected(), mine);
  view.SelectAt(1000, 1000);  // the same unit again: no second reference
  EXPECT_EQ(mine->RefCount(), 2);

  view.Select(rival);  // as after a purchase
  EXPECT_EQ(view.Selected(), rival);
  EXPECT_EQ(mine->RefCount(), 1);
  EXPECT_EQ(rival->RefCount(), 2);
  EXPECT_NE(view.SheetText().find("ポボゴム カヴォラ[plain.spc]\nx:-10 y:-10"), std::string::npos);

  view.ClearSelection();
  EXPECT_EQ(view.Selected(), nullptr);
  EXPECT_EQ(rival->RefCount(), 1);
  EXPECT_EQ(view.SheetText(), heads);
  view.ClearSelection();  // clearing nothing is harmless
}

TEST(StatusViewWndTest, FallenUnitStaysSelectedWithItsLastValues) {
  test::SharedTestField f;
  test::TestClock clock;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  const OKEspec spec = test::PlainSpec();  // units keep a pointer to their model
  OKE* unit = f.Unit(spec, 1, 0, 0);
  view.Select(unit);
  unit->hp = 0;
  WorldStep(*f.shared.Lock());
  EXPECT_TRUE(f.shared.Lock()->unitList.empty());
  ASSERT_EQ(view.Selected(), unit);
  EXPECT_EQ(unit->RefCount(), 1);  // only the view keeps it now
  EXPECT_NE(view.SheetText().find("HP:0  武器:5 発"), std::string::npos);
  view.ClearSelection();  // the last reference: the unit goes
}

// The sheet of a selected unit is 20 lines of 16 pixels: the pair of the
// last variables (M and Z) must reach the view, cut at the bottom at most.
TEST(StatusViewWndTest, LastVariableLinesReachTheView) {
  test::SharedTestField f;
  test::TestClock clock;
  StatusViewWnd view(f.shared, f.economy, clock.Fn(), nullptr);
  view.resize(319, 320);
  const OKEspec spec = test::PlainSpec();
  OKE* unit = f.Unit(spec, 1, 0, 0);
  view.Select(unit);
  const QImage zero = view.grab().toImage();
  for (int line : {11, 12}) {  // L and Y, then M and Z
    unit->variables[static_cast<std::size_t>(line)] = -1111111111;
    unit->variables[static_cast<std::size_t>(13 + line)] = -1111111111;
    EXPECT_NE(view.grab().toImage(), zero) << "line of " << char('A' + line) << " not shown";
    unit->variables[static_cast<std::size_t>(line)] = 0;
    unit->variables[static_cast<std::size_t>(13 + line)] = 0;
  }
  view.ClearSelection();
}

}  // namespace
}  // namespace kivora
