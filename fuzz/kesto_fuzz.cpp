// KESTO packets from an untrusted link, as the reader hands them over
// (unescaped: 0x81, class, id, data, checksum, 0x82): the check and the
// decoder of every class behind it.
//
// The first input byte chooses the run: bit 0 frames the packet and repairs
// its checksum (0x81 first, 0x82 last, the byte before it making the sum
// zero), so mutated packets still reach the decoders; bit 1 decodes without
// a model. The rest is one packet, of any length.
#include <cstddef>
#include <cstdint>

#include "DecoderFuzz.h"
#include "protocol/KestoProtocol.h"

using namespace decoderfuzz;

namespace {

const uint8_t kStart = 0x81;
const uint8_t kEnd = 0x82;
const size_t kShortestFramed = 3;   // start, checksum, end

void FrameAndRepair(Frame& p)
{
    if (p.size() < kShortestFramed) return;
    p.front() = kStart;
    p.back() = kEnd;
    uint8_t sum = 0;
    for (size_t i = 0; i + 2 < p.size(); ++i) sum = static_cast<uint8_t>(sum + p[i]);
    sum = static_cast<uint8_t>(sum + kEnd);
    p[p.size() - 2] = static_cast<uint8_t>(0x100 - sum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096) return 0;
    const uint8_t mode = data[0];
    AuditedModel target;
    if (!target.attached) return 0;
    CModel* model = (mode & 2) ? nullptr : &target.model;

    Frame packet(data + 1, data + size);
    if (mode & 1) FrameAndRepair(packet);
    WithExactCopy(packet, [&](const BYTE* bytes, int length) {
        const bool ok = CheckKestoFrame(bytes, length);
        if (mode & 1) Require(ok || length < static_cast<int>(kShortestFramed), "a repaired packet passes");
        if (ok) DecodeKestoFrame(bytes, length, model);
    });
    return 0;
}
