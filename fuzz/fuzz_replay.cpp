// Feeds arbitrary bytes to the replay reader, through the file as a player
// would get it. What it accepts must write back to the very same bytes, and
// a short battle it accepts is unpacked and played (and almost always
// refused for not playing out as recorded).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ScratchFile.h"
#include "game/Replay.h"
#include "game/ReplayPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = kivora::fuzz::WriteScratchFile("replay", data, size);
  std::string why;
  std::optional<kivora::Replay> replay = kivora::ReadReplay(path, why);
  if (!replay) {
    if (why.empty()) std::abort();  // refused without a word
    return 0;
  }
  const std::vector<std::uint8_t> again = kivora::EncodeReplay(*replay);
  if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
  if (replay->check.ticksRun <= 200) {
    auto player = kivora::ReplayPlayer::Load(std::move(*replay), why);
    if (player) {
      player->Seek(player->Ticks() / 2);
      player->Seek(0);
    } else if (why.empty()) {
      std::abort();
    }
  }
  return 0;
}
