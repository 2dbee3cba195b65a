#pragma once
// A COM port as a channel, and the program-wide list of COM ports present.
//
// One port is used by two threads: the reader thread reads (ReadUntilStopped,
// one byte at a time) while user-interface and query threads write. Reads and
// writes have their own overlapped records and events, so they never wait on
// each other; writers are serialised among themselves by a write lock, since
// they share the write record. Open and Close must not run while a read is in
// flight: the reader is ended before the owner closes the port.
//
// Every system call goes through an ICommApi (link/CommApi.h), by default the
// real one of this build.
#include <cstdint>

#include "framework/CArray.h"
#include "framework/CCriticalSection.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/CChannel.h"
#include "link/CommApi.h"

class CCommPort : public CChannel {
public:
    // The queue sizes asked of the driver, and the pause after a close that
    // gives a USB serial driver time to let go of the device before it is
    // opened again.
    enum : uint32_t { kQueueSize = 4096, kClosePauseMs = 200 };

    // `owner` is kept for the caller and not used by the port. `api` null:
    // the system's calls.
    explicit CCommPort(void* owner = nullptr, ICommApi* api = nullptr);
    ~CCommPort() override;
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // Opens COM<port & 0xFF> with the line settings. Port 0 fails without any
    // system call. An open port is closed first (with the close pause). On any
    // failure the port is left closed (again after the pause).
    bool Open(uint32_t portNumber, uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits);

    // Checks and stores the line settings, then hands them to the driver.
    // Each value that passed its check is stored even when a later check or
    // system call fails, so the getters show what was asked for.
    bool SetCommParams(uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits);

    int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) override;
    int Write(const BYTE* buf, uint16_t len, int32_t timeoutMs) override;
    bool Close() override;
    int GetType() override { return CHANNEL_TYPE_SERIAL; }

    // Waits on the read event and the stop event together. On a stop it
    // cancels its own read (this thread issued it) and waits until the cancel
    // has completed, so the kernel no longer owns `buf` or the read record.
    // Bytes read, 0 for a read the driver completed empty, or -1 (failure,
    // stop). Bytes that arrived just as the stop came are returned, not lost.
    int ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop) override;

    // The whole array with no time-out; what Write returns. An array too long
    // for one write (more than 65535 bytes) is refused with -1.
    int WriteByteArray(const CByteArray& bytes);

    bool IsOpen() const { return m_hPort != InvalidCommHandle(); }
    // The system handle, for tests that read the driver's state back.
    CommHandle GetHandle() const { return m_hPort; }
    void* GetOwner() const { return m_pOwner; }
    uint32_t GetPortNumber() const { return m_nPort; }
    uint32_t GetBaudRate() const { return m_nBaudRate; }
    BYTE GetParity() const { return m_nParity; }
    BYTE GetStopBits() const { return m_nStopBits; }
    BYTE GetDataBits() const { return m_nDataBits; }

    // "COM5" for ports 1..9, "\\.\COM10" from 10 on (the short form reaches
    // only the first nine on every Windows).
    static CString MakeDeviceName(uint32_t portNumber);
    static bool IsValidBaudRate(uint32_t baudRate);
    // Sets the line settings and the flags the link needs on a DCB read from
    // the driver; every other field keeps the driver's value.
    static void ApplyLineSettings(CommDcb& dcb, uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits);

private:
    // Completes an I/O that is still in flight after its wait ended without
    // it: cancel (this thread's I/O) and wait for the cancel to land. Bytes
    // that completed anyway, or -1.
    int CancelAndCollect(CommOverlapped& ov);

    ICommApi& m_api;
    void* m_pOwner;
    CommHandle m_hPort;
    uint32_t m_nPort;        // 0..255
    uint32_t m_nBaudRate;
    BYTE m_nParity;
    BYTE m_nStopBits;
    BYTE m_nDataBits;
    CommOverlapped m_readOv;
    CommOverlapped m_writeOv;
    CCriticalSection m_writeLock;
};

// The COM port numbers present, ascending and without duplicates; rebuilt by
// EnumerateComPorts, read by the port dialogs and menus.
extern CDWordArray AvailableComPorts;

// Rebuilds AvailableComPorts: the device names on NT; only when that fails,
// ports that open (or are busy) merged with ports that have a default
// configuration. `api` null: the system's calls.
void EnumerateComPorts(ICommApi* api = nullptr);

// The three sources of port numbers. Each empties its list first.
bool QueryDosComPorts(CDWordArray& list, ICommApi* api = nullptr);
bool ProbeComPorts(CDWordArray& list, ICommApi* api = nullptr);
bool QueryConfigComPorts(CDWordArray& list, ICommApi* api = nullptr);

// Appends to `list` the port number of every "COM<digits>" name (ASCII case
// ignored) in a NUL-separated device-name list of `length` chars. Numbers
// outside 1..255 are left out: the port cannot open them. Returns how many
// were added.
int ParseDosDeviceNames(const char* names, uint32_t length, CDWordArray& list);

// Inserts `value` into the ascending `list` unless present; the index of the
// element equal to `value` either way.
INT_PTR InsertSortedUnique(CDWordArray& list, DWORD value);

// True for a non-empty text of the decimal digits 0..9 only.
bool IsAllDigits(const char* text);
