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
  EXPECT_EQ(options->ticks, 3000u);
  EXPECT_EQ(options->seed, 1u);
  EXPECT_EQ(options->traceEvery, 1u);
  EXPECT_EQ(options->frameEvery, 10u);
  EXPECT_EQ(options->directory, ".");
  EXPECT_FALSE(options->campaign);
  EXPECT_FALSE(options->trace);
  EXPECT_FALSE(options->frames);
  EXPECT_TRUE(options->units.empty());
}

TEST(ArenaOptionsTest, UnitsKeepTheirOrderAndSplitAtTheFirstColon) {
  const auto options = Parse({"--player", "a.spc:b.prg", "--rival", "c.spc", "--player", "d.spc:",
                              "--rival", "e.spc:x:y.prg", "data"});
  ASSERT_TRUE(options);
  ASSERT_EQ(options->units.size(), 4u);
  EXPECT_EQ(options->units[0].team, 1);
  EXPECT_EQ(options->units[0].spec, "a.spc");
  EXPECT_EQ(options->units[0].program, "b.prg");
  EXPECT_EQ(options->units[1].team, 0);
  EXPECT_FALSE(options->units[1].program);
  EXPECT_EQ(options->units[2].spec, "d.spc");
  EXPECT_FALSE(options->units[2].program);  // "SPC:" means no program
  EXPECT_EQ(options->units[3].spec, "e.spc");
  EXPECT_EQ(options->units[3].program, "x:y.prg");
  EXPECT_EQ(options->directory, "data");
}

TEST(ArenaOptionsTest, NumbersAndSwitches) {
  const auto options = Parse({"--ticks", "0", "--seed", "4294967295", "--campaign", "--trace", "-",
                              "--trace-every", "5", "--frames", "out", "--frame-every", "1", "--quiet"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->ticks, 0u);
  EXPECT_EQ(options->seed, 4294967295u);
  EXPECT_TRUE(options->campaign);
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
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseArenaOptions(args, error)) << args[0];
    EXPECT_FALSE(error.empty());
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
}

}  // namespace
}  // namespace kivora
