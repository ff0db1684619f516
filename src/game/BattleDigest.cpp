#include "game/BattleDigest.h"

#include "game/Battle.h"
#include "game/Trace.h"

namespace kivora {

void BattleDigest::MapUnreadable(std::string_view message) {
  hash_.Add("map ").Add(message).Add("\n");
}

void BattleDigest::Message(std::uint64_t tick, std::string_view text) {
  hash_.Add("[").Add(std::to_string(tick)).Add("] ").Add(text).Add("\n");
}

void BattleDigest::Ticked(std::uint64_t tick, Battle& battle) {
  scratch_.clear();
  {
    const auto field = battle.Lock();
    AppendTraceTick(scratch_, tick, *field, battle.GetEconomy());
  }
  hash_.Add(scratch_);
  lastTick_ = tick;
  any_ = true;
  if (tick % every_ == 0) kept_.push_back(hash_.Value());
}

std::vector<std::uint64_t> BattleDigest::Digests() const {
  std::vector<std::uint64_t> digests = kept_;
  if (any_ && lastTick_ % every_ != 0) digests.push_back(hash_.Value());
  return digests;
}

}  // namespace kivora
