// The serial port's system calls bound to the real Win32 API. Everything the
// port decides lives in CCommPort.cpp; this file only translates.
#include <new>
#include <string.h>

#include "framework/WinTypes.h"
#include "link/CommApi.h"
#include "link/StopEvent.h"

namespace {

static_assert(sizeof(OVERLAPPED) <= sizeof(((CommOverlapped*)nullptr)->storage),
              "CommOverlapped must hold an OVERLAPPED");

// A fresh record for each I/O: the offsets mean nothing to a serial port, but
// a record left from the last I/O must not leak its state into the next one.
OVERLAPPED* FreshOverlapped(CommOverlapped& ov)
{
    OVERLAPPED* p = new (ov.storage) OVERLAPPED();
    p->hEvent = ov.event;
    return p;
}

OVERLAPPED* CurrentOverlapped(CommOverlapped& ov)
{
    return std::launder(reinterpret_cast<OVERLAPPED*>(ov.storage));
}

void ToDcb(const CommDcb& c, DCB& d)
{
    d.DCBlength = sizeof(DCB);
    d.BaudRate = c.baudRate;
    d.fBinary = c.binary;
    d.fParity = c.parityCheck;
    d.fOutxCtsFlow = c.outxCtsFlow;
    d.fOutxDsrFlow = c.outxDsrFlow;
    d.fDtrControl = c.dtrControl & 3;
    d.fDsrSensitivity = c.dsrSensitivity;
    d.fTXContinueOnXoff = c.txContinueOnXoff;
    d.fOutX = c.outX;
    d.fInX = c.inX;
    d.fErrorChar = c.errorCharOn;
    d.fNull = c.nullStrip;
    d.fRtsControl = c.rtsControl & 3;
    d.fAbortOnError = c.abortOnError;
    d.fDummy2 = c.dummy2;
    d.wReserved = c.reserved;
    d.XonLim = c.xonLim;
    d.XoffLim = c.xoffLim;
    d.ByteSize = c.byteSize;
    d.Parity = c.parity;
    d.StopBits = c.stopBits;
    d.XonChar = c.xonChar;
    d.XoffChar = c.xoffChar;
    d.ErrorChar = c.errorChar;
    d.EofChar = c.eofChar;
    d.EvtChar = c.evtChar;
    d.wReserved1 = c.reserved1;
}

void FromDcb(const DCB& d, CommDcb& c)
{
    c.baudRate = d.BaudRate;
    c.binary = d.fBinary;
    c.parityCheck = d.fParity;
    c.outxCtsFlow = d.fOutxCtsFlow;
    c.outxDsrFlow = d.fOutxDsrFlow;
    c.dtrControl = (uint8_t)d.fDtrControl;
    c.dsrSensitivity = d.fDsrSensitivity;
    c.txContinueOnXoff = d.fTXContinueOnXoff;
    c.outX = d.fOutX;
    c.inX = d.fInX;
    c.errorCharOn = d.fErrorChar;
    c.nullStrip = d.fNull;
    c.rtsControl = (uint8_t)d.fRtsControl;
    c.abortOnError = d.fAbortOnError;
    c.dummy2 = d.fDummy2;
    c.reserved = d.wReserved;
    c.xonLim = d.XonLim;
    c.xoffLim = d.XoffLim;
    c.byteSize = d.ByteSize;
    c.parity = d.Parity;
    c.stopBits = d.StopBits;
    c.xonChar = d.XonChar;
    c.xoffChar = d.XoffChar;
    c.errorChar = d.ErrorChar;
    c.eofChar = d.EofChar;
    c.evtChar = d.EvtChar;
    c.reserved1 = d.wReserved1;
}

class Win32CommApi : public ICommApi {
public:
    CommHandle CreateFileA(const char* name, bool overlapped) override
    {
        return ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                             overlapped ? FILE_FLAG_OVERLAPPED : 0, NULL);
    }
    bool CloseHandle(CommHandle handle) override { return ::CloseHandle(handle) != FALSE; }
    CommHandle CreateEventA() override { return ::CreateEventA(NULL, TRUE, FALSE, NULL); }
    bool SetEvent(CommHandle event) override { return ::SetEvent(event) != FALSE; }
    bool SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) override
    {
        return ::SetupComm(port, inQueue, outQueue) != FALSE;
    }
    bool PurgeComm(CommHandle port, uint32_t flags) override { return ::PurgeComm(port, flags) != FALSE; }
    bool GetCommState(CommHandle port, CommDcb& dcb) override
    {
        DCB d;
        memset(&d, 0, sizeof d);
        d.DCBlength = sizeof d;
        if (!::GetCommState(port, &d)) return false;
        FromDcb(d, dcb);
        return true;
    }
    bool SetCommState(CommHandle port, const CommDcb& dcb) override
    {
        DCB d;
        memset(&d, 0, sizeof d);
        ToDcb(dcb, d);
        return ::SetCommState(port, &d) != FALSE;
    }
    bool SetCommTimeouts(CommHandle port, const CommTimeouts& t) override
    {
        COMMTIMEOUTS c;
        c.ReadIntervalTimeout = t.readIntervalTimeout;
        c.ReadTotalTimeoutMultiplier = t.readTotalTimeoutMultiplier;
        c.ReadTotalTimeoutConstant = t.readTotalTimeoutConstant;
        c.WriteTotalTimeoutMultiplier = t.writeTotalTimeoutMultiplier;
        c.WriteTotalTimeoutConstant = t.writeTotalTimeoutConstant;
        return ::SetCommTimeouts(port, &c) != FALSE;
    }
    bool ReadFile(CommHandle port, void* buf, uint32_t len, uint32_t* done, CommOverlapped& ov) override
    {
        DWORD n = 0;
        BOOL ok = ::ReadFile(port, buf, len, &n, FreshOverlapped(ov));
        if (done) *done = n;
        return ok != FALSE;
    }
    bool WriteFile(CommHandle port, const void* buf, uint32_t len, uint32_t* done, CommOverlapped& ov) override
    {
        DWORD n = 0;
        BOOL ok = ::WriteFile(port, buf, len, &n, FreshOverlapped(ov));
        if (done) *done = n;
        return ok != FALSE;
    }
    bool GetOverlappedResult(CommHandle port, CommOverlapped& ov, uint32_t* done, bool wait) override
    {
        DWORD n = 0;
        BOOL ok = ::GetOverlappedResult(port, CurrentOverlapped(ov), &n, wait ? TRUE : FALSE);
        if (done) *done = n;
        return ok != FALSE;
    }
    bool CancelIo(CommHandle port) override { return ::CancelIo(port) != FALSE; }
    uint32_t WaitForSingleObject(CommHandle object, uint32_t ms) override
    {
        return ::WaitForSingleObject(object, ms);
    }
    uint32_t WaitForIoOrStop(CommHandle ioEvent, const CStopEvent& stop) override
    {
        HANDLE stopEvent = stop.GetHandle();
        if (stopEvent) {
            HANDLE both[2] = {ioEvent, stopEvent};
            DWORD w = ::WaitForMultipleObjects(2, both, FALSE, INFINITE);
            if (w == WAIT_OBJECT_0) return COMM_WAIT_OBJECT_0;
            if (w == WAIT_OBJECT_0 + 1) return COMM_WAIT_STOP;
            return COMM_WAIT_FAILED;
        }
        // A stop signal without an event (the system refused one): look at it
        // between short waits rather than never noticing it.
        for (;;) {
            DWORD w = ::WaitForSingleObject(ioEvent, 20);
            if (w == WAIT_OBJECT_0) return COMM_WAIT_OBJECT_0;
            if (w != WAIT_TIMEOUT) return COMM_WAIT_FAILED;
            if (stop.IsSet()) return COMM_WAIT_STOP;
        }
    }
    uint32_t GetLastError() override { return ::GetLastError(); }
    void SetLastError(uint32_t error) override { ::SetLastError(error); }
    void Sleep(uint32_t ms) override { ::Sleep(ms); }
    bool IsNtPlatform() override
    {
        OSVERSIONINFOA vi;
        memset(&vi, 0, sizeof vi);
        vi.dwOSVersionInfoSize = sizeof vi;
        if (!::GetVersionExA(&vi)) return false;
        return vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }
    uint32_t QueryDosDeviceA(char* buf, uint32_t size) override { return ::QueryDosDeviceA(NULL, buf, size); }
    bool GetDefaultCommConfigA(const char* name) override
    {
        COMMCONFIG config;
        DWORD size = sizeof config;
        memset(&config, 0, sizeof config);
        config.dwSize = sizeof config;
        return ::GetDefaultCommConfigA(name, &config, &size) != FALSE;
    }
};

}  // namespace

ICommApi& GetSystemCommApi()
{
    static Win32CommApi api;
    return api;
}
