#include "game/ReplayPlayer.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "base/TextCodec.h"
#include "field/Bmp.h"
#include "game/BattleDigest.h"
#include "sim/Bullette.h"
#include "sim/EE.h"
#include "sim/OKE.h"

namespace kivora {
namespace {

struct PathBuilder {
  std::uint64_t start = 0;
  std::vector<ReplayPathPoint> points;
};

}  // namespace

// Watches the first play: the digest to check against the recording, every
// event, every unit's path. Quiet once the first play is over, when seeks
// run the same ticks again.
class ReplayPlayer::Watch : public BattleObserver, public FieldEvents {
public:
  Watch(std::uint32_t checkpointEvery, const ReplayPlayerLimits& limits)
      : digest(checkpointEvery), limits_(limits) {}

  bool active = true;
  const BattleRun* run = nullptr;
  std::uint64_t tickRunning = 0;
  BattleDigest digest;
  std::map<std::int64_t, PathBuilder> paths;
  std::map<std::int64_t, UnitSheet> lastSheets;
  std::uint32_t stride = 1;
  std::vector<ReplayEvent> events;
  bool eventsCut = false;
  std::vector<ReplayMessage> messages;

  void MapUnreadable(std::string_view message) override {
    if (!active) return;
    digest.MapUnreadable(message);
    messages.push_back({0, std::string(message)});
  }
  void Started(Battle& battle) override {
    if (!active) return;
    digest.Ticked(0, battle);
    NotePlaces(0, battle);
  }
  void Message(std::uint64_t tick, std::string_view text) override {
    if (!active) return;
    digest.Message(tick, text);
    messages.push_back({tick, std::string(text)});
  }
  void Ticked(std::uint64_t tick, Battle& battle) override {
    if (!active) return;
    digest.Ticked(tick, battle);
    NotePlaces(tick, battle);
  }
  FieldEvents* FieldListener() override { return this; }

  void PartPickedUp(const OKE& unit, std::uint32_t reward) override {
    if (!active) return;
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::PickUp;
    event.unitId = unit.fieldId;
    event.amount = static_cast<std::int32_t>(std::min<std::uint32_t>(reward, 0x7FFFFFFF));
    Keep(event);
  }
  void SquadLost() override {}
  void Struck(const OKE& victim, const EE& striker, std::int32_t hpBefore) override {
    if (!active || hpBefore <= 0) return;
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Hit;
    event.unitId = victim.fieldId;
    event.amount = hpBefore - victim.hp;
    std::optional<std::int32_t> team;
    if (const auto* bullet = dynamic_cast<const Bullette*>(&striker)) {
      event.otherId = bullet->ownerFieldId;
      if (run) {
        const auto at = run->Units().find(bullet->ownerFieldId);
        if (at != run->Units().end()) team = at->second.team;
      }
    } else if (const auto* unit = dynamic_cast<const OKE*>(&striker)) {
      event.otherId = unit->fieldId;
      event.fist = true;
      team = unit->team;
    }
    event.friendly = team && *team == victim.team;
    Keep(event);
  }
  void Fell(const OKE& unit) override {
    if (!active) return;
    ReplayEvent event;
    event.kind = ReplayEvent::Kind::Fall;
    event.unitId = unit.fieldId;
    Keep(event);
    lastSheets[unit.fieldId] = SheetOf(unit);
  }

private:
  void Keep(ReplayEvent& event) {
    event.tick = tickRunning;
    if (event.kind != ReplayEvent::Kind::Fall && events.size() >= limits_.events) {
      eventsCut = true;
      return;
    }
    events.push_back(event);
  }

  void NotePlaces(std::uint64_t tick, Battle& battle) {
    if (tick % stride != 0) return;
    {
      const auto field = battle.Lock();
      for (const OKE* unit : field->unitList) {
        PathBuilder& path = paths[unit->fieldId];
        if (path.points.empty()) path.start = tick;
        path.points.push_back({unit->x, unit->y, unit->direction});
        ++points_;
      }
    }
    while (points_ > limits_.pathPoints && stride < (1u << 30)) Thin();
  }

  // Keeps the points on ticks that are multiples of twice the stride.
  void Thin() {
    const std::uint64_t wider = std::uint64_t{stride} * 2;
    points_ = 0;
    for (auto& [id, path] : paths) {
      std::vector<ReplayPathPoint> kept;
      std::uint64_t first = 0;
      for (std::size_t k = 0; k < path.points.size(); ++k) {
        const std::uint64_t tick = path.start + k * stride;
        if (tick % wider != 0) continue;
        if (kept.empty()) first = tick;
        kept.push_back(path.points[k]);
      }
      path.start = first;
      path.points = std::move(kept);
      points_ += path.points.size();
    }
    stride = static_cast<std::uint32_t>(wider);
  }

  ReplayPlayerLimits limits_;
  std::size_t points_ = 0;
};

ReplayPlayer::ReplayPlayer(Replay replay, TempFolder folder) : replay_(std::move(replay)), folder_(std::move(folder)) {}

ReplayPlayer::~ReplayPlayer() {
  // The run goes first: it holds the watch as its observer.
  snapshots_.clear();
  run_.reset();
}

std::unique_ptr<ReplayPlayer> ReplayPlayer::Open(const std::filesystem::path& file, std::string& why,
                                                 const ReplayPlayerLimits& limits) {
  std::optional<Replay> replay = ReadReplay(file, why);
  if (!replay) return nullptr;
  return Load(std::move(*replay), why, limits);
}

std::unique_ptr<ReplayPlayer> ReplayPlayer::Load(Replay replay, std::string& why, const ReplayPlayerLimits& limits) {
  std::optional<TempFolder> folder = TempFolder::Make(why);
  if (!folder) return nullptr;
  for (const ReplayEntry& entry : replay.files) {
    if (const std::string fault = ReplayEntryNameFault(entry.name); !fault.empty()) {
      why = "a recorded file's name " + fault;
      return nullptr;
    }
    const std::filesystem::path path = folder->Path() / entry.name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    bool written = !ec;
    if (written) {
      if (entry.kind == ReplayEntry::Kind::File) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(entry.bytes.data());
        written = WriteFileBytes(path.native(), std::span<const std::uint8_t>(data, entry.bytes.size()));
      } else {
        written = std::filesystem::create_directory(path, ec) && !ec;
      }
    }
    if (!written) {
      why = "cannot unpack the recorded file " + ForTerminal(entry.name) + " into " + ForTerminal(folder->Path().native()) +
            (ec ? ": " + ec.message() : "");
      return nullptr;
    }
  }
  std::unique_ptr<ReplayPlayer> player(new ReplayPlayer(std::move(replay), std::move(*folder)));
  for (std::size_t k = 0; k < player->replay_.files.size(); ++k) player->fileIndex_[player->replay_.files[k].name] = k;
  if (!player->Play(limits, why)) return nullptr;
  player->Seek(0);
  return player;
}

bool ReplayPlayer::Play(const ReplayPlayerLimits& limits, std::string& why) {
  const ReplayCheck& check = replay_.check;
  BattleSetup setup = replay_.setup;
  setup.folder = folder_.Path();
  watch_ = std::make_unique<Watch>(check.checkpointEvery, limits);
  run_ = std::make_unique<BattleRun>(std::move(setup), watch_.get());
  watch_->run = run_.get();
  if (const auto fault = run_->Start()) {
    why = "the recorded battle does not start: " + fault->Describe();
    return false;
  }

  snapshotEvery_ = std::max<std::uint32_t>(1, limits.snapshotEvery);
  std::size_t snapshotBytes = 0;
  auto keepSnapshot = [&] {
    const std::uint64_t tick = run_->TicksRun();
    if (tick % snapshotEvery_ != 0) return;
    snapshots_.push_back(BattleSnapshot::Take(*run_, programs_));
    snapshotBytes += snapshots_.back().Bytes();
    // Over the budget: every other snapshot goes, the spacing doubles.
    while (snapshotBytes > limits.snapshotBytes && snapshots_.size() > 2 && snapshotEvery_ < (1u << 30)) {
      std::vector<BattleSnapshot> kept;
      snapshotBytes = 0;
      for (std::size_t k = 0; k < snapshots_.size(); k += 2) {
        snapshotBytes += snapshots_[k].Bytes();
        kept.push_back(std::move(snapshots_[k]));
      }
      snapshots_ = std::move(kept);
      snapshotEvery_ *= 2;
    }
  };
  auto parted = [&](std::uint64_t tick) {
    why = "the battle does not play out as it was recorded: it parts from the recording by tick " +
          std::to_string(tick) + " (a damaged replay, or one recorded with other data or rules)";
    return false;
  };

  if (check.checkpointEvery == 0 || check.digests.size() != ReplayCheck::DigestCount(check.ticksRun, check.checkpointEvery)) {
    why = "the recording's digests do not match its ticks";
    return false;
  }
  if (watch_->digest.Now() != check.digests[0]) return parted(0);
  keepSnapshot();
  while (run_->TicksRun() < check.ticksRun) {
    if (run_->Done()) {
      why = "the recording ran " + std::to_string(check.ticksRun) + " ticks, but the battle ends after " +
            std::to_string(run_->TicksRun());
      return false;
    }
    if (limits.progress && run_->TicksRun() % 1000 == 0 && !limits.progress(run_->TicksRun(), check.ticksRun)) {
      why = "cancelled";
      return false;
    }
    watch_->tickRunning = run_->TicksRun() + 1;
    run_->Step();
    const std::uint64_t tick = run_->TicksRun();
    if (tick % check.checkpointEvery == 0 && watch_->digest.Now() != check.digests[tick / check.checkpointEvery]) {
      return parted(tick);
    }
    keepSnapshot();
  }
  if (watch_->digest.Digests() != check.digests) return parted(check.ticksRun);
  const BattleOutcome& outcome = run_->Outcome();
  if (outcome.winner != check.outcome.winner || outcome.decidedAt != check.outcome.decidedAt) {
    why = "the battle plays out as recorded, but its recorded outcome is another";
    return false;
  }
  watch_->active = false;

  pathStride_ = watch_->stride;
  for (const auto& [id, record] : run_->Units()) {
    ReplayUnitInfo info;
    info.id = id;
    info.team = record.team;
    info.model = record.model;
    info.program = record.program;
    info.origin = record.origin;
    info.deployedAt = record.deployedAt;
    info.fellAt = record.fellAt;
    if (auto at = watch_->paths.find(id); at != watch_->paths.end()) {
      info.pathStart = at->second.start;
      info.path = std::move(at->second.points);
    }
    if (auto at = watch_->lastSheets.find(id); at != watch_->lastSheets.end()) info.lastSheet = std::move(at->second);
    unitIndex_[id] = units_.size();
    units_.push_back(std::move(info));
  }
  watch_->paths.clear();
  watch_->lastSheets.clear();
  events_ = std::move(watch_->events);
  eventsCut_ = watch_->eventsCut;
  messages_ = std::move(watch_->messages);
  return true;
}

void ReplayPlayer::Restore(std::size_t snapshot) { snapshots_[snapshot].Restore(*run_, programs_); }

Battle& ReplayPlayer::Seek(std::uint64_t tick) {
  tick = std::min(tick, Ticks());
  const std::uint64_t now = run_->TicksRun();
  const std::size_t nearest = std::min<std::size_t>(static_cast<std::size_t>(tick / snapshotEvery_), snapshots_.size() - 1);
  const std::uint64_t nearestTick = snapshots_[nearest].Tick();
  // Running on from where the battle stands is as good when it is no
  // farther from the tick than the snapshot is.
  if (!(now <= tick && now >= nearestTick)) Restore(nearest);
  while (run_->TicksRun() < tick) run_->Step();
  return run_->GetBattle();
}

bool ReplayPlayer::StepForward() {
  if (Tick() >= Ticks()) return false;
  Seek(Tick() + 1);
  return true;
}

bool ReplayPlayer::StepBack() {
  if (Tick() == 0) return false;
  Seek(Tick() - 1);
  return true;
}

const OKE* ReplayPlayer::UnitOnField(const SharedField::Locked& field, std::int64_t id) const {
  for (const OKE* unit : field->unitList) {
    if (unit->fieldId == id) return unit;
  }
  return nullptr;
}

OKE* ReplayPlayer::UnitOnField(const SharedField::Locked& field, std::int64_t id) {
  for (OKE* unit : field->unitList) {
    if (unit->fieldId == id) return unit;
  }
  return nullptr;
}

std::optional<std::array<std::int32_t, kVariableCount>> ReplayPlayer::Variables(std::int64_t id) {
  const auto field = Shown().Lock();
  const OKE* unit = UnitOnField(field, id);
  if (!unit) return std::nullopt;
  return unit->variables;
}

std::optional<UnitSheet> ReplayPlayer::Sheet(std::int64_t id) {
  {
    const auto field = Shown().Lock();
    if (const OKE* unit = UnitOnField(field, id)) return SheetOf(*unit);
  }
  const ReplayUnitInfo* info = Unit(id);
  if (info && info->fellAt && Tick() >= *info->fellAt && info->lastSheet) return info->lastSheet;
  return std::nullopt;
}

const ReplayUnitInfo* ReplayPlayer::Unit(std::int64_t id) const {
  const auto at = unitIndex_.find(id);
  return at == unitIndex_.end() ? nullptr : &units_[at->second];
}

std::span<const ReplayPathPoint> ReplayPlayer::PathBetween(std::int64_t id, std::uint64_t from, std::uint64_t to,
                                                           std::uint64_t* firstTick) const {
  const ReplayUnitInfo* info = Unit(id);
  if (!info || info->path.empty() || to < from) return {};
  const std::uint64_t stride = pathStride_;
  const std::uint64_t start = info->pathStart;
  const std::uint64_t last = start + (info->path.size() - 1) * stride;
  if (to < start || from > last) return {};
  const std::uint64_t begin = from <= start ? 0 : (from - start + stride - 1) / stride;
  const std::uint64_t end = (std::min(to, last) - start) / stride + 1;
  if (begin >= end) return {};
  if (firstTick) *firstTick = start + begin * stride;
  return std::span<const ReplayPathPoint>(info->path).subspan(static_cast<std::size_t>(begin),
                                                              static_cast<std::size_t>(end - begin));
}

const std::string* ReplayPlayer::FileBytes(const std::string& name) const {
  const auto at = fileIndex_.find(ReplayEntryName(name));
  if (at == fileIndex_.end()) return nullptr;
  const ReplayEntry& entry = replay_.files[at->second];
  return entry.kind == ReplayEntry::Kind::File ? &entry.bytes : nullptr;
}

const std::string* ReplayPlayer::ProgramText(std::int64_t id) const {
  const ReplayUnitInfo* info = Unit(id);
  if (!info || info->program.empty()) return nullptr;
  return FileBytes(info->program);
}

std::vector<std::uint64_t> ReplayPlayer::FallTicks() const {
  std::vector<std::uint64_t> ticks;
  for (const ReplayUnitInfo& unit : units_) {
    if (unit.fellAt) ticks.push_back(*unit.fellAt);
  }
  std::sort(ticks.begin(), ticks.end());
  ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
  return ticks;
}

std::size_t ReplayPlayer::FirstEventAt(std::uint64_t tick) const {
  const auto at = std::lower_bound(events_.begin(), events_.end(), tick,
                                   [](const ReplayEvent& event, std::uint64_t t) { return event.tick < t; });
  return static_cast<std::size_t>(at - events_.begin());
}

std::size_t ReplayPlayer::SnapshotBytes() const {
  std::size_t bytes = 0;
  for (const BattleSnapshot& snapshot : snapshots_) bytes += snapshot.Bytes();
  return bytes;
}

}  // namespace kivora
