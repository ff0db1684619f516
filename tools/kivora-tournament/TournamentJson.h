#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kivora-tournament/Standings.h"
#include "kivora-tournament/Tournament.h"

namespace kivora {

// The JSON document of a tournament or of one slice of it; its layout is in
// the README ("kivora-tournament's JSON").
inline constexpr int kTournamentJsonVersion = 1;

struct TournamentDocument {
  TournamentSpec spec;
  std::string fingerprint;
  std::string version;  // of the program that played the battles
  Shard shard;
  std::uint64_t planned = 0;      // battles of the slice
  std::string interrupted;        // the signal that stopped it, empty for none
  std::vector<BattleResult> results;  // in the order of the list
};

// The document of `results` (in the order of the list, each battle once),
// written piece by piece: `drain` is handed the text so far whenever it
// passes 1 MiB and at the end, so that a long list never sits in memory as
// one string; it returns false to stop the writing (then so does this).
bool WriteTournamentJson(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard,
                         std::uint64_t planned, std::string_view interrupted,
                         const std::vector<const BattleResult*>& results, const Standings& standings,
                         const std::function<bool(std::string_view text)>& drain);

// The same document as one string.
std::string TournamentJson(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard,
                           std::uint64_t planned, std::string_view interrupted,
                           const std::vector<const BattleResult*>& results, const Standings& standings);

// Reads a document TournamentJson wrote, checking that every battle in it
// is one of its slice's and fits its plan; false with a one-line reason
// (not yet escaped for a terminal) when it cannot be read or is not one.
bool ReadTournamentJson(const std::string& path, TournamentDocument& document, std::string& error);

}  // namespace kivora
