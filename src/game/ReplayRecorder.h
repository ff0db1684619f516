#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/BattleDigest.h"
#include "game/BattleRun.h"
#include "game/Replay.h"

namespace kivora {

// Reads what the battle of `setup` reads or may read from its folder, as it
// is now: the given units' models and programs; "map.txt" with the map;
// with the random rival or the campaign every entry the rival draws from
// (every *.spc and *.prg, directories included, in the listing's order);
// with `pictures` the pictures the field is drawn with. Nothing, with `why`,
// when a unit's file lies outside the folder or everything together is
// more than a replay may hold.
std::optional<std::vector<ReplayEntry>> CaptureBattleFiles(const BattleSetup& setup, bool pictures,
                                                           std::string& why);

// Records a battle while it runs: put it between the run and its observer
// (`next`, which it tells everything it is told), start the run, run it,
// then Finish. The files must be captured before Start, since the rival
// reads its programs as it is deployed:
//
//   auto files = CaptureBattleFiles(setup, true, why);
//   ReplayRecorder recorder(std::move(*files), &watch);
//   BattleRun run(setup, &recorder);
//   run.Start(); run.Run();
//   EncodeReplay(recorder.Finish(run));
//
// A run stopped early records the ticks it ran.
class ReplayRecorder : public BattleObserver {
public:
  // A digest every `checkpointEvery` ticks (at most kMaxCheckpointEvery).
  explicit ReplayRecorder(std::vector<ReplayEntry> files, BattleObserver* next = nullptr,
                          std::uint32_t checkpointEvery = 100);

  void MapUnreadable(std::string_view message) override;
  void Started(Battle& battle) override;
  void Message(std::uint64_t tick, std::string_view text) override;
  void Ticked(std::uint64_t tick, Battle& battle) override;
  FieldEvents* FieldListener() override { return next_ ? next_->FieldListener() : nullptr; }

  // The replay of what `run` ran so far.
  Replay Finish(const BattleRun& run) const;

private:
  std::vector<ReplayEntry> files_;
  BattleObserver* next_;
  BattleDigest digest_;
};

}  // namespace kivora
