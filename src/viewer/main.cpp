// kivora-viewer [FILE]: a recorded battle played again. See kivora-viewer(1).
#include <QApplication>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "base/TextCodec.h"
#include "game/ReplayPlayer.h"
#include "viewer/ViewerUsage.h"
#include "viewer/ViewerWindow.h"

namespace {

struct Arguments {
  bool help = false;
  bool version = false;
  std::string file;
  std::string error;
};

// Our own arguments; Qt's (-platform and the like) are taken by QApplication first.
Arguments Parse(int argc, char** argv) {
  Arguments args;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options && arg == "--") options = false;
    else if (options && arg == "--help") args.help = true;
    else if (options && arg == "--version") args.version = true;
    else if (options && arg.size() > 1 && arg[0] == '-') args.error = "unknown option " + kivora::ForTerminal(arg);
    else if (args.file.empty()) args.file = arg;
    else args.error = "more than one file";
  }
  return args;
}

bool Answered(const Arguments& args) {
  if (!args.help && !args.version) return false;
  std::fputs(args.help ? kivora::kViewerUsage : "kivora-viewer " KIVORA_VERSION "\n", stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version are answered before Qt looks for a display.
  if (const Arguments early = Parse(argc, argv); early.error.empty() && Answered(early)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("kivora-viewer");
  const Arguments args = Parse(argc, argv);
  if (!args.error.empty()) {
    std::fprintf(stderr, "kivora-viewer: %s\n%s", args.error.c_str(), kivora::kViewerUsage);
    return 2;
  }
  if (Answered(args)) return 0;

  kivora::ViewerWindow window;
  if (!args.file.empty()) {
    // Opened before the window shows: a replay that cannot be played ends
    // the program with the reason, as any command-line tool would.
    std::string why;
    const std::filesystem::path file(args.file);
    std::unique_ptr<kivora::ReplayPlayer> player = kivora::ReplayPlayer::Open(file, why);
    if (!player) {
      std::fprintf(stderr, "kivora-viewer: %s: %s\n", kivora::ForTerminal(args.file).c_str(), why.c_str());
      return 2;
    }
    window.Show(std::move(player), QString::fromLocal8Bit(file.filename().c_str()));
  }
  window.show();
  return app.exec();
}
