// Recognises a sentence by its address and hands it to one decoder. The
// address is read character by character, never by comparing whole texts:
// this runs for every sentence of a stream.
#include "protocol/NmeaDispatcher.h"

#include "protocol/NmeaDecoders.h"
#include "protocol/NmeaSentence.h"
#include "protocol/VendorNmeaDecoders.h"

namespace {

// Two or three address letters as one switch value.
constexpr int Code2(char a, char b) { return (static_cast<unsigned char>(a) << 8) | static_cast<unsigned char>(b); }
constexpr int Code3(char a, char b, char c) { return (Code2(a, b) << 8) | static_cast<unsigned char>(c); }

// True when the sentence holds `text` from character `at` on.
bool HasAt(const NmeaFields& f, int at, const char* text)
{
    for (int i = 0; text[i] != '\0'; ++i) {
        if (f.At(at + i) != text[i]) return false;
    }
    return true;
}

typedef void (*NmeaDecoder)(const NmeaFields&, CModel*);

void Decode(NmeaDecoder decoder, const NmeaFields& f, CModel* model)
{
    if (model != nullptr) decoder(f, model);
}

// "$PZUL" + reply letter + two letters; the reply letter is not examined.
void DispatchMakerReply(const NmeaFields& f, CModel* model)
{
    switch (Code2(f.At(6), f.At(7))) {
    case Code2('T', 'F'): Decode(&DecodeNmeaHealthReply, f, model); break;
    case Code2('V', 'R'): Decode(&DecodeNmeaVersionReply, f, model); break;
    case Code2('N', 'M'): Decode(&DecodeNmeaOutputConfigReply, f, model); break;
    case Code2('P', 'T'): Decode(&DecodeNmeaPortConfigReply, f, model); break;
    case Code2('P', 'S'): Decode(&DecodeNmeaPpsReply, f, model); break;
    case Code2('C', 'R'): Decode(&DecodeNmeaReceiverConfigReply, f, model); break;
    case Code2('D', 'M'): Decode(&DecodeNmeaDatumReply, f, model); break;
    case Code2('A', 'S'): break;  // almanac status: nothing the model keeps
    case Code2('A', 'H'): Decode(&DecodeNmeaAlmanacHealthReply, f, model); break;
    case Code2('A', 'L'): Decode(&DecodeNmeaAlmanacReply, f, model); break;
    case Code2('I', 'O'): Decode(&DecodeNmeaIonoReply, f, model); break;
    case Code2('U', 'T'): Decode(&DecodeNmeaUtcReply, f, model); break;
    case Code2('E', 'P'): Decode(&DecodeNmeaEphemerisReply, f, model); break;
    case Code2('K', 'G'): Decode(&DecodeNmeaTimeReply, f, model); break;
    case Code2('S', 'V'): Decode(&DecodeNmeaSatelliteMaskReply, f, model); break;
    default: break;
    }
}

// "$P" + maker code: the maker's own replies, or another maker's sentences,
// which reveal that maker's dialect.
void DispatchProprietary(const NmeaFields& f, CModel* model, ProtocolKind& dialect)
{
    switch (f.At(2)) {
    case 'Z':
        if (!HasAt(f, 3, "UL")) return;
        dialect = PROTO_NONE;  // the maker's own
        DispatchMakerReply(f, model);
        return;
    case 'N':
        if (!HasAt(f, 3, "MRX")) return;
        dialect = PROTO_NEMERIX_NMEA;
        if (HasAt(f, 6, "600")) Decode(&DecodeNemerixVersion, f, model);
        return;
    case 'T':
        if (HasAt(f, 3, "TK")) dialect = PROTO_NAVMAN_NMEA;
        return;
    case 'S':
        if (HasAt(f, 3, "RFTXT")) {
            dialect = PROTO_SIRF_NMEA;
            Decode(&DecodeSirfText, f, model);
        } else if (HasAt(f, 3, "TM")) {
            dialect = PROTO_TYCO_NMEA;
            if (HasAt(f, 5, "VER")) Decode(&DecodeTycoVersion, f, model);
        }
        return;
    case 'Q':
        if (!HasAt(f, 3, "NQ")) return;
        dialect = PROTO_QINETIQ_NMEA;
        if (f.Is(1, "VERS")) Decode(&DecodeQinetiqVersion, f, model);
        return;
    case 'U': {
        if (!HasAt(f, 3, "NV")) return;
        dialect = PROTO_UNAV_NMEA;
        enum : int32_t { kVersionConfigBlock = 9 };
        int32_t block = 0;
        if (f.Is(1, "CFG_R") && f.Int(2, block) && block == kVersionConfigBlock)
            Decode(&DecodeUnavVersion, f, model);
        return;
    }
    default:
        return;
    }
}

// "$GP" and "$GN" (a multi-constellation receiver's combined solution):
// the standard sentences, and u-blox's text messages.
void DispatchGps(const NmeaFields& f, CModel* model, ProtocolKind& dialect)
{
    switch (Code3(f.At(3), f.At(4), f.At(5))) {
    case Code3('G', 'G', 'A'): Decode(&DecodeNmeaGga, f, model); break;
    case Code3('G', 'S', 'V'): Decode(&DecodeNmeaGsv, f, model); break;
    case Code3('G', 'S', 'A'): Decode(&DecodeNmeaGsa, f, model); break;
    case Code3('Z', 'D', 'A'): Decode(&DecodeNmeaZda, f, model); break;
    case Code3('R', 'M', 'C'): Decode(&DecodeNmeaRmc, f, model); break;
    case Code3('G', 'L', 'L'): Decode(&DecodeNmeaGll, f, model); break;
    case Code3('V', 'T', 'G'): Decode(&DecodeNmeaVtg, f, model); break;
    case Code3('T', 'X', 'T'):
        // u-blox answers a "$PUBX" it cannot parse with this text.
        if (FindNoCase(f, "inv format") >= 0) dialect = PROTO_UBLOX_NMEA;
        if (FindNoCase(f, "antaris") >= 0) Decode(&DecodeUbloxVersion, f, model);
        break;
    default: break;
    }
}

// Navman's version text may come in any sentence.
const NoCaseText kNavmanVersion("navman sw");

}  // namespace

void DispatchNmeaSentence(const BYTE* sentence, int length, CModel* model, ProtocolKind& dialect)
{
    if (sentence == nullptr || length <= 0) return;
    const NmeaFields f(reinterpret_cast<const char*>(sentence), length);
    if (f.At(1) == 'P')
        DispatchProprietary(f, model, dialect);
    else if (f.At(1) == 'G' && (f.At(2) == 'P' || f.At(2) == 'N'))
        DispatchGps(f, model, dialect);
    if (model != nullptr && kNavmanVersion.FindIn(f) >= 0) DecodeNavmanVersion(f, model);
}
