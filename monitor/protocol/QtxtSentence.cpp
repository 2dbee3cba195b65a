#include "protocol/QtxtSentence.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/CArray.h"
#include "framework/CString.h"
#include "model/ModelRecords.h"
#include "protocol/HexDigits.h"

BYTE ComputeXorChecksum(const BYTE* bytes, uint16_t n)
{
    BYTE x = 0;
    if (bytes == nullptr) return 0;
    for (uint16_t i = 0; i < n; ++i) x ^= bytes[i];
    return x;
}

bool CheckQtxtSentence(const BYTE* sentence, int length)
{
    if (sentence == nullptr || length < 5) return false;
    if (length > 8 && sentence[length - 5] == ';' && sentence[length - 4] == '*') {
        // A sentence longer than a 16-bit count cannot come from the reader's
        // 512-byte buffer; refuse it rather than check a truncated prefix.
        if (length - 3 > 0xFFFF) return false;
        BYTE sum = ComputeXorChecksum(sentence, static_cast<uint16_t>(length - 3));
        return sum == ReadTwoHexDigits(sentence + length - 3);
    }
    return true;
}

// ---- Command builders ----------------------------------------------------------

void FinishQtxtSentence(const char* text, CByteArray& sentence)
{
    sentence.RemoveAll();
    if (text == nullptr) text = "";
    size_t n = std::strlen(text);
    if (n > 0 && text[n - 1] == '<') --n;
    BYTE sum = 0;
    auto put = [&](char c) {
        sentence.Add(static_cast<BYTE>(c));
        sum ^= static_cast<BYTE>(c);
    };
    for (size_t i = 0; i < n; ++i) put(text[i]);
    // The ";*" pair is part of what the checksum covers.
    put(';');
    put('*');
    static const char kHexDigits[] = "0123456789ABCDEF";
    sentence.Add(static_cast<BYTE>(kHexDigits[sum >> 4]));
    sentence.Add(static_cast<BYTE>(kHexDigits[sum & 0x0F]));
    sentence.Add('<');
}

namespace {

enum : int {
    kTextRoom = 200,     // every sentence a builder composes fits this
    kFieldLimit = 9999,  // the largest value of a four-digit field
};

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

bool Sentence(CByteArray& sentence, const char* text)
{
    FinishQtxtSentence(text, sentence);
    return true;
}

// A sentence composed from a format; false (and nothing built) if it would
// not fit the room every builder's sentence has.
bool Formatted(CByteArray& sentence, const char* format, ...) AFX_PRINTF_FORMAT(2, 3);
bool Formatted(CByteArray& sentence, const char* format, ...)
{
    char text[kTextRoom];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0 || n >= static_cast<int>(sizeof text)) return Nothing(sentence);
    return Sentence(sentence, text);
}

// The receiver's four-digit baud codes: the rate itself up to 9600, its
// first four digits above.
struct BaudCode {
    uint32_t baud;
    int code;
};
const BaudCode kBaudCodes[] = {
    {1200, 1200}, {2400, 2400}, {4800, 4800}, {9600, 9600},
    {19200, 1920}, {38400, 3840}, {57600, 5760}, {115200, 1152},
};

bool FindBaudCode(uint32_t baud, int& code)
{
    for (const BaudCode& b : kBaudCodes) {
        if (b.baud == baud) {
            code = b.code;
            return true;
        }
    }
    return false;
}

// The sentence's letters for the settings, or false for a setting the
// receiver has no letter for.
bool PortLetters(const PortConfigRecord& port, char& dataBits, char& stopBits, char& parity)
{
    if (port.dataBits != 7 && port.dataBits != 8) return false;
    dataBits = static_cast<char>('0' + port.dataBits);
    if (port.stopBits == 0) stopBits = '1';
    else if (port.stopBits == 2) stopBits = '2';
    else return false;
    static const char kParity[] = {'N', 'O', 'E'};
    if (port.parity >= sizeof kParity) return false;
    parity = kParity[port.parity];
    return true;
}

enum : uint8_t { kMaskQtxt = 0x01, kMaskQbin = 0x02, kMaskNmea = 0x04 };

// "T" both directions, "I" input only, "O" output only, "F" neither.
char ProtocolLetter(const PortConfigRecord& port, uint8_t bit)
{
    const bool in = (port.inputMask & bit) != 0;
    const bool out = (port.outputMask & bit) != 0;
    if (in && out) return 'T';
    if (in) return 'I';
    if (out) return 'O';
    return 'F';
}

bool IsSentenceCharacter(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

// A message id the receiver can name: two visible characters.
bool HasMessageId(const QtxtConfigRecord& config)
{
    for (int i = 0; i < 2; ++i) {
        const char c = config.messageId[i];
        if (c <= 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool FitsField(uint16_t value)
{
    return value <= kFieldLimit;
}

char FlagLetter(uint32_t flag)
{
    return flag != 0 ? 'T' : 'F';
}

}  // namespace

bool BuildQtxtStatusQuery(CByteArray& sentence) { return Sentence(sentence, ">QST"); }
bool BuildQtxtLongNavQuery(CByteArray& sentence) { return Sentence(sentence, ">QLN"); }
bool BuildQtxtSaveConfig(CByteArray& sentence) { return Sentence(sentence, ">SRTSAVE_CONFIG"); }
bool BuildQtxtVersionQuery(CByteArray& sentence) { return Sentence(sentence, ">QVR"); }

bool BuildQtxtReset(CByteArray& sentence, int resetType)
{
    switch (resetType) {
    case 1: return Sentence(sentence, ">SRTCOLD");
    case 2: return Sentence(sentence, ">SRT");
    case 4: return Sentence(sentence, ">SRTFACTORY");
    default: return Nothing(sentence);
    }
}

bool BuildQtxtPortConfig(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsSet(setFlag)) return Sentence(sentence, ">QPT");
    if (port == nullptr) return Nothing(sentence);
    int code = 0;
    char dataBits, stopBits, parity;
    if (!FindBaudCode(port->baud, code) || !PortLetters(*port, dataBits, stopBits, parity))
        return Nothing(sentence);
    return Formatted(sentence, ">SPT%04d,%c,%c,%c", code, dataBits, stopBits, parity);
}

bool BuildQtxtProtocols(CByteArray& sentence, BYTE setFlag, const PortConfigRecord* port)
{
    if (!IsSet(setFlag)) return Sentence(sentence, ">QPR");
    if (port == nullptr) return Nothing(sentence);
    return Formatted(sentence, ">SPR;QTXT=%ca;QBIN=%ca;NMEA=%ca", ProtocolLetter(*port, kMaskQtxt),
                     ProtocolLetter(*port, kMaskQbin), ProtocolLetter(*port, kMaskNmea));
}

bool BuildQtxtTimeQuery(CByteArray& sentence, BYTE setFlag)
{
    if (setFlag != 0) return Nothing(sentence);
    return Sentence(sentence, ">QTM");
}

bool BuildQtxtFromText(CByteArray& sentence, const char* text, CString* error)
{
    if (error) error->Empty();
    CString body(text != nullptr ? text : "");
    body.Trim();
    if (body.IsEmpty()) {
        if (error) *error = "Nothing to send: the sentence text is empty";
        return Nothing(sentence);
    }
    if (body.GetLength() > QTXT_TEXT_LIMIT) {
        if (error) error->Format("The sentence text is too long: %d characters (at most %d)", body.GetLength(),
                                 static_cast<int>(QTXT_TEXT_LIMIT));
        return Nothing(sentence);
    }
    // One closing "<" may be typed; the sentence gets its own. Anywhere else
    // it would end the sentence before the checksum at the receiver.
    if (body.Right(1) == "<") body = body.Left(body.GetLength() - 1);
    if (body.IsEmpty()) {
        if (error) *error = "Nothing to send: the sentence text is empty";
        return Nothing(sentence);
    }
    const int early = body.Find('<');
    if (early >= 0) {
        if (error) error->Format("The sentence text holds \"<\" at %d, which would end the sentence there", early + 1);
        return Nothing(sentence);
    }
    for (int i = 0; i < body.GetLength(); ++i) {
        if (!IsSentenceCharacter(body[i])) {
            if (error) error->Format("The sentence text holds a character that cannot be sent (code 0x%02X at %d)",
                                     static_cast<unsigned>(static_cast<BYTE>(body[i])), i + 1);
            return Nothing(sentence);
        }
    }
    return Sentence(sentence, (CString(">") + body).GetString());
}

bool BuildQtxtFrequencyReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config)
{
    if (config == nullptr || !HasMessageId(*config)) return Nothing(sentence);
    const char* id = config->messageId;
    if (!IsSet(setFlag)) return Formatted(sentence, ">F%c%c", id[0], id[1]);
    if (!FitsField(config->interval) || !FitsField(config->epoch)) return Nothing(sentence);
    return Formatted(sentence, ">F%c%c%04d%04d", id[0], id[1], config->interval, config->epoch);
}

bool BuildQtxtDistanceReporting(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config)
{
    if (config == nullptr || !HasMessageId(*config)) return Nothing(sentence);
    const char* id = config->messageId;
    if (!IsSet(setFlag)) return Formatted(sentence, ">D%c%c", id[0], id[1]);
    if (!FitsField(config->interval) || !FitsField(config->epoch) || !FitsField(config->distance) ||
        !FitsField(config->maxInterval))
        return Nothing(sentence);
    return Formatted(sentence, ">D%c%c%04d%04d%04d%04d", id[0], id[1], config->interval, config->epoch,
                     config->distance, config->maxInterval);
}

bool BuildQtxtVehicleId(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config)
{
    if (!IsSet(setFlag)) return Sentence(sentence, ">QID");
    if (config == nullptr) return Nothing(sentence);
    const char* id = config->vehicleId;
    for (int i = 0; i < 4; ++i)
        if (!IsSentenceCharacter(id[i])) return Nothing(sentence);
    return Formatted(sentence, ">SID%c%c%c%c", id[0], id[1], id[2], id[3]);
}

bool BuildQtxtReportingFlags(CByteArray& sentence, BYTE setFlag, const QtxtConfigRecord* config)
{
    if (!IsSet(setFlag)) return Sentence(sentence, ">QRM");
    if (config == nullptr) return Nothing(sentence);
    return Formatted(sentence, ">SRM;ID_FLAG=%c;CS_FLAG=%c;EC_FLAG=%c;FR_FLAG=%c;CR_FLAG=%c",
                     FlagLetter(config->flagId), FlagLetter(config->flagCs), FlagLetter(config->flagEc),
                     FlagLetter(config->flagFr), FlagLetter(config->flagCr));
}
