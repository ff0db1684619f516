// Battles and threads. The game window's thread works the battle while the
// battle ticks on its own thread, and two battles run side by side in one
// process; under ThreadSanitizer this is where a missing lock shows.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "economy/MessageSink.h"
#include "field/StatusSheet.h"
#include "game/Battle.h"
#include "game/Trace.h"
#include "sim/OKE.h"
#include "sim/Parts.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

// level 3; 30 hp; aims 30 a tick; armour 1.0, staggers above 5; bullets of 10
// flying 400 for 60 ticks; 8 bullets, homing; short countdowns everywhere.
const char* const kModel =
    "3\n30,0,0,0,30\n100,5\n10,400,60,0\n8,1,20\n6\n"
    "0\n2\n2\n2\n2\n3\n3\n1\n1\n1\n1\n2\n2\n2\n2\n2\n1\n3\n3\n8\n2\n";

const char* const kPrograms[] = {
    "# hunter\n:top\nSEARCHE,400(0,360),shoot\nTURNRIGHT\nFORWARD\n>top\n:shoot\nFIRE,400(0,360)\n>top\n",
    "# picker\n:top\nGET\nSEARCHP,100(0,360),top\nFIRE,300(0,120)\nVAR,A+1\nCOND,A<=3,top\nJUMPLEFT\n"
    "VAR,A=0\n>top\n",
    "# dodger\n:top\nSEARCHB,300(0,360),duck\nRANDOM,1/4,turn\nBACKWARD\n>top\n:turn\nTURNLEFT\n>top\n"
    ":duck\nPRONE\n>top\n",
};

std::string ProgramName(std::size_t i) { return "p" + std::to_string(i % std::size(kPrograms)) + ".prg"; }

// A data folder with one model, the three programs and a small map.
struct Arena {
  Arena() {
    dir.Write("unit.spc", kModel);
    for (std::size_t i = 0; i < std::size(kPrograms); ++i) dir.Write(ProgramName(i), kPrograms[i]);
    dir.Write("map.txt", "0,16000,32000,400\n0,-16000,32000,400\n");
  }
  test::TempDir dir;
};

TEST(BattleThreadTest, TheWindowWorksTheBattleWhileItTicks) {
  Arena arena;
  Battle battle(arena.dir.Path(), 5);
  MessageRecorder log;
  battle.Build(nullptr);
  constexpr int kMinTicks = 400;
  constexpr int kRounds = 80;
  std::atomic<bool> windowDone{false};
  int ticks = 0;

  // The world ticks until the window thread is through, and at least long
  // enough for units to shoot, collect and fall.
  std::thread simulation([&] {
    while (!windowDone.load() || ticks < kMinTicks) {
      battle.Tick();
      ++ticks;
      std::this_thread::yield();
    }
  });

  std::vector<Ref<OKE>> bought;  // the window's own handles keep them valid
  std::uint32_t given = 0;
  for (int round = 0; round < kRounds; ++round) {
    if (bought.size() < 40) {
      // A purchase: build and equip off the field, then place it.
      Ref<OKE> unit = battle.NewUnit(round % 2 == 0 ? 1 : 0, "unit.spc");
      ASSERT_TRUE(unit) << "the model did not load";
      ASSERT_TRUE(battle.GiveProgram(*unit, ProgramName(static_cast<std::size_t>(round))));
      bought.push_back(unit);
      const OKE* placed = battle.Deploy(std::move(unit));
      Ref<Parts> part = MakeRef<Parts>();
      const auto field = battle.Lock();
      part->x = placed->x;
      part->y = placed->y + 1500;
      field->Add(std::move(part));
    }
    if (round % 20 == 0) battle.DeployRivals(log);
    for (std::size_t i = static_cast<std::size_t>(round) % 3; i < bought.size(); i += 3) {
      // Software swaps on units that are running, fallen or about to fall:
      // the program is read off the field, then swapped in under the lock,
      // where the sheet is read too.
      Ref<OKE> spare = battle.NewUnit(1, "unit.spc");
      battle.GiveProgram(*spare, ProgramName(i + static_cast<std::size_t>(round)));
      const auto field = battle.Lock();
      bought[i]->InstallProgram(spare->firstCommand);
      spare->firstCommand = spare->currentCommand = nullptr;
      EXPECT_NE(SheetOf(*bought[i]).command, "-");
      if (round % 5 == 0) {
        bought[i]->InstallProgram(nullptr);
        EXPECT_EQ(SheetOf(*bought[i]).command, "-");
      }
      EXPECT_GE(field->playerUnitCount, 0);
    }
    // The sheet's counters, and money spent and won on this thread.
    EXPECT_LE(battle.GetEconomy().GetRivalPoints(), 10000u);
    battle.GetEconomy().AddMoney(1);
    ++given;
    std::this_thread::yield();
  }
  windowDone.store(true);
  simulation.join();

  // Every change arrived: the player's rewards come in hundreds.
  EXPECT_EQ((battle.GetEconomy().GetMoney() - 1000u - given) % 100u, 0u);
  const auto field = battle.Lock();
  int players = 0;
  for (const OKE* unit : field->unitList) {
    EXPECT_GE(field->fieldList.IndexOf(unit), 0);
    EXPECT_GT(unit->hp, 0);
    players += unit->Kind() == kKindPlayerUnit;
  }
  EXPECT_EQ(field->playerUnitCount, players);
  EXPECT_EQ(log.lines.size(), 8u);
}

// A battle from set-up to its last tick, with the rival deploying every 150
// ticks, traced tick by tick as kivora-arena traces it.
std::string Traced(const std::filesystem::path& folder, std::uint32_t seed) {
  Battle battle(folder, seed);
  MessageRecorder log;
  battle.Build(nullptr);
  for (std::size_t i = 0; i < 3; ++i) {
    Ref<OKE> unit = battle.NewUnit(1, "unit.spc");
    battle.GiveProgram(*unit, ProgramName(i));
    battle.Deploy(std::move(unit));
  }
  std::string trace;
  for (std::uint64_t tick = 1; tick <= 600; ++tick) {
    battle.Tick();
    if (tick % 150 == 0) battle.CampaignStep(log);
    AppendTraceTick(trace, tick, *battle.Lock(), battle.GetEconomy());
  }
  for (const std::string& line : log.lines) trace += line + "\n";
  return trace;
}

TEST(BattleThreadTest, TwoBattlesSideBySideAreEachTheSameAsAlone) {
  Arena arena;
  const std::string aloneA = Traced(arena.dir.Path(), 3);
  const std::string aloneB = Traced(arena.dir.Path(), 4);
  ASSERT_NE(aloneA, aloneB);
  std::string sideA, sideB;
  std::thread a([&] { sideA = Traced(arena.dir.Path(), 3); });
  std::thread b([&] { sideB = Traced(arena.dir.Path(), 4); });
  a.join();
  b.join();
  EXPECT_EQ(sideA, aloneA);
  EXPECT_EQ(sideB, aloneB);
  EXPECT_NE(aloneA.find(" 4 x="), std::string::npos);  // bullets flew
}

}  // namespace
}  // namespace kivora
