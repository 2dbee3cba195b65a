// The model's hidden window on Windows: created with the link, destroyed with
// it. It has no messages of its own; its creation stands for the model being
// able to live on this thread at all.
#include "framework/WinTypes.h"
#include "framework/CWnd.h"
#include "model/CModel.h"

namespace {

class HiddenModelWindow : public IModelWindow {
public:
    bool Create() override
    {
        if (m_wnd.GetSafeHwnd() != nullptr) return true;
        return m_wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr) !=
               FALSE;
    }
    void Destroy() override
    {
        if (m_wnd.GetSafeHwnd() != nullptr) m_wnd.DestroyWindow();
    }

private:
    CWnd m_wnd;
};

} // namespace

IModelWindow* CreateModelWindow() { return new HiddenModelWindow(); }
