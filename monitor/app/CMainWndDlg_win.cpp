// Construction, initialisation, settings, closing, timers and the status
// line of the main window (see CMainWndDlg.h for how the class is split).
#include "app/CMainWndDlg.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <cstring>

#include "app/AppProfile.h"
#include "app/MainWndProfile.h"
#include "app/MainWndStatus.h"
#include "app/UiQuery.h"
#include "data/CDataConverterDlg.h"
#include "link/CCommPort.h"
#include "model/ReceiverEvent.h"
#include "model/WinHelpers.h"
#include "model/WindowsVersion.h"
#include "tools/CFlashLoaderDlg.h"
#include "tools/CScripter.h"
#include "tools/CTtffToolDlg.h"
#include "data/CDataRecorderToolDlg.h"

int CMainWndDlg::s_windowCounter = 1;

IMPLEMENT_DYNAMIC(CMainWndDlg, CModelessDialog)

namespace {

const char kTitle[] = "Velmara GPS Monitor";
const char kNoMenuHelp[] = "No help is available for this item.";
const char kDashLine[] = "-----------------------------------------";
// Status-pane alignment of CModelessDialog::SetStatusPaneText: left.
const int kPaneLeft = 2;
const int kComboDropHeight = 120;

// What the internal-tools gate needs, copied on the GUI thread so the worker
// touches nothing of the window.
struct GateRequest {
    HWND window = nullptr;
    CString share;
    bool userMode = false;
    bool accessFlag = false;
};

bool IsGroupBox(UINT id) {
    switch (id) {
        case IDC_GROUP_TIME: case IDC_GROUP_VELOCITY: case IDC_GROUP_POSITION: case IDC_GROUP_MODE:
        case IDC_GROUP_SATELLITES: case IDC_GROUP_DOPS: case IDC_GROUP_FIRMWARE: case IDC_GROUP_STATUS:
        case IDC_GROUP_OSC:
            return true;
        default:
            return false;
    }
}

// The program's own file name without its folder, lower-cased.
CString ProgramFileNameLower() {
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    CString name(path);
    const int slash = name.ReverseFind('\\');
    if (slash >= 0) name = name.Mid(slash + 1);
    name.MakeLower();
    return name;
}

bool CreateFolderIfMissing(const CString& folder) {
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return ::CreateDirectoryA(folder, nullptr) != FALSE;
}

// The four fonts of the window, once.
void CreateMainFonts(CMainWndDlg& dlg) {
    if (dlg.m_fontBold.m_hObject != nullptr) return;
    CreateDialogFont(dlg.m_fontBold, "Tahoma", 8, TRUE);
    CreateDialogFont(dlg.m_fontCourier10, "Courier New", 10, FALSE);
    CreateDialogFont(dlg.m_fontCourier9, "Courier New", 9, FALSE);
    CreateDialogFont(dlg.m_fontPoint, "Verdana", dlg.m_layout.large ? 7 : 8, FALSE);
}

void PlaceToolBarCombo(CMainWndDlg& dlg, CComboBox* combo, UINT commandId) {
    if (combo == nullptr || combo->GetSafeHwnd() == nullptr) return;
    CDlgToolBar& bar = dlg.GetToolBar();
    const int index = bar.CommandToIndex(commandId);
    if (index < 0) return;
    CRect item;
    bar.GetItemRect(index, &item);
    // A combo's window height is its dropped-down height.
    const int height = item.Height() - 2 + kComboDropHeight;
    item.right -= 2;
    if (index != 0) item.left += 2;
    item.top += 2;
    combo->SetWindowPos(nullptr, item.left, item.top, item.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BEGIN_MESSAGE_MAP(CMainWndDlg, CModelessDialog)
    ON_WM_CREATE()
    ON_WM_PAINT()
    AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, AfxSig_plain, {
        HCURSOR (ThisClass::*pfn)() = &ThisClass::OnQueryDragIcon;
        return reinterpret_cast<LRESULT>((pThis->*pfn)());
    })
    ON_WM_CTLCOLOR()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_MOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MENUSELECT()
    ON_WM_TIMER()
    ON_WM_MOUSEMOVE()
    ON_COMMAND(ID_FILE_EXIT, &CMainWndDlg::OnFileExit)
    ON_COMMAND(ID_FILE_EXIT2, &CMainWndDlg::OnFileExit)
    // The commands of the menu command table go through OnCommand.
    ON_COMMAND(ID_AUTO_QUERY, &CMainWndDlg::OnToggleAutoQuery)
    ON_WM_CONTEXTMENU()
    ON_CBN_SELCHANGE(ID_LINK_COMBO, &CMainWndDlg::OnLinkComboCommand)
    ON_CBN_SELCHANGE(ID_GPSDATA_COMBO, &CMainWndDlg::OnGpsDataComboSelect)
    ON_MESSAGE(WM_RECEIVER_EVENT, &CMainWndDlg::OnReceiverEventMsg)
    ON_MESSAGE(WM_OPEN_DOCUMENT, &CMainWndDlg::OnOpenDocumentMsg)
    ON_MESSAGE(WM_UPDATE_FOLLOWUP, &CMainWndDlg::OnUpdateFollowup)
    ON_MESSAGE(WM_SHOW_RELEASE_NOTES, &CMainWndDlg::OnShowReleaseNotes)
    ON_MESSAGE(WM_GATE_DONE, &CMainWndDlg::OnGateDone)
END_MESSAGE_MAP()

// ---- Construction --------------------------------------------------------------

CMainWndDlg::CMainWndDlg(CMainWndDlg* pParentMain) : m_pParentMain(pParentMain) {
    m_timerHost.owner = this;
    m_layout = ChooseMainWindowLayout(false, 0);
    HINSTANCE instance = AfxGetResourceHandle();
    m_iconLarge = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN_LARGE));
    m_iconSmall = static_cast<HICON>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAIN_SMALL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    if (m_iconSmall == nullptr) m_iconSmall = m_iconLarge;
    m_cmdLine.SetCommandLine(false);
}

CMainWndDlg::~CMainWndDlg() {
    if (m_batch) m_batch->Abort();
}

bool CMainWndDlg::ParseCommandLine() { return m_cmdLine.ParseCommandLine(m_cmdLineOptions); }

bool CMainWndDlg::CreateModeless(UINT templateId, CWnd* parent) {
    // The layout is fixed before the window exists: the panes and combos are
    // sized from it.
    m_layout = ChooseMainWindowLayoutForScreen();
    return CModelessDialog::CreateModeless(templateId, parent, m_layout.paneIds, kMainStatusPaneCount,
                                           m_layout.paneWidths, kMainToolbarButtons, kMainToolbarButtonCount,
                                           IDB_MAIN_TOOLBAR, IDB_MAIN_TOOLBAR_NORMAL, IDB_MAIN_TOOLBAR_DISABLED,
                                           IDB_MAIN_TOOLBAR_HOT, 2, 1, 0) != FALSE;
}

// ---- Timers for the pure runners -------------------------------------------------

bool CMainWndDlg::WindowTimerHost::SetTimer(uint32_t id, uint32_t ms) {
    if (owner == nullptr || owner->GetSafeHwnd() == nullptr) return false;
    return owner->CWnd::SetTimer(id, ms) != 0;
}

void CMainWndDlg::WindowTimerHost::KillTimer(uint32_t id) {
    if (owner != nullptr && owner->GetSafeHwnd() != nullptr) owner->CWnd::KillTimer(id);
}

bool CMainWndDlg::SendBatchCommand(const char* text) {
    return text != nullptr && m_link.GetProtocol().SendRawCommand(text);
}

// ---- Status line ------------------------------------------------------------------

void CMainWndDlg::SetStatusText(LPCTSTR text) {
    CString pane(" ");
    pane += text != nullptr ? text : "";
    SetStatusPaneText(ID_PANE_MESSAGE, pane, kPaneLeft);
}

void CMainWndDlg::ShowStatusTextFor(LPCTSTR text, int seconds) {
    SetStatusText(text);
    if (seconds < 1) seconds = 1;
    m_timedStatusSeconds = seconds;
    if (GetSafeHwnd() != nullptr) SetTimer(MWT_TIMED_STATUS, static_cast<UINT>(seconds) * 1000u);
}

void CMainWndDlg::RefreshModeStatus() {
    // A timed text or a running transfer's progress owns the pane until it ends.
    if (m_timedStatusSeconds > 0 || m_pLoader != nullptr) return;
    const bool logging = IsPortLogged(-1);
    const CString name = m_link.GetModel().GetReceiverName();
    SetStatusText(BuildModeStatusText(m_linkMode, name, logging, m_layout.large));
}

void CMainWndDlg::ShowLinkPane() {
    SetStatusPaneText(ID_PANE_LINK,
                      BuildLinkPaneText(m_linkMode, m_port, m_baud, m_dataBits, m_parity, m_stopBits), kPaneLeft);
    if (m_linkCombo != nullptr && m_linkCombo->GetSafeHwnd() != nullptr) {
        const int index = m_linkCombo->FindStringExact(-1, BuildLinkComboText(m_linkMode, m_port));
        if (index >= 0) m_linkCombo->SetCurSel(index);
    }
}

// ---- Closing ------------------------------------------------------------------------

void CMainWndDlg::CloseToolWindow(CWnd* window, bool close) {
    if (window == nullptr || window->GetSafeHwnd() == nullptr) return;
    if (window == this) {
        // Off the task bar as well, so a hidden tool start leaves no button.
        ShowWindow(SW_MINIMIZE);
        bool removed = false;
        const HRESULT init = ::CoInitialize(nullptr);
        ITaskbarList* taskbar = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                                         reinterpret_cast<void**>(&taskbar))) &&
            taskbar != nullptr) {
            if (SUCCEEDED(taskbar->HrInit())) removed = SUCCEEDED(taskbar->DeleteTab(m_hWnd));
            taskbar->Release();
        }
        if (SUCCEEDED(init)) ::CoUninitialize();
        (void)removed;  // without the shell's list the timer still hides the window
        SetTimer(MWT_HIDE_SELF, 100);
    } else {
        window->ShowWindow(SW_HIDE);
    }
    if (close) window->SendMessage(WM_CLOSE);
}

bool CMainWndDlg::ConfirmClose(bool ask) {
    if (ask) {
        if (IsPortLogged(-1) &&
            AfxMessageBox("Data is currently being logged from at least one COM port.\nClosing the program will "
                          "stop logging. Are you sure you want to do this?",
                          MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
        if (m_pTtffTool != nullptr && !m_pTtffTool->CloseTool()) return false;
        if (m_pFlashLoader != nullptr && !m_pFlashLoader->CloseTool()) return false;
        if (m_pDataRecorderTool != nullptr && !m_pDataRecorderTool->CloseTool()) return false;
        if (m_pScripter != nullptr && m_pScripter->IsRunning() &&
            AfxMessageBox("A script is currently executing. Closing the program \nwill stop the script. Are you "
                          "sure you want to do this?",
                          MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    if (m_secondaryWindows.GetSize() > 0 &&
        AfxMessageBox("There are multiple monitor windows opened using \nFile->New Window. Closing the main "
                      "monitor will \nterminate those other windows as well. \n\nAre you sure you want to do this?",
                      MB_YESNO | MB_ICONWARNING) != IDYES)
        return false;

    m_closing = true;
    if (m_batch) m_batch->Abort();
    if (m_pDataConverter != nullptr) CloseToolWindow(m_pDataConverter, true);
    // Each secondary window takes itself off the list when it goes.
    while (m_secondaryWindows.GetSize() > 0) {
        CMainWndDlg* secondary = static_cast<CMainWndDlg*>(m_secondaryWindows[m_secondaryWindows.GetSize() - 1]);
        m_secondaryWindows.RemoveAt(m_secondaryWindows.GetSize() - 1);
        if (secondary != nullptr && secondary->GetSafeHwnd() != nullptr) {
            secondary->ConfirmClose(false);
        }
    }
    if (m_pScripter != nullptr) StartScripter(1, nullptr);
    CloseDesktopTools();
    ShowWindow(SW_HIDE);
    m_link.Disconnect();
    m_diagLogs.Close();
    DestroyWindow();
    return true;
}

void CMainWndDlg::SaveSettings() {
    const bool primary = m_pParentMain == nullptr;
    if (primary && GetSafeHwnd() != nullptr) SaveWindowPosition(m_hWnd, kMainWndSection);
    MainWndSaveState state;
    state.onTop = m_onTop;
    state.autoOutput = m_autoOutput;
    state.spdUnits = m_speedUnits;
    state.com = m_port;
    state.parity = m_parity;
    state.inProt = m_inProtocol;
    state.outProt = m_outProtocol;
    state.baud = static_cast<int32_t>(m_baud);
    state.dataBits = m_dataBits;
    state.stopBits = m_stopBits;
    state.mode = m_linkMode;
    AppProfile profile;
    SaveMainWndSettings(profile, state, primary, m_cmdLine.IsCommandLine());
}

BOOL CMainWndDlg::PreTranslateMessage(MSG* pMsg) {
    if (m_controlTip.GetSafeHwnd() != nullptr && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
        m_controlTip.RelayEvent(pMsg);
    if (m_accel != nullptr && GetSafeHwnd() != nullptr && ::TranslateAcceleratorA(m_hWnd, m_accel, pMsg))
        return TRUE;
    return CModelessDialog::PreTranslateMessage(pMsg);
}

// ---- Initialisation -------------------------------------------------------------------

int CMainWndDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CModelessDialog::OnCreate(lpCreateStruct) == -1) return -1;
    CreateMainFonts(*this);
    return 0;
}

BOOL CMainWndDlg::OnInitDialog() {
    CModelessDialog::OnInitDialog();
    InitMainWindow();
    return TRUE;
}

void CMainWndDlg::InitMainWindow() {
    // A dialog may be made without WM_CREATE reaching its map; the fonts are
    // needed below either way.
    CreateMainFonts(*this);

    // The end-to-end runs' UI driver reads menus through the window itself.
    InstallUiQuery(m_hWnd);

    // 1. Menu; the shutdown item waits for a receiver that can do it.
    BuildMenu(0);
    if (CMenu* menu = GetMenu()) menu->DeleteMenu(ID_SHUTDOWN_STANDBY, MF_BYCOMMAND);
    char directory[MAX_PATH + 1] = {0};
    ::GetCurrentDirectoryA(MAX_PATH, directory);
    m_startDir = directory;

    // 2. The link combo and the port menu.
    m_linkCombo = AddToolBarCombo(ID_LINK_COMBO, m_layout.large ? 85 : 71, kComboDropHeight);
    if (m_linkCombo == nullptr || m_linkCombo->GetSafeHwnd() == nullptr) {
        AfxMessageBox("Couldn't create a combo box on the toolbar.");
        ::ExitProcess(static_cast<UINT>(-1));
    }
    m_linkCombo->SetFont(&m_fontPoint);
    EnumerateComPorts();
    m_linkCombo->AddString("IDLE");
    m_linkCombo->AddString(kDashLine);
    if (m_menuPort.GetSafeHmenu() == nullptr) m_menuPort.CreatePopupMenu();
    m_menuPort.AppendMenu(MF_STRING, ID_COM_PORT_DLG, "COM Port...");
    m_menuPort.AppendMenu(MF_SEPARATOR);
    for (int i = 0; i < AvailableComPorts.GetSize(); ++i) {
        CString item;
        item.Format("COM %u", static_cast<unsigned>(AvailableComPorts[i]));
        m_linkCombo->AddString(item);
        m_menuPort.AppendMenu(MF_STRING, ID_COM_PORT_FIRST + AvailableComPorts[i], item);
    }
    m_linkCombo->AddString(kDashLine);
    m_linkCombo->AddString("FILE");
    m_menuPort.AppendMenu(MF_SEPARATOR);
    m_menuPort.AppendMenu(MF_STRING, ID_CONNECT, "IDLE");
    m_menuPort.AppendMenu(MF_SEPARATOR);
    m_menuPort.AppendMenu(MF_STRING, ID_RECEIVER_PORT, "Receiver Port...");

    // 3. Accelerators and the receiver state icons.
    HINSTANCE instance = AfxGetResourceHandle();
    m_accel = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_ACCEL));
    m_iconNeutral = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_STATE_NEUTRAL));
    m_iconFirst = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_STATE_FIRST));
    m_iconSecond = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_STATE_SECOND));

    // 4. Older systems draw group captions thin; the bold font keeps them readable.
    const int32_t version = GetDetectedWindowsVersion();
    if (version >= WINVER_95 && version <= WINVER_NT4_OR_OLDER) {
        const UINT groups[] = {IDC_GROUP_TIME, IDC_GROUP_VELOCITY, IDC_GROUP_POSITION, IDC_GROUP_MODE,
                               IDC_GROUP_SATELLITES, IDC_GROUP_DOPS, IDC_GROUP_FIRMWARE, IDC_GROUP_STATUS,
                               IDC_GROUP_OSC};
        for (UINT id : groups)
            if (CWnd* group = GetDlgItem(id)) group->SetFont(&m_fontBold);
    }

    // 5. Balloon tips follow the shell's setting.
    m_balloonTips = IsShellBalloonTipsOn();

    // 6. Fresh state; a new window shows the internal tools as its parent does.
    m_pPositionDlg = nullptr;
    m_pPositionMap = nullptr;
    m_pSkyPlot = nullptr;
    m_pTimingMonitor = nullptr;
    m_pRcvrConfig = nullptr;
    m_pDiagDlg = nullptr;
    m_pFlashLoader = nullptr;
    m_pTtffTool = nullptr;
    m_pScripter = nullptr;
    m_pLoader = nullptr;
    m_pDataRecorder = nullptr;
    m_pDataRecorderTool = nullptr;
    m_pUploadDlg = nullptr;
    m_pDataConverter = nullptr;
    m_pConfigurator = nullptr;
    m_closing = false;
    m_receiverContact = false;
    m_resetRunning = false;
    m_elapsedSeconds = 0;
    m_timedStatusSeconds = 0;
    m_tickCount = 0;
    m_linkMode = LINK_IDLE;
    m_internalTools = m_pParentMain != nullptr ? m_pParentMain->m_internalTools : true;

    // 7. The profile.
    AppProfile profile;
    const MainWndSettings s = ReadMainWndSettings(profile, ::GetSysColor(COLOR_BTNTEXT));
    m_llaDecimal = s.llaDec;
    m_port = static_cast<BYTE>(s.com >= 1 && s.com <= 255 ? s.com : 1);
    m_parity = static_cast<BYTE>(s.parity);
    m_baud = static_cast<uint32_t>(s.baud);
    m_dataBits = static_cast<BYTE>(s.dataBits);
    m_stopBits = static_cast<BYTE>(s.stopBits);
    m_inProtocol = static_cast<BYTE>(s.inProt);
    m_outProtocol = static_cast<BYTE>(s.outProt);
    m_autoOutput = static_cast<BYTE>(s.autoOutput);
    m_accessFlag = s.passOk != 0;
    m_playback.speed = static_cast<uint32_t>(s.playbackSpeed);
    m_playback.fileName = s.playbackFile;
    m_playback.qbinMarker = static_cast<BYTE>(s.playbackQbinMarker);
    m_playback.kestoClass = static_cast<BYTE>(s.playbackKestoCode);
    m_playback.kestoId = static_cast<BYTE>(s.playbackKestoSubcode);
    m_playback.nmeaMarker = s.playbackNmeaMarker;
    m_playback.qtxtMarker = s.playbackQtxtMarker;
    m_playback.qopMarker = s.playbackQopMarker;
    m_speedUnits = s.spdUnits;
    m_cfgParity = s.comParity;
    m_cfgBaud = s.comBaud;
    m_cfgDataBits = s.comDataBits;
    m_cfgStopBits = s.comStopBits;
    m_trackerMode = s.trackerMode;
    m_trackerAntenna = s.trackerAntenna;
    m_autoQuery.enabled = s.autoQueryEnabled;
    m_autoQuery.querySelection = s.autoQueryRcvrMode;
    m_autoQuery.queryHealth = s.autoQueryStatus;
    m_autoQuery.queryTime = s.autoQueryTime;
    m_autoQuery.queryTracking = s.autoQueryTrk;
    m_autoQuery.queryRawMeasurements = s.autoQueryMeas;
    m_autoQuery.periodSeconds = s.autoQueryInterval;
    m_autoQueryMeas = s.autoQueryMeas;
    m_autoQueryAllOff = s.autoQueryAllOff;
    m_autoQueryRemembered = s.autoQueryEnabled;
    m_optDataSource = s.optDataSource;
    m_optWndBubbleHelp = s.optWndBubbleHelp;
    m_optMenuBubbleHelp = s.optMenuBubbleHelp;
    m_optLogDiag = s.optLogDiag;
    m_clrSvBackground = s.clrSvBackground;
    m_clrSvText = s.clrSvText;
    m_clrRegText = s.clrRegText;
    m_clrGroupText = s.clrGroupText;
    m_clrThemeIndex = s.clrThemeIdx;
    m_checkUpdates = s.checkUpdates;
    m_posMapEnabled = s.posMapEnabled;
    m_posMapDashSize = s.posMapDashSize;
    m_posMapStyle = s.posMapStyle;
    m_posMapZoom = s.posMapZoom;
    m_posMapUnit = s.posMapUnit;
    m_posMapMouseLoc = s.posMapMouseLoc;
    m_posMapAutoCenter = s.posMapAutoCenter;
    m_posMapRefPos = s.posMapRefPos;
    m_posMapMaxMarkers = s.posMapMaxMarkers;
    m_posMapTraceRoute = s.posMapTraceRoute;
    m_posMapRefLat = s.posMapRefLat;
    m_posMapRefLon = s.posMapRefLon;
    m_onTop = s.onTop;
    m_diagLogName = "diagLog.txt";
    m_surveyQueryMode = 3;

    // The data folder is made here rather than last: tools opened by the
    // program's file name (below) already write into it.
    {
        char appData[MAX_PATH + 1] = {0};
        CString folder;
        bool made = ::SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE) != FALSE;
        if (made) {
            folder = appData;
            folder += "\\Velmara Divizuvozo";
            made = CreateFolderIfMissing(folder);
        }
        if (made) {
            folder += "\\Velmara GPS Monitor";
            made = CreateFolderIfMissing(folder);
        }
        m_dataFolder = made ? folder : m_startDir;
        m_diagLogs.SetFolder(m_dataFolder);
    }

    // 8. Brushes of the channel rows.
    m_brushSv.CreateSolidBrush(m_clrSvBackground);
    m_brushFace.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));

    // 9. The GPS data combo; the window works without it.
    m_gpsDataCombo = AddToolBarCombo(ID_GPSDATA_COMBO, m_layout.large ? 110 : 90, kComboDropHeight);
    if (m_gpsDataCombo == nullptr || m_gpsDataCombo->GetSafeHwnd() == nullptr) {
        m_gpsDataCombo = nullptr;
        AfxMessageBox("Couldn't create a combo box on the toolbar.");
    } else {
        m_gpsDataCombo->SetFont(&m_fontPoint);
        const char* items[] = {"GPS DATA", "ALMANAC", "EPHEMERIS", "HEALTH", "IONO DATA", "UTC DATA"};
        for (const char* item : items) m_gpsDataCombo->AddString(item);
        m_gpsDataCombo->SetCurSel(0);
    }

    // 10. The context menus of the groups and panes.
    m_menuPosition.CreatePopupMenu();
    m_menuPosition.AppendMenu(MF_STRING | MF_CHECKED, ID_POS_LLA, "&LLA (degrees/minutes)");
    m_menuPosition.AppendMenu(MF_STRING, ID_POS_LLA_DEC, "LL&A (decimal degrees)");
    m_menuPosition.AppendMenu(MF_STRING, ID_POS_XYZ, "&XYZ ECEF");
    m_menuPosition.AppendMenu(MF_SEPARATOR);
    m_menuPosition.AppendMenu(MF_STRING, ID_ALT_MSL, "LLA Alt: &MSL");
    m_menuPosition.AppendMenu(MF_STRING | MF_CHECKED, ID_ALT_HAE, "LLA Alt: &HAE");
    m_menuPosition.AppendMenu(MF_SEPARATOR);
    m_menuPosition.AppendMenu(MF_STRING, ID_POS_COPY, "&Copy to Clipboard");
    m_menuVelocity.CreatePopupMenu();
    m_menuVelocity.AppendMenu(MF_STRING | MF_CHECKED, ID_VEL_ENU, "ENU");
    m_menuVelocity.AppendMenu(MF_STRING, ID_VEL_ECEF, "&XYZ ECEF");
    m_menuVelocity.AppendMenu(MF_SEPARATOR);
    m_menuVelocity.AppendMenu(MF_STRING, ID_SPEED_KMH, "Speed (&km/hr)");
    m_menuVelocity.AppendMenu(MF_STRING, ID_SPEED_MPH, "Speed (&mi/hr)");
    m_menuVelocity.AppendMenu(MF_STRING, ID_SPEED_MPS, "Speed (m/&s)");
    m_menuTimeBase.CreatePopupMenu();
    m_menuTimeBase.AppendMenu(MF_STRING | MF_CHECKED, ID_TIME_GPS, "&GPS");
    m_menuTimeBase.AppendMenu(MF_STRING, ID_TIME_UTC, "&UTC");
    m_menuSignal.CreatePopupMenu();
    m_menuSignal.AppendMenu(MF_STRING | MF_CHECKED, ID_SIGNAL_CNO, "&CNO");
    m_menuSignal.AppendMenu(MF_STRING, ID_SIGNAL_AMU, "&AMU");
    m_menuRcvrConfig.CreatePopupMenu();
    m_menuRcvrConfig.AppendMenu(MF_STRING, ID_RCVR_CONFIG, "&Receiver Configuration...");
    m_menuRcvrVersion.CreatePopupMenu();
    m_menuRcvrVersion.AppendMenu(MF_STRING, ID_RCVR_VERSION, "&Receiver Version...");
    m_menuProtocol.CreatePopupMenu();
    m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_AUTO, "Auto");
    m_menuProtocol.AppendMenu(MF_SEPARATOR);
    m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_QBIN, "QBIN");
    m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_NMEA, "NMEA");
    m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_QTXT, "QTXT");
    m_menuProtocol.AppendMenu(MF_STRING, ID_PROT_QOP, "QOP");

    // 11. State icons, the Tx/Rx lamps in the first pane.
    SendDlgItemMessage(IDC_BBRAM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
    SendDlgItemMessage(IDC_RTC_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
    {
        const bool large = m_layout.large;
        const int labelWidth = large ? 18 : 14;
        const int lamp = large ? 14 : 12;
        const int txLabelX = 2, txLampX = txLabelX + labelWidth;
        const int rxLabelX = txLampX + lamp + 6, rxLampX = rxLabelX + labelWidth;
        AddStatusPaneControl(&m_txLabel, "Tx", ID_PANE_GENERAL, txLabelX, 0, labelWidth, 0, SS_LEFT, IDC_TX_LABEL,
                             FALSE);
        AddStatusPaneControl(&m_rxLabel, "Rx", ID_PANE_GENERAL, rxLabelX, 0, labelWidth, 0, SS_LEFT, IDC_RX_LABEL,
                             FALSE);
        struct Lamp {
            CPictureEx* picture;
            int x;
            UINT id;
            UINT gif;
            bool shown;
        } lamps[] = {{&m_txActive, txLampX, IDC_TX_ACTIVE, IDR_GIF_ACTIVE, false},
                     {&m_txRest, txLampX, IDC_TX_REST, IDR_GIF_REST, true},
                     {&m_rxActive, rxLampX, IDC_RX_ACTIVE, IDR_GIF_ACTIVE, false},
                     {&m_rxRest, rxLampX, IDC_RX_REST, IDR_GIF_REST, true}};
        for (Lamp& l : lamps) {
            if (!AddStatusPaneControl(l.picture, "", ID_PANE_GENERAL, l.x, 1, lamp, lamp, SS_LEFT, l.id, TRUE))
                continue;
            if (!l.picture->Load(MAKEINTRESOURCEA(l.gif), "GIF"))
                l.picture->Load(MAKEINTRESOURCEA(l.gif), "GIFIMAGE");
            // Every lamp is drawn, so a pulse only swaps which one is visible.
            l.picture->Draw();
            l.picture->ShowWindow(l.shown ? SW_SHOW : SW_HIDE);
        }
        m_txBusy = m_rxBusy = false;
    }
    // Bubble help: every control whose id has a string gets it as its tip.
    if (m_controlTip.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX | (m_balloonTips ? TTS_BALLOON : 0))) {
        m_controlTip.SetDelayTime(TTDT_INITIAL, 1000);
        m_controlTip.SetDelayTime(TTDT_AUTOPOP, 30000);
        m_controlTip.SetMaxTipWidth(300);
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const int id = ::GetDlgCtrlID(child);
            char text[257] = {0};
            if (id <= 0 || id == 0xFFFF || ::LoadStringA(instance, static_cast<UINT>(id), text, sizeof text) <= 0)
                continue;
            if (char* newline = std::strchr(text, '\n')) *newline = '\0';
            m_controlTip.AddTool(CWnd::FromHandle(child), text);
        }
        m_controlTip.Activate(m_optWndBubbleHelp != 0);
    }

    // 12. Panes, display formats, always-on-top, icons, on screen.
    ShowLinkPane();
    ApplyDisplayFormat(4);
    ApplySpeedUnits(m_speedUnits == 1 || m_speedUnits == 2 ? m_speedUnits : 0);
    ApplyOnTop();
    SetIcon(m_iconLarge, TRUE);
    SetIcon(m_iconSmall, FALSE);
    SendMessage(DM_REPOSITION);

    if (m_pParentMain != nullptr) {
        // 13. A secondary window: numbered, offset from its parent.
        CString title;
        title.Format("Monitor [%d]", s_windowCounter);
        SetWindowText(title);
        if (m_pParentMain->GetSafeHwnd() != nullptr) {
            CRect parentRect, rect;
            m_pParentMain->GetWindowRect(&parentRect);
            GetWindowRect(&rect);
            SetWindowPos(nullptr, parentRect.left + s_windowCounter * 50, parentRect.top + s_windowCounter * 75,
                         rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        }
        BuildMenu(0);
    } else {
        // 14. The primary window.
        SetWindowText(kTitle);
        RestoreWindowPosition(m_hWnd, kMainWndSection);
        // The internal tools are decided for command-line runs too, so their
        // menu follows the same rule (the update check stays off there).
        StartGate();
        if (m_cmdLine.IsCommandLine()) {
            if (m_cmdLine.HidesMainWindow()) CloseToolWindow(this, false);
            SetTimer(MWT_START_CMDLINE, 100);
        } else {
            const CString program = ProgramFileNameLower();
            if (program.Find("flash") >= 0) {
                m_toolStartFlash = true;
                CloseToolWindow(this, false);
                ShowFlashLoaderDlg();
            } else if (program.Find("datarecorder") >= 0) {
                m_toolStartRecorder = true;
                CloseToolWindow(this, false);
                ShowDataRecorderToolDlg();
            } else if (program.Find("ttff") >= 0) {
                m_toolStartTtff = true;
                CloseToolWindow(this, false);
                ShowTtffToolDlg();
            } else if (program.Find("converter") >= 0) {
                m_toolStartConverter = true;
                CloseToolWindow(this, false);
                ShowDataConverterDlg();
            } else if (profile.GetProfileInt(kMainWndSection, "mode", 0) == LINK_MONITOR) {
                SetTimer(MWT_CONNECT, 50);
            }
        }
    }

    // 15. The tracking tip of the menu bubble help.
    m_menuTip.Create(this, m_balloonTips, kTitle, kNoMenuHelp);

    // 16. Only the primary window opens new windows.
    if (m_pParentMain != nullptr)
        if (CMenu* menu = GetMenu()) menu->EnableMenuItem(ID_NEW_WINDOW, MF_BYCOMMAND | MF_GRAYED);

    // The template leaves the window hidden, so that one started to run a
    // tool never flashes up; every other start shows it now.
    if (!m_toolStartFlash && !m_toolStartRecorder && !m_toolStartTtff && !m_toolStartConverter &&
        !m_cmdLine.HidesMainWindow())
        ShowWindow(SW_SHOW);
    // The bars (with both combos now on the tool bar) push the controls down
    // and grow the window; the tool bar counts as shown only once the window is.
    RecalcBarLayout();
    // A combo added while the bar was still narrow sits where its button
    // wrapped to; put both over their buttons now that the bar has its width.
    PlaceToolBarCombo(*this, m_linkCombo, ID_LINK_COMBO);
    PlaceToolBarCombo(*this, m_gpsDataCombo, ID_GPSDATA_COMBO);

    // 17. (The data folder was made with the profile values above.)
    // 18.
    m_initialised = true;
}

void CMainWndDlg::ApplySpeedUnits(int32_t units) {
    m_speedUnits = units;
    SetFieldText(IDC_SPEED_UNIT, units == 1 ? "km/hr" : units == 2 ? "m/s" : "mi/hr");
    const UINT ids[] = {ID_SPEED_MPH, ID_SPEED_KMH, ID_SPEED_MPS};
    for (int32_t i = 0; i < 3; ++i) {
        const UINT flags = MF_BYCOMMAND | (i == units ? MF_CHECKED : MF_UNCHECKED);
        if (CMenu* menu = GetMenu()) menu->CheckMenuItem(ids[i], flags);
        if (m_menuVelocity.GetSafeHmenu() != nullptr) m_menuVelocity.CheckMenuItem(ids[i], flags);
    }
}

void CMainWndDlg::ApplyOnTop() {
    if (GetSafeHwnd() == nullptr) return;
    ::SetWindowPos(m_hWnd, m_onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (CMenu* menu = GetMenu())
        menu->CheckMenuItem(ID_ALWAYS_ON_TOP, MF_BYCOMMAND | (m_onTop ? MF_CHECKED : MF_UNCHECKED));
}

// ---- The internal-tools gate ---------------------------------------------------------

void CMainWndDlg::StartGate() {
    GateRequest* request = new GateRequest;
    request->window = m_hWnd;
    request->userMode = m_userMode;
    request->accessFlag = m_accessFlag;
    // The share is configuration: the environment first, then the profile.
    if (const char* env = std::getenv("VELMARA_INTERNAL_SHARE")) request->share = env;
    if (request->share.IsEmpty()) {
        AppProfile profile;
        request->share = profile.GetProfileString("Options", "InternalShare", "");
    }
    if (AfxBeginThread(&CMainWndDlg::GateThread, request) == nullptr) {
        delete request;
        PostMessage(WM_GATE_DONE, 0, 0);
    }
}

UINT CMainWndDlg::GateThread(LPVOID param) {
    GateRequest* request = static_cast<GateRequest*>(param);
    if (request == nullptr) return 0;
    // Looking at a network share can take long: it is the only reason this
    // runs on a worker. The menu is rebuilt on the GUI thread.
    bool shareReachable = false;
    if (!request->share.IsEmpty()) {
        const DWORD attributes = ::GetFileAttributesA(request->share);
        shareReachable = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const bool shown = !request->userMode && (request->accessFlag || shareReachable);
    ::PostMessageA(request->window, WM_GATE_DONE, shown ? 1 : 0, 0);
    delete request;
    return 0;
}

LRESULT CMainWndDlg::OnGateDone(WPARAM wParam, LPARAM) {
    m_internalTools = wParam != 0;
    BuildMenu(0);
    if (!m_cmdLine.IsCommandLine()) StartStartupUpdateCheck();
    return 0;
}

// ---- Messages ------------------------------------------------------------------------------

void CMainWndDlg::PostNcDestroy() {
    if (m_pParentMain != nullptr) m_pParentMain->RemoveMainWindow(this);
    delete this;
}

// Escape and Enter never close the main window; only the close commands do.
void CMainWndDlg::OnCancel() {}
void CMainWndDlg::OnOK() {}

void CMainWndDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rect.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_iconLarge);
        return;
    }
    CModelessDialog::OnPaint();
}

HCURSOR CMainWndDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_iconLarge); }

HBRUSH CMainWndDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH brush = CModelessDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd == nullptr || pDC == nullptr) return brush;
    const UINT id = static_cast<UINT>(pWnd->GetDlgCtrlID());
    const UINT firstCell = IDC_CHANNEL_CELL(0, 0);
    const UINT lastCell = IDC_CHANNEL_CELL(CHANNEL_ROWS - 1, CHANNEL_COLUMNS - 1);
    if (id >= firstCell && id <= lastCell) {
        const int row = static_cast<int>(id - firstCell) / CHANNEL_COLUMNS;
        if (m_channelRows[row].highlighted) {
            pDC->SetBkColor(m_clrSvBackground);
            pDC->SetTextColor(m_clrSvText);
            return static_cast<HBRUSH>(m_brushSv.m_hObject);
        }
        pDC->SetBkColor(::GetSysColor(COLOR_BTNFACE));
        pDC->SetTextColor(m_clrRegText);
        return static_cast<HBRUSH>(m_brushFace.m_hObject);
    }
    pDC->SetTextColor(IsGroupBox(id) ? m_clrGroupText : m_clrRegText);
    return brush;
}

void CMainWndDlg::OnClose() { ConfirmClose(true); }

void CMainWndDlg::OnDestroy() {
    if (m_batch) m_batch->Abort();
    CloseRawOutputWnds();
    SaveSettings();
    CModelessDialog::OnDestroy();
}

void CMainWndDlg::OnMove(int x, int y) {
    CModelessDialog::OnMove(x, y);
    // Tool windows follow the main window only with the anchor option,
    // which the settings pages do not offer yet.
    if (!m_initialised) return;
}

void CMainWndDlg::OnLButtonDblClk(UINT, CPoint) {
    if (m_linkMode == LINK_IDLE)
        EnterMonitorMode();
    else
        EnterIdleMode(0);
}

void CMainWndDlg::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
    if (m_optMenuBubbleHelp != 0) m_menuTip.OnMenuSelect(nItemID, nFlags, hSysMenu);
}

void CMainWndDlg::OnMouseMove(UINT nFlags, CPoint point) {
    if (m_optDataSource != 0 && m_initialised) ShowDataSourceHint();
    CModelessDialog::OnMouseMove(nFlags, point);
}

void CMainWndDlg::OnFileExit() { ConfirmClose(true); }

void CMainWndDlg::OnConnect() {
    if (m_linkMode == LINK_IDLE)
        EnterMonitorMode();
    else
        EnterIdleMode(0);
}

void CMainWndDlg::OnLinkComboCommand() { OnLinkComboSelect(); }

void CMainWndDlg::OnDataLogger() { ShowDataRecorderDlg(true); }

LRESULT CMainWndDlg::OnUpdateFollowup(WPARAM, LPARAM) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Velmara Divizuvozo Ltd.\\Updater", 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        struct Tool {
            const char* value;
            const char* menuPath;
        } tools[] = {{"DataRecorder", "Tools -> Data Recorder..."},
                     {"TTFF", "Tools -> TTFF Tester..."},
                     {"FlashLoader", "Tools -> Flash Loader..."}};
        for (const Tool& tool : tools) {
            DWORD value = 0;
            if (!ReadRegistryDword(key, tool.value, value) || value == 0) continue;
            WriteRegistryDword(key, tool.value, 0);
            AppProfile profile;
            profile.WriteProfileInt("Options", "updateInProgress", 0);
            CString text;
            text.Format("%s is now integrated into Velmara GPS Monitor!\n\nTo launch it, select %s from the "
                        "menu.\n\nPlease note that your local %s executable was just \nreplaced with "
                        "VelmaraMon.exe. If you use shortcuts, please\nupdate them accordingly.\n\n",
                        tool.value, tool.menuPath, tool.value);
            AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
            break;
        }
        ::RegCloseKey(key);
    }
    if (!m_cmdLine.IsCommandLine() && (m_checkUpdates != 0 || m_internalTools)) SetTimer(MWT_UPDATE_CHECK, 1500);
    return 0;
}

// The release notes window comes with the update checker.
LRESULT CMainWndDlg::OnShowReleaseNotes(WPARAM, LPARAM) {
    ShowReleaseNotesDlg();
    return 0;
}

LRESULT CMainWndDlg::OnReceiverEventMsg(WPARAM wParam, LPARAM lParam) { return OnReceiverEvent(wParam, lParam); }

LRESULT CMainWndDlg::OnOpenDocumentMsg(WPARAM wParam, LPARAM lParam) { return OnOpenDocument(wParam, lParam); }

// ---- Timers -----------------------------------------------------------------------------------

void CMainWndDlg::OnTimer(UINT_PTR nIDEvent) {
    if (m_batch && nIDEvent == m_batch->GetTimerId()) {
        if (m_batch->OnTimer(static_cast<uint32_t>(nIDEvent)) == BATCH_TICK_FINISHED) {
            if (m_pScripter != nullptr && m_pScripter->IsRunning())
                m_pScripter->ReportResult(0, 16);
            else
                ShowBalloonMessage(CWnd::FromHandle(m_batch->GetReplyWindow()), 300, 100, kBatchFinishedText, 2,
                                   0x006400, 0xE1FFFF, 1);
        }
        return;
    }
    // Every listed timer but the tick is one-shot; ids of others are left alone.
    switch (nIDEvent) {
        case MWT_CLEAR_FIELDS: case MWT_TX_PULSE: case MWT_RX_PULSE: case MWT_FIRST_QUERY:
        case MWT_TIMED_STATUS: case MWT_START_CMDLINE: case MWT_CONNECT: case MWT_PLAYBACK_END:
        case MWT_CLOSE: case MWT_UPDATE_CHECK: case MWT_RESET_DONE: case MWT_ALMANAC_SEND:
        case MWT_EPHEMERIS_SEND: case MWT_HIDE_SELF: case MWT_SET_TIME_TIMEOUT: case MWT_BALLOON:
        case MWT_TIMING_VIEW: case MWT_AUTO_QUERY_STEP: case MWT_POSITION_MAP:
            KillTimer(nIDEvent);
            break;
        default:
            break;
    }
    switch (nIDEvent) {
        case MWT_CLEAR_FIELDS:
            ClearDisplayFields();
            m_receiverContact = false;
            break;
        case MWT_TX_PULSE:
            if (m_txActive.GetSafeHwnd() != nullptr) m_txActive.ShowWindow(SW_HIDE);
            if (m_txRest.GetSafeHwnd() != nullptr) m_txRest.ShowWindow(SW_SHOW);
            m_txBusy = false;
            break;
        case MWT_RX_PULSE:
            if (m_rxActive.GetSafeHwnd() != nullptr) m_rxActive.ShowWindow(SW_HIDE);
            if (m_rxRest.GetSafeHwnd() != nullptr) m_rxRest.ShowWindow(SW_SHOW);
            m_rxBusy = false;
            break;
        case MWT_FIRST_QUERY:
            if (m_autoQuery.enabled != 0) {
                m_link.GetProtocol().SendFilterConfig(0, nullptr);
                m_link.GetProtocol().SendIoOptions(0, nullptr);
            }
            break;
        case MWT_TIMED_STATUS:
            m_timedStatusSeconds = 0;
            RefreshModeStatus();
            break;
        case MWT_TICK:
            OnSecondTick();
            break;
        case MWT_START_CMDLINE:
            StartCommandLineScript();
            break;
        case MWT_CONNECT:
            EnterMonitorMode();
            break;
        case MWT_PLAYBACK_END:
            EnterIdleMode(0);
            break;
        case MWT_CLOSE:
            ConfirmClose(false);
            break;
        case MWT_UPDATE_CHECK:
            StartRegularUpdateCheck(this);
            break;
        case MWT_RESET_DONE:
            ClearDisplayFields();
            m_resetRunning = false;
            m_receiverContact = false;
            m_elapsedSeconds = 0;
            ResetPlotViews();
            break;
        case MWT_ALMANAC_SEND:
            m_cmdLine.monitor.almanacSend = false;
            StartAlmEphPosTransfer(1, m_cmdLine.monitor.almanacFile);
            break;
        case MWT_EPHEMERIS_SEND:
            m_cmdLine.monitor.ephemerisSend = false;
            StartAlmEphPosTransfer(3, m_cmdLine.monitor.ephemerisFile);
            break;
        case MWT_HIDE_SELF:
            ShowWindow(SW_HIDE);
            break;
        case MWT_SET_TIME_TIMEOUT:
            // The receiver never answered: the dispatcher's time-out path.
            if (m_setTimePending) OnSetTimeResult(78);
            break;
        case MWT_BALLOON:
            if (m_balloon.pending) {
                m_balloon.pending = false;
                CWnd* anchor = m_balloon.anchor != nullptr ? CWnd::FromHandle(m_balloon.anchor) : this;
                ShowBalloonOverWindow(anchor, m_balloon.text, m_balloon.x, m_balloon.y, m_balloon.seconds,
                                      m_balloon.textColour, m_balloon.backColour, m_balloon.flags);
            }
            break;
        case MWT_TIMING_VIEW:
            SetTimingView(true);
            break;
        case MWT_AUTO_QUERY_STEP:
            m_link.GetProtocol().QueryHardwareVersion();
            break;
        case MWT_POSITION_MAP:
            // The hidden position map window comes with the position views.
            break;
        case MWT_DISPLAY:
            RefreshDisplay();
            break;
        default:
            break;
    }
}

void CMainWndDlg::OnSecondTick() {
    // 1. Elapsed time.
    ++m_elapsedSeconds;
    SetStatusPaneText(ID_PANE_ELAPSED, FormatElapsedTime(m_elapsedSeconds), kPaneLeft);
    // 2. A held diagnostics value goes to the diagnostics window, which
    //    comes with the engineering tools.
    // 3. Controls, the sky plot every third second.
    UpdateDialogControls(this, FALSE);
    m_tickCount = (m_tickCount + 1) % 60;
    if (m_pSkyPlot != nullptr && m_tickCount % 3 == 0) PushSkyPlotData();
    // 4. Stale fields.
    if (m_linkMode == LINK_FILE || m_autoQuery.enabled != 0) {
        const int first[] = {0, 1, 2, 3, 4, 17, 21};
        for (int field : first) CheckStaleFields(field);
        if (m_link.GetProtocolKind() != 6) {
            CheckStaleFields(19);
            CheckStaleFields(20);
            CheckStaleFields(18);
        }
        for (int field = 5; field <= 16; ++field) CheckStaleFields(field);
    }
    // 5. Survey queries and the time query.
    if (m_linkMode == LINK_MONITOR) {
        if (m_surveyQueryMode != 3)
            m_link.GetProtocol().RequestSupplementalTiming(0, static_cast<BYTE>(m_surveyQueryMode));
        const uint32_t now = ::GetTickCount() / 1000u;
        if (m_elapsedSeconds == 1) m_timeQueryStart = now;
        if ((now - m_timeQueryStart) % 60u > 1u) m_link.GetProtocol().SetTimeQueryEnabled(true);
    }
    // 6. Statistics.
    ShowSerialStatistics();
}

// ---- Field helpers -------------------------------------------------------------------------

void CMainWndDlg::SetFieldText(UINT id, LPCTSTR text) {
    if (GetSafeHwnd() == nullptr) return;
    HWND field = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (field == nullptr) return;
    const char* wanted = text != nullptr ? text : "";
    char current[512] = {0};
    ::GetWindowTextA(field, current, sizeof current);
    if (std::strcmp(current, wanted) != 0) ::SetWindowTextA(field, wanted);
}

CString CMainWndDlg::GetFieldText(UINT id) {
    CString text;
    if (GetSafeHwnd() != nullptr) GetDlgItemText(static_cast<int>(id), text);
    return text;
}

void CMainWndDlg::ShowField(UINT id, bool show) {
    if (GetSafeHwnd() == nullptr) return;
    if (HWND field = ::GetDlgItem(m_hWnd, static_cast<int>(id))) ::ShowWindow(field, show ? SW_SHOW : SW_HIDE);
}

void CMainWndDlg::EnableField(UINT id, bool enable) {
    if (GetSafeHwnd() == nullptr) return;
    if (HWND field = ::GetDlgItem(m_hWnd, static_cast<int>(id))) ::EnableWindow(field, enable ? TRUE : FALSE);
}
