// Resource ids of the tool windows and settings pages (res/tools.rc).
#pragma once

// ---- Controls every tool window shares ----------------------------------------------
#define IDC_TOOL_CLOSE 36000        // "Close"
#define IDC_TOOL_TABS 1675          // the tab control of a tabbed tool
#define IDC_TOOL_NOTE 1018          // the line that says what the window will hold

// ---- Tool windows -------------------------------------------------------------------
#define IDD_FLASH_LOADER 102
#define IDD_DATA_RECORDER_TOOL 150
#define IDD_DIAGNOSTICS 179
#define IDD_GENERIC_PACKETS 181
#define IDD_SKY_PLOT 183
#define IDD_QBIN_TESTER 202
#define IDD_FAST_CORRECTIONS 209
#define IDD_IONO_DELAY 211
#define IDD_RCVR_CONFIG 223
#define IDD_UPLOAD_DOWNLOAD 5020
#define IDD_TIMING_MONITOR 5021
#define IDD_RCVR_VERSION 5033
#define IDD_DETECT_RECEIVER 5043
#define IDD_TTFF_TOOL 5054
#define IDD_SHUTDOWN_STANDBY 5057
#define IDD_GPS_DATA 5059
#define IDD_RELEASE_NOTES 5064
#define IDD_SCRIPT_STATUS 5066
#define IDD_CONFIGURATOR 5079
#define IDD_POSITION 5089

// A page of a tabbed tool whose content comes later: a child dialog with a
// note.
#define IDD_PLACEHOLDER_PAGE 5099

// ---- Settings pages -------------------------------------------------------------------
#define IDD_SETTINGS_COLORS 5048
#define IDD_SETTINGS_QUERY 5049
#define IDD_SETTINGS_CUSTOM 5050
#define IDD_SETTINGS_GENERAL 5051
#define IDD_SETTINGS_UPDATE 5052
