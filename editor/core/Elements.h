// Element grid operations: copy, clear and move single elements, relayout
// the grid for a new count X, and the element tools of the work sheet.
#ifndef DOTWERK_CORE_ELEMENTS_H
#define DOTWERK_CORE_ELEMENTS_H

#include <cstdint>

namespace dw {

bool CopyElementCells(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo);
bool ClearElement(int32_t n, int32_t countX, bool resetSize);
bool MoveElement(int32_t from, int32_t to, int32_t countXFrom, int32_t countXTo, bool resetSize);
void RelayoutElements(int32_t oldCountX, int32_t newCountX);

// A left click of the element tools (mouse mode 107) on picture cell (x, y).
void ElementToolLButtonDown(int32_t cellX, int32_t cellY);

}  // namespace dw

#endif
