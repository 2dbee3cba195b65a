#include "controls/CTabCtrlSSL.h"

#include "controls/TabLayout.h"

namespace {

const int kTitleLimit = 1024;

}  // namespace

IMPLEMENT_DYNAMIC(CTabCtrlSSL, CTabCtrl)

BEGIN_MESSAGE_MAP(CTabCtrlSSL, CTabCtrl)
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_NOTIFY_REFLECT(TCN_SELCHANGING, &CTabCtrlSSL::OnSelChanging)
    ON_NOTIFY_REFLECT(TCN_SELCHANGE, &CTabCtrlSSL::OnSelChange)
END_MESSAGE_MAP()

CTabCtrlSSL::CTabCtrlSSL() {}

CTabCtrlSSL::~CTabCtrlSSL() {}

bool CTabCtrlSSL::IsValidIndex(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetPageCount() && static_cast<size_t>(nIndex) < m_pages.size();
}

int CTabCtrlSSL::PageId(int nIndex) const
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_pageIds.size() ? m_pageIds[nIndex] : 0;
}

int CTabCtrlSSL::AddPage(LPCTSTR lpszTitle, int nPageID, CTabPageSSL* pPage)
{
    const int nIndex = static_cast<int>(InsertItem(GetItemCount(), lpszTitle != nullptr ? lpszTitle : ""));
    if (nIndex < 0) return -1;
    // The tables stay one entry per tab: a tab inserted anywhere but at
    // their end could not be matched with its page.
    if (pPage == nullptr || static_cast<size_t>(nIndex) != m_pages.size()) {
        DeleteItem(nIndex);
        return -1;
    }
    m_pages.push_back({pPage, false});
    m_pageIds.push_back(nPageID);
    if (pPage->GetSafeHwnd() != nullptr) pPage->SetParent(this);
    CRect client;
    GetClientRect(&client);
    if (!client.IsRectEmpty()) SizePage(nIndex, client.Width(), client.Height());
    HWND hFocus = OnPageAdded(nIndex, nPageID) ? ::GetWindow(pPage->GetSafeHwnd(), GW_CHILD) : ::GetFocus();
    m_focus.push_back(hFocus);
    if (nIndex == 0 && pPage->GetSafeHwnd() != nullptr) pPage->ShowWindow(SW_SHOW);
    return nIndex;
}

bool CTabCtrlSSL::GetPageTitle(int nIndex, CString& strTitle) const
{
    if (nIndex < 0 || nIndex >= GetPageCount()) return false;
    char text[kTitleLimit + 1] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = kTitleLimit;
    if (!GetItem(nIndex, &item)) return false;
    // The control may answer with a text of its own instead of the buffer.
    strTitle = item.pszText != nullptr ? item.pszText : "";
    return true;
}

bool CTabCtrlSSL::ActivatePage(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetPageCount()) return false;
    const int nCurrent = GetCurSel();
    if (nCurrent == nIndex) return true;
    if (nCurrent >= 0) {
        RememberFocus(nCurrent, ::GetFocus());
        HidePage(nCurrent);
    }
    SetCurSel(nIndex);
    ShowPage(nIndex);
    return true;
}

CTabPageSSL* CTabCtrlSSL::GetPage(int nIndex) const
{
    return IsValidIndex(nIndex) ? m_pages[nIndex].page : nullptr;
}

int CTabCtrlSSL::FindPageById(int nPageID) const
{
    for (size_t i = 0; i < m_pageIds.size(); ++i)
        if (m_pageIds[i] == nPageID) return static_cast<int>(i);
    return -1;
}

void CTabCtrlSSL::SizePage(int nIndex, int nWidth, int nHeight)
{
    CTabPageSSL* pPage = GetPage(nIndex);
    if (pPage == nullptr || pPage->GetSafeHwnd() == nullptr) return;
    const DWORD style = GetStyle();
    TabStrip strip;
    strip.vertical = (style & TCS_VERTICAL) != 0;
    strip.right = (style & TCS_RIGHT) != 0;
    strip.bottom = (style & TCS_BOTTOM) != 0;
    strip.rowCount = GetRowCount();
    CRect item;
    if (GetItemRect(nIndex, &item)) {
        strip.itemWidth = item.Width();
        strip.itemHeight = item.Height();
    }
    const CRect page = TabPageRect(strip, nWidth, nHeight);
    pPage->SetWindowPos(nullptr, page.left, page.top, page.Width(), page.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTabCtrlSSL::SizePageToClient(int nIndex)
{
    CRect client;
    GetClientRect(&client);
    SizePage(nIndex, client.Width(), client.Height());
}

void CTabCtrlSSL::RememberFocus(int nIndex, HWND hWnd)
{
    CTabPageSSL* pPage = GetPage(nIndex);
    if (pPage == nullptr || hWnd == nullptr || static_cast<size_t>(nIndex) >= m_focus.size()) return;
    if (hWnd == pPage->m_hWnd || ::IsChild(pPage->m_hWnd, hWnd)) m_focus[nIndex] = hWnd;
}

void CTabCtrlSSL::HidePage(int nIndex)
{
    CTabPageSSL* pPage = GetPage(nIndex);
    if (pPage != nullptr && pPage->GetSafeHwnd() != nullptr) pPage->ShowWindow(SW_HIDE);
}

void CTabCtrlSSL::ShowPage(int nIndex)
{
    CTabPageSSL* pPage = GetPage(nIndex);
    if (pPage == nullptr || pPage->GetSafeHwnd() == nullptr) return;
    SizePageToClient(nIndex);
    pPage->ShowWindow(SW_SHOW);
    const HWND hFocus = static_cast<size_t>(nIndex) < m_focus.size() ? m_focus[nIndex] : nullptr;
    if (hFocus != nullptr && ::IsWindow(hFocus)) ::SetFocus(hFocus);
}

bool CTabCtrlSSL::OnPageAdded(int, int) { return true; }
void CTabCtrlSSL::OnPageShown(int nIndex, int nPageID) { OnActivatePage(nIndex, nPageID); }
void CTabCtrlSSL::OnPageHiding(int nIndex, int nPageID) { OnLeavePage(nIndex, nPageID); }
void CTabCtrlSSL::OnPageClosing(int, int) {}
void CTabCtrlSSL::OnActivatePage(int, int) {}
void CTabCtrlSSL::OnLeavePage(int, int) {}

void CTabCtrlSSL::OnSelChanging(NMHDR*, LRESULT* pResult)
{
    const int nIndex = GetCurSel();
    if (nIndex >= 0) {
        OnPageHiding(nIndex, PageId(nIndex));
        RememberFocus(nIndex, ::GetFocus());
        HidePage(nIndex);
    }
    *pResult = FALSE;  // the change may go ahead
}

void CTabCtrlSSL::OnSelChange(NMHDR*, LRESULT* pResult)
{
    const int nIndex = GetCurSel();
    if (nIndex >= 0) {
        ShowPage(nIndex);
        OnPageShown(nIndex, PageId(nIndex));
    }
    *pResult = 0;
}

void CTabCtrlSSL::OnSetFocus(CWnd* pOldWnd)
{
    Default();
    const int nIndex = GetCurSel();
    // A click on a tab brings the focus here before the tab changes: the
    // control of the page it came from is the one to come back to.
    RememberFocus(nIndex, pOldWnd != nullptr ? pOldWnd->m_hWnd : nullptr);
    if (GetPage(nIndex) == nullptr || static_cast<size_t>(nIndex) >= m_focus.size()) return;
    const HWND hFocus = m_focus[nIndex];
    if (hFocus != nullptr && ::IsWindow(hFocus) && ::IsWindowVisible(hFocus)) ::SetFocus(hFocus);
}

void CTabCtrlSSL::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    RememberFocus(GetCurSel(), pNewWnd != nullptr ? pNewWnd->m_hWnd : nullptr);
}

void CTabCtrlSSL::OnDestroy()
{
    for (int i = static_cast<int>(m_pages.size()) - 1; i >= 0; --i) {
        OnPageClosing(i, PageId(i));
        CTabPageSSL* pPage = m_pages[i].page;
        if (pPage != nullptr && pPage->GetSafeHwnd() != nullptr) pPage->DestroyWindow();
        if (m_pages[i].deleteWithControl) delete pPage;
    }
    m_pages.clear();
    m_focus.clear();
    m_pageIds.clear();
    Default();
}

BOOL CTabCtrlSSL::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND hParent = ::GetParent(m_hWnd);
    if (hParent == nullptr) return FALSE;
    return ::SendMessageA(hParent, WM_COMMAND, wParam, lParam) != 0;
}

BOOL CTabCtrlSSL::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const HWND hParent = ::GetParent(m_hWnd);
    if (hParent == nullptr) return FALSE;
    const LRESULT r = ::SendMessageA(hParent, WM_NOTIFY, wParam, lParam);
    if (pResult != nullptr) *pResult = r;
    return TRUE;
}
