#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Random.h"
#include "economy/Economy.h"
#include "field/FieldSetup.h"
#include "field/SpawnRival.h"
#include "game/Campaign.h"
#include "sim/Field.h"
#include "sim/OKEspec.h"
#include "sim/Ref.h"

namespace kivora {

class FieldEvents;
class MessageSink;
class OKE;

// One battle and everything it needs: the field with its lists and its
// lock, the unit models of its data folder, the economy, the set-up
// generator (in the game the window thread's: set-up, purchases, the rival's
// deployments, the leader's words, the slot machine) and the simulation's
// (inside the field), the leader's visit count. The game window, the
// command-line programs and the tests each create their own; two battles
// never share anything, so they may run side by side in one process.
//
// Data files are read from the folder given at construction, never from the
// working directory.
class Battle {
public:
  // A battle on the data files of `folder`, the set-up generator at state
  // `setupSeed`. The field is empty until Build.
  explicit Battle(std::filesystem::path folder, std::uint32_t setupSeed = 1);
  ~Battle();
  Battle(const Battle&) = delete;
  Battle& operator=(const Battle&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  Economy& GetEconomy() { return economy_; }
  const Economy& GetEconomy() const { return economy_; }
  SpecTable& Specs() { return specs_; }
  Random& SetupRandom() { return setupRandom_; }
  SharedField& Shared() { return field_; }
  // The field under its lock, for as long as the handle lives.
  [[nodiscard]] SharedField::Locked Lock() { return field_.Lock(); }

  // Set-up as the game makes it at start: the map's walls, 10 random walls,
  // 10 random parts, one rival unit (less when `parts` leaves some out). An
  // unreadable map is told to `mapUnreadable`.
  void Build(const std::function<void(std::string_view message)>& mapUnreadable,
             std::vector<SpawnedUnit>* spawned = nullptr, SetUpParts parts = {});

  // A unit of `team` (1: the player's) of the model file `specFile` of the
  // data folder, not yet on the field; empty when the model cannot be loaded.
  Ref<OKE> NewUnit(std::int32_t team, const std::string& specFile);
  // Gives a unit that is not on the field yet the program file `programFile`
  // of the data folder; false when it cannot be read (the unit then has none
  // and `why`, when given, says why).
  bool GiveProgram(OKE& unit, const std::string& programFile, std::string* why = nullptr);
  // Puts `unit` at a random spot and facing (set-up generator) and on the
  // field, under the lock. Returns the unit, which the field now holds.
  OKE* Deploy(Ref<OKE> unit);
  // The same at a chosen spot (field units) and facing, drawing nothing.
  OKE* DeployAt(Ref<OKE> unit, std::int32_t x, std::int32_t y, std::int32_t direction);

  // One world step, under the lock.
  void Tick();

  // The rival's deployment: 1 to 3 units, two more (for one of the rival's
  // points) when it has any, then a taunt and the count (of attempts) in
  // `log`. Returns the number of attempts.
  int DeployRivals(MessageSink& log, std::vector<SpawnedUnit>* spawned = nullptr);
  // One campaign step as the main window makes it every three minutes: the
  // deployment, then the party leader's visit counter (he comes on every
  // fifth step).
  void CampaignStep(MessageSink& log, std::vector<SpawnedUnit>* spawned = nullptr);
  std::int32_t VisitCount() const { return visitCount_; }
  // The game's clock of campaign steps, started at `now` (the window's tick
  // count when the battle begins); Due as CampaignClock::Due.
  void StartCampaignClock(std::uint32_t now) { campaignClock_ = CampaignClock(now); }
  bool CampaignDue(std::uint32_t now) { return campaignClock_.Due(now); }

  // Called on the world step's thread, under the field lock, when the
  // player's last unit has fallen. Takes the lock itself to set it.
  void OnSquadLost(std::function<void()> handler);
  // Also tells `listener` (null: nobody) everything the field tells the
  // battle, after the battle has paid what is earned; for keeping score.
  // Called under the field lock, like the events themselves.
  void Listen(FieldEvents* listener);

private:
  friend class BattleSnapshot;  // keeps and puts back the battle's state
  class Events;

  std::filesystem::path folder_;
  Economy economy_;
  SpecTable specs_;
  Random setupRandom_;
  SharedField field_;
  std::unique_ptr<Events> events_;
  std::int32_t visitCount_ = 0;
  CampaignClock campaignClock_{0};
};

}  // namespace kivora
