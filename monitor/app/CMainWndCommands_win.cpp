// The main window's menu, accelerator, tool-bar and context-menu commands:
// the command table (MenuCommandTable) says what each id does, this file
// carries it out. Tool windows, raw data windows, playback, the settings
// sheet and the menu state have their own files; here they are only called.
#include "app/CMainWndDlg.h"
#include "app/AppProfile.h"
#include "app/CAboutDlg.h"
#include "app/MainWndLinkRules.h"
#include "app/MainWndProfile.h"
#include "app/MenuCommandTable.h"

namespace {

const char kFactoryResetQuestion[] =
    "Are you sure you want to perform a factory reset?\n"
    "This will reset the receiver configuration to factory defaults.";
const int kFactoryResetKind = 4;
// How long the fields stay cleared and events are ignored after a reset.
const UINT kResetQuietMs = 1000;
// The double-precision output formats: off, on.
const int kDoublePrecisionOff = 12;
const int kDoublePrecisionOn = 13;
const int kLlaFormat = 4;

}  // namespace

// ---- Resets --------------------------------------------------------------------------------

void CMainWndDlg::ResetReceiver(int kind)
{
    // Nothing is written in IDLE or FILE; and a reset the link could not
    // write leaves the receiver as it was, so its data stays on screen.
    if (m_linkMode != LINK_MONITOR) return;
    if (!m_link.GetProtocol().ResetReceiver(kind)) return;
    m_resetRunning = true;
    SetTimer(MWT_RESET_DONE, kResetQuietMs, nullptr);
}

// ---- The command hook ---------------------------------------------------------------------

BOOL CMainWndDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    // Only menu items, accelerators and tool-bar buttons; control
    // notifications go their own way.
    if (code <= 1 && RunMenuCommand(id)) return TRUE;
    return CModelessDialog::OnCommand(wParam, lParam);
}

bool CMainWndDlg::RunMenuCommand(UINT id)
{
    const MenuCommand command = FindMenuCommand(id);
    const int argument = command.argument;
    switch (command.action) {
    case MENU_ACTION_NONE: return false;
    case MENU_ACTION_RESET: ResetReceiver(argument); break;
    case MENU_ACTION_FACTORY_RESET:
        if (AfxMessageBox(kFactoryResetQuestion, MB_YESNO | MB_ICONWARNING) == IDYES) ResetReceiver(kFactoryResetKind);
        break;
    case MENU_ACTION_OUTPUT_FORMAT: ApplyFormatCommand(argument); break;
    case MENU_ACTION_LLA_FORMAT: {
        m_llaDecimal = argument;
        AppProfile profile;
        profile.WriteProfileInt(kMainWndSection, "llaDec", m_llaDecimal);
        ApplyFormatCommand(kLlaFormat);
        break;
    }
    case MENU_ACTION_DOUBLE_PRECISION:
        ApplyFormatCommand(m_doublePrecision ? kDoublePrecisionOff : kDoublePrecisionOn);
        break;
    case MENU_ACTION_SPEED_UNIT: ApplySpeedUnits(argument); break;
    case MENU_ACTION_COPY_POSITION: m_copyRequest = true; break;
    case MENU_ACTION_ALWAYS_ON_TOP:
        m_onTop = m_onTop != 0 ? 0 : 1;
        ApplyOnTop();
        break;
    case MENU_ACTION_CLEAR_WINDOW: ClearDisplayFields(); break;
    case MENU_ACTION_TRANSFER: StartAlmEphPosTransfer(argument, ""); break;
    case MENU_ACTION_CONNECT:
        // In IDLE the port settings are asked first, for the current port.
        if (m_linkMode == LINK_IDLE)
            SelectComPort(m_port, true);
        else
            EnterIdleMode(0);
        break;
    case MENU_ACTION_ABOUT: {
        CAboutDlg about(this);
        about.DoModal();
        break;
    }
    case MENU_ACTION_PROTOCOL_AUTO:
        m_followReceived = 1;
        SetOutputProtocol();
        break;
    case MENU_ACTION_PROTOCOL:
        m_followReceived = 0;
        m_commandProtocol = argument;
        SetOutputProtocol();
        break;
    // A port named in the menu keeps the settings in use; the dialog is
    // for "COM Port...".
    case MENU_ACTION_COM_PORT: SelectComPort(argument, false); break;
    case MENU_ACTION_PORT_DIALOG: SelectComPort(m_port, true); break;
    case MENU_ACTION_GPS_DATA: ShowGpsDataDlg(static_cast<UINT>(argument)); break;
    case MENU_ACTION_RAW_OUTPUT: OpenRawOutputWnd(); break;
    case MENU_ACTION_PLAYBACK: ShowPlaybackDlg(); break;
    case MENU_ACTION_NEW_WINDOW: NewMainWindow(); break;
    case MENU_ACTION_SETTINGS: ShowSettingsSheet(); break;
    case MENU_ACTION_DATA_LOGGER: ShowDataRecorderDlg(true); break;
    case MENU_ACTION_ACCESS_CODE: PromptAccessCode(); break;
    case MENU_ACTION_USER_MODE: EnterUserMode(); break;
    case MENU_ACTION_INTERNAL_TOOLS_NOTE: ShowInternalToolsNote(); break;
    case MENU_ACTION_RCVR_CONFIG: ShowRcvrConfigDlg(argument); break;
    case MENU_ACTION_DIAGNOSTICS: ShowDiagDlg(argument); break;
    // The launchers' own table knows each tool's window, parent and tab.
    case MENU_ACTION_TOOL: return LaunchToolCommand(id);
    }
    return true;
}

// ---- Display formats --------------------------------------------------------------------------

void CMainWndDlg::ApplyFormatCommand(int code)
{
    // A monitored receiver is told, and the display follows its report of
    // the new options (SyncOutputFormatChecks on the I/O options event), so
    // the window never shows a format the receiver refused. Without one the
    // display follows now.
    if (m_linkMode == LINK_MONITOR)
        SetOutputFormat(code);
    else
        ApplyDisplayFormat(code);
}

// ---- Output formats -----------------------------------------------------------------------------

void CMainWndDlg::SetOutputFormat(int format)
{
    IoOptions options = IoOptions();
    // Options the receiver never reported would overwrite its own with
    // zeros: ask for them instead, and let the user choose again.
    if (!m_link.GetModel().GetIoOptions(options)) {
        m_link.GetProtocol().SendIoOptions(0, nullptr);
        return;
    }
    ApplyOutputFormat(options, format);
    m_link.GetProtocol().SendIoOptions(1, &options);
}

void CMainWndDlg::SyncOutputFormatChecks()
{
    // During a transfer the receiver's replies belong to the loader.
    if (m_pLoader != nullptr) return;
    IoOptions options = IoOptions();
    if (!m_link.GetModel().GetIoOptions(options)) return;
    int codes[OUTPUT_FORMAT_CHECK_COUNT];
    GetOutputFormatChecks(options, codes);
    for (int code : codes) ApplyDisplayFormat(code);
}

// ---- Context menus ----------------------------------------------------------------------------

void CMainWndDlg::OnContextMenu(CWnd* /*pWnd*/, CPoint point)
{
    // The keyboard's context key gives (-1, -1): no group is meant.
    if (point.x == -1 && point.y == -1) return;
    ShowContextMenuAt(point);
}

bool CMainWndDlg::ShowContextMenuAt(CPoint screenPoint)
{
    struct GroupMenu {
        UINT group;
        CMenu* menu;
    } const groups[] = {
        {IDC_GROUP_TIME, &m_menuTimeBase},      {IDC_GROUP_POSITION, &m_menuPosition},
        {IDC_GROUP_VELOCITY, &m_menuVelocity},  {IDC_GROUP_MODE, &m_menuRcvrConfig},
        {IDC_GROUP_FIRMWARE, &m_menuRcvrVersion},
    };
    CMenu* chosen = nullptr;
    for (const GroupMenu& g : groups) {
        HWND group = ::GetDlgItem(m_hWnd, static_cast<int>(g.group));
        RECT rect;
        if (group != nullptr && ::IsWindowVisible(group) && ::GetWindowRect(group, &rect) &&
            ::PtInRect(&rect, screenPoint)) {
            chosen = g.menu;
            break;
        }
    }
    CStatusBarEx& bar = GetStatusBar();
    if (chosen == nullptr && bar.GetSafeHwnd() != nullptr) {
        struct PaneMenu {
            UINT pane;
            CMenu* menu;
        } const panes[] = {{ID_PANE_LINK, &m_menuPort}, {ID_PANE_PROTOCOL, &m_menuProtocol}};
        CPoint client = screenPoint;
        bar.ScreenToClient(&client);
        for (const PaneMenu& p : panes) {
            const int index = bar.CommandToIndex(p.pane);
            if (index < 0) continue;
            CRect rect;
            bar.GetItemRect(index, &rect);
            if (rect.PtInRect(client)) {
                chosen = p.menu;
                break;
            }
        }
    }
    if (chosen == nullptr || chosen->GetSafeHmenu() == nullptr) return false;
    chosen->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, this);
    return true;
}
