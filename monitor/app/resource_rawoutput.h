// Resource ids of the raw data monitor (res/rawoutput.rc).
#pragma once

#define IDD_RAW_OUTPUT 197
#define IDC_RAW_SHOW_RECEIVED 1372    // "Show received data"
#define IDC_RAW_SHOW_SENT 1378        // "Show sent data"
#define IDC_RAW_IDS_ONLY 1379         // "Display packet IDs only"
#define IDC_RAW_PAUSE 1426            // "Pause" / "Resume"
#define IDC_RAW_CLEAR 1431            // "Clear"
#define IDC_RAW_COPY 1434             // "Copy to Clipboard"
#define IDC_RAW_TEXT 1699             // the rich edit holding the lines
#define IDC_RAW_TOP_RULE 1884         // the line under the check boxes
#define IDC_RAW_BOTTOM_RULE 1885      // the line over the buttons
#define IDC_RAW_CLOSE 36000           // "Close"
