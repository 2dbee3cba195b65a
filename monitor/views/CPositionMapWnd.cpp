#include "views/CPositionMapWnd.h"

CPositionMapWnd::CPositionMapWnd(CWnd* /*mainWindow*/)
{
}
