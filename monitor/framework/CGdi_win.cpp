#include "framework/CGdi.h"

#include <memory>
#include <unordered_map>

#include "framework/CWnd.h"

namespace {

// Temporary wrappers of this thread, keyed by handle. They never own the
// handle: it is detached before the wrapper is freed.
thread_local std::unordered_map<HGDIOBJ, CGdiObject*>* t_tempGdi = nullptr;
thread_local std::unordered_map<HDC, CDC*>* t_tempDC = nullptr;

}  // namespace

void AfxDeleteTempGdiMaps() {
  if (t_tempGdi != nullptr) {
    for (auto& kv : *t_tempGdi) {
      kv.second->Detach();
      delete kv.second;
    }
    delete t_tempGdi;
    t_tempGdi = nullptr;
  }
  if (t_tempDC != nullptr) {
    for (auto& kv : *t_tempDC) {
      kv.second->Detach();
      delete kv.second;
    }
    delete t_tempDC;
    t_tempDC = nullptr;
  }
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == nullptr) return FALSE;
  DeleteObject();
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  HGDIOBJ h = Detach();
  return ::DeleteObject(h);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  if (hObject == nullptr) return nullptr;
  if (t_tempGdi == nullptr) t_tempGdi = new std::unordered_map<HGDIOBJ, CGdiObject*>();
  CGdiObject*& slot = (*t_tempGdi)[hObject];
  if (slot == nullptr) {
    // One wrapper class serves every kind: the derived GDI classes add no
    // data, only typed accessors.
    slot = new CGdiObject();
    slot->m_hObject = hObject;
  }
  return slot;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
  return lpLogFont != nullptr && Attach(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                       BYTE nPitchAndFamily, LPCTSTR lpszFacename) {
  return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                              bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                              nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  if (lpszFaceName != nullptr) lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  HDC hDC = pDC != nullptr ? pDC->m_hDC : ::GetDC(nullptr);
  int dpi = hDC != nullptr ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
  if (pDC == nullptr && hDC != nullptr) ::ReleaseDC(nullptr, hDC);
  lf.lfHeight = -::MulDiv(nPointSize, dpi, 720);
  return CreateFontIndirect(&lf);
}

BOOL CBrush::CreateSysColorBrush(int nIndex) {
  HBRUSH h = ::GetSysColorBrush(nIndex);
  if (h == nullptr) return FALSE;
  DeleteObject();
  m_hObject = h;
  m_bSystem = true;
  return TRUE;
}

CBrush::~CBrush() {
  if (m_bSystem) Detach();
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  return Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  return Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), lpszResourceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  if (pDC == nullptr) return FALSE;
  return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hDC) {
  if (hDC == nullptr) return nullptr;
  if (t_tempDC == nullptr) t_tempDC = new std::unordered_map<HDC, CDC*>();
  CDC*& slot = (*t_tempDC)[hDC];
  if (slot == nullptr) {
    slot = new CDC();
    slot->m_hDC = hDC;
  }
  return slot;
}

BOOL CDC::Attach(HDC hDC) {
  if (hDC == nullptr || m_hDC != nullptr) return FALSE;
  m_hDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = nullptr;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  if (m_hDC != nullptr) return FALSE;
  m_hDC = ::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr);
  return m_hDC != nullptr;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return ::DeleteDC(Detach());
}

namespace {
HGDIOBJ Select(HDC hDC, const CGdiObject* p) {
  if (hDC == nullptr || p == nullptr || p->m_hObject == nullptr) return nullptr;
  return ::SelectObject(hDC, p->m_hObject);
}
}  // namespace

CFont* CDC::SelectObject(CFont* pFont) { return static_cast<CFont*>(CGdiObject::FromHandle(Select(m_hDC, pFont))); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(Select(m_hDC, pBrush))); }
CPen* CDC::SelectObject(CPen* pPen) { return static_cast<CPen*>(CGdiObject::FromHandle(Select(m_hDC, pPen))); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return static_cast<CBitmap*>(CGdiObject::FromHandle(Select(m_hDC, pBitmap)));
}
CGdiObject* CDC::SelectStockObject(int nIndex) {
  HGDIOBJ h = ::GetStockObject(nIndex);
  return h != nullptr && m_hDC != nullptr ? CGdiObject::FromHandle(::SelectObject(m_hDC, h)) : nullptr;
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE s = {0, 0};
  if (lpszString != nullptr) ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &s);
  return CSize(s);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  // An opaque empty text fills with the background colour without a brush.
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  CRect r(x, y, x + cx, y + cy);
  FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT r, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
  FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y,
                      size.cx, size.cy, nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush) {
  return DrawState(pt, size, pBitmap != nullptr ? static_cast<HBITMAP>(pBitmap->m_hObject) : nullptr,
                   nFlags, pBrush != nullptr ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y,
                      size.cx, size.cy, nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(lpszText),
                      static_cast<WPARAM>(nTextLen), pt.x, pt.y, size.cx, size.cy,
                      nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
  memset(&m_ps, 0, sizeof m_ps);
  if (m_hWnd != nullptr) m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
  if (m_hWnd != nullptr) ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
  m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd != nullptr ? pWnd->m_hWnd : nullptr) {
  m_hDC = ::GetWindowDC(m_hWnd);
}

CWindowDC::~CWindowDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, Detach());
}
