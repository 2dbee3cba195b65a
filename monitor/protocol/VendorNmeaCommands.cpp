#include "protocol/VendorNmeaCommands.h"

#include "framework/CArray.h"
#include "protocol/NmeaCommands.h"
#include "protocol/UbxMessage.h"

namespace {

// Sentence bits of the NMEA output configuration's mask.
enum : uint32_t {
    OUT_GGA = 0x01,
    OUT_GLL = 0x02,
    OUT_VTG = 0x04,
    OUT_GSV = 0x08,
    OUT_GSA = 0x10,
    OUT_ZDA = 0x20,
    OUT_RMC = 0x100
};

// A sentence of an output-rate command and the mask bit that switches it.
struct RateSentence {
    const char* name;
    uint32_t maskBit;
};

// One sentence's share of a maker's message code.
struct MessageCode {
    uint32_t maskBit;
    int code;
};

// The words of a maker's reset command for the reset types 1 (cold), 2
// (warm), 3 (hot) and 4 (factory); other types have none.
typedef const char* const ResetWords[4];

const char* ResetWord(const ResetWords& words, int resetType)
{
    if (resetType < 1 || resetType > 4) return nullptr;
    return words[resetType - 1];
}

const uint8_t kParityEven = 2;          // parity codes 0 none, 1 odd, 2 even
const uint8_t kSirfBinaryProtocol = 0x08;  // protocol-mask bit asking for SiRF binary
const int kUbloxPortCount = 3;

// UBX navigation-data clear masks of CFG-RST and configuration masks of CFG-CFG.
const uint16_t kUbxColdStart = 0xFFFF;
const uint16_t kUbxWarmStart = 0x0001;  // ephemeris only
const uint16_t kUbxHotStart = 0x0000;
const uint32_t kUbxPortAndMessageConfig = 0x03;

bool IsSet(BYTE setFlag)
{
    return setFlag == 1;
}

// A builder that refuses its arguments leaves nothing behind to send.
bool Nothing(CByteArray& bytes)
{
    bytes.RemoveAll();
    return false;
}

// The set form of a port command at a baud every maker's receiver takes.
bool IsPortSettable(BYTE setFlag, const PortConfigRecord* port)
{
    return IsSet(setFlag) && port != nullptr && IsNmeaPortBaud(port->baud);
}

int IntervalRate(const NmeaOutputConfig& config, uint32_t maskBit)
{
    return (config.mask & maskBit) != 0 ? static_cast<int>(config.interval & 0xFF) : 0;
}

int OnOff(const NmeaOutputConfig& config, uint32_t maskBit)
{
    return (config.mask & maskBit) != 0 ? 1 : 0;
}

template <size_t N>
int SumCodes(const NmeaOutputConfig& config, const MessageCode (&codes)[N])
{
    int sum = 0;
    for (const MessageCode& c : codes)
        if ((config.mask & c.maskBit) != 0) sum += c.code;
    return sum;
}

// A baud as "%u" prints it (uint32_t is unsigned int on every target).
unsigned Baud(uint32_t baud)
{
    return static_cast<unsigned>(baud);
}

// Appends a finished sentence (or message) to the array being built.
void AppendPart(CByteArray& bytes, const CByteArray& part)
{
    bytes.Append(part);
}

// ---- UBX messages ----

void AppendLittleEndian(CByteArray& message, uint32_t value, int byteCount)
{
    for (int i = 0; i < byteCount; ++i) UbxAppendByte(message, static_cast<BYTE>(value >> (8 * i)));
}

CByteArray UbxConfigMessage(uint32_t clearMask, uint32_t saveMask, uint32_t loadMask)
{
    CByteArray message;
    UbxBeginMessage(message, UBX_CLASS_CFG, UBX_ID_CFG_CFG);
    AppendLittleEndian(message, clearMask, 4);
    AppendLittleEndian(message, saveMask, 4);
    AppendLittleEndian(message, loadMask, 4);
    UbxEndMessage(message);
    return message;
}

// Reset mode 0: a hardware reset at once.
CByteArray UbxResetMessage(uint16_t clearMask)
{
    CByteArray message;
    UbxBeginMessage(message, UBX_CLASS_CFG, UBX_ID_CFG_RST);
    AppendLittleEndian(message, clearMask, 2);
    UbxAppendByte(message, 0);  // reset mode
    UbxAppendByte(message, 0);  // reserved
    UbxEndMessage(message);
    return message;
}

} // namespace

// ---- SiRF ----

bool BuildSirfReset(CByteArray& bytes, int resetType)
{
    static ResetWords kWords = {"4", "2", "1", "8"};
    const char* word = ResetWord(kWords, resetType);
    if (word == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PSRF104,0,0,0,000,0,0,12,%s", word);
}

bool BuildSirfOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config)
{
    static const RateSentence kSentences[] = {{"00", OUT_GGA}, {"01", OUT_GLL}, {"02", OUT_GSA}, {"03", OUT_GSV},
                                              {"04", OUT_RMC}, {"05", OUT_VTG}, {"08", OUT_ZDA}};
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    bytes.RemoveAll();
    CByteArray part;
    for (const RateSentence& s : kSentences) {
        if (!ComposeNmeaSentence(part, "$PSRF103,%s,00,%02d,01", s.name, IntervalRate(*config, s.maskBit)))
            return Nothing(bytes);
        AppendPart(bytes, part);
    }
    return true;
}

bool BuildSirfPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port)) return Nothing(bytes);
    // The sentence always asks for one stop bit.
    if (port->stopBits != 0 || port->parity > kParityEven || (port->dataBits != 7 && port->dataBits != 8))
        return Nothing(bytes);
    const bool binary = (port->inputMask & kSirfBinaryProtocol) != 0 && (port->outputMask & kSirfBinaryProtocol) == 0;
    return ComposeNmeaSentence(bytes, "$PSRF100,%d,%u,%d,1,%d", binary ? 0 : 1, Baud(port->baud), port->dataBits,
                               port->parity);
}

// ---- Nemerix ----

bool BuildNemerixReset(CByteArray& bytes, int resetType)
{
    static ResetWords kWords = {"COLD", "WARM", "HOT", "FACTORY"};
    const char* word = ResetWord(kWords, resetType);
    if (word == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PNMRX111,%s", word);
}

bool BuildNemerixOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config)
{
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    const NmeaOutputConfig& c = *config;
    return ComposeNmeaSentence(bytes, "$PNMRX103,GGA,%d,GLL,%d,GSA,%d,GSV,%d,RMC,%d,VTG,%d", IntervalRate(c, OUT_GGA),
                               IntervalRate(c, OUT_GLL), IntervalRate(c, OUT_GSA), IntervalRate(c, OUT_GSV),
                               IntervalRate(c, OUT_RMC), IntervalRate(c, OUT_VTG));
}

bool BuildNemerixPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port) || port->parity > kParityEven) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PNMRX100,0,%u,%d", Baud(port->baud), port->parity);
}

bool BuildNemerixVersionQuery(CByteArray& bytes) { return ComposeNmeaSentence(bytes, "$PNMRX600"); }

// ---- QinetiQ ----

bool BuildQinetiqReset(CByteArray& bytes, int resetType)
{
    // Which kinds of stored data the receiver clears, one digit each.
    static ResetWords kWords = {"111111", "100000", "000000", "111111"};
    const char* word = ResetWord(kWords, resetType);
    if (word == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PQNQS,RSET,RSET%s,", word);
}

bool BuildQinetiqOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config)
{
    static const RateSentence kSentences[] = {{"GGA", OUT_GGA}, {"GLL", OUT_GLL}, {"GSV", OUT_GSV},
                                              {"GSA", OUT_GSA}, {"RMC", OUT_RMC}, {"VTG", OUT_VTG}};
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    bytes.RemoveAll();
    CByteArray part;
    for (const RateSentence& s : kSentences) {
        if (!ComposeNmeaSentence(part, "$PQNQS,SETP,NMEA,1,%s,%d", s.name, IntervalRate(*config, s.maskBit)))
            return Nothing(bytes);
        AppendPart(bytes, part);
    }
    return true;
}

bool BuildQinetiqPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port)) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PQNQS,SETP,BAUD,1,%u", Baud(port->baud));
}

bool BuildQinetiqVersionQuery(CByteArray& bytes) { return ComposeNmeaSentence(bytes, "$PQNQQ,VERS"); }

// ---- ST/Tyco ----

bool BuildTycoReset(CByteArray& bytes, int resetType)
{
    static ResetWords kWords = {"COLD", "WARM", "HOT", "COLD"};
    const char* word = ResetWord(kWords, resetType);
    if (word == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PSTM%s", word);
}

bool BuildTycoOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config, uint32_t portBaud)
{
    // GLL and ZDA have no code in this receiver's message list.
    static const MessageCode kCodes[] = {
        {OUT_GGA, 1}, {OUT_GSA, 4}, {OUT_GSV, 8}, {OUT_VTG, 16}, {OUT_RMC, 64}};
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PSTMNMEACONFIG,0,%u,%d,1", Baud(portBaud), SumCodes(*config, kCodes));
}

bool BuildTycoPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port)) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PSTMNMEACONFIG,0,%u,93,1", Baud(port->baud));
}

bool BuildTycoVersionQuery(CByteArray& bytes) { return ComposeNmeaSentence(bytes, "$PSTMINFOREAD"); }

// ---- u-blox ----

bool BuildUbxReset(CByteArray& bytes, int resetType)
{
    switch (resetType) {
    case 1: bytes = UbxResetMessage(kUbxColdStart); return true;
    case 2: bytes = UbxResetMessage(kUbxWarmStart); return true;
    case 3: bytes = UbxResetMessage(kUbxHotStart); return true;
    case 4:
        bytes = UbxConfigMessage(kUbxPortAndMessageConfig, 0, 0);
        AppendPart(bytes, UbxResetMessage(kUbxColdStart));
        return true;
    default: return Nothing(bytes);
    }
}

bool BuildUbxSaveConfig(CByteArray& bytes)
{
    bytes = UbxConfigMessage(0, kUbxPortAndMessageConfig, 0);
    return true;
}

bool BuildUbloxOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config)
{
    static const RateSentence kSentences[] = {{"GGA", OUT_GGA}, {"GLL", OUT_GLL}, {"GSV", OUT_GSV}, {"GSA", OUT_GSA},
                                              {"RMC", OUT_RMC}, {"VTG", OUT_VTG}, {"ZDA", OUT_ZDA}};
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    bytes.RemoveAll();
    CByteArray part;
    for (const RateSentence& s : kSentences) {
        // The same on/off rate for each of the receiver's ports.
        const int on = OnOff(*config, s.maskBit);
        if (!ComposeNmeaSentence(part, "$PUBX,40,%s,%d,%d,%d,0", s.name, on, on, on)) return Nothing(bytes);
        AppendPart(bytes, part);
    }
    return true;
}

bool BuildUbloxPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port)) return Nothing(bytes);
    bytes.RemoveAll();
    CByteArray part;
    for (int receiverPort = 0; receiverPort < kUbloxPortCount; ++receiverPort) {
        if (!ComposeNmeaSentence(part, "$PUBX,41,%d,0003,0002,%u,0", receiverPort, Baud(port->baud)))
            return Nothing(bytes);
        AppendPart(bytes, part);
    }
    return true;
}

// ---- uNav ----

bool BuildUnavReset(CByteArray& bytes, int resetType)
{
    static ResetWords kWords = {"COLD", "WARM", "FAST", "COLD"};
    const char* word = ResetWord(kWords, resetType);
    if (word == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PUNV,START,%s", word);
}

bool BuildUnavOutputConfig(CByteArray& bytes, BYTE setFlag, const NmeaOutputConfig* config, uint32_t portBaud)
{
    static const MessageCode kCodes[] = {{OUT_GGA, 1},  {OUT_GLL, 2},  {OUT_GSA, 4}, {OUT_GSV, 8},
                                         {OUT_RMC, 16}, {OUT_VTG, 32}, {OUT_ZDA, 64}};
    if (!IsSet(setFlag) || config == nullptr) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PUNV,CONFIG,00,0000,0,1000,%u,%X", Baud(portBaud),
                               static_cast<unsigned>(SumCodes(*config, kCodes)));
}

bool BuildUnavPortConfig(CByteArray& bytes, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsPortSettable(setFlag, port)) return Nothing(bytes);
    return ComposeNmeaSentence(bytes, "$PUNV,CONFIG,00,0000,0,1000,%u,1D", Baud(port->baud));
}

bool BuildUnavVersionQuery(CByteArray& bytes) { return ComposeNmeaSentence(bytes, "$PUNV,GETCONFIG,09"); }
