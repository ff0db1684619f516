#pragma once
#include <cstdint>

#include "base/IntMath.h"

namespace kivora {

// Field geometry shared by everything that moves, aims or senses.
//
// Positions are field units (100 to a pixel), directions whole degrees with
// 0 facing +y and 90 facing +x. The value of pi is the game's own 3.14159,
// in both directions of conversion, so that battles come out the same on
// every machine.

inline constexpr double kPi = 3.14159;

// A real value truncated toward zero, clamped to the 32-bit range (NaN
// gives 0). Every real-to-integer conversion of the battle goes through here.
std::int32_t TruncToInt32(double v);

// Keeps a direction or an angle difference in -179..180: above 180 loses
// 360, below -179 gains 360, applied once (the values the battle produces
// are never further out than one turn).
constexpr std::int32_t NormalizeAngle(std::int32_t a) {
    if (a > 180) return WrapSub(a, 360);
    if (a < -179) return WrapAdd(a, 360);
    return a;
}

double DegreesToRadians(double degrees);

struct BearingDistance {
    std::int32_t bearing;  // whole degrees, the direction that points along (dx, dy)
    double distance;       // pixels
};

// Bearing and distance of a displacement (the other object's coordinate
// minus one's own). The difference is taken in 64 bits so that two objects
// far apart on a wide field still see each other where they are.
BearingDistance BearingAndDistance(std::int64_t dx, std::int64_t dy);

// Bearing and distance from `from` to `to`.
inline BearingDistance BearingAndDistance(std::int32_t fromX, std::int32_t fromY, std::int32_t toX,
                                          std::int32_t toY) {
    return BearingAndDistance(std::int64_t{toX} - fromX, std::int64_t{toY} - fromY);
}

// The two halves of BearingAndDistance, for the sensor, which needs the
// bearing only of what lies within its range. Same results, same order of
// operations.
double DistanceOf(std::int64_t dx, std::int64_t dy);
std::int32_t BearingOf(std::int64_t dx, std::int64_t dy);

// The displacement of one tick at `speed` along `heading` degrees.
struct Displacement {
    std::int32_t dx;
    std::int32_t dy;
};
Displacement Along(std::int32_t speed, std::int32_t heading);

}  // namespace kivora
