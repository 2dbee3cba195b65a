#include "E2eSupport.h"

#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "link/CPlaybackChannel.h"

namespace e2e {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

Watchdog::Watchdog(const char* what, DWORD timeoutMs)
    : m_what(what), m_timeoutMs(timeoutMs), m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_thread(nullptr)
{
    if (m_done) m_thread = CreateThread(nullptr, 0, &Watchdog::Run, this, 0, nullptr);
}

Watchdog::~Watchdog()
{
    if (m_done) SetEvent(m_done);
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    if (m_done) CloseHandle(m_done);
}

DWORD WINAPI Watchdog::Run(LPVOID param)
{
    Watchdog* self = static_cast<Watchdog*>(param);
    if (WaitForSingleObject(self->m_done, self->m_timeoutMs) == WAIT_TIMEOUT) {
        fprintf(stderr, "\nFATAL: %s has not finished after %lu ms: deadlock\n", self->m_what.c_str(),
                static_cast<unsigned long>(self->m_timeoutMs));
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

namespace {

// The layout of SystemHandleInformation (class 16) on 32-bit Windows.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

long CountFromSystemTable()
{
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) return -1;
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<BYTE> buf(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt) {
        ULONG needed = 0;
        LONG status = query(16, buf.data(), static_cast<ULONG>(buf.size()), &needed);
        if (status == 0) {
            const HandleTable* table = reinterpret_cast<const HandleTable*>(buf.data());
            size_t room = (buf.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
            ULONG n = table->count < room ? table->count : static_cast<ULONG>(room);
            long mine = 0;
            DWORD pid = GetCurrentProcessId();
            for (ULONG i = 0; i < n; ++i)
                if (table->entries[i].ownerPid == pid) ++mine;
            return mine;
        }
        buf.resize(buf.size() * 2);  // the table grew past the buffer: try larger
    }
    return -1;
}

}  // namespace

long ProcessHandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return static_cast<long>(count);
    return CountFromSystemTable();
}

LinkPortSettings Port(uint32_t n)
{
    LinkPortSettings s;
    s.portNumber = n;
    s.baudRate = 115200;
    s.parity = 0;
    s.dataBits = 8;
    s.stopBits = 0;
    return s;
}

BEGIN_MESSAGE_MAP(EventListener, CWnd)
ON_MESSAGE(WM_RECEIVER_EVENT, &EventListener::OnReceiverEvent)
END_MESSAGE_MAP()

bool EventListener::Create()
{
    return CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) != FALSE;
}

int EventListener::Count(WPARAM event) const
{
    int n = 0;
    for (const Seen& s : seen)
        if (s.event == event) ++n;
    return n;
}

int EventListener::CountDetail(WPARAM event, int detail, bool sent) const
{
    int n = 0;
    for (const Seen& s : seen)
        if (s.event == event && (s.lParam & 0xFFFF) == detail && s.sent == sent) ++n;
    return n;
}

LRESULT EventListener::OnReceiverEvent(WPARAM wParam, LPARAM lParam)
{
    seen.push_back(Seen{wParam, lParam, InSendMessage() != FALSE});
    if (wParam == EV_RAW_FRAME) {
        inRawFrame = true;
        if (duringFlag && *duringFlag) ++rawFramesDuringFlag;
        if (slowRawFrameMs) Sleep(slowRawFrameMs);
        inRawFrame = false;
    }
    return 1;
}

CChannel* CountingLinkFactory::OpenSerial(const LinkPortSettings& s)
{
    CCommPort* port = new CCommPort(nullptr, &api);
    if (!port->Open(s.portNumber, s.baudRate, s.parity, s.dataBits, s.stopBits)) {
        port->Close();
        delete port;
        return nullptr;
    }
    return port;
}

CChannel* CountingLinkFactory::OpenPlayback(const PlaybackSettings& s)
{
    return GetSystemLinkFactory().OpenPlayback(s);
}

std::vector<uint32_t> Counters(const CProtocol& protocol)
{
    std::vector<uint32_t> c(LINK_COUNTER_COUNT);
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) c[i] = protocol.GetStatistic(static_cast<LinkCounter>(i));
    return c;
}

std::string CounterDifferences(const std::vector<uint32_t>& actual, const RxsimTruth& truth)
{
    std::vector<uint32_t> expected(LINK_COUNTER_COUNT);
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) expected[i] = static_cast<uint32_t>(truth.Counter(i));
    return CounterDifferences(actual, expected);
}

std::string CounterDifferences(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected)
{
    std::ostringstream out;
    for (int i = 0; i < LINK_COUNTER_COUNT; ++i) {
        uint32_t a = i < static_cast<int>(actual.size()) ? actual[i] : 0;
        uint32_t e = i < static_cast<int>(expected.size()) ? expected[i] : 0;
        if (a != e) out << RxsimTruth::CounterName(i) << ": " << a << " instead of " << e << "; ";
    }
    return out.str();
}

std::string FreshTempFile(const char* name)
{
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, dir);
    std::string path = (n > 0 && n < MAX_PATH) ? std::string(dir) + name : std::string(name);
    DeleteFileA(path.c_str());
    return path;
}

std::string NmeaText(const std::string& body)
{
    unsigned x = 0;
    for (char c : body) x ^= static_cast<unsigned char>(c);
    char sum[3];
    snprintf(sum, sizeof sum, "%02X", x);
    return "$" + body + "*" + sum;
}

void SeenCommands::Fetch()
{
    std::vector<std::string> more;
    if (m_sim.Commands(more)) m_all.insert(m_all.end(), more.begin(), more.end());
}

bool SeenCommands::Has(const std::string& text)
{
    Fetch();
    return std::find(m_all.begin(), m_all.end(), text) != m_all.end();
}

bool SeenCommands::WaitFor(const std::string& text, DWORD timeoutMs)
{
    return PumpUntil([&] { return Has(text); }, timeoutMs);
}

std::string SeenCommands::List()
{
    Fetch();
    std::string s;
    for (const std::string& c : m_all) s += "\n  " + c;
    return s;
}

void SeenCommands::Forget()
{
    Fetch();
    m_all.clear();
}

}  // namespace e2e
