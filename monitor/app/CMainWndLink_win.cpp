// The main window's link modes: IDLE, MONITOR and FILE, the moves between
// them, and the changes of port, protocol, auto-query and timing view that go
// with them. Everything here runs on the GUI thread; the reader reaches the
// window only through WM_RECEIVER_EVENT.
#include "app/CMainWndDlg.h"

#include <memory>
#include <type_traits>
#include <vector>

#include "app/CPlaybackDlg.h"
#include "app/CPortSettings.h"
#include "app/MainWndLinkRules.h"
#include "app/MainWndProfile.h"
#include "app/ReceiverFieldFormat.h"
#include "config/CRcvrConfigDlg.h"
#include "data/CAlmEphPosLoader.h"
#include "data/CDataRecorderDlg.h"
#include "data/CUploadDownloadDlg.h"
#include "link/CPlaybackChannel.h"
#include "model/GpsTime.h"
#include "model/ReceiverEvent.h"
#include "tools/CDiagDlg.h"
#include "tools/CScripter.h"
#include "views/CPositionDlg.h"
#include "views/CSkyPlot.h"
#include "views/CTimingMonitorDlg.h"

namespace {

// The receiver asks for a short gap between two commands; the start-up
// queries are few, so the GUI thread waits them out.
const DWORD kQueryGapMs = 10;
// The tracker answers "AT" at once; switching it to a protocol takes longer.
const int32_t kTrackerProbeTimeoutMs = 200;
const int32_t kTrackerConnectTimeoutMs = 6000;
const int kTrackerProbeReplyLength = 6;
const int kTrackerConnectReplyLength = 10;
const int32_t kTrackerWriteTimeoutMs = 1000;

// A loader reports its end from inside its own call, so it cannot be deleted
// there; finished loaders wait here until the next transfer starts.
std::vector<std::unique_ptr<CAlmEphPosLoader>>& FinishedLoaders()
{
    static std::vector<std::unique_ptr<CAlmEphPosLoader>> loaders;
    return loaders;
}

// Tool windows of later work may not be windows yet; once they are, this
// lets the close below reach them without a change here.
template <class T>
CWnd* AsToolWindow(T* tool)
{
    if constexpr (std::is_base_of<CWnd, T>::value)
        return tool;
    else
        return nullptr;
}

template <class T>
void CloseToolByMessage(T* tool)
{
    CWnd* window = AsToolWindow(tool);
    if (window != nullptr && window->GetSafeHwnd() != nullptr) window->SendMessage(WM_CLOSE);
}

// Reads until `wanted` bytes came or the time is up: a serial read may return
// what has arrived so far, and the tracker's reply can come in pieces.
int ReadWithin(CController& link, BYTE* buffer, int wanted, int32_t timeoutMs)
{
    int got = 0;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD spent = ::GetTickCount() - start;
        if (got >= wanted || spent >= static_cast<DWORD>(timeoutMs)) break;
        int n = link.Read(buffer + got, static_cast<uint16_t>(wanted - got),
                          static_cast<int32_t>(timeoutMs - static_cast<int32_t>(spent)));
        if (n < 0) break;
        got += n;
    }
    return got;
}

void WriteText(CController& link, const CString& text)
{
    link.Write(reinterpret_cast<const BYTE*>(static_cast<const char*>(text)),
               static_cast<uint16_t>(text.GetLength()), kTrackerWriteTimeoutMs);
}

void WriteMonitorInt(const char* entry, int value)
{
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(kMainWndSection, entry, value);
}

void WriteMonitorString(const char* entry, const CString& value)
{
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString(kMainWndSection, entry, value);
}

}  // namespace

// ---- Small window helpers of this file ---------------------------------------------

namespace {

void CheckMenuCommand(CMainWndDlg& wnd, UINT id, bool checked)
{
    const UINT flags = MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED);
    if (HMENU menu = ::GetMenu(wnd.GetSafeHwnd())) ::CheckMenuItem(menu, id, flags);
}

// The port items live in the main menu and in the link's popup menu.
void CheckPortMenuItem(CMainWndDlg& wnd, int port, bool checked)
{
    const UINT id = ID_COM_PORT_FIRST + static_cast<UINT>(port);
    CheckMenuCommand(wnd, id, checked);
    if (HMENU popup = wnd.m_menuPort.GetSafeHmenu())
        ::CheckMenuItem(popup, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Only the main menu: in the port popup the same command is the "IDLE" item.
void SetConnectMenuText(CMainWndDlg& wnd, const char* text)
{
    HMENU menu = ::GetMenu(wnd.GetSafeHwnd());
    if (menu == nullptr) return;
    if (::GetMenuState(menu, ID_CONNECT, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    ::ModifyMenuA(menu, ID_CONNECT, MF_BYCOMMAND | MF_STRING, ID_CONNECT, text);
    ::DrawMenuBar(wnd.GetSafeHwnd());
}

void RemoveShutdownMenuItem(CMainWndDlg& wnd)
{
    HMENU menu = ::GetMenu(wnd.GetSafeHwnd());
    if (menu == nullptr) return;
    if (::DeleteMenu(menu, ID_SHUTDOWN_STANDBY, MF_BYCOMMAND)) ::DrawMenuBar(wnd.GetSafeHwnd());
}

// The combo shows the mode the window is in, whatever the user picked.
void SelectLinkComboItem(CMainWndDlg& wnd, const CString& item)
{
    if (wnd.m_linkCombo == nullptr || wnd.m_linkCombo->GetSafeHwnd() == nullptr) return;
    // Exact: "COM 1" must not select "COM 12".
    int index = wnd.m_linkCombo->FindStringExact(-1, item);
    if (index >= 0) wnd.m_linkCombo->SetCurSel(index);
}

void SetProgressRange(CMainWndDlg& wnd, int32_t upper)
{
    wnd.SendDlgItemMessage(IDC_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
}

void SetProgressPos(CMainWndDlg& wnd, int32_t position)
{
    wnd.SendDlgItemMessage(IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// The progress bar replaces the almanac field while a replay or a transfer runs.
void ShowProgressBar(CMainWndDlg& wnd, bool show)
{
    wnd.ShowField(IDC_PROGRESS, show);
    wnd.SetFieldText(IDC_ALMANAC_LABEL, show ? "Progress" : "Almanac");
    wnd.ShowField(IDC_PERCENT, show);
    wnd.ShowField(IDC_ALMANAC, !show);
}

void SetStateIcon(CMainWndDlg& wnd, UINT id, HICON icon)
{
    wnd.SendDlgItemMessage(id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace

// ---- IDLE -> MONITOR -------------------------------------------------------------------

bool CMainWndDlg::EnterMonitorMode()
{
    if (m_linkMode != LINK_IDLE) return false;
    if (IsPortLogged(m_port)) {
        CString text;
        text.Format("Data is currently being logged on COM %d.\nPlease, stop logging before switching to MONITOR mode.",
                    static_cast<int>(m_port));
        AfxMessageBox(text);
        return false;
    }

    m_portOpenFailed = false;
    m_trackerFailed = false;
    SetStatusText("");
    m_detectedProtocol = 0;
    m_statistics.Reset();
    m_timingViewAuto = false;
    m_diagValueHeld = false;
    m_diagValue = 0;
    m_diagLogName.Format("diag_com%d.txt", static_cast<int>(m_port));
    m_diagLogs.SetFolder(m_dataFolder);
    m_diagLogs.SetPort(m_port);

    if (OpenMonitorLink()) {
        ClearDisplayFields();
        m_linkMode = LINK_MONITOR;
        CheckPortMenuItem(*this, m_port, true);
        SetConnectMenuText(*this, "&Disconnect");
        if (m_portSettingsPending) {
            m_portSettingsPending = false;
            PortConfigRecord port = PortConfigRecord();
            port.comPort = m_port;
            port.baud = m_baud;
            port.parity = m_parity;
            port.stopBits = m_stopBits;
            port.dataBits = m_dataBits;
            port.receiverPort = 255;   // the receiver port the command arrives on
            port.inputMask = m_inProtocol;
            port.outputMask = m_outProtocol;
            m_link.GetProtocol().SendPortConfig(1, &port);
        }
        ResetPlotViews();
        SetTimer(MWT_TICK, 1000, nullptr);
        StartDisplayTimer();
        SetStatusPaneText(ID_PANE_ELAPSED, "00:00:00", 0);
        m_elapsedSeconds = 0;
        ShowProgressBar(*this, false);
        SetStatusPaneText(ID_PANE_PROTOCOL, "", 0);
        UpdateMenuState(0);
        ResetStaleTimeouts();
        if (m_autoQuery.enabled) m_link.GetProtocol().SetAutoQuery(m_autoQuery);
        SendStartupQueries();
        RefreshModeStatus();
        ShowLinkPane();
        return true;
    }

    // Passing through MONITOR lets the way back to IDLE release whatever the
    // failed open left and report its cause.
    m_linkMode = LINK_MONITOR;
    EnterIdleMode(0);
    ShowLinkPane();
    if (m_pScripter != nullptr) m_pScripter->ReportResult(1, 5);
    return false;
}

bool CMainWndDlg::OpenMonitorLink()
{
    LinkPortSettings settings;
    settings.portNumber = m_port;
    settings.baudRate = m_baud;
    settings.parity = m_parity;
    settings.stopBits = m_stopBits;
    settings.dataBits = m_dataBits;

    // Opened without a reader, so that a tracker probe has the port to
    // itself; the reader starts once the probe is done.
    int32_t error = LINK_ERROR_NONE;
    if (!m_link.OpenSerial(settings, PROTO_NONE, &error)) {
        if (error == LINK_ERROR_SERIAL)
            m_portOpenFailed = true;   // reported by the way back to IDLE
        else
            AfxMessageBox("Failed to initialize the monitor!");
        return false;
    }

    m_link.AddListener(GetSafeHwnd(), WM_RECEIVER_EVENT);
    if (m_trackerMode == 0 || DetectTracker(m_commandProtocol)) {
        const ProtocolKind kind = m_vendorSubKind != 0 ? m_vendorSubKind : m_commandProtocol;
        if (m_link.RestartReader(kind)) return true;
    }
    // Never leave a half-open link behind.
    m_link.Disconnect();
    return false;
}

bool CMainWndDlg::DetectTracker(ProtocolKind protocol)
{
    m_trackerFailed = false;
    m_link.Write(reinterpret_cast<const BYTE*>(kTrackerProbe), 4, kTrackerWriteTimeoutMs);
    BYTE reply[kTrackerProbeReplyLength] = {};
    const int got = ReadWithin(m_link, reply, kTrackerProbeReplyLength, kTrackerProbeTimeoutMs);
    // Anything but "ok" is a plain receiver: connect to it normally.
    if (!IsTrackerOkReply(reply, got)) return true;

    CString text;
    text.Format("Roamfob detected on COM %d. Connecting...", static_cast<int>(m_port));
    SetStatusText(text);
    WriteText(m_link, BuildTrackerConnectCommand(protocol, m_trackerAntenna));
    BYTE answer[kTrackerConnectReplyLength] = {};
    if (ReadWithin(m_link, answer, kTrackerConnectReplyLength, kTrackerConnectTimeoutMs) < kTrackerConnectReplyLength) {
        m_link.Disconnect();
        m_trackerFailed = true;
        return false;
    }
    return true;
}

// ---- MONITOR/FILE -> IDLE -------------------------------------------------------------

void CMainWndDlg::EnterIdleMode(int reconnect)
{
    if (reconnect != 0 && reconnect != 1) return;
    if (m_linkMode == LINK_MONITOR && IsPortLogged(m_port)) {
        CString text;
        text.Format("Data is currently being logged on COM %d.\nPlease, stop logging before switching to IDLE mode.",
                    static_cast<int>(m_port));
        AfxMessageBox(text);
        return;
    }

    const LinkMode previous = m_linkMode;
    if (previous == LINK_MONITOR || previous == LINK_FILE) {
        m_link.RemoveListener(GetSafeHwnd());
        // IDLE before the reader is stopped: events it still delivers while
        // Disconnect waits for it find the window idle and change nothing.
        m_linkMode = LINK_IDLE;
        m_receiverContact = false;
        m_timingView = false;
        m_surveyQueryMode = 3;
        // A batch ends with its link: its remaining lines would only fail
        // against a closed port.
        if (m_batch) m_batch->Abort();
        m_link.Disconnect();
        CheckPortMenuItem(*this, m_port, false);
        SetConnectMenuText(*this, "&Connect...");
        RemoveShutdownMenuItem(*this);
        SetStateIcon(*this, IDC_BBRAM_ICON, m_iconNeutral);
        SetStateIcon(*this, IDC_RTC_ICON, m_iconNeutral);
        SetFieldText(IDC_ANTENNA, "n/a");
        KillTimer(MWT_TICK);
        KillTimer(MWT_FIRST_QUERY);
        StopDisplayTimer();
        ApplyDisplayFormat(1);
        ApplyDisplayFormat(4);
        m_stale.ResetAll();
        if (m_pSkyPlot != nullptr) m_pSkyPlot->RecalcLayout();
        SetStatusPaneText(ID_PANE_ELAPSED, "", 0);
        SetStatusPaneText(ID_PANE_PROTOCOL, "", 0);
        ClearDisplayFields();
        ShowLinkPane();
        BuildMenu(0);

        if (m_cmdLine.IsCommandLineMode(START_MODE_MONITOR) && m_cmdLine.monitor.playback)
            SetTimer(MWT_CLOSE, 500, nullptr);   // the replay was the whole run
        if (m_pPlaybackDlg != nullptr) m_pPlaybackDlg->SetStopped();

        if (m_portOpenFailed)
            SetStatusText("Can't initialize COM port!");
        else if (m_trackerFailed)
            SetStatusText("Failed to connect to a Roamfob device!");
        else if (previous == LINK_FILE)
            SetStatusText("Playback finished.");
        else
            SetStatusText("");

        if (previous == LINK_FILE && m_pScripter != nullptr) m_pScripter->ReportResult(0, 7);
        m_diagLogs.Close();
        UpdateMenuState(1);
    }

    if (reconnect == 1) SetTimer(MWT_CONNECT, 200, nullptr);
}

// ---- FILE ---------------------------------------------------------------------------------

bool CMainWndDlg::StartPlayback(bool start, bool rawPass)
{
    if (m_linkMode == LINK_MONITOR || m_linkMode == LINK_FILE) EnterIdleMode(0);
    if (!start) return true;

    int32_t error = LINK_ERROR_NONE;
    if (!m_link.OpenPlayback(m_playback, PROTO_QBIN, &error)) {
        if (m_pScripter != nullptr)
            m_pScripter->ReportResult(1, 7);
        else
            AfxMessageBox("Failed to initialize playback!");
        return false;
    }
    if (!m_link.AddListener(GetSafeHwnd(), WM_RECEIVER_EVENT)) {
        m_link.Disconnect();
        if (m_pScripter != nullptr)
            m_pScripter->ReportResult(1, 7);
        else
            AfxMessageBox("Failed to register the playback event handler!");
        return false;
    }

    WriteMonitorString("playbackFile", m_playback.fileName);
    WriteMonitorInt("playbackSpeed", static_cast<int>(m_playback.speed));
    WriteMonitorInt("playbackQbinMarker", m_playback.qbinMarker);
    WriteMonitorInt("playbackKestoCode", m_playback.kestoClass);
    WriteMonitorInt("playbackKestoSubcode", m_playback.kestoId);
    WriteMonitorString("playbackNmeaMarker", m_playback.nmeaMarker);
    WriteMonitorString("playbackQtxtMarker", m_playback.qtxtMarker);
    WriteMonitorString("playbackQopMarker", m_playback.qopMarker);

    uint32_t fileLength = 0;
    CChannel* channel = m_link.GetChannel();
    if (channel != nullptr && channel->GetType() == CHANNEL_TYPE_PLAYBACK) {
        CPlaybackChannel* playback = static_cast<CPlaybackChannel*>(channel);
        playback->SetPassRawData(rawPass);
        fileLength = playback->GetFileLength();
    }
    // Without raw pass-through nothing needs every state event of a replay.
    m_link.SetEventCoalescing(!rawPass);
    m_linkMode = LINK_FILE;
    m_detectedProtocol = 0;
    // Kilobytes and a 32-bit range, so that large recordings neither
    // overflow the percentage nor the bar's range.
    const PlaybackProgress progress = ComputePlaybackProgress(0, fileLength);
    ShowProgressBar(*this, true);
    SetProgressRange(*this, progress.rangeUpper);
    SetProgressPos(*this, 0);
    SetFieldText(IDC_PERCENT, "0%");
    if (m_pPlaybackDlg != nullptr) m_pPlaybackDlg->ShowProgress(progress);

    SetTimer(MWT_TICK, 1000, nullptr);
    StartDisplayTimer();
    m_elapsedSeconds = 0;
    SetStatusPaneText(ID_PANE_ELAPSED, "00:00:00", 0);
    UpdateData(FALSE);
    RefreshModeStatus();
    ShowLinkPane();
    ResetStaleTimeouts();
    ResetPlotViews();
    return true;
}

// ---- Script ----------------------------------------------------------------------------------

bool CMainWndDlg::StartScripter(int operation, LPCTSTR file)
{
    if (operation == 0) {
        if (m_pScripter != nullptr) {
            AfxMessageBox("Scripter is already running!...");
            return false;
        }
        m_pScripter = new CScripter();
        if (m_pScripter->LoadScript(this, file)) return true;
        delete m_pScripter;
        m_pScripter = nullptr;
        return false;
    }
    if (operation == 1) {
        if (m_pScripter == nullptr) return false;
        if (m_pScripter->IsRunning()) m_pScripter->Stop(false, false);
        delete m_pScripter;
        m_pScripter = nullptr;
        return true;
    }
    return false;
}

// ---- Port and combo -------------------------------------------------------------------------

bool CMainWndDlg::SelectComPort(int port, bool ask)
{
    if (port < 1 || port > 255) return false;
    LinkPortSettings chosen;
    chosen.portNumber = static_cast<uint32_t>(port);
    chosen.baudRate = m_baud;
    chosen.parity = m_parity;
    chosen.stopBits = m_stopBits;
    chosen.dataBits = m_dataBits;
    if (ask) {
        CPortSettings dialog(this, port, false);
        dialog.m_settings = chosen;
        if (dialog.DoModal() != IDOK) {
            SelectLinkComboItem(*this, LinkComboItemForMode(m_linkMode, m_port));
            return false;
        }
        if (dialog.GetDetectedProtocol() != 0) {
            m_commandProtocol = dialog.GetDetectedProtocol();
            m_followReceived = 1;
            SetOutputProtocol();
            m_portChangedByDetection = true;
        }
        chosen = dialog.GetSettings();
        // The user may have picked another port in the dialog.
        if (chosen.portNumber >= 1 && chosen.portNumber <= 255)
            port = static_cast<int>(chosen.portNumber);
        else
            chosen.portNumber = static_cast<uint32_t>(port);
    }

    if (IsPortLogged(m_port) || IsPortLogged(port)) {
        AfxMessageBox(
            "Data is currently being logged from either the old or the newly selected COM port.\n"
            "Please, stop logging data from either port first.");
        SelectLinkComboItem(*this, LinkComboItemForMode(m_linkMode, m_port));
        return false;
    }

    if (port != m_port) CheckPortMenuItem(*this, m_port, false);
    if (ask) {
        m_port = static_cast<BYTE>(chosen.portNumber);
        m_baud = chosen.baudRate;
        m_parity = chosen.parity;
        m_stopBits = chosen.stopBits;
        m_dataBits = chosen.dataBits;
    } else {
        m_port = static_cast<BYTE>(port);
    }
    EnterIdleMode(1);
    return true;
}

void CMainWndDlg::OnLinkComboSelect()
{
    if (m_linkCombo == nullptr || m_linkCombo->GetSafeHwnd() == nullptr) return;
    CString text;
    const int selected = m_linkCombo->GetCurSel();
    if (selected >= 0) m_linkCombo->GetLBText(selected, text);

    const LinkComboChoice choice = ParseLinkComboItem(text);
    switch (choice.action) {
    case LINK_COMBO_IDLE: EnterIdleMode(0); break;
    case LINK_COMBO_FILE: ShowPlaybackDlg(); break;
    case LINK_COMBO_PORT: SelectComPort(choice.port, true); break;
    default: SelectLinkComboItem(*this, LinkComboItemForMode(m_linkMode, m_port)); break;
    }
    SetFocus();
}

// ---- Protocol and auto-query ----------------------------------------------------------------

void CMainWndDlg::SetOutputProtocol()
{
    const ProtocolKind kind = m_vendorSubKind != 0 ? m_vendorSubKind : m_commandProtocol;
    if (!m_link.SetProtocolKind(kind)) AfxMessageBox("Failed to set output protocol!");
    UpdateMenuState(0);
    SetStatusPaneText(ID_PANE_PROTOCOL, "", 0);
    m_detectedProtocol = 0;
    SendStartupQueries();
    if (m_pRcvrConfig != nullptr) m_pRcvrConfig->OnProtocolChanged(m_commandProtocol);
}

void CMainWndDlg::ApplyProtocolSettings()
{
    SetOutputProtocol();
    SetAutoQuery(0);
}

void CMainWndDlg::SetAutoQuery(int action)
{
    if (!ApplyAutoQueryAction(action, m_autoQuery.enabled, m_autoQueryRemembered)) return;
    ResetStaleTimeouts();
    if (m_autoQuery.enabled) {
        CheckMenuCommand(*this, ID_AUTO_QUERY, true);
        if (m_link.IsConnected()) SendStartupQueries();
    } else {
        CheckMenuCommand(*this, ID_AUTO_QUERY, false);
        // Without queries the fields would keep their last values.
        if (action == 0) SetTimer(MWT_CLEAR_FIELDS, 500, nullptr);
    }
    m_link.GetProtocol().SetAutoQuery(m_autoQuery);
    if (action == 0) WriteMonitorInt("autoQueryEnabled", m_autoQuery.enabled);
}

void CMainWndDlg::OnToggleAutoQuery()
{
    m_autoQuery.enabled = m_autoQuery.enabled ? 0 : 1;
    // A later restore gives back what the user chose last.
    m_autoQueryRemembered = m_autoQuery.enabled;
    SetAutoQuery(0);
}

void CMainWndDlg::SendStartupQueries()
{
    m_startupMark = false;
    CProtocol& protocol = m_link.GetProtocol();
    if (!protocol.IsStarted()) return;
    if (!m_autoQuery.enabled && m_autoQueryAllOff) return;

    protocol.SendIoOptions(0, nullptr);
    ::Sleep(kQueryGapMs);
    protocol.QueryHardwareVersion();
    ::Sleep(kQueryGapMs);
    protocol.QueryVersion();
    ::Sleep(kQueryGapMs);
    protocol.SendReceiverConfig(0, nullptr);
    ::Sleep(kQueryGapMs);
    protocol.SendFilterConfig(0, nullptr);
    ::Sleep(kQueryGapMs);
    protocol.SendSatelliteMasks(0, nullptr, 0);
    ::Sleep(kQueryGapMs);
    if (m_internalTools) {
        protocol.EnableCustomOutputReport(0, m_autoOutput);
        ::Sleep(kQueryGapMs);
    }
    protocol.SendNmeaOutputConfig(0, nullptr);
    ::Sleep(kQueryGapMs);
    protocol.SendDatum(0, 0);
    SetTimer(MWT_AUTO_QUERY_STEP, 1000, nullptr);
}

// ---- Receiver contact, views ---------------------------------------------------------------------

void CMainWndDlg::SetReceiverContact(bool gained)
{
    if (gained) {
        m_stale.Reset(STALE_RECEIVER_STATUS);
        m_stale.Reset(STALE_RECEIVER_MODE);
        if (m_receiverContact) return;
        m_receiverContact = true;
        m_startupMark = false;
        if (m_detectedProtocol == PROTO_KESTO) SetFieldText(IDC_ANTENNA, "OK");
        if (m_autoQuery.enabled || !m_autoQueryAllOff) {
            CProtocol& protocol = m_link.GetProtocol();
            if (m_internalTools) protocol.EnableCustomOutputReport(1, m_autoOutput);
            protocol.QueryHardwareVersion();
            protocol.QueryVersion();
            if (m_pRcvrConfig != nullptr) {
                ::Sleep(kQueryGapMs);
                m_pRcvrConfig->QueryActiveTab();
            }
            if (m_pDiagDlg != nullptr) {
                ::Sleep(kQueryGapMs);
                m_pDiagDlg->QueryActiveTab();
            }
        }
        if (m_pRcvrConfig != nullptr) m_pRcvrConfig->OnProtocolChanged(m_commandProtocol);
        if (m_pTimingMonitor != nullptr) m_pTimingMonitor->AdaptToReceiver(false);
        return;
    }

    m_receiverContact = false;
    SetStatusText("");
    RefreshModeStatus();
    if (m_timingView && !m_internalTools) CloseToolByMessage(m_pTimingMonitor);
    m_timingView = false;
    RemoveShutdownMenuItem(*this);
    BuildMenu(0);
}

void CMainWndDlg::ResetPlotViews()
{
    m_positionValid = false;
    if (m_pSkyPlot != nullptr) m_pSkyPlot->RecalcLayout();
    if (m_pPositionDlg != nullptr) m_pPositionDlg->ClearTabs();
}

void CMainWndDlg::SetTimingView(bool on)
{
    if (on) {
        if (!m_timingView) {
            m_timingView = true;
            ShowTimingMonitorDlg();
            SetFocus();
        }
        BuildMenu(0);
        return;
    }
    m_timingView = false;
    CloseToolByMessage(m_pTimingMonitor);
    BuildMenu(0);
}

void CMainWndDlg::OnSaveConfiguration()
{
    m_link.GetProtocol().SaveConfiguration();
}

// ---- Almanac, ephemeris, position and time transfers ---------------------------------------------

void CMainWndDlg::StartAlmEphPosTransfer(int operation, LPCTSTR file)
{
    if (!m_receiverContact) {
        if (m_cmdLine.IsCommandLine()) {
            SetStatusText("Connection not established! Exiting in 3 seconds...");
            SetTimer(MWT_CLOSE, 3000, nullptr);
        } else {
            AfxMessageBox("Please, establish connection to a GPS receiver before loading data...");
        }
        return;
    }

    switch (operation) {
    case 7: {
        if (m_pUploadDlg != nullptr) m_pUploadDlg->NotifyLoadEvent(11);
        int32_t week = 0;
        const double seconds = GetCurrentGpsTime(week);
        m_setTimePending = true;
        SetTimer(MWT_SET_TIME_TIMEOUT, 2500, nullptr);
        m_link.GetProtocol().SendGpsTime(1, static_cast<uint32_t>(seconds), static_cast<uint16_t>(week));
        return;
    }
    case 8:
        if (m_pUploadDlg != nullptr) m_pUploadDlg->NotifyLoadEvent(11);
        m_setPcClockRequest = true;
        return;
    case 9:
        if (m_pLoader != nullptr) m_pLoader->Cancel();
        if (m_pUploadDlg != nullptr) m_pUploadDlg->NotifyLoadEvent(1);
        return;
    default: break;
    }

    if (m_pLoader != nullptr) {
        AfxMessageBox("Data loading is in progress. Please, wait...");
        return;
    }
    // No loader is running now, so the finished ones can go.
    FinishedLoaders().clear();
    m_pLoader = new CAlmEphPosLoader(this);
    if (m_pLoader->Start(operation, CString(file != nullptr ? file : ""))) return;
    delete m_pLoader;
    m_pLoader = nullptr;
    SetStatusText("Failed to start data loading!");
    // An unattended run would otherwise wait forever for a transfer that
    // never began: go on as if it had ended.
    if (m_cmdLine.IsCommandLine() && !m_cmdLine.IsCommandLineMode(START_MODE_SCRIPT)) {
        if (m_cmdLine.monitor.ephemerisSend)
            SetTimer(MWT_EPHEMERIS_SEND, 1000, nullptr);
        else
            SetTimer(MWT_CLOSE, 3000, nullptr);
    }
}

void CMainWndDlg::ShowTransferProgress(CAlmEphPosLoader* loader, bool counted, bool begin)
{
    if (loader != nullptr && begin) {
        const int32_t range = counted ? 35 : loader->GetTotalCount();
        SetProgressRange(*this, range);
        SetProgressPos(*this, 0);
        ShowProgressBar(*this, true);
        return;
    }
    if (loader != nullptr) {
        PBRANGE range = PBRANGE();
        SendDlgItemMessage(IDC_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        const int32_t previous = static_cast<int32_t>(SendDlgItemMessage(IDC_PROGRESS, PBM_GETPOS, 0, 0));
        const int32_t position = counted ? previous + 1 : loader->GetDoneCount();
        SetProgressPos(*this, position);
        CString text;
        text.Format("%d%%", static_cast<int>(TransferPercent(position, range.iHigh)));
        SetFieldText(IDC_PERCENT, text);
        UpdateData(FALSE);
        return;
    }

    ShowProgressBar(*this, false);
    if (m_pLoader != nullptr) {
        // The loader may be the caller: keep it alive until the next start.
        FinishedLoaders().emplace_back(m_pLoader);
        m_pLoader = nullptr;
    }
    if (m_cmdLine.IsCommandLine() && !m_cmdLine.IsCommandLineMode(START_MODE_SCRIPT)) {
        if (m_cmdLine.monitor.ephemerisSend)
            SetTimer(MWT_EPHEMERIS_SEND, 1000, nullptr);
        else
            SetTimer(MWT_CLOSE, 500, nullptr);
    }
}

bool CMainWndDlg::IsPortLogged(int port)
{
    if (m_pDataRecorder == nullptr) return false;
    if (port == -1) return m_pDataRecorder->IsAnyPortLogging();
    return m_pDataRecorder->IsPortLogging(port);
}

void CMainWndDlg::ResetStaleTimeouts()
{
    int32_t limits[STALE_FIELD_COUNT];
    GetStaleLimits(m_autoQuery.periodSeconds, m_linkMode == LINK_FILE, limits);
    for (int field = 0; field < STALE_FIELD_COUNT; ++field)
        m_stale.SetLimit(field, static_cast<uint32_t>(limits[field] < 0 ? 0 : limits[field]));
    // Counting starts again from now with the new limits.
    m_stale.ResetAll();
}

// ---- Command-line start -------------------------------------------------------------------------

void CMainWndDlg::StartCommandLineScript()
{
    switch (m_cmdLine.GetStartMode()) {
    case START_MODE_MONITOR: {
        const CMonitorCmdOptions& monitor = m_cmdLine.monitor;
        if (monitor.playback) {
            m_playback.speed = 1000;   // as fast as the file can be read
            m_playback.fileName = monitor.playbackFile;
            // A replay that cannot start leaves nothing to wait for.
            if (!StartPlayback(true, false)) SetTimer(MWT_CLOSE, 500, nullptr);
            return;
        }
        // This run's settings only: the profile keeps the user's own
        // (SaveSettings does not write them after a command-line start).
        const CmdLinePortSettings& link = monitor.link;
        m_port = static_cast<BYTE>(link.port);
        m_baud = static_cast<uint32_t>(link.baud);
        m_parity = static_cast<BYTE>(link.parity);
        m_stopBits = static_cast<BYTE>(link.stopBits);
        m_dataBits = static_cast<BYTE>(link.dataBits);
        m_vendorSubKind = 0;
        if (link.protocol == PROTO_AUTO) {
            m_followReceived = 1;
            m_commandProtocol = PROTO_QBIN;
        } else {
            m_followReceived = 0;
            m_commandProtocol = link.protocol;
        }
        SetTimer(MWT_CONNECT, 50, nullptr);
        if (monitor.almanacSend)
            SetTimer(MWT_ALMANAC_SEND, 2000, nullptr);
        else if (monitor.ephemerisSend)
            SetTimer(MWT_EPHEMERIS_SEND, 2000, nullptr);
        return;
    }
    case START_MODE_SCRIPT: {
        const CScriptCmdOptions& script = m_cmdLine.script;
        if (script.scriptFile.IsEmpty()) return;
        ShowScriptStatusDlg();
        if (!StartScripter(0, script.scriptFile)) {
            SetStatusText("Failed to start the script! Exiting in 3 seconds...");
            SetTimer(MWT_CLOSE, 3000, nullptr);
        }
        return;
    }
    case START_MODE_FLASH_LOADER: ShowFlashLoaderDlg(); return;
    case START_MODE_TTFF: ShowTtffToolDlg(); return;
    case START_MODE_DATA_RECORDER: ShowDataRecorderToolDlg(); return;
    case START_MODE_CONVERTER: ShowDataConverterDlg(); return;
    default: SetTimer(MWT_CLOSE, 500, nullptr); return;
    }
}
