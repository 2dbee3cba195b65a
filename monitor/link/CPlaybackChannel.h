#pragma once
// A recorded receiver log replayed as a channel: it only reads, never takes a
// command, and carries what the reader needs to pace the replay.
//
// The file is read ahead in large blocks. A reader that asks for one byte per
// call is served from them; the reader thread handles them in place (Peek,
// Take). Threads: the reader thread reads; the user-interface thread may
// change the speed and the pass-raw flag and reads the progress while the
// replay runs, so those are atomic. Open and Close run while no reader runs.
#include <atomic>
#include <cstdint>
#include <memory>

#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/CChannel.h"
#include "link/PlaybackMarker.h"
#include "link/PlaybackSettings.h"

class CPlaybackChannel : public CChannel {
public:
    enum : uint32_t { kMaxSpeed = 1000, kReadAheadSize = 65536 };

    CPlaybackChannel();
    ~CPlaybackChannel() override;
    CPlaybackChannel(const CPlaybackChannel&) = delete;
    CPlaybackChannel& operator=(const CPlaybackChannel&) = delete;

    // Opens the file for reading, shared with every other access (the file
    // may still be written by a logger), and takes the options. False when the
    // file cannot be opened: the channel then stays without a file and the
    // options are not taken. Never throws. An open file is closed first.
    bool Open(const PlaybackSettings& settings);

    // Exactly `len` bytes, or -1 when no file is open or fewer remain (the
    // reader takes -1 as the end of the replay). The time-out is ignored: a
    // file never makes the reader wait.
    int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) override;
    // Block reads: Peek shows up to `len` of the next bytes in the channel's
    // own buffer (valid until the next read), at least one while the file has
    // any (its last block is mostly shorter than asked); 0 at its end, -1
    // when no file is open. It takes none of them: Take(n) takes the first n
    // shown, which moves the read count. Bytes shown and not taken come again
    // first, so a reader that stops part way through a block leaves the rest
    // to the next one, and the progress follows what was handled, not what
    // was read ahead. Reader thread only.
    // A file never makes the reader wait; the stop event is there for a
    // channel built on this one that does (a test's held replay).
    virtual int Peek(const BYTE** bytes, uint32_t len, const CStopEvent& stop);
    void Take(uint32_t count);
    // Nothing is ever sent to a recorded log.
    int Write(const BYTE* buf, uint16_t len, int32_t timeoutMs) override { return -1; }
    bool Close() override;
    int GetType() override { return CHANNEL_TYPE_PLAYBACK; }

    bool IsOpen() const { return m_file != nullptr; }

    // 0 or more than 1000 become 1. May be called while the replay runs; the
    // next pause uses it.
    void SetSpeed(uint32_t speed);
    uint32_t GetSpeed() const { return m_speed.load(std::memory_order_relaxed); }

    // True when more than `step` bytes were read since the last true result;
    // the progress display refreshes only that often.
    bool IsProgressDue(uint32_t step);

    // Bytes read so far: the position in the file, also reported in a
    // conversion's diagnostics.
    uint32_t GetReadCount() const { return m_readCount.load(std::memory_order_relaxed); }
    // The reader marks the end of each block it hands to the decoders before
    // they announce the block's frames, so a window that shows progress on a
    // frame's event sees the bytes that carried the frame, not the count of
    // the block taken before it.
    void MarkHanded(uint32_t position) { m_handedCount.store(position, std::memory_order_relaxed); }
    uint32_t GetProgressCount() const
    {
        const uint32_t handed = m_handedCount.load(std::memory_order_relaxed);
        const uint32_t taken = GetReadCount();
        return handed > taken ? handed : taken;
    }
    // The file's length when it was opened.
    uint32_t GetFileLength() const { return m_fileLength; }
    const CString& GetFileName() const { return m_fileName; }
    uint16_t GetLinkId() const { return m_linkId; }

    // The marker frame that paces the replay.
    const PlaybackMarkers& GetMarkers() const { return m_markers; }
    BYTE GetQbinMarker() const { return m_markers.qbinId; }
    BYTE GetKestoClass() const { return m_markers.kestoClass; }
    BYTE GetKestoId() const { return m_markers.kestoId; }
    CString GetNmeaMarker() const { return CString(m_markers.nmea.c_str()); }
    CString GetQopMarker() const { return CString(m_markers.qop.c_str()); }
    CString GetQtxtMarker() const { return CString(m_markers.qtxt.c_str()); }

    // When set, every frame of the replay also goes to the listeners as a raw
    // frame (which slows the replay down).
    bool IsPassRawData() const { return m_passRaw.load(std::memory_order_relaxed); }
    void SetPassRawData(bool pass) { m_passRaw.store(pass, std::memory_order_relaxed); }

private:
    // Moves what is left to the front of the read-ahead block and fills the
    // rest from the file. False when the file has nothing more.
    bool Refill();

    std::unique_ptr<CFile> m_file;
    std::atomic<uint32_t> m_speed;
    CString m_fileName;
    uint16_t m_linkId;
    PlaybackMarkers m_markers;
    uint32_t m_progressCount;               // read count at the last true IsProgressDue
    std::atomic<uint32_t> m_readCount;
    std::atomic<uint32_t> m_handedCount;
    uint32_t m_fileLength;
    std::atomic<bool> m_passRaw;
    std::unique_ptr<BYTE[]> m_ahead;
    uint32_t m_aheadPos;
    uint32_t m_aheadLen;
};
