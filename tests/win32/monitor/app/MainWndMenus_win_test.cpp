// The main window's menu under Wine: the layouts and the protocol state on
// the program's own menu resource, the commands through WM_COMMAND as the
// menu sends them (resets, format commands, ports, protocols), the context
// menus, and the access code, about and user-mode dialogs run modally with a
// driver on a thread timer. The window is made from the program's template
// without its start-up; the link is a scripted port.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CAboutDlg.h"
#include "app/CMainWndDlg.h"
#include "app/CPasswordDlg.h"
#include "app/MainWndProfile.h"
#include "framework/MessagePrompter.h"
#include "framework/afx.h"
#include "link/CChannel.h"
#include "win32/monitor/app/TestMainWnd.h"

namespace {

void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// A port that takes every write, or refuses them all, and never answers.
class SilentPort : public CChannel {
public:
    SilentPort(std::string* written, const bool* refuseWrites) : m_written(written), m_refuse(refuseWrites) {}
    int Read(BYTE*, uint16_t, int32_t timeoutMs) override
    {
        if (timeoutMs >= 0) return -1;
        ::Sleep(2);
        return 0;
    }
    int Write(const BYTE* buf, uint16_t len, int32_t) override
    {
        if (*m_refuse) return -1;
        m_written->append(reinterpret_cast<const char*>(buf), len);
        return len;
    }
    bool Close() override { return true; }
    int GetType() override { return CHANNEL_TYPE_SERIAL; }

private:
    std::string* m_written;
    const bool* m_refuse;
};

class SilentFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings& settings) override
    {
        openedPort = settings.portNumber;
        return refuseOpen ? nullptr : new SilentPort(&written, &refuseWrites);
    }
    CChannel* OpenPlayback(const PlaybackSettings&) override { return nullptr; }

    bool refuseOpen = false;
    bool refuseWrites = false;
    std::string written;
    uint32_t openedPort = 0;
};

// Drives a modal loop from a thread timer: each step runs on a tick until it
// says it is done. After five seconds whatever dialog of the thread is open
// gets IDCANCEL, so a broken dialog fails the test instead of hanging it.
class ModalDriver {
public:
    explicit ModalDriver(std::vector<std::function<bool()>> steps) : m_steps(std::move(steps))
    {
        s_active = this;
        m_start = ::GetTickCount();
        m_timer = ::SetTimer(nullptr, 0, 30, &ModalDriver::Tick);
    }
    ~ModalDriver()
    {
        ::KillTimer(nullptr, m_timer);
        s_active = nullptr;
    }
    bool Finished() const { return m_next >= m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalDriver* d = s_active;
        if (d == nullptr || d->m_busy) return;
        d->m_busy = true;
        if (d->m_next < d->m_steps.size()) {
            if (d->m_steps[d->m_next]()) ++d->m_next;
        }
        if (::GetTickCount() - d->m_start > 5000) {
            if (HWND box = ::FindWindowA("#32770", nullptr)) ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }
        d->m_busy = false;
    }

    static ModalDriver* s_active;
    std::vector<std::function<bool()>> m_steps;
    size_t m_next = 0;
    DWORD m_start = 0;
    UINT_PTR m_timer = 0;
    bool m_busy = false;
};
ModalDriver* ModalDriver::s_active = nullptr;

HWND FindDialog(const char* caption)
{
    HWND h = ::FindWindowA("#32770", caption);
    return h != nullptr && ::IsWindowVisible(h) ? h : nullptr;
}

// The main window from the program's own template and menu, with the tool
// bar combos and the firmware group's popup its start-up would make.
class MenusMainWnd : public TestMainWnd {
public:
    using CMainWndDlg::ApplyFormatCommand;
};

class MainWndMenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg.SetCommandLineFlag(true);
        ASSERT_TRUE(dlg.CreateModeless(IDD_MAIN_WND, nullptr));
        dlg.m_linkCombo = dlg.AddToolBarCombo(ID_LINK_COMBO, 71, 120);
        dlg.m_gpsDataCombo = dlg.AddToolBarCombo(ID_GPSDATA_COMBO, 90, 120);
        ASSERT_NE(nullptr, dlg.m_linkCombo);
        for (const char* item : {"IDLE", kDashes, "COM 5", "COM 12", kDashes, "FILE"}) dlg.m_linkCombo->AddString(item);
        dlg.m_menuRcvrVersion.CreatePopupMenu();
        dlg.m_menuRcvrVersion.AppendMenu(MF_STRING, ID_RCVR_VERSION, "&Receiver Version...");
        dlg.m_menuTimeBase.CreatePopupMenu();
        dlg.m_menuTimeBase.AppendMenu(MF_STRING, ID_TIME_GPS, "&GPS");
        dlg.m_menuProtocol.CreatePopupMenu();
        dlg.m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_AUTO, "Auto");
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
    }

    HMENU Menu() { return ::GetMenu(dlg.GetSafeHwnd()); }

    // The item of the menu bar at submenu/position: its command (0 for a
    // separator or popup) and text.
    UINT IdAt(int submenu, int position)
    {
        HMENU sub = ::GetSubMenu(Menu(), submenu);
        return sub != nullptr ? ::GetMenuItemID(sub, position) : static_cast<UINT>(-2);
    }
    std::string TextAt(int submenu, int position)
    {
        char text[128] = {};
        ::GetMenuStringA(::GetSubMenu(Menu(), submenu), static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
        return text;
    }
    bool IsSeparatorAt(int submenu, int position)
    {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        return ::GetMenuItemInfoA(::GetSubMenu(Menu(), submenu), static_cast<UINT>(position), TRUE, &info) &&
               (info.fType & MFT_SEPARATOR) != 0;
    }
    bool Has(UINT id) { return ::GetMenuState(Menu(), id, MF_BYCOMMAND) != static_cast<UINT>(-1); }
    bool Greyed(HMENU menu, UINT id) { return (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    bool Checked(UINT id) { return (::GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    // The popup item of a top-level menu that holds a command: greyed?
    bool PopupGreyed(UINT childId)
    {
        for (int s = 0; s < ::GetMenuItemCount(Menu()); ++s) {
            HMENU sub = ::GetSubMenu(Menu(), s);
            for (int p = 0; p < ::GetMenuItemCount(sub); ++p) {
                HMENU popup = ::GetSubMenu(sub, p);
                if (popup != nullptr && ::GetMenuState(popup, childId, MF_BYCOMMAND) != static_cast<UINT>(-1))
                    return (::GetMenuState(sub, static_cast<UINT>(p), MF_BYPOSITION) & MF_GRAYED) != 0;
            }
        }
        ADD_FAILURE() << "no popup holds " << childId;
        return false;
    }
    std::vector<std::string> ComboItems()
    {
        std::vector<std::string> items;
        for (int i = 0; i < dlg.m_linkCombo->GetCount(); ++i) {
            CString text;
            dlg.m_linkCombo->GetLBText(i, text);
            items.push_back(static_cast<const char*>(text));
        }
        return items;
    }
    void Command(UINT id) { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::string Text(UINT id)
    {
        char buf[128] = {};
        ::GetDlgItemTextA(dlg.GetSafeHwnd(), static_cast<int>(id), buf, sizeof buf);
        return buf;
    }

    static constexpr const char* kDashes = "-----------------------------------------";
    MenusMainWnd dlg;
    SilentFactory factory;
};

// ---- Layouts on menu 207 ---------------------------------------------------------------

TEST_F(MainWndMenusTest, LayoutsOnTheProgramsMenu)
{
    ASSERT_NE(nullptr, Menu());
    const UINT internalOnly[] = {ID_DATA_PLAYBACK,      ID_DIAGNOSTICS, ID_SCRIPT_STATUS,  ID_INTERNAL_TOOLS_NOTE,
                                 ID_DATA_RECORDER_TOOL, ID_TTFF_TESTER, ID_PROTOCOL_TESTER, ID_TIMING_RECEIVER};
    dlg.m_internalTools = false;
    dlg.BuildMenu(0);
    for (UINT id : internalOnly) EXPECT_FALSE(Has(id)) << id;
    EXPECT_EQ(static_cast<UINT>(ID_DOUBLE_PRECISION), IdAt(2, 7));
    EXPECT_EQ("&Double Precision", TextAt(2, 7));
    EXPECT_EQ((std::vector<std::string>{"IDLE", kDashes, "COM 5", "COM 12"}), ComboItems());

    dlg.m_internalTools = true;
    dlg.BuildMenu(0);
    EXPECT_EQ("&Data Playback...", TextAt(0, 1));
    EXPECT_EQ(static_cast<UINT>(ID_TIMING_RECEIVER), IdAt(2, 15));
    EXPECT_TRUE(IsSeparatorAt(2, 16));
    EXPECT_EQ("&Diagnostics...", TextAt(2, 17));
    EXPECT_TRUE(IsSeparatorAt(4, 5));
    EXPECT_EQ("= Internal Tools =", TextAt(4, 6));
    EXPECT_EQ(static_cast<UINT>(ID_DATA_RECORDER_TOOL), IdAt(4, 7));
    EXPECT_EQ(static_cast<UINT>(ID_TTFF_TESTER), IdAt(4, 8));
    EXPECT_EQ(static_cast<UINT>(ID_PROTOCOL_TESTER), IdAt(4, 9));
    const std::vector<std::string> combo = ComboItems();
    ASSERT_EQ(6u, combo.size());
    EXPECT_EQ("FILE", combo.back());

    // A timing receiver in the user layout.
    dlg.m_link.GetModel().SetReceiverModel(3001);
    dlg.m_internalTools = false;
    dlg.BuildMenu(0);
    EXPECT_EQ(static_cast<UINT>(ID_TIMING_RECEIVER), IdAt(2, 13));
    EXPECT_EQ("&Timing Receiver...", TextAt(2, 13));
    EXPECT_FALSE(Has(ID_DOUBLE_PRECISION));
}

TEST_F(MainWndMenusTest, FiveSwitchesKeepBothLayouts)
{
    auto describe = [&]() {
        std::string out;
        for (int s = 0; s < ::GetMenuItemCount(Menu()); ++s)
            for (int p = 0; p < ::GetMenuItemCount(::GetSubMenu(Menu(), s)); ++p)
                out += std::to_string(s) + "/" + std::to_string(p) + " " + std::to_string(IdAt(s, p)) + " " +
                       TextAt(s, p) + "\n";
        return out;
    };
    dlg.m_internalTools = true;
    dlg.BuildMenu(0);
    const std::string internal = describe();
    dlg.m_internalTools = false;
    dlg.BuildMenu(0);
    const std::string user = describe();
    for (int cycle = 0; cycle < 5; ++cycle) {
        dlg.m_internalTools = true;
        dlg.BuildMenu(0);
        EXPECT_EQ(internal, describe()) << cycle;
        dlg.m_internalTools = false;
        dlg.BuildMenu(0);
        EXPECT_EQ(user, describe()) << cycle;
    }
}

// ---- Menu state by protocol ------------------------------------------------------------------

TEST_F(MainWndMenusTest, MenuStateFollowsTheCommandProtocol)
{
    dlg.m_internalTools = true;
    dlg.BuildMenu(0);
    const struct {
        ProtocolKind kind;
        bool hotReset, semiWarm, viewPopups, versionItem, saveConfig, gpsCombo, speedUnit, rtcIcon;
    } cases[] = {
        {PROTO_QBIN, true, true, true, true, true, true, true, true},
        {PROTO_NMEA, true, true, false, true, true, true, true, false},
        {PROTO_QTXT, false, false, false, false, true, false, false, true},
        {PROTO_KESTO, true, false, false, true, true, false, true, true},
        {PROTO_QOP, false, false, false, false, false, false, false, false},
        {PROTO_CUSTOM_BIN, true, true, true, true, true, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        dlg.m_commandProtocol = c.kind;
        dlg.UpdateMenuState(0);
        EXPECT_EQ(!c.hotReset, Greyed(Menu(), ID_RESET_HOT));
        EXPECT_EQ(!c.semiWarm, Greyed(Menu(), ID_RESET_SEMI_WARM));
        EXPECT_EQ(!c.semiWarm, PopupGreyed(ID_INIT_ALMANAC));
        EXPECT_EQ(!c.viewPopups, PopupGreyed(ID_POS_LLA));
        EXPECT_EQ(!c.viewPopups, PopupGreyed(ID_SIGNAL_CNO));
        EXPECT_EQ(!c.viewPopups, Greyed(Menu(), ID_DOUBLE_PRECISION));
        EXPECT_EQ(!c.semiWarm, PopupGreyed(ID_GPSDATA_UTC));
        EXPECT_EQ(!c.versionItem, Greyed(Menu(), ID_RCVR_VERSION));
        EXPECT_EQ(!c.versionItem, Greyed(dlg.m_menuRcvrVersion.GetSafeHmenu(), ID_RCVR_VERSION));
        EXPECT_EQ(!c.saveConfig, Greyed(Menu(), ID_SAVE_CONFIG));
        EXPECT_EQ(c.gpsCombo, dlg.m_gpsDataCombo->IsWindowEnabled() != FALSE);
        EXPECT_EQ(c.speedUnit, ::IsWindowEnabled(::GetDlgItem(dlg.GetSafeHwnd(), IDC_SPEED_UNIT)) != FALSE);
        EXPECT_EQ(c.rtcIcon, ::IsWindowEnabled(::GetDlgItem(dlg.GetSafeHwnd(), IDC_RTC_ICON)) != FALSE);
    }
    // The default state is QBIN's whatever the link speaks.
    dlg.m_commandProtocol = PROTO_QOP;
    dlg.UpdateMenuState(1);
    EXPECT_FALSE(Greyed(Menu(), ID_SAVE_CONFIG));
    EXPECT_FALSE(PopupGreyed(ID_POS_LLA));
}

TEST_F(MainWndMenusTest, TextProtocolsSetTheirDisplayFormatsFirst)
{
    dlg.ApplyDisplayFormat(2);
    dlg.m_commandProtocol = PROTO_QTXT;
    dlg.UpdateMenuState(0);
    EXPECT_EQ("Speed and Heading ", Text(IDC_GROUP_VELOCITY));
    EXPECT_EQ("Latitude", Text(IDC_LAT_CAPTION));
    dlg.m_commandProtocol = PROTO_NMEA;
    dlg.UpdateMenuState(0);
    EXPECT_EQ("Velocity ", Text(IDC_GROUP_VELOCITY));
    EXPECT_EQ("East", Text(IDC_VEL_WORD1));
    // QBIN leaves the display as it is.
    dlg.ApplyDisplayFormat(2);
    dlg.m_commandProtocol = PROTO_QBIN;
    dlg.UpdateMenuState(0);
    EXPECT_EQ("      X", Text(IDC_VEL_WORD1));
}

// ---- Display formats and their menu checks ----------------------------------------------------

TEST_F(MainWndMenusTest, DisplayFormatsCheckTheirMenuItems)
{
    const struct {
        int code;
        std::vector<UINT> checked;
        std::vector<UINT> unchecked;
    } cases[] = {
        {1, {ID_VEL_ENU}, {ID_VEL_ECEF}},
        {2, {ID_VEL_ECEF}, {ID_VEL_ENU}},
        {5, {ID_POS_XYZ}, {ID_POS_LLA, ID_POS_LLA_DEC, ID_ALT_MSL, ID_ALT_HAE}},
        {4, {ID_POS_LLA}, {ID_POS_XYZ, ID_POS_LLA_DEC}},
        {6, {ID_ALT_MSL}, {ID_ALT_HAE}},
        {7, {ID_ALT_HAE}, {ID_ALT_MSL}},
        {9, {ID_TIME_UTC}, {ID_TIME_GPS}},
        {8, {ID_TIME_GPS}, {ID_TIME_UTC}},
        {11, {ID_SIGNAL_AMU}, {ID_SIGNAL_CNO}},
        {10, {ID_SIGNAL_CNO}, {ID_SIGNAL_AMU}},
        {13, {ID_DOUBLE_PRECISION}, {}},
        {12, {}, {ID_DOUBLE_PRECISION}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        dlg.ApplyDisplayFormat(c.code);
        for (UINT id : c.checked) EXPECT_TRUE(Checked(id)) << id;
        for (UINT id : c.unchecked) EXPECT_FALSE(Checked(id)) << id;
    }
    dlg.m_llaDecimal = 1;
    dlg.ApplyDisplayFormat(4);
    EXPECT_TRUE(Checked(ID_POS_LLA_DEC));
    EXPECT_FALSE(Checked(ID_POS_LLA));
}

// ---- Commands ------------------------------------------------------------------------------------

TEST_F(MainWndMenusTest, ResetsOnlyAfterAWrittenResetInMonitor)
{
    dlg.m_commandProtocol = PROTO_QBIN;
    // IDLE and FILE write nothing and mark nothing.
    for (LinkMode mode : {LINK_IDLE, LINK_FILE}) {
        dlg.m_linkMode = mode;
        Command(ID_RESET_COLD);
        EXPECT_FALSE(dlg.m_resetRunning) << mode;
    }
    dlg.m_linkMode = LINK_IDLE;
    ASSERT_TRUE(dlg.EnterMonitorMode());
    // A write the port refuses leaves the receiver's data on screen.
    factory.refuseWrites = true;
    Command(ID_RESET_WARM);
    EXPECT_FALSE(dlg.m_resetRunning);
    factory.refuseWrites = false;
    factory.written.clear();
    Command(ID_RESET_COLD);
    EXPECT_TRUE(dlg.m_resetRunning);
    EXPECT_EQ(std::string("\x10\x1E\x4B\x10\x03", 5), factory.written);
    // Timer 13 ends the quiet second.
    const DWORD start = ::GetTickCount();
    while (dlg.m_resetRunning && ::GetTickCount() - start < 3000) {
        PumpPending();
        ::Sleep(5);
    }
    EXPECT_FALSE(dlg.m_resetRunning);
}

TEST_F(MainWndMenusTest, FactoryResetAsksFirst)
{
    ASSERT_TRUE(dlg.EnterMonitorMode());
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    prompter.Answer(IDNO);
    prompter.Answer(IDYES);
    factory.written.clear();
    Command(ID_RESET_FACTORY);
    EXPECT_EQ("", factory.written);
    EXPECT_FALSE(dlg.m_resetRunning);
    Command(ID_RESET_FACTORY);
    EXPECT_EQ(std::string("\x10\x1E\x46\x10\x03", 5), factory.written);
    ASSERT_EQ(2u, prompter.boxes.size());
    EXPECT_EQ("Are you sure you want to perform a factory reset?\n"
              "This will reset the receiver configuration to factory defaults.",
              prompter.boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), prompter.boxes[0].type & (MB_TYPEMASK | MB_ICONMASK));
}

// In MONITOR the receiver is told and the display waits for its report; in
// IDLE the display follows at once. Options never reported are asked for,
// not overwritten with zeros.
TEST_F(MainWndMenusTest, FormatCommandsFollowTheReceiver)
{
    Command(ID_TIME_UTC);
    EXPECT_EQ("Time [UTC] ", Text(IDC_GROUP_TIME));
    Command(ID_TIME_GPS);
    EXPECT_EQ("Time [GPS] ", Text(IDC_GROUP_TIME));

    ASSERT_TRUE(dlg.EnterMonitorMode());
    PumpPending();
    factory.written.clear();
    Command(ID_TIME_UTC);
    EXPECT_EQ(std::string("\x10\x35\x10\x03", 4), factory.written);
    EXPECT_EQ("Time [GPS] ", Text(IDC_GROUP_TIME));

    IoOptions reported = {};
    reported.position = 0x02;
    reported.velocity = 0x02;
    reported.timing = 0x00;
    reported.auxiliary = 0x08;
    dlg.m_link.GetModel().SetIoOptions(reported);
    PumpPending();
    factory.written.clear();
    Command(ID_TIME_UTC);
    EXPECT_EQ(std::string("\x10\x35\x02\x02\x01\x08\x10\x03", 8), factory.written);
    EXPECT_EQ("Time [GPS] ", Text(IDC_GROUP_TIME));
    // The receiver's report of its new options brings the display along.
    reported.timing = 0x01;
    dlg.m_link.GetModel().SetIoOptions(reported);
    dlg.SyncOutputFormatChecks();
    EXPECT_EQ("Time [UTC] ", Text(IDC_GROUP_TIME));
}

TEST_F(MainWndMenusTest, PortAndProtocolCommands)
{
    ScriptedPrompter prompter;  // a refused reconnect says so in a box
    CPrompterScope scope(&prompter);
    factory.refuseOpen = true;
    for (UINT id : {60000u, 60256u, 61000u}) {
        dlg.m_port = 7;
        Command(id);
        EXPECT_EQ(7, dlg.m_port) << id;
    }
    dlg.m_baud = 4800;
    Command(60005);
    EXPECT_EQ(5, dlg.m_port);
    EXPECT_EQ(4800u, dlg.m_baud);  // a port from the menu keeps the settings

    const ProtocolKind kinds[] = {PROTO_QBIN, PROTO_NMEA, PROTO_QTXT, PROTO_QOP};
    for (UINT i = 0; i < 4; ++i) {
        dlg.m_followReceived = 1;
        Command(ID_PROT_QBIN + i);
        EXPECT_EQ(kinds[i], dlg.m_commandProtocol);
        EXPECT_EQ(0, dlg.m_followReceived);
    }
    Command(ID_PROT_AUTO);
    EXPECT_EQ(1, dlg.m_followReceived);
}

TEST_F(MainWndMenusTest, WindowCommandsAndSpeedUnits)
{
    const struct {
        UINT id;
        const char* unit;
    } units[] = {{ID_SPEED_KMH, "km/hr"}, {ID_SPEED_MPH, "mi/hr"}, {ID_SPEED_MPS, "m/s"}};
    for (const auto& u : units) {
        Command(u.id);
        EXPECT_EQ(u.unit, Text(IDC_SPEED_UNIT));
        EXPECT_TRUE(Checked(u.id));
    }
    const int32_t onTop = dlg.m_onTop;
    Command(ID_ALWAYS_ON_TOP);
    EXPECT_NE(onTop, dlg.m_onTop);
    EXPECT_EQ(dlg.m_onTop != 0, Checked(ID_ALWAYS_ON_TOP));
    Command(ID_ALWAYS_ON_TOP);
    EXPECT_EQ(onTop, dlg.m_onTop);
    EXPECT_EQ(onTop != 0, Checked(ID_ALWAYS_ON_TOP));
    Command(ID_POS_COPY);
    EXPECT_TRUE(dlg.m_copyRequest);
    dlg.SetFieldText(IDC_TIME, "Thu 01:02:03");
    Command(ID_CLEAR_WINDOW);
    EXPECT_EQ("", Text(IDC_TIME));
}

// ---- Context menus --------------------------------------------------------------------------------

TEST_F(MainWndMenusTest, ContextMenusOpenOnTheirGroupsOnly)
{
    dlg.ShowWindow(SW_SHOW);
    dlg.RecalcBarLayout();
    auto centre = [&](UINT id) {
        RECT r;
        ::GetWindowRect(::GetDlgItem(dlg.GetSafeHwnd(), static_cast<int>(id)), &r);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    // A popup that opens is seen by the driver, then closed.
    bool seen = false;
    ModalDriver driver({[&]() {
        HWND popup = ::FindWindowA("#32768", nullptr);
        if (popup == nullptr || !::IsWindowVisible(popup)) return false;
        seen = true;
        ::EndMenu();
        return true;
    }});
    EXPECT_TRUE(dlg.ShowContextMenuAt(centre(IDC_GROUP_TIME)));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(dlg.ShowContextMenuAt(centre(IDC_GROUP_DOPS)));
    // The protocol pane of the status bar.
    CStatusBarEx& bar = dlg.GetStatusBar();
    CRect pane;
    bar.GetItemRect(bar.CommandToIndex(ID_PANE_PROTOCOL), &pane);
    CPoint point = pane.CenterPoint();
    bar.ClientToScreen(&point);
    seen = false;
    ModalDriver again({[&]() {
        HWND popup = ::FindWindowA("#32768", nullptr);
        if (popup == nullptr || !::IsWindowVisible(popup)) return false;
        seen = true;
        ::EndMenu();
        return true;
    }});
    EXPECT_TRUE(dlg.ShowContextMenuAt(point));
    EXPECT_TRUE(seen);
}

// ---- Dialogs ----------------------------------------------------------------------------------------

TEST_F(MainWndMenusTest, PasswordDialogKeepsAWrongCodeOut)
{
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    std::string fieldAfterWrong = "unread";
    bool openAfterWrong = false;
    auto type = [](const char* code) {
        HWND h = FindDialog("Enter Password:");
        if (h == nullptr) return static_cast<HWND>(nullptr);
        ::SetDlgItemTextA(h, IDC_PASSWORD_EDIT, code);
        ::SendMessageA(h, WM_COMMAND, IDOK, 0);
        return h;
    };
    ModalDriver driver({[&]() {
                            HWND h = type("Quillnomad");
                            if (h == nullptr) return false;
                            char text[64] = {};
                            ::GetDlgItemTextA(h, IDC_PASSWORD_EDIT, text, sizeof text);
                            fieldAfterWrong = text;
                            openAfterWrong = ::IsWindowVisible(h) != FALSE;
                            return true;
                        },
                        [&]() { return type(CMainWndDlg::kAccessCode) != nullptr; }});
    CPasswordDlg dialog(&dlg, CMainWndDlg::kAccessCode);
    EXPECT_EQ(CPasswordDlg::kAccessGranted, dialog.DoModal());
    EXPECT_TRUE(driver.Finished());
    ASSERT_EQ(1u, prompter.boxes.size());
    EXPECT_EQ("Incorrect Password!", prompter.boxes[0].text);
    EXPECT_EQ("", fieldAfterWrong);
    EXPECT_TRUE(openAfterWrong);
}

TEST_F(MainWndMenusTest, AccessCodeShowsTheToolsAndCancelHidesThem)
{
    CWinApp app("MainWnd Menus Test");
    app.SetRegistryKey("Velmara Test");
    dlg.m_internalTools = false;
    dlg.BuildMenu(0);
    {
        ModalDriver driver({[&]() {
            HWND h = FindDialog("Enter Password:");
            if (h == nullptr) return false;
            ::SetDlgItemTextA(h, IDC_PASSWORD_EDIT, "quillnomad");
            ::SendMessageA(h, WM_COMMAND, IDOK, 0);
            return true;
        }});
        Command(ID_ACCESS_CODE);
    }
    EXPECT_TRUE(dlg.m_accessFlag);
    EXPECT_TRUE(dlg.m_internalTools);
    EXPECT_EQ(1, app.GetProfileInt(kMainWndSection, "bPassOk", -1));
    EXPECT_TRUE(Has(ID_DATA_PLAYBACK));
    {
        ModalDriver driver({[&]() {
            HWND h = FindDialog("Enter Password:");
            if (h == nullptr) return false;
            ::SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
            return true;
        }});
        Command(ID_ACCESS_CODE);
    }
    EXPECT_FALSE(dlg.m_accessFlag);
    EXPECT_FALSE(dlg.m_internalTools);
    EXPECT_EQ(0, app.GetProfileInt(kMainWndSection, "bPassOk", -1));
    EXPECT_FALSE(Has(ID_DATA_PLAYBACK));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test\\MainWnd Menus Test\\Monitor");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test\\MainWnd Menus Test");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test");
}

TEST_F(MainWndMenusTest, UserModeHidesTheToolsButKeepsTheStoredAccess)
{
    CWinApp app("MainWnd Menus Test");
    app.SetRegistryKey("Velmara Test");
    app.WriteProfileInt(kMainWndSection, "bPassOk", 1);
    ScriptedPrompter prompter;
    CPrompterScope scope(&prompter);
    dlg.m_accessFlag = true;
    dlg.m_internalTools = true;
    dlg.BuildMenu(0);
    Command(ID_USER_MODE);
    ASSERT_EQ(1u, prompter.boxes.size());
    EXPECT_EQ("User mode enabled!\n\nThe program now acts as if it is used by a \n"
              "user not connected to the Velmara network.",
              prompter.boxes[0].text);
    EXPECT_TRUE(dlg.m_userMode);
    EXPECT_FALSE(dlg.m_accessFlag);
    const DWORD start = ::GetTickCount();
    while (dlg.m_internalTools && ::GetTickCount() - start < 3000) {
        PumpPending();
        ::Sleep(5);
    }
    EXPECT_FALSE(dlg.m_internalTools);
    EXPECT_FALSE(Has(ID_DATA_PLAYBACK));
    EXPECT_EQ(1, app.GetProfileInt(kMainWndSection, "bPassOk", -1));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test\\MainWnd Menus Test\\Monitor");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test\\MainWnd Menus Test");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmara Test");
}

TEST_F(MainWndMenusTest, AboutBoxIsModalAndClosesWithClose)
{
    std::string caption;
    ModalDriver driver({[&]() {
        HWND h = FindDialog("About...");
        if (h == nullptr) return false;
        caption = "About...";
        EXPECT_FALSE(::IsWindowEnabled(dlg.GetSafeHwnd()));  // modal: the main window waits
        ::SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_CLOSE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(h, IDC_ABOUT_CLOSE)));
        return true;
    }});
    Command(ID_ABOUT_MENU);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ("About...", caption);
    EXPECT_TRUE(::IsWindowEnabled(dlg.GetSafeHwnd()));
}

}  // namespace
