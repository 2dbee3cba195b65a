#include "app/CRawOutput.h"

#include <richedit.h>

#include "app/CMainWndDlg.h"
#include "app/resource.h"
#include "controls/WorkArea.h"
#include "framework/CWinApp.h"
#include "model/CModel.h"
#include "model/WinHelpers.h"

IMPLEMENT_DYNAMIC(CRawOutput, CDialogView)

namespace {

// The queued lines reach the rich edit at most ten times a second.
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 100;

// Far more than the default 32,767 characters: 4999 lines of the longest
// frames shown as hex.
const LPARAM kTextLimit = 32 * 1024 * 1024;
// EM_SETTARGETDEVICE's line width that turns wrapping off.
const LPARAM kNoWrap = 1;
const int kFontTenthsOfPoint = 100;
const char kFontFace[] = "Courier New";

// Pixels between the main window and this one when it docks.
const int kDockGap = 5;

const COLORREF kBalloonText = RGB(0, 100, 0);     // 0x006400
const COLORREF kBalloonBack = RGB(255, 255, 225); // 0xE1FFFF
const BYTE kBalloonCentred = 1;

struct BalloonSize {
    int width, largeWidth, height;
};
const BalloonSize kCopyBalloon = {230, 280, 80};
const int kCopyBalloonSeconds = 2;
const char kCopiedText[] = "Data copied to clipboard!";
const BalloonSize kPlaybackBalloon = {350, 520, 160};
const int kPlaybackBalloonSeconds = 30;
const char kPlaybackHint[] =
    "To view raw data while playback is in progress, you must set the playback speed to less than 500 and "
    "enable raw data pass-through on the Playback window.\n\nClick here to close this window.";

const char kPauseText[] = "Pause";
const char kResumeText[] = "Resume";

const BubbleHelpText kBubbleHelp[] = {
    {IDC_RAW_SHOW_RECEIVED, "Select to show all incoming data, i.e. the data sent by the GPS receiver to the PC."},
    {IDC_RAW_SHOW_SENT,
     "Select to show all outgoing data, i.e. packets/messages sent by Velmara GPS Monitor to the receiver."},
    {IDC_RAW_IDS_ONLY, "Select to show only ID's of the raw data packets/messages."},
    {IDC_RAW_COPY,
     "Copy the displayed data to the Windows clipboard. The data can then be pasted into any document."},
};

// How each control follows the window's edges: the list grows both ways,
// the rules grow across, the buttons keep to the bottom.
struct LayoutRow {
    UINT id;
    int left, right, top, bottom;
};
const LayoutRow kLayout[] = {
    {IDC_RAW_TOP_RULE, RESIZE_STRETCH, RESIZE_STRETCH, RESIZE_NONE, RESIZE_NONE},
    {IDC_RAW_BOTTOM_RULE, RESIZE_STRETCH, RESIZE_STRETCH, RESIZE_FOLLOW, RESIZE_FOLLOW},
    {IDC_RAW_TEXT, RESIZE_STRETCH, RESIZE_STRETCH, RESIZE_STRETCH, RESIZE_STRETCH},
    {IDC_RAW_PAUSE, RESIZE_NONE, RESIZE_NONE, RESIZE_FOLLOW, RESIZE_FOLLOW},
    {IDC_RAW_COPY, RESIZE_NONE, RESIZE_NONE, RESIZE_FOLLOW, RESIZE_FOLLOW},
    {IDC_RAW_CLEAR, RESIZE_NONE, RESIZE_NONE, RESIZE_FOLLOW, RESIZE_FOLLOW},
    {IDC_RAW_CLOSE, RESIZE_FOLLOW, RESIZE_FOLLOW, RESIZE_FOLLOW, RESIZE_FOLLOW},
};

// The selected text holds more than line ends.
bool SelectionHasText(HWND edit)
{
    CHARRANGE range = {};
    ::SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax <= range.cpMin) return false;
    // Room for CR LF pairs where the control keeps a lone CR.
    std::string text(2 * static_cast<size_t>(range.cpMax - range.cpMin) + 1, '\0');
    const LRESULT length = ::SendMessageA(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(&text[0]));
    if (length <= 0) return false;
    text.resize(static_cast<size_t>(length));
    return text.find_first_not_of("\r\n") != std::string::npos;
}

}  // namespace

BEGIN_MESSAGE_MAP(CRawOutput, CDialogView)
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
    ON_BN_CLICKED(IDC_RAW_SHOW_RECEIVED, &CRawOutput::OnCheckBox)
    ON_BN_CLICKED(IDC_RAW_SHOW_SENT, &CRawOutput::OnCheckBox)
    ON_BN_CLICKED(IDC_RAW_IDS_ONLY, &CRawOutput::OnCheckBox)
    ON_BN_CLICKED(IDC_RAW_PAUSE, &CRawOutput::OnPauseResume)
    ON_BN_CLICKED(IDC_RAW_CLEAR, &CRawOutput::OnClearText)
    ON_BN_CLICKED(IDC_RAW_COPY, &CRawOutput::OnCopyToClipboard)
    ON_BN_CLICKED(IDC_RAW_CLOSE, &CRawOutput::OnCloseButton)
END_MESSAGE_MAP()

CRawOutput::CRawOutput(CMainWndDlg* mainWindow) : CDialogView(IDD_RAW_OUTPUT, mainWindow), m_mainWindow(mainWindow)
{
}

CRawOutput::~CRawOutput() {}

bool CRawOutput::CreateRawWindow()
{
    // The template names the second rich edit's class.
    AfxInitRichEdit2();
    m_created = Create(IDD_RAW_OUTPUT, CWnd::FromHandle(::GetDesktopWindow())) != FALSE;
    if (!m_created) return false;
    ShowWindow(SW_SHOW);
    return true;
}

void CRawOutput::DoDataExchange(CDataExchange* pDX)
{
    CDialogView::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_RAW_SHOW_RECEIVED, m_showReceived);
    DDX_Check(pDX, IDC_RAW_SHOW_SENT, m_showSent);
    DDX_Check(pDX, IDC_RAW_IDS_ONLY, m_idsOnly);
}

BOOL CRawOutput::OnInitDialog()
{
    CDialogView::OnInitDialog();
    for (const LayoutRow& row : kLayout) AddResizeRule(row.id, row.left, row.right, row.top, row.bottom);
    AddBubbleHelp(kBubbleHelp);

    if (m_mainWindow != nullptr && m_mainWindow->m_iconLarge != nullptr)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_mainWindow->m_iconLarge));
    const HWND edit = ::GetDlgItem(m_hWnd, IDC_RAW_TEXT);
    if (edit != nullptr) {
        if (m_font.CreatePointFont(kFontTenthsOfPoint, kFontFace))
            ::SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_font)), TRUE);
        ::SendMessageA(edit, EM_EXLIMITTEXT, 0, kTextLimit);
        ::SendMessageA(edit, EM_SETTARGETDEVICE, 0, kNoWrap);
    }
    UpdateData(FALSE);

    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr) {
        DockDialogToMainWindow(m_hWnd, m_mainWindow->m_hWnd, kDockGap, false, false, true);
        KeepWindowOnWorkArea(m_hWnd);
        if (m_mainWindow->GetLinkMode() == LINK_FILE) ShowPlaybackHint();
    }
    SetTimer(kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void CRawOutput::ShowPlaybackHint()
{
    const int width = m_mainWindow->IsLargeLayout() ? kPlaybackBalloon.largeWidth : kPlaybackBalloon.width;
    m_mainWindow->ShowBalloonOverWindow(this, kPlaybackHint, width, kPlaybackBalloon.height, kPlaybackBalloonSeconds,
                                        kBalloonText, kBalloonBack, kBalloonCentred);
}

// ---- Receiver events -------------------------------------------------------------------------------

RawMonitorState CRawOutput::CurrentState() const
{
    RawMonitorState state;
    state.paused = m_paused;
    state.fileMode = m_mainWindow->GetLinkMode() == LINK_FILE;
    state.playbackSpeed = m_mainWindow->m_playback.speed;
    state.showReceived = m_showReceived != 0;
    state.showSent = m_showSent != 0;
    return state;
}

LRESULT CRawOutput::OnModelUpdate(WPARAM event, LPARAM)
{
    if (m_mainWindow == nullptr) return 0;
    const RawLineSource source = SelectRawLineSource(static_cast<int32_t>(event), CurrentState());
    if (source != RAW_SOURCE_NONE) QueueFrame(source);
    return 0;
}

// Runs while the link waits for this window: the stored frame is read, the
// line made and queued, and nothing else.
void CRawOutput::QueueFrame(RawLineSource source)
{
    CModel& model = m_mainWindow->GetLink().GetModel();
    const ProtocolKind kind =
        source == RAW_SOURCE_RECEIVED ? model.GetLastRawFrame(m_frame) : model.GetLastSentCommand(m_frame);
    const uint8_t* bytes = m_frame.GetData();
    int n = static_cast<int>(m_frame.GetSize());
    // A sent QBIN command went out with its DLEs doubled: shown as the
    // receiver reads it.
    if (source == RAW_SOURCE_SENT && kind == PROTO_QBIN) {
        UnstuffQbinCommand(bytes, n, m_unstuffed);
        bytes = m_unstuffed.data();
        n = static_cast<int>(m_unstuffed.size());
    }
    FormatRawLineInto(m_line, kind, bytes, n, m_idsOnly != 0);
    m_queue.Push(m_line);
}

void CRawOutput::FlushLines()
{
    if (!m_queue.HasPending()) return;
    const RawLineQueue::Batch batch = m_queue.Take();
    const HWND edit = ::GetDlgItem(m_hWnd, IDC_RAW_TEXT);
    if (edit == nullptr) return;
    if (batch.clearFirst) ::SetWindowTextA(edit, "");
    if (batch.text.empty()) return;
    // The user's selection survives the append, so a copy can follow it.
    CHARRANGE kept = {};
    ::SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    CHARRANGE end = {-1, -1};
    ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    ::SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(batch.text.c_str()));
    if (kept.cpMax > kept.cpMin && !batch.clearFirst)
        ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    else
        ::SendMessageA(edit, WM_VSCROLL, SB_BOTTOM, 0);
}

void CRawOutput::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kRefreshTimer) FlushLines();
}

// ---- Controls --------------------------------------------------------------------------------------

void CRawOutput::OnCheckBox() { UpdateData(TRUE); }

void CRawOutput::OnPauseResume()
{
    m_paused = !m_paused;
    SetDlgItemText(IDC_RAW_PAUSE, m_paused ? kResumeText : kPauseText);
}

void CRawOutput::OnClearText()
{
    m_queue.Clear();
    ::SetDlgItemTextA(m_hWnd, IDC_RAW_TEXT, "");
}

// The selection when it holds text, otherwise everything.
void CRawOutput::OnCopyToClipboard()
{
    FlushLines();
    const HWND edit = ::GetDlgItem(m_hWnd, IDC_RAW_TEXT);
    if (edit == nullptr) return;
    if (SelectionHasText(edit))
        ::SendMessageA(edit, WM_COPY, 0, 0);
    else
        CopyRichEditToClipboard(edit);
    if (m_mainWindow == nullptr) return;
    const int width = m_mainWindow->IsLargeLayout() ? kCopyBalloon.largeWidth : kCopyBalloon.width;
    m_mainWindow->ShowBalloonOverWindow(this, kCopiedText, width, kCopyBalloon.height, kCopyBalloonSeconds,
                                        kBalloonText, kBalloonBack, kBalloonCentred);
}

// ---- Closing -----------------------------------------------------------------------------------------

void CRawOutput::CloseWindow() { DestroyWindow(); }
void CRawOutput::OnClose() { CloseWindow(); }
void CRawOutput::OnCloseButton() { CloseWindow(); }

void CRawOutput::OnDestroy()
{
    KillTimer(kRefreshTimer);
    if (m_mainWindow != nullptr) {
        m_mainWindow->GetLink().RemoveListener(m_hWnd);
        if (m_mainWindow->GetSafeHwnd() != nullptr) UndockDialogFromMainWindow(m_hWnd, m_mainWindow->m_hWnd);
    }
    CDialogView::OnDestroy();
}

// A window made by CreateRawWindow leaves the main window's list and
// deletes itself; one lost while being made is its creator's to delete.
void CRawOutput::PostNcDestroy()
{
    CDialogView::PostNcDestroy();
    if (!m_created) return;
    if (m_mainWindow != nullptr) m_mainWindow->RemoveRawOutputWnd(this);
    delete this;
}
