// The QOP reply decoders: "Ha" position and status, "Bb" visible satellites,
// "Cj" version text. Each decodes only a reply of its id's full length, so a
// fixed offset always lies inside the frame; the fields are still read
// through the bounded big-endian reader.
#include <cstring>

#include "model/CModel.h"
#include "model/ReportSlots.h"
#include "protocol/QbinComposer.h"
#include "protocol/QopProtocol.h"

namespace {

const double kDegToRad = 0.017453292519943295;
const double kMilliarcsecondsToRad = 4.8481368110953594e-9;
const double kCentimetresToMetres = 0.01;
// The clock term comes in receiver units; these two factors make it metres.
const double kClockUnitsToMetres = 0.6347513678891978 * 0.299792458;
const double kDopScale = 0.1;
const double kNoDop = -1.0;

enum : int { kQopHeaderLength = 4 };  // "@@" and the two id letters

enum : int { kWholeTable = 255 };  // tracking-table detail: every entry changed
enum : uint32_t { kBitClear = 1, kBitSet = 2 };

// What the parser of an id is handed for a whole reply: the table's reply
// length less the header; 0 for an id the table lacks.
int ReplyDataLength(char id1, char id2)
{
    const BYTE header[kQopHeaderLength] = {'@', '@', static_cast<BYTE>(id1), static_cast<BYTE>(id2)};
    const int length = GetQopMessageLength(header, QOP_LENGTH_REPLY);
    return length > kQopHeaderLength ? length - kQopHeaderLength : 0;
}

bool IsWholeReply(const BYTE* data, int length, CModel* model, char id1, char id2)
{
    return data != nullptr && model != nullptr && length > 0 && length == ReplyDataLength(id1, id2);
}

// ---- "Ha" ------------------------------------------------------------------------

// Data offsets.
enum : int {
    HA_MONTH = 0,
    HA_DAY = 1,
    HA_YEAR = 2,
    HA_HOUR = 4,
    HA_MINUTE = 5,
    HA_SECOND = 6,
    HA_LATITUDE = 11,
    HA_LONGITUDE = 15,
    HA_HEIGHT = 19,
    HA_DOP = 49,
    HA_CHANNELS = 53,
    HA_CHANNEL_SIZE = 6,  // satellite, mode, signal strength, 3 bytes unused
    HA_STATUS = 125,
    HA_CLOCK = 131,
};

enum : uint8_t { kChannelModeUsed = 8 };
enum : int { kStatusShift = 13, kStatusMask = 0x7 };
enum : int {
    STATUS_ACQUIRING = 2,
    STATUS_TRACKING = 3,  // health follows the satellites in use
    STATUS_POSITION = 4,
    STATUS_2D_FIX = 6,
    STATUS_3D_FIX = 7,
};
enum : uint16_t { kStatusBitMachine = 0x0080, kStatusBitAntenna1 = 0x0002, kStatusBitAntenna2 = 0x0004 };
enum : uint8_t { kFixMode2d = 3, kFixMode3d = 4 };
enum : int { kTimeSourceYear = 2000 };

struct HaChannel {
    uint8_t sv, mode, signal;
};

struct HaReply {
    GpsTimeInfo time;
    int32_t secondsOfDay;
    int32_t latitude, longitude, height, clock;
    uint16_t dop, status;
    HaChannel channels[MODEL_CHANNEL_COUNT];
};

bool ReadHa(const BYTE* data, int length, HaReply& ha)
{
    QbinFields f(data, length);
    ha.time.month = f.U8(HA_MONTH);
    ha.time.day = f.U8(HA_DAY);
    ha.time.year = f.U16(HA_YEAR);
    ha.time.hour = f.U8(HA_HOUR);
    ha.time.minute = f.U8(HA_MINUTE);
    ha.time.second = f.U8(HA_SECOND);
    ha.secondsOfDay = ha.time.hour * 3600 + ha.time.minute * 60 + ha.time.second;
    ha.latitude = f.I32(HA_LATITUDE);
    ha.longitude = f.I32(HA_LONGITUDE);
    ha.height = f.I32(HA_HEIGHT);
    ha.dop = f.U16(HA_DOP);
    for (int k = 0; k < MODEL_CHANNEL_COUNT; ++k) {
        const int base = HA_CHANNELS + HA_CHANNEL_SIZE * k;
        ha.channels[k] = HaChannel{f.U8(base), f.U8(base + 1), f.U8(base + 2)};
    }
    ha.status = f.U16(HA_STATUS);
    ha.clock = f.I32(HA_CLOCK);
    return f.Ok();
}

// The model's records as "Ha" changes them.
struct HaRecords {
    NavState nav;
    GpsTimeInfo time;
    FixModeRecord mode;
    DopRecord dops;
    TrackingTable tracking;
    uint32_t health;
    bool positionValid;
};

void ApplyChannels(const HaReply& ha, HaRecords& r)
{
    uint8_t used = 0;
    for (int k = 0; k < MODEL_CHANNEL_COUNT; ++k) {
        const HaChannel& c = ha.channels[k];
        r.tracking.entries[k].sv = c.sv;
        r.tracking.entries[k].signalLevel = static_cast<float>(c.signal);
        if (c.mode == kChannelModeUsed) {
            r.mode.svs[used] = c.sv;
            r.nav.svs[used] = c.sv;
            ++used;
        }
    }
    r.mode.svCount = used;
    r.nav.svCount = used;
}

// Health, fix mode and DOP from the receiver status in bits 13..15.
void ApplyStatus(const HaReply& ha, HaRecords& r)
{
    const double dop = ha.dop * kDopScale;
    r.positionValid = false;
    switch ((ha.status >> kStatusShift) & kStatusMask) {
    case STATUS_ACQUIRING: r.health = 4; break;
    case STATUS_TRACKING:
        // Too few satellites in use for a fix: the health says how many.
        if (r.mode.svCount <= 3)
            r.health = 5u + r.mode.svCount;
        else
            r.health = r.time.source == TIME_SOURCE_UTC_CALENDAR ? 3 : 2;
        break;
    case STATUS_POSITION:
        r.health = 10;
        r.positionValid = true;
        break;
    case STATUS_2D_FIX:
        r.mode.fixMode = kFixMode2d;
        r.nav.fixFlags = static_cast<uint8_t>(r.nav.fixFlags | NAV_FIX_2D);
        r.positionValid = true;
        r.health = 1;
        r.dops.hdop = dop;
        break;
    case STATUS_3D_FIX:
        r.mode.fixMode = kFixMode3d;
        r.nav.fixFlags = static_cast<uint8_t>(r.nav.fixFlags & ~NAV_FIX_2D);
        r.positionValid = true;
        r.health = 1;
        r.dops.pdop = dop;
        break;
    default: r.health = 0; break;
    }
}

int32_t AntennaDetail(uint16_t status)
{
    if (status & kStatusBitAntenna1) return 1;
    if (status & kStatusBitAntenna2) return 2;
    return 0;
}

// ---- "Bb" ------------------------------------------------------------------------

enum : int {
    BB_RECORDS = 1,
    BB_RECORD_SIZE = 7,  // satellite, 2 bytes, elevation, azimuth (16-bit), 1 byte
    BB_ELEVATION = 3,
    BB_AZIMUTH = 4,
};

// ---- "Cj" ------------------------------------------------------------------------

enum : int { kQopTrailerLength = 3 };  // checksum, CR, LF
enum : int { kVersionNumbers = 3, kNumberDigits = 5 };
enum : BYTE { kCr = 0x0D, kLf = 0x0A };

// One line of the version text, [begin, end) of the data.
struct TextLine {
    const BYTE* data;
    int begin, end;

    int Find(const char* text, int from) const
    {
        const int n = static_cast<int>(std::strlen(text));
        for (int p = from; p + n <= end; ++p)
            if (std::memcmp(data + p, text, static_cast<size_t>(n)) == 0) return p;
        return -1;
    }

    // Up to three numbers from `from` on, the first after any other
    // characters, the next each after one separator. Returns how many.
    int Numbers(int from, char separator, int (&out)[kVersionNumbers]) const
    {
        int p = from;
        while (p < end && (data[p] < '0' || data[p] > '9')) ++p;
        int count = 0;
        while (count < kVersionNumbers) {
            if (count > 0) {
                if (p >= end || data[p] != separator) break;
                ++p;
            }
            int value = 0, digits = 0;
            while (p < end && digits < kNumberDigits && data[p] >= '0' && data[p] <= '9') {
                value = value * 10 + (data[p] - '0');
                ++p;
                ++digits;
            }
            if (digits == 0) break;
            out[count++] = value;
        }
        return count;
    }
};

template <typename T>
T Narrow(int value, int limit)
{
    return static_cast<T>(value <= limit ? value : 0);
}

// Reads the version line and the date line; false when the text has neither.
bool ReadVersionText(const BYTE* data, int length, FirmwareVersionRecord& firmware)
{
    bool found = false;
    int p = 0;
    while (p < length) {
        int end = p;
        while (end < length && data[end] != kCr) ++end;
        const TextLine line{data, p, end};
        int numbers[kVersionNumbers] = {0, 0, 0};
        int at = line.Find("SOFTWARE VER", p);
        if (at >= 0) {
            const int hash = line.Find("#", at);
            const int n = hash >= 0 ? line.Numbers(hash + 1, '.', numbers) : 0;
            if (n > 0) {
                firmware.major = Narrow<uint8_t>(numbers[0], 0xFF);
                firmware.minor = Narrow<uint8_t>(numbers[1], 0xFF);
                if (n > 2) firmware.build = Narrow<int16_t>(numbers[2], 0x7FFF);
                found = true;
            }
        }
        at = line.Find("SOFTWARE DATE", p);
        if (at >= 0) {
            const int n = line.Numbers(line.Find("DATE", at) + 4, '/', numbers);
            if (n > 0) {
                firmware.month = Narrow<uint8_t>(numbers[0], 0xFF);
                firmware.day = Narrow<uint8_t>(numbers[1], 0xFF);
                firmware.year = Narrow<uint16_t>(numbers[2], 0xFFFF);
                found = true;
            }
        }
        p = end + 1;
        if (p < length && data[p] == kLf) ++p;
    }
    return found;
}

}  // namespace

void ParseQopPositionStatus(const BYTE* data, int length, CModel* model)
{
    if (!IsWholeReply(data, length, model, 'H', 'a')) return;
    HaReply ha;
    std::memset(&ha, 0, sizeof ha);
    if (!ReadHa(data, length, ha)) return;

    HaRecords r;
    std::memset(&r, 0, sizeof r);
    model->GetNavState(r.nav);
    model->GetTimeInfo(r.time);
    model->GetFixModeAndDops(r.mode);
    model->GetTrackingTable(r.tracking);
    r.time.month = ha.time.month;
    r.time.day = ha.time.day;
    r.time.year = ha.time.year;
    r.time.hour = ha.time.hour;
    r.time.minute = ha.time.minute;
    r.time.second = ha.time.second;
    r.time.source = ha.time.year > kTimeSourceYear ? TIME_SOURCE_UTC_CALENDAR : 0;
    r.dops = DopRecord{kNoDop, kNoDop, kNoDop, kNoDop};
    ApplyChannels(ha, r);
    ApplyStatus(ha, r);
    r.nav.fixValid = r.positionValid ? 1 : 0;
    r.nav.timeOfFix = ha.secondsOfDay;
    r.nav.latitude = ha.latitude * kMilliarcsecondsToRad;
    r.nav.longitude = ha.longitude * kMilliarcsecondsToRad;
    r.nav.height = ha.height * kCentimetresToMetres;
    r.nav.clockBias = ha.clock * kClockUnitsToMetres;

    const char* const label = "@@Ha";
    model->SetHealthStatus(r.health);
    model->SetReportText(SLOT_HEALTH, label);
    model->SetTimeInfo(r.time, false, 1);
    model->SetReportText(SLOT_TIME, label);
    model->SetFixModeAndDops(r.mode, true);
    model->SetReportText(SLOT_FIX_MODE, label);
    model->SetDops(r.dops);
    model->SetReportText(SLOT_DOPS, label);
    model->SetMachineId((ha.status & kStatusBitMachine) != 0 ? kBitSet : kBitClear);
    model->SetReportText(SLOT_MACHINE_ID, label);
    model->SetTrackingTable(r.tracking, kWholeTable);
    model->SetReportText(SLOT_TRACKING, label);
    if (r.positionValid) {
        model->UpdateNavState(r.nav, NAV_KIND_TIMING_FIX, nullptr);
        model->SetReportText(SLOT_POSITION, label);
    }
    model->SetReportText(SLOT_CLOCK_BIAS, label);
    model->Notify(EV_ANTENNA_STATUS, AntennaDetail(ha.status), IsSentEvent(EV_ANTENNA_STATUS));
    model->SetReportText(SLOT_ANTENNA, label);
}

void ParseQopSatellites(const BYTE* data, int length, CModel* model)
{
    if (!IsWholeReply(data, length, model, 'B', 'b')) return;
    QbinFields f(data, length);
    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    model->GetTrackingTable(table);
    for (int r = 0; r < MODEL_CHANNEL_COUNT; ++r) {
        const int base = BB_RECORDS + BB_RECORD_SIZE * r;
        const uint8_t sv = f.U8(base);
        const uint8_t elevation = f.U8(base + BB_ELEVATION);
        const uint16_t azimuth = f.U16(base + BB_AZIMUTH);
        if (!f.Ok()) return;
        if (sv == 0) continue;  // an empty record; 0 would match every empty channel
        for (TrackingEntry& e : table.entries) {
            if (e.sv != sv) continue;
            e.elevation = static_cast<float>(elevation * kDegToRad);
            e.azimuth = static_cast<float>(azimuth * kDegToRad);
        }
    }
    model->SetTrackingTable(table, kWholeTable);
    model->SetReportText(SLOT_TRACKING, "@@Bb");
}

void ParseQopVersion(const BYTE* data, int length, CModel* model)
{
    if (!IsWholeReply(data, length, model, 'C', 'j')) return;
    FirmwareVersionRecord firmware;
    std::memset(&firmware, 0, sizeof firmware);
    firmware.build = -1;
    if (!ReadVersionText(data, length - kQopTrailerLength, firmware)) return;
    // The text names one firmware: no second record stays beside it.
    model->ClearData(13);
    model->IdentifyReceiver(firmware, 0);
    model->SetReportText(SLOT_FIRMWARE, "@@Cj");
}
