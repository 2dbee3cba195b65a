// Where a tab page sits inside its tab control: beside the rows of tabs,
// with a 4-pixel margin on every side. Portable, tested natively; the tab
// control (controls/CTabCtrlSSL.h) measures the rows and moves the page.
#pragma once

#include "framework/CRect.h"

// The rows of tabs as the control reports them.
struct TabStrip {
    bool vertical = false;  // tabs down a side (TCS_VERTICAL)
    bool right = false;     // that side is the right one (TCS_RIGHT)
    bool bottom = false;    // horizontal tabs along the bottom (TCS_BOTTOM)
    int rowCount = 0;       // rows of tabs (TCM_GETROWCOUNT)
    int itemWidth = 0;      // one tab's item rectangle (TCM_GETITEMRECT)
    int itemHeight = 0;
};

// The page's margin from the control's edges and from the rows of tabs.
const int kTabPageMargin = 4;

// The page's rectangle in the client area (width x height) of the control.
// Horizontal tabs take rowCount x itemHeight at the top (or the bottom),
// vertical ones rowCount x itemWidth at the left (or the right). A control
// too small for the tabs gives an empty page, never a negative size.
CRect TabPageRect(const TabStrip& strip, int width, int height);
