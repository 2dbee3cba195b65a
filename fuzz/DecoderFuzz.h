#pragma once
// Shared by the fuzz targets of the frame decoders: an invariant check that
// aborts with what broke, a listener that holds the model to its event rules,
// exact-size frame copies (so a read one byte past a frame is caught), and
// the repairs that let mutated frames past their checksums, so the fuzzer
// reaches the decoders behind the checks instead of stopping at them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "framework/WinTypes.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "model/ReceiverEventSink.h"

namespace decoderfuzz {

typedef std::vector<uint8_t> Frame;

inline void Require(bool condition, const char* what)
{
    if (condition) return;
    fprintf(stderr, "decoder invariant broken: %s\n", what);
    abort();
}

// Every event a decoder raises must be one of the closed set, delivered the
// way its code demands; the count lets a target state "raised nothing".
class EventAudit : public IReceiverEventSink {
public:
    bool NotifyListeners(int32_t event, int32_t, bool send) override
    {
        Require(IsReceiverEvent(event), "only known events are raised");
        Require(send == IsSentEvent(event), "an event is sent or posted as its code demands");
        ++events;
        return true;
    }
    uint32_t events = 0;
};

// A model wired to an audit listener. Diagnostic paths of the model may open
// a log file; it stays in memory so a fuzzing run leaves nothing on disk.
struct AuditedModel {
    AuditedModel()
    {
        fuzzsupport::MemoryFiles().RemoveAllFiles();
        attached = model.Attach(&audit, nullptr);
    }
    ~AuditedModel() { model.Detach(); }
    EventAudit audit;
    CModel model;
    bool attached = false;
};

// The input cut at every `separator` into the frames of a sequence (empty
// pieces dropped), so one input can build up state across several frames.
inline std::vector<Frame> SplitAt(const uint8_t* data, size_t size, uint8_t separator)
{
    std::vector<Frame> pieces;
    Frame piece;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == separator) {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
        } else {
            piece.push_back(data[i]);
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

inline char UpperHexDigit(unsigned v)
{
    static const char kDigits[] = "0123456789ABCDEF";
    return kDigits[v & 0x0F];
}

inline void WriteUpperHex(uint8_t* at, uint8_t value)
{
    at[0] = static_cast<uint8_t>(UpperHexDigit(value >> 4));
    at[1] = static_cast<uint8_t>(UpperHexDigit(value));
}

inline uint8_t Xor(const uint8_t* bytes, size_t from, size_t to)
{
    uint8_t x = 0;
    for (size_t i = from; i < to; ++i) x ^= bytes[i];
    return x;
}

// Runs `use` on a heap copy of exactly the frame's bytes, so that
// AddressSanitizer reports the first byte read beyond it (an empty frame gets
// a zero-size block: any read of it is reported).
template <typename Use>
void WithExactCopy(const Frame& frame, Use use)
{
    BYTE* copy = new BYTE[frame.size()];
    for (size_t i = 0; i < frame.size(); ++i) copy[i] = frame[i];
    use(static_cast<const BYTE*>(copy), static_cast<int>(frame.size()));
    delete[] copy;
}

}  // namespace decoderfuzz
