// kivora-arena: battles from a data directory without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "kivora-arena/ArenaOptions.h"
#include "kivora-arena/ArenaRun.h"

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
    return 0;
  }
  return kivora::RunArena(*options, stdout, stderr);
}
