#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "sim/EE.h"

namespace kivora {

// A unit model, read from its model file (.spc) and shared by every unit of
// that model. The defaults are what a record holds before its file is read;
// a successful load replaces all of them.
struct OKEspec {
    std::string name;  // the file name it was loaded from, byte for byte
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

// Reads a model file into `record`. False when the file cannot be opened or
// read, has fewer than 27 lines, or a line does not hold the numbers its
// place calls for; the record is then of no further use.
bool LoadSpec(OKEspec& record, const std::string& fileName);

// The models loaded so far, searched by exact file name. Records are never
// removed or reloaded, so pointers to them stay valid for the table's life.
// The window thread (purchases) and the rival's deployments may both ask,
// hence the lock.
class SpecTable {
public:
    SpecTable() = default;
    SpecTable(const SpecTable&) = delete;
    SpecTable& operator=(const SpecTable&) = delete;

    // The shared record for `fileName`, loading it on first use; null when
    // the file cannot be loaded (and then the next request tries again).
    const OKEspec* GetSpec(const std::string& fileName);

    std::size_t Count() const;

private:
    mutable std::mutex mutex_;
    std::deque<OKEspec> records_;  // deque: growing never moves a record
};

}  // namespace kivora
