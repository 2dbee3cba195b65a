// GdiCanvas: ViewCanvas on a GDI device context. Pens, brushes and fonts are
// made once per distinct value and kept for the canvas's life, so a repaint
// of thousands of points does not create thousands of GDI objects. The
// context's original objects are put back on destruction. Windows build only.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <vector>

#include "views/ViewCanvas.h"

class GdiCanvas : public ViewCanvas {
public:
    explicit GdiCanvas(HDC dc);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    // The system's button-face and window colours.
    static CanvasSystemColors SystemColors();

    void SetPen(CanvasPenStyle style, int width, CanvasColor color) override;
    void SetBrush(CanvasColor color) override;
    void SetHollowBrush() override;
    void SetFont(const CanvasFont& font) override;
    void SetTextColor(CanvasColor color) override;
    void SetBackColor(CanvasColor color) override;
    void SetTransparentBack(bool transparent) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void FillRect(int left, int top, int right, int bottom, CanvasColor color) override;
    void DrawText(const std::string& text, int left, int top, int right, int bottom, unsigned flags) override;

private:
    struct PenKey { CanvasPenStyle style; int width; CanvasColor color; HPEN pen; };
    struct BrushKey { CanvasColor color; HBRUSH brush; };
    struct FontKey { CanvasFont font; HFONT handle; };

    HDC m_dc;
    HGDIOBJ m_oldPen, m_oldBrush, m_oldFont;
    std::vector<PenKey> m_pens;
    std::vector<BrushKey> m_brushes;
    std::vector<FontKey> m_fonts;
};

#endif  // _WIN32
