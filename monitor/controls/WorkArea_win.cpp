#include "controls/WorkArea.h"

#include <algorithm>

void KeepWindowOnWorkArea(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT rect = {};
    if (!::GetWindowRect(window, &rect) ||
        !::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    const LONG left = std::max(work.left, std::min(rect.left, work.right - width));
    const LONG top = std::max(work.top, std::min(rect.top, work.bottom - height));
    if (left != rect.left || top != rect.top)
        ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}
