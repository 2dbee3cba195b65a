#pragma once
// Time-to-first-fix tool: placeholder with no window until the real TTFF tool window exists.

// The main window asks before it closes; no test can be running yet, so the
// answer is always that closing is safe.
class CTtffToolDlg {
public:
    // True: the tool may close.
    bool CloseTool();
};
