#pragma once
// Diagnostics dialog: placeholder with no window until the real diagnostics dialog exists.

// With no pages there is no active page to query.
class CDiagDlg {
public:
    void QueryActiveTab();
};
