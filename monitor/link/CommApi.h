#pragma once
// The Win32 calls the serial port makes, behind one small interface.
//
// The port's logic (which calls in which order, what counts as failure, how a
// read is stopped, how the port list is put together) lives in portable code,
// so the native tests can count the calls, see their arguments and make any of
// them fail. The Windows build binds the interface to the real API
// (CommApi_win.cpp); natively the default binding finds no ports and opens
// nothing.
//
// Handles, error numbers and flag values are Win32's own, so the Windows
// binding passes them through unchanged.
#include <cstdint>

#include "framework/WinTypes.h"

class CStopEvent;

typedef void* CommHandle;

// INVALID_HANDLE_VALUE: what CreateFile returns on failure. An event that
// could not be made is a null handle instead, as CreateEvent reports it.
inline CommHandle InvalidCommHandle() { return reinterpret_cast<CommHandle>(static_cast<intptr_t>(-1)); }

enum : uint32_t {
    COMM_ERROR_SUCCESS = 0,
    COMM_ERROR_FILE_NOT_FOUND = 2,
    COMM_ERROR_ACCESS_DENIED = 5,
    COMM_ERROR_GEN_FAILURE = 31,
    COMM_ERROR_SHARING_VIOLATION = 32,
    COMM_ERROR_CALL_NOT_IMPLEMENTED = 120,
    COMM_ERROR_OPERATION_ABORTED = 995,
    COMM_ERROR_IO_PENDING = 997,
};

// PurgeComm flags.
enum : uint32_t {
    COMM_PURGE_TXABORT = 0x0001,
    COMM_PURGE_RXABORT = 0x0002,
    COMM_PURGE_TXCLEAR = 0x0004,
    COMM_PURGE_RXCLEAR = 0x0008,
};

// WaitForSingleObject results, and the two-way wait's "which one".
enum : uint32_t {
    COMM_WAIT_OBJECT_0 = 0,       // the I/O event
    COMM_WAIT_STOP = 1,           // the stop event (second object)
    COMM_WAIT_TIMEOUT = 258,
    COMM_WAIT_FAILED = 0xFFFFFFFFu,
};

// DCB codes.
enum : uint8_t {
    COMM_NOPARITY = 0,
    COMM_ODDPARITY = 1,
    COMM_EVENPARITY = 2,
    COMM_ONESTOPBIT = 0,
    COMM_ONE5STOPBITS = 1,
    COMM_TWOSTOPBITS = 2,
    COMM_DTR_CONTROL_DISABLE = 0,
    COMM_DTR_CONTROL_ENABLE = 1,
    COMM_RTS_CONTROL_DISABLE = 0,
    COMM_RTS_CONTROL_ENABLE = 1,
};

// Every field of a Win32 DCB, by name. The binding converts both ways field by
// field, so whatever the driver reported and the port does not set goes back
// to the driver unchanged.
struct CommDcb {
    uint32_t baudRate = 0;
    bool binary = false;           // fBinary
    bool parityCheck = false;      // fParity
    bool outxCtsFlow = false;      // fOutxCtsFlow
    bool outxDsrFlow = false;      // fOutxDsrFlow
    uint8_t dtrControl = 0;        // fDtrControl (2 bits)
    bool dsrSensitivity = false;   // fDsrSensitivity
    bool txContinueOnXoff = false; // fTXContinueOnXoff
    bool outX = false;             // fOutX
    bool inX = false;              // fInX
    bool errorCharOn = false;      // fErrorChar
    bool nullStrip = false;        // fNull
    uint8_t rtsControl = 0;        // fRtsControl (2 bits)
    bool abortOnError = false;     // fAbortOnError
    uint32_t dummy2 = 0;           // fDummy2 (17 bits)
    uint16_t reserved = 0;         // wReserved
    uint16_t xonLim = 0;
    uint16_t xoffLim = 0;
    uint8_t byteSize = 0;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
    char xonChar = 0;
    char xoffChar = 0;
    char errorChar = 0;
    char eofChar = 0;
    char evtChar = 0;
    uint16_t reserved1 = 0;        // wReserved1
};

struct CommTimeouts {
    uint32_t readIntervalTimeout = 0;
    uint32_t readTotalTimeoutMultiplier = 0;
    uint32_t readTotalTimeoutConstant = 0;
    uint32_t writeTotalTimeoutMultiplier = 0;
    uint32_t writeTotalTimeoutConstant = 0;
};

// Room for one OVERLAPPED record plus its event. The port owns one for reads
// and one for writes; the system writes into the record while an I/O is in
// flight, so it must stay where it is until the I/O has completed.
struct CommOverlapped {
    alignas(8) unsigned char storage[32] = {};
    CommHandle event = nullptr;
};

struct ICommApi {
    virtual ~ICommApi() {}

    // CreateFile: read and write access, no sharing, open existing, with
    // overlapped I/O or without. InvalidCommHandle() on failure.
    virtual CommHandle CreateFileA(const char* name, bool overlapped) = 0;
    virtual bool CloseHandle(CommHandle handle) = 0;
    // A manual-reset event, not signalled; null on failure.
    virtual CommHandle CreateEventA() = 0;
    virtual bool SetEvent(CommHandle event) = 0;
    virtual bool SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) = 0;
    virtual bool PurgeComm(CommHandle port, uint32_t flags) = 0;
    virtual bool GetCommState(CommHandle port, CommDcb& dcb) = 0;
    virtual bool SetCommState(CommHandle port, const CommDcb& dcb) = 0;
    virtual bool SetCommTimeouts(CommHandle port, const CommTimeouts& timeouts) = 0;

    // ReadFile / WriteFile on an overlapped handle. True when the I/O
    // completed at once (*done set); false with GetLastError() telling
    // COMM_ERROR_IO_PENDING or the failure.
    virtual bool ReadFile(CommHandle port, void* buf, uint32_t len, uint32_t* done, CommOverlapped& ov) = 0;
    virtual bool WriteFile(CommHandle port, const void* buf, uint32_t len, uint32_t* done, CommOverlapped& ov) = 0;
    virtual bool GetOverlappedResult(CommHandle port, CommOverlapped& ov, uint32_t* done, bool wait) = 0;
    // Cancels the I/O that the calling thread issued on the port.
    virtual bool CancelIo(CommHandle port) = 0;
    // WaitForSingleObject; ms = 0xFFFFFFFF waits without limit.
    virtual uint32_t WaitForSingleObject(CommHandle object, uint32_t ms) = 0;
    // Waits without limit for the I/O event or the stop event, whichever comes
    // first; the I/O event wins when both are set. COMM_WAIT_OBJECT_0,
    // COMM_WAIT_STOP or COMM_WAIT_FAILED.
    virtual uint32_t WaitForIoOrStop(CommHandle ioEvent, const CStopEvent& stop) = 0;

    virtual uint32_t GetLastError() = 0;
    virtual void SetLastError(uint32_t error) = 0;
    virtual void Sleep(uint32_t ms) = 0;

    // GetVersionEx: true on the NT platform family.
    virtual bool IsNtPlatform() = 0;
    // QueryDosDevice(NULL, ...): every device name, each ended by a NUL, the
    // list ended by one more. Characters stored, 0 on failure.
    virtual uint32_t QueryDosDeviceA(char* buf, uint32_t size) = 0;
    // GetDefaultCommConfig succeeds for the name.
    virtual bool GetDefaultCommConfigA(const char* name) = 0;
};

// The binding of this build: the real API on Windows, nothing natively.
ICommApi& GetSystemCommApi();
