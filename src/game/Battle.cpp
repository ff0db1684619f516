#include "game/Battle.h"

#include <cstdio>

#include "economy/LeaderVisit.h"
#include "economy/MessageSink.h"
#include "field/FieldSetup.h"
#include "field/Placement.h"
#include "game/Campaign.h"
#include "sim/FieldEvents.h"
#include "sim/LoadProgram.h"
#include "sim/OKE.h"
#include "sim/WorldStep.h"

namespace kivora {

// Pays what the field earns into the economy: parts picked up by the
// player's side are money, by the rival's side points.
class Battle::Events : public FieldEvents {
public:
  explicit Events(Economy& economy) : economy_(economy) {}

  void PartPickedUp(const OKE& unit, std::uint32_t reward) override {
    if (unit.team == 1) economy_.AddMoney(reward);
    else economy_.AddRivalPoints(reward);
    if (listener) listener->PartPickedUp(unit, reward);
  }
  void SquadLost() override {
    if (squadLost) squadLost();
    if (listener) listener->SquadLost();
  }
  void ShotFired(const OKE& shooter, const Bullette& bullet) override {
    if (listener) listener->ShotFired(shooter, bullet);
  }
  void Struck(const OKE& victim, const EE& striker, std::int32_t hpBefore) override {
    if (listener) listener->Struck(victim, striker, hpBefore);
  }
  void Fell(const OKE& unit) override {
    if (listener) listener->Fell(unit);
  }

  std::function<void()> squadLost;
  FieldEvents* listener = nullptr;

private:
  Economy& economy_;
};

Battle::Battle(std::filesystem::path folder, std::uint32_t setupSeed)
    : folder_(std::move(folder)),
      specs_(folder_),
      setupRandom_(setupSeed),
      events_(std::make_unique<Events>(economy_)) {
  Lock()->events = events_.get();
}

Battle::~Battle() {
  // The field goes before the events it tells; nothing is told on the way.
  Lock()->events = nullptr;
}

void Battle::Build(const std::function<void(std::string_view message)>& mapUnreadable,
                   std::vector<SpawnedUnit>* spawned, SetUpParts parts) {
  BuildField(field_, specs_, setupRandom_, folder_, mapUnreadable, spawned, parts);
}

Ref<OKE> Battle::NewUnit(std::int32_t team, const std::string& specFile) {
  return OKE::Create(team, specFile, specs_);
}

bool Battle::GiveProgram(OKE& unit, const std::string& programFile, std::string* why) {
  return LoadProgram(unit, folder_ / programFile, why);
}

OKE* Battle::Deploy(Ref<OKE> unit) {
  if (!unit) return nullptr;
  PlaceUnitAtRandom(*unit, setupRandom_);
  return Lock()->Deploy(std::move(unit));
}

OKE* Battle::DeployAt(Ref<OKE> unit, std::int32_t x, std::int32_t y, std::int32_t direction) {
  if (!unit) return nullptr;
  unit->x = x;
  unit->y = y;
  unit->direction = direction;
  return Lock()->Deploy(std::move(unit));
}

void Battle::Tick() { WorldStep(*Lock()); }

int Battle::DeployRivals(MessageSink& log, std::vector<SpawnedUnit>* spawned) {
  int count = randomRange(setupRandom_, 1, 3);
  if (economy_.GetRivalPoints() != 0) {
    economy_.SubRivalPoints(1);
    count += 2;
  }
  SpawnRivalUnits(field_, specs_, setupRandom_, folder_, count, spawned);
  log.AddMessage(kRivalTaunts[static_cast<std::size_t>(randomRange(setupRandom_, 0, 2))]);
  char text[64];
  std::snprintf(text, sizeof text, "ポボゴムがＯＫＥを%d機配置しました", count);
  log.AddMessage(text);
  return count;
}

void Battle::CampaignStep(MessageSink& log, std::vector<SpawnedUnit>* spawned) {
  DeployRivals(log, spawned);
  LeaderVisit(visitCount_, economy_, setupRandom_, log);
}

void Battle::OnSquadLost(std::function<void()> handler) {
  const auto locked = Lock();
  events_->squadLost = std::move(handler);
}

void Battle::Listen(FieldEvents* listener) {
  const auto locked = Lock();
  events_->listener = listener;
}

}  // namespace kivora
