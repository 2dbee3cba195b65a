#include "core/Paste.h"

#include "core/Dispatch.h"

namespace dw {

// Stand-ins until the paste is built.
void ComputePasteSize(int32_t, int32_t) {}
void PasteClipboardBitmap(const ClipBitmap&) {}
void CommandCopy() { IgnoredCommands().push_back(57634); }
void CommandPaste() { IgnoredCommands().push_back(57637); }
void CommandDelete() { IgnoredCommands().push_back(10049); }

}  // namespace dw
