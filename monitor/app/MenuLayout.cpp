#include "app/MenuLayout.h"

#include "app/resource.h"

const char kLinkComboDashLine[] = "-----------------------------------------";
const char kLinkComboFileItem[] = "FILE";

namespace {

// The top-level menus the layouts edit.
enum : int { SUBMENU_FILE = 0, SUBMENU_VIEW = 2, SUBMENU_TOOLS = 4 };

struct MenuRemoval {
    uint32_t id;
    int submenu;   // -1: the item alone; otherwise a separator before it goes too
    int position;
};

struct MenuInsertion {
    int submenu;
    int position;
    uint32_t id;
    const char* text;
    int separator;
};

const char kDoublePrecisionText[] = "&Double Precision";
const char kTimingReceiverText[] = "&Timing Receiver...";
// Where the View menu keeps the one of the two that the receiver needs.
const int kDoublePrecisionPosition = 7;
const int kTimingReceiverUserPosition = 13;
const int kTimingReceiverInternalPosition = 15;

// What the user layout takes out. The script status item goes before
// diagnostics, so that diagnostics finds its separator right before it.
const MenuRemoval kUserRemovals[] = {
    {ID_DATA_PLAYBACK, -1, -1},
    {ID_SCRIPT_STATUS, -1, -1},
    {ID_DIAGNOSTICS, SUBMENU_VIEW, 15},
    {ID_INTERNAL_TOOLS_NOTE, SUBMENU_TOOLS, 5},
    {ID_DATA_RECORDER_TOOL, -1, -1},
    {ID_TTFF_TESTER, -1, -1},
    {ID_PROTOCOL_TESTER, -1, -1},
};

// What the internal layout puts in, in this order (positions count the items
// already in).
const MenuInsertion kInternalFileItems[] = {
    {SUBMENU_FILE, 1, ID_DATA_PLAYBACK, "&Data Playback...", MENU_SEPARATOR_NONE},
};
const MenuInsertion kInternalViewItems[] = {
    {SUBMENU_VIEW, kDoublePrecisionPosition, ID_DOUBLE_PRECISION, kDoublePrecisionText, MENU_SEPARATOR_NONE},
    {SUBMENU_VIEW, kTimingReceiverInternalPosition, ID_TIMING_RECEIVER, kTimingReceiverText, MENU_SEPARATOR_NONE},
    {SUBMENU_VIEW, 16, ID_DIAGNOSTICS, "&Diagnostics...", MENU_SEPARATOR_BEFORE},
};
const MenuInsertion kInternalScriptItem = {SUBMENU_VIEW, 17, ID_SCRIPT_STATUS, "Script Status...",
                                           MENU_SEPARATOR_NONE};
const MenuInsertion kInternalToolItems[] = {
    {SUBMENU_TOOLS, 5, ID_INTERNAL_TOOLS_NOTE, "= Internal Tools =", MENU_SEPARATOR_BEFORE},
    {SUBMENU_TOOLS, 7, ID_DATA_RECORDER_TOOL, "Data &Recorder...", MENU_SEPARATOR_NONE},
    {SUBMENU_TOOLS, 8, ID_TTFF_TESTER, "&TTFF Tester...", MENU_SEPARATOR_NONE},
    {SUBMENU_TOOLS, 9, ID_PROTOCOL_TESTER, "&Protocol Tester...", MENU_SEPARATOR_NONE},
};

void Insert(IMenuBar& menu, const MenuInsertion& item)
{
    InsertOptionalItem(menu, item.submenu, item.position, item.id, item.text, item.separator, true);
}

template <size_t N>
void InsertAll(IMenuBar& menu, const MenuInsertion (&items)[N])
{
    for (const MenuInsertion& item : items) Insert(menu, item);
}

int FindComboItem(const IComboItems& combo, const char* text)
{
    for (int i = 0; i < combo.Count(); ++i)
        if (combo.Text(i) == text) return i;
    return -1;
}

// "FILE" and the dash line before it leave the link combo.
void RemoveFileFromCombo(IComboItems& combo)
{
    const int file = FindComboItem(combo, kLinkComboFileItem);
    if (file < 0) return;
    combo.Delete(file);
    if (file > 0 && combo.Text(file - 1) == kLinkComboDashLine) combo.Delete(file - 1);
}

void AddFileToCombo(IComboItems& combo)
{
    if (FindComboItem(combo, kLinkComboFileItem) >= 0) return;
    combo.Append(kLinkComboDashLine);
    combo.Append(kLinkComboFileItem);
}

void BuildUserLayout(IMenuBar& menu, IComboItems* linkCombo, bool timingReceiver)
{
    for (const MenuRemoval& r : kUserRemovals) RemoveOptionalItem(menu, r.id, r.submenu, r.position);
    if (linkCombo != nullptr) RemoveFileFromCombo(*linkCombo);
    // Exactly one of double precision and the timing receiver view. Both
    // are taken out first, so the one kept stands where this layout puts it
    // whichever layout came before.
    RemoveOptionalItem(menu, ID_TIMING_RECEIVER, -1, -1);
    if (timingReceiver) {
        RemoveOptionalItem(menu, ID_DOUBLE_PRECISION, -1, -1);
        InsertOptionalItem(menu, SUBMENU_VIEW, kTimingReceiverUserPosition, ID_TIMING_RECEIVER, kTimingReceiverText,
                       MENU_SEPARATOR_NONE, true);
    } else {
        InsertOptionalItem(menu, SUBMENU_VIEW, kDoublePrecisionPosition, ID_DOUBLE_PRECISION, kDoublePrecisionText,
                       MENU_SEPARATOR_NONE, true);
    }
}

void BuildInternalLayout(IMenuBar& menu, IComboItems* linkCombo, bool scriptMode)
{
    InsertAll(menu, kInternalFileItems);
    if (linkCombo != nullptr) AddFileToCombo(*linkCombo);
    // The user layout puts the timing receiver view elsewhere.
    RemoveOptionalItem(menu, ID_TIMING_RECEIVER, -1, -1);
    InsertAll(menu, kInternalViewItems);
    if (scriptMode) Insert(menu, kInternalScriptItem);
    InsertAll(menu, kInternalToolItems);
}

const bool E = true;
const bool G = false;

//                                                   QBIN NMEA QTXT KESTO QOP
const MenuStateRow kMenuStateRows[] = {
    {MENU_TARGET_COMMAND, ID_RESET_COLD, {E, E, E, E, G}},
    {MENU_TARGET_COMMAND, ID_RESET_WARM, {E, E, E, E, G}},
    {MENU_TARGET_COMMAND, ID_RESET_HOT, {E, E, G, E, G}},
    {MENU_TARGET_COMMAND, ID_RESET_SEMI_HOT, {E, E, G, G, G}},
    {MENU_TARGET_COMMAND, ID_RESET_SEMI_WARM, {E, E, G, G, G}},
    {MENU_TARGET_COMMAND, ID_SHUTDOWN_STANDBY, {E, E, G, G, G}},
    {MENU_TARGET_POPUP, ID_INIT_ALMANAC, {E, E, G, G, G}},     // "Initialize &Receiver"
    {MENU_TARGET_POPUP, ID_GET_ALMANAC, {E, E, G, G, G}},      // "&Get from Receiver"
    {MENU_TARGET_COMMAND, ID_AGPS_DATA, {E, E, G, G, G}},
    {MENU_TARGET_POPUP, ID_POS_LLA, {E, G, G, G, G}},          // "&Position Output"
    {MENU_TARGET_POPUP, ID_VEL_ENU, {E, G, G, G, G}},          // "&Velocity Output"
    {MENU_TARGET_POPUP, ID_TIME_GPS, {E, G, G, G, G}},         // "T&iming Output"
    {MENU_TARGET_POPUP, ID_SIGNAL_CNO, {E, G, G, G, G}},       // "Si&gnal Output"
    {MENU_TARGET_COMMAND, ID_DOUBLE_PRECISION, {E, G, G, G, G}},
    {MENU_TARGET_POPUP, ID_GPSDATA_ALMANAC, {E, E, G, G, G}},  // "GPS S&ystem Data"
    {MENU_TARGET_COMMAND, ID_RCVR_VERSION, {E, E, G, E, G}},
    {MENU_TARGET_COMMAND, ID_TIMING_RECEIVER, {E, G, G, G, G}},
    {MENU_TARGET_COMMAND, ID_DIAGNOSTICS, {E, E, G, G, G}},
    {MENU_TARGET_COMMAND, ID_SAVE_CONFIG, {E, E, E, E, G}},
    {MENU_TARGET_COMMAND, ID_PROTOCOL_TESTER, {E, E, G, G, G}},
};

const bool kGpsDataComboEnabled[MENU_STATE_COLUMNS] = {E, E, G, G, G};

// The display controls that show what a protocol reports. Controls the
// window does not have are left out.
const ControlStateRow kControlStateRows[] = {
    {IDC_OSC_OFFSET, IDC_OSC_OFFSET, {E, G, G, E, E}},
    {IDC_GROUP_OSC, IDC_GROUP_OSC, {E, G, G, E, E}},
    {IDC_GROUP_DOPS, IDC_GROUP_DOPS, {E, E, G, E, E}},
    {IDC_RTC_ICON, IDC_RTC_ICON, {E, G, E, E, G}},
    {IDC_BBRAM_ICON, IDC_BBRAM_ICON, {E, E, E, E, G}},
    {IDC_ANTENNA_LABEL, IDC_ANTENNA_LABEL, {E, G, E, E, E}},
    {IDC_ANTENNA, IDC_ANTENNA, {E, G, E, E, E}},
    {IDC_VEL_VALUE1, IDC_VEL_VALUE3, {E, E, E, E, G}},
    {IDC_VEL_WORD1, IDC_VEL_WORD3, {E, E, E, E, G}},
    {IDC_VEL_UNIT1, IDC_VEL_UNIT3, {E, E, E, E, G}},
    {IDC_SPEED_LABEL, IDC_SPEED_UNIT, {E, E, G, E, G}},
    {IDC_GROUP_VELOCITY, IDC_GROUP_VELOCITY, {E, E, E, E, G}},
    {IDC_LEVEL_CAPTION, IDC_LEVEL_CAPTION, {E, E, G, E, E}},
    {IDC_RTC_LABEL, IDC_BBRAM_LABEL, {E, E, G, E, E}},
    {IDC_CHANNEL_CELL(0, 0), IDC_CHANNEL_CELL(CHANNEL_ROWS - 1, CHANNEL_COLUMNS - 1), {E, E, G, E, E}},
};

}  // namespace

void RemoveOptionalItem(IMenuBar& menu, uint32_t id, int submenu, int position)
{
    if (id == 0 || !menu.HasCommand(id)) return;
    int at = -1, where = -1;
    if (submenu != -1 && position != -1 && menu.FindCommand(id, where, at) && at > 0 &&
        menu.IsSeparator(where, at - 1))
        menu.DeleteAt(where, at - 1);
    menu.DeleteCommand(id);
    menu.Redraw();
}

void InsertOptionalItem(IMenuBar& menu, int submenu, int position, uint32_t id, const char* text, int separator,
                    bool enabled)
{
    if (menu.HasCommand(id) || submenu < 0 || position < 0) return;
    switch (separator) {
    case MENU_SEPARATOR_BEFORE:
        menu.InsertSeparator(submenu, position);
        menu.InsertCommand(submenu, position + 1, id, text, enabled);
        break;
    case MENU_SEPARATOR_AFTER:
        menu.InsertCommand(submenu, position, id, text, enabled);
        menu.InsertSeparator(submenu, position + 1);
        break;
    default:
        menu.InsertCommand(submenu, position, id, text, enabled);
        break;
    }
    menu.Redraw();
}

bool BuildMenuLayout(IMenuBar& menu, IComboItems* linkCombo, const MenuLayoutOptions& options)
{
    RemoveOptionalItem(menu, ID_HELP_CONTENTS, -1, -1);
    const bool user = options.userLayout || !options.toolsShown;
    if (user) BuildUserLayout(menu, linkCombo, options.timingReceiver);
    if (options.userLayout) return false;
    if (!user) BuildInternalLayout(menu, linkCombo, options.scriptMode);
    return true;
}

MenuStateColumn MenuStateColumnFor(ProtocolKind kind)
{
    switch (kind) {
    case PROTO_NMEA: return MENU_STATE_NMEA;
    case PROTO_QTXT: return MENU_STATE_QTXT;
    case PROTO_KESTO: return MENU_STATE_KESTO;
    case PROTO_QOP: return MENU_STATE_QOP;
    default: return MENU_STATE_QBIN;
    }
}

int MenuStateDisplayFormats(ProtocolKind kind, int codes[2])
{
    // Position as LLA, then the velocity layout the protocol's data fits:
    // QTXT reports speed, vertical speed and heading.
    const int kLla = 4, kEnu = 1, kSpeedVerticalHeading = 15;
    switch (MenuStateColumnFor(kind)) {
    case MENU_STATE_QBIN: return 0;
    case MENU_STATE_QTXT:
        codes[0] = kLla;
        codes[1] = kSpeedVerticalHeading;
        return 2;
    default:
        codes[0] = kLla;
        codes[1] = kEnu;
        return 2;
    }
}

const MenuStateRow* GetMenuStateRows(size_t& count)
{
    count = sizeof kMenuStateRows / sizeof kMenuStateRows[0];
    return kMenuStateRows;
}

const ControlStateRow* GetControlStateRows(size_t& count)
{
    count = sizeof kControlStateRows / sizeof kControlStateRows[0];
    return kControlStateRows;
}

bool IsMenuCommandEnabled(uint32_t id, MenuStateColumn column)
{
    if (column < 0 || column >= MENU_STATE_COLUMNS) return true;
    for (const MenuStateRow& row : kMenuStateRows)
        if (row.target == MENU_TARGET_COMMAND && row.id == id) return row.enabled[column];
    return true;
}

bool IsGpsDataComboEnabled(MenuStateColumn column)
{
    return column >= 0 && column < MENU_STATE_COLUMNS && kGpsDataComboEnabled[column];
}

void ApplyMenuState(IMenuBar& menu, MenuStateColumn column)
{
    if (column < 0 || column >= MENU_STATE_COLUMNS) return;
    for (const MenuStateRow& row : kMenuStateRows) {
        if (row.target == MENU_TARGET_POPUP)
            menu.EnablePopupHolding(row.id, row.enabled[column]);
        else
            menu.EnableCommand(row.id, row.enabled[column]);
    }
    menu.Redraw();
}
