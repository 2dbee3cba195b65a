// "Data Playback" from the program's own template on a main window built in
// memory: launched once, filled from the window's playback settings, refusing
// bad input without touching the link, playing the bundled recording to its
// end with the progress mirrored, and stopping without looking at the fields.
// The main window's display timer is tested here too: however many events
// come between two ticks, each field is repainted once.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "app/CPlaybackDlg.h"
#include "framework/MessagePrompter.h"
#include "framework/afx.h"
#include "link/CPlaybackChannel.h"
#include "model/ReceiverEvent.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

const char kRecordingFolder[] = "tests\\data";
const char kRecordingName[] = "velmara_demo.qbl";
const char kHealthFrame[] = "\x10\x46\x00\x00\x10\x03";

// A replay that skips to `skipTo` and then holds the reader before `holdAt`
// until the link stops: a replay that is still running whatever its speed.
class HeldPlayback : public CPlaybackChannel {
public:
    HeldPlayback(uint32_t skipTo, uint32_t holdAt) : m_skipTo(skipTo), m_holdAt(holdAt) {}
    int Peek(const BYTE** bytes, uint32_t len, const CStopEvent& stop) override
    {
        while (GetReadCount() < m_skipTo) {
            const int n = CPlaybackChannel::Peek(bytes, m_skipTo - GetReadCount(), stop);
            if (n <= 0) return n;
            Take(static_cast<uint32_t>(n));
        }
        if (GetReadCount() >= m_holdAt) {
            stop.Wait(30000);
            return -1;
        }
        return CPlaybackChannel::Peek(bytes, std::min<uint32_t>(len, m_holdAt - GetReadCount()), stop);
    }

private:
    uint32_t m_skipTo;
    uint32_t m_holdAt;
};

class HeldFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings&) override { return nullptr; }
    CChannel* OpenPlayback(const PlaybackSettings& settings) override
    {
        CPlaybackChannel* channel = new HeldPlayback(skipTo, holdAt);
        if (!channel->Open(settings)) {
            delete channel;
            return nullptr;
        }
        return channel;
    }
    uint32_t skipTo = 0;
    uint32_t holdAt = 6;
};

std::string CurrentFolder()
{
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

class PlaybackDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_prompter = std::make_unique<CPrompterScope>(&prompter);
        m_tmpl = DialogTemplate("Link", WS_POPUP | WS_CAPTION, 300, 200);
        const UINT statics[] = {IDC_PERCENT, IDC_ALMANAC, IDC_ALMANAC_LABEL, IDC_ANTENNA};
        short y = 2;
        for (UINT id : statics) {
            m_tmpl.Item(DialogTemplate::Static, static_cast<WORD>(id), SS_LEFT, "", 2, y, 90, 8);
            y = static_cast<short>(y + 10);
        }
        main.SetCommandLineFlag(true);
        ASSERT_TRUE(main.CreateFromTemplate(m_tmpl));
        ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 100, 2, 100, 10, main.GetSafeHwnd(),
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_PROGRESS)), ::GetModuleHandleA(nullptr),
                          nullptr);
        main.m_initialised = true;
        main.m_dataFolder = (CurrentFolder() + "\\" + kRecordingFolder).c_str();
        PlaybackSettings& s = main.m_playback;
        s.fileName = kRecordingName;
        s.speed = 1000;
        s.qbinMarker = 0x6D;
        s.kestoClass = 0x31;
        s.kestoId = 0x01;
        s.nmeaMarker = "GGA";
        s.qopMarker = "LN";
        s.qtxtMarker = "Ha";
    }

    void TearDown() override
    {
        main.EnterIdleMode(0);
        main.m_link.SetLinkFactory(nullptr);
        if (main.GetSafeHwnd() != nullptr) main.DestroyWindow();
        PumpPending();
        for (const std::string& file : m_files) ::DeleteFileA(file.c_str());
    }

    CPlaybackDlg* Open()
    {
        main.ShowPlaybackDlg();
        return main.m_pPlaybackDlg;
    }

    HWND Dialog() { return main.m_pPlaybackDlg != nullptr ? main.m_pPlaybackDlg->GetSafeHwnd() : nullptr; }

    std::string Text(UINT id)
    {
        char text[256] = {};
        ::GetDlgItemTextA(Dialog(), static_cast<int>(id), text, sizeof text);
        return text;
    }
    void SetText(UINT id, const char* text) { ::SetDlgItemTextA(Dialog(), static_cast<int>(id), text); }
    bool Enabled(UINT id) { return ::IsWindowEnabled(::GetDlgItem(Dialog(), static_cast<int>(id))) != FALSE; }
    void Click(UINT id) { ::SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    LRESULT Bar(UINT message, WPARAM w = 0) { return ::SendDlgItemMessageA(Dialog(), IDC_PLAY_PROGRESS, message, w, 0); }

    template <class Pred>
    void PumpUntil(Pred done, DWORD limitMs = 10000)
    {
        const DWORD start = ::GetTickCount();
        while (!done() && ::GetTickCount() - start < limitMs) {
            PumpPending();
            ::Sleep(1);
        }
        PumpPending();
    }

    // A file of `size` bytes, holes but for one health report ending at `frameEnd`.
    std::string MakeSparseLog(uint32_t size, uint32_t frameEnd)
    {
        char dir[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, dir);
        char name[MAX_PATH] = {};
        ::GetTempFileNameA(dir, "vpd", 0, name);
        m_files.push_back(name);
        HANDLE h = ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
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

    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> texts;
        for (const auto& box : prompter.boxes) texts.push_back(box.text);
        return texts;
    }

    ScriptedPrompter prompter;
    std::unique_ptr<CPrompterScope> m_prompter;
    DialogTemplate m_tmpl{"", 0, 0, 0};
    TestMainWnd main;
    HeldFactory held;
    std::vector<std::string> m_files;
};

struct WindowSearch {
    const char* title;
    int count;
};

BOOL CALLBACK CountTitled(HWND hwnd, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    char text[64] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (std::string(text) == search->title && ::IsWindowVisible(hwnd)) ++search->count;
    return TRUE;
}

// Counts the visible windows of this thread captioned `title`.
int CountWindows(const char* title)
{
    WindowSearch search = {title, 0};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountTitled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

}  // namespace

// One dialog however often it is asked for, showing the window's settings:
// the byte markers as two hex digits, the texts as they are.
TEST_F(PlaybackDlgTest, OpensOnceWithTheWindowsSettings)
{
    const std::string folder = CurrentFolder();
    CPlaybackDlg* first = Open();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, Open());
    EXPECT_EQ(1, CountWindows("Data Playback"));
    const std::pair<UINT, const char*> expected[] = {
        {IDC_PLAY_FILE, kRecordingName}, {IDC_PLAY_QBIN, "6D"}, {IDC_PLAY_KESTO_CODE, "31"},
        {IDC_PLAY_KESTO_SUBCODE, "01"},  {IDC_PLAY_NMEA, "GGA"}, {IDC_PLAY_QOP, "LN"},
        {IDC_PLAY_QTXT, "Ha"},           {IDC_PLAY_SPEED, "1000"}, {IDC_PLAY_START, "Start"}};
    for (const auto& e : expected) EXPECT_EQ(e.second, Text(e.first)) << e.first;
    EXPECT_EQ(1000, ::SendDlgItemMessageA(Dialog(), IDC_PLAY_SLIDER, TBM_GETPOS, 0, 0));
    EXPECT_TRUE(Enabled(IDC_PLAY_FILE));
    EXPECT_EQ(folder, CurrentFolder()) << "the dialog leaves the current folder alone";
}

// Bad input is refused with its message, in the order of the checks, and
// changes neither the mode nor the window's playback settings.
TEST_F(PlaybackDlgTest, RefusedInputChangesNothing)
{
    ASSERT_NE(nullptr, Open());
    const struct {
        UINT field;
        const char* text;
        UINT second;
        const char* secondText;
        const char* message;
    } cases[] = {
        {IDC_PLAY_FILE, "", 0, nullptr, "Select a valid playback file!"},
        {IDC_PLAY_QBIN, "00", IDC_PLAY_KESTO_CODE, "0", "Invalid QBIN marker specified!"},
        {IDC_PLAY_KESTO_CODE, "100", 0, nullptr, "Invalid KESTO code specified!"},
        {IDC_PLAY_KESTO_SUBCODE, "0", 0, nullptr, "Invalid KESTO sub-code specified!"},
        {IDC_PLAY_NMEA, "G", 0, nullptr, "Invalid NMEA marker specified!"},
        {IDC_PLAY_QOP, "H", 0, nullptr, "Invalid QOP marker specified!"},
        {IDC_PLAY_QTXT, "L", 0, nullptr, "Invalid QTXT marker specified!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetText(c.field, c.text);
        if (c.second != 0) SetText(c.second, c.secondText);
        prompter.boxes.clear();
        Click(IDC_PLAY_START);
        EXPECT_EQ((std::vector<std::string>{c.message}), Boxes());
        EXPECT_EQ(LINK_IDLE, main.GetLinkMode());
        EXPECT_EQ("Start", Text(IDC_PLAY_START));
        EXPECT_EQ(0x6D, main.m_playback.qbinMarker);
        EXPECT_EQ(CString("GGA"), main.m_playback.nmeaMarker);
        EXPECT_EQ(CString(kRecordingName), main.m_playback.fileName);
        // Back to the valid input for the next case.
        const std::pair<UINT, const char*> valid[] = {
            {IDC_PLAY_FILE, kRecordingName}, {IDC_PLAY_QBIN, "6D"}, {IDC_PLAY_KESTO_CODE, "31"},
            {IDC_PLAY_KESTO_SUBCODE, "01"},  {IDC_PLAY_NMEA, "GGA"}, {IDC_PLAY_QOP, "LN"}, {IDC_PLAY_QTXT, "Ha"}};
        for (const auto& v : valid) SetText(v.first, v.second);
    }
}

// The bundled recording, named relative to the data folder, plays to its
// end: "Stop" and locked fields while it runs, the bar full and "100%" at the
// end, then "Start" again; the current folder never moves.
TEST_F(PlaybackDlgTest, PlaysTheBundledRecordingToTheEnd)
{
    const std::string recording = std::string(main.m_dataFolder) + "\\" + kRecordingName;
    if (::GetFileAttributesA(recording.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << recording << " not found (run from the source folder)";
    const std::string folder = CurrentFolder();
    ASSERT_NE(nullptr, Open());
    SetText(IDC_PLAY_NMEA, "gga");
    Click(IDC_PLAY_START);
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(LINK_FILE, main.GetLinkMode());
    EXPECT_EQ("Stop", Text(IDC_PLAY_START));
    for (UINT id : {IDC_PLAY_FILE, IDC_PLAY_BROWSE, IDC_PLAY_QBIN, IDC_PLAY_NMEA, IDC_PLAY_QOP, IDC_PLAY_QTXT,
                    IDC_PLAY_KESTO_CODE, IDC_PLAY_KESTO_SUBCODE})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(recording, std::string(main.m_playback.fileName));
    EXPECT_EQ(CString("GGA"), main.m_playback.nmeaMarker);
    EXPECT_EQ(CString("HA"), main.m_playback.qtxtMarker);
    EXPECT_EQ(0, main.m_playback.linkId);

    // The main window's end-of-data timer takes it back to IDLE.
    bool sawFull = false;
    PumpUntil([&] {
        if (Text(IDC_PLAY_PERCENT) == "100%" && Bar(PBM_GETPOS) == Bar(PBM_GETRANGE, FALSE)) sawFull = true;
        return main.GetLinkMode() == LINK_IDLE;
    });
    EXPECT_EQ(LINK_IDLE, main.GetLinkMode());
    EXPECT_TRUE(sawFull);
    EXPECT_EQ("100%", Text(IDC_PLAY_PERCENT));
    EXPECT_EQ("Start", Text(IDC_PLAY_START));
    EXPECT_TRUE(Enabled(IDC_PLAY_FILE));
    EXPECT_GT(Bar(PBM_GETRANGE, FALSE), 0);
    EXPECT_EQ(folder, CurrentFolder());
}

// Stop never looks at the fields: a marker made invalid while playing is
// not reported.
TEST_F(PlaybackDlgTest, StopWithABadMarkerShowsNothing)
{
    main.m_link.SetLinkFactory(&held);
    main.m_playback.fileName = MakeSparseLog(4096, 6).c_str();
    ASSERT_NE(nullptr, Open());
    Click(IDC_PLAY_START);
    ASSERT_EQ(LINK_FILE, main.GetLinkMode());
    ::EnableWindow(::GetDlgItem(Dialog(), IDC_PLAY_QBIN), TRUE);
    SetText(IDC_PLAY_QBIN, "00");
    Click(IDC_PLAY_START);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(LINK_IDLE, main.GetLinkMode());
    EXPECT_EQ("Start", Text(IDC_PLAY_START));
}

// A 40,000,000-byte recording gives the dialog's bar a range of 39062
// kilobytes, as the main window's; the slider's 0 is speed 1, which reaches
// the running replay.
TEST_F(PlaybackDlgTest, LargeRecordingsAndTheSlowestSpeed)
{
    main.m_link.SetLinkFactory(&held);
    held.skipTo = 20000000 - 6;
    held.holdAt = 20000000;
    main.m_playback.fileName = MakeSparseLog(40000000, 20000000).c_str();
    ASSERT_NE(nullptr, Open());
    Click(IDC_PLAY_START);
    ASSERT_EQ(LINK_FILE, main.GetLinkMode());
    EXPECT_EQ(39062, Bar(PBM_GETRANGE, FALSE));
    PumpUntil([&] { return Text(IDC_PLAY_PERCENT) == "50%"; });
    EXPECT_EQ("50%", Text(IDC_PLAY_PERCENT));
    EXPECT_EQ(19531, Bar(PBM_GETPOS));

    ::SendDlgItemMessageA(Dialog(), IDC_PLAY_SLIDER, TBM_SETPOS, TRUE, 0);
    ::SendMessageA(Dialog(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Dialog(), IDC_PLAY_SLIDER)));
    EXPECT_EQ("1", Text(IDC_PLAY_SPEED));
    EXPECT_EQ(1u, main.m_playback.speed);
    CPlaybackChannel* replay = dynamic_cast<CPlaybackChannel*>(main.m_link.GetChannel());
    ASSERT_NE(nullptr, replay);
    EXPECT_EQ(1u, replay->GetSpeed());
}

// ---- The display timer ---------------------------------------------------------------

namespace {

// Counts WM_SETTEXT per control of one window.
class SetTextCounter {
public:
    explicit SetTextCounter(HWND parent) : m_parent(parent)
    {
        s_self = this;
        m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~SetTextCounter()
    {
        ::UnhookWindowsHookEx(m_hook);
        s_self = nullptr;
    }
    std::map<int, int> counts;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && s_self != nullptr && msg->message == WM_SETTEXT &&
            ::GetParent(msg->hwnd) == s_self->m_parent)
            ++s_self->counts[::GetDlgCtrlID(msg->hwnd)];
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static SetTextCounter* s_self;
    HWND m_parent;
    HHOOK m_hook;
};
SetTextCounter* SetTextCounter::s_self = nullptr;

void SetFix(CModel& model, int step)
{
    model.SetHealthStatus(1);
    NavState nav = {};
    model.GetNavState(nav);
    nav.fixValid = 1;
    nav.timeOfFix = 349323.0 + step;
    nav.week = 1400;
    nav.latitude = 0.8 + step * 1e-4;
    nav.longitude = -2.1 - step * 1e-4;
    nav.height = 100.0 + step;
    nav.velEast = 3.0 + step;
    nav.velNorth = -4.0;
    nav.velUp = 0.25;
    nav.clockBiasRate = 1.0f + static_cast<float>(step);
    model.UpdateNavState(nav, NAV_KIND_LLA_DOUBLE, nullptr);
    GpsTimeInfo t = {};
    t.timeOfWeek = 349323u + static_cast<uint32_t>(step);
    t.week = 1400;
    t.utcOffset = 18;
    t.source = TIME_SOURCE_UTC_CALENDAR;
    model.SetTimeInfo(t, true, 0);
}

}  // namespace

// 10,000 events between two ticks of the display timer: no field changes
// before the tick, and each changes once at it, showing the latest values.
TEST(MainWndDisplayTimer, ManyEventsBetweenTwoTicksRepaintEachFieldOnce)
{
    DialogTemplate tmpl("Fields", WS_POPUP | WS_CAPTION, 400, 300);
    const UINT ids[] = {IDC_LAT_HEMI, IDC_LAT_DEG,    IDC_LAT_MIN,    IDC_LON_HEMI,   IDC_LON_DEG,
                        IDC_LON_MIN,  IDC_ALT_VALUE,  IDC_VEL_VALUE1, IDC_VEL_VALUE2, IDC_VEL_VALUE3,
                        IDC_SPEED_VALUE, IDC_TIME,    IDC_DATE,       IDC_WEEK,       IDC_TOW,
                        IDC_OSC_OFFSET, IDC_ANTENNA,  IDC_ALMANAC,    IDC_VEL_WORD1,  IDC_VEL_WORD2,
                        IDC_VEL_WORD3, IDC_LAT_DEGSIGN, IDC_LON_DEGSIGN};
    short y = 2;
    for (UINT id : ids) {
        tmpl.Item(DialogTemplate::Static, static_cast<WORD>(id), SS_LEFT, "", 2, y, 90, 8);
        y = static_cast<short>(y + 9);
    }
    TestMainWnd dlg;
    dlg.SetCommandLineFlag(true);
    ASSERT_TRUE(dlg.CreateFromTemplate(tmpl));
    dlg.m_initialised = true;
    dlg.m_linkMode = LINK_FILE;   // a replay: fields update without receiver contact
    CModel& model = dlg.m_link.GetModel();

    const int kEvents = 10000;
    {
        SetTextCounter counter(dlg.GetSafeHwnd());
        for (int i = 0; i < kEvents; ++i) {
            SetFix(model, i % 50);
            const int event = i % 5 == 0   ? EV_POSITION_LLA
                              : i % 5 == 1 ? EV_VELOCITY_ENU
                              : i % 5 == 2 ? EV_GPS_TIME
                              : i % 5 == 3 ? EV_ANTENNA_STATUS
                                           : EV_MACHINE_ID;
            dlg.OnReceiverEvent(static_cast<WPARAM>(event), i % 2);
        }
        EXPECT_TRUE(counter.counts.empty()) << "nothing is repainted between ticks";

        dlg.SendMessage(WM_TIMER, MWT_DISPLAY, 0);
        for (UINT id : {IDC_LAT_DEG, IDC_LAT_MIN, IDC_LON_MIN, IDC_ALT_VALUE, IDC_VEL_VALUE1, IDC_SPEED_VALUE,
                        IDC_TIME, IDC_TOW, IDC_OSC_OFFSET, IDC_ANTENNA, IDC_ALMANAC})
            EXPECT_EQ(1, counter.counts[static_cast<int>(id)]) << "field " << id;
        for (const auto& c : counter.counts) EXPECT_LE(c.second, 1) << "field " << c.first;

        // The next tick without events repaints nothing.
        counter.counts.clear();
        dlg.SendMessage(WM_TIMER, MWT_DISPLAY, 0);
        EXPECT_TRUE(counter.counts.empty());
    }
    // The last event of each kind decides: detail 0 for the antenna ("OK"),
    // 1 for the almanac.
    char text[64] = {};
    ::GetDlgItemTextA(dlg.GetSafeHwnd(), IDC_ANTENNA, text, sizeof text);
    EXPECT_STREQ("OK", text);
    ::GetDlgItemTextA(dlg.GetSafeHwnd(), IDC_ALMANAC, text, sizeof text);
    EXPECT_STREQ("complete && current", text);
    dlg.m_linkMode = LINK_IDLE;
    dlg.DestroyWindow();
    PumpPending();
}
