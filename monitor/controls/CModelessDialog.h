// A modeless dialog with a tool bar at the top and a status bar at the
// bottom, as a frame window has: the monitor's main window. It creates both
// bars, loads the tool bar's image lists, keeps the controls clear of the
// bars when the tool bar comes and goes, gives tool-bar buttons their tips
// and lets the owner put combos on the tool bar and controls into panes.
// Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

#include "controls/CDlgToolBar.h"
#include "controls/DialogBars.h"

// A font for dialog controls: the face at `points` on the screen (height
// −(points × LOGPIXELSY / 72)), weight 700 when bold, else 400.
BOOL CreateDialogFont(CFont& font, LPCTSTR lpszFaceName, int nPoints, BOOL bBold);

class CModelessDialog : public CDialog {
  DECLARE_DYNAMIC(CModelessDialog)

public:
  CModelessDialog();
  ~CModelessDialog() override;

  // Stores the bars' description and creates the dialog modeless from the
  // template. Capacities of 0 leave the tool bar's as they are; resource
  // and bitmap ids of 0 mean none.
  BOOL CreateModeless(UINT nIDTemplate, CWnd* pParentWnd, const UINT* lpIndicators, int nIndicators,
                      const int* lpPaneWidths, const UINT* lpButtons, int nButtons, UINT nToolBarId,
                      UINT nNormalBmp, UINT nDisabledBmp, UINT nHotBmp, int nComboCapacity,
                      int nButtonCapacity, int nPictureCapacity);
  // The same from a template in memory.
  BOOL CreateModelessIndirect(LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd, const UINT* lpIndicators,
                              int nIndicators, const int* lpPaneWidths, const UINT* lpButtons, int nButtons,
                              UINT nToolBarId, UINT nNormalBmp, UINT nDisabledBmp, UINT nHotBmp,
                              int nComboCapacity, int nButtonCapacity, int nPictureCapacity);

  // Moves the controls clear of the bars and sizes the window to hold
  // both; called after initialisation and whenever the tool bar is shown
  // or hidden.
  void RecalcBarLayout();
  // A drop-down list combo box over the tool-bar button of nCommandId,
  // which becomes a separator of nWidth; nullptr when the bar has no combo
  // left.
  CComboBox* AddToolBarCombo(UINT nCommandId, int nWidth, int nDropHeight);
  void SetStatusPaneText(UINT nPaneId, LPCTSTR lpszText, int nAlignment);
  BOOL AddStatusPaneControl(CStatic* pControl, LPCTSTR lpszText, UINT nPaneId, int xOffset, int yOffset,
                            int nWidth, int nHeight, DWORD dwStyle, UINT nControlId, BOOL bHidden);
  // Loads a 16 x 16 tool-bar strip with its light grey shown as the
  // current button face.
  BOOL LoadButtonImageList(UINT nBitmapId, CImageList& imageList);

  CDlgToolBar& GetToolBar() { return m_wndToolBar; }
  CStatusBarEx& GetStatusBar() { return m_wndStatusBar; }
  CFont& GetDialogFont() { return m_dlgFont; }
  int GetBarOffset() const { return m_nBarOffset; }

protected:
  BOOL OnInitDialog() override;
  afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnClose();
  afx_msg void OnViewToolBar();
  DECLARE_MESSAGE_MAP()

private:
  void Store(CWnd* pParentWnd, const UINT* lpIndicators, int nIndicators, const int* lpPaneWidths,
             const UINT* lpButtons, int nButtons, UINT nToolBarId, UINT nNormalBmp, UINT nDisabledBmp,
             UINT nHotBmp, int nComboCapacity, int nButtonCapacity, int nPictureCapacity);

  const UINT* m_lpButtons;
  int32_t m_nButtons;
  int32_t m_nBarOffset;
  int32_t m_nToolBarId;
  int32_t m_nNormalBmp;
  int32_t m_nDisabledBmp;
  int32_t m_nHotBmp;
  CDlgToolBar m_wndToolBar;
  CImageList m_ilNormal;
  CImageList m_ilDisabled;
  CImageList m_ilHot;
  CFont m_dlgFont;
  const UINT* m_lpIndicators;
  int32_t m_nIndicators;
  const int* m_lpPaneWidths;
  CWnd* m_pParentWnd;
  CStatusBarEx m_wndStatusBar;
  BarLayoutState m_layout;
};

#endif  // _WIN32
