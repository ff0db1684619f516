// The battle runs on its own thread while the window thread buys and
// deploys units, replaces their programs, reads the sheet and handles the
// money. Run under ThreadSanitizer, this is where a missing lock shows.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "economy/Economy.h"
#include "lang/LoadProgram.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/Parts.h"
#include "sim/WorldStep.h"
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

TEST(WorldThreadTest, DeployReplaceAndReadWhileTheWorldTicks) {
  test::TempDir dir;
  const std::string model = dir.Write("unit.spc", kModel).string();
  std::vector<std::string> programs;
  for (const char* text : kPrograms) {
    programs.push_back(dir.Write("p" + std::to_string(programs.size()) + ".prg", text).string());
  }

  SpecTable specs;
  Economy economy;
  Field field(economy);
  constexpr int kMinTicks = 400;
  constexpr int kRounds = 80;
  std::atomic<bool> windowDone{false};
  int ticks = 0;

  // The world ticks until the window thread is through, and at least long
  // enough for units to shoot, collect and fall.
  std::thread simulation([&] {
    while (!windowDone.load() || ticks < kMinTicks) {
      {
        std::lock_guard<std::mutex> lock(field.lock);
        WorldStep(field);
      }
      ++ticks;
      std::this_thread::yield();
    }
  });

  std::vector<Ref<OKE>> bought;
  std::uint32_t given = 0;
  int round = 0;
  for (; round < kRounds; ++round) {
    if (bought.size() < 40) {
      // A purchase: build, equip, then place under the field lock.
      Ref<OKE> unit = OKE::Create(round % 2 == 0 ? 1 : 0, model, specs);
      if (!unit) {
        ADD_FAILURE() << "the model did not load";
        break;
      }
      LoadProgram(*unit, programs[static_cast<std::size_t>(round) % programs.size()]);
      const std::int32_t x = (round % 7 - 3) * 3000;
      const std::int32_t y = (round % 5 - 2) * 3000;
      unit->x = x;
      unit->y = y;
      unit->direction = (round * 37) % 360 - 179;
      bought.push_back(unit);
      std::lock_guard<std::mutex> lock(field.lock);
      field.Deploy(std::move(unit));
      Ref<Parts> part = MakeRef<Parts>();
      part->x = x;
      part->y = y + 1500;
      field.Add(std::move(part));
    }
    // Software swaps on units that are running, fallen or about to fall.
    for (std::size_t i = static_cast<std::size_t>(round) % 3; i < bought.size(); i += 3) {
      LoadProgram(*bought[i], programs[(i + static_cast<std::size_t>(round)) % programs.size()]);
      EXPECT_FALSE(bought[i]->DescribeCommand().empty());
    }
    if (round % 5 == 0 && !bought.empty()) LoadProgram(*bought.back(), nullptr);
    // The sheet's counters, and money spent and won on this thread.
    EXPECT_GE(field.playerUnitCount.load(), 0);
    EXPECT_LE(economy.GetRivalPoints(), 10000u);
    economy.AddMoney(1);
    ++given;
    std::this_thread::yield();
  }
  windowDone.store(true);
  simulation.join();

  // Every change arrived: the player's rewards come in hundreds.
  EXPECT_EQ((economy.GetMoney() - 1000u - given) % 100u, 0u);
  std::lock_guard<std::mutex> lock(field.lock);
  int players = 0;
  for (const OKE* unit : field.unitList) {
    EXPECT_GE(field.fieldList.IndexOf(unit), 0);
    EXPECT_GT(unit->hp, 0);
    players += unit->Kind() == kKindPlayerUnit;
  }
  EXPECT_EQ(field.playerUnitCount.load(), players);
}

}  // namespace
}  // namespace kivora
