// Which tool window each launcher command of the main window opens: the
// tool, its dialog template, the window it is created under and the tab it
// opens on; and the GPS system data combo of the tool bar, whose items stand
// for the data window's pages. Pure data and lookups: the launchers
// (CMainWndLaunchers_win.cpp) read them, the host tests check them.
#pragma once

#include <cstddef>
#include <cstdint>

// The single-instance tool windows of a main window.
enum class ToolKind : int {
    GenericPackets,
    UploadDownload,
    ShutdownStandby,
    Position,
    SkyPlot,
    QbinTester,
    FlashLoader,
    DataRecorderTool,
    TtffTool,
    FastCorrections,
    IonoDelay,
    Version,
    TimingMonitor,
    RcvrConfig,
    Diagnostics,
    DataConverter,
    Configurator,
    DetectReceiver,
    ReleaseNotes,
    ScriptStatus,
    GpsData,
    Count
};

// The window a tool is created under. Tools under the main window go with
// it and stay above it; the engineering tools and the position map stand
// on the desktop, so they can be arranged freely and outlive a hidden main
// window. The converter stands on the desktop only when the program was
// started to convert.
enum class ToolParent : int { MainWindow, Desktop, DesktopWhenConverting };

// A tool without tabs opens on no tab.
constexpr int kNoToolTab = -1;

struct ToolLaunchRow {
    ToolKind tool;
    uint32_t templateId;
    ToolParent parent;
    bool tabbed;     // hosts tab pages: a launch selects the asked tab
    bool plainDialog;  // a plain dialog, not a tool view
};

struct LauncherCommandRow {
    uint32_t command;
    ToolKind tool;
    int tab;  // kNoToolTab for tools without tabs
};

// The launcher commands of the menus and tool bar. The names stay apart from
// resource.h's, which the menus own.
enum LauncherCommand : uint32_t {
    kCmdGpsDataAlmanac = 32830,
    kCmdGpsDataHealth = 32831,
    kCmdGpsDataIono = 32832,
    kCmdGpsDataUtc = 32833,
    kCmdGpsDataEphemeris = 32834,
    kCmdGenericPackets = 32850,
    kCmdSkyPlotMenu = 32852,
    kCmdPositionMenu = 32853,
    kCmdPositionToolBar = 32854,
    kCmdSkyPlotToolBar = 32855,
    kCmdQbinTester = 32879,
    kCmdFastCorrections = 32914,
    kCmdIonoDelay = 32915,
    kCmdVersion = 32916,
    kCmdUploadDownload = 32931,
    kCmdRcvrPortConfig = 32944,
    kCmdRcvrConfig = 32945,
    kCmdDiagnostics = 32946,
    kCmdDetectReceiver = 32951,
    kCmdFlashLoader = 32954,
    kCmdTtffTool = 32955,
    kCmdDataRecorderTool = 32956,
    kCmdGpsData = 32958,
    kCmdReleaseNotes = 32960,
    kCmdScriptStatus = 32962,
    kCmdDataConverter = 32964,
    kCmdConfigurator = 32979,
    kCmdShutdownStandby = 36010,
};

// How each tool is made; one row per ToolKind, in ToolKind order.
const ToolLaunchRow& GetToolLaunchRow(ToolKind tool);

// The launcher commands with the tool and tab each opens.
const LauncherCommandRow* GetLauncherCommands(size_t& count);

// The row of a launcher command; null for any other command.
const LauncherCommandRow* FindLauncherCommand(uint32_t command);

// The page of the GPS system data window a command opens: the four page
// commands their own pages, anything else (the menu's "GPS System Data..."
// among them) the almanac page.
int GpsDataTabForCommand(uint32_t command);

// The command an item of the tool bar's GPS data combo stands for; 0 for
// item 0 (the combo's caption) and anything outside the list, which only
// give the main window the focus.
uint32_t GpsDataComboCommand(int item);
