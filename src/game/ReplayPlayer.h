#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/TempFolder.h"
#include "field/StatusSheet.h"
#include "game/BattleRun.h"
#include "game/BattleSnapshot.h"
#include "game/BattleStats.h"
#include "game/Replay.h"
#include "lang/ProgramUnit.h"
#include "sim/FieldCopy.h"

namespace kivora {

class OKE;

// Something that happened in a tick, for a timeline and a list of events.
struct ReplayEvent {
  enum class Kind : std::uint8_t {
    Hit,     // a bullet or a fist took hit points from a unit that had some
    Fall,    // a unit lost its last hit points (it leaves the field at the end of the tick)
    PickUp,  // a unit picked up a part
  };
  Kind kind = Kind::Hit;
  std::uint64_t tick = 0;     // the tick it happened in (1 is the first)
  std::int64_t unitId = 0;    // Hit: the unit struck; Fall: the fallen; PickUp: who picked it up
  std::int64_t otherId = 0;   // Hit: whose bullet or fist it was (0: nobody known); otherwise 0
  std::int32_t amount = 0;    // Hit: the hit points it took; PickUp: the reward; Fall: 0
  bool fist = false;          // Hit: close combat rather than a bullet
  bool friendly = false;      // Hit: from the unit's own side
};

// A line of the battle's message log (UTF-8, as the game shows it): the
// campaign's news after tick `tick`, or the map's message at tick 0.
struct ReplayMessage {
  std::uint64_t tick = 0;
  std::string text;
};

// Where a unit stood after a tick: field units (100 to a pixel) and degrees.
struct ReplayPathPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t direction = 0;
};

// One unit of the battle, as the whole replay knows it.
struct ReplayUnitInfo {
  std::int64_t id = 0;    // field id, as the trace and the events name it
  std::int32_t team = 1;  // 1: the player's side, 0: the rival's
  std::string model;      // the model file as the battle asked for it (bytes as they are)
  std::string program;    // the program file, "" for none
  UnitOrigin origin = UnitOrigin::Given;
  std::uint64_t deployedAt = 0;         // the tick after which it joined (0: before the first)
  std::optional<std::uint64_t> fellAt;  // the tick it fell in; none: on the field to the end
  // Its place after each tick it stood on the field: path[k] is after tick
  // pathStart + k * ReplayPlayer::PathStride() (a stride of 1 but for very
  // long battles, see ReplayPlayerLimits). A unit on the field after its
  // last tick in the list; a fallen unit's last point is the tick before it fell.
  std::uint64_t pathStart = 0;
  std::vector<ReplayPathPoint> path;
  // The sheet as it stood when the unit fell (hit points 0), to show a unit
  // no longer on the field; none for a unit that never fell.
  std::optional<UnitSheet> lastSheet;
};

// How much a player keeps at most; the defaults suit any battle a replay
// can hold. A recorded 10,000-tick battle of the default arena keeps about
// 1 MiB of snapshots and 1 MiB of paths.
struct ReplayPlayerLimits {
  // A snapshot of the battle every this many ticks at least; more apart
  // when that many would take more than `snapshotBytes` in all.
  std::uint32_t snapshotEvery = 100;
  std::size_t snapshotBytes = 32u << 20;
  // Path points of all units together; beyond, every other point of every
  // path goes and the stride doubles.
  std::size_t pathPoints = 2u << 20;
  // Events kept; beyond, hits and pick-ups are no longer kept (falls
  // always are) and EventsCut() says so.
  std::size_t events = 256u << 10;
  // Told now and then while Open plays the battle through (ticks played so
  // far, ticks in all); returning false gives up, and Open fails with
  // "cancelled". A recorded battle plays at thousands to hundreds of
  // thousands of ticks a second: most open at once, the longest campaigns
  // take minutes.
  std::function<bool(std::uint64_t played, std::uint64_t ticks)> progress;
};

// A recorded battle played again, to be looked at at any tick: for a
// viewer's timeline, single steps and unit panels.
//
// Open reads the replay, writes its data files into a private temporary
// folder (removed with the player), plays the whole battle once and checks
// it against the recording's digests; a replay that does not play out as it
// was recorded is refused. That first play keeps a snapshot every few ticks,
// the events and every unit's path, so a Seek later restores the nearest
// snapshot at or before the tick and runs forward from it: the battle shown
// is exactly the battle as it stood after that tick.
//
//   std::string why;
//   auto player = ReplayPlayer::Open("duel.kvr", why);
//   if (!player) { ... why ... }
//   PictureCache pictures(player->Folder());            // the recorded pictures
//   FieldPictures drawn = FieldPictures::Gather(pictures);
//   Battle& battle = player->Seek(1234);
//   { auto field = battle.Lock(); DrawField(canvas, *field, drawn);
//     if (const OKE* u = player->UnitOnField(field, id)) sheet = SheetOf(*u); }
//   StatusSheetText(battle.GetEconomy().GetMoney(), battle.GetEconomy().GetRivalPoints(), &sheet);
//
// Every pointer into the battle's field (units, a ProgramListing's Follow)
// is stale after a Seek or a step: look units up again by id. A player
// is used by one thread at a time (it may be opened on a worker thread and
// handed over).
class ReplayPlayer {
public:
  // Nothing, with `why` saying what is wrong (a line for a terminal, text
  // from the file escaped), when the file cannot be read, is no replay, or
  // does not play out as recorded.
  static std::unique_ptr<ReplayPlayer> Open(const std::filesystem::path& file, std::string& why,
                                            const ReplayPlayerLimits& limits = {});
  static std::unique_ptr<ReplayPlayer> Load(Replay replay, std::string& why, const ReplayPlayerLimits& limits = {});

  ~ReplayPlayer();
  ReplayPlayer(const ReplayPlayer&) = delete;
  ReplayPlayer& operator=(const ReplayPlayer&) = delete;

  const Replay& Recording() const { return replay_; }
  // The last tick: the battle can be shown after any tick 0..Ticks().
  std::uint64_t Ticks() const { return replay_.check.ticksRun; }
  const BattleOutcome& Outcome() const { return replay_.check.outcome; }
  // The folder the battle plays in: the recorded data files and pictures.
  const std::filesystem::path& Folder() const { return folder_.Path(); }

  // The battle as it stood after tick `tick` (clamped to Ticks()); tick 0
  // is the field as set up. Going one tick forward costs one tick; any
  // other move restores a snapshot and runs at most SnapshotEvery()-1 ticks.
  Battle& Seek(std::uint64_t tick);
  // The tick shown now (0 after Open), and its battle.
  std::uint64_t Tick() const { return run_->TicksRun(); }
  Battle& Shown() { return run_->GetBattle(); }
  // One tick forward or back; false (nothing changes) at either end.
  bool StepForward();
  bool StepBack();

  // The unit with field id `id` on the field at the shown tick; null when it
  // is not on it (not yet deployed, or fallen). Needs the field's lock (the
  // handle of Shown().Lock()); valid while that is held and until the next move.
  const OKE* UnitOnField(const SharedField::Locked& field, std::int64_t id) const;
  // The same for what takes a unit to follow (ProgramListing::Follow, the
  // program window's listing); follow it again after every move.
  OKE* UnitOnField(const SharedField::Locked& field, std::int64_t id);
  // The same unit's variables A..Z at the shown tick; none when it is not on the field.
  std::optional<std::array<std::int32_t, kVariableCount>> Variables(std::int64_t id);
  // The unit's sheet at the shown tick: as it stands, or its last sheet
  // once it has fallen; none before it is deployed.
  std::optional<UnitSheet> Sheet(std::int64_t id);

  // Every unit that took part, in the order it joined the field.
  const std::vector<ReplayUnitInfo>& Units() const { return units_; }
  const ReplayUnitInfo* Unit(std::int64_t id) const;
  // The unit's path points at ticks from..to (both included), as a span
  // into its path, and the tick of the span's first point.
  std::span<const ReplayPathPoint> PathBetween(std::int64_t id, std::uint64_t from, std::uint64_t to,
                                               std::uint64_t* firstTick = nullptr) const;
  std::uint32_t PathStride() const { return pathStride_; }

  // The bytes of the recorded data file `name` (a unit's model or program
  // as ReplayUnitInfo names it; "./a.prg" and "a.prg" are the same); null
  // when the replay holds no such file. A program's text is Shift-JIS as
  // the game reads it: ToUtf8 before showing it.
  const std::string* FileBytes(const std::string& name) const;
  const std::string* ProgramText(std::int64_t id) const;

  // Events in tick order (within a tick, as they happened), and the ticks in
  // which units fell, ascending, once per tick, for timeline marks.
  const std::vector<ReplayEvent>& Events() const { return events_; }
  bool EventsCut() const { return eventsCut_; }
  // The message log, in order.
  const std::vector<ReplayMessage>& Messages() const { return messages_; }
  std::vector<std::uint64_t> FallTicks() const;
  // The first event at or after `tick` (Events().size() when none).
  std::size_t FirstEventAt(std::uint64_t tick) const;

  // The snapshots' spacing and the memory they hold.
  std::uint32_t SnapshotEvery() const { return snapshotEvery_; }
  std::size_t SnapshotCount() const { return snapshots_.size(); }
  std::size_t SnapshotBytes() const;

private:
  class Watch;
  ReplayPlayer(Replay replay, TempFolder folder);

  bool Play(const ReplayPlayerLimits& limits, std::string& why);
  void Restore(std::size_t snapshot);

  Replay replay_;
  TempFolder folder_;
  std::unique_ptr<Watch> watch_;
  std::unique_ptr<BattleRun> run_;
  FieldCopy::Programs programs_;
  std::vector<BattleSnapshot> snapshots_;  // snapshot k is after tick k * snapshotEvery_
  std::uint32_t snapshotEvery_ = 100;
  std::map<std::string, std::size_t> fileIndex_;  // entry name -> replay_.files
  std::vector<ReplayUnitInfo> units_;
  std::map<std::int64_t, std::size_t> unitIndex_;  // field id -> units_
  std::uint32_t pathStride_ = 1;
  std::vector<ReplayEvent> events_;
  bool eventsCut_ = false;
  std::vector<ReplayMessage> messages_;
};

}  // namespace kivora
