#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/BattleSetup.h"

namespace kivora {

// One contestant of a tournament: a model and a program file of the data
// folder, written "SPC:PRG".
struct Entry {
  std::string spec;
  std::string program;

  std::string Name() const { return spec + ":" + program; }
  bool operator==(const Entry&) const = default;
};

// "SPC:PRG" split at the first colon; nothing when either half is empty.
std::optional<Entry> ParseEntry(std::string_view text);

enum class TournamentMode {
  Duels,  // every pair of entries, one against the other
  Melee,  // every entry on one field, in two teams
};

// Bounds that keep a tournament's list and its results in memory: a round
// robin of 256 entries is 65,280 battles a seed.
inline constexpr std::size_t kMaxEntries = 256;
inline constexpr std::uint64_t kMaxBattles = 1'000'000;

// Everything that decides a tournament's battles, as plain data. The same
// description gives the same battles, in the same order, in any process.
struct TournamentSpec {
  std::filesystem::path folder = ".";  // the data folder; where it lies decides nothing
  std::vector<Entry> entries;
  TournamentMode mode = TournamentMode::Duels;
  std::uint32_t seeds = 10;              // seeds per pairing
  std::uint32_t firstSeed = 1;           // seeds firstSeed, firstSeed + 1, ...
  std::optional<std::uint32_t> simSeed;  // none: each battle seeds RANDOM with its own seed
  std::uint64_t ticks = 3000;
  bool untilDecided = true;
  SetUpParts parts{.map = true, .randomWallsAndParts = false, .rival = false};
  bool campaign = false;

  // The same battles, wherever the data folder lies.
  bool SameBattles(const TournamentSpec& other) const;
};

// A unit of a battle: which entry, on which side (team 1 the player's, 0 the
// rival's).
struct Contestant {
  std::size_t entry = 0;
  std::int32_t team = 1;
  bool operator==(const Contestant&) const = default;
};

// One battle of the list: its place in it, its seed, and its units in the
// order they are deployed (which is the order they draw their places in).
struct BattlePlan {
  std::uint64_t index = 0;
  std::uint32_t seed = 1;
  std::vector<Contestant> contestants;
};

// Pairings a seed: every pair of entries for duels, one for a melee.
std::uint64_t PairingCount(const TournamentSpec& spec);
// The whole list: pairings x seeds x 2 (each seed played with the sides
// swapped). Not bounded here; see kMaxBattles.
std::uint64_t BattleCount(const TournamentSpec& spec);

// Battle `index` (< BattleCount) of the list, which runs seed by seed so
// that a list cut short still holds every pairing about as often:
//   duels: index = (seed number * pairs + pair) * 2 + swapped. A pair (i, j),
//     i before j in the entries, puts i on the player's side and j on the
//     rival's, deployed in that order; swapped, j is the player and is
//     deployed first, so each takes each of the seed's two places once.
//   melee: index = seed number * 2 + swapped. The entries, shuffled by a
//     generator seeded with the seed, are deployed in that order; the first
//     half (rounded up) is the player's side. Swapped, the same places with
//     the two teams exchanged.
BattlePlan PlanBattle(const TournamentSpec& spec, std::uint64_t index);

// The battle itself: set-up and simulation seeded as the tournament says.
BattleSetup SetupFor(const TournamentSpec& spec, const BattlePlan& plan);

// The K-th of N slices of the battle list: every N-th battle from the K-th
// on, so that slices take about as long as each other.
struct Shard {
  std::uint32_t index = 1;  // 1..count
  std::uint32_t count = 1;

  bool Holds(std::uint64_t battle) const { return battle % count == index - 1; }
  bool operator==(const Shard&) const = default;
};

// The version of the game the battles were played with.
std::string_view ProgramVersion();

// A digest of what decides the battles: this program's version, the
// description, and the bytes of every data file the battles read (the
// entries' models and programs, the map, and with the set-up's rival or the
// campaign every model and program of the folder). Two slices with the same
// fingerprint are slices of one tournament. Reads the files.
std::string Fingerprint(const TournamentSpec& spec);

// One line for the top of the standings, names escaped for a terminal:
// "round robin of 7 entries in arena: 21 pairings x 50 seeds x 2 sides =
// 2100 duels of at most 3000 ticks, each ended when decided" ("the current
// folder" for ".").
std::string DescribeTournament(const TournamentSpec& spec);

}  // namespace kivora
