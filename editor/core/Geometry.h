// Work-sheet geometry of the current data set.
#ifndef DOTWERK_CORE_GEOMETRY_H
#define DOTWERK_CORE_GEOMETRY_H

namespace dw {

// Picture limits, cell sizes, active area, caret, titles, printed size.
// Does not touch the scroll ranges (UpdateMainScrollBars owns them).
void UpdateWorkSheetGeometry();

// Places the typing caret at the caret cell by the current view's cell size.
void PlaceCaret();

}  // namespace dw

#endif
