// The edit frame as the picture commands see it. The mouse tools keep the
// frame; until they do, no frame is ever drawn (core/EditFrame.cpp).
#ifndef DOTWERK_CORE_EDITFRAME_H
#define DOTWERK_CORE_EDITFRAME_H

namespace dw {

// Narrow (1): the active area becomes the frame, the old one is kept;
// 0 restores it. Only in the frame tool with a frame drawn.
void ToggleEditFrame(int narrow);
// A frame has been drawn and not cleared.
bool EditFrameExists();

}  // namespace dw

#endif
