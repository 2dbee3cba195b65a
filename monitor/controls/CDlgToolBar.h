// Dialog bars: a tool bar that can carry combo boxes, drawn buttons and
// pictures of its own, and a status bar with a tooltip over its message
// pane. Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

#include "controls/CButtonST.h"
#include "controls/CPictureEx.h"

class CDlgToolBar : public CToolBar {
  DECLARE_DYNAMIC(CDlgToolBar)

public:
  CDlgToolBar();
  ~CDlgToolBar() override;

  // How many extra controls of each kind the bar can hold; set before
  // loading. A negative value leaves that capacity as it is.
  void SetCapacities(int nCombos, int nButtons, int nPictures);
  // Loads the tool-bar resource (0: none, the buttons come from SetButtons
  // alone), sets the bar's tooltip and flat styles and makes the pools of
  // extra controls. False when the resource does not load.
  BOOL LoadDlgToolBar(UINT nIDResource);

  // The next unused control of a pool, nullptr when the pool is used up.
  CComboBox* TakeCombo();
  CButtonST* TakeButton();
  CPictureEx* TakePicture();
  int GetComboCapacity() const { return m_nComboCapacity; }
  int GetCombosUsed() const { return m_nCombosUsed; }

protected:
  DECLARE_MESSAGE_MAP()

private:
  void FreePools();

  CComboBox* m_pCombos;
  int m_nComboCapacity;
  int m_nCombosUsed;
  CButtonST* m_pButtons;
  int m_nButtonCapacity;
  int m_nButtonsUsed;
  CPictureEx* m_pPictures;
  int m_nPictureCapacity;
  int m_nPicturesUsed;
};

class CStatusBarEx : public CStatusBar {
  DECLARE_DYNAMIC(CStatusBarEx)

public:
  CStatusBarEx();
  ~CStatusBarEx() override;

  // Creates the bar and its "Courier New" 9-point font.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  // A tooltip over the bar, shown while the mouse is over the first pane.
  BOOL CreateToolTip(int nInitialDelay, int nShownTime, BOOL bBalloon);
  void SetToolTipText(LPCTSTR lpszText);
  CToolTipCtrl& GetToolTip() { return m_ToolTip; }
  CFont& GetBarFont() { return m_Font; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  DECLARE_MESSAGE_MAP()

private:
  void MakeFont();

  CToolTipCtrl m_ToolTip;
  CFont m_Font;
  CString m_strTip;
};

#endif  // _WIN32
