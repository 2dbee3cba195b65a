// Monitor-mode frames from an untrusted link (0x02, 0x00, id, length, data,
// sum, 0x03): the check and the decoder behind it, with the memory-read
// answer that depends on the address the model keeps.
//
// Input: a mode byte, four bytes of the model's read address (high first),
// then one frame of any length. Mode bit 0 frames the frame and repairs its
// sum, so mutated frames still reach the decoder; bit 1 also makes its length
// byte agree with the data it carries; bit 2 decodes without a model.
#include <cstddef>
#include <cstdint>

#include "DecoderFuzz.h"
#include "protocol/MonFrame.h"

using namespace decoderfuzz;

namespace {

const uint8_t kStart = 0x02;
const uint8_t kEnd = 0x03;
const size_t kLengthAt = 3;
const size_t kFraming = 6;        // 0x02, 0x00, id, length ... sum, 0x03
const size_t kHeader = 5;         // mode byte and the read address

void FrameAndRepair(Frame& f, bool fixLength)
{
    if (f.size() < kFraming) return;
    f[0] = kStart;
    f[1] = 0x00;
    if (fixLength) f[kLengthAt] = static_cast<uint8_t>(f.size() - kFraming);
    f.back() = kEnd;
    f[f.size() - 2] = static_cast<uint8_t>(SumBytes(f.data() + 2, static_cast<int>(f.size()) - 4));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kHeader || size > 4096) return 0;
    const uint8_t mode = data[0];
    const uint32_t address = (uint32_t(data[1]) << 24) | (uint32_t(data[2]) << 16) | (uint32_t(data[3]) << 8) | data[4];
    AuditedModel target;
    if (!target.attached) return 0;
    target.model.SetMonReadAddress(address);
    CModel* model = (mode & 4) ? nullptr : &target.model;

    Frame frame(data + kHeader, data + size);
    if (mode & 1) FrameAndRepair(frame, (mode & 2) != 0);
    WithExactCopy(frame, [&](const BYTE* bytes, int length) {
        const bool ok = CheckMonFrame(bytes, length);
        if (mode & 1) Require(ok || length < static_cast<int>(kFraming), "a repaired frame passes");
        if (ok) DecodeMonFrame(bytes, length, model);
    });
    return 0;
}
