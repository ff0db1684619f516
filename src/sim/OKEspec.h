#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>

#include "sim/EE.h"

namespace kivora {

// A unit model, read from its model file (.spc) and shared by every unit of
// that model. The defaults are what a record holds before its file is read;
// a successful load replaces all of them.
struct OKEspec {
    std::string name;  // the model file's name as the game asked for it, byte for byte
    std::array<std::int32_t, kStateCount> durations{};  // ticks per state 0..20
    std::int32_t aimTurnRate = 1;
    std::int32_t bulletPower = 1;
    std::int32_t bulletSpeed = 1;
    std::int32_t bulletPowerLoss = 0;
    std::int32_t bulletLife = 1000;
    std::int32_t ammunition = 100;
    std::int32_t homingBullets = 0;
    std::int32_t bulletTurnSpeed = 1;
    std::int32_t fightPower = 1;
    std::int32_t maxHp = 1;
    double armour = 0.0;  // the file's hundredths as a factor
    std::int32_t staggerThreshold = 10;
    std::int32_t level = 3;
};

// Why a model file cannot be loaded, for the tools that tell its author.
struct SpecFault {
    std::int64_t line = 0;  // 1..27, the first line that is wrong; 0: the file as a whole
    std::string what;       // in a few English words: what the line must hold, or why the file cannot be read
};

// Reads the model file `file` into `record` (its name becomes the file's
// path as given). False when the file cannot be opened or read, has fewer
// than 27 lines, or a line does not hold the numbers its place calls for;
// the record is then of no further use, and `fault` (when given) says why.
bool LoadSpec(OKEspec& record, const std::filesystem::path& file, SpecFault* fault = nullptr);

// What line `line` (1..27) of a model file holds, for the authors of models:
// "5 numbers: hit points, three unused, aim turn rate".
std::string SpecLineContents(int line);

// The models of one data folder loaded so far, searched by exact file name.
// Records are never removed or reloaded, so pointers to them stay valid for
// the table's life. Models are asked for by the thread that deploys units
// (the game window's); the battle only reads loaded records.
class SpecTable {
public:
    // Model files are read from `folder`; empty means the working directory.
    explicit SpecTable(std::filesystem::path folder = {});
    SpecTable(const SpecTable&) = delete;
    SpecTable& operator=(const SpecTable&) = delete;

    // The shared record for the model file `fileName` of the folder, loading
    // it on first use; null when the file cannot be loaded (and then the
    // next request tries again). The record is named `fileName`.
    const OKEspec* GetSpec(const std::string& fileName);

    std::size_t Count() const { return records_.size(); }
    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::deque<OKEspec> records_;  // deque: growing never moves a record
};

}  // namespace kivora
