#include "game/GameOptions.h"

#include "base/TextCodec.h"

namespace kivora {

const char* const kGameUsage =
    "usage: kivora [DIR]\n"
    "Starts the game in the data folder DIR. Without DIR: in the current directory\n"
    "if it holds the game's data files (map.txt, buylist.txt or a .spc model),\n"
    "otherwise in your own arena, $XDG_DATA_HOME/kivora/arena\n"
    "(by default ~/.local/share/kivora/arena), made from the default arena.\n"
    "  --help     this text\n"
    "  --version  the game's version\n";

std::optional<GameOptions> ParseGameOptions(const std::vector<std::string>& args, std::string& error) {
  GameOptions options;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (options.folder) {
        error = "more than one folder given: " + ForTerminal(arg);
        return std::nullopt;
      }
      options.folder = arg;
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else {
      error = "unknown option " + ForTerminal(arg);
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace kivora
