#include "sim/OKEspec.h"

#include <vector>

#include "base/CstdFile.h"
#include "base/Scanner.h"

namespace kivora {

namespace {

constexpr std::size_t kSpecLines = kSpecLineCount;

// Up to `count` lines of the file; fewer when it ends early. Throws
// FileException when it cannot be opened or read.
std::vector<std::string> ReadLines(const std::filesystem::path& file, std::size_t count) {
    std::vector<std::string> lines;
    CstdFile in(file.string(), File::modeRead);
    std::string line;
    while (lines.size() < count && in.ReadString(line)) lines.push_back(line);
    return lines;
}

// Reads `expected` numbers separated by commas ("%d,%d,..."), a comma right
// after each number; returns how many were read. `end` receives where the
// reading stopped.
int ScanInts(std::string_view line, int expected, std::int32_t* out, std::size_t& end) {
    Scanner in(line);
    int k = 0;
    while (k < expected && (k == 0 || in.Literal(',')) && in.Int(out[k])) ++k;
    end = in.Position();
    return k;
}

// The numbers each of the first six lines holds.
struct HeadLine {
    int count;
    const char* names;
};
constexpr HeadLine kHeadLines[6] = {
    {1, "the level (commands per tick)"},
    {5, "hit points, three unused, aim turn rate"},
    {2, "armour in hundredths, stagger threshold"},
    {4, "bullet power, bullet speed, bullet life, power lost per tick"},
    {3, "ammunition, homing (1 = on), homing turn rate"},
    {1, "close-combat power"},
};

int NumbersOnLine(std::size_t index) { return index < 6 ? kHeadLines[index].count : 1; }

bool Fail(SpecFault* fault, std::int64_t line, std::string what) {
    if (fault) *fault = SpecFault{line, std::move(what)};
    return false;
}

}  // namespace

bool ScanSpecLine(int line, std::string_view text, std::array<std::int32_t, kSpecLineWidest>& values,
                  std::string* what, std::size_t* end) {
    if (line < 1 || line > kSpecLineCount) {
        if (what) *what = SpecLineContents(line);
        return false;
    }
    const int wanted = SpecLineNumbers(line);
    std::size_t stop = 0;
    if (ScanInts(text, wanted, values.data(), stop) != wanted) {
        if (what) *what = "expected " + SpecLineContents(line) + (wanted > 1 ? ", separated by commas" : "");
        return false;
    }
    if (end) *end = stop;
    return true;
}

int SpecLineNumbers(int line) {
    return line >= 1 && line <= kSpecLineCount ? NumbersOnLine(static_cast<std::size_t>(line - 1)) : 0;
}

std::string SpecEndsEarly(std::size_t lines) {
    return "the file ends after line " + std::to_string(lines) + "; a model has 27 lines";
}

std::string SpecLineContents(int line) {
    if (line >= 1 && line <= 6) {
        const HeadLine& h = kHeadLines[line - 1];
        return std::to_string(h.count) + (h.count == 1 ? " number: " : " numbers: ") + h.names;
    }
    if (line >= 7 && line <= static_cast<int>(kSpecLines)) {
        const int state = line - 7;
        return "1 number: the ticks of state " + std::to_string(state) + " (" + StateName(state) + ")";
    }
    return "nothing: a model has 27 lines";
}

bool LoadSpec(OKEspec& record, const std::filesystem::path& file, SpecFault* fault) {
    std::vector<std::string> lines;
    try {
        lines = ReadLines(file, kSpecLines);
    } catch (const FileException& e) {
        return Fail(fault, 0, e.Reason());
    }
    // Every line is checked before any value is kept.
    std::array<std::array<std::int32_t, kSpecLineWidest>, kSpecLines> v{};
    for (std::size_t i = 0; i < kSpecLines; ++i) {
        const auto line = static_cast<std::int64_t>(i + 1);
        if (i >= lines.size()) return Fail(fault, line, SpecEndsEarly(lines.size()));
        std::string what;
        if (!ScanSpecLine(static_cast<int>(line), lines[i], v[i], &what)) return Fail(fault, line, std::move(what));
    }
    record.level = v[0][0];
    record.maxHp = v[1][0];  // the three numbers between are present but unused
    record.aimTurnRate = v[1][4];
    record.armour = v[2][0] / 100.0;
    record.staggerThreshold = v[2][1];
    record.bulletPower = v[3][0];
    record.bulletSpeed = v[3][1];
    record.bulletLife = v[3][2];
    record.bulletPowerLoss = v[3][3];
    record.ammunition = v[4][0];
    record.homingBullets = v[4][1];
    record.bulletTurnSpeed = v[4][2];
    record.fightPower = v[5][0];
    for (std::size_t s = 0; s < static_cast<std::size_t>(kStateCount); ++s) record.durations[s] = v[6 + s][0];
    record.name = file.string();
    return true;
}

SpecTable::SpecTable(std::filesystem::path folder) : folder_(std::move(folder)) {}

const OKEspec* SpecTable::GetSpec(const std::string& fileName) {
    for (const OKEspec& r : records_) {
        if (r.name == fileName) return &r;
    }
    OKEspec record;
    if (!LoadSpec(record, folder_.empty() ? std::filesystem::path(fileName) : folder_ / fileName)) return nullptr;
    record.name = fileName;
    records_.push_back(std::move(record));
    return &records_.back();
}

}  // namespace kivora
