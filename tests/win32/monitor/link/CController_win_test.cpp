// The link owner with real windows under Wine: the hidden windows, delivery
// by PostMessage and SendMessage, and replays that end or are cut short while
// listeners are busy. Every wait pumps this thread's messages and is bounded
// only so that a broken build fails instead of hanging.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "win32/monitor/RxsimClient.h"

#include "framework/CWnd.h"
#include "link/CController.h"
#include "link/CPlaybackChannel.h"

namespace {

template <class Pred>
bool PumpUntil(Pred done)
{
    for (int i = 0; i < 3000 && !done(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return done();
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class CListenerWnd : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> events;
    LRESULT result = 1;
    DWORD slowMs = 0;  // time spent on each sent raw frame

    bool Create()
    {
        return CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) != FALSE;
    }
    int Count(WPARAM event) const
    {
        int n = 0;
        for (const auto& e : events)
            if (e.first == event) ++n;
        return n;
    }

protected:
    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM lParam)
    {
        events.emplace_back(wParam, lParam);
        if (wParam == EV_RAW_FRAME && slowMs) Sleep(slowMs);
        return result;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListenerWnd, CWnd)
ON_MESSAGE(WM_RECEIVER_EVENT, &CListenerWnd::OnReceiverEvent)
END_MESSAGE_MAP()

// A channel that is always there and never reads, for links without a reader.
class IdleChannel : public CChannel {
public:
    int Read(BYTE*, uint16_t, int32_t) override { return -1; }
    int Write(const BYTE*, uint16_t len, int32_t) override { return len; }
    bool Close() override { return true; }
    int GetType() override { return CHANNEL_TYPE_SERIAL; }
};

class IdleFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings&) override { return new IdleChannel(); }
    CChannel* OpenPlayback(const PlaybackSettings&) override { return new IdleChannel(); }
};

std::string TempFile(const char* name, const std::string& contents)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(contents.data(), 1, contents.size(), f);
        fclose(f);
    }
    return path;
}

std::string NmeaLog(int repeats)
{
    std::string one = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    std::string all;
    for (int i = 0; i < repeats; ++i) all += one;
    return all;
}

TEST(CControllerWin, PostedAndSentEventsReachRealWindows)
{
    CListenerWnd first, second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    IdleFactory factory;
    CController controller;
    controller.SetLinkFactory(&factory);
    LinkPortSettings s;
    s.portNumber = 5;
    int32_t error = -1;
    ASSERT_TRUE(controller.OpenSerial(s, PROTO_NONE, &error));  // the anchor window is real
    controller.AddListener(first.GetSafeHwnd(), WM_RECEIVER_EVENT);
    controller.AddListener(second.GetSafeHwnd(), WM_RECEIVER_EVENT);

    EXPECT_TRUE(controller.NotifyListeners(EV_GPS_TIME, 0x1234, false));
    ASSERT_TRUE(PumpUntil([&] { return first.Count(EV_GPS_TIME) && second.Count(EV_GPS_TIME); }));
    EXPECT_EQ(first.events[0].second, 0x00051234);

    // Sent from another thread, as the reader does: it waits for both windows.
    bool result = false;
    std::thread reader([&] { result = controller.NotifyListeners(EV_RAW_FRAME, PROTO_QBIN, true); });
    ASSERT_TRUE(PumpUntil([&] { return second.Count(EV_RAW_FRAME) == 1; }));
    reader.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(first.events.back(), std::make_pair(WPARAM(EV_RAW_FRAME), LPARAM(0x00050003)));

    // A handler answering 0, or a window that is gone, fails the delivery.
    second.result = 0;
    std::thread again([&] { result = controller.NotifyListeners(EV_RAW_FRAME, PROTO_QBIN, true); });
    ASSERT_TRUE(PumpUntil([&] { return second.Count(EV_RAW_FRAME) == 2; }));
    again.join();
    EXPECT_FALSE(result);
    HWND gone = second.GetSafeHwnd();
    second.DestroyWindow();
    EXPECT_FALSE(controller.NotifyListeners(EV_HEALTH, 0, false));
    controller.RemoveListener(gone);
    controller.Disconnect();
    first.DestroyWindow();
}

TEST(CControllerWin, ModelAndControllerWindowsAreCreatedAndDestroyed)
{
    CModel model;
    EXPECT_TRUE(model.Attach(nullptr, nullptr));
    model.Detach();
    EXPECT_TRUE(model.Attach(nullptr, nullptr));  // and again after a detach
    model.Detach();
}

TEST(CControllerWin, ReplayEndsWithOneEndOfDataCarryingTheLinkId)
{
    std::string path = TempFile("ctl_replay.nmea", NmeaLog(20));
    CListenerWnd listener;
    ASSERT_TRUE(listener.Create());
    CController controller;
    controller.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    PlaybackSettings s;
    s.fileName = path.c_str();
    s.linkId = 0x1234;
    s.speed = 1000;
    int32_t error = -1;
    ASSERT_TRUE(controller.OpenPlayback(s, PROTO_NMEA, &error)) << error;
    ASSERT_TRUE(PumpUntil([&] { return listener.Count(EV_END_OF_DATA) == 1; }));
    controller.Disconnect();
    PumpPending();
    EXPECT_EQ(listener.Count(EV_END_OF_DATA), 1);
    ASSERT_FALSE(listener.events.empty());
    EXPECT_EQ(listener.events.back().first, WPARAM(EV_END_OF_DATA));
    EXPECT_GT(listener.Count(EV_FRAME_RECEIVED), 0);
    for (const auto& e : listener.events) EXPECT_EQ(static_cast<uint32_t>(e.second) >> 16, 0x1234u);
    listener.DestroyWindow();
    DeleteFileA(path.c_str());
}

TEST(CControllerWin, DisconnectWhileAListenerIsBusyWithSentFramesNeverDeadlocks)
{
    std::string path = TempFile("ctl_flood.nmea", NmeaLog(5000));
    CListenerWnd listener;
    ASSERT_TRUE(listener.Create());
    listener.slowMs = 1;
    CController controller;
    controller.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
    for (int cycle = 0; cycle < 100; ++cycle) {
        PlaybackSettings s;
        s.fileName = path.c_str();
        s.linkId = 7;
        int32_t error = -1;
        ASSERT_TRUE(controller.OpenPlayback(s, PROTO_NMEA, &error)) << cycle;
        // Every frame now also goes out as a sent raw frame, which waits for
        // this thread; Disconnect must deliver it while it waits for the reader.
        static_cast<CPlaybackChannel*>(controller.GetChannel())->SetPassRawData(true);
        size_t before = listener.events.size();
        ASSERT_TRUE(PumpUntil([&] { return listener.events.size() > before + 2; })) << cycle;
        controller.Disconnect();
        EXPECT_FALSE(controller.IsConnected());
        EXPECT_FALSE(controller.GetProtocol().HasReaderThread());
    }
    PumpPending();
    listener.DestroyWindow();
    DeleteFileA(path.c_str());
}

TEST(CControllerWin, ManyLinksAtOnceEachSeeTheirOwnId)
{
    const int kLinks = 32;
    std::string path = TempFile("ctl_many.nmea", NmeaLog(10));
    std::vector<CListenerWnd> listeners(kLinks);
    std::vector<CController> controllers(kLinks);
    for (int i = 0; i < kLinks; ++i) {
        ASSERT_TRUE(listeners[i].Create());
        controllers[i].AddListener(listeners[i].GetSafeHwnd(), WM_RECEIVER_EVENT);
        PlaybackSettings s;
        s.fileName = path.c_str();
        s.linkId = static_cast<uint16_t>(i + 1);
        int32_t error = -1;
        ASSERT_TRUE(controllers[i].OpenPlayback(s, PROTO_NMEA, &error)) << i;
    }
    for (int i = 0; i < kLinks; ++i)
        ASSERT_TRUE(PumpUntil([&] { return listeners[i].Count(EV_END_OF_DATA) == 1; })) << i;
    for (int i = 0; i < kLinks; ++i) {
        controllers[i].Disconnect();
        for (const auto& e : listeners[i].events)
            EXPECT_EQ(static_cast<uint32_t>(e.second) >> 16, static_cast<uint32_t>(i + 1));
        listeners[i].DestroyWindow();
    }
    DeleteFileA(path.c_str());
}

} // namespace

// ---- With the simulated receiver on the rig's ports ----------------------------------

namespace {

// One command to the simulated receiver behind a port; its reply line, or ""
// when no simulator runs there.
std::string Rxsim(int comPort, const std::string& command)
{
    RxsimClient sim(comPort);
    return sim.Command(command);
}

bool HaveRxsim(int comPort) { return Rxsim(comPort, "ping").compare(0, 2, "ok") == 0; }

// Records whether each event came by SendMessage (from the reader thread).
class CSentAwareListener : public CWnd {
public:
    struct Seen {
        WPARAM event;
        LPARAM lParam;
        bool sent;
    };
    std::vector<Seen> seen;
    DWORD slowMs = 0;

    bool Create()
    {
        return CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) != FALSE;
    }
    int Count(WPARAM event) const
    {
        int n = 0;
        for (const Seen& s : seen)
            if (s.event == event) ++n;
        return n;
    }

protected:
    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM lParam)
    {
        seen.push_back(Seen{wParam, lParam, InSendMessage() != FALSE});
        if (wParam == EV_RAW_FRAME && slowMs) Sleep(slowMs);
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSentAwareListener, CWnd)
ON_MESSAGE(WM_RECEIVER_EVENT, &CSentAwareListener::OnReceiverEvent)
END_MESSAGE_MAP()

LinkPortSettings Port(uint32_t n)
{
    LinkPortSettings s;
    s.portNumber = n;
    s.baudRate = 115200;
    s.parity = 0;
    return s;
}

TEST(CControllerRig, TwoListenersOnCom5SeeQbinFramesPostedAndRawFramesSent)
{
    if (!HaveRxsim(5)) GTEST_SKIP() << "no simulated receiver on COM5";
    Rxsim(5, "silent purge");
    CSentAwareListener a, b;
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    CController controller;
    controller.AddListener(a.GetSafeHwnd(), WM_RECEIVER_EVENT);
    controller.AddListener(b.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(controller.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    ASSERT_EQ(Rxsim(5, "script qbin 20").compare(0, 2, "ok"), 0);
    ASSERT_TRUE(PumpUntil([&] { return a.Count(EV_FRAME_RECEIVED) >= 20 && b.Count(EV_FRAME_RECEIVED) >= 20; }));
    controller.Disconnect();
    PumpPending();
    for (CSentAwareListener* l : {&a, &b}) {
        for (const auto& s : l->seen) {
            if (s.event == EV_FRAME_RECEIVED) {
                EXPECT_EQ(s.lParam, 0x00050003);
                EXPECT_FALSE(s.sent);
            }
            if (s.event == EV_RAW_FRAME) {
                EXPECT_EQ(s.lParam, 0x00050003);
                EXPECT_TRUE(s.sent);
            }
        }
        EXPECT_GE(l->Count(EV_RAW_FRAME), 20);
    }
    a.DestroyWindow();
    b.DestroyWindow();
}

TEST(CControllerRig, SecondOpenOfTheSamePortClosesTheFirstBeforeReopening)
{
    if (!HaveRxsim(5)) GTEST_SKIP() << "no simulated receiver on COM5";
    CController controller;
    int32_t error = -1;
    ASSERT_TRUE(controller.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    EXPECT_TRUE(controller.GetProtocol().HasReaderThread());
    // The port opens exclusively: this works only if the first link let go of it.
    ASSERT_TRUE(controller.OpenSerial(Port(5), PROTO_NMEA, &error)) << error;
    EXPECT_EQ(error, 0);
    EXPECT_EQ(controller.GetProtocolKind(), PROTO_NMEA);
    controller.Disconnect();
}

TEST(CControllerRig, TwoPortsAtOnceEachListenerSeesItsOwnLink)
{
    if (!HaveRxsim(5) || !HaveRxsim(12)) GTEST_SKIP() << "no simulated receivers on COM5 and COM12";
    Rxsim(5, "silent purge");
    Rxsim(12, "silent purge");
    CSentAwareListener a, b;
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    CController first, second;
    first.AddListener(a.GetSafeHwnd(), WM_RECEIVER_EVENT);
    second.AddListener(b.GetSafeHwnd(), WM_RECEIVER_EVENT);
    int32_t error = -1;
    ASSERT_TRUE(first.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    ASSERT_TRUE(second.OpenSerial(Port(12), PROTO_QBIN, &error)) << error;
    Rxsim(5, "script qbin 10");
    Rxsim(12, "script qbin 10");
    ASSERT_TRUE(PumpUntil([&] { return a.Count(EV_FRAME_RECEIVED) >= 10 && b.Count(EV_FRAME_RECEIVED) >= 10; }));
    first.Disconnect();
    second.Disconnect();
    for (const auto& s : a.seen) EXPECT_EQ(static_cast<uint32_t>(s.lParam) >> 16, 5u);
    for (const auto& s : b.seen) EXPECT_EQ(static_cast<uint32_t>(s.lParam) >> 16, 12u);
    a.DestroyWindow();
    b.DestroyWindow();
}

TEST(CControllerRig, RawLogStartedThroughTheControllerIsClosedByDisconnect)
{
    if (!HaveRxsim(5)) GTEST_SKIP() << "no simulated receiver on COM5";
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "ctl_raw.log";
    DeleteFileA(path.c_str());
    CController controller;
    int32_t error = -1;
    ASSERT_TRUE(controller.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    RawLogSettings settings;
    settings.fileName = path.c_str();
    controller.GetRawLogger().Configure(RAWLOG_REQUEST_START, &settings);
    Rxsim(5, "flood on");
    ASSERT_TRUE(PumpUntil([&] { return controller.GetRawLogger().GetBytesLogged() > 100; }));
    Rxsim(5, "flood off");
    controller.Disconnect();
    EXPECT_FALSE(controller.GetRawLogger().IsLogging());
    // Nobody holds the file any more: it opens exclusively for writing.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    Rxsim(5, "silent purge");
    DeleteFileA(path.c_str());
}

TEST(CControllerRig, DisconnectWhileFloodedAndAListenerIsSlowNeverDeadlocks)
{
    if (!HaveRxsim(5)) GTEST_SKIP() << "no simulated receiver on COM5";
    CSentAwareListener slow;
    ASSERT_TRUE(slow.Create());
    slow.slowMs = 2;
    CController controller;
    controller.AddListener(slow.GetSafeHwnd(), WM_RECEIVER_EVENT);
    Rxsim(5, "flood on");
    for (int cycle = 0; cycle < 100; ++cycle) {
        int32_t error = -1;
        ASSERT_TRUE(controller.OpenSerial(Port(5), PROTO_QBIN, &error)) << cycle << " " << error;
        size_t before = slow.seen.size();
        ASSERT_TRUE(PumpUntil([&] { return slow.seen.size() > before + 3; })) << cycle;
        controller.Disconnect();
        ASSERT_FALSE(controller.GetProtocol().HasReaderThread()) << cycle;
    }
    Rxsim(5, "flood off");
    Rxsim(5, "silent purge");
    PumpPending();
    slow.DestroyWindow();
}

} // namespace
