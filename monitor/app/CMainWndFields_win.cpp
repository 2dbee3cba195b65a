// The receiver field updaters of the main window: each reads one record from
// the link's data model and copies the texts that ReceiverFieldFormat makes
// of it into the dialog's controls. The rules for the texts live there; here
// is only which record goes to which field, and when a field may change.
#include "app/CMainWndDlg.h"

#include <cstdlib>

#include "app/CPlaybackDlg.h"
#include "app/ReceiverFieldFormat.h"
#include "link/CPlaybackChannel.h"
#include "config/CRcvrConfigDlg.h"
#include "model/WinHelpers.h"
#include "views/CPositionDlg.h"
#include "views/CTimingMonitorDlg.h"

namespace {

// Capability bits of the receiver model that the main window adapts to.
const uint32_t kCapabilityTiming = 4;
const uint32_t kCapabilityShutdown = 32;

// The seconds of a GPS week: a fix time outside it is no fix time.
const double kSecondsPerWeek = 604800.0;

// Colours of the connection announcement: dark green on light yellow.
const COLORREF kAnnounceText = RGB(0, 100, 0);
const COLORREF kAnnounceBack = RGB(255, 255, 225);

// Position of the "S&hutdown / Standby..." item in the second top-level menu.
const UINT kShutdownMenuPosition = 9;
const char kShutdownMenuText[] = "S&hutdown / Standby...";

// Receiver status codes under which a position or clock value is worth
// showing while the auto-query polls: doing fixes, or too few satellites
// (the receiver still reports its last position then).
bool IsPositionStatus(uint32_t status)
{
    switch (status) {
    case 1: case 5: case 6: case 7: case 8: case 10:
        return true;
    default:
        return false;
    }
}

bool IsUsableFixTime(const NavState& nav)
{
    return nav.fixValid == 1 && nav.timeOfFix >= 0.0 && nav.timeOfFix <= kSecondsPerWeek;
}

char ParityLetter(BYTE parity)
{
    return parity == 1 ? 'O' : (parity == 2 ? 'E' : 'N');
}

// Every menu of the window that carries the display-format checks: the
// main menu and the popups of the group boxes.
void CheckEverywhere(CMainWndDlg& dlg, UINT id, bool checked)
{
    const UINT flags = MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED);
    if (CMenu* menu = dlg.GetMenu()) menu->CheckMenuItem(id, flags);
    CMenu* popups[] = {&dlg.m_menuPosition, &dlg.m_menuVelocity, &dlg.m_menuTimeBase, &dlg.m_menuSignal};
    for (CMenu* popup : popups)
        if (popup->GetSafeHmenu() != nullptr) popup->CheckMenuItem(id, flags);
}

// The layouts of the position group.
enum PositionLayout { LAYOUT_DEG_MIN, LAYOUT_DECIMAL, LAYOUT_XYZ };

}  // namespace

// ---- Repaint on the display timer ------------------------------------------------------

namespace {

// The replay's progress bar moves in kilobyte steps.
const uint32_t kProgressStep = 1024;

HICON StateIcon(const CMainWndDlg& dlg, int detail)
{
    if (detail == 1) return dlg.m_iconFirst;
    if (detail == 2) return dlg.m_iconSecond;
    return dlg.m_iconNeutral;
}

const char* AntennaText(int detail)
{
    switch (detail) {
    case 0: return "OK";
    case 1: return "SH";
    case 2: return "OP";
    default: return "n/a";
    }
}

}  // namespace

void CMainWndDlg::StartDisplayTimer()
{
    m_pendingDisplay.Clear();
    if (GetSafeHwnd() != nullptr) SetTimer(MWT_DISPLAY, kDisplayRefreshMs, nullptr);
}

void CMainWndDlg::StopDisplayTimer()
{
    if (GetSafeHwnd() != nullptr) KillTimer(MWT_DISPLAY);
    // What was waiting belongs to the link that went.
    m_pendingDisplay.Clear();
}

void CMainWndDlg::RefreshDisplay()
{
    if (m_pendingDisplay.IsEmpty()) return;
    // Taken first: a field updater may run the message loop (a message box)
    // and new events then wait for the next tick.
    const CPendingDisplay pending = m_pendingDisplay;
    m_pendingDisplay.Clear();
    if (!m_initialised || m_linkMode == LINK_IDLE) return;
    for (int i = 0; i < kDisplayGroupCount; ++i) {
        const DisplayGroup group = kDisplayOrder[i];
        if (!pending.IsPending(group)) continue;
        const int detail = pending.GetDetail(group);
        switch (group) {
        case DISPLAY_FIX_MODE: ShowFixMode(); break;
        case DISPLAY_HEALTH: ShowReceiverHealth(); break;
        case DISPLAY_POSITION: ShowPosition(true); break;
        case DISPLAY_VELOCITY: ShowVelocity(pending.IsVelocityValid()); break;
        case DISPLAY_OSCILLATOR: ShowOscillatorOffset(); break;
        case DISPLAY_TIME: ShowGpsTime(pending.IsTimeFromReport()); break;
        case DISPLAY_TRACKING: {
            const uint32_t rows = pending.GetTrackingRows();
            if (rows == (1u << CHANNEL_ROWS) - 1u) {
                ShowTrackingTable(CPendingDisplay::kAllRows);
                break;
            }
            for (int row = 0; row < CHANNEL_ROWS; ++row)
                if (rows & (1u << row)) ShowTrackingTable(row);
            break;
        }
        case DISPLAY_SIGNAL_LEVELS: ShowSignalLevels(); break;
        case DISPLAY_FIX_SATELLITES: ShowFixSatellites(); break;
        case DISPLAY_PROGRESS: ShowPlaybackProgress(); break;
        case DISPLAY_ALMANAC:
            SetFieldText(IDC_ALMANAC, detail == 1 ? "complete && current" : "not complete && current");
            break;
        case DISPLAY_ANTENNA: SetFieldText(IDC_ANTENNA, AntennaText(detail)); break;
        case DISPLAY_BATTERY_RAM:
            SendDlgItemMessage(IDC_BBRAM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(StateIcon(*this, detail)), 0);
            break;
        case DISPLAY_CLOCK:
            SendDlgItemMessage(IDC_RTC_ICON, STM_SETICON, reinterpret_cast<WPARAM>(StateIcon(*this, detail)), 0);
            break;
        default: break;
        }
    }
}

void CMainWndDlg::QueuePosition()
{
    m_pendingDisplay.Mark(DISPLAY_POSITION);
    // The position window plots every fix, not only the ones shown.
    if (m_pPositionDlg == nullptr) return;
    NavState nav = {};
    m_link.GetModel().GetNavState(nav);
    if (IsUsableFixTime(nav)) m_pPositionDlg->AddFix(nav);
}

void CMainWndDlg::ShowPlaybackProgress()
{
    if (m_linkMode != LINK_FILE) return;
    CChannel* channel = m_link.GetChannel();
    if (channel == nullptr || channel->GetType() != CHANNEL_TYPE_PLAYBACK) return;
    CPlaybackChannel* playback = static_cast<CPlaybackChannel*>(channel);
    if (!playback->IsProgressDue(kProgressStep)) return;
    const PlaybackProgress p = ComputePlaybackProgress(playback->GetProgressCount(), playback->GetFileLength());
    // 32-bit range: a 16-bit one overflows above 32 MB.
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETRANGE32, 0, p.rangeUpper);
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(p.position), 0);
    SetFieldText(IDC_PERCENT, p.text);
    if (m_pPlaybackDlg != nullptr) m_pPlaybackDlg->ShowProgress(p);
}

// Field updaters work on a MONITOR link only once the receiver has been
// heard (a fix-mode or health report); a replay shows whatever it carries.
static bool MayUpdateFields(const CMainWndDlg& dlg)
{
    return dlg.m_linkMode == LINK_FILE || dlg.m_receiverContact;
}

// While the auto-query polls a live receiver, position and clock values are
// only shown for the status codes under which the receiver computes them.
static bool PositionStatusAllows(CMainWndDlg& dlg)
{
    if (dlg.m_linkMode != LINK_MONITOR || dlg.m_autoQuery.enabled == 0) return true;
    return IsPositionStatus(dlg.m_link.GetModel().GetHealthStatus());
}

void CMainWndDlg::ShowPosition(bool force)
{
    (void)force;
    if (!MayUpdateFields(*this) || !PositionStatusAllows(*this)) return;
    CModel& model = m_link.GetModel();
    NavState nav = {};
    model.GetNavState(nav);
    if (!IsUsableFixTime(nav)) return;
    m_stale.Reset(STALE_POSITION);
    m_positionValid = true;

    CString copyText;
    if (m_positionXyz) {
        if (nav.x != 0.0 && nav.y != 0.0 && nav.z != 0.0) {
            SetFieldText(IDC_LAT_VALUE, FormatEcefCoordinate(nav.x));
            SetFieldText(IDC_LON_VALUE, FormatEcefCoordinate(nav.y));
            SetFieldText(IDC_ALT_VALUE, FormatEcefCoordinate(nav.z));
            copyText = FormatXyzCopyText(nav.x, nav.y, nav.z);
        }
    } else if (nav.latitude != 0.0 && nav.longitude != 0.0) {
        const bool decimal = m_llaDecimal != 0;
        const double angles[2] = {nav.latitude, nav.longitude};
        const UINT hemi[2] = {IDC_LAT_HEMI, IDC_LON_HEMI};
        const UINT deg[2] = {IDC_LAT_DEG, IDC_LON_DEG};
        const UINT sign[2] = {IDC_LAT_DEGSIGN, IDC_LON_DEGSIGN};
        const UINT minutes[2] = {IDC_LAT_MIN, IDC_LON_MIN};
        const UINT value[2] = {IDC_LAT_VALUE, IDC_LON_VALUE};
        int shown = 0;
        for (int i = 0; i < 2; ++i) {
            AngleFieldTexts t;
            if (!FormatAngleFields(i == 0, angles[i], decimal, t)) continue;
            if (decimal) {
                SetFieldText(value[i], t.degrees);
            } else {
                SetFieldText(hemi[i], t.hemisphere);
                SetFieldText(deg[i], t.degrees);
                ShowField(sign[i], t.degreeSign);
                SetFieldText(minutes[i], t.minutes);
            }
            if (angles[i] != kFieldNotAvailable) ++shown;
        }
        CString altitude;
        if (FormatAltitude(nav.height, m_altitudeMsl, nav.geoidSeparation, altitude))
            SetFieldText(IDC_ALT_VALUE, altitude);
        if (shown == 2) {
            const double height = m_altitudeMsl ? nav.height - nav.geoidSeparation : nav.height;
            copyText = FormatLlaCopyText(nav.latitude, nav.longitude, height);
        }
    }
    if (!copyText.IsEmpty()) m_copyText = copyText;
    if (m_copyRequest && !m_copyText.IsEmpty()) {
        m_copyRequest = false;
        CopyTextToClipboard(m_copyText);
    }
}

void CMainWndDlg::ShowVelocity(bool valid)
{
    if (!MayUpdateFields(*this)) return;
    const UINT values[3] = {IDC_VEL_VALUE1, IDC_VEL_VALUE2, IDC_VEL_VALUE3};
    const UINT words[3] = {IDC_VEL_WORD1, IDC_VEL_WORD2, IDC_VEL_WORD3};
    if (!valid) {
        if (GetFieldText(IDC_VEL_VALUE1) != CString(kDashes5)) {
            for (UINT id : values) SetFieldText(id, kDashes5);
            SetFieldText(IDC_SPEED_VALUE, kDashes5);
        }
        return;
    }
    if (!PositionStatusAllows(*this)) return;
    NavState nav = {};
    m_link.GetModel().GetNavState(nav);
    if (!IsUsableFixTime(nav)) return;
    m_stale.Reset(STALE_VELOCITY);

    const ProtocolKind kind = m_detectedProtocol;
    if (kind == PROTO_QTXT) {
        // QTXT reports speed, vertical speed and heading, not a vector.
        if (m_velocityFormatCode != 15) ApplyDisplayFormat(15);
        const double fields[3] = {GroundSpeedMps(nav.groundSpeedKnots), nav.velUp, nav.heading};
        for (int i = 0; i < 3; ++i) {
            CString text;
            if (FormatQtxtVelocityField(fields[i], i == 2, text)) SetFieldText(values[i], text);
        }
        return;
    }
    if (kind == PROTO_NMEA || kind == PROTO_KESTO || IsVendorDialect(kind)) {
        // Speed over ground and course: the record has no velocity vector.
        // A value with nothing new keeps the text its field shows.
        CString speed = GetFieldText(values[0]), heading = GetFieldText(values[1]), vertical;
        const int layout = FormatSpeedHeading(GroundSpeedMps(nav.groundSpeedKnots), nav.heading, kFieldNotAvailable,
                                              speed, heading, vertical);
        if (m_velocityFormatCode != layout) ApplyDisplayFormat(layout);
        SetFieldText(values[0], speed);
        SetFieldText(values[1], heading);
        SetFieldText(values[2], vertical);
        return;
    }
    const int frameCode = m_velocityEcef ? 2 : 1;
    if (m_velocityFormatCode != frameCode) ApplyDisplayFormat(frameCode);
    const double v[3] = {m_velocityEcef ? nav.velX : nav.velEast, m_velocityEcef ? nav.velY : nav.velNorth,
                         m_velocityEcef ? nav.velZ : nav.velUp};
    for (int i = 0; i < 3; ++i) {
        CString word, value;
        FormatVelocityComponent(!m_velocityEcef, i, v[i], word, value);
        if (!m_velocityEcef) SetFieldText(words[i], word);
        SetFieldText(values[i], value);
    }
    SetFieldText(IDC_SPEED_VALUE, FormatHorizontalSpeed(v[0], v[1], m_speedUnits));
}

void CMainWndDlg::ShowOscillatorOffset()
{
    if (!MayUpdateFields(*this) || !PositionStatusAllows(*this)) return;
    NavState nav = {};
    m_link.GetModel().GetNavState(nav);
    m_stale.Reset(STALE_OSCILLATOR);
    SetFieldText(IDC_OSC_OFFSET, FormatOscillatorDrift(nav.clockBiasRate));
}

void CMainWndDlg::ShowDops()
{
    if (!MayUpdateFields(*this)) return;
    CModel& model = m_link.GetModel();
    DopRecord dops = {};
    model.GetFixSvList(dops);
    const int status = static_cast<int>(model.GetHealthStatus());
    const bool autoQuery = m_autoQuery.enabled != 0;
    SetFieldText(IDC_PDOP, FormatDop(dops.pdop, status, autoQuery));
    SetFieldText(IDC_HDOP, FormatDop(dops.hdop, status, autoQuery));
    SetFieldText(IDC_VDOP, FormatDop(dops.vdop, status, autoQuery));
    SetFieldText(IDC_TDOP, FormatDop(dops.tdop, status, autoQuery));
}

void CMainWndDlg::ShowGpsTime(bool fromReport)
{
    if (!MayUpdateFields(*this)) return;
    // The report answered the auto-query's time request: it stops asking
    // until the 1 s tick enables it again.
    if (fromReport) m_link.GetProtocol().SetTimeQueryEnabled(false);
    CModel& model = m_link.GetModel();
    GpsTimeInfo t = {};
    model.GetTimeInfo(t);
    m_stale.Reset(STALE_TIME);

    // A cleared record (nothing received yet, or "no time" from the receiver).
    if (t.week == 0 && t.timeOfWeek == 0 && t.source == 0) {
        SetFieldText(IDC_TIME, "<not available yet>");
        SetFieldText(IDC_DATE, "");
        SetFieldText(IDC_WEEK, "");
        SetFieldText(IDC_TOW, "");
        return;
    }
    const double tow = static_cast<double>(t.timeOfWeek);
    const int32_t week = t.week;
    if (HasGpsWeekAndTime(tow, week) || fromReport) m_timeQueryStart = static_cast<uint32_t>(::GetTickCount() / 1000u);  // seconds, as the 1 s tick counts

    if (!HasGpsWeekAndTime(tow, week)) {
        CString text;
        if (FormatTimeOfDay(t.hour, t.minute, t.second, text)) SetFieldText(IDC_TIME, text);
        return;
    }
    GpsTimeTexts texts;
    if (FormatGpsTimeFields(tow, week, m_timeUtc, t.utcOffset, texts)) {
        SetFieldText(IDC_TIME, texts.time);
        SetFieldText(IDC_WEEK, texts.week);
        SetFieldText(IDC_TOW, texts.timeOfWeek);
        SetFieldText(IDC_DATE, texts.date);
    }

    // "Time to PC": the receiver's time is only trusted once it knows the
    // UTC offset (status 3).
    if (m_setPcClockRequest && t.source == TIME_SOURCE_UTC_CALENDAR) {
        CString status;
        const bool ok = SetPcClockToGpsTime(tow, week, m_timeUtc, t.utcOffset, status);
        ShowStatusTextFor(status, 5);
        if (ok) m_setPcClockRequest = false;
        // Neither the upload dialog nor the scripter take results yet: the
        // user learns the outcome from a balloon.
        ShowBalloonMessage(this, 300, 90, status, 3, ok ? RGB(0, 100, 0) : RGB(200, 0, 0), RGB(255, 255, 225), 1);
    }
}

void CMainWndDlg::ShowFixMode()
{
    SetReceiverContact(true);
    if (!MayUpdateFields(*this)) return;
    CModel& model = m_link.GetModel();
    FixModeRecord fix = {};
    model.GetFixModeAndDops(fix);
    NavConfig config = {};
    model.GetNavConfig(config);
    NavState nav = {};
    model.GetNavState(nav);
    int differential = DIFF_NONE;
    if (nav.fixFlags & NAV_FIX_DIFFERENTIAL) {
        differential = DIFF_DGPS;
        // Corrections from an SBAS satellite in the fix: the satellite is the source.
        const int count = fix.svCount < MODEL_FIX_SV_COUNT ? static_cast<int>(fix.svCount) : static_cast<int>(MODEL_FIX_SV_COUNT);
        for (int i = 0; i < count; ++i)
            if (fix.svs[i] >= 120 && fix.svs[i] <= 138) differential = DIFF_SBAS;
    }
    const bool timeOnly = config.operatingMode == 1;
    SetFieldText(IDC_FIX_MODE, FormatFixMode(timeOnly, fix.fixMode, fix.manualMode != 0, fix.svCount,
                                             static_cast<int>(model.GetHealthStatus()), differential));
    m_stale.Reset(STALE_RECEIVER_MODE);
    ShowDops();
}

void CMainWndDlg::ShowReceiverHealth()
{
    SetReceiverContact(true);
    if (!MayUpdateFields(*this)) return;
    CString text;
    if (FormatReceiverHealth(static_cast<int>(m_link.GetModel().GetHealthStatus()), text))
        SetFieldText(IDC_RCVR_STATUS, text);
    m_stale.Reset(STALE_RECEIVER_STATUS);
}

void CMainWndDlg::OnReceiverIdentified(int kind)
{
    CModel& model = m_link.GetModel();
    if (kind != 3) {
        if (!m_resetRunning) SetTimer(MWT_FIRST_QUERY, 100);
        if ((m_autoQuery.enabled != 0 || m_autoQueryAllOff == 0) && m_internalTools)
            m_link.GetProtocol().EnableCustomOutputReport(1, m_autoOutput);
    }
    if (kind == 0 || kind == 1) {
        ShowReceiverVersion(false);
        if (m_connectAnnouncement) {
            m_connectAnnouncement = false;
            CString name = model.GetReceiverName();
            if (name.IsEmpty()) name = "a GPS receiver";
            const ProtocolKind shown = m_detectedProtocol != PROTO_NONE ? m_detectedProtocol : m_commandProtocol;
            const char parity[2] = {ParityLetter(m_parity), '\0'};
            CString text;
            text.Format("Successfully detected and connected to %s outputting %s data on COM %d.\n\n"
                        "The serial port settings are %ld-8-%s-1.\n\nClick here to close this window.",
                        static_cast<LPCTSTR>(name), GetProtocolDisplayName(shown), static_cast<int>(m_port),
                        static_cast<long>(m_baud), parity);
            const int x = m_layout.large ? 450 : 350;
            const int y = m_layout.large ? 200 : 170;
            ShowBalloonMessage(this, x, y, text, 30, kAnnounceText, kAnnounceBack, 1);
        }
    }
    if (kind == 2) {
        m_receiverName = model.GetReceiverName();
        BuildMenu(0);
        RefreshModeStatus();
    }
    if (kind != 3) {
        ProductRecord product = {};
        model.GetProductInfo(product);
        SetSurveyQueryMode(product.code == 3001 || product.code == 3005 ? 2 : 3);
    }
}

void CMainWndDlg::OnReceiverModelKnown()
{
    CModel& model = m_link.GetModel();
    m_receiverName = model.GetReceiverName();
    RefreshModeStatus();
    SetTimingView(model.HasCapability(kCapabilityTiming));
    if (CMenu* menu = GetMenu()) {
        if (CMenu* sub = menu->GetSubMenu(1)) {
            // Remove first so a second report never adds the item twice.
            sub->RemoveMenu(ID_SHUTDOWN_STANDBY, MF_BYCOMMAND);
            if (model.HasCapability(kCapabilityShutdown))
                sub->InsertMenu(kShutdownMenuPosition, MF_BYPOSITION | MF_STRING, ID_SHUTDOWN_STANDBY,
                                kShutdownMenuText);
            DrawMenuBar();
        }
    }
    if (m_pRcvrConfig != nullptr) m_pRcvrConfig->OnProtocolChanged(m_commandProtocol);
    if (m_pTimingMonitor != nullptr) m_pTimingMonitor->AdaptToReceiver(false);
}

void CMainWndDlg::ShowReceiverVersion(bool force)
{
    CModel& model = m_link.GetModel();
    FirmwareVersionRecord record = {};
    CString version, date;
    model.GetFirmwareVersion(record, 0);
    FormatFirmwareVersion(record, force, version, date);
    SetFieldText(IDC_APP_VERSION, version);
    SetFieldText(IDC_APP_DATE, date);
    FirmwareVersionRecord core = {};
    model.GetFirmwareVersion(core, 1);
    FormatFirmwareVersion(core, false, version, date);
    SetFieldText(IDC_CORE_VERSION, version);
    SetFieldText(IDC_CORE_DATE, date);
}

// The satellite is used in the last fix.
static bool IsFixSatellite(CModel& model, int sv)
{
    if (sv <= 0) return false;
    FixModeRecord fix = {};
    model.GetFixModeAndDops(fix);
    const int count = fix.svCount < MODEL_FIX_SV_COUNT ? static_cast<int>(fix.svCount) : static_cast<int>(MODEL_FIX_SV_COUNT);
    for (int i = 0; i < count; ++i)
        if (fix.svs[i] == sv) return true;
    return false;
}

// Colours follow the highlight in OnCtlColor: the row's cells are repainted
// only when it changes.
static void SetRowHighlight(CMainWndDlg& dlg, int row, bool on)
{
    if (dlg.m_channelRows[row].highlighted == on) return;
    dlg.m_channelRows[row].highlighted = on;
    for (int col = 0; col < CHANNEL_COLUMNS; ++col)
        if (HWND cell = ::GetDlgItem(dlg.GetSafeHwnd(), IDC_CHANNEL_CELL(row, col)))
            ::InvalidateRect(cell, nullptr, TRUE);
}

void CMainWndDlg::ShowChannelRow(int row, int sv, double level, double azimuth, double elevation, int state, bool used)
{
    if (row < 0 || row >= CHANNEL_ROWS || !MayUpdateFields(*this)) return;
    ChannelRowTexts texts;
    FormatChannelRow(sv, level, azimuth, elevation, state, texts);
    const CString* cells[CHANNEL_COLUMNS] = {&texts.sv, &texts.level, &texts.azimuth, &texts.elevation, &texts.state};
    for (int col = 0; col < CHANNEL_COLUMNS; ++col) SetFieldText(IDC_CHANNEL_CELL(row, col), *cells[col]);
    if (sv == 0) {
        SetRowHighlight(*this, row, false);
        return;
    }
    const bool inFix = IsFixSatellite(m_link.GetModel(), sv) || (m_detectedProtocol == PROTO_KESTO && used);
    if (!inFix)
        SetRowHighlight(*this, row, false);
    else if (level > 0.0)
        SetRowHighlight(*this, row, true);
}

void CMainWndDlg::ShowTrackingTable(int detail)
{
    if (!MayUpdateFields(*this)) return;
    TrackingTable table = {};
    m_link.GetModel().GetTrackingTable(table);
    int first = detail, last = detail;
    if (detail == 255) {
        first = 0;
        last = CHANNEL_ROWS - 1;
    } else if (detail < 0 || detail >= CHANNEL_ROWS) {
        return;
    }
    for (int row = first; row <= last; ++row) {
        const TrackingEntry& e = table.entries[row];
        ShowChannelRow(row, e.sv, e.signalLevel, e.azimuth, e.elevation, e.status2,
                       IsTrackingEntryUsed(m_detectedProtocol, e.status));
        m_stale.Reset(STALE_CHANNEL_FIRST + row);
    }
}

void CMainWndDlg::ShowSignalLevels()
{
    if (!MayUpdateFields(*this)) return;
    // A plain level list only stands in for the tracking table where nobody
    // asks for the full one.
    if (m_linkMode != LINK_FILE && m_autoQuery.enabled == 0 && m_surveyQueryMode == 3) return;
    SignalLevelTable levels = {};
    m_link.GetModel().GetSignalLevels(levels);
    const int count = levels.count < CHANNEL_ROWS ? levels.count : CHANNEL_ROWS;
    for (int row = 0; row < count; ++row) {
        ShowChannelRow(row, levels.entries[row].sv, levels.entries[row].signalLevel, -1.0, -1.0, kUnknownByte, false);
        m_stale.Reset(STALE_CHANNEL_FIRST + row);
    }
}

void CMainWndDlg::ShowFixSatellites()
{
    if (!MayUpdateFields(*this)) return;
    ShowDops();
    // The set of satellites in the fix changed: re-mark the rows shown.
    CModel& model = m_link.GetModel();
    for (int row = 0; row < CHANNEL_ROWS; ++row) {
        const int sv = atoi(GetFieldText(IDC_CHANNEL_CELL(row, 0)));
        if (sv <= 0) {
            SetRowHighlight(*this, row, false);
            continue;
        }
        const double level = atof(GetFieldText(IDC_CHANNEL_CELL(row, 1)));
        if (!IsFixSatellite(model, sv))
            SetRowHighlight(*this, row, false);
        else if (level > 0.0)
            SetRowHighlight(*this, row, true);
    }
}

void CMainWndDlg::ClearChannelRow(int row)
{
    if (row < 0 || row >= CHANNEL_ROWS) return;
    for (int col = 0; col < CHANNEL_COLUMNS; ++col) SetFieldText(IDC_CHANNEL_CELL(row, col), "");
    SetRowHighlight(*this, row, false);
}

void CMainWndDlg::PulseTxIndicator()
{
    // One animation per 185 ms however fast commands go out.
    if (m_txBusy) return;
    m_txBusy = true;
    if (m_txRest.GetSafeHwnd() != nullptr) m_txRest.ShowWindow(SW_HIDE);
    if (m_txActive.GetSafeHwnd() != nullptr) m_txActive.ShowWindow(SW_SHOW);
    SetTimer(MWT_TX_PULSE, 185);
}

void CMainWndDlg::PulseRxIndicator()
{
    if (m_rxBusy) return;
    m_rxBusy = true;
    if (m_rxRest.GetSafeHwnd() != nullptr) m_rxRest.ShowWindow(SW_HIDE);
    if (m_rxActive.GetSafeHwnd() != nullptr) m_rxActive.ShowWindow(SW_SHOW);
    SetTimer(MWT_RX_PULSE, 185);
}

void CMainWndDlg::ClearDisplayFields()
{
    static const UINT kFields[] = {
        IDC_LAT_HEMI, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_VALUE, IDC_LON_HEMI, IDC_LON_DEG, IDC_LON_MIN,
        IDC_LON_VALUE, IDC_ALT_VALUE, IDC_VEL_VALUE1, IDC_VEL_VALUE2, IDC_VEL_VALUE3, IDC_SPEED_VALUE,
        IDC_TIME, IDC_DATE, IDC_WEEK, IDC_TOW, IDC_PDOP, IDC_HDOP, IDC_VDOP, IDC_TDOP, IDC_RCVR_STATUS,
        IDC_FIX_MODE, IDC_APP_VERSION, IDC_APP_DATE, IDC_CORE_VERSION, IDC_CORE_DATE, IDC_OSC_OFFSET,
        IDC_ANTENNA, IDC_ALMANAC};
    for (UINT id : kFields) SetFieldText(id, "");
    ShowField(IDC_LAT_DEGSIGN, false);
    ShowField(IDC_LON_DEGSIGN, false);
    for (int row = 0; row < CHANNEL_ROWS; ++row) ClearChannelRow(row);
    if (GetSafeHwnd() != nullptr) {
        SendDlgItemMessage(IDC_BBRAM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
        SendDlgItemMessage(IDC_RTC_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_iconNeutral), 0);
    }
}

// Shows the position group's controls for one layout.
static void ShowPositionLayout(CMainWndDlg& dlg, PositionLayout layout)
{
    const bool degMin = layout == LAYOUT_DEG_MIN;
    const UINT degMinIds[] = {IDC_LAT_HEMI, IDC_LAT_DEG, IDC_LAT_DEGSIGN, IDC_LAT_MIN,
                              IDC_LON_HEMI, IDC_LON_DEG, IDC_LON_DEGSIGN, IDC_LON_MIN};
    for (UINT id : degMinIds) dlg.ShowField(id, degMin);
    dlg.ShowField(IDC_LAT_VALUE, !degMin);
    dlg.ShowField(IDC_LON_VALUE, !degMin);
    const bool xyz = layout == LAYOUT_XYZ;
    dlg.SetFieldText(IDC_LAT_CAPTION, xyz ? "      X" : "Latitude");
    dlg.SetFieldText(IDC_LON_CAPTION, xyz ? "      Y" : "Longitude");
    dlg.SetFieldText(IDC_ALT_CAPTION, xyz ? "      Z" : "Altitude");
}

static PositionLayout CurrentPositionLayout(CMainWndDlg& dlg)
{
    if (dlg.GetFieldText(IDC_LAT_CAPTION) == CString("      X")) return LAYOUT_XYZ;
    HWND value = ::GetDlgItem(dlg.GetSafeHwnd(), IDC_LAT_VALUE);
    return value != nullptr && ::IsWindowVisible(value) ? LAYOUT_DECIMAL : LAYOUT_DEG_MIN;
}

static void EmptyPositionFields(CMainWndDlg& dlg)
{
    const UINT ids[] = {IDC_LAT_HEMI, IDC_LAT_DEG, IDC_LAT_MIN, IDC_LAT_VALUE, IDC_LON_HEMI,
                        IDC_LON_DEG,  IDC_LON_MIN, IDC_LON_VALUE, IDC_ALT_VALUE};
    for (UINT id : ids) dlg.SetFieldText(id, "");
}

static void SetPositionLayout(CMainWndDlg& dlg, PositionLayout layout)
{
    // Values of one layout read wrongly in another: switching empties them.
    if (CurrentPositionLayout(dlg) != layout) EmptyPositionFields(dlg);
    ShowPositionLayout(dlg, layout);
    if (layout != LAYOUT_DEG_MIN) {
        dlg.ShowField(IDC_LAT_DEGSIGN, false);
        dlg.ShowField(IDC_LON_DEGSIGN, false);
    }
}

// The three rows of the velocity group: labels, units, and which are enabled.
static void SetVelocityRows(CMainWndDlg& dlg, const char* caption, const char* const words[3],
                            const char* const units[3], bool thirdRow, bool speedRow)
{
    const UINT wordIds[3] = {IDC_VEL_WORD1, IDC_VEL_WORD2, IDC_VEL_WORD3};
    const UINT valueIds[3] = {IDC_VEL_VALUE1, IDC_VEL_VALUE2, IDC_VEL_VALUE3};
    const UINT unitIds[3] = {IDC_VEL_UNIT1, IDC_VEL_UNIT2, IDC_VEL_UNIT3};
    dlg.SetFieldText(IDC_GROUP_VELOCITY, caption);
    for (int i = 0; i < 3; ++i) {
        dlg.SetFieldText(wordIds[i], words[i]);
        dlg.SetFieldText(unitIds[i], units[i]);
        const bool enabled = i < 2 || thirdRow;
        dlg.EnableField(wordIds[i], enabled);
        dlg.EnableField(valueIds[i], enabled);
        dlg.EnableField(unitIds[i], enabled);
    }
    dlg.EnableField(IDC_SPEED_LABEL, speedRow);
    dlg.EnableField(IDC_SPEED_VALUE, speedRow);
    dlg.EnableField(IDC_SPEED_UNIT, speedRow);
}

void CMainWndDlg::ApplyDisplayFormat(int code)
{
    static const char* const kMps[3] = {"m/s", "m/s", "m/s"};
    switch (code) {
    case 1: {
        static const char* const words[3] = {"East", "North", "Up"};
        SetVelocityRows(*this, "Velocity ", words, kMps, true, true);
        SetFieldText(IDC_SPEED_LABEL, "Speed");
        m_velocityEcef = false;
        m_velocityFormatCode = 1;
        CheckEverywhere(*this, ID_VEL_ENU, true);
        CheckEverywhere(*this, ID_VEL_ECEF, false);
        break;
    }
    case 2: {
        static const char* const words[3] = {"      X", "      Y", "      Z"};
        SetVelocityRows(*this, "Velocity ", words, kMps, true, true);
        SetFieldText(IDC_SPEED_LABEL, "Speed");
        m_velocityEcef = true;
        m_velocityFormatCode = 2;
        CheckEverywhere(*this, ID_VEL_ECEF, true);
        CheckEverywhere(*this, ID_VEL_ENU, false);
        break;
    }
    case 4:
        m_positionXyz = false;
        m_positionFormatCode = 4;
        SetPositionLayout(*this, m_llaDecimal != 0 ? LAYOUT_DECIMAL : LAYOUT_DEG_MIN);
        CheckEverywhere(*this, ID_POS_LLA, m_llaDecimal == 0);
        CheckEverywhere(*this, ID_POS_LLA_DEC, m_llaDecimal != 0);
        CheckEverywhere(*this, ID_POS_XYZ, false);
        SetFieldText(IDC_ALT_UNIT, m_altitudeMsl ? "m MSL" : "m HAE");
        break;
    case 5:
        m_positionXyz = true;
        m_positionFormatCode = 5;
        SetPositionLayout(*this, LAYOUT_XYZ);
        CheckEverywhere(*this, ID_POS_XYZ, true);
        CheckEverywhere(*this, ID_POS_LLA, false);
        CheckEverywhere(*this, ID_POS_LLA_DEC, false);
        CheckEverywhere(*this, ID_ALT_MSL, false);
        CheckEverywhere(*this, ID_ALT_HAE, false);
        // ECEF coordinates have no altitude reference.
        SetFieldText(IDC_ALT_UNIT, "m");
        break;
    case 6:
    case 7:
        m_altitudeMsl = code == 6;
        if (!m_positionXyz) {
            SetFieldText(IDC_ALT_UNIT, m_altitudeMsl ? "m MSL" : "m HAE");
            CheckEverywhere(*this, ID_ALT_MSL, m_altitudeMsl);
            CheckEverywhere(*this, ID_ALT_HAE, !m_altitudeMsl);
        }
        break;
    case 8:
    case 9:
        m_timeUtc = code == 9;
        m_timeFormatCode = code;
        SetFieldText(IDC_GROUP_TIME, m_timeUtc ? "Time [UTC] " : "Time [GPS] ");
        CheckEverywhere(*this, ID_TIME_UTC, m_timeUtc);
        CheckEverywhere(*this, ID_TIME_GPS, !m_timeUtc);
        break;
    case 10:
    case 11:
        m_signalAmu = code == 11;
        SetFieldText(IDC_LEVEL_CAPTION, m_signalAmu ? "AMU" : "C/No");
        CheckEverywhere(*this, ID_SIGNAL_AMU, m_signalAmu);
        CheckEverywhere(*this, ID_SIGNAL_CNO, !m_signalAmu);
        break;
    case 12:
    case 13:
        m_doublePrecision = code == 13;
        CheckEverywhere(*this, ID_DOUBLE_PRECISION, m_doublePrecision);
        break;
    case 14: {
        static const char* const words[3] = {"Speed", "Heading", "n/a"};
        static const char* const units[3] = {"km/hr", "deg", "m/s"};
        SetVelocityRows(*this, "Speed and Heading ", words, units, false, false);
        m_velocityFormatCode = 14;
        break;
    }
    case 15: {
        static const char* const words[3] = {"Speed", "Vert. Spd", "Heading"};
        static const char* const units[3] = {"mph", "mph", "deg"};
        SetVelocityRows(*this, "Speed and Heading ", words, units, true, false);
        m_velocityFormatCode = 15;
        break;
    }
    case 16: {
        static const char* const words[3] = {"Speed", "Heading", "Vert. Spd"};
        static const char* const units[3] = {"km/hr", "deg", "m/s"};
        SetVelocityRows(*this, "Speed and Heading ", words, units, true, false);
        m_velocityFormatCode = 16;
        break;
    }
    default:
        break;
    }
}
