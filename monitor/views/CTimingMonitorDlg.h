#pragma once
// Timing monitor: placeholder with no window until the real timing monitor window exists.

// Called whenever the identified receiver changes; with no controls to show
// or hide there is nothing to adapt yet.
class CTimingMonitorDlg {
public:
    void AdaptToReceiver(bool resize);
};
