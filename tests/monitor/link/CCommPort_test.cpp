// The serial port's own rules, checked against a recording stand-in for the
// system calls: argument checks, the order of the calls, what counts as
// failure, how a blocked read is stopped, and how the port list is built.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "link/CCommPort.h"
#include "link/StopEvent.h"

namespace {

CommHandle FakeHandle(int n) { return reinterpret_cast<CommHandle>(static_cast<intptr_t>(0x1000 + n)); }

// Records every call as text ("SetupComm 4096 4096") and fails the one named
// in failCall. I/O results are set up by the test.
class FakeCommApi : public ICommApi {
public:
    std::string failCall;  // e.g. "SetCommState": that call returns failure

    // ReadFile/WriteFile: completed at once (with ioDone bytes) or not, and
    // the error when not (COMM_ERROR_IO_PENDING for a pending I/O).
    bool ioImmediate = false;
    uint32_t ioDone = 0;
    uint32_t ioError = COMM_ERROR_IO_PENDING;
    uint32_t waitResult = COMM_WAIT_OBJECT_0;  // both waits
    bool resultOk = true;                      // GetOverlappedResult
    uint32_t resultDone = 1;
    // The two-way wait blocks, as the system's does, until the caller's stop
    // event is set; `waiting` tells the test it got there.
    bool blockUntilStop = false;
    std::atomic<bool> waiting{false};

    // Enumeration.
    bool nt = true;
    std::string dosNames;                     // NUL-separated, as the system returns them
    std::map<int, uint32_t> probe;            // port -> 0 (opens) or the error of a refused open
    std::set<int> configured;                 // ports with a default configuration

    CommDcb driverDcb;
    CommDcb lastSetDcb;
    std::thread::id readThread, cancelThread;

    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_calls;
    }
    size_t CallCount() { return Calls().size(); }
    void ClearCalls()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_calls.clear();
    }
    int OpenHandles() const { return (int)m_open.size(); }

    CommHandle CreateFileA(const char* name, bool overlapped) override
    {
        Record(std::string("CreateFileA ") + name + (overlapped ? " overlapped" : " sync"));
        if (!overlapped) {
            // The probe: a port number from the "\\.\COMn" name.
            int n = atoi(name + 7);
            auto it = probe.find(n);
            if (it == probe.end()) { m_error = COMM_ERROR_FILE_NOT_FOUND; return InvalidCommHandle(); }
            if (it->second != 0) { m_error = it->second; return InvalidCommHandle(); }
        } else if (Fails("CreateFileA")) {
            m_error = COMM_ERROR_FILE_NOT_FOUND;
            return InvalidCommHandle();
        }
        return NewHandle();
    }
    bool CloseHandle(CommHandle handle) override
    {
        Record("CloseHandle");
        if (Fails("CloseHandle")) return false;
        return m_open.erase(handle) == 1;
    }
    CommHandle CreateEventA() override
    {
        Record("CreateEventA");
        return Fails("CreateEventA") ? nullptr : NewHandle();
    }
    bool SetEvent(CommHandle) override { Record("SetEvent"); return true; }
    bool SetupComm(CommHandle, uint32_t in, uint32_t out) override
    {
        Record("SetupComm " + std::to_string(in) + " " + std::to_string(out));
        return !Fails("SetupComm");
    }
    bool PurgeComm(CommHandle, uint32_t flags) override
    {
        Record("PurgeComm " + std::to_string(flags));
        return !Fails("PurgeComm " + std::to_string(flags));
    }
    bool GetCommState(CommHandle, CommDcb& dcb) override
    {
        Record("GetCommState");
        dcb = driverDcb;
        return !Fails("GetCommState");
    }
    bool SetCommState(CommHandle, const CommDcb& dcb) override
    {
        Record("SetCommState");
        lastSetDcb = dcb;
        return !Fails("SetCommState");
    }
    bool SetCommTimeouts(CommHandle, const CommTimeouts& t) override
    {
        Record("SetCommTimeouts " + std::to_string(t.readIntervalTimeout) + " " +
               std::to_string(t.readTotalTimeoutMultiplier) + " " + std::to_string(t.readTotalTimeoutConstant) + " " +
               std::to_string(t.writeTotalTimeoutMultiplier) + " " + std::to_string(t.writeTotalTimeoutConstant));
        return !Fails("SetCommTimeouts");
    }
    bool ReadFile(CommHandle, void* buf, uint32_t len, uint32_t* done, CommOverlapped&) override
    {
        Record("ReadFile " + std::to_string(len));
        readThread = std::this_thread::get_id();
        if (ioImmediate) {
            *done = ioDone;
            if (buf && ioDone) memset(buf, 0x5A, ioDone);
            return true;
        }
        m_error = ioError;
        return false;
    }
    bool WriteFile(CommHandle, const void*, uint32_t len, uint32_t* done, CommOverlapped&) override
    {
        Record("WriteFile " + std::to_string(len));
        int inFlight = ++m_writesInFlight;
        if (inFlight > m_maxWritesInFlight) m_maxWritesInFlight = inFlight;
        if (ioImmediate) {
            *done = ioDone;
            --m_writesInFlight;
            return true;
        }
        m_error = ioError;
        if (ioError != COMM_ERROR_IO_PENDING) --m_writesInFlight;
        return false;
    }
    bool GetOverlappedResult(CommHandle, CommOverlapped&, uint32_t* done, bool wait) override
    {
        Record(std::string("GetOverlappedResult ") + (wait ? "wait" : "nowait"));
        if (m_writesInFlight > 0) --m_writesInFlight;
        *done = resultOk ? resultDone : 0;
        return resultOk;
    }
    bool CancelIo(CommHandle) override
    {
        Record("CancelIo");
        cancelThread = std::this_thread::get_id();
        return true;
    }
    uint32_t WaitForSingleObject(CommHandle, uint32_t ms) override
    {
        Record("WaitForSingleObject " + std::to_string(ms));
        std::this_thread::yield();  // lets a second writer try to overtake
        return waitResult;
    }
    uint32_t WaitForIoOrStop(CommHandle, const CStopEvent& stop) override
    {
        Record("WaitForIoOrStop");
        if (blockUntilStop) {
            waiting.store(true);
            stop.Wait(STOP_WAIT_FOREVER);
            return COMM_WAIT_STOP;
        }
        return waitResult;
    }
    uint32_t GetLastError() override { return m_error; }
    void SetLastError(uint32_t error) override
    {
        Record("SetLastError " + std::to_string(error));
        m_error = error;
    }
    void Sleep(uint32_t ms) override { Record("Sleep " + std::to_string(ms)); }
    bool IsNtPlatform() override
    {
        Record("IsNtPlatform");
        return nt;
    }
    uint32_t QueryDosDeviceA(char* buf, uint32_t size) override
    {
        Record("QueryDosDeviceA");
        if (Fails("QueryDosDeviceA") || dosNames.size() > size) return 0;
        memcpy(buf, dosNames.data(), dosNames.size());
        return (uint32_t)dosNames.size();
    }
    bool GetDefaultCommConfigA(const char* name) override
    {
        Record(std::string("GetDefaultCommConfigA ") + name);
        return configured.count(atoi(name + 3)) != 0;
    }

    int MaxWritesInFlight() const { return m_maxWritesInFlight; }

private:
    void Record(const std::string& call)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_calls.push_back(call);
    }
    bool Fails(const std::string& call) const { return !failCall.empty() && failCall == call; }
    CommHandle NewHandle()
    {
        CommHandle h = FakeHandle(++m_nextHandle);
        m_open.insert(h);
        return h;
    }

    std::mutex m_lock;
    std::vector<std::string> m_calls;
    std::set<CommHandle> m_open;
    int m_nextHandle = 0;
    uint32_t m_error = 0;
    std::atomic<int> m_writesInFlight{0};
    std::atomic<int> m_maxWritesInFlight{0};
};

const std::vector<std::string> kOpenCalls = {
    "CreateFileA COM5 overlapped",
    "CreateEventA",
    "CreateEventA",
    "SetupComm 4096 4096",
    "PurgeComm 8",
    "GetCommState",
    "SetCommState",
    "PurgeComm 12",
    "SetCommTimeouts 0 0 0 0 0",
};

// ---------------------------------------------------------------------------
// Opening

TEST(CCommPortOpen, CallsInOrderAndLeavesThePortOpen)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 57600, 2, 7, 2));
    EXPECT_EQ(api.Calls(), kOpenCalls);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.GetPortNumber(), 5u);
    EXPECT_EQ(port.GetType(), CHANNEL_TYPE_SERIAL);
    EXPECT_EQ(api.lastSetDcb.baudRate, 57600u);
    EXPECT_EQ(api.lastSetDcb.parity, 2);
    EXPECT_EQ(api.lastSetDcb.byteSize, 7);
    EXPECT_EQ(api.lastSetDcb.stopBits, 2);
    EXPECT_EQ(api.OpenHandles(), 3);  // port + two events
}

TEST(CCommPortOpen, PortNumberAndDeviceName)
{
    struct Case {
        uint32_t port;
        bool opens;
        const char* device;  // null: no system call at all
        uint32_t stored;
    };
    const Case cases[] = {
        {0, false, nullptr, 0},
        {256, false, nullptr, 0},  // low byte 0
        {1, true, "COM1", 1},
        {9, true, "COM9", 9},
        {10, true, "\\\\.\\COM10", 10},
        {255, true, "\\\\.\\COM255", 255},
        {261, true, "COM5", 5},    // 0x105: only the low byte counts
        {0x10C, true, "\\\\.\\COM12", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        FakeCommApi api;
        CCommPort port(nullptr, &api);
        EXPECT_EQ(port.Open(c.port, 9600, 0, 8, 0), c.opens);
        if (!c.device) {
            EXPECT_EQ(api.CallCount(), 0u);
        } else {
            ASSERT_FALSE(api.Calls().empty());
            EXPECT_EQ(api.Calls()[0], std::string("CreateFileA ") + c.device + " overlapped");
        }
        EXPECT_EQ(port.GetPortNumber(), c.stored);
    }
}

TEST(CCommPortOpen, AnyFailingStepClosesWithThePause)
{
    const char* steps[] = {"CreateFileA", "CreateEventA", "SetupComm", "PurgeComm 8", "GetCommState",
                           "SetCommState", "PurgeComm 12", "SetCommTimeouts"};
    for (const char* step : steps) {
        SCOPED_TRACE(step);
        FakeCommApi api;
        api.failCall = step;
        CCommPort port(nullptr, &api);
        EXPECT_FALSE(port.Open(5, 9600, 0, 8, 0));
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.GetPortNumber(), 0u);
        EXPECT_EQ(api.Calls().back(), "Sleep 200");
        EXPECT_EQ(api.OpenHandles(), 0) << "every handle made is closed again";
    }
}

TEST(CCommPortOpen, OpeningAnOpenPortClosesItFirst)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.ClearCalls();
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    std::vector<std::string> expected = {"CloseHandle", "CloseHandle", "CloseHandle", "Sleep 200"};
    expected.insert(expected.end(), kOpenCalls.begin(), kOpenCalls.end());
    EXPECT_EQ(api.Calls(), expected);
    EXPECT_EQ(api.OpenHandles(), 3);
}

// ---------------------------------------------------------------------------
// Line settings

TEST(CCommPortSetCommParams, RefusalsKeepEveryValueThatPassedItsCheck)
{
    struct Case {
        uint32_t baud;
        BYTE parity, dataBits, stopBits;
        // what the port holds afterwards (it was opened with 9600, 1, 8, 0)
        uint32_t baudAfter;
        BYTE parityAfter, dataBitsAfter, stopBitsAfter;
    };
    const Case refused[] = {
        {128000, 2, 7, 2, 9600, 1, 8, 0},
        {256000, 2, 7, 2, 9600, 1, 8, 0},
        {0, 2, 7, 2, 9600, 1, 8, 0},
        {57600, 3, 7, 2, 57600, 1, 8, 0},
        {57600, 2, 7, 1, 57600, 2, 8, 0},  // 1.5 stop bits
        {57600, 2, 7, 3, 57600, 2, 8, 0},
        {57600, 2, 3, 2, 57600, 2, 8, 2},
        {57600, 2, 9, 2, 57600, 2, 8, 2},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::Message() << c.baud << " " << int(c.parity) << " " << int(c.dataBits) << " "
                                        << int(c.stopBits));
        FakeCommApi api;
        CCommPort port(nullptr, &api);
        ASSERT_TRUE(port.Open(5, 9600, 1, 8, 0));
        api.ClearCalls();
        EXPECT_FALSE(port.SetCommParams(c.baud, c.parity, c.dataBits, c.stopBits));
        EXPECT_EQ(api.CallCount(), 0u) << "a refused value reaches no driver";
        EXPECT_EQ(port.GetBaudRate(), c.baudAfter);
        EXPECT_EQ(port.GetParity(), c.parityAfter);
        EXPECT_EQ(port.GetDataBits(), c.dataBitsAfter);
        EXPECT_EQ(port.GetStopBits(), c.stopBitsAfter);
        EXPECT_TRUE(port.IsOpen()) << "a refused change leaves the port as it was";
    }
}

TEST(CCommPortSetCommParams, EveryListedRateAndDataSizeIsTaken)
{
    const uint32_t rates[] = {1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 57600, 115200};
    for (uint32_t rate : rates) {
        for (BYTE bits = 4; bits <= 8; ++bits) {
            FakeCommApi api;
            CCommPort port(nullptr, &api);
            ASSERT_TRUE(port.Open(3, rate, 0, bits, 2)) << rate << " " << int(bits);
            EXPECT_EQ(api.lastSetDcb.baudRate, rate);
            EXPECT_EQ(api.lastSetDcb.byteSize, bits);
        }
    }
}

TEST(CCommPortSetCommParams, ValuesAreStoredEvenWhenTheDriverRefuses)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 1, 8, 0));
    api.failCall = "SetCommState";
    EXPECT_FALSE(port.SetCommParams(115200, 0, 5, 2));
    EXPECT_EQ(port.GetBaudRate(), 115200u);
    EXPECT_EQ(port.GetParity(), 0);
    EXPECT_EQ(port.GetDataBits(), 5);
    EXPECT_EQ(port.GetStopBits(), 2);
}

TEST(CCommPortSetCommParams, ClosedPortRefusesWithoutStoringAnything)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    EXPECT_FALSE(port.SetCommParams(115200, 0, 7, 2));
    EXPECT_EQ(port.GetBaudRate(), 9600u);
    EXPECT_EQ(port.GetParity(), 1);
    EXPECT_EQ(port.GetDataBits(), 8);
    EXPECT_EQ(port.GetStopBits(), 0);
    EXPECT_EQ(api.CallCount(), 0u);
}

TEST(CCommPortSetCommParams, LineSettingsAndFlagsWithTheRestAsTheDriverHadThem)
{
    CommDcb dcb;
    dcb.baudRate = 4800;
    dcb.binary = false;
    dcb.parityCheck = true;  // kept as reported
    dcb.outxCtsFlow = dcb.outxDsrFlow = true;
    dcb.dtrControl = 2;
    dcb.dsrSensitivity = dcb.txContinueOnXoff = dcb.outX = dcb.inX = true;
    dcb.errorCharOn = dcb.nullStrip = true;
    dcb.rtsControl = 2;
    dcb.abortOnError = true;
    dcb.dummy2 = 0x1234;
    dcb.reserved = 7;
    dcb.xonLim = 100;
    dcb.xoffLim = 200;
    dcb.xonChar = 0x11;
    dcb.xoffChar = 0x13;
    dcb.errorChar = '?';
    dcb.eofChar = 0x1A;
    dcb.evtChar = '\n';
    dcb.reserved1 = 9;

    CommDcb out = dcb;
    CCommPort::ApplyLineSettings(out, 19200, 1, 7, 2);
    EXPECT_EQ(out.baudRate, 19200u);
    EXPECT_EQ(out.parity, 1);
    EXPECT_EQ(out.byteSize, 7);
    EXPECT_EQ(out.stopBits, 2);
    EXPECT_TRUE(out.binary);
    EXPECT_TRUE(out.parityCheck);
    EXPECT_FALSE(out.outxCtsFlow);
    EXPECT_FALSE(out.outxDsrFlow);
    EXPECT_EQ(out.dtrControl, COMM_DTR_CONTROL_ENABLE);
    EXPECT_FALSE(out.dsrSensitivity);
    EXPECT_FALSE(out.txContinueOnXoff);
    EXPECT_FALSE(out.outX);
    EXPECT_FALSE(out.inX);
    EXPECT_FALSE(out.errorCharOn);
    EXPECT_FALSE(out.nullStrip);
    EXPECT_EQ(out.rtsControl, COMM_RTS_CONTROL_ENABLE);
    EXPECT_FALSE(out.abortOnError);
    EXPECT_EQ(out.dummy2, dcb.dummy2);
    EXPECT_EQ(out.reserved, dcb.reserved);
    EXPECT_EQ(out.xonLim, dcb.xonLim);
    EXPECT_EQ(out.xoffLim, dcb.xoffLim);
    EXPECT_EQ(out.xonChar, dcb.xonChar);
    EXPECT_EQ(out.xoffChar, dcb.xoffChar);
    EXPECT_EQ(out.errorChar, dcb.errorChar);
    EXPECT_EQ(out.eofChar, dcb.eofChar);
    EXPECT_EQ(out.evtChar, dcb.evtChar);
    EXPECT_EQ(out.reserved1, dcb.reserved1);
}

// ---------------------------------------------------------------------------
// Reading, writing, closing

struct IoCase {
    const char* name;
    bool immediate;
    uint32_t immediateDone;
    uint32_t error;      // when not immediate
    uint32_t wait;       // result of the wait
    bool resultOk;       // GetOverlappedResult
    uint32_t resultDone;
    int expected;
    std::vector<std::string> calls;  // after the ReadFile
};

TEST(CCommPortRead, StopAwareReadResultsAndCalls)
{
    const IoCase cases[] = {
        {"byte at once", true, 1, 0, 0, true, 0, 1, {"SetEvent"}},
        {"empty at once is no byte", true, 0, 0, 0, true, 0, 0, {"SetEvent"}},
        {"fails at once", false, 0, COMM_ERROR_ACCESS_DENIED, 0, true, 0, -1, {}},
        {"byte after a wait", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, true, 1, 1,
         {"WaitForIoOrStop", "GetOverlappedResult wait"}},
        {"completes empty after a wait", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, true, 0, 0,
         {"WaitForIoOrStop", "GetOverlappedResult wait"}},
        {"completes failed (line dropped)", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, false, 0, -1,
         {"WaitForIoOrStop", "GetOverlappedResult wait"}},
        {"stop: cancel, then wait for the cancel", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_STOP, false, 0, -1,
         {"WaitForIoOrStop", "CancelIo", "GetOverlappedResult wait"}},
        {"stop as the byte came: byte kept", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_STOP, true, 1, 1,
         {"WaitForIoOrStop", "CancelIo", "GetOverlappedResult wait"}},
        {"failed wait is handled like a stop", false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_FAILED, false, 0, -1,
         {"WaitForIoOrStop", "CancelIo", "GetOverlappedResult wait"}},
    };
    for (const IoCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeCommApi api;
        CCommPort port(nullptr, &api);
        ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
        api.ClearCalls();
        api.ioImmediate = c.immediate;
        api.ioDone = c.immediateDone;
        api.ioError = c.error;
        api.waitResult = c.wait;
        api.resultOk = c.resultOk;
        api.resultDone = c.resultDone;
        CStopEvent stop;
        BYTE b = 0;
        EXPECT_EQ(port.ReadUntilStopped(&b, 1, stop), c.expected);
        std::vector<std::string> expected = {"ReadFile 1"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(api.Calls(), expected);
    }
}

TEST(CCommPortRead, TheReadingThreadCancelsItsOwnRead)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.waitResult = COMM_WAIT_STOP;
    api.resultOk = false;
    CStopEvent stop;
    std::thread reader([&] {
        BYTE b;
        port.ReadUntilStopped(&b, 1, stop);
    });
    reader.join();
    EXPECT_EQ(api.readThread, api.cancelThread);
    EXPECT_NE(api.cancelThread, std::thread::id());
}

TEST(CCommPortRead, AReadBlockedOnTheLineEndsWhenTheCallersStopIsSet)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.ClearCalls();
    api.blockUntilStop = true;
    api.resultOk = false;
    CStopEvent stop;
    int result = 0;
    std::thread reader([&] {
        BYTE b;
        result = port.ReadUntilStopped(&b, 1, stop);
    });
    while (!api.waiting.load()) std::this_thread::yield();
    stop.Set();
    reader.join();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(api.Calls(), (std::vector<std::string>{"ReadFile 1", "WaitForIoOrStop", "CancelIo",
                                                    "GetOverlappedResult wait"}));
    EXPECT_TRUE(port.Close()) << "nothing is left in flight";
}

TEST(CCommPortRead, NothingIsIssuedWhenStoppedClosedOrWithoutBuffer)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    CStopEvent stop;
    BYTE b;
    EXPECT_EQ(port.ReadUntilStopped(&b, 1, stop), -1) << "closed";
    EXPECT_EQ(port.Read(&b, 1, -1), -1) << "closed";
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.ClearCalls();
    EXPECT_EQ(port.ReadUntilStopped(nullptr, 1, stop), -1);
    EXPECT_EQ(port.Read(nullptr, 1, -1), -1);
    stop.Set();
    EXPECT_EQ(port.ReadUntilStopped(&b, 1, stop), -1);
    EXPECT_EQ(api.CallCount(), 0u);
}

TEST(CCommPortRead, TimedReadCancelsOnTimeout)
{
    struct Case {
        int32_t timeout;
        uint32_t wait;
        bool resultOk;
        uint32_t resultDone;
        int expected;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {-1, COMM_WAIT_OBJECT_0, true, 1, 1, {"ReadFile 1", "WaitForSingleObject 4294967295", "GetOverlappedResult wait"}},
        {50, COMM_WAIT_TIMEOUT, false, 0, -1, {"ReadFile 1", "WaitForSingleObject 50", "CancelIo", "GetOverlappedResult wait"}},
        {50, COMM_WAIT_TIMEOUT, true, 1, 1, {"ReadFile 1", "WaitForSingleObject 50", "CancelIo", "GetOverlappedResult wait"}},
    };
    for (const Case& c : cases) {
        FakeCommApi api;
        CCommPort port(nullptr, &api);
        ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
        api.ClearCalls();
        api.waitResult = c.wait;
        api.resultOk = c.resultOk;
        api.resultDone = c.resultDone;
        BYTE b;
        EXPECT_EQ(port.Read(&b, 1, c.timeout), c.expected);
        EXPECT_EQ(api.Calls(), c.calls);
    }
}

TEST(CCommPortWrite, ResultIsBytesOrMinusOne)
{
    struct Case {
        bool immediate;
        uint32_t immediateDone;
        uint32_t error;
        uint32_t wait;
        bool resultOk;
        uint32_t resultDone;
        int expected;
    };
    const Case cases[] = {
        {true, 4, 0, 0, true, 0, 4},
        {false, 0, COMM_ERROR_ACCESS_DENIED, 0, true, 0, -1},
        {false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, true, 4, 4},
        {false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, true, 2, 2},  // short: caller sees != length
        {false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_OBJECT_0, false, 0, -1},
        {false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_TIMEOUT, false, 0, -1},
        {false, 0, COMM_ERROR_IO_PENDING, COMM_WAIT_TIMEOUT, true, 2, -1},  // cut short by the cancel
    };
    const BYTE packet[] = {0x10, 0x26, 0x10, 0x03};
    for (const Case& c : cases) {
        FakeCommApi api;
        CCommPort port(nullptr, &api);
        ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
        api.ioImmediate = c.immediate;
        api.ioDone = c.immediateDone;
        api.ioError = c.error;
        api.waitResult = c.wait;
        api.resultOk = c.resultOk;
        api.resultDone = c.resultDone;
        EXPECT_EQ(port.Write(packet, 4, 1000), c.expected);
    }
    FakeCommApi api;
    CCommPort closed(nullptr, &api);
    EXPECT_EQ(closed.Write(packet, 4, -1), -1);
    EXPECT_EQ(api.CallCount(), 0u);
}

TEST(CCommPortWrite, ByteArrayGoesOutWholeWithoutTimeLimit)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.resultDone = 4;
    api.ClearCalls();
    CByteArray bytes;
    for (BYTE b : {0x10, 0x26, 0x10, 0x03}) bytes.Add(b);
    EXPECT_EQ(port.WriteByteArray(bytes), 4);
    EXPECT_EQ(api.Calls(), (std::vector<std::string>{"WriteFile 4", "WaitForSingleObject 4294967295",
                                                    "GetOverlappedResult wait"}));
    CByteArray tooLong;
    tooLong.SetSize(70000);
    api.ClearCalls();
    EXPECT_EQ(port.WriteByteArray(tooLong), -1);
    EXPECT_EQ(api.CallCount(), 0u);
}

TEST(CCommPortWrite, TwoWritingThreadsNeverShareTheWriteRecord)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 9600, 0, 8, 0));
    api.resultDone = 2;
    const BYTE cmd[] = {1, 2};
    std::atomic<int> bad{0};
    auto writer = [&] {
        for (int i = 0; i < 2000; ++i)
            if (port.Write(cmd, 2, -1) != 2) ++bad;
    };
    std::thread a(writer), b(writer);
    a.join();
    b.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(api.MaxWritesInFlight(), 1);
}

TEST(CCommPortClose, ClosesEverythingThenPauses)
{
    FakeCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(12, 9600, 0, 8, 0));
    api.ClearCalls();
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(api.Calls(), (std::vector<std::string>{"CloseHandle", "CloseHandle", "CloseHandle", "Sleep 200"}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.GetPortNumber(), 0u);
    EXPECT_EQ(api.OpenHandles(), 0);

    ASSERT_TRUE(port.Open(12, 9600, 0, 8, 0));
    api.failCall = "CloseHandle";
    EXPECT_FALSE(port.Close()) << "a handle that would not close makes the close unclean";
    EXPECT_EQ(port.GetPortNumber(), 0u);
}

// ---------------------------------------------------------------------------
// The port list

TEST(ComPortList, IsAllDigits)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", true}, {"12", true}, {"0123456789", true}, {"", false}, {nullptr, false},
        {"1A", false}, {" 1", false}, {"-1", false}, {"1 ", false}, {"X", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsAllDigits(c.first), c.second) << (c.first ? c.first : "(null)");
}

TEST(ComPortList, InsertSortedUnique)
{
    struct Case {
        std::vector<DWORD> before;
        DWORD value;
        INT_PTR index;
        std::vector<DWORD> after;
    };
    const Case cases[] = {
        {{}, 5, 0, {5}},
        {{3, 7}, 1, 0, {1, 3, 7}},
        {{3, 7}, 5, 1, {3, 5, 7}},
        {{3, 7}, 9, 2, {3, 7, 9}},
        {{3, 5, 7}, 5, 1, {3, 5, 7}},  // present: its index, list unchanged
        {{3, 5, 7}, 3, 0, {3, 5, 7}},
        {{3, 5, 7}, 7, 2, {3, 5, 7}},
    };
    for (const Case& c : cases) {
        CDWordArray list;
        for (DWORD v : c.before) list.Add(v);
        EXPECT_EQ(InsertSortedUnique(list, c.value), c.index);
        std::vector<DWORD> after(list.GetData(), list.GetData() + list.GetSize());
        EXPECT_EQ(after, c.after);
    }
}

std::string Names(std::initializer_list<const char*> names)
{
    std::string s;
    for (const char* n : names) {
        s += n;
        s += '\0';
    }
    s += '\0';
    return s;
}

TEST(ComPortList, DeviceNamesGiveOnlyComDigits)
{
    const std::pair<const char*, int> cases[] = {
        {"COM5", 5}, {"com12", 12}, {"Com7", 7}, {"COM255", 255}, {"COM012", 12},
        {"COMX", -1}, {"COM", -1}, {"COM1A", -1}, {"LPT1", -1}, {"XCOM1", -1},
        {"COM0", -1}, {"COM256", -1}, {"COM99999999999999999999", -1}, {"COM-1", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        std::string list = Names({c.first});
        CDWordArray ports;
        ParseDosDeviceNames(list.data(), (uint32_t)list.size(), ports);
        if (c.second < 0) {
            EXPECT_EQ(ports.GetSize(), 0);
        } else {
            ASSERT_EQ(ports.GetSize(), 1);
            EXPECT_EQ(ports[0], (DWORD)c.second);
        }
    }
}

TEST(ComPortList, DeviceListIsReadOnlyAsFarAsTheSystemFilledIt)
{
    std::string list = Names({"C:", "COM3", "PIPE", "com12", "LPT1"});
    CDWordArray ports;
    EXPECT_EQ(ParseDosDeviceNames(list.data(), (uint32_t)list.size(), ports), 2);
    ASSERT_EQ(ports.GetSize(), 2);
    EXPECT_EQ(ports[0], 3u);
    EXPECT_EQ(ports[1], 12u);

    // Cut inside "COM12" and without any terminator: the name ends where the
    // data ends, and nothing beyond it is read (ASan watches the heap copy).
    const char raw[] = {'C', 'O', 'M', '3', '\0', 'C', 'O', 'M', '1'};
    std::vector<char> cut(raw, raw + sizeof raw);
    CDWordArray cutPorts;
    ParseDosDeviceNames(cut.data(), (uint32_t)cut.size(), cutPorts);
    ASSERT_EQ(cutPorts.GetSize(), 2);
    EXPECT_EQ(cutPorts[0], 3u);
    EXPECT_EQ(cutPorts[1], 1u);
}

TEST(ComPortList, NtUsesTheDeviceNamesAlone)
{
    FakeCommApi api;
    api.dosNames = Names({"COM12", "COM5", "com5", "NUL", "COMX"});
    api.probe[3] = 0;
    api.configured = {4};
    AvailableComPorts.RemoveAll();
    AvailableComPorts.Add(99);
    EnumerateComPorts(&api);
    std::vector<DWORD> got(AvailableComPorts.GetData(), AvailableComPorts.GetData() + AvailableComPorts.GetSize());
    EXPECT_EQ(got, (std::vector<DWORD>{5, 12}));
    EXPECT_EQ(api.Calls(), (std::vector<std::string>{"IsNtPlatform", "QueryDosDeviceA"}));
}

TEST(ComPortList, WithoutDeviceNamesProbeAndConfigurationAreMerged)
{
    for (bool nt : {false, true}) {
        SCOPED_TRACE(nt ? "NT query fails" : "not NT");
        FakeCommApi api;
        api.nt = nt;
        api.failCall = "QueryDosDeviceA";
        api.probe = {{9, 0},
                     {1, COMM_ERROR_ACCESS_DENIED},
                     {4, COMM_ERROR_SHARING_VIOLATION},
                     {6, COMM_ERROR_GEN_FAILURE},
                     {7, COMM_ERROR_FILE_NOT_FOUND},
                     {128, 0}};
        api.configured = {4, 2, 9, 128, 129};
        EnumerateComPorts(&api);
        std::vector<DWORD> got(AvailableComPorts.GetData(),
                               AvailableComPorts.GetData() + AvailableComPorts.GetSize());
        EXPECT_EQ(got, (std::vector<DWORD>{1, 2, 4, 6, 9, 128}));

        // The order of the sources: the device names, then 128 probes, then
        // 128 configuration look-ups; the probe opens without overlapped I/O.
        std::vector<std::string> calls = api.Calls();
        size_t i = 0;
        EXPECT_EQ(calls[i++], "IsNtPlatform");
        if (nt)
            EXPECT_EQ(calls[i++], "QueryDosDeviceA");
        else
            EXPECT_EQ(calls[i++], "SetLastError 120");
        EXPECT_EQ(calls[i], "CreateFileA \\\\.\\COM1 sync");
        int probes = 0, configs = 0;
        bool configSeen = false, probeAfterConfig = false;
        for (; i < calls.size(); ++i) {
            if (calls[i].rfind("CreateFileA", 0) == 0) {
                ++probes;
                probeAfterConfig |= configSeen;
            }
            if (calls[i].rfind("GetDefaultCommConfigA", 0) == 0) {
                ++configs;
                configSeen = true;
            }
        }
        EXPECT_EQ(probes, 128);
        EXPECT_EQ(configs, 128);
        EXPECT_FALSE(probeAfterConfig);
        EXPECT_EQ(calls.back(), "GetDefaultCommConfigA COM128");
        EXPECT_EQ(api.OpenHandles(), 0) << "every probed port is closed again";
    }
}

TEST(ComPortList, NativeBuildHasNoPorts)
{
    AvailableComPorts.Add(3);
    EnumerateComPorts();
    EXPECT_EQ(AvailableComPorts.GetSize(), 0);
    CCommPort port;
    EXPECT_FALSE(port.Open(5, 9600, 0, 8, 0));
}

}  // namespace
