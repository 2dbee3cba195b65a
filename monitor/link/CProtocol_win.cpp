// The protocol engine's hidden window: it exists only to receive the engine's
// timers on the thread that started the engine, and hands each to OnTimer.
#include "link/CProtocol.h"

#include "framework/WinTypes.h"
#include "framework/CWnd.h"

namespace {

class CProtocolWnd : public CWnd, public ITimerHost {
public:
    explicit CProtocolWnd(CProtocol* engine) : m_engine(engine) {}

    bool SetTimer(uint32_t id, uint32_t ms) override { return CWnd::SetTimer(id, ms) != 0; }
    void KillTimer(uint32_t id) override { CWnd::KillTimer(id); }

protected:
    afx_msg void OnTimer(UINT_PTR id) { m_engine->OnTimer(id); }
    DECLARE_MESSAGE_MAP()

private:
    CProtocol* m_engine;
};

BEGIN_MESSAGE_MAP(CProtocolWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

} // namespace

bool CProtocol::CreateTimerWindow()
{
    if (m_injectedTimers != nullptr) {
        m_timers = m_injectedTimers;
        return true;
    }
    CProtocolWnd* wnd = new CProtocolWnd(this);
    // No class name, no title, no size, no parent: never shown. Where a
    // parentless child is refused the layer makes it message-only, which
    // receives timers all the same.
    if (!wnd->CreateEx(0, nullptr, "", WS_POPUP | WS_CHILD, 0, 0, 0, 0, nullptr, nullptr)) {
        delete wnd;
        return false;
    }
    m_timerWindow = wnd;
    m_timers = wnd;
    return true;
}

void CProtocol::DestroyTimerWindow()
{
    m_timers = nullptr;
    CProtocolWnd* wnd = static_cast<CProtocolWnd*>(m_timerWindow);
    m_timerWindow = nullptr;
    if (wnd == nullptr) return;
    // Destroying the window also ends its timers.
    wnd->DestroyWindow();
    delete wnd;
}
