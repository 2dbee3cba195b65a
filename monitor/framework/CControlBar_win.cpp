#include "framework/CControlBar.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

// ---- CControlBar --------------------------------------------------------------

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
      // The bar (and, by reflection, the child control) first; then the
      // owner, as if the child sat directly on it.
      LRESULT r = 0;
      if (OnWndMsg(message, wParam, lParam, &r)) return r;
      CWnd* pOwner = GetOwner();
      if (pOwner != nullptr && pOwner->m_hWnd != nullptr && pOwner->m_hWnd != m_hWnd)
        return ::SendMessageA(pOwner->m_hWnd, message, wParam, lParam);
      return DefWindowProc(message, wParam, lParam);
    }
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL) {
  CRect r;
  GetWindowRect(&r);
  return r.Size();
}

int CControlBar::GetCount() const {
  if (IsKindOf(RUNTIME_CLASS(CToolBar))) return static_cast<int>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
  return static_cast<int>(::SendMessageA(m_hWnd, SB_GETPARTS, 0, 0));
}

// RepositionBars lives here: it needs to know what a bar is.
void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag,
                          LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch) {
  CRect area;
  if (lpRectClient != nullptr) {
    area = *lpRectClient;
  } else {
    GetClientRect(&area);
  }
  HDWP hdwp = nFlag == reposQuery ? nullptr : ::BeginDeferWindowPos(8);
  for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(h));
    if (id < nIDFirst || id > nIDLast || id == nIDLeftOver) continue;
    CControlBar* pBar = dynamic_cast<CControlBar*>(FromHandlePermanent(h));
    if (pBar == nullptr || !::IsWindowVisible(h)) continue;
    CSize size = pBar->CalcFixedLayout(bStretch, TRUE);
    CRect place;
    DWORD align = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    if (align == CBRS_ALIGN_BOTTOM) {
      place.SetRect(area.left, area.bottom - size.cy, area.right, area.bottom);
      area.bottom -= size.cy;
    } else {
      place.SetRect(area.left, area.top, area.right, area.top + size.cy);
      area.top += size.cy;
    }
    if (hdwp != nullptr)
      hdwp = ::DeferWindowPos(hdwp, h, nullptr, place.left, place.top, place.Width(), place.Height(),
                              SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (area.bottom < area.top) area.bottom = area.top;
  if (nFlag == reposQuery) {
    if (lpRectParam != nullptr) *lpRectParam = area;
    return;
  }
  if (nFlag == reposExtra && lpRectParam != nullptr) area.DeflateRect(lpRectParam);
  HWND hLeft = nIDLeftOver != 0 ? ::GetDlgItem(m_hWnd, static_cast<int>(nIDLeftOver)) : nullptr;
  if (hLeft != nullptr && hdwp != nullptr)
    hdwp = ::DeferWindowPos(hdwp, hLeft, nullptr, area.left, area.top, area.Width(), area.Height(),
                            SWP_NOZORDER | SWP_NOACTIVATE);
  if (hdwp != nullptr) ::EndDeferWindowPos(hdwp);
}

// ---- CToolBar -------------------------------------------------------------------

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID) {
  if (pParentWnd == nullptr) return FALSE;
  m_dwStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_TOOLTIPS | CBRS_FLYBY |
                         CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED | CBRS_GRIPPER);
  // The layer places the bar itself (RepositionBars), so the control must
  // neither size nor move itself along its parent.
  DWORD style = (dwStyle & (WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS)) | WS_CHILD |
                CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | dwCtrlStyle;
  if ((dwStyle & CBRS_TOOLTIPS) != 0) style |= TBSTYLE_TOOLTIPS;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, style, CRect(0, 0, 100, 30), pParentWnd, nID))
    return FALSE;
  SetOwner(pParentWnd);
  ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
  HINSTANCE hInst = ::GetModuleHandleA(nullptr);
  HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(241));
  if (hRsrc == nullptr) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  DWORD size = ::SizeofResource(hInst, hRsrc);
  const WORD* data = hGlobal != nullptr ? static_cast<const WORD*>(::LockResource(hGlobal)) : nullptr;
  // version, width, height, count, then count ids: check before reading.
  if (data == nullptr || size < 8 || data[0] != 1) return FALSE;
  const WORD count = data[3];
  if (size < 8u + 2u * count) return FALSE;
  CUIntArray ids;
  for (WORD i = 0; i < count; ++i) ids.Add(data[4 + i]);
  CSize image(data[1], data[2]);
  SetSizes(CSize(image.cx + 7, image.cy + 7), image);
  if (!SetButtons(ids.GetData(), static_cast<int>(ids.GetSize()))) return FALSE;
  return LoadBitmap(nIDResource);
}

BOOL CToolBar::LoadBitmap(UINT nIDResource) {
  HBITMAP hBmp = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource));
  if (hBmp == nullptr) return FALSE;
  BITMAP bm = {};
  ::GetObjectA(hBmp, sizeof bm, &bm);
  LRESULT sizes = ::SendMessageA(m_hWnd, TB_GETBUTTONSIZE, 0, 0);
  (void)sizes;
  TBADDBITMAP ab = {nullptr, reinterpret_cast<UINT_PTR>(hBmp)};
  // The bar keeps using the bitmap; it is freed with the process.
  int images = bm.bmHeight > 0 ? bm.bmWidth / (bm.bmHeight > 0 ? bm.bmHeight : 1) : 0;
  return ::SendMessageA(m_hWnd, TB_ADDBITMAP, images > 0 ? images : 1, reinterpret_cast<LPARAM>(&ab)) != -1;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  ::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
  ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  while (::SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0)) {
  }
  if (lpIDArray == nullptr || nIDCount <= 0) return TRUE;
  int image = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON b = {};
    b.idCommand = static_cast<int>(lpIDArray[i]);
    if (lpIDArray[i] == ID_SEPARATOR) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 0;
    } else {
      b.fsStyle = TBSTYLE_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = image++;
    }
    if (!::SendMessageA(m_hWnd, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b))) return FALSE;
  }
  return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  return static_cast<int>(::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0));
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b = {};
  if (!::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) return 0;
  return static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!::SendMessageA(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
    ::SetRectEmpty(lpRect);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b = {};
  if (!::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b))) {
    nID = 0, nStyle = 0, iImage = 0;
    return;
  }
  nID = static_cast<UINT>(b.idCommand);
  nStyle = b.fsStyle | (static_cast<UINT>(b.fsState) << 16);
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTON old = {};
  if (!::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&old))) return;
  TBBUTTON b = {};
  b.idCommand = static_cast<int>(nID);
  b.fsStyle = static_cast<BYTE>(nStyle & 0xFF);
  BYTE state = static_cast<BYTE>((nStyle >> 16) & 0xFF);
  b.fsState = state != 0 ? state : (old.fsState != 0 ? old.fsState : static_cast<BYTE>(TBSTATE_ENABLED));
  b.iBitmap = iImage;  // for a separator: its width
  // Replacing the button keeps every comctl32 version in step (a
  // separator's width is only read when it is inserted).
  ::SendMessageA(m_hWnd, TB_DELETEBUTTON, static_cast<WPARAM>(nIndex), 0);
  ::SendMessageA(m_hWnd, TB_INSERTBUTTONA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
  UINT id, style;
  int image;
  GetButtonInfo(nIndex, id, style, image);
  return style;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
  UINT id, style;
  int image;
  GetButtonInfo(nIndex, id, style, image);
  SetButtonInfo(nIndex, id, nStyle, image);
}

CSize CToolBar::CalcFixedLayout(BOOL, BOOL) {
  // The height of a row of buttons plus the bar's borders; the width is
  // the parent's.
  LRESULT bs = ::SendMessageA(m_hWnd, TB_GETBUTTONSIZE, 0, 0);
  int cy = HIWORD(bs) + 4;
  if ((m_dwStyle & CBRS_BORDER_TOP) != 0) cy += 2;
  if ((m_dwStyle & CBRS_BORDER_BOTTOM) != 0) cy += 2;
  return CSize(32767, cy);
}

// ---- CStatusBar -------------------------------------------------------------------

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  if (pParentWnd == nullptr) return FALSE;
  m_dwStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_TOOLTIPS | CBRS_FLYBY);
  DWORD style = (dwStyle & (WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS)) | WS_CHILD | CCS_NORESIZE |
                CCS_NOPARENTALIGN | CCS_NODIVIDER | dwCtrlStyle;
  if (!CWnd::CreateEx(0, STATUSCLASSNAMEA, nullptr, style, CRect(0, 0, 100, 20), pParentWnd, nID))
    return FALSE;
  SetOwner(pParentWnd);
  return TRUE;
}

CStatusBar::Pane* CStatusBar::PaneAt(int nIndex) {
  return nIndex >= 0 && nIndex < m_panes.GetSize() ? &m_panes.ElementAt(nIndex) : nullptr;
}

const CStatusBar::Pane* CStatusBar::PaneAt(int nIndex) const {
  return nIndex >= 0 && nIndex < m_panes.GetSize() ? &m_panes.GetData()[nIndex] : nullptr;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  if (m_hWnd == nullptr || lpIDArray == nullptr || nIDCount <= 0 || nIDCount > 255) return FALSE;
  m_panes.RemoveAll();
  CClientDC dc(this);
  CFont* pOld = dc.SelectObject(GetFont());
  for (int i = 0; i < nIDCount; ++i) {
    Pane p = {lpIDArray[i], SBPS_NORMAL, 0, CString()};
    if (p.nID != ID_SEPARATOR) {
      p.strText.LoadString(p.nID);  // missing text: an empty pane
      p.cxWidth = dc.GetTextExtent(p.strText).cx;
    }
    m_panes.Add(p);
  }
  if (pOld != nullptr) dc.SelectObject(pOld);
  UpdateAllPanes();
  return TRUE;
}

void CStatusBar::UpdateAllPanes() {
  if (m_hWnd == nullptr || m_panes.GetSize() == 0) return;
  CRect client;
  GetClientRect(&client);
  const int n = static_cast<int>(m_panes.GetSize());
  // Each pane is its width plus a border gap; stretch panes share the rest
  // of the bar (less the sizing grip when there is one).
  const int gap = 4;
  int fixed = 0, stretch = 0;
  for (int i = 0; i < n; ++i) {
    if ((m_panes[i].nStyle & SBPS_STRETCH) != 0) {
      ++stretch;
    } else {
      fixed += m_panes[i].cxWidth + gap;
    }
  }
  int grip = (GetStyle() & SBARS_SIZEGRIP) != 0 ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
  int rest = client.Width() - fixed - grip;
  if (rest < 0) rest = 0;
  CArray<int, int> edges;
  int x = 0, stretchLeft = stretch;
  for (int i = 0; i < n; ++i) {
    if ((m_panes[i].nStyle & SBPS_STRETCH) != 0) {
      int share = stretchLeft > 0 ? rest / stretchLeft : 0;
      rest -= share;
      --stretchLeft;
      x += share;
    } else {
      x += m_panes[i].cxWidth + gap;
    }
    edges.Add(x);
  }
  if (stretch == 0) edges[n - 1] = -1;  // the last pane runs to the end
  ::SendMessageA(m_hWnd, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges.GetData()));
  for (int i = 0; i < n; ++i) {
    UINT type = m_panes[i].nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    ::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(i) | type,
                   reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(m_panes[i].strText)));
  }
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (int i = 0; i < m_panes.GetSize(); ++i)
    if (m_panes.GetData()[i].nID == nIDFind) return i;
  return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  const Pane* p = PaneAt(nIndex);
  return p != nullptr ? p->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (PaneAt(nIndex) == nullptr ||
      !::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
    ::SetRectEmpty(lpRect);
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  Pane* p = PaneAt(nIndex);
  if (p == nullptr) return;
  p->nID = nID;
  p->nStyle = nStyle;
  p->cxWidth = cxWidth;
  UpdateAllPanes();
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  const Pane* p = PaneAt(nIndex);
  nID = p != nullptr ? p->nID : 0;
  nStyle = p != nullptr ? p->nStyle : 0;
  cxWidth = p != nullptr ? p->cxWidth : 0;
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
  const Pane* p = PaneAt(nIndex);
  return p != nullptr ? p->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  Pane* p = PaneAt(nIndex);
  if (p == nullptr) return;
  p->nStyle = nStyle;
  UpdateAllPanes();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  Pane* p = PaneAt(nIndex);
  if (p == nullptr) return FALSE;
  p->strText = lpszNewText;
  UINT type = p->nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
  ::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(nIndex) | type,
                 reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(p->strText)));
  if (bUpdate) ::UpdateWindow(m_hWnd);
  return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const {
  const Pane* p = PaneAt(nIndex);
  return p != nullptr ? p->strText : CString();
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL) {
  // The font's height plus the bar's borders.
  CClientDC dc(this);
  CFont* pOld = dc.SelectObject(GetFont());
  TEXTMETRICA tm = {};
  dc.GetTextMetrics(&tm);
  if (pOld != nullptr) dc.SelectObject(pOld);
  int cy = tm.tmHeight + 2 * ::GetSystemMetrics(SM_CYBORDER) + 6;
  if ((m_dwStyle & CBRS_BORDER_TOP) != 0) cy += 2;
  return CSize(32767, cy);
}

LRESULT CStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT r = CControlBar::WindowProc(message, wParam, lParam);
  if (message == WM_SIZE) UpdateAllPanes();  // stretch panes follow the width
  return r;
}
