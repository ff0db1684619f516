#include "economy/Loan.h"

#include <string>

namespace kivora {

bool LoanRequest::Raise(std::uint32_t leaderWallet) {
  // The sum never passes the purse, which never passes 2,000,000,000, so the
  // addition cannot wrap.
  const std::uint32_t v = sum_ + kStep;
  if (v > leaderWallet) return false;
  sum_ = v;
  canBorrow_ = true;
  return true;
}

bool LoanRequest::Confirm(std::uint32_t leaderWallet) {
  if (sum_ > leaderWallet) {
    sum_ = 0;
    return false;
  }
  return true;
}

bool SettleLoan(std::uint32_t amount, Economy& economy, MessageSink& log) {
  if (amount > economy.GetLeaderWallet()) {
    log.AddMessage("党首「そんなに持っておらんから貸せんぞ」");
    return false;
  }
  economy.SubLeaderWallet(amount);
  economy.AddDebt(amount);
  economy.AddMoney(amount);
  log.AddMessage("党首から" + std::to_string(amount) + "ペコグスタを借りました");
  return true;
}

}  // namespace kivora
