#include "field/SimulationLoop.h"

#include <chrono>
#include <utility>

#include "base/TickClock.h"

namespace kivora {

SimulationLoop::SimulationLoop(Hooks hooks) : hooks_(std::move(hooks)) {}

SimulationLoop::~SimulationLoop() { Stop(); }

void SimulationLoop::Start() {
  if (thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    if (stopRequested_) return;
  }
  thread_ = std::thread([this] { Run(); });
}

void SimulationLoop::Stop() {
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stopRequested_ = true;
  }
  stopSignal_.notify_all();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void SimulationLoop::Run() {
  std::uint32_t waitMs = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(stopMutex_);
      if (stopSignal_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return stopRequested_; })) break;
    }
    const std::uint32_t t0 = TickCount();
    if (hooks_.step) hooks_.step();
    ticks_.fetch_add(1, std::memory_order_relaxed);

    bool drew = false;
    {
      std::unique_lock<std::mutex> frame(frameMutex_, std::try_to_lock);
      if (frame.owns_lock()) {
        if (hooks_.draw) hooks_.draw();
        drew = true;
      }
    }
    if (drew) {
      frames_.fetch_add(1, std::memory_order_relaxed);
      if (hooks_.frameReady) hooks_.frameReady();
    }
    waitMs = NextTickWait(TicksSince(t0, TickCount()));
  }
}

}  // namespace kivora
