// Initialisation of the main window at its creation and by Reset to Defaults.
#ifndef DOTWERK_CORE_MAININIT_H
#define DOTWERK_CORE_MAININIT_H

#include <string>

#include "core/Services.h"

namespace dw {

void InitMainWindow(const char* fileName);
void InitMainWindow(IProfile& p);

// Splits a printer profile value "name,driver,port" / "driver,port".
void SplitPrinterValue(const std::string& value, std::string* first, std::string* rest);

// The "C&hange Printer" menu from the Windows profile: the default printer
// and at most 43 installed ones (ids 10799..10842).
void BuildPrinterList();

}  // namespace dw

#endif
