// The small count dialogs: LCD geometry (PIXELSIZE), add/remove columns or
// rows, scroll a number of pixels, insert and delete elements. Each runs
// modally over the main window; tests script them through the hooks.
#ifndef DOTWERK_CORE_COUNTDIALOGS_H
#define DOTWERK_CORE_COUNTDIALOGS_H

#include <cstdint>

namespace dw {

// PIXELSIZE: on OK (1) the LCD counts, sizes, spacings and shape choice are
// stored in the settings globals; Cancel (0) changes nothing.
int RunPixelSizeDialog();
// ADDREMOVECOLUMNROW with mode 0 remove, 1 add rows, 2 add columns: OK (1)
// leaves the count in *count and stores the corner setting; Cancel (0) sets
// *count to 0.
int RunAddRemoveColumnRowDialog(int mode, int32_t* count);
// PIXELSCROLL: OK (1) leaves the count in *count; Cancel (0) sets it to 0.
int RunPixelScrollDialog(int32_t* count);
// ELEMENTINSERT: *count starts as the previous operation count; OK (1)
// gives the count and the first character; Cancel (0) changes neither.
int RunElementInsertDialog(int32_t* count, int32_t* firstChar);
// ELEMENTDELETE: as ELEMENTINSERT without the character; OK may switch the
// delete method (check box 1221).
int RunElementDeleteDialog(int32_t* count);

}  // namespace dw

#endif
