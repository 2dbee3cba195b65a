#include "data/ConverterWriters.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "model/CModel.h"
#include "model/Geodesy.h"
#include "model/NumberFormat.h"
#include "model/ReportSlots.h"
#include "protocol/QtxtSentence.h"

void OutputLine::Append(const char* format, ...)
{
    if (m_length + 1 >= kCapacity) return;
    va_list args;
    va_start(args, format);
    const int n = FormatTextV(m_text + m_length, kCapacity - m_length, format, args);
    va_end(args);
    if (n < 0) {
        m_text[m_length] = '\0';
        return;
    }
    const size_t room = kCapacity - 1 - m_length;
    m_length += static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
}

void OutputLine::AppendDecimal(int64_t value, int width)
{
    // Most numbers of a line are clock and angle parts of one or two digits.
    const int64_t kTwoDigits = 100;
    const int64_t kTen = 10;
    if (value >= 0 && value < kTwoDigits && width <= 2 && m_length + 3 < kCapacity) {
        if (value >= kTen || width == 2) m_text[m_length++] = static_cast<char>('0' + value / kTen);
        m_text[m_length++] = static_cast<char>('0' + value % kTen);
        m_text[m_length] = '\0';
        return;
    }
    m_length += FormatDecimalText(m_text + m_length, kCapacity - 1 - m_length, value, width);
    m_text[m_length] = '\0';
}

void OutputLine::AppendFixed(double value, int precision, int width)
{
    m_length += FormatFixedText(m_text + m_length, kCapacity - 1 - m_length, value, precision, width);
    m_text[m_length] = '\0';
}

namespace {

// Fix times are seconds of the GPS week (time of day for NMEA logs); a time
// outside the week is no fix time a receiver gives.
const double kSecondsPerWeek = 604800.0;
const double kSecondsPerDay = 86400.0;
const int32_t kDaysPerWeek = 7;
const int64_t kCentisecondsPerDay = 8640000;
const int64_t kCentisecondsPerHour = 360000;
const int64_t kCentisecondsPerMinute = 6000;
const int64_t kCentisecondsPerSecond = 100;
const int32_t kSecondsPerHour = 3600;
const int32_t kSecondsPerMinute = 60;
// GGA angles: degrees and minutes with four decimals, as ten-thousandths of a minute.
const double kMinuteTenThousandthsPerDegree = 600000.0;
const int64_t kMinuteTenThousandths = 10000;
const double kMillisecondsPerSecond = 1000.0;
const double kKnotsToMetresPerSecond = 0.5144444444444445;
const double kRadiansToArcMinutes = 3437.7467707849314;

// WGS-84 in the local tangent plane at the reference latitude: the radii of
// curvature east (a^2 / sqrt(s2)) and north (a^2 b^2 / s2^1.5), with
// s2 = a^2 cos^2 + b^2 sin^2 = (a^2 - b^2) cos^2 + b^2.
const double kAxisSquaredDifference = 272331606107.5547;    // a^2 - b^2
const double kMinorAxisSquared = 40408299984661.445;        // b^2
const double kMajorAxisSquared = 40680631590769.0;          // a^2
const double kAxesSquaredProduct = 1.643835164885289e27;    // a^2 b^2

// A COLORREF is 0x00BBGGRR; its high byte (a picker's "automatic" flag) is
// no part of the colour.
const uint32_t kColourMask = 0xFFFFFF;

// What the model stores for values a report did not give (besides the
// shared markers): the tracking angles of a satellite in view without them,
// and the day and month of a date not known.
const float kAngleUnknown = -1.0f;
const uint8_t kDayOrMonthUnknown = 254;
const uint8_t kDgpsDifferential = 0x01;
const uint8_t kFixMode2D = 3;
const int32_t kDimension2D = 2;
const int32_t kDimension3D = 3;
const int32_t kGgaQualityNoFix = 0;
const int32_t kGgaQualityGps = 1;
const int32_t kGgaQualityDifferential = 2;
const uint32_t kAlmanacComplete = 1;

const char kNaText[] = "=na()";

// Decimals of the printed values.
const int kRadianDecimals = 9;       // binary rows' longitude and latitude
const int kDegreeDecimals = 6;       // NMEA rows' longitude and latitude
const int kThousandths = 3;          // velocities and their integrals, NMEA speeds and angles
const int kHundredths = 2;           // binary rows' times, distances, heights and DOPs
const int kTenths = 1;               // QBIN fix names, NMEA times, GGA and NMEA DOPs and heights
const int kKmlAngleDecimals = 8;     // "%05.8f"
const int kKmlAngleWidth = 5;
const int kKmlAltitudeWidth = 5;     // "%05.2f"
const int kKmlHeightDecimals = 6;    // "%f"
const int kGgaChecksumDigits = 2;

const char* const kBinaryColumns[] = {
    "Index", "Week", "TOW", "Day", "Time", "Lon-Rad", "Lat-Rad", "DEast-m", "DNorth-m", "Alt-m",
    "CB-m", "VelEast", "VelNorth", "VelVert", "CF", "IVE", "IVN", "IVU", "IVF", "Run", "Alm",
    "PDOP", "HDOP", "VPDOP", "Status", "BBErr", "NSVs", "Dim", "DGPS"};
const char* const kNmeaColumns[] = {
    "Index", "TimeOfDay(s)", "Longitude", "Latitude", "lon(deg)", "lat(deg)", "alt(m)", "msl(m)",
    "spd(m/s)", "heading(deg)", "ve(m/s)", "vn(m/s)", "GGAhdop", "pdop", "hdop", "vdop",
    "sGSAMode", "year", "month", "day", "numsvsinfix", "numused", "numsvsview", "gpsqual"};
const char* const kNmeaChannelColumns[] = {"svid", "azim", "elev", "sgnl", "used"};

// Field separators by code: 1 a blank, 2 a comma, any other a tab.
const char* Separator(int32_t code)
{
    if (code == 1) return " ";
    if (code == 2) return ",";
    return "\t";
}

// Truncation toward zero, range-checked: NaN, infinities and values beyond
// 32 bits give 0 (a plain conversion of them is undefined).
int32_t TruncateToInt(double value)
{
    if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;
    return static_cast<int32_t>(value);
}

int32_t RoundToInt(double value) { return TruncateToInt(std::floor(value + 0.5)); }

// A value the model holds as given by a report (not a marker, not garbage).
bool HasValue(double value)
{
    return std::isfinite(value) && value != kValueUnknown && value != kValueFromOtherReport;
}

bool IsValidFixTime(double t) { return std::isfinite(t) && t >= 0.0 && t <= kSecondsPerWeek; }

// A fix worth writing: a valid fix report with a time of the week and a
// position on the globe.
bool IsValidFix(const NavState& nav)
{
    return nav.fixValid == 1 && IsValidFixTime(nav.timeOfFix) &&
           IsValidPositionComponent(POSITION_LATITUDE, false, nav.latitude) &&
           IsValidPositionComponent(POSITION_LONGITUDE, false, nav.longitude);
}

// The new-fix rule of the CSV, KML and GGA outputs: a valid fix whose time
// differs from the last one written there; that time then becomes the last.
bool TakeNewFix(const NavState& nav, double& lastTime)
{
    if (!IsValidFix(nav) || nav.timeOfFix == lastTime) return false;
    lastTime = nav.timeOfFix;
    return true;
}

// The time of day of a time in seconds, rounded to hundredths first so that
// 3599.996 becomes 01:00:00.00 and not 00:59:60.00.
struct ClockTime {
    int32_t hours, minutes, seconds, hundredths;
};

ClockTime SplitTimeOfDay(double t)
{
    ClockTime c = {0, 0, 0, 0};
    const double kLargestSplit = 1.0e15;  // centiseconds stay exact in 64 bits
    if (!(std::fabs(t) < kLargestSplit)) return c;
    int64_t centis = std::llround(t * kCentisecondsPerSecond) % kCentisecondsPerDay;
    if (centis < 0) centis += kCentisecondsPerDay;
    c.hours = static_cast<int32_t>(centis / kCentisecondsPerHour);
    c.minutes = static_cast<int32_t>(centis % kCentisecondsPerHour / kCentisecondsPerMinute);
    c.seconds = static_cast<int32_t>(centis % kCentisecondsPerMinute / kCentisecondsPerSecond);
    c.hundredths = static_cast<int32_t>(centis % kCentisecondsPerSecond);
    return c;
}

// Two digits, zero-padded ("%02d" of 0..99).
void AppendTwoDigits(OutputLine& out, int32_t value)
{
    out.AppendDecimal(value, 2);
}

// "%02d%02d%05.2f" of the time of day, from the rounded parts.
void AppendGgaTime(OutputLine& out, double t)
{
    const ClockTime c = SplitTimeOfDay(t);
    AppendTwoDigits(out, c.hours);
    AppendTwoDigits(out, c.minutes);
    AppendTwoDigits(out, c.seconds);
    out.AppendChar('.');
    AppendTwoDigits(out, c.hundredths);
}

// "hh:mm:ss.ss" of the time of day, from the rounded parts.
void AppendColonTime(OutputLine& out, const char* sep, double t)
{
    const ClockTime c = SplitTimeOfDay(t);
    out.AppendText(sep);
    AppendTwoDigits(out, c.hours);
    out.AppendChar(':');
    AppendTwoDigits(out, c.minutes);
    out.AppendChar(':');
    AppendTwoDigits(out, c.seconds);
    out.AppendChar('.');
    AppendTwoDigits(out, c.hundredths);
}

// Degrees and minutes with four decimals ("%0Nd%07.4f"): rounded to a
// ten-thousandth of a minute first, so 10.99999933 degrees gives 1100.0000.
// The angle is a checked latitude or longitude.
void AppendDegreesMinutes(OutputLine& out, double radians, int degreeDigits)
{
    const double degrees = std::fabs(radians * kRadiansToDegrees);
    const int64_t total = std::llround(degrees * kMinuteTenThousandthsPerDegree);
    const int64_t perDegree = static_cast<int64_t>(kMinuteTenThousandthsPerDegree);
    const int32_t whole = static_cast<int32_t>(total / perDegree);
    const int64_t rest = total % perDegree;
    const int kDecimalDigits = 4;
    out.AppendDecimal(whole, degreeDigits);
    AppendTwoDigits(out, static_cast<int32_t>(rest / kMinuteTenThousandths));
    out.AppendChar('.');
    out.AppendDecimal(rest % kMinuteTenThousandths, kDecimalDigits);
    out.AppendChar(',');
}

// "d:mm:ss.hhX" with X the hemisphere letter, from RadiansToDms.
void AppendDms(OutputLine& out, const char* lead, double radians, char positive, char negative)
{
    int32_t degrees = 0, minutes = 0, seconds = 0, hundredths = 0;
    bool isNegative = false;
    RadiansToDms(radians, degrees, minutes, seconds, hundredths, isNegative);
    out.AppendText(lead);
    out.AppendDecimal(degrees);
    out.AppendChar(':');
    AppendTwoDigits(out, minutes);
    out.AppendChar(':');
    AppendTwoDigits(out, seconds);
    out.AppendChar('.');
    AppendTwoDigits(out, hundredths);
    out.AppendChar(isNegative ? negative : positive);
}

// ---- Spreadsheet fields ----------------------------------------------------

// A field that has no value: the na text when asked for, else nothing.
void AppendNa(OutputLine& out, const SpreadsheetState& state, int count)
{
    const char* sep = Separator(state.fieldSep);
    for (int i = 0; i < count; ++i) {
        out.AppendText(sep);
        if (state.na) out.AppendText(kNaText);
    }
}

// A real with `decimals` digits after the point ("%.*f").
void AppendReal(OutputLine& out, const SpreadsheetState& state, int decimals, double value)
{
    out.AppendText(Separator(state.fieldSep));
    out.AppendFixed(value, decimals);
}

// A real when the report gave one, else the na field.
void AppendKnownReal(OutputLine& out, const SpreadsheetState& state, int decimals, double value, bool known)
{
    if (known)
        AppendReal(out, state, decimals, value);
    else
        AppendNa(out, state, 1);
}

void AppendInt(OutputLine& out, const SpreadsheetState& state, int64_t value)
{
    out.AppendText(Separator(state.fieldSep));
    out.AppendDecimal(value);
}

// The local plane of the conversion: its origin is the first position,
// rounded down to whole arc-minutes, and the scales turn radians there into
// metres east and north.
void FixReference(SpreadsheetState& state, const NavState& nav)
{
    if (!state.firstPosition) return;
    state.firstPosition = false;
    state.latitude0 = std::floor(nav.latitude * kRadiansToArcMinutes) / kRadiansToArcMinutes;
    state.longitude0 = std::floor(nav.longitude * kRadiansToArcMinutes) / kRadiansToArcMinutes;
    const double c = std::cos(state.latitude0);
    const double s2 = c * c * kAxisSquaredDifference + kMinorAxisSquared;
    const double root = std::sqrt(s2);
    state.eastScale = c * kMajorAxisSquared / root;
    state.northScale = kAxesSquaredProduct / (root * s2);
}

double DeltaEast(const SpreadsheetState& state, const NavState& nav)
{
    return (nav.longitude - state.longitude0) * state.eastScale;
}

double DeltaNorth(const SpreadsheetState& state, const NavState& nav)
{
    return (nav.latitude - state.latitude0) * state.northScale;
}

void AppendPosition(OutputLine& out, SpreadsheetState& state, const NavState& nav)
{
    FixReference(state, nav);
    AppendReal(out, state, kRadianDecimals, nav.longitude);
    AppendReal(out, state, kRadianDecimals, nav.latitude);
    AppendReal(out, state, kHundredths, DeltaEast(state, nav));
    AppendReal(out, state, kHundredths, DeltaNorth(state, nav));
    AppendReal(out, state, kHundredths, nav.height);
    AppendReal(out, state, kHundredths, nav.clockBias);
}

// The velocities and their running integrals by the trapezoid rule; the
// integrals start at the position (and clock bias) of the first velocity.
void AppendVelocity(OutputLine& out, SpreadsheetState& state, const NavState& nav, double t)
{
    const double drift = nav.clockBiasRate;
    if (state.firstVelocity) {
        state.firstVelocity = false;
        FixReference(state, nav);
        state.integralEast = DeltaEast(state, nav);
        state.integralNorth = DeltaNorth(state, nav);
        state.integralUp = nav.height;
        state.integralDrift = nav.clockBias;
    } else {
        const double dt = t - state.previousVelocityTime;
        state.integralEast += dt * (nav.velEast + state.previousVelEast) / 2.0;
        state.integralNorth += dt * (nav.velNorth + state.previousVelNorth) / 2.0;
        state.integralUp += dt * (nav.velUp + state.previousVelUp) / 2.0;
        state.integralDrift += dt * (drift + state.previousDrift) / 2.0;
    }
    state.previousVelocityTime = t;
    state.previousVelEast = nav.velEast;
    state.previousVelNorth = nav.velNorth;
    state.previousVelUp = nav.velUp;
    state.previousDrift = drift;
    const double values[] = {nav.velEast, nav.velNorth, nav.velUp, drift,
                             state.integralEast, state.integralNorth, state.integralUp,
                             state.integralDrift};
    for (double v : values) AppendReal(out, state, kThousandths, v);
}

int FixSvCount(const FixModeRecord& fix)
{
    return fix.svCount < MODEL_FIX_SV_COUNT ? fix.svCount : static_cast<int>(MODEL_FIX_SV_COUNT);
}

// The binary row's time: the fix time, or with fill1Hz and no position the
// last row's time plus a second (the GPS time record's seconds for the first).
double BinaryRowTime(const SpreadsheetState& state, const NavState& nav, const GpsTimeInfo& time,
                     bool position)
{
    if (!state.fill1Hz || position) return nav.timeOfFix;
    if (state.lastRowTime != 0.0) return state.lastRowTime + 1.0;
    return time.timeOfWeek;
}

// Day of the week of a time of week.
int32_t DayOfWeek(double t)
{
    return TruncateToInt(std::fmod(t / kSecondsPerDay, static_cast<double>(kDaysPerWeek)));
}

void AppendFixModeColumns(OutputLine& out, const SpreadsheetState& state, CModel& model,
                          const FixModeRecord& fix)
{
    AppendInt(out, state, fix.svCount);
    AppendInt(out, state, fix.fixMode == kFixMode2D ? kDimension2D : kDimension3D);
    AppendInt(out, state, model.GetDgpsMode() & kDgpsDifferential);
    const int count = FixSvCount(fix);
    for (int i = 0; i < count; ++i) AppendInt(out, state, fix.svs[i]);
    AppendNa(out, state, MODEL_FIX_SV_COUNT - count);
}

}  // namespace

// ---- Map CSV ---------------------------------------------------------------

void FormatMapCsvHeader(OutputLine& out)
{
    out.Clear();
    out.AppendText("Longitude, Latitude, Name");
}

void FormatMapCsvPosition(const NavState& nav, double& lastCsvTime, ProtocolKind kind,
                          OutputLine& out)
{
    out.Clear();
    if (!TakeNewFix(nav, lastCsvTime)) return;
    AppendDms(out, "\r\n", nav.longitude, 'E', 'W');
    AppendDms(out, ", ", nav.latitude, 'N', 'S');
    out.AppendText(", ", 2);
    if (kind == PROTO_QBIN)
        out.AppendFixed(nav.timeOfFix, kTenths);
    else
        out.AppendFixed(nav.timeOfFix * kMillisecondsPerSecond, 0);
}

// ---- NMEA GGA --------------------------------------------------------------

void FormatGgaSentence(CModel& model, double& lastGgaTime, OutputLine& out)
{
    out.Clear();
    NavState nav;
    model.GetNavState(nav);
    if (!TakeNewFix(nav, lastGgaTime)) return;
    DopRecord dops;
    model.GetFixSvList(dops);
    const bool differential = (model.GetDgpsMode() & kDgpsDifferential) != 0;

    out.AppendText("$GPGGA,");
    AppendGgaTime(out, nav.timeOfFix);
    out.AppendText(",");
    AppendDegreesMinutes(out, nav.latitude, 2);
    out.AppendChar(nav.latitude > 0.0 ? 'N' : 'S');
    out.AppendChar(',');
    AppendDegreesMinutes(out, nav.longitude, 3);
    out.AppendChar(nav.longitude > 0.0 ? 'E' : 'W');
    out.AppendChar(',');
    out.AppendDecimal(differential ? kGgaQualityDifferential : kGgaQualityGps);
    out.AppendChar(',');
    out.AppendDecimal(nav.svCount, 2);
    out.AppendChar(',');
    // A DOP the receiver did not give (negative) and an altitude it did not
    // give stay empty: readers take a printed value for a measured one.
    if (std::isfinite(dops.hdop) && dops.hdop >= 0.0) out.AppendFixed(dops.hdop, kTenths);
    out.AppendText(",");
    if (HasValue(nav.height)) out.AppendFixed(nav.height, kTenths);
    out.AppendText(",M,");
    out.AppendText(",M,");
    out.AppendText(",*");
    const char* text = out.GetText();
    const size_t checked = out.GetLength() - 2;  // from after "$" up to "*"
    const BYTE sum = ComputeXorChecksum(reinterpret_cast<const BYTE*>(text + 1),
                                        static_cast<uint16_t>(checked));
    char hex[kGgaChecksumDigits];
    out.AppendText(hex, FormatHexText(hex, sizeof hex, sum, kGgaChecksumDigits));
    out.AppendText("\r\n", 2);
}

// ---- KML -------------------------------------------------------------------

void FormatKmlHeader(uint32_t dotColour, OutputLine& out)
{
    out.Clear();
    out.AppendText(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n"
        "<Folder>\r\n"
        "<name></name>\r\n"
        "<Document>\r\n"
        "<name>Details</name>\r\n"
        "<Style id=\"dot\">\r\n"
        "<IconStyle>  \r\n");
    out.Append("  <color>ff%06x</color>\r\n", static_cast<unsigned>(dotColour & kColourMask));
    out.AppendText(
        "<scale>0.5</scale>\r\n"
        "<Icon>\r\n"
        "      <href>http://maps.google.com/mapfiles/kml/pal4/icon31.png</href>\r\n"
        "      <x>32</x>\r\n"
        "      <y>128</y>\r\n"
        "      <w>32</w>      <h>32</h>\r\n"
        "</Icon>\r\n"
        "</IconStyle>\r\n"
        "<BalloonStyle>\r\n"
        "<text>&lt;b&gt; \r\n"
        "KML Data details\r\n"
        "&lt;/b&gt;&lt;br /&gt;$[description]</text>\r\n"
        "</BalloonStyle>\r\n"
        "</Style>  \r\n");
}

void FormatKmlPlacemark(const NavState& nav, double& lastKmlTime, uint32_t& pointCount,
                        OutputLine& out)
{
    out.Clear();
    if (!TakeNewFix(nav, lastKmlTime)) return;
    ++pointCount;
    const int32_t s = TruncateToInt(nav.timeOfFix) % static_cast<int32_t>(kSecondsPerDay);
    // Each angle is printed once, for the description and the coordinates.
    char latitude[kNumberTextRoom];
    char longitude[kNumberTextRoom];
    const size_t latitudeLength = FormatFixedText(latitude, sizeof latitude, nav.latitude * kRadiansToDegrees,
                                                  kKmlAngleDecimals, kKmlAngleWidth);
    const size_t longitudeLength = FormatFixedText(longitude, sizeof longitude, nav.longitude * kRadiansToDegrees,
                                                   kKmlAngleDecimals, kKmlAngleWidth);
    out.AppendText("<Placemark>\r\n <description> <![CDATA[Point no. #");
    out.AppendDecimal(pointCount);
    out.AppendText("\r\n <br></br>");
    AppendTwoDigits(out, s / kSecondsPerHour);
    out.AppendChar(':');
    AppendTwoDigits(out, s % kSecondsPerHour / kSecondsPerMinute);
    out.AppendChar(':');
    AppendTwoDigits(out, s % kSecondsPerMinute);
    out.AppendText("\r\n <br></br>lat ");
    out.AppendText(latitude, latitudeLength);
    out.AppendText("\r\n <br></br>lon ");
    out.AppendText(longitude, longitudeLength);
    out.AppendText("\r\n");
    // Without an altitude the point is written with two coordinates, which
    // KML allows, rather than with a marker value as a height.
    const bool hasAltitude = HasValue(nav.height);
    if (hasAltitude) {
        out.AppendText(" <br></br>alt ");
        out.AppendFixed(nav.height, kHundredths, kKmlAltitudeWidth);
    } else {
        out.AppendText(" <br></br>alt n/a");
    }
    out.AppendText("]]>\r\n </description>\r\n <styleUrl>#dot</styleUrl>\r\n <Point>\r\n");
    out.AppendText("  <coordinates>");
    out.AppendText(longitude, longitudeLength);
    out.AppendChar(',');
    out.AppendText(latitude, latitudeLength);
    if (hasAltitude) {
        out.AppendChar(',');
        out.AppendFixed(nav.height, kKmlHeightDecimals);
    }
    out.AppendText("</coordinates>\r\n");
    out.AppendText(" </Point>\r\n</Placemark>\r\n");
}

void FormatKmlFooter(OutputLine& out)
{
    out.Clear();
    out.AppendText("\r\n</Document>\r\n</Folder>\r\n</kml>\r\n");
}

// ---- Spreadsheets ----------------------------------------------------------

void FormatSpreadsheetHeader(int32_t columnSet, int32_t fieldSep, OutputLine& out)
{
    out.Clear();
    const char* sep = Separator(fieldSep);
    const bool nmea = columnSet == SPREADSHEET_SET_NMEA;
    const char* const* names = nmea ? kNmeaColumns : kBinaryColumns;
    const size_t count = nmea ? sizeof kNmeaColumns / sizeof kNmeaColumns[0]
                              : sizeof kBinaryColumns / sizeof kBinaryColumns[0];
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) out.AppendText(sep);
        out.AppendText(names[i]);
    }
    for (int n = 1; n <= MODEL_CHANNEL_COUNT; ++n) {
        if (!nmea) {
            out.Append("%sSV%02d", sep, n);
            continue;
        }
        for (const char* name : kNmeaChannelColumns) out.Append("%s%s%02d", sep, name, n);
    }
}

void FormatSpreadsheetRow(CModel& model, SpreadsheetState& state, OutputLine& out)
{
    out.Clear();
    NavState nav;
    model.GetNavState(nav);
    uint32_t activity = model.GetActivityFlags();
    const bool valid = IsValidFix(nav);
    if (!state.fill1Hz) {
        const bool newTime = state.firstVelocity || nav.timeOfFix != state.previousVelocityTime;
        if (!valid || !newTime || (activity & ACT_POSITION) == 0) {
            model.SetActivityFlag(0, false);
            return;
        }
    } else if (!valid) {
        activity &= ~static_cast<uint32_t>(ACT_POSITION | ACT_VELOCITY | ACT_FIX_REPORT);
    }
    const bool position = (activity & ACT_POSITION) != 0;
    const bool fixMode = (activity & ACT_FIX_MODE) != 0;
    GpsTimeInfo time;
    model.GetTimeInfo(time);
    const double t = BinaryRowTime(state, nav, time, position);
    const unsigned week = (activity & ACT_FIX_REPORT) != 0 ? nav.week : time.week;
    const char* sep = Separator(state.fieldSep);

    out.AppendText("\r\n", 2);
    out.AppendDecimal(state.rowIndex);
    out.AppendText(sep);
    out.AppendDecimal(week);
    out.AppendText(sep);
    out.AppendFixed(t, kHundredths);
    out.AppendText(sep);
    out.AppendDecimal(DayOfWeek(t));
    AppendColonTime(out, sep, t);
    if (position)
        AppendPosition(out, state, nav);
    else
        AppendNa(out, state, 6);
    if ((activity & ACT_VELOCITY) != 0)
        AppendVelocity(out, state, nav, t);
    else
        AppendNa(out, state, 8);
    AppendInt(out, state, state.runCounter);
    AppendInt(out, state, model.GetMachineId() == kAlmanacComplete ? 1 : 0);
    DopRecord dops;
    model.GetFixSvList(dops);
    if (fixMode) {
        AppendReal(out, state, kHundredths, dops.pdop);
        AppendReal(out, state, kHundredths, dops.hdop);
        AppendReal(out, state, kHundredths, dops.vdop);
    } else {
        AppendNa(out, state, 3);
    }
    AppendInt(out, state, model.GetStatusCode());
    AppendInt(out, state, model.GetHealthErrorBits());
    if (fixMode) {
        FixModeRecord fix;
        model.GetFixModeAndDops(fix);
        AppendFixModeColumns(out, state, model, fix);
    } else {
        AppendNa(out, state, 3 + MODEL_FIX_SV_COUNT);
    }

    state.lastRowTime = t;
    if (position) ++state.rowIndex;
    model.SetActivityFlag(0, false);
}

namespace {

void AppendNmeaVelocity(OutputLine& out, const SpreadsheetState& state, const NavState& nav)
{
    const bool hasSpeed = HasValue(nav.groundSpeedKnots);
    const bool hasHeading = HasValue(nav.heading);
    const double speed = nav.groundSpeedKnots * kKnotsToMetresPerSecond;
    AppendKnownReal(out, state, kThousandths, speed, hasSpeed);
    AppendKnownReal(out, state, kThousandths, nav.heading * kRadiansToDegrees, hasHeading);
    AppendKnownReal(out, state, kThousandths, std::sin(nav.heading) * speed, hasSpeed && hasHeading);
    AppendKnownReal(out, state, kThousandths, std::cos(nav.heading) * speed, hasSpeed && hasHeading);
}

bool IsUsedInFix(const FixModeRecord& fix, uint8_t sv)
{
    if (sv == 0) return false;
    const int count = FixSvCount(fix);
    for (int i = 0; i < count; ++i) {
        if (fix.svs[i] == sv) return true;
    }
    return false;
}

// An angle of the tracking table (radians) as whole degrees: rounded, since
// sentences give whole degrees that the float in radians only nearly keeps.
void AppendTrackingAngle(OutputLine& out, const SpreadsheetState& state, float radians)
{
    if (radians == kAngleUnknown || !std::isfinite(radians)) {
        AppendNa(out, state, 1);
        return;
    }
    AppendInt(out, state, RoundToInt(radians * kRadiansToDegrees));
}

void AppendTrackingChannels(OutputLine& out, const SpreadsheetState& state, const TrackingTable& table,
                            const FixModeRecord& fix)
{
    for (const TrackingEntry& e : table.entries) {
        AppendInt(out, state, e.sv);
        AppendTrackingAngle(out, state, e.azimuth);
        AppendTrackingAngle(out, state, e.elevation);
        AppendInt(out, state, TruncateToInt(e.signalLevel));
        AppendInt(out, state, IsUsedInFix(fix, e.sv) ? 1 : 0);
    }
}

}  // namespace

void FormatNmeaSpreadsheetRow(CModel& model, SpreadsheetState& state, OutputLine& out)
{
    out.Clear();
    NavState nav;
    model.GetPreviousNavState(nav);
    if (nav.timeOfFix == -1.0) {
        model.SetActivityFlag(0, false);
        return;
    }
    const uint32_t activity = model.GetActivityFlags();
    const char* sep = Separator(state.fieldSep);
    out.AppendChar('\n');
    out.AppendDecimal(state.rowIndex);
    out.AppendText(sep);
    out.AppendFixed(nav.timeOfFix, kTenths);
    AppendDms(out, sep, nav.longitude, 'E', 'W');
    AppendDms(out, sep, nav.latitude, 'N', 'S');
    AppendReal(out, state, kDegreeDecimals, nav.longitude * kRadiansToDegrees);
    AppendReal(out, state, kDegreeDecimals, nav.latitude * kRadiansToDegrees);
    const bool hasAltitude = HasValue(nav.height);
    AppendKnownReal(out, state, kTenths, nav.height, hasAltitude);
    AppendKnownReal(out, state, kTenths, nav.height - nav.geoidSeparation, hasAltitude);
    AppendNmeaVelocity(out, state, nav);

    DopRecord dops;
    model.GetFixSvList(dops);
    const double dopValues[] = {nav.ggaHdop, dops.pdop, dops.hdop, dops.vdop};
    for (double v : dopValues) AppendReal(out, state, kTenths, v);

    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    GpsTimeInfo time;
    model.GetTimeInfo(time);
    TrackingTable table;
    model.GetTrackingTable(table);
    const int32_t quality = nav.fixValid != 1 ? kGgaQualityNoFix
                            : (model.GetDgpsMode() & kDgpsDifferential) != 0 ? kGgaQualityDifferential
                                                                             : kGgaQualityGps;
    const int64_t counts[] = {fix.extra,
                              time.year == TIME_YEAR_NONE ? 0 : time.year,
                              time.month == kDayOrMonthUnknown ? 0 : time.month,
                              time.day == kDayOrMonthUnknown ? 0 : time.day,
                              fix.svCount,
                              nav.svCount,
                              table.head,
                              quality};
    for (int64_t v : counts) AppendInt(out, state, v);
    AppendTrackingChannels(out, state, table, fix);

    if ((activity & ACT_POSITION) != 0) ++state.rowIndex;
    model.SetActivityFlag(0, false);
}
