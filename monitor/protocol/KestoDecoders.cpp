// The decoders of the KESTO packets the monitor shows. Each reads every field
// of its class through the bounded reader first and stores into the model only
// when all of them were inside the packet, so a short or cut packet changes
// nothing. Every store is preceded by the class's label in the source-label
// slot of the data it delivers.
#include "protocol/KestoProtocol.h"

#include <cmath>
#include <cstring>

#include "model/CModel.h"
#include "model/ReportSlots.h"
#include "protocol/QbinComposer.h"

namespace {

// Offsets in the unescaped packet: 0 the 0x81, 1 the class, 2 the sub-id,
// 3 the first data byte; the checksum and the 0x82 follow the data.
enum : int {
    KESTO_OFFSET_CLASS = 1,
    KESTO_OFFSET_ID = 2,
    KESTO_TRAILER_LENGTH = 2,
    KESTO_SHORTEST_PACKET = 5
};


const double kSemicirclesToRadians = 1.4629180792671596e-9;  // pi / 2^31
const double kHeadingUnitsToRadians = 0.00009587379924717687;  // 2 pi / 65536
const double kDegreesToRadians = 0.017453292519943295;
const double kMetresPerSecondPerKnot = 0.5144444444444445;
const double kSecondsPerFixTimeUnit = 0.001;
const double kSpeedUnit = 0.01;         // m/s
const double kClockUnit = 0.01;         // clock bias (m) and drift (m/s)
const double kFixDopUnit = 0.2;         // the PDOP of the fix packet
const double kDopUnit = 1.0 / 256.0;    // the DOPs of the time and status packet
const double kDopNotGiven = -1.0;

const char kModuleName[] = "KSX Module";
const uint16_t kModuleProductCode = 9999;
enum : int { KESTO_PRODUCT_NAME_LENGTH = 16 };

enum : uint8_t {
    FIX_MODE_2D = 3,
    FIX_MODE_3D = 4,
    HEALTH_NO_USABLE_SATS = 5,
    // Status values of the on/off words: 1 set, 2 clear.
    STATUS_SET = 1,
    STATUS_CLEAR = 2,
    TRACKING_STATUS_NONE = 254,
    TRACKING_USED = 1,
    TRACKING_NOT_USED = 0,
    TIME_EVENT_DETAIL = 1  // the detail of event 9 this report raises
};

// Little-endian fields of one packet, offsets counted from its 0x81. A field
// that does not lie wholly before the checksum reads as 0 and marks the
// packet short; the shared bounded reader does the checking.
class KestoFields {
public:
    KestoFields(const BYTE* frame, int length)
        : m_fields(frame, length > KESTO_TRAILER_LENGTH ? length - KESTO_TRAILER_LENGTH : 0, false)
    {
    }

    bool Ok() const { return m_fields.Ok(); }

    uint8_t U8(int o) { return m_fields.U8(o); }
    int8_t I8(int o) { return static_cast<int8_t>(m_fields.U8(o)); }
    uint16_t U16(int o) { return m_fields.U16(o); }
    int16_t I16(int o) { return m_fields.I16(o); }
    uint32_t U32(int o) { return m_fields.U32(o); }
    int32_t I32(int o) { return m_fields.I32(o); }
    float F32(int o) { return m_fields.Float(o); }
    // count text bytes from offset, up to a 0 byte, trailing blanks dropped.
    template <size_t N>
    void Text(int o, int count, char (&out)[N])
    {
        out[0] = '\0';
        if (!m_fields.Need(o, count)) return;
        int n = m_fields.Text(o, count, out, static_cast<int>(N));
        while (n > 0 && out[n - 1] == ' ') --n;
        out[n] = '\0';
    }

private:
    QbinFields m_fields;
};

struct KestoPacket {
    KestoFields fields;
    CModel* model;
    BYTE id;
    const char* label;

    void Label(int slot) const { model->SetReportText(slot, label); }
};

NavState CurrentNav(CModel* model)
{
    NavState nav;
    std::memset(&nav, 0, sizeof nav);
    model->GetNavState(nav);
    return nav;
}

uint32_t OnOff(bool set) { return set ? STATUS_SET : STATUS_CLEAR; }

// ---- Identification ----------------------------------------------------------

// 0x11-01: version, third number, day, month, year.
void DecodeVersion(KestoPacket& p)
{
    KestoFields& f = p.fields;
    FirmwareVersionRecord rec;
    std::memset(&rec, 0, sizeof rec);
    rec.major = f.U8(3);
    rec.minor = f.U8(4);
    rec.build = f.U8(5);
    rec.day = f.U8(6);
    rec.month = f.U8(7);
    rec.year = f.U16(8);
    if (!f.Ok()) return;
    CopyRecordText(rec.name, kModuleName);
    p.Label(SLOT_FIRMWARE);
    p.model->IdentifyReceiver(rec, 0);
}

// 0x12-03: serial number, build date and the module's name.
void DecodeProduct(KestoPacket& p)
{
    KestoFields& f = p.fields;
    ProductRecord rec;
    std::memset(&rec, 0, sizeof rec);
    rec.code = kModuleProductCode;
    rec.serialNumber = f.U32(3);
    rec.buildDay = f.U8(7);
    rec.buildMonth = f.U8(8);
    rec.buildYear = f.U16(9);
    f.Text(11, KESTO_PRODUCT_NAME_LENGTH, rec.name);
    if (!f.Ok()) return;
    p.Label(SLOT_PRODUCT);
    p.model->SetProductInfo(rec);
}

// ---- Receiver status ---------------------------------------------------------

struct AntennaRow {
    uint8_t group;
    uint8_t state;
    int32_t detail;  // of the antenna event: 0 no fault, 1 and 2 the two faults
};

const AntennaRow kAntennaTable[] = {
    {0x70, 0x10, 2}, {0x70, 0x20, 2}, {0x70, 0x30, 0},
    {0x71, 0x10, 1}, {0x71, 0x20, 1}, {0x71, 0x30, 0},
};

// 0x14-01: the antenna supervision's group and state.
void DecodeAntenna(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const uint8_t group = f.U8(11);
    const uint8_t state = f.U8(12);
    if (!f.Ok()) return;
    for (const AntennaRow& row : kAntennaTable) {
        if (row.group != group || row.state != state) continue;
        p.Label(SLOT_ANTENNA);
        p.model->Notify(EV_ANTENNA_STATUS, row.detail, IsSentEvent(EV_ANTENNA_STATUS));
        return;
    }
}

enum : uint8_t {
    STATUS_BIT_HEALTH_ERROR = 0x01,
    STATUS_BIT_STATUS_CODE = 0x04
};

// 0x16-02: two on/off status bits.
void DecodeStatusBits(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const uint8_t bits = f.U8(6);
    if (!f.Ok()) return;
    p.Label(SLOT_HEALTH_ERRORS);
    p.model->SetHealthErrorBits(OnOff((bits & STATUS_BIT_HEALTH_ERROR) != 0));
    p.Label(SLOT_STATUS_CODE);
    p.model->SetStatusCode(OnOff((bits & STATUS_BIT_STATUS_CODE) != 0));
}

// ---- Navigation ---------------------------------------------------------------

enum : uint8_t {
    NAV_FLAG_POSITION = 0x01,
    NAV_FLAG_HEADING = 0x04,
    NAV_FLAG_SPEED = 0x08
};

// 0x30-02: position, then speed and heading. The module gives no velocity
// vector: the east, north and up slots carry speed (m/s), heading (radians)
// and vertical speed, as the speed-and-heading layout reads them, and the
// ground speed in knots and the heading fields carry the same values.
void DecodeNavigation(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const uint8_t flags = f.U8(3);
    const uint32_t fixTime = f.U32(6);
    const int32_t latitude = f.I32(10);
    const int32_t longitude = f.I32(14);
    const int16_t altitude = f.I16(18);
    const uint16_t heading = f.U16(20);
    const uint16_t speed = f.U16(22);
    if (!f.Ok() || (flags & NAV_FLAG_POSITION) == 0) return;

    NavState nav = CurrentNav(p.model);
    nav.fixValid = 1;
    nav.timeOfFix = fixTime * kSecondsPerFixTimeUnit;
    nav.week = p.model->GetGpsWeek();
    nav.latitude = latitude * kSemicirclesToRadians;
    nav.longitude = longitude * kSemicirclesToRadians;
    nav.height = altitude;
    p.Label(SLOT_POSITION);
    p.model->UpdateNavState(nav, NAV_KIND_LLA_DOUBLE, nullptr);

    const double speedMps = (flags & NAV_FLAG_SPEED) != 0 ? speed * kSpeedUnit : kValueUnknown;
    const double headingRad = (flags & NAV_FLAG_HEADING) != 0 ? heading * kHeadingUnitsToRadians : kValueUnknown;
    nav.velEast = speedMps;
    nav.velNorth = headingRad;
    nav.velUp = kValueUnknown;
    nav.groundSpeedKnots = speedMps == kValueUnknown ? kValueUnknown : speedMps / kMetresPerSecondPerKnot;
    nav.heading = headingRad;
    p.Label(SLOT_VELOCITY);
    p.model->UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
}

enum : uint8_t {
    FIX_KIND_MASK = 0x3F,
    FIX_KIND_SOLUTION = 0x11,   // the only kind these packets are decoded for
    FIX_KIND_2D = 'Q',
    FIX_FLAG_STORE = 0x01,
    FIX_FLAG_CLOCK_DRIFT = 0x40,
    FIX_FLAG_CLOCK_BIAS = 0x80
};

enum : BYTE { FIX_ID_WITH_CLOCK = 0x02 };

// 0x31-01 and 0x31-02: the fix dimension; the longer sub-id 2 adds its flags,
// the clock drift and bias and a PDOP. Sub-id 1 has no flags and stores the
// fix dimension whenever it is decoded.
void DecodeFix(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const bool withClock = p.id == FIX_ID_WITH_CLOCK;
    const uint8_t kind = f.U8(7);
    uint8_t flags = FIX_FLAG_STORE;
    int16_t drift = 0;
    float bias = 0.0f;
    uint16_t dop = 0;
    if (withClock) {
        flags = f.U8(8);
        drift = f.I16(31);
        bias = f.F32(35);
        dop = f.U16(39);
    }
    if (!f.Ok() || (kind & FIX_KIND_MASK) != FIX_KIND_SOLUTION) return;

    const bool twoD = kind == FIX_KIND_2D;
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    p.model->GetFixModeAndDops(fix);
    fix.fixMode = twoD ? FIX_MODE_2D : FIX_MODE_3D;
    NavState nav = CurrentNav(p.model);
    nav.fixFlags = static_cast<uint8_t>(twoD ? (nav.fixFlags | NAV_FIX_2D) : (nav.fixFlags & ~NAV_FIX_2D));

    if (withClock) {
        if ((flags & FIX_FLAG_CLOCK_DRIFT) != 0) nav.clockBiasRate = static_cast<float>(drift * kClockUnit);
        // A bias that is no number is no value: the last one stays.
        if ((flags & FIX_FLAG_CLOCK_BIAS) != 0 && std::isfinite(bias)) {
            nav.clockBias = bias * kClockUnit;
            p.Label(SLOT_CLOCK_BIAS);
            p.model->UpdateNavState(nav, NAV_KIND_CLOCK, nullptr);
        }
        DopRecord dops;
        std::memset(&dops, 0, sizeof dops);
        p.model->GetFixSvList(dops);
        dops.pdop = dop * kFixDopUnit;
        p.Label(SLOT_DOPS);
        p.model->SetDops(dops);
    }
    if ((flags & FIX_FLAG_STORE) == 0) return;
    p.Label(SLOT_FIX_MODE);
    p.model->SetFixModeAndDops(fix, false);
    p.model->UpdateNavState(nav, NAV_KIND_SVS_ONLY, nullptr);
}

// ---- Time and status ----------------------------------------------------------

enum : uint8_t {
    TIME_STATUS_VALID = 0x30,
    TIME_STATUS_HEALTH = 0x0F,
    MACHINE_FLAG = 0x80
};

struct HealthRow {
    uint8_t state;      // low nibble of the status byte
    uint8_t health;     // the model's health code
    int svCount;        // satellites in use it implies, or -1: not known
};

const HealthRow kHealthTable[] = {
    {0, 1, -1}, {2, 2, 0}, {3, 4, -1}, {5, 5, 0}, {6, 6, 1}, {7, 7, 2}, {8, 8, 3},
};
const uint8_t kHealthUnknown = 0;

// 0x32-01 (labelled "0x32-02"): UTC date and time, three DOPs, the receiver
// state and a machine flag.
void DecodeTimeAndStatus(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const uint16_t year = f.U16(3);
    const uint8_t month = f.U8(5), day = f.U8(6), hour = f.U8(7), minute = f.U8(8), second = f.U8(9);
    const uint8_t utcOffset = f.U8(10);
    const uint16_t pdop = f.U16(11), hdop = f.U16(13), vdop = f.U16(15);
    const uint8_t status = f.U8(18);
    const uint8_t machine = f.U8(19);
    if (!f.Ok()) return;

    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    p.model->GetTimeInfo(time);
    if ((status & TIME_STATUS_VALID) != 0) {
        time.year = year;
        time.month = month;
        time.day = day;
        time.hour = hour;
        time.minute = minute;
        time.second = second;
        time.utcOffset = utcOffset;
        time.source = TIME_SOURCE_UTC_CALENDAR;
    } else {
        time.timeOfWeek = 0;
        time.week = 0;
        time.utcOffset = 0;
        time.source = 0;
    }
    p.Label(SLOT_TIME);
    p.model->SetTimeInfo(time, false, TIME_EVENT_DETAIL);

    DopRecord dops;
    dops.pdop = pdop * kDopUnit;
    dops.hdop = hdop * kDopUnit;
    dops.vdop = vdop * kDopUnit;
    dops.tdop = kDopNotGiven;
    p.Label(SLOT_DOPS);
    p.model->SetDops(dops);

    HealthRow health = {0, kHealthUnknown, -1};
    for (const HealthRow& row : kHealthTable)
        if (row.state == (status & TIME_STATUS_HEALTH)) health = row;
    p.Label(SLOT_HEALTH);
    p.model->SetHealthStatus(health.health);
    if (health.svCount >= 0) {
        FixModeRecord fix;
        std::memset(&fix, 0, sizeof fix);
        p.model->GetFixModeAndDops(fix);
        fix.svCount = static_cast<uint8_t>(health.svCount);
        p.Label(SLOT_FIX_MODE);
        p.model->SetFixModeAndDops(fix, true);
    }

    p.Label(SLOT_MACHINE_ID);
    p.model->SetMachineId(OnOff((machine & MACHINE_FLAG) != 0));
}

// ---- Satellites -----------------------------------------------------------------

enum : uint8_t {
    CHANNEL_SV_MASK = 0x1F,
    CHANNEL_USED_BITS = 0x0C
};
const float kSnrUnit = 0.2f;
const double kElevationUnitDegrees = 2.0;

// 0x33-01: one tracking channel. The entry's first status byte carries the
// module's used-in-fix flag (1 used, 0 not); the second has no value here.
void DecodeChannel(KestoPacket& p)
{
    KestoFields& f = p.fields;
    const uint8_t channel = f.U8(3);
    const uint8_t sv = f.U8(4);
    const uint8_t snr = f.U8(6);
    const uint8_t elevation = f.U8(7);
    const int8_t azimuth = f.I8(8);
    const uint8_t flags = f.U8(9);
    if (!f.Ok() || channel >= MODEL_CHANNEL_COUNT) return;

    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    p.model->GetTrackingTable(table);
    TrackingEntry& e = table.entries[channel];
    e.sv = sv & CHANNEL_SV_MASK;
    e.signalLevel = snr * kSnrUnit;
    e.elevation = static_cast<float>(elevation * kElevationUnitDegrees * kDegreesToRadians);
    e.azimuth = static_cast<float>(azimuth * kDegreesToRadians);
    // With no satellite usable the module's flags are stale.
    const bool used = (flags & CHANNEL_USED_BITS) == CHANNEL_USED_BITS &&
                      p.model->GetHealthStatus() != HEALTH_NO_USABLE_SATS;
    e.status = used ? TRACKING_USED : TRACKING_NOT_USED;
    e.status2 = TRACKING_STATUS_NONE;
    p.Label(SLOT_TRACKING);
    p.model->SetTrackingTable(table, channel);
}

// ---- Dispatch -------------------------------------------------------------------

struct KestoDecoderRow {
    BYTE cls;
    BYTE id;
    const char* label;
    void (*decode)(KestoPacket& packet);
};

const KestoDecoderRow kDecoderTable[] = {
    {0x11, 0x01, "0x11-01", DecodeVersion},
    {0x12, 0x03, "0x12-04", DecodeProduct},
    {0x14, 0x01, "0x14-01", DecodeAntenna},
    {0x16, 0x02, "0x16-02", DecodeStatusBits},
    {0x30, 0x02, "0x30-02", DecodeNavigation},
    {0x31, 0x01, "0x31-01", DecodeFix},
    {0x31, 0x02, "0x31-02", DecodeFix},
    {0x32, 0x01, "0x32-02", DecodeTimeAndStatus},
    {0x33, 0x01, "0x33-01", DecodeChannel},
};

}  // namespace

void DecodeKestoFrame(const BYTE* frame, int length, CModel* model)
{
    if (frame == nullptr || model == nullptr || length < KESTO_SHORTEST_PACKET) return;
    const BYTE cls = frame[KESTO_OFFSET_CLASS];
    const BYTE id = frame[KESTO_OFFSET_ID];
    for (const KestoDecoderRow& row : kDecoderTable) {
        if (row.cls != cls || row.id != id) continue;
        KestoPacket packet = {KestoFields(frame, length), model, id, row.label};
        row.decode(packet);
        return;
    }
}
