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

// Settling moves the sum three ways, or nothing at all when the leader's
// purse is too small.
TEST(LoanTest, SettlingMovesTheSumOrIsRefused) {
  struct Case {
    std::uint32_t money, wallet, debt;  // before
    std::uint32_t sum;
    bool settled;
    std::uint32_t moneyAfter, walletAfter, debtAfter;
    const char* message;
  };
  const Case cases[] = {
      {1000, 1000, 0, 700, true, 1700, 300, 700, "党首から700ペコグスタを借りました"},
      {1700, 300, 700, 0, true, 1700, 300, 700, "党首から0ペコグスタを借りました"},
      {1000, 300, 50, 400, false, 1000, 300, 50, "党首「そんなに持っておらんから貸せんぞ」"},
  };
  for (const Case& c : cases) {
    Economy economy(c.money, 0, c.wallet, c.debt);
    MessageRecorder log;
    EXPECT_EQ(SettleLoan(c.sum, economy, log), c.settled) << c.sum;
    EXPECT_EQ(economy.GetMoney(), c.moneyAfter) << c.sum;
    EXPECT_EQ(economy.GetLeaderWallet(), c.walletAfter) << c.sum;
    EXPECT_EQ(economy.GetDebt(), c.debtAfter) << c.sum;
    EXPECT_EQ(log.lines, std::vector<std::string>{c.message}) << c.sum;
  }
}

}  // namespace
}  // namespace kivora
