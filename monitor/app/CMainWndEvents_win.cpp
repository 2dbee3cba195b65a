// The main window's receiver-event dispatcher and what hangs on received
// frames: the per-protocol raw-frame hooks, the diagnostic and CRC logs, the
// stale-field check, the serial statistics, the balloon queue, the sky plot
// feed, the batch runner and the configuration-file hand-over.
#include "app/CMainWndDlg.h"

#include "app/CPlaybackDlg.h"
#include "app/DiagPacket.h"
#include "app/ReceiverFieldFormat.h"
#include "config/CConfiguratorDlg.h"
#include "link/CPlaybackChannel.h"
#include "model/ReceiverEvent.h"
#include "views/CSkyPlot.h"

namespace {

const COLORREF kBalloonGood = RGB(0, 100, 0);    // 0x006400
const COLORREF kBalloonBad = RGB(200, 0, 0);     // 0x0000C8
const COLORREF kBalloonBack = RGB(255, 255, 225); // 0xE1FFFF
const COLORREF kBalloonBatch = RGB(128, 0, 128); // 0x800080

// The receiver's answer to a set-time command: 'Y' when it took the time.
const int kSetTimeAccepted = 89;

}  // namespace

// Pane 4: the protocol received, and the one commands go out in when the
// two differ.
static void ShowProtocolPane(CMainWndDlg& dlg, ProtocolKind received)
{
    if (received == PROTO_NONE) return;
    CString pane = GetProtocolName(received);
    if (received != dlg.m_commandProtocol) {
        pane += "/";
        pane += GetProtocolName(dlg.m_commandProtocol);
    }
    dlg.SetStatusPaneText(ID_PANE_PROTOCOL, pane, 0);
}

LRESULT CMainWndDlg::OnReceiverEvent(WPARAM code, LPARAM lParam)
{
    // Events still queued when the link closed, or posted before the window
    // was ready, describe nothing the window shows.
    if (!m_initialised || m_linkMode == LINK_IDLE) return 0;
    const int event = static_cast<int>(code);
    const int detail = static_cast<int>(lParam & 0xFFFF);
    // A replay hands over raw frames only on request: the engine's last
    // input kind tells what the file holds.
    if (m_linkMode == LINK_FILE) {
        const ProtocolKind input = m_link.GetProtocol().GetLastProtocol();
        if (input != m_detectedProtocol) {
            m_detectedProtocol = input;
            ShowProtocolPane(*this, input);
        }
    }

    switch (event) {
    case EV_RAW_FRAME:
        OnRawFrame();
        return 0;
    case EV_FIRMWARE_VERSION:
        OnReceiverIdentified(0);
        return 0;
    case EV_PRODUCT_INFO:
        OnReceiverIdentified(2);
        return 0;
    default:
        break;
    }
    // A resetting receiver sends leftovers of its old state; only the
    // identification that ends the reset counts.
    if (m_resetRunning) return 0;

    switch (event) {
    case EV_CORE_VERSION:
        OnReceiverIdentified(1);
        break;
    // Field groups are only marked here; the display timer shows them
    // (RefreshDisplay), once however many events came in between.
    case EV_POSITION_LLA:
    case EV_POSITION_XYZ:
        m_markPosition = true;
        QueuePosition();
        break;
    case EV_VELOCITY_ENU:
    case EV_VELOCITY_XYZ:
        m_markVelocity = true;
        m_markOscillator = true;
        m_pendingDisplay.MarkVelocity(true);
        m_pendingDisplay.Mark(DISPLAY_OSCILLATOR);
        break;
    case EV_FIX_REPORT:
        m_markPosition = m_markVelocity = m_markOscillator = true;
        QueuePosition();
        m_pendingDisplay.MarkVelocity(true);
        m_pendingDisplay.Mark(DISPLAY_OSCILLATOR);
        break;
    case EV_TIMING_FIX:
        // The combined timing report only fills what no dedicated report fills.
        if (!m_markPosition) QueuePosition();
        if (!m_markOscillator) m_pendingDisplay.Mark(DISPLAY_OSCILLATOR);
        if (!m_markVelocity) m_pendingDisplay.MarkVelocity(false);
        break;
    case EV_GPS_TIME:
        m_pendingDisplay.MarkTime(detail != 0);
        break;
    case EV_NVS_WRITE_RESULT:
        if (detail == 0) {
            ShowStatusTextFor("Saved successfully!", 5);
        } else {
            CString text;
            text.Format("Failed to save data (0x%08X)", static_cast<unsigned>(detail));
            ShowStatusTextFor(text, 5);
        }
        break;
    case EV_FIX_MODE:
        m_pendingDisplay.Mark(DISPLAY_FIX_MODE);
        break;
    case EV_HEALTH:
        m_pendingDisplay.Mark(DISPLAY_HEALTH);
        break;
    case EV_FRAME_RECEIVED:
        PulseRxIndicator();
        if (detail == PROTO_PROF) {
            SetStatusText("*** Incoming DSP profiling data detected! ***");
            m_profiling = true;
        } else if (m_profiling) {
            m_profiling = false;
            RefreshModeStatus();
        }
        if (m_linkMode == LINK_FILE) m_pendingDisplay.Mark(DISPLAY_PROGRESS);
        break;
    case EV_MACHINE_ID:
        m_stale.Reset(STALE_ALMANAC);
        m_pendingDisplay.Mark(DISPLAY_ALMANAC, detail);
        break;
    case EV_TRACKING:
        m_pendingDisplay.MarkTrackingRow(detail, CHANNEL_ROWS);
        break;
    case EV_SIGNAL_LEVELS:
        m_pendingDisplay.Mark(DISPLAY_SIGNAL_LEVELS);
        break;
    case EV_CLOCK_BIAS:
        m_markOscillator = true;
        m_pendingDisplay.Mark(DISPLAY_OSCILLATOR);
        break;
    case EV_IO_OPTIONS:
        SyncOutputFormatChecks();
        break;
    case EV_COMPONENT_VERSION:
        OnReceiverIdentified(3);
        break;
    case EV_HEALTH_ERRORS:
        m_stale.Reset(STALE_BATTERY_RAM);
        m_pendingDisplay.Mark(DISPLAY_BATTERY_RAM, detail);
        break;
    case EV_ANTENNA_STATUS:
        m_stale.Reset(STALE_ANTENNA);
        m_pendingDisplay.Mark(DISPLAY_ANTENNA, detail);
        break;
    case EV_STATUS_CODE:
        m_stale.Reset(STALE_CLOCK);
        m_pendingDisplay.Mark(DISPLAY_CLOCK, detail);
        break;
    case EV_DIAG_MESSAGE: {
        int32_t messageCode = 0;
        CString text;
        if (m_link.GetModel().GetDiagMessage(detail, messageCode, text))
            AppendDiagLog(FormatDiagMessageText(messageCode, text));
        break;
    }
    case EV_SUPPLEMENTAL_TIMING:
        if (!m_timingView && !m_timingViewAuto) {
            SetTimer(MWT_TIMING_VIEW, 500);
            m_timingViewAuto = true;
        }
        break;
    case EV_END_OF_DATA: {
        // A progress still waiting for the display timer is older than this.
        m_pendingDisplay.Drop(DISPLAY_PROGRESS);
        SetFieldText(IDC_PERCENT, "100%");
        // The last kilobyte may not have moved the bar: show it full.
        const LRESULT upper = SendDlgItemMessage(IDC_PROGRESS, PBM_GETRANGE, FALSE, 0);
        SendDlgItemMessage(IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(upper), 0);
        if (m_pPlaybackDlg != nullptr) m_pPlaybackDlg->ShowFinished();
        SetTimer(MWT_PLAYBACK_END, 50);
        break;
    }
    case EV_COMMAND_WRITTEN:
        PulseTxIndicator();
        break;
    case EV_DOPS:
        m_pendingDisplay.Mark(DISPLAY_FIX_SATELLITES);
        break;
    case EV_RECEIVER_MODEL:
        OnReceiverModelKnown();
        break;
    case EV_CRC_ERROR:
        LogCrcError();
        break;
    case EV_TIME_SET_REPLY:
        OnSetTimeResult(detail);
        break;
    default:
        break;
    }
    return 0;
}

void CMainWndDlg::OnSetTimeResult(int detail)
{
    KillTimer(MWT_SET_TIME_TIMEOUT);
    m_setTimePending = false;
    const bool ok = detail == kSetTimeAccepted;
    const char* text = ok ? "Receiver time successfully set!" : "Could not set receiver time!";
    ShowStatusTextFor(text, 5);
    // Neither the upload dialog nor a script take the result yet, so the
    // user is told with a balloon.
    ShowBalloonMessage(this, 300, 90, text, 3, ok ? kBalloonGood : kBalloonBad, kBalloonBack, 1);
}

void CMainWndDlg::OnRawFrame()
{
    CByteArray frame;
    const ProtocolKind kind = m_link.GetModel().GetLastRawFrame(frame);
    if (kind == PROTO_NONE) return;
    if (kind != m_detectedProtocol) {
        m_detectedProtocol = kind;
        ShowProtocolPane(*this, kind);
    }
    switch (kind) {
    case PROTO_QBIN: HandleDiagPacket(frame); break;
    case PROTO_NMEA: OnNmeaFrame(frame); break;
    case PROTO_QTXT:
    case PROTO_QOP: OnTextFrame(frame); break;
    case PROTO_KESTO: OnKestoFrame(frame); break;
    default: break;
    }
    // A QOP command link hears a receiver that talks something else: its
    // commands must follow what it talks.
    if (m_commandProtocol == PROTO_QOP && kind != PROTO_QOP) m_followReceived = 1;
    if (m_followReceived != 0 && kind != m_commandProtocol) {
        m_commandProtocol = kind;
        SetOutputProtocol();
    }
}

void CMainWndDlg::HandleDiagPacket(const CByteArray& frame)
{
    // The frame came off the wire: ParseDiagPacket checks each sub-code's
    // length before any field is read.
    const DiagPacket packet = ParseDiagPacket(frame.GetData(), static_cast<int>(frame.GetSize()));
    switch (packet.action) {
    case DIAG_VALUE:
        m_diagValue = packet.value;
        m_diagValueHeld = true;
        break;
    case DIAG_LOG_TEXT:
        if (packet.data != nullptr && packet.length > 0)
            AppendDiagLog(CString(reinterpret_cast<const char*>(packet.data), packet.length));
        break;
    case DIAG_RAW_PAGE:   // for the diagnostics window, which is not there yet
    default:
        break;
    }
}

// The text protocols carry no fix-mode or health reports, so their first
// frame is the receiver's first sign of life; it also fixes the layouts the
// protocol's reports fit.
void CMainWndDlg::FirstTextProtocolFrame(std::initializer_list<int> formats)
{
    if (m_receiverContact) return;
    SetReceiverContact(true);
    for (int code : formats) ApplyDisplayFormat(code);
}

void CMainWndDlg::OnNmeaFrame(const CByteArray& frame)
{
    (void)frame;
    FirstTextProtocolFrame({4, 1});
}

void CMainWndDlg::OnTextFrame(const CByteArray& frame)
{
    (void)frame;
    FirstTextProtocolFrame({4, 1, 6});
}

void CMainWndDlg::OnKestoFrame(const CByteArray& frame)
{
    (void)frame;
    FirstTextProtocolFrame({4, 1, 6, 9});
}

// Both logs go to the data folder: the current folder moves with every file
// dialog, which would scatter them.
static void PrepareDiagLogs(CMainWndDlg& dlg)
{
    dlg.m_diagLogs.SetFolder(dlg.GetDataFolder());
    dlg.m_diagLogs.SetPort(dlg.m_port);
}

void CMainWndDlg::AppendDiagLog(LPCTSTR text)
{
    if (m_optLogDiag == 0 || text == nullptr) return;
    PrepareDiagLogs(*this);
    m_diagLogs.AppendDiagLog(text);
}

void CMainWndDlg::LogCrcError()
{
    m_statistics.CountCrcError();
    if (m_optLogDiag == 0) return;
    CByteArray frame;
    m_link.GetModel().GetLastRawFrame(frame);
    PrepareDiagLogs(*this);
    m_diagLogs.LogCrcError(frame.GetData(), static_cast<int>(frame.GetSize()), &m_link.GetModel());
}

void CMainWndDlg::CheckStaleFields(int field)
{
    const bool transfer = m_pLoader != nullptr;
    const bool vendor = m_link.GetProtocol().GetVendorSubMode() != 0;
    const StaleCheck check = m_stale.Check(field, transfer, vendor);
    if (!check.clearField) return;
    CModel& model = m_link.GetModel();
    if (check.receiverSilent) {
        SetFieldText(IDC_APP_VERSION, "");
        SetFieldText(IDC_APP_DATE, "");
        SetFieldText(IDC_CORE_VERSION, "");
        SetFieldText(IDC_CORE_DATE, "");
        model.SetReportText(CStaleFields::kVersionReportText, "");
        // Checked every tick while silent: contact is dropped once.
        if (check.loseContact && m_receiverContact) SetReceiverContact(false);
    }
    if (field >= STALE_CHANNEL_FIRST && field <= STALE_CHANNEL_LAST) {
        ClearChannelRow(field - STALE_CHANNEL_FIRST);
        model.ClearTrackingEntry(field - STALE_CHANNEL_FIRST);
    } else {
        switch (field) {
        case STALE_POSITION: {
            const UINT ids[] = {IDC_LAT_HEMI, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_VALUE, IDC_LON_HEMI,
                                IDC_LON_DEG,  IDC_LON_MIN, IDC_LON_VALUE, IDC_ALT_VALUE};
            for (UINT id : ids) SetFieldText(id, "");
            ShowField(IDC_LAT_DEGSIGN, false);
            ShowField(IDC_LON_DEGSIGN, false);
            break;
        }
        case STALE_VELOCITY: {
            const UINT ids[] = {IDC_VEL_VALUE1, IDC_VEL_VALUE2, IDC_VEL_VALUE3, IDC_SPEED_VALUE};
            for (UINT id : ids) SetFieldText(id, "");
            break;
        }
        case STALE_TIME: {
            const UINT ids[] = {IDC_TIME, IDC_DATE, IDC_WEEK, IDC_TOW};
            for (UINT id : ids) SetFieldText(id, "");
            break;
        }
        case STALE_RECEIVER_STATUS:
            SetFieldText(IDC_RCVR_STATUS, "");
            break;
        case STALE_RECEIVER_MODE: {
            const UINT ids[] = {IDC_FIX_MODE, IDC_PDOP, IDC_HDOP, IDC_VDOP, IDC_TDOP};
            for (UINT id : ids) SetFieldText(id, "");
            break;
        }
        case STALE_OSCILLATOR:
            SetFieldText(IDC_OSC_OFFSET, "");
            break;
        case STALE_BATTERY_RAM:
            SendDlgItemMessage(IDC_BBRAM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
            break;
        case STALE_ANTENNA:
            SetFieldText(IDC_ANTENNA, "n/a");
            break;
        case STALE_CLOCK:
            SendDlgItemMessage(IDC_RTC_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
            break;
        case STALE_ALMANAC:
            SetFieldText(IDC_ALMANAC, "");
            break;
        default:
            break;
        }
    }
    const StaleFieldPlan plan = GetStaleFieldPlan(field);
    for (int text : plan.reportTexts)
        if (text >= 0) model.SetReportText(text, "");
    switch (plan.mark) {
    case STALE_MARK_POSITION: m_markPosition = false; break;
    case STALE_MARK_VELOCITY: m_markVelocity = false; break;
    case STALE_MARK_OSCILLATOR: m_markOscillator = false; break;
    default: break;
    }
}

void CMainWndDlg::ShowSerialStatistics()
{
    const CProtocol& protocol = m_link.GetProtocol();
    const CString text = m_statistics.Tick(protocol.GetStatistic(LINK_BYTES), protocol.GetStatistic(LINK_GOOD));
    CStatusBarEx& bar = GetStatusBar();
    if (bar.GetSafeHwnd() != nullptr) bar.SetToolTipText(text);
}

void CMainWndDlg::PushSkyPlotData()
{
    if (m_pSkyPlot == nullptr) return;
    CModel& model = m_link.GetModel();
    FixModeRecord fix = {};
    TrackingTable tracking = {};
    if (model.GetFixModeAndDops(fix) && model.GetTrackingTable(tracking)) m_pSkyPlot->UpdateChannels(fix, tracking);
}

void CMainWndDlg::ShowBalloonMessage(CWnd* anchor, int x, int y, LPCTSTR text, int seconds, COLORREF textColour,
                                     COLORREF backColour, BYTE flag)
{
    // Shown from timer 30, so a caller inside a message handler or a menu
    // loop never waits for the balloon window.
    m_balloon.anchor = anchor != nullptr ? anchor->GetSafeHwnd() : GetSafeHwnd();
    m_balloon.x = x;
    m_balloon.y = y;
    m_balloon.text = text != nullptr ? text : "";
    m_balloon.seconds = seconds;
    m_balloon.textColour = textColour;
    m_balloon.backColour = backColour;
    m_balloon.flags = flag;
    m_balloon.pending = true;
    if (GetSafeHwnd() != nullptr) SetTimer(MWT_BALLOON, 100);
}

void CMainWndDlg::ShowDataSourceHint()
{
    struct Group {
        UINT id;
        const char* label;
        int reportText;
    };
    static const Group kGroups[] = {
        {IDC_GROUP_POSITION, "Position:", 2},
        {IDC_GROUP_VELOCITY, "Velocity/Speed/Heading:", 3},
        {IDC_GROUP_TIME, "Time:", 4},
        {IDC_RCVR_STATUS, "Receiver Status:", 5},
        {IDC_FIX_MODE, "Receiver Mode:", 6},
        {IDC_GROUP_DOPS, "DOPs:", 8},
        {IDC_ALMANAC, "Almanac:", 7},
        {IDC_BBRAM_ICON, "Battery-backed RAM:", 9},
        {IDC_RTC_ICON, "Real-Time Clock:", 10},
        {IDC_ANTENNA, "GPS Antenna:", 11},
        {IDC_GROUP_OSC, "Oscillator Offset:", 12},
        {IDC_GROUP_FIRMWARE, "Receiver Version:", 13},
        {IDC_GROUP_SATELLITES, "Satellite & Channel Data:", 16},
    };
    if (GetSafeHwnd() == nullptr) return;
    POINT cursor = {};
    if (!::GetCursorPos(&cursor)) return;
    for (const Group& g : kGroups) {
        HWND control = ::GetDlgItem(GetSafeHwnd(), g.id);
        RECT r = {};
        if (control == nullptr || !::IsWindowVisible(control) || !::GetWindowRect(control, &r)) continue;
        if (!::PtInRect(&r, cursor)) continue;
        const CString source = m_link.GetModel().GetReportText(g.reportText);
        if (!source.IsEmpty()) {
            CString text = g.label;
            text += " Packet ";
            text += source;
            ShowStatusTextFor(text, 5);
        } else if (m_receiverContact) {
            ShowStatusTextFor("", 5);
        }
        return;
    }
}

bool CMainWndDlg::IsLumbraTabActive()
{
    // The diagnostics window and its tabs do not exist yet.
    return false;
}

bool CMainWndDlg::RunBatchQuery(LPCTSTR file, CWnd* replyWindow)
{
    if (!m_batch) m_batch.reset(new CBatchQuery(&GetTimerHost(), this));
    // A running batch keeps its file: the new request is refused.
    if (m_batch->IsRunning()) return false;
    HWND reply = replyWindow != nullptr ? replyWindow->GetSafeHwnd() : nullptr;
    if (m_batch->Start(file, reply) != BATCH_STARTED) return false;
    if (m_pScripter == nullptr)
        ShowBalloonMessage(replyWindow, 300, 100, kBatchRunningText, 180, kBalloonBatch, kBalloonBack, 1);
    m_followReceived = 1;
    m_commandProtocol = m_batch->GetProtocol();
    SetOutputProtocol();
    return true;
}

LRESULT CMainWndDlg::OnOpenDocument(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    const char* file = reinterpret_cast<const char*>(lParam);
    if (m_pConfigurator != nullptr && file != nullptr) m_pConfigurator->LoadConfigFile(file);
    return 0;
}
