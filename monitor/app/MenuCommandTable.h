// What each command of the main window's menus, accelerators, tool bar and
// context menus does, as data: an action and its argument per command id or
// id range. The window's OnCommand carries the action out; the host tests
// check the table.
#pragma once

#include <cstdint>

enum MenuAction : int {
    MENU_ACTION_NONE = 0,        // not a command of this table: the framework routes it
    MENU_ACTION_RESET,           // argument: the reset kind (1 cold .. 6 semi-hot)
    MENU_ACTION_FACTORY_RESET,   // asks first, then reset kind 4
    MENU_ACTION_OUTPUT_FORMAT,   // argument: the output-format code
    MENU_ACTION_LLA_FORMAT,      // argument: 0 degrees/minutes, 1 decimal degrees
    MENU_ACTION_DOUBLE_PRECISION,
    MENU_ACTION_SPEED_UNIT,      // argument: the speed unit (0 mi/hr, 1 km/hr, 2 m/s)
    MENU_ACTION_COPY_POSITION,
    MENU_ACTION_ALWAYS_ON_TOP,
    MENU_ACTION_TRANSFER,        // argument: the transfer operation (1..8)
    MENU_ACTION_CONNECT,
    MENU_ACTION_ABOUT,
    MENU_ACTION_PROTOCOL_AUTO,
    MENU_ACTION_PROTOCOL,        // argument: the protocol kind
    MENU_ACTION_COM_PORT,        // argument: the port number
    MENU_ACTION_PORT_DIALOG,     // the port settings of the current port
    MENU_ACTION_GPS_DATA,        // argument: the command, which names the page
    MENU_ACTION_RAW_OUTPUT,
    MENU_ACTION_PLAYBACK,
    MENU_ACTION_NEW_WINDOW,
    MENU_ACTION_SETTINGS,
    MENU_ACTION_CLEAR_WINDOW,
    MENU_ACTION_DATA_LOGGER,
    MENU_ACTION_ACCESS_CODE,
    MENU_ACTION_USER_MODE,
    MENU_ACTION_INTERNAL_TOOLS_NOTE,
    MENU_ACTION_RCVR_CONFIG,     // argument: the tab
    MENU_ACTION_DIAGNOSTICS,     // argument: the tab
    MENU_ACTION_TOOL             // argument: a MenuTool
};

// The single-instance tools whose launchers take no argument.
enum MenuTool : int {
    MENU_TOOL_GENERIC_PACKETS = 0,
    MENU_TOOL_UPLOAD_DOWNLOAD,
    MENU_TOOL_SHUTDOWN_STANDBY,
    MENU_TOOL_POSITION,
    MENU_TOOL_SKY_PLOT,
    MENU_TOOL_QBIN_TESTER,
    MENU_TOOL_FLASH_LOADER,
    MENU_TOOL_DATA_RECORDER_TOOL,
    MENU_TOOL_TTFF_TOOL,
    MENU_TOOL_FAST_CORRECTIONS,
    MENU_TOOL_IONO_DELAY,
    MENU_TOOL_VERSION,
    MENU_TOOL_DATA_CONVERTER,
    MENU_TOOL_CONFIGURATOR,
    MENU_TOOL_DETECT_RECEIVER,
    MENU_TOOL_RELEASE_NOTES,
    MENU_TOOL_SCRIPT_STATUS,
    MENU_TOOL_COUNT
};

struct MenuCommand {
    MenuAction action = MENU_ACTION_NONE;
    int argument = 0;
};

// The first and last port a "COM n" command names.
enum : uint32_t { kComPortCommandFirst = 60001, kComPortCommandLast = 60255 };

// The action of a command id; MENU_ACTION_NONE for ids outside the table.
MenuCommand FindMenuCommand(uint32_t id);
