#include "economy/SlotRound.h"

#include <algorithm>

#include "base/Random.h"

namespace kivora {

SlotRound::Settlement SlotRound::Settle(const Reels& reels, std::uint32_t bet) {
  auto symbol = [&](int i) { return static_cast<std::size_t>(std::clamp(reels[i], 0, kSymbols - 1)); };
  const char* text = nullptr;
  std::uint32_t m = 0;
  if (reels[0] == reels[1] && reels[1] == reels[2]) {
    m = kPayoutTable[symbol(0)];
    text = m == 10 ? "大当たりのよーだな。" : "なんとか揃ったようだぜ。";
  } else {
    // Only neighbours count: the first and the last alone win nothing.
    if (reels[0] == reels[1]) {
      m = kPayoutTable[symbol(0)] / 2;
    } else if (reels[1] == reels[2]) {
      m = kPayoutTable[symbol(1)] / 2;
    }
    if (m != 0) text = "惜しかったな。なんだい、がっかりしてるのかい？\nしかたねーな。払い戻してやるぜ。";
  }

  Settlement s;
  s.multiple = m;
  // A big stake times ten does not fit 32 bits: work in 64 and pay no more
  // than the money can ever hold.
  const std::uint64_t product = std::uint64_t{bet} * m;
  s.payout = static_cast<std::uint32_t>(std::min<std::uint64_t>(product, Economy::kMoneyLimit));
  if (text != nullptr) {
    s.message = std::string(text) + "\n" + std::to_string(s.payout) + " ペコグスタを入金しておいたぜ";
  } else {
    s.message = "はずれだぜ。\n" + std::to_string(bet) + " ペコグスタは俺がもらっておくぜ。";
  }
  return s;
}

bool SlotRound::Raise(std::uint32_t money) {
  if (!canRaise_) return false;
  // The stake never passes the money, so the sum stays far below 2^32.
  if (std::uint64_t{money} < std::uint64_t{bet_} + kStakeStep) return false;
  bet_ += kStakeStep;
  canStart_ = true;
  return true;
}

std::optional<std::string> SlotRound::Start(Economy& economy) {
  if (!canStart_) return std::nullopt;
  if (economy.GetMoney() < bet_) {
    announcing_ = true;
    canStart_ = false;
    canRaise_ = false;
    return std::string("掛けるだけのペコグスタがねーぜ");
  }
  economy.SubMoney(bet_);
  spinning_ = true;
  stopping_ = false;
  canStart_ = false;
  canStop_ = true;
  canRaise_ = false;
  return std::nullopt;
}

void SlotRound::Stop() {
  if (!canStop_) return;
  canStop_ = false;
  stopping_ = true;
  stopCountdown_ = 1;
}

std::optional<SlotRound::Settlement> SlotRound::Tick(Random& random) {
  if (!spinning_) return std::nullopt;
  for (auto& reel : reels_) reel = randomRange(random, 0, kSymbols - 1);
  if (!stopping_) return std::nullopt;
  const std::int32_t c = stopCountdown_;
  stopCountdown_ = c - 1;
  if (c != 0) return std::nullopt;

  stopping_ = false;
  spinning_ = false;
  Settlement s = Settle(reels_, bet_);
  announcing_ = true;
  owed_ = s.payout;
  canStart_ = false;
  canStop_ = false;
  canRaise_ = false;
  return s;
}

void SlotRound::CloseRound(Economy& economy) {
  if (!announcing_) return;
  announcing_ = false;
  bet_ = 0;
  const std::uint32_t payout = owed_;
  owed_ = 0;
  if (payout != 0) economy.AddMoney(payout);
  canStart_ = false;
  canStop_ = false;
  canRaise_ = true;
}

}  // namespace kivora
