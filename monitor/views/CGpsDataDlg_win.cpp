#include "views/CGpsDataDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

namespace {

const char* const kPageTitles[] = {"Almanac", "Satellite Health", "Ephemeris/Subframe 1", "UTC Parameters", "IONO Parameters"};

}  // namespace

BEGIN_MESSAGE_MAP(CGpsDataDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CGpsDataDlg::CGpsDataDlg(CMainWndDlg* mainWindow, int firstTab)
    : CDialogView(IDD_GPS_DATA, mainWindow), m_mainWindow(mainWindow), m_firstTab(firstTab)
{
}

BOOL CGpsDataDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    OpenPlaceholderTabs(*this, m_tabs, m_pages, kPageTitles, kPageCount, m_mainWindow, m_firstTab);
    return TRUE;
}

void CGpsDataDlg::OnDestroy()
{
    ClosePlaceholderTabs(m_pages, kPageCount);
    CDialogView::OnDestroy();
}
