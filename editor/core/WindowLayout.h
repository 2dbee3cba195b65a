// Default window layout, the clamps applied to stored window positions, and
// the toolbar button rectangles: pure functions of the screen metrics.
#ifndef DOTWERK_CORE_WINDOWLAYOUT_H
#define DOTWERK_CORE_WINDOWLAYOUT_H

#include "core/EditorState.h"

namespace dw {

// Layout of the eight windows for the metrics, the Palette window's outer size
// and the Palette y in force before (0 at the first start). Show values are 1.
void ComputeLayout(const ScreenMetrics& m, int32_t paletteWidth, int32_t paletteHeight,
                   int32_t earlierPaletteY, WindowPlacement out[WIN_COUNT]);

// A stored x beyond the right edge is pulled back (the ToolBox to 1.5 icon
// widths from the edge, the others to 3), a negative one becomes 0.
int32_t ClampWindowX(const ScreenMetrics& m, int32_t x, bool toolBox);
int32_t ClampWindowY(const ScreenMetrics& m, int32_t y);
// A main window size larger than the screen becomes the screen size - 4.
int32_t ClampMainWidth(const ScreenMetrics& m, int32_t w);
int32_t ClampMainHeight(const ScreenMetrics& m, int32_t h);

// Button i: x from i * icon width + 4 * (i + gap(i) + 1), one icon wide,
// y from 4 to 4 + icon height.
void ComputeToolbarRects(int32_t iconWidth, int32_t iconHeight, Rect out[kToolbarButtons]);

}  // namespace dw

#endif
