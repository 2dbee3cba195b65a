// Resource ids of the monitor program: the main window's dialog, its
// controls, menus, bitmaps, pictures and icons. The UI driver of the
// end-to-end tests reads the same ids, so they are published here and
// nowhere else. Plain #defines: the resource compiler reads this file too.
#pragma once

// ---- Icons -------------------------------------------------------------------
#define IDI_MAIN_LARGE 1            // the program icon
#define IDI_MAIN_SMALL 258
#define IDI_STATE_FIRST 229         // receiver state icons: first state
#define IDI_STATE_NEUTRAL 230       // neither state known
#define IDI_STATE_SECOND 232        // second state

// ---- Menus, accelerators, bitmaps, pictures ------------------------------------
#define IDR_MAIN_MENU 207
#define IDR_MAIN_ACCEL 208
#define IDB_TOOLBAR_STRIP 1000
#define IDB_TOOLBAR_DISABLED 1002
#define IDB_TOOLBAR_HOT 1003
#define IDB_TOOLBAR_NORMAL 1004
#define IDR_GIF_REST 5038           // Tx/Rx lamp at rest
#define IDR_GIF_ACTIVE 5039         // Tx/Rx lamp while bytes move
#define IDD_MAIN_WND 5044

// ---- Group boxes of the main window ----------------------------------------------
#define IDC_GROUP_TIME 1267         // "Time"
#define IDC_GROUP_VELOCITY 1268     // "Velocity"
#define IDC_GROUP_POSITION 1269     // "Position"
#define IDC_GROUP_MODE 1283         // "Receiver Mode && Status"
#define IDC_GROUP_SATELLITES 1343   // "Satellite Data"
#define IDC_GROUP_DOPS 1344         // "DOPs"
#define IDC_GROUP_FIRMWARE 1329     // "Firmware Info"
#define IDC_GROUP_STATUS 1345       // "Status"
#define IDC_GROUP_OSC 1346          // "Osc (ppb)"

// ---- Fields with fixed ids ---------------------------------------------------------
#define IDC_OSC_OFFSET 1149         // oscillator offset, ppb
#define IDC_ANTENNA 1695            // "OK", "SH", "OP", "n/a"
#define IDC_ANTENNA_LABEL 1746
#define IDC_ALMANAC 1191            // almanac status
#define IDC_PROGRESS 1583           // playback / transfer progress bar
#define IDC_PERCENT 1393            // "%d%%" beside the bar
#define IDC_ALMANAC_LABEL 1630      // "Almanac" or "Progress"
#define IDC_LEVEL_CAPTION 1430      // channel table column: "C/No" or "AMU"
#define IDC_RTC_ICON 1745           // real-time clock state icon
#define IDC_BBRAM_ICON 1752         // battery-backed RAM state icon
#define IDC_RTC_LABEL 1750
#define IDC_BBRAM_LABEL 1751

// ---- Position (group 1269) ----------------------------------------------------------
#define IDC_LAT_CAPTION 1701        // "Latitude" or "      X"
#define IDC_LAT_HEMI 1702           // "N" / "S"
#define IDC_LAT_DEG 1703            // whole degrees
#define IDC_LAT_DEGSIGN 1704        // the degree sign
#define IDC_LAT_MIN 1705            // minutes "%.5lf'"
#define IDC_LAT_VALUE 1706          // decimal degrees or X
#define IDC_LON_CAPTION 1707
#define IDC_LON_HEMI 1708
#define IDC_LON_DEG 1709
#define IDC_LON_DEGSIGN 1710
#define IDC_LON_MIN 1711
#define IDC_LON_VALUE 1712          // decimal degrees or Y
#define IDC_ALT_CAPTION 1713        // "Altitude" or "      Z"
#define IDC_ALT_VALUE 1714          // altitude or Z
#define IDC_ALT_UNIT 1715           // "m HAE" / "m MSL"

// ---- Velocity (group 1268) ------------------------------------------------------------
#define IDC_VEL_WORD1 1177          // "East"/"West" (ENU) or the row label
#define IDC_VEL_WORD2 1178
#define IDC_VEL_WORD3 1179
#define IDC_VEL_VALUE1 1193
#define IDC_VEL_VALUE2 1194
#define IDC_VEL_VALUE3 1195
#define IDC_VEL_UNIT1 1729
#define IDC_VEL_UNIT2 1730
#define IDC_VEL_UNIT3 1731
#define IDC_SPEED_LABEL 1716        // "Speed"
#define IDC_SPEED_VALUE 1717
#define IDC_SPEED_UNIT 1718         // "mph", "km/hr", "m/s"

// ---- Time (group 1267) ------------------------------------------------------------------
#define IDC_TIME 1719               // "Thu 01:02:03"
#define IDC_DATE 1720               // "November 09, 2006"
#define IDC_WEEK 1721
#define IDC_TOW 1722

// ---- Receiver mode and status (group 1283), DOPs (1344) ------------------------------------
#define IDC_FIX_MODE 1723           // "3-D, Auto (4 SV)"
#define IDC_RCVR_STATUS 1724        // "doing position fixes"
#define IDC_PDOP 1725
#define IDC_HDOP 1726
#define IDC_VDOP 1727
#define IDC_TDOP 1728

// ---- Firmware (group 1329) ---------------------------------------------------------------
#define IDC_APP_VERSION 1733        // "7.74.3"
#define IDC_APP_DATE 1734           // "03/15/07"
#define IDC_CORE_VERSION 1735
#define IDC_CORE_DATE 1736

// ---- Channel table (group 1343): row r, column c at IDC_CHANNEL_FIRST + 5r + c ---------------
#define IDC_CHANNEL_FIRST 1800
#define CHANNEL_COLUMNS 5           // satellite, level, azimuth, elevation, state
#define CHANNEL_ROWS 12
#define IDC_CHANNEL_CELL(row, col) (IDC_CHANNEL_FIRST + (row) * CHANNEL_COLUMNS + (col))
#define IDC_SV_CAPTION 1861
#define IDC_AZ_CAPTION 1862
#define IDC_EL_CAPTION 1863
#define IDC_STATE_CAPTION 1864

// ---- Status bar pictures ---------------------------------------------------------------
#define IDC_TX_LABEL 1760
#define IDC_RX_LABEL 1761
#define IDC_TX_ACTIVE 1762
#define IDC_TX_REST 1763
#define IDC_RX_ACTIVE 1764
#define IDC_RX_REST 1765

// ---- Status bar panes (indicator ids) -------------------------------------------------------
#define ID_PANE_GENERAL 1
#define ID_PANE_MESSAGE 2
#define ID_PANE_PROTOCOL 4
#define ID_PANE_ELAPSED 5
#define ID_PANE_LINK 6

// ---- Commands ------------------------------------------------------------------------
#define ID_LINK_COMBO 36004
#define ID_GPSDATA_COMBO 36009
#define ID_SHUTDOWN_STANDBY 36010   // "S&hutdown / Standby..."
#define ID_FILE_EXIT 1047
#define ID_FILE_EXIT2 1700
#define ID_VIEW_TOOLBAR 0xE800
#define ID_NEW_WINDOW 32959         // "New Window..."
#define ID_CONNECT 32952            // "&Connect..." / "&Disconnect"
#define ID_AUTO_QUERY 32837         // "&Auto Query"
#define ID_COM_PORT_DLG 32842       // "COM Port..."
#define ID_RECEIVER_PORT 32944      // "Receiver Port..."
#define ID_POSITION_WND 32854       // tool bar; the View menu has ID_POSITION_WND_MENU
#define ID_SKY_PLOT 32855           // tool bar; the View menu has ID_SKY_PLOT_MENU
#define ID_POSITION_WND_MENU 32853  // "Position &Window...", checked while the window is open
#define ID_SKY_PLOT_MENU 32852      // "S&ky Plot...", checked while the window is open
#define ID_DATA_LOGGER 32796
#define ID_RAW_DATA_WND 32863
#define ID_RAW_DATA_WND2 32864      // a second command for another raw data window
#define ID_SETTINGS 32925
#define ID_SETTINGS2 32926
#define ID_ABOUT 32785
#define ID_ABOUT_MENU 32786
#define ID_SAVE_CONFIG 32847
#define ID_DOUBLE_PRECISION 32857
#define ID_RCVR_VERSION 32916
#define ID_RCVR_CONFIG 32945
#define ID_SIGNAL_CNO 32869
#define ID_SIGNAL_AMU 32870
#define ID_TIME_GPS 34001
#define ID_TIME_UTC 34002
#define ID_VEL_ENU 34010
#define ID_VEL_ECEF 34012
#define ID_POS_LLA 34020
#define ID_POS_XYZ 34022
#define ID_ALT_MSL 34023
#define ID_ALT_HAE 34024
#define ID_SPEED_KMH 34025
#define ID_SPEED_MPH 34026
#define ID_SPEED_MPS 34027
#define ID_POS_LLA_DEC 34028
#define ID_POS_COPY 34029
#define ID_PROT_AUTO 35033
#define ID_PROT_QBIN 35034
#define ID_PROT_NMEA 35035
#define ID_PROT_QTXT 35036
#define ID_PROT_QOP 35037
#define ID_COM_PORT_FIRST 60000     // 60000 + port number
// Menu and accelerator commands of menu 207 and accelerators 208.
#define ID_RESET_COLD 32787
#define ID_RESET_WARM 32788
#define ID_RESET_HOT 32789
#define ID_RESET_SEMI_WARM 32927
#define ID_RESET_SEMI_HOT 32928
#define ID_RESET_FACTORY 32848
#define ID_ALWAYS_ON_TOP 32797
#define ID_INIT_ALMANAC 32824       // transfer operations 1..8
#define ID_GET_ALMANAC 32825
#define ID_GET_EPHEMERIS 32826
#define ID_INIT_EPHEMERIS 32827
#define ID_TIME_TO_PC 32828
#define ID_TIME_FROM_PC 32829
#define ID_GET_POSITION 32941
#define ID_INIT_POSITION 32942
#define ID_AGPS_DATA 32931
#define ID_GPSDATA_ALMANAC 32830    // GPS system data window pages
#define ID_GPSDATA_HEALTH 32831
#define ID_GPSDATA_IONO 32832
#define ID_GPSDATA_UTC 32833
#define ID_GPSDATA_EPHEMERIS 32834
#define ID_DIAGNOSTICS 32946
#define ID_FLASH_LOADER 32954
#define ID_DATA_CONVERTER 32964
#define ID_CLEAR_WINDOW 32990
#define ID_ACCESS_CODE 32911        // Ctrl+Z, no menu item
#define ID_HELP_CONTENTS 57670      // "&Contents...\tF1": the menu builder takes it out
#define ID_GENERIC_PACKETS 32850    // "&Generic Packets..."
#define ID_FAST_CORRECTIONS 32914   // no menu item yet
#define ID_IONO_DELAY 32915         // no menu item yet
#define ID_DETECT_RECEIVER 32951    // "&Detect Receiver..."
#define ID_GPSDATA_WND 32958        // "GPS &Data Window..."
#define ID_RELEASE_NOTES 32960      // "&Release Notes..."
#define ID_CONFIGURATOR 32979       // "Multi-Receiver &Configurator..."
#define ID_USER_MODE 32953          // Ctrl+Shift+U, no menu item
// Inserted into menu 207 at run time by the menu builder.
#define ID_DATA_PLAYBACK 32919
#define ID_TIMING_RECEIVER 32936
#define ID_DATA_RECORDER_TOOL 32956
#define ID_TTFF_TESTER 32955
#define ID_PROTOCOL_TESTER 32879
#define ID_SCRIPT_STATUS 32962
#define ID_INTERNAL_TOOLS_NOTE 32992

// ---- Logging calendar (dialog 5012) ------------------------------------------------------
#define IDD_LOG_CALENDAR 5012
#define IDC_LOGCAL_USE 1402         // "Use Logging Calendar:"
#define IDC_LOGCAL_START_TIME 1019  // time picker of "Start Time:"
#define IDC_LOGCAL_START_DATE 1020  // date picker of "Start Time:"
#define IDC_LOGCAL_END_TIME 1021
#define IDC_LOGCAL_END_DATE 1022
#define IDC_LOGCAL_CANCEL 36000     // "Cancel": ends the dialog with IDCANCEL

// ---- Multiport Data Logger (dialog 5042, menu 210) -----------------------------------------
#define IDD_DATA_LOGGER 5042
#define IDR_DATA_LOGGER_MENU 210
#define ID_DATA_LOGGER_SHOW 32795       // opens the logger shown, as ID_DATA_LOGGER does
#define IDC_LOGGER_PORTS 1708           // "COM %d" entries and "Playback"
#define IDC_LOGGER_FILE 1366            // log file path
#define IDC_LOGGER_BROWSE 1405          // "..." and "&Select Log File..."
#define IDC_LOGGER_APPEND 1554          // "Append to file if exists"
#define IDC_LOGGER_STD_NAMING 1549      // "Use standard file naming:"
#define IDC_LOGGER_UNIT_ID 1544
#define IDC_LOGGER_TEST_CASE 1550
#define IDC_LOGGER_BAUD 1665
#define IDC_LOGGER_PARITY 1666
#define IDC_LOGGER_DATA_BITS 1006
#define IDC_LOGGER_STOP_BITS 1008
#define IDC_LOGGER_PROTOCOL 1717        // "Command Protocol"
#define IDC_LOGGER_SPLIT 1367           // split size, MB
#define IDC_LOGGER_LOG_SVS 1548         // "Log SV tracking info"
#define IDC_LOGGER_LOG_TIME 1553        // "Log GPS time"
#define IDC_LOGGER_MAKE_CSV 1555        // "Generate .csv (MS Streets)"
#define IDC_LOGGER_MAKE_KML 1558        // "Generate .kml (Google Earth)"
#define IDC_LOGGER_KML_COLOUR 1411      // dot colour of the placemarks
#define IDC_LOGGER_CALENDAR 1402        // "Logging Calendar" and "&Logging Calendar..."
#define IDC_LOGGER_START 1370           // "Start Logging" / "Stop Logging" and its menu item
#define ID_LOGGER_STOP_ALL 32950        // "Stop &All"
#define ID_LOGGER_SETTINGS_TO_ALL 32949 // "Use Current Settings for All Ports"
#define IDC_LOGGER_CLOSE 36000          // "Close" and "&Close"
#define IDC_LOGGER_STATUS 1037          // status text
#define IDC_LOGGER_SIZE 1038            // log size
#define IDC_LOGGER_SVS 1556             // satellites in the fix
#define IDC_LOGGER_DIM 1557             // fix dimension
#define IDC_LOGGER_LAMP_TX 1702         // lamps, in the order of LoggerLamp
#define IDC_LOGGER_LAMP_RX 1703
#define IDC_LOGGER_LAMP_FIX 1704
#define IDC_LOGGER_LAMP_ALM 1705
#define IDC_LOGGER_LAMP_BB 1706
#define IDC_LOGGER_LAMP_RTC 1707
#define IDC_LOGGER_GROUP_STATUS 1701    // "Status Info for COM %d"
#define IDC_LOGGER_GROUP_FILE 1709      // "Log File for COM %d"
#define IDC_LOGGER_GROUP_PORT 1710      // "Port Settings for COM %d"
#define IDC_LOGGER_GROUP_MISC 1711      // "Miscellaneous Settings for COM %d"

// ---- Data converter window (dialog 5068, menu 212) ----------------------------------
#define IDD_DATA_CONVERTER 5068
#define IDR_DATA_CONVERTER_MENU 212
#define IDC_CONV_FILE 1366          // the recording (or a file of the folder) to convert
#define IDC_CONV_SELECT_FILE 1579   // "...", and the menu's "Select File..."
#define IDC_CONV_CONVERT_ALL 1909
#define IDC_CONV_CSV 1908
#define IDC_CONV_KML 1916
#define IDC_CONV_KML_COLOUR 1411    // the KML dots' colour picker
#define IDC_CONV_XLX 1903
#define IDC_CONV_TXT 1907
#define IDC_CONV_NMEA 1722
#define IDC_CONV_CONVERT 1904       // "Convert", "Abort!" while a run is active
#define IDC_CONV_CLOSE 36000        // "Close", and the menu's "Close"
#define IDC_CONV_STATUS 1018
#define IDC_CONV_RECORDS 1917       // records written
#define IDC_CONV_PROGRESS 1905
#define IDC_CONV_PERCENT 1906
#define ID_CONV_OPTIONS 32965       // Configure > Options

// ---- Data converter options (dialog 5069) --------------------------------------------
#define IDD_DATA_CONVERTER_OPTIONS 5069
#define IDC_CONV_OPT_OVERWRITE 1919
#define IDC_CONV_OPT_RANGE 1921
#define IDC_CONV_OPT_START_WN 1922
#define IDC_CONV_OPT_START_TOW 1917
#define IDC_CONV_OPT_END_WN 1926
#define IDC_CONV_OPT_END_TOW 1925
#define IDC_CONV_OPT_HEADER 1916
#define IDC_CONV_OPT_DM_PREFIX 1918
#define IDC_CONV_OPT_BAD_PARSES 1920
#define IDC_CONV_OPT_PACKET_IDS 1912
#define IDC_CONV_OPT_BLANK_LINE 1913
#define IDC_CONV_OPT_BLANK_ID 1914
#define IDC_CONV_OPT_BLANK_SUBCODE 1915
#define IDC_CONV_OPT_SPLIT 1910
#define IDC_CONV_OPT_LINES 1927
#define IDC_CONV_OPT_FILL_1HZ 1909
#define IDC_CONV_OPT_NA 1911
#define IDC_CONV_OPT_FIELD_SEP 1876

// ---- Further windows, each area in its own header ----------------------------------------
#include "resource_rawoutput.h"

#include "resource_linkdialogs.h"

#include "resource_menus.h"

#include "resource_tools.h"

#include "resource_position.h"

#include "resource_posmap.h"

#include "resource_skyplot.h"

#include "resource_rcvrconfig.h"
