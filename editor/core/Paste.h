// Clipboard commands of the work sheet: copy, paste and delete of the active
// area, and the paste sizing the CLIPSIZE dialog previews with.
#ifndef DOTWERK_CORE_PASTE_H
#define DOTWERK_CORE_PASTE_H

#include <cstdint>

#include "core/PasteConvert.h"
#include "core/Services.h"

namespace dw {

// Paste actions ("ClipAction").
enum : int32_t {
  kPasteCopyPixel = 1016,      // pixel to pixel, cut to the target
  kPasteFitClipboard = 1017,   // the bitmap scaled to the paste size
  kPasteFitPicture = 1018,     // the picture (or element) takes the bitmap's size
};

// Commands of the clipboard rows.
enum : int {
  kCmdCut = 57635,
  kCmdCopy = 57634,
  kCmdPaste = 57637,
  kCmdDelete = 10049,
  kCmdDisablePasteDialog = 10141,
};

extern const char kClipboardHoldsText[];     // "Unsupported ClipBoard format.\nClipboard contains text"
extern const char kClipboardUnsupported[];   // "Unsupported ClipBoard format.\nPlease run ClipBook Viewer to check."

// What a paste keeps between its steps: the last paste size, the bitmap's
// size, the interpolation direction (kept for the run only) and the flag that
// makes a paste started during a running one do nothing.
struct PasteState {
  int32_t width = 0, height = 0;
  int32_t clipWidth = 0, clipHeight = 0;
  int32_t direction = kDirectionBoth;
  bool busy = false;
};
PasteState& CurrentPaste();
// Back to the first start's values (tests and the fuzzer start from there).
void ResetPasteState();

// The interpolation the settings ask for.
Interpolation PasteInterpolation();

// Views whose paste goes into one element (Show Element, Show Group), and
// the edit-frame tool with a frame drawn.
bool IsElementView(const DataSet& s);
bool InEditFrameMode(const DataSet& s);

// A bitmap with a size and all its pixels.
bool IsUsableClipBitmap(const ClipBitmap& bitmap);

// The active area while the edit frame narrows it (only in the frame tool),
// and back.
void NarrowToEditFrame(bool narrow);

// The picture cell the paste's top-left pixel goes to, for the active area in
// force (narrow first for the frame).
void PasteOrigin(int32_t* x, int32_t* y);

// The paste size from a requested size, the paste action, the view and the
// bitmap's size (CurrentPaste().clipWidth/clipHeight); nothing in the frame
// tool. Action 1018 in the icon views also gives the picture the bitmap's size.
void ComputePasteSize(int32_t requestedWidth, int32_t requestedHeight);

// Pastes the bitmap at the last paste size into the current set, with the
// interpolation, brightness and colour matching of the settings. Only cells
// inside the store are written; an unusable bitmap changes nothing.
void PasteClipboardBitmap(const ClipBitmap& bitmap);

// The commands: Copy (57634), Paste (57637), Delete (10049). Cut is Copy
// then Delete, posted by the dispatcher, which also switches the dialog off
// and on (10141).
void CommandCopy();
void CommandPaste();
void CommandDelete();

}  // namespace dw

#endif
