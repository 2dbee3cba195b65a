#include "controls/CCheckableGroupBox.h"

#include <string.h>

#include <vector>

IMPLEMENT_DYNAMIC(CCheckableGroupBox, CButton)

BEGIN_MESSAGE_MAP(CCheckableGroupBox, CButton)
  ON_BN_CLICKED(CCheckableGroupBox::kTitleId, &CCheckableGroupBox::OnTitleClicked)
  ON_MESSAGE(BM_GETCHECK, &CCheckableGroupBox::OnGetCheck)
  ON_MESSAGE(BM_SETCHECK, &CCheckableGroupBox::OnSetCheck)
  ON_WM_ENABLE()
  ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CCheckableGroupBox::CCheckableGroupBox() : m_nGroupID(0), m_bSkipStatics(0) {}

void CCheckableGroupBox::SetTitleStyle(UINT nStyle, BOOL bSkipStatics) {
  m_bSkipStatics = bSkipStatics ? 1 : 0;
  if (nStyle != BS_AUTOCHECKBOX && nStyle != BS_AUTORADIOBUTTON) return;
  if (m_TitleBox.GetSafeHwnd() != nullptr) m_TitleBox.DestroyWindow();
  CString text;
  GetWindowText(text);
  // The title is measured in the box's own font so it covers the box's text.
  CFont* pFont = GetFont();
  CClientDC dc(this);
  CFont* pOld = pFont != nullptr && pFont->m_hObject != nullptr ? dc.SelectObject(pFont) : nullptr;
  CSize ext = dc.GetTextExtent(text);
  if (pOld != nullptr) dc.SelectObject(pOld);
  CRect rc(5, 0, 5 + ext.cx + 26, ext.cy + 2);
  m_TitleBox.Create(text, nStyle | WS_CHILD | WS_TABSTOP, rc, this, kTitleId);
  if (pFont != nullptr) m_TitleBox.SetFont(pFont, TRUE);
  m_TitleBox.ShowWindow(SW_SHOW);
  UpdateContents();
}

int CCheckableGroupBox::GetCheck() const {
  if (m_TitleBox.GetSafeHwnd() == nullptr) return -1;
  return m_TitleBox.GetCheck();
}

void CCheckableGroupBox::SetCheck(int nCheck) {
  if (m_TitleBox.GetSafeHwnd() == nullptr) return;
  m_TitleBox.SetCheck(nCheck);
  UpdateContents();
}

LRESULT CCheckableGroupBox::OnGetCheck(WPARAM, LPARAM) { return GetCheck(); }

LRESULT CCheckableGroupBox::OnSetCheck(WPARAM wParam, LPARAM) {
  SetCheck(static_cast<int>(wParam));
  return 0;
}

void CCheckableGroupBox::UpdateContents() {
  if (m_TitleBox.GetSafeHwnd() == nullptr || m_hWnd == nullptr) return;
  CWnd* pParent = GetParent();
  if (pParent == nullptr) return;
  BOOL bEnable = m_TitleBox.GetCheck() == BST_CHECKED && m_TitleBox.IsWindowEnabled();
  CRect rcBox;
  GetWindowRect(&rcBox);
  std::vector<CCheckableGroupBox*> nested;
  for (HWND h = ::GetWindow(pParent->m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h == m_hWnd || h == m_TitleBox.m_hWnd) continue;
    CRect rc, common;
    ::GetWindowRect(h, &rc);
    // A window with exactly the box's rectangle is not inside it (another
    // box drawn on the same place).
    if (rc == rcBox || !::IntersectRect(&common, &rc, &rcBox)) continue;
    // A window that holds the whole box (an enclosing box, the dialog's
    // background picture) is not part of its contents: disabling it would
    // switch off the box itself, and an enclosing checkable box would be
    // asked to reapply its check in turn, without end.
    if (common == rcBox) continue;
    if (m_bSkipStatics) {
      char cls[32] = {0};
      ::GetClassNameA(h, cls, sizeof cls);
      CString name(cls);
      name.MakeLower();
      if (name == "static") continue;
    }
    ::EnableWindow(h, bEnable);
    CWnd* pWnd = CWnd::FromHandlePermanent(h);
    if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CCheckableGroupBox))) {
      nested.push_back(static_cast<CCheckableGroupBox*>(pWnd));
    }
  }
  // Boxes inside this one then let their own titles decide for their
  // contents.
  for (CCheckableGroupBox* p : nested) p->SetCheck(p->GetCheck());
}

void CCheckableGroupBox::OnTitleClicked() {
  UpdateContents();
  if ((m_TitleBox.GetStyle() & 0x0F) == BS_AUTORADIOBUTTON) {
    CWnd* pParent = GetParent();
    for (HWND h = pParent != nullptr ? ::GetWindow(pParent->m_hWnd, GW_CHILD) : nullptr; h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
      if (h == m_hWnd) continue;
      CWnd* pWnd = CWnd::FromHandlePermanent(h);
      if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CCheckableGroupBox))) continue;
      CCheckableGroupBox* pBox = static_cast<CCheckableGroupBox*>(pWnd);
      if (pBox->m_nGroupID == m_nGroupID) pBox->SetCheck(BST_UNCHECKED);
    }
  }
  CWnd* pParent = GetParent();
  if (pParent != nullptr) {
    pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
  }
}

void CCheckableGroupBox::OnEnable(BOOL bEnable) {
  if (m_TitleBox.GetSafeHwnd() != nullptr) m_TitleBox.EnableWindow(bEnable);
  UpdateContents();
  CButton::OnEnable(bEnable);
}

void CCheckableGroupBox::OnSetFocus(CWnd* pOldWnd) {
  if (m_TitleBox.GetSafeHwnd() != nullptr) {
    m_TitleBox.SetFocus();
    return;
  }
  CButton::OnSetFocus(pOldWnd);
}
