// ViewCanvas: what the plot views draw on. The models of the position plot
// and the sky plot stay free of window code and draw through this interface:
// GDI on a device context in the program (GdiCanvas_win), a recorder in the
// host tests, fuzz targets and benchmarks (RecordingCanvas).
#pragma once

#include <cstdint>
#include <string>

// Colours as 0x00BBGGRR, the layout of GDI's COLORREF.
using CanvasColor = uint32_t;
constexpr CanvasColor CanvasRgb(int r, int g, int b)
{
    return static_cast<CanvasColor>((r & 255) | ((g & 255) << 8) | ((b & 255) << 16));
}

enum class CanvasPenStyle { Solid, Dot, Null };

// DrawText's placement in its box; combine with |.
enum CanvasTextFlags : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextVCenter = 4,
    kTextSingleLine = 8,
};

// A font as CreateFont takes it: height negative for the character height.
struct CanvasFont {
    std::string face;
    int height = 0;
    int weight = 400;
};

// The two system colours the views paint with. The program reads them from
// the system; tests keep these defaults.
struct CanvasSystemColors {
    CanvasColor buttonFace = CanvasRgb(240, 240, 240);
    CanvasColor window = CanvasRgb(255, 255, 255);
};

class ViewCanvas {
public:
    virtual ~ViewCanvas() = default;

    // The pen outlines rectangles and ellipses and draws lines.
    virtual void SetPen(CanvasPenStyle style, int width, CanvasColor color) = 0;
    // The brush fills rectangles and ellipses; a hollow brush fills nothing.
    virtual void SetBrush(CanvasColor color) = 0;
    virtual void SetHollowBrush() = 0;
    virtual void SetFont(const CanvasFont& font) = 0;
    virtual void SetTextColor(CanvasColor color) = 0;
    // Text and the gaps of dotted lines are drawn on this colour unless the
    // background is transparent.
    virtual void SetBackColor(CanvasColor color) = 0;
    virtual void SetTransparentBack(bool transparent) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Inclusive-exclusive boxes as GDI's Rectangle and Ellipse take them.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // Fills without the pen.
    virtual void FillRect(int left, int top, int right, int bottom, CanvasColor color) = 0;
    // Text placed in a box by CanvasTextFlags.
    virtual void DrawText(const std::string& text, int left, int top, int right, int bottom, unsigned flags) = 0;
};
