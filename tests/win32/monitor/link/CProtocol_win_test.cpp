// The protocol engine's Windows binding: its hidden window runs the auto-query
// timer, the reader runs at its real priority, and Stop returns with the
// reader ended while the reader is sending events to the stopping thread,
// even when a handler of such an event stops the engine itself. Every wait
// pumps this thread's messages and is bounded only so that a broken build
// fails instead of hanging.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/CArray.h"
#include "framework/CWnd.h"
#include "link/CCommPort.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "model/ReceiverEventSink.h"

namespace {

const UINT kReceiverEvent = WM_APP + 20;

template <class Pred>
bool PumpUntil(Pred done)
{
    // Bounded by time, not by rounds: a flooding reader keeps the queue full,
    // so each wait returns at once and rounds would run out long before a
    // one-second timer is due.
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 30000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    return done();
}

// A live port that never runs dry: the same good sentence over and over.
class FloodChannel : public CChannel {
public:
    explicit FloodChannel(int type = CHANNEL_TYPE_SERIAL) : m_type(type) {}
    int Read(BYTE*, uint16_t, int32_t) override { return Touch(-1); }
    int ReadUntilStopped(BYTE* buf, uint16_t len, const CStopEvent& stop) override
    {
        Touch(0);
        if (stop.IsSet() || len == 0 || m_type == CHANNEL_TYPE_PLAYBACK) return -1;
        static const char kSentence[] = "$GPGGA*56\r\n";
        buf[0] = static_cast<BYTE>(kSentence[m_next]);
        m_next = (m_next + 1) % (sizeof(kSentence) - 1);
        return 1;
    }
    int Write(const BYTE* buf, uint16_t len, int32_t) override
    {
        Touch(0);
        std::lock_guard<std::mutex> hold(m_lock);
        m_written.push_back(std::string(reinterpret_cast<const char*>(buf), len));
        return len;
    }
    bool Close() override { return Touch(1) != 0; }
    int GetType() override { return Touch(m_type); }

    void Release() { m_released = true; }
    int CallsAfterRelease() const { return m_callsAfterRelease; }
    size_t WriteCount()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_written.size();
    }

private:
    int Touch(int result)
    {
        if (m_released) ++m_callsAfterRelease;
        return result;
    }
    int m_type;
    size_t m_next = 0;
    std::mutex m_lock;
    std::vector<std::string> m_written;
    std::atomic<bool> m_released{false};
    std::atomic<int> m_callsAfterRelease{0};
};

// A listener window of the test thread. The sink hands it every sent event
// with SendMessage, as the link owner does, so the reader waits for it.
class CListenerWnd : public CWnd {
public:
    std::function<void(WPARAM)> onSent;
    int sent = 0;

    bool Create() { return CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) != FALSE; }

protected:
    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM)
    {
        ++sent;
        if (onSent) onSent(wParam);
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListenerWnd, CWnd)
    ON_MESSAGE(kReceiverEvent, &CListenerWnd::OnReceiverEvent)
END_MESSAGE_MAP()

class SendingSink : public IReceiverEventSink {
public:
    explicit SendingSink(HWND listener) : m_listener(listener), m_aboutToSend(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    // Forgets what an earlier reader did; call while no reader runs.
    void Reset()
    {
        ResetEvent(m_aboutToSend);
        m_readerPriority = THREAD_PRIORITY_ERROR_RETURN;
    }
    ~SendingSink() override { CloseHandle(m_aboutToSend); }

    bool NotifyListeners(int32_t event, int32_t, bool send) override
    {
        m_readerPriority = GetThreadPriority(GetCurrentThread());
        if (!send) return true;
        SetEvent(m_aboutToSend);
        return SendMessageA(m_listener, kReceiverEvent, static_cast<WPARAM>(event), 0) != 0;
    }
    // Waits, without pumping, until the reader is about to send: the send
    // then waits until this thread takes messages again.
    bool WaitUntilSending() { return WaitForSingleObject(m_aboutToSend, 10000) == WAIT_OBJECT_0; }
    int ReaderPriority() const { return m_readerPriority; }

private:
    HWND m_listener;
    HANDLE m_aboutToSend;
    std::atomic<int> m_readerPriority{THREAD_PRIORITY_ERROR_RETURN};
};

class ProtocolWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(listener.Create());
        sink.reset(new SendingSink(listener.GetSafeHwnd()));
        ASSERT_TRUE(model.Attach(sink.get(), &protocol));
    }
    void TearDown() override
    {
        protocol.Stop();
        model.Detach();
        listener.DestroyWindow();
    }

    CListenerWnd listener;
    std::unique_ptr<SendingSink> sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
};

TEST_F(ProtocolWin, StopReturnsWhileTheReaderSendsRawFramesToTheStoppingThread)
{
    for (int cycle = 0; cycle < 20; ++cycle) {
        SCOPED_TRACE(cycle);
        FloodChannel port;
        sink->Reset();
        ASSERT_TRUE(protocol.Start(&port, PROTO_NMEA, &model, &logger));
        ASSERT_TRUE(sink->WaitUntilSending());
        EXPECT_TRUE(protocol.Stop());
        port.Release();
        EXPECT_FALSE(protocol.HasReaderThread());
        EXPECT_EQ(port.CallsAfterRelease(), 0);
    }
}

TEST_F(ProtocolWin, AHandlerOfASentEventMayStopTheEngine)
{
    struct Case {
        const char* name;
        bool outerStop;  // the test thread is already in Stop when the event arrives
    };
    for (const Case& c : {Case{"from the message loop", false}, Case{"inside another Stop", true}}) {
        SCOPED_TRACE(c.name);
        FloodChannel port;
        bool handled = false, stopResult = false, restartResult = true, readerGone = false;
        listener.onSent = [&](WPARAM event) {
            if (event != EV_RAW_FRAME || handled) return;
            handled = true;
            stopResult = protocol.Stop();
            readerGone = !protocol.HasReaderThread();
            restartResult = c.outerStop && protocol.Start(&port, PROTO_NMEA, &model, &logger);
        };
        sink->Reset();
        ASSERT_TRUE(protocol.Start(&port, PROTO_NMEA, &model, &logger));
        ASSERT_TRUE(sink->WaitUntilSending());
        if (c.outerStop)
            EXPECT_TRUE(protocol.Stop());
        else
            EXPECT_TRUE(PumpUntil([&] { return handled; }));
        listener.onSent = nullptr;

        EXPECT_TRUE(handled);
        EXPECT_TRUE(stopResult);
        // The handler's Stop released the reader's send, then waited for it.
        EXPECT_TRUE(readerGone);
        // Nothing restarts the engine while it is being stopped.
        EXPECT_FALSE(restartResult);
        EXPECT_FALSE(protocol.IsStarted());
        port.Release();
        protocol.Stop();
        EXPECT_EQ(port.CallsAfterRelease(), 0);
    }
}

TEST_F(ProtocolWin, TheReaderRunsAboveNormalOnAPortAndBelowNormalOnAReplay)
{
    struct Case {
        int type;
        int priority;
    };
    for (const Case& c : {Case{CHANNEL_TYPE_SERIAL, THREAD_PRIORITY_ABOVE_NORMAL},
                          Case{CHANNEL_TYPE_PLAYBACK, THREAD_PRIORITY_BELOW_NORMAL}}) {
        SCOPED_TRACE(c.type);
        FloodChannel channel(c.type);
        sink->Reset();
        ASSERT_TRUE(protocol.Start(&channel, PROTO_NMEA, &model, &logger));
        // A port sends raw frames; a replay of nothing posts the end of data.
        ASSERT_TRUE(PumpUntil([&] { return sink->ReaderPriority() != THREAD_PRIORITY_ERROR_RETURN; }));
        EXPECT_EQ(sink->ReaderPriority(), c.priority);
        EXPECT_EQ(protocol.GetReaderPriority(), c.priority);
        protocol.Stop();
    }
}

TEST_F(ProtocolWin, TheHiddenWindowRunsTheAutoQueryTimer)
{
    FloodChannel port;
    ASSERT_TRUE(protocol.Start(&port, PROTO_QBIN, &model, &logger));
    AutoQuerySettings settings;  // health, selection, tracking, time; every second
    ASSERT_TRUE(protocol.SetAutoQuery(settings));
    EXPECT_EQ(port.WriteCount(), 4u);
    // The next cycle comes from timer 100 on the engine's own window.
    EXPECT_TRUE(PumpUntil([&] { return port.WriteCount() >= 8; }));
    protocol.Stop();
    port.Release();
    EXPECT_EQ(port.CallsAfterRelease(), 0);
}

TEST(ProtocolWinCom5, StartAndStopOnAQuietOrBusyPort)
{
    CCommPort port;
    if (!port.Open(5, 9600, 0, 8, 0)) GTEST_SKIP() << "COM5 is not present";
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
    std::unique_ptr<CListenerWnd> listener(new CListenerWnd());
    ASSERT_TRUE(listener->Create());
    SendingSink sink(listener->GetSafeHwnd());
    ASSERT_TRUE(model.Attach(&sink, &protocol));
    for (int cycle = 0; cycle < 10; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(protocol.Start(&port, PROTO_QBIN, &model, &logger));
        EXPECT_EQ(protocol.GetReaderPriority(), THREAD_PRIORITY_ABOVE_NORMAL);
        CByteArray query;
        for (BYTE b : {0x10, 0x26, 0x10, 0x03}) query.Add(b);
        EXPECT_EQ(protocol.WritePacket(query), 4);
        // Whether the reader waits in a read or is sending a frame, Stop
        // returns with it gone.
        EXPECT_TRUE(protocol.Stop());
        EXPECT_FALSE(protocol.HasReaderThread());
    }
    EXPECT_TRUE(port.Close());
    model.Detach();
    listener->DestroyWindow();
}

} // namespace
