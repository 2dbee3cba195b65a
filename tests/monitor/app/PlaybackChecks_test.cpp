// What the playback dialog checks before a replay starts: the message of the
// first failing field, in the order the user is told, and the values a valid
// input gives the replay.
#include <gtest/gtest.h>

#include <string>

#include "app/PlaybackChecks.h"

namespace {

// Fields that pass every check; each case changes one or two of them.
PlaybackMarkerTexts ValidTexts()
{
    PlaybackMarkerTexts t;
    t.qbin = "6D";
    t.kestoCode = "31";
    t.kestoSubcode = "01";
    t.nmea = "GGA";
    t.qop = "LN";
    t.qtxt = "Ha";
    return t;
}

}  // namespace

TEST(PlaybackChecks, AMissingFileNameIsToldFirst)
{
    EXPECT_STREQ("Select a valid playback file!", CheckPlaybackFileName(""));
    EXPECT_STREQ("Select a valid playback file!", CheckPlaybackFileName("   "));
    EXPECT_EQ(nullptr, CheckPlaybackFileName("C:\\logs\\sim.log"));
}

TEST(PlaybackChecks, EachBadFieldGivesItsMessageInOrder)
{
    const struct {
        const char* name;
        void (*change)(PlaybackMarkerTexts&);
        const char* message;
    } cases[] = {
        // The QBIN marker is looked at before a KESTO field that also fails.
        {"QBIN 00 before KESTO 0", [](PlaybackMarkerTexts& t) { t.qbin = "00"; t.kestoCode = "0"; },
         "Invalid QBIN marker specified!"},
        {"QBIN empty", [](PlaybackMarkerTexts& t) { t.qbin = ""; }, "Invalid QBIN marker specified!"},
        {"QBIN 1z", [](PlaybackMarkerTexts& t) { t.qbin = "1z"; }, "Invalid QBIN marker specified!"},
        {"QBIN 100 (not cut to 00)", [](PlaybackMarkerTexts& t) { t.qbin = "100"; }, "Invalid QBIN marker specified!"},
        {"KESTO code 0", [](PlaybackMarkerTexts& t) { t.kestoCode = "0"; }, "Invalid KESTO code specified!"},
        {"KESTO code 100", [](PlaybackMarkerTexts& t) { t.kestoCode = "100"; }, "Invalid KESTO code specified!"},
        {"KESTO sub-code 0", [](PlaybackMarkerTexts& t) { t.kestoSubcode = "0"; },
         "Invalid KESTO sub-code specified!"},
        {"KESTO sub-code 1z", [](PlaybackMarkerTexts& t) { t.kestoSubcode = "1z"; },
         "Invalid KESTO sub-code specified!"},
        {"NMEA G", [](PlaybackMarkerTexts& t) { t.nmea = "G"; }, "Invalid NMEA marker specified!"},
        {"NMEA GPGGAX", [](PlaybackMarkerTexts& t) { t.nmea = "GPGGAX"; }, "Invalid NMEA marker specified!"},
        {"NMEA before QOP", [](PlaybackMarkerTexts& t) { t.nmea = ""; t.qop = "H"; }, "Invalid NMEA marker specified!"},
        {"QOP H", [](PlaybackMarkerTexts& t) { t.qop = "H"; }, "Invalid QOP marker specified!"},
        {"QTXT L", [](PlaybackMarkerTexts& t) { t.qtxt = "L"; }, "Invalid QTXT marker specified!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaybackMarkerTexts texts = ValidTexts();
        c.change(texts);
        PlaybackMarkerValues values;
        values.qbin = 0x77;
        const char* message = CheckPlaybackMarkers(texts, values);
        ASSERT_NE(nullptr, message);
        EXPECT_STREQ(c.message, message);
        EXPECT_EQ(0x77, values.qbin) << "a refused input leaves the values alone";
    }
}

TEST(PlaybackChecks, ValidFieldsGiveTheirBytesAndUpperCasedNames)
{
    const struct {
        const char* qbin;
        const char* nmea;
        const char* qtxt;
        BYTE qbinByte;
        const char* nmeaOut;
        const char* qtxtOut;
    } cases[] = {
        {"6D", "GGA", "Ha", 0x6D, "GGA", "HA"},
        {"6d", "gga", "ha", 0x6D, "GGA", "HA"},
        {"1", "GPGGA", "HA", 0x01, "GPGGA", "HA"},
        {" ff ", "RMC", "ST", 0xFF, "RMC", "ST"},
        {"8f", "GG", "SV", 0x8F, "GG", "SV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.qbin);
        PlaybackMarkerTexts texts = ValidTexts();
        texts.qbin = c.qbin;
        texts.nmea = c.nmea;
        texts.qtxt = c.qtxt;
        texts.qop = "ln";
        PlaybackMarkerValues values;
        ASSERT_EQ(nullptr, CheckPlaybackMarkers(texts, values));
        EXPECT_EQ(c.qbinByte, values.qbin);
        EXPECT_EQ(0x31, values.kestoCode);
        EXPECT_EQ(0x01, values.kestoSubcode);
        EXPECT_EQ(c.nmeaOut, values.nmea);
        EXPECT_EQ(c.qtxtOut, values.qtxt);
        EXPECT_EQ("ln", values.qop) << "the QOP marker keeps its case";
    }
}

TEST(PlaybackChecks, MarkerBytesAreOneOrTwoHexDigitsAndNotZero)
{
    const struct {
        const char* text;
        bool ok;
        BYTE value;
    } cases[] = {{"1", true, 0x01}, {"0A", true, 0x0A}, {"a", true, 0x0A}, {"FF", true, 0xFF},
                 {"", false, 0},    {"0", false, 0},    {"00", false, 0},   {"100", false, 0},
                 {"1z", false, 0},  {"-1", false, 0},   {"0x1", false, 0},  {"1 2", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        BYTE value = 0x5A;
        EXPECT_EQ(c.ok, ParseMarkerByte(c.text, value));
        EXPECT_EQ(c.ok ? c.value : 0x5A, value);
    }
    EXPECT_EQ("6D", FormatMarkerByte(0x6D));
    EXPECT_EQ("01", FormatMarkerByte(0x01));
}

TEST(PlaybackChecks, SliderZeroIsRealTime)
{
    EXPECT_EQ(1, PlaybackSpeedFromSlider(0));
    EXPECT_EQ(1, PlaybackSpeedFromSlider(-5));
    EXPECT_EQ(1, PlaybackSpeedFromSlider(1));
    EXPECT_EQ(500, PlaybackSpeedFromSlider(500));
    EXPECT_EQ(1000, PlaybackSpeedFromSlider(1000));
}

// The replay's file never depends on the process's current folder: a
// relative name is taken from the data folder.
TEST(PlaybackChecks, RelativeNamesAreTakenFromTheDataFolder)
{
    const struct {
        const char* name;
        const char* folder;
        const char* path;
    } cases[] = {
        {"sim.log", "C:\\data", "C:\\data\\sim.log"},
        {"logs\\sim.log", "C:\\data\\", "C:\\data\\logs\\sim.log"},
        {"C:\\other\\sim.log", "C:\\data", "C:\\other\\sim.log"},
        {"\\\\server\\share\\sim.log", "C:\\data", "\\\\server\\share\\sim.log"},
        {"D:sim.log", "C:\\data", "D:sim.log"},
        {"sim.log", "", "sim.log"},
        {"", "C:\\data", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.path, ResolvePlaybackPath(c.name, c.folder)) << c.name;
}
