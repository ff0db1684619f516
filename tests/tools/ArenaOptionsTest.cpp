#include "kivora-arena/ArenaOptions.h"

#include <gtest/gtest.h>

#include "base/TextCodec.h"

namespace kivora {
namespace {

std::optional<ArenaOptions> Parse(std::vector<std::string> args) {
  std::string error;
  auto options = ParseArenaOptions(args, error);
  EXPECT_EQ(options.has_value(), error.empty()) << error;
  return options;
}

TEST(ArenaOptionsTest, DefaultsWithoutArguments) {
  const auto options = Parse({});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->battle.ticks, 3000u);
  EXPECT_EQ(options->battle.setupSeed, 1u);
  EXPECT_EQ(options->traceEvery, 1u);
  EXPECT_EQ(options->frameEvery, 10u);
  EXPECT_EQ(options->battle.folder, ".");
  EXPECT_FALSE(options->battle.campaign);
  EXPECT_FALSE(options->trace);
  EXPECT_FALSE(options->frames);
  EXPECT_TRUE(options->battle.units.empty());
}

TEST(ArenaOptionsTest, UnitsKeepTheirOrderAndSplitAtTheFirstColon) {
  const auto options = Parse({"--player", "a.spc:b.prg", "--rival", "c.spc", "--player", "d.spc:",
                              "--rival", "e.spc:x:y.prg", "data"});
  ASSERT_TRUE(options);
  ASSERT_EQ(options->battle.units.size(), 4u);
  EXPECT_EQ(options->battle.units[0].team, 1);
  EXPECT_EQ(options->battle.units[0].spec, "a.spc");
  EXPECT_EQ(options->battle.units[0].program, "b.prg");
  EXPECT_EQ(options->battle.units[1].team, 0);
  EXPECT_FALSE(options->battle.units[1].program);
  EXPECT_EQ(options->battle.units[2].spec, "d.spc");
  EXPECT_FALSE(options->battle.units[2].program);  // "SPC:" means no program
  EXPECT_EQ(options->battle.units[3].spec, "e.spc");
  EXPECT_EQ(options->battle.units[3].program, "x:y.prg");
  EXPECT_EQ(options->battle.folder, "data");
}

TEST(ArenaOptionsTest, NumbersAndSwitches) {
  const auto options = Parse({"--ticks", "0", "--seed", "4294967295", "--campaign", "--trace", "-",
                              "--trace-every", "5", "--frames", "out", "--frame-every", "1", "--quiet"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->battle.ticks, 0u);
  EXPECT_EQ(options->battle.setupSeed, 4294967295u);
  EXPECT_TRUE(options->battle.campaign);
  EXPECT_EQ(options->trace, "-");
  EXPECT_EQ(options->traceEvery, 5u);
  EXPECT_EQ(options->frames, "out");
  EXPECT_EQ(options->frameEvery, 1u);
  EXPECT_TRUE(options->quiet);
}

TEST(ArenaOptionsTest, BadArgumentsAreRefused) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"--ticks"},
      {"--ticks", "-1"},
      {"--ticks", "12x"},
      {"--ticks", " 5"},
      {"--seed", "4294967296"},
      {"--seed", "-1"},
      {"--trace-every", "0"},
      {"--frame-every", "0"},
      {"--player", ":x.prg"},
      {"--rival", ""},
      {"dir1", "dir2"},
      {"--ticks", "1000000000001"},
      {"--ticks", "18446744073709551615"},
      {"--ticks", "18446744073709551616"},
      {"--sim-seed", "-1"},
      {"--sim-seed", "4294967296"},
      {"--at", "0,0,0"},                                  // no unit to place
      {"--player", "a.spc", "--at", "0,0"},
      {"--player", "a.spc", "--at", "0,0,181"},
      {"--player", "a.spc", "--at", "0,0,-180"},
      {"--player", "a.spc", "--at", "0,0,0,0"},
      {"--player", "a.spc", "--at", "1.5,0,0"},
      {"--player", "a.spc", "--at", "0, 0,0"},
      {"--player", "a.spc", "--at", "2147483648,0,0"},
      {"--player", "a.spc", "--at", "0,0,0", "--at", "1,1,1"},
      {"--json", ""},
      {"--record", "-"},
      {"--record", ""},
      {"--record", "r.kvr", "--ticks", "1000001"},
      {"--frame-format", "gif"},
      {"--frame-format", "PNG"},
      {"--animation", ""},
      {"--animation", "-"},
      {"--animation", "a.webp", "--frame-every", "201"},                 // a frame would last over 20 s
      {"--animation", "a.webp", "--ticks", "100000"},                    // 100001 frames
      {"--ticks", "1000000000000", "--frame-every", "200", "--animation", "a.webp"},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseArenaOptions(args, error)) << args.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(ArenaOptionsTest, ExactBattles) {
  const auto options = Parse({"--no-rival", "--no-random", "--no-map", "--until-decided", "--sim-seed", "77",
                              "--player", "a.spc:a.prg", "--at", "-2147483648,16000,-179", "--rival", "b.spc",
                              "--rival", "c.spc:c.prg", "--at", "0,-500,180", "--json", "r.json"});
  ASSERT_TRUE(options);
  const BattleSetup& battle = options->battle;
  EXPECT_FALSE(battle.parts.rival);
  EXPECT_FALSE(battle.parts.randomWallsAndParts);
  EXPECT_FALSE(battle.parts.map);
  EXPECT_TRUE(battle.untilDecided);
  EXPECT_EQ(battle.simSeed, 77u);
  EXPECT_EQ(battle.setupSeed, 1u);
  ASSERT_EQ(battle.units.size(), 3u);
  ASSERT_TRUE(battle.units[0].at);
  EXPECT_EQ(battle.units[0].at->x, -2147483647 - 1);
  EXPECT_EQ(battle.units[0].at->y, 16000);
  EXPECT_EQ(battle.units[0].at->direction, -179);
  EXPECT_FALSE(battle.units[1].at);
  ASSERT_TRUE(battle.units[2].at);
  EXPECT_EQ(battle.units[2].at->y, -500);
  EXPECT_EQ(battle.units[2].at->direction, 180);
  EXPECT_EQ(options->json, "r.json");
  // Without these options the set-up is the game's.
  const auto plain = Parse({});
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain->battle.parts.map && plain->battle.parts.randomWallsAndParts && plain->battle.parts.rival);
  EXPECT_FALSE(plain->battle.untilDecided);
  EXPECT_EQ(plain->battle.simSeed, 1u);
  EXPECT_EQ(Parse({"--ticks", "1000000000000"})->battle.ticks, kMaxBattleTicks);
}

// The animation takes --frame-every when it is given and every tick else;
// the frames keep their own default.
TEST(ArenaOptionsTest, PicturesAndTheAnimationsStep) {
  const auto plain = Parse({"--frames", "f", "--animation", "a.webp", "--ticks", "99999"});
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->frameFormat, FrameFormat::Bmp);
  EXPECT_FALSE(plain->frameTick);
  EXPECT_EQ(plain->animation, "a.webp");
  EXPECT_EQ(plain->frameEvery, 10u);
  EXPECT_EQ(plain->animationEvery, 1u);
  const auto stepped = Parse({"--frame-every", "200", "--animation", "a.webp", "--frame-format", "png",
                              "--frame-tick", "--ticks", "19999999"});
  ASSERT_TRUE(stepped);
  EXPECT_EQ(stepped->frameFormat, FrameFormat::Png);
  EXPECT_TRUE(stepped->frameTick);
  EXPECT_EQ(stepped->frameEvery, 200u);
  EXPECT_EQ(stepped->animationEvery, 200u);
  EXPECT_FALSE(Parse({})->animation);
}

// --help must tell of every option there is.
TEST(ArenaOptionsTest, UsageNamesEveryOption) {
  const std::string usage = kArenaUsage;
  for (const char* option : {"--ticks", "--until-decided", "--seed", "--sim-seed", "--player", "--rival", "--at",
                             "--no-rival", "--no-random", "--no-map", "--campaign", "--trace", "--trace-every",
                             "--frames", "--frame-every", "--json", "--quiet", "--help", "--frame-format",
                             "--frame-tick", "--animation"}) {
    EXPECT_NE(usage.find(std::string("  ") + option + " "), std::string::npos) << option;
    std::string error;
    std::vector<std::string> args = {option};
    if (std::string(option) == "--at") args.insert(args.begin(), {"--player", "a.spc"});
    ParseArenaOptions(args, error);
    EXPECT_EQ(error.find("unknown option"), std::string::npos) << option;
  }
}

TEST(ArenaOptionsTest, RefusedArgumentsAreShownInUtf8) {
  const std::string sjis = "\x83\x65\x83\x58\x83\x67";  // "テスト" in Shift-JIS
  const std::vector<std::vector<std::string>> bad = {
      {"--" + sjis},
      {"--ticks", sjis},
      {"dir", sjis},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseArenaOptions(args, error));
    EXPECT_TRUE(IsValidUtf8(error)) << error;
    EXPECT_NE(error.find("テスト"), std::string::npos) << error;
  }
  // Control characters never reach the terminal.
  std::string error;
  EXPECT_FALSE(ParseArenaOptions({"--ticks", "\x1b[2J\x07"}, error));
  EXPECT_EQ(error, "--ticks wants a whole number of ticks, not \\x1b[2J\\x07");
}

}  // namespace
}  // namespace kivora
