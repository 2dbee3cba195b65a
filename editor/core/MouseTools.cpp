#include "core/MouseTools.h"

namespace dw {

void HandleLButtonDown(uintptr_t, intptr_t) {}
void HandleLButtonUp(uintptr_t, intptr_t) {}
void HandleMouseMove(uintptr_t, intptr_t) {}
void HandleRButtonDown(uintptr_t, intptr_t) {}
void HandleRButtonUp(uintptr_t, intptr_t) {}
void DrawEditFrame(int) {}

}  // namespace dw
