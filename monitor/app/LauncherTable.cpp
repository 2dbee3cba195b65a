#include "app/LauncherTable.h"

namespace {

constexpr ToolParent kMain = ToolParent::MainWindow;
constexpr ToolParent kDesktop = ToolParent::Desktop;

// In ToolKind order (checked by the tests).
const ToolLaunchRow kToolRows[] = {
    {ToolKind::GenericPackets, 181, kMain, false, false},
    {ToolKind::UploadDownload, 5020, kMain, false, false},
    {ToolKind::ShutdownStandby, 5057, kMain, false, false},
    {ToolKind::Position, 5089, kDesktop, true, false},
    {ToolKind::SkyPlot, 183, kMain, false, false},
    {ToolKind::QbinTester, 202, kMain, false, false},
    {ToolKind::FlashLoader, 102, kMain, false, true},
    {ToolKind::DataRecorderTool, 150, kDesktop, false, true},
    {ToolKind::TtffTool, 5054, kDesktop, false, false},
    {ToolKind::FastCorrections, 209, kMain, false, false},
    {ToolKind::IonoDelay, 211, kMain, false, false},
    {ToolKind::Version, 5033, kMain, true, false},
    {ToolKind::TimingMonitor, 5021, kMain, false, false},
    {ToolKind::RcvrConfig, 223, kMain, true, false},
    {ToolKind::Diagnostics, 179, kDesktop, true, false},
    {ToolKind::DataConverter, 5068, ToolParent::DesktopWhenConverting, false, false},
    {ToolKind::Configurator, 5079, kMain, false, false},
    {ToolKind::DetectReceiver, 5043, kMain, false, false},
    {ToolKind::ReleaseNotes, 5064, kMain, false, false},
    {ToolKind::ScriptStatus, 5066, kMain, false, false},
    {ToolKind::GpsData, 5059, kMain, true, false},
};
static_assert(sizeof kToolRows / sizeof kToolRows[0] == static_cast<size_t>(ToolKind::Count),
              "one row per tool");

const LauncherCommandRow kCommandRows[] = {
    {kCmdGenericPackets, ToolKind::GenericPackets, kNoToolTab},
    {kCmdUploadDownload, ToolKind::UploadDownload, kNoToolTab},
    {kCmdShutdownStandby, ToolKind::ShutdownStandby, kNoToolTab},
    {kCmdPositionMenu, ToolKind::Position, 0},
    {kCmdPositionToolBar, ToolKind::Position, 0},
    {kCmdSkyPlotMenu, ToolKind::SkyPlot, kNoToolTab},
    {kCmdSkyPlotToolBar, ToolKind::SkyPlot, kNoToolTab},
    {kCmdQbinTester, ToolKind::QbinTester, kNoToolTab},
    {kCmdFlashLoader, ToolKind::FlashLoader, kNoToolTab},
    {kCmdDataRecorderTool, ToolKind::DataRecorderTool, kNoToolTab},
    {kCmdTtffTool, ToolKind::TtffTool, kNoToolTab},
    {kCmdFastCorrections, ToolKind::FastCorrections, kNoToolTab},
    {kCmdIonoDelay, ToolKind::IonoDelay, kNoToolTab},
    {kCmdVersion, ToolKind::Version, 0},
    {kCmdRcvrConfig, ToolKind::RcvrConfig, 0},
    {kCmdRcvrPortConfig, ToolKind::RcvrConfig, 1},
    {kCmdDiagnostics, ToolKind::Diagnostics, 0},
    {kCmdDataConverter, ToolKind::DataConverter, kNoToolTab},
    {kCmdConfigurator, ToolKind::Configurator, kNoToolTab},
    {kCmdDetectReceiver, ToolKind::DetectReceiver, kNoToolTab},
    {kCmdReleaseNotes, ToolKind::ReleaseNotes, kNoToolTab},
    {kCmdScriptStatus, ToolKind::ScriptStatus, kNoToolTab},
    {kCmdGpsData, ToolKind::GpsData, 0},
    {kCmdGpsDataAlmanac, ToolKind::GpsData, 0},
    {kCmdGpsDataHealth, ToolKind::GpsData, 1},
    {kCmdGpsDataEphemeris, ToolKind::GpsData, 2},
    {kCmdGpsDataUtc, ToolKind::GpsData, 3},
    {kCmdGpsDataIono, ToolKind::GpsData, 4},
};

// The combo lists the pages in an order of its own, not in tab order.
const uint32_t kGpsDataComboCommands[] = {
    kCmdGpsDataAlmanac, kCmdGpsDataEphemeris, kCmdGpsDataHealth, kCmdGpsDataIono, kCmdGpsDataUtc,
};

}  // namespace

const ToolLaunchRow& GetToolLaunchRow(ToolKind tool)
{
    const size_t index = static_cast<size_t>(tool);
    return kToolRows[index < static_cast<size_t>(ToolKind::Count) ? index : 0];
}

const LauncherCommandRow* GetLauncherCommands(size_t& count)
{
    count = sizeof kCommandRows / sizeof kCommandRows[0];
    return kCommandRows;
}

const LauncherCommandRow* FindLauncherCommand(uint32_t command)
{
    for (const LauncherCommandRow& row : kCommandRows)
        if (row.command == command) return &row;
    return nullptr;
}

int GpsDataTabForCommand(uint32_t command)
{
    const LauncherCommandRow* row = FindLauncherCommand(command);
    return row != nullptr && row->tool == ToolKind::GpsData ? row->tab : 0;
}

uint32_t GpsDataComboCommand(int item)
{
    const int count = static_cast<int>(sizeof kGpsDataComboCommands / sizeof kGpsDataComboCommands[0]);
    return item >= 1 && item <= count ? kGpsDataComboCommands[item - 1] : 0;
}
