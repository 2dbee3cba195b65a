#pragma once
// The main window's layout choice and its bar descriptions: what the
// window hands to the modeless dialog base when it is created.
//
// A screen font taller than 18 pixels (large system fonts) gets the large
// layout, whose wider panes, combos and fonts keep the texts readable. The
// choice is made once, when the window is created, and kept for its life.
#include <cstdint>

#include "framework/WinTypes.h"

const int32_t kMainStatusPaneCount = 5;
const int32_t kMainToolbarButtonCount = 13;
// Character heights above this select the large layout.
const int32_t kLargeLayoutCharHeight = 18;

// Toolbar bitmaps: the button strip and the normal, disabled and hot image lists.
const UINT IDB_MAIN_TOOLBAR = 1000;
const UINT IDB_MAIN_TOOLBAR_NORMAL = 1004;
const UINT IDB_MAIN_TOOLBAR_DISABLED = 1002;
const UINT IDB_MAIN_TOOLBAR_HOT = 1003;

// The toolbar's command ids in order; 0 is a separator. The two combo
// boxes (36004 link, 36009 GPS data) take the place of their buttons.
extern const UINT kMainToolbarButtons[kMainToolbarButtonCount];

struct MainWindowLayout {
    bool large;
    // Status panes: 1 (general), 2 (messages), 4 (protocols), 5 (elapsed
    // time), 6 (link). A width of 0 makes a pane stretch: the message pane.
    UINT paneIds[kMainStatusPaneCount];
    int32_t paneWidths[kMainStatusPaneCount];
};

// The layout for a screen whose character height is `charHeight`; without
// readable metrics (`haveMetrics` false) the normal layout.
MainWindowLayout ChooseMainWindowLayout(bool haveMetrics, int32_t charHeight);

#ifdef _WIN32
// The layout for the screen's own font (its device context's text metrics).
MainWindowLayout ChooseMainWindowLayoutForScreen();
#endif
