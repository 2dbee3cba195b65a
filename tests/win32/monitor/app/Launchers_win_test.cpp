// The tool launchers of the main window under Wine, with the tools' real
// templates: every launcher opens its tool once and then only brings it
// forward (a tabbed tool on the asked tab, that page taking the receiver
// events and initialised again), a closed tool opens anew, a tool whose
// window cannot be made leaves the slot empty for the next try, the GPS data
// combo sends the page commands, the settings sheet shows its four pages
// and forgets its General page, and a further main window is numbered,
// offset and taken off the list when it goes.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CMainWndDlg.h"
#include "app/CPlaceholderTab.h"
#include "app/LauncherTable.h"
#include "app/ToolLauncher.h"
#include "app/resource.h"
#include "app/resource_tools.h"
#include "config/CGenericPkts.h"
#include "config/CRcvrConfigDlg.h"
#include "framework/MessagePrompter.h"
#include "tools/CFlashLoaderDlg.h"
#include "tools/CTtffToolDlg.h"
#include "views/CGpsDataDlg.h"
#include "views/CPositionDlg.h"
#include "views/CSkyPlot.h"
#include "win32/monitor/app/TestMainWnd.h"
#include "win32/monitor/framework/DialogTemplate.h"
#include "win32/monitor/framework/MessagePump.h"

namespace {

// The caption of each tool's window, in ToolKind order.
const char* const kCaptions[] = {
    "Generic Packets",
    "Load A-GPS Data To/From Receiver",
    "Reset / Shutdown / Standby",
    "Position Map",
    "Real-time Sky Plot",
    "Protocol Tester",
    "FlashLoader",
    "Data Recorder",
    "TTFF Tester",
    "WAAS Fast Corrections",
    "Ionospheric Delay Corrections",
    "Receiver Version Information",
    "Timing Receiver Status & Control",
    "Receiver Configuration",
    "Diagnostics",
    "Data Converter",
    "Configurator",
    "GPS Receiver Detection",
    "Release Notes / Revision History",
    "Script Execution Status",
    "GPS System Data",
};
static_assert(sizeof kCaptions / sizeof kCaptions[0] == static_cast<size_t>(ToolKind::Count), "a caption per tool");

struct FoundWindows {
    std::string caption;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectByCaption(HWND hwnd, LPARAM param)
{
    FoundWindows* found = reinterpret_cast<FoundWindows*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    char text[256] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(hwnd) && found->caption == text)
        found->windows.push_back(hwnd);
    return TRUE;
}

// The visible top-level windows of this process with the caption.
std::vector<HWND> WindowsTitled(const std::string& caption)
{
    FoundWindows found{caption, {}};
    ::EnumWindows(&CollectByCaption, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

std::string CaptionOf(ToolKind tool) { return kCaptions[static_cast<int>(tool)]; }

// The main window with its GPS data combo's commands recorded instead of
// carried out (their routing belongs to the command table).
class LauncherMainWnd : public TestMainWnd {
public:
    using CMainWndDlg::OnGpsDataComboSelect;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (recordCommands) {
            commands.push_back(LOWORD(wParam));
            return TRUE;
        }
        return TestMainWnd::OnCommand(wParam, lParam);
    }
    bool recordCommands = false;
    std::vector<UINT> commands;
};

class LaunchersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_scope = new CPrompterScope(&prompter);
        m_tmpl = DialogTemplate("Launchers", WS_POPUP | WS_CAPTION, 200, 100);
        dlg.SetCommandLineFlag(true);
        ASSERT_TRUE(dlg.CreateFromTemplate(m_tmpl));
    }

    void TearDown() override
    {
        dlg.CloseDesktopTools();
        if (dlg.GetSafeHwnd() != nullptr) dlg.DestroyWindow();
        PumpPending();
        delete m_scope;
    }

    // Every launcher command, each tool's window once.
    void ExpectEveryToolOnce()
    {
        size_t count = 0;
        const LauncherCommandRow* rows = GetLauncherCommands(count);
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(1u, WindowsTitled(CaptionOf(rows[i].tool)).size())
                << rows[i].command << " " << CaptionOf(rows[i].tool);
    }

    ScriptedPrompter prompter;
    CPrompterScope* m_scope = nullptr;
    DialogTemplate m_tmpl{"", 0, 0, 0};
    LauncherMainWnd dlg;
};

TEST_F(LaunchersTest, EachLauncherTwiceOpensOneWindow)
{
    size_t count = 0;
    const LauncherCommandRow* rows = GetLauncherCommands(count);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_TRUE(dlg.LaunchToolCommand(rows[i].command)) << rows[i].command;
        EXPECT_TRUE(dlg.LaunchToolCommand(rows[i].command)) << rows[i].command;
        PumpPending();
    }
    ExpectEveryToolOnce();
    EXPECT_TRUE(prompter.boxes.empty()) << prompter.boxes.front().text;
    // The others are no launchers.
    EXPECT_FALSE(dlg.LaunchToolCommand(ID_NEW_WINDOW));
    EXPECT_FALSE(dlg.LaunchToolCommand(ID_RAW_DATA_WND));
}

TEST_F(LaunchersTest, ToolsStandUnderTheirTableParent)
{
    dlg.ShowSkyPlot();
    dlg.ShowPositionDlg();
    dlg.ShowTtffToolDlg();
    dlg.ShowFlashLoaderDlg();
    ASSERT_NE(nullptr, dlg.m_pSkyPlot);
    ASSERT_NE(nullptr, dlg.m_pPositionDlg);
    ASSERT_NE(nullptr, dlg.m_pTtffTool);
    ASSERT_NE(nullptr, dlg.m_pFlashLoader);
    EXPECT_EQ(dlg.GetSafeHwnd(), ::GetWindow(dlg.m_pSkyPlot->GetSafeHwnd(), GW_OWNER));
    EXPECT_EQ(dlg.GetSafeHwnd(), ::GetWindow(dlg.m_pFlashLoader->GetSafeHwnd(), GW_OWNER));
    EXPECT_EQ(nullptr, ::GetWindow(dlg.m_pPositionDlg->GetSafeHwnd(), GW_OWNER));
    EXPECT_EQ(nullptr, ::GetWindow(dlg.m_pTtffTool->GetSafeHwnd(), GW_OWNER));
    // Those on the desktop still belong to the main window: its icon, its events.
    EXPECT_EQ(static_cast<IDialogViewHost*>(&dlg), dlg.m_pPositionDlg->GetMainWnd());
}

TEST_F(LaunchersTest, ClosedToolOpensAnew)
{
    struct Case {
        UINT command;
        ToolKind tool;
    } const cases[] = {{kCmdGenericPackets, ToolKind::GenericPackets},
                       {kCmdFlashLoader, ToolKind::FlashLoader},
                       {kCmdDataRecorderTool, ToolKind::DataRecorderTool},
                       {kCmdGpsData, ToolKind::GpsData},
                       {kCmdPositionMenu, ToolKind::Position}};
    for (const Case& c : cases) {
        ASSERT_TRUE(dlg.LaunchToolCommand(c.command));
        std::vector<HWND> first = WindowsTitled(CaptionOf(c.tool));
        ASSERT_EQ(1u, first.size()) << c.command;
        // The close box and the Close button both end the tool.
        const bool byButton = c.tool == ToolKind::GpsData || c.tool == ToolKind::FlashLoader;
        if (byButton)
            ::SendMessageA(first[0], WM_COMMAND, MAKEWPARAM(IDC_TOOL_CLOSE, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(first[0], IDC_TOOL_CLOSE)));
        else
            ::SendMessageA(first[0], WM_CLOSE, 0, 0);
        PumpPending();
        EXPECT_FALSE(::IsWindow(first[0])) << c.command;
        EXPECT_TRUE(WindowsTitled(CaptionOf(c.tool)).empty()) << c.command;
        ASSERT_TRUE(dlg.LaunchToolCommand(c.command));
        EXPECT_EQ(1u, WindowsTitled(CaptionOf(c.tool)).size()) << c.command;
    }
    EXPECT_EQ(nullptr, dlg.m_pFastCorr);
    EXPECT_NE(nullptr, dlg.m_pGenericPkts);
    EXPECT_NE(nullptr, dlg.m_pFlashLoader);
    EXPECT_NE(nullptr, dlg.m_pDataRecorderTool);
}

TEST_F(LaunchersTest, SecondLaunchSelectsTheTabItsPageTakesEventsAndStartsAgain)
{
    CController& link = dlg.GetLink();
    const int before = link.GetListenerCount();
    dlg.ShowRcvrConfigDlg(0);
    ASSERT_NE(nullptr, dlg.m_pRcvrConfig);
    CTabCtrlSSL& tabs = dlg.m_pRcvrConfig->GetTabs();
    ASSERT_EQ(2, tabs.GetPageCount());
    EXPECT_EQ(0, tabs.GetActivePageIndex());
    // Only the shown page listens, not the window itself.
    EXPECT_EQ(before + 1, link.GetListenerCount());
    CPlaceholderTab* port = static_cast<CPlaceholderTab*>(tabs.GetPage(1));
    ASSERT_NE(nullptr, port);
    EXPECT_EQ(1, port->GetInitCount());
    CString title;
    ASSERT_TRUE(tabs.GetPageTitle(1, title));
    EXPECT_STREQ("Port Configuration", title);

    dlg.LaunchToolCommand(kCmdRcvrPortConfig);
    EXPECT_EQ(1u, WindowsTitled(CaptionOf(ToolKind::RcvrConfig)).size());
    EXPECT_EQ(1, tabs.GetActivePageIndex());
    EXPECT_EQ(2, port->GetInitCount());
    EXPECT_TRUE(::IsWindowVisible(port->GetSafeHwnd()));
    EXPECT_FALSE(::IsWindowVisible(tabs.GetPage(0)->GetSafeHwnd()));
    // The page left stopped listening, the page shown listens.
    EXPECT_EQ(before + 1, link.GetListenerCount());
    link.RemoveListener(port->GetSafeHwnd());
    EXPECT_EQ(before, link.GetListenerCount());
    link.AddListener(port->GetSafeHwnd(), WM_RECEIVER_EVENT);

    // A tab the tool does not have changes nothing.
    dlg.ShowRcvrConfigDlg(7);
    EXPECT_EQ(1, tabs.GetActivePageIndex());
    EXPECT_EQ(2, port->GetInitCount());

    // Closing takes the pages off the link.
    dlg.m_pRcvrConfig->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_EQ(nullptr, dlg.m_pRcvrConfig);
    EXPECT_EQ(before, link.GetListenerCount());
}

TEST_F(LaunchersTest, GpsDataPagesFollowTheCommands)
{
    struct Step {
        UINT command;
        int tab;
    } const steps[] = {{kCmdGpsDataHealth, 1}, {kCmdGpsDataUtc, 3}, {kCmdGpsDataIono, 4},
                       {kCmdGpsDataEphemeris, 2}, {kCmdGpsData, 0}, {kCmdGpsDataAlmanac, 0}};
    for (const Step& s : steps) {
        dlg.LaunchToolCommand(s.command);
        ASSERT_NE(nullptr, dlg.m_pGpsDataDlg);
        EXPECT_EQ(s.tab, dlg.m_pGpsDataDlg->GetTabs().GetActivePageIndex()) << s.command;
    }
    EXPECT_EQ(5, dlg.m_pGpsDataDlg->GetTabs().GetPageCount());
    EXPECT_EQ(1u, WindowsTitled(CaptionOf(ToolKind::GpsData)).size());

    // A new window opens on the page asked first.
    dlg.m_pGpsDataDlg->SendMessage(WM_CLOSE);
    PumpPending();
    dlg.LaunchToolCommand(kCmdGpsDataUtc);
    ASSERT_NE(nullptr, dlg.m_pGpsDataDlg);
    EXPECT_EQ(3, dlg.m_pGpsDataDlg->GetTabs().GetActivePageIndex());
}

TEST_F(LaunchersTest, FailedCreateLeavesTheSlotEmptyAndTheNextLaunchTries)
{
    // A template the program does not have stands for any failure to make
    // the window.
    const ToolLaunchRow viewRow = {ToolKind::GenericPackets, 1, ToolParent::MainWindow, false, false};
    auto makeView = [](CMainWndDlg& main, int) { return new CGenericPkts(&main); };
    EXPECT_FALSE(LaunchTool(dlg, dlg.m_pGenericPkts, viewRow, kNoToolTab, makeView));
    EXPECT_EQ(nullptr, dlg.m_pGenericPkts);
    const ToolLaunchRow plainRow = {ToolKind::FlashLoader, 1, ToolParent::MainWindow, false, true};
    auto makePlain = [](CMainWndDlg& main, int) { return new CFlashLoaderDlg(&main); };
    EXPECT_FALSE(LaunchTool(dlg, dlg.m_pFlashLoader, plainRow, kNoToolTab, makePlain));
    EXPECT_EQ(nullptr, dlg.m_pFlashLoader);
    ASSERT_EQ(2u, prompter.boxes.size());
    EXPECT_EQ("Failed to create a window!", prompter.boxes[0].text);
    EXPECT_EQ("Failed to create a window!", prompter.boxes[1].text);
    EXPECT_TRUE(WindowsTitled(CaptionOf(ToolKind::GenericPackets)).empty());

    dlg.ShowGenericPkts();
    dlg.ShowFlashLoaderDlg();
    EXPECT_NE(nullptr, dlg.m_pGenericPkts);
    EXPECT_NE(nullptr, dlg.m_pFlashLoader);
    EXPECT_EQ(1u, WindowsTitled(CaptionOf(ToolKind::GenericPackets)).size());
    EXPECT_EQ(1u, WindowsTitled(CaptionOf(ToolKind::FlashLoader)).size());
}

TEST_F(LaunchersTest, SkyPlotIsCheckedInTheMenuWhenItOpens)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreateMenu());
    menu.AppendMenu(MF_STRING, kCmdSkyPlotMenu, "Sky Plot");
    ::SetMenu(dlg.GetSafeHwnd(), menu.GetSafeHmenu());
    dlg.ShowSkyPlot();
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              ::GetMenuState(menu.GetSafeHmenu(), kCmdSkyPlotMenu, MF_BYCOMMAND) & MF_CHECKED);
    dlg.m_pSkyPlot->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_EQ(0u, ::GetMenuState(menu.GetSafeHmenu(), kCmdSkyPlotMenu, MF_BYCOMMAND) & MF_CHECKED);
    ::SetMenu(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(LaunchersTest, GpsDataComboSendsThePageCommandAndReturnsToItsCaption)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 200), &dlg, ID_GPSDATA_COMBO));
    for (const char* item : {"GPS Data", "Almanac", "Ephemeris", "Health", "Iono", "UTC"}) combo.AddString(item);
    dlg.m_gpsDataCombo = &combo;
    dlg.recordCommands = true;
    for (int item = 0; item <= 5; ++item) {
        combo.SetCurSel(item);
        dlg.OnGpsDataComboSelect();
        EXPECT_EQ(0, combo.GetCurSel()) << item;
    }
    const std::vector<UINT> expected = {32830, 32834, 32831, 32832, 32833};
    EXPECT_EQ(expected, dlg.commands);
    dlg.recordCommands = false;
    dlg.m_gpsDataCombo = nullptr;
    combo.DestroyWindow();
}

// Looks at the running sheet from a timer, then cancels it.
struct SheetProbe {
    CMainWndDlg* main = nullptr;
    bool seen = false;
    bool generalKept = false;
    std::vector<std::string> tabs;
};
SheetProbe* g_probe = nullptr;

void CALLBACK ProbeSheet(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND sheet = ::FindWindowA(nullptr, "Velmara GPS Monitor Settings");
    if (sheet == nullptr || g_probe == nullptr) return;
    ::KillTimer(nullptr, id);
    g_probe->seen = true;
    g_probe->generalKept = g_probe->main->m_pSettingsGeneral != nullptr;
    HWND tabs = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    const int count = static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        g_probe->tabs.push_back(text);
    }
    ::PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(LaunchersTest, SettingsSheetShowsFourPagesAndForgetsItsGeneralPage)
{
    SheetProbe probe;
    probe.main = &dlg;
    g_probe = &probe;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &ProbeSheet);
    dlg.ShowSettingsSheet();
    ::KillTimer(nullptr, timer);
    g_probe = nullptr;
    ASSERT_TRUE(probe.seen) << "no sheet titled \"Velmara GPS Monitor Settings\"";
    EXPECT_TRUE(probe.generalKept);
    const std::vector<std::string> expected = {"General", "Auto-Query", "Automatic Update", "Custom Products"};
    EXPECT_EQ(expected, probe.tabs);
    EXPECT_EQ(nullptr, dlg.m_pSettingsGeneral);
}

TEST_F(LaunchersTest, NewMainWindowIsNumberedOffsetAndLeavesTheListWhenItGoes)
{
    CRect primary;
    dlg.GetWindowRect(&primary);
    const int number = CMainWndDlg::s_windowCounter;
    dlg.NewMainWindow();
    ASSERT_EQ(1, dlg.m_secondaryWindows.GetSize());
    EXPECT_EQ(number + 1, CMainWndDlg::s_windowCounter);
    CMainWndDlg* second = static_cast<CMainWndDlg*>(dlg.m_secondaryWindows[0]);
    CString title;
    second->GetWindowText(title);
    CString expected;
    expected.Format("Monitor [%d]", number);
    EXPECT_STREQ(expected, title);
    CRect rect;
    second->GetWindowRect(&rect);
    EXPECT_EQ(primary.left + number * 50, rect.left);
    EXPECT_EQ(primary.top + number * 75, rect.top);
    second->SetCommandLineFlag(true);  // leaves the profile alone when it goes
    second->ConfirmClose(false);
    PumpPending();
    EXPECT_EQ(0, dlg.m_secondaryWindows.GetSize());
    CMainWndDlg::s_windowCounter = number;
}

TEST(ToolStandIns, CloseToolAllowsClosing)
{
    CFlashLoaderDlg flashLoader(nullptr);
    CTtffToolDlg ttff(nullptr);
    EXPECT_TRUE(flashLoader.CloseTool());
    EXPECT_TRUE(ttff.CloseTool());
}

}  // namespace
