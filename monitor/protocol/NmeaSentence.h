#pragma once
// NMEA 0183 sentences as the monitor receives them: "$" address [, fields]
// ["*" hh] CR LF, 8 to 255 bytes on the wire.
//
// The reader thread collects a sentence and asks CheckNmeaSentence whether to
// trust it; the NMEA dispatcher decodes the accepted ones, reading their
// fields with the readers below. Every reader takes the sentence as bytes and
// a count and never reads past them: the sentence came from a device.
#include <cstddef>
#include <cstdint>

#include "framework/WinTypes.h"

// length counts every byte, CR LF included. In this order:
//  - no "*" five bytes before the end: accepted (the checksum is optional);
//  - another maker's proprietary sentence ("$P" + code other than "ZUL"):
//    accepted untested, since those makers' checksums are not ours to judge;
//  - shorter than 8: refused;
//  - otherwise the XOR of the bytes between "$" and "*" must equal the two
//    hex digits after "*", read in either case.
bool CheckNmeaSentence(const BYTE* sentence, int length);

// ---- Fields ------------------------------------------------------------------
//
// Field 0 is the address with its "$" ("$GPGGA"); field n is the text after
// the n-th comma up to the next ",", "*", CR, LF or the end of the sentence.
// A field is empty when that text is; a field whose comma the sentence does
// not reach is missing. Commas are counted through the whole sentence, as
// the receivers' own readers count them. A field longer than 49 characters
// is cut to its first 49.

enum : int {
    NMEA_FIELD_MAX_LENGTH = 49,
    NMEA_FIELD_BUFFER_SIZE = NMEA_FIELD_MAX_LENGTH + 1  // with the terminator
};

// One field where it stands in the sentence; not terminated.
struct NmeaField {
    const char* text;  // null when the field is missing
    int length;        // 0 (missing or empty) .. 49
};

// Finds field n. False, with an empty field, when the field is missing or
// empty or the sentence is null.
bool FindNmeaField(const char* sentence, int length, int n, NmeaField& out);

// Copies field n into dst (dstSize bytes, terminator included; at most 49
// characters are kept whatever the size). False with dst untouched when the
// sentence or dst is null or dstSize is 0; false with dst emptied when the
// field is missing or empty.
bool GetNmeaField(const char* sentence, int length, char* dst, int dstSize, int n);

// The typed readers: ok (may be null) is 1 when field n is present and not
// empty, else 0 with the value 0 or an empty text. Numbers follow the C
// library rules named in TextNumber.h, with "." as the decimal point.
struct NmeaFieldText {
    char text[NMEA_FIELD_BUFFER_SIZE];
};
NmeaFieldText GetNmeaFieldText(const char* sentence, int length, int n, int* ok);
int32_t GetNmeaFieldInt(const char* sentence, int length, int n, int* ok);   // atoi
int32_t GetNmeaFieldLong(const char* sentence, int length, int n, int* ok);  // atol, 32 bits
uint32_t GetNmeaFieldHex(const char* sentence, int length, int n, int* ok);  // "%x"
double GetNmeaFieldDouble(const char* sentence, int length, int n, int* ok); // atof
char GetNmeaFieldChar(const char* sentence, int length, int n, int* ok);     // first character

// A sentence split into its fields once, for the decoders: each field is then
// read in place, without copies. Only the first NMEA_INDEXED_FIELDS fields
// are indexed (no sentence the monitor decodes has more); later ones read as
// missing. The number readers are stricter than the typed readers above: a
// field that does not start with a number (after blanks and a sign) counts as
// missing.
enum : int { NMEA_INDEXED_FIELDS = 40 };

class NmeaFields {
public:
    NmeaFields(const char* sentence, int length);

    const char* Text() const { return m_text; }
    int Length() const { return m_length; }
    // Character i of the sentence, '\0' outside it.
    char At(int i) const { return i >= 0 && i < m_length ? m_text[i] : '\0'; }
    // Fields indexed, the address included.
    int Count() const { return m_count; }

    NmeaField Field(int n) const;
    bool Has(int n) const { return n >= 0 && n < m_count && m_end[n] != m_begin[n]; }
    // 0 (missing or empty) .. 49.
    int FieldLength(int n) const
    {
        if (n < 0 || n >= m_count) return 0;
        const int length = m_end[n] - m_begin[n];
        return length < NMEA_FIELD_MAX_LENGTH ? length : NMEA_FIELD_MAX_LENGTH;
    }
    // The field's first character, '\0' when missing or empty.
    char First(int n) const { return Has(n) ? m_text[m_begin[n]] : '\0'; }
    // True when the field is exactly this text (a literal: its length is
    // known without counting).
    template <size_t N>
    bool Is(int n, const char (&text)[N]) const
    {
        return IsText(n, text, static_cast<int>(N - 1));
    }

    bool Int(int n, int32_t& out) const;
    bool Hex(int n, uint32_t& out) const;
    bool Double(int n, double& out) const;

private:
    bool IsText(int n, const char* text, int length) const;

    const char* m_text;
    int m_length;
    int m_count;
    // Where each field's text begins and ends.
    int m_begin[NMEA_INDEXED_FIELDS];
    int m_end[NMEA_INDEXED_FIELDS];
};
