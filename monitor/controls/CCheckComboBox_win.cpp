#include "controls/CCheckComboBox.h"

#include <string.h>

#include <vector>

#include "controls/ControlText.h"

namespace {
// Every check combo's list uses the same list class, so one saved procedure
// serves them all; only one list is open at a time.
WNDPROC g_pfnDefListProc = nullptr;
CCheckComboBox* g_pOpenCombo = nullptr;
}  // namespace

IMPLEMENT_DYNAMIC(CCheckComboBox, CComboBox)

BEGIN_MESSAGE_MAP(CCheckComboBox, CComboBox)
  ON_CONTROL_REFLECT(CBN_DROPDOWN, &CCheckComboBox::OnDropDown)
END_MESSAGE_MAP()

CCheckComboBox::CCheckComboBox() : m_hListBox(nullptr), m_bTextUpdated(false), m_bItemHeightSet(false) {}

CCheckComboBox::~CCheckComboBox() {
  if (g_pOpenCombo == this) g_pOpenCombo = nullptr;
}

BOOL CCheckComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  dwStyle &= ~0xF;  // CBS_SIMPLE / CBS_DROPDOWN / CBS_DROPDOWNLIST bits
  dwStyle |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
  return CComboBox::Create(dwStyle, rect, pParentWnd, nID);
}

LRESULT CCheckComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORLISTBOX:
      if (m_hListBox == nullptr && lParam != 0) SubclassList(reinterpret_cast<HWND>(lParam));
      break;
    case WM_GETTEXT: {
      CString text = GetSummaryText();
      if (wParam == 0 || lParam == 0) return 0;
      size_t n = static_cast<size_t>(text.GetLength());
      if (n > wParam - 1) n = wParam - 1;
      memcpy(reinterpret_cast<char*>(lParam), static_cast<const char*>(text), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return GetSummaryText().GetLength();
    default:
      break;
  }
  return CComboBox::WindowProc(message, wParam, lParam);
}

void CCheckComboBox::SubclassList(HWND hList) {
  m_hListBox = hList;
  WNDPROC prev = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hList, GWLP_WNDPROC));
  if (prev == CheckListProc) return;
  g_pfnDefListProc = prev;
  ::SetWindowLongPtrA(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CheckListProc));
}

void CCheckComboBox::OnDropDown() {
  g_pOpenCombo = this;
  // The list may not have asked for its colours yet.
  if (m_hListBox == nullptr) {
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (::GetComboBoxInfo(m_hWnd, &info) && info.hwndList != nullptr) SubclassList(info.hwndList);
  }
}

void CCheckComboBox::ToggleItem(HWND hList, int nIndex) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  RECT rcItem;
  if (::CallWindowProcA(g_pfnDefListProc, hList, LB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(&rcItem)) != LB_ERR) {
    ::InvalidateRect(hList, &rcItem, FALSE);
  }
  SetItemCheck(nIndex, !GetItemCheck(nIndex));
  CWnd* pParent = GetParent();
  if (pParent != nullptr) {
    pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_SELCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
  }
}

LRESULT CALLBACK CCheckComboBox::CheckListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CCheckComboBox* pCombo = g_pOpenCombo;
  switch (message) {
    case LB_GETCURSEL:
      // The closed box never shows a selection: it shows the checked items.
      return -1;
    case WM_CHAR:
      if (wParam == VK_SPACE) {
        if (pCombo != nullptr) {
          int nIndex = static_cast<int>(::CallWindowProcA(g_pfnDefListProc, hWnd, LB_GETCURSEL, 0, 0));
          pCombo->ToggleItem(hWnd, nIndex);
        }
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: {
      RECT rcClient;
      ::GetClientRect(hWnd, &rcClient);
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (pCombo != nullptr && ::PtInRect(&rcClient, pt)) {
        LRESULT hit = ::CallWindowProcA(g_pfnDefListProc, hWnd, LB_ITEMFROMPOINT, 0, lParam);
        if (HIWORD(hit) == 0) pCombo->ToggleItem(hWnd, LOWORD(hit));
      }
      break;
    }
    case WM_LBUTTONUP:
      // The release would close the list: swallowed so several items can be
      // toggled in one go.
      return 0;
    default:
      break;
  }
  return ::CallWindowProcA(g_pfnDefListProc, hWnd, message, wParam, lParam);
}

int CCheckComboBox::SetItemCheck(int nIndex, BOOL bCheck) {
  int result = SetItemData(nIndex, bCheck ? 1 : 0);
  if (result != CB_ERR) {
    m_bTextUpdated = false;
    Invalidate(FALSE);
  }
  return result;
}

BOOL CCheckComboBox::GetItemCheck(int nIndex) const {
  LRESULT data = ::SendMessageA(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
  return data != CB_ERR && data != 0;
}

void CCheckComboBox::SetDisplayText(LPCTSTR lpszText) {
  m_strText = lpszText != nullptr ? lpszText : "";
  m_bTextUpdated = true;
  Invalidate(FALSE);
}

CString CCheckComboBox::GetSummaryText() {
  if (m_bTextUpdated) return m_strText;
  char sep[11] = {0};
  ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, sep, sizeof sep);
  std::vector<CString> items;
  std::vector<bool> checked;
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    CString s;
    GetLBText(i, s);
    items.push_back(s);
    checked.push_back(GetItemCheck(i) != FALSE);
  }
  m_strText = BuildCheckComboSummary(items, checked, sep);
  m_bTextUpdated = true;
  return m_strText;
}

void CCheckComboBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
  CClientDC dc(this);
  CFont* pFont = GetFont();
  CFont* pOld = pFont != nullptr && pFont->m_hObject != nullptr ? dc.SelectObject(pFont) : nullptr;
  TEXTMETRICA tm = {};
  dc.GetTextMetrics(&tm);
  if (pOld != nullptr) dc.SelectObject(pOld);
  lpMIS->itemHeight = tm.tmHeight + tm.tmExternalLeading + 2;
  if (!m_bItemHeightSet) {
    m_bItemHeightSet = true;
    SetItemHeight(-1, lpMIS->itemHeight);
  }
}

void CCheckComboBox::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  CString text;
  bool field = static_cast<int>(lpDIS->itemID) < 0 || (lpDIS->itemState & ODS_COMBOBOXEDIT) != 0;
  if (field) {
    text = GetSummaryText();
  } else {
    GetLBText(static_cast<int>(lpDIS->itemID), text);
    TEXTMETRICA tm = {};
    pDC->GetTextMetrics(&tm);
    // The check box: a line of text high plus a margin, inside the item.
    CRect rcCheck(rc.left, rc.top + 1, rc.left + tm.tmHeight + tm.tmExternalLeading + 6, rc.bottom - 1);
    UINT state = DFCS_BUTTONCHECK | (lpDIS->itemData != 0 ? DFCS_CHECKED : 0);
    pDC->DrawFrameControl(&rcCheck, DFC_BUTTON, state);
    rc.left = rcCheck.right;
    text = CString(" ") + text;
  }
  bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
  pDC->SetTextColor(::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  pDC->SetBkColor(::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  pDC->ExtTextOut(0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  pDC->DrawText(text, &rc, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (selected && (lpDIS->itemState & ODS_FOCUS) != 0) pDC->DrawFocusRect(&rc);
}
