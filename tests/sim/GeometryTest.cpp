#include "sim/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kivora {
namespace {

TEST(GeometryTest, NormalizeAngleKeepsDirectionsInMinus179To180) {
    const struct {
        std::int32_t in, out;
    } cases[] = {
        {0, 0},       {180, 180},   {181, -179}, {185, -175}, {-179, -179}, {-180, 180},
        {-185, 175},  {359, -1},    {-359, 1},   {360, 0},    {90, 90},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizeAngle(c.in), c.out) << c.in;
    // Turning right past the back wraps to the left side and back again.
    EXPECT_EQ(NormalizeAngle(175 + 10), -175);
    EXPECT_EQ(NormalizeAngle(-175 - 10), 175);
    // No overflow at the ends of the range.
    EXPECT_EQ(NormalizeAngle(INT32_MIN), INT32_MIN + 360);
    EXPECT_EQ(NormalizeAngle(INT32_MAX), INT32_MAX - 360);
}

TEST(GeometryTest, BearingAndDistanceFollowTheFieldsCompass) {
    const struct {
        std::int64_t dx, dy;
        std::int32_t bearing;
        double distance;
    } cases[] = {
        {0, 0, 0, 0.0},
        {100, 0, 90, 1.0},
        {0, -100, 180, 1.0},
        {-100, 0, -90, 1.0},
        {0, 100, 0, 1.0},
        {300, 400, 36, 5.0},     // 36.87 truncated
        {-300, -400, -143, 5.0}, // -143.13 truncated toward zero
        {100, 100, 45, std::sqrt(2.0)},
    };
    for (const auto& c : cases) {
        const BearingDistance bd = BearingAndDistance(c.dx, c.dy);
        EXPECT_EQ(bd.bearing, c.bearing) << c.dx << "," << c.dy;
        EXPECT_DOUBLE_EQ(bd.distance, c.distance) << c.dx << "," << c.dy;
    }
}

TEST(GeometryTest, FarApartObjectsAreMeasuredWithoutWrapping) {
    const BearingDistance bd = BearingAndDistance(INT32_MIN, 0, INT32_MAX, 0);
    EXPECT_EQ(bd.bearing, 90);
    EXPECT_DOUBLE_EQ(bd.distance, 4294967295.0 / 100.0);
}

TEST(GeometryTest, RealToIntegerConversionsTruncateAndClamp) {
    const struct {
        double in;
        std::int32_t out;
    } cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {3e9, INT32_MAX},
        {-3e9, INT32_MIN},
        {2147483647.5, INT32_MAX},
        {-2147483648.9, INT32_MIN},
        {std::numeric_limits<double>::infinity(), INT32_MAX},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TruncToInt32(c.in), c.out) << c.in;
}

TEST(GeometryTest, DisplacementUsesTheGamesPiAndTruncates) {
    const struct {
        std::int32_t speed, heading, dx, dy;
    } cases[] = {
        {100, 0, 0, 100},
        {100, 90, 99, 0},   // sin(1.570795) is a hair under 1; cos a hair over 0
        {100, 180, 0, -99},
        {100, -90, -99, 0},
        {400, 45, 282, 282},
        {INT32_MAX, 90, 2147483646, 2849},  // the off-axis hair, scaled up
    };
    for (const auto& c : cases) {
        const Displacement d = Along(c.speed, c.heading);
        EXPECT_EQ(d.dx, c.dx) << c.speed << "@" << c.heading;
        EXPECT_EQ(d.dy, c.dy) << c.speed << "@" << c.heading;
    }
}

}  // namespace
}  // namespace kivora
