// The main window's tool windows: the launchers of the single-instance
// tools (one launch for all, ToolLauncher.h, over the table of
// LauncherTable.h), the GPS data combo, the settings sheet, further main
// windows, and the update checks, which keep their names and leave one line
// in the trace log until the update checker arrives.
#include "app/CMainWndDlg.h"

#include "app/CSettingsColors.h"
#include "app/CSettingsCustomConfigs.h"
#include "app/CSettingsGeneral.h"
#include "app/CSettingsQuery.h"
#include "app/CSettingsUpdate.h"
#include "app/CReleaseNotesDlg.h"
#include "app/CVersionDlg.h"
#include "app/LauncherTable.h"
#include "app/ToolLauncher.h"
#include "app/TraceLog.h"
#include "config/CConfiguratorDlg.h"
#include "config/CDetectReceiverDlg.h"
#include "config/CGenericPkts.h"
#include "config/CQbinTester.h"
#include "config/CRcvrConfigDlg.h"
#include "config/CShutdownStandbyDlg.h"
#include "controls/CTreePropSheet.h"
#include "data/CDataConverterDlg.h"
#include "data/CDataRecorderDlg.h"
#include "data/CDataRecorderToolDlg.h"
#include "data/CUploadDownloadDlg.h"
#include "tools/CDiagDlg.h"
#include "tools/CFlashLoaderDlg.h"
#include "tools/CScriptStatusDlg.h"
#include "tools/CTtffToolDlg.h"
#include "views/CFastCorrDlg.h"
#include "views/CGpsDataDlg.h"
#include "views/CIonoDelayDlg.h"
#include "views/CPositionDlg.h"
#include "views/CSkyPlot.h"
#include "views/CTimingMonitorDlg.h"

namespace {

const char kProductName[] = "Velmara GPS Monitor";

// The unattended starts of the engineering tools run from the tool's own
// timer, a second after the window is up.
const UINT kToolStartTimer = 7;
const UINT kToolStartMs = 1000;

void Trace(CMainWndDlg& window, const char* name) { AppendTraceLine(window.GetDataFolder(), name); }

// The factories: every tool takes the main window as its owner; the tabbed
// ones also the tab to open on.
template <class T>
T* MakeTool(CMainWndDlg& mainWindow, int /*tab*/)
{
    return new T(&mainWindow);
}
template <class T>
T* MakeTabbedTool(CMainWndDlg& mainWindow, int tab)
{
    return new T(&mainWindow, tab);
}

template <class T>
bool Launch(CMainWndDlg& mainWindow, T*& slot, ToolKind kind)
{
    return LaunchTool(mainWindow, slot, kind, kNoToolTab, &MakeTool<T>);
}
template <class T>
bool LaunchTabbed(CMainWndDlg& mainWindow, T*& slot, ToolKind kind, int tab)
{
    return LaunchTool(mainWindow, slot, kind, tab, &MakeTabbedTool<T>);
}

// A tool opened by an unattended start begins its run on its own timer.
template <class T>
void StartUnattendedRun(CMainWndDlg& mainWindow, T* tool, StartMode mode)
{
    if (tool != nullptr && tool->GetSafeHwnd() != nullptr && mainWindow.IsCommandLineMode(mode))
        tool->SetTimer(kToolStartTimer, kToolStartMs, nullptr);
}

}  // namespace

// ---- The launch ---------------------------------------------------------------------------

CWnd* GetToolParentWindow(CMainWndDlg& mainWindow, ToolParent parent)
{
    const bool desktop = parent == ToolParent::Desktop ||
                         (parent == ToolParent::DesktopWhenConverting && mainWindow.IsCommandLineMode(START_MODE_CONVERTER));
    return desktop ? CWnd::FromHandle(::GetDesktopWindow()) : &mainWindow;
}

void SelectToolTab(CTabCtrlSSL& tabs, int tab)
{
    if (tabs.GetSafeHwnd() == nullptr || tab < 0 || tab >= tabs.GetPageCount()) return;
    tabs.ActivatePage(tab);
    for (int i = 0; i < tabs.GetPageCount(); ++i)
        if (CTabPageSSL* page = tabs.GetPage(i))
            if (i != tab) page->EnableEvents(false);
    if (CTabPageSSL* page = tabs.GetPage(tab)) {
        page->EnableEvents(true);
        page->InitPage();
    }
}

bool CMainWndDlg::LaunchToolCommand(UINT command)
{
    const LauncherCommandRow* row = FindLauncherCommand(command);
    if (row == nullptr) return false;
    switch (row->tool) {
        case ToolKind::GenericPackets: ShowGenericPkts(); break;
        case ToolKind::UploadDownload: ShowUploadDownloadDlg(); break;
        case ToolKind::ShutdownStandby: ShowShutdownStandbyDlg(); break;
        case ToolKind::Position: ShowPositionDlg(); break;
        case ToolKind::SkyPlot: ShowSkyPlot(); break;
        case ToolKind::QbinTester: ShowQbinTester(); break;
        case ToolKind::FlashLoader: ShowFlashLoaderDlg(); break;
        case ToolKind::DataRecorderTool: ShowDataRecorderToolDlg(); break;
        case ToolKind::TtffTool: ShowTtffToolDlg(); break;
        case ToolKind::FastCorrections: ShowFastCorrDlg(); break;
        case ToolKind::IonoDelay: ShowIonoDelayDlg(); break;
        case ToolKind::Version: ShowVersionDlg(); break;
        case ToolKind::TimingMonitor: ShowTimingMonitorDlg(); break;
        case ToolKind::RcvrConfig: ShowRcvrConfigDlg(row->tab); break;
        case ToolKind::Diagnostics: ShowDiagDlg(row->tab); break;
        case ToolKind::DataConverter: ShowDataConverterDlg(); break;
        case ToolKind::Configurator: ShowConfiguratorDlg(); break;
        case ToolKind::DetectReceiver: ShowDetectReceiverDlg(); break;
        case ToolKind::ReleaseNotes: ShowReleaseNotesDlg(); break;
        case ToolKind::ScriptStatus: ShowScriptStatusDlg(); break;
        case ToolKind::GpsData: ShowGpsDataDlg(command); break;
        case ToolKind::Count: return false;
    }
    return true;
}

// ---- The launchers --------------------------------------------------------------------------

void CMainWndDlg::ShowGenericPkts() { Launch(*this, m_pGenericPkts, ToolKind::GenericPackets); }
void CMainWndDlg::ShowUploadDownloadDlg() { Launch(*this, m_pUploadDlg, ToolKind::UploadDownload); }
void CMainWndDlg::ShowShutdownStandbyDlg() { Launch(*this, m_pShutdownStandby, ToolKind::ShutdownStandby); }
void CMainWndDlg::ShowPositionDlg() { LaunchTabbed(*this, m_pPositionDlg, ToolKind::Position, 0); }
void CMainWndDlg::ShowQbinTester() { Launch(*this, m_pQbinTester, ToolKind::QbinTester); }
void CMainWndDlg::ShowFastCorrDlg() { Launch(*this, m_pFastCorr, ToolKind::FastCorrections); }
void CMainWndDlg::ShowIonoDelayDlg() { Launch(*this, m_pIonoDelay, ToolKind::IonoDelay); }
void CMainWndDlg::ShowVersionDlg() { LaunchTabbed(*this, m_pVersionDlg, ToolKind::Version, 0); }
void CMainWndDlg::ShowTimingMonitorDlg() { Launch(*this, m_pTimingMonitor, ToolKind::TimingMonitor); }
void CMainWndDlg::ShowRcvrConfigDlg(int tab) { LaunchTabbed(*this, m_pRcvrConfig, ToolKind::RcvrConfig, tab); }
void CMainWndDlg::ShowDiagDlg(int tab) { LaunchTabbed(*this, m_pDiagDlg, ToolKind::Diagnostics, tab); }
void CMainWndDlg::ShowConfiguratorDlg() { Launch(*this, m_pConfigurator, ToolKind::Configurator); }
void CMainWndDlg::ShowDetectReceiverDlg() { Launch(*this, m_pDetectReceiver, ToolKind::DetectReceiver); }
void CMainWndDlg::ShowReleaseNotesDlg() { Launch(*this, m_pReleaseNotes, ToolKind::ReleaseNotes); }
void CMainWndDlg::ShowDataConverterDlg() { Launch(*this, m_pDataConverter, ToolKind::DataConverter); }

void CMainWndDlg::ShowGpsDataDlg(UINT command)
{
    LaunchTabbed(*this, m_pGpsDataDlg, ToolKind::GpsData, GpsDataTabForCommand(command));
}

// A new plot is checked in the View menu and drawn at once from what the
// model already holds.
void CMainWndDlg::ShowSkyPlot()
{
    const bool opening = m_pSkyPlot == nullptr;
    if (!Launch(*this, m_pSkyPlot, ToolKind::SkyPlot) || !opening) return;
    if (CMenu* menu = GetMenu()) menu->CheckMenuItem(kCmdSkyPlotMenu, MF_BYCOMMAND | MF_CHECKED);
    PushSkyPlotData();
}

// The engineering tools also open from unattended starts (and the start
// check looks for their names in the trace).
void CMainWndDlg::ShowFlashLoaderDlg()
{
    Trace(*this, "ShowFlashLoaderDlg");
    if (Launch(*this, m_pFlashLoader, ToolKind::FlashLoader))
        StartUnattendedRun(*this, m_pFlashLoader, START_MODE_FLASH_LOADER);
}

void CMainWndDlg::ShowDataRecorderToolDlg()
{
    Trace(*this, "ShowDataRecorderToolDlg");
    if (Launch(*this, m_pDataRecorderTool, ToolKind::DataRecorderTool))
        StartUnattendedRun(*this, m_pDataRecorderTool, START_MODE_DATA_RECORDER);
}

void CMainWndDlg::ShowTtffToolDlg()
{
    Trace(*this, "ShowTtffToolDlg");
    if (Launch(*this, m_pTtffTool, ToolKind::TtffTool)) StartUnattendedRun(*this, m_pTtffTool, START_MODE_TTFF);
}

void CMainWndDlg::ShowScriptStatusDlg()
{
    Trace(*this, "ShowScriptStatusDlg");
    Launch(*this, m_pScriptStatus, ToolKind::ScriptStatus);
}

// The data logger: an open one is shown or hidden as asked.
void CMainWndDlg::ShowDataRecorderDlg(bool show)
{
    if (m_pDataRecorder != nullptr) {
        m_pDataRecorder->ShowWindow(show ? SW_SHOW : SW_HIDE);
        if (show) m_pDataRecorder->SetFocus();
        return;
    }
    m_pDataRecorder = new CDataRecorderDlg(this);
    m_pDataRecorder->CreateView(IDD_DATA_LOGGER, this, &m_pDataRecorder, show);
}

// Tools on the desktop do not go with the main window's own window; they
// go before it, while the slots they clear still exist.
void CMainWndDlg::CloseDesktopTools()
{
    CWnd* tools[] = {m_pPositionDlg, m_pDataRecorderTool, m_pTtffTool, m_pDiagDlg, m_pDataConverter};
    for (CWnd* tool : tools)
        if (tool != nullptr && tool->GetSafeHwnd() != nullptr) tool->DestroyWindow();
}

// ---- The GPS data combo ------------------------------------------------------------------------

// Each item stands for a page of the GPS system data window; the combo
// returns to its caption item so that the same page can be picked again.
void CMainWndDlg::OnGpsDataComboSelect()
{
    if (m_gpsDataCombo == nullptr || m_gpsDataCombo->GetSafeHwnd() == nullptr) return;
    const UINT command = GpsDataComboCommand(m_gpsDataCombo->GetCurSel());
    m_gpsDataCombo->SetCurSel(0);
    if (command != 0)
        SendMessage(WM_COMMAND, command, 0);
    else
        SetFocus();
}

// ---- The settings sheet --------------------------------------------------------------------------

void CMainWndDlg::ShowSettingsSheet()
{
    CString title;
    title.Format("%s Settings", kProductName);
    TreePropSheet::CTreePropSheet sheet(title, this);
    CSettingsQuery query(this);
    CSettingsColors colours(this);  // made, but the sheet does not show it
    CSettingsCustomConfigs customProducts(this);
    CSettingsUpdate update(this);
    // The General page lives on the heap: the other pages and the update
    // check read it through the main window while the sheet runs.
    CSettingsGeneral* general = new CSettingsGeneral(this);
    m_pSettingsGeneral = general;
    sheet.AddPage(general);
    sheet.AddPage(&query);
    sheet.AddPage(&update);
    sheet.AddPage(&customProducts);
    sheet.DoModal();
    m_pSettingsGeneral = nullptr;
    delete general;
}

// ---- Further main windows ------------------------------------------------------------------------

void CMainWndDlg::NewMainWindow()
{
    CMainWndDlg* window = new CMainWndDlg(this);
    if (!window->CreateModeless(IDD_MAIN_WND, CWnd::FromHandle(::GetDesktopWindow()))) {
        AfxMessageBox("Failed to create a new Monitor window!", MB_ICONSTOP);
        // No window was made, so nothing else deletes the object.
        delete window;
        return;
    }
    m_secondaryWindows.Add(window);
    ++s_windowCounter;
}

// While this window closes it empties the list itself.
void CMainWndDlg::RemoveMainWindow(CMainWndDlg* window)
{
    if (m_closing) return;
    for (int i = 0; i < m_secondaryWindows.GetSize(); ++i)
        if (m_secondaryWindows[i] == window) {
            m_secondaryWindows.RemoveAt(i);
            return;
        }
}

// ---- Update checks ------------------------------------------------------------------------------

void CMainWndDlg::StartStartupUpdateCheck() { Trace(*this, "StartStartupUpdateCheck"); }
void CMainWndDlg::StartRegularUpdateCheck(CWnd* /*requester*/) { Trace(*this, "StartRegularUpdateCheck"); }
