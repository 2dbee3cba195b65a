// The main window's link modes against a scripted link: a serial port whose
// answers are written in the test, and a real replay of a small file. The
// window is built from a template holding only the fields the link modes
// touch; the reader thread and the listener messages are the real ones, so
// disconnecting while the reader is sending its events is exercised as it
// happens in the program.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BatchQuery.h"
#include "app/CMainWndDlg.h"
#include "framework/afx.h"
#include "link/CPlaybackChannel.h"
#include "win32/monitor/RxsimClient.h"
#include "win32/monitor/app/TestFiles.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A serial port that answers the n-th write with the n-th scripted reply
// and, once a reader reads without a time-out, streams `stream` for ever.
// A read with a time-out and nothing to give fails at once, so a receiver
// that stays silent costs the test no waiting.
class ScriptedSerial : public CChannel {
public:
    ScriptedSerial(std::vector<std::string> replies, std::string stream, std::string* written,
                   std::vector<DWORD>* writers = nullptr)
        : m_replies(std::move(replies)), m_stream(std::move(stream)), m_written(written), m_writers(writers)
    {
    }

    int Read(BYTE* buf, uint16_t len, int32_t timeoutMs) override
    {
        if (!m_pending.empty()) {
            const size_t n = std::min<size_t>(len, m_pending.size());
            memcpy(buf, m_pending.data(), n);
            m_pending.erase(0, n);
            return static_cast<int>(n);
        }
        if (timeoutMs >= 0) return -1;
        if (m_stream.empty() || len == 0) {
            ::Sleep(2);
            return 0;
        }
        buf[0] = static_cast<BYTE>(m_stream[m_at]);
        m_at = (m_at + 1) % m_stream.size();
        // One frame at a time: a live port is not a fire hose.
        if (m_at == 0) ::Sleep(1);
        return 1;
    }

    int Write(const BYTE* buf, uint16_t len, int32_t) override
    {
        m_written->append(reinterpret_cast<const char*>(buf), len);
        if (m_writers != nullptr) m_writers->push_back(::GetCurrentThreadId());
        if (m_writes < m_replies.size()) m_pending += m_replies[m_writes];
        ++m_writes;
        return len;
    }

    bool Close() override { return true; }
    int GetType() override { return CHANNEL_TYPE_SERIAL; }

private:
    std::vector<std::string> m_replies;
    std::string m_stream;
    std::string* m_written;
    std::vector<DWORD>* m_writers;
    std::string m_pending;
    size_t m_writes = 0;
    size_t m_at = 0;
};

// A replay whose reader never sees the first `skipTo` bytes (the zeros of a
// sparse file, which the recogniser would drop anyway) and that holds the
// reader before byte `holdAt` until the link stops. The window's progress
// then stands at a known read count however fast the reader is.
class HeldPlayback : public CPlaybackChannel {
public:
    HeldPlayback(uint32_t skipTo, uint32_t holdAt) : m_skipTo(skipTo), m_holdAt(holdAt) {}

    // The reader looks at a replay block by block: skip to m_skipTo, then
    // hand out blocks that end at m_holdAt and hold there.
    int Peek(const BYTE** bytes, uint32_t len, const CStopEvent& stop) override
    {
        while (GetReadCount() < m_skipTo) {
            const int n = CPlaybackChannel::Peek(bytes, m_skipTo - GetReadCount(), stop);
            if (n <= 0) return n;
            Take(static_cast<uint32_t>(n));
        }
        if (GetReadCount() >= m_holdAt) {
            // Bounded, so a test that never stops the link ends its replay
            // rather than hanging the run.
            stop.Wait(30000);
            return -1;
        }
        return CPlaybackChannel::Peek(bytes, std::min<uint32_t>(len, m_holdAt - GetReadCount()), stop);
    }

private:
    uint32_t m_skipTo;
    uint32_t m_holdAt;
};

class ScriptedFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings& settings) override
    {
        openedPort = settings.portNumber;
        if (refuseSerial) return nullptr;
        return new ScriptedSerial(replies, stream, &written, &writers);
    }
    CChannel* OpenPlayback(const PlaybackSettings& settings) override
    {
        CPlaybackChannel* channel = holdAt != 0 ? new HeldPlayback(skipTo, holdAt) : new CPlaybackChannel();
        if (!channel->Open(settings)) {
            delete channel;
            return nullptr;
        }
        return channel;
    }

    bool refuseSerial = false;
    std::vector<std::string> replies;
    std::string stream;
    std::string written;
    std::vector<DWORD> writers;   // the thread of each write
    uint32_t openedPort = 0;
    // Replays: a HeldPlayback when holdAt is set.
    uint32_t skipTo = 0;
    uint32_t holdAt = 0;
};

// A health report of a receiver doing position fixes.
const char kHealthFrame[] = "\x10\x46\x00\x00\x10\x03";

class MainWndLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tmpl = DialogTemplate("Link", WS_POPUP | WS_CAPTION, 300, 200);
        const UINT statics[] = {IDC_PERCENT, IDC_ALMANAC, IDC_ALMANAC_LABEL, IDC_ANTENNA};
        short y = 2;
        for (UINT id : statics) {
            m_tmpl.Item(DialogTemplate::Static, static_cast<WORD>(id), SS_LEFT, "", 2, y, 90, 8);
            y = static_cast<short>(y + 10);
        }
        // Not written to the profile when it goes.
        dlg.SetCommandLineFlag(true);
        ASSERT_TRUE(dlg.CreateFromTemplate(m_tmpl));
        ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 100, 2, 100, 10, dlg.GetSafeHwnd(),
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_PROGRESS)), ::GetModuleHandleA(nullptr),
                          nullptr);
        dlg.m_initialised = true;
        dlg.m_port = 5;
        dlg.m_link.SetLinkFactory(&factory);
    }

    void TearDown() override
    {
        dlg.EnterIdleMode(0);
        dlg.m_link.SetLinkFactory(nullptr);
        if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
        PumpPending();
        if (!m_file.empty()) ::DeleteFileA(m_file.c_str());
        for (const std::string& file : m_files) ::DeleteFileA(file.c_str());
    }

    // A new file in the temporary folder, removed when the test ends.
    std::string NewTempFile(const char* prefix)
    {
        char dir[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, dir);
        char name[MAX_PATH] = {};
        ::GetTempFileNameA(dir, prefix, 0, name);
        m_files.push_back(name);
        return name;
    }

    std::string MakeBatch(const std::string& text)
    {
        const std::string name = NewTempFile("vmb");
        FILE* f = std::fopen(name.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return name;
    }

    // A recording of `size` bytes that holds nothing but one health report
    // ending at `frameEnd`: the rest is a hole, so even a large file costs
    // the disk nothing.
    std::string MakeSparseLog(uint32_t size, uint32_t frameEnd)
    {
        const std::string name = NewTempFile("vms");
        HANDLE h = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return name;
        ::SetFilePointer(h, static_cast<LONG>(size), nullptr, FILE_BEGIN);
        ::SetEndOfFile(h);
        const DWORD frameLength = sizeof kHealthFrame - 1;
        ::SetFilePointer(h, static_cast<LONG>(frameEnd - frameLength), nullptr, FILE_BEGIN);
        DWORD put = 0;
        ::WriteFile(h, kHealthFrame, frameLength, &put, nullptr);
        ::CloseHandle(h);
        return name;
    }

    // Dispatches the thread's messages until the batch has ended and returns
    // what each tick of the batch timer wrote to the port. `afterFirstTick`
    // runs once, right after the first of them.
    std::vector<std::string> RunBatchTicks(const std::function<void()>& afterFirstTick = nullptr)
    {
        std::vector<std::string> ticks;
        const DWORD start = ::GetTickCount();
        while (dlg.m_batch && dlg.m_batch->IsRunning() && ::GetTickCount() - start < 5000) {
            MSG msg;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::Sleep(1);
                continue;
            }
            const bool batchTick =
                msg.message == WM_TIMER && msg.hwnd == dlg.GetSafeHwnd() && msg.wParam == MWT_BATCH;
            const size_t before = factory.written.size();
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            if (!batchTick) continue;
            ticks.push_back(factory.written.substr(before));
            if (ticks.size() == 1 && afterFirstTick) afterFirstTick();
        }
        return ticks;
    }

    // The message pane without the blank SetStatusText puts in front.
    std::string StatusText()
    {
        CStatusBarEx& bar = dlg.GetStatusBar();
        std::string text = static_cast<const char*>(bar.GetPaneText(bar.CommandToIndex(ID_PANE_MESSAGE)));
        while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.erase(0, 1);
        return text;
    }

    std::string Text(UINT id)
    {
        char buf[128] = {};
        ::GetDlgItemTextA(dlg.GetSafeHwnd(), static_cast<int>(id), buf, sizeof buf);
        return buf;
    }

    // Lets the reader's events arrive until `done` holds; bounded, so a
    // link that never delivers fails the check after it instead of hanging.
    template <class Pred>
    void PumpUntil(Pred done)
    {
        const DWORD start = ::GetTickCount();
        while (!done() && ::GetTickCount() - start < 5000) {
            PumpPending();
            ::Sleep(1);
        }
        PumpPending();
    }

    std::string MakeLog(size_t bytes)
    {
        char dir[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, dir);
        char name[MAX_PATH] = {};
        ::GetTempFileNameA(dir, "vml", 0, name);
        m_file = name;
        FILE* f = std::fopen(name, "wb");
        std::string data;
        while (data.size() < bytes) data.append(kHealthFrame, sizeof kHealthFrame - 1);
        data.resize(bytes);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        return m_file;
    }

    DialogTemplate m_tmpl{"", 0, 0, 0};
    TestMainWnd dlg;
    ScriptedFactory factory;
    std::string m_file;
    std::vector<std::string> m_files;
};

// How a connect ends, for a port that cannot be opened and for the tracker
// handshake's answers.
TEST_F(MainWndLinkTest, ConnectEndsInMonitorOrReportsWhyNot)
{
    struct Case {
        const char* name;
        bool refuseSerial;
        int32_t trackerMode;
        int32_t antenna;
        std::vector<std::string> replies;
        bool connected;
        const char* status;        // after the attempt; nullptr: not checked
        const char* sentPrefix;    // what went to the port first
    };
    const Case cases[] = {
        {"port refused", true, 0, 0, {}, false, "Can't initialize COM port!", ""},
        {"plain receiver", false, 0, 0, {}, true, nullptr, ""},
        {"tracker mode, no answer", false, 1, 0, {}, true, nullptr, "AT\r\n"},
        {"tracker mode, a receiver answers ERROR", false, 1, 0, {"ERROR\r"}, true, nullptr, "AT\r\n"},
        {"tracker switched", false, 1, 1, {"\r\nOK\r\n", "0123456789"}, true, nullptr, "AT\r\nat+ctkt=70,2\r\n"},
        {"tracker does not switch", false, 1, 2, {"OK", "0123"}, false, "Failed to connect to a Roamfob device!",
         "AT\r\nat+ctkt=70,1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        factory.refuseSerial = c.refuseSerial;
        factory.replies = c.replies;
        factory.written.clear();
        dlg.m_trackerMode = c.trackerMode;
        dlg.m_trackerAntenna = c.antenna;
        dlg.m_commandProtocol = PROTO_QBIN;

        EXPECT_EQ(c.connected, dlg.EnterMonitorMode());
        EXPECT_EQ(5u, factory.openedPort);
        EXPECT_EQ(c.connected ? LINK_MONITOR : LINK_IDLE, dlg.GetLinkMode());
        EXPECT_EQ(c.connected, dlg.m_link.IsConnected());
        // A failed connect leaves nothing registered or open behind.
        EXPECT_EQ(c.connected ? 1 : 0, dlg.m_link.GetListenerCount());
        if (c.connected) {
            EXPECT_TRUE(dlg.m_link.GetProtocol().IsStarted());
        }
        if (c.status != nullptr) {
            EXPECT_EQ(c.status, StatusText());
        }
        EXPECT_EQ(0u, factory.written.compare(0, strlen(c.sentPrefix), c.sentPrefix)) << factory.written;

        dlg.EnterIdleMode(0);
        EXPECT_EQ(LINK_IDLE, dlg.GetLinkMode());
        EXPECT_FALSE(dlg.m_link.IsConnected());
        EXPECT_EQ(0, dlg.m_link.GetListenerCount());
    }
}

// IDLE -> IDLE changes nothing; a second connect while connected is refused.
TEST_F(MainWndLinkTest, ModeChangesOnlyFromTheRightMode)
{
    dlg.SetStatusText("kept");
    dlg.EnterIdleMode(0);
    dlg.EnterIdleMode(1);
    dlg.EnterIdleMode(7);
    EXPECT_EQ(LINK_IDLE, dlg.GetLinkMode());
    EXPECT_EQ("kept", StatusText());

    ASSERT_TRUE(dlg.EnterMonitorMode());
    EXPECT_FALSE(dlg.EnterMonitorMode());
    EXPECT_EQ(LINK_MONITOR, dlg.GetLinkMode());
    dlg.EnterIdleMode(0);
    EXPECT_EQ("", StatusText());
}

// A replay: FILE with its progress bar counting kilobytes, and stopping it
// is StartPlayback(false).
TEST_F(MainWndLinkTest, PlaybackStartsAndStops)
{
    dlg.m_playback.fileName = MakeLog(5000).c_str();
    dlg.m_playback.speed = 1;

    ASSERT_TRUE(dlg.StartPlayback(true, true));
    EXPECT_EQ(LINK_FILE, dlg.GetLinkMode());
    EXPECT_EQ(1, dlg.m_link.GetListenerCount());
    PBRANGE range = {};
    ::SendDlgItemMessageA(dlg.GetSafeHwnd(), IDC_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.iLow);
    EXPECT_EQ(4, range.iHigh);   // 5000 / 1024
    EXPECT_EQ("0%", Text(IDC_PERCENT));
    EXPECT_EQ("Progress", Text(IDC_ALMANAC_LABEL));
    CPlaybackChannel* channel = dynamic_cast<CPlaybackChannel*>(dlg.m_link.GetChannel());
    ASSERT_NE(nullptr, channel);
    EXPECT_TRUE(channel->IsPassRawData());

    EXPECT_TRUE(dlg.StartPlayback(false, false));
    EXPECT_EQ(LINK_IDLE, dlg.GetLinkMode());
    EXPECT_FALSE(dlg.m_link.IsConnected());
    EXPECT_EQ("Playback finished.", StatusText());
    // Stopping while idle is no error either.
    EXPECT_TRUE(dlg.StartPlayback(false, false));
}

// Disconnecting while the reader is sending its raw-frame events to this
// window must neither deadlock nor leave a reader behind.
TEST_F(MainWndLinkTest, DisconnectWhileTheReaderSendsEvents)
{
    factory.stream.assign(kHealthFrame, sizeof kHealthFrame - 1);
    dlg.m_commandProtocol = PROTO_QBIN;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(dlg.EnterMonitorMode());
        // The first frame's raw event names its protocol.
        PumpUntil([&] { return dlg.m_detectedProtocol == PROTO_QBIN; });
        EXPECT_EQ(PROTO_QBIN, dlg.m_detectedProtocol);
        dlg.EnterIdleMode(0);
        EXPECT_EQ(LINK_IDLE, dlg.GetLinkMode());
        EXPECT_FALSE(dlg.m_link.GetProtocol().HasReaderThread());
        EXPECT_EQ(0, dlg.m_link.GetListenerCount());
    }
}

// The replay's progress bar counts kilobytes in a 32-bit range and the
// percentage is worked out in 64 bits: a recording of tens of megabytes gets
// its whole range, not one cut to 16 bits, and a large file read far along
// shows its true percentage.
TEST_F(MainWndLinkTest, ProgressOfLargeRecordings)
{
    const struct {
        uint32_t size;
        uint32_t read;
        int range;
        int position;
        const char* percent;
    } cases[] = {
        {40000000u, 30000000u, 39062, 29296, "75%"},
        {100000000u, 99000000u, 97656, 96679, "99%"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        factory.skipTo = c.read - (sizeof kHealthFrame - 1);
        factory.holdAt = c.read;
        dlg.m_playback.fileName = MakeSparseLog(c.size, c.read).c_str();
        dlg.m_playback.speed = 1000;
        ASSERT_TRUE(dlg.StartPlayback(true, false));
        PBRANGE range = {};
        ::SendDlgItemMessageA(dlg.GetSafeHwnd(), IDC_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(c.range, range.iHigh);

        // The report at the read count moves the bar.
        PumpUntil([&] { return Text(IDC_PERCENT) == c.percent; });
        EXPECT_EQ(c.percent, Text(IDC_PERCENT));
        range = PBRANGE();
        ::SendDlgItemMessageA(dlg.GetSafeHwnd(), IDC_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(0, range.iLow);
        EXPECT_EQ(c.range, range.iHigh);
        EXPECT_EQ(c.position, static_cast<int>(::SendDlgItemMessageA(dlg.GetSafeHwnd(), IDC_PROGRESS, PBM_GETPOS, 0, 0)));
        EXPECT_TRUE(dlg.StartPlayback(false, false));
    }
}

// A batch runs on the window's own timer: each tick handles one line, and its
// command goes to the receiver from the GUI thread in the batch's protocol.
// While a batch runs a new request is refused and the running batch goes on
// reading its file; once it has ended the next one starts.
TEST_F(MainWndLinkTest, BatchQuerySendsOneLinePerTick)
{
    dlg.m_commandProtocol = PROTO_NMEA;
    dlg.m_autoQuery.enabled = 0;
    ASSERT_TRUE(dlg.EnterMonitorMode());
    const std::string firstText =
        "!qzwprotcmd\r\n"
        "; save the settings, then ask for the hardware version\r\n"
        "QBIN 30\r\n"
        "8E 26\r\n"
        "\r\n"
        "wait 20\r\n"
        "   ; indented comment\r\n"
        "1C 03\r\n";
    const std::string first = MakeBatch(firstText);
    const std::string second = MakeBatch("!QZWPROTCMD\r\nqbin 30\r\n35\r\n");
    factory.written.clear();
    factory.writers.clear();

    ASSERT_TRUE(dlg.RunBatchQuery(first.c_str(), &dlg));
    EXPECT_EQ(PROTO_QBIN, dlg.m_commandProtocol);
    EXPECT_EQ(PROTO_QBIN, dlg.m_link.GetProtocol().GetProtocol());
    // The first line waits for the first tick.
    const std::string saveSettings("\x10\x8E\x26\x10\x03", 5);
    EXPECT_EQ(std::string::npos, factory.written.find(saveSettings));

    bool refusedOther = true, refusedSame = true;
    const std::vector<std::string> ticks = RunBatchTicks([&] {
        refusedOther = !dlg.RunBatchQuery(second.c_str(), &dlg);
        refusedSame = !dlg.RunBatchQuery(first.c_str(), &dlg);
    });
    EXPECT_TRUE(refusedOther);
    EXPECT_TRUE(refusedSame);
    const std::vector<std::string> expected = {saveSettings, "", std::string("\x10\x1C\x03\x10\x03", 5), ""};
    EXPECT_EQ(expected, ticks);
    EXPECT_FALSE(dlg.m_batch->IsRunning());
    EXPECT_EQ(firstText, ReadFileText(first));
    for (DWORD writer : factory.writers) EXPECT_EQ(::GetCurrentThreadId(), writer);
    EXPECT_EQ(CString(kBatchFinishedText), dlg.m_balloon.text);

    ASSERT_TRUE(dlg.RunBatchQuery(second.c_str(), &dlg));
    const std::vector<std::string> secondTicks = RunBatchTicks();
    EXPECT_EQ((std::vector<std::string>{std::string("\x10\x35\x10\x03", 4), ""}), secondTicks);

    // Going IDLE ends a running batch with its link, and a later batch may start.
    ASSERT_TRUE(dlg.RunBatchQuery(second.c_str(), &dlg));
    dlg.EnterIdleMode(0);
    EXPECT_FALSE(dlg.m_batch->IsRunning());
    ASSERT_TRUE(dlg.EnterMonitorMode());
    EXPECT_TRUE(dlg.RunBatchQuery(second.c_str(), &dlg));
}

// A file that is not a runnable batch starts nothing: no protocol change,
// nothing sent, no timer.
TEST_F(MainWndLinkTest, BatchQueryRefusesFilesThatCannotRun)
{
    dlg.m_commandProtocol = PROTO_NMEA;
    dlg.m_autoQuery.enabled = 0;
    ASSERT_TRUE(dlg.EnterMonitorMode());
    const struct {
        const char* name;
        std::string text;  // empty: no such file
    } cases[] = {
        {"no pause", "!qzwprotcmd\r\nQBIN 0\r\n8E 26\r\n"},
        {"no batch marker", "qbin 30\r\n8E 26\r\n"},
        {"unknown protocol", "!qzwprotcmd\r\nXBIN 30\r\n8E 26\r\n"},
        {"no settings line", "!qzwprotcmd\r\n; nothing else\r\n"},
        {"missing file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = c.text.empty() ? NewTempFile("vmb") : MakeBatch(c.text);
        if (c.text.empty()) ::DeleteFileA(file.c_str());
        PumpPending();
        factory.written.clear();
        EXPECT_FALSE(dlg.RunBatchQuery(file.c_str(), &dlg));
        EXPECT_EQ(PROTO_NMEA, dlg.m_commandProtocol);
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 100) {
            PumpPending();
            ::Sleep(5);
        }
        EXPECT_EQ("", factory.written);
        EXPECT_FALSE(dlg.m_batch && dlg.m_batch->IsRunning());
    }
}

// On the simulated receiver: the real serial port, the start-up queries in
// their order, contact from the first reports, and the link pane.
TEST_F(MainWndLinkTest, ConnectsToTheSimulatedReceiver)
{
    RxsimClient sim(5);
    if (!sim.Available()) GTEST_SKIP() << "no simulated receiver on COM5";
    ASSERT_TRUE(sim.Ok("scenario load tools/rxsim/scenarios/qbin-fix.txt"));
    std::vector<std::string> queries;
    sim.Queries(queries);   // forget what came before
    queries.clear();

    dlg.m_link.SetLinkFactory(nullptr);
    dlg.m_port = 5;
    dlg.m_baud = 9600;
    dlg.m_parity = 0;
    dlg.m_stopBits = 0;
    dlg.m_dataBits = 8;
    dlg.m_commandProtocol = PROTO_QBIN;
    ASSERT_TRUE(dlg.EnterMonitorMode()) << StatusText();
    PumpUntil([&] { return dlg.m_receiverContact; });
    EXPECT_TRUE(dlg.m_receiverContact);
    EXPECT_EQ(PROTO_QBIN, dlg.m_detectedProtocol);

    // The simulator reports what reached it; collect until the last query came.
    PumpUntil([&] {
        std::vector<std::string> more;
        if (sim.Queries(more)) queries.insert(queries.end(), more.begin(), more.end());
        return std::find(queries.begin(), queries.end(), "8E15") != queries.end();
    });
    // I/O options, hardware, firmware first and the datum last, in this order.
    const char* order[] = {"35", "1C03", "1C02", "70", "8E15"};
    auto at = queries.begin();
    for (const char* q : order) {
        at = std::find(at, queries.end(), q);
        EXPECT_NE(queries.end(), at) << q << " missing or out of order";
        if (at == queries.end()) break;
    }

    CStatusBarEx& bar = dlg.GetStatusBar();
    std::string pane = static_cast<const char*>(bar.GetPaneText(bar.CommandToIndex(ID_PANE_LINK)));
    EXPECT_NE(std::string::npos, pane.find("COM 5: 9600-8-N-1")) << pane;

    dlg.EnterIdleMode(0);
    EXPECT_EQ(LINK_IDLE, dlg.GetLinkMode());
    EXPECT_FALSE(dlg.m_receiverContact);
    pane = static_cast<const char*>(bar.GetPaneText(bar.CommandToIndex(ID_PANE_LINK)));
    EXPECT_NE(std::string::npos, pane.find("IDLE")) << pane;
}

}  // namespace
