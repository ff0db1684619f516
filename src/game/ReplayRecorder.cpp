#include "game/ReplayRecorder.h"

#include <algorithm>
#include <map>

#include "base/ListFiles.h"
#include "field/Bmp.h"
#include "field/DIBits.h"
#include "field/DrawField.h"
#include "sim/EE.h"

namespace kivora {
namespace {

class Capture {
public:
  Capture(const std::filesystem::path& folder, std::string& why) : folder_(folder), why_(why) {}

  // `name` as a file, or (when `unreadableToo`) as an entry that cannot be
  // read. False when the files grow beyond what a replay holds.
  bool Take(const std::string& name, bool unreadableToo) {
    if (entries_.count(name)) return true;
    if (entries_.size() >= kMaxReplayFiles) {
      why_ = "the battle reads more than " + std::to_string(kMaxReplayFiles) + " files, more than a replay holds";
      return false;
    }
    const std::uint64_t room = kMaxReplayBytes > total_ ? kMaxReplayBytes - total_ : 0;
    // One more byte than there is room for tells "too large" from "fits".
    const auto bytes = ReadFileBytes((folder_ / name).native(), room + 1);
    ReplayEntry entry;
    entry.name = name;
    if (bytes) {
      if (bytes->size() > room) {
        why_ = "the data files are too large for a replay (at most " + std::to_string(kMaxReplayBytes) +
               " bytes in all)";
        return false;
      }
      entry.bytes.assign(bytes->begin(), bytes->end());
      total_ += bytes->size();
    } else if (unreadableToo) {
      entry.kind = ReplayEntry::Kind::Unreadable;
    } else {
      return true;
    }
    entries_.emplace(name, std::move(entry));
    return true;
  }

  std::vector<ReplayEntry> Entries() {
    std::vector<ReplayEntry> entries;
    entries.reserve(entries_.size());
    for (auto& [name, entry] : entries_) entries.push_back(std::move(entry));
    return entries;
  }

private:
  const std::filesystem::path& folder_;
  std::string& why_;
  std::map<std::string, ReplayEntry> entries_;
  std::uint64_t total_ = 0;
};

}  // namespace

std::optional<std::vector<ReplayEntry>> CaptureBattleFiles(const BattleSetup& setup, bool pictures,
                                                           std::string& why) {
  Capture capture(setup.folder, why);
  for (const BattleUnit& unit : setup.units) {
    for (const std::string* name : {&unit.spec, unit.program ? &*unit.program : nullptr}) {
      if (!name) continue;
      if (std::string fault = ReplayUnitFileFault(*name); !fault.empty()) {
        why = fault;
        return std::nullopt;
      }
      if (!capture.Take(ReplayEntryName(*name), true)) return std::nullopt;
    }
  }
  // An unreadable map reads as a missing one.
  if (setup.parts.map && !capture.Take("map.txt", false)) return std::nullopt;
  if (setup.parts.rival || setup.campaign) {
    for (const char* pattern : {"*.spc", "*.prg"}) {
      for (const std::string& name : ListFiles(setup.folder, pattern, ListEntries::All)) {
        if (!capture.Take(name, true)) return std::nullopt;
      }
    }
  }
  if (pictures) {
    std::vector<std::string> names{"bg.bmp"};
    for (int kind = 0; kind < kKindCount; ++kind) {
      const char* file = PictureFileOfKind(kind);
      if (kind == kKindWall || file == nullptr) continue;
      names.emplace_back(file);
      names.push_back(DIBits::MaskFileName(file));
    }
    for (const std::string& name : names) {
      if (!capture.Take(name, false)) return std::nullopt;
    }
  }
  return capture.Entries();
}

ReplayRecorder::ReplayRecorder(std::vector<ReplayEntry> files, BattleObserver* next, std::uint32_t checkpointEvery)
    : files_(std::move(files)), next_(next), digest_(std::min(checkpointEvery, kMaxCheckpointEvery)) {}

void ReplayRecorder::MapUnreadable(std::string_view message) {
  digest_.MapUnreadable(message);
  if (next_) next_->MapUnreadable(message);
}

void ReplayRecorder::Started(Battle& battle) {
  digest_.Ticked(0, battle);
  if (next_) next_->Started(battle);
}

void ReplayRecorder::Message(std::uint64_t tick, std::string_view text) {
  digest_.Message(tick, text);
  if (next_) next_->Message(tick, text);
}

void ReplayRecorder::Ticked(std::uint64_t tick, Battle& battle) {
  digest_.Ticked(tick, battle);
  if (next_) next_->Ticked(tick, battle);
}

Replay ReplayRecorder::Finish(const BattleRun& run) const {
  Replay replay;
  replay.setup = run.Setup();
  replay.setup.folder.clear();
  replay.files = files_;
  replay.check.ticksRun = run.TicksRun();
  replay.check.outcome = run.Outcome();
  replay.check.checkpointEvery = digest_.Every();
  replay.check.digests = digest_.Digests();
  return replay;
}

}  // namespace kivora
