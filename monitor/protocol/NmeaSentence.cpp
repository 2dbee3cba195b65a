#include "protocol/NmeaSentence.h"

#include <cstring>

#include "protocol/HexDigits.h"
#include "protocol/QtxtSentence.h"
#include "protocol/TextNumber.h"

bool CheckNmeaSentence(const BYTE* sentence, int length)
{
    if (sentence == nullptr || length <= 0) return false;
    // Too short to hold a "*" five bytes before the end: there is no checksum
    // field to test, which is the first acceptance rule.
    if (length < 5 || sentence[length - 5] != '*') return true;
    if (sentence[1] == 'P' && !(sentence[2] == 'Z' && sentence[3] == 'U' && sentence[4] == 'L'))
        return true;
    if (length < 8) return false;
    if (length - 6 > 0xFFFF) return false;  // never from the reader's buffer
    BYTE sum = ComputeXorChecksum(sentence + 1, static_cast<uint16_t>(length - 6));
    return sum == ReadTwoHexDigits(sentence + length - 4);
}

namespace {

// A field's text ends at the next field, at the checksum or at the line end.
bool EndsFieldText(char c) { return c == ',' || c == '*' || c == '\r' || c == '\n'; }

int CutFieldLength(int length) { return length > NMEA_FIELD_MAX_LENGTH ? NMEA_FIELD_MAX_LENGTH : length; }

}  // namespace

bool FindNmeaField(const char* sentence, int length, int n, NmeaField& out)
{
    out.text = nullptr;
    out.length = 0;
    if (sentence == nullptr || length <= 0 || n < 0) return false;
    int i = 0;
    for (int commas = 0; commas < n; ++i) {
        if (i >= length) return false;
        if (sentence[i] == ',') ++commas;
    }
    int end = i;
    while (end < length && !EndsFieldText(sentence[end])) ++end;
    if (end == i) return false;
    out.text = sentence + i;
    out.length = CutFieldLength(end - i);
    return true;
}

bool GetNmeaField(const char* sentence, int length, char* dst, int dstSize, int n)
{
    if (sentence == nullptr || dst == nullptr || dstSize <= 0) return false;
    NmeaField field;
    const bool found = FindNmeaField(sentence, length, n, field);
    int count = field.length < dstSize - 1 ? field.length : dstSize - 1;
    if (count > 0) std::memcpy(dst, field.text, static_cast<size_t>(count));
    dst[count < 0 ? 0 : count] = '\0';
    return found;
}

namespace {

// The field for a typed reader, with its ok flag set.
NmeaField TypedField(const char* sentence, int length, int n, int* ok)
{
    NmeaField field;
    const bool found = FindNmeaField(sentence, length, n, field);
    if (ok != nullptr) *ok = found ? 1 : 0;
    return field;
}

}  // namespace

NmeaFieldText GetNmeaFieldText(const char* sentence, int length, int n, int* ok)
{
    NmeaFieldText out;
    out.text[0] = '\0';
    const NmeaField field = TypedField(sentence, length, n, ok);
    if (field.length > 0) std::memcpy(out.text, field.text, static_cast<size_t>(field.length));
    out.text[field.length] = '\0';
    return out;
}

int32_t GetNmeaFieldInt(const char* sentence, int length, int n, int* ok)
{
    const NmeaField field = TypedField(sentence, length, n, ok);
    return TextToInt32(field.text, field.length);
}

int32_t GetNmeaFieldLong(const char* sentence, int length, int n, int* ok)
{
    // A long is 32 bits on the receivers' and the monitor's platforms alike.
    return GetNmeaFieldInt(sentence, length, n, ok);
}

uint32_t GetNmeaFieldHex(const char* sentence, int length, int n, int* ok)
{
    const NmeaField field = TypedField(sentence, length, n, ok);
    return TextToHex32(field.text, field.length);
}

double GetNmeaFieldDouble(const char* sentence, int length, int n, int* ok)
{
    const NmeaField field = TypedField(sentence, length, n, ok);
    return TextToDouble(field.text, field.length);
}

char GetNmeaFieldChar(const char* sentence, int length, int n, int* ok)
{
    const NmeaField field = TypedField(sentence, length, n, ok);
    return field.length > 0 ? field.text[0] : '\0';
}

// ---- The decoders' index ---------------------------------------------------------

namespace {

// The index looks at eight characters at a time: a word's bytes that are
// ",", "*", CR or LF are found together, without a branch per character
// (a comma every few characters would otherwise cost a mispredicted jump
// each).
const uint64_t kLowSevenBits = 0x7F7F7F7F7F7F7F7Full;

uint64_t Repeated(char c) { return 0x0101010101010101ull * static_cast<uint8_t>(c); }

// The high bit of every byte of the word that equals the pattern's byte.
uint64_t BytesEqual(uint64_t word, uint64_t pattern)
{
    const uint64_t x = word ^ pattern;
    return ~(((x & kLowSevenBits) + kLowSevenBits) | x | kLowSevenBits);
}

// Eight characters as a word, the first in the low byte whatever the
// machine's byte order; past the end of the text the bytes are 0, which no
// mark equals.
uint64_t LoadWord(const char* text, int count)
{
    uint64_t word = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    if (count == 8) {
        std::memcpy(&word, text, sizeof word);
        return word;
    }
#endif
    for (int i = 0; i < count; ++i) word |= static_cast<uint64_t>(static_cast<uint8_t>(text[i])) << (8 * i);
    return word;
}

int LowestMarkedByte(uint64_t marks)
{
#if defined(__GNUC__)
    return __builtin_ctzll(marks) >> 3;
#else
    int byte = 0;
    while ((marks & 0x80u) == 0) {
        marks >>= 8;
        ++byte;
    }
    return byte;
#endif
}

}  // namespace

NmeaFields::NmeaFields(const char* sentence, int length)
    : m_text(sentence), m_length(sentence != nullptr && length > 0 ? length : 0), m_count(0)
{
    const char* const text = m_text;
    const int total = m_length;
    if (total == 0) return;
    const uint64_t commas = Repeated(','), stars = Repeated('*'), crs = Repeated('\r'), lfs = Repeated('\n');
    int field = 0;
    int begin = 0;
    int end = -1;  // where the current field's text ended; -1 while it runs on
    enum : int { kWordBytes = 8 };
    for (int base = 0; base < total; base += kWordBytes) {
        const int count = total - base < kWordBytes ? total - base : kWordBytes;
        const uint64_t word = LoadWord(text + base, count);
        uint64_t marks = BytesEqual(word, commas) | BytesEqual(word, stars) | BytesEqual(word, crs) |
                         BytesEqual(word, lfs);
        while (marks != 0) {
            const int i = base + LowestMarkedByte(marks);
            marks &= marks - 1;
            if (end < 0) end = i;
            if (text[i] != ',') continue;
            m_begin[field] = begin;
            m_end[field] = end;
            if (++field == NMEA_INDEXED_FIELDS) {
                m_count = field;
                return;
            }
            begin = i + 1;
            end = -1;
        }
    }
    m_begin[field] = begin;
    m_end[field] = end < 0 ? total : end;
    m_count = field + 1;
}

NmeaField NmeaFields::Field(int n) const
{
    NmeaField out;
    out.length = FieldLength(n);
    out.text = out.length != 0 ? m_text + m_begin[n] : nullptr;
    return out;
}

bool NmeaFields::IsText(int n, const char* text, int length) const
{
    if (n < 0 || n >= m_count) return false;
    if (length == 0) return m_end[n] == m_begin[n];
    return FieldLength(n) == length && std::memcmp(m_text + m_begin[n], text, static_cast<size_t>(length)) == 0;
}

bool NmeaFields::Int(int n, int32_t& out) const
{
    int used = 0;
    const NmeaField f = Field(n);
    const int32_t value = TextToInt32(f.text, f.length, &used);
    if (used == 0) return false;
    out = value;
    return true;
}

bool NmeaFields::Hex(int n, uint32_t& out) const
{
    int used = 0;
    const NmeaField f = Field(n);
    const uint32_t value = TextToHex32(f.text, f.length, &used);
    if (used == 0) return false;
    out = value;
    return true;
}

bool NmeaFields::Double(int n, double& out) const
{
    int used = 0;
    const NmeaField f = Field(n);
    const double value = TextToDouble(f.text, f.length, &used);
    if (used == 0) return false;
    out = value;
    return true;
}
