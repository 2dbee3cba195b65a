// A drop-down list with a check box per item. The closed box shows the
// checked items joined by the locale's list separator; clicking an item of
// the open list toggles it and keeps the list open. An item's check state
// is its item data (0 unchecked). Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

class CCheckComboBox : public CComboBox {
  DECLARE_DYNAMIC(CCheckComboBox)

public:
  CCheckComboBox();
  ~CCheckComboBox() override;

  // Forces the owner-drawn drop-down list styles the box needs.
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // The CB_SETITEMDATA result; a change repaints the closed box.
  int SetItemCheck(int nIndex, BOOL bCheck);
  BOOL GetItemCheck(int nIndex) const;
  // Shown in the closed box until the next check change.
  void SetDisplayText(LPCTSTR lpszText);
  // What the closed box shows (WM_GETTEXT gives the same).
  CString GetSummaryText();
  // The list window, once it has been seen (nullptr before).
  HWND GetListHwnd() const { return m_hListBox; }

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg void OnDropDown();
  DECLARE_MESSAGE_MAP()

private:
  static LRESULT CALLBACK CheckListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  void SubclassList(HWND hList);
  void ToggleItem(HWND hList, int nIndex);

  HWND m_hListBox;
  CString m_strText;
  bool m_bTextUpdated;
  bool m_bItemHeightSet;
};

#endif  // _WIN32
