#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// One unit that kivora-arena deploys before the first tick: a model file and
// an optional program file, for the player's side (team 1) or the rival's (team 0).
struct ArenaUnit {
  int team = 1;
  std::string spec;
  std::optional<std::string> program;  // none: the unit stands idle
};

// The command line of kivora-arena.
struct ArenaOptions {
  std::uint64_t ticks = 3000;
  std::uint32_t seed = 1;
  std::vector<ArenaUnit> units;  // in the order given
  bool campaign = false;
  std::optional<std::string> trace;  // "-" is standard output
  std::uint64_t traceEvery = 1;
  std::optional<std::string> frames;
  std::uint64_t frameEvery = 10;
  bool quiet = false;
  bool help = false;
  std::string directory = ".";
};

// Parses the arguments after the program name. On a bad argument returns
// nothing and puts a one-line reason into `error`.
std::optional<ArenaOptions> ParseArenaOptions(const std::vector<std::string>& args, std::string& error);

// "SPC[:PRG]" split at the first colon; "SPC:" means no program.
ArenaUnit ParseArenaUnit(std::string_view text, int team);

// Usage text for --help and for bad arguments.
extern const char* const kArenaUsage;

}  // namespace kivora
