#include "app/MainWndStatus.h"

CString BuildModeStatusText(int32_t mode, const char* receiverName, bool logging, bool largeLayout) {
    CString text;
    if (mode == STATUS_MODE_MONITOR) {
        CString name(receiverName);
        if (logging || largeLayout) {
            name.Replace("Receiver", "");
            name.Replace("GPS", "");
            name.Replace("Timing", "");
            name.TrimLeft();
            name.TrimRight();
            if (name.IsEmpty()) name = "GPS receiver";
            text.Format("Monitoring %s... ", name.GetString());
            if (logging) text += largeLayout ? "[log]" : "[data logging: ON]";
        } else {
            if (name.IsEmpty()) name = "GPS receiver";
            text.Format("Monitoring %s...", name.GetString());
        }
    } else if (mode == STATUS_MODE_FILE) {
        text = logging ? "Playback in progress... [data logging: ON]" : "Playback in progress...";
    } else {
        text = logging ? "Data logging in progress..." : "";
    }
    return text;
}

const char* ParityLetter(int32_t parityCode) {
    switch (parityCode) {
        case 1: return "O";
        case 2: return "E";
        default: return "N";
    }
}

CString BuildLinkPaneText(int32_t mode, int32_t port, uint32_t baud, int32_t dataBits, int32_t parityCode,
                          int32_t stopBitsCode) {
    CString text;
    if (mode == STATUS_MODE_MONITOR)
        text.Format("COM %d: %d-%d-%s-%d", static_cast<int>(port), static_cast<int>(baud),
                    dataBits == 7 ? 7 : 8, ParityLetter(parityCode), stopBitsCode == 2 ? 2 : 1);
    else
        text = mode == STATUS_MODE_FILE ? "FILE" : "IDLE";
    return text;
}

CString BuildLinkComboText(int32_t mode, int32_t port) {
    CString text;
    if (mode == STATUS_MODE_MONITOR)
        text.Format("COM %d", static_cast<int>(port));
    else
        text = mode == STATUS_MODE_FILE ? "FILE" : "IDLE";
    return text;
}

CString FormatElapsedTime(uint32_t seconds) {
    CString text;
    text.Format("%02u:%02u:%02u", static_cast<unsigned>(seconds / 3600), static_cast<unsigned>(seconds / 60 % 60),
                static_cast<unsigned>(seconds % 60));
    return text;
}
