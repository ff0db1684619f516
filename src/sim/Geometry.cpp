#include "sim/Geometry.h"

#include <cmath>

namespace kivora {

std::int32_t TruncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);  // truncates toward zero
}

double DegreesToRadians(double degrees) { return degrees * kPi / 180; }

double DistanceOf(std::int64_t dx, std::int64_t dy) {
    if (dx == 0 && dy == 0) return 0.0;
    const double a = static_cast<double>(dx) / 100.0;
    const double b = static_cast<double>(dy) / 100.0;
    return std::sqrt(a * a + b * b);
}

std::int32_t BearingOf(std::int64_t dx, std::int64_t dy) {
    if (dx == 0 && dy == 0) return 0;
    const double a = static_cast<double>(dx) / 100.0;
    const double b = static_cast<double>(dy) / 100.0;
    return TruncToInt32(std::atan2(a, b) * 180 / kPi);
}

BearingDistance BearingAndDistance(std::int64_t dx, std::int64_t dy) {
    return {BearingOf(dx, dy), DistanceOf(dx, dy)};
}

Displacement Along(std::int32_t speed, std::int32_t heading) {
    const double h = DegreesToRadians(heading);
    return {TruncToInt32(speed * std::sin(h)), TruncToInt32(speed * std::cos(h))};
}

}  // namespace kivora
