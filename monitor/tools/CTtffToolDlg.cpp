#include "tools/CTtffToolDlg.h"

bool CTtffToolDlg::CloseTool()
{
    return true;
}
