// The main window's event dispatcher with a fake link: a main window built
// from a template holding only its fields, a data model filled through its
// setters, and events handed to OnReceiverEvent directly. No receiver, no
// reader thread: what the fields show depends only on the model and on the
// dispatcher's rules (initialisation and IDLE, resets, validity marks, the
// set-time result, diagnostic frames).
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "framework/afx.h"
#include "model/Clock.h"
#include "model/ReceiverEvent.h"
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

// Every field the dispatcher may write, by id.
std::vector<UINT> FieldIds()
{
    std::vector<UINT> ids = {IDC_LAT_HEMI,   IDC_LAT_DEG,     IDC_LAT_MIN,     IDC_LAT_VALUE,  IDC_LON_HEMI,
                             IDC_LON_DEG,    IDC_LON_MIN,     IDC_LON_VALUE,   IDC_ALT_VALUE,  IDC_ALT_UNIT,
                             IDC_VEL_WORD1,  IDC_VEL_WORD2,   IDC_VEL_WORD3,   IDC_VEL_VALUE1, IDC_VEL_VALUE2,
                             IDC_VEL_VALUE3, IDC_SPEED_VALUE, IDC_TIME,        IDC_DATE,       IDC_WEEK,
                             IDC_TOW,        IDC_FIX_MODE,    IDC_RCVR_STATUS, IDC_PDOP,       IDC_HDOP,
                             IDC_VDOP,       IDC_TDOP,        IDC_APP_VERSION, IDC_APP_DATE,   IDC_CORE_VERSION,
                             IDC_CORE_DATE,  IDC_OSC_OFFSET,  IDC_ANTENNA,     IDC_ALMANAC,    IDC_PERCENT,
                             IDC_LAT_CAPTION, IDC_LON_CAPTION, IDC_ALT_CAPTION, IDC_GROUP_VELOCITY, IDC_GROUP_TIME,
                             IDC_LEVEL_CAPTION, IDC_SPEED_LABEL, IDC_VEL_UNIT1, IDC_VEL_UNIT2, IDC_VEL_UNIT3,
                             IDC_LAT_DEGSIGN, IDC_LON_DEGSIGN};
    for (int row = 0; row < CHANNEL_ROWS; ++row)
        for (int col = 0; col < CHANNEL_COLUMNS; ++col) ids.push_back(IDC_CHANNEL_CELL(row, col));
    return ids;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A scratch folder under the temporary folder, removed with what it holds.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* name)
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp) + name;
        Clear();
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        Clear();
        ::RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }
    std::string operator/(const char* name) const { return m_path + "\\" + name; }

private:
    void Clear()
    {
        WIN32_FIND_DATAA found;
        HANDLE h = ::FindFirstFileA((m_path + "\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            const std::string item = m_path + "\\" + found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                ::DeleteFileA(item.c_str());
            else if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                ::RemoveDirectoryA(item.c_str());
        } while (::FindNextFileA(h, &found));
        ::FindClose(h);
    }
    std::string m_path;
};

// The reports of the simulated receiver, stored as its decoders store them.
void FillModel(CModel& model)
{
    model.SetHealthStatus(1);  // doing position fixes
    NavState nav = {};
    model.GetNavState(nav);
    nav.fixValid = 1;
    nav.timeOfFix = 349323.0;
    nav.week = 1400;
    nav.latitude = 0.8290313946973066;
    nav.longitude = -2.133665010563068;
    nav.height = 100.0;
    nav.clockBias = 1.0;
    nav.velEast = 3.0;
    nav.velNorth = -4.0;
    nav.velUp = 0.25;
    nav.clockBiasRate = 1.0f;
    model.UpdateNavState(nav, NAV_KIND_LLA_DOUBLE, nullptr);

    GpsTimeInfo t = {};
    t.timeOfWeek = 349323;
    t.week = 1400;
    t.utcOffset = 18;
    t.source = TIME_SOURCE_UTC_CALENDAR;
    model.SetTimeInfo(t, true, 0);

    FixModeRecord fix = {};
    fix.fixMode = 4;
    fix.manualMode = 0;
    fix.svCount = 4;
    const uint8_t svs[] = {5, 7, 9, 12};
    for (int i = 0; i < 4; ++i) fix.svs[i] = svs[i];
    model.SetFixModeAndDops(fix, true);
    DopRecord dops = {1.25, 2.0, 1.5, 2.5};  // hdop, vdop, tdop, pdop
    model.SetDops(dops);

    TrackingTable table = {};
    table.entries[0].sv = 5;
    table.entries[0].signalLevel = 45.0f;
    table.entries[0].elevation = 0.5f;
    table.entries[0].azimuth = 1.0f;
    table.entries[0].status2 = 0;
    model.SetTrackingTable(table, 0);

    FirmwareVersionRecord fw = {};
    CopyRecordText(fw.name, "SIM-1");
    fw.major = 7;
    fw.minor = 74;
    fw.build = 3;
    fw.month = 3;
    fw.day = 15;
    fw.year = 7;
    model.IdentifyReceiver(fw, 0);

    ProductRecord product = {};
    product.code = 4500;
    CopyRecordText(product.name, "SIM-1 GPS Receiver");
    model.SetProductInfo(product);
}

// Moves the position by a few degrees, so a position update shows.
void MovePosition(CModel& model)
{
    NavState nav = {};
    model.GetNavState(nav);
    nav.latitude = 0.5;
    nav.longitude = 0.25;
    nav.height = 250.0;
    nav.velEast = -8.0;
    nav.clockBiasRate = 2.0f;
    model.UpdateNavState(nav, NAV_KIND_LLA_DOUBLE, nullptr);
}

class MainWndEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tmpl = DialogTemplate("Fields", WS_POPUP | WS_CAPTION, 400, 300);
        short y = 2;
        for (UINT id : FieldIds()) {
            m_tmpl.Item(DialogTemplate::Static, static_cast<WORD>(id), SS_LEFT, "", 2 + (y / 280) * 100,
                        static_cast<short>(y % 280), 90, 8);
            y = static_cast<short>(y + 9);
        }
        // A command-line window never writes the link settings when it goes.
        dlg.SetCommandLineFlag(true);
        ASSERT_TRUE(dlg.CreateFromTemplate(m_tmpl));
        dlg.m_initialised = true;
        dlg.m_linkMode = LINK_MONITOR;
        dlg.m_receiverContact = true;
        // The helpers every updater writes through must be in place.
        dlg.SetFieldText(IDC_TOW, "probe");
        if (dlg.GetFieldText(IDC_TOW) != CString("probe")) m_helpersMissing = true;
        dlg.SetFieldText(IDC_TOW, "");
    }

    void TearDown() override
    {
        if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
        PumpPending();
    }

    std::map<UINT, std::string> Snapshot()
    {
        std::map<UINT, std::string> texts;
        for (UINT id : FieldIds()) {
            char buf[256] = {};
            ::GetDlgItemTextA(dlg.GetSafeHwnd(), static_cast<int>(id), buf, sizeof buf);
            texts[id] = buf;
        }
        return texts;
    }

    std::string Text(UINT id)
    {
        char buf[256] = {};
        ::GetDlgItemTextA(dlg.GetSafeHwnd(), static_cast<int>(id), buf, sizeof buf);
        return buf;
    }

    // One event and then the display timer's tick that shows what it marked.
    void Send(int event, int detail = 0)
    {
        dlg.OnReceiverEvent(static_cast<WPARAM>(event), detail);
        dlg.SendMessage(WM_TIMER, MWT_DISPLAY, 0);
    }

    // A status pane's text without the blanks in front of it.
    std::string PaneText(UINT pane)
    {
        CStatusBarEx& bar = dlg.GetStatusBar();
        std::string text = static_cast<const char*>(bar.GetPaneText(bar.CommandToIndex(pane)));
        while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.erase(0, 1);
        return text;
    }

    DialogTemplate m_tmpl{"", 0, 0, 0};
    TestMainWnd dlg;
    bool m_helpersMissing = false;
};

#define REQUIRE_FIELD_HELPERS()                                                       \
    do {                                                                              \
        if (m_helpersMissing) GTEST_SKIP() << "SetFieldText/GetFieldText not in yet"; \
    } while (0)

// The reports of a receiver, each through its event, fill exactly the texts
// the user reads on the simulated receiver.
TEST_F(MainWndEventsTest, ReportsFillTheFieldsWithTheirTexts)
{
    REQUIRE_FIELD_HELPERS();
    FillModel(dlg.m_link.GetModel());
    for (int event : {EV_POSITION_LLA, EV_GPS_TIME, EV_FIX_MODE, EV_HEALTH, EV_DOPS, EV_FIRMWARE_VERSION})
        Send(event);
    Send(EV_TRACKING, 0);
    const std::pair<UINT, const char*> expected[] = {
        {IDC_LAT_HEMI, "N"},          {IDC_LAT_DEG, "47"},
        {IDC_LAT_MIN, "30.00000'"},   {IDC_LON_HEMI, "W"},
        {IDC_LON_DEG, "122"},         {IDC_LON_MIN, "15.00000'"},
        {IDC_ALT_VALUE, "100.00"},    {IDC_TIME, "Thu 01:02:03"},
        {IDC_DATE, "November 09, 2006"}, {IDC_WEEK, "1400"},
        {IDC_FIX_MODE, "3-D, Auto (4 SV)"}, {IDC_PDOP, "2.50"},
        {IDC_HDOP, "1.25"},           {IDC_VDOP, "2.00"},
        {IDC_TDOP, "1.50"},           {IDC_RCVR_STATUS, "doing position fixes"},
        {IDC_APP_VERSION, "7.74.3"},  {IDC_APP_DATE, "03/15/07"},
        {IDC_CHANNEL_CELL(0, 0), "5"}, {IDC_CHANNEL_CELL(0, 1), "45.0"},
        {IDC_CHANNEL_CELL(0, 2), "57.3"}, {IDC_CHANNEL_CELL(0, 3), "28.6"},
        {IDC_CHANNEL_CELL(0, 4), "-ok-"},
    };
    for (const auto& e : expected) EXPECT_EQ(e.second, Text(e.first)) << "field " << e.first;
    // Satellite 5 is in the fix and has a signal: its row is marked.
    EXPECT_TRUE(dlg.m_channelRows[0].highlighted);
    EXPECT_FALSE(dlg.m_channelRows[1].highlighted);
}

// Events still queued when the link went IDLE, or posted before the window
// finished its start-up, must not touch a field.
TEST_F(MainWndEventsTest, EventsInIdleOrBeforeInitialisationChangeNothing)
{
    REQUIRE_FIELD_HELPERS();
    FillModel(dlg.m_link.GetModel());
    const struct {
        const char* name;
        bool initialised;
        LinkMode mode;
    } cases[] = {{"idle", true, LINK_IDLE}, {"monitor, not initialised", false, LINK_MONITOR},
                 {"file, not initialised", false, LINK_FILE}};
    const int events[] = {EV_FIRMWARE_VERSION, EV_PRODUCT_INFO, EV_POSITION_LLA, EV_VELOCITY_ENU, EV_FIX_REPORT,
                          EV_TIMING_FIX, EV_GPS_TIME, EV_FIX_MODE, EV_HEALTH, EV_MACHINE_ID, EV_TRACKING,
                          EV_CLOCK_BIAS, EV_ANTENNA_STATUS, EV_END_OF_DATA, EV_DOPS, EV_TIME_SET_REPLY};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.m_initialised = c.initialised;
        dlg.m_linkMode = c.mode;
        const auto before = Snapshot();
        for (int event : events) Send(event, event == EV_TIME_SET_REPLY ? 89 : 1);
        EXPECT_EQ(before, Snapshot());
        EXPECT_FALSE(dlg.m_balloon.pending);
        EXPECT_FALSE(dlg.m_markPosition || dlg.m_markVelocity || dlg.m_markOscillator);
    }
}

// While a reset runs only the raw frame and the identification of the
// receiver that comes back count.
TEST_F(MainWndEventsTest, DuringAResetOnlyIdentificationActs)
{
    REQUIRE_FIELD_HELPERS();
    // A raw frame can be read only while its event is being delivered, so the
    // window listens to its own link as it does on a live port (a link
    // without a reader: nothing but the test raises events).
    CModel& model = dlg.m_link.GetModel();
    ASSERT_TRUE(dlg.m_link.Start(PROTO_NONE, nullptr));
    FillModel(model);
    ASSERT_TRUE(dlg.m_link.AddListener(dlg.GetSafeHwnd(), WM_RECEIVER_EVENT));
    dlg.m_resetRunning = true;
    const auto before = Snapshot();
    for (int event : {EV_CORE_VERSION, EV_POSITION_LLA, EV_VELOCITY_ENU, EV_FIX_REPORT, EV_TIMING_FIX, EV_GPS_TIME,
                      EV_FIX_MODE, EV_HEALTH, EV_MACHINE_ID, EV_TRACKING, EV_CLOCK_BIAS, EV_ANTENNA_STATUS,
                      EV_END_OF_DATA, EV_DOPS, EV_TIME_SET_REPLY})
        Send(event, 1);
    EXPECT_EQ(before, Snapshot());
    EXPECT_FALSE(dlg.m_balloon.pending);

    // Raw frames still reach their protocol's hook: the protocol pane names
    // what the receiver talks, and a diagnostic value is taken.
    const std::string nmea = "$GPGGA,,,,,,0,00,,,M,,M,,*66\r\n";
    const struct {
        const char* name;
        ProtocolKind kind;
        std::vector<BYTE> frame;
        const char* pane;
    } frames[] = {
        {"QBIN diagnostic value", PROTO_QBIN, {0x10, 0x5F, 0x02, 0x12, 0x34, 0x56, 0x78, 0x10, 0x03}, "QBIN"},
        {"NMEA sentence", PROTO_NMEA, std::vector<BYTE>(nmea.begin(), nmea.end()), "NMEA/QBIN"},
    };
    dlg.m_commandProtocol = PROTO_QBIN;
    for (const auto& f : frames) {
        SCOPED_TRACE(f.name);
        model.SetLastRawFrame(f.kind, f.frame.data(), static_cast<int>(f.frame.size()));
        EXPECT_EQ(f.kind, dlg.m_detectedProtocol);
        EXPECT_EQ(f.pane, PaneText(ID_PANE_PROTOCOL));
    }
    EXPECT_TRUE(dlg.m_diagValueHeld);
    EXPECT_EQ(0x12345678u, dlg.m_diagValue);
    EXPECT_EQ(before, Snapshot());

    Send(EV_FIRMWARE_VERSION);
    EXPECT_EQ("7.74.3", Text(IDC_APP_VERSION));
    EXPECT_EQ("03/15/07", Text(IDC_APP_DATE));
    Send(EV_PRODUCT_INFO);
    EXPECT_EQ(CString("SIM-1 GPS Receiver"), dlg.m_receiverName);
    dlg.m_link.RemoveListener(dlg.GetSafeHwnd());
    dlg.m_link.Disconnect();
}

// The combined timing report fills only what no dedicated report filled:
// after position, velocity and clock reports it changes nothing; without
// them it shows its position and dashes for the velocity it lacks.
TEST_F(MainWndEventsTest, TimingFixFillsOnlyWhatNoDedicatedReportFilled)
{
    REQUIRE_FIELD_HELPERS();
    FillModel(dlg.m_link.GetModel());
    const struct {
        const char* name;
        std::vector<int> first;
        bool changes;
    } cases[] = {{"after 3, 5 and 17", {EV_POSITION_LLA, EV_VELOCITY_ENU, EV_CLOCK_BIAS}, false},
                 {"after 4, 6 and 17", {EV_POSITION_XYZ, EV_VELOCITY_XYZ, EV_CLOCK_BIAS}, false},
                 {"after 7", {EV_FIX_REPORT}, false},
                 {"alone", {}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.m_markPosition = dlg.m_markVelocity = dlg.m_markOscillator = false;
        FillModel(dlg.m_link.GetModel());
        for (int event : c.first) Send(event);
        MovePosition(dlg.m_link.GetModel());
        const auto before = Snapshot();
        Send(EV_TIMING_FIX);
        const auto after = Snapshot();
        if (c.changes) {
            EXPECT_NE(before.at(IDC_LAT_DEG), after.at(IDC_LAT_DEG));
            EXPECT_EQ("- - - - -", after.at(IDC_VEL_VALUE1));
        } else {
            EXPECT_EQ(before, after);
        }
    }
}

// The receiver's answer to a set-time command: 'Y' (89) is success, every
// other answer (and the time-out's 78) a failure, told in the status line
// and a balloon.
TEST_F(MainWndEventsTest, SetTimeResultTellsTheOutcome)
{
    const struct {
        int detail;
        const char* text;
        COLORREF colour;
    } cases[] = {{89, "Receiver time successfully set!", RGB(0, 100, 0)},
                 {78, "Could not set receiver time!", RGB(200, 0, 0)},
                 {0, "Could not set receiver time!", RGB(200, 0, 0)},
                 {'N', "Could not set receiver time!", RGB(200, 0, 0)}};
    dlg.SetStatusText("probe");
    const CString probe = dlg.GetStatusBar().GetPaneText(dlg.GetStatusBar().CommandToIndex(ID_PANE_MESSAGE));
    ASSERT_GE(probe.Find("probe"), 0) << "the status line is not written";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.detail);
        dlg.m_setTimePending = true;
        dlg.m_balloon = BalloonRequest();
        Send(EV_TIME_SET_REPLY, c.detail);
        EXPECT_FALSE(dlg.m_setTimePending);
        EXPECT_TRUE(dlg.m_balloon.pending);
        EXPECT_EQ(CString(c.text), dlg.m_balloon.text);
        EXPECT_EQ(c.colour, dlg.m_balloon.textColour);
        EXPECT_EQ(RGB(255, 255, 225), dlg.m_balloon.backColour);
        EXPECT_EQ(300, dlg.m_balloon.x);
        EXPECT_EQ(90, dlg.m_balloon.y);
        EXPECT_EQ(3, dlg.m_balloon.seconds);
        CString pane = dlg.GetStatusBar().GetPaneText(dlg.GetStatusBar().CommandToIndex(ID_PANE_MESSAGE));
        pane.TrimLeft();
        EXPECT_EQ(CString(c.text), pane);
    }
}

// A diagnostic frame too short for its sub-code is dropped before any byte
// past its end is read; a whole one is taken.
TEST_F(MainWndEventsTest, ShortDiagnosticFramesChangeNothing)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "mainwnd_diag_test";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    dlg.m_dataFolder = folder.c_str();
    dlg.m_port = 5;
    dlg.m_optLogDiag = 1;
    const std::string logPath = folder + "\\diag_com5.txt";
    ::DeleteFileA(logPath.c_str());

    const struct {
        const char* name;
        std::vector<BYTE> frame;
    } shortFrames[] = {
        {"value, 5 bytes", {0x10, 0x5F, 0x02, 0x10, 0x03}},
        {"value, 8 bytes", {0x10, 0x5F, 0x02, 0x01, 0x02, 0x03, 0x10, 0x03}},
        {"page, 5 bytes", {0x10, 0x5F, 0x03, 0x01, 0x10}},
        {"text, 4 bytes", {0x10, 0x5F, 0xFF, 0x10}},
        {"id only", {0x10, 0x5F}},
        {"empty", {}},
    };
    for (const auto& f : shortFrames) {
        SCOPED_TRACE(f.name);
        CByteArray frame;
        for (BYTE b : f.frame) frame.Add(b);
        const auto before = Snapshot();
        dlg.HandleDiagPacket(frame);
        EXPECT_FALSE(dlg.m_diagValueHeld);
        EXPECT_EQ(before, Snapshot());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(logPath.c_str()));
    }

    CByteArray value;
    for (int b : {0x10, 0x5F, 0x02, 0x12, 0x34, 0x56, 0x78, 0x10, 0x03}) value.Add(static_cast<BYTE>(b));
    dlg.HandleDiagPacket(value);
    EXPECT_TRUE(dlg.m_diagValueHeld);
    EXPECT_EQ(0x12345678u, dlg.m_diagValue);

    CByteArray text;
    for (int b : {0x10, 0x5F, 0xFF, int('h'), int('i'), 0x10, 0x03}) text.Add(static_cast<BYTE>(b));
    dlg.HandleDiagPacket(text);
    dlg.m_diagLogs.Close();
    HANDLE h = ::CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    char buf[128] = {};
    DWORD got = 0;
    ::ReadFile(h, buf, sizeof buf - 1, &got, nullptr);
    ::CloseHandle(h);
    const std::string line(buf, got);
    EXPECT_NE(std::string::npos, line.find(": hi\r\n")) << line;
    ::DeleteFileA(logPath.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

// A CRC error goes, with the time and the frame that failed, to the CRC twin
// of the port's diagnostic log in the window's data folder; with diagnostic
// logging off nothing is written.
TEST_F(MainWndEventsTest, CrcErrorsGoToThePortsCrcLog)
{
    ScratchFolder folder("mainwnd_crc_test");
    dlg.m_dataFolder = folder.Path().c_str();
    FixedClock clock;
    const CalendarTime local = {2007, 3, 0, 15, 13, 2, 3, 0};
    clock.Set(local, local, 0);
    ScopedClock useClock(&clock);
    // A health report whose CRC did not match, kept by the model as the
    // reader keeps it before it raises the error.
    const BYTE bad[] = {0x10, 0x46, 0x00, 0x00, 0x10, 0x03};
    dlg.m_link.GetModel().SetLastRawFrame(PROTO_QBIN, bad, sizeof bad);

    const struct {
        const char* name;
        BYTE port;
        int32_t logDiag;
        const char* file;
        bool written;
    } cases[] = {
        {"logging off", 5, 0, "crcLog_com5.txt", false},
        {"COM5", 5, 1, "crcLog_com5.txt", true},
        {"COM12", 12, 1, "crcLog_com12.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.m_port = c.port;
        dlg.m_optLogDiag = c.logDiag;
        Send(EV_CRC_ERROR, PROTO_QBIN);
        dlg.m_diagLogs.Close();
        const std::string path = folder / c.file;
        if (!c.written) {
            EXPECT_FALSE(Exists(path));
            continue;
        }
        const std::string text = ReadFileText(path);
        EXPECT_EQ(0u, text.find("03/15/07 01:02:03PM: QBIN CRC error for Packet 0x46: \r\n")) << text;
        EXPECT_NE(std::string::npos, text.find("Raw Data: 10 46 00 00 10 03\r\n")) << text;
        // The diagnostic log itself is not touched.
        EXPECT_FALSE(Exists(folder / ("diag_com" + std::to_string(c.port) + ".txt").c_str()));
    }
}

// The internal tools are shown only outside user mode, and then with the
// stored access flag or a reachable internal share (the environment's, else
// the profile's). The share is looked at on a worker; the window takes the
// answer from a posted message and rebuilds its menu on its own thread.
TEST_F(MainWndEventsTest, GateDecidesTheInternalToolsOnTheGuiThread)
{
    ScratchFolder folder("mainwnd_gate_test");
    const std::string share = folder / "share";
    ASSERT_TRUE(::CreateDirectoryA(share.c_str(), nullptr));
    const std::string plainFile = folder / "share.txt";
    {
        HANDLE h = ::CreateFileA(plainFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        ::CloseHandle(h);
    }
    const std::string missing = folder / "gone";
    dlg.m_dataFolder = folder.Path().c_str();
    // The program's menu: the internal layout shows "Data Playback...".
    ::SetMenu(dlg.GetSafeHwnd(), ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU)));
    auto hasPlayback = [&]() {
        return ::GetMenuState(::GetMenu(dlg.GetSafeHwnd()), ID_DATA_PLAYBACK, MF_BYCOMMAND) != static_cast<UINT>(-1);
    };
    // The profile the window reads, under a key of its own.
    CWinApp app("MainWnd Gate Test");
    app.SetRegistryKey("Velmara Test");

    const struct {
        const char* name;
        bool userMode;
        bool access;
        const char* environment;  // nullptr: not set
        const char* profile;      // nullptr: no entry
        bool shown;
    } cases[] = {
        {"no share, no access", false, false, nullptr, nullptr, false},
        {"access flag", false, true, nullptr, nullptr, true},
        {"share is a folder", false, false, share.c_str(), nullptr, true},
        {"share missing", false, false, missing.c_str(), nullptr, false},
        {"share is a file", false, false, plainFile.c_str(), nullptr, false},
        {"share from the profile", false, false, nullptr, share.c_str(), true},
        {"environment before profile", false, false, missing.c_str(), share.c_str(), false},
        {"user mode", true, true, share.c_str(), nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        _putenv((std::string("VELMARA_INTERNAL_SHARE=") + (c.environment != nullptr ? c.environment : "")).c_str());
        app.WriteProfileString("Options", "InternalShare", c.profile);
        dlg.m_userMode = c.userMode;
        dlg.m_accessFlag = c.access;
        dlg.m_internalTools = !c.shown;
        dlg.BuildMenu(0);

        dlg.StartGate();
        // The worker's answer arrives as a message: until the window's thread
        // takes it, neither the flag nor the menu has changed.
        MSG msg = {};
        const DWORD start = ::GetTickCount();
        while (!::PeekMessageA(&msg, dlg.GetSafeHwnd(), WM_GATE_DONE, WM_GATE_DONE, PM_NOREMOVE) &&
               ::GetTickCount() - start < 5000)
            ::Sleep(1);
        ASSERT_EQ(WM_GATE_DONE, msg.message) << "the gate never answered";
        EXPECT_EQ(!c.shown, dlg.m_internalTools);
        EXPECT_EQ(!c.shown, hasPlayback());

        PumpPending();
        EXPECT_EQ(c.shown, dlg.m_internalTools);
        EXPECT_EQ(c.shown, hasPlayback());
    }
    _putenv("VELMARA_INTERNAL_SHARE=");
    app.WriteProfileString("Options", nullptr, nullptr);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test\\MainWnd Gate Test");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test");
}

// The layouts of the display formats: captions, labels and units, which
// rows take input, and which position fields are shown.
TEST_F(MainWndEventsTest, DisplayFormatsSetTheirLabels)
{
    REQUIRE_FIELD_HELPERS();
    const struct {
        int code;
        std::vector<std::pair<UINT, const char*>> texts;
        std::vector<std::pair<UINT, bool>> enabled;
        std::vector<std::pair<UINT, bool>> visible;
    } cases[] = {
        {1, {{IDC_GROUP_VELOCITY, "Velocity "}, {IDC_VEL_WORD1, "East"}, {IDC_VEL_WORD3, "Up"}, {IDC_VEL_UNIT2, "m/s"},
             {IDC_SPEED_LABEL, "Speed"}},
         {{IDC_VEL_VALUE3, true}, {IDC_SPEED_VALUE, true}}, {}},
        {2, {{IDC_VEL_WORD1, "      X"}, {IDC_VEL_WORD2, "      Y"}, {IDC_VEL_WORD3, "      Z"}}, {}, {}},
        {14, {{IDC_GROUP_VELOCITY, "Speed and Heading "}, {IDC_VEL_WORD1, "Speed"}, {IDC_VEL_WORD2, "Heading"},
              {IDC_VEL_WORD3, "n/a"}, {IDC_VEL_UNIT1, "km/hr"}, {IDC_VEL_UNIT2, "deg"}, {IDC_VEL_UNIT3, "m/s"}},
         {{IDC_VEL_VALUE3, false}, {IDC_SPEED_VALUE, false}}, {}},
        {15, {{IDC_VEL_WORD2, "Vert. Spd"}, {IDC_VEL_WORD3, "Heading"}, {IDC_VEL_UNIT1, "mph"},
              {IDC_VEL_UNIT2, "mph"}, {IDC_VEL_UNIT3, "deg"}},
         {{IDC_VEL_VALUE3, true}, {IDC_SPEED_VALUE, false}}, {}},
        {16, {{IDC_VEL_WORD2, "Heading"}, {IDC_VEL_WORD3, "Vert. Spd"}, {IDC_VEL_UNIT3, "m/s"}}, {}, {}},
        {5, {{IDC_LAT_CAPTION, "      X"}, {IDC_LON_CAPTION, "      Y"}, {IDC_ALT_CAPTION, "      Z"}}, {},
         {{IDC_LAT_VALUE, true}, {IDC_LAT_HEMI, false}, {IDC_LAT_DEGSIGN, false}}},
        {4, {{IDC_LAT_CAPTION, "Latitude"}, {IDC_LON_CAPTION, "Longitude"}, {IDC_ALT_CAPTION, "Altitude"}}, {},
         {{IDC_LAT_VALUE, false}, {IDC_LAT_HEMI, true}, {IDC_LON_MIN, true}}},
        {6, {{IDC_ALT_UNIT, "m MSL"}}, {}, {}},
        {7, {{IDC_ALT_UNIT, "m HAE"}}, {}, {}},
        {9, {{IDC_GROUP_TIME, "Time [UTC] "}}, {}, {}},
        {8, {{IDC_GROUP_TIME, "Time [GPS] "}}, {}, {}},
        {11, {{IDC_LEVEL_CAPTION, "AMU"}}, {}, {}},
        {10, {{IDC_LEVEL_CAPTION, "C/No"}}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        dlg.ApplyDisplayFormat(c.code);
        for (const auto& t : c.texts) EXPECT_EQ(t.second, Text(t.first)) << "field " << t.first;
        for (const auto& e : c.enabled)
            EXPECT_EQ(e.second, ::IsWindowEnabled(::GetDlgItem(dlg.GetSafeHwnd(), e.first)) != FALSE) << e.first;
        for (const auto& v : c.visible)
            EXPECT_EQ(v.second, (::GetWindowLongA(::GetDlgItem(dlg.GetSafeHwnd(), v.first), GWL_STYLE) & WS_VISIBLE) != 0)
                << v.first;
    }
    // Switching the position layout empties what the old layout showed.
    dlg.SetFieldText(IDC_LAT_HEMI, "N");
    dlg.ApplyDisplayFormat(5);
    EXPECT_EQ("", Text(IDC_LAT_HEMI));
}

// NMEA and KESTO links fill speed over ground and course: the speed-and-
// heading layout shows them, a speed or heading the receiver did not give
// shows dashes (not a scaled marker), and one with nothing new keeps its text.
TEST_F(MainWndEventsTest, SpeedAndHeadingShowMarkersAsDashes)
{
    REQUIRE_FIELD_HELPERS();
    CModel& model = dlg.m_link.GetModel();
    FillModel(model);
    const struct {
        double knots, heading;
        const char *speed, *headingText;
    } cases[] = {
        {10.0, 1.5707963267948966, "18.520", "90.0"},
        {-700000.0, 1.5707963267948966, "- - -", "90.0"},
        {-800000.0, -700000.0, "- - -", "- - -"},
        {5.0, -800000.0, "9.260", "- - -"},
    };
    for (int kind : {PROTO_NMEA, PROTO_KESTO}) {
        dlg.m_detectedProtocol = kind;
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "protocol " << kind << ", " << c.knots << " kn");
            NavState nav = {};
            model.GetNavState(nav);
            nav.groundSpeedKnots = c.knots;
            nav.heading = c.heading;
            nav.velUp = -700000.0;
            model.UpdateNavState(nav, NAV_KIND_VEL_ENU, nullptr);
            Send(EV_VELOCITY_ENU);
            EXPECT_EQ("Speed and Heading ", Text(IDC_GROUP_VELOCITY));
            EXPECT_EQ(c.speed, Text(IDC_VEL_VALUE1));
            EXPECT_EQ(c.headingText, Text(IDC_VEL_VALUE2));
            EXPECT_EQ("n/a", Text(IDC_VEL_VALUE3));
        }
    }
}

// On a KESTO link a tracking entry whose status says "used in the fix" is
// highlighted even when no fix record lists its satellite; elsewhere the
// same byte holds tracking bits and marks nothing.
TEST_F(MainWndEventsTest, KestoUsedFlagHighlightsTheRow)
{
    REQUIRE_FIELD_HELPERS();
    CModel& model = dlg.m_link.GetModel();
    FillModel(model);
    TrackingTable table = {};
    model.GetTrackingTable(table);
    const struct {
        uint8_t sv, status;
    } rows[] = {{21, 1}, {22, 0}, {23, 1}};
    for (int row = 0; row < 3; ++row) {
        TrackingEntry& e = table.entries[row + 1];
        e.sv = rows[row].sv;  // none of them is in the fix record
        e.signalLevel = 40.0f;
        e.status = rows[row].status;
        e.status2 = 254;
    }
    table.entries[3].signalLevel = 0.0f;  // used, but no signal: not marked
    model.SetTrackingTable(table, 255);

    dlg.m_detectedProtocol = PROTO_QBIN;
    Send(EV_TRACKING, 255);
    EXPECT_FALSE(dlg.m_channelRows[1].highlighted);

    dlg.m_detectedProtocol = PROTO_KESTO;
    Send(EV_TRACKING, 255);
    EXPECT_TRUE(dlg.m_channelRows[0].highlighted);  // satellite 5 is in the fix record
    EXPECT_TRUE(dlg.m_channelRows[1].highlighted);
    EXPECT_FALSE(dlg.m_channelRows[2].highlighted);
    EXPECT_FALSE(dlg.m_channelRows[3].highlighted);

    // The module drops the satellite from its fix: the mark goes.
    table.entries[1].status = 0;
    model.SetTrackingTable(table, 1);
    Send(EV_TRACKING, 1);
    EXPECT_FALSE(dlg.m_channelRows[1].highlighted);
}

// A receiver that goes quiet: each field empties itself at its limit, and
// once status and mode are both stale the version goes and contact is lost.
TEST_F(MainWndEventsTest, StaleFieldsEmptyThemselvesAtTheirLimit)
{
    REQUIRE_FIELD_HELPERS();
    FillModel(dlg.m_link.GetModel());
    for (int event : {EV_POSITION_LLA, EV_FIX_MODE, EV_HEALTH, EV_FIRMWARE_VERSION}) Send(event);
    Send(EV_TRACKING, 0);
    ASSERT_EQ("N", Text(IDC_LAT_HEMI));
    for (int field = 0; field < STALE_FIELD_COUNT; ++field) dlg.m_stale.SetLimit(field, 3);
    const int fields[] = {STALE_POSITION, STALE_RECEIVER_STATUS, STALE_RECEIVER_MODE, STALE_CHANNEL_FIRST};
    for (int tick = 1; tick <= 2; ++tick)
        for (int field : fields) dlg.CheckStaleFields(field);
    EXPECT_EQ("N", Text(IDC_LAT_HEMI));
    EXPECT_EQ("doing position fixes", Text(IDC_RCVR_STATUS));
    EXPECT_TRUE(dlg.m_receiverContact);
    for (int field : fields) dlg.CheckStaleFields(field);
    for (int id : {IDC_LAT_HEMI, IDC_LAT_DEG, IDC_LON_MIN, IDC_ALT_VALUE, IDC_RCVR_STATUS, IDC_FIX_MODE, IDC_PDOP,
                   IDC_APP_VERSION, IDC_CHANNEL_CELL(0, 0)})
        EXPECT_EQ("", Text(static_cast<UINT>(id))) << "field " << id;
    EXPECT_FALSE(dlg.m_receiverContact);
    EXPECT_FALSE(dlg.m_markPosition);
    // Without contact a live link's reports change nothing until a fix-mode
    // or health report brings it back.
    Send(EV_POSITION_LLA);
    EXPECT_EQ("", Text(IDC_LAT_HEMI));
    Send(EV_HEALTH);
    Send(EV_POSITION_LLA);
    EXPECT_EQ("N", Text(IDC_LAT_HEMI));
}

}  // namespace
