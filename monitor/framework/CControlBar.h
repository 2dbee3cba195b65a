// Control bars: CToolBar and CStatusBar, laid out by CWnd::RepositionBars
// along the top and bottom of a frame or dialog. Windows build only.
//
// A bar forwards its children's WM_COMMAND and WM_NOTIFY (and owner-draw
// messages) to its owner after its own map had its turn, so a combo box
// placed on a tool bar notifies the dialog that owns the bar.
#pragma once

#ifdef _WIN32

#include "framework/CArray.h"
#include "framework/CControls.h"

// Bar styles (SetBarStyle).
const DWORD CBRS_ALIGN_LEFT = 0x1000;
const DWORD CBRS_ALIGN_TOP = 0x2000;
const DWORD CBRS_ALIGN_RIGHT = 0x4000;
const DWORD CBRS_ALIGN_BOTTOM = 0x8000;
const DWORD CBRS_ALIGN_ANY = 0xF000;
const DWORD CBRS_BORDER_LEFT = 0x0100;
const DWORD CBRS_BORDER_TOP = 0x0200;
const DWORD CBRS_BORDER_RIGHT = 0x0400;
const DWORD CBRS_BORDER_BOTTOM = 0x0800;
const DWORD CBRS_BORDER_ANY = 0x0F00;
const DWORD CBRS_TOOLTIPS = 0x0010;
const DWORD CBRS_FLYBY = 0x0020;
const DWORD CBRS_FLOAT_MULTI = 0x0040;
const DWORD CBRS_SIZE_DYNAMIC = 0x0080;
const DWORD CBRS_SIZE_FIXED = 0x0002;
const DWORD CBRS_HIDE_INPLACE = 0x0008;
const DWORD CBRS_GRIPPER = 0x00400000;
const DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
const DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Tool-bar button styles, as TB button styles.
const UINT TBBS_BUTTON = TBSTYLE_BUTTON;
const UINT TBBS_SEPARATOR = TBSTYLE_SEP;
const UINT TBBS_CHECKBOX = TBSTYLE_CHECK;

// Status-bar pane styles.
const UINT SBPS_NORMAL = 0x0000;
const UINT SBPS_NOBORDERS = SBT_NOBORDERS;
const UINT SBPS_POPOUT = SBT_POPOUT;
const UINT SBPS_OWNERDRAW = SBT_OWNERDRAW;
const UINT SBPS_DISABLED = 0x04000000;
const UINT SBPS_STRETCH = 0x08000000;
const UINT ID_SEPARATOR = 0;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)

public:
  void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
  DWORD GetBarStyle() const { return m_dwStyle; }
  // The bar's size when laid out along a side of its parent's client area
  // of the given length.
  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  int GetCount() const;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  DWORD m_dwStyle = 0;
};

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)

public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT nID = AFX_IDW_TOOLBAR);
  // dwCtrlStyle: TBSTYLE_* of the common control; dwStyle: WS_* | CBRS_*.
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);
  // Loads a tool-bar resource (type 241: version, image width, height,
  // count, then the command ids, 0 for separators) and the bitmap of the
  // same id.
  BOOL LoadToolBar(UINT nIDResource);
  BOOL LoadBitmap(UINT nIDResource);
  // Replaces every button: ids of the buttons in order, ID_SEPARATOR (0)
  // for separators. Images are numbered in order of the non-separators.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  // For a separator (TBBS_SEPARATOR) iImage is its width.
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);

  HIMAGELIST SetImageList(CImageList* p) { return SetList(TB_SETIMAGELIST, p); }
  HIMAGELIST SetDisabledImageList(CImageList* p) { return SetList(TB_SETDISABLEDIMAGELIST, p); }
  HIMAGELIST SetHotImageList(CImageList* p) { return SetList(TB_SETHOTIMAGELIST, p); }

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

private:
  HIMAGELIST SetList(UINT msg, CImageList* p) {
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, msg, 0, reinterpret_cast<LPARAM>(p != nullptr ? p->m_hImageList : nullptr)));
  }
};

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)

public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
  // One pane per id. A pane's text starts as the string resource of its id
  // (empty when there is none); its width as that text's width.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  // cxWidth is the pane's width in pixels; SBPS_STRETCH panes share what
  // the fixed ones leave.
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  CString GetPaneText(int nIndex) const;

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  struct Pane {
    UINT nID;
    UINT nStyle;
    int cxWidth;
    CString strText;
  };
  void UpdateAllPanes();
  Pane* PaneAt(int nIndex);
  const Pane* PaneAt(int nIndex) const;
  CArray<Pane, const Pane&> m_panes;
};

#endif  // _WIN32
