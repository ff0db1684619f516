#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Random.h"
#include "economy/LeaderVisit.h"

namespace kivora {
namespace {

using Lines = std::vector<std::string>;

const Lines kPraise = {"党首「よしよし。たくさん稼いだな。」", "党首「よしよし。その調子だぞ。」",
                       "党首「今月の小遣いが足りないからもらっていくぞ。」"};
const Lines kScolding = {"党首「ばっかもーん！しっかり稼がんかい！」", "党首「ばっかもーん！無駄遣いするな！」",
                         "党首「今度来るまでに１万ペコグスタ用意するように（－－）」"};
const std::string kWorking = "党首「ちゃんと働いておるか？」";
const std::string kRepaid = "党首「お、返済できるようだな。もらっておくぞ（－－）」";
std::string Taken(int n) { return std::to_string(n) + "ペコグスタを党首に持って行かれました"; }
std::string Grew(int n) { return "党首への借金が" + std::to_string(n) + "ペコグスタ増えました"; }
const std::string kAnyPraise = "<praise>";
const std::string kAnyScolding = "<scolding>";

// Runs one visit (the fifth call) and returns what was logged, with the
// randomly chosen lines replaced by their kind.
Lines Visit(Economy& economy) {
  Random random;
  MessageRecorder log;
  std::int32_t count = 4;
  EXPECT_TRUE(LeaderVisit(count, economy, random, log));
  EXPECT_EQ(count, 0);
  for (auto& line : log.lines) {
    for (const auto& p : kPraise)
      if (line == p) line = kAnyPraise;
    for (const auto& s : kScolding)
      if (line == s) line = kAnyScolding;
  }
  return log.lines;
}

TEST(LeaderVisitTest, WorkedExamples) {
  struct Case {
    std::uint32_t money, debt;
    Lines lines;
    std::uint32_t moneyAfter, debtAfter;
    std::int64_t purseChange;
  };
  const Case cases[] = {
      {1000, 0, {Taken(100)}, 900, 0, +100},
      {12345, 0, {kAnyPraise, Taken(1300)}, 11045, 0, +1300},
      {300, 1000, {kWorking, Grew(100), Taken(100)}, 200, 1100, +100},
      {8000, 2000, {kRepaid, Taken(2000), Taken(500)}, 5500, 0, +2500},
      {50, 0, {kAnyScolding}, 50, 0, -100},
      // The edges of the allowance.
      {10000, 0, {kAnyPraise, Taken(1000)}, 9000, 0, +1000},
      {10009, 0, {kAnyPraise, Taken(1000)}, 9009, 0, +1000},
      {10010, 0, {kAnyPraise, Taken(1100)}, 8910, 0, +1100},
      {9999, 0, {Taken(500)}, 9499, 0, +500},
      {5001, 0, {Taken(500)}, 4501, 0, +500},
      {5000, 0, {Taken(100)}, 4900, 0, +100},
      {101, 0, {Taken(100)}, 1, 0, +100},
      {100, 0, {kAnyScolding}, 100, 0, -100},
      {0, 0, {kAnyScolding}, 0, 0, -100},
      // A debt below 10 grows by nothing, and says so.
      {5, 9, {kWorking, Grew(0), kAnyScolding}, 5, 9, -100},
      // No partial repayment: one short of the debt pays nothing back.
      {999, 1000, {kWorking, Grew(100), Taken(100)}, 899, 1100, +100},
      // Repaying exactly everything leaves nothing, so the allowance is a scolding.
      {1000, 1000, {kRepaid, Taken(1000), kAnyScolding}, 0, 0, +900},
      // The allowance is taken from what is left after repaying.
      {20000, 5000, {kRepaid, Taken(5000), kAnyPraise, Taken(1500)}, 13500, 0, +6500},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "money " << c.money << " debt " << c.debt);
    Economy economy(c.money, 0, 1000, c.debt);
    EXPECT_EQ(Visit(economy), c.lines);
    EXPECT_EQ(economy.GetMoney(), c.moneyAfter);
    EXPECT_EQ(economy.GetDebt(), c.debtAfter);
    EXPECT_EQ(std::int64_t{economy.GetLeaderWallet()} - 1000, c.purseChange);
  }
}

TEST(LeaderVisitTest, ComesOnEveryFifthCall) {
  Economy economy;
  Random random;
  MessageRecorder log;
  std::int32_t count = 0;
  std::vector<int> visits;
  for (int call = 1; call <= 15; ++call) {
    if (LeaderVisit(count, economy, random, log)) visits.push_back(call);
  }
  EXPECT_EQ(visits, (std::vector<int>{5, 10, 15}));
  EXPECT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(economy.GetMoney(), 700u);
}

TEST(LeaderVisitTest, ScoldingEmptiesThePurseButNoFurther) {
  Economy economy(0, 0, 60, 0);
  Visit(economy);
  EXPECT_EQ(economy.GetLeaderWallet(), 0u);
}

TEST(LeaderVisitTest, RandomLinesFollowTheDrawInOrder) {
  for (std::uint32_t seed : {1u, 7u, 12345u}) {
    Random random(seed);
    const int pick = randomRange(random, 0, 2);
    random.Seed(seed);
    Economy economy(50000, 0, 1000, 0);
    MessageRecorder log;
    std::int32_t count = 4;
    LeaderVisit(count, economy, random, log);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], kPraise[static_cast<std::size_t>(pick)]);

    random.Seed(seed);
    Economy poor(10, 0, 1000, 0);
    MessageRecorder log2;
    count = 4;
    LeaderVisit(count, poor, random, log2);
    ASSERT_EQ(log2.lines.size(), 1u);
    EXPECT_EQ(log2.lines[0], kScolding[static_cast<std::size_t>(pick)]);
  }
}

TEST(LeaderVisitTest, HugeFiguresSaturate) {
  Economy economy(2'000'000'000u, 0, 1'999'999'000u, 1'999'000'000u);
  const Lines lines = Visit(economy);
  // Repays 1,999,000,000 into a purse that stops at the limit; a tenth of
  // the 1,000,000 left is the allowance.
  EXPECT_EQ(economy.GetDebt(), 0u);
  EXPECT_EQ(economy.GetMoney(), 900'000u);
  EXPECT_EQ(economy.GetLeaderWallet(), 2'000'000'000u);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], Taken(100000));
}

}  // namespace
}  // namespace kivora
