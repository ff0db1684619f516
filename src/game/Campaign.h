#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "base/TickClock.h"

namespace kivora {

// Three minutes between the rival's deployments; in ticks of the battle, ten
// a second, for runs that do not follow the clock.
inline constexpr std::uint32_t kCampaignPeriodMs = 180000;
inline constexpr std::uint64_t kCampaignPeriodTicks = 1800;

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

}  // namespace kivora
