// kivora-arena: battles from a data directory without a window.
#include "common/ToolKit.h"
#include "kivora-arena/ArenaOptions.h"
#include "kivora-arena/ArenaRun.h"

int main(int argc, char** argv) {
  // SIGINT and SIGTERM end the run after the current tick.
  return kivora::ToolMain<kivora::ArenaOptions>("kivora-arena", kivora::kArenaUsage, argc, argv,
                                                kivora::ParseArenaOptions, kivora::RunArena);
}
