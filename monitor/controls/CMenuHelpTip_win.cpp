#include "controls/CMenuHelpTip.h"

#include <cstring>

namespace {

const int kTipWidth = 200;
const COLORREF kTipTextColour = RGB(0, 0, 128);
// Where the tip stands: right of the item, a little below its top.
const int kTipOffsetX = 10;
const int kTipOffsetY = 2;
// Longer than any command string of the program's menus.
const int kHelpTextSize = 512;

}  // namespace

bool CMenuHelpTip::Create(CWnd* owner, bool balloon, const char* title, const char* missingHelp)
{
    m_owner = owner;
    m_missingHelp = missingHelp;
    if (!m_tip.Create(owner, TTS_ALWAYSTIP | TTS_NOPREFIX | (balloon ? TTS_BALLOON : 0))) return false;
    TOOLINFOA ti = ToolInfo();
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT | TTF_IDISHWND;
    ti.lpszText = const_cast<char*>("");
    m_tip.AddTool(&ti);
    m_tip.SetMaxTipWidth(kTipWidth);
    ::SendMessageA(m_tip.m_hWnd, TTM_SETTITLEA, TTI_INFO, reinterpret_cast<LPARAM>(title));
    m_tip.SetTipTextColor(kTipTextColour);
    return true;
}

// The one tool: the owner window itself.
TOOLINFOA CMenuHelpTip::ToolInfo() const
{
    TOOLINFOA ti = {};
    ti.cbSize = CToolTipCtrl::ToolInfoSize();
    ti.hwnd = m_owner->m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_owner->m_hWnd);
    return ti;
}

bool CMenuHelpTip::FindItemRect(UINT itemId, HMENU menu, RECT& item) const
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetMenuItemID(menu, i) == itemId)
            return ::GetMenuItemRect(m_owner->m_hWnd, menu, static_cast<UINT>(i), &item) != FALSE;
    return false;
}

void CMenuHelpTip::OnMenuSelect(UINT itemId, UINT flags, HMENU menu)
{
    if (GetSafeHwnd() == nullptr) return;
    TOOLINFOA ti = ToolInfo();
    RECT item = {};
    if (menu == nullptr || (flags & (MF_POPUP | MF_SEPARATOR)) != 0 || !FindItemRect(itemId, menu, item)) {
        m_tip.TrackActivate(FALSE, &ti);
        return;
    }
    char text[kHelpTextSize] = {0};
    if (::LoadStringA(AfxGetResourceHandle(), itemId, text, sizeof text) <= 0)
        lstrcpynA(text, m_missingHelp, sizeof text);
    // A command string is "description\ntip": the description is the help.
    if (char* newline = std::strchr(text, '\n')) *newline = '\0';
    ti.lpszText = text;
    ::SendMessageA(m_tip.m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    m_tip.TrackPosition(item.right + kTipOffsetX, item.top + kTipOffsetY);
    ::SetWindowPos(m_tip.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_tip.TrackActivate(TRUE, &ti);
}
