// The standard GPS sentences: ZDA, GGA, GSA, GSV, RMC, GLL and VTG.
#include "protocol/NmeaDecoders.h"

#include <cstring>

#include "model/CModel.h"
#include "protocol/NmeaDecodersShared.h"

using namespace nmea;

namespace {

const char kZda[] = "ZDA";
const char kGga[] = "GGA";
const char kGsa[] = "GSA";
const char kGsv[] = "GSV";
const char kRmc[] = "RMC";
const char kGll[] = "GLL";
const char kVtg[] = "VTG";

// GGA fix quality 2: a differential fix.
enum : int32_t { GGA_QUALITY_DIFFERENTIAL = 2 };
// GSA modes.
enum : int32_t { GSA_MODE_2D = 2, GSA_MODE_3D = 3 };
// Fix modes of the fix-mode record.
enum : uint8_t { FIX_MODE_NONE = 0, FIX_MODE_2D = 3, FIX_MODE_3D = 4 };
// Satellites in a GSA (fields 3..14) and in one GSV message.
enum : int { GSA_FIRST_SV_FIELD = 3, GSA_SV_FIELDS = 12, GSV_SVS_PER_MESSAGE = 4, GSV_MAX_MESSAGES = 4,
             GSV_STORED_MESSAGES = 3 };
// GSV entries carry no status: the second status byte says "none".
enum : uint8_t { GSV_STATUS_NONE = 0xFE };
// RMC dates give two year digits; below this they are 20yy, from it 19yy.
enum : int { RMC_CENTURY_PIVOT = 80 };
enum : int { ZDA_MAX_YEAR = 9999, MAX_DAY = 31, MAX_MONTH = 12 };
// Bit 5 of the NMEA output mask: the receiver sends ZDA.
enum : uint32_t { NMEA_OUTPUT_ZDA = 0x20 };

uint8_t DgpsModeOf(int32_t quality)
{
    return quality == GGA_QUALITY_DIFFERENTIAL ? DGPS_MODE_DIFFERENTIAL : DGPS_MODE_NONE;
}

uint8_t ClampSvCount(int32_t count)
{
    if (count < 0) return 0;
    return static_cast<uint8_t>(count > MODEL_SV_COUNT ? MODEL_SV_COUNT : count);
}

// A satellite number of a satellite field, or 0 for an empty field or one
// that names no satellite a record can hold.
uint8_t SatelliteField(const NmeaFields& f, int n)
{
    int32_t number = 0;
    if (!f.Int(n, number) || number < 1) return 0;
    const int mapped = MapSatelliteNumber(number);
    return mapped > 0xFF ? 0 : static_cast<uint8_t>(mapped);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "ddmmyy": day, month and the year of the two digits.
bool ReadRmcDate(const NmeaFields& f, int n, int& day, int& month, int& year)
{
    const NmeaField field = f.Field(n);
    enum : int { kDateDigits = 6 };
    if (field.length < kDateDigits) return false;
    for (int i = 0; i < kDateDigits; ++i) {
        if (!IsDigit(field.text[i])) return false;
    }
    day = (field.text[0] - '0') * 10 + (field.text[1] - '0');
    month = (field.text[2] - '0') * 10 + (field.text[3] - '0');
    const int yy = (field.text[4] - '0') * 10 + (field.text[5] - '0');
    if (day < 1 || day > MAX_DAY || month < 1 || month > MAX_MONTH) return false;
    year = yy < RMC_CENTURY_PIVOT ? 2000 + yy : 1900 + yy;
    return true;
}

}  // namespace

// ---- ZDA ------------------------------------------------------------------------

void DecodeNmeaZda(const NmeaFields& f, CModel* model)
{
    model->SetReportFlag(FLAG_ZDA, true);
    TimeOfDay time;
    int32_t day = 0, month = 0, year = 0;
    if (!ReadTimeOfDay(f, 1, time) || !f.Int(2, day) || !f.Int(3, month) || !f.Int(4, year)) return;
    if (day < 0 || day > MAX_DAY || month < 0 || month > MAX_MONTH || year < 0 || year > ZDA_MAX_YEAR) return;
    GpsTimeInfo record;
    model->GetTimeInfo(record);
    record.hour = static_cast<uint8_t>(time.hour);
    record.minute = static_cast<uint8_t>(time.minute);
    record.second = static_cast<uint8_t>(time.second);
    record.day = static_cast<uint8_t>(day);
    record.month = static_cast<uint8_t>(month);
    record.year = static_cast<uint16_t>(year);
    // A receiver without a date yet sends year 0 (or its epoch): the calendar
    // fields are then no UTC date to convert.
    record.source = year > 2000 ? TIME_SOURCE_UTC_CALENDAR : 0;
    // Listeners learn from the detail whether the receiver was told to send ZDA.
    NmeaOutputConfig output;
    model->GetNmeaOutputConfig(output);
    const int32_t zdaConfigured = (output.mask & NMEA_OUTPUT_ZDA) != 0 ? 1 : 0;
    model->SetReportText(SLOT_TIME, kZda);
    model->SetTimeInfo(record, false, zdaConfigured);
}

// ---- GGA ------------------------------------------------------------------------

void DecodeNmeaGga(const NmeaFields& f, CModel* model)
{
    int32_t quality = 0;
    const bool hasQuality = f.Int(6, quality);
    if (model->GetReportFlag(FLAG_TF)) {
        // The maker's health reply gives the better fix; GGA only adds
        // whether it is differential.
        if (hasQuality) model->SetDgpsMode(DgpsModeOf(quality));
        return;
    }
    model->SetReportFlag(FLAG_GGA, true);
    if (!hasQuality || quality == 0) return;

    // A fix without a position is no fix this decoder can believe.
    double latitude, longitude;
    if (!ReadLatitude(f, 2, latitude) || !ReadLongitude(f, 4, longitude)) return;

    TimeOfDay time;
    const bool hasTime = ReadTimeOfDay(f, 1, time);
    double fixTime = kNoFixTime;
    GpsTimeInfo modelTime;
    bool weekKnown = false;
    if (hasTime && time.seconds != 0.0 && !model->GetReportFlag(FLAG_ZDA) && !model->GetReportFlag(FLAG_RMC)) {
        // The only time there is: its date is unknown, and so are the days
        // of the fix time.
        StoreTimeOfDayOnly(model, time, kGga);
        fixTime = time.seconds;
    } else if (hasTime) {
        model->GetTimeInfo(modelTime);
        fixTime = FixTimeOfDay(modelTime, time);
        weekKnown = HasTimeOfWeek(modelTime);
    }

    double hdop = kDopUnknown;
    const bool hasHdop = f.Double(8, hdop);
    NavState nav;
    model->GetNavState(nav);
    nav.fixValid = 1;
    nav.latitude = latitude;
    nav.longitude = longitude;
    double separation = 0.0;
    f.Double(11, separation);
    double altitude = 0.0;
    nav.height = f.Double(9, altitude) ? altitude + separation : kValueUnknown;
    nav.geoidSeparation = separation;
    int32_t used = 0;
    nav.svCount = f.Int(7, used) ? ClampSvCount(used) : 0;
    nav.timeOfFix = fixTime;
    if (weekKnown) nav.week = modelTime.week;
    if (quality == GGA_QUALITY_DIFFERENTIAL)
        nav.fixFlags |= NAV_FIX_DIFFERENTIAL;
    else
        nav.fixFlags &= static_cast<uint8_t>(~NAV_FIX_DIFFERENTIAL);
    nav.ggaHdop = hasHdop ? hdop : kDopUnknown;
    model->SetReportText(SLOT_HEALTH, kGga);
    model->SetHealthStatus(HEALTH_DOING_FIXES);
    model->SetDgpsMode(DgpsModeOf(quality));
    model->SetReportText(SLOT_POSITION, kGga);
    model->UpdateNavState(nav, NAV_KIND_LLA, nullptr);
    if (hasHdop) {
        DopRecord dops;
        model->GetFixSvList(dops);
        dops.hdop = hdop;
        model->SetDops(dops);
    }
}

// ---- GSA ------------------------------------------------------------------------

namespace {

uint32_t GsaHealth(CModel* model, const FixModeRecord& fix)
{
    if (fix.fixMode == FIX_MODE_2D || fix.fixMode == FIX_MODE_3D) return HEALTH_DOING_FIXES;
    if (fix.manualMode) return HEALTH_MANUAL_NO_FIX;
    if (fix.svCount >= 1 && fix.svCount <= 3) return HEALTH_ONE_USABLE_SV + fix.svCount - 1;
    GpsTimeInfo time;
    model->GetTimeInfo(time);
    return time.source == TIME_SOURCE_UTC_CALENDAR ? HEALTH_TIME_BUT_NO_FIX : HEALTH_NO_GPS_TIME;
}

}  // namespace

void DecodeNmeaGsa(const NmeaFields& f, CModel* model)
{
    model->SetReportFlag(FLAG_GSA, true);
    int32_t mode = 0;
    if (!f.Int(2, mode)) return;
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    fix.fixMode = mode == GSA_MODE_2D ? FIX_MODE_2D : mode == GSA_MODE_3D ? FIX_MODE_3D : FIX_MODE_NONE;
    fix.manualMode = f.Is(1, "M") ? 1 : 0;
    fix.extra = static_cast<uint16_t>(mode < 0 || mode > 0xFFFF ? 0 : mode);
    // Satellites in field order; empty fields (the list's unused tail) are
    // left out, so readers find the count of satellites at the front.
    for (int i = 0; i < GSA_SV_FIELDS; ++i) {
        const uint8_t sv = SatelliteField(f, GSA_FIRST_SV_FIELD + i);
        if (sv != 0) fix.svs[fix.svCount++] = sv;
    }

    NavState nav;
    model->GetNavState(nav);
    if (mode == GSA_MODE_2D) nav.fixFlags |= NAV_FIX_2D;
    if (mode == GSA_MODE_3D) nav.fixFlags &= static_cast<uint8_t>(~NAV_FIX_2D);
    std::memset(nav.svs, 0, sizeof nav.svs);
    std::memcpy(nav.svs, fix.svs, fix.svCount);
    nav.svCount = fix.svCount;
    model->UpdateNavState(nav, NAV_KIND_SVS_ONLY, nullptr);

    model->SetReportText(SLOT_FIX_MODE, kGsa);
    model->SetFixModeAndDops(fix, true);

    DopRecord dops;
    const bool hasPdop = f.Double(15, dops.pdop);
    const bool hasHdop = f.Double(16, dops.hdop);
    const bool hasVdop = f.Double(17, dops.vdop);
    if (hasPdop || hasHdop || hasVdop) {
        if (!hasPdop) dops.pdop = kDopUnknown;
        if (!hasHdop) dops.hdop = kDopUnknown;
        if (!hasVdop) dops.vdop = kDopUnknown;
        dops.tdop = kDopUnknown;
        model->SetReportText(SLOT_DOPS, kGsa);
        model->SetDops(dops);
    }

    model->SetReportText(SLOT_HEALTH, kGsa);
    model->SetHealthStatus(GsaHealth(model, fix));
}

// ---- GSV ------------------------------------------------------------------------

void DecodeNmeaGsv(const NmeaFields& f, CModel* model)
{
    int32_t messages = 0, message = 0;
    if (!f.Int(1, messages) || messages < 1 || messages > GSV_MAX_MESSAGES) return;
    // The table has 12 entries: a fourth message has no place.
    if (!f.Int(2, message) || message < 1 || message > GSV_STORED_MESSAGES) return;
    TrackingTable table;
    model->GetTrackingTable(table);
    int32_t inView = 0;
    if (f.Int(3, inView) && inView >= 0) table.head = static_cast<uint32_t>(inView);
    bool labelled = false;
    for (int k = 0; k < GSV_SVS_PER_MESSAGE; ++k) {
        const int first = 4 + 4 * k;
        const uint8_t sv = SatelliteField(f, first);
        if (sv == 0) continue;
        const int channel = (message - 1) * GSV_SVS_PER_MESSAGE + k;
        TrackingEntry& e = table.entries[channel];
        double elevation = 0.0, azimuth = 0.0, snr = 0.0;
        const bool hasElevation = f.Double(first + 1, elevation);
        const bool hasAzimuth = f.Double(first + 2, azimuth);
        // A satellite in view but not tracked has no SNR.
        if (!f.Double(first + 3, snr)) snr = 0.0;
        e.sv = sv;
        // -1 in both angles is what the views show as "not known".
        e.elevation = ToFloat(hasElevation ? elevation * kDegreesToRadians : -1.0);
        e.azimuth = ToFloat(hasAzimuth ? azimuth * kDegreesToRadians : -1.0);
        e.signalLevel = ToFloat(snr);
        e.status2 = GSV_STATUS_NONE;
        if (!labelled) {
            model->SetReportText(SLOT_TRACKING, kGsv);
            labelled = true;
        }
        model->SetTrackingTable(table, channel);
    }
    if (model->GetReportFlag(FLAG_GSA)) return;
    // Without GSA nothing says which satellites the fix uses.
    FixModeRecord fix;
    model->GetFixModeAndDops(fix);
    fix.svCount = 0;
    std::memset(fix.svs, 0, sizeof fix.svs);
    model->SetFixModeAndDops(fix, true);
}

// ---- RMC ------------------------------------------------------------------------

void DecodeNmeaRmc(const NmeaFields& f, CModel* model)
{
    model->SetReportFlag(FLAG_RMC, true);
    if (f.Is(2, "V")) return;  // the receiver's warning: no valid fix
    TimeOfDay time;
    const bool hasTime = ReadTimeOfDay(f, 1, time);
    GpsTimeInfo modelTime;
    model->GetTimeInfo(modelTime);
    if (hasTime && time.seconds != 0.0 && !model->GetReportFlag(FLAG_ZDA)) {
        int day = kUnknownDayOrMonth, month = kUnknownDayOrMonth, year = TIME_YEAR_NONE;
        ReadRmcDate(f, 9, day, month, year);
        // Without a date the stored week and seconds of week stay as they were.
        GpsTimeInfo record = modelTime;
        record.hour = static_cast<uint8_t>(time.hour);
        record.minute = static_cast<uint8_t>(time.minute);
        record.second = static_cast<uint8_t>(time.second);
        record.day = static_cast<uint8_t>(day);
        record.month = static_cast<uint8_t>(month);
        record.year = static_cast<uint16_t>(year);
        record.source = TIME_SOURCE_UTC_CALENDAR;
        model->SetReportText(SLOT_TIME, kRmc);
        model->SetTimeInfo(record, false, 0);
        // The fix time takes its days from the week the date gave.
        model->GetTimeInfo(modelTime);
    }

    const bool tfSeen = model->GetReportFlag(FLAG_TF);
    double latitude = 0.0, longitude = 0.0;
    const bool position = !tfSeen && !model->GetReportFlag(FLAG_GGA) && ReadLatitude(f, 3, latitude) &&
                          ReadLongitude(f, 5, longitude);
    double course = 0.0;
    const bool velocity = !tfSeen && !model->GetReportFlag(FLAG_VTG) && f.Double(8, course);
    if (!position && !velocity) return;

    NavState nav;
    model->GetNavState(nav);
    if (position) {
        nav.fixValid = 1;
        nav.latitude = latitude;
        nav.longitude = longitude;
        nav.height = kValueUnknown;
        nav.timeOfFix = hasTime ? FixTimeOfDay(modelTime, time) : kNoFixTime;
        if (hasTime && HasTimeOfWeek(modelTime)) nav.week = modelTime.week;
        model->SetReportText(SLOT_HEALTH, kRmc);
        model->SetHealthStatus(HEALTH_DOING_FIXES);
    }
    if (velocity) {
        double knots = 0.0;
        if (f.Double(7, knots))
            SetGroundVelocity(nav, knots * kKnotsToMps, knots, course * kDegreesToRadians);
        else
            SetGroundVelocity(nav, kValueUnknown, kValueUnknown, course * kDegreesToRadians);
    }
    // Position and velocity are two events for the listeners, of one record.
    if (position) {
        model->SetReportText(SLOT_POSITION, kRmc);
        model->UpdateNavState(nav, NAV_KIND_LLA, nullptr);
    }
    if (velocity) {
        model->SetReportText(SLOT_VELOCITY, kRmc);
        model->UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
    }
}

// ---- GLL ------------------------------------------------------------------------

void DecodeNmeaGll(const NmeaFields& f, CModel* model)
{
    if (f.Is(6, "V")) return;
    const bool rmcSeen = model->GetReportFlag(FLAG_RMC);
    const bool ggaSeen = model->GetReportFlag(FLAG_GGA);
    const bool tfSeen = model->GetReportFlag(FLAG_TF);
    TimeOfDay time;
    const bool hasTime = ReadTimeOfDay(f, 5, time);
    bool timeStored = false;
    if (hasTime && time.seconds != 0.0 && !rmcSeen && !ggaSeen && !tfSeen && !model->GetReportFlag(FLAG_ZDA)) {
        StoreTimeOfDayOnly(model, time, kGll);
        timeStored = true;
    }
    double latitude, longitude;
    if (ggaSeen || tfSeen || rmcSeen || !ReadLatitude(f, 1, latitude) || !ReadLongitude(f, 3, longitude)) return;
    NavState nav;
    model->GetNavState(nav);
    nav.fixValid = 1;
    nav.latitude = latitude;
    nav.longitude = longitude;
    nav.height = kValueUnknown;
    // The fix time counts from the start of the week, as GGA's does.
    if (!hasTime) {
        nav.timeOfFix = kNoFixTime;
    } else if (timeStored) {
        nav.timeOfFix = time.seconds;
    } else {
        GpsTimeInfo modelTime;
        model->GetTimeInfo(modelTime);
        nav.timeOfFix = FixTimeOfDay(modelTime, time);
        if (HasTimeOfWeek(modelTime)) nav.week = modelTime.week;
    }
    model->SetReportText(SLOT_HEALTH, kGll);
    model->SetHealthStatus(HEALTH_DOING_FIXES);
    model->SetReportText(SLOT_POSITION, kGll);
    model->UpdateNavState(nav, NAV_KIND_LLA, nullptr);
}

// ---- VTG ------------------------------------------------------------------------

void DecodeNmeaVtg(const NmeaFields& f, CModel* model)
{
    model->SetReportFlag(FLAG_VTG, true);
    // Mode "N": the receiver says the data is not valid.
    if (model->GetReportFlag(FLAG_TF) || f.Is(9, "N")) return;
    double course = 0.0;
    if (!f.Double(1, course)) return;
    NavState nav;
    model->GetNavState(nav);
    if (!nav.fixValid) return;  // a course without a fix to belong to
    double knots = 0.0, kmh = 0.0;
    const bool hasKnots = f.Double(5, knots);
    const bool hasKmh = f.Double(7, kmh);
    double speed = kValueUnknown;
    if (hasKmh)
        speed = kmh * kKmhToMps;
    else if (hasKnots)
        speed = knots * kKnotsToMps;
    if (!hasKnots) knots = hasKmh ? speed / kKnotsToMps : kValueUnknown;
    SetGroundVelocity(nav, speed, knots, course * kDegreesToRadians);
    model->SetReportText(SLOT_VELOCITY, kVtg);
    model->UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
}
