#include "controls/CBalloonWindow.h"

#include <climits>

#include "controls/BalloonGeometry.h"
#include "controls/CModelessDialog.h"
#include "model/WindowsVersion.h"

namespace {

const char kFontFace[] = "Tahoma";
const int kFontPoints = 10;
const int kFrameThickness = 2;
const int kMsPerSecond = 1000;
const int kMaxSeconds = INT_MAX / kMsPerSecond;

// The one balloon of the process; the GUI thread alone touches it.
struct BalloonState {
    bool shown = false;          // a balloon window exists
    CBalloonWindow* active = nullptr;
    bool centred = true;         // the last balloon's text alignment
};
BalloonState g_balloon;

HRGN CopyRegion(HRGN shape)
{
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    if (copy == nullptr) return nullptr;
    if (::CombineRgn(copy, shape, nullptr, RGN_COPY) == ERROR) {
        ::DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

CBalloonWindow::RegionCopier g_copyRegion = &CopyRegion;

// Drop shadows exist from Windows XP on.
UINT BalloonClassStyle()
{
    const int32_t version = DetectWindowsVersion();
    return version == WINVER_XP || version == WINVER_LATER_NT ? CS_DROPSHADOW : 0;
}

}  // namespace

IMPLEMENT_DYNAMIC(CBalloonWindow, CFrameWnd)

BEGIN_MESSAGE_MAP(CBalloonWindow, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CBalloonWindow::CBalloonWindow() : m_textColour(0), m_fillColour(0), m_lastTextFormat(0) {}

CBalloonWindow::~CBalloonWindow() {}

void CBalloonWindow::SetRegionCopier(RegionCopier copier) { g_copyRegion = copier != nullptr ? copier : &CopyRegion; }

BOOL CBalloonWindow::PreCreateWindow(CREATESTRUCT& cs)
{
    LPCTSTR cls = AfxRegisterWndClass(BalloonClassStyle(), ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    if (cls == nullptr) return FALSE;
    if (m_owner.GetSafeHwnd() == nullptr &&
        !m_owner.CreateEx(0, cls, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr)) {
        return FALSE;
    }
    cs.lpszClass = cls;
    cs.hwndParent = m_owner.m_hWnd;
    return CFrameWnd::PreCreateWindow(cs);
}

BOOL CBalloonWindow::Create(const CRect& rect, LPCTSTR lpszText, int seconds, COLORREF textColour,
                            COLORREF fillColour)
{
    m_text = lpszText != nullptr ? lpszText : "";
    m_textColour = textColour;
    m_fillColour = fillColour;
    // A pop-up from the start: a window made with a caption stays a managed
    // window to Wine's X11 driver after losing it, and closing one then
    // waits two seconds for a window manager that may not be there.
    if (!CFrameWnd::Create(nullptr, "", WS_POPUP, rect)) return FALSE;
    const int clamped = seconds < 0 ? 0 : (seconds > kMaxSeconds ? kMaxSeconds : seconds);
    SetTimer(kCloseTimer, static_cast<UINT>(clamped * kMsPerSecond));
    const int shift = BalloonCaptionShift(::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CYFRAME));
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left, rect.top + shift, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return TRUE;
}

int CBalloonWindow::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
    CreateDialogFont(m_font, kFontFace, kFontPoints, TRUE);
    // Without the frame change the client area would keep the caption's and
    // frame's room out, and shape and text would sit in the smaller area.
    ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    CRect client;
    GetClientRect(&client);
    m_textRect = BalloonTextRect(client.Width(), client.Height());
    const CSize corner = BalloonCornerEllipse(client.Width(), client.Height());
    if (!m_shape.CreateRoundRectRgn(0, 0, client.Width(), client.Height(), corner.cx, corner.cy)) return -1;
    // The window owns the region it is given, so it gets a copy.
    HRGN copy = g_copyRegion(static_cast<HRGN>(m_shape.m_hObject));
    if (copy == nullptr) return -1;
    if (!::SetWindowRgn(m_hWnd, copy, TRUE)) {
        ::DeleteObject(copy);
        return -1;
    }
    return 0;
}

void CBalloonWindow::OnPaint()
{
    CPaintDC dc(this);
    CBrush fill, frame;
    fill.CreateSolidBrush(m_fillColour);
    frame.CreateSolidBrush(m_textColour);
    dc.FillRgn(&m_shape, &fill);
    dc.FrameRgn(&m_shape, &frame, kFrameThickness, kFrameThickness);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_textColour);
    CFont* oldFont = m_font.m_hObject != nullptr ? dc.SelectObject(&m_font) : nullptr;
    const CSize extent = dc.GetTextExtent(m_text);
    const BalloonTextLayout layout = ChooseBalloonTextLayout(extent.cx, m_textRect.Width(), g_balloon.centred);
    UINT format = layout.singleLine ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK;
    format |= layout.centred ? DT_CENTER : DT_LEFT;
    CRect textRect = m_textRect;
    dc.DrawText(m_text, &textRect, format);
    m_lastTextFormat = format;
    if (oldFont != nullptr) dc.SelectObject(oldFont);
}

void CBalloonWindow::Close()
{
    KillTimer(kCloseTimer);
    DestroyWindow();  // deletes this
}

void CBalloonWindow::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kCloseTimer) Close();
}

void CBalloonWindow::OnLButtonDown(UINT, CPoint) { Close(); }

void CBalloonWindow::PostNcDestroy()
{
    if (g_balloon.active == this) {
        g_balloon.active = nullptr;
        g_balloon.shown = false;
    }
    CFrameWnd::PostNcDestroy();
}

CBalloonWindow* ShowBalloon(int x, int y, int width, int height, LPCTSTR text, int seconds,
                            COLORREF textColour, COLORREF fillColour, bool centred)
{
    CloseActiveBalloon();
    g_balloon.shown = true;
    g_balloon.centred = centred;
    CBalloonWindow* balloon = new CBalloonWindow;
    if (!balloon->Create(BalloonRect(x, y, width, height), text, seconds, textColour, fillColour)) {
        // Nothing was shown: no window to wait for, no pointer to close.
        if (balloon->GetSafeHwnd() != nullptr) balloon->DestroyWindow();
        delete balloon;
        g_balloon.shown = false;
        g_balloon.active = nullptr;
        return nullptr;
    }
    g_balloon.active = balloon;
    return balloon;
}

CBalloonWindow* ShowBalloonOverWindow(CWnd* window, int width, int height, LPCTSTR text, int seconds,
                                      COLORREF textColour, COLORREF fillColour, bool centred)
{
    CRect anchor;
    const HWND hAnchor = window != nullptr && window->GetSafeHwnd() != nullptr ? window->m_hWnd : ::GetDesktopWindow();
    ::GetWindowRect(hAnchor, &anchor);
    const CPoint centre = BalloonAnchorCentre(anchor);
    return ShowBalloon(centre.x, centre.y, width, height, text, seconds, textColour, fillColour, centred);
}

void CloseActiveBalloon()
{
    CBalloonWindow* balloon = g_balloon.active;
    g_balloon.active = nullptr;
    g_balloon.shown = false;
    if (balloon != nullptr && balloon->GetSafeHwnd() != nullptr) {
        balloon->KillTimer(CBalloonWindow::kCloseTimer);
        balloon->DestroyWindow();  // deletes the balloon
    }
}

CBalloonWindow* GetActiveBalloon() { return g_balloon.active; }

bool IsBalloonShown() { return g_balloon.shown; }
