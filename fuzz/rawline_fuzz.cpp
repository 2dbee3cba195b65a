// The raw data monitor's lines over arbitrary frames: every kind, both
// forms, the un-stuffing of sent QBIN commands and the window's queue.
//
// The first input byte chooses the run: its low five bits the kind (so the
// listed kinds and a few others are reached), bit 5 the identifiers-only
// form, bit 6 un-stuffing the frame first as for a sent command. The rest,
// cut at every 0xFF, is a sequence of frames; each is handed over in an
// exact-size copy, so a read one byte past a frame is caught.
//
// What must hold: a line never holds a NUL; a full hex line is three
// characters per byte; an un-stuffed frame is never longer than the frame;
// the queue never shows more than its limit.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/RawLine.h"

namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    fprintf(stderr, "raw line invariant broken: %s\n", what);
    abort();
}

const uint8_t kFrameSeparator = 0xFF;
const uint8_t kKindBits = 0x1F;
const uint8_t kIdsOnlyBit = 0x20;
const uint8_t kUnstuffBit = 0x40;

bool IsHexForm(ProtocolKind kind) { return kind == PROTO_QBIN || kind == PROTO_KESTO || kind == PROTO_MON; }

void CheckFrame(ProtocolKind kind, bool idsOnly, bool unstuff, const std::vector<uint8_t>& frame,
                RawLineQueue& queue)
{
    // An exact copy on the heap: the sanitizer sees the frame's end.
    std::vector<uint8_t> exact(frame);
    const uint8_t* bytes = exact.empty() ? nullptr : exact.data();
    int n = static_cast<int>(exact.size());
    std::vector<uint8_t> shown;
    if (unstuff) {
        UnstuffQbinCommand(bytes, n, shown);
        Require(shown.size() <= exact.size(), "un-stuffing never lengthens a command");
        shown.shrink_to_fit();
        bytes = shown.empty() ? nullptr : shown.data();
        n = static_cast<int>(shown.size());
    }
    const std::string line = FormatRawLine(kind, bytes, n, idsOnly);
    Require(line.find('\0') == std::string::npos, "a line holds no NUL");
    if (!idsOnly && IsHexForm(kind)) Require(line.size() == 3 * static_cast<size_t>(n), "three characters a byte");
    if (idsOnly) Require(line.size() < 96, "an identifier line is short");
    queue.Push(line);
    Require(queue.LinesShown() <= RawLineQueue::kLineLimit, "the window holds at most the limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 16384) return 0;
    const uint8_t mode = data[0];
    const ProtocolKind kind = mode & kKindBits;
    const bool idsOnly = (mode & kIdsOnlyBit) != 0;
    const bool unstuff = (mode & kUnstuffBit) != 0;

    RawLineQueue queue;
    std::vector<uint8_t> frame;
    for (size_t i = 1; i <= size; ++i) {
        if (i == size || data[i] == kFrameSeparator) {
            CheckFrame(kind, idsOnly, unstuff, frame, queue);
            frame.clear();
        } else {
            frame.push_back(data[i]);
        }
    }
    const RawLineQueue::Batch batch = queue.Take();
    Require(batch.lines <= RawLineQueue::kLineLimit, "a batch holds at most the limit");
    Require(!queue.HasPending(), "a taken queue is empty");
    return 0;
}
