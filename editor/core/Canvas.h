// The drawing calls the painters make. The program draws through GDI; host
// tests record the calls or render them into a pixel buffer.
#ifndef DOTWERK_CORE_CANVAS_H
#define DOTWERK_CORE_CANVAS_H

#include <cstdint>

namespace dw {

// Raster operations with the platform's values.
enum : uint32_t {
  ROP_BLACKNESS = 0x00000042,
  ROP_WHITENESS = 0x00FF0062,
  ROP_DSTINVERT = 0x00550009,
};

enum PenKind { PEN_STOCK_BLACK = 0, PEN_STOCK_WHITE, PEN_SOLID, PEN_NULL };

struct ICanvas {
  virtual ~ICanvas() {}
  virtual void PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t rop) = 0;
  virtual void SetPixel(int32_t x, int32_t y, uint32_t color) = 0;
  // Fills [left, right) x [top, bottom) with one solid brush.
  virtual void FillSolid(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color) = 0;
  // Selects a stock pen or creates a 1-pixel solid or null pen; ReleasePen
  // deselects it and deletes what was created.
  virtual void SelectPen(int kind, uint32_t color) = 0;
  virtual void ReleasePen() = 0;
  // MoveTo (x0, y0), LineTo (x1, y1): the end point is not drawn.
  virtual void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) = 0;
  virtual void DrawIcon(int32_t x, int32_t y, int iconId) = 0;
  virtual void SetXorMode(bool on) = 0;
};

}  // namespace dw

#endif
