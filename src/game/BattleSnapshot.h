#pragma once
#include <cstddef>
#include <cstdint>

#include "base/Random.h"
#include "game/BattleRun.h"
#include "game/BattleStats.h"
#include "sim/FieldCopy.h"

namespace kivora {

// A running battle as it stood between two ticks, to go back to: the field
// (FieldCopy), the economy, the set-up generator, the leader's visit count,
// the ticks run, the outcome so far and every unit's score. A run put back
// to a snapshot goes on exactly as it went from that tick the first time.
//
// The models of the battle's table are shared, not copied: a snapshot goes
// back into the run it was taken from (or one on the same setup and folder).
class BattleSnapshot {
public:
  static BattleSnapshot Take(BattleRun& run, FieldCopy::Programs& programs);
  // Puts `run` back; every pointer into its field is stale afterwards.
  void Restore(BattleRun& run, FieldCopy::Programs& programs) const;

  std::uint64_t Tick() const { return tick_; }
  std::size_t Bytes() const;

private:
  BattleSnapshot() = default;

  FieldCopy field_;
  std::uint32_t money_ = 0, rivalPoints_ = 0, leaderWallet_ = 0, debt_ = 0;
  Random setupRandom_;
  std::int32_t visitCount_ = 0;
  std::uint64_t tick_ = 0;
  BattleOutcome outcome_;
  BattleStats stats_;
};

}  // namespace kivora
