#include "game/BattleRun.h"

#include "base/TextCodec.h"
#include "economy/MessageSink.h"
#include "game/Campaign.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"

namespace kivora {

std::string StartFault::Describe() const {
  std::string text = file == File::Model ? "cannot load the model " : "cannot read the program ";
  text += ForTerminal(name);
  text += ": ";
  if (line > 0) text += "line " + std::to_string(line) + ": ";
  text += ForTerminal(why);
  return text;
}

// The campaign's message log, each line with the tick it came after.
class BattleRun::Log : public MessageSink {
public:
  explicit Log(BattleRun& run) : run_(run) {}
  void AddMessage(std::string_view text) override {
    if (run_.observer_) run_.observer_->Message(run_.tick_, text);
  }

private:
  BattleRun& run_;
};

// The field's events: the score first, then whoever else the observer names.
class BattleRun::Events : public FieldEvents {
public:
  Events(BattleStats& stats, FieldEvents& also) : stats_(stats), also_(also) {}
  void PartPickedUp(const OKE& unit, std::uint32_t reward) override {
    stats_.PartPickedUp(unit, reward);
    also_.PartPickedUp(unit, reward);
  }
  void SquadLost() override {
    stats_.SquadLost();
    also_.SquadLost();
  }
  void ShotFired(const OKE& shooter, const Bullette& bullet) override {
    stats_.ShotFired(shooter, bullet);
    also_.ShotFired(shooter, bullet);
  }
  void Struck(const OKE& victim, const EE& striker, std::int32_t hpBefore) override {
    stats_.Struck(victim, striker, hpBefore);
    also_.Struck(victim, striker, hpBefore);
  }
  void Fell(const OKE& unit) override {
    stats_.Fell(unit);
    also_.Fell(unit);
  }

private:
  BattleStats& stats_;
  FieldEvents& also_;
};

BattleRun::BattleRun(BattleSetup setup, BattleObserver* observer)
    : setup_(std::move(setup)),
      observer_(observer),
      battle_(setup_.folder, setup_.setupSeed),
      log_(std::make_unique<Log>(*this)) {
  battle_.Lock()->generator.Seed(setup_.simSeed);
  FieldEvents* also = observer_ ? observer_->FieldListener() : nullptr;
  if (also) events_ = std::make_unique<Events>(stats_, *also);
  battle_.Listen(events_ ? static_cast<FieldEvents*>(events_.get()) : &stats_);
}

BattleRun::~BattleRun() { battle_.Listen(nullptr); }

void BattleRun::Register(std::vector<SpawnedUnit>& spawned, UnitOrigin origin) {
  if (spawned.empty()) return;
  const auto field = battle_.Lock();
  for (SpawnedUnit& unit : spawned) {
    for (const OKE* onField : field->unitList) {
      if (onField->fieldId == unit.id) {
        stats_.Add(*onField, std::move(unit.program), origin);
        break;
      }
    }
  }
  spawned.clear();
}

std::optional<StartFault> BattleRun::Start() {
  std::vector<SpawnedUnit> spawned;
  battle_.Build(
      [this](std::string_view message) {
        if (observer_) observer_->MapUnreadable(message);
      },
      &spawned, setup_.parts);
  Register(spawned, UnitOrigin::SetUp);

  for (const BattleUnit& wanted : setup_.units) {
    Ref<OKE> unit = battle_.NewUnit(wanted.team, wanted.spec);
    if (!unit) {
      // The table keeps no record of a failure: read it once more for the why.
      OKEspec scratch;
      SpecFault fault;
      LoadSpec(scratch, setup_.folder / wanted.spec, &fault);
      return StartFault{StartFault::File::Model, wanted.spec, fault.line, fault.what};
    }
    if (wanted.program) {
      std::string why;
      if (!battle_.GiveProgram(*unit, *wanted.program, &why)) {
        return StartFault{StartFault::File::Program, *wanted.program, 0, why};
      }
    }
    const OKE* placed = wanted.at ? battle_.DeployAt(std::move(unit), wanted.at->x, wanted.at->y, wanted.at->direction)
                                  : battle_.Deploy(std::move(unit));
    const auto field = battle_.Lock();
    stats_.Add(*placed, wanted.program.value_or(""), UnitOrigin::Given);
  }
  if (observer_) observer_->Started(battle_);
  return std::nullopt;
}

void BattleRun::Step() {
  ++tick_;
  stats_.SetTick(tick_);
  battle_.Tick();
  if (setup_.campaign && tick_ % kCampaignPeriodTicks == 0) {
    std::vector<SpawnedUnit> spawned;
    battle_.CampaignStep(*log_, &spawned);
    Register(spawned, UnitOrigin::Campaign);
  }
  Decide();
  if (observer_) observer_->Ticked(tick_, battle_);
}

void BattleRun::Decide() {
  if (outcome_.decidedAt) return;
  bool player = false;
  bool rival = false;
  {
    const auto field = battle_.Lock();
    for (const OKE* unit : field->unitList) (unit->team == 1 ? player : rival) = true;
  }
  if (player && rival) return;
  outcome_.winner = player ? Side::Player : rival ? Side::Rival : Side::Draw;
  outcome_.decidedAt = tick_;
}

bool BattleRun::Done() const {
  return tick_ >= setup_.ticks || (setup_.untilDecided && outcome_.decidedAt.has_value());
}

void BattleRun::Run(const std::function<bool()>& stop) {
  while (!Done() && !(stop && stop())) Step();
}

}  // namespace kivora
