#pragma once
// The data logger window, as far as the main window asks it: which COM
// ports it is logging. The logger itself comes with the recording tools;
// until then it logs no port.
#include <cstdint>

class CDataRecorderDlg {
public:
    virtual ~CDataRecorderDlg() {}
    // True when any of its ports is logging.
    bool IsAnyPortLogging() const;
    // True when it has an open log file for COM `port`.
    bool IsPortLogging(int32_t port) const;
};
