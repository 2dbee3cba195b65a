#include "link/CCommPort.h"

#include <stdio.h>

#include <vector>

#include "link/StopEvent.h"

CDWordArray AvailableComPorts;

namespace {

const uint32_t kBaudRates[] = {1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 57600, 115200};

// The device-name list of one QueryDosDevice call; the system caps it here.
const uint32_t kDosDeviceBufferSize = 65535;
// Ports probed when the device names are not available.
const int kProbeLastPort = 128;

ICommApi& ApiOrSystem(ICommApi* api) { return api ? *api : GetSystemCommApi(); }

bool IsAsciiCom(const char* p)
{
    return (p[0] == 'C' || p[0] == 'c') && (p[1] == 'O' || p[1] == 'o') && (p[2] == 'M' || p[2] == 'm');
}

}  // namespace

#ifndef _WIN32
// Natively there are no COM ports: every open fails and no name is listed.
namespace {
class NoCommApi : public ICommApi {
public:
    CommHandle CreateFileA(const char*, bool) override { m_error = COMM_ERROR_FILE_NOT_FOUND; return InvalidCommHandle(); }
    bool CloseHandle(CommHandle) override { return false; }
    CommHandle CreateEventA() override { return nullptr; }
    bool SetEvent(CommHandle) override { return false; }
    bool SetupComm(CommHandle, uint32_t, uint32_t) override { return false; }
    bool PurgeComm(CommHandle, uint32_t) override { return false; }
    bool GetCommState(CommHandle, CommDcb&) override { return false; }
    bool SetCommState(CommHandle, const CommDcb&) override { return false; }
    bool SetCommTimeouts(CommHandle, const CommTimeouts&) override { return false; }
    bool ReadFile(CommHandle, void*, uint32_t, uint32_t*, CommOverlapped&) override { return false; }
    bool WriteFile(CommHandle, const void*, uint32_t, uint32_t*, CommOverlapped&) override { return false; }
    bool GetOverlappedResult(CommHandle, CommOverlapped&, uint32_t*, bool) override { return false; }
    bool CancelIo(CommHandle) override { return false; }
    uint32_t WaitForSingleObject(CommHandle, uint32_t) override { return COMM_WAIT_FAILED; }
    uint32_t WaitForIoOrStop(CommHandle, const CStopEvent&) override { return COMM_WAIT_FAILED; }
    uint32_t GetLastError() override { return m_error; }
    void SetLastError(uint32_t error) override { m_error = error; }
    void Sleep(uint32_t) override {}
    bool IsNtPlatform() override { return true; }
    uint32_t QueryDosDeviceA(char*, uint32_t) override { return 0; }
    bool GetDefaultCommConfigA(const char*) override { return false; }

private:
    uint32_t m_error = 0;
};
}  // namespace

ICommApi& GetSystemCommApi()
{
    static NoCommApi api;
    return api;
}
#endif

// ---------------------------------------------------------------------------
// CCommPort

CCommPort::CCommPort(void* owner, ICommApi* api)
    : m_api(ApiOrSystem(api)),
      m_pOwner(owner),
      m_hPort(InvalidCommHandle()),
      m_nPort(0),
      m_nBaudRate(9600),
      m_nParity(COMM_ODDPARITY),
      m_nStopBits(COMM_ONESTOPBIT),
      m_nDataBits(8)
{
}

CCommPort::~CCommPort()
{
    // The owner closes the port (with its pause) before deleting it; release
    // whatever is left without the pause.
    CSingleLock hold(&m_writeLock, TRUE);
    if (m_hPort != InvalidCommHandle()) m_api.CloseHandle(m_hPort);
    if (m_readOv.event) m_api.CloseHandle(m_readOv.event);
    if (m_writeOv.event) m_api.CloseHandle(m_writeOv.event);
}

CString CCommPort::MakeDeviceName(uint32_t portNumber)
{
    CString name;
    if (portNumber < 10)
        name.Format("COM%u", (unsigned)portNumber);
    else
        name.Format("\\\\.\\COM%u", (unsigned)portNumber);
    return name;
}

bool CCommPort::IsValidBaudRate(uint32_t baudRate)
{
    for (uint32_t rate : kBaudRates)
        if (rate == baudRate) return true;
    return false;
}

void CCommPort::ApplyLineSettings(CommDcb& dcb, uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits)
{
    dcb.baudRate = baudRate;
    dcb.parity = parity;
    dcb.byteSize = dataBits;
    dcb.stopBits = stopBits;
    // Binary transfer with no flow control of any kind: receivers send raw
    // binary frames, and DTR/RTS stay raised because some receivers and
    // level converters draw their power from them. The parity-check flag is
    // left as the driver reported it.
    dcb.binary = true;
    dcb.outxCtsFlow = false;
    dcb.outxDsrFlow = false;
    dcb.dtrControl = COMM_DTR_CONTROL_ENABLE;
    dcb.dsrSensitivity = false;
    dcb.txContinueOnXoff = false;
    dcb.outX = false;
    dcb.inX = false;
    dcb.errorCharOn = false;
    dcb.nullStrip = false;
    dcb.rtsControl = COMM_RTS_CONTROL_ENABLE;
    dcb.abortOnError = false;
}

bool CCommPort::Open(uint32_t portNumber, uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits)
{
    if (m_hPort != InvalidCommHandle()) Close();

    const uint32_t port = portNumber & 0xFFu;
    if (port == 0) return false;
    m_nPort = port;

    CString name = MakeDeviceName(port);
    CommHandle handle = m_api.CreateFileA(name, true);
    if (handle == InvalidCommHandle() || handle == nullptr) {
        Close();
        return false;
    }
    {
        CSingleLock hold(&m_writeLock, TRUE);
        m_hPort = handle;
        // Events left from an earlier open are replaced.
        if (m_readOv.event) m_api.CloseHandle(m_readOv.event);
        if (m_writeOv.event) m_api.CloseHandle(m_writeOv.event);
        m_readOv.event = m_api.CreateEventA();
        m_writeOv.event = m_readOv.event ? m_api.CreateEventA() : nullptr;
    }
    // With all time-outs zero the driver imposes none: a read completes when
    // its bytes are there, and the caller's wait alone limits it.
    CommTimeouts noTimeouts;
    bool ok = m_readOv.event && m_writeOv.event &&
              m_api.SetupComm(m_hPort, kQueueSize, kQueueSize) &&
              SetCommParams(baudRate, parity, dataBits, stopBits) &&
              m_api.SetCommTimeouts(m_hPort, noTimeouts);
    if (!ok) {
        Close();
        return false;
    }
    return true;
}

bool CCommPort::SetCommParams(uint32_t baudRate, BYTE parity, BYTE dataBits, BYTE stopBits)
{
    if (m_hPort == InvalidCommHandle()) return false;
    if (!IsValidBaudRate(baudRate)) return false;
    m_nBaudRate = baudRate;
    if (parity > COMM_EVENPARITY) return false;
    m_nParity = parity;
    // 1.5 stop bits (code 1) is refused: few receivers support it.
    if (stopBits != COMM_ONESTOPBIT && stopBits != COMM_TWOSTOPBITS) return false;
    m_nStopBits = stopBits;
    if (dataBits < 4 || dataBits > 8) return false;
    m_nDataBits = dataBits;

    // Bytes received under the old settings are garbage under the new ones.
    if (!m_api.PurgeComm(m_hPort, COMM_PURGE_RXCLEAR)) return false;
    CommDcb dcb;
    if (!m_api.GetCommState(m_hPort, dcb)) return false;
    ApplyLineSettings(dcb, baudRate, parity, dataBits, stopBits);
    if (!m_api.SetCommState(m_hPort, dcb)) return false;
    return m_api.PurgeComm(m_hPort, COMM_PURGE_TXCLEAR | COMM_PURGE_RXCLEAR);
}

int CCommPort::CancelAndCollect(CommOverlapped& ov)
{
    // CancelIo reaches only the calling thread's I/O, which is why the thread
    // that issued the read cancels it. Waiting for the result afterwards makes
    // sure the system has let go of the record and the buffer.
    m_api.CancelIo(m_hPort);
    uint32_t done = 0;
    if (m_api.GetOverlappedResult(m_hPort, ov, &done, true) && done > 0) return (int)done;
    return -1;
}

int CCommPort::Read(BYTE* buf, uint16_t len, int32_t timeoutMs)
{
    if (m_hPort == InvalidCommHandle() || buf == nullptr || m_readOv.event == nullptr) return -1;
    uint32_t done = 0;
    if (m_api.ReadFile(m_hPort, buf, len, &done, m_readOv)) {
        m_api.SetEvent(m_readOv.event);
        return (int)done;
    }
    if (m_api.GetLastError() != COMM_ERROR_IO_PENDING) return -1;
    uint32_t waitMs = timeoutMs < 0 ? INFINITE : (uint32_t)timeoutMs;
    uint32_t w = m_api.WaitForSingleObject(m_readOv.event, waitMs);
    if (w != COMM_WAIT_OBJECT_0) return CancelAndCollect(m_readOv);
    // The event is set only by the system at completion, so this wait
    // returns at once; waiting rather than polling means no read is ever left
    // in flight when we return.
    if (!m_api.GetOverlappedResult(m_hPort, m_readOv, &done, true)) return -1;
    return (int)done;
}

int CCommPort::ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop)
{
    if (m_hPort == InvalidCommHandle() || buf == nullptr || m_readOv.event == nullptr) return -1;
    if (stop.IsSet()) return -1;
    uint32_t done = 0;
    if (m_api.ReadFile(m_hPort, buf, len, &done, m_readOv)) {
        m_api.SetEvent(m_readOv.event);
        return (int)done;
    }
    if (m_api.GetLastError() != COMM_ERROR_IO_PENDING) return -1;
    uint32_t w = m_api.WaitForIoOrStop(m_readOv.event, stop);
    if (w != COMM_WAIT_OBJECT_0) return CancelAndCollect(m_readOv);
    if (!m_api.GetOverlappedResult(m_hPort, m_readOv, &done, true)) return -1;
    return (int)done;
}

int CCommPort::Write(const BYTE* buf, uint16_t len, int32_t timeoutMs)
{
    // A second writer (a query thread beside the user interface) would reuse
    // the write record while the first write is still in flight.
    CSingleLock hold(&m_writeLock, TRUE);
    if (m_hPort == InvalidCommHandle() || buf == nullptr || m_writeOv.event == nullptr) return -1;
    uint32_t done = 0;
    if (m_api.WriteFile(m_hPort, buf, len, &done, m_writeOv)) {
        m_api.SetEvent(m_writeOv.event);
        return (int)done;
    }
    if (m_api.GetLastError() != COMM_ERROR_IO_PENDING) return -1;
    uint32_t waitMs = timeoutMs < 0 ? INFINITE : (uint32_t)timeoutMs;
    uint32_t w = m_api.WaitForSingleObject(m_writeOv.event, waitMs);
    if (w != COMM_WAIT_OBJECT_0) {
        int n = CancelAndCollect(m_writeOv);
        return n == (int)len ? n : -1;
    }
    if (!m_api.GetOverlappedResult(m_hPort, m_writeOv, &done, true)) return -1;
    return (int)done;
}

int CCommPort::WriteByteArray(const CByteArray& bytes)
{
    INT_PTR n = bytes.GetSize();
    if (n > 0xFFFF) return -1;
    return Write(bytes.GetData(), (uint16_t)n, -1);
}

bool CCommPort::Close()
{
    bool clean = true;
    {
        CSingleLock hold(&m_writeLock, TRUE);
        if (m_hPort != InvalidCommHandle()) {
            if (m_api.CloseHandle(m_hPort))
                m_hPort = InvalidCommHandle();
            else
                clean = false;
        }
        if (m_readOv.event) {
            if (m_api.CloseHandle(m_readOv.event))
                m_readOv.event = nullptr;
            else
                clean = false;
        }
        if (m_writeOv.event) {
            if (m_api.CloseHandle(m_writeOv.event))
                m_writeOv.event = nullptr;
            else
                clean = false;
        }
        m_nPort = 0;
    }
    // USB serial adapters need a moment after the close before the same port
    // opens again (a reconnect does exactly that).
    m_api.Sleep(kClosePauseMs);
    return clean;
}

// ---------------------------------------------------------------------------
// The port list

bool IsAllDigits(const char* text)
{
    if (text == nullptr || *text == '\0') return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

INT_PTR InsertSortedUnique(CDWordArray& list, DWORD value)
{
    INT_PTR lo = 0, hi = list.GetSize();
    while (lo < hi) {
        INT_PTR mid = lo + (hi - lo) / 2;
        if (list[mid] < value)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < list.GetSize() && list[lo] == value) return lo;
    list.InsertAt(lo, value);
    return lo;
}

int ParseDosDeviceNames(const char* names, uint32_t length, CDWordArray& list)
{
    if (names == nullptr) return 0;
    int added = 0;
    uint32_t pos = 0;
    while (pos < length && names[pos] != '\0') {
        // A name runs to its NUL or, in a list cut short, to the end of what
        // the system returned; never past it.
        uint32_t end = pos;
        while (end < length && names[end] != '\0') ++end;
        const uint32_t nameLength = end - pos;
        const char* name = names + pos;
        if (nameLength > 3 && IsAsciiCom(name)) {
            uint32_t value = 0;
            bool digits = true;
            for (uint32_t i = 3; i < nameLength && digits; ++i) {
                char c = name[i];
                if (c < '0' || c > '9')
                    digits = false;
                else if (value <= 255)  // stays small: anything above 255 is out anyway
                    value = value * 10 + (uint32_t)(c - '0');
            }
            if (digits && value >= 1 && value <= 255) {
                list.Add(value);
                ++added;
            }
        }
        pos = end + 1;
    }
    return added;
}

bool QueryDosComPorts(CDWordArray& list, ICommApi* api)
{
    ICommApi& sys = ApiOrSystem(api);
    list.RemoveAll();
    if (!sys.IsNtPlatform()) {
        sys.SetLastError(COMM_ERROR_CALL_NOT_IMPLEMENTED);
        return false;
    }
    std::vector<char> names(kDosDeviceBufferSize, '\0');
    uint32_t n = sys.QueryDosDeviceA(names.data(), kDosDeviceBufferSize);
    if (n == 0) return false;
    if (n > kDosDeviceBufferSize) n = kDosDeviceBufferSize;
    ParseDosDeviceNames(names.data(), n, list);
    return true;
}

bool ProbeComPorts(CDWordArray& list, ICommApi* api)
{
    ICommApi& sys = ApiOrSystem(api);
    list.RemoveAll();
    CString name;
    for (int n = 1; n <= kProbeLastPort; ++n) {
        name.Format("\\\\.\\COM%d", n);
        CommHandle h = sys.CreateFileA(name, false);
        if (h != InvalidCommHandle() && h != nullptr) {
            sys.CloseHandle(h);
            list.Add((DWORD)n);
            continue;
        }
        // A port held by another program, or one whose driver is in trouble,
        // exists all the same.
        uint32_t e = sys.GetLastError();
        if (e == COMM_ERROR_ACCESS_DENIED || e == COMM_ERROR_GEN_FAILURE || e == COMM_ERROR_SHARING_VIOLATION)
            list.Add((DWORD)n);
    }
    return true;
}

bool QueryConfigComPorts(CDWordArray& list, ICommApi* api)
{
    ICommApi& sys = ApiOrSystem(api);
    list.RemoveAll();
    CString name;
    for (int n = 1; n <= kProbeLastPort; ++n) {
        name.Format("COM%d", n);
        if (sys.GetDefaultCommConfigA(name)) list.Add((DWORD)n);
    }
    return true;
}

void EnumerateComPorts(ICommApi* api)
{
    CDWordArray dosPorts, probedPorts, configPorts;
    if (!QueryDosComPorts(dosPorts, api)) {
        ProbeComPorts(probedPorts, api);
        QueryConfigComPorts(configPorts, api);
    }
    AvailableComPorts.RemoveAll();
    const CDWordArray* lists[] = {&dosPorts, &probedPorts, &configPorts};
    for (const CDWordArray* l : lists)
        for (INT_PTR i = 0; i < l->GetSize(); ++i) InsertSortedUnique(AvailableComPorts, l->GetAt(i));
}
