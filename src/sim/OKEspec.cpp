#include "sim/OKEspec.h"

#include <vector>

#include "base/CstdFile.h"
#include "base/Scanner.h"

namespace kivora {

namespace {

// Up to `count` lines of the file; fewer when it ends early, none when it
// cannot be opened or read.
std::vector<std::string> ReadLines(const std::filesystem::path& file, std::size_t count) {
    std::vector<std::string> lines;
    try {
        CstdFile in(file.string(), File::modeRead);
        std::string line;
        while (lines.size() < count && in.ReadString(line)) lines.push_back(line);
    } catch (const FileException&) {
        lines.clear();
    }
    return lines;
}

// Reads `expected` numbers separated by commas ("%d,%d,..."), a comma right
// after each number; returns how many were read.
int ScanInts(const std::string& line, int expected, std::int32_t* out) {
    Scanner in(line);
    for (int k = 0; k < expected; ++k) {
        if ((k > 0 && !in.Literal(',')) || !in.Int(out[k])) return k;
    }
    return expected;
}

}  // namespace

bool LoadSpec(OKEspec& record, const std::filesystem::path& file) {
    constexpr std::size_t kLines = 6 + kStateCount;
    const std::vector<std::string> lines = ReadLines(file, kLines);
    if (lines.size() < kLines) return false;

    std::int32_t v[5];
    if (ScanInts(lines[0], 1, v) != 1) return false;
    record.level = v[0];
    if (ScanInts(lines[1], 5, v) != 5) return false;
    record.maxHp = v[0];  // the three numbers between are present but unused
    record.aimTurnRate = v[4];
    if (ScanInts(lines[2], 2, v) != 2) return false;
    record.armour = v[0] / 100.0;
    record.staggerThreshold = v[1];
    if (ScanInts(lines[3], 4, v) != 4) return false;
    record.bulletPower = v[0];
    record.bulletSpeed = v[1];
    record.bulletLife = v[2];
    record.bulletPowerLoss = v[3];
    if (ScanInts(lines[4], 3, v) != 3) return false;
    record.ammunition = v[0];
    record.homingBullets = v[1];
    record.bulletTurnSpeed = v[2];
    if (ScanInts(lines[5], 1, v) != 1) return false;
    record.fightPower = v[0];
    for (int s = 0; s < kStateCount; ++s) {
        if (ScanInts(lines[6 + static_cast<std::size_t>(s)], 1, v) != 1) return false;
        record.durations[static_cast<std::size_t>(s)] = v[0];
    }
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
