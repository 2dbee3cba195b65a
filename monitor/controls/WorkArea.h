#pragma once
// Tool windows are docked beside the main window or centred on it; near a
// screen's edge that places them partly off the screen. Windows build only.
#ifdef _WIN32

#include <windows.h>

// Moves a window that hangs off its monitor's work area back onto it,
// keeping its size; a window wholly on it stays where it is.
void KeepWindowOnWorkArea(HWND window);

#endif  // _WIN32
