// The main window's menu: the optional items of the user and internal
// layouts, the enabled state by protocol, the access code and user mode.
#include "app/CMainWndDlg.h"
#include "app/TraceLog.h"

namespace {

void Trace(CMainWndDlg& window, const char* name) { AppendTraceLine(window.GetDataFolder(), name); }

}  // namespace

// The authored menu of the resource stays as it is.
void CMainWndDlg::BuildMenu(int /*userLayout*/) { Trace(*this, "BuildMenu"); }
void CMainWndDlg::UpdateMenuState(int /*forceDefault*/) { Trace(*this, "UpdateMenuState"); }
void CMainWndDlg::RemoveMenuItem(UINT /*id*/, int /*submenu*/, int /*position*/) {}
void CMainWndDlg::InsertMenuItem(int /*submenu*/, int /*position*/, UINT /*id*/, LPCTSTR /*text*/, int /*separator*/,
                                 bool /*enabled*/) {}
void CMainWndDlg::PromptAccessCode() { Trace(*this, "PromptAccessCode"); }
void CMainWndDlg::EnterUserMode() { Trace(*this, "EnterUserMode"); }
void CMainWndDlg::ShowInternalToolsNote() { Trace(*this, "ShowInternalToolsNote"); }
