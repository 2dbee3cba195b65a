#include "protocol/QbinCommands.h"

#include <cmath>
#include <initializer_list>
#include <cstring>

#include "model/CStringTokenizer.h"
#include "protocol/HexDigits.h"
#include "protocol/QbinComposer.h"

namespace {

bool IsSet(BYTE setFlag)
{
    return setFlag == 1;
}

// A builder that refuses its arguments leaves no partial packet behind.
bool Nothing(CByteArray& packet)
{
    packet.RemoveAll();
    return false;
}

bool Done(CByteArray& packet)
{
    EndQbinPacket(packet);
    return true;
}

// A packet of an id and a few data bytes, the shape of most commands.
bool Simple(CByteArray& packet, BYTE id, std::initializer_list<BYTE> data)
{
    BeginQbinPacket(packet, id);
    for (BYTE b : data) AppendQbinByte(packet, b);
    return Done(packet);
}

void AppendFill(CByteArray& packet, BYTE value, int count)
{
    for (int i = 0; i < count; ++i) AppendQbinByte(packet, value);
}

// A record text sent as a field of exactly `width` bytes: cut at the width
// and zero-padded. The scan never goes past the record's own array, so a text
// without terminator is cut, not overrun.
template <size_t N>
void AppendFixedText(CByteArray& packet, const char (&text)[N], int width)
{
    int n = 0;
    while (n < width && static_cast<size_t>(n) < N && text[n] != '\0') {
        AppendQbinByte(packet, static_cast<BYTE>(text[n]));
        ++n;
    }
    AppendFill(packet, 0, width - n);
}

bool IsHexByteToken(const CString& token)
{
    const int n = token.GetLength();
    if (n < 1 || n > 2) return false;
    for (int i = 0; i < n; ++i)
        if (HexDigitValue(static_cast<BYTE>(token[i])) < 0) return false;
    return true;
}

BYTE HexByteValue(const CString& token)
{
    int v = 0;
    for (int i = 0; i < token.GetLength(); ++i) v = v * 16 + HexDigitValue(static_cast<BYTE>(token[i]));
    return static_cast<BYTE>(v);
}

void SetBadToken(CString* error, const CString& token)
{
    if (error) error->Format("Not a hex byte: \"%s\" (use one or two hex digits per byte)", token.GetString());
}

// The tokenizer ends its text at a byte 0xFF and takes 0xFE for white space,
// so a typed character with either code would silently cut or split the
// command. Such a text is refused here, naming the run of non-blank
// characters that holds the byte.
bool FindUnreadableRun(const char* text, CString& run)
{
    const size_t len = strlen(text);
    for (size_t i = 0; i < len; ++i) {
        const BYTE c = static_cast<BYTE>(text[i]);
        if (c != 0xFE && c != 0xFF) continue;
        size_t begin = i;
        while (begin > 0 && static_cast<BYTE>(text[begin - 1]) > 0x20) --begin;
        size_t end = i + 1;
        while (end < len && static_cast<BYTE>(text[end]) > 0x20) ++end;
        run = CString(text + begin, static_cast<int>(end - begin));
        return true;
    }
    return false;
}

} // namespace

// ---- Queries and simple commands ----------------------------------------------

bool BuildQbinHealthQuery(CByteArray& packet) { return Simple(packet, 0x26, {}); }
bool BuildQbinTrackingQuery(CByteArray& packet) { return Simple(packet, 0x3C, {0x00}); }
bool BuildQbinRawMeasurementQuery(CByteArray& packet) { return Simple(packet, 0x3A, {0x00}); }
bool BuildQbinSelectionQuery(CByteArray& packet) { return Simple(packet, 0x24, {}); }
bool BuildQbinVersionQuery(CByteArray& packet) { return Simple(packet, 0x1C, {0x02}); }
bool BuildQbinHardwareQuery(CByteArray& packet) { return Simple(packet, 0x1C, {0x03}); }
bool BuildQbinSoftwareVersionQuery(CByteArray& packet) { return Simple(packet, 0x1F, {}); }
bool BuildQbinSystemInfoQuery(CByteArray& packet) { return Simple(packet, 0x3F, {0x01, 0x03}); }
bool BuildQbinAlmanacHealthQuery(CByteArray& packet) { return Simple(packet, 0x38, {0x01, 0x03, 0x00}); }
bool BuildQbinUtcQuery(CByteArray& packet) { return Simple(packet, 0x38, {0x01, 0x05, 0x00}); }
bool BuildQbinIonosphereQuery(CByteArray& packet) { return Simple(packet, 0x38, {0x01, 0x04, 0x00}); }
bool BuildQbinAlmanacQuery(CByteArray& packet, BYTE sv) { return Simple(packet, 0x38, {0x01, 0x02, sv}); }
bool BuildQbinEphemerisQuery(CByteArray& packet, BYTE sv) { return Simple(packet, 0x38, {0x01, 0x06, sv}); }
bool BuildQbinSaveConfig(CByteArray& packet) { return Simple(packet, 0x8E, {0x26}); }
bool BuildQbinSaveSegments(CByteArray& packet, BYTE segment) { return Simple(packet, 0x8E, {0x4C, segment}); }
bool BuildQbinRestoreSegments(CByteArray& packet, BYTE segment) { return Simple(packet, 0x8E, {0x45, segment}); }

bool ParseHexBytesText(const char* text, CByteArray& bytes, CString* error)
{
    bytes.RemoveAll();
    if (error) error->Empty();
    if (text == nullptr) text = "";

    CString run;
    if (FindUnreadableRun(text, run)) {
        SetBadToken(error, run);
        return false;
    }

    CStringTokenizer tokenizer(text);
    for (;;) {
        const int32_t type = tokenizer.NextToken();
        if (type == CStringTokenizer::TT_EOF) break;
        CString token = tokenizer.TokenText();
        // A quoted token is text, not a byte, even when its content is hex.
        if (type == '"' || type == '\'') {
            const char quote = static_cast<char>(type);
            token = CString(quote) + token + CString(quote);
        }
        if (type != CStringTokenizer::TT_WORD || !IsHexByteToken(token)) {
            bytes.RemoveAll();
            SetBadToken(error, token);
            return false;
        }
        bytes.Add(HexByteValue(token));
    }
    if (bytes.GetSize() == 0) {
        if (error) *error = "Nothing to send: the command text holds no hex bytes";
        return false;
    }
    return true;
}

bool BuildQbinFromHexText(CByteArray& packet, const char* text, CString* error)
{
    CByteArray bytes;
    if (!ParseHexBytesText(text, bytes, error)) return Nothing(packet);
    BeginQbinPacket(packet, bytes[0]);
    AppendQbinBytes(packet, bytes.GetData() + 1, static_cast<int>(bytes.GetSize()) - 1);
    return Done(packet);
}

bool BuildQbinReset(CByteArray& packet, int resetType)
{
    switch (resetType) {
    case 1: return Simple(packet, 0x1E, {0x4B});
    case 2: return Simple(packet, 0x1E, {0x0E});
    case 3: return Simple(packet, 0x25, {});
    case 4: return Simple(packet, 0x1E, {0x46});
    case 5: return Simple(packet, 0x1E, {0x0D});
    case 6: return Simple(packet, 0x1E, {0x0C});
    case 7: return Simple(packet, 0x1E, {0x4D});
    default: return Nothing(packet);
    }
}

// ---- Commands with a set form ----------------------------------------------------

bool BuildQbinInitialPosition(CByteArray& packet, int coordinateKind, int accuracy, bool doubles,
                              const double coordinates[3])
{
    if (coordinates == nullptr) return Nothing(packet);
    BYTE id;
    if (coordinateKind == 0 && accuracy == 0) id = 0x2B;
    else if (coordinateKind == 0 && accuracy == 1) id = 0x32;
    else if (coordinateKind == 1 && accuracy == 0) id = 0x23;
    else if (coordinateKind == 1 && accuracy == 1) id = 0x31;
    else return Nothing(packet);
    BeginQbinPacket(packet, id);
    for (int i = 0; i < 3; ++i) {
        if (doubles) AppendQbinDouble(packet, coordinates[i]);
        else AppendQbinU32(packet, static_cast<float>(coordinates[i]));
    }
    return Done(packet);
}

bool BuildQbinReceiverConfig(CByteArray& packet, BYTE setFlag, const NavConfig* config)
{
    if (!IsSet(setFlag)) return Simple(packet, 0xBB, {0x00});
    if (config == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0xBB);
    AppendQbinByte(packet, 0x00);
    AppendQbinByte(packet, config->operatingMode);
    AppendQbinByte(packet, config->dgpsMode);
    AppendQbinByte(packet, config->dynamics);
    AppendQbinByte(packet, 0xFF);
    AppendQbinU32(packet, config->elevationMask);
    AppendQbinU32(packet, config->snrMask);
    AppendQbinU32(packet, config->dopMask);
    AppendQbinU32(packet, config->dopSwitch);
    // The filler of the reply's layout; the longer reply form has three
    // more bytes of it.
    AppendFill(packet, 0xFF, config->subcode != 0 ? 22 : 19);
    return Done(packet);
}

bool BuildQbinDatum(CByteArray& packet, BYTE setFlag, uint16_t datumIndex)
{
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0x15);
    if (IsSet(setFlag)) AppendQbinU16(packet, datumIndex);
    return Done(packet);
}

bool BuildQbinGpsTime(CByteArray& packet, BYTE setFlag, uint32_t timeOfWeek, uint16_t week)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x21, {});
    BeginQbinPacket(packet, 0x2E);
    AppendQbinU32(packet, static_cast<float>(timeOfWeek));
    AppendQbinU16(packet, week);
    return Done(packet);
}

bool BuildQbinSatelliteState(CByteArray& packet, BYTE setFlag, BYTE sv, BYTE state)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x39, {0x03, 0x00});
    return Simple(packet, 0x39, {static_cast<BYTE>(state != 0 ? 0x01 : 0x02), sv});
}

bool BuildQbinSatelliteMask(CByteArray& packet, BYTE setFlag, uint32_t mask)
{
    BeginQbinPacket(packet, 0xC2);
    if (IsSet(setFlag)) AppendQbinU32(packet, mask);
    return Done(packet);
}

bool BuildQbinIoOptions(CByteArray& packet, BYTE setFlag, const IoOptions* options)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x35, {});
    if (options == nullptr) return Nothing(packet);
    return Simple(packet, 0x35, {options->position, options->velocity, options->timing, options->auxiliary});
}

bool BuildQbinFilterConfig(CByteArray& packet, BYTE setFlag, const FilterConfig* filter)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x70, {});
    if (filter == nullptr) return Nothing(packet);
    // The reply reports "all filters on" as a fifth byte; the command has
    // only the four switches, all set.
    if (filter->extra != 0) return Simple(packet, 0x70, {0x01, 0x01, 0x01, 0x01});
    return Simple(packet, 0x70, {filter->pv, filter->staticFilter, filter->altitude, filter->kalman});
}

bool BuildQbinSelfSurveyParams(CByteArray& packet, BYTE setFlag, const TimingConfig* timing)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0xA9});
    if (timing == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0xA9);
    AppendQbinByte(packet, timing->surveyEnable);
    AppendQbinByte(packet, timing->surveySave);
    AppendQbinU32(packet, timing->surveyLength);
    AppendQbinU32(packet, static_cast<uint32_t>(0));
    return Done(packet);
}

bool BuildQbinSelfSurveyCommand(CByteArray& packet, BYTE setFlag, BYTE code)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    return Simple(packet, 0x8E, {0xA6, code});
}

bool BuildQbinSupplementalTimingQuery(CByteArray& packet, BYTE setFlag, BYTE request)
{
    if (setFlag != 0) return Nothing(packet);
    return Simple(packet, 0x8E, {0xAC, request});
}

bool BuildQbinPacketMask(CByteArray& packet, BYTE setFlag, const TimingConfig* timing)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0xA5});
    if (timing == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0xA5);
    AppendQbinU16(packet, timing->broadcastMask0);
    AppendQbinU16(packet, timing->broadcastMask1);
    return Done(packet);
}

bool BuildQbinAutoPacketMask(CByteArray& packet, BYTE setFlag, uint32_t mask)
{
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0x4D);
    if (IsSet(setFlag)) AppendQbinU32(packet, mask);
    return Done(packet);
}

bool BuildQbinTimingSatellite(CByteArray& packet, BYTE setFlag, BYTE sv)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    return Simple(packet, 0x34, {sv});
}

bool BuildQbinPpsSettings(CByteArray& packet, BYTE setFlag, const TimingConfig* timing)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0x4A});
    if (timing == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0x4A);
    AppendQbinByte(packet, timing->ppsEnabled);
    AppendQbinByte(packet, timing->timeBase);
    AppendQbinByte(packet, timing->ppsPolarity);
    AppendQbinDouble(packet, timing->ppsOffset);
    AppendQbinU32(packet, timing->biasThreshold);
    return Done(packet);
}

bool BuildQbinPpsWidth(CByteArray& packet, BYTE setFlag, const TimingConfig* timing)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0x4F});
    // The record holds -1 for "unknown"; neither that, zero, nor a value that
    // is not a finite number is a width the receiver could take.
    if (timing == nullptr || !(timing->ppsWidth > 0.0) || !std::isfinite(timing->ppsWidth))
        return Nothing(packet);
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0x4F);
    AppendQbinDouble(packet, timing->ppsWidth * 1e-9);
    return Done(packet);
}

bool BuildQbinPpsOutputMode(CByteArray& packet, BYTE setFlag, BYTE mode)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0x4E});
    return Simple(packet, 0x8E, {0x4E, mode});
}

bool BuildQbinTimingMode(CByteArray& packet, BYTE setFlag, BYTE mode)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0xA2});
    return Simple(packet, 0x8E, {0xA2, mode});
}

bool BuildQbinDiscipliningParams(CByteArray& packet, BYTE setFlag, BYTE type, const TimingConfig* timing)
{
    if (!IsSet(setFlag) || type > 3) return Simple(packet, 0x8E, {0xA8, type});
    if (timing == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x8E);
    AppendQbinByte(packet, 0xA8);
    AppendQbinByte(packet, type);
    switch (type) {
    case 0:
        AppendQbinU32(packet, timing->timeConstant);
        AppendQbinU32(packet, timing->damping);
        break;
    case 1:
        AppendQbinU32(packet, timing->ko);
        AppendQbinU32(packet, timing->minVoltage);
        AppendQbinU32(packet, timing->maxVoltage);
        break;
    case 2:
        AppendQbinU32(packet, timing->jamSyncThreshold);
        AppendQbinU32(packet, timing->maxFreqOffset);
        break;
    default:
        AppendQbinU32(packet, timing->initialDac);
        break;
    }
    return Done(packet);
}

bool BuildQbinDiscipliningCommand(CByteArray& packet, BYTE setFlag, BYTE code)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x8E, {0xA3});
    return Simple(packet, 0x8E, {0xA3, code});
}

bool BuildQbinShutdownStandby(CByteArray& packet, BYTE setFlag, const ShutdownStandbyRecord* record)
{
    if (!IsSet(setFlag) || record == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0xC0);
    AppendQbinByte(packet, static_cast<BYTE>(record->mode));
    AppendQbinByte(packet, record->storageOption);
    AppendQbinByte(packet, record->startupFlags);
    AppendQbinU32(packet, record->duration);
    return Done(packet);
}

bool BuildQbinPortConfig(CByteArray& packet, BYTE setFlag, const PortConfigRecord* port)
{
    if (port == nullptr) return Nothing(packet);
    if (!IsSet(setFlag)) return Simple(packet, 0xBC, {port->receiverPort});

    BYTE baudCode;
    switch (port->baud) {
    case 1200: baudCode = 4; break;
    case 2400: baudCode = 5; break;
    case 4800: baudCode = 6; break;
    case 9600: baudCode = 7; break;
    case 19200: baudCode = 8; break;
    case 38400: baudCode = 9; break;
    case 57600: baudCode = 10; break;
    case 115200: baudCode = 11; break;
    default: return Nothing(packet);
    }
    BYTE dataBitsCode;
    switch (port->dataBits) {
    case 7: dataBitsCode = 2; break;
    case 8: dataBitsCode = 3; break;
    default: return Nothing(packet);
    }
    if (port->parity > 2) return Nothing(packet);
    BYTE stopBitsCode;
    switch (port->stopBits) {
    case 0: stopBitsCode = 0; break;  // one stop bit
    case 2: stopBitsCode = 1; break;  // two stop bits
    default: return Nothing(packet);
    }

    BeginQbinPacket(packet, 0xBC);
    AppendQbinByte(packet, port->receiverPort);
    AppendQbinByte(packet, baudCode);  // input
    AppendQbinByte(packet, baudCode);  // output: the same rate both ways
    AppendQbinByte(packet, dataBitsCode);
    AppendQbinByte(packet, port->parity);
    AppendQbinByte(packet, stopBitsCode);
    AppendQbinByte(packet, 0x00);
    AppendQbinByte(packet, port->inputMask);
    AppendQbinByte(packet, port->outputMask);
    AppendQbinByte(packet, 0x00);
    return Done(packet);
}

bool BuildQbinNmeaOutputConfig(CByteArray& packet, BYTE setFlag, const NmeaOutputConfig* config)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x7A, {0x00});
    if (config == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x7A);
    AppendQbinByte(packet, 0x00);
    AppendQbinByte(packet, static_cast<BYTE>(config->interval & 0xFF));
    AppendQbinU32(packet, config->mask);
    return Done(packet);
}

bool BuildQbinQtxtConfig(CByteArray& packet, BYTE setFlag, const QtxtConfigRecord* config)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x7E, {});
    if (config == nullptr) return Nothing(packet);
    BYTE flags = 0;
    if (config->flagId != 0) flags |= 0x01;
    if (config->flagCs != 0) flags |= 0x02;
    if (config->flagEc != 0) flags |= 0x04;
    if (config->flagFr != 0) flags |= 0x08;
    if (config->flagCr != 0) flags |= 0x10;
    BeginQbinPacket(packet, 0x7E);
    AppendQbinByte(packet, 0x00);
    AppendQbinByte(packet, flags);
    AppendQbinU16(packet, config->epoch);
    for (int i = 0; i < QTXT_PERIOD_COUNT; ++i) AppendQbinU16(packet, config->periods[i]);
    AppendFixedText(packet, config->vehicleId, 4);
    return Done(packet);
}

bool BuildQbinReferenceAltitude(CByteArray& packet, BYTE setFlag, float altitude, int clearFlag)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x2A, {});
    if ((clearFlag & 0xFF) == 0xFF) return Simple(packet, 0x2A, {0xFF});
    BeginQbinPacket(packet, 0x2A);
    AppendQbinU32(packet, altitude);
    return Done(packet);
}

// ---- Diagnostic commands ---------------------------------------------------------

namespace {

// 3F 01 code, then an optional value in the set form.
bool DiagByte(CByteArray& packet, BYTE setFlag, BYTE code, BYTE value)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x3F, {0x01, code});
    return Simple(packet, 0x3F, {0x01, code, value});
}

// 3F 01 code u16, set only.
bool DiagInterval(CByteArray& packet, BYTE setFlag, BYTE code, uint16_t interval)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    BeginQbinPacket(packet, 0x3F);
    AppendQbinByte(packet, 0x01);
    AppendQbinByte(packet, code);
    AppendQbinU16(packet, interval);
    return Done(packet);
}

} // namespace

bool BuildQbinDiagFrequency(CByteArray& packet, BYTE setFlag, uint16_t frequencyCode)
{
    BeginQbinPacket(packet, 0x3F);
    AppendQbinByte(packet, 0x01);
    AppendQbinByte(packet, 0x04);
    if (IsSet(setFlag)) AppendQbinU16(packet, frequencyCode);
    return Done(packet);
}

bool BuildQbinAdcAutoMode(CByteArray& packet, BYTE setFlag, BYTE mode) { return DiagByte(packet, setFlag, 0x05, mode); }

bool BuildQbinTaskProfilingMask(CByteArray& packet, BYTE setFlag, uint32_t taskMask)
{
    BeginQbinPacket(packet, 0x3F);
    AppendQbinByte(packet, 0x01);
    AppendQbinByte(packet, 0x0E);
    if (IsSet(setFlag)) AppendQbinU32(packet, taskMask);
    return Done(packet);
}

bool BuildQbinPowerSavingMode(CByteArray& packet, BYTE setFlag, BYTE mode) { return DiagByte(packet, setFlag, 0x0F, mode); }

bool BuildQbinStackReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval)
{
    return DiagInterval(packet, setFlag, 0x08, interval);
}

bool BuildQbinMessageQueueReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval)
{
    return DiagInterval(packet, setFlag, 0x07, interval);
}

bool BuildQbinSerialIoReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval)
{
    return DiagInterval(packet, setFlag, 0x1C, interval);
}

bool BuildQbinCpuReportInterval(CByteArray& packet, BYTE setFlag, uint16_t interval)
{
    return DiagInterval(packet, setFlag, 0x13, interval);
}

bool BuildQbinCustomOutputReport(CByteArray& packet, BYTE setFlag, BYTE on)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    return Simple(packet, 0x3F, {0x02, on});
}

bool BuildQbinTaskProfilingEnable(CByteArray& packet, BYTE setFlag, BYTE state)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    return Simple(packet, 0x3F, {0x01, 0x01, 0x00, static_cast<BYTE>(state == 0 ? 0x01 : 0x00)});
}

bool BuildQbinMessageQueueProfilingEnable(CByteArray& packet, BYTE setFlag, BYTE state)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    return Simple(packet, 0x3F, {0x01, 0x01, 0x01, static_cast<BYTE>(state == 0 ? 0x01 : 0x00)});
}

bool BuildQbinSimulatorMode(CByteArray& packet, BYTE setFlag, BYTE mode) { return DiagByte(packet, setFlag, 0x1A, mode); }

bool BuildQbinSimulatorControl(CByteArray& packet, BYTE setFlag, BYTE control)
{
    return DiagByte(packet, setFlag, 0x15, control);
}

bool BuildQbinDiagReportState(CByteArray& packet, BYTE setFlag, BYTE reportType, BYTE state)
{
    if (!IsSet(setFlag)) return Nothing(packet);
    BeginQbinPacket(packet, 0x3F);
    for (BYTE b : {BYTE(0x50), BYTE(0x00), reportType, BYTE(0x00), state}) AppendQbinByte(packet, b);
    return Done(packet);
}

bool BuildQbinGpioConfig(CByteArray& packet, BYTE setFlag, const GpioConfig* config)
{
    if (!IsSet(setFlag) || config == nullptr || config->first != 0) return Nothing(packet);
    BeginQbinPacket(packet, 0x3F);
    for (BYTE b : {BYTE(0x50), BYTE(0x00), BYTE(0x06), BYTE(0x00)}) AppendQbinByte(packet, b);
    // The receiver takes the pins in this order, not the page's.
    for (uint16_t v : {config->g1, config->g5, config->g3, config->g2, config->g6, config->g4})
        AppendQbinU16(packet, v);
    return Done(packet);
}

bool BuildQbinProductConfig(CByteArray& packet, BYTE setFlag, BYTE type, const ProductionRecord* record)
{
    if (!IsSet(setFlag)) return Simple(packet, 0x3F, {0x50, 0xF5, 0x0F, 0x00});
    if (type == 2 || type == 3) return Simple(packet, 0x3F, {0x50, 0xF5, 0x0F, type});
    if (type != 1 || record == nullptr) return Nothing(packet);
    BeginQbinPacket(packet, 0x3F);
    for (BYTE b : {BYTE(0x50), BYTE(0xF5), BYTE(0x0F), BYTE(0x01), BYTE(0x00)}) AppendQbinByte(packet, b);
    AppendQbinU32(packet, record->serialNumber);
    AppendQbinByte(packet, record->buildDay);
    AppendQbinByte(packet, record->buildMonth);
    AppendQbinU16(packet, record->buildYear);
    AppendQbinByte(packet, record->buildHour);
    AppendQbinU16(packet, record->machineId);
    AppendQbinU32(packet, record->reserved);
    AppendQbinU32(packet, record->searchRange);
    AppendQbinU32(packet, record->oscillatorOffset);
    AppendQbinByte(packet, record->flags);
    AppendFixedText(packet, record->productPartNumber, 16);
    AppendFixedText(packet, record->hardwareId, 16);
    return Done(packet);
}

bool BuildQbinTrackingTest(CByteArray& packet, BYTE type, const TrackingTestParams* params)
{
    // Stop and end-acknowledge carry the record's second byte, 0 without one.
    const BYTE p1 = params ? params->mode : 0;
    switch (type) {
    case 0:
        if (params == nullptr) return Nothing(packet);
        BeginQbinPacket(packet, 0x3F);
        for (BYTE b : {BYTE(0x50), BYTE(0x00), BYTE(0x01), BYTE(0x01), p1, BYTE(0x00), params->satellite,
                       params->channelCount, params->delay})
            AppendQbinByte(packet, b);
        AppendQbinU16(packet, params->duration);
        AppendQbinByte(packet, params->storeOscInfo);
        AppendQbinByte(packet, params->snrUnits);
        return Done(packet);
    case 1: return Simple(packet, 0x3F, {0x50, 0x00, 0x01, 0x02, p1});
    case 2: return Simple(packet, 0x3F, {0x50, 0x00, 0x01, 0x00, p1});
    default: return Nothing(packet);
    }
}

bool BuildQbinMemoryAccess(CByteArray& packet, BYTE accessType, uint32_t address, uint32_t value)
{
    if (accessType > 5) return Nothing(packet);
    BeginQbinPacket(packet, 0x3F);
    AppendQbinByte(packet, 0x01);
    AppendQbinByte(packet, 0x02);
    AppendQbinByte(packet, accessType);
    switch (accessType) {
    case 0:  // write 16-bit memory
        AppendQbinU32(packet, address);
        AppendQbinU16(packet, static_cast<uint16_t>(value));
        break;
    case 1:  // read 16-bit memory
    case 3:  // read 32-bit memory
        AppendQbinU32(packet, address);
        break;
    case 2:  // write 32-bit memory
        AppendQbinU32(packet, address);
        AppendQbinU32(packet, value);
        break;
    case 4:  // write an I/O port
        AppendQbinU16(packet, static_cast<uint16_t>(address));
        AppendQbinU16(packet, static_cast<uint16_t>(value));
        break;
    default:  // 5: read an I/O port
        AppendQbinU16(packet, static_cast<uint16_t>(address));
        break;
    }
    return Done(packet);
}

bool BuildQbinErrorLogCommand(CByteArray& packet, BYTE operation, uint16_t entry)
{
    switch (operation) {
    case 0: return Simple(packet, 0x3F, {0x01, 0x0A});
    case 1:
        BeginQbinPacket(packet, 0x3F);
        AppendQbinByte(packet, 0x01);
        AppendQbinByte(packet, 0x0B);
        AppendQbinU16(packet, entry);
        return Done(packet);
    case 2: return Simple(packet, 0x3F, {0x01, 0x0C});
    case 3: return Simple(packet, 0x3F, {0x01, 0x16});
    default: return Nothing(packet);
    }
}

bool BuildQbinXoAgingCommand(CByteArray& packet, BYTE operation, BYTE zone, uint32_t value, uint16_t count)
{
    switch (operation) {
    case 0: return Simple(packet, 0x3F, {0x01, 0x10, 0x01, zone});
    case 1:
        BeginQbinPacket(packet, 0x3F);
        for (BYTE b : {BYTE(0x01), BYTE(0x10), BYTE(0x04), zone}) AppendQbinByte(packet, b);
        AppendQbinU32(packet, value);
        AppendQbinU16(packet, count);
        return Done(packet);
    case 2: return Simple(packet, 0x3F, {0x01, 0x10, 0x02, zone});
    case 3: return Simple(packet, 0x3F, {0x01, 0x10, 0x03});
    default: return Nothing(packet);
    }
}
