#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/BattleSetup.h"

namespace kivora {

// One unit that kivora-arena deploys before the first tick (--player, --rival
// and its --at).
using ArenaUnit = BattleUnit;

enum class FrameFormat { Bmp, Png };

// The command line of kivora-arena: the battle itself, and what is written
// of it.
struct ArenaOptions {
  BattleSetup battle;                // DIR, --seed, --sim-seed, --no-*, units, --campaign, --ticks, --until-decided
  std::optional<std::string> trace;  // "-" is standard output
  std::uint64_t traceEvery = 1;
  std::optional<std::string> frames;
  std::uint64_t frameEvery = 10;
  FrameFormat frameFormat = FrameFormat::Bmp;
  bool frameTick = false;                 // the tick drawn on frames and the animation
  std::optional<std::string> animation;   // one animated picture of the battle
  std::uint64_t animationEvery = 1;       // --frame-every when given, else every tick
  std::optional<std::string> json;  // "-" is standard output
  std::optional<std::string> record;  // the replay file
  bool quiet = false;
  bool help = false;
};

// Parses the arguments after the program name. On a bad argument returns
// nothing and puts a one-line reason into `error`, ready for a terminal.
std::optional<ArenaOptions> ParseArenaOptions(const std::vector<std::string>& args, std::string& error);

// "SPC[:PRG]" split at the first colon; "SPC:" means no program.
ArenaUnit ParseArenaUnit(std::string_view text, int team);

// Usage text for --help and for bad arguments.
extern const char* const kArenaUsage;

}  // namespace kivora
