// The maker's system data replies: almanac health (AH), almanac (AL),
// ionosphere (IO), UTC (UT) and ephemeris (EP). The receiver sends the raw
// words the satellites broadcast, in hexadecimal; they are scaled as the
// broadcast defines them. A reply marked invalid ("V") stores an empty
// record, so the views stop showing an old one.
#include "protocol/NmeaDecoders.h"

#include <cmath>
#include <cstring>

#include "model/CModel.h"
#include "protocol/NmeaDecodersShared.h"

using namespace nmea;

namespace {

const char kAh[] = "AH";
const char kAl[] = "AL";
const char kIo[] = "IO";
const char kUt[] = "UT";
const char kEp[] = "EP";

// value x 2^exponent
double Scaled(double value, int exponent) { return std::ldexp(value, exponent); }
double Signed(uint32_t value, int bits, int exponent) { return std::ldexp(SignExtend(value, bits), exponent); }

// Reads the hex fields first..first + count - 1 into words; false when one
// is missing or not hexadecimal.
bool ReadHexFields(const NmeaFields& f, int first, int count, uint32_t* words)
{
    for (int i = 0; i < count; ++i) {
        if (!f.Hex(first + i, words[i])) return false;
    }
    return true;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A field of exactly eight hex digits: the health bytes of four satellites.
bool ReadHealthWord(const NmeaFields& f, int n, uint32_t& out)
{
    enum : int { kDigits = 8 };
    const NmeaField field = f.Field(n);
    if (field.length != kDigits) return false;
    for (int i = 0; i < kDigits; ++i) {
        if (!IsHexDigit(field.text[i])) return false;
    }
    return f.Hex(n, out);
}

}  // namespace

// ---- AH -----------------------------------------------------------------------

void DecodeNmeaAlmanacHealthReply(const NmeaFields& f, CModel* model)
{
    enum : int { kFirstHealthField = 3, kHealthFields = 4, kSvsPerWord = 4, kSvsPerPage = 16 };
    if (f.First(1) == 'V') return;
    int32_t page = 0;
    uint32_t week = 0, toa = 0;
    uint32_t words[kHealthFields];
    if (!f.Int(1, page) || !f.Hex(2, week) || !f.Hex(7, toa)) return;
    for (int i = 0; i < kHealthFields; ++i) {
        if (!ReadHealthWord(f, kFirstHealthField + i, words[i])) return;
    }
    AlmanacHealthPage record;
    model->GetAlmanacHealthPage(record);
    // Page 1 holds satellites 1..16, the other page 17..32.
    const int firstSv = page == 1 ? 0 : kSvsPerPage;
    for (int i = 0; i < kHealthFields; ++i) {
        for (int b = 0; b < kSvsPerWord; ++b)
            record.health[firstSv + i * kSvsPerWord + b] = static_cast<uint8_t>(words[i] >> (24 - 8 * b));
    }
    record.wnOa = static_cast<uint8_t>(week);
    record.tOa = static_cast<uint8_t>(toa);
    model->SetReportText(SLOT_ALMANAC_HEALTH, kAh);
    // Listeners hear of the page once both halves are in.
    model->SetAlmanacHealthPage(record, page != 1);
}

// ---- AL -----------------------------------------------------------------------

void DecodeNmeaAlmanacReply(const NmeaFields& f, CModel* model)
{
    enum : int { kWords = 11, kFirstWordField = 3 };
    // Reference inclination of the almanac, in semicircles.
    const double kInclinationOffset = 0.3;
    AlmanacRecord record;
    std::memset(&record, 0, sizeof record);
    if (f.At(9) != 'V') {
        int32_t sv = 0, week = 0;
        uint32_t w[kWords];
        if (!f.Int(1, sv) || !f.Int(2, week) || !ReadHexFields(f, kFirstWordField, kWords, w)) return;
        record.sv = static_cast<uint8_t>(sv < 0 || sv > 0xFF ? 0 : sv);
        record.weekNumber = static_cast<uint16_t>(week);
        record.wnOa = record.weekNumber;
        record.health = static_cast<uint8_t>(w[0]);
        record.e = ToFloat(Scaled(w[1], -21));
        record.tOaRaw = static_cast<int32_t>(w[2]);
        record.tOa = ToFloat(Scaled(w[2], 12));
        record.i0 = ToFloat((Signed(w[3], 16, -19) + kInclinationOffset) * kPi);
        record.omegaDot = ToFloat(Signed(w[4], 16, -38) * kPi);
        record.sqrtA = ToFloat(Scaled(w[5], -11));
        record.omega = ToFloat(Signed(w[6], 24, -23) * kPi);
        record.omega0 = ToFloat(Signed(w[7], 24, -23) * kPi);
        record.m0 = ToFloat(Signed(w[8], 24, -23) * kPi);
        record.af0 = ToFloat(Signed(w[9], 12, -20));
        record.af1 = ToFloat(Signed(w[10], 12, -38));
    }
    model->SetReportText(SLOT_ALMANAC, kAl);
    model->SetAlmanac(record);
}

// ---- IO -----------------------------------------------------------------------

void DecodeNmeaIonoReply(const NmeaFields& f, CModel* model)
{
    enum : int { kCoefficients = 4 };
    static const int kAlphaExponent[kCoefficients] = {-30, -27, -24, -24};
    static const int kBetaExponent[kCoefficients] = {11, 14, 16, 16};
    IonoParams record;
    std::memset(&record, 0, sizeof record);
    if (!f.Is(1, "V")) {
        uint32_t w[2 * kCoefficients];
        if (!ReadHexFields(f, 1, 2 * kCoefficients, w)) return;
        for (int i = 0; i < kCoefficients; ++i) {
            record.alpha[i] = ToFloat(Signed(w[i], 8, kAlphaExponent[i]));
            record.beta[i] = ToFloat(Signed(w[kCoefficients + i], 8, kBetaExponent[i]));
        }
    }
    model->SetReportText(SLOT_IONO, kIo);
    model->SetIonoParams(record);
}

// ---- UT -----------------------------------------------------------------------

void DecodeNmeaUtcReply(const NmeaFields& f, CModel* model)
{
    enum : int { kWords = 8 };
    UtcParams record;
    std::memset(&record, 0, sizeof record);
    if (!f.Is(1, "V")) {
        uint32_t w[kWords];
        if (!ReadHexFields(f, 1, kWords, w)) return;
        record.a0 = Signed(w[0], 32, -30);
        record.a1 = ToFloat(Signed(w[1], 32, -50));
        record.deltaTLs = static_cast<int16_t>(SignExtend(w[2], 8));
        record.tOt = ToFloat(Scaled(w[3], 12));
        record.wnT = static_cast<uint16_t>(w[4]);
        record.wnLsf = static_cast<uint16_t>(w[5]);
        record.dn = static_cast<uint16_t>(w[6]);
        record.deltaTLsf = static_cast<int16_t>(SignExtend(w[7], 8));
        record.valid = 1;
    }
    model->SetReportText(SLOT_UTC, kUt);
    model->SetUtcParams(record);
}

// ---- EP -----------------------------------------------------------------------

namespace {

// User range accuracy in metres by its index; 15 and above: no accuracy
// prediction available.
const float kUraMetres[] = {2.0f, 2.8f, 4.0f, 5.7f, 8.0f, 11.3f, 16.0f, 32.0f,
                            64.0f, 128.0f, 256.0f, 512.0f, 1024.0f, 2048.0f, 4096.0f};
const float kUraUnknown = 10000.0f;

float UraMetres(uint32_t index)
{
    return index < sizeof kUraMetres / sizeof kUraMetres[0] ? kUraMetres[index] : kUraUnknown;
}

// The first of the three ephemeris replies: clock and health. Fields 2 satellite, 3 time of collection and 4
// week (decimal), 5..14 hex words.
bool ReadEphemerisPart1(const NmeaFields& f, EphemerisRecord& r)
{
    enum : int { kWords = 10 };
    int32_t sv = 0, week = 0;
    double collectionTime = 0.0;
    uint32_t w[kWords];
    if (!f.Int(2, sv) || !f.Double(3, collectionTime) || !f.Int(4, week) || !ReadHexFields(f, 5, kWords, w))
        return false;
    r.sv = static_cast<uint8_t>(sv < 0 || sv > 0xFF ? 0 : sv);
    r.collectionTime = ToFloat(collectionTime);
    r.weekNumber = static_cast<uint16_t>(week);
    r.codeL2 = static_cast<uint8_t>(w[0]);
    r.l2PData = static_cast<uint8_t>(w[1]);
    r.accuracyIndex = static_cast<uint8_t>(w[2] > 0xFF ? 0xFF : w[2]);
    // No collection time, no accuracy to speak of.
    r.accuracy = collectionTime < 0.0 ? 0.0f : UraMetres(w[2]);
    r.health = static_cast<uint8_t>(w[3]);
    r.iodc = static_cast<uint16_t>(w[4]);
    r.tGd = ToFloat(Signed(w[5], 8, -31));
    r.tOc = ToFloat(Scaled(w[6], 4));
    r.af2 = ToFloat(Signed(w[7], 8, -55));
    r.af1 = ToFloat(Signed(w[8], 16, -43));
    r.af0 = ToFloat(Signed(w[9], 24, -31));
    return true;
}

// The second: orbit, first half; hex words in fields 3..12.
bool ReadEphemerisPart2(const NmeaFields& f, EphemerisRecord& r)
{
    enum : int { kWords = 10 };
    uint32_t w[kWords];
    if (!ReadHexFields(f, 3, kWords, w)) return false;
    r.iode = static_cast<uint8_t>(w[0]);
    r.fitInterval = static_cast<uint8_t>(w[1]);
    r.cRs = ToFloat(Signed(w[2], 16, -5));
    r.deltaN = ToFloat(Signed(w[3], 16, -43) * kPi);
    r.m0 = Signed(w[4], 32, -31) * kPi;
    r.cUc = ToFloat(Signed(w[5], 16, -29));
    r.e = Scaled(w[6], -33);
    r.cUs = ToFloat(Signed(w[7], 16, -29));
    r.sqrtA = Scaled(w[8], -19);
    r.tOe = ToFloat(Scaled(w[9], 4));
    return true;
}

// The third: orbit, second half; hex words in fields 3..10.
bool ReadEphemerisPart3(const NmeaFields& f, EphemerisRecord& r)
{
    enum : int { kWords = 8 };
    uint32_t w[kWords];
    if (!ReadHexFields(f, 3, kWords, w)) return false;
    r.cIc = ToFloat(Signed(w[0], 16, -29));
    r.omega0 = Signed(w[1], 32, -31) * kPi;
    r.cIs = ToFloat(Signed(w[2], 16, -29));
    r.i0 = Signed(w[3], 32, -31) * kPi;
    r.cRc = ToFloat(Signed(w[4], 16, -5));
    r.omega = Signed(w[5], 32, -31) * kPi;
    r.omegaDot = ToFloat(Signed(w[6], 24, -43) * kPi);
    r.iDot = ToFloat(Signed(w[7], 16, -43) * kPi);
    return true;
}

}  // namespace

void DecodeNmeaEphemerisReply(const NmeaFields& f, CModel* model)
{
    enum : int32_t { kLastPart = 3 };
    EphemerisRecord record;
    model->GetEphemeris(record);
    int32_t part = 0;
    if (f.Is(1, "V")) {
        record.collectionTime = -1.0f;
        record.accuracy = 0.0f;
        part = kLastPart;
    } else {
        if (!f.Int(1, part)) return;
        bool complete = false;
        switch (part) {
        case 1: complete = ReadEphemerisPart1(f, record); break;
        case 2: complete = ReadEphemerisPart2(f, record); break;
        case kLastPart: complete = ReadEphemerisPart3(f, record); break;
        default: break;
        }
        if (!complete) return;
    }
    model->SetReportText(SLOT_EPHEMERIS, kEp);
    // The ephemeris is whole, for listeners, once its third reply is in.
    model->SetEphemeris(record, part == kLastPart);
}
