#include "kivora-arena/ArenaOptions.h"

#include <charconv>
#include <limits>

#include "base/TextCodec.h"
#include "common/ToolKit.h"
#include "field/Animation.h"
#include "game/Replay.h"

namespace kivora {

const char* const kArenaUsage =
    "usage: kivora-arena [OPTIONS] [DIR]\n"
    "Builds the field from the data files in DIR (default: the current directory)\n"
    "as the game does at start-up and runs the battle at full speed.\n"
    "The battle:\n"
    "  --ticks N          world ticks to run, at most 1000000000000 (default 3000)\n"
    "  --until-decided    end as soon as a side has no unit left\n"
    "  --seed S           seed of the set-up generator, 0..4294967295 (default 1)\n"
    "  --sim-seed S       seed of the simulation's generator (RANDOM, rewards) (default 1)\n"
    "  --player SPC[:PRG] deploy a unit of the player's side; repeatable\n"
    "  --rival SPC[:PRG]  deploy a unit of the rival's side; repeatable\n"
    "  --at X,Y,DIR       start the unit of the --player/--rival just before at X,Y\n"
    "                     (field units, 100 to a pixel) facing DIR (-179..180)\n"
    "  --no-rival         leave out the set-up's random rival unit\n"
    "  --no-random        leave out the set-up's 10 random walls and 10 random parts\n"
    "  --no-map           leave out the walls of map.txt\n"
    "  --campaign         run the rival's deployments and the leader's visits\n"
    "What is written:\n"
    "  --trace FILE       write the tick-by-tick trace to FILE ('-': standard output)\n"
    "  --trace-every K    trace tick 0 and every K-th tick (default 1)\n"
    "  --frames DIR2      write the field as DIR2/frame-TTTTTT.bmp (or .png)\n"
    "  --frame-every K    with --frames: tick 0 and every K-th tick (default 10);\n"
    "                     with --animation: a frame every K ticks (default 1)\n"
    "  --frame-format F   the frames as bmp (default) or png\n"
    "  --frame-tick       the tick number in the top left corner of every frame\n"
    "  --animation FILE   write the battle as one animated WebP picture, 100 ms\n"
    "                     a tick as in the game\n"
    "  --json FILE        write the result and every unit's statistics as JSON\n"
    "                     ('-': standard output)\n"
    "  --record FILE      write a replay of the battle to FILE: its setup, the data\n"
    "                     files it read and what it came to (at most 1000000 ticks)\n"
    "  --quiet            no summary\n"
    "  --help             this text\n"
    "A duel: --no-rival --no-random --player A.spc:a.prg --rival B.spc:b.prg\n"
    "SIGINT or SIGTERM ends the run after the current tick, with the trace, the\n"
    "animation and the summary written (exit status 130 or 143).\n";

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// An optional minus sign, then plain decimal digits that fit in 32 bits.
bool ParseSigned(std::string_view text, std::int32_t& out) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!AllDigits(negative ? text.substr(1) : text)) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc{} && end == text.data() + text.size();
}

// "X,Y,DIR": three whole numbers, the facing -179..180.
bool ParseStart(std::string_view text, UnitStart& start) {
  const std::size_t first = text.find(',');
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find(',', first + 1);
  if (second == std::string_view::npos) return false;
  return ParseSigned(text.substr(0, first), start.x) &&
         ParseSigned(text.substr(first + 1, second - first - 1), start.y) &&
         ParseSigned(text.substr(second + 1), start.direction) && start.direction >= -179 && start.direction <= 180;
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
  BattleSetup& battle = options.battle;
  bool haveDirectory = false;
  bool optionsEnded = false;
  auto fail = [&error](std::string text) {
    error = std::move(text);
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (haveDirectory) return fail("more than one directory given: " + ForTerminal(arg));
      battle.folder = arg;
      haveDirectory = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--campaign") {
      battle.campaign = true;
      continue;
    }
    if (arg == "--until-decided") {
      battle.untilDecided = true;
      continue;
    }
    if (arg == "--no-rival") {
      battle.parts.rival = false;
      continue;
    }
    if (arg == "--no-random") {
      battle.parts.randomWallsAndParts = false;
      continue;
    }
    if (arg == "--no-map") {
      battle.parts.map = false;
      continue;
    }
    if (arg == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (arg == "--frame-tick") {
      options.frameTick = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    const bool takesValue = arg == "--ticks" || arg == "--seed" || arg == "--sim-seed" || arg == "--player" ||
                            arg == "--rival" || arg == "--at" || arg == "--trace" || arg == "--trace-every" ||
                            arg == "--frames" || arg == "--frame-every" || arg == "--json" ||
                            arg == "--frame-format" || arg == "--animation" || arg == "--record";
    if (!takesValue) return fail("unknown option " + ForTerminal(arg));
    if (i + 1 >= args.size()) return fail(arg + " needs a value");
    const std::string& value = args[++i];
    if (arg == "--ticks") {
      if (!AllDigits(value)) return fail("--ticks wants a whole number of ticks, not " + ForTerminal(value));
      if (!ParseUnsigned(value, battle.ticks) || battle.ticks > kMaxBattleTicks)
        return fail("--ticks wants at most " + std::to_string(kMaxBattleTicks) + " ticks, not " + ForTerminal(value));
    } else if (arg == "--seed" || arg == "--sim-seed") {
      if (!ParseUnsigned(value, arg == "--seed" ? battle.setupSeed : battle.simSeed))
        return fail(arg + " wants a number from 0 to 4294967295, not " + ForTerminal(value));
    } else if (arg == "--player" || arg == "--rival") {
      ArenaUnit unit = ParseArenaUnit(value, arg == "--player" ? 1 : 0);
      if (unit.spec.empty()) return fail(arg + " wants a model file, as SPC or SPC:PRG");
      battle.units.push_back(std::move(unit));
    } else if (arg == "--at") {
      if (battle.units.empty()) return fail("--at places the unit of the --player or --rival before it; there is none");
      if (battle.units.back().at) return fail("--at given twice for one unit");
      UnitStart start;
      if (!ParseStart(value, start))
        return fail("--at wants X,Y,DIR: two whole numbers in field units and a facing from -179 to 180, not " +
                    ForTerminal(value));
      battle.units.back().at = start;
    } else if (arg == "--trace" || arg == "--json") {
      if (value.empty()) return fail(arg + " wants a file name or -");
      (arg == "--trace" ? options.trace : options.json) = value;
    } else if (arg == "--record") {
      if (value.empty() || value == "-") return fail("--record wants a file name");
      options.record = value;
    } else if (arg == "--frames") {
      if (value.empty()) return fail("--frames wants a directory");
      options.frames = value;
    } else if (arg == "--frame-format") {
      if (value != "bmp" && value != "png") return fail("--frame-format wants bmp or png, not " + ForTerminal(value));
      options.frameFormat = value == "png" ? FrameFormat::Png : FrameFormat::Bmp;
    } else if (arg == "--animation") {
      if (value.empty() || value == "-") return fail("--animation wants a file name");
      options.animation = value;
    } else {  // --trace-every, --frame-every
      std::uint64_t every = 0;
      if (!ParseUnsigned(value, every) || every == 0)
        return fail(arg + " wants a whole number of at least 1, not " + ForTerminal(value));
      (arg == "--trace-every" ? options.traceEvery : options.frameEvery) = every;
      if (arg == "--frame-every") options.animationEvery = every;
    }
  }
  if (options.record && battle.ticks > kMaxReplayTicks)
    return fail("--record holds at most " + std::to_string(kMaxReplayTicks) + " ticks; --ticks asks for " +
                std::to_string(battle.ticks));
  if (options.animation) {
    // A frame lasts 100 ms a tick; the whole stays within what the file can time.
    const std::uint64_t every = options.animationEvery;
    if (every > kMaxFrameMilliseconds / 100)
      return fail("with --animation, --frame-every wants at most " + std::to_string(kMaxFrameMilliseconds / 100) +
                  " ticks, not " + std::to_string(every));
    if (battle.ticks / every + 1 > kMaxAnimationFrames)
      return fail("--animation holds at most " + std::to_string(kMaxAnimationFrames) +
                  " frames: fewer --ticks or a larger --frame-every");
  }
  return options;
}

}  // namespace kivora
