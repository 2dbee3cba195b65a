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

NmeaFields::NmeaFields(const char* sentence, int length)
    : m_text(sentence), m_length(sentence != nullptr && length > 0 ? length : 0), m_count(0)
{
    if (m_length == 0) return;
    int field = 0;
    int begin = 0;
    int end = -1;  // where the current field's text ended; -1 while it runs on
    for (int i = 0; i < m_length; ++i) {
        const char c = m_text[i];
        if (c == ',') {
            if (end < 0) end = i;
            m_begin[field] = begin;
            m_fieldLength[field] = static_cast<uint8_t>(CutFieldLength(end - begin));
            if (++field == NMEA_INDEXED_FIELDS) {
                m_count = field;
                return;
            }
            begin = i + 1;
            end = -1;
        } else if (end < 0 && (c == '*' || c == '\r' || c == '\n')) {
            end = i;
        }
    }
    if (end < 0) end = m_length;
    m_begin[field] = begin;
    m_fieldLength[field] = static_cast<uint8_t>(CutFieldLength(end - begin));
    m_count = field + 1;
}

NmeaField NmeaFields::Field(int n) const
{
    NmeaField out;
    out.text = Has(n) ? m_text + m_begin[n] : nullptr;
    out.length = Has(n) ? m_fieldLength[n] : 0;
    return out;
}

bool NmeaFields::Is(int n, const char* text) const
{
    const size_t length = std::strlen(text);
    if (length == 0) return n >= 0 && n < m_count && m_fieldLength[n] == 0;
    return static_cast<size_t>(FieldLength(n)) == length &&
           std::memcmp(m_text + m_begin[n], text, length) == 0;
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
