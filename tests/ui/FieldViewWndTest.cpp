#include "ui/FieldViewWnd.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "game/Battle.h"
#include "support/TempDir.h"
#include "ui/UiTestSupport.h"

namespace kivora {
namespace {

using test::Click;

TEST(FieldViewWndTest, LeftClickSelectsAtTheFieldPointRightClickClears) {
  std::optional<std::pair<std::int32_t, std::int32_t>> selected;
  int clears = 0;
  test::TempDir dir;
  dir.Write("map.txt", "");
  Battle battle(dir.Path());
  FieldViewWnd view(battle,
                    {[&](std::int32_t x, std::int32_t y) { selected = {x, y}; }, [&] { ++clears; }}, nullptr);
  view.show();
  struct Case {
    QPoint pixel;
    std::int32_t x, y;
  } cases[] = {{{160, 160}, 0, 0}, {{0, 0}, -16000, 16000}, {{319, 319}, 15900, -15900}, {{161, 150}, 100, 1000}};
  for (const Case& c : cases) {
    selected.reset();
    Click(&view, Qt::LeftButton, c.pixel);
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(*selected, std::make_pair(c.x, c.y)) << c.pixel.x() << "," << c.pixel.y();
  }
  selected.reset();
  Click(&view, Qt::RightButton, QPoint(10, 10));
  EXPECT_EQ(clears, 1);
  EXPECT_FALSE(selected.has_value());
}

}  // namespace
}  // namespace kivora
