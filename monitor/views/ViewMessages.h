// Messages between the tabbed view windows and their pages. Plain numbers
// (WM_USER = 0x400) so the pure page logic can name them without windows.h.
#pragma once

// A command for a page of the position window: wParam = command (see
// PositionCommand), lParam = its argument.
constexpr unsigned kWmPosMapCommand = 0x400 + 115;
// A page is told the size of its tab control: wParam = width, lParam = height.
// (0, 0) asks the page to lay itself out again from the tab control.
constexpr unsigned kWmTabRefresh = 0x400 + 108;

enum PositionCommand : int {
    kPosCmdErase = 1,
    kPosCmdZoomIn = 2,
    kPosCmdZoomOut = 3,
    kPosCmdMeasure = 4,
    kPosCmdResetScale = 5,
    kPosCmdApplySettings = 6,
    kPosCmdCopy = 7,
    kPosCmdPrint = 8,
    kPosCmdPrintPreview = 9,
    kPosCmdPrintSetup = 10,
    kPosCmdShowMap = 11,
    kPosCmdHideMap = 12,
};
