// The main window's raw data windows: any number of them, each opened by
// its own command and never reused.
#include "app/CMainWndDlg.h"
#include "app/CRawOutput.h"
#include "framework/MessagePrompter.h"

void CMainWndDlg::OpenRawOutputWnd() {
    CRawOutput* window = new CRawOutput(this);
    if (!window->CreateRawWindow()) {
        delete window;
        AfxMessageBox("Failed to create a new raw output window!", MB_ICONSTOP);
        return;
    }
    m_rawOutputs.Add(window);
}

void CMainWndDlg::RemoveRawOutputWnd(CWnd* window) {
    if (m_closing) return;
    for (int i = 0; i < m_rawOutputs.GetSize(); ++i)
        if (m_rawOutputs[i] == window) {
            m_rawOutputs.RemoveAt(i);
            return;
        }
}

// The raw data windows listen to this window's link and read its state:
// they go with it.
void CMainWndDlg::CloseRawOutputWnds() {
    CPtrArray windows;
    for (int i = 0; i < m_rawOutputs.GetSize(); ++i) windows.Add(m_rawOutputs[i]);
    m_rawOutputs.RemoveAll();
    for (int i = 0; i < windows.GetSize(); ++i) {
        CRawOutput* window = static_cast<CRawOutput*>(windows[i]);
        if (window != nullptr && window->GetSafeHwnd() != nullptr) window->DestroyWindow();
    }
}
