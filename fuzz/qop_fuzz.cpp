// QOP messages from an untrusted link, of any length: the table lookups, the
// check and the dispatcher with the reply parsers behind it.
//
// The first input byte chooses the run: bit 0 repairs the checksum (third
// byte from the end), so mutated messages still reach the parsers; bit 1 fits
// the message to the reply length of its id ("@@" first, CR LF last), which
// is the only length a parser runs on; bit 2 decodes without a model. The
// rest is one message, taken as it is.
//
// Beyond running clean: a message whose length is not its id's reply length
// raises nothing.
#include <cstddef>
#include <cstdint>

#include "DecoderFuzz.h"
#include "protocol/QopProtocol.h"

using namespace decoderfuzz;

namespace {

const size_t kIdEnd = 4;          // "@@" and the two id letters
const size_t kShortest = 7;       // "@@", id, checksum, CR LF
const size_t kChecksumFromEnd = 3;

uint16_t ReplyLengthOf(const Frame& m)
{
    return m.size() >= kIdEnd ? GetQopMessageLength(m.data(), QOP_LENGTH_REPLY) : 0;
}

void FitToReplyLength(Frame& m)
{
    const uint16_t length = ReplyLengthOf(m);
    if (length < kShortest) return;
    m.resize(length, 0);
    m[0] = '@';
    m[1] = '@';
    m[length - 2] = 0x0D;
    m[length - 1] = 0x0A;
}

void RepairChecksum(Frame& m)
{
    if (m.size() < kShortest) return;
    m[m.size() - kChecksumFromEnd] = ComputeQopChecksum(m.data(), static_cast<int>(m.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 4096) return 0;
    const uint8_t mode = data[0];
    AuditedModel target;
    if (!target.attached) return 0;
    CModel* model = (mode & 4) ? nullptr : &target.model;

    Frame message(data + 1, data + size);
    if (mode & 2) FitToReplyLength(message);
    if (mode & 1) RepairChecksum(message);
    const uint16_t replyLength = ReplyLengthOf(message);

    WithExactCopy(message, [&](const BYTE* bytes, int length) {
        if (length >= static_cast<int>(kIdEnd)) {
            const uint16_t row = FindQopMessage(bytes);
            Require(row == QOP_NOT_FOUND || row < QOP_MESSAGE_COUNT, "a found row is a table row");
            (void)GetQopMessageLength(bytes, QOP_LENGTH_COMMAND);
        }
        const bool ok = CheckQopMessage(bytes, length);
        Require(!ok || length >= static_cast<int>(kShortest), "no message shorter than 7 passes");
        // The reader hands over only checked messages; the dispatcher must
        // still take any bytes without reading past them.
        DispatchQopMessage(bytes, length, model);
    });
    if (replyLength != message.size())
        Require(target.audit.events == 0, "a message of another length than its reply raises nothing");
    return 0;
}
