#include "views/CPositionDlg.h"

void CPositionDlg::AddFix(const NavState& /*fix*/)
{
}

void CPositionDlg::ClearTabs()
{
}
