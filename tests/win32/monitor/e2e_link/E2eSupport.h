#pragma once
// Shared helpers of the end-to-end link tests: the monitor's link layer on the
// rig's COM5 under Wine, with rxsim as the receiver on the far end.
//
// Waits pump this thread's messages (the link's timers, posted events and
// events the reader sends to listener windows all need it) and are bounded
// only so that a broken build fails instead of hanging; no test asserts how
// long anything took.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework/CWnd.h"
#include "link/CCommPort.h"
#include "link/CController.h"
#include "link/CProtocol.h"
#include "link/LinkStatistics.h"
#include "model/ReceiverEvent.h"

#include "../RxsimClient.h"

namespace e2e {

// Pumps messages until `done` holds or `timeoutMs` has passed; `done` is
// checked about every 10 ms. Returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 60000);
// Delivers whatever is queued for this thread now.
void PumpPending();
// Pumps for about `ms`, for checks that nothing more happens.
void PumpFor(DWORD ms);

// Ends the whole test program with a message when it is still alive after
// `timeoutMs`: a call that deadlocks (a Stop that cannot deliver what the
// reader sends) would otherwise hang the run until the harness kills it,
// without saying where. Disarmed when it goes out of scope.
class Watchdog {
public:
    Watchdog(const char* what, DWORD timeoutMs);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI Run(LPVOID self);
    std::string m_what;
    DWORD m_timeoutMs;
    HANDLE m_done;
    HANDLE m_thread;
};

// Handles this process holds. GetProcessHandleCount where it works; Wine
// answers it with 0, so there the system handle table is counted instead.
long ProcessHandleCount();

// COM<n> as the rig's ports take it.
LinkPortSettings Port(uint32_t n);

// A listener window that records every event with whether it was sent (the
// reader waiting) or posted. `slowRawFrameMs` makes each sent raw frame take
// that long, as a busy window would.
class EventListener : public CWnd {
public:
    struct Seen {
        WPARAM event;
        LPARAM lParam;
        bool sent;
    };
    std::vector<Seen> seen;
    DWORD slowRawFrameMs = 0;
    // Raised while a raw frame is being handled, so a test can see the reader
    // waiting on this window.
    bool inRawFrame = false;
    // Counts raw frames handled while `*duringFlag` was set by the test.
    const bool* duringFlag = nullptr;
    int rawFramesDuringFlag = 0;

    bool Create();
    int Count(WPARAM event) const;
    // Events `event` with `detail` in the low word of lParam, split by delivery.
    int CountDetail(WPARAM event, int detail, bool sent) const;

protected:
    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// The system's serial calls, counted: every ReadFile the port issues and
// every time the reader starts to wait on a pending read.
class CountingCommApi : public ICommApi {
public:
    CountingCommApi() : m_real(GetSystemCommApi()) {}
    std::atomic<long> reads{0};
    std::atomic<long> waits{0};

    CommHandle CreateFileA(const char* name, bool overlapped) override { return m_real.CreateFileA(name, overlapped); }
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
        ++reads;
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
    bool CancelIo(CommHandle p) override { return m_real.CancelIo(p); }
    uint32_t WaitForSingleObject(CommHandle h, uint32_t ms) override { return m_real.WaitForSingleObject(h, ms); }
    uint32_t WaitForIoOrStop(CommHandle io, const CStopEvent& stop) override
    {
        ++waits;
        return m_real.WaitForIoOrStop(io, stop);
    }
    uint32_t GetLastError() override { return m_real.GetLastError(); }
    void SetLastError(uint32_t e) override { m_real.SetLastError(e); }
    void Sleep(uint32_t ms) override { m_real.Sleep(ms); }
    bool IsNtPlatform() override { return m_real.IsNtPlatform(); }
    uint32_t QueryDosDeviceA(char* b, uint32_t s) override { return m_real.QueryDosDeviceA(b, s); }
    bool GetDefaultCommConfigA(const char* n) override { return m_real.GetDefaultCommConfigA(n); }

private:
    ICommApi& m_real;
};

// The real serial port and playback channel, with the port's calls counted.
class CountingLinkFactory : public ILinkFactory {
public:
    CountingCommApi api;
    CChannel* OpenSerial(const LinkPortSettings& s) override;
    CChannel* OpenPlayback(const PlaybackSettings& s) override;
};

// The link's 13 counters now.
std::vector<uint32_t> Counters(const CProtocol& protocol);
// One line naming every counter that differs, "" when all 13 agree.
std::string CounterDifferences(const std::vector<uint32_t>& actual, const RxsimTruth& truth);
std::string CounterDifferences(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected);

// A file name in the temporary directory, deleted first.
std::string FreshTempFile(const char* name);

// An NMEA sentence as rxsim logs it: "$", the body, "*" and the XOR of the
// body in two upper-case hex digits (no CR LF). Worked out here, so that a
// test compares the monitor's sentence with an independent one.
std::string NmeaText(const std::string& body);

// The commands rxsim received, gathered over calls of its "commands".
class SeenCommands {
public:
    explicit SeenCommands(RxsimClient& sim) : m_sim(sim) {}
    // Pumps messages until `text` has arrived or `timeoutMs` has passed.
    bool WaitFor(const std::string& text, DWORD timeoutMs = 10000);
    bool Has(const std::string& text);
    // What arrived so far, one per line, for failure messages.
    std::string List();
    // Forgets everything received so far.
    void Forget();

private:
    void Fetch();
    RxsimClient& m_sim;
    std::vector<std::string> m_all;
};

}  // namespace e2e

// Skips when the test runs outside the harness (no control port named) and
// fails when the harness named one but rxsim does not answer.
#define E2E_REQUIRE_RXSIM(client)                                                          \
    do {                                                                                   \
        char var_[32];                                                                     \
        snprintf(var_, sizeof var_, "RXSIM_COM%d_CONTROL", (client).ComPort());            \
        if (!getenv(var_)) GTEST_SKIP() << "not run by the rig: no " << var_;              \
        ASSERT_TRUE((client).Available()) << (client).LastError();                         \
        ASSERT_TRUE((client).Quiet()) << (client).LastError();                             \
    } while (0)
