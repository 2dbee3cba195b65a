// Resource ids of the playback and port dialogs (res/linkdialogs.rc).
#pragma once

// ---- "Data Playback" ---------------------------------------------------------------
#define IDD_PLAYBACK 5014
#define IDC_PLAY_PROGRESS 1583      // the replay's progress bar
#define IDC_PLAY_PERCENT 1584       // its percentage
#define IDC_PLAY_SLIDER 1581        // speed, 0..1000
#define IDC_PLAY_FILE 1366          // the recording to replay
#define IDC_PLAY_SPEED 1367         // speed, 1..1000
#define IDC_PLAY_QBIN 1368          // QBIN marker, hexadecimal
#define IDC_PLAY_NMEA 1369          // NMEA marker, up to five letters
#define IDC_PLAY_QOP 1370           // QOP marker
#define IDC_PLAY_QTXT 1371          // QTXT marker
#define IDC_PLAY_KESTO_CODE 1372    // KESTO code, hexadecimal
#define IDC_PLAY_KESTO_SUBCODE 1373 // KESTO sub-code, hexadecimal
#define IDC_PLAY_BROWSE 1579        // "..."
#define IDC_PLAY_RAW_PASS 1902      // raw pass-through
#define IDC_PLAY_START 36001        // "Start" / "Stop"
#define IDC_PLAY_MAP 36002          // "Show Position Map (Virtual Earth)"
#define IDC_PLAY_CLOSE 36000        // "Close"

// ---- "Select Port & Settings..." and "COM Settings..." -------------------------------
#define IDD_PORT_SETTINGS 172
#define IDD_PORT_SETTINGS_CONFIGURATOR 5085
#define IDC_PORT_STOPBITS 1754
#define IDC_PORT_DATABITS 1753
#define IDC_PORT_PRESETS 1553
#define IDC_PORT_PORT 1022
#define IDC_PORT_BAUD 1363
#define IDC_PORT_PARITY 1364
#define IDC_PORT_AUTODETECT 1789
#define IDC_PORT_CHECKING 1873      // "Checking for "
#define IDC_PORT_USING 1874         // "using:"
#define IDC_PORT_STATUS 1875        // the protocol being tried, dark green
#define IDC_PORT_HINT 1876          // shown without auto-detection
