#include "field/SimulationLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "base/TickClock.h"

namespace kivora {
namespace {

using namespace std::chrono_literals;

TEST(SimulationLoopTest, WaitFillsTheRestOfThePeriodWithoutCatchingUp) {
  struct Case {
    std::uint32_t elapsed, wait;
  } cases[] = {
      {0, 100},  // faster than the clock's resolution: a full period
      {30, 70}, {99, 1}, {100, 0}, {101, 0}, {150, 0}, {4294967295u, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(NextTickWait(c.elapsed), c.wait) << c.elapsed;
  // A tick that straddles the wrap of the 32-bit clock is measured correctly.
  EXPECT_EQ(NextTickWait(TicksSince(0xFFFFFFF0u, 0x00000010u)), 68u);
}

// Waits (bounded) until `done` holds; the loop's period is real time.
template <typename F>
bool WaitFor(F done, std::chrono::milliseconds limit = 10s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

TEST(SimulationLoopThreadTest, CopiesNeverSeeAHalfDrawnFrame) {
  std::vector<int> buffer(20000, 0);
  int frame = 0;
  std::atomic<int> steps{0};
  SimulationLoop loop({[&] { steps.fetch_add(1); },
                       [&] {
                         ++frame;
                         for (std::size_t i = 0; i < buffer.size(); ++i) {
                           buffer[i] = frame;
                           if (i % 2000 == 0) std::this_thread::yield();
                         }
                       },
                       nullptr});
  loop.Start();
  int copies = 0;
  while (steps.load() < 6) {
    auto lock = loop.LockFrame();
    const int first = buffer.front();
    for (int v : buffer) ASSERT_EQ(v, first);
    ++copies;
    lock.unlock();
    std::this_thread::yield();
  }
  loop.Stop();
  EXPECT_GT(copies, 0);
  EXPECT_GE(loop.Ticks(), 6u);
}

TEST(SimulationLoopThreadTest, TicksGoOnButFramesAreSkippedWhileACopyRuns) {
  std::atomic<int> ready{0};
  SimulationLoop loop({nullptr, nullptr, [&] { ready.fetch_add(1); }});
  loop.Start();
  ASSERT_TRUE(WaitFor([&] { return loop.Frames() >= 1; }));
  {
    auto lock = loop.LockFrame();
    const auto frames = loop.Frames();
    const auto ticks = loop.Ticks();
    ASSERT_TRUE(WaitFor([&] { return loop.Ticks() >= ticks + 2; }));
    EXPECT_EQ(loop.Frames(), frames);
  }
  ASSERT_TRUE(WaitFor([&] { return loop.Frames() >= 2; }));
  loop.Stop();
  EXPECT_EQ(static_cast<std::uint64_t>(ready.load()), loop.Frames());
}

TEST(SimulationLoopThreadTest, StopMidTickWaitsForTheTickAndItsFrame) {
  std::atomic<bool> inTick{false};
  std::atomic<int> stepsDone{0}, framesDone{0};
  SimulationLoop loop({[&] {
                         inTick = true;
                         std::this_thread::sleep_for(50ms);
                         stepsDone.fetch_add(1);
                       },
                       [&] { framesDone.fetch_add(1); }, nullptr});
  loop.Start();
  ASSERT_TRUE(WaitFor([&] { return inTick.load(); }));
  loop.Stop();
  EXPECT_FALSE(loop.Running());
  const int steps = stepsDone.load();
  EXPECT_GE(steps, 1);
  EXPECT_EQ(framesDone.load(), steps);
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(stepsDone.load(), steps);  // nothing runs after Stop returned
  loop.Stop();                         // a second stop is harmless
}

TEST(SimulationLoopThreadTest, StoppedBeforeStartNeverTicks) {
  std::atomic<int> steps{0};
  SimulationLoop loop({[&] { steps.fetch_add(1); }, nullptr, nullptr});
  loop.Stop();
  loop.Start();
  EXPECT_FALSE(loop.Running());
  EXPECT_EQ(steps.load(), 0);
}

}  // namespace
}  // namespace kivora
