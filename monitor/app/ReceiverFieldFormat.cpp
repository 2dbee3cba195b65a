#include "app/ReceiverFieldFormat.h"

#include <cmath>

#include "link/ProtocolKind.h"
#include "model/Geodesy.h"
#include "model/GpsTime.h"

const char kDashes3[] = "- - -";
const char kDashes4[] = "- - - -";
const char kDashes5[] = "- - - - -";
const char kPcClockSetText[] = "PC clock synchronized to GPS time!";
const char kPcClockFailedText[] = "PC clock could not be set!";

namespace {

const double kMpsToMph = 2.2369;
const double kMpsToKmh = 3.6;
const double kKnotsToMps = 1852.0 / 3600.0;
// Metres per second of clock drift to parts per billion (1e9 / c).
const double kDriftToPpb = 3.3356409519815204;

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

} // namespace

// ---- Position ---------------------------------------------------------------

bool FormatAngleFields(bool latitude, double radians, bool decimalDegrees, AngleFieldTexts& out)
{
    if (radians == kFieldNoNewValue) return false;
    if (radians == kFieldNotAvailable) {
        out.hemisphere = "-";
        out.degrees = "- -";
        out.minutes = kDashes4;
        out.degreeSign = false;
        return true;
    }
    if (decimalDegrees) {
        out.hemisphere.Empty();
        out.degrees.Format("%.9lf", radians * kRadiansToDegrees);
        out.minutes.Empty();
        out.degreeSign = false;
        return true;
    }
    uint16_t degrees = 0;
    double minutes = 0.0;
    RadiansToDegMin(latitude ? 1 : 0, radians, out.hemisphere, degrees, minutes);
    out.degrees.Format("%d", static_cast<int>(degrees));
    out.minutes.Format("%.5lf'", minutes);
    out.degreeSign = true;
    return true;
}

bool FormatAltitude(double altitude, bool mslReference, double geoidSeparation, CString& out)
{
    if (altitude == kFieldNoNewValue) return false;
    if (altitude == kFieldNotAvailable) {
        out = kDashes3;
        return true;
    }
    out.Format("%.2lf", mslReference ? altitude - geoidSeparation : altitude);
    return true;
}

CString FormatEcefCoordinate(double metres)
{
    CString s;
    s.Format("%.2lf", metres);
    return s;
}

CString FormatXyzCopyText(double x, double y, double z)
{
    CString s;
    s.Format("%.2lf %.2lf %.2lf", x, y, z);
    return s;
}

CString FormatLlaCopyText(double latitude, double longitude, double altitude)
{
    CString s;
    s.Format("%.9lf %.9lf %.2lf", latitude * kRadiansToDegrees, longitude * kRadiansToDegrees, altitude);
    return s;
}

// ---- Velocity and speed -------------------------------------------------------

bool FormatQtxtVelocityField(double value, bool heading, CString& out)
{
    if (value == kFieldNoNewValue) return false;
    if (value == kFieldNotAvailable) {
        out = kDashes3;
        return true;
    }
    if (heading)
        out.Format("%.1lf", value * kRadiansToDegrees);
    else
        out.Format("%.1lf", value * kMpsToMph);
    return true;
}

double GroundSpeedMps(double knots)
{
    if (knots == kFieldNotAvailable || knots == kFieldNoNewValue) return knots;
    return knots * kKnotsToMps;
}

// One value of a speed-and-heading row: the markers first, then the scaled
// value with the given decimals.
static void FormatSpeedHeadingValue(double value, double scale, const char* format, CString& out)
{
    if (value == kFieldNoNewValue) return;
    if (value == kFieldNotAvailable) {
        out = kDashes3;
        return;
    }
    out.Format(format, value * scale);
}

int FormatSpeedHeading(double speedMps, double headingRadians, double verticalMps, CString& speed,
                       CString& heading, CString& vertical)
{
    FormatSpeedHeadingValue(speedMps, kMpsToKmh, "%.3lf", speed);
    FormatSpeedHeadingValue(headingRadians, kRadiansToDegrees, "%.1lf", heading);
    if (verticalMps == kFieldNotAvailable || verticalMps == kFieldNoNewValue) {
        vertical = "n/a";
        return VELOCITY_LAYOUT_SPEED_HEADING;
    }
    vertical.Format("%.3lf", verticalMps);
    return VELOCITY_LAYOUT_SPEED_HEADING_VERTICAL;
}

void FormatVelocityComponent(bool enu, int axis, double mps, CString& word, CString& value)
{
    if (!enu) {
        word.Empty();
        value.Format("%.3lf", mps);
        return;
    }
    static const char* const kWords[3][2] = {{"East", "West"}, {"North", "South"}, {"Up", "Down"}};
    const int a = axis < 0 ? 0 : (axis > 2 ? 2 : axis);
    word = kWords[a][mps < 0.0 ? 1 : 0];
    value.Format("%.3lf", std::fabs(mps));
}

CString FormatHorizontalSpeed(double v1, double v2, int unit)
{
    const double speed = std::sqrt(v1 * v1 + v2 * v2);
    CString s;
    if (!(speed > 0.5)) {
        s = "0.0";
        return s;
    }
    double shown = speed;
    if (unit == SPEED_UNIT_KMH)
        shown = speed * kMpsToKmh;
    else if (unit == SPEED_UNIT_MPH)
        shown = speed * kMpsToMph;
    s.Format("%.1lf", shown);
    return s;
}

// ---- Clock, DOPs, mode, status, version -------------------------------------

CString FormatOscillatorDrift(double driftMps)
{
    CString s;
    if (driftMps == 0.0)
        s = kDashes5;
    else
        s.Format("%.2lf", driftMps * kDriftToPpb);
    return s;
}

CString FormatDop(double value, int receiverStatus, bool autoQuery)
{
    CString s;
    if (receiverStatus == 10 || value < 0.0) {
        s = kDashes3;
        return s;
    }
    if (value == 0.0) return s;
    if (autoQuery && receiverStatus != 1 && receiverStatus != 4) return s;
    if (value > 999.0)
        s.Format("%.0lf", value);
    else if (value > 99.0)
        s.Format("%.1lf", value);
    else
        s.Format("%.2lf", value);
    return s;
}

CString FormatFixMode(bool singleSatTimeOnly, int fixCode, bool manual, int svCount,
                      int receiverStatus, int differential)
{
    CString s;
    if (singleSatTimeOnly) {
        s = "Single Sat, Time Only";
        return s;
    }
    static const char* const kDimensions[7] = {"", "1-SV, ", "2-D Clk Hold, ", "2-D, ", "3-D, ", "O-D, ", "DGPS, "};
    const char* dimension = (fixCode >= 1 && fixCode <= 6) ? kDimensions[fixCode] : "";
    if (receiverStatus == 10) dimension = "O-D, ";
    s.Format("%s%s (%d SV)", dimension, manual ? "Manual" : "Auto", svCount);
    if (differential == DIFF_SBAS)
        s += ", SBAS";
    else if (differential == DIFF_DGPS)
        s += ", DGPS";
    return s;
}

bool FormatReceiverHealth(int code, CString& out)
{
    if (code == 0) return false;
    switch (code) {
    case 1: out = "doing position fixes"; break;
    case 2: out = "don't have GPS time"; break;
    case 3: out = "need initialization"; break;
    case 4: out = "PDOP too high"; break;
    case 5: out = "no satellites usable"; break;
    case 6: out = "only 1 usable satellite"; break;
    case 7: out = "only 2 usable satellites"; break;
    case 8: out = "only 3 usable satellites"; break;
    case 10: out = "Over-determined clock"; break;
    case 11: out = "chosen SV unusable"; break;
    default: out.Empty(); break;
    }
    return true;
}

void FormatFirmwareVersion(const FirmwareVersionRecord& record, bool force, CString& version,
                           CString& date)
{
    if (!force && record.month == 0 && record.year == 0) {
        version = kDashes4;
        date = kDashes5;
        return;
    }
    if (record.build == -1)
        version.Format("%d.%02d", record.major, record.minor);
    else
        version.Format("%d.%02d.%d", record.major, record.minor, record.build);
    int year = record.year;
    if (year < 100)
        year += 2000;
    else if (year < 1900)
        year += 1900;
    date.Format("%02d/%02d/%02d", record.month, record.day, year % 100);
}

// ---- Channel table -----------------------------------------------------------

void FormatChannelRow(int sv, double level, double azimuth, double elevation, int state,
                      ChannelRowTexts& out)
{
    if (sv == 0) {
        out.sv.Empty();
        out.level.Empty();
        out.azimuth.Empty();
        out.elevation.Empty();
        out.state.Empty();
        return;
    }
    out.sv.Format("%d", sv);
    if (level == -1.0)
        out.level = kDashes3;
    else
        out.level.Format("%.1lf", level);
    if (azimuth < 0.0 && elevation < 0.0) {
        out.azimuth = kDashes3;
        out.elevation = kDashes3;
    } else {
        out.azimuth.Format("%.1lf", azimuth * kRadiansToDegrees);
        out.elevation.Format("%.1lf", elevation * kRadiansToDegrees);
    }
    if (state == kUnknownByte)
        out.state = "n/a";
    else if (state == 31 || (sv >= 120 && sv <= 138))
        out.state = "WAAS";
    else if (state == 0)
        out.state = "-ok-";
    else
        out.state.Format("%d", state);
}

bool IsTrackingEntryUsed(int32_t protocolKind, int status)
{
    // The module's flag: 1 when the satellite is in the fix.
    const int kKestoUsedInFix = 1;
    return protocolKind == PROTO_KESTO && status == kKestoUsedInFix;
}

// ---- GPS time and date ---------------------------------------------------------

bool HasGpsWeekAndTime(double timeOfWeek, int32_t week)
{
    return timeOfWeek != kFieldNotAvailable && week != kGpsWeekNone;
}

bool FormatTimeOfDay(int hour, int minute, int second, CString& out)
{
    if (hour == kUnknownByte || minute == kUnknownByte || second == kUnknownByte) return false;
    out.Format("%02d:%02d:%02d", hour, minute, second);
    return true;
}

bool GetDisplayedGpsTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         CalendarTime& out)
{
    CalendarTime t = {};
    const double seconds = utcBase ? timeOfWeek - utcOffset : timeOfWeek;
    if (!GpsTimeToSystemTime(seconds, week, t)) return false;
    out = t;
    return true;
}

CString FormatLongDate(const CalendarTime& t)
{
    CString s;
    const char* month = (t.wMonth >= 1 && t.wMonth <= 12) ? kMonthNames[t.wMonth - 1] : "";
    s.Format("%s %02d, %d", month, static_cast<int>(t.wDay), static_cast<int>(t.wYear));
    return s;
}

bool FormatGpsTimeFields(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         GpsTimeTexts& out)
{
    CalendarTime t = {};
    if (!GetDisplayedGpsTime(timeOfWeek, week, utcBase, utcOffset, t)) return false;
    out.time.Format("%s %02d:%02d:%02d", kDayNames[t.wDayOfWeek % 7], static_cast<int>(t.wHour),
                    static_cast<int>(t.wMinute), static_cast<int>(t.wSecond));
    out.week.Format("%d", static_cast<int>(week));
    out.timeOfWeek.Format("%.0lf", std::floor(timeOfWeek));
    out.date = FormatLongDate(t);
    return true;
}

// ---- Stale-field limits ----------------------------------------------------

void GetStaleLimits(int32_t autoQueryIntervalSeconds, bool fileMode, int32_t limits[STALE_FIELD_COUNT])
{
    for (int i = 0; i < STALE_FIELD_COUNT; ++i) limits[i] = autoQueryIntervalSeconds + 2;
    limits[2] = autoQueryIntervalSeconds + 5;
    for (int i = 5; i <= 16; ++i) limits[i] = fileMode ? 10 : autoQueryIntervalSeconds + 2;
}

// ---- Protocol names ----------------------------------------------------------

const char* GetProtocolDisplayName(int32_t kind)
{
    static const char* const kNames[22] = {
        "NONE",       "AUTO",         "RAW",          "QBIN",           "NMEA",         "QTXT",
        "KESTO",      "QOP",          "SCPI",         "TOD",            "SIRF NMEA",    "UBLOX NMEA",
        "UNAV NMEA",  "NEMERIX NMEA", "QINETIQ NMEA", "TYCO NMEA",      "NAVMAN NMEA",  "PROF",
        "CUSTOM BIN", "CUSTOM ASCII", "MON",          "NONE"};
    return (kind >= 0 && kind < 22) ? kNames[kind] : "NONE";
}

// ---- PC clock ------------------------------------------------------------------

namespace {

// Days from 1 January 1601 (the FILETIME epoch, a Monday) of a proleptic
// Gregorian date; months 1..12 and days checked by the caller.
int64_t DaysFrom1601(int64_t year, int64_t month, int64_t day)
{
    // Counting years from March makes the leap day the last day of a year.
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = y / 400;  // years here are positive
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t daysFrom0000 = era * 146097 + doe;  // from 1 March of year 0
    const int64_t epoch = 584694;                      // 1 January 1601 on that count
    return daysFrom0000 - epoch;
}

void DateFromDays1601(int64_t days, int& year, int& month, int& day)
{
    const int64_t z = days + 584694;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

class NoClockSetter : public IClockSetter {
public:
    // The native build has no system clock to set.
    bool SetSystemClock(const CalendarTime&) override { return false; }
};

IClockSetter* g_clockSetter = nullptr;

} // namespace

#ifdef _WIN32
IClockSetter& GetSystemClockSetter();  // ReceiverFieldFormat_win.cpp
#else
static IClockSetter& GetSystemClockSetter()
{
    static NoClockSetter setter;
    return setter;
}
#endif

IClockSetter& GetClockSetter() { return g_clockSetter != nullptr ? *g_clockSetter : GetSystemClockSetter(); }

IClockSetter* SetClockSetter(IClockSetter* setter)
{
    IClockSetter* previous = g_clockSetter;
    g_clockSetter = setter;
    return previous;
}

bool ShiftCalendarTime(const CalendarTime& in, int64_t seconds, CalendarTime& out)
{
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (in.wYear < 1601 || in.wYear > 30827 || in.wMonth < 1 || in.wMonth > 12 || in.wDay < 1 ||
        in.wHour > 23 || in.wMinute > 59 || in.wSecond > 59 || in.wMilliseconds > 999)
        return false;
    const int monthDays = kMonthDays[in.wMonth - 1] + ((in.wMonth == 2 && IsLeap(in.wYear)) ? 1 : 0);
    if (in.wDay > monthDays) return false;
    // One count of seconds since 1601, as SystemTimeToFileTime would give in
    // 100 ns units; the shift is done there and the fields rebuilt from it.
    const int64_t days = DaysFrom1601(in.wYear, in.wMonth, in.wDay);
    int64_t total = ((days * 24 + in.wHour) * 60 + in.wMinute) * 60 + in.wSecond;
    const int64_t kLast = DaysFrom1601(30828, 1, 1) * 86400;
    if (seconds < -total || seconds >= kLast - total) return false;
    total += seconds;
    const int64_t d = total / 86400;
    const int64_t s = total % 86400;
    int year = 0, month = 0, day = 0;
    DateFromDays1601(d, year, month, day);
    out.wYear = static_cast<uint16_t>(year);
    out.wMonth = static_cast<uint16_t>(month);
    out.wDay = static_cast<uint16_t>(day);
    out.wDayOfWeek = static_cast<uint16_t>((d + 1) % 7);  // 1601-01-01 was a Monday
    out.wHour = static_cast<uint16_t>(s / 3600);
    out.wMinute = static_cast<uint16_t>((s / 60) % 60);
    out.wSecond = static_cast<uint16_t>(s % 60);
    out.wMilliseconds = in.wMilliseconds;
    return true;
}

bool GetPcClockTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset, CalendarTime& out)
{
    CalendarTime shown = {};
    if (!GetDisplayedGpsTime(timeOfWeek, week, utcBase, utcOffset, shown)) return false;
    if (!utcBase) {
        out = shown;
        return true;
    }
    // The offset goes back on through the whole date, not the seconds field
    // alone: a second past 59 is refused by the system and the clock would
    // never be set in the last offset-many seconds of each minute.
    return ShiftCalendarTime(shown, utcOffset, out);
}

bool SetPcClockToGpsTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         CString& status)
{
    CalendarTime t = {};
    const bool ok = GetPcClockTime(timeOfWeek, week, utcBase, utcOffset, t) && GetClockSetter().SetSystemClock(t);
    status = ok ? kPcClockSetText : kPcClockFailedText;
    return ok;
}
