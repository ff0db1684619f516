#include "game/BattleReport.h"

#include "base/JsonText.h"
#include "base/TextCodec.h"

namespace kivora {

namespace {

const char* SideKey(std::int32_t team) { return team == 1 ? "player" : "rival"; }

const char* OriginKey(UnitOrigin origin) {
  switch (origin) {
    case UnitOrigin::SetUp: return "set-up";
    case UnitOrigin::Given: return "given";
    case UnitOrigin::Campaign: return "campaign";
  }
  return "given";
}

std::string ProgramText(const std::string& program) { return program.empty() ? "-" : ForTerminal(program); }

// "#22 standard.spc hunter.prg", or "#22" for a unit the battle never saw.
std::string NameUnit(const BattleRun& run, std::int64_t id) {
  std::string text = "#" + std::to_string(id);
  const auto found = run.Units().find(id);
  if (found != run.Units().end()) text += " " + ForTerminal(found->second.model) + " " + ProgramText(found->second.program);
  return text;
}

std::string DescribeLastHit(const BattleRun& run, const LastHit& hit) {
  if (hit.fist) return "the fist of " + NameUnit(run, hit.unitId);
  if (hit.shooterFell) return "a fallen unit's bullet, fired by " + NameUnit(run, hit.unitId);
  return "the bullet of " + NameUnit(run, hit.unitId);
}

}  // namespace

const char* SideTitle(std::int32_t team) { return team == 1 ? "player's side" : "rival's side"; }

std::string DescribeResult(const BattleRun& run) {
  const BattleOutcome& outcome = run.Outcome();
  const std::string tick = std::to_string(run.TicksRun());
  if (outcome.decidedAt) {
    const std::string at = std::to_string(*outcome.decidedAt);
    switch (outcome.winner) {
      case Side::Player: return "result: the player's side won at tick " + at + "\n";
      case Side::Rival: return "result: the rival's side won at tick " + at + "\n";
      case Side::Draw: return "result: a draw at tick " + at + ", both sides fell in it\n";
    }
  }
  if (run.TicksRun() >= run.Setup().ticks)
    return "result: a draw at the time limit (tick " + tick + "), both sides still on the field\n";
  return "result: none, stopped at tick " + tick + " with both sides on the field\n";
}

std::string DescribeUnits(const BattleRun& run) {
  std::string text = "units that took part: " + std::to_string(run.Units().size()) + "\n";
  for (const auto& [id, unit] : run.Units()) {
    text += "  #" + std::to_string(id) + " " + SideTitle(unit.team) + " " + ForTerminal(unit.model) + " " +
            ProgramText(unit.program);
    if (unit.origin == UnitOrigin::SetUp) text += " (set-up)";
    if (unit.origin == UnitOrigin::Campaign) text += " (campaign, tick " + std::to_string(unit.deployedAt) + ")";
    if (unit.fellAt) {
      text += ": fell at tick " + std::to_string(*unit.fellAt);
      text += unit.lastHit ? ", last hit by " + DescribeLastHit(run, *unit.lastHit) : ", struck by nothing";
    } else {
      text += ": survived, hp " + std::to_string(unit.hp) + ", ammo " + std::to_string(unit.ammo);
    }
    text += "\n    shots " + std::to_string(unit.shots) + ", hits " + std::to_string(unit.hits) + " (friendly " +
            std::to_string(unit.friendlyHits) + "), damage dealt " + std::to_string(unit.damageDealt) +
            " (friendly " + std::to_string(unit.friendlyDamage) + "), damage taken " +
            std::to_string(unit.damageTaken) + ", parts " + std::to_string(unit.parts) + "\n";
  }
  return text;
}

void WriteSetupJson(JsonWriter& json, const BattleSetup& setup) {
  json.BeginObject();
  json.Key("directory").String(setup.folder.native());
  json.Key("seed").Uint(setup.setupSeed);
  json.Key("sim_seed").Uint(setup.simSeed);
  json.Key("map").Bool(setup.parts.map);
  json.Key("random_walls_and_parts").Bool(setup.parts.randomWallsAndParts);
  json.Key("setup_rival").Bool(setup.parts.rival);
  json.Key("campaign").Bool(setup.campaign);
  json.Key("ticks").Uint(setup.ticks);
  json.Key("until_decided").Bool(setup.untilDecided);
  json.Key("units").BeginArray();
  for (const BattleUnit& unit : setup.units) {
    json.BeginObject();
    json.Key("side").String(SideKey(unit.team));
    json.Key("model").String(unit.spec);
    json.Key("program");
    if (unit.program) json.String(*unit.program);
    else json.Null();
    json.Key("at");
    if (unit.at) {
      json.BeginObject();
      json.Key("x").Int(unit.at->x);
      json.Key("y").Int(unit.at->y);
      json.Key("dir").Int(unit.at->direction);
      json.EndObject();
    } else {
      json.Null();
    }
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
}

void WriteResultJson(JsonWriter& json, const BattleRun& run) {
  const BattleOutcome& outcome = run.Outcome();
  json.BeginObject();
  json.Key("winner").String(outcome.winner == Side::Player ? "player" : outcome.winner == Side::Rival ? "rival" : "draw");
  json.Key("decided_at");
  if (outcome.decidedAt) json.Uint(*outcome.decidedAt);
  else json.Null();
  json.Key("end").String(outcome.decidedAt ? "decided"
                         : run.TicksRun() >= run.Setup().ticks ? "time limit"
                                                                 : "stopped");
  json.EndObject();
}

void WriteSidesJson(JsonWriter& json, const BattleRun& run) {
  json.BeginObject();
  for (const std::int32_t team : {1, 0}) {
    std::uint64_t left = 0;
    std::int64_t hp = 0;
    std::int64_t dealt = 0;
    for (const auto& [id, unit] : run.Units()) {
      if (unit.team != team) continue;
      dealt += unit.damageDealt;
      if (unit.fellAt) continue;
      ++left;
      hp += unit.hp;
    }
    json.Key(SideKey(team)).BeginObject();
    json.Key("units_left").Uint(left);
    json.Key("hp_left").Int(hp);
    json.Key("damage_dealt").Int(dealt);
    json.EndObject();
  }
  json.EndObject();
}

void WriteUnitsJson(JsonWriter& json, const BattleRun& run) { WriteUnitsJson(json, run.Units()); }

void WriteUnitsJson(JsonWriter& json, const std::map<std::int64_t, UnitRecord>& units) {
  json.BeginArray();
  for (const auto& [id, unit] : units) {
    json.BeginObject();
    json.Key("id").Int(id);
    json.Key("side").String(SideKey(unit.team));
    json.Key("origin").String(OriginKey(unit.origin));
    json.Key("model").String(unit.model);
    json.Key("program");
    if (unit.program.empty()) json.Null();
    else json.String(unit.program);
    json.Key("deployed_at").Uint(unit.deployedAt);
    json.Key("survived").Bool(!unit.fellAt);
    json.Key("fell_at");
    if (unit.fellAt) json.Uint(*unit.fellAt);
    else json.Null();
    json.Key("last_hit");
    if (unit.fellAt && unit.lastHit) {
      json.BeginObject();
      json.Key("by").Int(unit.lastHit->unitId);
      json.Key("weapon").String(unit.lastHit->fist ? "fist" : "bullet");
      json.Key("shooter_fell").Bool(unit.lastHit->shooterFell);
      json.EndObject();
    } else {
      json.Null();
    }
    json.Key("shots").Uint(unit.shots);
    json.Key("hits").Uint(unit.hits);
    json.Key("friendly_hits").Uint(unit.friendlyHits);
    json.Key("damage_dealt").Int(unit.damageDealt);
    json.Key("friendly_damage").Int(unit.friendlyDamage);
    json.Key("damage_taken").Int(unit.damageTaken);
    json.Key("parts").Uint(unit.parts);
    json.Key("hp").Int(unit.hp);
    json.Key("ammo").Int(unit.ammo);
    json.EndObject();
  }
  json.EndArray();
}

std::string ArenaJson(const BattleRun& run, std::string_view stopped) {
  std::string out;
  JsonWriter json(out);
  json.BeginObject();
  json.Key("format").String("kivora-arena");
  json.Key("version").Int(kArenaJsonVersion);
  json.Key("setup");
  WriteSetupJson(json, run.Setup());
  json.Key("ticks_run").Uint(run.TicksRun());
  json.Key("stopped");
  if (stopped.empty()) json.Null();
  else json.String(stopped);
  json.Key("result");
  WriteResultJson(json, run);
  json.Key("sides");
  WriteSidesJson(json, run);
  json.Key("units");
  WriteUnitsJson(json, run);
  json.EndObject();
  return out;
}

}  // namespace kivora
