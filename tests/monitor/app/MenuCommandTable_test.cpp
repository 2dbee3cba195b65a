// What each command id of the main window does, from the command table.
#include "app/MenuCommandTable.h"

#include <gtest/gtest.h>

#include "app/resource.h"
#include "link/ProtocolKind.h"

namespace {

struct Expected {
    uint32_t id;
    MenuAction action;
    int argument;
};

void ExpectCommands(const Expected* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const MenuCommand c = FindMenuCommand(cases[i].id);
        EXPECT_EQ(cases[i].action, c.action) << cases[i].id;
        if (cases[i].action != MENU_ACTION_NONE) {
            EXPECT_EQ(cases[i].argument, c.argument) << cases[i].id;
        }
    }
}

TEST(MenuCommandTable, PortsAndProtocols)
{
    const Expected cases[] = {
        {60005, MENU_ACTION_COM_PORT, 5},     {60001, MENU_ACTION_COM_PORT, 1},
        {60255, MENU_ACTION_COM_PORT, 255},   {60000, MENU_ACTION_NONE, 0},
        {60256, MENU_ACTION_NONE, 0},         {61000, MENU_ACTION_NONE, 0},
        {ID_COM_PORT_DLG, MENU_ACTION_PORT_DIALOG, 0},
        {35033, MENU_ACTION_PROTOCOL_AUTO, 0}, {35034, MENU_ACTION_PROTOCOL, PROTO_QBIN},
        {35035, MENU_ACTION_PROTOCOL, PROTO_NMEA}, {35036, MENU_ACTION_PROTOCOL, PROTO_QTXT},
        {35037, MENU_ACTION_PROTOCOL, PROTO_QOP}, {35038, MENU_ACTION_NONE, 0},
        {ID_CONNECT, MENU_ACTION_CONNECT, 0},
    };
    ExpectCommands(cases, sizeof cases / sizeof cases[0]);
}

TEST(MenuCommandTable, ReceiverAndDisplayCommands)
{
    const Expected cases[] = {
        {32787, MENU_ACTION_RESET, 1},          {32788, MENU_ACTION_RESET, 2},
        {32789, MENU_ACTION_RESET, 3},          {32927, MENU_ACTION_RESET, 5},
        {32928, MENU_ACTION_RESET, 6},          {32848, MENU_ACTION_FACTORY_RESET, 0},
        {34010, MENU_ACTION_OUTPUT_FORMAT, 1},  {34012, MENU_ACTION_OUTPUT_FORMAT, 2},
        {34020, MENU_ACTION_LLA_FORMAT, 0},     {34028, MENU_ACTION_LLA_FORMAT, 1},
        {34022, MENU_ACTION_OUTPUT_FORMAT, 5},  {34023, MENU_ACTION_OUTPUT_FORMAT, 6},
        {34024, MENU_ACTION_OUTPUT_FORMAT, 7},  {34001, MENU_ACTION_OUTPUT_FORMAT, 8},
        {34002, MENU_ACTION_OUTPUT_FORMAT, 9},  {32869, MENU_ACTION_OUTPUT_FORMAT, 10},
        {32870, MENU_ACTION_OUTPUT_FORMAT, 11}, {32857, MENU_ACTION_DOUBLE_PRECISION, 0},
        {34025, MENU_ACTION_SPEED_UNIT, 1},     {34026, MENU_ACTION_SPEED_UNIT, 0},
        {34027, MENU_ACTION_SPEED_UNIT, 2},     {34029, MENU_ACTION_COPY_POSITION, 0},
        {32797, MENU_ACTION_ALWAYS_ON_TOP, 0},  {32990, MENU_ACTION_CLEAR_WINDOW, 0},
        {32824, MENU_ACTION_TRANSFER, 1},       {32825, MENU_ACTION_TRANSFER, 2},
        {32827, MENU_ACTION_TRANSFER, 3},       {32826, MENU_ACTION_TRANSFER, 4},
        {32942, MENU_ACTION_TRANSFER, 5},       {32941, MENU_ACTION_TRANSFER, 6},
        {32829, MENU_ACTION_TRANSFER, 7},       {32828, MENU_ACTION_TRANSFER, 8},
        {32785, MENU_ACTION_ABOUT, 0},          {32786, MENU_ACTION_ABOUT, 0},
    };
    ExpectCommands(cases, sizeof cases / sizeof cases[0]);
}

TEST(MenuCommandTable, WindowsToolsAndMenuState)
{
    const Expected cases[] = {
        {32830, MENU_ACTION_GPS_DATA, 32830},   {32834, MENU_ACTION_GPS_DATA, 32834},
        {32958, MENU_ACTION_GPS_DATA, 32958},   {32829, MENU_ACTION_TRANSFER, 7},
        {32835, MENU_ACTION_NONE, 0},           {32863, MENU_ACTION_RAW_OUTPUT, 0},
        {32864, MENU_ACTION_RAW_OUTPUT, 0},     {32919, MENU_ACTION_PLAYBACK, 0},
        {32959, MENU_ACTION_NEW_WINDOW, 0},     {32925, MENU_ACTION_SETTINGS, 0},
        {32926, MENU_ACTION_SETTINGS, 0},       {32795, MENU_ACTION_DATA_LOGGER, 0},
        {32796, MENU_ACTION_DATA_LOGGER, 0},    {32911, MENU_ACTION_ACCESS_CODE, 0},
        {32953, MENU_ACTION_USER_MODE, 0},      {32992, MENU_ACTION_INTERNAL_TOOLS_NOTE, 0},
        {32945, MENU_ACTION_RCVR_CONFIG, 0},    {32944, MENU_ACTION_RCVR_CONFIG, 1},
        {32946, MENU_ACTION_DIAGNOSTICS, 0},
        {32850, MENU_ACTION_TOOL, MENU_TOOL_GENERIC_PACKETS},
        {32931, MENU_ACTION_TOOL, MENU_TOOL_UPLOAD_DOWNLOAD},
        {36010, MENU_ACTION_TOOL, MENU_TOOL_SHUTDOWN_STANDBY},
        {32853, MENU_ACTION_TOOL, MENU_TOOL_POSITION},  {32854, MENU_ACTION_TOOL, MENU_TOOL_POSITION},
        {32852, MENU_ACTION_TOOL, MENU_TOOL_SKY_PLOT},  {32855, MENU_ACTION_TOOL, MENU_TOOL_SKY_PLOT},
        {32879, MENU_ACTION_TOOL, MENU_TOOL_QBIN_TESTER},
        {32954, MENU_ACTION_TOOL, MENU_TOOL_FLASH_LOADER},
        {32956, MENU_ACTION_TOOL, MENU_TOOL_DATA_RECORDER_TOOL},
        {32955, MENU_ACTION_TOOL, MENU_TOOL_TTFF_TOOL},
        {32914, MENU_ACTION_TOOL, MENU_TOOL_FAST_CORRECTIONS},
        {32915, MENU_ACTION_TOOL, MENU_TOOL_IONO_DELAY},
        {32916, MENU_ACTION_TOOL, MENU_TOOL_VERSION},
        {32964, MENU_ACTION_TOOL, MENU_TOOL_DATA_CONVERTER},
        {32979, MENU_ACTION_TOOL, MENU_TOOL_CONFIGURATOR},
        {32951, MENU_ACTION_TOOL, MENU_TOOL_DETECT_RECEIVER},
        {32960, MENU_ACTION_TOOL, MENU_TOOL_RELEASE_NOTES},
        {32962, MENU_ACTION_TOOL, MENU_TOOL_SCRIPT_STATUS},
        // The framework's and the window's own commands stay outside the table.
        {ID_FILE_EXIT, MENU_ACTION_NONE, 0},    {ID_AUTO_QUERY, MENU_ACTION_NONE, 0},
        {0, MENU_ACTION_NONE, 0},
    };
    ExpectCommands(cases, sizeof cases / sizeof cases[0]);
}

}  // namespace
