// A menu bar in memory for the menu layout tests: top-level menus of items,
// items that may be popups, and the main window's authored menu as the
// resource script has it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/MenuLayout.h"
#include "app/resource.h"

struct FakeMenuItem {
    uint32_t id = 0;
    std::string text;
    bool separator = false;
    bool enabled = true;
    bool isPopup = false;
    std::vector<FakeMenuItem> popup;
};

inline FakeMenuItem Item(uint32_t id, const char* text)
{
    FakeMenuItem item;
    item.id = id;
    item.text = text;
    return item;
}

inline FakeMenuItem Separator()
{
    FakeMenuItem item;
    item.separator = true;
    return item;
}

inline FakeMenuItem Popup(const char* text, std::vector<FakeMenuItem> items)
{
    FakeMenuItem item;
    item.text = text;
    item.isPopup = true;
    item.popup = std::move(items);
    return item;
}

class FakeMenuBar : public IMenuBar {
public:
    std::vector<std::vector<FakeMenuItem>> menus;
    int redraws = 0;

    bool HasCommand(uint32_t id) const override
    {
        for (const auto& menu : menus)
            if (Holds(menu, id)) return true;
        return false;
    }

    bool FindCommand(uint32_t id, int& submenu, int& position) const override
    {
        for (size_t s = 0; s < menus.size(); ++s)
            for (size_t p = 0; p < menus[s].size(); ++p) {
                const FakeMenuItem& item = menus[s][p];
                if (!item.isPopup && !item.separator && item.id == id) {
                    submenu = static_cast<int>(s);
                    position = static_cast<int>(p);
                    return true;
                }
            }
        return false;
    }

    bool IsSeparator(int submenu, int position) const override
    {
        const FakeMenuItem* item = At(submenu, position);
        return item != nullptr && item->separator;
    }

    void DeleteAt(int submenu, int position) override
    {
        if (At(submenu, position) == nullptr) return;
        menus[static_cast<size_t>(submenu)].erase(menus[static_cast<size_t>(submenu)].begin() + position);
    }

    void DeleteCommand(uint32_t id) override
    {
        for (auto& menu : menus)
            if (Erase(menu, id)) return;
    }

    void InsertCommand(int submenu, int position, uint32_t id, const char* text, bool enabled) override
    {
        FakeMenuItem item = Item(id, text);
        item.enabled = enabled;
        Insert(submenu, position, item);
    }

    void InsertSeparator(int submenu, int position) override { Insert(submenu, position, Separator()); }

    void EnableCommand(uint32_t id, bool enabled) override
    {
        for (auto& menu : menus)
            if (FakeMenuItem* item = Find(menu, id)) {
                item->enabled = enabled;
                return;
            }
    }

    void EnablePopupHolding(uint32_t childId, bool enabled) override
    {
        for (auto& menu : menus)
            for (FakeMenuItem& item : menu)
                if (item.isPopup && Holds(item.popup, childId)) {
                    item.enabled = enabled;
                    return;
                }
    }

    void Redraw() override { ++redraws; }

    // The item at a position, or null.
    const FakeMenuItem* At(int submenu, int position) const
    {
        if (submenu < 0 || static_cast<size_t>(submenu) >= menus.size()) return nullptr;
        const auto& menu = menus[static_cast<size_t>(submenu)];
        if (position < 0 || static_cast<size_t>(position) >= menu.size()) return nullptr;
        return &menu[static_cast<size_t>(position)];
    }

    // The item with a command anywhere, or null.
    const FakeMenuItem* Command(uint32_t id) const
    {
        for (const auto& menu : menus)
            if (const FakeMenuItem* item = Find(menu, id)) return item;
        return nullptr;
    }

    // The popup item of a top-level menu that holds a command, or null.
    const FakeMenuItem* PopupHolding(uint32_t childId) const
    {
        for (const auto& menu : menus)
            for (const FakeMenuItem& item : menu)
                if (item.isPopup && Holds(item.popup, childId)) return &item;
        return nullptr;
    }

    // One line per item of the top-level menus: "s/p id text [sep] [grey]".
    std::string Describe() const
    {
        std::string out;
        for (size_t s = 0; s < menus.size(); ++s)
            for (size_t p = 0; p < menus[s].size(); ++p) {
                const FakeMenuItem& item = menus[s][p];
                out += std::to_string(s) + "/" + std::to_string(p) + " ";
                out += item.separator ? std::string("----") : std::to_string(item.id) + " " + item.text;
                if (!item.enabled) out += " (greyed)";
                out += "\n";
            }
        return out;
    }

private:
    static bool Holds(const std::vector<FakeMenuItem>& items, uint32_t id) { return Find(items, id) != nullptr; }

    static const FakeMenuItem* Find(const std::vector<FakeMenuItem>& items, uint32_t id)
    {
        for (const FakeMenuItem& item : items) {
            if (item.isPopup) {
                if (const FakeMenuItem* inner = Find(item.popup, id)) return inner;
            } else if (!item.separator && item.id == id) {
                return &item;
            }
        }
        return nullptr;
    }

    static FakeMenuItem* Find(std::vector<FakeMenuItem>& items, uint32_t id)
    {
        return const_cast<FakeMenuItem*>(Find(static_cast<const std::vector<FakeMenuItem>&>(items), id));
    }

    static bool Erase(std::vector<FakeMenuItem>& items, uint32_t id)
    {
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].isPopup) {
                if (Erase(items[i].popup, id)) return true;
            } else if (!items[i].separator && items[i].id == id) {
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        }
        return false;
    }

    void Insert(int submenu, int position, const FakeMenuItem& item)
    {
        if (submenu < 0 || static_cast<size_t>(submenu) >= menus.size()) return;
        auto& menu = menus[static_cast<size_t>(submenu)];
        const size_t at = position < 0 ? menu.size() : std::min(static_cast<size_t>(position), menu.size());
        menu.insert(menu.begin() + static_cast<std::ptrdiff_t>(at), item);
    }
};

// Menu 207 as the resource script authors it.
inline FakeMenuBar AuthoredMainMenu()
{
    FakeMenuBar bar;
    bar.menus = {
        {Item(ID_NEW_WINDOW, "&New Window...\tCtrl+N"), Separator(), Item(ID_FILE_EXIT, "E&xit")},
        {Item(ID_CONNECT, "&Connect..."), Item(ID_AUTO_QUERY, "&Auto Query"), Separator(),
         Item(ID_RESET_COLD, "&Cold Reset\tCtrl+O"), Item(ID_RESET_WARM, "&Warm Reset\tCtrl+W"),
         Item(ID_RESET_HOT, "&Hot Reset\tCtrl+H"), Item(ID_RESET_SEMI_WARM, "&Semi-Warm Reset"),
         Item(ID_RESET_SEMI_HOT, "Semi-H&ot Reset"), Item(ID_RESET_FACTORY, "&Factory Reset"), Separator(),
         Popup("Initialize &Receiver", {Item(ID_INIT_ALMANAC, "&Almanac...\tCtrl+A"),
                                        Item(ID_INIT_EPHEMERIS, "&Ephemeris...\tCtrl+E"),
                                        Item(ID_INIT_POSITION, "&Position..."),
                                        Item(ID_TIME_FROM_PC, "&Time from PC")}),
         Popup("&Get from Receiver", {Item(ID_GET_ALMANAC, "&Almanac...\tShift+A"),
                                      Item(ID_GET_EPHEMERIS, "&Ephemeris...\tShift+E"),
                                      Item(ID_GET_POSITION, "&Position..."), Item(ID_TIME_TO_PC, "&Time to PC")}),
         Item(ID_AGPS_DATA, "A-GPS &Data..."), Separator(), Item(ID_RCVR_CONFIG, "&Receiver Configuration..."),
         Item(ID_SAVE_CONFIG, "&Save Configuration"), Item(ID_RCVR_VERSION, "GPS Receiver &Version..."), Separator(),
         Item(ID_DETECT_RECEIVER, "&Detect Receiver..."), Item(ID_GENERIC_PACKETS, "&Generic Packets..."),
         Item(ID_CONFIGURATOR, "Multi-Receiver &Configurator...")},
        {Item(ID_VIEW_TOOLBAR, "&Toolbar"), Item(ID_ALWAYS_ON_TOP, "&Always On Top"), Separator(),
         Popup("&Position Output", {Item(ID_POS_LLA, "&LLA (degrees/minutes)"),
                                    Item(ID_POS_LLA_DEC, "LL&A (decimal degrees)"), Item(ID_POS_XYZ, "&XYZ ECEF"),
                                    Separator(), Item(ID_ALT_MSL, "LLA Alt: &MSL"),
                                    Item(ID_ALT_HAE, "LLA Alt: &HAE"), Separator(),
                                    Item(ID_POS_COPY, "&Copy to Clipboard")}),
         Popup("&Velocity Output", {Item(ID_VEL_ENU, "ENU"), Item(ID_VEL_ECEF, "&XYZ ECEF"), Separator(),
                                    Item(ID_SPEED_KMH, "Speed (&km/hr)"), Item(ID_SPEED_MPH, "Speed (&mi/hr)"),
                                    Item(ID_SPEED_MPS, "Speed (m/&s)")}),
         Popup("T&iming Output", {Item(ID_TIME_GPS, "&GPS"), Item(ID_TIME_UTC, "&UTC")}),
         Popup("Si&gnal Output", {Item(ID_SIGNAL_CNO, "&CNO"), Item(ID_SIGNAL_AMU, "&AMU")}),
         Item(ID_DOUBLE_PRECISION, "&Double Precision"), Separator(),
         Popup("GPS S&ystem Data", {Item(ID_GPSDATA_WND, "GPS &Data Window..."), Separator(),
                                    Item(ID_GPSDATA_ALMANAC, "&Almanac..."),
                                    Item(ID_GPSDATA_EPHEMERIS, "&Ephemeris..."), Item(ID_GPSDATA_HEALTH, "&Health..."),
                                    Item(ID_GPSDATA_IONO, "&Ionosphere Data..."),
                                    Item(ID_GPSDATA_UTC, "&UTC Data...")}),
         Separator(), Item(ID_POSITION_WND_MENU, "Position &Window..."), Item(ID_SKY_PLOT_MENU, "S&ky Plot..."),
         Separator(), Item(ID_CLEAR_WINDOW, "&Clear Window"), Separator(), Item(ID_DIAGNOSTICS, "&Diagnostics...")},
        {Item(ID_SETTINGS, "&Settings...")},
        {Item(ID_DATA_LOGGER, "Data &Logger..."), Item(ID_RAW_DATA_WND, "Raw Data &Monitor...\tCtrl+R"), Separator(),
         Item(ID_FLASH_LOADER, "&Flash Loader..."), Item(ID_DATA_CONVERTER, "Data &Converter...")},
        {Item(ID_RELEASE_NOTES, "&Release Notes..."), Separator(), Item(ID_ABOUT_MENU, "&About...")},
    };
    return bar;
}

// The link combo's items in memory.
class FakeCombo : public IComboItems {
public:
    std::vector<std::string> items;

    int Count() const override { return static_cast<int>(items.size()); }
    std::string Text(int index) const override
    {
        return index >= 0 && index < Count() ? items[static_cast<size_t>(index)] : std::string();
    }
    void Delete(int index) override
    {
        if (index >= 0 && index < Count()) items.erase(items.begin() + index);
    }
    void Append(const char* text) override { items.push_back(text); }
};
