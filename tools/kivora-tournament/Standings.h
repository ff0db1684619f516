#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "game/BattleRun.h"
#include "game/BattleStats.h"
#include "kivora-tournament/Tournament.h"

namespace kivora {

// A battle of the list as it ended. A battle that was stopped before its end
// has no result: it counts as not played.
struct BattleResult {
  BattlePlan plan;
  Side winner = Side::Draw;
  std::optional<std::uint64_t> decidedAt;
  std::uint64_t ticksRun = 0;
  std::map<std::int64_t, UnitRecord> units;  // every unit that took part, by field id
  std::vector<std::int64_t> unitIds;         // the field id of each contestant's unit, in the plan's order

  // Takes the end of a battle that ran to its end.
  static BattleResult Of(const BattlePlan& plan, const BattleRun& run);
};

// Scoring: a win 3, a draw 1, a loss 0.
inline constexpr int kWinScore = 3;
inline constexpr int kDrawScore = 1;

struct Record {
  std::uint64_t wins = 0;
  std::uint64_t draws = 0;
  std::uint64_t losses = 0;

  std::uint64_t Played() const { return wins + draws + losses; }
  std::uint64_t Score() const { return kWinScore * wins + kDrawScore * draws; }
};

// The Wilson score interval of a proportion: `successes` of `trials`, at the
// confidence whose two-sided normal quantile is `z` (1.96 for 95%). Unlike
// p +- z * sqrt(p(1-p)/n) it stays within 0..1 and is sound for small counts
// and for 0 or all successes. None for no trials.
struct Interval {
  double low = 0;
  double high = 0;
};
inline constexpr double kZ95 = 1.959963984540054;
std::optional<Interval> WilsonInterval(std::uint64_t successes, std::uint64_t trials, double z = kZ95);

// One entry's line of the standings.
struct Standing {
  std::size_t entry = 0;
  Record record;
  std::uint64_t survived = 0;  // battles its unit was still on the field at the end of
  std::int64_t damageDealt = 0;
  std::int64_t damageTaken = 0;
};

struct Standings {
  std::uint64_t battles = 0;    // battles counted
  std::vector<Standing> table;  // best first: by score, then wins, then the order the entries were given in
  // versus[a][b]: how a did in the battles it fought with b on the other side.
  std::vector<std::vector<Record>> versus;
};

// Counts the results of `results` (any order, each battle at most once).
Standings Tally(const TournamentSpec& spec, const std::vector<const BattleResult*>& results);

// Each line's place: 1 for the first, the same place for lines with the same
// score and wins ("1, 2, 2, 4").
std::vector<std::size_t> Ranks(const Standings& standings);

// The standings and the pairwise table for a terminal, names escaped:
//   standings (a win scores 3, a draw 1, a loss 0; win rate = won / played, ...):
//   rank  played    won  drawn   lost   score  win rate  95% interval  survived     dealt     taken  entry
//      1     600    322    117    161    1083     53.7%    49.7-57.6%       438     83844     69292  standard.spc:guard.prg
//   ...
//   who beat whom (won-drawn-lost of the row's entry against the column's, ...):
//                1         2
//      1         -   57-9-34
//      2   34-9-57         -
// Rows and columns of the table go in the order of the standings.
std::string StandingsText(const TournamentSpec& spec, const Standings& standings);

// The standings as CSV with a header line; win rates as fractions.
std::string StandingsCsv(const TournamentSpec& spec, const Standings& standings);

}  // namespace kivora
