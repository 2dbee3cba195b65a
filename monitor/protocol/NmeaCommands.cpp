#include "protocol/NmeaCommands.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <initializer_list>

#include "framework/CArray.h"
#include "model/NumberText.h"
#include "protocol/QtxtSentence.h"

namespace {

const double kDegreesPerRadian = 57.29577951308232;
const uint32_t kSecondsPerWeek = 604800;
const uint32_t kMillisecondsPerSecond = 1000;
const uint16_t kWeekFieldMask = 0x3FF;  // the sentence carries the week modulo 1024
const int kSatelliteCount = 32;
const char kBlanks[] = " \t\r\n\v\f";

bool IsSet(BYTE setFlag)
{
    return setFlag == 1;
}

// A builder that refuses its arguments leaves no partial sentence behind.
bool Nothing(CByteArray& sentence)
{
    sentence.RemoveAll();
    return false;
}

// The value fits the 32-bit field the receiver reads ("%ld" of a 32-bit
// long); anything else, including a value that is not a number, is refused
// rather than wrapped.
bool FitsInt32(double value)
{
    return std::isfinite(value) && value > -2147483649.0 && value < 2147483648.0;
}

// The reset letter of each reset type 1..7; 0 for a type without one.
char ResetLetter(int resetType)
{
    static const char kLetters[] = "CWHFYZM";
    if (resetType < 1 || resetType > static_cast<int>(sizeof kLetters - 1)) return 0;
    return kLetters[resetType - 1];
}

// The filter code of the receiver configuration sentence: which filter the
// record switches on, the last named in the record winning.
int FilterCode(const FilterConfig& filter)
{
    if (filter.extra != 0) return 3;
    if (filter.kalman != 0) return 1;
    if (filter.pv != 0) return 2;
    return 0;
}

// An angle in radians as the sentence writes it: degrees x 100 plus minutes
// (ddmm.mmmmm), its sign given by the hemisphere letter instead.
double DegreesMinutes(double radians)
{
    const double degrees = std::fabs(radians * kDegreesPerRadian);
    const double whole = std::floor(degrees);
    return whole * 100.0 + (degrees - whole) * 60.0;
}

void SetError(CString* error, const char* text)
{
    if (error) *error = text;
}

} // namespace

bool FinishNmeaSentence(const char* text, CByteArray& sentence)
{
    sentence.RemoveAll();
    if (text == nullptr || text[0] != '$') return false;
    // "*hh" and the terminating zero must still fit the sentence's room; the
    // count stops there, so a text too long is refused without reading on.
    size_t length = 0;
    while (length < NMEA_SENTENCE_ROOM && text[length] != '\0') ++length;
    if (length + 4 > NMEA_SENTENCE_ROOM) return false;

    CString checksum("*");
    HexToText(checksum, ComputeXorChecksum(reinterpret_cast<const BYTE*>(text + 1),
                                           static_cast<uint16_t>(length - 1)), 2);
    for (size_t i = 0; i < length; ++i) sentence.Add(static_cast<BYTE>(text[i]));
    for (int i = 0; i < checksum.GetLength(); ++i) sentence.Add(static_cast<BYTE>(checksum[i]));
    sentence.Add('\r');
    sentence.Add('\n');
    return true;
}

bool ComposeNmeaSentence(CByteArray& sentence, const char* format, ...)
{
    char text[NMEA_SENTENCE_ROOM];
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0 || n >= static_cast<int>(sizeof text)) return Nothing(sentence);
    return FinishNmeaSentence(text, sentence);
}

bool IsNmeaPortBaud(uint32_t baud)
{
    static const uint32_t kBauds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (uint32_t b : kBauds)
        if (b == baud) return true;
    return false;
}

// ---- Queries ---------------------------------------------------------------------

bool BuildNmeaHealthQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQTF"); }
bool BuildNmeaGsaQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$GPGPQ,GSA"); }
bool BuildNmeaGsvQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$GPGPQ,GSV"); }
bool BuildNmeaHardwareQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQVR,H"); }
bool BuildNmeaAlmanacStatusQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQAS"); }
bool BuildNmeaAlmanacHealthQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQAH"); }
bool BuildNmeaUtcQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQUT"); }
bool BuildNmeaIonoQuery(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULQIO"); }

bool BuildNmeaEphemerisQuery(CByteArray& sentence, BYTE sv)
{
    return ComposeNmeaSentence(sentence, "$PZULQEP,%02d", sv);
}

bool BuildNmeaAlmanacQuery(CByteArray& sentence, BYTE sv)
{
    return ComposeNmeaSentence(sentence, "$PZULQAL,%02d", sv);
}

bool BuildNmeaVersionQuery(CByteArray& sentence, int which)
{
    switch (which) {
    case 0: return ComposeNmeaSentence(sentence, "$PZULQVR,S");
    case 1: return ComposeNmeaSentence(sentence, "$PZULQVR,N");
    default: return Nothing(sentence);
    }
}

// ---- Resets ------------------------------------------------------------------------

bool BuildNmeaReset(CByteArray& sentence, int resetType)
{
    const char letter = ResetLetter(resetType);
    if (letter == 0) return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSRT,%c", letter);
}

bool BuildNmeaSaveConfig(CByteArray& sentence) { return ComposeNmeaSentence(sentence, "$PZULSRT,H,2,0,0"); }

bool BuildNmeaShutdown(CByteArray& sentence, BYTE setFlag, const ShutdownStandbyRecord* record)
{
    if (!IsSet(setFlag) || record == nullptr) return Nothing(sentence);
    // The mode is a letter; anything else would break the sentence's framing.
    const char mode = record->mode;
    if (!((mode >= 'A' && mode <= 'Z') || (mode >= 'a' && mode <= 'z'))) return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSRT,%c,%d,%d,%ld", mode, record->storageOption,
                               record->startupFlags, static_cast<long>(static_cast<int32_t>(record->duration)));
}

// ---- Commands with a set form ------------------------------------------------------

bool BuildNmeaPortConfig(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port)
{
    if (port == nullptr) return Nothing(sentence);
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQPT");
    static const char kParityLetters[] = "NOE";
    if (!IsNmeaPortBaud(port->baud) || port->parity > 2 || (port->stopBits != 0 && port->stopBits != 2) ||
        (port->dataBits != 7 && port->dataBits != 8))
        return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSPT,%06d,%c,%c,%c,%X,%X", static_cast<int>(port->baud),
                               static_cast<char>('0' + port->dataBits), kParityLetters[port->parity],
                               port->stopBits == 0 ? '1' : '2', static_cast<unsigned>(port->inputMask),
                               static_cast<unsigned>(port->outputMask));
}

bool BuildNmeaReceiverConfig(CByteArray& sentence, BYTE setFlag, const NavConfig* config,
                             const FilterConfig* filter)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQCR");
    if (config == nullptr || filter == nullptr) return Nothing(sentence);
    const double snrMask = config->snrMask;
    const double elevationDegrees = config->elevationMask * kDegreesPerRadian;
    const double dopMask = config->dopMask;
    const double dopSwitch = config->dopSwitch;
    // The sentence has a fifth value that the navigation configuration record
    // does not keep; the receiver reads 0 as "unchanged".
    const double fifth = 0.0;
    for (double v : {snrMask, elevationDegrees, dopMask, dopSwitch})
        if (!std::isfinite(v)) return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSCR,%.2f,%.2f,%.2f,%.2f,%.7f,%d,%d,%d,%d", snrMask,
                               elevationDegrees, dopMask, dopSwitch, fifth, config->operatingMode,
                               config->dynamics, FilterCode(*filter), config->dgpsMode);
}

bool BuildNmeaDatum(CByteArray& sentence, BYTE setFlag, uint16_t datumIndex)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQDM");
    // The index is the datum record's signed one: -1 names the user datum.
    return ComposeNmeaSentence(sentence, "$PZULSDM,%d,0.0,0.0,0.0,0.0,0.0",
                               static_cast<int>(static_cast<int16_t>(datumIndex)));
}

bool BuildNmeaGpsTime(CByteArray& sentence, BYTE setFlag, uint32_t timeOfWeek, uint16_t week)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$GPGPQ,ZDA");
    // A time beyond the week is no time the receiver could take.
    if (timeOfWeek >= kSecondsPerWeek) return Nothing(sentence);
    const int32_t milliseconds = static_cast<int32_t>(timeOfWeek * kMillisecondsPerSecond);
    return ComposeNmeaSentence(sentence, "$PZULSKG,%04d,%ld,0000.00000,N,00000.00000,E,00000",
                               week & kWeekFieldMask, static_cast<long>(milliseconds));
}

bool BuildNmeaOutputConfig(CByteArray& sentence, BYTE setFlag, const NmeaOutputConfig* config)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQNM");
    if (config == nullptr) return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSNM,%04X,%02d", static_cast<unsigned>(config->mask),
                               static_cast<int>(config->interval & 0xFF));
}

bool BuildNmeaInitialPosition(CByteArray& sentence, int coordinateKind, const double coordinates[3])
{
    if (coordinateKind != 0 || coordinates == nullptr) return Nothing(sentence);
    const double latitude = coordinates[0];
    const double longitude = coordinates[1];
    const double altitude = coordinates[2];
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !FitsInt32(std::trunc(altitude)))
        return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSKG,,,%.5f,%c,%.5f,%c,%05d", DegreesMinutes(latitude),
                               latitude < 0.0 ? 'S' : 'N', DegreesMinutes(longitude),
                               longitude < 0.0 ? 'W' : 'E', static_cast<int>(std::trunc(altitude)));
}

bool BuildNmeaPpsConfig(CByteArray& sentence, BYTE setFlag, const TimingConfig* timing)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQPS");
    if (timing == nullptr) return Nothing(sentence);
    // The sentence carries the offset in hundreds and the width in
    // nanoseconds, both whole numbers. The record keeps the width in
    // nanoseconds already, as the QBIN timing reports fill it.
    const double offset = std::trunc(timing->ppsOffset * 0.01);
    const double widthNs = std::trunc(timing->ppsWidth);
    if (!FitsInt32(offset) || !FitsInt32(widthNs)) return Nothing(sentence);
    return ComposeNmeaSentence(sentence, "$PZULSPS,%d,%ld,%d,%ld", timing->ppsEnabled,
                               static_cast<long>(static_cast<int32_t>(offset)), timing->ppsPolarity == 0 ? 1 : 0,
                               static_cast<long>(static_cast<int32_t>(widthNs)));
}

bool BuildNmeaSatelliteMasks(CByteArray& sentence, BYTE setFlag, const BYTE states[32], uint32_t mask)
{
    if (!IsSet(setFlag)) return ComposeNmeaSentence(sentence, "$PZULQSV");
    if (states == nullptr) return Nothing(sentence);
    // Bit i stands for satellite i + 1 and is set when it is excluded.
    uint32_t excluded = 0;
    for (int i = 0; i < kSatelliteCount; ++i)
        if (states[i] == 0) excluded |= uint32_t(1) << i;
    return ComposeNmeaSentence(sentence, "$PZULSSV,%08X,%08X", static_cast<unsigned>(excluded),
                               static_cast<unsigned>(mask));
}

// ---- Typed commands ------------------------------------------------------------------

bool BuildNmeaFromText(CByteArray& sentence, const char* text, CString* error)
{
    if (error) error->Empty();
    CString body(text);
    body.Trim(kBlanks);
    if (body.IsEmpty()) {
        SetError(error, "Nothing to send: the command text is empty");
        return Nothing(sentence);
    }
    for (int i = 0; i < body.GetLength(); ++i) {
        const BYTE c = static_cast<BYTE>(body[i]);
        if (c < 0x20 || c > 0x7E) {
            if (error) error->Format("The command text holds a character of code 0x%02X; "
                                     "only printable ASCII can be sent", c);
            return Nothing(sentence);
        }
    }
    if (body.GetLength() < NMEA_MIN_TYPED_TEXT) {
        if (error) error->Format("The command text \"%s\" is too short for a sentence", body.GetString());
        return Nothing(sentence);
    }
    if (body.GetLength() > NMEA_MAX_TYPED_TEXT) {
        if (error) error->Format("The command text has %d characters; at most %d fit one sentence",
                                 body.GetLength(), static_cast<int>(NMEA_MAX_TYPED_TEXT));
        return Nothing(sentence);
    }
    return ComposeNmeaSentence(sentence, "$%s", body.GetString());
}
