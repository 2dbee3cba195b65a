#include "config/CConfiguratorDlg.h"

void CConfiguratorDlg::LoadConfigFile(LPCTSTR /*fileName*/)
{
}
