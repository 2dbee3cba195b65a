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
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "framework/afx.h"
#include "link/CPlaybackChannel.h"
#include "win32/monitor/RxsimClient.h"
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
    ScriptedSerial(std::vector<std::string> replies, std::string stream, std::string* written)
        : m_replies(std::move(replies)), m_stream(std::move(stream)), m_written(written)
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
    std::string m_pending;
    size_t m_writes = 0;
    size_t m_at = 0;
};

class ScriptedFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings& settings) override
    {
        openedPort = settings.portNumber;
        if (refuseSerial) return nullptr;
        return new ScriptedSerial(replies, stream, &written);
    }
    CChannel* OpenPlayback(const PlaybackSettings& settings) override
    {
        CPlaybackChannel* channel = new CPlaybackChannel();
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
    uint32_t openedPort = 0;
};

const UINT kIndicators[] = {ID_PANE_GENERAL, ID_PANE_MESSAGE, ID_PANE_PROTOCOL, ID_PANE_ELAPSED, ID_PANE_LINK};
const int kPaneWidths[] = {10, 0, 60, 60, 100};

class TestMainWnd : public CMainWndDlg {
public:
    BOOL OnInitDialog() override { return CModelessDialog::OnInitDialog(); }
    void PostNcDestroy() override {}
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
        ASSERT_TRUE(dlg.CreateModelessIndirect(m_tmpl.Get(), nullptr, kIndicators, 5, kPaneWidths, nullptr, 0, 0, 0,
                                               0, 0, 0, 0, 0));
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
        if (c.connected) EXPECT_TRUE(dlg.m_link.GetProtocol().IsStarted());
        if (c.status != nullptr) EXPECT_EQ(c.status, StatusText());
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
