#include <gtest/gtest.h>

#include "economy/Loan.h"

namespace kivora {
namespace {

TEST(LoanTest, RaisesInHundredsUpToThePurse) {
  struct Case {
    std::uint32_t purse;
    int presses;
    std::uint32_t sum;
    bool canBorrow;
  };
  const Case cases[] = {
      {0, 3, 0, false},                             // an empty purse: nothing moves, 借りる stays off
      {99, 1, 0, false},      {150, 5, 100, true},  // only one step fits
      {1000, 12, 1000, true}, {2'000'000'000u, 3, 300, true},
  };
  for (const auto& c : cases) {
    LoanRequest request;
    for (int i = 0; i < c.presses; ++i) request.Raise(c.purse);
    EXPECT_EQ(request.Sum(), c.sum) << c.purse;
    EXPECT_EQ(request.CanBorrow(), c.canBorrow) << c.purse;
  }
}

TEST(LoanTest, ConfirmAfterThePurseShrankResetsTheSum) {
  LoanRequest request;
  for (int i = 0; i < 5; ++i) request.Raise(1000);
  EXPECT_FALSE(request.Confirm(400));  // the leader spent meanwhile
  EXPECT_EQ(request.Sum(), 0u);
  EXPECT_TRUE(request.CanBorrow());  // 借りる stays on: borrowing 0 is allowed
  EXPECT_TRUE(request.Confirm(400));
  EXPECT_EQ(request.Sum(), 0u);
}

TEST(LoanTest, SettlingMovesTheSumThreeWays) {
  Economy economy(1000, 0, 1000, 0);
  MessageRecorder log;
  EXPECT_TRUE(SettleLoan(700, economy, log));
  EXPECT_EQ(economy.GetMoney(), 1700u);
  EXPECT_EQ(economy.GetDebt(), 700u);
  EXPECT_EQ(economy.GetLeaderWallet(), 300u);
  EXPECT_TRUE(SettleLoan(0, economy, log));
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{"党首から700ペコグスタを借りました", "党首から0ペコグスタを借りました"}));
}

TEST(LoanTest, SettlingMoreThanThePurseIsRefused) {
  Economy economy(1000, 0, 300, 50);
  MessageRecorder log;
  EXPECT_FALSE(SettleLoan(400, economy, log));
  EXPECT_EQ(economy.GetMoney(), 1000u);
  EXPECT_EQ(economy.GetDebt(), 50u);
  EXPECT_EQ(economy.GetLeaderWallet(), 300u);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"党首「そんなに持っておらんから貸せんぞ」"}));
}

}  // namespace
}  // namespace kivora
