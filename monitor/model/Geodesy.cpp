#include "model/Geodesy.h"

#include <cmath>

namespace {

const double kA = 6378137.0;             // semi-major axis (m)
const double kB = 6356752.314245179;     // semi-minor axis (m)
const double kE2 = 0.006694379990141316;       // first eccentricity squared
const double kEPrime2 = 0.006739496742276434;  // second eccentricity squared
const double kHalfPi = 1.5707963267948966;

} // namespace

void RadiansToDegMin(int kind, double radians, CString& hemisphere, uint16_t& degrees,
                     double& minutes)
{
    const double deg = radians * kRadiansToDegrees;
    if (kind == 1)
        hemisphere = deg < 0.0 ? "S" : "N";
    else
        hemisphere = deg < 0.0 ? "W" : "E";
    double magnitude = std::fabs(deg);
    if (!(magnitude < 65536.0)) magnitude = 0.0;  // NaN or absurd: nothing sensible to split
    const double whole = std::floor(magnitude);
    degrees = static_cast<uint16_t>(whole);
    minutes = (magnitude - whole) * 60.0;
}

void RadiansToDms(double radians, int32_t& degrees, int32_t& minutes, int32_t& seconds,
                  int32_t& hundredths, bool& negative)
{
    negative = radians < 0.0;
    double value = std::fabs(radians * kRadiansToDegrees);
    if (!(value < 2.0e9)) value = 0.0;  // keep the truncations defined
    degrees = static_cast<int32_t>(value);
    value = (value - degrees) * 60.0;
    minutes = static_cast<int32_t>(value);
    value = (value - minutes) * 60.0;
    seconds = static_cast<int32_t>(value);
    value = (value - seconds) * 100.0;
    hundredths = static_cast<int32_t>(value);
}

void EcefToLla(double x, double y, double z, double& latitude, double& longitude, double& height)
{
    const double p = std::sqrt(x * x + y * y);
    longitude = std::atan2(y, x);
    if (!(p > 1.0)) {
        // On the axis the formula divides by p; the latitude is a pole (or 0
        // at the centre) and the height is measured along the axis.
        latitude = z > 0.0 ? kHalfPi : (z < 0.0 ? -kHalfPi : 0.0);
        height = std::fabs(z) - kB;
        return;
    }
    const double theta = std::atan((z * kA) / (p * kB));
    const double st = std::sin(theta);
    const double ct = std::cos(theta);
    const double num = z + kEPrime2 * kB * st * st * st;
    const double den = p - kE2 * kA * ct * ct * ct;
    if (den != 0.0)
        latitude = std::atan(num / den);
    else
        latitude = num > 0.0 ? kHalfPi : (num < 0.0 ? -kHalfPi : 0.0);
    const double sl = std::sin(latitude);
    height = p / std::cos(latitude) - kA / std::sqrt(1.0 - kE2 * sl * sl);
}

bool IsValidPositionComponent(int kind, bool degrees, double value)
{
    double v = value;
    switch (kind) {
    case POSITION_LONGITUDE:
        if (!degrees) v *= kRadiansToDegrees;
        return v >= -180.0 && v <= 180.0;
    case POSITION_LATITUDE:
        if (!degrees) v *= kRadiansToDegrees;
        return v >= -90.0 && v <= 90.0;
    case POSITION_ALTITUDE:
        return v >= -1000.0 && v <= 18000.0;
    default:
        return false;
    }
}
