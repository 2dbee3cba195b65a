#include "core/Elements.h"

namespace dw {

// Stand-ins until the element operations are built.
bool CopyElementCells(int32_t, int32_t, int32_t, int32_t) { return false; }
bool ClearElement(int32_t, int32_t, bool) { return false; }
bool MoveElement(int32_t, int32_t, int32_t, int32_t, bool) { return false; }
void RelayoutElements(int32_t, int32_t) {}
void ElementToolLButtonDown(int32_t, int32_t) {}

}  // namespace dw
