// The decoders of the single QBIN reports (all but the 0x8F and 0x5F
// families). Each reads its fields through the bounded reader, stores into
// the model only when every field it needs was present, and builds its
// translation text when a conversion asks for one.
#include "protocol/QbinReportDecoders.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "framework/CString.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "model/Geodesy.h"
#include "model/GpsTime.h"
#include "protocol/QbinComposer.h"

namespace {

const double kRadToDeg = 57.295779513082320876798154814105;
const double kSecondsPerWeek = 604800.0;

// The report's fields, with the short names the decoders below use.
class Fields : public QbinFields {
public:
    explicit Fields(const QbinReportContext& ctx) : QbinFields(ctx.data, ctx.length) {}
    float F(int o) { return Float(o); }
    double D(int o) { return Double(o); }
};

// A wire float turned into a whole number only when it is finite and inside
// [low, high]; anything else (NaN, infinities, out of range) is "no value".
bool FloatToWhole(float value, double low, double high, uint32_t& out)
{
    if (!std::isfinite(value)) return false;
    const double v = value;
    if (v < low || v > high) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

bool Translating(const QbinReportContext& ctx) { return ctx.converter != nullptr; }

// A time of week as the translation lines show it, built in place.
struct TimeOfWeekText {
    explicit TimeOfWeekText(double secondsOfWeek) { FormatGpsTimeOfWeek(text, sizeof text, secondsOfWeek); }
    char text[GPS_TIME_OF_WEEK_TEXT_ROOM];
};

void Label(QbinReportContext& ctx, int slot, const char* text) { ctx.model->SetReportText(slot, text); }

NavState CurrentNav(CModel* model)
{
    NavState nav;
    std::memset(&nav, 0, sizeof nav);
    model->GetNavState(nav);
    return nav;
}

bool ContainsNoCase(const char* haystack, const char* needle)
{
    const size_t n = std::strlen(needle);
    for (const char* h = haystack; *h != '\0'; ++h) {
        size_t i = 0;
        while (i < n && h[i] != '\0' &&
               std::tolower(static_cast<unsigned char>(h[i])) ==
                   std::tolower(static_cast<unsigned char>(needle[i])))
            ++i;
        if (i == n) return true;
    }
    return false;
}

// ---- Identification --------------------------------------------------------

// One component entry of 0x1C-82 at offset: major, minor, build, month, day,
// year (16-bit), name length, name. Returns the offset after it, or -1 when
// its numbers or its name run past the data.
int ReadComponent(Fields& f, int offset, FirmwareVersionRecord& rec)
{
    std::memset(&rec, 0, sizeof rec);
    if (!f.Has(offset, 8)) return -1;
    rec.major = f.U8(offset);
    rec.minor = f.U8(offset + 1);
    rec.build = f.U8(offset + 2);
    rec.month = f.U8(offset + 3);
    rec.day = f.U8(offset + 4);
    rec.year = f.U16(offset + 5);
    const int nameLength = f.U8(offset + 7);
    if (!f.Has(offset + 8, nameLength)) return -1;
    f.Text(offset + 8, nameLength, rec.name, MODEL_NAME_LENGTH);
    return offset + 8 + nameLength;
}

bool Decode1C(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t sub = f.U8(0);
    if (sub == 0x82) {
        FirmwareVersionRecord first;
        int offset = ReadComponent(f, 2, first);
        if (offset < 0) return true;  // the first component is the report: none, nothing stored
        int count = f.U8(1);
        if (count > MODEL_COMPONENT_COUNT) count = MODEL_COMPONENT_COUNT;
        Label(ctx, 13, "0x1C");
        ctx.model->IdentifyReceiver(first, 0);
        if (Translating(ctx))
            AppendQbinText(ctx.text, "\r\nFirmware version: %s %u.%u build %u, %02u/%02u/%04u",
                           first.name, first.major, first.minor, static_cast<unsigned>(first.build),
                           first.month, first.day, first.year);
        for (int i = 1; i < count; ++i) {
            FirmwareVersionRecord rec;
            offset = ReadComponent(f, offset, rec);
            if (offset < 0) break;
            // Names come in the receiver's own capitalisation.
            if (ContainsNoCase(rec.name, "Murrow") || ContainsNoCase(rec.name, "Tandrel lib"))
                ctx.model->IdentifyReceiver(rec, 1);
            if (Translating(ctx))
                AppendQbinText(ctx.text, "\r\n   Component: %s %u.%u build %u, %02u/%02u/%04u",
                               rec.name, rec.major, rec.minor, static_cast<unsigned>(rec.build),
                               rec.month, rec.day, rec.year);
        }
        return true;
    }
    if (sub == 0x83) {
        ProductRecord rec;
        std::memset(&rec, 0, sizeof rec);
        rec.serialNumber = f.U32(1);
        rec.buildDay = f.U8(5);
        rec.buildMonth = f.U8(6);
        rec.buildYear = f.U16(7);
        rec.buildHour = f.U8(9);
        rec.code = f.U16(10);
        const int textLength = f.U8(12);
        // A text longer than the data left is a broken report, not a short name.
        if (!f.Ok() || !f.Has(13, textLength)) return true;
        f.Text(13, textLength, rec.name, MODEL_NAME_LENGTH);
        Label(ctx, 14, "0x1C");
        ctx.model->SetProductInfo(rec);
        if (Translating(ctx))
            AppendQbinText(ctx.text,
                           "\r\nHW Version Information:\r\n   Serial #:   %ld\r\n   Build Date: "
                           "%02d/%02d/%04d %02d hr\r\n   HW Code:    %d\r\n   HW ID: %s",
                           static_cast<long>(rec.serialNumber), rec.buildMonth, rec.buildDay,
                           rec.buildYear, rec.buildHour, rec.code, rec.name);
        return true;
    }
    return false;
}

bool Decode45(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t v[10] = {f.U8(0), f.U8(1), f.U8(2), f.U8(3), f.U8(4),
                           f.U8(5), f.U8(6), f.U8(7), f.U8(8), f.U8(9)};
    if (!f.Ok()) return true;
    static const char* const kNames[2] = {"GPS Receiver", "GPS Core"};
    for (int which = 0; which < 2; ++which) {
        FirmwareVersionRecord rec;
        std::memset(&rec, 0, sizeof rec);
        ctx.model->GetFirmwareVersion(rec, which);
        const uint8_t* p = v + 5 * which;
        // Fields a fuller version report already gave are kept.
        if (rec.major == 0) rec.major = p[0];
        if (rec.minor == 0) rec.minor = p[1];
        if (rec.month == 0) rec.month = p[2];
        if (rec.day == 0) rec.day = p[3];
        if (rec.year == 0) rec.year = p[4];
        if (rec.name[0] == '\0') CopyRecordText(rec.name, kNames[which]);
        if (which == 0 && rec.build == -1) Label(ctx, 13, "0x45");
        ctx.model->IdentifyReceiver(rec, which);
        if (Translating(ctx))
            AppendQbinText(ctx.text, "\r\n%s version %u.%u, %02u/%02u/%02u", kNames[which], p[0],
                           p[1], p[2], p[3], p[4]);
    }
    return true;
}

// ---- Time and navigation -------------------------------------------------

bool Decode41(QbinReportContext& ctx)
{
    Fields f(ctx);
    const float tow = f.F(0);
    const uint16_t week = f.U16(4);
    const float offset = f.F(6);
    if (!f.Ok()) return true;
    GpsTimeInfo rec;
    std::memset(&rec, 0, sizeof rec);
    ctx.model->GetTimeInfo(rec);
    uint32_t seconds = 0;
    // A time of week outside the week (or no number at all) is "no time",
    // stored like the receiver's own negative value.
    if (FloatToWhole(tow, 0.0, kSecondsPerWeek, seconds)) {
        rec.timeOfWeek = seconds;
        rec.week = week;
        uint32_t utc = 0;
        rec.utcOffset = FloatToWhole(offset, 0.0, 255.0, utc) ? static_cast<uint8_t>(utc) : 0;
        rec.source = TIME_SOURCE_UTC_CALENDAR;
    } else {
        rec.timeOfWeek = 0;
        rec.week = 0;
        rec.utcOffset = 0;
        rec.source = 0;
    }
    Label(ctx, 4, "0x41");
    ctx.model->SetTimeInfo(rec, true, 0);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nGPS Time:%s, week %u, GPS-UTC offset %g s",
                       TimeOfWeekText(tow).text, week, static_cast<double>(offset));
    return true;
}

bool Decode42(QbinReportContext& ctx)
{
    Fields f(ctx);
    const float x = f.F(0), y = f.F(4), z = f.F(8), t = f.F(12);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    nav.x = x;
    nav.y = y;
    nav.z = z;
    nav.timeOfFix = t;
    nav.week = ctx.model->GetGpsWeek();
    nav.fixValid = 1;
    EcefToLla(nav.x, nav.y, nav.z, nav.latitude, nav.longitude, nav.height);
    Label(ctx, 2, "0x42");
    ctx.model->UpdateNavState(nav, NAV_KIND_XYZ_SINGLE, ctx.converter);
    return true;
}

bool Decode43(QbinReportContext& ctx)
{
    Fields f(ctx);
    const float vx = f.F(0), vy = f.F(4), vz = f.F(8), rate = f.F(12), t = f.F(16);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    nav.velX = vx;
    nav.velY = vy;
    nav.velZ = vz;
    nav.clockBiasRate = rate;
    nav.timeOfFix = t;
    nav.week = ctx.model->GetGpsWeek();
    Label(ctx, 3, "0x43");
    Label(ctx, 12, "0x43");
    ctx.model->UpdateNavState(nav, NAV_KIND_VEL_XYZ, ctx.converter);
    return true;
}

bool Decode4A(QbinReportContext& ctx)
{
    Fields f(ctx);
    if (ctx.length == 9) {
        const float value = f.F(0);
        const uint8_t flag = f.U8(8);
        if (!f.Ok()) return true;
        ctx.model->SetReferenceAltitude(value, flag);
        return true;
    }
    if (ctx.length != 20) return true;
    const float lat = f.F(0), lon = f.F(4), h = f.F(8), bias = f.F(12), t = f.F(16);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    nav.latitude = lat;
    nav.longitude = lon;
    nav.height = h;
    nav.clockBias = bias;
    nav.timeOfFix = t;
    nav.week = ctx.model->GetGpsWeek();
    nav.fixValid = bias != 0.0f ? 1 : 0;
    Label(ctx, 2, "0x4A");
    ctx.model->UpdateNavState(nav, NAV_KIND_LLA_SINGLE, ctx.converter);
    return true;
}

bool Decode54(QbinReportContext& ctx)
{
    Fields f(ctx);
    const float bias = f.F(0), rate = f.F(4);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    nav.clockBias = bias;
    nav.clockBiasRate = rate;
    Label(ctx, 12, "0x54");
    ctx.model->UpdateNavState(nav, NAV_KIND_CLOCK, ctx.converter);
    return true;
}

bool Decode56(QbinReportContext& ctx)
{
    Fields f(ctx);
    const float e = f.F(0), n = f.F(4), u = f.F(8), rate = f.F(12), t = f.F(16);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    nav.velEast = e;
    nav.velNorth = n;
    nav.velUp = u;
    nav.clockBiasRate = rate;
    nav.timeOfFix = t;
    nav.week = ctx.model->GetGpsWeek();
    Label(ctx, 3, "0x56");
    Label(ctx, 12, "0x56");
    ctx.model->UpdateNavState(nav, NAV_KIND_VEL_ENU, ctx.converter);
    return true;
}

bool Decode83And84(QbinReportContext& ctx)
{
    Fields f(ctx);
    const double a = f.D(0), b = f.D(8), c = f.D(16), bias = f.D(24);
    const float t = f.F(32);
    if (!f.Ok()) return true;
    NavState nav = CurrentNav(ctx.model);
    if (ctx.id == 0x83) {
        nav.x = a;
        nav.y = b;
        nav.z = c;
        EcefToLla(a, b, c, nav.latitude, nav.longitude, nav.height);
    } else {
        nav.latitude = a;
        nav.longitude = b;
        nav.height = c;
    }
    nav.clockBias = bias;
    nav.timeOfFix = t;
    nav.week = ctx.model->GetGpsWeek();
    nav.fixValid = bias != 0.0 ? 1 : 0;
    Label(ctx, 2, ctx.id == 0x83 ? "0x83" : "0x84");
    ctx.model->UpdateNavState(nav, ctx.id == 0x83 ? NAV_KIND_XYZ_DOUBLE : NAV_KIND_LLA_DOUBLE,
                              ctx.converter);
    return true;
}

bool Decode6D(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t mode = f.U8(0);
    const float pdop = f.F(1), hdop = f.F(5), vdop = f.F(9), tdop = f.F(13);
    int count = mode >> 4;
    if (count > MODEL_FIX_SV_COUNT) count = MODEL_FIX_SV_COUNT;
    // A count the data cannot hold is a broken report.
    if (!f.Ok() || !f.Has(17, count)) return true;
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    ctx.model->GetFixModeAndDops(fix);
    fix.fixMode = mode & 0x07;
    fix.manualMode = (mode >> 3) & 1;
    fix.svCount = static_cast<uint8_t>(count);
    std::memset(fix.svs, 0, sizeof fix.svs);
    for (int i = 0; i < count; ++i) fix.svs[i] = f.U8(17 + i);
    DopRecord dops{hdop, vdop, tdop, pdop};
    Label(ctx, 6, "0x6D");
    Label(ctx, 8, "0x6D");
    ctx.model->SetFixModeAndDops(fix, true);
    ctx.model->SetDops(dops);
    NavState nav = CurrentNav(ctx.model);
    nav.svCount = static_cast<uint8_t>(count);
    std::memset(nav.svs, 0, sizeof nav.svs);
    for (int i = 0; i < count; ++i) nav.svs[i] = fix.svs[i];
    if (fix.fixMode == 3)
        nav.fixFlags |= NAV_FIX_2D;
    else
        nav.fixFlags &= static_cast<uint8_t>(~NAV_FIX_2D);
    ctx.model->UpdateNavState(nav, NAV_KIND_SVS_ONLY, ctx.converter);
    if (Translating(ctx)) {
        AppendQbinText(ctx.text,
                       "\r\nFix mode %u (%s), %d satellites, PDOP %.2f HDOP %.2f VDOP %.2f TDOP %.2f",
                       fix.fixMode, fix.manualMode ? "manual" : "auto", count,
                       static_cast<double>(pdop), static_cast<double>(hdop),
                       static_cast<double>(vdop), static_cast<double>(tdop));
        if (count > 0) ctx.text += "\r\n   SVs:";
        for (int i = 0; i < count; ++i) AppendQbinText(ctx.text, " %u", fix.svs[i]);
    }
    return true;
}

// ---- Receiver status -------------------------------------------------------

bool Decode46(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t code = f.U8(0);
    const uint8_t bits = f.U8(1);
    if (!f.Ok()) return true;
    uint32_t health = 0;
    switch (code) {
    case 0x00: health = 1; break;
    case 0x01: health = 2; break;
    case 0x02: health = 3; break;
    case 0x03: health = 4; break;
    case 0x08: health = 5; break;
    case 0x09: health = 6; break;
    case 0x0A: health = 7; break;
    case 0x0B: health = 8; break;
    case 0x0C: health = 11; break;
    case 0x10: health = 9; break;
    case 0xBB: health = 10; break;
    default: health = 0; break;
    }
    // Bit 4 is an antenna fault; bit 5 with it tells which of the two.
    int32_t antenna = 0;
    if ((bits & 0x30) == 0x30)
        antenna = 1;
    else if ((bits & 0x30) == 0x10)
        antenna = 2;
    Label(ctx, 5, "0x46");
    Label(ctx, 9, "0x46");
    Label(ctx, 11, "0x46");
    ctx.model->SetHealthStatus(health);
    ctx.model->SetHealthErrorBits((bits & 0x01) ? 2 : 1);
    ctx.model->Notify(EV_ANTENNA_STATUS, antenna, IsSentEvent(EV_ANTENNA_STATUS));
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nHealth: status code %02Xh, error bits %02Xh", code, bits);
    return true;
}

bool Decode4B(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t machine = f.U8(0);
    const uint8_t status = f.U8(1);
    (void)f.U8(2);
    if (!f.Ok()) return true;
    Label(ctx, 7, "0x4B");
    Label(ctx, 10, "0x4B");
    ctx.model->SetMachineId((status & 0x08) ? 2 : 1);
    ctx.model->SetStatusCode((status & 0x02) ? 2 : 1);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nMachine ID %02Xh, status %02Xh", machine, status);
    return true;
}

bool DecodeEventOnly(QbinReportContext& ctx, int32_t event)
{
    Fields f(ctx);
    const uint8_t value = f.U8(0);
    if (!f.Ok()) return true;
    ctx.model->Notify(event, value, IsSentEvent(event));
    if (Translating(ctx))
        AppendQbinText(ctx.text, ctx.id == 0x13 ? "\r\nPacket %02Xh could not be parsed"
                                                : "\r\nTime set reply: %02Xh",
                       value);
    return true;
}

bool Decode82(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t mode = f.U8(0);
    if (!f.Ok()) return true;
    ctx.model->SetDgpsMode(mode);
    if (Translating(ctx)) AppendQbinText(ctx.text, "\r\nDGPS mode: %u", mode);
    return true;
}

// ---- Satellites and signals ------------------------------------------------

bool Decode47(QbinReportContext& ctx)
{
    Fields f(ctx);
    int count = f.U8(0);
    if (count > MODEL_CHANNEL_COUNT) count = MODEL_CHANNEL_COUNT;
    if (!f.Ok() || !f.Has(1, count * 5)) return true;
    SignalLevelTable table;
    std::memset(&table, 0, sizeof table);
    for (int i = 0; i < count; ++i) {
        table.entries[i].sv = f.U8(1 + 5 * i);
        table.entries[i].signalLevel = f.F(2 + 5 * i);
    }
    table.count = static_cast<uint8_t>(count);
    if (Translating(ctx)) {
        ctx.text += "\r\nSignal levels:";
        for (int i = 0; i < count; ++i)
            AppendQbinText(ctx.text, "  SV%02u %.1f", table.entries[i].sv,
                           static_cast<double>(table.entries[i].signalLevel));
    }
    // The tracking report carries the levels too, and better.
    if (ctx.model->GetReportFlag(11)) return true;
    Label(ctx, 16, "0x47");
    ctx.model->SetSignalLevels(table);
    return true;
}

bool Decode59(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t operation = f.U8(0);
    SvFlags flags;
    for (int k = 1; k <= MODEL_SV_COUNT; ++k) flags.flags[k - 1] = f.U8(k) == 0 ? 1 : 0;
    if (!f.Ok()) return true;
    if (Translating(ctx)) {
        AppendQbinText(ctx.text, "\r\nSatellite flags (operation %u):", operation);
        for (int k = 1; k <= MODEL_SV_COUNT; ++k)
            AppendQbinText(ctx.text, "%s SV%02d %u", (k - 1) % 8 == 0 ? "\r\n  " : "", k,
                           ctx.data[k]);
    }
    if (operation != 3) return true;
    Label(ctx, 25, "0x59");
    ctx.model->SetSvFlags(flags);
    return true;
}

bool Decode5A(QbinReportContext& ctx)
{
    Fields f(ctx);
    RawMeasurement rec;
    std::memset(&rec, 0, sizeof rec);
    rec.sv = f.U8(0);
    const float sample = f.F(1);
    rec.signalLevel = f.F(5);
    rec.codePhase = f.F(9);
    rec.doppler = f.F(13);
    rec.timeOfMeasurement = f.D(17);
    if (!f.Ok()) return true;
    uint32_t whole = 0;
    rec.sampleLength = FloatToWhole(sample, 0.0, 255.0, whole) ? static_cast<uint8_t>(whole) : 0;
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\n  %3u  %5u  %5.1f  %10.1f  %9.1f  %s", rec.sv,
                       rec.sampleLength, static_cast<double>(rec.signalLevel),
                       static_cast<double>(rec.codePhase), static_cast<double>(rec.doppler),
                       TimeOfWeekText(rec.timeOfMeasurement).text);
    Label(ctx, 17, "0x5A");
    ctx.model->SetRawMeasurement(rec);
    return true;
}

bool Decode5C(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t sv = f.U8(0);
    const uint8_t chanByte = f.U8(1);
    const uint8_t acq = f.U8(2);
    const uint8_t status = f.U8(3);
    const float level = f.F(4);
    const float measTime = f.F(8);
    const float elevation = f.F(12);
    const float azimuth = f.F(16);
    const uint8_t d20 = f.U8(20), d21 = f.U8(21), d22 = f.U8(22), d23 = f.U8(23);
    if (!f.Ok()) return true;
    const int channel = chanByte >> 3;
    // Only 12 channels exist; a higher one is a report this table cannot hold.
    if (channel >= MODEL_CHANNEL_COUNT) return true;
    ctx.model->SetReportFlag(11, true);
    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    ctx.model->GetTrackingTable(table);
    TrackingEntry& e = table.entries[channel];
    e.sv = sv;
    e.status = status;
    e.status2 = d23;
    e.signalLevel = level;
    e.elevation = elevation;
    e.azimuth = azimuth;
    Label(ctx, 16, "0x5C");
    ctx.model->SetTrackingTable(table, channel);
    if (Translating(ctx))
        AppendQbinText(ctx.text,
                       "\r\n SV%3d  %2d %1d  %1d   %1d   %4.1f  %s  %5.1f  %5.1f   %d    %d    %d    %d",
                       sv, channel + 1, (chanByte & 7) + 1, acq, status,
                       static_cast<double>(level), TimeOfWeekText(measTime).text,
                       static_cast<double>(elevation) * kRadToDeg,
                       static_cast<double>(azimuth) * kRadToDeg, d20, d21, d22, d23);
    return true;
}

bool DecodeC2(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint32_t mask = f.U32(0);
    if (!f.Ok()) return true;
    Label(ctx, 34, "0xC2");
    ctx.model->SetSvMaskWord(mask);
    if (Translating(ctx)) AppendQbinText(ctx.text, "\r\nSatellite mask: 0x%08X", mask);
    return true;
}

// ---- System data (0x58) ------------------------------------------------------

bool Decode58(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t operation = f.U8(0);
    const uint8_t type = f.U8(1);
    const uint8_t sv = f.U8(2);
    if (!f.Ok()) return true;
    static const char* const kTypeNames[7] = {"",          "",   "Almanac", "Health Page, T_oa, WN_oa",
                                              "Ionosphere", "UTC ", "Ephemeris"};
    const char* typeName = type < 7 ? kTypeNames[type] : "";
    if (operation == 1) {
        if (Translating(ctx))
            AppendQbinText(ctx.text, "\r\nSystem data [%d]:  %s  SV%02d  Acknowledgment", type,
                           typeName, sv);
        return true;
    }
    static const int kLengths[7] = {0, 0, 70, 41, 44, 43, 171};
    if (type < 2 || type > 6) return false;
    if (ctx.length != kLengths[type]) {
        WriteQbinBadLength(ctx.converter, ctx.id, ctx.data, ctx.length);
        return true;
    }
    if (Translating(ctx)) {
        if (type == 2)
            AppendQbinText(ctx.text, "\r\nSystem data [2]:  Almanac  SV%02d  length = %d bytes", sv,
                           ctx.length);
        else
            AppendQbinText(ctx.text, "\r\nSystem data [%d]:  %s", type, typeName);
    }
    switch (type) {
    case 2: {
        AlmanacRecord rec;
        std::memset(&rec, 0, sizeof rec);
        rec.sv = sv;
        rec.tOaRaw = f.U8(4);
        rec.health = f.U8(5);
        float* const values[15] = {&rec.e,      &rec.tOa,   &rec.i0,  &rec.omegaDot, &rec.sqrtA,
                                   &rec.omega0, &rec.omega, &rec.m0,  &rec.af0,      &rec.af1,
                                   &rec.axis,   &rec.n,     &rec.omegaN, &rec.odotN, &rec.tZc};
        for (int i = 0; i < 15; ++i) *values[i] = f.F(6 + 4 * i);
        rec.weekNumber = f.U16(66);
        rec.wnOa = f.U16(68);
        if (!f.Ok()) return true;
        if (Translating(ctx)) {
            AppendQbinText(ctx.text, "\r\n   t_oa_raw = % -12d    SV_hlth  = % -12d  ",
                           static_cast<int>(rec.tOaRaw), rec.health);
            static const char* const kNames[15] = {"e", "t_oa", "i_0", "OMEGADOT", "sqrt_A",
                                                   "OMEGA_0", "omega", "M_0", "a_f0", "a_f1",
                                                   "Axis", "n", "OMEGA_n", "ODOT_n", "t_zc"};
            for (int i = 0; i < 15; ++i)
                AppendQbinText(ctx.text, "\r\n   %-8s = % -12g", kNames[i],
                               static_cast<double>(*values[i]));
            AppendQbinText(ctx.text, "\r\n   weeknum  = % -12d", rec.weekNumber);
            AppendQbinText(ctx.text, "\r\n   wn_oa    = % -12d", rec.wnOa);
        }
        Label(ctx, 29, "0x58");
        ctx.model->SetAlmanac(rec);
        return true;
    }
    case 3: {
        AlmanacHealthPage rec;
        std::memset(&rec, 0, sizeof rec);
        rec.wnOa = f.U8(4);
        for (int k = 0; k < MODEL_SV_COUNT; ++k) rec.health[k] = f.U8(5 + k);
        rec.tOa = f.U8(37);
        rec.currentTOa = f.U8(38);
        rec.currentWnOa = f.U16(39);
        if (!f.Ok()) return true;
        if (Translating(ctx)) {
            AppendQbinText(ctx.text, "\r\n   t_oa = %d, wn_oa&0xFF = %d  ", rec.tOa, rec.wnOa);
            for (int k = 0; k < MODEL_SV_COUNT; ++k)
                AppendQbinText(ctx.text, "%s    SV%02d  %02X", k % 8 == 0 ? "\r\n" : "", k + 1,
                               rec.health[k]);
            AppendQbinText(ctx.text, "\r\n   current t_oa = %d, wn_oa = %d  ", rec.currentTOa,
                           rec.currentWnOa);
        }
        Label(ctx, 30, "0x58");
        ctx.model->SetAlmanacHealthPage(rec, true);
        return true;
    }
    case 4: {
        IonoParams rec;
        for (int i = 0; i < 4; ++i) rec.alpha[i] = f.F(12 + 4 * i);
        for (int i = 0; i < 4; ++i) rec.beta[i] = f.F(28 + 4 * i);
        if (!f.Ok()) return true;
        if (Translating(ctx))
            for (int i = 0; i < 4; ++i)
                AppendQbinText(ctx.text, "\r\n   alpha_%d = % -12g  beta_%d = % -12g", i,
                               static_cast<double>(rec.alpha[i]), i,
                               static_cast<double>(rec.beta[i]));
        Label(ctx, 32, "0x58");
        ctx.model->SetIonoParams(rec);
        return true;
    }
    case 5: {
        UtcParams rec;
        std::memset(&rec, 0, sizeof rec);
        rec.a0 = f.D(17);
        rec.a1 = f.F(25);
        rec.deltaTLs = f.I16(29);
        rec.tOt = f.F(31);
        rec.wnT = f.U16(35);
        rec.wnLsf = f.U16(37);
        rec.dn = f.U16(39);
        rec.deltaTLsf = f.I16(41);
        rec.valid = 1;
        if (!f.Ok()) return true;
        if (Translating(ctx))
            AppendQbinText(ctx.text,
                           "\r\n   A_0 = %g  A_1 = %g  delta_t_LS = %d  t_ot = %g  WN_t = %u"
                           "\r\n   WN_LSF = %u  DN = %u  delta_t_LSF = %d",
                           rec.a0, static_cast<double>(rec.a1), rec.deltaTLs,
                           static_cast<double>(rec.tOt), rec.wnT, rec.wnLsf, rec.dn, rec.deltaTLsf);
        Label(ctx, 31, "0x58");
        ctx.model->SetUtcParams(rec);
        return true;
    }
    default: {
        EphemerisRecord r;
        std::memset(&r, 0, sizeof r);
        r.sv = f.U8(4);
        r.collectionTime = f.F(5);
        r.weekNumber = f.U16(9);
        r.codeL2 = f.U8(11);
        r.l2PData = f.U8(12);
        r.accuracyIndex = f.U8(13);
        r.health = f.U8(14);
        r.iodc = f.U16(15);
        r.tGd = f.F(17);
        r.tOc = f.F(21);
        r.af2 = f.F(25);
        r.af1 = f.F(29);
        r.af0 = f.F(33);
        r.accuracy = f.F(37);
        r.iode = f.U8(41);
        r.fitInterval = f.U8(42);
        r.cRs = f.F(43);
        r.deltaN = f.F(47);
        r.m0 = f.D(51);
        r.cUc = f.F(59);
        r.e = f.D(63);
        r.cUs = f.F(71);
        r.sqrtA = f.D(75);
        r.tOe = f.F(83);
        r.cIc = f.F(87);
        r.omega0 = f.D(91);
        r.cIs = f.F(99);
        r.i0 = f.D(103);
        r.cRc = f.F(111);
        r.omega = f.D(115);
        r.omegaDot = f.F(123);
        r.iDot = f.F(127);
        r.axis = f.D(131);
        r.n = f.D(139);
        r.r1me2 = f.D(147);
        r.omegaN = f.D(155);
        r.odotN = f.D(163);
        if (!f.Ok()) return true;
        if (Translating(ctx))
            AppendQbinText(ctx.text,
                           "\r\n   SV_PRN = %u  t_ephem = %g  weeknum = %u  IODC = %u  IODE = %u"
                           "\r\n   t_oe = %g  sqrt_A = %.10g  ecc = %.10g",
                           r.sv, static_cast<double>(r.collectionTime), r.weekNumber, r.iodc,
                           r.iode, static_cast<double>(r.tOe), r.sqrtA, r.e);
        Label(ctx, 33, "0x58");
        ctx.model->SetEphemeris(r, true);
        return true;
    }
    }
}

// ---- Configuration replies -------------------------------------------------

bool Decode55(QbinReportContext& ctx)
{
    Fields f(ctx);
    IoOptions o;
    o.position = f.U8(0);
    o.velocity = f.U8(1);
    o.timing = f.U8(2);
    o.auxiliary = f.U8(3);
    if (!f.Ok()) return true;
    Label(ctx, 26, "0x55");
    ctx.model->SetIoOptions(o);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nI/O options: %02X %02X %02X %02X", o.position, o.velocity,
                       o.timing, o.auxiliary);
    return true;
}

bool Decode57(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t source = f.U8(0);
    const uint8_t diag = f.U8(1);
    const float t = f.F(2);
    const uint16_t week = f.U16(6);
    if (!f.Ok()) return true;
    if (Translating(ctx)) {
        AppendQbinText(ctx.text, "\r\n source code %d;   diag code: %2Xh", source, diag);
        AppendQbinText(ctx.text, "\r\n   Time of last fix:%s", TimeOfWeekText(t).text);
        AppendQbinText(ctx.text, "\r\n   Week of last fix: %d", week);
    }
    return true;
}

bool Decode6E(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t sub = f.U8(0), enabled = f.U8(1), interval = f.U8(2);
    if (!f.Ok()) return true;
    if (Translating(ctx)) {
        if (enabled)
            AppendQbinText(ctx.text, "\r\nFull msmt packet (6F-%02X) enabled with %d sec interval",
                           sub, interval);
        else
            ctx.text += "\r\nFull msmt packet disabled";
    }
    return true;
}

bool Decode6F(QbinReportContext& ctx)
{
    Fields f(ctx);
    if (f.U8(0) != 0x01 || ctx.length < 6) return false;
    if (Translating(ctx)) {
        AppendQbinText(ctx.text, "\r\nFull measurement packet (0x6F-01-%02X):\r\n   10 6F", ctx.data[1]);
        for (int i = 0; i < ctx.length; ++i) {
            if (i > 0 && i % 20 == 0) ctx.text += "\r\n  ";
            AppendQbinText(ctx.text, " %02X", ctx.data[i]);
        }
        ctx.text += " 10 03";
    }
    return true;
}

bool Decode70(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t b0 = f.U8(0), b1 = f.U8(1), b2 = f.U8(2), b3 = f.U8(3);
    if (!f.Ok()) return true;
    FilterConfig c;
    if (b0 != 0 && b1 != 0 && b2 != 0 && b3 != 0)
        c = FilterConfig{0, 0, 0, 0, 1};
    else
        c = FilterConfig{b0, b1, b2, b3, 0};
    Label(ctx, 20, "0x70");
    ctx.model->SetFilterConfig(c);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nFilter configuration: %u %u %u %u", b0, b1, b2, b3);
    return true;
}

bool Decode7B(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t interval = f.U8(1);
    const uint32_t mask = f.U32(2);
    if (!f.Ok()) return true;
    NmeaOutputConfig c;
    std::memset(&c, 0, sizeof c);
    ctx.model->GetNmeaOutputConfig(c);
    c.interval = (c.interval & ~0xFFu) | interval;
    c.mask = mask;
    Label(ctx, 21, "0x7B");
    ctx.model->SetNmeaOutputConfig(c);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nNMEA output: interval %u s, mask 0x%08X", interval, mask);
    return true;
}

bool Decode7F(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t flags = f.U8(1);
    const uint16_t offset = f.U16(2);
    uint16_t periods[QTXT_PERIOD_COUNT];
    for (int i = 0; i < QTXT_PERIOD_COUNT; ++i) periods[i] = f.U16(4 + 2 * i);
    char vehicle[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) vehicle[i] = static_cast<char>(f.U8(20 + i));
    if (!f.Ok()) return true;
    QtxtConfigRecord rec;
    std::memset(&rec, 0, sizeof rec);
    ctx.model->GetQtxtConfig(rec);
    rec.flagId = flags & 0x01 ? 1 : 0;
    rec.flagCs = flags & 0x02 ? 1 : 0;
    rec.flagEc = flags & 0x04 ? 1 : 0;
    rec.flagFr = flags & 0x08 ? 1 : 0;
    rec.flagCr = flags & 0x10 ? 1 : 0;
    rec.epoch = offset;
    for (int i = 0; i < QTXT_PERIOD_COUNT; ++i) rec.periods[i] = periods[i];
    std::memcpy(rec.vehicleId, vehicle, sizeof rec.vehicleId);
    Label(ctx, 36, "0x7F");
    ctx.model->SetQtxtConfig(rec, EV_QTXT_CONFIG);
    if (Translating(ctx)) {
        static const char* const kNames[QTXT_PERIOD_COUNT] = {"AL", "CP", "ID", "LN",
                                                              "PV", "ST", "TM", "VR"};
        auto yn = [](uint32_t v) { return v ? "yes" : "no"; };
        ctx.text += "\r\nQTXT output configuration:";
        AppendQbinText(ctx.text,
                       "\r\n   Flags:                  ID - %s, CS - %s, EC - %s, FR - %s, CR - %s",
                       yn(rec.flagId), yn(rec.flagCs), yn(rec.flagEc), yn(rec.flagFr),
                       yn(rec.flagCr));
        AppendQbinText(ctx.text, "\r\n   Top of hour offset:     %d seconds", offset);
        ctx.text += "\r\n   Message output periods: ";
        for (int i = 0; i < QTXT_PERIOD_COUNT; ++i)
            AppendQbinText(ctx.text, "%s%s: %d seconds", i ? "\r\n                           " : "",
                           kNames[i], periods[i]);
        AppendQbinText(ctx.text, "\r\n   Vehicle ID:             %c%c%c%c", vehicle[0], vehicle[1],
                       vehicle[2], vehicle[3]);
    }
    return true;
}

bool DecodeAA(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint16_t size = f.U16(0);
    const uint16_t crc = f.U16(2);
    if (!f.Ok()) return true;
    ctx.model->SetExpectedCrc(size, crc);
    if (Translating(ctx))
        AppendQbinText(ctx.text, "\r\nCRC announcement: size %u, CRC 0x%04X", size, crc);
    return true;
}

bool DecodeBB(QbinReportContext& ctx)
{
    Fields f(ctx);
    NavConfig c;
    std::memset(&c, 0, sizeof c);
    c.subcode = f.U8(0);
    c.operatingMode = f.U8(1);
    c.dgpsMode = f.U8(2);
    c.dynamics = f.U8(3);
    c.elevationMask = f.F(5);
    c.snrMask = f.F(9);
    c.dopMask = f.F(13);
    c.dopSwitch = f.F(17);
    c.dgpsAgeLimit = f.U8(21);
    if (!f.Ok()) return true;
    Label(ctx, 23, "0xBB");
    ctx.model->SetNavConfig(c);
    if (Translating(ctx)) {
        static const char* const kModes[8] = {"automatic", "time only (0-D)", "",  "2-D",
                                              "3-D",       "DGPS REF",        "2D CLK HOLD", "O-D"};
        // Codes 2 to 4 are the automatic modes of different firmware generations.
        static const char* const kDgps[5] = {"manual GPS (DGPS off)", "manual DGPS (DGPS req'd)",
                                             "auto DGPS/GPS", "auto DGPS/GPS", "auto DGPS/GPS"};
        static const char* const kDynamics[6] = {"Unchanged", "Land", "Sea", "Air", "Static",
                                                 "Automobile"};
        AppendQbinText(ctx.text, "\r\nReceiver configuration parameters (subcode %d):", c.subcode);
        AppendQbinText(ctx.text, "\r\n   Operating mode:   %s",
                       c.operatingMode <= 7 ? kModes[c.operatingMode] : "unknown");
        AppendQbinText(ctx.text, "\r\n   DGPS mode:        %s",
                       c.dgpsMode <= 4 ? kDgps[c.dgpsMode] : "unknown");
        AppendQbinText(ctx.text, "\r\n   Dynamics:         %s",
                       c.dynamics <= 5 ? kDynamics[c.dynamics] : "unknown");
        AppendQbinText(ctx.text, "\r\n   Elevation mask:   %.2f deg",
                       static_cast<double>(c.elevationMask) * kRadToDeg);
        AppendQbinText(ctx.text, "\r\n   SNR mask:         %.2f", static_cast<double>(c.snrMask));
        AppendQbinText(ctx.text, "\r\n   DOP mask:         %.2f", static_cast<double>(c.dopMask));
        AppendQbinText(ctx.text, "\r\n   DOP switch:       %.2f", static_cast<double>(c.dopSwitch));
        AppendQbinText(ctx.text, "\r\n   DGPS age limit:   %u s", c.dgpsAgeLimit);
    }
    return true;
}

bool DecodeBC(QbinReportContext& ctx)
{
    Fields f(ctx);
    const uint8_t port = f.U8(0), baudCode = f.U8(1), bitsCode = f.U8(3), parityCode = f.U8(4),
                  stopCode = f.U8(5), inMask = f.U8(7), outMask = f.U8(8);
    if (!f.Ok()) return true;
    PortConfigRecord c;
    std::memset(&c, 0, sizeof c);
    ctx.model->GetPortConfig(c);
    switch (baudCode) {
    case 4: c.baud = 1200; break;
    case 5: c.baud = 2400; break;
    case 6: c.baud = 4800; break;
    case 8: c.baud = 19200; break;
    case 9: c.baud = 38400; break;
    case 10: c.baud = 57600; break;
    case 11: c.baud = 115200; break;
    default: c.baud = 9600; break;
    }
    c.dataBits = bitsCode == 2 ? 7 : 8;
    c.parity = (parityCode == 1 || parityCode == 2) ? parityCode : 0;
    c.stopBits = stopCode == 1 ? 2 : 0;
    c.receiverPort = port;
    c.inputMask = inMask;
    c.outputMask = outMask;
    Label(ctx, 22, "0xBC");
    ctx.model->SetPortConfig(c);
    if (Translating(ctx))
        AppendQbinText(ctx.text,
                       "\r\nPort configuration: port %u, %lu baud, %u data bits, parity %u, "
                       "stop code %u, input mask %02Xh, output mask %02Xh",
                       port, static_cast<unsigned long>(c.baud), c.dataBits, c.parity, c.stopBits,
                       inMask, outMask);
    return true;
}

}  // namespace

bool DecodeQbinStandardReport(QbinReportContext& ctx)
{
    if (ctx.model == nullptr || (ctx.data == nullptr && ctx.length > 0) || ctx.length < 0)
        return false;
    switch (ctx.id) {
    case 0x13: return DecodeEventOnly(ctx, EV_PACKET_REJECTED);
    case 0x1C: return Decode1C(ctx);
    case 0x41: return Decode41(ctx);
    case 0x42: return Decode42(ctx);
    case 0x43: return Decode43(ctx);
    case 0x45: return Decode45(ctx);
    case 0x46: return Decode46(ctx);
    case 0x47: return Decode47(ctx);
    case 0x4A: return Decode4A(ctx);
    case 0x4B: return Decode4B(ctx);
    case 0x4E: return DecodeEventOnly(ctx, EV_TIME_SET_REPLY);
    case 0x54: return Decode54(ctx);
    case 0x55: return Decode55(ctx);
    case 0x56: return Decode56(ctx);
    case 0x57: return Decode57(ctx);
    case 0x58: return Decode58(ctx);
    case 0x59: return Decode59(ctx);
    case 0x5A: return Decode5A(ctx);
    case 0x5C: return Decode5C(ctx);
    case 0x6D: return Decode6D(ctx);
    case 0x6E: return Decode6E(ctx);
    case 0x6F: return Decode6F(ctx);
    case 0x70: return Decode70(ctx);
    case 0x7B: return Decode7B(ctx);
    case 0x7F: return Decode7F(ctx);
    case 0x82: return Decode82(ctx);
    case 0x83:
    case 0x84: return Decode83And84(ctx);
    case 0xAA: return DecodeAA(ctx);
    case 0xBB: return DecodeBB(ctx);
    case 0xBC: return DecodeBC(ctx);
    case 0xC2: return DecodeC2(ctx);
    default: return false;
    }
}
