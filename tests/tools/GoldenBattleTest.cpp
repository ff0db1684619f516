// The golden battle: a fixed data folder, seed and units, 3,000 ticks with
// the campaign, and the digest of everything the arena writes about it.
// Any change of the rules, of the order of operations, of a compiler or of
// a flag that alters a battle shows here, in every build.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "kivora-arena/ArenaOptions.h"
#include "kivora-arena/ArenaRun.h"
#include "game/Replay.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

// 64-bit FNV-1a: enough to tell two traces apart, no library needed.
std::uint64_t Digest(const std::string& bytes) {
  std::uint64_t h = 0xcbf29ce484222325u;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return h;
}

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
  return text;
}

TEST(GoldenBattleTest, TheTraceOfTheGoldenBattleIsUnchanged) {
  test::TempDir out;
  const std::string trace = (out.Path() / "golden.trace").string();
  const std::string folder = std::string(KIVORA_SOURCE_DIR) + "/tests/tools/golden";
  std::string error;
  const auto options = ParseArenaOptions(
      {"--ticks", "3000", "--campaign", "--seed", "7", "--player", "standard.spc:hunter.prg", "--rival",
       "gunner.spc:sniper.prg", "--player", "scout.spc:collector.prg", "--trace", trace, "--quiet", folder},
      error);
  ASSERT_TRUE(options) << error;
  std::FILE* printed = std::tmpfile();
  std::FILE* messages = std::tmpfile();
  ASSERT_EQ(RunArena(*options, printed, messages), 0);
  EXPECT_EQ(ReadAll(printed), "");
  EXPECT_EQ(ReadAll(messages),
            "[1800] ポボゴム「俺の石鹸でいいのかい？」\n"
            "[1800] ポボゴムがＯＫＥを3機配置しました\n");
  std::fclose(printed);
  std::fclose(messages);
  std::ifstream in(trace, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.size(), 8043037u);
  EXPECT_EQ(Digest(text), 0x31d2b695ef67ba2au);
  // Replays are refused under other rules than they were recorded with: a
  // new digest here comes with a new rules version, and both change here.
  EXPECT_EQ(kBattleRulesVersion, 1u);
}

}  // namespace
}  // namespace kivora
