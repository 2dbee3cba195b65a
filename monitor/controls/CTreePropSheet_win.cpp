#include "controls/CTreePropSheet.h"

namespace TreePropSheet {

CTreePropSheet::CTreePropSheet(LPCTSTR caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
}

}  // namespace TreePropSheet
