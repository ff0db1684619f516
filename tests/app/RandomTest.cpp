#include "app/Random.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace kivora {
namespace {

// Restores the calling thread's generator so tests do not disturb each other.
class RandomTest : public ::testing::Test {
protected:
  void SetUp() override { saved_ = GetRandomState(); }
  void TearDown() override { SetRandomState(saved_); }
  std::uint32_t saved_ = 0;
};

TEST_F(RandomTest, TheClassicSequenceFromStateOne) {
  SeedRandom(1);
  // state 1 -> 1103527590 -> ...; results are bits 16..30.
  const int expected[] = {16838, 5758, 10113, 17515, 31051};
  for (int e : expected) EXPECT_EQ(RandomDraw(), e);
}

TEST_F(RandomTest, RangesStayInsideAndCoverEveryValue) {
  SeedRandom(12345);
  struct Case {
    int lo, hi;
  };
  const Case cases[] = {{-150, 150}, {1, 10}, {0, 0}, {0, 32766}, {2147483000, 2147483647}, {-2147483647 - 1, -2147483000}};
  for (const Case& c : cases) {
    std::map<int, int> seen;
    const int draws = c.hi - c.lo < 1000 ? 60000 : 2000;
    for (int i = 0; i < draws; ++i) {
      const int r = randomRange(c.lo, c.hi);
      ASSERT_GE(r, c.lo);
      ASSERT_LE(r, c.hi);
      ++seen[r];
    }
    if (c.hi - c.lo < 1000) {
      EXPECT_EQ(static_cast<int>(seen.size()), c.hi - c.lo + 1) << c.lo << ".." << c.hi;
    }
  }
}

TEST_F(RandomTest, EvenSpreadOverAnOddSpan) {
  SeedRandom(99);
  std::map<int, int> seen;
  const int n = 301 * 400;
  for (int i = 0; i < n; ++i) ++seen[randomRange(-150, 150)];
  for (const auto& [value, count] : seen) {
    EXPECT_GT(count, 280) << value;  // expected 400 each
    EXPECT_LT(count, 520) << value;
  }
}

TEST_F(RandomTest, SpansOutsideTheServedRangeStillReturn) {
  SeedRandom(7);
  EXPECT_EQ(randomRange(1, 0), 1);
  EXPECT_EQ(randomRange(5, -5), 5);
  EXPECT_EQ(randomRange(2147483647, -2147483647 - 1), 2147483647);
  for (int i = 0; i < 1000; ++i) {
    const int r = randomRange(1, 100000);
    ASSERT_GE(r, 1);
    ASSERT_LE(r, 100000);
    const int w = randomRange(-2147483647 - 1, 2147483647);
    (void)w;
  }
  // The empty span draws nothing.
  const std::uint32_t before = GetRandomState();
  randomRange(3, 2);
  EXPECT_EQ(GetRandomState(), before);
}

TEST(RandomThreadTest, EveryThreadStartsAtStateOne) {
  int first[2] = {0, 0};
  std::thread a([&] { first[0] = RandomDraw(); });
  a.join();
  std::thread b([&] {
    first[1] = RandomDraw();
  });
  b.join();
  EXPECT_EQ(first[0], 16838);
  EXPECT_EQ(first[1], 16838);
  // Draws on one thread leave another thread's sequence alone.
  std::uint32_t mine = GetRandomState();
  std::thread c([] { for (int i = 0; i < 100; ++i) RandomDraw(); });
  c.join();
  EXPECT_EQ(GetRandomState(), mine);
}

}  // namespace
}  // namespace kivora
