#pragma once
// Thin Win32 helpers: starting programs, the registry, window placement and
// docking, and the clipboard. Windows build only; the arithmetic they rely on
// lives in DockLayout.h and the settings behind ProfileStore.h.
#ifdef _WIN32

#include "framework/WinTypes.h"

// Starts a process (inherited handles, normal priority); the program name
// may be null when the command line names it.
bool RunProgram(LPCTSTR program, LPCTSTR commandLine);

// Opens an existing key with full access.
bool OpenRegistryKey(HKEY root, LPCTSTR subKey, HKEY& key);
bool CloseRegistryKey(HKEY key);
// A 4-byte value; false when missing or of another size.
bool ReadRegistryDword(HKEY key, LPCTSTR name, DWORD& value);
bool WriteRegistryDword(HKEY key, LPCTSTR name, DWORD value);

// The screen point lies in the window's rectangle.
bool IsPointInWindow(POINT point, HWND window);
// Enables or disables each direct child of the parent, or only those whose
// top-left corner lies in the area window's rectangle; with `skipStatics`
// children whose class name contains "static" (any case) are left alone.
void EnableChildWindows(HWND parent, bool enable, HWND area, bool skipStatics);

// Moves the window to the profile integers "x1" and "y1" of the section
// (keeping its size), or centres it on the desktop when both are 0; then
// sends it WM_USER+2.
void RestoreWindowPosition(HWND window, LPCTSTR section);
// Writes the left and top of the window's normal position as "x1" and "y1".
void SaveWindowPosition(HWND window, LPCTSTR section);

// Places a tool window in a dock slot of the main window (DockLayout.h) and
// sends it WM_USER+2; nothing when no slot applies. With `reserve` the slot
// then holds the dialog.
void DockDialogToMainWindow(HWND dialog, HWND mainWindow, int gap, bool centre, bool matchSize,
                            bool reserve);
// Empties every dock slot of the main window that holds the dialog.
void UndockDialogFromMainWindow(HWND dialog, HWND mainWindow);

// The text with one blank appended as CF_TEXT; false for an empty text or
// when the clipboard cannot be had.
bool CopyTextToClipboard(LPCTSTR text);
// Every line of the list box followed by "\n", through CopyTextToClipboard.
bool CopyListBoxToClipboard(HWND listBox);
// Selects all of the rich edit's text and has it copy itself.
bool CopyRichEditToClipboard(HWND richEdit);
// The image of the whole window or of its client area as CF_BITMAP.
bool CopyWindowToClipboard(HWND window, bool wholeWindow);

#endif  // _WIN32
