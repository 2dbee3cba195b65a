#pragma once
// Script interpreter: placeholder with no window until the real scripter window exists.
#include <cstdint>

#include "framework/WinTypes.h"

class CWnd;

// The main window starts scripts, reports finished actions and checks the
// running flag before it closes. Until scripts can run, loading fails, so the
// caller deletes the scripter again and the flag never says a script runs.
class CScripter {
public:
    // True while a script executes.
    bool IsRunning() const { return m_running; }
    // False: no script can be loaded.
    bool LoadScript(CWnd* mainWindow, LPCTSTR file);
    // result 0 success, else failure; action = the action code answered.
    void ReportResult(int32_t result, int32_t action);
    // finished: the script reached its end; failedStop: stopped at the first failure.
    void Stop(bool finished, bool failedStop);

private:
    bool m_running = false;
};
