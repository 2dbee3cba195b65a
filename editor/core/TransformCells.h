// Cell-block helpers shared by the picture transformations: rectangles
// clipped to the cell store, the element blocks of the grid, and the moves
// (rotate, mirror, transpose) that every command is built from. Every cell
// is reached through a column taken with CellPtr, and every rectangle is
// clipped to the store first, so no helper can leave the set's cells.
#ifndef DOTWERK_CORE_TRANSFORMCELLS_H
#define DOTWERK_CORE_TRANSFORMCELLS_H

#include <cstdint>

#include "core/EditorState.h"

namespace dw {

// View modes and tools the transformations tell apart.
enum : int32_t {
  kViewShowElement = 10096,
  kViewSingleIcon = 10097,
  kViewGroupAsIcon = 10098,
  kViewShowGroup = 10099,
  kMouseModeEditFrame = 105,
  kColorModeColor = 10666,
  kColorKindPalette = 10668,
  kPenWhite = 10020,
};

// A rectangle of cells; right and bottom are exclusive.
struct CellArea {
  int64_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right > left ? static_cast<int32_t>(right - left) : 0; }
  int32_t Height() const { return bottom > top ? static_cast<int32_t>(bottom - top) : 0; }
  bool Empty() const { return Width() == 0 || Height() == 0; }
};

CellArea Intersect(const CellArea& a, const CellArea& b);
CellArea StoreArea();
CellArea PictureArea(const DataSet& s);  // the picture, clipped to the store
CellArea ActiveAreaOf(const DataSet& s);  // ActiveArea, clipped to the store
// Grid block of element n at the common element size (not clipped).
CellArea ElementBlock(const DataSet& s, int32_t n);

// Column x of the current set (x within the store), rows 0..1199.
uint32_t* Column(int64_t x);

// The value the inverse pen writes: what the picture shows as background.
uint32_t BackgroundValue(const DataSet& s);

// Grid rows in use: (count + countX - 1) div countX, with countX at least 1.
int32_t GridRows(const DataSet& s);
// Own size of element n, or the common size when the index is out of range.
int32_t OwnWidth(const DataSet& s, int32_t n);
int32_t OwnHeight(const DataSet& s, int32_t n);

// Circular shifts of a clipped area: columns left by k, rows up by k.
void RotateColumnsLeft(const CellArea& a, int32_t k);
void RotateRowsUp(const CellArea& a, int32_t k);
// Left and right exchanged (columns), or top and bottom (rows).
void MirrorColumns(const CellArea& a);
void MirrorRows(const CellArea& a);
// Cell (x, y) of the area goes to (y, x) relative to its top-left corner;
// cells that would land outside `limit` are dropped. The area must lie in
// the store.
void TransposeArea(const CellArea& a, const CellArea& limit);
// Index of the first column of the area whose cells are not all equal, or
// the area's width when every column is uniform.
int32_t FirstMixedColumn(const CellArea& a);
void FillArea(const CellArea& a, uint32_t value);
// Copies column src to column dst over the rows [top, bottom) of the store.
void CopyColumn(int64_t src, int64_t dst, int64_t top, int64_t bottom);

// The whole-picture commands of TransformSize.cpp.
void GrowOrShrink(int id);
void DoublePicture();
void HalfPicture();

// Work-sheet and Pixel View repaint after a transformation.
void RepaintAfterTransform(bool erase);

}  // namespace dw

#endif
