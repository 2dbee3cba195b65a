// The launcher table: every command opens the tool and tab it names, every
// tool has exactly one row, and the GPS data combo and page commands land on
// the pages the user picked.
#include <gtest/gtest.h>

#include <set>

#include "app/LauncherTable.h"

TEST(LauncherTable, OneRowPerToolInToolOrder)
{
    for (int i = 0; i < static_cast<int>(ToolKind::Count); ++i) {
        const ToolKind tool = static_cast<ToolKind>(i);
        const ToolLaunchRow& row = GetToolLaunchRow(tool);
        EXPECT_EQ(tool, row.tool) << "row " << i;
        EXPECT_NE(0u, row.templateId) << "row " << i;
    }
}

TEST(LauncherTable, CommandsOpenTheirToolOnTheirTab)
{
    struct Case {
        uint32_t command;
        ToolKind tool;
        int tab;
        uint32_t templateId;
        ToolParent parent;
    } const cases[] = {
        {32850, ToolKind::GenericPackets, kNoToolTab, 181, ToolParent::MainWindow},
        {32931, ToolKind::UploadDownload, kNoToolTab, 5020, ToolParent::MainWindow},
        {36010, ToolKind::ShutdownStandby, kNoToolTab, 5057, ToolParent::MainWindow},
        {32853, ToolKind::Position, 0, 5089, ToolParent::Desktop},
        {32854, ToolKind::Position, 0, 5089, ToolParent::Desktop},
        {32852, ToolKind::SkyPlot, kNoToolTab, 183, ToolParent::MainWindow},
        {32855, ToolKind::SkyPlot, kNoToolTab, 183, ToolParent::MainWindow},
        {32879, ToolKind::QbinTester, kNoToolTab, 202, ToolParent::MainWindow},
        {32954, ToolKind::FlashLoader, kNoToolTab, 102, ToolParent::MainWindow},
        {32956, ToolKind::DataRecorderTool, kNoToolTab, 150, ToolParent::Desktop},
        {32955, ToolKind::TtffTool, kNoToolTab, 5054, ToolParent::Desktop},
        {32914, ToolKind::FastCorrections, kNoToolTab, 209, ToolParent::MainWindow},
        {32915, ToolKind::IonoDelay, kNoToolTab, 211, ToolParent::MainWindow},
        {32916, ToolKind::Version, 0, 5033, ToolParent::MainWindow},
        {32945, ToolKind::RcvrConfig, 0, 223, ToolParent::MainWindow},
        {32944, ToolKind::RcvrConfig, 1, 223, ToolParent::MainWindow},
        {32946, ToolKind::Diagnostics, 0, 179, ToolParent::Desktop},
        {32964, ToolKind::DataConverter, kNoToolTab, 5068, ToolParent::DesktopWhenConverting},
        {32979, ToolKind::Configurator, kNoToolTab, 5079, ToolParent::MainWindow},
        {32951, ToolKind::DetectReceiver, kNoToolTab, 5043, ToolParent::MainWindow},
        {32960, ToolKind::ReleaseNotes, kNoToolTab, 5064, ToolParent::MainWindow},
        {32962, ToolKind::ScriptStatus, kNoToolTab, 5066, ToolParent::MainWindow},
        {32958, ToolKind::GpsData, 0, 5059, ToolParent::MainWindow},
        {32830, ToolKind::GpsData, 0, 5059, ToolParent::MainWindow},
        {32831, ToolKind::GpsData, 1, 5059, ToolParent::MainWindow},
        {32832, ToolKind::GpsData, 4, 5059, ToolParent::MainWindow},
        {32833, ToolKind::GpsData, 3, 5059, ToolParent::MainWindow},
        {32834, ToolKind::GpsData, 2, 5059, ToolParent::MainWindow},
    };
    size_t count = 0;
    GetLauncherCommands(count);
    EXPECT_EQ(sizeof cases / sizeof cases[0], count) << "a command without a case here";
    for (const Case& c : cases) {
        const LauncherCommandRow* row = FindLauncherCommand(c.command);
        ASSERT_NE(nullptr, row) << c.command;
        EXPECT_EQ(c.tool, row->tool) << c.command;
        EXPECT_EQ(c.tab, row->tab) << c.command;
        const ToolLaunchRow& tool = GetToolLaunchRow(row->tool);
        EXPECT_EQ(c.templateId, tool.templateId) << c.command;
        EXPECT_EQ(c.parent, tool.parent) << c.command;
        // A tab is asked exactly of the tools that have tabs.
        EXPECT_EQ(tool.tabbed, c.tab != kNoToolTab) << c.command;
    }
}

TEST(LauncherTable, OnlyTheLoaderAndTheRecorderToolArePlainDialogs)
{
    for (int i = 0; i < static_cast<int>(ToolKind::Count); ++i) {
        const ToolKind tool = static_cast<ToolKind>(i);
        const bool plain = tool == ToolKind::FlashLoader || tool == ToolKind::DataRecorderTool;
        EXPECT_EQ(plain, GetToolLaunchRow(tool).plainDialog) << "row " << i;
    }
}

TEST(LauncherTable, CommandsAreUnique)
{
    size_t count = 0;
    const LauncherCommandRow* rows = GetLauncherCommands(count);
    std::set<uint32_t> seen;
    for (size_t i = 0; i < count; ++i) EXPECT_TRUE(seen.insert(rows[i].command).second) << rows[i].command;
}

TEST(LauncherTable, OtherCommandsAreNoLaunchers)
{
    for (uint32_t command : {0u, 32829u, 32835u, 32863u, 32919u, 32925u, 32959u, 36009u, 0xFFFFFFFFu})
        EXPECT_EQ(nullptr, FindLauncherCommand(command)) << command;
}

TEST(GpsDataTabs, PageCommandsOpenTheirPagesAnythingElseTheFirst)
{
    struct Case {
        uint32_t command;
        int tab;
    } const cases[] = {{32830, 0}, {32831, 1}, {32832, 4}, {32833, 3}, {32834, 2},
                       {32958, 0}, {32829, 0}, {32835, 0}, {32945, 0}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(c.tab, GpsDataTabForCommand(c.command)) << c.command;
}

TEST(GpsDataCombo, ItemsStandForPageCommands)
{
    struct Case {
        int item;
        uint32_t command;
        int tab;
    } const cases[] = {{1, 32830, 0}, {2, 32834, 2}, {3, 32831, 1}, {4, 32832, 4}, {5, 32833, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.command, GpsDataComboCommand(c.item)) << c.item;
        EXPECT_EQ(c.tab, GpsDataTabForCommand(GpsDataComboCommand(c.item))) << c.item;
    }
    // The caption item and anything outside the list only focus the main window.
    for (int item : {0, -1, 6, 1000}) EXPECT_EQ(0u, GpsDataComboCommand(item)) << item;
}
