// The Win32 side of the twist-and-turn dialog: its procedure over a
// TwistSession, for the program and the Win32 tests.
#ifndef DOTWERK_CORE_TWIST_WIN_H
#define DOTWERK_CORE_TWIST_WIN_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/Twist.h"

namespace dw {

// Control ids of TWISTANDTURNDOTMAP (editor/res/twist.rc).
enum : int {
  IDC_TWIST_MODE_FIRST = 1810,  // radios 1810..1817
  IDC_TWIST_MODE_LAST = 1817,
  IDC_TWIST_AMOUNT = 1035,
  IDC_TWIST_BAR = 1820,
  IDC_TWIST_APPLY = 1821,
};

// lParam of WM_INITDIALOG is the TwistSession. OK and Cancel finish the
// session before the dialog ends (1 and 0).
INT_PTR CALLBACK TwistAndTurnDotMapDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace dw

#endif
