#include "app/CPlaybackDlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <type_traits>
#include <vector>

#include "app/AppProfile.h"
#include "app/CMainWndDlg.h"
#include "app/MainWndProfile.h"
#include "app/PlaybackChecks.h"
#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "link/CPlaybackChannel.h"
#include "model/WinHelpers.h"
#include "views/CPositionDlg.h"

namespace {

const int kDockGap = 5;   // pixels between the main window and this one
const int32_t kSliderMax = 1000;
const int32_t kSliderTick = 100;
const int kNmeaMarkerChars = 5;
const int kMarkerChars = 2;
const int32_t kMinSpeed = 1;
const int32_t kMaxSpeed = 1000;

const char kRawPassEntry[] = "bPlaybackRawDataPass";
const char kSpeedEntry[] = "playbackSpeed";

const char kFileFilter[] = "Data Log Files (*.qbl,*.log,*.txt)|*.qbl;*.log;*.txt|All Files (*.*)|*.*|";
const char kChooseTitle[] = "Choose a log file ...";
const char kDefaultExtension[] = "log";

const char kMapLimitFormat[] =
    "For best response of the position map, the playback speed\nmust not be greater than %d. To play back at "
    "higher speeds,\nclose the Virtual Earth position map tab on the position plot.";

const char kMarkerHelp[] =
    " protocol marker. Indicates that this packet comes out once every second during normal, real-time operation "
    "of the receiver.";

const BubbleHelpText kBubbleHelp[] = {
    {IDC_PLAY_FILE,
     "Location of the data file to play back. The file must be a raw GPS receiver data log formatted in any of the "
     "protocols supported by this program."},
    {IDC_PLAY_BROWSE, "Browse and select the data file..."},
    {IDC_PLAY_SLIDER,
     "Drag to change the playback speed. The minimum speed is 1 (real-time). The maximum speed is 1000 (no delay in "
     "processing file data)."},
    {IDC_PLAY_SPEED,
     "The minimum speed is 1 (real-time). The maximum speed is 1000 (no delay in processing file data)."},
    {IDC_PLAY_RAW_PASS,
     "Enables passing of the raw data to various components while playback is in progress. This is useful "
     "particularly if raw data needs to be examined via View | Raw Data Monitor... window. Note that selecting this "
     "option will significantly slow down the playback progress."},
    {IDC_PLAY_KESTO_CODE,
     "Code of the KESTO protocol marker. Indicates that the packet with this code/subcode combination comes out "
     "once every second during normal, real-time operation of the receiver."},
    {IDC_PLAY_KESTO_SUBCODE,
     "Sub-code of the KESTO protocol marker. Indicates that the packet with this code/subcode combination comes out "
     "once every second during normal, real-time operation of the receiver."},
    {IDC_PLAY_START, "Start data playback based on the selected options."},
};

// The marker fields share one help text but for the protocol's name.
const struct {
    UINT id;
    const char* protocol;
} kMarkerFields[] = {{IDC_PLAY_QBIN, "QBIN"}, {IDC_PLAY_NMEA, "NMEA"}, {IDC_PLAY_QTXT, "QTXT"}, {IDC_PLAY_QOP, "QOP"}};

// Disabled while a replay runs: what it was started with.
const UINT kStartFields[] = {IDC_PLAY_FILE,  IDC_PLAY_BROWSE,     IDC_PLAY_QBIN,         IDC_PLAY_NMEA,
                             IDC_PLAY_QOP,   IDC_PLAY_QTXT,       IDC_PLAY_KESTO_CODE,   IDC_PLAY_KESTO_SUBCODE};

// The position window once it is a window; until then there is nothing to
// look at.
template <class T>
HWND ToolWindowHandle(T* tool)
{
    if constexpr (std::is_base_of<CWnd, T>::value)
        return tool != nullptr ? tool->GetSafeHwnd() : nullptr;
    else
        return nullptr;
}

std::string Text(const CString& text) { return std::string(static_cast<LPCTSTR>(text)); }

CPlaybackChannel* RunningReplay(CMainWndDlg& main)
{
    CChannel* channel = main.GetLink().GetChannel();
    if (channel == nullptr || channel->GetType() != CHANNEL_TYPE_PLAYBACK) return nullptr;
    return static_cast<CPlaybackChannel*>(channel);
}

}  // namespace

BEGIN_MESSAGE_MAP(CPlaybackDlg, CDialogView)
    ON_BN_CLICKED(IDC_PLAY_BROWSE, &CPlaybackDlg::OnBrowse)
    ON_BN_CLICKED(IDC_PLAY_RAW_PASS, &CPlaybackDlg::OnRawPassClicked)
    ON_BN_CLICKED(IDC_PLAY_START, &CPlaybackDlg::OnStartStop)
    ON_BN_CLICKED(IDC_PLAY_MAP, &CPlaybackDlg::OnShowMap)
    ON_BN_CLICKED(IDC_PLAY_CLOSE, &CPlaybackDlg::OnCloseButton)
    ON_EN_KILLFOCUS(IDC_PLAY_SPEED, &CPlaybackDlg::OnSpeedEdit)
    ON_WM_HSCROLL()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CPlaybackDlg::CPlaybackDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_PLAYBACK, mainWindow), m_mainWindow(mainWindow)
{
}

CPlaybackDlg::~CPlaybackDlg() {}

void CPlaybackDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogView::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PLAY_FILE, m_fileName);
    DDX_Text(pDX, IDC_PLAY_NMEA, m_nmeaMarker);
    DDV_MaxChars(pDX, m_nmeaMarker, kNmeaMarkerChars);
    DDX_Text(pDX, IDC_PLAY_QBIN, m_qbinMarker);
    DDV_MaxChars(pDX, m_qbinMarker, kMarkerChars);
    DDX_Text(pDX, IDC_PLAY_SPEED, m_speed);
    DDV_MinMaxInt(pDX, m_speed, kMinSpeed, kMaxSpeed);
    DDX_Text(pDX, IDC_PLAY_QOP, m_qopMarker);
    DDV_MaxChars(pDX, m_qopMarker, kMarkerChars);
    DDX_Text(pDX, IDC_PLAY_QTXT, m_qtxtMarker);
    DDV_MaxChars(pDX, m_qtxtMarker, kMarkerChars);
    DDX_Check(pDX, IDC_PLAY_RAW_PASS, m_rawPass);
    DDX_Text(pDX, IDC_PLAY_KESTO_CODE, m_kestoCode);
    DDX_Text(pDX, IDC_PLAY_KESTO_SUBCODE, m_kestoSubcode);
}

BOOL CPlaybackDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    // The process's current folder stays where it is: the file dialog starts
    // in the data folder and a relative name is taken from there.
    AddBubbleHelp(kBubbleHelp);
    for (const auto& field : kMarkerFields) {
        CString help(field.protocol);
        help += kMarkerHelp;
        AddBubbleHelp(field.id, help);
    }

    if (m_mainWindow != nullptr) {
        const PlaybackSettings& settings = m_mainWindow->m_playback;
        m_fileName = settings.fileName;
        m_speed = static_cast<int>(settings.speed);
        m_nmeaMarker = settings.nmeaMarker;
        m_qtxtMarker = settings.qtxtMarker;
        m_qopMarker = settings.qopMarker;
        m_qbinMarker = FormatMarkerByte(settings.qbinMarker).c_str();
        m_kestoCode = FormatMarkerByte(settings.kestoClass).c_str();
        m_kestoSubcode = FormatMarkerByte(settings.kestoId).c_str();
        m_playing = m_mainWindow->GetLinkMode() == LINK_FILE;
    }
    AppProfile profile;
    m_rawPass = profile.GetProfileInt(kMainWndSection, kRawPassEntry, 0) != 0 ? 1 : 0;

    SendDlgItemMessage(IDC_PLAY_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kSliderMax));
    SendDlgItemMessage(IDC_PLAY_SLIDER, TBM_SETTICFREQ, kSliderTick, 0);
    SetSliderPosition(m_speed);
    UpdateData(FALSE);
    UpdateButtons();
    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr)
        DockDialogToMainWindow(m_hWnd, m_mainWindow->m_hWnd, kDockGap, false, false, true);
    return TRUE;
}

void CPlaybackDlg::SetSliderPosition(int32_t position)
{
    SendDlgItemMessage(IDC_PLAY_SLIDER, TBM_SETPOS, TRUE, position);
}

void CPlaybackDlg::UpdateButtons()
{
    if (GetSafeHwnd() == nullptr) return;
    SetDlgItemText(IDC_PLAY_START, m_playing ? "Stop" : "Start");
    for (UINT id : kStartFields)
        if (HWND field = ::GetDlgItem(m_hWnd, static_cast<int>(id))) ::EnableWindow(field, m_playing ? FALSE : TRUE);
}

void CPlaybackDlg::SetStopped()
{
    m_playing = false;
    UpdateButtons();
}

// ---- Progress ------------------------------------------------------------------------

void CPlaybackDlg::ShowProgress(const PlaybackProgress& progress)
{
    if (GetSafeHwnd() == nullptr) return;
    SendDlgItemMessage(IDC_PLAY_PROGRESS, PBM_SETRANGE32, 0, progress.rangeUpper);
    SendDlgItemMessage(IDC_PLAY_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(progress.position), 0);
    CString current;
    GetDlgItemText(IDC_PLAY_PERCENT, current);
    if (current != progress.text) SetDlgItemText(IDC_PLAY_PERCENT, progress.text);
}

void CPlaybackDlg::ShowFinished()
{
    if (GetSafeHwnd() == nullptr) return;
    const LRESULT upper = SendDlgItemMessage(IDC_PLAY_PROGRESS, PBM_GETRANGE, FALSE, 0);
    SendDlgItemMessage(IDC_PLAY_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(upper), 0);
    SetDlgItemText(IDC_PLAY_PERCENT, "100%");
}

// ---- Speed ---------------------------------------------------------------------------------

bool CPlaybackDlg::IsPositionMapShown() const
{
    if (m_mainWindow == nullptr) return false;
    const HWND position = ToolWindowHandle(m_mainWindow->m_pPositionDlg);
    if (position == nullptr || !::IsWindow(position)) return false;
    // The map is the position window's first tab; a window without tabs
    // shows only its first page.
    const HWND tabs = ::FindWindowExA(position, nullptr, WC_TABCONTROLA, nullptr);
    return tabs == nullptr || ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) <= 0;
}

void CPlaybackDlg::LimitSpeedForMap(int32_t limit)
{
    if (!IsPositionMapShown() || m_speed <= limit) return;
    m_speed = limit;
    SetSliderPosition(m_speed);
    UpdateData(FALSE);
    CString text;
    text.Format(kMapLimitFormat, static_cast<int>(limit));
    AfxMessageBox(text);
}

void CPlaybackDlg::ApplySpeedToReplay()
{
    if (m_mainWindow == nullptr || m_mainWindow->GetLinkMode() != LINK_FILE) return;
    m_mainWindow->m_playback.speed = static_cast<uint32_t>(m_speed);
    AppProfile profile;
    profile.WriteProfileInt(kMainWndSection, kSpeedEntry, m_speed);
    if (CPlaybackChannel* replay = RunningReplay(*m_mainWindow)) replay->SetSpeed(static_cast<uint32_t>(m_speed));
}

void CPlaybackDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    (void)nPos;
    (void)pScrollBar;
    // While dragging and on release.
    if (nSBCode == TB_THUMBTRACK || nSBCode == TB_ENDTRACK || nSBCode == TB_THUMBPOSITION || nSBCode == TB_LINEUP ||
        nSBCode == TB_LINEDOWN || nSBCode == TB_PAGEUP || nSBCode == TB_PAGEDOWN || nSBCode == TB_TOP ||
        nSBCode == TB_BOTTOM)
        OnSpeedScroll();
}

void CPlaybackDlg::OnSpeedScroll()
{
    m_speed = static_cast<int>(SendDlgItemMessage(IDC_PLAY_SLIDER, TBM_GETPOS, 0, 0));
    LimitSpeedForMap(kPlaybackMapSpeedLimit);
    m_speed = PlaybackSpeedFromSlider(m_speed);
    UpdateData(FALSE);
    ApplySpeedToReplay();
}

void CPlaybackDlg::OnSpeedEdit()
{
    if (!UpdateData(TRUE)) return;
    LimitSpeedForMap(kPlaybackMapSpeedLimit);
    SetSliderPosition(m_speed);
    ApplySpeedToReplay();
}

void CPlaybackDlg::OnRawPassClicked()
{
    UpdateData(TRUE);
    if (m_mainWindow != nullptr && m_mainWindow->GetLinkMode() == LINK_FILE)
        if (CPlaybackChannel* replay = RunningReplay(*m_mainWindow)) replay->SetPassRawData(m_rawPass != 0);
    AppProfile profile;
    profile.WriteProfileInt(kMainWndSection, kRawPassEntry, m_rawPass);
}

// ---- Files ------------------------------------------------------------------------------------

void CPlaybackDlg::OnBrowse()
{
    UpdateData(TRUE);
    std::string filter(kFileFilter);
    for (char& c : filter)
        if (c == '|') c = '\0';
    std::vector<char> file(32768, '\0');
    const CString folder = m_mainWindow != nullptr ? m_mainWindow->GetDataFolder() : CString();

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    ofn.lpstrTitle = kChooseTitle;
    ofn.lpstrDefExt = kDefaultExtension;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&ofn)) return;
    m_fileName = file.data();
    UpdateData(FALSE);
}

// ---- Start and stop -----------------------------------------------------------------------------

void CPlaybackDlg::OnStartStop()
{
    if (m_mainWindow == nullptr) return;
    if (!UpdateData(TRUE)) return;

    if (m_mainWindow->GetLinkMode() == LINK_FILE) {
        // Stopping needs nothing of the fields.
        m_mainWindow->StartPlayback(false, true);
        m_playing = false;
        UpdateButtons();
        return;
    }

    if (const char* message = CheckPlaybackFileName(Text(m_fileName))) {
        AfxMessageBox(message);
        return;
    }
    LimitSpeedForMap(kPlaybackMapSpeedLimit);
    PlaybackMarkerTexts texts;
    texts.qbin = Text(m_qbinMarker);
    texts.kestoCode = Text(m_kestoCode);
    texts.kestoSubcode = Text(m_kestoSubcode);
    texts.nmea = Text(m_nmeaMarker);
    texts.qop = Text(m_qopMarker);
    texts.qtxt = Text(m_qtxtMarker);
    PlaybackMarkerValues values;
    if (const char* message = CheckPlaybackMarkers(texts, values)) {
        AfxMessageBox(message);
        return;
    }

    m_nmeaMarker = values.nmea.c_str();
    m_qtxtMarker = values.qtxt.c_str();
    UpdateData(FALSE);
    PlaybackSettings& settings = m_mainWindow->m_playback;
    settings.fileName = ResolvePlaybackPath(Text(m_fileName), Text(m_mainWindow->GetDataFolder())).c_str();
    settings.speed = static_cast<uint32_t>(m_speed);
    settings.linkId = 0;
    settings.qbinMarker = values.qbin;
    settings.kestoClass = values.kestoCode;
    settings.kestoId = values.kestoSubcode;
    settings.nmeaMarker = values.nmea.c_str();
    settings.qtxtMarker = values.qtxt.c_str();
    settings.qopMarker = values.qop.c_str();
    m_playing = m_mainWindow->StartPlayback(true, m_rawPass != 0);
    UpdateButtons();
}

void CPlaybackDlg::OnShowMap()
{
    // The main window's own command, so the position window opens as from
    // its menu (once, then brought forward).
    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr)
        m_mainWindow->PostMessage(WM_COMMAND, MAKEWPARAM(ID_POSITION_WND, 0), 0);
}

void CPlaybackDlg::OnCloseButton() { OnClose(); }

void CPlaybackDlg::OnClose()
{
    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr) {
        m_mainWindow->ShowLinkPane();
        UndockDialogFromMainWindow(m_hWnd, m_mainWindow->m_hWnd);
    }
    CloseView();
}
