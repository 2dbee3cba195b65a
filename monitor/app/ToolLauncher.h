// The one launch of every single-instance tool window of the main window.
//
// The main window keeps one pointer (a slot) per tool. A launch with the
// slot set brings the open tool forward and, for a tool with tabs, selects
// the asked tab, registers that page for receiver events and initialises it
// again. With the slot empty the factory makes the tool with the main window
// as its owner, the slot takes it, and the window is created from the
// tool's template under the tool's parent (LauncherTable). When the window
// cannot be made the slot is empty again, so the next launch tries anew.
// Tools clear the slot themselves when their window is destroyed.
// Windows build only.
#pragma once

#ifdef _WIN32

#include <type_traits>
#include <utility>

#include "app/LauncherTable.h"
#include "controls/CDialogView.h"
#include "controls/CTabCtrlSSL.h"
#include "framework/CDialog.h"
#include "framework/MessagePrompter.h"

class CMainWndDlg;

// The window a tool is created under.
CWnd* GetToolParentWindow(CMainWndDlg& mainWindow, ToolParent parent);

// Selects a tab of an open tool: the page shown takes the receiver events
// (and the others none) and is initialised again. An out-of-range tab
// changes nothing.
void SelectToolTab(CTabCtrlSSL& tabs, int tab);

namespace tool_launch {

template <class T, class = void>
struct HasTabs : std::false_type {};
template <class T>
struct HasTabs<T, decltype(void(std::declval<T&>().GetTabs()))> : std::true_type {};

// A plain dialog clears the slot and deletes itself once its window is
// destroyed, which a window lost during creation already is.
template <class T>
bool CreatePlainDialog(T*& slot, UINT templateId, CWnd* parent)
{
    T* tool = slot;
    if (tool->Create(templateId, parent)) {
        tool->ShowWindow(SW_SHOW);
        return true;
    }
    AfxMessageBox("Failed to create a window!", MB_ICONERROR);
    if (slot == tool) {
        slot = nullptr;
        delete tool;
    }
    return false;
}

}  // namespace tool_launch

// factory(mainWindow, tab) makes the tool object; row says how it is
// created. Returns true when the tool is open afterwards.
template <class T, class Factory>
bool LaunchTool(CMainWndDlg& mainWindow, T*& slot, const ToolLaunchRow& row, int tab, Factory factory)
{
    if (slot != nullptr) {
        if (slot->GetSafeHwnd() != nullptr) {
            if (slot->IsIconic()) slot->ShowWindow(SW_RESTORE);
            slot->SetFocus();
        }
        if constexpr (tool_launch::HasTabs<T>::value) SelectToolTab(slot->GetTabs(), tab);
        return true;
    }
    CWnd* parent = GetToolParentWindow(mainWindow, row.parent);
    slot = factory(mainWindow, tab);
    if constexpr (std::is_base_of<CDialogView, T>::value) {
        // CreateView clears the slot and deletes the view when it fails.
        return slot->CreateView(row.templateId, parent, &slot, true) != FALSE;
    } else {
        return tool_launch::CreatePlainDialog(slot, row.templateId, parent);
    }
}

template <class T, class Factory>
bool LaunchTool(CMainWndDlg& mainWindow, T*& slot, ToolKind kind, int tab, Factory factory)
{
    return LaunchTool(mainWindow, slot, GetToolLaunchRow(kind), tab, factory);
}

#endif  // _WIN32
