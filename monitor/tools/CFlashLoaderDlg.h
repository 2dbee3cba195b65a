#pragma once
// Firmware loader: placeholder with no window until the real firmware loader window exists.

// The main window asks before it closes; nothing can be loading yet, so the
// answer is always that closing is safe.
class CFlashLoaderDlg {
public:
    // True: the tool may close.
    bool CloseTool();
};
