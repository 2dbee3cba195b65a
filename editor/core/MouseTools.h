// Work-sheet mouse tools.
#ifndef DOTWERK_CORE_MOUSETOOLS_H
#define DOTWERK_CORE_MOUSETOOLS_H

#include <cstdint>

namespace dw {

// Stand-ins: the drawing tools arrive later; wParam and lParam as the
// window message carries them.
void HandleLButtonDown(uintptr_t wParam, intptr_t lParam);
void HandleLButtonUp(uintptr_t wParam, intptr_t lParam);
void HandleMouseMove(uintptr_t wParam, intptr_t lParam);
void HandleRButtonDown(uintptr_t wParam, intptr_t lParam);
void HandleRButtonUp(uintptr_t wParam, intptr_t lParam);
void DrawEditFrame(int active);

}  // namespace dw

#endif
