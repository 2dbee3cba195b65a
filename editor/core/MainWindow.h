// The main window's message handling as plain functions; the window
// procedure is a thin switch over them.
#ifndef DOTWERK_CORE_MAINWINDOW_H
#define DOTWERK_CORE_MAINWINDOW_H

#include <cstdint>
#include <string>

#include "core/Services.h"

namespace dw {

// Scroll-bar codes with the platform's values.
enum : int {
  SCR_LINEUP = 0,
  SCR_LINEDOWN = 1,
  SCR_PAGEUP = 2,
  SCR_PAGEDOWN = 3,
  SCR_THUMBPOSITION = 4,
  SCR_THUMBTRACK = 5,
  SCR_TOP = 6,
  SCR_BOTTOM = 7,
};
// Size types of WM_SIZE.
enum : int { SIZETYPE_RESTORED = 0, SIZETYPE_MINIMIZED = 1, SIZETYPE_MAXIMIZED = 2 };
// Virtual keys the work sheet handles.
enum : int {
  KEY_BACK = 0x08,
  KEY_RETURN = 0x0D,
  KEY_PRIOR = 0x21,
  KEY_NEXT = 0x22,
  KEY_END = 0x23,
  KEY_HOME = 0x24,
  KEY_LEFT = 0x25,
  KEY_UP = 0x26,
  KEY_RIGHT = 0x27,
  KEY_DOWN = 0x28,
};

// The step a scroll code asks for, clamped to -position .. maximum - position.
int32_t ScrollStep(int code, int32_t position, int32_t maximum, int32_t visibleCells, int32_t elementSize,
                   bool groupView, int32_t thumb);
// WM_VSCROLL / WM_HSCROLL; true when the position changed.
bool HandleScroll(bool vertical, int code, int32_t thumb);
// WM_SIZE with the new client size.
void HandleSize(int sizeType, int32_t clientWidth, int32_t clientHeight);
// WM_KEYDOWN; false when the key goes on to the default procedure.
bool HandleKeyDown(int virtualKey);
// WM_CHAR; false when it goes on to the default procedure (not typing).
bool HandleChar(int32_t character);
// Converts an ANSI character to the OEM code page (the platform's CharToOem;
// identity where there is none).
extern int32_t (*g_ansiToOem)(int32_t);
// WM_ACTIVATE in typing mode.
void HandleActivate(bool active);
// WM_TIMER: one 300 ms tick. open reads a data file (OpenDataFile).
void HandleTimerTick(int (*open)(const char* path));
// WM_CREATE after the window handle is kept.
void HandleCreate();
// WM_CLOSE: false when the close is abandoned (nothing written, windows stay).
bool HandleClose();
// "Reset to Defaults and Exit": the exit prompts WM_CLOSE asks, then every
// row of the settings file written with its default, so the next start is a
// first start. False when a prompt was cancelled (nothing written); the
// caller then closes the main window, whose WM_CLOSE writes nothing more.
bool PrepareResetAndExit();
// Every row of the settings table with its default (both sets, every index);
// the version is stamped as a run of this program writes it.
void WriteDefaultSettings(IProfile& p);
// WM_MOUSEMOVE over the toolbar: the hint of the hovered button, or empty.
std::string ToolbarHint(int32_t x, int32_t y);

}  // namespace dw

#endif
