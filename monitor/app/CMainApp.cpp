#include "app/CMainApp.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<MainWindowFactory> g_factory{nullptr};
std::atomic<int32_t> g_exitCode{0};
}  // namespace

void SetProgramExitCode(int32_t code) { g_exitCode.store(code); }

int32_t GetProgramExitCode() { return g_exitCode.load(); }

void WriteStandardErrorLine(const char* text)
{
    // A program started without a console may have no standard error at all.
    if (text == nullptr || stderr == nullptr) return;
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

MainWindowFactory SetMainWindowFactory(MainWindowFactory factory) { return g_factory.exchange(factory); }

MainWindowFactory GetMainWindowFactory() { return g_factory.load(); }

StartupResult StartMainWindow(IMainWindowStartup& window, int32_t argc, const char* const* argv)
{
    if (argc < 2) {
        window.SetCommandLineFlag(false);
    } else {
        // A file dropped on the program, or any words without an option,
        // are not a job the program knows: end without a window or message.
        if (window.GetCmdLineOptions().Parse(argc, argv) < 1) return STARTUP_REFUSED;
        if (!window.ParseCommandLine()) return STARTUP_REFUSED;
        window.SetCommandLineFlag(true);
    }
    return window.CreateModeless(IDD_MAIN_WINDOW, nullptr) ? STARTUP_RUN : STARTUP_CREATE_FAILED;
}
