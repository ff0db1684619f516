// kivora [DIR]: the game. See kivora(6).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "game/GameOptions.h"
#include "base/TextCodec.h"
#include "game/UserArena.h"
#include "ui/CApp.h"

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Where the game was installed with its default arena, or for a run from
// the build tree, the source tree's arena. Set by the build.
fs::path DefaultArena() {
  std::vector<fs::path> candidates;
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) candidates.push_back((program.parent_path() / KIVORA_ARENA_FROM_BINDIR).lexically_normal());
#ifdef KIVORA_SOURCE_ARENA
  candidates.emplace_back(KIVORA_SOURCE_ARENA);
#endif
  candidates.emplace_back(KIVORA_INSTALLED_ARENA);
  return kivora::FindDefaultArena(candidates).value_or(fs::path(KIVORA_INSTALLED_ARENA));
}

void Note(const std::string& text) { std::fprintf(stderr, "kivora: %s\n", text.c_str()); }

// --help and --version: printed, and the game does not start.
bool Answered(const kivora::GameOptions& options) {
  if (!options.help && !options.version) return false;
  std::fputs(options.help ? kivora::kGameUsage : "kivora " KIVORA_VERSION "\n", stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  // Answered before Qt looks for a display; Qt's own options would not be
  // known here, and are dealt with after it has taken them.
  if (const auto early = kivora::ParseGameOptions({argv + 1, argv + argc}, error); early && Answered(*early)) return 0;
  kivora::CApp app(argc, argv);
  kivora::CApp::setDesktopFileName(QStringLiteral(KIVORA_APP_ID));
  const auto options = kivora::ParseGameOptions({argv + 1, argv + argc}, error);
  if (!options) {
    std::fprintf(stderr, "kivora: %s\n%s", error.c_str(), kivora::kGameUsage);
    return 2;
  }
  if (Answered(*options)) return 0;

  std::error_code ec;
  if (options->folder) {
    const fs::path folder = fs::absolute(*options->folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
      Note(kivora::ForTerminal(*options->folder) + " is not a folder");
      return 2;
    }
    if (!kivora::HoldsGameData(folder)) Note(kivora::ForTerminal(folder.native()) + " holds none of the game's data files");
    app.SetDataFolder(folder);
  } else {
    const fs::path current = fs::current_path(ec);
    const kivora::ArenaChoice choice =
        kivora::ChooseArena(ec ? fs::path() : current, {Env("XDG_DATA_HOME"), Env("HOME")}, DefaultArena());
    for (const std::string& note : choice.notes) Note(note);
    if (!choice.copied.empty())
      Note("copied " + std::to_string(choice.copied.size()) + " file(s) of the default arena");
    if (choice.source != kivora::ArenaChoice::Source::CurrentDirectory)
      Note("playing in " + kivora::ForTerminal(choice.folder.native()));
    app.SetDataFolder(choice.folder);
  }

  if (!app.InitInstance()) return 1;
  if (app.QuitRequested()) return 0;
  return app.exec();
}
