#include <gtest/gtest.h>

#include "base/Random.h"
#include "economy/SlotRound.h"

namespace kivora {
namespace {

const std::string kJackpot = "大当たりのよーだな。";
const std::string kTriple = "なんとか揃ったようだぜ。";
const std::string kPair = "惜しかったな。なんだい、がっかりしてるのかい？\nしかたねーな。払い戻してやるぜ。";

// The pay table as players know it, written independently of the rules.
std::uint32_t ExpectedMultiple(int a, int b, int c) {
  if (a == b && b == c) return a == 0 ? 10 : a == 5 ? 6 : 3;
  int pair = -1;
  if (a == b)
    pair = a;
  else if (b == c)
    pair = b;
  if (pair < 0) return 0;
  return pair == 0 ? 5 : pair == 5 ? 3 : 1;
}

TEST(SlotRoundTest, SettleTableOverAllCombinations) {
  std::uint32_t total = 0;
  for (int a = 0; a < 6; ++a) {
    for (int b = 0; b < 6; ++b) {
      for (int c = 0; c < 6; ++c) {
        const auto s = SlotRound::Settle({a, b, c}, 100);
        const std::uint32_t m = ExpectedMultiple(a, b, c);
        SCOPED_TRACE(testing::Message() << a << b << c);
        EXPECT_EQ(s.multiple, m);
        EXPECT_EQ(s.payout, 100 * m);
        const std::string expected = m == 0 ? "はずれだぜ。\n100 ペコグスタは俺がもらっておくぜ。"
                                            : (a == b && b == c ? (m == 10 ? kJackpot : kTriple) : kPair) + "\n" +
                                                  std::to_string(100 * m) + " ペコグスタを入金しておいたぜ";
        EXPECT_EQ(s.message, expected);
        total += s.multiple;
      }
    }
  }
  EXPECT_EQ(total, 148u);  // pays back 148/216 of the stakes
}

TEST(SlotRoundTest, ExamplesWithAStakeOf300) {
  EXPECT_EQ(SlotRound::Settle({0, 0, 0}, 300).message, kJackpot + "\n3000 ペコグスタを入金しておいたぜ");
  EXPECT_EQ(SlotRound::Settle({2, 2, 4}, 300).payout, 300u);
  const auto miss = SlotRound::Settle({1, 3, 1}, 300);  // first and last alone win nothing
  EXPECT_EQ(miss.payout, 0u);
  EXPECT_EQ(miss.message, "はずれだぜ。\n300 ペコグスタは俺がもらっておくぜ。");
}

TEST(SlotRoundTest, PayoutBeyond32BitsStopsAtTheMoneyLimit) {
  const auto s = SlotRound::Settle({0, 0, 0}, 1'500'000'000u);
  EXPECT_EQ(s.payout, 2'000'000'000u);
  EXPECT_EQ(s.message, kJackpot + "\n2000000000 ペコグスタを入金しておいたぜ");
  EXPECT_EQ(SlotRound::Settle({0, 0, 0}, 429'496'730u).payout, 2'000'000'000u);  // 10x wraps 32 bits to 4
  EXPECT_EQ(SlotRound::Settle({5, 5, 1}, 1'999'999'999u).payout, 2'000'000'000u);
}

TEST(SlotRoundTest, StakeRisesOnlyWhileTheMoneyCoversIt) {
  SlotRound round;
  EXPECT_FALSE(round.CanStart());
  EXPECT_FALSE(round.CanStop());
  EXPECT_TRUE(round.CanRaise());
  EXPECT_TRUE(round.Raise(150));
  EXPECT_FALSE(round.Raise(150));
  EXPECT_EQ(round.Bet(), 100u);
  EXPECT_TRUE(round.CanStart());
  EXPECT_TRUE(round.Raise(2'000'000'000u));
  EXPECT_EQ(round.Bet(), 200u);
}

TEST(SlotRoundTest, StartRefusedWhenTheMoneyFell) {
  Economy economy(300, 0, 0, 0);
  SlotRound round;
  round.Raise(economy.GetMoney());
  round.Raise(economy.GetMoney());
  economy.SubMoney(250);  // the leader came by
  EXPECT_EQ(round.Start(economy), std::optional<std::string>("掛けるだけのペコグスタがねーぜ"));
  // While ポボゴム says so, the stake stands and nothing can be pressed.
  EXPECT_TRUE(round.Announcing());
  EXPECT_EQ(round.Bet(), 200u);
  EXPECT_FALSE(round.CanStart());
  EXPECT_FALSE(round.CanRaise());
  EXPECT_FALSE(round.Raise(economy.GetMoney()));
  EXPECT_FALSE(round.Spinning());
  round.CloseRound(economy);
  EXPECT_FALSE(round.Announcing());
  EXPECT_EQ(round.Bet(), 0u);
  EXPECT_FALSE(round.CanStart());
  EXPECT_TRUE(round.CanRaise());
  EXPECT_EQ(economy.GetMoney(), 50u);
}

TEST(SlotRoundTest, RoundTurnsTwiceAfterStopAndSettlesTheLastDraw) {
  Random random(4242);
  Economy economy(1000, 0, 0, 0);
  SlotRound round;
  for (int i = 0; i < 3; ++i) round.Raise(economy.GetMoney());
  EXPECT_EQ(round.Start(economy), std::nullopt);
  EXPECT_EQ(economy.GetMoney(), 700u);
  EXPECT_TRUE(round.Spinning());
  EXPECT_TRUE(round.CanStop());
  EXPECT_FALSE(round.CanRaise());
  EXPECT_FALSE(round.CanStart());

  for (int i = 0; i < 10; ++i) EXPECT_EQ(round.Tick(random), std::nullopt);
  round.Stop();
  EXPECT_FALSE(round.CanStop());
  // Predict the two remaining turns from the same generator.
  Random copy = random;
  SlotRound::Reels expected{};
  for (int turn = 0; turn < 2; ++turn) {
    for (auto& r : expected) r = randomRange(copy, 0, 5);
  }
  EXPECT_EQ(round.Tick(random), std::nullopt);
  const auto settled = round.Tick(random);
  ASSERT_TRUE(settled.has_value());
  EXPECT_EQ(round.CurrentReels(), expected);
  EXPECT_EQ(*settled, SlotRound::Settle(expected, 300));
  // First ポボゴム's word: the stake stands, the winnings are owed, not paid.
  EXPECT_TRUE(round.Announcing());
  EXPECT_EQ(round.Owed(), settled->payout);
  EXPECT_EQ(economy.GetMoney(), 700u);
  EXPECT_EQ(round.Bet(), 300u);
  EXPECT_FALSE(round.Spinning());
  EXPECT_FALSE(round.CanStart() || round.CanStop() || round.CanRaise());
  EXPECT_EQ(round.Tick(random), std::nullopt);  // no second settling
  // Then the stake goes and the winnings come, once.
  round.CloseRound(economy);
  round.CloseRound(economy);
  EXPECT_EQ(economy.GetMoney(), 700u + settled->payout);
  EXPECT_EQ(round.Bet(), 0u);
  EXPECT_EQ(round.Owed(), 0u);
  EXPECT_FALSE(round.CanStart());
  EXPECT_FALSE(round.CanStop());
  EXPECT_TRUE(round.CanRaise());
  EXPECT_EQ(round.Tick(random), std::nullopt);  // idle: the reels stay put
  EXPECT_EQ(round.CurrentReels(), expected);
}

TEST(SlotRoundTest, PaysBackAboutTwoThirdsOverManyRounds) {
  Random random(99);
  Economy economy(2'000'000'000u, 0, 0, 0);
  const int rounds = 20000;
  std::uint64_t paid = 0;
  for (int i = 0; i < rounds; ++i) {
    SlotRound round;
    round.Raise(economy.GetMoney());
    round.Start(economy);
    round.Stop();
    round.Tick(random);
    const auto s = round.Tick(random);
    ASSERT_TRUE(s.has_value());
    paid += s->payout;
  }
  const double share = static_cast<double>(paid) / (100.0 * rounds);
  EXPECT_NEAR(share, 148.0 / 216.0, 0.05);
}

}  // namespace
}  // namespace kivora
