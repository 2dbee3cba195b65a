// The main window's menu layouts and protocol state on a menu in memory:
// what each layout shows where, that switching back and forth keeps both
// layouts item for item, and which items and controls each protocol enables.
#include "app/MenuLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "monitor/app/FakeMenuBar.h"

namespace {

const char kDashes[] = "-----------------------------------------";

FakeCombo LinkCombo()
{
    FakeCombo combo;
    combo.items = {"IDLE", kDashes, "COM 5", "COM 12", kDashes, "FILE"};
    return combo;
}

MenuLayoutOptions Options(bool tools, bool timing = false, bool script = false, bool forcedUser = false)
{
    MenuLayoutOptions o;
    o.toolsShown = tools;
    o.timingReceiver = timing;
    o.scriptMode = script;
    o.userLayout = forcedUser;
    return o;
}

uint32_t IdAt(const FakeMenuBar& bar, int submenu, int position)
{
    const FakeMenuItem* item = bar.At(submenu, position);
    return item == nullptr || item->separator ? 0 : item->id;
}

std::string TextAt(const FakeMenuBar& bar, int submenu, int position)
{
    const FakeMenuItem* item = bar.At(submenu, position);
    return item == nullptr ? "<none>" : item->text;
}

// Two separators in a row, or one at either end of a menu, are the strays a
// careless removal leaves.
void ExpectNoStraySeparators(const FakeMenuBar& bar)
{
    for (size_t s = 0; s < bar.menus.size(); ++s) {
        const auto& menu = bar.menus[s];
        if (menu.empty()) continue;
        EXPECT_FALSE(menu.front().separator) << "menu " << s << " starts with a separator";
        EXPECT_FALSE(menu.back().separator) << "menu " << s << " ends with a separator";
        for (size_t p = 1; p < menu.size(); ++p)
            EXPECT_FALSE(menu[p].separator && menu[p - 1].separator) << "two separators at " << s << "/" << p;
    }
}

const uint32_t kInternalOnly[] = {ID_DATA_PLAYBACK,   ID_DIAGNOSTICS, ID_SCRIPT_STATUS,   ID_INTERNAL_TOOLS_NOTE,
                                  ID_DATA_RECORDER_TOOL, ID_TTFF_TESTER, ID_PROTOCOL_TESTER};

TEST(MenuLayout, UserLayoutHidesTheInternalTools)
{
    for (bool timing : {false, true}) {
        SCOPED_TRACE(timing ? "timing receiver" : "other receiver");
        FakeMenuBar bar = AuthoredMainMenu();
        FakeCombo combo = LinkCombo();
        EXPECT_TRUE(BuildMenuLayout(bar, &combo, Options(false, timing)));
        for (uint32_t id : kInternalOnly) EXPECT_FALSE(bar.HasCommand(id)) << id;
        if (timing) {
            EXPECT_EQ(ID_TIMING_RECEIVER, IdAt(bar, 2, 13));
            EXPECT_EQ("&Timing Receiver...", TextAt(bar, 2, 13));
            EXPECT_FALSE(bar.HasCommand(ID_DOUBLE_PRECISION));
        } else {
            EXPECT_EQ(ID_DOUBLE_PRECISION, IdAt(bar, 2, 7));
            EXPECT_EQ("&Double Precision", TextAt(bar, 2, 7));
            EXPECT_FALSE(bar.HasCommand(ID_TIMING_RECEIVER));
        }
        EXPECT_EQ((std::vector<std::string>{"IDLE", kDashes, "COM 5", "COM 12"}), combo.items);
        ExpectNoStraySeparators(bar);
    }
}

TEST(MenuLayout, InternalLayoutShowsTheToolsWhereTheyBelong)
{
    for (bool script : {false, true}) {
        SCOPED_TRACE(script ? "script mode" : "interactive");
        FakeMenuBar bar = AuthoredMainMenu();
        FakeCombo combo = LinkCombo();
        combo.items.resize(4);  // as the user layout leaves it
        EXPECT_TRUE(BuildMenuLayout(bar, &combo, Options(true, false, script)));
        EXPECT_EQ(ID_DATA_PLAYBACK, IdAt(bar, 0, 1));
        EXPECT_EQ("&Data Playback...", TextAt(bar, 0, 1));
        EXPECT_EQ(ID_DOUBLE_PRECISION, IdAt(bar, 2, 7));
        EXPECT_EQ(ID_TIMING_RECEIVER, IdAt(bar, 2, 15));
        EXPECT_TRUE(bar.IsSeparator(2, 16));
        EXPECT_EQ(script ? ID_SCRIPT_STATUS : ID_DIAGNOSTICS, IdAt(bar, 2, 17));
        EXPECT_EQ(script ? "Script Status..." : "&Diagnostics...", TextAt(bar, 2, 17));
        if (script) {
            EXPECT_EQ(ID_DIAGNOSTICS, IdAt(bar, 2, 18));
        }
        EXPECT_TRUE(bar.IsSeparator(4, 5));
        EXPECT_EQ(ID_INTERNAL_TOOLS_NOTE, IdAt(bar, 4, 6));
        EXPECT_EQ("= Internal Tools =", TextAt(bar, 4, 6));
        EXPECT_EQ(ID_DATA_RECORDER_TOOL, IdAt(bar, 4, 7));
        EXPECT_EQ(ID_TTFF_TESTER, IdAt(bar, 4, 8));
        EXPECT_EQ(ID_PROTOCOL_TESTER, IdAt(bar, 4, 9));
        ASSERT_EQ(6u, combo.items.size());
        EXPECT_EQ(kDashes, combo.items[4]);
        EXPECT_EQ("FILE", combo.items[5]);
        ExpectNoStraySeparators(bar);
    }
}

// Each layout takes out what the other put in: switching five times gives
// the same two menus every time, with no separator left behind.
TEST(MenuLayout, SwitchingKeepsBothLayoutsItemForItem)
{
    for (bool timing : {false, true})
        for (bool script : {false, true}) {
            SCOPED_TRACE(std::string(timing ? "timing" : "other") + (script ? ", script" : ""));
            FakeMenuBar bar = AuthoredMainMenu();
            FakeCombo combo = LinkCombo();
            BuildMenuLayout(bar, &combo, Options(true, timing, script));
            const std::string internal = bar.Describe();
            const std::vector<std::string> internalCombo = combo.items;
            BuildMenuLayout(bar, &combo, Options(false, timing, script));
            const std::string user = bar.Describe();
            const std::vector<std::string> userCombo = combo.items;
            // The user layout from the authored menu is the same as from the
            // internal one.
            FakeMenuBar fresh = AuthoredMainMenu();
            BuildMenuLayout(fresh, nullptr, Options(false, timing, script));
            EXPECT_EQ(fresh.Describe(), user);
            for (int cycle = 0; cycle < 5; ++cycle) {
                BuildMenuLayout(bar, &combo, Options(true, timing, script));
                EXPECT_EQ(internal, bar.Describe()) << "cycle " << cycle;
                EXPECT_EQ(internalCombo, combo.items);
                BuildMenuLayout(bar, &combo, Options(false, timing, script));
                EXPECT_EQ(user, bar.Describe()) << "cycle " << cycle;
                EXPECT_EQ(userCombo, combo.items);
                ExpectNoStraySeparators(bar);
            }
        }
}

TEST(MenuLayout, ForcedUserLayoutStopsBeforeTheMenuState)
{
    FakeMenuBar bar = AuthoredMainMenu();
    EXPECT_FALSE(BuildMenuLayout(bar, nullptr, Options(true, false, false, true)));
    for (uint32_t id : kInternalOnly) EXPECT_FALSE(bar.HasCommand(id)) << id;
    EXPECT_EQ(ID_DOUBLE_PRECISION, IdAt(bar, 2, 7));
}

TEST(MenuLayout, HelpContentsIsTakenOut)
{
    FakeMenuBar bar = AuthoredMainMenu();
    bar.menus[5].insert(bar.menus[5].begin(), Item(ID_HELP_CONTENTS, "&Contents...\tF1"));
    BuildMenuLayout(bar, nullptr, Options(false));
    EXPECT_FALSE(bar.HasCommand(ID_HELP_CONTENTS));
}

TEST(MenuLayout, InsertAndRemoveChangeOnlyWhatTheyMay)
{
    const FakeMenuBar authored = AuthoredMainMenu();
    {
        SCOPED_TRACE("an id already present is not inserted again");
        FakeMenuBar bar = authored;
        InsertOptionalItem(bar, 2, 0, ID_DOUBLE_PRECISION, "again", MENU_SEPARATOR_BEFORE, true);
        EXPECT_EQ(authored.Describe(), bar.Describe());
    }
    {
        SCOPED_TRACE("an absent id or id 0 removes nothing");
        FakeMenuBar bar = authored;
        RemoveOptionalItem(bar, ID_DATA_PLAYBACK, 2, 15);
        RemoveOptionalItem(bar, 0, 2, 15);
        EXPECT_EQ(authored.Describe(), bar.Describe());
    }
    {
        SCOPED_TRACE("separator before, after, none; greyed unless enabled");
        FakeMenuBar bar = authored;
        InsertOptionalItem(bar, 5, 0, 1001, "before", MENU_SEPARATOR_BEFORE, true);
        InsertOptionalItem(bar, 5, 0, 1002, "after", MENU_SEPARATOR_AFTER, false);
        InsertOptionalItem(bar, 5, 99, 1003, "appended", MENU_SEPARATOR_NONE, true);
        EXPECT_EQ(1002u, IdAt(bar, 5, 0));
        EXPECT_FALSE(bar.At(5, 0)->enabled);
        EXPECT_TRUE(bar.IsSeparator(5, 1));
        EXPECT_TRUE(bar.IsSeparator(5, 2));
        EXPECT_EQ(1001u, IdAt(bar, 5, 3));
        EXPECT_TRUE(bar.At(5, 3)->enabled);
        EXPECT_EQ(1003u, IdAt(bar, 5, static_cast<int>(bar.menus[5].size()) - 1));
    }
    {
        SCOPED_TRACE("a separator goes only when it stands right before the item");
        FakeMenuBar bar = authored;
        RemoveOptionalItem(bar, ID_DIAGNOSTICS, 2, 15);
        EXPECT_EQ(ID_CLEAR_WINDOW, IdAt(bar, 2, static_cast<int>(bar.menus[2].size()) - 1));
        RemoveOptionalItem(bar, ID_SKY_PLOT_MENU, 2, 0);  // after the position window item
        EXPECT_EQ(ID_POSITION_WND_MENU, IdAt(bar, 2, 11));
        EXPECT_TRUE(bar.IsSeparator(2, 12));
        RemoveOptionalItem(bar, ID_ALWAYS_ON_TOP, -1, -1);  // no separator asked for
        EXPECT_TRUE(bar.IsSeparator(2, 1));
    }
}

// The table of items by protocol: E enabled, G greyed, for QBIN (and
// others), NMEA, QTXT, KESTO, QOP.
struct ExpectedItem {
    bool popup;
    uint32_t id;
    const char* states;
};
const ExpectedItem kExpectedItems[] = {
    {false, ID_RESET_COLD, "EEEEG"},      {false, ID_RESET_WARM, "EEEEG"},     {false, ID_RESET_HOT, "EEGEG"},
    {false, ID_RESET_SEMI_HOT, "EEGGG"},  {false, ID_RESET_SEMI_WARM, "EEGGG"}, {false, ID_SHUTDOWN_STANDBY, "EEGGG"},
    {true, ID_INIT_ALMANAC, "EEGGG"},     {true, ID_GET_ALMANAC, "EEGGG"},     {false, ID_AGPS_DATA, "EEGGG"},
    {true, ID_POS_LLA, "EGGGG"},          {true, ID_VEL_ENU, "EGGGG"},         {true, ID_TIME_GPS, "EGGGG"},
    {true, ID_SIGNAL_CNO, "EGGGG"},       {false, ID_DOUBLE_PRECISION, "EGGGG"}, {true, ID_GPSDATA_UTC, "EEGGG"},
    {false, ID_RCVR_VERSION, "EEGEG"},    {false, ID_TIMING_RECEIVER, "EGGGG"}, {false, ID_DIAGNOSTICS, "EEGGG"},
    {false, ID_SAVE_CONFIG, "EEEEG"},     {false, ID_PROTOCOL_TESTER, "EEGGG"},
};

int ColumnOfProtocol(ProtocolKind kind)
{
    switch (kind) {
    case PROTO_NMEA: return 1;
    case PROTO_QTXT: return 2;
    case PROTO_KESTO: return 3;
    case PROTO_QOP: return 4;
    default: return 0;
    }
}

TEST(MenuState, EveryRowFollowsTheProtocol)
{
    for (ProtocolKind kind : {PROTO_QBIN, PROTO_NONE, PROTO_CUSTOM_BIN, PROTO_NMEA, PROTO_QTXT, PROTO_KESTO, PROTO_QOP}) {
        SCOPED_TRACE(kind);
        const int column = ColumnOfProtocol(kind);
        ASSERT_EQ(column, MenuStateColumnFor(kind));
        // Both internal-only and user-only items must be there to be set.
        FakeMenuBar bar = AuthoredMainMenu();
        BuildMenuLayout(bar, nullptr, Options(true));
        bar.menus[1].insert(bar.menus[1].begin() + 9, Item(ID_SHUTDOWN_STANDBY, "S&hutdown / Standby..."));
        // Start from the opposite of each expected state.
        for (const ExpectedItem& e : kExpectedItems) {
            const bool want = e.states[column] == 'E';
            if (e.popup)
                bar.EnablePopupHolding(e.id, !want);
            else
                bar.EnableCommand(e.id, !want);
        }
        ApplyMenuState(bar, MenuStateColumnFor(kind));
        for (const ExpectedItem& e : kExpectedItems) {
            const FakeMenuItem* item = e.popup ? bar.PopupHolding(e.id) : bar.Command(e.id);
            ASSERT_NE(nullptr, item) << e.id;
            EXPECT_EQ(e.states[column] == 'E', item->enabled) << (e.popup ? "popup of " : "") << e.id;
            if (!e.popup) {
                EXPECT_EQ(e.states[column] == 'E', IsMenuCommandEnabled(e.id, MenuStateColumnFor(kind))) << e.id;
            }
        }
        EXPECT_EQ(column <= 1, IsGpsDataComboEnabled(MenuStateColumnFor(kind)));
    }
}

TEST(MenuState, AbsentOptionalItemsAreLeftAlone)
{
    FakeMenuBar bar = AuthoredMainMenu();
    BuildMenuLayout(bar, nullptr, Options(false));
    const std::string before = bar.Describe();
    ApplyMenuState(bar, MENU_STATE_QBIN);  // everything present is enabled already
    EXPECT_EQ(before, bar.Describe());
    EXPECT_FALSE(bar.HasCommand(ID_SHUTDOWN_STANDBY));
}

TEST(MenuState, DisplayFormatsComeFirstForTextProtocols)
{
    const struct {
        ProtocolKind kind;
        std::vector<int> formats;
    } cases[] = {
        {PROTO_QBIN, {}},     {PROTO_NONE, {}},     {PROTO_CUSTOM_BIN, {}},  {PROTO_SIRF_NMEA, {}},
        {PROTO_NMEA, {4, 1}}, {PROTO_QTXT, {4, 15}}, {PROTO_KESTO, {4, 1}}, {PROTO_QOP, {4, 1}},
    };
    for (const auto& c : cases) {
        int codes[2] = {-1, -1};
        const int n = MenuStateDisplayFormats(c.kind, codes);
        EXPECT_EQ(c.formats, std::vector<int>(codes, codes + n)) << c.kind;
    }
}

// The display controls: every control the window has, with the protocols
// that report its data. Speed row 1716-1718 stands for the table's 1192,
// 1732 and 1631, which the window numbers differently.
TEST(MenuState, ControlsFollowTheProtocolsData)
{
    const std::map<uint32_t, const char*> expected = {
        {IDC_OSC_OFFSET, "EGGEE"},     {IDC_GROUP_OSC, "EGGEE"},     {IDC_GROUP_DOPS, "EEGEE"},
        {IDC_RTC_ICON, "EGEEG"},       {IDC_BBRAM_ICON, "EEEEG"},    {IDC_ANTENNA_LABEL, "EGEEE"},
        {IDC_ANTENNA, "EGEEE"},        {IDC_VEL_VALUE2, "EEEEG"},    {IDC_VEL_WORD3, "EEEEG"},
        {IDC_VEL_UNIT1, "EEEEG"},      {IDC_SPEED_LABEL, "EEGEG"},   {IDC_SPEED_VALUE, "EEGEG"},
        {IDC_SPEED_UNIT, "EEGEG"},     {IDC_GROUP_VELOCITY, "EEEEG"}, {IDC_LEVEL_CAPTION, "EEGEE"},
        {IDC_RTC_LABEL, "EEGEE"},      {IDC_BBRAM_LABEL, "EEGEE"},   {IDC_CHANNEL_CELL(0, 0), "EEGEE"},
        {IDC_CHANNEL_CELL(11, 4), "EEGEE"},
    };
    size_t count = 0;
    const ControlStateRow* rows = GetControlStateRows(count);
    std::map<uint32_t, std::string> actual;
    for (size_t r = 0; r < count; ++r) {
        ASSERT_LE(rows[r].firstId, rows[r].lastId);
        for (uint32_t id = rows[r].firstId; id <= rows[r].lastId; ++id) {
            std::string states;
            for (int c = 0; c < MENU_STATE_COLUMNS; ++c) states += rows[r].enabled[c] ? 'E' : 'G';
            EXPECT_TRUE(actual.emplace(id, states).second) << "control " << id << " twice";
        }
    }
    for (const auto& e : expected) {
        ASSERT_TRUE(actual.count(e.first)) << e.first;
        EXPECT_EQ(e.second, actual[e.first]) << e.first;
    }
    // Nine velocity fields, the speed row, the channel table and eleven single controls.
    EXPECT_EQ(9u + 3u + CHANNEL_ROWS * CHANNEL_COLUMNS + 11u, actual.size());
}

}  // namespace
