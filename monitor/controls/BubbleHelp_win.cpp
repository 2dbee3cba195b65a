#include "controls/BubbleHelp.h"

#include "controls/CDialogView.h"

namespace {

const int kReshowMs = 50;
const int kMaxTipWidth = 200;
const COLORREF kTipText = RGB(0, 0, 128);

}  // namespace

CBubbleHelp::~CBubbleHelp()
{
    if (m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.DestroyWindow();
}

BOOL CBubbleHelp::Create(CWnd* pOwner, IDialogViewHost* pMainWnd, int nInitialDelayMs, int nShownMs)
{
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (pMainWnd == nullptr || pMainWnd->IsBalloonTipsOn()) style |= TTS_BALLOON;
    if (m_toolTip.GetSafeHwnd() == nullptr && !m_toolTip.Create(pOwner, style)) return FALSE;
    m_toolTip.SetDelayTime(TTDT_INITIAL, nInitialDelayMs);
    m_toolTip.SetDelayTime(TTDT_RESHOW, kReshowMs);
    m_toolTip.SetDelayTime(TTDT_AUTOPOP, nShownMs);
    m_toolTip.SetMaxTipWidth(kMaxTipWidth);
    m_toolTip.SetTipTextColor(kTipText);
    return TRUE;
}

void CBubbleHelp::Add(CWnd* pOwner, IDialogViewHost* pMainWnd, UINT nIDControl, LPCTSTR lpszText)
{
    if (pOwner == nullptr || pOwner->GetSafeHwnd() == nullptr) return;
    if (m_toolTip.GetSafeHwnd() == nullptr && !Create(pOwner, pMainWnd, kInitialDelayMs, kShownMs)) return;
    HWND hControl = ::GetDlgItem(pOwner->m_hWnd, static_cast<int>(nIDControl));
    if (hControl == nullptr) return;
    TOOLINFOA ti = {};
    ti.cbSize = CToolTipCtrl::ToolInfoSize();
    ti.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
    ti.hwnd = hControl;
    ti.uId = reinterpret_cast<UINT_PTR>(hControl);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    m_toolTip.AddTool(&ti);
}

bool CBubbleHelp::Relay(CWnd* pOwner, IDialogViewHost* pMainWnd, const MSG* pMsg)
{
    if (pMsg->message != WM_MOUSEMOVE || m_toolTip.GetSafeHwnd() == nullptr) return false;
    if (pMainWnd != nullptr && !pMainWnd->IsWindowBubbleHelpOn()) return false;
    // Static controls let the mouse through to the page, so the move is made
    // to look as if the control under the cursor had it.
    MSG relay = *pMsg;
    POINT pt = pMsg->pt;
    ::ScreenToClient(pOwner->m_hWnd, &pt);
    HWND hChild = ::ChildWindowFromPoint(pOwner->m_hWnd, pt);
    if (hChild != nullptr && hChild != pOwner->m_hWnd) {
        POINT cpt = pMsg->pt;
        ::ScreenToClient(hChild, &cpt);
        relay.hwnd = hChild;
        relay.lParam = MAKELPARAM(cpt.x, cpt.y);
    }
    m_toolTip.RelayEvent(&relay);
    return true;
}
