#include "game/BattleSnapshot.h"

#include "economy/Economy.h"

namespace kivora {
namespace {

// The economy has no setter: its counters are emptied and filled again,
// which its limits allow for any value it can hold.
void SetCounters(Economy& economy, std::uint32_t money, std::uint32_t rivalPoints, std::uint32_t leaderWallet,
                 std::uint32_t debt) {
  economy.SubMoney(economy.GetMoney());
  economy.AddMoney(money);
  economy.SubRivalPoints(economy.GetRivalPoints());
  economy.AddRivalPoints(rivalPoints);
  economy.SubLeaderWallet(economy.GetLeaderWallet());
  economy.AddLeaderWallet(leaderWallet);
  economy.SubDebt(economy.GetDebt());
  economy.AddDebt(debt);
}

}  // namespace

BattleSnapshot BattleSnapshot::Take(BattleRun& run, FieldCopy::Programs& programs) {
  BattleSnapshot snapshot;
  Battle& battle = run.battle_;
  {
    const auto field = battle.Lock();
    snapshot.field_ = FieldCopy::Take(*field, programs);
  }
  const Economy& economy = battle.economy_;
  snapshot.money_ = economy.GetMoney();
  snapshot.rivalPoints_ = economy.GetRivalPoints();
  snapshot.leaderWallet_ = economy.GetLeaderWallet();
  snapshot.debt_ = economy.GetDebt();
  snapshot.setupRandom_ = battle.setupRandom_;
  snapshot.visitCount_ = battle.visitCount_;
  snapshot.tick_ = run.tick_;
  snapshot.outcome_ = run.outcome_;
  snapshot.stats_ = run.stats_;
  return snapshot;
}

void BattleSnapshot::Restore(BattleRun& run, FieldCopy::Programs& programs) const {
  Battle& battle = run.battle_;
  {
    const auto field = battle.Lock();
    field_.Restore(*field, programs);
  }
  SetCounters(battle.economy_, money_, rivalPoints_, leaderWallet_, debt_);
  battle.setupRandom_ = setupRandom_;
  battle.visitCount_ = visitCount_;
  run.tick_ = tick_;
  run.outcome_ = outcome_;
  run.stats_ = stats_;
}

std::size_t BattleSnapshot::Bytes() const {
  // A unit's record is small beside the strings it holds: counted at a
  // fixed guess.
  return sizeof(*this) + field_.Bytes() + stats_.Units().size() * (sizeof(UnitRecord) + 64);
}

}  // namespace kivora
