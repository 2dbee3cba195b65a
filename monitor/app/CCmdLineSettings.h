#pragma once
// What a command-line start asks for: the start mode, the flag that the
// program runs unattended, and the checked values of that mode. The main
// window holds one and only stores it; the tools read it through
// IsCommandLineMode and the mode's values.
#include <cstdint>

#include "app/CCmdLineOptions.h"
#include "app/CConverterCmdOptions.h"
#include "app/CDataRecorderCmdOptions.h"
#include "app/CFlashLoaderCmdOptions.h"
#include "app/CMonitorCmdOptions.h"
#include "app/CScriptCmdOptions.h"
#include "app/CTtffCmdOptions.h"
#include "app/CmdLinePaths.h"
#include "app/StartMode.h"

class CCmdLineSettings {
public:
    // Picks the start mode from the first start-mode switch present and lets
    // that mode's parser check its options. False without a message when no
    // switch is present; false after the parser's message when it refuses.
    bool ParseCommandLine(const CCmdLineOptions& options, ICmdLinePaths& paths);
    bool ParseCommandLine(const CCmdLineOptions& options)
    {
        return ParseCommandLine(options, GetSystemCmdLinePaths());
    }

    // True when the program was started from the command line in `mode`.
    bool IsCommandLineMode(int32_t mode) const { return m_commandLine && m_startMode == mode; }
    bool IsCommandLine() const { return m_commandLine; }
    void SetCommandLine(bool on) { m_commandLine = on; }
    StartMode GetStartMode() const { return m_startMode; }
    // The unattended tools that run in windows of their own (flash loader,
    // TTFF tester, data recorder) hide the main window; the monitor, a script
    // and the converter keep it visible.
    bool HidesMainWindow() const
    {
        return IsCommandLineMode(START_MODE_FLASH_LOADER) || IsCommandLineMode(START_MODE_TTFF) ||
               IsCommandLineMode(START_MODE_DATA_RECORDER);
    }

    CMonitorCmdOptions monitor;
    CScriptCmdOptions script;
    CFlashLoaderCmdOptions flashLoader;
    CTtffCmdOptions ttff;
    CDataRecorderCmdOptions dataRecorder;
    CConverterCmdOptions converter;

private:
    StartMode m_startMode = START_MODE_MONITOR;
    bool m_commandLine = false;
};
