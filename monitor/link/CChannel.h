#pragma once
// A link's byte source and sink: a live serial port (type 1) or a recorded log
// replayed from a file (type 2).
//
// The first four virtual members keep the order Read, Write, Close, GetType;
// the destructor and the stop-aware read come after them.
//
// Results. Read and Write return the number of bytes moved, or -1. A write has
// succeeded only when the result equals the length asked for: -1 is "true" in a
// truth test, so never write `if (channel->Write(...))`.
//
// Stopping a reader. A serial read with time-out -1 waits until a byte comes,
// possibly for ever. The reader thread therefore reads with ReadUntilStopped,
// handing in the engine's stop event (link/StopEvent.h):
//
//     int n = channel->ReadUntilStopped(&b, 1, stop);
//     if (n > 0)            -> feed the n bytes
//     else if (stop.IsSet()) -> leave the loop
//     else                   -> no byte (n is -1 or 0): pause about 10 ms on the
//                               stop event, then read again
//
// ReadUntilStopped returns only when no I/O of the call is left in flight: on
// a stop the serial port cancels its read on the calling thread (a cancel from
// another thread does not reach it) and waits for the cancel to complete
// before it returns, so the caller's buffer is free and the channel may be
// closed as soon as the reader has ended. A read that fails or completes with
// 0 bytes is "no byte", never a byte. After a dropped line a serial read may
// fail again as soon as it is issued, so the reader must pause after every
// -1 or 0, not only after an immediate failure; otherwise it spins.
#include <cstdint>

#include "framework/WinTypes.h"
#include "link/StopEvent.h"

enum : int {
    CHANNEL_TYPE_SERIAL = 1,
    CHANNEL_TYPE_PLAYBACK = 2
};

class CChannel {
public:
    // Reads `len` bytes into `buf`, waiting at most `timeoutMs` (-1: no limit).
    // Bytes read, or -1. A serial port returns 0 for a read the driver
    // completed empty.
    virtual int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) = 0;
    // Writes `len` bytes from `buf`, waiting at most `timeoutMs` (-1: no limit).
    // Bytes written, or -1; success is a result equal to `len`.
    virtual int Write(const BYTE* buf, uint16_t len, int32_t timeoutMs) = 0;
    // Releases the channel's handles. True when every handle closed cleanly.
    virtual bool Close() = 0;
    // CHANNEL_TYPE_SERIAL or CHANNEL_TYPE_PLAYBACK.
    virtual int GetType() = 0;

    virtual ~CChannel() {}

    // Reads like Read without a time-out, but gives up when `stop` is set (see
    // above). Returns bytes read (>0), 0 or -1. When the stop event is already
    // set nothing is read and the result is -1. A channel whose Read never
    // blocks (a file) keeps this default.
    virtual int ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop)
    {
        if (stop.IsSet()) return -1;
        return Read(buf, len, -1);
    }
};
