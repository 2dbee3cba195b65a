#include "app/MainWindowLayout.h"

const UINT kMainToolbarButtons[kMainToolbarButtonCount] = {
    36004,                // link combo box
    0,     32854, 32855,  // position window, sky plot
    0,     36009,         // GPS data combo box
    0,     32796, 32863, 32925,  // data logger, new raw data window, settings
    0,     32785, 1047,   // about, exit
};

MainWindowLayout ChooseMainWindowLayout(bool haveMetrics, int32_t charHeight)
{
    // The message pane (2) carries long texts ("Monitoring ...", "Playback in
    // progress... [data logging: ON]"), so it takes the room left over; the
    // link pane (6) gets a fixed width that holds "COM 255: 115200-8-N-1".
    static const int32_t kNormal[kMainStatusPaneCount] = {67, 0, 110, 55, 140};
    static const int32_t kLarge[kMainStatusPaneCount] = {90, 0, 130, 75, 170};
    static const UINT kIds[kMainStatusPaneCount] = {1, 2, 4, 5, 6};

    MainWindowLayout layout;
    layout.large = haveMetrics && charHeight > kLargeLayoutCharHeight;
    for (int32_t i = 0; i < kMainStatusPaneCount; ++i) {
        layout.paneIds[i] = kIds[i];
        layout.paneWidths[i] = layout.large ? kLarge[i] : kNormal[i];
    }
    return layout;
}
