// The settings sheet of the main window. Its pages will be listed in a tree
// beside the page; until the tree arrives it is the system's property sheet
// with a tab per page. Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/CPropertySheet.h"

namespace TreePropSheet {

class CTreePropSheet : public CPropertySheet {
public:
    explicit CTreePropSheet(LPCTSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
};

}  // namespace TreePropSheet

#endif  // _WIN32
