// The serial port on the pty-backed ports of the test rig (com5 and com12),
// and the raw log's sharing with a replay, under Wine.
//
// What the rig's ports can show: a pseudo-terminal keeps the baud rate, the
// stop bits and the DTR/RTS/flow-control flags Wine hands it, but the kernel
// forces 8 data bits without parity on every pty, and Wine sets only the
// rates termios knows (14400 and 28800 are accepted but read back as 38400).
// Those are not checked here.
#include <gtest/gtest.h>

#include "win32/monitor/RxsimClient.h"
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/CFile.h"
#include "link/CCommPort.h"
#include "link/CPlaybackChannel.h"
#include "link/CRawLogger.h"
#include "link/StopEvent.h"

namespace {

// The real calls, with the device names recorded and a signal when the
// stop-aware wait begins, so a test can stop a read that is truly blocked.
class WatchedCommApi : public ICommApi {
public:
    WatchedCommApi() : m_real(GetSystemCommApi()), m_waiting(::CreateEventA(NULL, TRUE, FALSE, NULL)) {}
    ~WatchedCommApi() override { ::CloseHandle(m_waiting); }

    std::vector<std::string> names;
    HANDLE Waiting() const { return m_waiting; }

    CommHandle CreateFileA(const char* name, bool overlapped) override
    {
        names.push_back(name);
        return m_real.CreateFileA(name, overlapped);
    }
    bool CloseHandle(CommHandle h) override { return m_real.CloseHandle(h); }
    CommHandle CreateEventA() override { return m_real.CreateEventA(); }
    bool SetEvent(CommHandle e) override { return m_real.SetEvent(e); }
    bool SetupComm(CommHandle p, uint32_t i, uint32_t o) override { return m_real.SetupComm(p, i, o); }
    bool PurgeComm(CommHandle p, uint32_t f) override { return m_real.PurgeComm(p, f); }
    bool GetCommState(CommHandle p, CommDcb& d) override { return m_real.GetCommState(p, d); }
    bool SetCommState(CommHandle p, const CommDcb& d) override { return m_real.SetCommState(p, d); }
    bool SetCommTimeouts(CommHandle p, const CommTimeouts& t) override { return m_real.SetCommTimeouts(p, t); }
    bool ReadFile(CommHandle p, void* b, uint32_t l, uint32_t* d, CommOverlapped& o) override
    {
        return m_real.ReadFile(p, b, l, d, o);
    }
    bool WriteFile(CommHandle p, const void* b, uint32_t l, uint32_t* d, CommOverlapped& o) override
    {
        return m_real.WriteFile(p, b, l, d, o);
    }
    bool GetOverlappedResult(CommHandle p, CommOverlapped& o, uint32_t* d, bool w) override
    {
        return m_real.GetOverlappedResult(p, o, d, w);
    }
    bool CancelIo(CommHandle p) override
    {
        cancels++;
        return m_real.CancelIo(p);
    }
    uint32_t WaitForSingleObject(CommHandle h, uint32_t ms) override { return m_real.WaitForSingleObject(h, ms); }
    uint32_t WaitForIoOrStop(CommHandle io, const CStopEvent& stop) override
    {
        ::SetEvent(m_waiting);
        uint32_t w = m_real.WaitForIoOrStop(io, stop);
        if (w != COMM_WAIT_OBJECT_0) waitsNotEndedByIo++;
        return w;
    }
    uint32_t GetLastError() override { return m_real.GetLastError(); }
    void SetLastError(uint32_t e) override { m_real.SetLastError(e); }
    void Sleep(uint32_t ms) override { m_real.Sleep(ms); }
    bool IsNtPlatform() override { return m_real.IsNtPlatform(); }
    uint32_t QueryDosDeviceA(char* b, uint32_t s) override { return m_real.QueryDosDeviceA(b, s); }
    bool GetDefaultCommConfigA(const char* n) override { return m_real.GetDefaultCommConfigA(n); }

    std::atomic<int> cancels{0};
    std::atomic<int> waitsNotEndedByIo{0};

private:
    ICommApi& m_real;
    HANDLE m_waiting;
};

// One command to the simulated receiver on the far end of a port; its reply
// line, or "" when no simulator runs there.
std::string Rxsim(int comPort, const std::string& command)
{
    RxsimClient sim(comPort);
    return sim.Command(command);
}

std::string HexOnly(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (isxdigit((unsigned char)c)) out += (char)toupper((unsigned char)c);
    return out;
}

TEST(CCommPortWin, PortListHoldsTheRigPorts)
{
    EnumerateComPorts();
    std::vector<DWORD> ports(AvailableComPorts.GetData(), AvailableComPorts.GetData() + AvailableComPorts.GetSize());
    EXPECT_NE(std::find(ports.begin(), ports.end(), 5u), ports.end())
        << "Wine lists a COM port by name only when it is registered under HKLM\\Software\\Wine\\Ports";
    EXPECT_NE(std::find(ports.begin(), ports.end(), 12u), ports.end());
    EXPECT_TRUE(std::is_sorted(ports.begin(), ports.end()));
    EXPECT_EQ(std::adjacent_find(ports.begin(), ports.end()), ports.end());
}

TEST(CCommPortWin, OpensByTheRightDeviceName)
{
    const std::pair<uint32_t, const char*> cases[] = {{12, "\\\\.\\COM12"}, {5, "COM5"}, {261, "COM5"}};
    for (const auto& c : cases) {
        WatchedCommApi api;
        CCommPort port(nullptr, &api);
        ASSERT_TRUE(port.Open(c.first, 9600, 0, 8, 0)) << c.first;
        ASSERT_EQ(api.names.size(), 1u);
        EXPECT_EQ(api.names[0], c.second);
        EXPECT_TRUE(port.Close());
    }
    CCommPort absent;
    EXPECT_FALSE(absent.Open(77, 9600, 0, 8, 0));
    EXPECT_FALSE(absent.IsOpen());
    EXPECT_EQ(absent.GetPortNumber(), 0u);
}

TEST(CCommPortWin, DriverStateAfterOpen)
{
    struct Case {
        uint32_t baud;
        BYTE parity, dataBits, stopBits;
    };
    const Case cases[] = {
        {1200, 0, 8, 0}, {2400, 1, 8, 2}, {4800, 2, 7, 0}, {9600, 0, 8, 0},
        {19200, 1, 8, 2}, {38400, 0, 8, 0}, {57600, 2, 8, 2}, {115200, 0, 8, 0},
    };
    CCommPort port;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        ASSERT_TRUE(port.Open(5, c.baud, c.parity, c.dataBits, c.stopBits));
        CommDcb dcb;
        ASSERT_TRUE(GetSystemCommApi().GetCommState(port.GetHandle(), dcb));
        EXPECT_EQ(dcb.baudRate, c.baud);
        EXPECT_EQ(dcb.stopBits, c.stopBits);
        EXPECT_TRUE(dcb.binary);
        EXPECT_FALSE(dcb.outxCtsFlow);
        EXPECT_FALSE(dcb.outxDsrFlow);
        EXPECT_EQ(dcb.dtrControl, COMM_DTR_CONTROL_ENABLE);
        EXPECT_EQ(dcb.rtsControl, COMM_RTS_CONTROL_ENABLE);
        EXPECT_FALSE(dcb.outX);
        EXPECT_FALSE(dcb.inX);
        EXPECT_FALSE(dcb.nullStrip);
        EXPECT_FALSE(dcb.errorCharOn);
        EXPECT_FALSE(dcb.abortOnError);
        COMMTIMEOUTS t;
        ASSERT_TRUE(::GetCommTimeouts(port.GetHandle(), &t));
        EXPECT_EQ(t.ReadIntervalTimeout + t.ReadTotalTimeoutMultiplier + t.ReadTotalTimeoutConstant +
                      t.WriteTotalTimeoutMultiplier + t.WriteTotalTimeoutConstant,
                  0u);
    }
    EXPECT_TRUE(port.Close());
}

// The whole stop design stands on this: a read pending on the pty is
// cancelled by the thread that issued it, and the cancel completes.
TEST(CCommPortWin, CancelIoEndsAPendingReadOnThePty)
{
    HANDLE h = ::CreateFileA("\\\\.\\COM12", GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS none = {};
    ASSERT_TRUE(::SetCommTimeouts(h, &none));
    ::PurgeComm(h, PURGE_RXCLEAR);
    OVERLAPPED ov = {};
    ov.hEvent = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    BYTE b;
    DWORD n = 0;
    BOOL ok = ::ReadFile(h, &b, 1, &n, &ov);
    if (!ok) {
        ASSERT_EQ(::GetLastError(), (DWORD)ERROR_IO_PENDING);
        EXPECT_TRUE(::CancelIo(h));
        ok = ::GetOverlappedResult(h, &ov, &n, TRUE);
        EXPECT_FALSE(ok);
        EXPECT_EQ(::GetLastError(), (DWORD)ERROR_OPERATION_ABORTED);
    }
    ::CloseHandle(ov.hEvent);
    ::CloseHandle(h);
}

TEST(CCommPortWin, StopEndsABlockedRead)
{
    Rxsim(5, "silent purge");
    WatchedCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 115200, 0, 8, 0));
    for (int round = 0; round < 5; ++round) {
        CStopEvent stop;
        ::ResetEvent(api.Waiting());
        int result = 0;
        std::thread reader([&] {
            BYTE b;
            result = port.ReadUntilStopped(&b, 1, stop);
        });
        // Stop only once the read is really waiting in the driver.
        ASSERT_EQ(::WaitForSingleObject(api.Waiting(), INFINITE), WAIT_OBJECT_0);
        stop.Set();
        reader.join();
        EXPECT_EQ(result, -1);
    }
    EXPECT_EQ(api.cancels.load(), 5);
    // The cancel has completed: the port closes and opens again at once.
    EXPECT_TRUE(port.Close());
    ASSERT_TRUE(port.Open(5, 115200, 0, 8, 0));
    EXPECT_TRUE(port.Close());
}

TEST(CCommPortWin, BytesFromTheReceiverArriveAndCommandsReachIt)
{
    if (Rxsim(5, "ping").rfind("ok", 0) != 0) GTEST_SKIP() << "no simulated receiver on COM5";
    Rxsim(5, "silent purge");
    CCommPort port;
    ASSERT_TRUE(port.Open(5, 115200, 0, 8, 0));
    Rxsim(5, "received");  // forget what earlier tests sent

    ASSERT_EQ(Rxsim(5, "send A55A0D").rfind("ok", 0), 0u);
    CStopEvent stop;
    std::string got;
    while (got.size() < 3) {
        BYTE b;
        int n = port.ReadUntilStopped(&b, 1, stop);
        ASSERT_GT(n, 0);
        got += (char)b;
    }
    EXPECT_EQ(got, "\xA5\x5A\x0D");

    CByteArray cmd;
    for (BYTE b : {0x10, 0x26, 0x10, 0x03}) cmd.Add(b);
    EXPECT_EQ(port.WriteByteArray(cmd), 4);
    std::string seen;
    for (int i = 0; i < 250 && seen.size() < 8; ++i) {
        std::string r = Rxsim(5, "received");
        ASSERT_EQ(r.rfind("ok", 0), 0u) << r;
        seen += HexOnly(r.substr(2));
        if (seen.size() < 8) ::Sleep(20);
    }
    EXPECT_EQ(seen, "10261003");
    EXPECT_TRUE(port.Close());
}

// A hung-up line: every read fails by itself (it never blocks, so the reader
// must pause between reads), and the pty does not come back under the open
// handle: the port works again after a close and a new open.
TEST(CCommPortWin, HungUpLineFailsEveryReadUntilReopened)
{
    if (Rxsim(5, "ping").rfind("ok", 0) != 0) GTEST_SKIP() << "no simulated receiver on COM5";
    Rxsim(5, "silent purge");
    WatchedCommApi api;
    CCommPort port(nullptr, &api);
    ASSERT_TRUE(port.Open(5, 115200, 0, 8, 0));
    ASSERT_EQ(Rxsim(5, "drop 60"), "ok hangup");

    // Only a guard against a hang: the stop is not what ends these reads.
    CStopEvent stop;
    std::atomic<bool> done{false};
    std::thread guard([&] {
        for (int i = 0; i < 300 && !done.load(); ++i) ::Sleep(100);
        stop.Set();
    });
    int failed = 0;
    for (int i = 0; i < 20; ++i) {
        BYTE b;
        if (port.ReadUntilStopped(&b, 1, stop) <= 0) ++failed;
    }
    done.store(true);
    guard.join();
    EXPECT_EQ(failed, 20);
    EXPECT_EQ(api.waitsNotEndedByIo.load(), 0) << "every read ended by itself";

    ASSERT_EQ(Rxsim(5, "restore"), "ok");
    EXPECT_TRUE(port.Close());
    ASSERT_TRUE(port.Open(5, 115200, 0, 8, 0));
    ASSERT_EQ(Rxsim(5, "send A6").rfind("ok", 0), 0u);
    CStopEvent never;
    bool seen = false;
    for (int i = 0; i < 16 && !seen; ++i) {
        BYTE b = 0;
        ASSERT_GT(port.ReadUntilStopped(&b, 1, never), 0);
        seen = b == 0xA6;
    }
    EXPECT_TRUE(seen);
    EXPECT_TRUE(port.Close());
}

TEST(CCommPortWin, LoggedFileRefusesASecondWriterButReplays)
{
    char dir[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, dir), 0u);
    std::string name = std::string(dir) + "chan_share_test.qbl";
    ::DeleteFileA(name.c_str());

    CRawLogger logger;
    RawLogSettings s;
    s.fileName = name.c_str();
    {
        CRawLoggerServicer reader(&logger);
        logger.Configure(RAWLOG_REQUEST_START, &s);
        for (char c : std::string("$GPGGA,1*00\r\n")) {
            logger.Service();
            logger.LogByte((BYTE)c);
        }
    }
    ASSERT_TRUE(logger.IsLogging());

    CFile second;
    CFileException ex;
    EXPECT_FALSE(second.Open(name.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::modeNoTruncate |
                                               CFile::shareDenyNone | CFile::typeBinary, &ex));
    EXPECT_EQ(ex.m_cause, CFileException::sharingViolation);

    CPlaybackChannel replay;
    PlaybackSettings ps;
    ps.fileName = name.c_str();
    ASSERT_TRUE(replay.Open(ps));
    std::string got;
    BYTE b;
    while (replay.Read(&b, 1, -1) == 1) got += (char)b;
    EXPECT_EQ(got, "$GPGGA,1*00\r\n");
    EXPECT_TRUE(replay.Close());

    // No reader is left, so the stop is applied at once and the file is free.
    logger.Configure(RAWLOG_REQUEST_STOP_CLOSING, nullptr);
    EXPECT_FALSE(logger.IsLogging());
    EXPECT_TRUE(second.Open(name.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::modeNoTruncate |
                                              CFile::shareDenyWrite | CFile::typeBinary));
    second.Close();
    EXPECT_TRUE(::DeleteFileA(name.c_str()));
}

}  // namespace
