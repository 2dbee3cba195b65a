// QTXT sentences from an untrusted link: the check and the dispatcher with
// every report decoder behind it, over arbitrary bytes.
//
// The first input byte chooses the run: bit 0 repairs each checksum ";*hh"
// before the closing "<", so mutated sentences still reach the decoders;
// bit 1 takes each sentence as it is, where otherwise it is shaped as the
// reader hands it over (">" first, cut at the first "<", which closes it, at
// most 511 bytes); bit 2 decodes without a model. The rest, cut at every LF, is a sequence of sentences decoded into
// one model, so reports that build on earlier ones (PV after LN) are reached.
#include <cstddef>
#include <cstdint>

#include "DecoderFuzz.h"
#include "link/FrameRecogniser.h"
#include "protocol/QtxtSentence.h"

using namespace decoderfuzz;

namespace {

const size_t kChecksumTail = 5;    // ";*hh<"
const size_t kShortestChecked = 9;

void Shape(Frame& s)
{
    if (s.empty() || s[0] != '>') s.insert(s.begin(), '>');
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '<') {
            s.resize(i);
            break;
        }
    }
    // A frame reaching the limit is dropped: the longest one, "<" included, is one short of it.
    const size_t longest = static_cast<size_t>(CFrameRecogniser::FRAME_LIMIT) - 1;
    if (s.size() > longest - 1) s.resize(longest - 1);
    s.push_back('<');
}

void RepairChecksum(Frame& s)
{
    const size_t n = s.size();
    if (n < kShortestChecked || s[n - kChecksumTail] != ';' || s[n - kChecksumTail + 1] != '*') return;
    WriteUpperHex(&s[n - 3], Xor(s.data(), 0, n - 3));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 16384) return 0;
    const uint8_t mode = data[0];
    AuditedModel target;
    if (!target.attached) return 0;
    CModel* model = (mode & 4) ? nullptr : &target.model;

    for (Frame& sentence : SplitAt(data + 1, size - 1, '\n')) {
        if ((mode & 2) == 0) Shape(sentence);
        if (mode & 1) RepairChecksum(sentence);
        WithExactCopy(sentence, [&](const BYTE* bytes, int length) {
            if (CheckQtxtSentence(bytes, length)) DispatchQtxtSentence(bytes, length, model);
        });
    }
    return 0;
}
