#include "sim/OKEspec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace kivora {
namespace {

// A valid model file, line by line: level, hp line, armour line, bullet
// line, ammunition line, fight power, then the 21 state durations 100..120.
std::vector<std::string> GoodLines() {
    std::vector<std::string> lines = {"4", "500,0,0,0,15", "80,30", "7,300,20,1", "50,1,9", "12"};
    for (int s = 0; s < kStateCount; ++s) lines.push_back(std::to_string(100 + s));
    return lines;
}

std::string Join(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    return text;
}

TEST(OKEspecTest, ReadsEveryValueOfAModelFile) {
    test::TempDir dir;
    OKEspec s;
    ASSERT_TRUE(LoadSpec(s, dir.Write("a.spc", Join(GoodLines())).string()));
    EXPECT_EQ(s.level, 4);
    EXPECT_EQ(s.maxHp, 500);
    EXPECT_EQ(s.aimTurnRate, 15);
    EXPECT_DOUBLE_EQ(s.armour, 0.8);
    EXPECT_EQ(s.staggerThreshold, 30);
    EXPECT_EQ(s.bulletPower, 7);
    EXPECT_EQ(s.bulletSpeed, 300);
    EXPECT_EQ(s.bulletLife, 20);
    EXPECT_EQ(s.bulletPowerLoss, 1);
    EXPECT_EQ(s.ammunition, 50);
    EXPECT_EQ(s.homingBullets, 1);
    EXPECT_EQ(s.bulletTurnSpeed, 9);
    EXPECT_EQ(s.fightPower, 12);
    for (int st = 0; st < kStateCount; ++st) EXPECT_EQ(s.durations[static_cast<std::size_t>(st)], 100 + st);
}

TEST(OKEspecTest, CrLfLineEndsAndTrailingLinesAreFine) {
    test::TempDir dir;
    std::vector<std::string> lines = GoodLines();
    lines.push_back("this 28th line is never read");
    lines.push_back("nor this");
    OKEspec s;
    EXPECT_TRUE(LoadSpec(s, dir.Write("crlf.spc", Join(lines, "\r\n")).string()));
    EXPECT_EQ(s.durations[20], 120);
    // The last line needs no line feed.
    std::string text = Join(GoodLines());
    text.pop_back();
    EXPECT_TRUE(LoadSpec(s, dir.Write("nolf.spc", text).string()));
}

struct LineCase {
    const char* what;
    std::size_t line;  // 0-based
    const char* text;
    bool loads;
};

TEST(OKEspecTest, EachLineMustHoldTheNumbersOfItsPattern) {
    const LineCase cases[] = {
        {"blank after the comma", 2, "80, 30", true},
        {"blank before the comma", 2, "80 ,30", false},
        {"blank between numbers", 2, "80 30", false},
        {"leading blanks and signs", 3, "  +7, -300,\t20,1", true},
        {"number then letters", 5, "12abc", true},
        {"letters first", 5, "abc12", false},
        {"empty line", 0, "", false},
        {"sign alone", 0, "-", false},
        {"one number short", 1, "500,0,0,0", false},
        {"extra numbers ignored", 4, "50,1,9,99,100", true},
        {"trailing comma where a number belongs", 3, "7,300,20,", false},
        {"empty duration", 26, "", false},
        {"binary junk", 10, "\x01\xff\x80", false},
    };
    test::TempDir dir;
    for (const LineCase& c : cases) {
        std::vector<std::string> lines = GoodLines();
        lines[c.line] = c.text;
        OKEspec s;
        SpecFault fault;
        EXPECT_EQ(LoadSpec(s, dir.Write("case.spc", Join(lines)).string(), &fault), c.loads) << c.what;
        // A refusal names the line and what belongs there.
        if (!c.loads) {
            EXPECT_EQ(fault.line, c.line + 1) << c.what;
            EXPECT_EQ(fault.what.rfind("expected " + SpecLineContents(c.line + 1), 0), 0u) << fault.what;
        }
    }
    EXPECT_EQ(SpecLineContents(3), "2 numbers: armour in hundredths, stagger threshold");
    EXPECT_EQ(SpecLineContents(27), "1 number: the ticks of state 20 (被弾)");
}

TEST(OKEspecTest, NumbersOutside32BitsAreCutAsTheCLibraryDoes) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN},          // 2^31 cut to 32 bits
        {"4294967297", 1},                  // 2^32 + 1
        {"99999999999999999999999", -1},    // saturates at the 64-bit maximum first
        {"-99999999999999999999999", 0},    // the 64-bit minimum, cut
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        std::vector<std::string> lines = GoodLines();
        lines[0] = c.text;
        OKEspec s;
        ASSERT_TRUE(LoadSpec(s, dir.Write("big.spc", Join(lines)).string())) << c.text;
        EXPECT_EQ(s.level, c.value) << c.text;
    }
}

TEST(OKEspecTest, ShortMissingOrUnreadableFilesFail) {
    test::TempDir dir;
    std::vector<std::string> lines = GoodLines();
    lines.pop_back();
    OKEspec s;
    SpecFault fault;
    EXPECT_FALSE(LoadSpec(s, dir.Write("short.spc", Join(lines)).string(), &fault));
    EXPECT_EQ(fault.line, 27);
    EXPECT_EQ(fault.what, "the file ends after line 26; a model has 27 lines");
    EXPECT_FALSE(LoadSpec(s, (dir.Path() / "missing.spc").string(), &fault));
    EXPECT_EQ(fault.line, 0);
    EXPECT_EQ(fault.what, "file not found (No such file or directory)");
    EXPECT_FALSE(LoadSpec(s, dir.MakeDir("folder.spc").string(), &fault));
    EXPECT_EQ(fault.what, "not a regular file");
    EXPECT_FALSE(LoadSpec(s, dir.Write("empty.spc", "").string()));
    // A line longer than the reader's 2048 bytes comes back in pieces, each
    // a line of its own: the file then holds too few good lines.
    lines = GoodLines();
    lines[0] = "4" + std::string(3000, ' ');
    EXPECT_FALSE(LoadSpec(s, dir.Write("long.spc", Join(lines)).string()));
}

TEST(OKEspecTest, TheTableLoadsEachNameOnceAndRetriesFailures) {
    test::TempDir dir;
    dir.Write("m.spc", Join(GoodLines()));
    dir.Write("M.spc", Join(GoodLines()));
    SpecTable table(dir.Path());
    const OKEspec* a = table.GetSpec("m.spc");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->name, "m.spc");
    // Changing the file after its first use changes nothing this run.
    std::vector<std::string> changed = GoodLines();
    changed[1] = "1,0,0,0,1";
    dir.Write("m.spc", Join(changed));
    EXPECT_EQ(table.GetSpec("m.spc"), a);
    EXPECT_EQ(a->maxHp, 500);
    // Letter case counts: another key, another record.
    const OKEspec* b = table.GetSpec("M.spc");
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    // A failed load is not remembered: once the file is good, it loads.
    dir.Write("late.spc", "junk\n");
    EXPECT_EQ(table.GetSpec("late.spc"), nullptr);
    EXPECT_EQ(table.Count(), 2u);
    dir.Write("late.spc", Join(GoodLines()));
    EXPECT_NE(table.GetSpec("late.spc"), nullptr);
    EXPECT_EQ(table.Count(), 3u);
}

}  // namespace
}  // namespace kivora
