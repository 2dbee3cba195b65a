#include "core/Help.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace dw {

void ShowHelpContents() {
#ifdef _WIN32
  WinHelpA(GetActiveWindow(), "dotwerk.hlp", HELP_CONTENTS, 0);
#endif
}

}  // namespace dw
