#include "app/MainWndProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct IntCase {
    const char* entry;
    int32_t MainWndSettings::*member;
    int32_t expectedDefault;
    int32_t stored;
};

// Every integer key with the field it lands in, its default and a value
// that differs from it.
const IntCase kIntCases[] = {
    {"llaDec", &MainWndSettings::llaDec, 0, 1},
    {"com", &MainWndSettings::com, 1, 12},
    {"parity", &MainWndSettings::parity, 0, 2},
    {"baud", &MainWndSettings::baud, 9600, 115200},
    {"databits", &MainWndSettings::dataBits, 8, 7},
    {"stopbits", &MainWndSettings::stopBits, 0, 2},
    {"inProt", &MainWndSettings::inProt, 2, 4},
    {"outProt", &MainWndSettings::outProt, 2, 5},
    {"autoOutput", &MainWndSettings::autoOutput, 1, 0},
    {"bPassOk", &MainWndSettings::passOk, 0, 1},
    {"playbackSpeed", &MainWndSettings::playbackSpeed, 1000, 5},
    {"playbackQbinMarker", &MainWndSettings::playbackQbinMarker, 109, 0x41},
    {"playbackKestoCode", &MainWndSettings::playbackKestoCode, 49, 50},
    {"playbackKestoSubcode", &MainWndSettings::playbackKestoSubcode, 1, 2},
    {"spdUnits", &MainWndSettings::spdUnits, 0, 2},
    {"comParity", &MainWndSettings::comParity, 0, 1},
    {"comBaud", &MainWndSettings::comBaud, 9600, 38400},
    {"comDataBits", &MainWndSettings::comDataBits, 8, 7},
    {"comStopBits", &MainWndSettings::comStopBits, 0, 2},
    {"RoamfobMode", &MainWndSettings::trackerMode, 0, 1},
    {"RoamfobAnt", &MainWndSettings::trackerAntenna, 0, 2},
    {"autoQueryEnabled", &MainWndSettings::autoQueryEnabled, 1, 0},
    {"autoQueryRcvrMode", &MainWndSettings::autoQueryRcvrMode, 1, 0},
    {"autoQueryStatus", &MainWndSettings::autoQueryStatus, 1, 0},
    {"autoQueryTime", &MainWndSettings::autoQueryTime, 1, 0},
    {"autoQueryTrk", &MainWndSettings::autoQueryTrk, 1, 0},
    {"autoQueryMeas", &MainWndSettings::autoQueryMeas, 0, 1},
    {"autoQueryInterval", &MainWndSettings::autoQueryInterval, 1, 7},
    {"autoQueryAllOff", &MainWndSettings::autoQueryAllOff, 0, 1},
    {"OptsDataSource", &MainWndSettings::optDataSource, 1, 0},
    {"OptsWndBubbleHelp", &MainWndSettings::optWndBubbleHelp, 1, 0},
    {"OptsMenuBubbleHelp", &MainWndSettings::optMenuBubbleHelp, 0, 1},
    {"OptsLogDiag", &MainWndSettings::optLogDiag, 1, 0},
    {"ClrThemeIdx", &MainWndSettings::clrThemeIdx, 1, 3},
    {"CheckUpdates", &MainWndSettings::checkUpdates, 0, 1},
    {"posMapEnabled", &MainWndSettings::posMapEnabled, 1, 0},
    {"posMapDashSize", &MainWndSettings::posMapDashSize, 0, 3},
    {"posMapStyle", &MainWndSettings::posMapStyle, 0, 2},
    {"posMapZoom", &MainWndSettings::posMapZoom, 15, 9},
    {"posMapUnit", &MainWndSettings::posMapUnit, 0, 1},
    {"posMapMouseLoc", &MainWndSettings::posMapMouseLoc, 0, 1},
    {"posMapAutoCenter", &MainWndSettings::posMapAutoCenter, 1, 0},
    {"posMapRefPos", &MainWndSettings::posMapRefPos, 0, 1},
    {"posMapMaxMarkers", &MainWndSettings::posMapMaxMarkers, 2000, 50},
    {"posMapTraceRoute", &MainWndSettings::posMapTraceRoute, 1, 0},
    {"ontop", &MainWndSettings::onTop, 0, 1},
    {"mode", &MainWndSettings::mode, 0, 1},
};

std::vector<BYTE> BytesOf(double value) {
    std::vector<BYTE> bytes(sizeof(value));
    std::memcpy(bytes.data(), &value, sizeof(value));
    return bytes;
}

const uint32_t kButtonText = 0x00123456;

TEST(MainWndProfile, TableHasEveryKeyOnceInItsSection) {
    int32_t configurator = 0;
    for (int32_t i = 0; i < kMainWndProfileKeyCount; ++i) {
        const MainWndProfileKey& key = kMainWndProfileKeys[i];
        EXPECT_EQ(&key, FindMainWndProfileKey(key.entry)) << key.entry << " is listed twice";
        if (std::strcmp(key.section, "Monitor\\Configurator") == 0)
            ++configurator;
        else
            EXPECT_STREQ("Monitor", key.section) << key.entry;
    }
    EXPECT_EQ(4, configurator);
    // Every integer key of the table is covered by the cases below.
    int32_t ints = 0;
    for (const MainWndProfileKey& key : kMainWndProfileKeys)
        if (key.kind == PROFILE_KIND_INT && !key.systemTextColour && std::strcmp(key.entry, "ClrSvBkgrnd") != 0) ++ints;
    EXPECT_EQ(static_cast<int32_t>(sizeof(kIntCases) / sizeof(kIntCases[0])), ints);
}

TEST(MainWndProfile, EmptyStoreGivesTheDefaults) {
    MemoryMainWndProfile store;
    const MainWndSettings s = ReadMainWndSettings(store, kButtonText);
    for (const IntCase& c : kIntCases) EXPECT_EQ(c.expectedDefault, s.*c.member) << c.entry;
    EXPECT_STREQ("", s.playbackFile);
    EXPECT_STREQ("GGA", s.playbackNmeaMarker);
    EXPECT_STREQ("LN", s.playbackQtxtMarker);
    EXPECT_STREQ("Ha", s.playbackQopMarker);
    EXPECT_EQ(65280u, s.clrSvBackground);
    EXPECT_EQ(kButtonText, s.clrSvText);
    EXPECT_EQ(kButtonText, s.clrRegText);
    EXPECT_EQ(kButtonText, s.clrGroupText);
    EXPECT_EQ(0.0, s.posMapRefLat);
    EXPECT_EQ(0.0, s.posMapRefLon);
    EXPECT_TRUE(store.GetWrites().empty());
}

TEST(MainWndProfile, StoredValuesAreReadFromTheirSections) {
    MemoryMainWndProfile store;
    for (const IntCase& c : kIntCases) {
        const MainWndProfileKey* key = FindMainWndProfileKey(c.entry);
        ASSERT_NE(nullptr, key) << c.entry;
        store.WriteProfileInt(key->section, c.entry, c.stored);
    }
    store.WriteProfileString("Monitor", "playbackFile", "C:\\logs\\a.qbl");
    store.WriteProfileString("Monitor", "playbackNmeaMarker", "RMC");
    store.WriteProfileInt("Monitor", "ClrRegText", 0x0000FF);
    store.SetBinary("Monitor", "posMapRefLat", BytesOf(47.5));
    store.SetBinary("Monitor", "posMapRefLon", BytesOf(-122.25));
    const MainWndSettings s = ReadMainWndSettings(store, kButtonText);
    for (const IntCase& c : kIntCases) EXPECT_EQ(c.stored, s.*c.member) << c.entry;
    EXPECT_STREQ("C:\\logs\\a.qbl", s.playbackFile);
    EXPECT_STREQ("RMC", s.playbackNmeaMarker);
    EXPECT_EQ(0x0000FFu, s.clrRegText);
    EXPECT_EQ(kButtonText, s.clrGroupText);
    EXPECT_EQ(47.5, s.posMapRefLat);
    EXPECT_EQ(-122.25, s.posMapRefLon);
    // The configurator defaults are not read from the window's own section.
    MemoryMainWndProfile wrongSection;
    wrongSection.WriteProfileInt("Monitor", "comBaud", 4800);
    EXPECT_EQ(9600, ReadMainWndSettings(wrongSection, 0).comBaud);
}

TEST(MainWndProfile, ReferenceCoordinateNeedsEightBytesAndAValidValue) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::vector<BYTE> bytes;
        double limit;
        double expected;
    } cases[] = {
        {BytesOf(47.5), 90.0, 47.5},
        {BytesOf(-90.0), 90.0, -90.0},
        {BytesOf(90.000001), 90.0, 0.0},
        {BytesOf(-180.0), 180.0, -180.0},
        {BytesOf(180.5), 180.0, 0.0},
        {BytesOf(nan), 90.0, 0.0},
        {BytesOf(inf), 180.0, 0.0},
        {{}, 90.0, 0.0},
        {{0x00, 0x00, 0x00, 0x00}, 90.0, 0.0},
        {std::vector<BYTE>(7, 0x40), 90.0, 0.0},
        {[] { std::vector<BYTE> b = BytesOf(12.0); b.push_back(0); return b; }(), 90.0, 0.0},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].expected, DecodeProfileCoordinate(cases[i].bytes, cases[i].limit)) << "case " << i;

    // A latitude beyond 90 is refused even though it would be a valid longitude.
    MemoryMainWndProfile store;
    store.SetBinary("Monitor", "posMapRefLat", BytesOf(120.0));
    store.SetBinary("Monitor", "posMapRefLon", BytesOf(120.0));
    const MainWndSettings s = ReadMainWndSettings(store, 0);
    EXPECT_EQ(0.0, s.posMapRefLat);
    EXPECT_EQ(120.0, s.posMapRefLon);
}

TEST(MainWndProfile, SaveOrderAndTheCommandLineAndSecondaryRules) {
    MainWndSaveState state;
    state.onTop = 1;
    state.autoOutput = 0;
    state.spdUnits = 2;
    state.com = 5;
    state.parity = 2;
    state.inProt = 3;
    state.outProt = 4;
    state.baud = 115200;
    state.dataBits = 7;
    state.stopBits = 2;
    state.mode = 1;
    const std::vector<std::string> full = {
        "Monitor\\ontop",  "Monitor\\autoOutput", "Monitor\\spdUnits", "Monitor\\com",
        "Monitor\\parity", "Monitor\\inProt",     "Monitor\\outProt",  "Monitor\\baud",
        "Monitor\\databits", "Monitor\\stopbits", "Monitor\\mode"};
    struct Case {
        bool primary;
        bool commandLine;
        size_t writes;  // how many of `full`, in its order
    } cases[] = {
        {true, false, 11},
        {false, false, 10},  // a secondary window never writes the link mode
        {true, true, 3},     // a command-line run never changes the saved link
        {false, true, 3},
    };
    for (const Case& c : cases) {
        MemoryMainWndProfile store;
        SaveMainWndSettings(store, state, c.primary, c.commandLine);
        EXPECT_EQ(std::vector<std::string>(full.begin(), full.begin() + c.writes), store.GetWrites())
            << "primary " << c.primary << " command line " << c.commandLine;
    }
    // The values written read back as the window's settings.
    MemoryMainWndProfile store;
    SaveMainWndSettings(store, state, true, false);
    const MainWndSettings s = ReadMainWndSettings(store, 0);
    EXPECT_EQ(1, s.onTop);
    EXPECT_EQ(0, s.autoOutput);
    EXPECT_EQ(2, s.spdUnits);
    EXPECT_EQ(5, s.com);
    EXPECT_EQ(2, s.parity);
    EXPECT_EQ(3, s.inProt);
    EXPECT_EQ(4, s.outProt);
    EXPECT_EQ(115200, s.baud);
    EXPECT_EQ(7, s.dataBits);
    EXPECT_EQ(2, s.stopBits);
    EXPECT_EQ(1, s.mode);
}

}  // namespace
