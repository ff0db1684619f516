// kivora-tournament: round robins and melees of many battles, on every core.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "kivora-tournament/TournamentOptions.h"
#include "kivora-tournament/TournamentRun.h"

namespace {

// The signal that asked the tournament to stop, 0 for none.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void AskToStop(int signal) { stopSignal.store(signal); }

// SIGINT and SIGTERM stop the tournament; a second one ends the program at
// once.
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
  const auto options = kivora::ParseTournamentOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "kivora-tournament: %s\n%s", error.c_str(), kivora::kTournamentUsage);
    return 2;
  }
  if (options->help) {
    std::fputs(kivora::kTournamentUsage, stdout);
    if (std::fflush(stdout) != 0) {
      std::perror("kivora-tournament: cannot write the usage");
      return 1;
    }
    return 0;
  }
  CatchStopSignals();
  return kivora::RunTournament(*options, stdout, stderr, &stopSignal);
}
