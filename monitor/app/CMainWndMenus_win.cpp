// The main window's menu: the optional items of the user and internal
// layouts, the enabled state by protocol, the access code and user mode.
// The rules are MenuLayout's; this file gives them the real menu bar and
// link combo, and the window's own display controls.
#include "app/CMainWndDlg.h"

#include "app/AppProfile.h"
#include "app/CPasswordDlg.h"
#include "app/MainWndProfile.h"
#include "app/MenuLayout.h"
#include "app/StartMode.h"

const char CMainWndDlg::kAccessCode[] = "quillnomad";

namespace {

// The receiver capability of a timing receiver.
const uint32_t kCapabilityTiming = 4;

const char kUserModeText[] =
    "User mode enabled!\n\nThe program now acts as if it is used by a \n"
    "user not connected to the Velmara network.";
const char kInternalToolsNote[] =
    "The tools listed below this menu item are internal, Velmara-only, engineering tools used for product "
    "testing. When the Velmara GPS Monitor runs on non-Velmara PC's (i.e. by customers), these menu items are "
    "hidden from view.\n\nClick here to close this window.";
const int kNoteWidth = 360, kNoteHeight = 170;
const int kNoteWidthLarge = 480, kNoteHeightLarge = 205;
const int kNoteSeconds = 30;
const COLORREF kNoteText = 0x800080;
const COLORREF kNoteBack = 0xE1FFFF;

// The menu bar of a window, edited by position within its top-level menus.
class WindowMenuBar : public IMenuBar {
public:
    WindowMenuBar(HMENU bar, HWND window) : m_bar(bar), m_window(window) {}

    bool HasCommand(uint32_t id) const override
    {
        return ::GetMenuState(m_bar, id, MF_BYCOMMAND) != static_cast<UINT>(-1);
    }

    bool FindCommand(uint32_t id, int& submenu, int& position) const override
    {
        const int menus = ::GetMenuItemCount(m_bar);
        for (int s = 0; s < menus; ++s) {
            HMENU sub = ::GetSubMenu(m_bar, s);
            const int items = sub != nullptr ? ::GetMenuItemCount(sub) : 0;
            for (int p = 0; p < items; ++p)
                if (::GetSubMenu(sub, p) == nullptr && ::GetMenuItemID(sub, p) == id) {
                    submenu = s;
                    position = p;
                    return true;
                }
        }
        return false;
    }

    bool IsSeparator(int submenu, int position) const override
    {
        HMENU sub = Sub(submenu);
        if (sub == nullptr) return false;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(sub, static_cast<UINT>(position), TRUE, &info)) return false;
        return info.hSubMenu == nullptr && (info.fType & MFT_SEPARATOR) != 0;
    }

    void DeleteAt(int submenu, int position) override
    {
        if (HMENU sub = Sub(submenu)) ::DeleteMenu(sub, static_cast<UINT>(position), MF_BYPOSITION);
    }

    void DeleteCommand(uint32_t id) override { ::DeleteMenu(m_bar, id, MF_BYCOMMAND); }

    void InsertCommand(int submenu, int position, uint32_t id, const char* text, bool enabled) override
    {
        if (HMENU sub = Sub(submenu))
            ::InsertMenuA(sub, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | (enabled ? 0 : MF_GRAYED), id,
                          text);
    }

    void InsertSeparator(int submenu, int position) override
    {
        if (HMENU sub = Sub(submenu)) ::InsertMenuA(sub, static_cast<UINT>(position), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    }

    void EnableCommand(uint32_t id, bool enabled) override
    {
        if (HasCommand(id)) ::EnableMenuItem(m_bar, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }

    void EnablePopupHolding(uint32_t childId, bool enabled) override
    {
        const int menus = ::GetMenuItemCount(m_bar);
        for (int s = 0; s < menus; ++s) {
            HMENU sub = ::GetSubMenu(m_bar, s);
            const int items = sub != nullptr ? ::GetMenuItemCount(sub) : 0;
            for (int p = 0; p < items; ++p) {
                HMENU popup = ::GetSubMenu(sub, p);
                if (popup == nullptr || ::GetMenuState(popup, childId, MF_BYCOMMAND) == static_cast<UINT>(-1))
                    continue;
                ::EnableMenuItem(sub, static_cast<UINT>(p), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
                return;
            }
        }
    }

    void Redraw() override
    {
        if (m_window != nullptr) ::DrawMenuBar(m_window);
    }

private:
    HMENU Sub(int submenu) const { return submenu >= 0 ? ::GetSubMenu(m_bar, submenu) : nullptr; }

    HMENU m_bar;
    HWND m_window;
};

class ComboBoxItems : public IComboItems {
public:
    explicit ComboBoxItems(CComboBox& combo) : m_combo(combo) {}

    int Count() const override { return m_combo.GetCount(); }
    std::string Text(int index) const override
    {
        CString text;
        if (index >= 0 && index < m_combo.GetCount()) m_combo.GetLBText(index, text);
        return static_cast<const char*>(text);
    }
    void Delete(int index) override { m_combo.DeleteString(static_cast<UINT>(index)); }
    void Append(const char* text) override { m_combo.AddString(text); }

private:
    CComboBox& m_combo;
};

}  // namespace

void CMainWndDlg::BuildMenu(int userLayout)
{
    CMenu* menu = GetMenu();
    if (menu == nullptr || menu->GetSafeHmenu() == nullptr) return;
    WindowMenuBar bar(menu->GetSafeHmenu(), m_hWnd);
    std::unique_ptr<ComboBoxItems> combo;
    if (m_linkCombo != nullptr && m_linkCombo->GetSafeHwnd() != nullptr) combo.reset(new ComboBoxItems(*m_linkCombo));

    MenuLayoutOptions options;
    options.userLayout = userLayout != 0;
    options.toolsShown = m_internalTools;
    options.timingReceiver = m_link.GetModel().HasCapability(kCapabilityTiming);
    options.scriptMode = IsCommandLineMode(START_MODE_SCRIPT);
    if (BuildMenuLayout(bar, combo.get(), options)) UpdateMenuState(0);
}

void CMainWndDlg::UpdateMenuState(int forceDefault)
{
    const ProtocolKind protocol = forceDefault != 0 ? static_cast<ProtocolKind>(PROTO_QBIN) : m_commandProtocol;
    int formats[2];
    const int formatCount = MenuStateDisplayFormats(protocol, formats);
    for (int i = 0; i < formatCount; ++i) ApplyDisplayFormat(formats[i]);

    const MenuStateColumn column = MenuStateColumnFor(protocol);
    if (CMenu* menu = GetMenu()) {
        WindowMenuBar bar(menu->GetSafeHmenu(), m_hWnd);
        ApplyMenuState(bar, column);
    }
    // The receiver version item of the firmware group's context menu too.
    if (m_menuRcvrVersion.GetSafeHmenu() != nullptr)
        m_menuRcvrVersion.EnableMenuItem(ID_RCVR_VERSION, MF_BYCOMMAND | (IsMenuCommandEnabled(ID_RCVR_VERSION, column)
                                                                              ? MF_ENABLED
                                                                              : MF_GRAYED));
    if (m_gpsDataCombo != nullptr && m_gpsDataCombo->GetSafeHwnd() != nullptr)
        m_gpsDataCombo->EnableWindow(IsGpsDataComboEnabled(column) ? TRUE : FALSE);

    size_t rows = 0;
    const ControlStateRow* controls = GetControlStateRows(rows);
    for (size_t r = 0; r < rows; ++r)
        for (uint32_t id = controls[r].firstId; id <= controls[r].lastId; ++id)
            EnableField(id, controls[r].enabled[column]);
}

void CMainWndDlg::RemoveMenuItem(UINT id, int submenu, int position)
{
    CMenu* menu = GetMenu();
    if (menu == nullptr || menu->GetSafeHmenu() == nullptr) return;
    WindowMenuBar bar(menu->GetSafeHmenu(), m_hWnd);
    ::RemoveOptionalItem(bar, id, submenu, position);
}

void CMainWndDlg::InsertMenuItem(int submenu, int position, UINT id, LPCTSTR text, int separator, bool enabled)
{
    CMenu* menu = GetMenu();
    if (menu == nullptr || menu->GetSafeHmenu() == nullptr) return;
    WindowMenuBar bar(menu->GetSafeHmenu(), m_hWnd);
    ::InsertOptionalItem(bar, submenu, position, id, text, separator, enabled);
}

// ---- Access code and user mode -----------------------------------------------------------

void CMainWndDlg::PromptAccessCode()
{
    CPasswordDlg dialog(this, kAccessCode);
    const bool granted = dialog.DoModal() == CPasswordDlg::kAccessGranted;
    m_accessFlag = granted;
    m_internalTools = granted;
    AppProfile profile;
    profile.WriteProfileInt(kMainWndSection, "bPassOk", granted ? 1 : 0);
    BuildMenu(0);
}

void CMainWndDlg::EnterUserMode()
{
    // The stored flag stays as it is: the next start decides again.
    m_userMode = true;
    m_accessFlag = false;
    StartGate();
    AfxMessageBox(kUserModeText, MB_OK | MB_ICONINFORMATION);
}

void CMainWndDlg::ShowInternalToolsNote()
{
    const bool large = IsLargeLayout();
    ShowBalloonOverWindow(this, kInternalToolsNote, large ? kNoteWidthLarge : kNoteWidth,
                          large ? kNoteHeightLarge : kNoteHeight, kNoteSeconds, kNoteText, kNoteBack, 1);
}
