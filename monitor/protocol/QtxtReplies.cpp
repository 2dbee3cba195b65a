// The QTXT report decoders. Reports are read by character position, in place:
// every field is checked to lie inside the sentence before it is read, and
// numbers are fixed-width digit groups read here, whatever the locale. A
// report stores only what it holds whole; a short or garbled one leaves the
// model as it was.
#include "protocol/QtxtSentence.h"

#include <cstring>

#include "model/CModel.h"
#include "model/ReportSlots.h"
#include "protocol/HexDigits.h"

namespace {

const double kDegToRad = 0.017453292519943295;
const double kMphToMps = 0.447047252894631;
const double kFeetToMetres = 0.3048;
const double kMpsToKnots = 3600.0 / 1852.0;
const double kNoFixTime = -1.0;
const float kNoSignalLevel = -1.0f;
const double kNoDop = -1.0;

enum : int32_t { kSecondsPerDay = 86400, kSecondsPerHour = 3600, kSecondsPerMinute = 60 };
enum : uint16_t { kWeekUnknown = 30000 };
enum : uint8_t { kDayUnknown = 254 };


// The data-age character of a fresh fix; anything else is stale data.
const char kAgeFresh = '2';

// The fields of one sentence by character position (0 is the ">"). Only the
// body counts: the closing "<" and a ";*" hh checksum tail belong to no
// field, so a field running into them or past the bytes delivered is missing.
class QtxtFields {
public:
    QtxtFields(const BYTE* sentence, int length) : m_s(sentence), m_end(BodyEnd(sentence, length)) {}

    bool Char(int pos, char& c) const
    {
        if (pos < 0 || pos >= m_end) return false;
        c = static_cast<char>(m_s[pos]);
        return true;
    }

    // width decimal digits; any other character makes the field missing.
    bool Unsigned(int pos, int width, int64_t& value) const
    {
        if (pos < 0 || width <= 0 || width > kMaxDigits || width > m_end - pos) return false;
        int64_t v = 0;
        for (int i = 0; i < width; ++i) {
            const BYTE c = m_s[pos + i];
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
        }
        value = v;
        return true;
    }

    // A sign character ("+" or "-") at pos, then width digits.
    bool Signed(int pos, int width, int64_t& value) const
    {
        char sign;
        int64_t v;
        if (!Char(pos, sign) || (sign != '+' && sign != '-') || !Unsigned(pos + 1, width, v)) return false;
        value = sign == '-' ? -v : v;
        return true;
    }

    // width hex digits, in either case.
    bool Hex(int pos, int width, int& value) const
    {
        if (pos < 0 || width <= 0 || width > 2 || width > m_end - pos) return false;
        int v = 0;
        for (int i = 0; i < width; ++i) {
            const int d = HexDigitValue(m_s[pos + i]);
            if (d < 0) return false;
            v = v * 16 + d;
        }
        value = v;
        return true;
    }

    // Position of text at or after from, or -1.
    int Find(const char* text, int from) const
    {
        const int n = static_cast<int>(std::strlen(text));
        for (int p = from < 0 ? 0 : from; p + n <= m_end; ++p) {
            if (std::memcmp(m_s + p, text, static_cast<size_t>(n)) == 0) return p;
        }
        return -1;
    }

    int End() const { return m_end; }

private:
    enum : int { kMaxDigits = 10 };

    static int BodyEnd(const BYTE* s, int length)
    {
        if (s == nullptr || length <= 0) return 0;
        int end = length;
        if (s[end - 1] == '<') --end;
        if (end > 4 && s[end - 4] == ';' && s[end - 3] == '*') end -= 4;
        return end;
    }

    const BYTE* m_s;
    int m_end;
};

NavState CurrentNav(CModel* model)
{
    NavState nav;
    std::memset(&nav, 0, sizeof nav);
    model->GetNavState(nav);
    return nav;
}

double FixTime(int64_t timeOfDay)
{
    return timeOfDay == 0 ? kNoFixTime : static_cast<double>(timeOfDay);
}

// A fresh fix; the source character "0" or "2" marks a 2-D one.
void SetFix(NavState& nav, int64_t timeOfDay, char source)
{
    nav.fixValid = 1;
    nav.timeOfFix = FixTime(timeOfDay);
    if (source == '0' || source == '2')
        nav.fixFlags = static_cast<uint8_t>(nav.fixFlags | NAV_FIX_2D);
    else
        nav.fixFlags = static_cast<uint8_t>(nav.fixFlags & ~NAV_FIX_2D);
}

// QTXT reports speed and heading, not a vector: the velocity slots carry
// speed (m/s) and heading (radians), beside the fields the views read.
void SetSpeedAndHeading(NavState& nav, double speedMps, double headingRadians)
{
    nav.velEast = speedMps;
    nav.velNorth = headingRadians;
    nav.groundSpeedKnots = speedMps * kMpsToKnots;
    nav.heading = headingRadians;
}

// A report without speed and heading marks them, as it marks its position.
void MarkSpeedAndHeading(NavState& nav, double marker)
{
    nav.velEast = marker;
    nav.velNorth = marker;
    nav.groundSpeedKnots = marker;
    nav.heading = marker;
}

double Degrees(int64_t value, double scale)
{
    return static_cast<double>(value) / scale * kDegToRad;
}

double TenthsMph(int64_t value)
{
    return static_cast<double>(value) / 10.0 * kMphToMps;
}

void StorePosition(CModel* model, const NavState& nav, const char* label)
{
    model->UpdateNavState(nav, NAV_KIND_LLA, nullptr);
    model->SetReportText(SLOT_POSITION, label);
}

void StoreVelocity(CModel* model, const NavState& nav, const char* label)
{
    model->UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
    model->SetReportText(SLOT_VELOCITY, label);
}

// The time of day of a position report, unless a TM report gives the full
// time.
void StoreTimeOfDay(CModel* model, int64_t timeOfDay, const char* label)
{
    if (model->GetReportFlag(FLAG_TM)) return;
    if (SetQtxtTimeOfDay(static_cast<int32_t>(timeOfDay), model)) model->SetReportText(SLOT_TIME, label);
}

// ---- Position reports ------------------------------------------------------------

enum : int { kLnSatelliteLimit = MODEL_CHANNEL_COUNT };
// Satellites 33..64 of the report are the augmentation satellites 120..151.
enum : int { kSbasFirst = 33, kSbasLast = 64, kSbasOffset = 87 };

struct LongNav {
    int64_t latitude, longitude, altitude;  // 1e-7 degrees; 1e-2 feet
    int64_t speed, verticalSpeed, heading;  // tenths of mph and degrees
    int64_t count;
    int64_t svs[kLnSatelliteLimit];
    char source, age;
};

// Every field of LN; the satellite list runs to the count the report gives,
// of which the first kLnSatelliteLimit are kept.
bool ReadLongNav(const QtxtFields& f, LongNav& ln)
{
    if (!f.Signed(12, 9, ln.latitude) || !f.Signed(22, 10, ln.longitude) || !f.Signed(33, 8, ln.altitude) ||
        !f.Unsigned(42, 4, ln.speed) || !f.Signed(46, 4, ln.verticalSpeed) || !f.Unsigned(51, 4, ln.heading) ||
        !f.Unsigned(55, 2, ln.count))
        return false;
    const int n = static_cast<int>(ln.count);
    if (!f.Char(67 + 4 * n, ln.source) || !f.Char(68 + 4 * n, ln.age)) return false;
    for (int k = 0; k < n && k < kLnSatelliteLimit; ++k) {
        if (!f.Unsigned(57 + 4 * k, 2, ln.svs[k])) return false;
    }
    return true;
}

void StoreLongNavSatellites(CModel* model, const LongNav& ln)
{
    SignalLevelTable table;
    std::memset(&table, 0, sizeof table);
    int count = static_cast<int>(ln.count);
    if (count > kLnSatelliteLimit) count = kLnSatelliteLimit;
    for (int k = 0; k < count; ++k) {
        int64_t sv = ln.svs[k];
        if (sv >= kSbasFirst && sv <= kSbasLast) sv += kSbasOffset;
        table.entries[k].sv = static_cast<uint8_t>(sv);
        table.entries[k].signalLevel = kNoSignalLevel;
    }
    table.count = static_cast<uint8_t>(count);
    model->SetSignalLevels(table);
    model->SetReportText(SLOT_TRACKING, "LN");
}

void ParseQtxtLongNavReply(const QtxtFields& f, CModel* model)
{
    int64_t timeOfDay;
    if (!f.Unsigned(4, 5, timeOfDay)) return;
    model->SetReportFlag(FLAG_LN, true);
    LongNav ln;
    if (ReadLongNav(f, ln) && ln.age == kAgeFresh) {
        NavState nav = CurrentNav(model);
        SetFix(nav, timeOfDay, ln.source);
        nav.latitude = Degrees(ln.latitude, 1e7);
        nav.longitude = Degrees(ln.longitude, 1e7);
        nav.height = static_cast<double>(ln.altitude) / 100.0 * kFeetToMetres;
        StorePosition(model, nav, "LN");
        SetSpeedAndHeading(nav, TenthsMph(ln.speed), Degrees(ln.heading, 10.0));
        nav.velUp = TenthsMph(ln.verticalSpeed);
        StoreVelocity(model, nav, "LN");
        StoreLongNavSatellites(model, ln);
    }
    StoreTimeOfDay(model, timeOfDay, "LN");
}

void ParseQtxtPositionVelocityReply(const QtxtFields& f, CModel* model)
{
    int64_t timeOfDay;
    if (!f.Unsigned(4, 5, timeOfDay)) return;
    const bool lnSeen = model->GetReportFlag(FLAG_LN);
    model->SetReportFlag(FLAG_PV, true);
    if (lnSeen) return;  // LN carries all of this and more
    int64_t latitude, longitude, speed, heading;
    char source, age;
    if (f.Signed(9, 7, latitude) && f.Signed(17, 8, longitude) && f.Unsigned(26, 3, speed) &&
        f.Unsigned(29, 3, heading) && f.Char(32, source) && f.Char(33, age) && age == kAgeFresh) {
        // Altitude and vertical speed come from AL when the receiver sends it.
        const double altitudeMarker = model->GetReportFlag(FLAG_AL) ? kValueFromOtherReport : kValueUnknown;
        NavState nav = CurrentNav(model);
        SetFix(nav, timeOfDay, source);
        nav.latitude = Degrees(latitude, 1e5);
        nav.longitude = Degrees(longitude, 1e5);
        nav.height = altitudeMarker;
        StorePosition(model, nav, "PV");
        SetSpeedAndHeading(nav, static_cast<double>(speed) * kMphToMps, Degrees(heading, 1.0));
        nav.velUp = altitudeMarker;
        StoreVelocity(model, nav, "PV");
    }
    StoreTimeOfDay(model, timeOfDay, "PV");
}

void ParseQtxtCompactPositionReply(const QtxtFields& f, CModel* model)
{
    int64_t timeOfDay;
    if (!f.Unsigned(4, 5, timeOfDay)) return;
    const bool betterSeen = model->GetReportFlag(FLAG_LN) || model->GetReportFlag(FLAG_PV);
    model->SetReportFlag(FLAG_CP, true);
    if (betterSeen) return;
    int64_t latitude, longitude;
    char source, age;
    if (f.Signed(9, 6, latitude) && f.Signed(16, 7, longitude) && f.Char(24, source) && f.Char(25, age) &&
        age == kAgeFresh) {
        NavState nav = CurrentNav(model);
        SetFix(nav, timeOfDay, source);
        nav.latitude = Degrees(latitude, 1e4);
        nav.longitude = Degrees(longitude, 1e4);
        nav.height = model->GetReportFlag(FLAG_AL) ? kValueFromOtherReport : kValueUnknown;
        StorePosition(model, nav, "CP");
    }
    StoreTimeOfDay(model, timeOfDay, "CP");
}

void ParseQtxtAltitudeReply(const QtxtFields& f, CModel* model)
{
    int64_t timeOfDay;
    if (!f.Unsigned(4, 5, timeOfDay)) return;
    const bool lnSeen = model->GetReportFlag(FLAG_LN);
    model->SetReportFlag(FLAG_AL, true);
    if (lnSeen) return;
    int64_t altitude, verticalSpeed;
    char source, age;
    if (f.Signed(9, 5, altitude) && f.Signed(15, 3, verticalSpeed) && f.Char(19, source) && f.Char(20, age) &&
        age == kAgeFresh) {
        // Latitude, longitude, speed and heading come from CP or PV.
        const bool horizontalSeen = model->GetReportFlag(FLAG_CP) || model->GetReportFlag(FLAG_PV);
        const double marker = horizontalSeen ? kValueFromOtherReport : kValueUnknown;
        NavState nav = CurrentNav(model);
        SetFix(nav, timeOfDay, source);
        nav.latitude = marker;
        nav.longitude = marker;
        nav.height = static_cast<double>(altitude);
        StorePosition(model, nav, "AL");
        MarkSpeedAndHeading(nav, marker);
        nav.velUp = static_cast<double>(verticalSpeed) * kMphToMps;
        StoreVelocity(model, nav, "AL");
    }
    StoreTimeOfDay(model, timeOfDay, "AL");
}

// ---- Time and status -------------------------------------------------------------

enum : int { kMillisecondsPerSecond = 1000, kHalfSecondMs = 500 };
enum : uint8_t { kHealthManualMode = 10 };
enum : uint8_t { kFixMode2d = 3, kFixMode3d = 4, kFixModeNone = 0 };

void ParseQtxtTimeReply(const QtxtFields& f, CModel* model)
{
    int64_t hour, minute, second, ms, day, month, year, offset, satellites;
    char fix;
    if (!f.Unsigned(4, 2, hour) || !f.Unsigned(6, 2, minute) || !f.Unsigned(8, 2, second) ||
        !f.Unsigned(10, 3, ms) || !f.Unsigned(13, 2, day) || !f.Unsigned(15, 2, month) ||
        !f.Unsigned(17, 4, year) || !f.Unsigned(21, 2, offset) || !f.Char(23, fix) ||
        !f.Unsigned(24, 2, satellites))
        return;
    model->SetReportFlag(FLAG_TM, true);

    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    model->GetTimeInfo(time);
    time.hour = static_cast<uint8_t>(hour);
    time.minute = static_cast<uint8_t>(minute);
    // The milliseconds round the second to the nearest whole one, but never
    // up into the next minute: the carry would have to run through the
    // minute, hour and date, and "12:34:60" is no time at all.
    int64_t rounded = (second * kMillisecondsPerSecond + ms + kHalfSecondMs) / kMillisecondsPerSecond;
    if (rounded > second && rounded >= kSecondsPerMinute) rounded = second;
    time.second = static_cast<uint8_t>(rounded);
    time.day = static_cast<uint8_t>(day);
    time.month = static_cast<uint8_t>(month);
    time.year = static_cast<uint16_t>(year);
    time.utcOffset = static_cast<uint8_t>(offset);
    time.source = year > 2000 ? TIME_SOURCE_UTC_CALENDAR : 0;
    model->SetTimeInfo(time, false, 0);
    model->SetReportText(SLOT_TIME, "TM");

    FixModeRecord mode;
    std::memset(&mode, 0, sizeof mode);
    model->GetFixModeAndDops(mode);
    mode.fixMode = fix == '0' ? kFixMode2d : fix == '1' ? kFixMode3d : kFixModeNone;
    mode.svCount = static_cast<uint8_t>(satellites);
    mode.manualMode = model->GetHealthStatus() == kHealthManualMode ? 1 : 0;
    model->SetFixModeAndDops(mode, true);
    model->SetReportText(SLOT_FIX_MODE, "TM");

    // The report gives no DOPs: any older ones no longer belong to this fix.
    const DopRecord dops = {kNoDop, kNoDop, kNoDop, kNoDop};
    model->SetDops(dops);
    model->SetReportText(SLOT_DOPS, "");
}

// The receiver's status codes and the health codes the views show for them.
struct StatusHealth {
    int status;
    uint32_t health;
};
const StatusHealth kStatusHealth[] = {
    {0x00, 1}, {0x01, 2}, {0x02, 3}, {0x03, 4}, {0x08, 5},  {0x09, 6},
    {0x0A, 7}, {0x0B, 8}, {0x0C, 11}, {0x10, 9}, {0xBB, 10},
};

uint32_t HealthOfStatus(int status)
{
    for (const StatusHealth& s : kStatusHealth)
        if (s.status == status) return s.health;
    return 0;
}

// The antenna digit: 2 open, 6 shorted; the event detail says which.
int32_t AntennaDetail(int digit)
{
    if (digit == 2) return 2;
    if (digit == 6) return 1;
    return 0;
}

enum : uint32_t { kBitClear = 1, kBitSet = 2 };

void ParseQtxtStatusReply(const QtxtFields& f, CModel* model)
{
    int status, antenna, errors, flags;
    if (!f.Hex(4, 2, status) || !f.Hex(6, 1, antenna) || !f.Hex(7, 1, errors) || !f.Hex(11, 1, flags)) return;
    model->SetHealthStatus(HealthOfStatus(status));
    model->SetReportText(SLOT_HEALTH, "ST");
    model->Notify(EV_ANTENNA_STATUS, AntennaDetail(antenna), IsSentEvent(EV_ANTENNA_STATUS));
    model->SetReportText(SLOT_ANTENNA, "ST");
    model->SetHealthErrorBits(errors != 0 ? kBitSet : kBitClear);
    model->SetReportText(SLOT_HEALTH_ERRORS, "ST");
    model->SetMachineId((flags & 0x08) != 0 ? kBitSet : kBitClear);
    model->SetReportText(SLOT_MACHINE_ID, "ST");
    model->SetStatusCode((flags & 0x02) != 0 ? kBitSet : kBitClear);
    model->SetReportText(SLOT_STATUS_CODE, "ST");
}

// ---- Identification and configuration ----------------------------------------------

enum : int { kVersionNameStart = 5 };
enum : uint16_t { kProductZenthos = 1002, kProductVelcore = 2002 };
// The reply names two version numbers; the record marks the third unknown.
enum : int16_t { kVersionBuildNone = -1 };

bool ContainsNoCase(const char* text, const char* lowerNeedle)
{
    const size_t n = std::strlen(lowerNeedle);
    for (const char* t = text; *t != '\0'; ++t) {
        size_t i = 0;
        while (i < n && t[i] != '\0') {
            char c = t[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != lowerNeedle[i]) break;
            ++i;
        }
        if (i == n) return true;
    }
    return false;
}

// A two-digit number that is not there reads as 0: the version and date are
// optional parts of the reply, the name is not.
uint8_t TwoDigits(const QtxtFields& f, int pos)
{
    int64_t v = 0;
    return f.Unsigned(pos, 2, v) ? static_cast<uint8_t>(v) : 0;
}

void ParseQtxtVersionReply(const QtxtFields& f, CModel* model)
{
    int nameEnd = f.Find(";", kVersionNameStart);
    if (nameEnd < 0) nameEnd = f.End();
    if (nameEnd <= kVersionNameStart) return;

    FirmwareVersionRecord firmware;
    std::memset(&firmware, 0, sizeof firmware);
    int n = 0;
    char c;
    for (int p = kVersionNameStart; p < nameEnd && n < MODEL_NAME_LENGTH - 1 && f.Char(p, c); ++p)
        firmware.name[n++] = c;
    firmware.name[n] = '\0';
    firmware.build = kVersionBuildNone;
    int from = nameEnd;
    const int version = f.Find("VERSION", nameEnd);
    if (version >= 0) {
        firmware.major = TwoDigits(f, version + 8);
        firmware.minor = TwoDigits(f, version + 11);
        from = version;
    }
    const int date = f.Find(" (", from);
    if (date >= 0) {
        firmware.month = TwoDigits(f, date + 2);
        firmware.day = TwoDigits(f, date + 5);
        firmware.year = TwoDigits(f, date + 8);
    }
    // One version answers for the whole receiver: no second record stays.
    model->ClearData(13);
    model->IdentifyReceiver(firmware, 0);
    model->SetReportText(SLOT_FIRMWARE, "VR");

    ProductRecord product;
    std::memset(&product, 0, sizeof product);
    model->GetProductInfo(product);
    CopyRecordText(product.name, firmware.name);
    if (ContainsNoCase(firmware.name, "zenthos"))
        product.code = kProductZenthos;
    else if (ContainsNoCase(firmware.name, "velcore"))
        product.code = kProductVelcore;
    model->SetProductInfo(product);
    model->SetReportText(SLOT_PRODUCT, "VR");
}

struct BaudOfCode {
    int64_t code;
    uint32_t baud;
};
const BaudOfCode kBaudOfCode[] = {
    {1152, 115200}, {1200, 1200}, {1920, 19200}, {2400, 2400}, {3840, 38400}, {4800, 4800}, {5760, 57600},
};
const uint32_t kBaudOtherCode = 9600;

uint32_t BaudOf(int64_t code)
{
    for (const BaudOfCode& b : kBaudOfCode)
        if (b.code == code) return b.baud;
    return kBaudOtherCode;
}

void ParseQtxtPortReply(const QtxtFields& f, CModel* model)
{
    int64_t code;
    char dataBits, stopBits, parity;
    if (!f.Unsigned(4, 4, code) || !f.Char(9, dataBits) || !f.Char(11, stopBits) || !f.Char(13, parity)) return;
    PortConfigRecord port;
    std::memset(&port, 0, sizeof port);
    model->GetPortConfig(port);
    port.baud = BaudOf(code);
    port.dataBits = dataBits == '7' ? 7 : 8;
    port.stopBits = stopBits == '2' ? 2 : 0;
    port.parity = parity == 'E' ? 2 : parity == 'O' ? 1 : 0;
    model->SetPortConfig(port);
    model->SetReportText(SLOT_PORT, "PT");
}

void ParseQtxtProtocolReply(const QtxtFields& f, CModel* model)
{
    // QTXT, QBIN and NMEA letters, in the order of their mask bits.
    static const int kLetterPositions[] = {10, 18, 26};
    char letters[3];
    for (int i = 0; i < 3; ++i)
        if (!f.Char(kLetterPositions[i], letters[i])) return;
    PortConfigRecord port;
    std::memset(&port, 0, sizeof port);
    model->GetPortConfig(port);
    port.inputMask = 0;
    port.outputMask = 0;
    for (int i = 0; i < 3; ++i) {
        const uint8_t bit = static_cast<uint8_t>(1u << i);
        if (letters[i] == 'I' || letters[i] == 'T') port.inputMask = static_cast<uint8_t>(port.inputMask | bit);
        if (letters[i] == 'O' || letters[i] == 'T') port.outputMask = static_cast<uint8_t>(port.outputMask | bit);
    }
    model->SetPortConfig(port);
}

QtxtConfigRecord CurrentQtxtConfig(CModel* model)
{
    QtxtConfigRecord config;
    std::memset(&config, 0, sizeof config);
    model->GetQtxtConfig(config);
    return config;
}

void ParseQtxtVehicleIdReply(const QtxtFields& f, CModel* model)
{
    char id[4];
    for (int i = 0; i < 4; ++i)
        if (!f.Char(4 + i, id[i])) return;
    QtxtConfigRecord config = CurrentQtxtConfig(model);
    std::memcpy(config.vehicleId, id, sizeof id);
    config.vehicleId[4] = '\0';
    model->SetQtxtConfig(config, EV_QTXT_ID);
    model->SetReportText(SLOT_VEHICLE_ID, "ID");
}

void ParseQtxtReportingReply(const QtxtFields& f, CModel* model)
{
    // ID, CS, EC, FR and CR flags, each "xx_FLAG=" and its letter.
    static const int kFlagPositions[] = {13, 23, 33, 43, 53};
    char letters[5];
    for (int i = 0; i < 5; ++i)
        if (!f.Char(kFlagPositions[i], letters[i])) return;
    QtxtConfigRecord config = CurrentQtxtConfig(model);
    uint32_t* const flags[5] = {&config.flagId, &config.flagCs, &config.flagEc, &config.flagFr, &config.flagCr};
    for (int i = 0; i < 5; ++i) *flags[i] = letters[i] == 'T' ? 1 : 0;
    model->SetQtxtConfig(config, EV_QTXT_REPORTING);
    model->SetReportText(SLOT_REPORTING, "RM");
}

// The answers to the reporting commands: four-digit values in the order the
// commands send them.
void ParseQtxtDistanceReply(const QtxtFields& f, CModel* model)
{
    int64_t interval, epoch, distance, maxInterval;
    if (!f.Unsigned(4, 4, interval) || !f.Unsigned(8, 4, epoch) || !f.Unsigned(12, 4, distance) ||
        !f.Unsigned(16, 4, maxInterval))
        return;
    QtxtConfigRecord config = CurrentQtxtConfig(model);
    config.interval = static_cast<uint16_t>(interval);
    config.epoch = static_cast<uint16_t>(epoch);
    config.distance = static_cast<uint16_t>(distance);
    config.maxInterval = static_cast<uint16_t>(maxInterval);
    model->SetQtxtConfig(config, EV_QTXT_D_REPORT);
}

void ParseQtxtFrequencyReply(const QtxtFields& f, CModel* model)
{
    int64_t interval, epoch;
    if (!f.Unsigned(4, 4, interval) || !f.Unsigned(8, 4, epoch)) return;
    QtxtConfigRecord config = CurrentQtxtConfig(model);
    config.interval = static_cast<uint16_t>(interval);
    config.epoch = static_cast<uint16_t>(epoch);
    model->SetQtxtConfig(config, EV_QTXT_F_REPORT);
}

// ---- Dispatch --------------------------------------------------------------------

typedef void (*QtxtReplyParser)(const QtxtFields& f, CModel* model);

// Reports by the letters after the "R"; a one-letter name matches any third
// character.
struct QtxtReplyRow {
    char name[3];
    QtxtReplyParser parse;
};
const QtxtReplyRow kQtxtReplies[] = {
    {"AL", &ParseQtxtAltitudeReply},      {"C", &ParseQtxtCompactPositionReply},
    {"ID", &ParseQtxtVehicleIdReply},     {"L", &ParseQtxtLongNavReply},
    {"PR", &ParseQtxtProtocolReply},      {"PT", &ParseQtxtPortReply},
    {"PV", &ParseQtxtPositionVelocityReply}, {"R", &ParseQtxtReportingReply},
    {"S", &ParseQtxtStatusReply},         {"T", &ParseQtxtTimeReply},
    {"V", &ParseQtxtVersionReply},
};

}  // namespace

bool SetQtxtTimeOfDay(int32_t secondsOfDay, CModel* model)
{
    if (model == nullptr || secondsOfDay < 0 || secondsOfDay >= kSecondsPerDay) return false;
    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    model->GetTimeInfo(time);
    // The receiver counts GPS time; shortly after midnight UTC the GPS time
    // of day minus the offset belongs to the day before.
    int32_t s = secondsOfDay - time.utcOffset;
    if (s < 0) s += kSecondsPerDay;
    time.timeOfWeek = kTimeOfWeekUnknown;
    time.week = kWeekUnknown;
    time.day = kDayUnknown;
    time.month = kDayUnknown;
    time.year = TIME_YEAR_NONE;
    time.source = TIME_SOURCE_UTC_CALENDAR;
    time.hour = static_cast<uint8_t>(s / kSecondsPerHour);
    time.minute = static_cast<uint8_t>(s % kSecondsPerHour / kSecondsPerMinute);
    time.second = static_cast<uint8_t>(s % kSecondsPerMinute);
    model->SetTimeInfo(time, false, 0);
    return true;
}

void DispatchQtxtSentence(const BYTE* sentence, int length, CModel* model)
{
    if (sentence == nullptr || model == nullptr) return;
    const QtxtFields f(sentence, length);
    char kind, first, second = '\0';
    if (!f.Char(1, kind)) return;
    if (kind == 'D') return ParseQtxtDistanceReply(f, model);
    if (kind == 'F') return ParseQtxtFrequencyReply(f, model);
    if (!f.Char(2, first)) return;
    f.Char(3, second);
    for (const QtxtReplyRow& row : kQtxtReplies) {
        if (row.name[0] == first && (row.name[1] == '\0' || row.name[1] == second)) return row.parse(f, model);
    }
}
