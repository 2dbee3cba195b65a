// Resource ids of the access-code and about dialogs (res/menus.rc).
#pragma once

// ---- Access code (dialog 5010) ----------------------------------------------------------
#define IDD_PASSWORD 5010
#define IDC_PASSWORD_EDIT 1069      // the code, typed hidden

// ---- About box (dialog 100) ---------------------------------------------------------------
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_CLOSE 36000       // "Close"
#define IDC_ABOUT_TEXT 1070         // program name and version
