#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kivora-tournament/Tournament.h"

namespace kivora {

// The command line of kivora-tournament.
struct TournamentOptions {
  TournamentSpec spec;
  std::vector<std::string> entriesFiles;  // --entries, read by ReadEntriesFile after parsing
  unsigned threads = 0;                   // 0: one per core
  Shard shard;
  bool sharded = false;
  std::vector<std::string> merge;  // --merge: the slices' JSON files instead of battles
  std::optional<std::string> csv;
  std::optional<std::string> json;
  // --record-battle N FILE: the replay of the battle with index N (as the
  // JSON numbers them) into FILE; --record-all DIR: every battle played as
  // DIR/battle-NNNNNN.kvr.
  std::optional<std::uint64_t> recordBattle;
  std::string recordBattleFile;
  std::optional<std::string> recordAll;
  bool help = false;
};

// The most threads --threads takes.
inline constexpr unsigned kMaxThreads = 1024;

// Parses the arguments after the program name. On a bad argument returns
// nothing and puts a one-line reason into `error`, ready for a terminal.
// Entries of --entries files are not read yet (see ReadEntriesFile).
std::optional<TournamentOptions> ParseTournamentOptions(const std::vector<std::string>& args, std::string& error);

// Reads the entries of an --entries file: one SPC:PRG a line, blanks at
// either end of a line ignored, empty lines and lines starting with '#'
// skipped. Appends them to `entries`; false, with a one-line reason naming
// the file (and the line), when the file cannot be read, holds a line that
// is no entry, is larger than 1 MiB or would make more than kMaxEntries.
bool ReadEntriesFile(const std::string& path, std::vector<Entry>& entries, std::string& error);

// What is wrong with a tournament that could otherwise start (too few or
// too many entries, too many battles, seeds past 4294967295), or nothing.
std::optional<std::string> CheckTournament(const TournamentSpec& spec);

extern const char* const kTournamentUsage;

}  // namespace kivora
