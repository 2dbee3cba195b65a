// The pixel work of the drawing tools, free of any window: what a pen writes
// into a cell, the one rasteriser of the shape tools (lines, rectangles,
// ellipses) and the flood fill. The work sheet, the fuzzer and the golden
// files all draw through these, so they agree cell for cell.
#ifndef DOTWERK_CORE_RASTER_H
#define DOTWERK_CORE_RASTER_H

#include <cstdint>

#include "core/EditorState.h"

namespace dw {

// Pen commands of a data set.
enum : int32_t { PEN_BLACK = 10019, PEN_WHITE = 10020, PEN_TOGGLE = 10078 };

// Colour of a picture value by the cell colour rule of set s: a palette
// index shows its palette entry (black beyond the palette), any other value
// is its own 0x00BBGGRR colour.
uint32_t CellColorOf(const DataSet& s, uint32_t value);

// The value the pen of set s writes over a cell holding `old`; false when the
// pen leaves the cell as it is. Black and white: Black 1, White 0, Toggle 1
// unless the cell was 1 (then 0). Palette kind: the tool colour index; RGB
// kind: the RGB tool colour.
bool PenValue(const DataSet& s, uint32_t old, uint32_t* out);
// The inverse pen: Black 0, White 1, Toggle leaves the cell; palette kind the
// background index; RGB kind the background colour.
bool InversePenValue(const DataSet& s, uint32_t old, uint32_t* out);

// The shapes of the shape tools, numbered as their commands from 10014 on.
enum ShapeKind : int {
  SHAPE_HOLLOW_ELLIPSE = 0,
  SHAPE_SOLID_ELLIPSE = 1,
  SHAPE_HOLLOW_RECTANGLE = 2,
  SHAPE_SOLID_RECTANGLE = 3,
  SHAPE_LINE = 4,
};
constexpr int kShapeKinds = 5;

// Receives the cells of a shape as runs [x0, x1) on row y.
struct SpanSink {
  virtual ~SpanSink() {}
  virtual void Span(int32_t y, int32_t x0, int32_t x1) = 0;
};

// Visits every cell of a shape between the corner cells (x0, y0) and
// (x1, y1) that lies inside clip (right and bottom exclusive) exactly once.
// A line is what a 1-pixel pen draws from the start to the end and back, so
// both end cells belong to it (a line of length 0 is its one cell).
// Rectangles cover the box from corner to corner inclusive. An ellipse is
// inscribed in that box by the midpoint rule: a cell belongs to it when its
// centre lies inside the ellipse through the box's outer edges; the middle
// row (two for an even height) spans the box and every row keeps its middle
// cell (two for an even width), so the ellipse touches all four sides. The
// hollow shapes are the cells of the solid ones with a 4-neighbour outside.
// The corners may come in any order and lie anywhere; they are limited to
// +-16384 first. Unknown kinds draw nothing.
void RasterShape(int kind, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Rect& clip, SpanSink& sink);

// The flood fill over the cells of `area` (right and bottom exclusive, cut to
// the store): the 4-connected cells around the seed whose colour equals the
// seed's. `work` holds one entry per cell of the area (the state's fill work
// list); it is both the list of cells still to visit and the mark of the
// region, so no recursion and no allocation take place. Returns the number of
// cells of the region (0 when the seed lies outside the area); *changes
// receives how many of them do not hold `value` yet.
int64_t MarkFillRegion(const DataSet& s, const Rect& area, int32_t seedX, int32_t seedY, uint32_t value,
                       int32_t* work, int64_t* changes);
// Writes `value` into the cells MarkFillRegion marked, and only those.
void WriteFillRegion(DataSet& s, const Rect& area, uint32_t value, const int32_t* work);
// The value the fill writes for pen s over a region whose seed holds `seed`:
// Black 1, White 0, Toggle the seed's opposite (black unless the seed shows
// black); palette kind the tool index, RGB kind the tool colour. False when
// the set has no pen (black and white without one of the three).
bool FillValue(const DataSet& s, uint32_t seed, uint32_t* out);

// The area a tool may write: r cut to the picture store.
Rect ClipToStore(const Rect& r);

}  // namespace dw

#endif
