#include "files/Printing.h"

#include "core/Dispatch.h"

namespace dw {

// Stand-ins until printing is built: Print is recorded as a command not
// carried out, the preview answers Cancel, the printer shows nothing.
void PrintWorkSheet() { IgnoredCommands().push_back(57607); }
int RunPrintSizeDialog() { return 0; }
void ShowPrinterProperties(int32_t) {}

}  // namespace dw
