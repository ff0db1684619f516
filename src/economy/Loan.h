#pragma once
#include <cstdint>

#include "economy/Economy.h"
#include "economy/MessageSink.h"

namespace kivora {

// The sum the player is about to borrow from the party leader, raised in
// steps of 100 up to what his purse holds at the moment of each step.
class LoanRequest {
public:
  static constexpr std::uint32_t kStep = 100;

  std::uint32_t Sum() const { return sum_; }
  // Whether 借りる can be pressed: once the sum has been raised, it stays so.
  bool CanBorrow() const { return canBorrow_; }

  // +100: refused (false, nothing changes) when the new sum would pass the purse.
  bool Raise(std::uint32_t leaderWallet);

  // 借りる: true when the sum still fits the purse (the loan is asked for);
  // otherwise the sum goes back to 0 and the player may try again.
  bool Confirm(std::uint32_t leaderWallet);

private:
  std::uint32_t sum_ = 0;
  bool canBorrow_ = false;
};

// Hands the confirmed `amount` over: out of the leader's purse, onto the
// debt and into the player's money, or refuses when the purse no longer
// holds it. Returns true when the money was lent.
bool SettleLoan(std::uint32_t amount, Economy& economy, MessageSink& log);

}  // namespace kivora
