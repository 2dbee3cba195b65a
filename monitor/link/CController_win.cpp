// The controller's windows on Windows: a hidden anchor window for the link's
// lifetime, and delivery to listener windows with PostMessage/SendMessage.
#include "framework/WinTypes.h"
#include "framework/CWnd.h"
#include "link/CController.h"

namespace {

class Win32ListenerWindows : public IListenerWindows {
public:
    bool CreateAnchor() override
    {
        if (m_anchor.GetSafeHwnd() != nullptr) return true;
        return m_anchor.CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr,
                                 nullptr) != FALSE;
    }
    void DestroyAnchor() override
    {
        if (m_anchor.GetSafeHwnd() != nullptr) m_anchor.DestroyWindow();
    }
    bool Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override
    {
        return ::PostMessageA(window, message, wParam, lParam) != FALSE;
    }
    LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) override
    {
        return ::SendMessageA(window, message, wParam, lParam);
    }

private:
    CWnd m_anchor;
};

} // namespace

IListenerWindows* CreateListenerWindows() { return new Win32ListenerWindows(); }
