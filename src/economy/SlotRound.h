#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "economy/Economy.h"

namespace kivora {

class Random;

// One sitting at ポボゴム's three-reel slot machine: the stake, the reels, the
// stop with its two more turns and the settling. The dialog shows what this
// holds and mirrors its button states; the timer calls Tick every 50 ms.
class SlotRound {
public:
  static constexpr int kSymbols = 6;
  static constexpr std::uint32_t kStakeStep = 100;
  // Multiple of the stake for three of a kind, by symbol; a neighbouring
  // pair pays half of it (rounded down).
  static constexpr std::array<std::uint32_t, kSymbols> kPayoutTable = {10, 3, 3, 3, 3, 6};

  using Reels = std::array<std::int32_t, 3>;

  struct Settlement {
    std::uint32_t multiple = 0;  // of the stake
    std::uint32_t payout = 0;    // paid into the money; capped at the money's limit
    std::string message;         // what ポボゴム says about it

    bool operator==(const Settlement&) const = default;
  };

  // The outcome of reels `reels` for stake `bet`, paying nothing yet.
  static Settlement Settle(const Reels& reels, std::uint32_t bet);

  const Reels& CurrentReels() const { return reels_; }
  std::uint32_t Bet() const { return bet_; }
  bool Spinning() const { return spinning_; }
  bool Stopping() const { return stopping_; }

  // Which buttons the player may press now.
  bool CanStart() const { return canStart_; }
  bool CanStop() const { return canStop_; }
  bool CanRaise() const { return canRaise_; }

  // ＋１００: raises the stake when the money covers it; false if not.
  bool Raise(std::uint32_t money);

  // スタート: takes the stake and sets the reels turning. When the money no
  // longer covers the stake (it fell since the stake was raised) nothing is
  // taken and the refusal to show is returned instead; once it has been
  // shown, CloseRound drops the stake.
  std::optional<std::string> Start(Economy& economy);

  // ストップ: the reels turn twice more; the second turn is the result.
  void Stop();

  // One 50 ms beat: while spinning, draws the three reels (left to right)
  // from `random` and, on the last turn after ストップ, settles the round and returns the
  // settlement to show. The winnings are owed, not yet paid: ポボゴム first
  // says what came out, then CloseRound clears the stake and pays.
  std::optional<Settlement> Tick(Random& random);

  // True from a settlement or a refusal until CloseRound: ポボゴム's word is
  // being shown, the stake still stands and no button of the machine works.
  bool Announcing() const { return announcing_; }
  // What the settled round still owes the player.
  std::uint32_t Owed() const { return owed_; }

  // After ポボゴム's word (or when the machine is left before it was shown,
  // so that no payout is ever lost): the stake goes back to 0, the winnings
  // are paid and ＋１００ works again. Does nothing unless Announcing().
  void CloseRound(Economy& economy);

private:
  Reels reels_ = {0, 0, 0};
  bool spinning_ = false;
  bool stopping_ = false;
  std::int32_t stopCountdown_ = 0;
  std::uint32_t bet_ = 0;
  bool announcing_ = false;
  std::uint32_t owed_ = 0;
  bool canStart_ = false;
  bool canStop_ = false;
  bool canRaise_ = true;
};

}  // namespace kivora
