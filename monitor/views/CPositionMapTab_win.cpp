#include "views/CPositionMapTab.h"

#include "app/resource_posmap.h"
#include "views/ViewMessages.h"

BEGIN_MESSAGE_MAP(CPositionMapTab, CTabPageSSL)
    ON_MESSAGE(kWmPosMapCommand, &CPositionMapTab::OnMapCommand)
    ON_MESSAGE(kWmTabRefresh, &CPositionMapTab::OnTabRefresh)
END_MESSAGE_MAP()

CPositionMapTab::CPositionMapTab(CMainWndDlg* mainWindow)
    : CTabPageSSL(IDD_POSMAP_PAGE), m_mainWindow(mainWindow)
{
}

void CPositionMapTab::AddFix(const NavState& /*fix*/) {}

LRESULT CPositionMapTab::OnMapCommand(WPARAM /*command*/, LPARAM /*argument*/) { return 0; }

LRESULT CPositionMapTab::OnTabRefresh(WPARAM /*width*/, LPARAM /*height*/) { return 0; }
