// The main window's link decisions: combo items, the output-format bit table
// and the display formats read back from it, the auto-query switch, the
// tracker handshake texts and the transfer percentage.
#include <cstring>

#include <gtest/gtest.h>

#include "app/MainWndLinkRules.h"

namespace {

TEST(MainWndLinkRules, ComboItemsMapToActions)
{
    struct Case {
        const char* text;
        LinkComboAction action;
        int port;
    };
    const Case cases[] = {
        {"IDLE", LINK_COMBO_IDLE, 0},
        {"FILE", LINK_COMBO_FILE, 0},
        {"COM 1", LINK_COMBO_PORT, 1},
        {"COM 12", LINK_COMBO_PORT, 12},
        {"COM 255", LINK_COMBO_PORT, 255},
        // Items that name no port only show the current mode again.
        {"COM 0", LINK_COMBO_RESELECT, 0},
        {"COM 256", LINK_COMBO_RESELECT, 0},
        {"COM 99999999999", LINK_COMBO_RESELECT, 0},
        {"COM Port...", LINK_COMBO_RESELECT, 0},
        {"Receiver Port...", LINK_COMBO_RESELECT, 0},
        {"-----------------------------------------", LINK_COMBO_RESELECT, 0},
        {"", LINK_COMBO_RESELECT, 0},
        {"idle", LINK_COMBO_RESELECT, 0},
        {nullptr, LINK_COMBO_RESELECT, 0},
    };
    for (const Case& c : cases) {
        LinkComboChoice choice = ParseLinkComboItem(c.text);
        EXPECT_EQ(c.action, choice.action) << (c.text ? c.text : "(null)");
        EXPECT_EQ(c.port, choice.port) << (c.text ? c.text : "(null)");
    }
    EXPECT_STREQ("COM 5", (const char*)LinkComboItemForMode(1, 5));
    EXPECT_STREQ("FILE", (const char*)LinkComboItemForMode(2, 5));
    EXPECT_STREQ("IDLE", (const char*)LinkComboItemForMode(0, 5));
}

IoOptions Bytes(uint8_t position, uint8_t velocity, uint8_t timing, uint8_t auxiliary)
{
    IoOptions o;
    o.position = position;
    o.velocity = velocity;
    o.timing = timing;
    o.auxiliary = auxiliary;
    return o;
}

TEST(MainWndLinkRules, OutputFormatChangesOneBitAndReadsBack)
{
    struct Case {
        int format;
        IoOptions before;
        IoOptions after;
    };
    // Every bit not named by the format stays as it was, set or clear.
    const Case cases[] = {
        {1, Bytes(0xFF, 0x01, 0xFF, 0xFF), Bytes(0xFF, 0x02, 0xFF, 0xFF)},
        {2, Bytes(0x00, 0xFE, 0x00, 0x00), Bytes(0x00, 0xFD, 0x00, 0x00)},
        {4, Bytes(0x01, 0x00, 0x00, 0x00), Bytes(0x02, 0x00, 0x00, 0x00)},
        {5, Bytes(0xFE, 0x00, 0x00, 0x00), Bytes(0xFD, 0x00, 0x00, 0x00)},
        {6, Bytes(0x00, 0xAA, 0x55, 0x11), Bytes(0x04, 0xAA, 0x55, 0x11)},
        {7, Bytes(0xFF, 0x00, 0x00, 0x00), Bytes(0xFB, 0x00, 0x00, 0x00)},
        {8, Bytes(0x00, 0x00, 0xFF, 0x00), Bytes(0x00, 0x00, 0xFE, 0x00)},
        {9, Bytes(0x00, 0x00, 0x00, 0x00), Bytes(0x00, 0x00, 0x01, 0x00)},
        {10, Bytes(0x00, 0x00, 0x00, 0x40), Bytes(0x00, 0x00, 0x00, 0x48)},
        {11, Bytes(0x00, 0x00, 0x00, 0xFF), Bytes(0x00, 0x00, 0x00, 0xF7)},
        {12, Bytes(0xFF, 0x00, 0x00, 0x00), Bytes(0xEF, 0x00, 0x00, 0x00)},
        {13, Bytes(0x00, 0x00, 0x00, 0x00), Bytes(0x10, 0x00, 0x00, 0x00)},
        {3, Bytes(0x12, 0x34, 0x56, 0x78), Bytes(0x12, 0x34, 0x56, 0x78)},
        {0, Bytes(0x12, 0x34, 0x56, 0x78), Bytes(0x12, 0x34, 0x56, 0x78)},
        {14, Bytes(0x12, 0x34, 0x56, 0x78), Bytes(0x12, 0x34, 0x56, 0x78)},
    };
    for (const Case& c : cases) {
        IoOptions o = c.before;
        EXPECT_EQ(c.format != 0 && c.format != 3 && c.format != 14, ApplyOutputFormat(o, c.format));
        EXPECT_EQ(c.after.position, o.position) << "format " << c.format;
        EXPECT_EQ(c.after.velocity, o.velocity) << "format " << c.format;
        EXPECT_EQ(c.after.timing, o.timing) << "format " << c.format;
        EXPECT_EQ(c.after.auxiliary, o.auxiliary) << "format " << c.format;
    }

    // Each format that sets a state reads back as the display format that
    // names it, so the menu checks follow what was sent.
    const int formats[] = {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int format : formats) {
        IoOptions o = Bytes(0, 0, 0, 0);
        ApplyOutputFormat(o, format);
        int codes[OUTPUT_FORMAT_CHECK_COUNT];
        GetOutputFormatChecks(o, codes);
        bool found = false;
        for (int code : codes) found = found || code == format;
        EXPECT_TRUE(found) << "format " << format;
    }
    int codes[OUTPUT_FORMAT_CHECK_COUNT];
    GetOutputFormatChecks(Bytes(0x15, 0x01, 0x01, 0x08), codes);
    const int allSet[OUTPUT_FORMAT_CHECK_COUNT] = {6, 5, 13, 2, 9, 10};
    for (int i = 0; i < OUTPUT_FORMAT_CHECK_COUNT; ++i) EXPECT_EQ(allSet[i], codes[i]);
    GetOutputFormatChecks(Bytes(0xEA, 0xFE, 0xFE, 0xF7), codes);
    const int allClear[OUTPUT_FORMAT_CHECK_COUNT] = {7, 4, 12, 1, 8, 11};
    for (int i = 0; i < OUTPUT_FORMAT_CHECK_COUNT; ++i) EXPECT_EQ(allClear[i], codes[i]);
}

TEST(MainWndLinkRules, AutoQuerySuspendAndRestore)
{
    struct Case {
        int action;
        int32_t enabled, remembered;
        bool accepted;
        int32_t enabledAfter, rememberedAfter;
    };
    const Case cases[] = {
        {0, 1, 0, true, 1, 0},
        {0, 0, 1, true, 0, 1},
        {1, 1, 0, true, 0, 1},
        {1, 0, 1, true, 0, 0},   // suspending while off remembers "off"
        {2, 0, 0, true, 1, 0},
        {3, 0, 1, true, 1, 1},
        {3, 1, 0, true, 0, 0},
        {4, 1, 0, false, 1, 0},
        {-1, 0, 1, false, 0, 1},
    };
    for (const Case& c : cases) {
        int32_t enabled = c.enabled, remembered = c.remembered;
        EXPECT_EQ(c.accepted, ApplyAutoQueryAction(c.action, enabled, remembered)) << c.action;
        EXPECT_EQ(c.enabledAfter, enabled) << c.action;
        EXPECT_EQ(c.rememberedAfter, remembered) << c.action;
    }
    // A suspend then a restore gives back what was there.
    int32_t enabled = 1, remembered = 0;
    ApplyAutoQueryAction(1, enabled, remembered);
    ApplyAutoQueryAction(3, enabled, remembered);
    EXPECT_EQ(1, enabled);
}

TEST(MainWndLinkRules, TrackerHandshake)
{
    struct Reply {
        const char* bytes;
        int length;
        bool ok;
    };
    const Reply replies[] = {
        {"\r\nOK\r\n", 6, true},
        {"AT\r\nok", 6, true},
        {"oK", 2, true},
        {"AT\r\nO", 5, false},
        {"OK", 1, false},          // only the bytes read count
        {"ERROR\r", 6, false},
        {"", 0, false},
        {"o\0k", 3, false},
    };
    for (const Reply& r : replies)
        EXPECT_EQ(r.ok, IsTrackerOkReply(reinterpret_cast<const BYTE*>(r.bytes), r.length)) << r.bytes;
    EXPECT_FALSE(IsTrackerOkReply(nullptr, 6));
    EXPECT_EQ(4u, std::strlen(kTrackerProbe));

    struct Command {
        int32_t protocol, antenna;
        const char* text;
    };
    const Command commands[] = {
        {3, 0, "at+ctkt=70\r\n"}, {3, 1, "at+ctkt=70,2\r\n"}, {3, 2, "at+ctkt=70,1\r\n"},
        {4, 0, "at+ctkt=71\r\n"}, {5, 1, "at+ctkt=71,2\r\n"}, {4, 3, "at+ctkt=71\r\n"},
    };
    for (const Command& c : commands)
        EXPECT_STREQ(c.text, (const char*)BuildTrackerConnectCommand(c.protocol, c.antenna));
}

TEST(MainWndLinkRules, TransferPercentIn64Bits)
{
    struct Case {
        int32_t position, range, percent;
    };
    const Case cases[] = {
        {0, 35, 0},     {1, 35, 2},        {35, 35, 100},      {36, 35, 100},
        {5, 0, 0},      {5, -1, 0},        {-3, 35, 0},
        // position * 100 passes 2^31 here.
        {30000000, 40000000, 75},          {2147483647, 2147483647, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.percent, TransferPercent(c.position, c.range)) << c.position << "/" << c.range;
}

}  // namespace
