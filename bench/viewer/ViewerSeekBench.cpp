// The viewer's moves on a 10,000-tick battle of the default arena with the
// campaign (rival deployments every 1800 ticks): a seek to any tick, as the
// timeline and the event list make it, and one tick forward, as playing
// does; each with everything the window does for it (the field drawn, the
// sheet, the program panel, the path) and the window painted.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayRecorder.h"
#include "viewer/ViewerWindow.h"

namespace kivora {
namespace {

std::unique_ptr<ViewerWindow> OpenLongBattle() {
  BattleSetup setup;
  setup.folder = std::filesystem::path(KIVORA_SOURCE_DIR) / "arena";
  setup.setupSeed = 7;
  setup.simSeed = 3;
  setup.campaign = true;
  setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", std::nullopt},
                 BattleUnit{1, "scout.spc", "collector.prg", std::nullopt},
                 BattleUnit{1, "standard.spc", "wanderer.prg", std::nullopt}};
  setup.ticks = 10000;
  std::string why;
  auto files = CaptureBattleFiles(setup, true, why);
  ReplayRecorder recorder(std::move(*files));
  BattleRun run(setup, &recorder);
  if (run.Start()) std::abort();
  run.Run();
  auto player = ReplayPlayer::Load(recorder.Finish(run), why);
  if (!player) std::abort();
  auto window = std::make_unique<ViewerWindow>();
  window->Show(std::move(player), "bench");
  window->show();
  // The first unit of the player's side selected, its path drawn.
  window->Select(window->Player()->Units().front().id);
  return window;
}

ViewerWindow& Window() {
  static std::unique_ptr<ViewerWindow> window = OpenLongBattle();
  return *window;
}

void BM_ViewerSeekAnywhere(benchmark::State& state) {
  ViewerWindow& window = Window();
  Random random(11);
  std::vector<std::uint64_t> ticks;
  for (int i = 0; i < 4096; ++i) ticks.push_back(static_cast<std::uint64_t>(randomRange(random, 0, 10000)));
  std::size_t next = 0;
  for (auto _ : state) {
    window.SeekTo(ticks[next++ % ticks.size()]);
    window.repaint();
  }
}
BENCHMARK(BM_ViewerSeekAnywhere)->Unit(benchmark::kMillisecond);

void BM_ViewerStepForward(benchmark::State& state) {
  ViewerWindow& window = Window();
  window.SeekTo(5000);
  for (auto _ : state) {
    if (!window.StepForward()) window.SeekTo(5000);
    window.repaint();
  }
}
BENCHMARK(BM_ViewerStepForward)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivora

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
