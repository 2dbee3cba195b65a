// The port settings dialog's mapping between its combos and a port's
// settings, and its presets.
#include <gtest/gtest.h>

#include <string>

#include "app/PortSettingsRules.h"

TEST(PortSettingsRules, PortTextGivesTheNumberAfterTheM)
{
    const struct {
        const char* text;
        int32_t port;
    } cases[] = {{"COM 12", 12}, {"COM 5", 5}, {"COM 1", 1}, {"COM 255", 255}, {"COM12", 12},
                 {"COM 0", 0},   {"COM 256", 0}, {"COM ", 0}, {"IDLE", 0},     {"", 0},
                 {"COM 99999", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.port, ParsePortText(c.text)) << c.text;
    EXPECT_EQ(0, ParsePortText(nullptr));
}

TEST(PortSettingsRules, ComboIndexesMapToSettingsAndBack)
{
    EXPECT_EQ(7, DataBitsFromIndex(0));
    EXPECT_EQ(8, DataBitsFromIndex(1));
    EXPECT_EQ(8, DataBitsFromIndex(-1));
    EXPECT_EQ(0, DataBitsIndex(7));
    EXPECT_EQ(1, DataBitsIndex(8));

    EXPECT_EQ(0, StopBitsFromIndex(0));
    EXPECT_EQ(2, StopBitsFromIndex(1));
    EXPECT_EQ(0, StopBitsFromIndex(-1));
    EXPECT_EQ(1, StopBitsIndex(2));
    EXPECT_EQ(0, StopBitsIndex(0));
    EXPECT_EQ(0, StopBitsIndex(1));  // 1.5 is no choice of the dialog

    const int parity[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}};
    for (const auto& p : parity) EXPECT_EQ(p[1], ParityFromIndex(p[0])) << p[0];
    for (BYTE code = 0; code <= 2; ++code) EXPECT_EQ(code, ParityFromIndex(ParityIndex(code)));
    EXPECT_EQ(0, ParityIndex(7));

    for (int i = 0; i < kPortBaudTextCount; ++i)
        EXPECT_EQ(std::to_string(BaudFromText(kPortBaudTexts[i])), kPortBaudTexts[i]);
    EXPECT_EQ(0u, BaudFromText("fast"));
}

TEST(PortSettingsRules, PresetsSetBaudParityAndAlwaysOneStopBitAndEightDataBits)
{
    const struct {
        UINT id;
        const char* baud;
        int parityIndex;
    } cases[] = {{32887, "9600", 0},   {32888, "9600", 1},   {32889, "38400", 0},
                 {32890, "38400", 1},  {32891, "115200", 0}, {32892, "115200", 1},
                 {32893, "4800", 0},   {32894, "19200", 0},  {32895, "19200", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        PortPresetChoice choice;
        ASSERT_TRUE(GetPortPresetChoice(c.id, choice));
        ASSERT_NE(nullptr, choice.baud);
        EXPECT_STREQ(c.baud, choice.baud);
        EXPECT_EQ(c.parityIndex, choice.parityIndex);
        EXPECT_STREQ("1", choice.stopBits);
        EXPECT_STREQ("8", choice.dataBits);
    }
    PortPresetChoice last;
    ASSERT_TRUE(GetPortPresetChoice(32896, last));
    EXPECT_EQ(nullptr, last.baud);
    EXPECT_STREQ("1", last.stopBits);
    EXPECT_STREQ("8", last.dataBits);

    PortPresetChoice none;
    EXPECT_FALSE(GetPortPresetChoice(32886, none));
    EXPECT_FALSE(GetPortPresetChoice(32897, none));
}

TEST(PortSettingsRules, PresetMenuTextsMatchWhatTheySelect)
{
    ASSERT_EQ(9, kPortPresetCount);
    for (int i = 0; i < kPortPresetCount; ++i) {
        const PortPreset& preset = kPortPresets[i];
        const std::string expected = std::string(preset.baud) + "-8-" + kPortParityTexts[preset.parityIndex] + "-1";
        EXPECT_EQ(expected, preset.text);
    }
}
