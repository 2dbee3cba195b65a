#pragma once
// The application object and the start-up it runs.
//
// Start-up decides from the arguments whether the program runs interactively
// or as one unattended job, then creates the main window. The main window
// class is reached only through IMainWindowStartup and a factory, so the
// decision logic runs (and is tested) natively, and start-up builds before
// the main window itself does.
#include <cstdint>

#include "app/CCmdLineOptions.h"
#include "framework/WinTypes.h"

class CWnd;

// The application's name: the framework's title and its profile key.
#define MAIN_APP_NAME "Velmara GPS Monitor"
// The company key the profile lives under (HKCU\Software\<key>\<app name>).
#define MAIN_APP_REGISTRY_KEY "Velmara Divizuvozo Ltd."
// The dialog template of the main window.
const UINT IDD_MAIN_WINDOW = 5044;
// Sent to the main window with lParam = a path to open as a receiver
// configuration (the framework's document opening).
const UINT WM_OPEN_DOCUMENT = 0x0471;  // WM_USER + 113

// What start-up needs of the main window object.
class IMainWindowStartup {
public:
    virtual ~IMainWindowStartup() {}
    // The window's command-line option table, filled by start-up.
    virtual CCmdLineOptions& GetCmdLineOptions() = 0;
    // Picks the start mode from the table and checks its options.
    virtual bool ParseCommandLine() = 0;
    // Whether the program runs one command-line job.
    virtual void SetCommandLineFlag(bool on) = 0;
    // Creates the modeless main window from a dialog template; after this the
    // window owns the object (it deletes itself when its window goes).
    virtual bool CreateModeless(UINT templateId, CWnd* parent) = 0;
    // The object as the framework's window, for the application's main-window pointer.
    virtual CWnd* GetMainWnd() = 0;
};

// Makes the main window object; nullptr when there is none to make.
typedef IMainWindowStartup* (*MainWindowFactory)();
// Installs the factory start-up uses; returns the previous one. Left unset,
// start-up has no window to create and the program ends.
MainWindowFactory SetMainWindowFactory(MainWindowFactory factory);
MainWindowFactory GetMainWindowFactory();

enum StartupResult : int32_t {
    STARTUP_RUN = 0,            // the window exists: run the message loop
    STARTUP_REFUSED = 1,        // the arguments end the program; no window was made
    STARTUP_CREATE_FAILED = 2   // the window could not be created
};

// The process's exit code when the message loop ends: 0 unless an unattended
// job reported its outcome (the converter: 0 every file converted, 1 not
// all, 2 refused). Any thread.
void SetProgramExitCode(int32_t code);
int32_t GetProgramExitCode();
// One line on standard error: unattended jobs report there as well as on
// screen, for the script that started them.
void WriteStandardErrorLine(const char* text);

// The start-up steps after the main window object exists: no arguments give
// the interactive monitor; arguments without any option, without a start
// mode or with an option the mode refuses end the program before a window
// is shown; otherwise the command-line flag is set. Then the window is
// created from IDD_MAIN_WINDOW with no parent.
StartupResult StartMainWindow(IMainWindowStartup& window, int32_t argc, const char* const* argv);

#ifdef _WIN32
#include "framework/CWinApp.h"

// The one application object. It holds no monitor state: everything lives
// in the main window.
class CMainApp : public CWinApp {
public:
    CMainApp();
    ~CMainApp() override;

    BOOL InitInstance() override;
    // The framework's code, or the one an unattended job set.
    int ExitInstance() override;
    // Hands the path to the main window (WM_OPEN_DOCUMENT) and reports
    // success whatever the window did with it.
    CWnd* OpenDocumentFile(LPCTSTR lpszFileName) override;
    // The program has no help file.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;

protected:
    afx_msg void OnHelp();
    DECLARE_MESSAGE_MAP()
};

extern CMainApp theApp;
// The application object; the program's entry calls it so the linker keeps
// the object that defines it (a static library contributes only what is used).
CMainApp& GetTheApp();
#endif  // _WIN32
