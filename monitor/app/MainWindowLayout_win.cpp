#include "app/MainWindowLayout.h"

MainWindowLayout ChooseMainWindowLayoutForScreen()
{
    TEXTMETRICA metrics = {};
    bool haveMetrics = false;
    if (HDC dc = ::GetDC(nullptr)) {
        haveMetrics = ::GetTextMetricsA(dc, &metrics) != FALSE;
        ::ReleaseDC(nullptr, dc);
    }
    return ChooseMainWindowLayout(haveMetrics, haveMetrics ? static_cast<int32_t>(metrics.tmHeight) : 0);
}
