// The main window as its Wine tests and those of the windows it opens use it:
// without its start-up (no profile, no menus, no gate thread), living on the
// test's stack, made from a template built in memory with the program's five
// status panes.
#pragma once

#include <windows.h>

#include "app/CMainWndDlg.h"
#include "app/resource.h"
#include "win32/monitor/framework/DialogTemplate.h"

class TestMainWnd : public CMainWndDlg {
public:
    BOOL OnInitDialog() override { return CModelessDialog::OnInitDialog(); }
    void PostNcDestroy() override {}
    using CMainWndDlg::StartGate;

    BOOL CreateFromTemplate(const DialogTemplate& tmpl)
    {
        static const UINT kIndicators[] = {ID_PANE_GENERAL, ID_PANE_MESSAGE, ID_PANE_PROTOCOL, ID_PANE_ELAPSED,
                                           ID_PANE_LINK};
        static const int kPaneWidths[] = {10, 0, 60, 60, 100};
        const int panes = static_cast<int>(sizeof kIndicators / sizeof kIndicators[0]);
        return CreateModelessIndirect(tmpl.Get(), nullptr, kIndicators, panes, kPaneWidths, nullptr, 0, 0, 0, 0, 0, 0,
                                      0, 0);
    }
};
