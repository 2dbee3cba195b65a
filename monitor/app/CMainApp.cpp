#include "app/CMainApp.h"

#include <atomic>

namespace {
std::atomic<MainWindowFactory> g_factory{nullptr};
}  // namespace

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
