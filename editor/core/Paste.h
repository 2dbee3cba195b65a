// Clipboard commands of the work sheet: copy, paste and delete of the active
// area, and the paste sizing the CLIPSIZE dialog previews with.
#ifndef DOTWERK_CORE_PASTE_H
#define DOTWERK_CORE_PASTE_H

#include <cstdint>

#include "core/Services.h"

namespace dw {

void ComputePasteSize(int32_t requestedWidth, int32_t requestedHeight);
void PasteClipboardBitmap(const ClipBitmap& bitmap);

// The commands: Copy (57634), Paste (57637), Delete (10049).
void CommandCopy();
void CommandPaste();
void CommandDelete();

}  // namespace dw

#endif
