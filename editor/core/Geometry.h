// Work-sheet geometry of the current data set.
#ifndef DOTWERK_CORE_GEOMETRY_H
#define DOTWERK_CORE_GEOMETRY_H

#include <cstdint>

namespace dw {

struct GlobalSettings;

// Screen pixels a work-sheet cell may have at most: the fixed sizes run from
// 10201 (1 pixel) to 10456 (256 pixels); larger cells would let cell size x
// picture size overflow the drawing coordinates.
constexpr int32_t kMaxWorkSheetCellPixels = 256;

// The LCD's pixel shape: (pixel height + spacing) / (pixel width + spacing),
// 1 when a size is not positive.
double LcdAspectRatio(const GlobalSettings& cfg);

// Picture limits, cell sizes, active area, caret, titles, printed size.
// Does not touch the scroll ranges (UpdateMainScrollBars owns them).
void UpdateWorkSheetGeometry();

// Places the typing caret at the caret cell by the current view's cell size.
void PlaceCaret();

}  // namespace dw

#endif
