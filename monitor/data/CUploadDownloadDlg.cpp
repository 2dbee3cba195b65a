#include "data/CUploadDownloadDlg.h"

void CUploadDownloadDlg::NotifyLoadEvent(int /*event*/) {}
