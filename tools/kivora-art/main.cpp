// kivora-art [DIR]: redraws the game's pictures into DIR (default: the
// current directory, meant to be the source tree):
//   arena/bg.bmp, kivo1.bmp, kivo2.bmp, bulet.bmp, parts.bmp and the masks
//   mkivo1.bmp, mkivo2.bmp, mbulet.bmp, mparts.bmp;
//   res/GOMMU.bmp, res/Slot1.bmp .. res/Slot6.bmp, res/AppIcon.png (the
//   window's icon); data/icons/kivora-SIZE.png, the same icon at each size
//   of the desktop's icon theme.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "Art.h"

using namespace kivora::art;

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::printf(
        "usage: kivora-art [DIR]\n"
        "Redraws the game's pictures into DIR/arena and DIR/res (DIR: the source\n"
        "tree; default: the current directory). Exit status 0 when every picture\n"
        "was written, 1 when one could not be, 2 for bad arguments.\n");
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: kivora-art [DIR]\n");
    return 2;
  }
  const std::filesystem::path root = argc == 2 ? argv[1] : ".";
  const std::filesystem::path arena = root / "arena";
  const std::filesystem::path res = root / "res";
  std::error_code ec;
  std::filesystem::create_directories(arena, ec);
  std::filesystem::create_directories(res, ec);
  const std::filesystem::path icons = root / "data" / "icons";
  std::filesystem::create_directories(icons, ec);

  bool ok = WriteBmpFile((arena / "bg.bmp").string(), ArenaFloor(), 8);
  const struct {
    const char* name;
    Sprite sprite;
  } sprites[] = {
      {"kivo1.bmp", PlayerUnitSprite()},
      {"kivo2.bmp", RivalUnitSprite()},
      {"bulet.bmp", BulletSprite()},
      {"parts.bmp", PartsSprite()},
  };
  for (const auto& s : sprites) {
    ok &= WriteBmpFile((arena / s.name).string(), SpritePicture(s.sprite), 24);
    ok &= WriteBmpFile((arena / (std::string("m") + s.name)).string(), SpriteMask(s.sprite), 1);
  }

  ok &= WriteBmpFile((res / "GOMMU.bmp").string(), Portrait(128, TwoColourColouring(false)), 1);
  for (int i = 0; i < 6; ++i)
    ok &= WriteBmpFile((res / ("Slot" + std::to_string(i + 1) + ".bmp")).string(), Portrait(128, SlotColouring(i)), 8);
  ok &= WritePngImage((res / "AppIcon.png").string(), AppIcon(256));
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    ok &= WritePngImage((icons / ("kivora-" + std::to_string(size) + ".png")).string(), AppIcon(size));
  return ok ? 0 : 1;
}
