#include "controls/CModelessDialog.h"

#include <vector>

BOOL CreateDialogFont(CFont& font, LPCTSTR lpszFaceName, int nPoints, BOOL bBold) {
  HDC hDC = ::GetDC(nullptr);
  int logPixelsY = ::GetDeviceCaps(hDC, LOGPIXELSY);
  ::ReleaseDC(nullptr, hDC);
  LOGFONTA lf = {};
  lf.lfHeight = DialogFontHeight(nPoints, logPixelsY);
  lf.lfWeight = DialogFontWeight(bBold != FALSE);
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, lpszFaceName != nullptr ? lpszFaceName : "", LF_FACESIZE);
  font.DeleteObject();
  return font.CreateFontIndirect(&lf);
}

IMPLEMENT_DYNAMIC(CModelessDialog, CDialog)

BEGIN_MESSAGE_MAP(CModelessDialog, CDialog)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, &CModelessDialog::OnToolTipText)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &CModelessDialog::OnToolTipText)
  ON_WM_CLOSE()
  ON_COMMAND(AFX_IDW_TOOLBAR, &CModelessDialog::OnViewToolBar)
END_MESSAGE_MAP()

CModelessDialog::CModelessDialog()
    : m_lpButtons(nullptr),
      m_nButtons(0),
      m_nBarOffset(0),
      m_nToolBarId(0),
      m_nNormalBmp(0),
      m_nDisabledBmp(0),
      m_nHotBmp(0),
      m_lpIndicators(nullptr),
      m_nIndicators(0),
      m_lpPaneWidths(nullptr),
      m_pParentWnd(nullptr) {}

CModelessDialog::~CModelessDialog() {}

void CModelessDialog::Store(CWnd* pParentWnd, const UINT* lpIndicators, int nIndicators,
                            const int* lpPaneWidths, const UINT* lpButtons, int nButtons, UINT nToolBarId,
                            UINT nNormalBmp, UINT nDisabledBmp, UINT nHotBmp, int nComboCapacity,
                            int nButtonCapacity, int nPictureCapacity) {
  m_pParentWnd = pParentWnd;
  m_lpIndicators = lpIndicators;
  m_nIndicators = nIndicators;
  m_lpPaneWidths = lpPaneWidths;
  m_lpButtons = lpButtons;
  m_nButtons = nButtons;
  m_nToolBarId = static_cast<int32_t>(nToolBarId);
  m_nNormalBmp = static_cast<int32_t>(nNormalBmp);
  m_nDisabledBmp = static_cast<int32_t>(nDisabledBmp);
  m_nHotBmp = static_cast<int32_t>(nHotBmp);
  m_wndToolBar.SetCapacities(nComboCapacity != 0 ? nComboCapacity : -1,
                             nButtonCapacity != 0 ? nButtonCapacity : -1,
                             nPictureCapacity != 0 ? nPictureCapacity : -1);
}

BOOL CModelessDialog::CreateModeless(UINT nIDTemplate, CWnd* pParentWnd, const UINT* lpIndicators,
                                     int nIndicators, const int* lpPaneWidths, const UINT* lpButtons,
                                     int nButtons, UINT nToolBarId, UINT nNormalBmp, UINT nDisabledBmp,
                                     UINT nHotBmp, int nComboCapacity, int nButtonCapacity,
                                     int nPictureCapacity) {
  Store(pParentWnd, lpIndicators, nIndicators, lpPaneWidths, lpButtons, nButtons, nToolBarId, nNormalBmp,
        nDisabledBmp, nHotBmp, nComboCapacity, nButtonCapacity, nPictureCapacity);
  return CDialog::Create(nIDTemplate, pParentWnd);
}

BOOL CModelessDialog::CreateModelessIndirect(LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd,
                                             const UINT* lpIndicators, int nIndicators,
                                             const int* lpPaneWidths, const UINT* lpButtons, int nButtons,
                                             UINT nToolBarId, UINT nNormalBmp, UINT nDisabledBmp,
                                             UINT nHotBmp, int nComboCapacity, int nButtonCapacity,
                                             int nPictureCapacity) {
  Store(pParentWnd, lpIndicators, nIndicators, lpPaneWidths, lpButtons, nButtons, nToolBarId, nNormalBmp,
        nDisabledBmp, nHotBmp, nComboCapacity, nButtonCapacity, nPictureCapacity);
  return CDialog::CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CModelessDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  // A sizing frame would give the status bar a size grip.
  DWORD thick = GetStyle() & WS_THICKFRAME;
  if (thick != 0) ModifyStyle(WS_THICKFRAME, 0);
  BOOL created = m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR);
  if (thick != 0) ModifyStyle(0, WS_THICKFRAME);
  if (!created) {
    AfxMessageBox("Failed to create resources!");
    return FALSE;
  }
  if (m_lpIndicators != nullptr && m_nIndicators > 0) {
    if (!m_wndStatusBar.SetIndicators(m_lpIndicators, m_nIndicators)) {
      AfxMessageBox("Failed to set status bar indicators!");
      return FALSE;
    }
    for (int i = 0; i < m_nIndicators; ++i) {
      int width = m_lpPaneWidths != nullptr ? m_lpPaneWidths[i] : 0;
      m_wndStatusBar.SetPaneText(i, "");
      m_wndStatusBar.SetPaneInfo(i, m_lpIndicators[i], width == 0 ? SBPS_STRETCH : SBPS_NORMAL, width);
    }
  }

  CreateDialogFont(m_dlgFont, "Small Fonts", 7, FALSE);

  if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 0, 0),
                             AFX_IDW_TOOLBAR) ||
      !m_wndToolBar.LoadDlgToolBar(static_cast<UINT>(m_nToolBarId))) {
    AfxMessageBox("Failed to create resources!");
    return FALSE;
  }
  if (m_lpButtons != nullptr && m_nButtons > 0) m_wndToolBar.SetButtons(m_lpButtons, m_nButtons);

  if (m_nNormalBmp != 0 && LoadButtonImageList(static_cast<UINT>(m_nNormalBmp), m_ilNormal)) {
    m_wndToolBar.SetImageList(&m_ilNormal);
  }
  if (m_nDisabledBmp != 0 && LoadButtonImageList(static_cast<UINT>(m_nDisabledBmp), m_ilDisabled)) {
    m_wndToolBar.SetDisabledImageList(&m_ilDisabled);
  }
  if (m_nHotBmp != 0 && LoadButtonImageList(static_cast<UINT>(m_nHotBmp), m_ilHot)) {
    m_wndToolBar.SetHotImageList(&m_ilHot);
  }
  return TRUE;
}

BOOL CModelessDialog::LoadButtonImageList(UINT nBitmapId, CImageList& imageList) {
  HBITMAP hBitmap = static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapId),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (hBitmap == nullptr) return FALSE;
  DIBSECTION ds = {};
  if (::GetObjectA(hBitmap, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBits != nullptr &&
      ds.dsBm.bmBitsPixel == 24) {
    size_t size = static_cast<size_t>(ds.dsBm.bmWidthBytes) * static_cast<size_t>(ds.dsBm.bmHeight);
    ReplaceLightGrey(static_cast<BYTE*>(ds.dsBm.bmBits), size, ds.dsBm.bmWidth, ds.dsBm.bmHeight,
                     ::GetSysColor(COLOR_BTNFACE));
  }
  CBitmap bitmap;
  bitmap.Attach(hBitmap);
  imageList.DeleteImageList();
  if (!imageList.Create(16, 16, ILC_COLOR24 | ILC_MASK, 32, 0)) return FALSE;
  imageList.Add(&bitmap, RGB(0, 0, 0));
  return TRUE;
}

void CModelessDialog::RecalcBarLayout() {
  CRect client;
  GetClientRect(&client);
  CRect area;
  RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0, reposQuery, &area, &client);
  bool toolBarShown = m_wndToolBar.GetSafeHwnd() != nullptr && m_wndToolBar.IsWindowVisible();
  BarLayoutChange change = ComputeBarLayout(m_layout, toolBarShown, client, area);
  m_nBarOffset = area.top - client.top;

  if (change.moveX != 0 || change.moveY != 0) {
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
      UINT id = static_cast<UINT>(::GetDlgCtrlID(h));
      if (id >= AFX_IDW_CONTROLBAR_FIRST && id <= AFX_IDW_CONTROLBAR_LAST) continue;  // placed below
      CRect rc;
      ::GetWindowRect(h, &rc);
      ScreenToClient(&rc);
      ::SetWindowPos(h, nullptr, rc.left + change.moveX, rc.top + change.moveY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
  }
  if (change.growX != 0 || change.growY != 0) {
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + change.growX, window.Height() + change.growY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
  Invalidate();
}

void CModelessDialog::OnViewToolBar() {
  if (m_wndToolBar.GetSafeHwnd() == nullptr) return;
  if (m_wndToolBar.IsWindowVisible()) {
    m_wndToolBar.ShowWindow(SW_HIDE);
  } else {
    m_wndToolBar.ShowWindow(SW_SHOWNOACTIVATE);
  }
  RecalcBarLayout();
}

CComboBox* CModelessDialog::AddToolBarCombo(UINT nCommandId, int nWidth, int nDropHeight) {
  if (m_wndToolBar.GetSafeHwnd() == nullptr) return nullptr;
  int index = m_wndToolBar.CommandToIndex(nCommandId);
  if (index < 0) return nullptr;
  CComboBox* pCombo = m_wndToolBar.TakeCombo();
  if (pCombo == nullptr) return nullptr;
  m_wndToolBar.SetButtonInfo(index, nCommandId, TBBS_SEPARATOR, nWidth);
  CRect rc;
  m_wndToolBar.GetItemRect(index, &rc);
  rc.right -= 2;
  if (index != 0) rc.left += 2;
  rc.top += 2;
  rc.bottom += nDropHeight;
  if (pCombo->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, rc, &m_wndToolBar, nCommandId)) {
    pCombo->SetFont(&m_dlgFont);
    pCombo->ShowWindow(SW_SHOW);
  } else if (pCombo->GetSafeHwnd() != nullptr) {
    pCombo->ShowWindow(SW_HIDE);
  }
  RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
  return pCombo;
}

void CModelessDialog::SetStatusPaneText(UINT nPaneId, LPCTSTR lpszText, int nAlignment) {
  if (m_wndStatusBar.GetSafeHwnd() == nullptr) return;
  int index = m_wndStatusBar.CommandToIndex(nPaneId);
  if (index < 0) return;
  m_wndStatusBar.SetPaneText(index, AlignPaneText(lpszText, nAlignment), TRUE);
}

BOOL CModelessDialog::AddStatusPaneControl(CStatic* pControl, LPCTSTR lpszText, UINT nPaneId, int xOffset,
                                           int yOffset, int nWidth, int nHeight, DWORD dwStyle,
                                           UINT nControlId, BOOL bHidden) {
  if (pControl == nullptr || m_wndStatusBar.GetSafeHwnd() == nullptr) return FALSE;
  int index = m_wndStatusBar.CommandToIndex(nPaneId);
  if (index < 0) return FALSE;
  CRect rc;
  m_wndStatusBar.GetItemRect(index, &rc);
  rc.DeflateRect(1, 1);
  rc.OffsetRect(xOffset, yOffset);
  if (nWidth != 0) rc.right = rc.left + nWidth;
  if (nHeight != 0) rc.bottom = rc.top + nHeight;
  rc.right -= 1;
  rc.bottom -= 1;
  DWORD style = dwStyle | WS_CHILD | (bHidden ? 0 : WS_VISIBLE);
  if (!pControl->Create(lpszText, style, rc, &m_wndStatusBar, nControlId)) {
    if (pControl->GetSafeHwnd() != nullptr) pControl->ShowWindow(SW_HIDE);
    return FALSE;
  }
  if (m_wndStatusBar.GetBarFont().m_hObject != nullptr) pControl->SetFont(&m_wndStatusBar.GetBarFont());
  if (!bHidden) pControl->ShowWindow(SW_SHOW);
  return TRUE;
}

BOOL CModelessDialog::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
  UINT_PTR nID = pNMHDR->idFrom;
  bool wide = pNMHDR->code == TTN_NEEDTEXTW;
  bool byWindow = wide ? (reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags & TTF_IDISHWND) != 0
                       : (reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags & TTF_IDISHWND) != 0;
  if (byWindow) nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
  CString tip;
  if (nID != 0) {
    char text[257] = {0};
    if (::LoadStringA(AfxGetResourceHandle(), static_cast<UINT>(nID), text, sizeof text) > 0) {
      tip = ToolTipFromString(text);
    }
  }
  if (wide) {
    NMTTDISPINFOW* p = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    ::MultiByteToWideChar(CP_ACP, 0, tip, -1, p->szText, sizeof p->szText / sizeof p->szText[0]);
    p->szText[sizeof p->szText / sizeof p->szText[0] - 1] = 0;
  } else {
    NMTTDISPINFOA* p = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    lstrcpynA(p->szText, tip, sizeof p->szText);
  }
  if (pResult != nullptr) *pResult = 0;
  ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
  return TRUE;
}

void CModelessDialog::OnClose() {
  m_dlgFont.DeleteObject();
  Default();
  ::PostQuitMessage(0);
}
