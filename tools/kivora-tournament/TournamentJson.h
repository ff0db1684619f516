#pragma once
#include <cstdint>
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

// `results` in the order of the list, each battle once.
std::string TournamentJson(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard,
                           std::uint64_t planned, std::string_view interrupted,
                           const std::vector<const BattleResult*>& results, const Standings& standings);

// Reads a document TournamentJson wrote, checking that every battle in it
// is one of its slice's and fits its plan; false with a one-line reason
// (not yet escaped for a terminal) when it cannot be read or is not one.
bool ReadTournamentJson(const std::string& path, TournamentDocument& document, std::string& error);

}  // namespace kivora
