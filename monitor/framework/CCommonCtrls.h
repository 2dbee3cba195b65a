// Common-control wrappers: CTabCtrl ("SysTabControl32") and CSliderCtrl
// ("msctls_trackbar32"). Windows build only.
//
// Each is a CWnd of the system's class, made with Create or bound to a
// dialog's control with DDX_Control / SubclassDlgItem. Tab changes reach
// the parent as WM_NOTIFY TCN_SELCHANGING / TCN_SELCHANGE; a derived tab
// control may take them itself with ON_NOTIFY_REFLECT. Slider moves reach
// the parent as WM_HSCROLL / WM_VSCROLL.
#pragma once

#ifdef _WIN32

#include "framework/CWnd.h"

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  int GetItemCount() const { return static_cast<int>(Send(TCM_GETITEMCOUNT)); }
  // The index of the new tab, -1 when it could not be inserted.
  LONG InsertItem(int nItem, LPCTSTR lpszItem) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPSTR>(lpszItem);
    return InsertItem(nItem, &item);
  }
  LONG InsertItem(int nItem, TCITEMA* pTabCtrlItem) {
    return static_cast<LONG>(Send(TCM_INSERTITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL GetItem(int nItem, TCITEMA* pTabCtrlItem) const {
    return static_cast<BOOL>(Send(TCM_GETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL SetItem(int nItem, TCITEMA* pTabCtrlItem) {
    return static_cast<BOOL>(Send(TCM_SETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(pTabCtrlItem)));
  }
  BOOL DeleteItem(int nItem) { return static_cast<BOOL>(Send(TCM_DELETEITEM, static_cast<WPARAM>(nItem))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(Send(TCM_DELETEALLITEMS)); }
  // The selected tab, -1 for none.
  int GetCurSel() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
  // Selects a tab without notifying the parent; the previous selection or -1.
  int SetCurSel(int nItem) { return static_cast<int>(Send(TCM_SETCURSEL, static_cast<WPARAM>(nItem))); }
  int GetCurFocus() const { return static_cast<int>(Send(TCM_GETCURFOCUS)); }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return static_cast<BOOL>(Send(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
  }
  int GetRowCount() const { return static_cast<int>(Send(TCM_GETROWCOUNT)); }
  // bLarger FALSE: the display area inside a window rectangle; TRUE: the
  // window rectangle around a display area.
  void AdjustRect(BOOL bLarger, LPRECT lpRect) { Send(TCM_ADJUSTRECT, bLarger, reinterpret_cast<LPARAM>(lpRect)); }
  CSize SetItemSize(CSize size) {
    LRESULT r = Send(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
    return CSize(LOWORD(r), HIWORD(r));
  }
  void SetPadding(CSize size) { Send(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
  HIMAGELIST SetImageList(HIMAGELIST hImageList) {
    return reinterpret_cast<HIMAGELIST>(Send(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImageList)));
  }

private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    Send(TBM_SETRANGEMIN, FALSE, nMin);
    Send(TBM_SETRANGEMAX, bRedraw, nMax);
  }
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { Send(TBM_SETRANGEMIN, bRedraw, nMin); }
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { Send(TBM_SETRANGEMAX, bRedraw, nMax); }
  void GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
  }
  int GetRangeMin() const { return static_cast<int>(Send(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(Send(TBM_GETRANGEMAX)); }
  // The control keeps the position inside its range.
  void SetPos(int nPos) { Send(TBM_SETPOS, TRUE, nPos); }
  int GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
  // A tick mark every nFreq values (TBS_AUTOTICKS controls).
  void SetTicFreq(int nFreq) { Send(TBM_SETTICFREQ, static_cast<WPARAM>(nFreq)); }
  int GetNumTics() const { return static_cast<int>(Send(TBM_GETNUMTICS)); }
  int SetPageSize(int nSize) { return static_cast<int>(Send(TBM_SETPAGESIZE, 0, nSize)); }
  int SetLineSize(int nSize) { return static_cast<int>(Send(TBM_SETLINESIZE, 0, nSize)); }

private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

#endif  // _WIN32
