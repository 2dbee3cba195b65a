// A group box whose title is a check box or radio button: the title
// enables or disables every control lying inside the box. Radio-titled
// boxes of one parent with the same group id exclude each other. Windows
// build only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

class CCheckableGroupBox : public CButton {
  DECLARE_DYNAMIC(CCheckableGroupBox)

public:
  // The title button's control id (a child of the box).
  static const UINT kTitleId = 0xFFFF;

  CCheckableGroupBox();
  // BS_AUTOCHECKBOX or BS_AUTORADIOBUTTON makes the title a button of that
  // kind; other styles leave the plain title. With skipStatics the static
  // controls inside the box are never enabled or disabled.
  void SetTitleStyle(UINT nStyle, BOOL bSkipStatics = FALSE);
  // The title's check state, -1 without a title button.
  int GetCheck() const;
  void SetCheck(int nCheck);
  void SetGroupID(int nGroupID) { m_nGroupID = nGroupID; }
  int GetGroupID() const { return m_nGroupID; }
  CButton& GetTitle() { return m_TitleBox; }

protected:
  afx_msg void OnTitleClicked();
  afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  DECLARE_MESSAGE_MAP()

private:
  // Enables or disables the controls inside the box as the title says.
  void UpdateContents();

  CButton m_TitleBox;
  int32_t m_nGroupID;
  BYTE m_bSkipStatics;
};

#endif  // _WIN32
