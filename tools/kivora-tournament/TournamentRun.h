#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kivora-tournament/Standings.h"
#include "kivora-tournament/TournamentOptions.h"

namespace kivora {

// The battles of a list as a set of workers played them.
struct PlayedBattles {
  // One per battle asked for, in the order asked: none for a battle that
  // was not played (stopped, or never handed out).
  std::vector<std::optional<BattleResult>> results;
  // A battle that could not start after all (a file changed under the
  // tournament) or failed: what went wrong; the workers stopped then.
  std::optional<std::string> fault;
  // The first replay that could not be recorded or written, with the
  // reason; the battles go on, their results are whole.
  std::optional<std::string> replayFault;
};

// Where replays of the battles go: the file of the battle with a list
// index, or nothing for a battle not recorded. Each battle is recorded by
// its own recorder on the worker that plays it; a battle stopped under way
// leaves no file.
using ReplayFileFor = std::function<std::optional<std::filesystem::path>(std::uint64_t index)>;

// The replay of battle `index` in a --record-all folder: battle-000042.kvr.
std::filesystem::path ReplayFileIn(const std::filesystem::path& folder, std::uint64_t index);

// Plays the battles `indices` of the list on `threads` threads, each battle
// one BattleRun of its own; a worker takes the next battle not yet handed
// out. The results do not depend on the number of threads or on which
// thread played which battle. Once `stop` (may be null) holds a non-zero
// value no battle is handed out and those under way end at their current
// tick, counted as not played. `progress` (may be empty) is called now and
// then, on the calling thread, with the number of battles finished.
PlayedBattles PlayBattles(const TournamentSpec& spec, const std::vector<std::uint64_t>& indices, unsigned threads,
                          const std::atomic<int>* stop = nullptr,
                          const std::function<void(std::uint64_t finished)>& progress = {},
                          const ReplayFileFor& replayFileFor = {});

// The first entry whose model or program cannot be loaded, described for a
// terminal ("entry 3, scout.spc:nosuch.prg: cannot read the program ..."),
// or nothing. Each entry is started once alone on an empty field.
std::optional<std::string> CheckEntries(const TournamentSpec& spec);

// Runs kivora-tournament with parsed options: reads --entries files, checks
// the folder and every entry before the first battle, plays the battles of
// the slice (all without --shard) and prints the standings on `out`, the
// progress bar on `err` when `err` is a terminal, messages on `err`; or with
// --merge reads the slices and prints the standings of them all.
//
// Returns the exit status: 0; 2 for bad input (an entries file, the folder,
// an entry that cannot be loaded, an output file that cannot be created,
// slices that do not make one tournament); 1 when an output could not be
// written; 128 + the signal number after a stop through `stop`.
int RunTournament(const TournamentOptions& options, std::FILE* out, std::FILE* err,
                  const std::atomic<int>* stop = nullptr);

}  // namespace kivora
