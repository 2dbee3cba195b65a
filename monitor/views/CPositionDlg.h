#pragma once
// Position window: placeholder with no window until the real position window exists.
#include "model/ModelRecords.h"

// The main window feeds every valid fix and clears the pages when a link
// starts; keeping those calls in place now means the window can arrive later
// without touching the main window's feeding logic.
class CPositionDlg {
public:
    // Hands one fix to the map and plot pages; nothing to draw on yet.
    void AddFix(const NavState& fix);
    // Erases the pages and resets their scale; there are no pages yet.
    void ClearTabs();
};
