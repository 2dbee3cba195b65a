#include "model/Geodesy.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

const double kPi = 3.14159265358979323846;

TEST(Geodesy, EcefToLlaAtRoundPoints)
{
    const double b = 6356752.314245179;
    const struct {
        double x, y, z;
        double latitude, longitude, height;
    } cases[] = {
        {6378137, 0, 0, 0, 0, 0},
        {0, 6378137, 0, 0, kPi / 2, 0},
        {-6378137, 0, 0, 0, kPi, 0},
        {0, 0, b, kPi / 2, 0, 0},
        {0, 0, -b, -kPi / 2, 0, 0},
        {0, 0, 0, 0, 0, -b},  // a receiver without a fix
        {0.5, 0.5, 7000000, kPi / 2, kPi / 4, 7000000 - b},
        // 45 N 45 E, 1000 m: x = y = (N + h) cos(lat) / sqrt(2), z = (N (1 - e2) + h) sin(lat)
        {3194919.145061, 3194919.145061, 4488055.515647, kPi / 4, kPi / 4, 1000},
    };
    for (const auto& c : cases) {
        double latitude = 9, longitude = 9, height = 9;
        EcefToLla(c.x, c.y, c.z, latitude, longitude, height);
        EXPECT_FALSE(std::isnan(latitude) || std::isnan(longitude) || std::isnan(height));
        EXPECT_NEAR(c.latitude, latitude, 1e-9) << c.x << " " << c.y << " " << c.z;
        EXPECT_NEAR(c.longitude, longitude, 1e-12);
        EXPECT_NEAR(c.height, height, 1e-3);
    }
}

TEST(Geodesy, AnglesToDegreesMinutesSeconds)
{
    int32_t d, m, s, h;
    bool negative = true;
    RadiansToDms(0.5, d, m, s, h, negative);
    EXPECT_EQ(28, d);
    EXPECT_EQ(38, m);
    EXPECT_EQ(52, s);
    EXPECT_EQ(40, h);
    EXPECT_FALSE(negative);
    RadiansToDms(-0.5, d, m, s, h, negative);
    EXPECT_EQ(28, d);
    EXPECT_TRUE(negative);

    const struct {
        int kind;
        double radians;
        const char* letter;
        uint16_t degrees;
        double minutes;
    } cases[] = {
        {1, -0.5, "S", 28, 38.87338539},
        {1, 0.5, "N", 28, 38.87338539},
        {0, -1.0, "W", 57, 17.74677078},
        {0, 1.0, "E", 57, 17.74677078},
        {2, 0.0, "E", 0, 0.0},
    };
    for (const auto& c : cases) {
        CString letter;
        uint16_t degrees = 0;
        double minutes = 0;
        RadiansToDegMin(c.kind, c.radians, letter, degrees, minutes);
        EXPECT_STREQ(c.letter, letter);
        EXPECT_EQ(c.degrees, degrees);
        EXPECT_NEAR(c.minutes, minutes, 1e-8);
    }
}

TEST(Geodesy, PositionComponentRanges)
{
    const struct {
        int kind;
        bool degrees;
        double value;
        bool valid;
    } cases[] = {
        {POSITION_ALTITUDE, false, 18000, true},   {POSITION_ALTITUDE, false, 18000.1, false},
        {POSITION_ALTITUDE, false, -1000, true},   {POSITION_ALTITUDE, false, -1000.1, false},
        {POSITION_LATITUDE, true, 90, true},       {POSITION_LATITUDE, true, 90.0001, false},
        {POSITION_LATITUDE, true, -90, true},      {POSITION_LATITUDE, false, kPi / 2, true},
        {POSITION_LATITUDE, false, 1.5709, false}, {POSITION_LONGITUDE, true, -180, true},
        {POSITION_LONGITUDE, true, 180.001, false}, {POSITION_LONGITUDE, false, -kPi, true},
        {3, true, 0, false},                        {POSITION_LATITUDE, true, NAN, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.valid, IsValidPositionComponent(c.kind, c.degrees, c.value))
            << c.kind << " " << c.degrees << " " << c.value;
}

} // namespace
