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
#include <cstddef>
#include <cstdint>

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

    for (Frame& sentence : SplitAt(data + 1, size - 1, '\n')) {
        if (shape) Shape(sentence);
        if (repair) RepairChecksum(sentence);
        WithExactCopy(sentence, [&](const BYTE* bytes, int length) {
            if (!CheckNmeaSentence(bytes, length)) return;
            const ProtocolKind before = dialect;
            DispatchNmeaSentence(bytes, length, model, dialect);
            Require(IsValidProtocolKind(dialect), "the dialect is a protocol kind");
            Require(IsDialectOutcome(before, dialect), "the dialect is kept, a maker's, or NMEA");
        });
    }
    return 0;
}
