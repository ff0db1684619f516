#include "kivora-tournament/Standings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "base/TextCodec.h"

namespace kivora {

BattleResult BattleResult::Of(const BattlePlan& plan, const BattleRun& run) {
  BattleResult result;
  result.plan = plan;
  result.winner = run.Outcome().winner;
  result.decidedAt = run.Outcome().decidedAt;
  result.ticksRun = run.TicksRun();
  result.units = run.Units();
  // The plan's units are the setup's own, deployed in its order, so they
  // joined the field in that order too.
  for (const auto& [id, unit] : result.units) {
    if (unit.origin == UnitOrigin::Given && result.unitIds.size() < plan.contestants.size()) result.unitIds.push_back(id);
  }
  return result;
}

std::optional<Interval> WilsonInterval(std::uint64_t successes, std::uint64_t trials, double z) {
  if (trials == 0 || successes > trials) return std::nullopt;
  const double n = static_cast<double>(trials);
  const double p = static_cast<double>(successes) / n;
  const double z2 = z * z;
  const double denominator = 1 + z2 / n;
  const double centre = (p + z2 / (2 * n)) / denominator;
  const double half = z / denominator * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n));
  // The ends are exactly 0 and 1 for none and all, whatever the rounding.
  return Interval{successes == 0 ? 0.0 : std::max(0.0, centre - half),
                  successes == trials ? 1.0 : std::min(1.0, centre + half)};
}

namespace {

void Count(Record& record, Side winner, std::int32_t team) {
  if (winner == Side::Draw) ++record.draws;
  else if ((winner == Side::Player) == (team == 1)) ++record.wins;
  else ++record.losses;
}

}  // namespace

Standings Tally(const TournamentSpec& spec, const std::vector<const BattleResult*>& results) {
  const std::size_t n = spec.entries.size();
  Standings standings;
  standings.table.resize(n);
  for (std::size_t i = 0; i < n; ++i) standings.table[i].entry = i;
  standings.versus.assign(n, std::vector<Record>(n));
  for (const BattleResult* result : results) {
    ++standings.battles;
    const std::vector<Contestant>& contestants = result->plan.contestants;
    for (std::size_t c = 0; c < contestants.size(); ++c) {
      Standing& standing = standings.table[contestants[c].entry];
      Count(standing.record, result->winner, contestants[c].team);
      if (c < result->unitIds.size()) {
        if (const auto unit = result->units.find(result->unitIds[c]); unit != result->units.end()) {
          if (!unit->second.fellAt) ++standing.survived;
          standing.damageDealt += unit->second.damageDealt;
          standing.damageTaken += unit->second.damageTaken;
        }
      }
      for (const Contestant& other : contestants) {
        if (other.team != contestants[c].team)
          Count(standings.versus[contestants[c].entry][other.entry], result->winner, contestants[c].team);
      }
    }
  }
  std::stable_sort(standings.table.begin(), standings.table.end(), [](const Standing& a, const Standing& b) {
    if (a.record.Score() != b.record.Score()) return a.record.Score() > b.record.Score();
    return a.record.wins > b.record.wins;
  });
  return standings;
}

std::vector<std::size_t> Ranks(const Standings& standings) {
  std::vector<std::size_t> ranks(standings.table.size());
  for (std::size_t i = 0; i < ranks.size(); ++i) {
    const Record& now = standings.table[i].record;
    const Record* before = i > 0 ? &standings.table[i - 1].record : nullptr;
    ranks[i] = before && before->Score() == now.Score() && before->wins == now.wins ? ranks[i - 1] : i + 1;
  }
  return ranks;
}

namespace {

std::string Percent(double fraction) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 100 * fraction);
  return text;
}

std::string RecordText(const Record& record) {
  return std::to_string(record.wins) + "-" + std::to_string(record.draws) + "-" + std::to_string(record.losses);
}

}  // namespace

std::string StandingsText(const TournamentSpec& spec, const Standings& standings) {
  std::string text = "standings (a win scores " + std::to_string(kWinScore) + ", a draw " +
                     std::to_string(kDrawScore) +
                     ", a loss 0; win rate = won / played, with its 95% Wilson score interval):\n";
  text += "rank  played    won  drawn   lost   score  win rate  95% interval  survived     dealt     taken  entry\n";
  const std::vector<std::size_t> ranks = Ranks(standings);
  char line[256];
  for (std::size_t i = 0; i < standings.table.size(); ++i) {
    const Standing& s = standings.table[i];
    const Record& r = s.record;
    std::string rate = "-";
    std::string interval = "-";
    if (const auto wilson = WilsonInterval(r.wins, r.Played())) {
      rate = Percent(static_cast<double>(r.wins) / static_cast<double>(r.Played())) + "%";
      interval = Percent(wilson->low) + "-" + Percent(wilson->high) + "%";
    }
    std::snprintf(line, sizeof line, "%4zu %7llu %6llu %6llu %6llu %7llu %9s %13s %9llu %9lld %9lld  ", ranks[i],
                  static_cast<unsigned long long>(r.Played()), static_cast<unsigned long long>(r.wins),
                  static_cast<unsigned long long>(r.draws), static_cast<unsigned long long>(r.losses),
                  static_cast<unsigned long long>(r.Score()), rate.c_str(), interval.c_str(),
                  static_cast<unsigned long long>(s.survived), static_cast<long long>(s.damageDealt),
                  static_cast<long long>(s.damageTaken));
    text += line;
    text += ForTerminal(spec.entries[s.entry].Name()) + "\n";
  }

  // The pairwise table, rows and columns in the order of the standings.
  const std::size_t n = standings.table.size();
  std::vector<std::vector<std::string>> cells(n, std::vector<std::string>(n, "-"));
  std::size_t width = 1;
  for (std::size_t row = 0; row < n; ++row) {
    for (std::size_t column = 0; column < n; ++column) {
      const Record& r = standings.versus[standings.table[row].entry][standings.table[column].entry];
      if (r.Played() > 0) cells[row][column] = RecordText(r);
      width = std::max(width, cells[row][column].size());
    }
  }
  width = std::max(width, std::to_string(n).size() + 1);
  text += spec.mode == TournamentMode::Duels
              ? "who beat whom (won-drawn-lost of the row's entry against the column's, by place in the standings):\n"
              : "who beat whom (won-drawn-lost of the row's entry in the battles it fought on the other team from "
                "the column's, by place in the standings):\n";
  auto pad = [&text](const std::string& cell, std::size_t to) {
    text.append(to > cell.size() ? to - cell.size() : 0, ' ');
    text += cell;
  };
  pad("", 4);
  for (std::size_t column = 0; column < n; ++column) pad(std::to_string(column + 1), width + 2);
  text += "\n";
  for (std::size_t row = 0; row < n; ++row) {
    pad(std::to_string(row + 1), 4);
    for (std::size_t column = 0; column < n; ++column) pad(cells[row][column], width + 2);
    text += "\n";
  }
  return text;
}

namespace {

std::string CsvField(std::string_view bytes) {
  const std::string text = ForTerminal(bytes);
  if (text.find_first_of(",\"") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Fraction(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

}  // namespace

std::string StandingsCsv(const TournamentSpec& spec, const Standings& standings) {
  std::string text =
      "rank,entry,model,program,played,won,drawn,lost,score,win_rate,win_rate_low,win_rate_high,survived,"
      "damage_dealt,damage_taken\n";
  const std::vector<std::size_t> ranks = Ranks(standings);
  for (std::size_t i = 0; i < standings.table.size(); ++i) {
    const Standing& s = standings.table[i];
    const Record& r = s.record;
    const Entry& entry = spec.entries[s.entry];
    text += std::to_string(ranks[i]) + "," + std::to_string(s.entry + 1) + "," + CsvField(entry.spec) + "," +
            CsvField(entry.program) + "," + std::to_string(r.Played()) + "," + std::to_string(r.wins) + "," +
            std::to_string(r.draws) + "," + std::to_string(r.losses) + "," + std::to_string(r.Score()) + ",";
    if (const auto wilson = WilsonInterval(r.wins, r.Played())) {
      text += Fraction(static_cast<double>(r.wins) / static_cast<double>(r.Played())) + "," + Fraction(wilson->low) +
              "," + Fraction(wilson->high) + ",";
    } else {
      text += ",,,";
    }
    text += std::to_string(s.survived) + "," + std::to_string(s.damageDealt) + "," + std::to_string(s.damageTaken) +
            "\n";
  }
  return text;
}

}  // namespace kivora
