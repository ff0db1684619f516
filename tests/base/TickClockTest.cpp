#include "base/TickClock.h"

#include <gtest/gtest.h>

namespace kivora {
namespace {

TEST(TickClockTest, ElapsedTimeSurvivesTheWrap) {
  struct Case { std::uint32_t then, now, elapsed; };
  const Case cases[] = {
      {1000, 181000, 180000},
      {0xFFFFFF00u, 0x00000100u, 0x200},
      {0xFFFFFFFFu, 0, 1},
      {5, 5, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TicksSince(c.then, c.now), c.elapsed) << c.then << "->" << c.now;
}

}  // namespace
}  // namespace kivora
