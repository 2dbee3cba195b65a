#pragma once
// Receiver configuration dialog: placeholder with no window until the real dialog exists.
#include "link/ProtocolKind.h"

// The main window tells the dialog about protocol changes and asks its active
// page to query once a receiver is identified; with no pages yet both calls
// are accepted and dropped.
class CRcvrConfigDlg {
public:
    void OnProtocolChanged(ProtocolKind protocol);
    void QueryActiveTab();
};
