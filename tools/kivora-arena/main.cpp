// kivora-arena: battles from a data directory without a window.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "kivora-arena/ArenaOptions.h"
#include "kivora-arena/ArenaRun.h"

namespace {

// The signal that asked the run to end, 0 for none. Set by the handler,
// read by the battle loop between ticks.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void AskToStop(int signal) { stopSignal.store(signal); }

// SIGINT and SIGTERM end the run after the current tick. The handler is
// reset once it has run, so a second signal ends the program at once.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = AskToStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = kivora::ParseArenaOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "kivora-arena: %s\n%s", error.c_str(), kivora::kArenaUsage);
    return 2;
  }
  if (options->help) {
    std::fputs(kivora::kArenaUsage, stdout);
    if (std::fflush(stdout) != 0) {
      std::perror("kivora-arena: cannot write the usage");
      return 1;
    }
    return 0;
  }
  CatchStopSignals();
  return kivora::RunArena(*options, stdout, stderr, &stopSignal);
}
