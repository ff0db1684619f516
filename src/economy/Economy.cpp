#include "economy/Economy.h"

#include <algorithm>

namespace kivora {

namespace {

// One compare-and-swap loop per operation: the new value is computed from
// the value actually replaced, so concurrent changes compose.
template <typename F>
void Update(std::atomic<std::uint32_t>& counter, F change) {
    std::uint32_t old = counter.load(std::memory_order_relaxed);
    while (!counter.compare_exchange_weak(old, change(old), std::memory_order_acq_rel,
                                          std::memory_order_relaxed)) {
    }
}

void Sub(std::atomic<std::uint32_t>& counter, std::uint32_t n) {
    Update(counter, [n](std::uint32_t v) { return Economy::SaturatingSub(v, n); });
}

void Add(std::atomic<std::uint32_t>& counter, std::uint32_t n, std::uint32_t limit) {
    Update(counter, [n, limit](std::uint32_t v) { return Economy::SaturatingAdd(v, n, limit); });
}

}  // namespace

Economy::Economy() : Economy(kStartMoney, kStartRivalPoints, kStartLeaderWallet, kStartDebt) {}

Economy::Economy(std::uint32_t money, std::uint32_t rivalPoints, std::uint32_t leaderWallet,
                 std::uint32_t debt)
    : money_(std::min(money, kMoneyLimit)),
      rivalPoints_(std::min(rivalPoints, kRivalPointsLimit)),
      leaderWallet_(std::min(leaderWallet, kMoneyLimit)),
      debt_(std::min(debt, kMoneyLimit)) {}

std::uint32_t Economy::GetMoney() const { return money_.load(std::memory_order_acquire); }
std::uint32_t Economy::GetRivalPoints() const { return rivalPoints_.load(std::memory_order_acquire); }
std::uint32_t Economy::GetLeaderWallet() const { return leaderWallet_.load(std::memory_order_acquire); }
std::uint32_t Economy::GetDebt() const { return debt_.load(std::memory_order_acquire); }

void Economy::SubMoney(std::uint32_t n) { Sub(money_, n); }
void Economy::SubRivalPoints(std::uint32_t n) { Sub(rivalPoints_, n); }
void Economy::SubLeaderWallet(std::uint32_t n) { Sub(leaderWallet_, n); }
void Economy::SubDebt(std::uint32_t n) { Sub(debt_, n); }

void Economy::AddMoney(std::uint32_t n) { Add(money_, n, kMoneyLimit); }
void Economy::AddRivalPoints(std::uint32_t n) { Add(rivalPoints_, n, kRivalPointsLimit); }
void Economy::AddLeaderWallet(std::uint32_t n) { Add(leaderWallet_, n, kMoneyLimit); }
void Economy::AddDebt(std::uint32_t n) { Add(debt_, n, kMoneyLimit); }

}  // namespace kivora
