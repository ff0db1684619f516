#include "app/Campaign.h"

#include <cstdio>

#include "app/Random.h"
#include "economy/Economy.h"
#include "economy/LeaderVisit.h"
#include "economy/MessageSink.h"
#include "field/SpawnRival.h"

namespace kivora {

int DeployRivalUnits(Field& field, SpecTable& specs, Economy& economy, MessageSink& log,
                     std::vector<SpawnedUnit>* spawned) {
  int count = randomRange(1, 3);
  if (economy.GetRivalPoints() != 0) {
    economy.SubRivalPoints(1);
    count += 2;
  }
  SpawnRivalUnits(field, specs, count, spawned);
  log.AddMessage(kRivalTaunts[static_cast<std::size_t>(randomRange(0, 2))]);
  char text[64];
  std::snprintf(text, sizeof text, "ポボゴムがＯＫＥを%d機配置しました", count);
  log.AddMessage(text);
  return count;
}

void CampaignStep(Field& field, SpecTable& specs, Economy& economy, std::int32_t& visitCount,
                  MessageSink& log, std::vector<SpawnedUnit>* spawned) {
  DeployRivalUnits(field, specs, economy, log, spawned);
  LeaderVisit(visitCount, economy, log);
}

}  // namespace kivora
