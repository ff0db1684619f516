#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/TickClock.h"
#include "field/SpawnRival.h"

namespace kivora {

class Economy;
class Field;
class MessageSink;
class SpecTable;

// Three minutes between the rival's deployments.
inline constexpr std::uint32_t kCampaignPeriodMs = 180000;

// The rival's taunts, one of which comes with every deployment.
inline constexpr std::array<std::string_view, 3> kRivalTaunts = {
    "ポボゴム「俺の設計でいいのかい？」",
    "ポボゴム「俺の選択でいいのかい？」",
    "ポボゴム「俺の石鹸でいいのかい？」",
};

// When the campaign steps: the main window asks every 100 ms, and a step is
// due once three minutes have passed since the last one. Only one step is
// made for a long pause, and the tick counter's wrap past zero neither
// delays nor repeats a step.
class CampaignClock {
public:
  explicit CampaignClock(std::uint32_t now) : lastStep_(now) {}

  // True when a step is due at `now`; the step is then counted as made at `now`.
  bool Due(std::uint32_t now) {
    if (TicksSince(lastStep_, now) < kCampaignPeriodMs) return false;
    lastStep_ = now;
    return true;
  }
  std::uint32_t LastStep() const { return lastStep_; }

private:
  std::uint32_t lastStep_;
};

// The rival's deployment: 1 to 3 units, two more (for one of the rival's
// points) when it has any, then a taunt and the count (of attempts) in `log`.
// Returns the number of attempts.
int DeployRivalUnits(Field& field, SpecTable& specs, Economy& economy, MessageSink& log,
                     std::vector<SpawnedUnit>* spawned = nullptr);

// One campaign step as the main window makes it: the deployment, then the
// party leader's visit counter (he comes on every fifth step).
void CampaignStep(Field& field, SpecTable& specs, Economy& economy, std::int32_t& visitCount,
                  MessageSink& log, std::vector<SpawnedUnit>* spawned = nullptr);

}  // namespace kivora
