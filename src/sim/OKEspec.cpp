#include "sim/OKEspec.h"

#include <vector>

#include "app/CstdFile.h"

namespace kivora {

namespace {

// Up to `count` lines of the file; fewer when it ends early, none when it
// cannot be opened or read.
std::vector<std::string> ReadLines(const std::string& fileName, std::size_t count) {
    std::vector<std::string> lines;
    try {
        CstdFile file(fileName, File::modeRead);
        std::string line;
        while (lines.size() < count && file.ReadString(line)) lines.push_back(line);
    } catch (const FileException&) {
        lines.clear();
    }
    return lines;
}

bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Scans `line` against a pattern of "%d" separated by commas, the way the
// C library's scanf does on this platform: white space before each number
// is skipped, a sign is allowed, a comma must follow the previous number
// at once. A number too large for 64 bits saturates and is then cut to
// 32 bits, as the C library does; no overflow happens here. Returns how
// many numbers were read.
int ScanInts(const std::string& line, int expected, std::int32_t* out) {
    std::size_t pos = 0;
    for (int k = 0; k < expected; ++k) {
        if (k > 0) {
            if (pos >= line.size() || line[pos] != ',') return k;
            ++pos;
        }
        while (pos < line.size() && IsScanSpace(line[pos])) ++pos;
        bool negative = false;
        if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) {
            negative = line[pos] == '-';
            ++pos;
        }
        if (pos >= line.size() || line[pos] < '0' || line[pos] > '9') return k;
        std::uint64_t magnitude = 0;
        bool saturated = false;
        for (; pos < line.size() && line[pos] >= '0' && line[pos] <= '9'; ++pos) {
            const unsigned digit = static_cast<unsigned>(line[pos] - '0');
            if (magnitude > (UINT64_MAX - digit) / 10) {
                saturated = true;
            } else {
                magnitude = magnitude * 10 + digit;
            }
        }
        std::int64_t value;
        if (negative) {
            value = (saturated || magnitude > std::uint64_t{INT64_MAX} + 1)
                        ? INT64_MIN
                        : static_cast<std::int64_t>(0 - magnitude);
        } else {
            value = (saturated || magnitude > std::uint64_t{INT64_MAX})
                        ? INT64_MAX
                        : static_cast<std::int64_t>(magnitude);
        }
        out[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
    }
    return expected;
}

}  // namespace

bool LoadSpec(OKEspec& record, const std::string& fileName) {
    constexpr std::size_t kLines = 6 + kStateCount;
    const std::vector<std::string> lines = ReadLines(fileName, kLines);
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
    record.name = fileName;
    return true;
}

const OKEspec* SpecTable::GetSpec(const std::string& fileName) {
    std::lock_guard lock(mutex_);
    for (const OKEspec& r : records_) {
        if (r.name == fileName) return &r;
    }
    OKEspec record;
    if (!LoadSpec(record, fileName)) return nullptr;
    records_.push_back(std::move(record));
    return &records_.back();
}

std::size_t SpecTable::Count() const {
    std::lock_guard lock(mutex_);
    return records_.size();
}

}  // namespace kivora
