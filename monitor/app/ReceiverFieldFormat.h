// The texts of the main window's receiver fields: position, altitude,
// velocity and speed, oscillator, DOPs, fix mode, status, firmware version,
// channel rows, GPS time and date, the stale-field limits, and the PC clock
// setting. Every rule is a pure function of the values the data model
// delivers, so the field updaters only copy texts into controls and each
// rule is checked natively.
#pragma once

#include <cstdint>

#include "app/StaleFields.h"
#include "framework/CString.h"
#include "model/CalendarTime.h"
#include "model/ModelRecords.h"

// Model sentinels: a value that is not available shows dashes; a value that
// carries nothing new leaves the field as it is.
const double kFieldNotAvailable = -700000.0;
const double kFieldNoNewValue = -800000.0;
const int32_t kGpsWeekNone = 30000;
const int kUnknownByte = 254;

// The dash texts the fields show for missing values.
extern const char kDashes3[];  // "- - -"
extern const char kDashes4[];  // "- - - -"
extern const char kDashes5[];  // "- - - - -"

// ---- Position ---------------------------------------------------------------

// The three texts of one angle: hemisphere, degrees, minutes; and whether the
// degree sign beside them is shown.
struct AngleFieldTexts {
    CString hemisphere;
    CString degrees;
    CString minutes;
    bool degreeSign;
};

// Latitude (latitude = true) or longitude in radians. Returns false for
// "no new value" (the fields keep their texts). Not available: "-", "- -",
// "- - - -" without the degree sign. Decimal degrees: 9 decimals in the
// degrees field, the others empty. Otherwise "N"/"S" or "E"/"W", whole
// degrees and "%.5lf'" minutes, with the degree sign.
bool FormatAngleFields(bool latitude, double radians, bool decimalDegrees, AngleFieldTexts& out);

// Altitude in metres above the ellipsoid; with the MSL reference the geoid
// separation is subtracted. False for "no new value"; "- - -" when not
// available; else 2 decimals.
bool FormatAltitude(double altitude, bool mslReference, double geoidSeparation, CString& out);

// One ECEF coordinate field: 2 decimals.
CString FormatEcefCoordinate(double metres);
// The copy texts: "%.2lf %.2lf %.2lf" of X, Y, Z and "%.9lf %.9lf %.2lf" of
// latitude and longitude (radians in, degrees out) and altitude.
CString FormatXyzCopyText(double x, double y, double z);
CString FormatLlaCopyText(double latitude, double longitude, double altitude);

// ---- Velocity and speed -------------------------------------------------------

enum SpeedUnit : int { SPEED_UNIT_MPH = 0, SPEED_UNIT_KMH = 1, SPEED_UNIT_MPS = 2 };

// Display-format layouts of the speed-and-heading fields.
enum : int { VELOCITY_LAYOUT_SPEED_HEADING = 14, VELOCITY_LAYOUT_SPEED_HEADING_VERTICAL = 16 };

// A QTXT velocity field: a speed (m/s, shown in mph) or, with heading set, a
// heading (radians, shown in degrees with 1 decimal). False for "no new
// value"; "- - -" when not available.
bool FormatQtxtVelocityField(double value, bool heading, CString& out);

// A ground speed in knots as metres per second. The model's markers (not
// available, no new value) come back unchanged: scaled, they would read as
// a speed.
double GroundSpeedMps(double knots);

// The three rows of a speed-and-heading record: speed km/h, heading degrees,
// and the vertical speed with 3 decimals, or "n/a" when it has none (either
// marker). Returns the layout that fits (14 without the vertical speed, else
// 16). A speed or heading that is not available gives "- - -"; one with no
// new value leaves its text as the caller passed it.
int FormatSpeedHeading(double speedMps, double headingRadians, double verticalMps, CString& speed,
                       CString& heading, CString& vertical);

// One velocity component, 3 decimals. ENU frame: the direction word of its
// sign ("East"/"West", "North"/"South", "Up"/"Down" for axis 0, 1, 2) and the
// magnitude. ECEF frame: no word, the signed value.
void FormatVelocityComponent(bool enu, int axis, double mps, CString& word, CString& value);

// The horizontal speed of the first two components: "%.1lf" in the unit
// above 0.5 m/s, else "0.0".
CString FormatHorizontalSpeed(double v1, double v2, int unit);

// ---- Clock, DOPs, mode, status, version -------------------------------------

// The receiver clock drift (m/s) in parts per billion, "%.2lf"; exactly 0
// shows "- - - - -".
CString FormatOscillatorDrift(double driftMps);

// One DOP. Status 10 (over-determined clock) and negative values "- - -";
// exactly 0, or with auto-query on a status other than 1 and 4, nothing;
// else 0 decimals above 999, 1 above 99, 2 otherwise.
CString FormatDop(double value, int receiverStatus, bool autoQuery);

// Differential corrections in use for the fix-mode text.
enum DifferentialSource : int { DIFF_NONE = 0, DIFF_DGPS = 1, DIFF_SBAS = 2 };

// "Single Sat, Time Only", or "%s%s (%d SV)" with the fix dimension of the
// code (forced to "O-D, " by status 10), "Manual"/"Auto" and the satellite
// count, then ", SBAS" or ", DGPS".
CString FormatFixMode(bool singleSatTimeOnly, int fixCode, bool manual, int svCount,
                      int receiverStatus, int differential);

// The status text of a health code. False for code 0 (the field keeps its
// text); unknown codes give the empty text.
bool FormatReceiverHealth(int code, CString& out);

// The version and date fields of a firmware record. With a date (month or
// year not 0) or when forced: "%d.%02d" or "%d.%02d.%d" with the build, and
// "%02d/%02d/%02d" with the two date parts in stored order and the two-digit
// year. Otherwise "- - - -" and "- - - - -".
void FormatFirmwareVersion(const FirmwareVersionRecord& record, bool force, CString& version,
                           CString& date);

// ---- Channel table -----------------------------------------------------------

struct ChannelRowTexts {
    CString sv;
    CString level;
    CString azimuth;
    CString elevation;
    CString state;
};

// The five texts of a channel row; all empty for satellite 0. Level "- - -"
// when -1, else 1 decimal; azimuth and elevation (radians) in degrees with 1
// decimal, both "- - -" when both are negative; state "n/a" (254), "WAAS"
// (state 31 or satellites 120..138), "-ok-" (0), else its number.
void FormatChannelRow(int sv, double level, double azimuth, double elevation, int state,
                      ChannelRowTexts& out);

// Whether a tracking entry's first status byte marks its satellite as used
// in the fix. Only a KESTO module stores its used flag there (1 used, 0 not);
// the other protocols keep tracking bits in that byte, which say nothing of
// the fix.
bool IsTrackingEntryUsed(int32_t protocolKind, int status);

// ---- GPS time and date ---------------------------------------------------------

struct GpsTimeTexts {
    CString time;       // "Thu 01:02:03"
    CString week;       // "1400"
    CString timeOfWeek; // "349323"
    CString date;       // "November 09, 2006"
};

// True when a report carries both a week and a time of week.
bool HasGpsWeekAndTime(double timeOfWeek, int32_t week);

// "%02d:%02d:%02d" of the receiver's time of day; false when any field is
// unknown (254).
bool FormatTimeOfDay(int hour, int minute, int second, CString& out);

// The calendar time a report shows: GPS time, or in the UTC base the UTC
// offset (whole seconds) subtracted first. False outside the calendar.
bool GetDisplayedGpsTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         CalendarTime& out);

// The four time fields of a report; false (texts untouched) when the time
// cannot be converted.
bool FormatGpsTimeFields(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         GpsTimeTexts& out);

// "%B %d, %Y" with English month names, whatever the locale.
CString FormatLongDate(const CalendarTime& t);

// ---- Stale-field limits ----------------------------------------------------

// STALE_FIELD_COUNT comes from StaleFields.h: one count for the whole window.

// The limits in seconds of the 22 stale-field entries: entry 2 the auto-query
// interval + 5; the channel rows (5..16) 10 in FILE mode, else the interval +
// 2; the others the interval + 2.
void GetStaleLimits(int32_t autoQueryIntervalSeconds, bool fileMode, int32_t limits[STALE_FIELD_COUNT]);

// ---- Protocol names ----------------------------------------------------------

// The display name of a protocol kind 0..21 ("QBIN", "SIRF NMEA", ...);
// "NONE" outside that range.
const char* GetProtocolDisplayName(int32_t kind);

// ---- PC clock ------------------------------------------------------------------

// The clock-setter seam: the program sets the system clock (UTC); tests
// record what would have been set and can refuse.
struct IClockSetter {
    virtual ~IClockSetter() {}
    virtual bool SetSystemClock(const CalendarTime& utc) = 0;
};
IClockSetter& GetClockSetter();
// Installs a setter (nullptr puts the system's back); returns the previous
// one (nullptr when it was the system's).
IClockSetter* SetClockSetter(IClockSetter* setter);

// The calendar time moved by whole seconds, carried through minutes, hours,
// days, months and years as a FILETIME count would be. False for a record
// outside 1601..30827 or with a field out of range.
bool ShiftCalendarTime(const CalendarTime& in, int64_t seconds, CalendarTime& out);

// The time the PC clock is set to for a report: its GPS time, built in the
// UTC base from the shown UTC time with the offset added back, normalised.
bool GetPcClockTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset, CalendarTime& out);

extern const char kPcClockSetText[];     // "PC clock synchronized to GPS time!"
extern const char kPcClockFailedText[];  // "PC clock could not be set!"

// Sets the PC clock through the seam; status receives the status-bar text of
// the outcome. True when the clock was set.
bool SetPcClockToGpsTime(double timeOfWeek, int32_t week, bool utcBase, int utcOffset,
                         CString& status);
