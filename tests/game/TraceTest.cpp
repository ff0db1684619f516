#include "game/Trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "economy/Economy.h"
#include "sim/Bullette.h"
#include "sim/Field.h"
#include "sim/OKE.h"
#include "sim/OKEspec.h"
#include "sim/WorldStep.h"
#include "support/ModelText.h"
#include "support/TempDir.h"
#include "support/TextLines.h"

namespace kivora {
namespace {

using test::Lines;

// A slow bullet (speed 50, life 300) so that it is still flying after its
// shooter and its target have fallen.
std::string SlowGunModel() { return test::ModelText("1\n100,0,0,0,30\n100,20\n10,50,300,0\n5,0,0\n5\n"); }

// Objects that have left the field are still named by the ids they had:
// a bullet keeps naming its fallen shooter and the unit it was aimed at,
// and the parts the two leave behind take the next ids.
TEST(TraceTest, DepartedShooterAndTargetKeepTheirIds) {
  test::TempDir dir;
  const std::string model = dir.Write("gun.spc", SlowGunModel()).string();
  Economy economy;
  SpecTable specs;
  Field field;

  Ref<OKE> shooterRef = OKE::Create(0, model, specs);
  Ref<OKE> victimRef = OKE::Create(1, model, specs);
  ASSERT_TRUE(shooterRef && victimRef);
  victimRef->y = 20000;
  OKE* shooter = field.Deploy(std::move(shooterRef));
  OKE* victim = field.Deploy(std::move(victimRef));
  Bullette* bullet = FireBullet(field, *shooter);
  bullet->SetTarget(victim);
  shooter->SetTarget(victim);

  shooter->hp = 0;
  victim->hp = 0;
  WorldStep(field);

  std::string text;
  AppendTraceTick(text, 1, field, economy);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 4u) << text;
  EXPECT_EQ(lines[0], "T 1 money=1000 points=0 wallet=1000 debt=0 players=0");
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(O 3 4 x=0 y=\d+ .* tgt=2 alive=1 life=\d+ power=10 owner=1)")))
      << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(O 4 5 x=0 y=0 w=200 h=200 .* tgt=-)"))) << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(R"(O 5 5 x=0 y=20000 w=200 h=200 .* tgt=-)"))) << lines[3];
}

}  // namespace
}  // namespace kivora
