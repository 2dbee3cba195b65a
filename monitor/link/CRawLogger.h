#pragma once
// Writes every byte a link receives, unchanged, to a log file, optionally
// split into numbered parts of a maximum size.
//
// Who does what:
//   - The user interface (any thread) asks with Configure: start (1), stop (2)
//     or stop because the link is closing (3). Requests and their settings are
//     handed over under the logger's lock, never shared unguarded.
//   - The link's reader thread is the servicer: it registers itself when it
//     starts (RegisterServicer), calls Service before each read and once more
//     before it ends, LogByte or LogBytes for what it read, and unregisters as
//     the last thing it does with the logger (UnregisterServicer). While a
//     reader services the logger, only it opens, writes and closes the file,
//     so a file change never splits a byte.
//   - While no reader services the logger (before the first start, after the
//     reader ended at the end of a replay, on a link that has no reader), a
//     stop request is applied at once by the thread that makes it, so the file
//     is closed and IsLogging turns false. A start request waits for a reader.
//
// States: 0 idle, 1 logging, 2 failed. A file that cannot be created or a
// write that fails moves the logger to failed (IsLogging false) without an
// exception; the reader goes on reading. A later start with a file name tries
// again as from idle, and a stop returns to idle.
//
// The write-enable gate (open by default) lets the owner pause the logging
// without stopping it: while it is closed nothing is written or counted.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "framework/CCriticalSection.h"
#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"

struct RawLogSettings {
    CString fileName;
    int32_t append = 0;        // BOOL: continue at the end of an existing file
    float partLimitMiB = 0.0f; // part size; 0 or less: one file without limit
};

enum : int32_t {
    RAWLOG_STATE_IDLE = 0,
    RAWLOG_STATE_LOGGING = 1,
    RAWLOG_STATE_FAILED = 2,
};

enum : int32_t {
    RAWLOG_REQUEST_NONE = 0,
    RAWLOG_REQUEST_START = 1,
    RAWLOG_REQUEST_STOP = 2,
    RAWLOG_REQUEST_STOP_CLOSING = 3,  // the link is being closed
};

class CRawLogger {
public:
    CRawLogger();
    ~CRawLogger();
    CRawLogger(const CRawLogger&) = delete;
    CRawLogger& operator=(const CRawLogger&) = delete;

    // Stores a request (0..3; other values are ignored) and, when given, the
    // settings the next start uses. Any thread. A stop is applied here and now
    // when no reader services the logger.
    void Configure(int32_t request, const RawLogSettings* settings);

    // Applies the pending request and splits into the next part when the
    // current one is full. Run by the servicing reader before each read and
    // once when it ends.
    void Service();

    // Writes one received byte and counts it, while logging with the gate
    // open. True when the byte was written. A failed write closes the part and
    // moves to the failed state. Servicing reader only.
    bool LogByte(BYTE b);
    // The same for a block of received bytes. A part that fills inside the
    // block is closed there and the next one opened for the rest, so parts
    // split at their exact size. True when any byte was written.
    bool LogBytes(const BYTE* bytes, size_t count);

    bool IsLogging() const { return m_state.load() == RAWLOG_STATE_LOGGING; }
    int32_t GetState() const { return m_state.load(); }

    // The gate: open by default.
    void SetWriteEnabled(bool enabled) { m_writeEnabled.store(enabled); }
    bool IsWriteEnabled() const { return m_writeEnabled.load(); }

    // Bytes logged since the last start, across parts (starting from the
    // file's old size when appending); the user interface shows it.
    uint32_t GetBytesLogged() const { return m_bytesLogged.load(); }
    uint32_t GetBytesInPart() const { return m_bytesInPart.load(); }
    int32_t GetPartNumber() const { return m_partNumber.load(); }
    // The part size in bytes of the current (or last) run; 0 = no limit.
    uint32_t GetPartLimit() const { return m_partLimit.load(); }
    int32_t GetPendingRequest() const { return m_request.load(); }
    // The name of the open part, or of the last one opened.
    CString GetCurrentFileName() const;

    // Servicer registration, made by the reader under the logger's lock.
    // Unregistering applies a stop that arrived after the reader's last
    // Service, so it is not left waiting for a reader that has gone.
    void RegisterServicer();
    void UnregisterServicer();
    bool HasServicer() const;

    // The part size in bytes for a limit in MiB: 1 or more is MiB x 1048576, a
    // smaller value x 1024000 (so 0.5 is 512000 and 0.1 is 102400), rounded
    // to whole bytes; 0 for no limit (0, negative, not a number). Computed in
    // double once, so float noise never moves the split point.
    static uint32_t LimitToBytes(float limitMiB);
    // The name of part `part`: without a split the base name as it is;
    // otherwise "_%05d" goes before the extension (the last "." after the last
    // path separator), or at the end when the name has none.
    static CString MakePartName(const CString& baseName, int32_t part, bool split);

private:
    void ApplyLocked();
    void StartLocked();
    void StopLocked();
    void RollOverLocked();
    bool OpenPartLocked(bool firstPart);
    void ClosePartLocked();

    mutable CCriticalSection m_lock;
    std::atomic<int32_t> m_state;
    std::atomic<int32_t> m_request;
    std::atomic<bool> m_writeEnabled;
    int m_servicers;

    // Asked for by Configure; taken over at the next start.
    CString m_requestedName;
    bool m_requestedAppend;
    uint32_t m_requestedLimit;

    // The run in progress.
    CFile m_file;
    CString m_baseName;
    CString m_currentName;
    bool m_append;
    std::atomic<uint32_t> m_partLimit;
    std::atomic<int32_t> m_partNumber;
    std::atomic<uint32_t> m_bytesLogged;
    std::atomic<uint32_t> m_bytesInPart;
};

// Registers the calling reader as the logger's servicer for its lifetime.
class CRawLoggerServicer {
public:
    explicit CRawLoggerServicer(CRawLogger* logger) : m_logger(logger)
    {
        if (m_logger) m_logger->RegisterServicer();
    }
    ~CRawLoggerServicer()
    {
        if (m_logger) m_logger->UnregisterServicer();
    }
    CRawLoggerServicer(const CRawLoggerServicer&) = delete;
    CRawLoggerServicer& operator=(const CRawLoggerServicer&) = delete;

private:
    CRawLogger* m_logger;
};
