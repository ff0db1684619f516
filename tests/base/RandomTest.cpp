#include "base/Random.h"

#include <gtest/gtest.h>

#include <map>

namespace kivora {
namespace {

TEST(RandomTest, TheClassicSequenceFromStateOne) {
  // A new generator is at state 1 -> 1103527590 -> ...; results are bits 16..30.
  Random random;
  const int expected[] = {16838, 5758, 10113, 17515, 31051};
  for (int e : expected) EXPECT_EQ(random.Draw(), e);
  random.Seed(1);
  EXPECT_EQ(random.Draw(), 16838);
}

TEST(RandomTest, RangesStayInsideAndCoverEveryValue) {
  Random random(12345);
  struct Case {
    int lo, hi;
  };
  const Case cases[] = {{-150, 150}, {1, 10}, {0, 0}, {0, 32766}, {2147483000, 2147483647}, {-2147483647 - 1, -2147483000}};
  for (const Case& c : cases) {
    std::map<int, int> seen;
    const int draws = c.hi - c.lo < 1000 ? 60000 : 2000;
    for (int i = 0; i < draws; ++i) {
      const int r = randomRange(random, c.lo, c.hi);
      ASSERT_GE(r, c.lo);
      ASSERT_LE(r, c.hi);
      ++seen[r];
    }
    if (c.hi - c.lo < 1000) {
      EXPECT_EQ(static_cast<int>(seen.size()), c.hi - c.lo + 1) << c.lo << ".." << c.hi;
    }
  }
}

TEST(RandomTest, EvenSpreadOverAnOddSpan) {
  Random random(99);
  std::map<int, int> seen;
  const int n = 301 * 400;
  for (int i = 0; i < n; ++i) ++seen[randomRange(random, -150, 150)];
  for (const auto& [value, count] : seen) {
    EXPECT_GT(count, 280) << value;  // expected 400 each
    EXPECT_LT(count, 520) << value;
  }
}

TEST(RandomTest, SpansOutsideTheServedRangeStillReturn) {
  Random random(7);
  EXPECT_EQ(randomRange(random, 1, 0), 1);
  EXPECT_EQ(randomRange(random, 5, -5), 5);
  EXPECT_EQ(randomRange(random, 2147483647, -2147483647 - 1), 2147483647);
  for (int i = 0; i < 1000; ++i) {
    const int r = randomRange(random, 1, 100000);
    ASSERT_GE(r, 1);
    ASSERT_LE(r, 100000);
    const int w = randomRange(random, -2147483647 - 1, 2147483647);
    (void)w;
  }
  // The empty span draws nothing.
  const std::uint32_t before = random.State();
  randomRange(random, 3, 2);
  EXPECT_EQ(random.State(), before);
}

}  // namespace
}  // namespace kivora
