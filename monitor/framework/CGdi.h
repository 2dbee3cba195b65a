// GDI wrappers: CGdiObject with CFont, CBrush, CPen, CBitmap, CRgn, and the
// device contexts CDC, CPaintDC, CClientDC, CWindowDC. Windows build only.
//
// Each wrapper owns its handle and deletes it with the object (or with
// DeleteObject/DeleteDC); Attach/Detach move ownership in and out.
// FromHandle gives a temporary wrapper for a handle nobody wraps (what
// SelectObject returns); temporaries live until the message pump goes idle
// or AfxDeleteTempGdiMaps() on this thread.
#pragma once

#ifdef _WIN32

#include "framework/CObject.h"
#include "framework/CRect.h"
#include "framework/CString.h"

class CWnd;

class CGdiObject : public CObject {
public:
  CGdiObject() : m_hObject(nullptr) {}
  ~CGdiObject() override { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const {
    return m_hObject != nullptr ? ::GetObjectA(m_hObject, nCount, lpObject) : 0;
  }
  static CGdiObject* FromHandle(HGDIOBJ hObject);

  HGDIOBJ m_hObject;
};

class CFont : public CGdiObject {
public:
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                  BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                  BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                  BYTE nPitchAndFamily, LPCTSTR lpszFacename);
  // nPointSize in tenths of a point, converted with the DC's (or the
  // screen's) vertical resolution.
  BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, class CDC* pDC = nullptr);
  int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
};

class CBrush : public CGdiObject {
public:
  CBrush() {}
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  static CBrush* FromHandle(HBRUSH h) { return static_cast<CBrush*>(CGdiObject::FromHandle(h)); }
  BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
  // A system colour brush is shared by the system and must not be deleted;
  // it is attached and detached again by the destructor.
  BOOL CreateSysColorBrush(int nIndex);
  ~CBrush() override;

private:
  bool m_bSystem = false;
};

class CPen : public CGdiObject {
public:
  CPen() {}
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
  static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
  }
};

class CBitmap : public CGdiObject {
public:
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  static CBitmap* FromHandle(HBITMAP h) { return static_cast<CBitmap*>(CGdiObject::FromHandle(h)); }
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
  }
  BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
};

class CRgn : public CGdiObject {
public:
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  static CRgn* FromHandle(HRGN h) { return static_cast<CRgn*>(CGdiObject::FromHandle(h)); }
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
  BOOL CreateRectRgnIndirect(LPCRECT r) { return Attach(::CreateRectRgnIndirect(r)); }
  BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
  }
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
  }
  // Copies pRgnSrc into this region, which must exist (CreateRectRgn(0,0,0,0)).
  int CopyRgn(const CRgn* pRgnSrc) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgnSrc->m_hObject), nullptr, RGN_COPY);
  }
  int CombineRgn(const CRgn* a, const CRgn* b, int nMode) {
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(a->m_hObject),
                        b != nullptr ? static_cast<HRGN>(b->m_hObject) : nullptr, nMode);
  }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
};

class CDC : public CObject {
public:
  CDC() : m_hDC(nullptr) {}
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC hDC);
  BOOL Attach(HDC hDC);
  HDC Detach();
  // A memory DC like pDC (nullptr: like the screen).
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  // Selection returns the object that was selected before, as a temporary
  // wrapper, so it can be selected back.
  CFont* SelectObject(CFont* pFont);
  CBrush* SelectObject(CBrush* pBrush);
  CPen* SelectObject(CPen* pPen);
  CBitmap* SelectObject(CBitmap* pBitmap);
  CGdiObject* SelectStockObject(int nIndex);
  int SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn != nullptr ? static_cast<HRGN>(pRgn->m_hObject) : nullptr);
  }
  CFont* GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
  }

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
  int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
  BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const { return ::GetTextMetricsA(m_hDC, lpMetrics); }
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }

  // Fills and frames.
  void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->m_hObject)); }
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->m_hObject)); }
  BOOL FillRgn(CRgn* pRgn, CBrush* pBrush) {
    return ::FillRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject), static_cast<HBRUSH>(pBrush->m_hObject));
  }
  BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight) {
    return ::FrameRgn(m_hDC, static_cast<HRGN>(pRgn->m_hObject), static_cast<HBRUSH>(pBrush->m_hObject), nWidth, nHeight);
  }
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
  void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
  BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) { return ::DrawFrameControl(m_hDC, lpRect, nType, nState); }
  BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
  BOOL Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
  BOOL Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL RoundRect(LPCRECT r, POINT p) { return ::RoundRect(m_hDC, r->left, r->top, r->right, r->bottom, p.x, p.y); }
  BOOL Polygon(const POINT* pts, int n) { return ::Polygon(m_hDC, pts, n); }
  CPoint MoveTo(int x, int y) {
    POINT p = {0, 0};
    ::MoveToEx(m_hDC, x, y, &p);
    return CPoint(p);
  }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

  // Text.
  int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
    return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
  }
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
    return ::DrawTextA(m_hDC, str, str.GetLength(), lpRect, nFormat);
  }
  BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) { return ::TextOutA(m_hDC, x, y, lpszString, nCount); }
  BOOL TextOut(int x, int y, const CString& str) { return ::TextOutA(m_hDC, x, y, str, str.GetLength()); }
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, const INT* lpDxWidths) {
    return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
  }

  // DrawState for a bitmap, an icon or a text (the disabled/embossed look
  // of DSS_DISABLED comes from the system).
  BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText = TRUE,
                 int nTextLen = 0, HBRUSH hBrush = nullptr);
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

  // Copies and clipping.
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC != nullptr ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
  }
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                  int nSrcWidth, int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
  }
  int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
  int ExcludeClipRect(LPCRECT r) { return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
  int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
  int IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
  int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

  HDC m_hDC;
};

// The DC of WM_PAINT: BeginPaint in the constructor, EndPaint in the
// destructor.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps;

protected:
  HWND m_hWnd;
};

// The client area's DC of a window (nullptr: the screen), released after use.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

protected:
  HWND m_hWnd;
};

// The whole window's DC, caption and frame included.
class CWindowDC : public CDC {
public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

protected:
  HWND m_hWnd;
};

// Frees this thread's temporary GDI wrappers (FromHandle, SelectObject).
void AfxDeleteTempGdiMaps();

#endif  // _WIN32
