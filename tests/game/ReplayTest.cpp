#include "game/Replay.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/Fnv1a.h"
#include "game/ReplayRecorder.h"
#include "support/TempDir.h"

namespace kivora {
namespace {

namespace fs = std::filesystem;
const fs::path kArena = fs::path(KIVORA_SOURCE_DIR) / "arena";

// A short duel recorded from a folder without pictures: a few kilobytes.
class ReplayTest : public ::testing::Test {
protected:
  ReplayTest() {
    for (const char* name : {"standard.spc", "gunner.spc", "hunter.prg", "sniper.prg"}) {
      fs::copy_file(kArena / name, data.Path() / name);
    }
    BattleSetup setup;
    setup.folder = data.Path();
    setup.parts = SetUpParts{false, false, false};
    setup.units = {BattleUnit{1, "standard.spc", "hunter.prg", UnitStart{0, 0, 0}},
                   BattleUnit{0, "./gunner.spc", "sniper.prg", std::nullopt}};
    setup.ticks = 250;
    std::string why;
    auto files = CaptureBattleFiles(setup, true, why);
    EXPECT_TRUE(files) << why;
    ReplayRecorder recorder(std::move(*files), nullptr, 40);
    BattleRun run(setup, &recorder);
    EXPECT_FALSE(run.Start());
    run.Run();
    replay = recorder.Finish(run);
    bytes = EncodeReplay(replay);
  }

  static std::string Refusal(std::span<const std::uint8_t> file) {
    std::string why;
    const auto read = DecodeReplay(file, why);
    if (read) return "";
    return why.empty() ? "(refused without a reason)" : why;
  }

  test::TempDir data;
  Replay replay;
  std::vector<std::uint8_t> bytes;
};

TEST_F(ReplayTest, WhatIsWrittenReadsBackTheSame) {
  ASSERT_LT(bytes.size(), 20'000u);
  std::string why;
  const auto read = DecodeReplay(bytes, why);
  ASSERT_TRUE(read) << why;
  EXPECT_EQ(read->setup.setupSeed, replay.setup.setupSeed);
  ASSERT_EQ(read->setup.units.size(), 2u);
  EXPECT_EQ(read->setup.units[0].at->x, 0);
  EXPECT_EQ(read->setup.units[1].spec, "./gunner.spc");
  EXPECT_EQ(read->files, replay.files);
  std::vector<std::string> names;
  for (const ReplayEntry& entry : read->files) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"gunner.spc", "hunter.prg", "sniper.prg", "standard.spc"}));
  EXPECT_EQ(read->check.ticksRun, 250u);
  EXPECT_EQ(read->check.digests, replay.check.digests);
  EXPECT_EQ(read->check.digests.size(), 8u);  // ticks 0, 40, ... 240 and 250
  EXPECT_EQ(EncodeReplay(*read), bytes);
}

// Any one byte changed anywhere, and the file cut anywhere, is refused
// with a reason.
TEST_F(ReplayTest, EveryDamagedByteAndEveryCutIsRefused) {
  for (const std::uint8_t flip : {0x01, 0x80, 0xFF}) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      std::vector<std::uint8_t> damaged = bytes;
      damaged[at] ^= flip;
      ASSERT_NE(Refusal(damaged), "") << "byte " << at << " ^ " << int{flip};
    }
  }
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const std::string why = Refusal(std::span(bytes).first(size));
    ASSERT_NE(why, "") << "cut at " << size;
  }
  std::vector<std::uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_EQ(Refusal(longer), "damaged: 1 bytes after the last section");
}

// A section with its digest right, for lies the digest cannot catch.
void AppendSection(std::vector<std::uint8_t>& out, const char* tag, const std::vector<std::uint8_t>& payload) {
  const std::size_t start = out.size();
  out.insert(out.end(), tag, tag + 4);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(std::uint64_t{payload.size()} >> (8 * i)));
  out.insert(out.end(), payload.begin(), payload.end());
  const std::uint64_t digest = Fnv1a().Add(std::span(out).subspan(start)).Value();
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(digest >> (8 * i)));
}

std::vector<std::uint8_t> Le(std::uint64_t value, int bytes) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < bytes; ++i, value >>= 8) out.push_back(static_cast<std::uint8_t>(value));
  return out;
}

std::vector<std::uint8_t> Cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// Files that pass every digest and still lie are refused for what they say,
// before anything is allocated for it.
TEST_F(ReplayTest, WellFormedLiesAreRefusedWithWhatIsWrong) {
  std::string why;
  const auto good = DecodeReplay(bytes, why);
  ASSERT_TRUE(good) << why;
  const std::vector<std::uint8_t> header = Cat({{'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'}, Le(1, 4), Le(1, 4)});
  const std::vector<std::uint8_t> setupHead = Cat({Le(1, 4), Le(1, 4), {0}, Le(100, 8)});
  const std::vector<std::uint8_t> check = Cat({Le(0, 8), {2, 0}, Le(0, 8), Le(100, 4), Le(1, 8), Le(0, 8)});
  auto file = [&](std::vector<std::uint8_t> setup, std::vector<std::vector<std::uint8_t>> files,
                  std::vector<std::uint8_t> chek) {
    std::vector<std::uint8_t> out = Cat({header, Le(files.size() + 2, 4), Le(0, 4)});
    AppendSection(out, "SETU", setup);
    for (const auto& f : files) AppendSection(out, "FILE", f);
    AppendSection(out, "CHEK", chek);
    return out;
  };
  auto entry = [](std::string name, std::uint8_t kind = 1) {
    std::vector<std::uint8_t> out = Cat({{kind}, Le(name.size(), 4)});
    out.insert(out.end(), name.begin(), name.end());
    if (kind == 1) out = Cat({out, Le(0, 8)});
    return out;
  };
  const std::vector<std::uint8_t> noUnits = Cat({setupHead, Le(0, 4)});
  struct Case {
    const char* name;
    std::vector<std::uint8_t> file;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"the smallest replay", file(noUnits, {}, check), ""},
      {"4 billion units", file(Cat({setupHead, Le(0xFFFFFFFF, 4)}), {}, check), "unit count does not fit"},
      {"a name of 4 GB", file(Cat({setupHead, Le(1, 4), Le(1, 4), Le(0xFFFFFFF0, 4), Le(0, 16)}), {}, check),
       "unit 1 of the setup is damaged"},
      {"a unit of side 2", file(Cat({setupHead, Le(1, 4), Le(2, 4), Le(1, 4), {'a'}, {0}, {0}}), {}, check),
       "has no side"},
      {"a unit's model outside", file(Cat({setupHead, Le(1, 4), Le(1, 4), Le(4, 4), {'/', 'e', 't', 'c'}, {0}, {0}}), {},
                                      check),
       "lies outside the data folder"},
      {"unknown flags", file(Cat({Le(1, 4), Le(1, 4), {32}, Le(100, 8), Le(0, 4)}), {}, check), "unknown flags"},
      {"a file up the tree", file(noUnits, {entry("../x.prg")}, check), "not a plain path inside the folder"},
      {"a file from the root", file(noUnits, {entry("/x.prg")}, check), "not a plain path inside the folder"},
      {"a file twice", file(noUnits, {entry("a.prg"), entry("a.prg", 2)}, check), "a file is there twice"},
      {"a file kind 3", file(noUnits, {entry("a.prg", 3)}, check), "a file entry is damaged"},
      {"a file longer than its section", file(noUnits, {Cat({entry("a.prg"), {'x'}})}, check),
       "length does not match"},
      {"more ticks run than asked",
       file(noUnits, {}, Cat({Le(101, 8), {2, 0}, Le(0, 8), Le(100, 4), Le(3, 8), Le(0, 24)})),
       "ran more ticks than its setup allows"},
      {"2^64 digests", file(noUnits, {}, Cat({Le(0, 8), {2, 0}, Le(0, 8), Le(100, 4), Le(~0ull, 8), Le(0, 8)})),
       "digests do not match the ticks run"},
      {"decided after the end", file(noUnits, {}, Cat({Le(0, 8), {0, 1}, Le(5, 8), Le(100, 4), Le(1, 8), Le(0, 8)})),
       "not one a battle can have"},
      {"checkpoints every 0 ticks", file(noUnits, {}, Cat({Le(0, 8), {2, 0}, Le(0, 8), Le(0, 4), Le(1, 8), Le(0, 8)})),
       "digests do not match"},
      {"the sections out of order", [&] {
         std::vector<std::uint8_t> out = Cat({header, Le(2, 4), Le(0, 4)});
         AppendSection(out, "CHEK", check);
         AppendSection(out, "SETU", noUnits);
         return out;
       }(),
       "section 1 of 2 is CHEK where SETU belongs"},
      {"another format", Cat({{'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'}, Le(2, 4), Le(1, 4), Le(2, 4), Le(0, 4)}),
       "a replay of format version 2; this program reads version 1"},
      {"other rules", Cat({{'K', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'}, Le(1, 4), Le(9, 4), Le(2, 4), Le(0, 4)}),
       "recorded under the battle rules of version 9"},
      {"not a replay", Cat({{'K', 'V', 'R', 'E', 'P', 'L', 'A', 'X'}}), "not a replay"},
      {"4 billion sections", Cat({header, Le(0xFFFFFFFF, 4), Le(0, 4), Le(0, 40)}), "section count does not fit"},
      {"too many files", file(noUnits, std::vector<std::vector<std::uint8_t>>(kMaxReplayFiles + 1, entry("a")), check),
       "at most 10000 are played"},
  };
  for (const Case& c : cases) {
    const std::string refusal = Refusal(c.file);
    if (c.says.empty()) {
      EXPECT_EQ(refusal, "") << c.name;
    } else {
      EXPECT_NE(refusal.find(c.says), std::string::npos) << c.name << ": " << refusal;
    }
  }
}

TEST_F(ReplayTest, ReadingAFileChecksWhatItIsFirst) {
  test::TempDir dir;
  std::string why;
  EXPECT_FALSE(ReadReplay(dir.Path() / "none.kvr", why));
  EXPECT_EQ(why, "No such file or directory");
  EXPECT_FALSE(ReadReplay(dir.Path(), why));
  EXPECT_EQ(why, "not a file");
  // Larger than a replay may be: refused by its size, nothing read.
  const fs::path huge = dir.Path() / "huge.kvr";
  dir.Write("huge.kvr", "");
  fs::resize_file(huge, kMaxReplayBytes + 1);
  EXPECT_FALSE(ReadReplay(huge, why));
  EXPECT_EQ(why.rfind("too large: 268435457 bytes", 0), 0u) << why;
  // Written whole and read back; a write that fails says so and leaves
  // what is no plain file alone.
  const fs::path good = dir.Path() / "good.kvr";
  ASSERT_TRUE(WriteReplay(good, replay, why)) << why;
  const auto read = ReadReplay(good, why);
  ASSERT_TRUE(read) << why;
  EXPECT_EQ(EncodeReplay(*read), bytes);
  EXPECT_FALSE(WriteReplay("/dev/full", replay, why));
  EXPECT_EQ(why, "cannot write /dev/full: No space left on device");
  EXPECT_TRUE(fs::exists("/dev/full"));
}

// A unit's files must be inside the data folder to be recorded; every name
// the rival may draw is recorded, directories as such.
TEST_F(ReplayTest, CapturingNamesWhatTheBattleMayRead) {
  data.MakeDir("odd.prg");
  data.Write("sub/deep.prg", "FORWARD\n");
  BattleSetup setup;
  setup.folder = data.Path();
  setup.units = {BattleUnit{1, "standard.spc", "sub/./deep.prg", std::nullopt}};
  std::string why;
  const auto files = CaptureBattleFiles(setup, false, why);
  ASSERT_TRUE(files) << why;
  std::vector<std::string> names;
  for (const ReplayEntry& entry : *files) {
    names.push_back(entry.name + (entry.kind == ReplayEntry::Kind::Unreadable ? "/" : ""));
  }
  // No map.txt in the folder: none recorded, the battle reads it as missing.
  EXPECT_EQ(names, (std::vector<std::string>{"gunner.spc", "hunter.prg", "odd.prg/", "sniper.prg", "standard.spc",
                                             "sub/deep.prg"}));
  for (const char* outside : {"../standard.spc", "/etc/passwd", "sub/../../x.prg", ""}) {
    setup.units = {BattleUnit{1, "standard.spc", std::string(outside), std::nullopt}};
    EXPECT_FALSE(CaptureBattleFiles(setup, false, why)) << outside;
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
}  // namespace kivora
