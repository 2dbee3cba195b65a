#include "app/CReleaseNotesDlg.h"

#include "app/CMainWndDlg.h"
#include "app/resource_tools.h"

BEGIN_MESSAGE_MAP(CReleaseNotesDlg, CDialogView)
    ON_BN_CLICKED(IDC_TOOL_CLOSE, &CDialogView::CloseView)
END_MESSAGE_MAP()

CReleaseNotesDlg::CReleaseNotesDlg(CMainWndDlg* mainWindow) : CDialogView(IDD_RELEASE_NOTES, mainWindow) {}
