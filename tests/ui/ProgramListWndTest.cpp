#include "ui/ProgramListWnd.h"

#include <QAction>
#include <QListView>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/Battle.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "support/ModelText.h"
#include "support/TempDir.h"
#include "ui/StatusViewWnd.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

// The rows drawn as the current command.
std::vector<int> HighlightedRows(const ProgramListWnd& window) {
  std::vector<int> rows;
  const QAbstractItemModel* model = window.List()->model();
  for (int r = 0; r < model->rowCount(); ++r)
    if (model->data(model->index(r, 0), Qt::BackgroundRole).isValid()) rows.push_back(r);
  return rows;
}

TEST(ProgramListWndTest, OpensFromTheSheetsMenuOrADoubleClickAndClosesWithEscape) {
  test::GameFixture game;
  CMainWnd& window = game.Open();
  window.show();
  StatusViewWnd& status = *window.StatusView();
  EXPECT_EQ(window.ProgramList(), nullptr);

  std::unique_ptr<QMenu> menu(status.BuildIntervalMenu());
  QAction* item = menu->actions().back();
  ASSERT_EQ(item->text(), QString::fromUtf8("プログラム表示"));
  item->trigger();
  ProgramListWnd* list = window.ProgramList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_TRUE(list->windowFlags() & Qt::Tool);
  EXPECT_EQ(list->windowModality(), Qt::NonModal);
  EXPECT_EQ(list->windowTitle(), QString::fromUtf8("プログラム表示"));
  EXPECT_EQ(list->HeadText(), QString::fromUtf8("ＯＫＥが選択されていません"));
  EXPECT_EQ(list->LineCount(), 0);

  // The rival deployed at set-up, selected as by a click on it.
  Ref<OKE> rival;
  {
    const auto field = game.battle.Lock();
    ASSERT_FALSE(field->unitList.empty());
    rival = Ref<OKE>(field->unitList.front());
  }
  status.Select(rival.get());
  EXPECT_TRUE(list->HeadText().startsWith(QString::fromUtf8("ポボゴム カヴォラ[")));
  EXPECT_GT(list->LineCount(), 0);
  EXPECT_TRUE(list->Line(0).startsWith("0 "));

  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(list->LineCount(), 0);  // a closed window keeps no unit

  QTest::mouseDClick(&status, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(window.ProgramList(), list);  // the same window again
  EXPECT_GT(list->LineCount(), 0);
}

// A battle without its thread: the test runs the ticks.
class ProgramListWndFollowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("unit.spc", test::ModelText(1, 100));
    status.OnIntervalCommand(1001);
    window.Open();
  }

  OKE* Deploy(const std::string& program) {
    dir.Write("p.prg", program);
    Ref<OKE> unit = battle.NewUnit(1, "unit.spc");
    EXPECT_TRUE(unit && battle.GiveProgram(*unit, "p.prg"));
    return battle.Deploy(std::move(unit));
  }
  // One tick, and the sheet's next timed repaint.
  void Tick() {
    battle.Tick();
    clock.now += 100;
    ASSERT_TRUE(status.Refresh());
  }

  test::TempDir dir;
  Battle battle{dir.Path()};
  test::TestClock clock;
  StatusViewWnd status{battle.Shared(), battle.GetEconomy(), clock.Fn(), nullptr};
  ProgramListWnd window{battle.Shared(), status, nullptr};
};

TEST_F(ProgramListWndFollowTest, HighlightFollowsTheProgramAndTheSelection) {
  OKE* counter = Deploy(":top\nVAR,A+1\nCOND,A>=2,reset\n>top\n:reset\nVAR,A=0\n");
  OKE* walker = Deploy(":top\nFORWARD\nBACKWARD\n>top\n");
  status.Select(counter);
  ASSERT_EQ(window.LineCount(), 3);
  EXPECT_EQ(window.Line(1), "1 COND:A>=2 next=0 jump=2");
  const std::vector<int> rows[] = {{0}, {1}, {0}, {1}, {2}, {}};  // after each tick
  EXPECT_EQ(HighlightedRows(window), rows[0]);
  for (std::size_t tick = 1; tick < std::size(rows); ++tick) {
    Tick();
    EXPECT_EQ(HighlightedRows(window), rows[tick]) << "tick " << tick;
  }
  EXPECT_EQ(window.CurrentRow(), -1);  // the program has stopped
  EXPECT_TRUE(window.HeadText().endsWith(QString::fromUtf8("実行<->")));

  status.Select(walker);  // shown at once, not at the next repaint
  ASSERT_EQ(window.LineCount(), 2);
  EXPECT_EQ(window.Line(1), "1 BACKWARD next=0 jump=-");
  EXPECT_EQ(window.CurrentRow(), 1);  // five commands run in the ticks above

  status.ClearSelection();
  EXPECT_EQ(window.LineCount(), 0);  // the list is told, not only the copy
  EXPECT_EQ(window.HeadText(), QString::fromUtf8("ＯＫＥが選択されていません"));
}

TEST_F(ProgramListWndFollowTest, CurrentCommandIsKeptInView) {
  std::string program = "COND,A==0,far\n";
  for (int i = 0; i < 300; ++i) program += "NOP\n";
  program += ":far\nVAR,A+1\n";
  status.Select(Deploy(program));
  window.resize(360, 300);
  QCoreApplication::processEvents();
  QListView* list = window.List();
  const auto shown = [list](int row) {
    return list->viewport()->rect().intersects(list->visualRect(list->model()->index(row, 0)));
  };
  EXPECT_TRUE(shown(0));
  EXPECT_FALSE(shown(301));
  Tick();
  QCoreApplication::processEvents();
  ASSERT_EQ(window.CurrentRow(), 301);
  EXPECT_TRUE(shown(301));
  EXPECT_FALSE(shown(0));
}

}  // namespace
}  // namespace kivora
