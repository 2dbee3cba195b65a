#include "protocol/QbinTimingReports.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "protocol/QbinComposer.h"
#include "protocol/QbinReports.h"

namespace {

// ---- Reading -----------------------------------------------------------------

typedef QbinFields Fields;

// Minimum data lengths (sub-code byte included) of each 0x8F reply: the end
// of its last field. Kept as data so the decoders and their tests agree.
struct MinLength {
    BYTE code;
    int minimum;
};

const MinLength kTimingMinimum[] = {
    {0x14, 43}, {0x15, 43}, {0x20, 56}, {0x26, 5},  {0x4A, 16}, {0x4D, 5},
    {0x4E, 2},  {0x4F, 9},  {0xA2, 2},  {0xA5, 5},  {0xA6, 2},  {0xA8, 2},
    {0xA9, 7},  {0xAB, 17}, {0xAC, 68},
};

// 0x8F-A8: the parameter type decides how many floats follow from data 2.
const int kDiscipliningFloats[4] = {2, 3, 2, 1};

int TimingMinimum(BYTE subcode)
{
    for (const MinLength& m : kTimingMinimum)
        if (m.code == subcode) return m.minimum;
    return -1;
}

// Lengths a 0x5F-03 diagnostic-log report may have when it is not an "X"
// marker report; anything else is a garbled frame and stays out of the log.
// The report length table is the one place these lengths are written down.
bool IsDiagLogLength(int length)
{
    int count = 0;
    const QbinLengthRule* table = GetQbinLengthTable(count);
    for (int i = 0; i < count; ++i) {
        const QbinLengthRule& row = table[i];
        if (row.id == 0x5F && row.subcode == 0x03 && length >= row.minAccepted &&
            (row.maxAccepted == QBIN_ANY_LENGTH || length <= row.maxAccepted))
            return true;
    }
    return false;
}

// ---- Translation text ----------------------------------------------------------

bool TranslationOn(CConverterEngine* engine)
{
    return engine != nullptr && engine->IsTranslationOn();
}

// printf into a growing text. Field values come from the wire and a %f of a
// huge double runs to hundreds of characters, so the buffer is sized by a
// first measuring pass rather than fixed.
void AppendF(std::string& out, const char* format, ...)
{
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (needed < 0) {
        va_end(copy);
        return;
    }
    if (static_cast<size_t>(needed) < sizeof small) {
        out.append(small, static_cast<size_t>(needed));
    } else {
        std::string big(static_cast<size_t>(needed) + 1, '\0');
        vsnprintf(&big[0], big.size(), format, copy);
        out.append(big.c_str(), static_cast<size_t>(needed));
    }
    va_end(copy);
}

void Emit(CConverterEngine* engine, const std::string& text)
{
    if (TranslationOn(engine) && !text.empty()) engine->WriteTranslationText(text.c_str(), false, false);
}

// Whole part of a wire value for a text field. Converting a NaN, an infinity
// or a value beyond int to int is undefined, so such values print as 0.
int WholeOrZero(double value)
{
    if (!std::isfinite(value) || value <= -2147483648.0 || value >= 2147483647.0) return 0;
    return static_cast<int>(value);
}

// Degrees as "d:mm.mmmmmm X" for the timing position line.
void AppendDegMin(std::string& out, double degrees, char positive, char negative)
{
    const char letter = degrees < 0 ? negative : positive;
    double a = std::fabs(degrees);
    if (!std::isfinite(a) || a > 1e6) a = 0;  // an untrusted value must not blow up the line
    const int whole = WholeOrZero(a);
    AppendF(out, "%d:%09.6f %c", whole, (a - whole) * 60.0, letter);
}

const char* YesNo(bool value) { return value ? "yes" : "no"; }

// ---- Model helpers ---------------------------------------------------------------

void SetSlot(CModel* model, int slot, const char* label)
{
    if (model != nullptr) model->SetReportText(slot, label);
}

// Read-modify-write of the timing configuration block: each reply carries one
// part of it and the rest must survive.
TimingConfig CurrentTimingConfig(CModel* model)
{
    TimingConfig block;
    std::memset(&block, 0, sizeof block);
    if (model != nullptr) model->GetTimingConfig(block);
    return block;
}

void StoreTimingConfig(CModel* model, const TimingConfig& block, int32_t event)
{
    if (model != nullptr) model->SetTimingConfig(block, event);
}

// ---- 0x8F replies -----------------------------------------------------------------

bool DecodeDatum(Fields& f, BYTE subcode, CModel* model, CConverterEngine* engine)
{
    DatumRecord d;
    std::memset(&d, 0, sizeof d);
    d.index = f.I16(1);
    d.dx = f.Double(3);
    d.dy = f.Double(11);
    d.dz = f.Double(19);
    d.aAxis = f.Double(27);
    d.eSquared = f.Double(35);
    if (!f.Ok()) return false;

    std::string text;
    if (TranslationOn(engine)) {
        if (d.index < 0)
            text += "\r\nUser-Entered Datum:";
        else if (d.index == 0)
            text += "\r\nWGS-84 datum, Index 0 ";
        else
            AppendF(text, "\r\nStandard Datum, Index %3d ", static_cast<int>(d.index));
        AppendF(text, "\r\n   dx        = %-6.1f", d.dx);
        AppendF(text, "\r\n   dy        = %-6.1f", d.dy);
        AppendF(text, "\r\n   dz        = %-6.1f", d.dz);
        AppendF(text, "\r\n   a-axis    = %-10.3f", d.aAxis);
        AppendF(text, "\r\n   e-squared = %-16.14f", d.eSquared);
    }
    if (model != nullptr) {
        SetSlot(model, 24, subcode == 0x14 ? "0x8F-14" : "0x8F-15");
        model->SetDatum(d);
    }
    Emit(engine, text);
    return true;
}

// Scale factors exactly as the receiver's firmware computes them: single
// precision constants widened to double, so the low 32 bits are zero.
const double kVelocityScaleFine = 0.004999999888241291;    // 0.005f
const double kVelocityScaleCoarse = 0.019999999552965164;  // 0.02f
const double kSemicircleToRadians = 1.462918079267163e-9;  // pi / 2^31
const double kPi = 3.1415926535898;
const double kTwoPi = 6.2831853071796;

bool DecodeLastFix(Fields& f, CModel* model, CConverterEngine* engine)
{
    const int16_t velE = f.I16(2);
    const int16_t velN = f.I16(4);
    const int16_t velU = f.I16(6);
    const uint32_t towMs = f.U32(8);
    const int32_t latWord = f.I32(12);
    const uint32_t lonWord = f.U32(16);
    const int32_t heightMm = f.I32(20);
    const uint8_t velScaleFlag = f.U8(24);
    const uint8_t datum = f.U8(26);
    const uint8_t fixFlags = f.U8(27);
    const uint8_t svCount = f.U8(28);
    const uint8_t utcOffset = f.U8(29);
    const uint16_t week = f.U16(30);
    if (!f.Ok()) return false;

    NavState nav;
    std::memset(&nav, 0, sizeof nav);
    if (model != nullptr) model->GetNavState(nav);

    const double scale = (velScaleFlag & 1) ? kVelocityScaleCoarse : kVelocityScaleFine;
    nav.velEast = velE * scale;
    nav.velNorth = velN * scale;
    nav.velUp = velU * scale;
    nav.timeOfFix = towMs * 0.001;
    nav.week = week;
    const double lat = latWord * kSemicircleToRadians;
    double lon = lonWord * kSemicircleToRadians;
    if (lon > kPi) lon -= kTwoPi;
    const double h = heightMm * 0.001;
    nav.latitude = lat;
    nav.longitude = lon;
    nav.height = h;

    // WGS-84 ellipsoid: e^2 = 0.00669437999013.
    const double sinLat = std::sin(lat);
    const double n = 6378137.0 / std::sqrt(1.0 - 0.00669437999013 * sinLat * sinLat);
    nav.x = (n + h) * std::cos(lat) * std::cos(lon);
    nav.y = (n + h) * std::cos(lat) * std::sin(lon);
    nav.z = (0.99330562000987 * n + h) * sinLat;

    nav.datum = static_cast<int16_t>(static_cast<int>(datum) - 1);
    nav.fixFlags = fixFlags;
    nav.svCount = svCount;
    nav.utcOffset = static_cast<int8_t>(utcOffset <= 127 ? utcOffset : static_cast<int>(utcOffset) - 256);

    // The list belongs to this fix only: a report without a usable list must
    // not leave the previous fix's satellites behind.
    std::memset(nav.svs, 0, sizeof nav.svs);
    std::memset(nav.iode, 0, sizeof nav.iode);
    const int entries = (f.Length() - 40) / 2;
    if ((entries == 8 || entries == 12) && f.Reader().Has(32, 2 * entries)) {
        for (int i = 0; i < entries; ++i) {
            const uint8_t first = f.U8(32 + 2 * i);
            const uint8_t second = f.U8(33 + 2 * i);
            nav.svs[i] = static_cast<uint8_t>(first & 0x3F);
            nav.iode[i] = static_cast<uint16_t>(second + 256 * (first >> 6));
        }
    }

    nav.clockBias = 0;
    nav.clockBiasRate = 0;
    nav.fixValid = ((fixFlags & NAV_FIX_BAD) == 0 && svCount != 0) ? 1 : 0;

    if (model != nullptr) {
        SetSlot(model, 2, "0x8F-20");
        SetSlot(model, 3, "0x8F-20");
        // The model writes the fix's translation text itself.
        model->UpdateNavState(nav, NAV_KIND_FIX, engine);
    }
    return true;
}

bool DecodeStorageWrite(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint32_t status = f.U32(1);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nNon-volatile storage write %s", status == 0 ? "successful" : "failed");
    if (model != nullptr) model->Notify(EV_NVS_WRITE_RESULT, static_cast<int32_t>(status & 0xFFFF), false);
    Emit(engine, text);
    return true;
}

bool DecodePpsSettings(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t enabled = f.U8(1);
    const uint8_t timeBase = f.U8(2);
    const uint8_t polarity = f.U8(3);
    const double offset = f.Double(4);
    const float bias = f.Float(12);
    if (!f.Ok()) return false;

    std::string text;
    if (TranslationOn(engine)) {
        static const char* const kSwitch[] = {"disabled", "enabled"};
        static const char* const kBase[] = {"GPS", "UTC", "user"};
        static const char* const kPolarity[] = {"positive", "negative"};
        text += "\r\nPPS Configuration:";
        AppendF(text, "\r\n   Switch:   %s", enabled < 2 ? kSwitch[enabled] : "unknown driver switch");
        AppendF(text, "\r\n   Timebase: %s", timeBase < 3 ? kBase[timeBase] : "unknown timebase");
        AppendF(text, "\r\n   Polarity: %s", polarity < 2 ? kPolarity[polarity] : "unknown polarity");
        AppendF(text, "\r\n   Offset:   %g", offset);
        AppendF(text, "\r\n   Bias unc: %g", static_cast<double>(bias));
    }
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.ppsEnabled = enabled;
        block.timeBase = timeBase;
        block.ppsPolarity = polarity;
        block.ppsOffset = offset;
        block.biasThreshold = bias;
        SetSlot(model, 18, "0x8F-4A");
        StoreTimingConfig(model, block, EV_PPS_SETTINGS);
    }
    Emit(engine, text);
    return true;
}

bool DecodeAutoPacketMask(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint32_t mask = f.U32(1);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nAutomatic Packet Output Mask:\r\n   Mask: 0x%08X", static_cast<unsigned>(mask));
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.autoPacketMask = mask;
        StoreTimingConfig(model, block, EV_AUTO_PACKET_MASK);
    }
    Emit(engine, text);
    return true;
}

bool DecodePpsQualifier(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t mode = f.U8(1);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nPPS Qualifier:\r\n   PPS output:   %d\r\n   Even second?: %s", mode & 0x7F,
                YesNo((mode & 0x80) != 0));
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.ppsOutputMode = mode;
        StoreTimingConfig(model, block, EV_PPS_OUTPUT_MODE);
    }
    Emit(engine, text);
    return true;
}

bool DecodePpsWidth(Fields& f, CModel* model, CConverterEngine* engine)
{
    const double width = f.Double(1);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nPPS Pulse Width:\r\n   Width:    %lf nanoseconds", width);
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.ppsWidth = width;
        StoreTimingConfig(model, block, EV_PPS_WIDTH);
    }
    Emit(engine, text);
    return true;
}

bool DecodeTimingMode(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t mode = f.U8(1);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nUTC/GPS Timing mode:\r\n   Time/Date in 0x8F-AB: %s\r\n          PPS Reference: %s",
                (mode & 1) ? "UTC" : "GPS", (mode & 2) ? "UTC" : "GPS");
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.timingMode = mode;
        StoreTimingConfig(model, block, EV_TIMING_MODE);
    }
    Emit(engine, text);
    return true;
}

bool DecodeBroadcastMask(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint16_t mask0 = f.U16(1);
    const uint16_t mask1 = f.U16(3);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nPacket Broadcast Mask:\r\n   Mask0: 0x%04X\r\n   Mask1: 0x%04X",
                static_cast<unsigned>(mask0), static_cast<unsigned>(mask1));
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.broadcastMask0 = mask0;
        block.broadcastMask1 = mask1;
        StoreTimingConfig(model, block, EV_PACKET_MASK);
    }
    Emit(engine, text);
    return true;
}

bool DecodeSelfSurveyReply(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t result = f.U8(1);
    if (!f.Ok()) return false;
    if (TranslationOn(engine)) {
        const char* text = result == 1   ? "\r\nSelf-surveyed position saved!"
                           : result == 2 ? "\r\nSelf-surveyed position deleted!"
                                         : "\r\nSelf-survey restarted!";
        engine->WriteTranslationText(text, false, false);
    }
    if (model != nullptr) model->Notify(EV_SELF_SURVEY_REPLY, result, false);
    return true;
}

bool DecodeDiscipliningParams(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t type = f.U8(1);
    if (!f.Ok() || type > 3) return false;
    float values[3] = {0, 0, 0};
    for (int i = 0; i < kDiscipliningFloats[type]; ++i) values[i] = f.Float(2 + 4 * i);
    if (!f.Ok()) return false;

    std::string text;
    if (TranslationOn(engine)) {
        AppendF(text, "\r\nDisciplining Parameters (type %d):", static_cast<int>(type));
        for (int i = 0; i < kDiscipliningFloats[type]; ++i)
            AppendF(text, " %g", static_cast<double>(values[i]));
    }
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        switch (type) {
        case 0:
            block.timeConstant = values[0];
            block.damping = values[1];
            break;
        case 1:
            block.ko = values[0];
            block.minVoltage = values[1];
            block.maxVoltage = values[2];
            break;
        case 2:
            block.jamSyncThreshold = values[0];
            block.maxFreqOffset = values[1];
            break;
        default:
            block.initialDac = values[0];
            break;
        }
        StoreTimingConfig(model, block, EV_DISCIPLINING_0 + type);
    }
    Emit(engine, text);
    return true;
}

bool DecodeSelfSurveyParams(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t enable = f.U8(1);
    const uint8_t save = f.U8(2);
    const uint32_t length = f.U32(3);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text,
                "\r\nSelf-survey Configuration:\r\n   Self-survey Enable: %s\r\n   Position Save Flag: "
                "%s\r\n   Survey Length:      %ld",
                enable ? "Enabled" : "Disabled",
                save ? "1 (save position at end of survey)" : "0 (don't save position)",
                static_cast<long>(length));
    if (model != nullptr) {
        TimingConfig block = CurrentTimingConfig(model);
        block.surveyEnable = enable;
        block.surveySave = save;
        block.surveyLength = length;
        StoreTimingConfig(model, block, EV_SELF_SURVEY_PARAMS);
    }
    Emit(engine, text);
    return true;
}

bool DecodePrimaryTiming(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint32_t tow = f.U32(1);
    const uint16_t week = f.U16(5);
    const int16_t offset = f.I16(7);
    const uint8_t flags = f.U8(9);
    const uint8_t second = f.U8(10);
    const uint8_t minute = f.U8(11);
    const uint8_t hour = f.U8(12);
    const uint8_t day = f.U8(13);
    const uint8_t month = f.U8(14);
    const uint16_t year = f.U16(15);
    if (!f.Ok()) return false;

    std::string text;
    if (TranslationOn(engine)) {
        AppendF(text, "\r\n8FAB: TOW: %06d  WN: %04d", static_cast<int>(tow), static_cast<int>(week));
        AppendF(text, "\r\n      %04d/%02d/%02d  %02d:%02d:%02d", static_cast<int>(year),
                static_cast<int>(month), static_cast<int>(day), static_cast<int>(hour),
                static_cast<int>(minute), static_cast<int>(second));
        AppendF(text, "\r\n      UTC Offset: %d s   Timing flag: 000%d%d%d%d%d", static_cast<int>(offset),
                (flags >> 4) & 1, (flags >> 3) & 1, (flags >> 2) & 1, (flags >> 1) & 1, flags & 1);
    }
    // Bit 2 marks the time as not yet valid; such a report is shown but
    // must not overwrite a good time.
    if (model != nullptr && (flags & 0x04) == 0) {
        GpsTimeInfo t;
        std::memset(&t, 0, sizeof t);
        model->GetTimeInfo(t);
        t.timeOfWeek = tow;
        t.week = week;
        t.utcOffset = static_cast<uint8_t>(static_cast<uint16_t>(offset) & 0xFF);
        t.timingFlags = flags;
        t.second = second;
        t.minute = minute;
        t.hour = hour;
        t.day = day;
        t.month = month;
        t.year = year;
        t.source = TIME_SOURCE_UTC_CALENDAR;
        SetSlot(model, 4, "0x8F-AB");
        model->SetTimeInfo(t, true, 1);
        model->Notify(EV_PRIMARY_TIMING, 0, false);
    }
    Emit(engine, text);
    return true;
}

const char* ReceiverModeText(uint8_t mode)
{
    static const char* const kModes[] = {"Automatic (2D/3D)",  "Single Satellite (Time)",
                                         "Horizontal (2D)",    "Full Position (3D)",
                                         "DGPR Reference",     "Clock Hold (2D)",
                                         "Overdetermined Clock"};
    return mode < sizeof kModes / sizeof kModes[0] ? kModes[mode] : "unknown";
}

void AppendAlarmBits(std::string& out, uint16_t bits)
{
    AppendF(out, "%d%d%d%d.%d%d%d%d", (bits >> 7) & 1, (bits >> 6) & 1, (bits >> 5) & 1, (bits >> 4) & 1,
            (bits >> 3) & 1, (bits >> 2) & 1, (bits >> 1) & 1, bits & 1);
}

const double kRadiansToDegrees = 57.29577951308232;
const double kMetresPerNanosecond = 0.299792458;

bool DecodeSupplementalTiming(Fields& f, CModel* model, CConverterEngine* engine)
{
    SupplementalTiming s;
    std::memset(&s, 0, sizeof s);
    s.receiverMode = f.U8(1);
    s.disciplineMode = f.U8(2);
    s.surveyProgress = f.U8(3);
    s.holdover = f.U32(4);
    s.criticalAlarms = f.U16(8);
    s.minorAlarms = f.U16(10);
    s.decodingStatus = f.U8(12);
    s.disciplineActivity = f.U8(13);
    s.spare14 = f.U8(14);
    s.spare15 = f.U8(15);
    s.ppsOffset = f.Float(16);
    s.clockOffset = f.Float(20);
    s.dacValue = f.U32(24);
    s.dacVoltage = f.Float(28);
    s.temperature = f.Float(32);
    const double latRad = f.Double(36);
    const double lonRad = f.Double(44);
    s.altitude = f.Double(52);
    s.ppsQuantError = f.Float(60);
    s.byte64 = f.U8(64);
    if (!f.Ok()) return false;
    s.latitude = latRad * kRadiansToDegrees;
    s.longitude = lonRad * kRadiansToDegrees;

    std::string text;
    if (TranslationOn(engine)) {
        AppendF(text, "\r\n8FAC: RecvMode: %s   DiscMode: %d   SelfSurv: %d   Holdover: %d s",
                ReceiverModeText(s.receiverMode), static_cast<int>(s.disciplineMode),
                static_cast<int>(s.surveyProgress), static_cast<int>(s.holdover));
        text += "\r\n      Crit: ";
        AppendAlarmBits(text, s.criticalAlarms);
        text += "   Minr: ";
        AppendAlarmBits(text, s.minorAlarms);
        AppendF(text, "\r\n      GPS Status: %d   Discpln Act: %d   Spare Status: %d %d",
                static_cast<int>(s.decodingStatus), static_cast<int>(s.disciplineActivity),
                static_cast<int>(s.spare14), static_cast<int>(s.spare15));
        AppendF(text, "\r\n      Qual:  PPS: %.1f ns   Freq: %.3f PPB  PPS Quant Error: %5.1f ns",
                static_cast<double>(s.ppsOffset), static_cast<double>(s.clockOffset),
                static_cast<double>(s.ppsQuantError));
        AppendF(text, "\r\n      DAC:  Value: %d   Voltage: %f   Temp: %f deg C", static_cast<int>(s.dacValue),
                static_cast<double>(s.dacVoltage), static_cast<double>(s.temperature));
        text += "\r\n      Pos:  ";
        AppendDegMin(text, s.latitude, 'N', 'S');
        text += "   ";
        AppendDegMin(text, s.longitude, 'E', 'W');
        AppendF(text, "   %.2f m ", s.altitude);
    }

    if (model != nullptr) {
        SetSlot(model, 19, "0x8F-AC");
        model->SetSupplementalTiming(s);
        // Status 0: the receiver is decoding, so its position is a fix.
        if (s.decodingStatus == 0) {
            NavState nav;
            std::memset(&nav, 0, sizeof nav);
            model->GetNavState(nav);
            GpsTimeInfo t;
            std::memset(&t, 0, sizeof t);
            model->GetTimeInfo(t);
            nav.latitude = latRad;
            nav.longitude = lonRad;
            nav.height = s.altitude;
            nav.timeOfFix = t.timeOfWeek;
            nav.week = t.week;
            if (s.byte64 == 0) {
                nav.clockBiasRate = static_cast<float>(static_cast<double>(s.clockOffset) * kMetresPerNanosecond);
                SetSlot(model, 12, "0x8F-AC");
            }
            SetSlot(model, 2, "0x8F-AC");
            model->UpdateNavState(nav, NAV_KIND_TIMING_FIX, engine);
        }
    }
    Emit(engine, text);
    return true;
}

// ---- 0x5F diagnostics -----------------------------------------------------------

// Component versions. The walk stops at the first entry that does not fit in
// the data; complete entries before it are kept.
bool DecodeComponentVersions(Fields& f, CModel* model, CConverterEngine* engine)
{
    if (f.Length() < 8) return false;
    const uint8_t count = f.U8(2);
    const bool extended = f.U8(3) == 'Z';
    if (!f.Ok()) return false;

    FirmwareVersionRecord records[MODEL_COMPONENT_COUNT];
    int found = 0;
    int offset = extended ? 5 : 3;
    const int fixedBytes = extended ? 7 : 6;  // major, minor, (build), two date bytes, year
    for (int i = 0; i < count && found < MODEL_COMPONENT_COUNT; ++i) {
        uint8_t nameLength = 0;
        if (!f.Reader().U8(offset, nameLength)) break;
        if (!f.Reader().Has(offset + 1, nameLength + fixedBytes)) break;
        FirmwareVersionRecord& r = records[found];
        std::memset(&r, 0, sizeof r);
        f.Reader().Text(offset + 1, nameLength, r.name, static_cast<int>(sizeof r.name));
        int p = offset + 1 + nameLength;
        r.major = f.U8(p++);
        r.minor = f.U8(p++);
        r.build = extended ? static_cast<int16_t>(f.U8(p++)) : static_cast<int16_t>(-1);
        r.month = f.U8(p++);
        r.day = f.U8(p++);
        r.year = f.U16(p);
        p += 2;
        offset = p;
        ++found;
    }
    if (!f.Ok()) return false;

    std::string text;
    if (TranslationOn(engine)) {
        AppendF(text, "\r\nComponent versions (%d):", found);
        for (int i = 0; i < found; ++i)
            AppendF(text, "\r\n   %s %d.%02d %02d/%02d/%04d", records[i].name,
                    static_cast<int>(records[i].major), static_cast<int>(records[i].minor),
                    static_cast<int>(records[i].month), static_cast<int>(records[i].day),
                    static_cast<int>(records[i].year));
    }
    if (model != nullptr) {
        // Years past 2075 are uninitialised entries; the views refresh once,
        // after the last entry that is kept.
        int last = -1;
        for (int i = 0; i < found; ++i)
            if (records[i].year <= 2075) last = i;
        for (int i = 0; i <= last; ++i)
            if (records[i].year <= 2075) model->SetComponentVersion(records[i], i, i == last);
    }
    Emit(engine, text);
    return true;
}

bool DecodeNavConfigByte(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t value = f.U8(2);
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine)) AppendF(text, "\r\nOperating mode set to %d", static_cast<int>(value));
    if (model != nullptr) {
        NavConfig cfg;
        std::memset(&cfg, 0, sizeof cfg);
        model->GetNavConfig(cfg);
        cfg.operatingMode = value;
        model->SetNavConfig(cfg);
    }
    Emit(engine, text);
    return true;
}

bool DecodeErrorMessage(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint16_t slot = f.U16(2);
    const uint16_t code = f.U16(4);
    if (!f.Ok()) return false;
    // The message runs to the end of the data; a report of exactly 6 bytes
    // carries an empty one.
    char message[512];
    f.Reader().Text(6, f.Length() - 6, message, static_cast<int>(sizeof message));

    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "%s: slot %d, error code: 0x%04x ***\r\n   Msg: %s",
                (code & 0x8000) ? "SOFT ERROR (non-fatal)" : "FATAL ERROR", static_cast<int>(slot),
                static_cast<unsigned>(code), message);
    if (model != nullptr) model->AddDiagMessage(-1, code, message);
    Emit(engine, text);
    return true;
}

bool DecodeDiagClass1(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t subcode = f.U8(1);
    if (!f.Ok()) return false;
    switch (subcode) {
    case 3:
        return DecodeComponentVersions(f, model, engine);
    case 6:
        return DecodeNavConfigByte(f, model, engine);
    case 11:
        return DecodeErrorMessage(f, model, engine);
    case 21:
    case 26: {
        const uint8_t detail = f.U8(2);
        if (!f.Ok()) return false;
        std::string text;
        if (TranslationOn(engine))
            AppendF(text, "\r\nDiagnostic report 0x5F-01-%02X: %d", static_cast<unsigned>(subcode),
                    static_cast<int>(detail));
        if (model != nullptr) model->Notify(EV_DIAG_REPORT, detail, false);
        Emit(engine, text);
        return true;
    }
    default:
        return false;
    }
}

// Nanoseconds per metre of clock error.
const double kNanosecondsPerMetre = 3.3356409519815204;

bool DecodePeriodicDiag(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint32_t counter = f.U32(1);
    const double bias = f.Double(5);
    const double offset = f.Double(13);
    const uint32_t tow = f.U32(21);
    const uint16_t week = f.U16(25);
    if (!f.Ok()) return false;
    // Week 0 is what the receiver sends before it has decoded the time.
    const bool hasTime = week != 0;

    std::string text;
    if (TranslationOn(engine)) {
        AppendF(text, "Diag Report (0x5F-02): Cnt: %ld\tFreqBias: %.0lf ns\tFreqOffset: %.2lf ppb",
                static_cast<long>(counter), bias * kNanosecondsPerMetre, offset * kNanosecondsPerMetre);
        if (hasTime)
            AppendF(text, "\tTOW: %ld\tWN: %ld", static_cast<long>(tow), static_cast<long>(week));
        else
            text += " <No time yet>";
    }
    if (model != nullptr && hasTime) {
        GpsTimeInfo t;
        std::memset(&t, 0, sizeof t);
        model->GetTimeInfo(t);
        t.timeOfWeek = tow;
        t.week = week;
        model->SetTimeInfo(t, true, 1);
    }
    Emit(engine, text);
    return true;
}

const char* const kLsFixStates[] = {
    "ls fix fine",
    "FIX_ERR_NO_GOOD_TIME = 1",
    "FIX_ERR_WRONG_STATUS_CODE = 2",
    "FIX_ERR_PARTIAL_FIX = 3",
    "FIX_ERR_NO_INTERNAL_FIX = 4",
    "FIX_ERR_NOT_CONVERGED = 5",
    "FIX_ERR_NO_CLOCK_FIX = 6",
};

const char* const kKfFixStates[] = {
    "kf2 fix fine",
    "KF2_FIX_ERR_NO_GOOD_TIME = 1",
    "KF2_FIX_ERR_NOT_INIT_LS_VS_BBRAM = 2",
    "KF2_FIX_ERR_NOT_INIT_ALT = 3",
    "KF2_FIX_ERR_NOT_INIT_RESID = 4",
    "KF2_FIX_ERR_PROP_MASK = 5",
    "KF2_FIX_ERR_USE_RAW = 6",
    "KF2_FIX_ERR_NO_LS_FIX = 7",
    "KF2_FIX_OLD = 8",
    "KF2_FIX_REINIT = 9",
    "KF2_FIX_LS = 10",
    "KF2_FIX_NOT_INIT = 11",
};

const char* const kRejections[] = {
    "not rejected",
    "REJECTION_NOT_MAPPED = 1",
    "REJECTION_NOT_PROPAGATING = 2",
    "REJECTION_PROP_TOO_LONG = 3",
    "REJECTION_INVALID_STATUS = 4",
    "REJECTION_INVALID_FILTER_N = 5",
    "REJECTION_ALREADY_CONSIDERED = 6",
    "REJECTION_BIG_CNT_XCORR = 7",
    "REJECTION_CNO_LESS_THAN_AUTO = 8",
    "REJECTION_NO_EPH_CF = 9",
    "REJECTION_RAIMS_FAULTED = 10",
    "REJECTION_CNO_LESS_THAN_MASK_HIGH = 11",
    "REJECTION_CNO_LESS_THAN_MASK_LOW = 12",
    "REJECTION_SV_NOT_HEALTH = 13",
    "REJECTION_CNO_LESS_THAN_WEAK_LOW = 14",
    "REJECTION_PR_NOISE_SIGMA = 15",
    "REJECTION_INVALID_PR_REFLECT = 16",
    "REJECTION_XCORR = 17",
    "REJECTION_HIGH_ACCEPT_NOISE1 = 18",
    "REJECTION_UNKNOWN = 19",
    "REJECTION_UNKNOWN = 20",
    "REJECTION_DB = 21",
    "REJECTION_LOWDB = 22",
    "REJECTION_LOWPR = 23",
    "REJECTION_HIPR = 24",
    "REJECTION_BADALL = 25",
    "REJECTION_BADRNG = 26",
    "REJECTION_PREDIT = 27",
    "REJECTION_RREDIT = 28",
    "REJECTION_UNKNOWN = 29",
    "REJECTION_NOSV = 30",
};

// A name from one of the tables, or "unknown value %d" in the caller's buffer.
template <size_t N>
const char* CodeName(const char* const (&table)[N], int code, char* buffer, size_t size)
{
    if (code >= 0 && static_cast<size_t>(code) < N) return table[code];
    snprintf(buffer, size, "unknown value %d", code);
    return buffer;
}

// Fix-error report: least-squares state (data 2), filter state (data 3),
// satellite count (data 4), then per satellite 4 bytes: satellite, rejection
// code, two numbers.
bool DecodeFixErrors(Fields& f, CConverterEngine* engine)
{
    const uint8_t lsState = f.U8(2);
    const uint8_t kfState = f.U8(3);
    uint8_t count = f.U8(4);
    if (!f.Ok()) return false;
    if (count > MODEL_SV_COUNT) count = MODEL_SV_COUNT;
    if (!TranslationOn(engine)) return true;

    std::string text;
    char a[40];
    char b[40];
    AppendF(text, "\r\nSV_USED LS: %20s; KF: %20s", CodeName(kLsFixStates, lsState, a, sizeof a),
            CodeName(kKfFixStates, kfState, b, sizeof b));
    for (int i = 0; i < count; ++i) {
        const int p = 5 + 4 * i;
        if (!f.Reader().Has(p, 4)) break;
        AppendF(text, "\r\n %2d: %20s; %d %d", static_cast<int>(f.U8(p)),
                CodeName(kRejections, f.U8(p + 1), a, sizeof a), static_cast<int>(f.U8(p + 2)),
                static_cast<int>(f.U8(p + 3)));
    }
    Emit(engine, text);
    return true;
}

bool DecodeDiagClass3(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint8_t subcode = f.U8(1);
    if (!f.Ok()) return false;
    if (subcode == 17) return DecodeFixErrors(f, engine);

    // A log report must hold the marker bytes 4..7 the log reads, and unless
    // it is a marker ("X" at data 6) one of the lengths such reports have.
    bool log = false;
    if (subcode == 1) {
        if (f.Length() < 8) return false;
        if (f.U8(6) != 'X' && !IsDiagLogLength(f.Length())) return false;
        log = true;
    }
    if (TranslationOn(engine)) {
        std::string text = "\r\nGML ";
        const int shown = f.Length() < 11 ? f.Length() : 11;
        for (int i = 0; i < shown; ++i) AppendF(text, "%02X ", static_cast<unsigned>(f.U8(i)));
        if (f.Length() > 11) text += "...";
        Emit(engine, text);
    }
    if (log && model != nullptr) model->WriteDiagLog(f.Reader().GetData(), f.Length());
    return true;
}

bool DecodeDiagClass50(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint16_t selector = f.U16(1);
    if (!f.Ok()) return false;
    std::string text;
    if (selector == 0x0006) {
        uint16_t v[6];
        for (int i = 0; i < 6; ++i) v[i] = f.U16(3 + 2 * i);
        if (!f.Ok()) return false;
        DiagStatusRecord r;
        std::memset(&r, 0, sizeof r);
        r.values[0] = (static_cast<uint32_t>(v[0]) << 16) | v[1];
        r.values[1] = (static_cast<uint32_t>(v[2]) << 16) | v[3];
        r.values[2] = v[4];
        r.value16 = v[5];
        if (TranslationOn(engine))
            AppendF(text, "\r\nDiag status: 0x%08X 0x%08X 0x%08X 0x%04X", static_cast<unsigned>(r.values[0]),
                    static_cast<unsigned>(r.values[1]), static_cast<unsigned>(r.values[2]),
                    static_cast<unsigned>(r.value16));
        if (model != nullptr) {
            SetSlot(model, 35, "0x5F-50-0006");
            model->SetDiagStatus(r, 0);
        }
        Emit(engine, text);
        return true;
    }
    if (selector == 0xF50F) {
        DiagTextRecord r;
        std::memset(&r, 0, sizeof r);
        r.buildDay = f.U8(3);
        r.buildMonth = f.U8(4);
        r.buildHour = f.U8(5);
        r.flags = f.U8(6);
        r.buildYear = f.U16(7);
        r.machineId = f.U16(9);
        r.serialNumber = f.U32(11);
        r.reserved = f.U32(15);
        r.searchRange = f.Float(19);
        r.oscillatorOffset = f.Float(23);
        if (!f.Ok() || !f.Reader().Has(27, 32)) return false;
        f.Reader().Text(27, 16, r.productPartNumber, static_cast<int>(sizeof r.productPartNumber));
        f.Reader().Text(43, 16, r.hardwareId, static_cast<int>(sizeof r.hardwareId));
        if (TranslationOn(engine))
            AppendF(text, "\r\nProduction data: serial %lu, built %04d/%02d/%02d %02d hr, part %s, HW ID %s",
                    static_cast<unsigned long>(r.serialNumber), static_cast<int>(r.buildYear),
                    static_cast<int>(r.buildMonth), static_cast<int>(r.buildDay),
                    static_cast<int>(r.buildHour), r.productPartNumber, r.hardwareId);
        if (model != nullptr) model->SetDiagTextRecord(r, 0);
        Emit(engine, text);
        return true;
    }
    return false;
}

// Calendar time of the diagnostic clock: year (16-bit, data 4), month, day,
// hour, minute, second (data 6..10).
bool DecodeDiagClass51(Fields& f, CModel* model, CConverterEngine* engine)
{
    const uint16_t selector = f.U16(1);
    const uint8_t kind = f.U8(3);
    if (!f.Ok() || selector != 4 || kind != 1) return false;
    GpsTimeInfo t;
    std::memset(&t, 0, sizeof t);
    t.year = f.U16(4);
    t.month = f.U8(6);
    t.day = f.U8(7);
    t.hour = f.U8(8);
    t.minute = f.U8(9);
    t.second = f.U8(10);
    t.source = TIME_SOURCE_UTC_CALENDAR;
    if (!f.Ok()) return false;
    std::string text;
    if (TranslationOn(engine))
        AppendF(text, "\r\nDiag time: %04d/%02d/%02d  %02d:%02d:%02d", static_cast<int>(t.year),
                static_cast<int>(t.month), static_cast<int>(t.day), static_cast<int>(t.hour),
                static_cast<int>(t.minute), static_cast<int>(t.second));
    if (model != nullptr) model->SetDiagTimeInfo(t);
    Emit(engine, text);
    return true;
}

} // namespace

bool DecodeQbinTimingReport(const BYTE* data, int length, CModel* model, CConverterEngine* engine)
{
    Fields f(data, length);
    uint8_t subcode = 0;
    if (!f.Reader().U8(0, subcode)) return false;
    const int minimum = TimingMinimum(subcode);
    if (minimum < 0 || f.Length() < minimum) return false;

    switch (subcode) {
    case 0x14:
    case 0x15: return DecodeDatum(f, subcode, model, engine);
    case 0x20: return DecodeLastFix(f, model, engine);
    case 0x26: return DecodeStorageWrite(f, model, engine);
    case 0x4A: return DecodePpsSettings(f, model, engine);
    case 0x4D: return DecodeAutoPacketMask(f, model, engine);
    case 0x4E: return DecodePpsQualifier(f, model, engine);
    case 0x4F: return DecodePpsWidth(f, model, engine);
    case 0xA2: return DecodeTimingMode(f, model, engine);
    case 0xA5: return DecodeBroadcastMask(f, model, engine);
    case 0xA6: return DecodeSelfSurveyReply(f, model, engine);
    case 0xA8: return DecodeDiscipliningParams(f, model, engine);
    case 0xA9: return DecodeSelfSurveyParams(f, model, engine);
    case 0xAB: return DecodePrimaryTiming(f, model, engine);
    case 0xAC: return DecodeSupplementalTiming(f, model, engine);
    default: return false;
    }
}

bool DecodeQbinDiagReport(const BYTE* data, int length, CModel* model, CConverterEngine* engine)
{
    Fields f(data, length);
    uint8_t reportClass = 0;
    if (!f.Reader().U8(0, reportClass)) return false;
    switch (reportClass) {
    case 0x01: return DecodeDiagClass1(f, model, engine);
    case 0x02: return DecodePeriodicDiag(f, model, engine);
    case 0x03: return DecodeDiagClass3(f, model, engine);
    case 0x50: return DecodeDiagClass50(f, model, engine);
    case 0x51: return DecodeDiagClass51(f, model, engine);
    default: return false;
    }
}
