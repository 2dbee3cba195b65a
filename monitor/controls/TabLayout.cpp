#include "controls/TabLayout.h"

#include <algorithm>

CRect TabPageRect(const TabStrip& strip, int width, int height)
{
    const int rows = std::max(strip.rowCount, 0);
    const int inset = 2 * kTabPageMargin;
    int left = kTabPageMargin, top = kTabPageMargin;
    int pageWidth = width - inset, pageHeight = height - inset;
    if (strip.vertical) {
        const int band = rows * std::max(strip.itemWidth, 0);
        pageWidth -= band;
        if (!strip.right) left += band;
    } else {
        const int band = rows * std::max(strip.itemHeight, 0);
        pageHeight -= band;
        if (!strip.bottom) top += band;
    }
    return CRect(left, top, left + std::max(pageWidth, 0), top + std::max(pageHeight, 0));
}
