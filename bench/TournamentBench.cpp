// Battles a second of kivora-tournament's workers: a round robin of the
// default arena's seven programs, each on the standard model, 3000-tick
// duels on the map, played by one thread and by two.
//
//   build/default/bench/kivora_bench --benchmark_filter=Tournament
//
// items_per_second is battles a second.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "kivora-tournament/TournamentRun.h"

namespace kivora {
namespace {

TournamentSpec DefaultRoundRobin(bool untilDecided) {
  TournamentSpec spec;
  spec.folder = KIVORA_ARENA_DIR;
  for (const char* program : {"brawler", "collector", "dodger", "guard", "hunter", "sniper", "wanderer"})
    spec.entries.push_back({"standard.spc", std::string(program) + ".prg"});
  spec.seeds = 5;  // 21 pairings x 5 seeds x 2 sides = 210 duels an iteration
  spec.ticks = 3000;
  spec.untilDecided = untilDecided;
  return spec;
}

void PlayRoundRobin(benchmark::State& state, bool untilDecided) {
  const TournamentSpec spec = DefaultRoundRobin(untilDecided);
  std::vector<std::uint64_t> all(BattleCount(spec));
  for (std::uint64_t i = 0; i < all.size(); ++i) all[i] = i;
  const unsigned threads = static_cast<unsigned>(state.range(0));
  for (auto _ : state) {
    const PlayedBattles played = PlayBattles(spec, all, threads);
    if (played.fault) state.SkipWithError(played.fault->c_str());
    benchmark::DoNotOptimize(played.results.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * all.size()));
}

// Each duel ends when one side has no unit left, as the tournament's do by
// default.
void BM_TournamentUntilDecided(benchmark::State& state) { PlayRoundRobin(state, true); }
// Every duel runs its 3000 ticks.
void BM_TournamentFullTime(benchmark::State& state) { PlayRoundRobin(state, false); }

BENCHMARK(BM_TournamentUntilDecided)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TournamentFullTime)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kivora
