#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/BattleRun.h"
#include "game/BattleSetup.h"

namespace kivora {

// A recorded battle: its setup, every data file it read or could have read,
// and what it came to, so that it can be played again anywhere and checked
// tick by tick. The file layout is in docs/replay-format.md.

inline constexpr std::uint32_t kReplayFormatVersion = 1;

// The battle rules this build plays by. Bump it with every change that makes
// any battle come out otherwise (the golden battle's digest in
// tests/tools/GoldenBattleTest.cpp changes with such a change, and the test
// holds the version beside it): replays recorded under
// other rules are then refused with a message instead of being played into
// a battle that never was.
inline constexpr std::uint32_t kBattleRulesVersion = 1;

// What a reader accepts at most. A replay of a duel is a few kilobytes,
// one with the default folder's pictures about 120 KB.
inline constexpr std::uint64_t kMaxReplayBytes = 256ull << 20;
inline constexpr std::uint64_t kMaxReplayTicks = 1'000'000;  // a day and a good part of another at ten a second
inline constexpr std::size_t kMaxReplayNameBytes = 4096;
inline constexpr std::size_t kMaxReplayFiles = 10'000;  // a player writes every one into a folder
inline constexpr std::uint32_t kMaxCheckpointEvery = 10'000;  // a battle that parts is caught within this many ticks

// One entry of the data folder as the battle saw it: a file with its bytes,
// or a name that lists among the models or programs but cannot be read as a
// file (a directory, a dangling link); that one is played back as an empty
// directory, which the rival's draw counts and no load can read, as before.
struct ReplayEntry {
  enum class Kind : std::uint8_t { File = 1, Unreadable = 2 };
  Kind kind = Kind::File;
  std::string name;   // relative to the folder, '/' between folders; see ReplayEntryNameFault
  std::string bytes;  // a file's contents

  friend bool operator==(const ReplayEntry&, const ReplayEntry&) = default;
};

// What the recorded battle came to: the ticks it ran, its outcome, and the
// digest of everything it showed (BattleDigest), taken at tick 0, at every
// `checkpointEvery`-th tick and after the last tick.
struct ReplayCheck {
  std::uint64_t ticksRun = 0;
  BattleOutcome outcome;
  std::uint32_t checkpointEvery = 100;
  std::vector<std::uint64_t> digests;

  // The tick of each digest, in order.
  std::uint64_t TickOf(std::size_t index) const;
  // How many digests a battle of `ticksRun` ticks has.
  static std::uint64_t DigestCount(std::uint64_t ticksRun, std::uint32_t every);
};

struct Replay {
  std::uint32_t rules = kBattleRulesVersion;
  BattleSetup setup;  // its folder is not recorded: the player chooses it
  std::vector<ReplayEntry> files;
  ReplayCheck check;
};

// Why `name` may not be an entry's name (empty: it may): entries are plain
// relative paths inside the folder, without ".", ".." or empty parts.
std::string ReplayEntryNameFault(std::string_view name);
// Why a setup's model or program name cannot be recorded or played (empty:
// it can): it must name a file inside the data folder.
std::string ReplayUnitFileFault(std::string_view name);
// The entry name of a setup's file name ("./a.spc" -> "a.spc").
std::string ReplayEntryName(std::string_view unitFile);

std::vector<std::uint8_t> EncodeReplay(const Replay& replay);

// The replay held in `bytes`, or nothing with `why` saying in a few words
// what is wrong (truncated, damaged, too large, another version). Never
// allocates more than a small multiple of the input's size.
std::optional<Replay> DecodeReplay(std::span<const std::uint8_t> bytes, std::string& why);

// Writes the replay to `path` whole: false, with `why`, when it cannot be,
// and what was written of it is removed (unless `path` is no plain file,
// such as a device). For whoever records battles of its own:
// CaptureBattleFiles, a ReplayRecorder on the run, then this.
bool WriteReplay(const std::filesystem::path& path, const Replay& replay, std::string& why);

// The same from a file; its size is checked before it is read.
std::optional<Replay> ReadReplay(const std::filesystem::path& path, std::string& why);

}  // namespace kivora
