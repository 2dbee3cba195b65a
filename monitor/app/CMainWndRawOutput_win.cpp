// The main window's raw data windows: any number of them.
#include "app/CMainWndDlg.h"
#include "app/TraceLog.h"

void CMainWndDlg::OpenRawOutputWnd() { AppendTraceLine(GetDataFolder(), "OpenRawOutputWnd"); }
void CMainWndDlg::RemoveRawOutputWnd(CWnd* window) {
    if (m_closing) return;
    for (int i = 0; i < m_rawOutputs.GetSize(); ++i)
        if (m_rawOutputs[i] == window) {
            m_rawOutputs.RemoveAt(i);
            return;
        }
}
