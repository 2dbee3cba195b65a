// Printing the work sheet, the print preview (PRINTSIZE) and the printer's
// own properties dialog.
#ifndef DOTWERK_FILES_PRINTING_H
#define DOTWERK_FILES_PRINTING_H

#include <cstdint>

namespace dw {

// Prints the work sheet on the chosen printer ("PrinterNumber").
void PrintWorkSheet();
// PRINTSIZE: OK (1) or Cancel (0).
int RunPrintSizeDialog();
// Opens the printer of the "C&hange Printer" list and shows its properties.
void ShowPrinterProperties(int32_t printerNumber);

}  // namespace dw

#endif
