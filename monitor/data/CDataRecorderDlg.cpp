#include "data/CDataRecorderDlg.h"

bool CDataRecorderDlg::IsAnyPortLogging() const { return false; }

bool CDataRecorderDlg::IsPortLogging(int32_t /*port*/) const { return false; }
