// The main window's menu as data: the optional items of the user and the
// internal layout, and which items and display controls each protocol
// enables. The window edits its real menu through IMenuBar; the host tests
// edit a fake one, so every rule here is checked without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/ProtocolKind.h"

// The edits the layout rules make on a menu bar. Submenus are the top-level
// menus by position (0 "&File", 1 "&Receiver", 2 "&View", 4 "&Tools", ...);
// positions count the items of one top-level menu, separators included.
class IMenuBar {
public:
    virtual ~IMenuBar() = default;
    // True when an item with this command is anywhere in the menu.
    virtual bool HasCommand(uint32_t id) const = 0;
    // The top-level menu and position of an item with this command directly
    // in a top-level menu; false when there is none.
    virtual bool FindCommand(uint32_t id, int& submenu, int& position) const = 0;
    virtual bool IsSeparator(int submenu, int position) const = 0;
    virtual void DeleteAt(int submenu, int position) = 0;
    virtual void DeleteCommand(uint32_t id) = 0;
    // A position past the end appends.
    virtual void InsertCommand(int submenu, int position, uint32_t id, const char* text, bool enabled) = 0;
    virtual void InsertSeparator(int submenu, int position) = 0;
    // Nothing when the command is absent.
    virtual void EnableCommand(uint32_t id, bool enabled) = 0;
    // Enables or greys the popup item of a top-level menu whose popup holds
    // `childId`: popups are known by what they hold, not where they stand.
    virtual void EnablePopupHolding(uint32_t childId, bool enabled) = 0;
    virtual void Redraw() = 0;
};

// The items of the tool bar's link combo.
class IComboItems {
public:
    virtual ~IComboItems() = default;
    virtual int Count() const = 0;
    virtual std::string Text(int index) const = 0;
    virtual void Delete(int index) = 0;
    virtual void Append(const char* text) = 0;
};

// The line of dashes between the link combo's groups.
extern const char kLinkComboDashLine[];
// The link combo's playback item.
extern const char kLinkComboFileItem[];

// ---- Editing one item ----------------------------------------------------------------

// How InsertOptionalItem pairs an item with a separator.
enum MenuSeparator : int { MENU_SEPARATOR_NONE = 0, MENU_SEPARATOR_BEFORE = 1, MENU_SEPARATOR_AFTER = 2 };

// Only when the command is in the menu: deletes it, and, unless submenu or
// position is -1, the separator directly before it when there is one (so
// taking an item out never leaves two separators in a row). Command 0 and an
// absent command change nothing.
void RemoveOptionalItem(IMenuBar& menu, uint32_t id, int submenu, int position);

// Only when the command is not in the menu: puts the item at `position` of
// `submenu`, with a separator before or after it as `separator` says; the item
// is greyed unless `enabled`.
void InsertOptionalItem(IMenuBar& menu, int submenu, int position, uint32_t id, const char* text, int separator,
                    bool enabled);

// ---- The two layouts ------------------------------------------------------------------

struct MenuLayoutOptions {
    bool userLayout = false;      // the caller forces the user layout
    bool toolsShown = false;      // the internal tools are shown
    bool timingReceiver = false;  // the receiver has the timing capability
    bool scriptMode = false;      // started from the command line to run a script
};

// Rebuilds the optional items: the user layout when the tools are hidden or
// the caller asks for it, the internal layout when the tools are shown (and
// the user layout was not forced). Each layout first takes out what the other
// one may have put in, so a switch gives the same menu whatever came before.
// The combo may be null. Returns true when the menu state should follow
// (false only for a forced user layout).
bool BuildMenuLayout(IMenuBar& menu, IComboItems* linkCombo, const MenuLayoutOptions& options);

// ---- Enabled state by protocol ----------------------------------------------------------

// The columns of the state tables.
enum MenuStateColumn : int {
    MENU_STATE_QBIN = 0,  // QBIN and every protocol without a column of its own
    MENU_STATE_NMEA,
    MENU_STATE_QTXT,
    MENU_STATE_KESTO,
    MENU_STATE_QOP,
    MENU_STATE_COLUMNS
};

MenuStateColumn MenuStateColumnFor(ProtocolKind kind);

// The display formats applied before the menu state, in order: none for QBIN
// and the others, 4 then 15 for QTXT, 4 then 1 for NMEA, KESTO and QOP.
// Returns how many it wrote (0 or 2).
int MenuStateDisplayFormats(ProtocolKind kind, int codes[2]);

// How a menu-state row names its item.
enum MenuStateTarget : int {
    MENU_TARGET_COMMAND = 0,  // the item with the command, where it is present
    MENU_TARGET_POPUP         // the popup item of a top-level menu that holds the command
};

struct MenuStateRow {
    MenuStateTarget target;
    uint32_t id;
    bool enabled[MENU_STATE_COLUMNS];
};

struct ControlStateRow {
    uint32_t firstId;  // a range of control ids, both ends included
    uint32_t lastId;
    bool enabled[MENU_STATE_COLUMNS];
};

const MenuStateRow* GetMenuStateRows(size_t& count);
const ControlStateRow* GetControlStateRows(size_t& count);

// Whether a command of the state table is enabled in a column; true for a
// command the table does not name.
bool IsMenuCommandEnabled(uint32_t id, MenuStateColumn column);
// The GPS data combo of the tool bar.
bool IsGpsDataComboEnabled(MenuStateColumn column);

// Enables and greys every row of the menu-state table, then redraws.
void ApplyMenuState(IMenuBar& menu, MenuStateColumn column);
