#include "protocol/NmeaDecodersShared.h"

#include <limits>

#include "model/CModel.h"
#include "model/GpsTime.h"
#include "protocol/TextNumber.h"

namespace nmea {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int TwoDigits(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

enum : int32_t { kFirstAugmentationNumber = 33, kLastAugmentationNumber = 64, kAugmentationOffset = 87 };

const double kMinutesPerDegree = 60.0;
const double kMaxLatitudeDegrees = 90.0;
const double kMaxLongitudeDegrees = 180.0;

// "[d]ddmm.mmmm": the minutes are the last two digits before the point with
// the fraction after them, the degrees whatever digits precede those. Reading
// around the point, not at fixed columns, also takes the receivers that drop
// leading zeros.
bool ReadAngle(const NmeaFields& f, int n, char positive, char negative, double maxDegrees,
               double& radians)
{
    const NmeaField field = f.Field(n);
    const char hemisphere = f.First(n + 1);
    if (field.length == 0 || (hemisphere != positive && hemisphere != negative)) return false;
    int digits = 0;
    while (digits < field.length && IsDigit(field.text[digits])) ++digits;
    if (digits == 0) return false;
    const int minutesStart = digits > 2 ? digits - 2 : 0;
    // The minutes must be all the rest of the field: "47x0.0000" is no angle.
    int used = 0;
    const int rest = field.length - minutesStart;
    const double minutes = TextToDouble(field.text + minutesStart, rest, &used);
    if (used != rest || !(minutes < kMinutesPerDegree)) return false;
    const int32_t degrees = minutesStart > 0 ? TextToInt32(field.text, minutesStart) : 0;
    const double value = degrees + minutes / kMinutesPerDegree;
    if (value > maxDegrees) return false;
    radians = (hemisphere == negative ? -value : value) * kDegreesToRadians;
    return true;
}

enum : int { kHoursPerDay = 24, kMinutesPerHour = 60, kLeapSecond = 60 };

}  // namespace

int MapSatelliteNumber(int32_t number)
{
    if (number >= kFirstAugmentationNumber && number <= kLastAugmentationNumber) return number + kAugmentationOffset;
    return number;
}

bool ReadLatitude(const NmeaFields& f, int n, double& radians)
{
    return ReadAngle(f, n, 'N', 'S', kMaxLatitudeDegrees, radians);
}

bool ReadLongitude(const NmeaFields& f, int n, double& radians)
{
    return ReadAngle(f, n, 'E', 'W', kMaxLongitudeDegrees, radians);
}

bool ReadTimeOfDay(const NmeaFields& f, int n, TimeOfDay& out)
{
    const NmeaField field = f.Field(n);
    enum : int { kClockDigits = 6 };
    if (field.length < kClockDigits) return false;
    for (int i = 0; i < kClockDigits; ++i) {
        if (!IsDigit(field.text[i])) return false;
    }
    const int hour = TwoDigits(field.text);
    const int minute = TwoDigits(field.text + 2);
    const int second = TwoDigits(field.text + 4);
    if (hour >= kHoursPerDay || minute >= kMinutesPerHour || second > kLeapSecond) return false;
    double fraction = 0.0;
    if (field.length > kClockDigits && field.text[kClockDigits] == '.')
        fraction = TextToDouble(field.text + kClockDigits, field.length - kClockDigits);
    out.hour = hour;
    out.minute = minute;
    out.second = second;
    out.seconds = hour * 3600.0 + minute * 60.0 + second + fraction;
    return true;
}

bool HasTimeOfWeek(const GpsTimeInfo& record)
{
    return record.timeOfWeek < static_cast<uint32_t>(GPS_SECONDS_PER_WEEK);
}

double FixTimeOfDay(const GpsTimeInfo& modelTime, const TimeOfDay& time)
{
    if (!HasTimeOfWeek(modelTime)) return time.seconds;
    const uint32_t days = modelTime.timeOfWeek / static_cast<uint32_t>(kSecondsPerDay);
    return days * kSecondsPerDay + time.seconds;
}

void StoreTimeOfDayOnly(CModel* model, const TimeOfDay& time, const char* label)
{
    GpsTimeInfo record;
    model->GetTimeInfo(record);
    record.timeOfWeek = kTimeOfWeekUnknown;
    record.week = kUnknownWeek;
    record.day = kUnknownDayOrMonth;
    record.month = kUnknownDayOrMonth;
    record.year = TIME_YEAR_NONE;
    record.source = TIME_SOURCE_UTC_CALENDAR;
    record.hour = static_cast<uint8_t>(time.hour);
    record.minute = static_cast<uint8_t>(time.minute);
    record.second = static_cast<uint8_t>(time.second);
    model->SetReportText(SLOT_TIME, label);
    model->SetTimeInfo(record, false, 0);
}

void SetGroundVelocity(NavState& nav, double speedMps, double knots, double headingRadians)
{
    nav.velEast = speedMps;
    nav.velNorth = headingRadians;
    nav.velUp = kValueUnknown;
    nav.groundSpeedKnots = knots;
    nav.heading = headingRadians;
}

float ToFloat(double value)
{
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

int32_t SignExtend(uint32_t value, int bits)
{
    if (bits <= 0) return 0;
    if (bits >= 32) return static_cast<int32_t>(static_cast<int64_t>(value) - ((value >> 31) != 0 ? (1ll << 32) : 0));
    const uint32_t low = value & ((1u << bits) - 1u);
    int64_t result = low;
    if ((low >> (bits - 1)) != 0) result -= 1ll << bits;
    return static_cast<int32_t>(result);
}

bool IsEchoOrInvalid(const NmeaFields& f, int n) { return f.Is(n, "A") || f.Is(n, "V"); }

}  // namespace nmea
