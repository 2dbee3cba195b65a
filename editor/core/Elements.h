// Element grid operations: copy, clear and move single elements, relayout
// the grid for a new count X, and the element tools of the work sheet.
//
// An element is moved as a block of the common element size at its grid
// place: element n lies at column n mod countX, row n div countX. Places
// that do not lie wholly inside the 1600 x 1200 store are refused, so no
// operation here ever writes outside it.
#ifndef DOTWERK_CORE_ELEMENTS_H
#define DOTWERK_CORE_ELEMENTS_H

#include <cstdint>

namespace dw {

// Copies the cells of element `from` (under countXFrom) to the place of
// element `to` (under countXTo) in the current set. Refused (false, nothing
// done) when a number lies outside 0..65535 or a place is not wholly inside
// the store (x + width <= 1600, y + height <= 1200). Element `to` then has
// the common size when it lies at or past the element count, else the own
// size of `from`.
bool CopyElementCells(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo);
// Fills element n's place with the background (0, the background index or
// the RGB background); with resetSize its own size becomes the common one.
// Refused like the copy.
bool ClearElement(int32_t n, int32_t countX, bool resetSize);
// CopyElementCells, then the source is cleared, only when the copy ran (and
// not when both places are the same).
bool MoveElement(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo, bool resetSize);
// Moves every element of the current set from its place under oldCountX to
// its place under newCountX without one overwriting another that has not
// moved yet. Only the cells move; the caller sets the count X.
void RelayoutElements(int32_t oldCountX, int32_t newCountX);

// A left click of the element tools (mouse mode 107) on picture cell (x, y):
// insert empty or copied elements, delete, clear, or draw a line of the Font
// View's symbols, by the current tool. Every refusal is decided before the
// undo snapshot, so a refused click changes nothing.
void ElementToolLButtonDown(int32_t cellX, int32_t cellY);

// Forgets a pending first click of the From -> To delete (a fresh editor
// state starts waiting for the first click).
void ResetElementTools();

}  // namespace dw

#endif
