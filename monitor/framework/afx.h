// The whole class layer in one include. Portable parts first; the window and
// thread classes exist in the Windows build only.
#pragma once

#include "framework/WinTypes.h"
#include "framework/CObject.h"
#include "framework/CString.h"
#include "framework/CArray.h"
#include "framework/FileBackend.h"
#include "framework/CFile.h"
#include "framework/CCriticalSection.h"
#include "framework/CCmdTarget.h"
#include "framework/CRect.h"
#include "framework/CTime.h"
#include "framework/MessagePrompter.h"

#ifdef _WIN32
#include "framework/CWnd.h"
#include "framework/CWinThread.h"
#include "framework/CGdi.h"
#include "framework/CMenu.h"
#include "framework/CDialog.h"
#include "framework/CControls.h"
#include "framework/CCommonCtrls.h"
#include "framework/CFrameWnd.h"
#include "framework/CPropertySheet.h"
#include "framework/CControlBar.h"
#include "framework/CWinApp.h"
#endif
