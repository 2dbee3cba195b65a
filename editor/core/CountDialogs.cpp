#include "core/CountDialogs.h"

namespace dw {

// Stand-ins until the dialogs are built: every dialog answers Cancel.
int RunPixelSizeDialog() { return 0; }
int RunAddRemoveColumnRowDialog(int, int32_t* count) {
  *count = 0;
  return 0;
}
int RunPixelScrollDialog(int32_t* count) {
  *count = 0;
  return 0;
}
int RunElementInsertDialog(int32_t*, int32_t*) { return 0; }
int RunElementDeleteDialog(int32_t*) { return 0; }

}  // namespace dw
