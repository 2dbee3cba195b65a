#include "tools/CFlashLoaderDlg.h"

bool CFlashLoaderDlg::CloseTool()
{
    return true;
}
