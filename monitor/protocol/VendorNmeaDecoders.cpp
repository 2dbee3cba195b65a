#include "protocol/VendorNmeaDecoders.h"

#include <cstring>

#include "model/CModel.h"
#include "protocol/NmeaDecodersShared.h"
#include "protocol/NmeaSentence.h"
#include "protocol/TextNumber.h"

using namespace nmea;

namespace {

const char kVr[] = "VR";
const char kSirfPrefix[] = "SiRF ";
const char kQinetiqPrefix[] = "QinetiQ ";
const char kTycoName[] = "Tyco GPS Receiver";
const char kUbloxName[] = "uBlox ANTARIS GPS Receiver";
const char kUnavName[] = "uNAV-based GPS Receiver";

char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The version text from `start` to the checksum or the line end, without
// blanks at either end, appended to `name`. False when it is empty.
template <size_t N>
bool AppendVersionText(char (&name)[N], const NmeaFields& f, int start)
{
    int end = start;
    while (end < f.Length() && f.At(end) != '*' && f.At(end) != '\r' && f.At(end) != '\n') ++end;
    while (start < end && IsBlank(f.At(start))) ++start;
    while (end > start && IsBlank(f.At(end - 1))) --end;
    if (start >= end) return false;
    size_t n = std::strlen(name);
    for (int i = start; i < end && n + 1 < N; ++i) name[n++] = f.At(i);
    name[n] = '\0';
    return true;
}

template <size_t N>
void CopyField(char (&dst)[N], const NmeaField& field)
{
    size_t n = static_cast<size_t>(field.length);
    if (n > N - 1) n = N - 1;
    if (n > 0) std::memcpy(dst, field.text, n);
    dst[n] = '\0';
}

FirmwareVersionRecord EmptyVersion()
{
    FirmwareVersionRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

// Stores the version as firmware record 0; while the model knows no product
// name, `product` (its code and name set here) becomes the product record.
void IdentifyOtherMaker(CModel* model, const FirmwareVersionRecord& version, ProductRecord product)
{
    model->SetReportText(SLOT_FIRMWARE, kVr);
    model->IdentifyReceiver(version, 0);
    ProductRecord current;
    model->GetProductInfo(current);
    if (current.name[0] != '\0') return;
    product.code = OTHER_MAKER_PRODUCT_CODE;
    CopyRecordText(product.name, version.name);
    model->SetReportText(SLOT_PRODUCT, kVr);
    model->SetProductInfo(product);
}

void IdentifyOtherMaker(CModel* model, const FirmwareVersionRecord& version)
{
    ProductRecord product;
    std::memset(&product, 0, sizeof product);
    IdentifyOtherMaker(model, version, product);
}

bool TwoDigitsAt(const NmeaField& field, int offset, int& out)
{
    if (offset < 0 || offset + 2 > field.length) return false;
    if (!IsDigit(field.text[offset]) || !IsDigit(field.text[offset + 1])) return false;
    out = (field.text[offset] - '0') * 10 + (field.text[offset + 1] - '0');
    return true;
}

}  // namespace

int FindNoCase(const NmeaFields& f, const char* needle)
{
    const int n = static_cast<int>(std::strlen(needle));
    const char* text = f.Text();
    for (int i = 0; i + n <= f.Length(); ++i) {
        int k = 0;
        while (k < n && ToLowerAscii(text[i + k]) == needle[k]) ++k;
        if (k == n) return i;
    }
    return -1;
}

NoCaseText::NoCaseText(const char* needle)
    : m_needle(needle), m_length(static_cast<int>(std::strlen(needle))), m_anchor(0)
{
    while (m_anchor + 1 < m_length && needle[m_anchor] >= 'a' && needle[m_anchor] <= 'z') ++m_anchor;
}

int NoCaseText::FindIn(const NmeaFields& f) const
{
    const char* const text = f.Text();
    const int length = f.Length();
    const char anchor = m_needle[m_anchor];
    if (anchor >= 'a' && anchor <= 'z') return FindNoCase(f, m_needle);  // no such character
    // Occurrences of the anchor where the whole needle would fit around it.
    int at = m_anchor;
    while (at + (m_length - m_anchor) <= length) {
        const void* hit = std::memchr(text + at, anchor, static_cast<size_t>(length - at));
        if (hit == nullptr) return -1;
        at = static_cast<int>(static_cast<const char*>(hit) - text);
        const int start = at - m_anchor;
        if (start + m_length > length) return -1;
        int k = 0;
        while (k < m_length && ToLowerAscii(text[start + k]) == m_needle[k]) ++k;
        if (k == m_length) return start;
        ++at;
    }
    return -1;
}

// ---- SiRF, Navman ---------------------------------------------------------------

void DecodeSirfText(const NmeaFields& f, CModel* model)
{
    static const char kVersionTag[] = "version:";
    const int at = FindNoCase(f, kVersionTag);
    if (at < 0) return;
    FirmwareVersionRecord version = EmptyVersion();
    CopyRecordText(version.name, kSirfPrefix);
    if (!AppendVersionText(version.name, f, at + static_cast<int>(sizeof kVersionTag) - 1)) return;
    IdentifyOtherMaker(model, version);
}

void DecodeNavmanVersion(const NmeaFields& f, CModel* model)
{
    // "VERSION " and then the version itself.
    enum : int { kSkip = 8 };
    const int at = FindNoCase(f, "version");
    if (at < 0) return;
    FirmwareVersionRecord version = EmptyVersion();
    if (!AppendVersionText(version.name, f, at + kSkip)) return;
    IdentifyOtherMaker(model, version);
}

// ---- Nemerix --------------------------------------------------------------------

void DecodeNemerixVersion(const NmeaFields& f, CModel* model)
{
    const NmeaField name = f.Field(2);
    if (name.length == 0) return;
    FirmwareVersionRecord version = EmptyVersion();
    CopyField(version.name, name);
    IdentifyOtherMaker(model, version);
}

// ---- QinetiQ --------------------------------------------------------------------

namespace {

const char* const kMonthNames[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                   "jul", "aug", "sep", "oct", "nov", "dec"};
enum : int { kMonths = 12 };

// "Mmm dd yyyy": month name (any case), day at character 4, year at 7.
bool ReadQinetiqDate(const NmeaField& field, int& month, int& day, int& year)
{
    enum : int { kDayAt = 4, kYearAt = 7, kLength = 11 };
    if (field.length < kLength) return false;
    month = 0;
    for (int m = 0; m < kMonths; ++m) {
        if (ToLowerAscii(field.text[0]) == kMonthNames[m][0] && ToLowerAscii(field.text[1]) == kMonthNames[m][1] &&
            ToLowerAscii(field.text[2]) == kMonthNames[m][2])
            month = m + 1;
    }
    int century = 0, yy = 0;
    if (month == 0 || !TwoDigitsAt(field, kDayAt, day) || !TwoDigitsAt(field, kYearAt, century) ||
        !TwoDigitsAt(field, kYearAt + 2, yy))
        return false;
    year = century * 100 + yy;
    return true;
}

// "m.nn": the number before the point and the (up to two) digits after it.
void ReadQinetiqVersion(const NmeaField& field, FirmwareVersionRecord& version)
{
    int used = 0;
    const int32_t major = TextToInt32(field.text, field.length, &used);
    version.major = static_cast<uint8_t>(major < 0 || major > 0xFF ? 0 : major);
    int point = 0;
    while (point < field.length && field.text[point] != '.') ++point;
    int minor = 0;
    for (int i = point + 1; i < field.length && i <= point + 2 && IsDigit(field.text[i]); ++i)
        minor = minor * 10 + (field.text[i] - '0');
    version.minor = static_cast<uint8_t>(minor);
    version.build = 0;
}

}  // namespace

void DecodeQinetiqVersion(const NmeaFields& f, CModel* model)
{
    const NmeaField name = f.Field(2);
    if (name.length == 0) return;
    FirmwareVersionRecord version = EmptyVersion();
    CopyRecordText(version.name, kQinetiqPrefix);
    const size_t prefix = sizeof kQinetiqPrefix - 1;
    size_t n = static_cast<size_t>(name.length);
    if (n > MODEL_NAME_LENGTH - 1 - prefix) n = MODEL_NAME_LENGTH - 1 - prefix;
    std::memcpy(version.name + prefix, name.text, n);
    version.name[prefix + n] = '\0';
    ReadQinetiqVersion(f.Field(3), version);
    ProductRecord product;
    std::memset(&product, 0, sizeof product);
    int month = 0, day = 0, year = 0;
    if (ReadQinetiqDate(f.Field(5), month, day, year)) {
        version.month = static_cast<uint8_t>(month);
        version.day = static_cast<uint8_t>(day);
        version.year = static_cast<uint16_t>(year);
        product.buildMonth = version.month;
        product.buildDay = version.day;
        product.buildYear = version.year;
    }
    int32_t value = 0;
    if (f.Int(8, value)) product.serialNumber = static_cast<uint32_t>(value);
    IdentifyOtherMaker(model, version, product);
}

// ---- ST/Tyco ----------------------------------------------------------------------

void DecodeTycoVersion(const NmeaFields& f, CModel* model)
{
    // "GPSLIB_vv.vv.vv"
    enum : int { kMajorAt = 7, kMinorAt = 10, kBuildAt = 13 };
    FirmwareVersionRecord version = EmptyVersion();
    CopyRecordText(version.name, kTycoName);
    const NmeaField library = f.Field(1);
    int major = 0, minor = 0, build = 0;
    if (TwoDigitsAt(library, kMajorAt, major) && TwoDigitsAt(library, kMinorAt, minor) &&
        TwoDigitsAt(library, kBuildAt, build)) {
        version.major = static_cast<uint8_t>(major);
        version.minor = static_cast<uint8_t>(minor);
        version.build = static_cast<int16_t>(build);
    }
    IdentifyOtherMaker(model, version);
}

// ---- u-blox, uNav -------------------------------------------------------------------

void DecodeUbloxVersion(const NmeaFields&, CModel* model)
{
    FirmwareVersionRecord version = EmptyVersion();
    CopyRecordText(version.name, kUbloxName);
    IdentifyOtherMaker(model, version);
}

void DecodeUnavVersion(const NmeaFields&, CModel* model)
{
    FirmwareVersionRecord version = EmptyVersion();
    CopyRecordText(version.name, kUnavName);
    IdentifyOtherMaker(model, version);
}
