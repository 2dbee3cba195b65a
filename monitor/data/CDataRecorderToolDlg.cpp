#include "data/CDataRecorderToolDlg.h"

bool CDataRecorderToolDlg::CloseTool() { return true; }
