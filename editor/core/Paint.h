// Painting of the main window (separators, toolbar strip, work sheet) and the
// cell painters the pens, the views and the clipboard reuse. Every painter
// draws straight into the canvas it is given.
#ifndef DOTWERK_CORE_PAINT_H
#define DOTWERK_CORE_PAINT_H

#include <cstdint>

#include "core/Canvas.h"

namespace dw {

// How FillCellRect sets its pixels. Both forms give the same pixels; under
// Wine a solid brush is about five times faster for 4-pixel cells, while a
// single SetPixel beats a brush for 1-pixel cells, so FILL_AUTO picks by size.
// The other two forms are kept for the benchmark that compares them.
enum FillMode { FILL_PER_PIXEL = 0, FILL_BRUSH, FILL_AUTO };
extern FillMode g_fillCellRectMode;

// The body of WM_PAINT between BeginPaint and EndPaint.
void PaintMainWindowContent(ICanvas& dc);
void PaintWorkSheet(ICanvas& dc);
// The paint cell size and origin of the work sheet for the current view
// (what PaintWorkSheetCell draws with).
void SetWorkSheetPaintCellSize();
void PaintWorkSheetCell(ICanvas& dc, int32_t column, int32_t row, int32_t screenColumn, int32_t screenRow);
void FillCellRect(ICanvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t color);
void PaintGridLines(ICanvas& dc);
void PaintViewPicture(ICanvas& dc, int32_t cellWidth, int32_t cellHeight, int32_t maxX, int32_t maxY);
void HighlightActiveElement(ICanvas& dc, int32_t cellWidth, int32_t cellHeight);
void RenderActiveAreaBitmap(ICanvas& dc, uint32_t zeroColor, uint32_t setColor);

// Colour of a picture value of the current set by the cell colour rule.
uint32_t CellColor(uint32_t value);
// Icon resource id of toolbar slot 0..11 for the current set and press state.
int ToolbarIconId(int slot);

}  // namespace dw

#endif
