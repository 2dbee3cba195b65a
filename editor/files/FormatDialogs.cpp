#include "files/FormatDialogs.h"

namespace dw {

// Stand-ins until the format dialogs are built: each answers Cancel.
int RunColorDataFormatKelvorDialog() { return 0; }
int RunDataFormatDialog(const char*) { return 0; }

}  // namespace dw
