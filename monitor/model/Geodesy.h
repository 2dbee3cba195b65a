#pragma once
// Angle and coordinate conversions on WGS-84 that the views and recorders share.
#include <cstdint>

#include "framework/CString.h"

const double kRadiansToDegrees = 57.29577951308232;
const double kDegreesToRadians = 0.017453292519943295;

// Hemisphere letter and degrees with decimal minutes of an angle:
// kind 1 is a latitude ("N"/"S"), anything else a longitude ("E"/"W").
// A negative angle takes "S" or "W"; degrees and minutes are of the magnitude.
void RadiansToDegMin(int kind, double radians, CString& hemisphere, uint16_t& degrees,
                     double& minutes);

// Whole degrees, minutes, seconds and hundredths of seconds of the magnitude
// (each truncated), and whether the angle is negative.
void RadiansToDms(double radians, int32_t& degrees, int32_t& minutes, int32_t& seconds,
                  int32_t& hundredths, bool& negative);

// WGS-84 ECEF (m) to geodetic latitude and longitude (radians) and height
// above the ellipsoid (m), by Bowring's single-step formula. On and near the
// polar axis (p <= 1 m) the latitude is +-pi/2 by the sign of z, 0 for z = 0,
// so the all-zero position of a receiver without a fix never gives NaN.
void EcefToLla(double x, double y, double z, double& latitude, double& longitude,
               double& height);

enum PositionComponent : int { POSITION_LONGITUDE = 0, POSITION_LATITUDE = 1, POSITION_ALTITUDE = 2 };

// Range check with the bounds included: longitude -180..180 degrees, latitude
// -90..90 degrees, altitude -1000..18000 m. Angles are in radians unless
// `degrees` is set. Unknown kinds and NaN are refused.
bool IsValidPositionComponent(int kind, bool degrees, double value);
