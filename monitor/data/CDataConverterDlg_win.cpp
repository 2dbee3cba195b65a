#include "data/CDataConverterDlg.h"

#include "app/CMainWndDlg.h"

namespace {
// The converter's dialog template.
const UINT kConverterTemplate = 5076;
}  // namespace

CDataConverterDlg::CDataConverterDlg(CMainWndDlg* mainWindow, CWnd* parent)
    : CDialogView(kConverterTemplate, parent != nullptr ? parent : mainWindow), m_mainWindow(mainWindow) {}

CDataConverterDlg::~CDataConverterDlg() {}

IDialogViewHost* CDataConverterDlg::GetDialogViewHost() { return m_mainWindow; }
