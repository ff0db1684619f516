// Feeds arbitrary bytes to the replay reader, through the file as a player
// would get it. What it accepts must write back to the very same bytes, and
// a short battle it accepts is unpacked and played (and almost always
// refused for not playing out as recorded).
//
// Every section carries a digest that a random change almost never keeps
// right, so the mutator puts the digests right again after most changes:
// the section readers behind the digest check get fuzzed too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ScratchFile.h"
#include "base/Fnv1a.h"
#include "game/Replay.h"
#include "game/ReplayPlayer.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

std::uint64_t Le64(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

// Rewrites the digest of every whole section after the 24-byte header.
void FixDigests(std::uint8_t* data, std::size_t size) {
  std::size_t at = 24;
  while (at + 12 <= size) {
    const std::uint64_t length = Le64(data + at + 4);
    if (length > size - at - 12 || size - at - 12 - length < 8) return;
    const std::size_t end = at + 12 + static_cast<std::size_t>(length);
    kivora::Fnv1a digest;
    digest.Add(std::span<const std::uint8_t>(data + at, end - at));
    std::uint64_t value = digest.Value();
    for (int i = 0; i < 8; ++i) data[end + i] = static_cast<std::uint8_t>(value >> (8 * i));
    at = end + 8;
  }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
  size = LLVMFuzzerMutate(data, size, maxSize);
  if (seed % 8 != 0) FixDigests(data, size);
  return size;
}

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
