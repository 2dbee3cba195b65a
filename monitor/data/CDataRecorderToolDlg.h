#pragma once
// The multi-port data recorder, as far as the main window asks it before
// closing. The recorder comes with the recording tools; until then nothing
// records, so it may always close.
class CDataRecorderToolDlg {
public:
    virtual ~CDataRecorderToolDlg() {}
    // False when the user wants the running recording kept; true when the
    // tool has stopped and may go.
    bool CloseTool();
};
