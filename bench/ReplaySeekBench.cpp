// What a viewer waits for: opening a recorded 10,000-tick battle of the
// default arena (checked by playing it through once) and seeking a tick in
// it, at random and at the worst place (the tick before a snapshot, reached
// from far away).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "game/BattleRun.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayRecorder.h"

namespace kivora {
namespace {

constexpr std::uint64_t kTicks = 10'000;

// The default arena with everything on: map, random walls and parts, the
// random rival, the campaign, and three units of the player's.
const Replay& TenThousandTicks() {
  static const Replay replay = [] {
    BattleSetup setup;
    setup.folder = std::filesystem::path(KIVORA_SOURCE_DIR) / "arena";
    setup.campaign = true;
    setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                   BattleUnit{1, "scout.spc", "collector.prg", std::nullopt},
                   BattleUnit{1, "gunner.spc", "sniper.prg", std::nullopt}};
    setup.ticks = kTicks;
    std::string why;
    auto files = CaptureBattleFiles(setup, true, why);
    ReplayRecorder recorder(std::move(*files));
    BattleRun run(setup, &recorder);
    (void)run.Start();
    run.Run();
    return recorder.Finish(run);
  }();
  return replay;
}

std::unique_ptr<ReplayPlayer> OpenPlayer() {
  std::string why;
  auto player = ReplayPlayer::Load(TenThousandTicks(), why);
  if (!player) std::abort();
  return player;
}

void Describe(benchmark::State& state, const ReplayPlayer& player) {
  state.counters["snapshots"] = static_cast<double>(player.SnapshotCount());
  state.counters["snapshot_KiB"] = static_cast<double>(player.SnapshotBytes()) / 1024.0;
  std::size_t points = 0;
  for (const ReplayUnitInfo& unit : player.Units()) points += unit.path.size();
  state.counters["path_points"] = static_cast<double>(points);
  state.counters["events"] = static_cast<double>(player.Events().size());
}

void BM_ReplayOpen(benchmark::State& state) {
  TenThousandTicks();
  for (auto _ : state) {
    auto player = OpenPlayer();
    benchmark::DoNotOptimize(player.get());
  }
}
BENCHMARK(BM_ReplayOpen)->Unit(benchmark::kMillisecond);

void BM_ReplaySeekRandom(benchmark::State& state) {
  auto player = OpenPlayer();
  Random random(12345);
  for (auto _ : state) {
    const auto tick = static_cast<std::uint64_t>(randomRange(random, 0, static_cast<int>(kTicks)));
    benchmark::DoNotOptimize(&player->Seek(tick));
  }
  Describe(state, *player);
}
BENCHMARK(BM_ReplaySeekRandom)->Unit(benchmark::kMillisecond);

// Back and forth between the ticks just before two snapshots far apart:
// every seek restores one and runs SnapshotEvery() - 1 ticks.
void BM_ReplaySeekWorst(benchmark::State& state) {
  auto player = OpenPlayer();
  const std::uint64_t every = player->SnapshotEvery();
  const std::uint64_t ticks[2] = {every - 1, kTicks - 1};
  std::size_t k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(&player->Seek(ticks[k++ % 2]));
  Describe(state, *player);
}
BENCHMARK(BM_ReplaySeekWorst)->Unit(benchmark::kMillisecond);

void BM_ReplayStepBack(benchmark::State& state) {
  auto player = OpenPlayer();
  player->Seek(kTicks);
  for (auto _ : state) {
    if (!player->StepBack()) player->Seek(kTicks);
  }
}
BENCHMARK(BM_ReplayStepBack)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivora
