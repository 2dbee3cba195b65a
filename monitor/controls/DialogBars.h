// The decisions of the dialog with tool and status bars that need no
// window: the tool-bar bitmap's background replacement, the dialog font's
// height, tooltip and pane texts, and how far controls and window move when
// the tool bar is shown or hidden. Portable, tested natively.
#pragma once

#include <stddef.h>

#include "framework/CString.h"
#include "framework/WinTypes.h"

// Replaces every light-grey pixel (192, 192, 192) of a 24-bit image stored
// as blue, green, red triples by `face`. Reads width x height pixels, never
// more than `size` bytes. Returns how many pixels were replaced.
int ReplaceLightGrey(BYTE* bgr, size_t size, int width, int height, COLORREF face);

// The logical height of a font of `points` on a device of logPixelsY dots
// per inch (negative: a character height), and its weight.
int DialogFontHeight(int points, int logPixelsY);
inline int DialogFontWeight(bool bold) { return bold ? 700 : 400; }

// A tool-bar button's tip from its string resource "prompt\ntip": the part
// after the first newline, at most 80 characters; empty without a newline.
CString ToolTipFromString(const char* resourceText);

// A status pane's text with its alignment: 0 centred ("\t" first), 1 right
// ("\t\t" first), anything else left.
CString AlignPaneText(const char* text, int alignment);

// Where the controls sit relative to the bars. The tool bar's height is
// measured while it shows and remembered, and that one height is used both
// to move the controls down when it appears and up when it goes, so a hide
// and a show put every control and the window back where they were.
struct BarLayoutState {
  int barOffset = 0;          // how far the controls are moved down now
  int statusHeight = 0;       // status-bar height the window has grown by
  int shownToolBarHeight = 0; // the tool bar's height when last seen
};

struct BarLayoutChange {
  int moveX = 0;  // move every control by this
  int moveY = 0;
  int growX = 0;  // and the window by this
  int growY = 0;
};

// client: the dialog's client rectangle; area: what the bars leave of it
// (a query layout); toolBarVisible: whether the tool bar shows now.
BarLayoutChange ComputeBarLayout(BarLayoutState& state, bool toolBarVisible, const RECT& client,
                                 const RECT& area);
