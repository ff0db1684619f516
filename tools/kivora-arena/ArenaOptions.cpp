#include "kivora-arena/ArenaOptions.h"

#include <charconv>
#include <limits>

#include "base/TextCodec.h"

namespace kivora {

const char* const kArenaUsage =
    "usage: kivora-arena [OPTIONS] [DIR]\n"
    "Builds the field from the data files in DIR (default: the current directory)\n"
    "as the game does at start-up and runs the battle at full speed.\n"
    "  --ticks N          world ticks to run (default 3000)\n"
    "  --seed S           seed of the set-up generator, 0..4294967295 (default 1)\n"
    "  --player SPC[:PRG] deploy a unit of the player's side; repeatable\n"
    "  --rival SPC[:PRG]  deploy a unit of the rival's side; repeatable\n"
    "  --campaign         run the rival's deployments and the leader's visits\n"
    "  --trace FILE       write the tick-by-tick trace to FILE ('-': standard output)\n"
    "  --trace-every K    trace tick 0 and every K-th tick (default 1)\n"
    "  --frames DIR2      write the field as DIR2/frame-TTTTTT.bmp\n"
    "  --frame-every K    with --frames: tick 0 and every K-th tick (default 10)\n"
    "  --quiet            no summary\n";

namespace {

// Plain decimal digits only: no sign, no blanks, no trailing junk.
template <typename T>
bool ParseUnsigned(std::string_view text, T& out) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return false;
  out = value;
  return true;
}

}  // namespace

ArenaUnit ParseArenaUnit(std::string_view text, int team) {
  ArenaUnit unit;
  unit.team = team;
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    unit.spec = std::string(text);
  } else {
    unit.spec = std::string(text.substr(0, colon));
    const std::string_view program = text.substr(colon + 1);
    if (!program.empty()) unit.program = std::string(program);
  }
  return unit;
}

std::optional<ArenaOptions> ParseArenaOptions(const std::vector<std::string>& args, std::string& error) {
  ArenaOptions options;
  bool haveDirectory = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (haveDirectory) {
        error = "more than one directory given: " + ToUtf8(arg);
        return std::nullopt;
      }
      options.directory = arg;
      haveDirectory = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--campaign") {
      options.campaign = true;
      continue;
    }
    if (arg == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    const bool takesValue = arg == "--ticks" || arg == "--seed" || arg == "--player" || arg == "--rival" ||
                            arg == "--trace" || arg == "--trace-every" || arg == "--frames" ||
                            arg == "--frame-every";
    if (!takesValue) {
      error = "unknown option " + ToUtf8(arg);
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (arg == "--ticks") {
      if (!ParseUnsigned(value, options.ticks)) {
        error = "--ticks wants a whole number of ticks, not " + ToUtf8(value);
        return std::nullopt;
      }
    } else if (arg == "--seed") {
      if (!ParseUnsigned(value, options.seed)) {
        error = "--seed wants a number from 0 to 4294967295, not " + ToUtf8(value);
        return std::nullopt;
      }
    } else if (arg == "--player" || arg == "--rival") {
      ArenaUnit unit = ParseArenaUnit(value, arg == "--player" ? 1 : 0);
      if (unit.spec.empty()) {
        error = arg + " wants a model file, as SPC or SPC:PRG";
        return std::nullopt;
      }
      options.units.push_back(std::move(unit));
    } else if (arg == "--trace") {
      if (value.empty()) {
        error = "--trace wants a file name or -";
        return std::nullopt;
      }
      options.trace = value;
    } else if (arg == "--frames") {
      if (value.empty()) {
        error = "--frames wants a directory";
        return std::nullopt;
      }
      options.frames = value;
    } else {  // --trace-every, --frame-every
      std::uint64_t every = 0;
      if (!ParseUnsigned(value, every) || every == 0) {
        error = arg + " wants a whole number of at least 1, not " + ToUtf8(value);
        return std::nullopt;
      }
      (arg == "--trace-every" ? options.traceEvery : options.frameEvery) = every;
    }
  }
  return options;
}

}  // namespace kivora
