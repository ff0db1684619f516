#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>

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

// The lines of a model file the game reads; any after them are ignored.
inline constexpr int kSpecLineCount = 6 + kStateCount;

// The most numbers one line of a model file holds.
inline constexpr std::size_t kSpecLineWidest = 5;

// Scans line `line` (1..27) of a model file, `text` being that line as the
// line reader returns it, by the rules of its place: the numbers it must
// hold, each after a comma that follows the number before it directly. The
// one check behind LoadSpec, shared with the tools that check a model line by
// line. True when the line holds them: `values` receives them (as many as
// the line holds) and `end` (when given) the offset just past the last one;
// the game ignores whatever follows. Otherwise false, and `what` (when
// given) says what the line must hold.
bool ScanSpecLine(int line, std::string_view text, std::array<std::int32_t, kSpecLineWidest>& values,
                  std::string* what = nullptr, std::size_t* end = nullptr);

// How many numbers line `line` (1..27) of a model file holds; 0 for any other line.
int SpecLineNumbers(int line);

// Why a model file that ends after `lines` lines (fewer than 27) is refused.
std::string SpecEndsEarly(std::size_t lines);

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
