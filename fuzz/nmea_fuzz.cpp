// NMEA sentences from an untrusted link: the check, the dispatcher with every
// decoder behind it, and the field readers, over arbitrary bytes.
//
// The first input byte chooses the run: bits 0-2 the link's vendor sub-mode
// before the first sentence; bit 3 repairs each checksum "*hh" five bytes
// before the end, so mutated sentences still reach the decoders; bit 4 takes
// each sentence as it is, where otherwise it is shaped as the reader hands it
// over ("$" first, CR LF last, at most 255 bytes); bit 7 decodes without a
// model. The rest, cut at every LF, is a sequence of sentences decoded into
// one model, the dialect carried from one to the next as the link carries it.
// A receiver log is a seed as it stands: its "#" header line picks a shaped
// run into a model.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DecoderFuzz.h"
#include "link/ProtocolKind.h"
#include "protocol/NmeaDispatcher.h"
#include "protocol/NmeaSentence.h"

using namespace decoderfuzz;

namespace {

const size_t kLongestInput = 1 << 16;  // the largest receiver log of the seeds
const size_t kMaxSentence = 255;   // the reader's limit, CR LF included
const size_t kChecksumTail = 5;    // "*hh" CR LF
const size_t kShortestChecked = 8;
// The field readers keep no state, so a fault shows in any one sentence; they
// are held to the rule on the first sentences of an input only, which keeps
// the long receiver-log inputs fast to run.
const size_t kFieldCheckedSentences = 8;

const ProtocolKind kSubModes[8] = {PROTO_NONE,          PROTO_SIRF_NMEA,    PROTO_UBLOX_NMEA,
                                   PROTO_UNAV_NMEA,     PROTO_NEMERIX_NMEA, PROTO_QINETIQ_NMEA,
                                   PROTO_TYCO_NMEA,     PROTO_NAVMAN_NMEA};

void Shape(Frame& s)
{
    if (!s.empty() && s.back() == '\r') s.pop_back();
    if (s.empty() || s[0] != '$') s.insert(s.begin(), '$');
    if (s.size() > kMaxSentence - 2) s.resize(kMaxSentence - 2);
    s.push_back('\r');
    s.push_back('\n');
}

void RepairChecksum(Frame& s)
{
    if (s.size() < kShortestChecked || s[s.size() - kChecksumTail] != '*') return;
    WriteUpperHex(&s[s.size() - kChecksumTail + 1], Xor(s.data(), 1, s.size() - kChecksumTail));
}

// What a sentence may reveal: nothing (the sub-mode stays), another maker's
// dialect, or the maker's own forms again.
bool IsDialectOutcome(ProtocolKind before, ProtocolKind after)
{
    return after == before || IsVendorDialect(after) || after == PROTO_NMEA || after == PROTO_NONE;
}

// ---- Field readers, against a plain reading of the field rule --------------------

// Field n by the rule read directly: after the n-th comma of the whole
// sentence up to the next ",", "*", CR, LF or the end. False when the
// sentence has fewer commas.
bool ReferenceField(const Frame& s, int n, std::string& out)
{
    size_t i = 0;
    for (int commas = 0; commas < n; ++i) {
        if (i >= s.size()) return false;
        if (s[i] == ',') ++commas;
    }
    size_t end = i;
    while (end < s.size() && s[end] != ',' && s[end] != '*' && s[end] != '\r' && s[end] != '\n') ++end;
    out.assign(s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(end));
    return true;
}

int FieldCount(const Frame& s)
{
    int commas = 0;
    for (uint8_t c : s) commas += c == ',';
    return commas + 1;
}

std::string Cut(const std::string& field)
{
    return field.substr(0, std::min<size_t>(field.size(), NMEA_FIELD_MAX_LENGTH));
}

// The C library's reading of a number, on a terminated copy of the field.
bool OnlyNumberCharacters(const std::string& f, const char* allowed)
{
    return f.find_first_not_of(allowed) == std::string::npos;
}

void CheckNumbers(const BYTE* bytes, int length, int n, const std::string& field)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    int ok = -1;
    const std::string c = Cut(field);  // what the readers see
    const std::string z = c.substr(0, c.find('\0'));
    const char* start = z.c_str();
    char* end = nullptr;

    const int32_t i = GetNmeaFieldInt(text, length, n, &ok);
    const long long li = std::strtoll(start, &end, 10);
    const long long clamped = std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, li));
    if (z.size() == c.size() && end != start) Require(i == clamped, "int field reads as atoi");

    if (OnlyNumberCharacters(z, " 0123456789abcdefABCDEFxX") && z.size() == c.size()) {
        const unsigned long long h = std::strtoull(start, &end, 16);
        if (end != start && h <= 0xFFFFFFFFull)
            Require(GetNmeaFieldHex(text, length, n, &ok) == h, "hex field reads as %x");
    }
    // Decimal forms only: the C library also reads hexadecimal floats,
    // infinities and NaN, which are no numbers in a sentence.
    if (OnlyNumberCharacters(z, " +-.0123456789eE") && z.size() == c.size()) {
        const double d = std::strtod(start, &end);
        const double mine = GetNmeaFieldDouble(text, length, n, &ok);
        if (end != start && std::isfinite(d) && std::fabs(d) < 1e300 && (d == 0 || std::fabs(d) > 1e-300))
            Require(std::fabs(mine - d) <= 1e-13 * std::fabs(d), "double field reads as atof");
    }
}

void CheckFieldReaders(const Frame& s, const BYTE* bytes, int length, uint8_t dstSize)
{
    const char* text = reinterpret_cast<const char*>(bytes);
    const NmeaFields index(text, length);
    const int count = FieldCount(s);
    Require(index.Count() == std::min(count, static_cast<int>(NMEA_INDEXED_FIELDS)), "every field indexed, up to the limit");
    for (int n = 0; n <= count && n < NMEA_INDEXED_FIELDS + 2; ++n) {
        std::string field;
        const bool reached = ReferenceField(s, n, field);
        const bool present = reached && !field.empty();
        const std::string cut = Cut(field);

        NmeaField found;
        Require(FindNmeaField(text, length, n, found) == present, "a field is found when present");
        if (present) {
            Require(found.text >= text && found.text + found.length <= text + length, "a field lies inside its sentence");
            Require(std::string(found.text, static_cast<size_t>(found.length)) == cut, "the field's text, cut to 49");
        }

        char dst[NMEA_FIELD_BUFFER_SIZE + 8];
        std::memset(dst, 'x', sizeof dst);
        const int size = 1 + dstSize % (NMEA_FIELD_BUFFER_SIZE + 8);
        Require(GetNmeaField(text, length, dst, size, n) == present, "a field is copied when present");
        const size_t kept = std::min<size_t>(cut.size(), static_cast<size_t>(size - 1));
        Require(std::memcmp(dst, cut.data(), kept) == 0 && dst[kept] == '\0', "the copy holds what fits, terminated");
        for (size_t k = static_cast<size_t>(size); k < sizeof dst; ++k) Require(dst[k] == 'x', "nothing written past dstSize");

        int ok = -1;
        const NmeaFieldText t = GetNmeaFieldText(text, length, n, &ok);
        Require(ok == (present ? 1 : 0), "the ok flag tells a present field");
        Require(std::memcmp(t.text, cut.data(), cut.size()) == 0 && t.text[cut.size()] == '\0', "the text reader's text");
        Require(GetNmeaFieldChar(text, length, n, &ok) == (present ? cut[0] : '\0'), "the first character");
        CheckNumbers(bytes, length, n, field);

        if (n < NMEA_INDEXED_FIELDS && reached) {
            const NmeaField f = index.Field(n);
            Require(index.Has(n) == present && f.length == static_cast<int>(present ? cut.size() : 0), "the index agrees");
            if (present) Require(std::string(f.text, static_cast<size_t>(f.length)) == cut, "the index's text");
            Require(index.First(n) == (present ? cut[0] : '\0'), "the index's first character");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > kLongestInput) return 0;
    const uint8_t mode = data[0];
    const bool repair = (mode & 0x08) != 0;
    const bool shape = (mode & 0x10) == 0;
    const bool noModel = (mode & 0x80) != 0;

    AuditedModel target;
    if (!target.attached) return 0;
    CModel* model = noModel ? nullptr : &target.model;
    ProtocolKind dialect = kSubModes[mode & 7];

    size_t index = 0;
    for (Frame& sentence : SplitAt(data + 1, size - 1, '\n')) {
        const bool checkFields = index++ < kFieldCheckedSentences;
        if (shape) Shape(sentence);
        if (repair) RepairChecksum(sentence);
        WithExactCopy(sentence, [&](const BYTE* bytes, int length) {
            if (checkFields) CheckFieldReaders(sentence, bytes, length, mode);
            if (!CheckNmeaSentence(bytes, length)) return;
            const ProtocolKind before = dialect;
            DispatchNmeaSentence(bytes, length, model, dialect);
            Require(IsValidProtocolKind(dialect), "the dialect is a protocol kind");
            Require(IsDialectOutcome(before, dialect), "the dialect is kept, a maker's, or NMEA");
        });
    }
    return 0;
}
