#include "app/MainWndStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(MainWndStatus, ModeTextTable) {
    struct Case {
        int32_t mode;
        const char* name;
        bool logging;
        bool large;
        const char* expected;
    } cases[] = {
        {STATUS_MODE_MONITOR, "SIM-1 GPS Receiver", false, false, "Monitoring SIM-1 GPS Receiver..."},
        {STATUS_MODE_MONITOR, "SIM-1 GPS Receiver", true, false, "Monitoring SIM-1... [data logging: ON]"},
        {STATUS_MODE_MONITOR, "SIM-1 GPS Receiver", true, true, "Monitoring SIM-1... [log]"},
        {STATUS_MODE_MONITOR, "SIM-1 GPS Receiver", false, true, "Monitoring SIM-1... "},
        {STATUS_MODE_MONITOR, "  Timing GPS Receiver Q7  ", true, false, "Monitoring Q7... [data logging: ON]"},
        {STATUS_MODE_MONITOR, "", false, false, "Monitoring GPS receiver..."},
        {STATUS_MODE_MONITOR, nullptr, false, false, "Monitoring GPS receiver..."},
        // A name made only of the dropped words still names something.
        {STATUS_MODE_MONITOR, "GPS Receiver", true, false, "Monitoring GPS receiver... [data logging: ON]"},
        {STATUS_MODE_MONITOR, "100% GPS", false, false, "Monitoring 100% GPS..."},
        {STATUS_MODE_FILE, "SIM-1", false, false, "Playback in progress..."},
        {STATUS_MODE_FILE, "SIM-1", true, true, "Playback in progress... [data logging: ON]"},
        {STATUS_MODE_IDLE, "SIM-1", false, false, ""},
        {STATUS_MODE_IDLE, "SIM-1", true, false, "Data logging in progress..."},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, BuildModeStatusText(c.mode, c.name, c.logging, c.large))
            << c.mode << " '" << (c.name ? c.name : "(null)") << "' " << c.logging << c.large;
}

TEST(MainWndStatus, LinkPaneAndComboTable) {
    struct Case {
        int32_t mode;
        int32_t port;
        uint32_t baud;
        int32_t dataBits;
        int32_t parity;
        int32_t stopBits;
        const char* pane;
        const char* combo;
    } cases[] = {
        {STATUS_MODE_MONITOR, 5, 9600, 8, 0, 0, "COM 5: 9600-8-N-1", "COM 5"},
        {STATUS_MODE_MONITOR, 12, 115200, 7, 1, 2, "COM 12: 115200-7-O-2", "COM 12"},
        {STATUS_MODE_MONITOR, 3, 4800, 8, 2, 0, "COM 3: 4800-8-E-1", "COM 3"},
        {STATUS_MODE_FILE, 5, 9600, 8, 0, 0, "FILE", "FILE"},
        {STATUS_MODE_IDLE, 5, 9600, 8, 0, 0, "IDLE", "IDLE"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.pane, BuildLinkPaneText(c.mode, c.port, c.baud, c.dataBits, c.parity, c.stopBits));
        EXPECT_STREQ(c.combo, BuildLinkComboText(c.mode, c.port));
    }
}

TEST(MainWndStatus, ElapsedTime) {
    EXPECT_STREQ("00:00:00", FormatElapsedTime(0));
    EXPECT_STREQ("00:00:59", FormatElapsedTime(59));
    EXPECT_STREQ("00:01:00", FormatElapsedTime(60));
    EXPECT_STREQ("01:01:01", FormatElapsedTime(3661));
    EXPECT_STREQ("25:00:00", FormatElapsedTime(90000));
}

}  // namespace
