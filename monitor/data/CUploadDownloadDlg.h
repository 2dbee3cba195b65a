#pragma once
// The almanac/ephemeris/position/time transfer window, as far as the main
// window tells it about loads. The window comes with the recording tools;
// until then there is no transfer to tell.
class CUploadDownloadDlg {
public:
    virtual ~CUploadDownloadDlg() {}
    // Events: 1 cancelled, 11 a time operation starts, 12 time set, 13 time not set.
    void NotifyLoadEvent(int event);
};
