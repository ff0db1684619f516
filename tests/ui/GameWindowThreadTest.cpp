// The window thread and the battle's thread sharing the field: deployments,
// selections, sheet reads and paints while the world ticks, then a close in
// the middle of it all. Meant for ThreadSanitizer.
#include <QListWidget>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "sim/Field.h"
#include "sim/OKE.h"
#include "ui/FieldViewWnd.h"
#include "ui/StatusViewWnd.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

TEST(GameWindowThreadTest, WindowThreadWorksTheFieldWhileTheBattleTicks) {
  test::GameFixture game;
  CMainWnd& window = game.Open();
  window.show();
  const FieldViewWnd* view = window.FieldView();
  ASSERT_TRUE(test::SpinUntil([&] { return view->Loop().Ticks() >= 2; }));

  const std::uint64_t ticksBefore = view->Loop().Ticks();
  for (int round = 0; round < 12; ++round) {
    game.clock.now += 180000;  // a rival deployment every round
    window.CampaignTick();

    std::vector<std::pair<std::int32_t, std::int32_t>> spots;
    {
      const auto field = game.battle.Lock();
      for (const OKE* unit : field->unitList) spots.emplace_back(unit->x, unit->y);
    }
    for (const auto& [x, y] : spots) {
      window.SelectAt(x, y);
      (void)window.StatusView()->SheetText();
    }
    if (round % 4 == 3) window.ClearSelection();
    window.StatusView()->repaint();
    (void)window.FieldView()->grab();
    test::SpinUntil([] { return false; }, 40);
  }
  EXPECT_GT(view->Loop().Ticks(), ticksBefore);
  EXPECT_GT(window.MessageLog()->count(), 12);

  // Close while the battle runs; the thread must be gone before the field.
  window.close();
  game.window.reset();
}

}  // namespace
}  // namespace kivora
