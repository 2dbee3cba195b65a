#pragma once
// Stand-alone position map: placeholder with no window until the real map window exists.

class CWnd;

// The main window creates this once and keeps it; the constructor takes the
// owner the real window will report to, so that creation site stays as is.
class CPositionMapWnd {
public:
    explicit CPositionMapWnd(CWnd* mainWindow);
};
