// CPoint, CSize and CRect: the geometry records with the arithmetic window
// layout code uses. Portable, so layout rules can be tested natively; the
// emptiness, containment, intersection and union rules follow the Win32
// calls of the same names (a rectangle holds its left/top edge but not its
// right/bottom edge; an empty rectangle takes no part in a union).
#pragma once

#include "framework/WinTypes.h"

class CSize : public tagSIZE {
public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) { cx = x, cy = y; }
  CSize(const SIZE& s) { cx = s.cx, cy = s.cy; }
  bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(const SIZE& s) const { return !(*this == s); }
  void operator+=(const SIZE& s) { cx += s.cx, cy += s.cy; }
  void operator-=(const SIZE& s) { cx -= s.cx, cy -= s.cy; }
  CSize operator+(const SIZE& s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(const SIZE& s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public tagPOINT {
public:
  CPoint() { x = y = 0; }
  CPoint(int ix, int iy) { x = ix, y = iy; }
  CPoint(const POINT& p) { x = p.x, y = p.y; }
  CPoint(const SIZE& s) { x = s.cx, y = s.cy; }
  // A packed mouse position (lParam of a mouse message): signed 16-bit halves.
  explicit CPoint(DWORD dwPoint) {
    x = static_cast<short>(LOWORD(dwPoint));
    y = static_cast<short>(HIWORD(dwPoint));
  }
  void Offset(int dx, int dy) { x += dx, y += dy; }
  void Offset(const POINT& p) { x += p.x, y += p.y; }
  void Offset(const SIZE& s) { x += s.cx, y += s.cy; }
  void SetPoint(int ix, int iy) { x = ix, y = iy; }
  bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
  bool operator!=(const POINT& p) const { return !(*this == p); }
  void operator+=(const SIZE& s) { x += s.cx, y += s.cy; }
  void operator-=(const SIZE& s) { x -= s.cx, y -= s.cy; }
  void operator+=(const POINT& p) { x += p.x, y += p.y; }
  void operator-=(const POINT& p) { x -= p.x, y -= p.y; }
  CPoint operator+(const SIZE& s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(const SIZE& s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(const POINT& p) const { return CPoint(x + p.x, y + p.y); }
  CSize operator-(const POINT& p) const { return CSize(x - p.x, y - p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public tagRECT {
public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  CRect(const RECT& r) { CopyRect(&r); }
  CRect(LPCRECT r) { CopyRect(r); }
  CRect(POINT topLeft, SIZE size) {
    left = topLeft.x, top = topLeft.y, right = left + size.cx, bottom = top + size.cy;
  }
  CRect(POINT topLeft, POINT bottomRight) {
    left = topLeft.x, top = topLeft.y, right = bottomRight.x, bottom = bottomRight.y;
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  // Integer mean of the edges, truncated as C division truncates.
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool EqualRect(LPCRECT r) const {
    return r != nullptr && left == r->left && top == r->top && right == r->right && bottom == r->bottom;
  }

  void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void CopyRect(LPCRECT r) {
    if (r == nullptr) {
      SetRectEmpty();
      return;
    }
    left = r->left, top = r->top, right = r->right, bottom = r->bottom;
  }
  void InflateRect(int dx, int dy) { left -= dx, top -= dy, right += dx, bottom += dy; }
  void InflateRect(SIZE s) { InflateRect(s.cx, s.cy); }
  void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
  void InflateRect(LPCRECT r) { InflateRect(r->left, r->top, r->right, r->bottom); }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void DeflateRect(SIZE s) { InflateRect(-s.cx, -s.cy); }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  void DeflateRect(LPCRECT r) { InflateRect(-r->left, -r->top, -r->right, -r->bottom); }
  void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
  void MoveToX(int x) { right = x + Width(), left = x; }
  void MoveToY(int y) { bottom = y + Height(), top = y; }
  void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
  // Swaps edges so that left <= right and top <= bottom.
  void NormalizeRect() {
    if (left > right) {
      LONG t = left;
      left = right, right = t;
    }
    if (top > bottom) {
      LONG t = top;
      top = bottom, bottom = t;
    }
  }
  // The common part of a and b; all zeros and false when they do not overlap.
  bool IntersectRect(LPCRECT a, LPCRECT b) {
    CRect r(a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
            a->right < b->right ? a->right : b->right, a->bottom < b->bottom ? a->bottom : b->bottom);
    if (CRect(a).IsRectEmpty() || CRect(b).IsRectEmpty() || r.IsRectEmpty()) {
      SetRectEmpty();
      return false;
    }
    *this = r;
    return true;
  }
  // The smallest rectangle holding both; an empty one is left out. False
  // (and all zeros) when both are empty.
  bool UnionRect(LPCRECT a, LPCRECT b) {
    const bool ea = CRect(a).IsRectEmpty(), eb = CRect(b).IsRectEmpty();
    if (ea && eb) {
      SetRectEmpty();
      return false;
    }
    if (ea) {
      CopyRect(b);
      return true;
    }
    if (eb) {
      CopyRect(a);
      return true;
    }
    SetRect(a->left < b->left ? a->left : b->left, a->top < b->top ? a->top : b->top,
            a->right > b->right ? a->right : b->right, a->bottom > b->bottom ? a->bottom : b->bottom);
    return true;
  }

  bool operator==(const RECT& r) const { return EqualRect(&r); }
  bool operator!=(const RECT& r) const { return !EqualRect(&r); }
  void operator+=(POINT p) { OffsetRect(p); }
  void operator+=(SIZE s) { OffsetRect(s); }
  void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
  void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
  CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
  CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
  CRect operator&(const RECT& o) const { CRect r; r.IntersectRect(this, &o); return r; }
  CRect operator|(const RECT& o) const { CRect r; r.UnionRect(this, &o); return r; }
  void operator&=(const RECT& o) { CRect a(*this); IntersectRect(&a, &o); }
  void operator|=(const RECT& o) { CRect a(*this); UnionRect(&a, &o); }
};
