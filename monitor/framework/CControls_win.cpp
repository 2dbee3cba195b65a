#include "framework/CControls.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)

void AfxInitCommonControls() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)registered;
}

// Owner-draw messages reach the virtual DrawItem/MeasureItem unless the
// class maps them with ON_WM_*_REFLECT.
BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM && !ReflectChildNotify(message, wParam, lParam, pResult)) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr) *pResult = TRUE;
    return TRUE;
  }
  if (message == WM_DRAWITEM) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM && !ReflectChildNotify(message, wParam, lParam, pResult)) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr) *pResult = TRUE;
    return TRUE;
  }
  if (message == WM_DRAWITEM) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
      break;
    default:
      return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  }
  if (ReflectChildNotify(message, wParam, lParam, pResult)) return TRUE;
  LRESULT r = TRUE;
  if (message == WM_DRAWITEM) DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (message == WM_MEASUREITEM) MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
  if (message == WM_COMPAREITEM) r = CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
  if (message == WM_DELETEITEM) DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
  if (pResult != nullptr) *pResult = r;
  return TRUE;
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  int n = GetLBTextLen(nIndex);
  if (n == CB_ERR) {
    rString.Empty();
    return;
  }
  char* buf = rString.GetBuffer(n + 1);
  LRESULT got = Send(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buf));
  rString.ReleaseBuffer(got == CB_ERR ? 0 : static_cast<int>(got));
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  BOOL ok = CWnd::CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           pParentWnd != nullptr ? pParentWnd->GetSafeHwnd() : nullptr, nullptr);
  if (ok) SetOwner(pParentWnd);
  return ok;
}

void CToolTipCtrl::FillInToolInfo(TOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
  memset(&ti, 0, sizeof ti);
  ti.cbSize = ToolInfoSize();
  HWND hWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
  if (nIDTool == 0) {
    ti.hwnd = ::GetParent(hWnd);
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
  } else {
    ti.hwnd = hWnd;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  if (pWnd == nullptr) return FALSE;
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool != nullptr) ti.rect = *lpRectTool;
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return AddTool(&ti);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const {
  FillInToolInfo(*pToolInfo, pWnd, nIDTool);
  pToolInfo->lpszText = nullptr;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(pToolInfo)));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.rect = *lpRect;
  ::SendMessageA(m_hWnd, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  DeleteImageList();
  m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  return m_hImageList != nullptr;
}

BOOL CImageList::Attach(HIMAGELIST h) {
  if (h == nullptr || m_hImageList != nullptr) return FALSE;
  m_hImageList = h;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST h = m_hImageList;
  m_hImageList = nullptr;
  return h;
}

BOOL CImageList::DeleteImageList() {
  if (m_hImageList == nullptr) return FALSE;
  return ImageList_Destroy(Detach());
}

// ---- CDateTimeCtrl ---------------------------------------------------------------

BOOL CDateTimeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  AfxInitCommonControls();
  return CWnd::Create(DATETIMEPICK_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CDateTimeCtrl::GetTime(SYSTEMTIME* pTimeDest) const {
  if (pTimeDest == nullptr) return FALSE;
  LRESULT r = ::SendMessageA(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(pTimeDest));
  return r == GDT_VALID ? TRUE : FALSE;
}

BOOL CDateTimeCtrl::GetTime(CTime& timeDest) const {
  SYSTEMTIME st;
  if (!GetTime(&st)) return FALSE;
  timeDest = CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
  return TRUE;
}

BOOL CDateTimeCtrl::SetTime(const SYSTEMTIME* pTimeNew) {
  // Clearing ignores the time, but some comctl32 builds refuse a null one.
  SYSTEMTIME none = {};
  WPARAM flag = pTimeNew != nullptr ? GDT_VALID : GDT_NONE;
  const SYSTEMTIME* p = pTimeNew != nullptr ? pTimeNew : &none;
  return ::SendMessageA(m_hWnd, DTM_SETSYSTEMTIME, flag, reinterpret_cast<LPARAM>(p)) != 0 ? TRUE : FALSE;
}

BOOL CDateTimeCtrl::SetTime(const CTime& timeNew) {
  // The local fields of the time; the control keeps no time zone.
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(timeNew.GetYear());
  st.wMonth = static_cast<WORD>(timeNew.GetMonth());
  st.wDayOfWeek = static_cast<WORD>(timeNew.GetDayOfWeek() - 1);
  st.wDay = static_cast<WORD>(timeNew.GetDay());
  st.wHour = static_cast<WORD>(timeNew.GetHour());
  st.wMinute = static_cast<WORD>(timeNew.GetMinute());
  st.wSecond = static_cast<WORD>(timeNew.GetSecond());
  return SetTime(&st);
}
