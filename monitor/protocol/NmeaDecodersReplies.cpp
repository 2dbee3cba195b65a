// The maker's replies to its own "$PZUL" queries: health (TF), versions
// (VR), the configurations (NM, PT, PS, CR, DM, SV) and the time-set answer
// (KG). A reply whose first field is "A" or "V" where a value belongs is the
// receiver echoing a command or refusing it, and is not decoded.
#include "protocol/NmeaDecoders.h"

#include <cmath>
#include <cstring>

#include "model/CModel.h"
#include "model/GpsTime.h"
#include "protocol/NmeaDecodersShared.h"

using namespace nmea;

namespace {

const char kTf[] = "TF";
const char kVr[] = "VR";
const char kNm[] = "NM";
const char kPt[] = "PT";
const char kPs[] = "PS";
const char kCr[] = "CR";
const char kDm[] = "DM";
const char kSv[] = "SV";

// Machine id and health error values of the TF status letters.
enum : uint32_t { STATUS_GOOD = 1, STATUS_WARNING = 2 };
// TF fix flag: 0 no fix, 2 a 2-D fix, anything else a 3-D fix.
enum : int32_t { TF_NO_FIX = 0, TF_FIX_2D = 2 };

const double kTwoPi = 2.0 * kPi;

template <size_t N>
void CopyField(char (&dst)[N], const NmeaField& field)
{
    size_t n = static_cast<size_t>(field.length);
    if (n > N - 1) n = N - 1;
    if (n > 0) std::memcpy(dst, field.text, n);
    dst[n] = '\0';
}

uint8_t ToByte(int32_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 0xFF ? 0xFF : value); }
uint16_t ToWord(int32_t value) { return static_cast<uint16_t>(value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : value); }

bool IsStatusLetter(char c) { return c == 'A' || c == 'V'; }

// ---- TF -----------------------------------------------------------------------

// TF's time: GPS seconds of the week.
bool ReadSecondsOfWeek(const NmeaFields& f, int n, double& seconds)
{
    double value = 0.0;
    if (!f.Double(n, value) || !(value >= 0.0) || !(value < GPS_SECONDS_PER_WEEK)) return false;
    seconds = value;
    return true;
}

TimeOfDay TimeOfDayOf(double secondsOfWeek)
{
    const uint32_t seconds = static_cast<uint32_t>(secondsOfWeek) % static_cast<uint32_t>(kSecondsPerDay);
    TimeOfDay t;
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    t.seconds = seconds;
    return t;
}

// Position and velocity of a TF reply with a fix. The velocity arrives as
// east, north and up; NMEA's velocity slots carry speed and heading.
void StoreTfFix(const NmeaFields& f, CModel* model, int32_t fixFlag)
{
    double latitude = 0.0, longitude = 0.0;
    const bool position = ReadLatitude(f, 6, latitude) && ReadLongitude(f, 8, longitude);
    double east = 0.0, north = 0.0, up = 0.0;
    const bool velocity = f.Double(11, east) && f.Double(12, north) && f.Double(13, up) &&
                          std::isfinite(east) && std::isfinite(north) && std::isfinite(up);
    if (!position && !velocity) return;
    NavState nav;
    model->GetNavState(nav);
    double fixTime = kNoFixTime;
    ReadSecondsOfWeek(f, 3, fixTime);
    nav.timeOfFix = fixTime;
    if (position) {
        nav.fixValid = 1;
        nav.latitude = latitude;
        nav.longitude = longitude;
        double altitude = 0.0;
        nav.height = f.Double(10, altitude) ? altitude : kValueUnknown;
        if (fixFlag == TF_FIX_2D)
            nav.fixFlags |= NAV_FIX_2D;
        else
            nav.fixFlags &= static_cast<uint8_t>(~NAV_FIX_2D);
    }
    if (velocity) {
        const double speed = std::sqrt(east * east + north * north);
        double heading = std::atan2(east, north);
        if (heading < 0.0) heading += kTwoPi;
        SetGroundVelocity(nav, speed, speed / kKnotsToMps, heading);
        nav.velUp = up;
    }
    if (position) {
        model->SetReportText(SLOT_POSITION, kTf);
        model->UpdateNavState(nav, NAV_KIND_LLA, nullptr);
    }
    if (velocity) {
        model->SetReportText(SLOT_VELOCITY, kTf);
        model->UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
    }
}

}  // namespace

void DecodeNmeaHealthReply(const NmeaFields& f, CModel* model)
{
    // A reply carries its status letters at characters 9 and 11; the query
    // "$PZULQTF" echoed back carries none.
    if (!IsStatusLetter(f.At(9)) || !IsStatusLetter(f.At(11))) return;
    model->SetReportFlag(FLAG_TF, true);
    model->SetReportText(SLOT_MACHINE_ID, kTf);
    model->SetMachineId(f.First(2) == 'A' ? STATUS_GOOD : STATUS_WARNING);
    model->SetReportText(SLOT_HEALTH_ERRORS, kTf);
    model->SetHealthErrorBits(f.First(1) == 'A' ? STATUS_GOOD : STATUS_WARNING);

    int32_t used = 0, fixFlag = 0;
    if (f.Int(4, used) && f.Int(5, fixFlag)) {
        FixModeRecord fix;
        model->GetFixModeAndDops(fix);
        fix.svCount = static_cast<uint8_t>(used < 0 ? 0 : used > MODEL_FIX_SV_COUNT ? static_cast<int32_t>(MODEL_FIX_SV_COUNT) : used);
        const bool hasFix = fixFlag != TF_NO_FIX;
        // GSA describes the fix better; TF then leaves health and fix mode to it.
        if (!model->GetReportFlag(FLAG_GSA)) {
            if (hasFix && !fix.manualMode) {
                model->SetReportText(SLOT_HEALTH, kTf);
                model->SetHealthStatus(HEALTH_DOING_FIXES);
            }
            model->SetReportText(SLOT_FIX_MODE, kTf);
            model->SetFixModeAndDops(fix, true);
        }
        if (hasFix) StoreTfFix(f, model, fixFlag);
    }

    double seconds = 0.0;
    if (ReadSecondsOfWeek(f, 3, seconds) && seconds != 0.0 && !model->GetReportFlag(FLAG_RMC) &&
        !model->GetReportFlag(FLAG_GGA) && !model->GetReportFlag(FLAG_ZDA))
        StoreTimeOfDayOnly(model, TimeOfDayOf(seconds), kTf);
}

// ---- VR -----------------------------------------------------------------------

namespace {

enum VersionKind : char { VERSION_NAVIGATION = 'N', VERSION_SIGNAL = 'S', VERSION_HARDWARE = 'H' };

bool TwoDigitsAt(const NmeaField& field, int offset, int& out)
{
    if (offset + 2 > field.length) return false;
    const char a = field.text[offset], b = field.text[offset + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    out = (a - '0') * 10 + (b - '0');
    return true;
}

int32_t IntOr(const NmeaFields& f, int n, int32_t otherwise)
{
    int32_t value = otherwise;
    return f.Int(n, value) ? value : otherwise;
}

// N and S: 2 name, 3 "vv.vv.vv", 4 month, 5 day, 6 year (two digits).
void DecodeFirmwareVersion(const NmeaFields& f, CModel* model, bool signalProcessor)
{
    const NmeaField name = f.Field(2);
    const NmeaField version = f.Field(3);
    int major = 0, minor = 0, build = 0;
    if (name.length == 0 || !TwoDigitsAt(version, 0, major) || !TwoDigitsAt(version, 3, minor) ||
        !TwoDigitsAt(version, 6, build))
        return;
    FirmwareVersionRecord record;
    std::memset(&record, 0, sizeof record);
    CopyField(record.name, name);
    record.major = static_cast<uint8_t>(major);
    record.minor = static_cast<uint8_t>(minor);
    record.build = static_cast<int16_t>(build);
    record.month = ToByte(IntOr(f, 4, 0));
    record.day = ToByte(IntOr(f, 5, 0));
    record.year = ToWord(IntOr(f, 6, 0));
    // The signal processor's firmware is the one the receiver is known by:
    // it fills record 0, the navigation firmware record 1.
    model->SetReportText(SLOT_FIRMWARE, kVr);
    model->IdentifyReceiver(record, signalProcessor ? 0 : 1);
    if (!signalProcessor) return;
    ProductRecord product;
    model->GetProductInfo(product);
    if (product.name[0] != '\0') return;
    CopyField(product.name, name);
    model->SetReportText(SLOT_PRODUCT, kVr);
    model->SetProductInfo(product);
}

// H: 2 code, 3 name (may be empty), 4 serial number, 5..8 build month, day,
// hour, year.
void DecodeHardwareVersion(const NmeaFields& f, CModel* model)
{
    int32_t code = 0;
    const NmeaField name = f.Field(3);
    if (!f.Int(2, code)) return;
    ProductRecord product;
    std::memset(&product, 0, sizeof product);
    product.code = ToWord(code);
    CopyField(product.name, name);
    product.serialNumber = static_cast<uint32_t>(IntOr(f, 4, 0));
    product.buildMonth = ToByte(IntOr(f, 5, 0));
    product.buildDay = ToByte(IntOr(f, 6, 0));
    product.buildHour = ToByte(IntOr(f, 7, 0));
    product.buildYear = ToWord(IntOr(f, 8, 0));
    model->SetReportText(SLOT_PRODUCT, kVr);
    model->SetProductInfo(product);
}

}  // namespace

void DecodeNmeaVersionReply(const NmeaFields& f, CModel* model)
{
    if (!f.Has(1) || IsEchoOrInvalid(f, 1)) return;
    switch (f.First(1)) {
    case VERSION_NAVIGATION: DecodeFirmwareVersion(f, model, false); break;
    case VERSION_SIGNAL: DecodeFirmwareVersion(f, model, true); break;
    case VERSION_HARDWARE: DecodeHardwareVersion(f, model); break;
    default:
        // A kind this monitor does not know: the versions it held may not
        // belong to this receiver.
        model->ClearData(13);
        break;
    }
}

// ---- NM, PT -------------------------------------------------------------------

void DecodeNmeaOutputConfigReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    NmeaOutputConfig record;
    int32_t interval = 0;
    if (!f.Hex(1, record.mask) || !f.Int(2, interval)) return;
    record.interval = static_cast<uint32_t>(interval);
    model->SetReportText(SLOT_NMEA_OUTPUT, kNm);
    model->SetNmeaOutputConfig(record);
}

namespace {

enum : int32_t { kLowestBaud = 1200, kHighestBaud = 115200, kFallbackBaud = 9600 };
enum : uint8_t { PORT_PARITY_NONE = 0, PORT_PARITY_ODD = 1, PORT_PARITY_EVEN = 2, PORT_STOP_BITS_ONE = 0, PORT_STOP_BITS_TWO = 2 };

}  // namespace

void DecodeNmeaPortConfigReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    int32_t baud = 0;
    uint32_t inputMask = 0, outputMask = 0;
    if (!f.Int(1, baud) || !f.Has(2) || !f.Has(3) || !f.Has(4) || !f.Hex(5, inputMask) || !f.Hex(6, outputMask))
        return;
    PortConfigRecord record;
    model->GetPortConfig(record);
    // A rate the receiver cannot run at is a reply the monitor misread.
    record.baud = static_cast<uint32_t>(baud < kLowestBaud || baud > kHighestBaud ? kFallbackBaud : baud);
    record.dataBits = f.Is(2, "7") ? 7 : 8;
    const char parity = f.First(3);
    record.parity = parity == 'E' ? PORT_PARITY_EVEN : parity == 'O' ? PORT_PARITY_ODD : PORT_PARITY_NONE;
    record.stopBits = f.Is(4, "2") ? PORT_STOP_BITS_TWO : PORT_STOP_BITS_ONE;
    record.inputMask = static_cast<uint8_t>(inputMask);
    record.outputMask = static_cast<uint8_t>(outputMask);
    model->SetReportText(SLOT_PORT, kPt);
    model->SetPortConfig(record);
}

// ---- PS -----------------------------------------------------------------------

namespace {

const double kPpsOffsetScale = 100.0;   // the reply gives the offset / 100
// The PPS mode's code in bits 5..6 of the timing I/O option byte.
enum : uint8_t { IO_PPS_SHIFT = 5, IO_PPS_MASK = 0x60 };
const int8_t kIoPpsCodeOfMode[] = {2, 0, 1};

}  // namespace

void DecodeNmeaPpsReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    int32_t mode = 0, polarity = 0;
    double offset = 0.0, width = 0.0;
    if (!f.Int(1, mode) || !f.Double(2, offset) || !f.Int(3, polarity) || !f.Double(4, width)) return;
    TimingConfig block;
    model->GetTimingConfig(block);
    block.ppsEnabled = ToByte(mode);
    block.ppsOffset = offset * kPpsOffsetScale;
    // The reply's 0 is the record's polarity 1, and the other way round.
    block.ppsPolarity = polarity == 0 ? 1 : 0;
    block.ppsWidth = width;  // nanoseconds, the record's unit for every protocol
    model->SetReportText(SLOT_PPS, kPs);
    model->SetTimingConfig(block, EV_PPS_SETTINGS);
    if (mode < 0 || mode >= static_cast<int32_t>(sizeof kIoPpsCodeOfMode)) return;
    IoOptions io;
    model->GetIoOptions(io);
    io.timing = static_cast<uint8_t>((io.timing & ~IO_PPS_MASK) | (kIoPpsCodeOfMode[mode] << IO_PPS_SHIFT));
    model->SetIoOptions(io);
}

// ---- CR -----------------------------------------------------------------------

namespace {

// The filter code of the reply, as the filter configuration's option bytes.
enum : int32_t { FILTER_CODE_KALMAN = 1, FILTER_CODE_PV_STATIC = 2, FILTER_CODE_EXTRA = 3 };

void ApplyFilterCode(FilterConfig& filter, int32_t code)
{
    switch (code) {
    case FILTER_CODE_KALMAN:
        filter.pv = 0;
        filter.staticFilter = 0;
        filter.kalman = 1;
        break;
    case FILTER_CODE_PV_STATIC:
        filter.pv = 1;
        filter.staticFilter = 1;
        filter.kalman = 0;
        break;
    case FILTER_CODE_EXTRA:
        filter.pv = 0;
        filter.staticFilter = 0;
        filter.altitude = 0;
        filter.kalman = 0;
        filter.extra = 1;
        break;
    default:
        filter.pv = 0;
        filter.staticFilter = 0;
        filter.kalman = 0;
        break;
    }
}

}  // namespace

void DecodeNmeaReceiverConfigReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    double snrMask = 0.0, elevationMask = 0.0, dopMask = 0.0, dopSwitch = 0.0, fifth = 0.0;
    int32_t operatingMode = 0, dynamics = 0, filterCode = 0;
    if (!f.Double(1, snrMask) || !f.Double(2, elevationMask) || !f.Double(3, dopMask) ||
        !f.Double(4, dopSwitch) || !f.Double(5, fifth) || !f.Int(6, operatingMode) || !f.Int(7, dynamics) ||
        !f.Int(8, filterCode))
        return;
    // The fifth value has no place in the navigation configuration record.
    NavConfig config;
    model->GetNavConfig(config);
    config.snrMask = ToFloat(snrMask);
    config.elevationMask = ToFloat(elevationMask * kDegreesToRadians);
    config.dopMask = ToFloat(dopMask);
    config.dopSwitch = ToFloat(dopSwitch);
    config.operatingMode = ToByte(operatingMode);
    config.dynamics = ToByte(dynamics);
    int32_t dgpsMode = 0;
    if (f.Int(9, dgpsMode)) config.dgpsMode = ToByte(dgpsMode);
    model->SetReportText(SLOT_NAV_CONFIG, kCr);
    model->SetNavConfig(config);
    FilterConfig filter;
    model->GetFilterConfig(filter);
    ApplyFilterCode(filter, filterCode);
    model->SetReportText(SLOT_FILTER, kCr);
    model->SetFilterConfig(filter);
}

// ---- KG -----------------------------------------------------------------------

namespace {

// The time-set answer of the receiver: accepted, or refused.
enum : int32_t { TIME_SET_ACCEPTED = 'Y', TIME_SET_REFUSED = 'N' };

}  // namespace

void DecodeNmeaTimeReply(const NmeaFields& f, CModel* model)
{
    // The answer is one status letter; the time-set command echoed back
    // ("$PZULSKG,0076,...") is not an answer.
    const char status = f.First(1);
    if (f.FieldLength(1) != 1 || status < 'A' || status > 'Z') return;
    const bool accepted = status == 'A';
    model->Notify(EV_TIME_SOURCE, accepted ? 1 : 0, IsSentEvent(EV_TIME_SOURCE));
    model->Notify(EV_TIME_SET_REPLY, accepted ? TIME_SET_ACCEPTED : TIME_SET_REFUSED,
                  IsSentEvent(EV_TIME_SET_REPLY));
}

// ---- DM, SV -------------------------------------------------------------------

void DecodeNmeaDatumReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    int32_t index = 0;
    DatumRecord record;
    if (!f.Int(1, index) || !f.Double(2, record.dx) || !f.Double(3, record.dy) || !f.Double(4, record.dz) ||
        !f.Double(5, record.aAxis) || !f.Double(6, record.eSquared))
        return;
    record.index = static_cast<int16_t>(index < 0 ? 0 : index > INT16_MAX ? INT16_MAX : index);
    model->SetReportText(SLOT_DATUM, kDm);
    model->SetDatum(record);
}

void DecodeNmeaSatelliteMaskReply(const NmeaFields& f, CModel* model)
{
    if (IsEchoOrInvalid(f, 1)) return;
    uint32_t disabled = 0, maskWord = 0;
    if (!f.Hex(1, disabled) || !f.Hex(2, maskWord)) return;
    SvFlags flags;
    // A set bit marks a satellite the receiver leaves out; the flag says
    // whether it may be used.
    for (int i = 0; i < MODEL_SV_COUNT; ++i) flags.flags[i] = ((disabled >> i) & 1u) != 0 ? 0 : 1;
    model->SetReportText(SLOT_SV_FLAGS, kSv);
    model->SetSvFlags(flags);
    model->SetReportText(SLOT_SV_MASK, kSv);
    model->SetSvMaskWord(maskWord);
}
