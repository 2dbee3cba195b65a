#include "controls/CButtonST.h"

#include <shellapi.h>
#include <string.h>

#include "controls/ControlText.h"

IMPLEMENT_DYNAMIC(CButtonST, CButton)

BEGIN_MESSAGE_MAP(CButtonST, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, &CButtonST::OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSELEAVE, &CButtonST::OnMouseLeave)
  ON_WM_KILLFOCUS()
  ON_MESSAGE(WM_CANCELMODE, &CButtonST::OnCancelModeMsg)
  ON_WM_ACTIVATE()
  ON_WM_ENABLE()
  ON_WM_SETCURSOR()
  ON_MESSAGE(WM_GETDLGCODE, &CButtonST::OnGetDlgCode)
  ON_MESSAGE(BM_SETSTYLE, &CButtonST::OnSetStyle)
  ON_MESSAGE(WM_SYSCOLORCHANGE, &CButtonST::OnSysColorChange)
  ON_MESSAGE(BM_GETCHECK, &CButtonST::OnGetCheckMsg)
  ON_MESSAGE(BM_SETCHECK, &CButtonST::OnSetCheckMsg)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

CButtonST::CButtonST()
    : m_bIsFlat(TRUE),
      m_bDrawBorder(TRUE),
      m_bDrawFlatFocus(FALSE),
      m_bIsDefault(FALSE),
      m_bIsCheckBox(FALSE),
      m_nCheck(0),
      m_bMouseOnButton(FALSE),
      m_bIsPressed(FALSE),
      m_bIsFocused(FALSE),
      m_bIsDisabled(FALSE),
      m_bMenuDisplayed(FALSE),
      m_nTypeStyle(0),
      m_byAlign(ST_ALIGN_HORIZ),
      m_ptImageOrg(3, 3),
      m_ptPressedOffset(1, 1),
      m_bDrawTransparent(FALSE),
      m_bAlwaysTrack(TRUE),
      m_hCursor(nullptr),
      m_hMenu(nullptr),
      m_hParentWndMenu(nullptr),
      m_hWndCallback(nullptr),
      m_nCallbackMsg(0),
      m_lCallbackParam(0),
      m_hOldBk(nullptr),
      m_bOwnMenu(FALSE) {
  m_szURL[0] = '\0';
  SetDefaultColors(FALSE);
}

CButtonST::~CButtonST() {
  if (m_dcBk.m_hDC != nullptr && m_hOldBk != nullptr) ::SelectObject(m_dcBk.m_hDC, m_hOldBk);
  FreeResources();
  if (m_hCursor != nullptr) ::DestroyCursor(m_hCursor);
  if (m_hMenu != nullptr && m_bOwnMenu) ::DestroyMenu(m_hMenu);
}

void CButtonST::PreSubclassWindow() {
  UINT nBS = GetButtonStyle();
  m_nTypeStyle = nBS & BS_TYPEMASK;
  // Check boxes (style bit 1) keep their own checked state and look.
  if ((nBS & 0x02) != 0) m_bIsCheckBox = TRUE;
  if (m_nTypeStyle == BS_DEFPUSHBUTTON) {
    m_bIsDefault = TRUE;
    m_nTypeStyle = BS_PUSHBUTTON;
  }
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

// ---- Setters ----------------------------------------------------------------

void CButtonST::FreeResources(BOOL bCheckForNULL) {
  if (bCheckForNULL) {
    for (int i = 0; i < 2; ++i) {
      if (m_csIcons[i].hIcon != nullptr) ::DestroyIcon(m_csIcons[i].hIcon);
      if (m_csBitmaps[i].hBitmap != nullptr) ::DeleteObject(m_csBitmaps[i].hBitmap);
      if (m_csBitmaps[i].hMask != nullptr) ::DeleteObject(m_csBitmaps[i].hMask);
    }
  }
  m_csIcons[0] = m_csIcons[1] = STRUCT_ICONS();
  m_csBitmaps[0] = m_csBitmaps[1] = STRUCT_BITMAPS();
}

DWORD CButtonST::SetIcon(int nIconIn, int nIconOut) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HICON hIn = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIconIn), IMAGE_ICON, 0, 0, 0));
  HICON hOut = nIconOut != 0
                   ? static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIconOut), IMAGE_ICON, 0, 0, 0))
                   : nullptr;
  return SetIcon(hIn, hOut);
}

DWORD CButtonST::SetIcon(HICON hIconIn, HICON hIconOut) {
  FreeResources();
  HICON icons[2] = {hIconIn, hIconOut};
  for (int i = 0; i < 2; ++i) {
    if (icons[i] == nullptr) continue;
    ICONINFO ii = {};
    if (!::GetIconInfo(icons[i], &ii)) {
      FreeResources();
      return BTNST_INVALIDRESOURCE;
    }
    BITMAP bm = {};
    ::GetObjectA(ii.hbmColor != nullptr ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    m_csIcons[i].hIcon = icons[i];
    m_csIcons[i].dwWidth = static_cast<DWORD>(bm.bmWidth);
    // A monochrome icon's mask holds the image and the mask one above the other.
    m_csIcons[i].dwHeight = static_cast<DWORD>(ii.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2);
    if (ii.hbmColor != nullptr) ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask != nullptr) ::DeleteObject(ii.hbmMask);
  }
  Invalidate();
  return BTNST_OK;
}

HBITMAP CButtonST::CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight,
                                    COLORREF crTransColor) {
  HBITMAP hMask = ::CreateBitmap(dwWidth, dwHeight, 1, 1, nullptr);
  if (hMask == nullptr) return nullptr;
  HDC hdcSrc = ::CreateCompatibleDC(nullptr);
  HDC hdcDest = ::CreateCompatibleDC(nullptr);
  HGDIOBJ hOldSrc = ::SelectObject(hdcSrc, hSourceBitmap);
  HGDIOBJ hOldDest = ::SelectObject(hdcDest, hMask);
  // Pixels of the transparent colour become white in the mask, and black
  // in the image, so mask-AND then image-OR keeps the background there.
  COLORREF crOld = ::SetBkColor(hdcSrc, crTransColor);
  ::BitBlt(hdcDest, 0, 0, dwWidth, dwHeight, hdcSrc, 0, 0, SRCCOPY);
  ::SetBkColor(hdcSrc, crOld);
  ::BitBlt(hdcSrc, 0, 0, dwWidth, dwHeight, hdcDest, 0, 0, 0x00220326);  // DSna
  ::SelectObject(hdcSrc, hOldSrc);
  ::SelectObject(hdcDest, hOldDest);
  ::DeleteDC(hdcSrc);
  ::DeleteDC(hdcDest);
  return hMask;
}

DWORD CButtonST::SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut,
                            COLORREF crTransColorOut) {
  FreeResources();
  HBITMAP bitmaps[2] = {hBitmapIn, hBitmapOut};
  COLORREF trans[2] = {crTransColorIn, crTransColorOut};
  for (int i = 0; i < 2; ++i) {
    if (bitmaps[i] == nullptr) continue;
    BITMAP bm = {};
    if (::GetObjectA(bitmaps[i], sizeof bm, &bm) == 0) {
      FreeResources();
      return BTNST_INVALIDRESOURCE;
    }
    m_csBitmaps[i].hBitmap = bitmaps[i];
    m_csBitmaps[i].dwWidth = static_cast<DWORD>(bm.bmWidth);
    m_csBitmaps[i].dwHeight = static_cast<DWORD>(bm.bmHeight);
    m_csBitmaps[i].crTransparent = trans[i];
    m_csBitmaps[i].hMask = CreateBitmapMask(bitmaps[i], bm.bmWidth, bm.bmHeight, trans[i]);
    if (m_csBitmaps[i].hMask == nullptr) {
      FreeResources();
      return BTNST_FAILEDMASK;
    }
  }
  Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetFlat(BOOL bFlat, BOOL bRepaint) {
  m_bIsFlat = bFlat;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetAlign(BYTE byAlign, BOOL bRepaint) {
  if (byAlign != ST_ALIGN_HORIZ && byAlign != ST_ALIGN_VERT && byAlign != ST_ALIGN_HORIZ_RIGHT) {
    return BTNST_INVALIDALIGN;
  }
  m_byAlign = byAlign;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetPressedStyle(BYTE byStyle, BOOL bRepaint) {
  int dx = 0, dy = 0;
  if (!::GetPressedOffset(byStyle, &dx, &dy)) return BTNST_INVALIDPRESSEDSTYLE;
  m_ptPressedOffset = CSize(dx, dy);
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetCheck(int nCheck, BOOL bRepaint) {
  if (m_bIsCheckBox) {
    m_nCheck = nCheck == 0 ? 0 : 1;
    if (bRepaint && m_hWnd != nullptr) Invalidate();
  }
  return BTNST_OK;
}

DWORD CButtonST::SetDefaultColors(BOOL bRepaint) {
  COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  m_crColors[BTNST_COLOR_BK_IN] = face;
  m_crColors[BTNST_COLOR_FG_IN] = text;
  m_crColors[BTNST_COLOR_BK_OUT] = face;
  m_crColors[BTNST_COLOR_FG_OUT] = text;
  m_crColors[BTNST_COLOR_BK_FOCUS] = face;
  m_crColors[BTNST_COLOR_FG_FOCUS] = text;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint) {
  if (byColorIndex >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
  m_crColors[byColorIndex] = crColor;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::GetColor(BYTE byColorIndex, COLORREF* crpColor) const {
  if (byColorIndex >= BTNST_MAX_COLORS) return BTNST_INVALIDINDEX;
  *crpColor = m_crColors[byColorIndex];
  return BTNST_OK;
}

DWORD CButtonST::SetURL(LPCTSTR lpszURL) {
  memset(m_szURL, 0, sizeof m_szURL);
  if (lpszURL != nullptr) strncpy(m_szURL, lpszURL, MAX_PATH);
  return BTNST_OK;
}

DWORD CButtonST::SetMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint) {
  HMENU hMenu = nullptr;
  if (nMenu != 0) {
    hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nMenu));
    if (hMenu == nullptr) return BTNST_INVALIDRESOURCE;
  }
  DWORD r = SetMenu(hMenu, hParentWnd, bRepaint);
  m_bOwnMenu = hMenu != nullptr;
  return r;
}

DWORD CButtonST::SetMenu(HMENU hMenu, HWND hParentWnd, BOOL bRepaint) {
  if (m_hMenu != nullptr && m_bOwnMenu) ::DestroyMenu(m_hMenu);
  m_hMenu = hMenu;
  m_bOwnMenu = FALSE;
  m_hParentWndMenu = hParentWnd;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam) {
  m_hWndCallback = hWnd;
  m_nCallbackMsg = nMessage;
  m_lCallbackParam = lParam;
  return BTNST_OK;
}

DWORD CButtonST::SetBtnCursor(int nCursorId, BOOL bRepaint) {
  HCURSOR hCursor = nullptr;
  if (nCursorId != 0) {
    hCursor = static_cast<HCURSOR>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nCursorId), IMAGE_CURSOR, 0, 0, 0));
    if (hCursor == nullptr) return BTNST_INVALIDRESOURCE;
  }
  return SetBtnCursor(hCursor);
}

DWORD CButtonST::SetBtnCursor(HCURSOR hCursor) {
  if (m_hCursor != nullptr) ::DestroyCursor(m_hCursor);
  m_hCursor = hCursor;
  return BTNST_OK;
}

void CButtonST::InitToolTip() {
  if (m_ToolTip.GetSafeHwnd() != nullptr || m_hWnd == nullptr) return;
  m_ToolTip.Create(this);
  m_ToolTip.Activate(FALSE);
  m_ToolTip.SetMaxTipWidth(400);
}

void CButtonST::SetTooltipText(LPCTSTR lpszText, BOOL bActivate) {
  if (lpszText == nullptr) return;
  InitToolTip();
  if (m_ToolTip.GetToolCount() == 0) {
    CRect rc;
    GetClientRect(&rc);
    m_ToolTip.AddTool(this, lpszText, &rc, 1);
  } else {
    m_ToolTip.UpdateTipText(lpszText, this, 1);
  }
  m_ToolTip.Activate(bActivate);
}

void CButtonST::ActivateTooltip(BOOL bEnable) {
  if (m_ToolTip.GetToolCount() == 0) return;
  m_ToolTip.Activate(bEnable);
}

DWORD CButtonST::DrawBorder(BOOL bDrawBorder, BOOL bRepaint) {
  m_bDrawBorder = bDrawBorder;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint) {
  m_bDrawFlatFocus = bDrawFlatFocus;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::DrawTransparent(BOOL bRepaint) {
  m_bDrawTransparent = TRUE;
  if (bRepaint && m_hWnd != nullptr) Invalidate();
  return BTNST_OK;
}

DWORD CButtonST::SetAlwaysTrack(BOOL bAlwaysTrack) {
  m_bAlwaysTrack = bAlwaysTrack;
  return BTNST_OK;
}

// ---- Messages -----------------------------------------------------------------

BOOL CButtonST::PreTranslateMessage(MSG* pMsg) {
  InitToolTip();
  if (m_ToolTip.GetSafeHwnd() != nullptr) m_ToolTip.RelayEvent(pMsg);
  // A quick second click is a click too, not a double click the owner-drawn
  // button would only report.
  if (pMsg->message == WM_LBUTTONDBLCLK) pMsg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(pMsg);
}

void CButtonST::OnLButtonDblClk(UINT nFlags, CPoint point) {
  // Reached only when no pump translated the double click: the same rule.
  DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

BOOL CButtonST::OnClicked() {
  SetFocus();
  if (m_bIsCheckBox) {
    m_nCheck = !m_nCheck;
    Invalidate();
  } else if (m_hMenu != nullptr) {
    CRect rWnd;
    GetWindowRect(&rWnd);
    m_bMenuDisplayed = TRUE;
    Invalidate();
    UpdateWindow();
    HMENU hSub = ::GetSubMenu(m_hMenu, 0);
    if (m_hWndCallback != nullptr) {
      ::SendMessageA(m_hWndCallback, m_nCallbackMsg, reinterpret_cast<WPARAM>(hSub), m_lCallbackParam);
    }
    UINT cmd = static_cast<UINT>(::TrackPopupMenuEx(hSub, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                    rWnd.left, rWnd.bottom, m_hParentWndMenu, nullptr));
    m_bMenuDisplayed = FALSE;
    Invalidate();
    if (cmd != 0 && m_hParentWndMenu != nullptr) ::PostMessageA(m_hParentWndMenu, WM_COMMAND, MAKEWPARAM(cmd, 0), 0);
  } else if (m_szURL[0] != '\0') {
    SHELLEXECUTEINFOA sei = {};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = "open";
    sei.lpFile = m_szURL;
    sei.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExA(&sei);
  }
  return FALSE;  // the parent hears about the click as well
}

HBRUSH CButtonST::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

void CButtonST::CancelHover() {
  if (m_bMouseOnButton) {
    m_bMouseOnButton = FALSE;
    Invalidate();
  }
}

void CButtonST::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);
  // While the left button holds a push button down its look is "pressed".
  if ((nFlags & MK_LBUTTON) != 0 && !m_bIsCheckBox && !m_bMouseOnButton) return;
  if (!m_bIsFlat) return;
  POINT pt = point;
  ClientToScreen(&pt);
  HWND hUnder = ::WindowFromPoint(pt);
  bool allowed = m_bAlwaysTrack || ::GetActiveWindow() != nullptr;
  if (hUnder == m_hWnd && allowed) {
    if (!m_bMouseOnButton) {
      m_bMouseOnButton = TRUE;
      Invalidate();
      TRACKMOUSEEVENT tme = {};
      tme.cbSize = sizeof tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = m_hWnd;
      ::TrackMouseEvent(&tme);
    }
  } else {
    CancelHover();
  }
}

LRESULT CButtonST::OnMouseLeave(WPARAM, LPARAM) {
  CancelHover();
  return 0;
}

void CButtonST::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  CancelHover();
}

LRESULT CButtonST::OnCancelModeMsg(WPARAM, LPARAM) {
  LRESULT r = Default();
  CancelHover();
  return r;
}

void CButtonST::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CButton::OnActivate(nState, pWndOther, bMinimized);
  if (nState == WA_INACTIVE) CancelHover();
}

void CButtonST::OnEnable(BOOL bEnable) {
  CButton::OnEnable(bEnable);
  if (!bEnable) {
    CWnd* pParent = GetParent();
    if (pParent != nullptr) {
      CWnd* pNext = pParent->GetNextDlgTabItem(this);
      if (pNext != nullptr && pNext->m_hWnd != m_hWnd) {
        pNext->SetFocus();
      } else {
        pParent->SetFocus();
      }
    }
    CancelHover();
  }
}

BOOL CButtonST::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_hCursor != nullptr) {
    ::SetCursor(m_hCursor);
    return TRUE;
  }
  return CButton::OnSetCursor(pWnd, nHitTest, message);
}

LRESULT CButtonST::OnGetDlgCode(WPARAM, LPARAM) {
  LRESULT r = Default();
  r |= m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
  return r;
}

LRESULT CButtonST::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  UINT nNewType = static_cast<UINT>(wParam) & BS_TYPEMASK;
  if (nNewType == BS_DEFPUSHBUTTON) {
    m_bIsDefault = TRUE;
  } else if (nNewType == BS_PUSHBUTTON) {
    m_bIsDefault = FALSE;
  }
  return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CButtonST::OnSysColorChange(WPARAM, LPARAM) {
  LRESULT r = Default();
  if (m_dcBk.m_hDC != nullptr) {
    if (m_hOldBk != nullptr) ::SelectObject(m_dcBk.m_hDC, m_hOldBk);
    m_hOldBk = nullptr;
    m_dcBk.DeleteDC();
    m_bmpBk.DeleteObject();
  }
  SetDefaultColors();
  return r;
}

LRESULT CButtonST::OnGetCheckMsg(WPARAM, LPARAM) { return GetCheck(); }

LRESULT CButtonST::OnSetCheckMsg(WPARAM wParam, LPARAM) {
  SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0);
  return 0;
}

// ---- Drawing ------------------------------------------------------------------

void CButtonST::PaintBk(CDC* pDC) {
  CWnd* pParent = GetParent();
  if (pParent == nullptr) return;
  CRect rect, rect1;
  GetClientRect(&rect);
  GetWindowRect(&rect1);
  pParent->ScreenToClient(&rect1);
  if (m_dcBk.m_hDC == nullptr) {
    CClientDC clDC(pParent);
    m_dcBk.CreateCompatibleDC(&clDC);
    m_bmpBk.CreateCompatibleBitmap(&clDC, rect.Width(), rect.Height());
    m_hOldBk = ::SelectObject(m_dcBk.m_hDC, m_bmpBk.m_hObject);
    m_dcBk.BitBlt(0, 0, rect.Width(), rect.Height(), &clDC, rect1.left, rect1.top, SRCCOPY);
  }
  pDC->BitBlt(0, 0, rect.Width(), rect.Height(), &m_dcBk, 0, 0, SRCCOPY);
}

DWORD CButtonST::OnDrawBackground(CDC* pDC, CRect* pRect) {
  COLORREF crColor;
  if (m_bMouseOnButton || m_bIsPressed) {
    crColor = m_crColors[BTNST_COLOR_BK_IN];
  } else if (m_bIsFocused) {
    crColor = m_crColors[BTNST_COLOR_BK_FOCUS];
  } else {
    crColor = m_crColors[BTNST_COLOR_BK_OUT];
  }
  CBrush brBackground(crColor);
  pDC->FillRect(pRect, &brBackground);
  return BTNST_OK;
}

DWORD CButtonST::OnDrawBorder(CDC* pDC, CRect* pRect) {
  if (m_bIsPressed) {
    if (m_bIsFlat) {
      if (m_bDrawBorder) pDC->Draw3dRect(pRect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHILIGHT));
    } else {
      CBrush brBtnShadow(::GetSysColor(COLOR_BTNSHADOW));
      pDC->FrameRect(pRect, &brBtnShadow);
    }
    return BTNST_OK;
  }
  if (m_bIsFlat) {
    if (m_bMouseOnButton && m_bDrawBorder) {
      pDC->Draw3dRect(pRect, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
    return BTNST_OK;
  }
  // The classic raised button: white and light grey on the top and left,
  // black and dark grey on the bottom and right.
  CPen penBtnHiLight(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHILIGHT));
  CPen pen3DLight(PS_SOLID, 0, ::GetSysColor(COLOR_3DLIGHT));
  CPen penBtnShadow(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
  CPen pen3DDKShadow(PS_SOLID, 0, ::GetSysColor(COLOR_3DDKSHADOW));
  HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, penBtnHiLight.m_hObject);
  pDC->MoveTo(pRect->left, pRect->bottom - 1);
  pDC->LineTo(pRect->left, pRect->top);
  pDC->LineTo(pRect->right, pRect->top);
  ::SelectObject(pDC->m_hDC, pen3DLight.m_hObject);
  pDC->MoveTo(pRect->left + 1, pRect->bottom - 1);
  pDC->LineTo(pRect->left + 1, pRect->top + 1);
  pDC->LineTo(pRect->right, pRect->top + 1);
  ::SelectObject(pDC->m_hDC, pen3DDKShadow.m_hObject);
  pDC->MoveTo(pRect->left, pRect->bottom - 1);
  pDC->LineTo(pRect->right - 1, pRect->bottom - 1);
  pDC->LineTo(pRect->right - 1, pRect->top - 1);
  ::SelectObject(pDC->m_hDC, penBtnShadow.m_hObject);
  pDC->MoveTo(pRect->left + 1, pRect->bottom - 2);
  pDC->LineTo(pRect->right - 2, pRect->bottom - 2);
  pDC->LineTo(pRect->right - 2, pRect->top);
  ::SelectObject(pDC->m_hDC, hOld);
  return BTNST_OK;
}

void CButtonST::PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                                 DWORD dwHeight, CRect* rpImage) {
  const int w = static_cast<int>(dwWidth);
  const int h = static_cast<int>(dwHeight);
  *rpImage = CRect(*rpItem);
  switch (m_byAlign) {
    case ST_ALIGN_HORIZ:
      if (!bHasTitle) {
        rpImage->left += (rpImage->Width() - w) / 2;
      } else {
        rpImage->left += m_ptImageOrg.cx;
        rpTitle->left += w + m_ptImageOrg.cx;
      }
      rpImage->top += (rpImage->Height() - h) / 2;
      break;
    case ST_ALIGN_HORIZ_RIGHT: {
      CRect rBtn;
      GetClientRect(&rBtn);
      if (!bHasTitle) {
        rpImage->left += (rpImage->Width() - w) / 2;
      } else {
        rpTitle->right = rpTitle->Width() - w - m_ptImageOrg.cx;
        rpTitle->left = m_ptImageOrg.cx;
        rpImage->left = rBtn.right - w - m_ptImageOrg.cx;
      }
      rpImage->top += (rpImage->Height() - h) / 2;
      break;
    }
    case ST_ALIGN_VERT:
      rpImage->left += (rpImage->Width() - w) / 2;
      if (!bHasTitle) {
        rpImage->top += (rpImage->Height() - h) / 2;
      } else {
        rpImage->top = m_ptImageOrg.cy;
        rpTitle->top += h;
      }
      break;
    default:
      break;
  }
  if (bIsPressed && !m_bIsCheckBox) rpImage->OffsetRect(m_ptPressedOffset.cx, m_ptPressedOffset.cy);
}

void CButtonST::DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                            BOOL bIsDisabled) {
  BOOL bIn = (m_bIsCheckBox && bIsPressed) || (!m_bIsCheckBox && (bIsPressed || m_bMouseOnButton));
  int n = bIn || m_csIcons[1].hIcon == nullptr ? 0 : 1;
  CRect rImage;
  PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, m_csIcons[n].dwWidth, m_csIcons[n].dwHeight, &rImage);
  pDC->DrawState(CPoint(rImage.left, rImage.top), CSize(rImage.Width(), rImage.Height()), m_csIcons[n].hIcon,
                 bIsDisabled ? DSS_DISABLED : DSS_NORMAL, static_cast<HBRUSH>(nullptr));
}

void CButtonST::DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                              BOOL bIsDisabled) {
  BOOL bIn = (m_bIsCheckBox && bIsPressed) || (!m_bIsCheckBox && (bIsPressed || m_bMouseOnButton));
  int n = bIn || m_csBitmaps[1].hBitmap == nullptr ? 0 : 1;
  const STRUCT_BITMAPS& b = m_csBitmaps[n];
  CRect rImage;
  PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, b.dwWidth, b.dwHeight, &rImage);
  const int w = static_cast<int>(b.dwWidth), h = static_cast<int>(b.dwHeight);
  HDC hdcBmp = ::CreateCompatibleDC(pDC->m_hDC);
  HDC hdcMask = ::CreateCompatibleDC(pDC->m_hDC);
  HGDIOBJ hOldBmp = ::SelectObject(hdcBmp, b.hBitmap);
  HGDIOBJ hOldMask = ::SelectObject(hdcMask, b.hMask);
  if (bIsDisabled) {
    // The image over the button face, then drawn in the system's disabled
    // look from that combined bitmap.
    HBITMAP hCombined = ::CreateCompatibleBitmap(pDC->m_hDC, w, h);
    HDC hdcCombined = ::CreateCompatibleDC(pDC->m_hDC);
    HGDIOBJ hOld = ::SelectObject(hdcCombined, hCombined);
    RECT rc = {0, 0, w, h};
    HBRUSH hFace = ::CreateSolidBrush(m_crColors[BTNST_COLOR_BK_OUT]);
    ::FillRect(hdcCombined, &rc, hFace);
    ::DeleteObject(hFace);
    ::BitBlt(hdcCombined, 0, 0, w, h, hdcMask, 0, 0, SRCAND);
    ::BitBlt(hdcCombined, 0, 0, w, h, hdcBmp, 0, 0, SRCPAINT);
    ::SelectObject(hdcCombined, hOld);
    ::DeleteDC(hdcCombined);
    pDC->DrawState(CPoint(rImage.left, rImage.top), CSize(w, h), hCombined, DSS_DISABLED,
                   static_cast<HBRUSH>(nullptr));
    ::DeleteObject(hCombined);
  } else {
    ::BitBlt(pDC->m_hDC, rImage.left, rImage.top, w, h, hdcMask, 0, 0, SRCAND);
    ::BitBlt(pDC->m_hDC, rImage.left, rImage.top, w, h, hdcBmp, 0, 0, SRCPAINT);
  }
  ::SelectObject(hdcBmp, hOldBmp);
  ::SelectObject(hdcMask, hOldMask);
  ::DeleteDC(hdcBmp);
  ::DeleteDC(hdcMask);
}

void CButtonST::DrawTheText(CDC* pDC, LPCTSTR lpszText, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                            BOOL bIsDisabled) {
  CRect centerRect = *rpCaption;
  pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  rpCaption->OffsetRect((centerRect.Width() - rpCaption->Width()) / 2,
                        (centerRect.Height() - rpCaption->Height()) / 2);
  pDC->SetBkMode(TRANSPARENT);
  if (bIsDisabled) {
    // Embossed: highlight one pixel down-right, then the shadow on top.
    rpCaption->OffsetRect(1, 1);
    pDC->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
    pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
    rpCaption->OffsetRect(-1, -1);
    pDC->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
    pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
    return;
  }
  COLORREF cr;
  if (m_bMouseOnButton || bIsPressed) {
    cr = m_crColors[BTNST_COLOR_FG_IN];
  } else if (m_bIsFocused) {
    cr = m_crColors[BTNST_COLOR_FG_FOCUS];
  } else {
    cr = m_crColors[BTNST_COLOR_FG_OUT];
  }
  pDC->SetTextColor(cr);
  pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
}

void CButtonST::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  if (m_bIsCheckBox) {
    m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) != 0 || m_nCheck != 0;
  } else {
    m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) != 0 || m_bMenuDisplayed;
  }
  m_bIsFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
  m_bIsDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

  CRect itemRect(lpDIS->rcItem);
  pDC->SetBkMode(TRANSPARENT);
  if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
    CBrush br(RGB(0, 0, 0));
    pDC->FrameRect(&itemRect, &br);
    itemRect.DeflateRect(1, 1);
  }
  if (m_bDrawTransparent) {
    PaintBk(pDC);
  } else {
    OnDrawBackground(pDC, &itemRect);
  }
  OnDrawBorder(pDC, &itemRect);

  CString sTitle;
  GetWindowText(sTitle);
  CRect captionRect(lpDIS->rcItem);
  if (m_csIcons[0].hIcon != nullptr) {
    DrawTheIcon(pDC, !sTitle.IsEmpty(), &lpDIS->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
  } else if (m_csBitmaps[0].hBitmap != nullptr) {
    DrawTheBitmap(pDC, !sTitle.IsEmpty(), &lpDIS->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
  }
  if (!sTitle.IsEmpty()) {
    if (m_bIsPressed && !m_bIsCheckBox) captionRect.OffsetRect(m_ptPressedOffset.cx, m_ptPressedOffset.cy);
    DrawTheText(pDC, sTitle, &lpDIS->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
  }
  if ((!m_bIsFlat || m_bDrawFlatFocus) && m_bIsFocused) {
    CRect focusRect = itemRect;
    focusRect.DeflateRect(3, 3);
    pDC->DrawFocusRect(&focusRect);
  }
}
