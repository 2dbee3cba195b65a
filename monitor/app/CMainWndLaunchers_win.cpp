// Tool-window launchers, the menu builder, balloons and the update checks of
// the main window. The tools not built yet, the menu rebuilding, the balloon
// window and the update checker keep their names and signatures and leave one
// line in the trace log, so the start-up paths that call them can be checked
// end to end.
#include "app/CMainWndDlg.h"
#include "app/TraceLog.h"
#include "data/CDataRecorderDlg.h"
#include "data/CDataConverterDlg.h"

namespace {

void Trace(CMainWndDlg& window, const char* name) { AppendTraceLine(window.GetDataFolder(), name); }

}  // namespace

void CMainWndDlg::ShowTimingMonitorDlg() { Trace(*this, "ShowTimingMonitorDlg"); }
void CMainWndDlg::ShowFlashLoaderDlg() { Trace(*this, "ShowFlashLoaderDlg"); }
void CMainWndDlg::ShowDataRecorderToolDlg() { Trace(*this, "ShowDataRecorderToolDlg"); }
void CMainWndDlg::ShowDataRecorderDlg(bool show) {
    if (m_pDataRecorder != nullptr) {
        m_pDataRecorder->ShowWindow(show ? SW_SHOW : SW_HIDE);
        if (show) m_pDataRecorder->SetFocus();
        return;
    }
    m_pDataRecorder = new CDataRecorderDlg(this);
    m_pDataRecorder->CreateView(IDD_DATA_LOGGER, this, &m_pDataRecorder, show);
}

void CMainWndDlg::ShowTtffToolDlg() { Trace(*this, "ShowTtffToolDlg"); }
void CMainWndDlg::ShowScriptStatusDlg() { Trace(*this, "ShowScriptStatusDlg"); }

// The converter of an unattended start stands on the desktop, so that the
// main window's state never hides or moves it; otherwise it belongs to the
// main window.
void CMainWndDlg::ShowDataConverterDlg() {
    CWnd* parent = IsCommandLineMode(START_MODE_CONVERTER) ? CWnd::FromHandle(::GetDesktopWindow()) : this;
    CDialogView::LaunchView(m_pDataConverter, IDD_DATA_CONVERTER, parent, this);
}


void CMainWndDlg::StartStartupUpdateCheck() { Trace(*this, "StartStartupUpdateCheck"); }
void CMainWndDlg::StartRegularUpdateCheck(CWnd* /*requester*/) { Trace(*this, "StartRegularUpdateCheck"); }
