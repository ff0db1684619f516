#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/Battle.h"
#include "game/BattleSetup.h"
#include "game/BattleStats.h"

namespace kivora {

// What a running battle tells whoever watches it: a trace, pictures, a
// message log, a recording. Every call comes from the thread that runs the
// battle, between ticks.
class BattleObserver {
public:
  virtual ~BattleObserver() = default;
  // The set-up found no readable map (the message the player sees).
  virtual void MapUnreadable(std::string_view /*message*/) {}
  // Start has built the field and deployed the setup's units: tick 0.
  virtual void Started(Battle& /*battle*/) {}
  // A line of the campaign's message log, after tick `tick`.
  virtual void Message(std::uint64_t /*tick*/, std::string_view /*text*/) {}
  // Tick `tick` has run: its world step, its campaign step and the check
  // whether the battle is decided.
  virtual void Ticked(std::uint64_t /*tick*/, Battle& /*battle*/) {}
  // Who, if anyone, is also told every shot, strike, fall and pick-up as it
  // happens (in the middle of a tick, under the field lock), after the
  // run's own score is kept. Asked once, when the run is made.
  virtual FieldEvents* FieldListener() { return nullptr; }
};

// Why a setup could not start: a given unit's model or program file.
struct StartFault {
  enum class File { Model, Program };
  File file = File::Model;
  std::string name;       // the file as the setup names it
  std::int64_t line = 0;  // a model's first wrong line; 0: the file as a whole
  std::string why;        // in a few English words

  // One line for a terminal, text from the command line and files escaped:
  // "cannot load the model m.spc: line 3: expected ..." or
  // "cannot read the program p.prg: file not found (No such file or directory)".
  std::string Describe() const;
};

enum class Side { Player, Rival, Draw };

// Who won, and when. A battle is decided after the first tick (campaign step
// included) at whose end a side has no unit left: the other side wins, or it
// is a draw when both are empty at once. Later deployments do not change a
// decided battle. A battle that ends with both sides on the field is a draw
// at the time limit (or wherever it was stopped): `decidedAt` is then empty.
struct BattleOutcome {
  Side winner = Side::Draw;
  std::optional<std::uint64_t> decidedAt;
};

// One battle run from its setup, tick by tick: what kivora-arena, a
// tournament's worker and a replay all use. One BattleRun belongs to one
// thread; battles on other threads share nothing with it.
//
//   BattleRun run(setup, &observer);
//   if (auto fault = run.Start()) { ... fault->Describe() ... }
//   while (!run.Done()) run.Step();
//   run.Outcome(); run.Units();
class BattleRun {
public:
  explicit BattleRun(BattleSetup setup, BattleObserver* observer = nullptr);
  ~BattleRun();
  BattleRun(const BattleRun&) = delete;
  BattleRun& operator=(const BattleRun&) = delete;

  // Builds the field and deploys the setup's units, as the game does at
  // start-up. A given unit whose model or program cannot be loaded stops it
  // there, before any tick: then the fault is returned and the battle must
  // not run.
  [[nodiscard]] std::optional<StartFault> Start();

  // One tick: the world step, then on every 1800th tick with the campaign
  // its step, then the decision, then the observer.
  void Step();
  // The time limit is reached, or the battle is decided and the setup says
  // to end it then.
  bool Done() const;
  // Steps until Done or until `stop` says so (asked before each tick).
  void Run(const std::function<bool()>& stop = {});

  // Ticks run so far.
  std::uint64_t TicksRun() const { return tick_; }
  const BattleOutcome& Outcome() const { return outcome_; }
  // Every unit that took part, in the order it joined the field.
  const std::map<std::int64_t, UnitRecord>& Units() const { return stats_.Units(); }
  const BattleSetup& Setup() const { return setup_; }
  Battle& GetBattle() { return battle_; }

private:
  friend class BattleSnapshot;  // keeps and puts back the run's state
  class Log;
  class Events;

  void Register(std::vector<SpawnedUnit>& spawned, UnitOrigin origin);
  void Decide();

  BattleSetup setup_;
  BattleObserver* observer_;
  Battle battle_;
  BattleStats stats_;
  std::unique_ptr<Events> events_;
  std::unique_ptr<Log> log_;
  BattleOutcome outcome_;
  std::uint64_t tick_ = 0;
};

}  // namespace kivora
