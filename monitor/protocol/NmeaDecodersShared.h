#pragma once
// What the NMEA decoders share: the unknown-value markers they add to the
// model's own, and the readers of angles and times of day.
// Only for the NMEA and other makers' decoders.
#include <cstdint>

#include "model/ModelRecords.h"
#include "model/ReportSlots.h"
#include "protocol/NmeaSentence.h"

class CModel;

namespace nmea {

const double kPi = 3.1415926535897932;
const double kDegreesToRadians = 0.017453292519943295;
const double kKnotsToMps = 0.5144444444444445;
const double kKmhToMps = 0.2777777777777778;
const double kSecondsPerDay = 86400.0;

// Unknown values in model records (besides the shared markers).
const double kNoFixTime = -1.0;
const double kDopUnknown = -1.0;
const uint16_t kUnknownWeek = 30000;
const uint8_t kUnknownDayOrMonth = 254;

// Health status codes the NMEA sentences give.
enum : uint32_t {
    HEALTH_DOING_FIXES = 1,
    HEALTH_NO_GPS_TIME = 2,
    HEALTH_TIME_BUT_NO_FIX = 3,
    HEALTH_ONE_USABLE_SV = 6,   // 7 and 8 for two and three satellites
    HEALTH_MANUAL_NO_FIX = 10
};

// The DGPS mode byte for a differential fix, and for none.
enum : uint8_t { DGPS_MODE_DIFFERENTIAL = 5, DGPS_MODE_NONE = 0 };

// Satellite numbers 33..64 (the augmentation satellites) are kept as
// 120..151, their PRNs, as every other protocol reports them.
int MapSatelliteNumber(int32_t number);

// Latitude (field n "ddmm.mmmm", field n + 1 "N"/"S") or longitude (field n
// "dddmm.mmmm", field n + 1 "E"/"W") in radians. False, out untouched, when
// either field is missing or does not hold an angle of its range.
bool ReadLatitude(const NmeaFields& f, int n, double& radians);
bool ReadLongitude(const NmeaFields& f, int n, double& radians);

// A time of day "hhmmss[.ss]".
struct TimeOfDay {
    int hour;
    int minute;
    int second;
    double seconds;  // of the day, fraction included
};
bool ReadTimeOfDay(const NmeaFields& f, int n, TimeOfDay& out);

// The fix time of a time of day: the whole days of the model's time record
// (when it holds a seconds-of-week value) plus the time of day, so positions
// count seconds of the GPS week as every other protocol's do. Without known
// days it is the time of day alone.
double FixTimeOfDay(const GpsTimeInfo& modelTime, const TimeOfDay& time);
// True when the record holds a seconds-of-week value.
bool HasTimeOfWeek(const GpsTimeInfo& record);

// Stores a time of day whose date is not known (time of week, week, day,
// month and year unknown), labelled with the sentence's name.
void StoreTimeOfDayOnly(CModel* model, const TimeOfDay& time, const char* label);

// Speed over ground and course into the velocity slots (see NmeaDecoders.h).
// Either may be kValueUnknown.
void SetGroundVelocity(NavState& nav, double speedMps, double knots, double headingRadians);

// The float nearest a double; values beyond a float's range become infinite
// (a plain conversion of them is undefined).
float ToFloat(double value);

// Two's-complement value of the low `bits` bits.
int32_t SignExtend(uint32_t value, int bits);

// The field is "A" or "V": an echo of a query, or an invalid reply.
bool IsEchoOrInvalid(const NmeaFields& f, int n);

}  // namespace nmea
