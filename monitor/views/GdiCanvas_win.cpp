#include "views/GdiCanvas_win.h"

GdiCanvas::GdiCanvas(HDC dc)
    : m_dc(dc),
      m_oldPen(GetCurrentObject(dc, OBJ_PEN)),
      m_oldBrush(GetCurrentObject(dc, OBJ_BRUSH)),
      m_oldFont(GetCurrentObject(dc, OBJ_FONT))
{
}

GdiCanvas::~GdiCanvas()
{
    SelectObject(m_dc, m_oldPen);
    SelectObject(m_dc, m_oldBrush);
    SelectObject(m_dc, m_oldFont);
    for (const PenKey& p : m_pens) DeleteObject(p.pen);
    for (const BrushKey& b : m_brushes) DeleteObject(b.brush);
    for (const FontKey& f : m_fonts) DeleteObject(f.handle);
}

CanvasSystemColors GdiCanvas::SystemColors()
{
    CanvasSystemColors colors;
    colors.buttonFace = GetSysColor(COLOR_BTNFACE);
    colors.window = GetSysColor(COLOR_WINDOW);
    return colors;
}

void GdiCanvas::SetPen(CanvasPenStyle style, int width, CanvasColor color)
{
    for (const PenKey& p : m_pens) {
        if (p.style == style && p.width == width && p.color == color) {
            SelectObject(m_dc, p.pen);
            return;
        }
    }
    int gdiStyle = style == CanvasPenStyle::Dot ? PS_DOT : style == CanvasPenStyle::Null ? PS_NULL : PS_SOLID;
    HPEN pen = CreatePen(gdiStyle, width, color);
    if (!pen) return;
    m_pens.push_back({style, width, color, pen});
    SelectObject(m_dc, pen);
}

void GdiCanvas::SetBrush(CanvasColor color)
{
    for (const BrushKey& b : m_brushes) {
        if (b.color == color) {
            SelectObject(m_dc, b.brush);
            return;
        }
    }
    HBRUSH brush = CreateSolidBrush(color);
    if (!brush) return;
    m_brushes.push_back({color, brush});
    SelectObject(m_dc, brush);
}

void GdiCanvas::SetHollowBrush() { SelectObject(m_dc, GetStockObject(HOLLOW_BRUSH)); }

void GdiCanvas::SetFont(const CanvasFont& font)
{
    for (const FontKey& f : m_fonts) {
        if (f.font.face == font.face && f.font.height == font.height && f.font.weight == font.weight) {
            SelectObject(m_dc, f.handle);
            return;
        }
    }
    HFONT handle = CreateFontA(font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
    if (!handle) return;
    m_fonts.push_back({font, handle});
    SelectObject(m_dc, handle);
}

void GdiCanvas::SetTextColor(CanvasColor color) { ::SetTextColor(m_dc, color); }
void GdiCanvas::SetBackColor(CanvasColor color) { ::SetBkColor(m_dc, color); }
void GdiCanvas::SetTransparentBack(bool transparent) { ::SetBkMode(m_dc, transparent ? TRANSPARENT : OPAQUE); }
void GdiCanvas::MoveTo(int x, int y) { ::MoveToEx(m_dc, x, y, nullptr); }
void GdiCanvas::LineTo(int x, int y) { ::LineTo(m_dc, x, y); }
void GdiCanvas::Rectangle(int l, int t, int r, int b) { ::Rectangle(m_dc, l, t, r, b); }
void GdiCanvas::Ellipse(int l, int t, int r, int b) { ::Ellipse(m_dc, l, t, r, b); }

void GdiCanvas::FillRect(int l, int t, int r, int b, CanvasColor color)
{
    RECT rc = {l, t, r, b};
    COLORREF old = ::SetBkColor(m_dc, color);
    ::ExtTextOutA(m_dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_dc, old);
}

void GdiCanvas::DrawText(const std::string& text, int l, int t, int r, int b, unsigned flags)
{
    RECT rc = {l, t, r, b};
    UINT format = DT_NOPREFIX;
    if (flags & kTextCenter) format |= DT_CENTER;
    if (flags & kTextRight) format |= DT_RIGHT;
    if (flags & kTextVCenter) format |= DT_VCENTER;
    if (flags & kTextSingleLine) format |= DT_SINGLELINE;
    ::DrawTextA(m_dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
}
