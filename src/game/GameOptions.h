#pragma once
// The game's command line: kivora [--help] [--version] [DIR].
#include <optional>
#include <string>
#include <vector>

namespace kivora {

struct GameOptions {
  bool help = false;
  bool version = false;
  std::optional<std::string> folder;  // DIR: play there instead of the folder the game would choose
};

// Parses the arguments after the program name, after Qt has taken its own.
// Nothing, with `error` set, for an unknown option or a second folder.
std::optional<GameOptions> ParseGameOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kGameUsage;

}  // namespace kivora
