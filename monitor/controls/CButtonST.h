// A push button drawn by the program: icons or bitmaps with text, colours
// per state, a flat look that highlights under the mouse, a check-box mode,
// a drop-down menu, a web link, its own cursor and a tooltip. Windows build
// only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

class CButtonST : public CButton {
  DECLARE_DYNAMIC(CButtonST)

public:
  // Result codes of the setters.
  enum {
    BTNST_OK = 0,
    BTNST_INVALIDRESOURCE = 1,
    BTNST_FAILEDMASK = 2,
    BTNST_INVALIDINDEX = 3,
    BTNST_INVALIDALIGN = 4,
    BTNST_BADPARAM = 5,
    BTNST_INVALIDPRESSEDSTYLE = 6,
  };
  // Image placement.
  enum { ST_ALIGN_HORIZ = 0, ST_ALIGN_VERT = 1, ST_ALIGN_HORIZ_RIGHT = 2 };
  // Colour slots.
  enum {
    BTNST_COLOR_BK_IN = 0,
    BTNST_COLOR_FG_IN,
    BTNST_COLOR_BK_OUT,
    BTNST_COLOR_FG_OUT,
    BTNST_COLOR_BK_FOCUS,
    BTNST_COLOR_FG_FOCUS,
    BTNST_MAX_COLORS
  };
  enum { BTNST_PRESSED_LEFTRIGHT = 0, BTNST_PRESSED_TOPBOTTOM = 1 };

  CButtonST();
  ~CButtonST() override;

  DWORD SetIcon(HICON hIconIn, HICON hIconOut = nullptr);
  DWORD SetIcon(int nIconIn, int nIconOut = 0);
  // Bitmaps drawn through a mask of crTransColor.
  DWORD SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut = nullptr,
                   COLORREF crTransColorOut = 0);
  DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
  DWORD SetAlign(BYTE byAlign, BOOL bRepaint = TRUE);
  DWORD SetPressedStyle(BYTE byStyle, BOOL bRepaint = TRUE);
  DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
  int GetCheck() const { return m_nCheck; }
  DWORD SetDefaultColors(BOOL bRepaint = TRUE);
  DWORD SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
  DWORD GetColor(BYTE byColorIndex, COLORREF* crpColor) const;
  DWORD SetURL(LPCTSTR lpszURL = nullptr);
  const char* GetURL() const { return m_szURL; }
  DWORD SetMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint = TRUE);
  DWORD SetMenu(HMENU hMenu, HWND hParentWnd, BOOL bRepaint = TRUE);
  // Sent to hWnd before the menu opens: (message, (WPARAM) sub-menu, lParam).
  DWORD SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam = 0);
  DWORD SetBtnCursor(int nCursorId = 0, BOOL bRepaint = TRUE);
  DWORD SetBtnCursor(HCURSOR hCursor);
  void SetTooltipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
  void ActivateTooltip(BOOL bEnable = TRUE);
  DWORD DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
  DWORD DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
  DWORD DrawTransparent(BOOL bRepaint = FALSE);
  DWORD SetAlwaysTrack(BOOL bAlwaysTrack = TRUE);
  BOOL IsDefault() const { return m_bIsDefault; }
  BOOL IsFlat() const { return m_bIsFlat; }
  BOOL IsHovering() const { return m_bMouseOnButton; }
  BOOL IsCheckBox() const { return m_bIsCheckBox; }
  CSize GetPressedOffset() const { return m_ptPressedOffset; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
  void PreSubclassWindow() override;
  virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
  virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);

  afx_msg BOOL OnClicked();
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg LRESULT OnCancelModeMsg(WPARAM wParam, LPARAM lParam);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheckMsg(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheckMsg(WPARAM wParam, LPARAM lParam);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

private:
  struct STRUCT_ICONS {
    HICON hIcon = nullptr;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
  };
  struct STRUCT_BITMAPS {
    HBITMAP hBitmap = nullptr;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
    HBITMAP hMask = nullptr;
    COLORREF crTransparent = 0;
  };

  void CancelHover();
  void FreeResources(BOOL bCheckForNULL = TRUE);
  void PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                        DWORD dwHeight, CRect* rpImage);
  void DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                   BOOL bIsDisabled);
  void DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                     BOOL bIsDisabled);
  void DrawTheText(CDC* pDC, LPCTSTR lpszText, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                   BOOL bIsDisabled);
  void PaintBk(CDC* pDC);
  void InitToolTip();
  static HBITMAP CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor);

  BOOL m_bIsFlat;
  BOOL m_bDrawBorder;
  BOOL m_bDrawFlatFocus;
  BOOL m_bIsDefault;
  BOOL m_bIsCheckBox;
  int m_nCheck;
  BOOL m_bMouseOnButton;
  BOOL m_bIsPressed;
  BOOL m_bIsFocused;
  BOOL m_bIsDisabled;
  BOOL m_bMenuDisplayed;
  UINT m_nTypeStyle;
  BYTE m_byAlign;
  CSize m_ptImageOrg;  // margins x, y
  CSize m_ptPressedOffset;
  BOOL m_bDrawTransparent;
  BOOL m_bAlwaysTrack;
  STRUCT_ICONS m_csIcons[2];
  STRUCT_BITMAPS m_csBitmaps[2];
  COLORREF m_crColors[BTNST_MAX_COLORS];
  HCURSOR m_hCursor;
  HMENU m_hMenu;
  HWND m_hParentWndMenu;
  HWND m_hWndCallback;
  UINT m_nCallbackMsg;
  LPARAM m_lCallbackParam;
  char m_szURL[MAX_PATH + 1];
  CToolTipCtrl m_ToolTip;
  // The parent's background behind the button, for the transparent look.
  CDC m_dcBk;
  CBitmap m_bmpBk;
  HGDIOBJ m_hOldBk;
  BOOL m_bOwnMenu;
};

#endif  // _WIN32
