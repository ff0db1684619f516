#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace kivora {

// Milliseconds to wait before the next tick when the last one took
// `elapsedMs`: the rest of the 100 ms period, or nothing when the tick ran
// long. Lost time is never made up.
constexpr std::uint32_t kTickPeriodMs = 100;
constexpr std::uint32_t NextTickWait(std::uint32_t elapsedMs) {
  return elapsedMs <= kTickPeriodMs ? kTickPeriodMs - elapsedMs : 0;
}

// The battle's own thread: every 100 ms it advances the world one tick and
// draws a frame into the view's off-screen buffer, then tells the view a
// new frame is there. The window thread copies frames out with LockFrame,
// which keeps drawing and copying apart: a copy waits for a frame being
// drawn to finish, and a tick whose frame would collide with a copy skips
// drawing (the world still advances).
class SimulationLoop {
 public:
  struct Hooks {
    std::function<void()> step;        // one world tick (takes the field lock itself)
    std::function<void()> draw;        // one frame into the buffer (takes the field lock itself)
    std::function<void()> frameReady;  // a new frame can be copied; must not block
  };

  explicit SimulationLoop(Hooks hooks);
  ~SimulationLoop();  // Stop()
  SimulationLoop(const SimulationLoop&) = delete;
  SimulationLoop& operator=(const SimulationLoop&) = delete;

  // Starts the thread; the first tick runs at once. Only the first call counts.
  void Start();

  // Ends the thread and waits for it: at once when it is waiting, otherwise
  // right after the tick in progress and its frame. Safe to call repeatedly.
  void Stop();

  bool Running() const { return thread_.joinable(); }

  // Held while the window thread copies the buffer.
  std::unique_lock<std::mutex> LockFrame() { return std::unique_lock<std::mutex>(frameMutex_); }

  // Ticks run and frames drawn so far.
  std::uint64_t Ticks() const { return ticks_.load(std::memory_order_relaxed); }
  std::uint64_t Frames() const { return frames_.load(std::memory_order_relaxed); }

 private:
  void Run();

  Hooks hooks_;
  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopRequested_ = false;
  std::mutex frameMutex_;
  std::atomic<std::uint64_t> ticks_{0};
  std::atomic<std::uint64_t> frames_{0};
  std::thread thread_;
};

}  // namespace kivora
