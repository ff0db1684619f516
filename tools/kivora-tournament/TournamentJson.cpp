#include "kivora-tournament/TournamentJson.h"

#include <cerrno>
#include <limits>
#include <memory>
#include <set>
#include <system_error>

#include "base/JsonText.h"
#include "game/BattleReport.h"
#include "kivora-tournament/JsonRead.h"

namespace kivora {

namespace {

const char* SideKey(std::int32_t team) { return team == 1 ? "player" : "rival"; }

const char* WinnerKey(Side side) { return side == Side::Player ? "player" : side == Side::Rival ? "rival" : "draw"; }

void WriteSpec(JsonWriter& json, const TournamentSpec& spec) {
  json.BeginObject();
  json.Key("directory").String(spec.folder.native());
  json.Key("mode").String(spec.mode == TournamentMode::Duels ? "duels" : "melee");
  json.Key("entries").BeginArray();
  for (const Entry& entry : spec.entries) {
    json.BeginObject();
    json.Key("model").String(entry.spec);
    json.Key("program").String(entry.program);
    json.EndObject();
  }
  json.EndArray();
  json.Key("seeds").Uint(spec.seeds);
  json.Key("first_seed").Uint(spec.firstSeed);
  json.Key("sim_seed");
  if (spec.simSeed) json.Uint(*spec.simSeed);
  else json.Null();
  json.Key("ticks").Uint(spec.ticks);
  json.Key("until_decided").Bool(spec.untilDecided);
  json.Key("map").Bool(spec.parts.map);
  json.Key("random_walls_and_parts").Bool(spec.parts.randomWallsAndParts);
  json.Key("setup_rival").Bool(spec.parts.rival);
  json.Key("campaign").Bool(spec.campaign);
  json.EndObject();
}

void WriteStandings(JsonWriter& json, const TournamentSpec& spec, const Standings& standings) {
  const std::vector<std::size_t> ranks = Ranks(standings);
  json.BeginArray();
  for (std::size_t i = 0; i < standings.table.size(); ++i) {
    const Standing& s = standings.table[i];
    const Record& r = s.record;
    json.BeginObject();
    json.Key("rank").Uint(ranks[i]);
    json.Key("entry").Uint(s.entry + 1);
    json.Key("model").String(spec.entries[s.entry].spec);
    json.Key("program").String(spec.entries[s.entry].program);
    json.Key("played").Uint(r.Played());
    json.Key("won").Uint(r.wins);
    json.Key("drawn").Uint(r.draws);
    json.Key("lost").Uint(r.losses);
    json.Key("score").Uint(r.Score());
    const auto wilson = WilsonInterval(r.wins, r.Played());
    json.Key("win_rate");
    if (wilson) json.Fixed(static_cast<double>(r.wins) / static_cast<double>(r.Played()), 4);
    else json.Null();
    json.Key("win_rate_low");
    if (wilson) json.Fixed(wilson->low, 4);
    else json.Null();
    json.Key("win_rate_high");
    if (wilson) json.Fixed(wilson->high, 4);
    else json.Null();
    json.Key("survived").Uint(s.survived);
    json.Key("damage_dealt").Int(s.damageDealt);
    json.Key("damage_taken").Int(s.damageTaken);
    json.Key("versus").BeginArray();
    for (std::size_t other = 0; other < spec.entries.size(); ++other) {
      const Record& v = standings.versus[s.entry][other];
      json.BeginObject();
      json.Key("entry").Uint(other + 1);
      json.Key("won").Uint(v.wins);
      json.Key("drawn").Uint(v.draws);
      json.Key("lost").Uint(v.losses);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

void WriteBattle(JsonWriter& json, const TournamentSpec& spec, const BattleResult& result) {
  json.BeginObject();
  json.Key("index").Uint(result.plan.index);
  json.Key("seed").Uint(result.plan.seed);
  json.Key("sim_seed").Uint(spec.simSeed.value_or(result.plan.seed));
  json.Key("contestants").BeginArray();
  for (std::size_t c = 0; c < result.plan.contestants.size(); ++c) {
    const Contestant& contestant = result.plan.contestants[c];
    json.BeginObject();
    json.Key("entry").Uint(contestant.entry + 1);
    json.Key("side").String(SideKey(contestant.team));
    json.Key("unit");
    if (c < result.unitIds.size()) json.Int(result.unitIds[c]);
    else json.Null();
    json.EndObject();
  }
  json.EndArray();
  json.Key("result").BeginObject();
  json.Key("winner").String(WinnerKey(result.winner));
  json.Key("decided_at");
  if (result.decidedAt) json.Uint(*result.decidedAt);
  else json.Null();
  json.Key("end").String(result.decidedAt ? "decided" : "time limit");
  json.EndObject();
  json.Key("ticks_run").Uint(result.ticksRun);
  json.Key("units");
  WriteUnitsJson(json, result.units);
  json.EndObject();
}

}  // namespace

bool WriteTournamentJson(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard,
                         std::uint64_t planned, std::string_view interrupted,
                         const std::vector<const BattleResult*>& results, const Standings& standings,
                         const std::function<bool(std::string_view)>& drain) {
  constexpr std::size_t kChunk = 1 << 20;
  std::string out;
  JsonWriter json(out);
  json.BeginObject();
  json.Key("format").String("kivora-tournament");
  json.Key("version").Int(kTournamentJsonVersion);
  json.Key("program_version").String(ProgramVersion());
  json.Key("fingerprint").String(fingerprint);
  json.Key("tournament");
  WriteSpec(json, spec);
  json.Key("shard").BeginObject();
  json.Key("index").Uint(shard.index);
  json.Key("count").Uint(shard.count);
  json.EndObject();
  json.Key("scoring").BeginObject();
  json.Key("win").Int(kWinScore);
  json.Key("draw").Int(kDrawScore);
  json.Key("loss").Int(0);
  json.EndObject();
  json.Key("battles_planned").Uint(planned);
  json.Key("battles_played").Uint(results.size());
  json.Key("interrupted");
  if (interrupted.empty()) json.Null();
  else json.String(interrupted);
  json.Key("standings");
  WriteStandings(json, spec, standings);
  json.Key("battles").BeginArray();
  for (const BattleResult* result : results) {
    WriteBattle(json, spec, *result);
    // The writer only appends, so what it wrote may leave at any point.
    if (out.size() >= kChunk) {
      if (!drain(out)) return false;
      out.clear();
    }
  }
  json.EndArray();
  json.EndObject();
  return drain(out);
}

std::string TournamentJson(const TournamentSpec& spec, std::string_view fingerprint, const Shard& shard,
                           std::uint64_t planned, std::string_view interrupted,
                           const std::vector<const BattleResult*>& results, const Standings& standings) {
  std::string text;
  WriteTournamentJson(spec, fingerprint, shard, planned, interrupted, results, standings, [&text](std::string_view piece) {
    text += piece;
    return true;
  });
  return text;
}

namespace {

using Type = JsonValue::Type;

// Readers of one member each: false when it is missing or of another kind.
bool GetUint(const JsonValue& object, std::string_view key, std::uint64_t& out) {
  const JsonValue* value = object.Find(key);
  if (!value || !value->Uint()) return false;
  out = *value->Uint();
  return true;
}

bool GetInt(const JsonValue& object, std::string_view key, std::int64_t& out) {
  const JsonValue* value = object.Find(key);
  if (!value || !value->Int()) return false;
  out = *value->Int();
  return true;
}

template <typename T>
bool GetSmall(const JsonValue& object, std::string_view key, T& out) {
  std::int64_t value = 0;
  if (!GetInt(object, key, value) || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
    return false;
  out = static_cast<T>(value);
  return true;
}

bool GetBool(const JsonValue& object, std::string_view key, bool& out) {
  const JsonValue* value = object.Find(key);
  if (!value || value->type != Type::Bool) return false;
  out = value->boolean;
  return true;
}

bool GetString(const JsonValue& object, std::string_view key, std::string& out) {
  const JsonValue* value = object.Find(key);
  if (!value || value->type != Type::String) return false;
  out = value->text;
  return true;
}

// A member that is null or an unsigned number.
bool GetOptionalUint(const JsonValue& object, std::string_view key, std::optional<std::uint64_t>& out) {
  const JsonValue* value = object.Find(key);
  if (!value) return false;
  if (value->type == Type::Null) {
    out.reset();
    return true;
  }
  if (!value->Uint()) return false;
  out = *value->Uint();
  return true;
}

bool ReadTeam(const JsonValue& object, std::int32_t& team) {
  std::string side;
  if (!GetString(object, "side", side) || (side != "player" && side != "rival")) return false;
  team = side == "player" ? 1 : 0;
  return true;
}

bool ReadSpec(const JsonValue& object, TournamentSpec& spec) {
  std::string folder, mode;
  std::uint64_t seeds = 0, firstSeed = 0, ticks = 0;
  std::optional<std::uint64_t> simSeed;
  if (!GetString(object, "directory", folder) || !GetString(object, "mode", mode) || !GetUint(object, "seeds", seeds) ||
      !GetUint(object, "first_seed", firstSeed) || !GetOptionalUint(object, "sim_seed", simSeed) ||
      !GetUint(object, "ticks", ticks) || !GetBool(object, "until_decided", spec.untilDecided) ||
      !GetBool(object, "map", spec.parts.map) ||
      !GetBool(object, "random_walls_and_parts", spec.parts.randomWallsAndParts) ||
      !GetBool(object, "setup_rival", spec.parts.rival) || !GetBool(object, "campaign", spec.campaign))
    return false;
  if ((mode != "duels" && mode != "melee") || seeds == 0 || seeds > 1'000'000 || firstSeed > 0xFFFFFFFFu ||
      firstSeed + seeds - 1 > 0xFFFFFFFFu || (simSeed && *simSeed > 0xFFFFFFFFu) || ticks == 0 ||
      ticks > kMaxBattleTicks)
    return false;
  spec.folder = folder;
  spec.mode = mode == "duels" ? TournamentMode::Duels : TournamentMode::Melee;
  spec.seeds = static_cast<std::uint32_t>(seeds);
  spec.firstSeed = static_cast<std::uint32_t>(firstSeed);
  if (simSeed) spec.simSeed = static_cast<std::uint32_t>(*simSeed);
  spec.ticks = ticks;
  const JsonValue* entries = object.Find("entries");
  if (!entries || entries->type != Type::Array || entries->items.size() < 2 || entries->items.size() > kMaxEntries)
    return false;
  for (const JsonValue& item : entries->items) {
    Entry entry;
    if (!GetString(item, "model", entry.spec) || !GetString(item, "program", entry.program) || entry.spec.empty() ||
        entry.program.empty())
      return false;
    spec.entries.push_back(std::move(entry));
  }
  return BattleCount(spec) <= kMaxBattles;
}

bool ReadUnit(const JsonValue& object, UnitRecord& unit) {
  std::string origin;
  const JsonValue* program = object.Find("program");
  if (!GetInt(object, "id", unit.id) || !ReadTeam(object, unit.team) || !GetString(object, "origin", origin) ||
      !GetString(object, "model", unit.model) || !program ||
      (program->type != Type::String && program->type != Type::Null) ||
      !GetUint(object, "deployed_at", unit.deployedAt) || !GetOptionalUint(object, "fell_at", unit.fellAt) ||
      !GetUint(object, "shots", unit.shots) || !GetUint(object, "hits", unit.hits) ||
      !GetUint(object, "friendly_hits", unit.friendlyHits) || !GetInt(object, "damage_dealt", unit.damageDealt) ||
      !GetInt(object, "friendly_damage", unit.friendlyDamage) || !GetInt(object, "damage_taken", unit.damageTaken) ||
      !GetUint(object, "parts", unit.parts) || !GetSmall(object, "hp", unit.hp) || !GetSmall(object, "ammo", unit.ammo))
    return false;
  unit.program = program->type == Type::String ? program->text : std::string();
  if (origin == "set-up") unit.origin = UnitOrigin::SetUp;
  else if (origin == "given") unit.origin = UnitOrigin::Given;
  else if (origin == "campaign") unit.origin = UnitOrigin::Campaign;
  else return false;
  const JsonValue* lastHit = object.Find("last_hit");
  if (!lastHit) return false;
  if (lastHit->type != Type::Null) {
    LastHit hit;
    std::string weapon;
    if (!GetInt(*lastHit, "by", hit.unitId) || !GetString(*lastHit, "weapon", weapon) ||
        (weapon != "fist" && weapon != "bullet") || !GetBool(*lastHit, "shooter_fell", hit.shooterFell))
      return false;
    hit.fist = weapon == "fist";
    unit.lastHit = hit;
  }
  return true;
}

// One element of "battles": the battle of the list it says it is, as its
// plan has it.
bool ReadBattle(const JsonValue& object, const TournamentSpec& spec, BattleResult& result, std::string& why) {
  std::uint64_t index = 0;
  if (!GetUint(object, "index", index) || index >= BattleCount(spec)) {
    why = "a battle without a valid index";
    return false;
  }
  why = "battle " + std::to_string(index) + " does not read as one of this tournament";
  result.plan = PlanBattle(spec, index);
  std::uint64_t seed = 0;
  if (!GetUint(object, "seed", seed) || seed != result.plan.seed) return false;
  const JsonValue* contestants = object.Find("contestants");
  if (!contestants || contestants->type != Type::Array || contestants->items.size() != result.plan.contestants.size())
    return false;
  for (std::size_t c = 0; c < contestants->items.size(); ++c) {
    const JsonValue& item = contestants->items[c];
    std::uint64_t entry = 0;
    std::int32_t team = 0;
    if (!GetUint(item, "entry", entry) || entry != result.plan.contestants[c].entry + 1 || !ReadTeam(item, team) ||
        team != result.plan.contestants[c].team)
      return false;
    const JsonValue* unit = item.Find("unit");
    if (!unit) return false;
    if (unit->type != Type::Null) {
      if (!unit->Int()) return false;
      result.unitIds.push_back(*unit->Int());
    }
  }
  const JsonValue* outcome = object.Find("result");
  std::string winner;
  if (!outcome || !GetString(*outcome, "winner", winner) || !GetOptionalUint(*outcome, "decided_at", result.decidedAt))
    return false;
  if (winner == "player") result.winner = Side::Player;
  else if (winner == "rival") result.winner = Side::Rival;
  else if (winner == "draw") result.winner = Side::Draw;
  else return false;
  if (!GetUint(object, "ticks_run", result.ticksRun)) return false;
  const JsonValue* units = object.Find("units");
  if (!units || units->type != Type::Array) return false;
  for (const JsonValue& item : units->items) {
    UnitRecord unit;
    if (!ReadUnit(item, unit) || !result.units.emplace(unit.id, unit).second) return false;
  }
  for (const std::int64_t id : result.unitIds) {
    if (!result.units.count(id)) return false;
  }
  why.clear();
  return true;
}

}  // namespace

bool ReadTournamentJson(const std::string& path, TournamentDocument& document, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    error = std::error_code(errno, std::system_category()).message();
    return false;
  }
  bool headRead = false;
  auto readHead = [&document](const JsonValue& top, std::string& why) {
    std::string format;
    std::int64_t version = 0;
    std::uint64_t index = 0, count = 0;
    if (!GetString(top, "format", format) || format != "kivora-tournament") {
      why = "not a kivora-tournament JSON file";
      return false;
    }
    if (!GetInt(top, "version", version) || version != kTournamentJsonVersion) {
      why = "a kivora-tournament JSON file of another version than " + std::to_string(kTournamentJsonVersion);
      return false;
    }
    const JsonValue* spec = top.Find("tournament");
    const JsonValue* shard = top.Find("shard");
    const JsonValue* interrupted = top.Find("interrupted");
    if (!GetString(top, "program_version", document.version) || !GetString(top, "fingerprint", document.fingerprint) ||
        !spec || !ReadSpec(*spec, document.spec) || !shard || !GetUint(*shard, "index", index) ||
        !GetUint(*shard, "count", count) || count == 0 || count > 0xFFFFFFFFu || index == 0 || index > count ||
        !GetUint(top, "battles_planned", document.planned) || !interrupted ||
        (interrupted->type != Type::Null && interrupted->type != Type::String)) {
      why = "the head of the file is not that of a tournament";
      return false;
    }
    document.interrupted = interrupted->text;
    document.shard = Shard{static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(count)};
    const std::uint64_t total = BattleCount(document.spec);
    const std::uint64_t first = index - 1;
    const std::uint64_t planned = first < total ? (total - first + count - 1) / count : 0;
    if (document.planned != planned) {
      why = "the file's slice does not hold the battles it says it does";
      return false;
    }
    return true;
  };

  std::optional<std::uint64_t> previous;
  JsonFileReader reader(file.get(), "battles", [&](const JsonValue& head, const JsonValue& element, std::string& why) {
    if (!headRead) {
      if (!readHead(head, why)) return false;
      headRead = true;
    }
    BattleResult result;
    if (!ReadBattle(element, document.spec, result, why)) return false;
    if (!document.shard.Holds(result.plan.index)) {
      why = "battle " + std::to_string(result.plan.index) + " is not one of the file's slice";
      return false;
    }
    if (previous && result.plan.index <= *previous) {
      why = "battle " + std::to_string(result.plan.index) + " out of order or twice";
      return false;
    }
    previous = result.plan.index;
    document.results.push_back(std::move(result));
    return true;
  });
  const auto top = reader.Read(error);
  if (!top) return false;
  if (!headRead && !readHead(*top, error)) return false;
  std::uint64_t played = 0;
  if (!GetUint(*top, "battles_played", played) || played != document.results.size()) {
    error = "battles_played does not count the battles of the file";
    return false;
  }
  if (document.interrupted.empty() && played != document.planned) {
    error = "the slice lacks battles, and it was not interrupted";
    return false;
  }
  return true;
}

}  // namespace kivora
