#include "controls/CDialogView.h"

#include "framework/MessagePrompter.h"
#include "link/CController.h"

namespace {

// The layout pass's window side: the controls' rectangles in the view's
// client coordinates, moved together in one deferred positioning.
class ViewResizeTarget : public IResizeTarget {
public:
    explicit ViewResizeTarget(CWnd& view) : m_view(view), m_hdwp(nullptr) {}

    bool GetControlRect(int id, CRect& rect) override
    {
        HWND h = ::GetDlgItem(m_view.m_hWnd, id);
        if (h == nullptr) return false;
        ::GetWindowRect(h, &rect);
        m_view.ScreenToClient(&rect);
        return true;
    }
    void BeginMoves(int count) override { m_hdwp = ::BeginDeferWindowPos(count); }
    void MoveControl(const ResizeRule& rule, const CRect& from, const CRect& to) override
    {
        HWND h = ::GetDlgItem(m_view.m_hWnd, rule.id);
        if (h == nullptr) return;
        if (rule.Repaints()) ::InvalidateRect(h, nullptr, TRUE);
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (m_hdwp != nullptr)
            m_hdwp = ::DeferWindowPos(m_hdwp, h, nullptr, to.left, to.top, to.Width(), to.Height(), flags);
        // A failed deferral drops the batch; the control is still moved.
        if (m_hdwp == nullptr) ::SetWindowPos(h, nullptr, to.left, to.top, to.Width(), to.Height(), flags);
        if (rule.Repaints()) {
            ::InvalidateRect(m_view.m_hWnd, &from, TRUE);
            ::UpdateWindow(m_view.m_hWnd);
        }
    }
    void EndMoves() override
    {
        if (m_hdwp != nullptr) ::EndDeferWindowPos(m_hdwp);
        m_hdwp = nullptr;
    }

private:
    CWnd& m_view;
    HDWP m_hdwp;
};

IDialogViewHost* FindViewHost(CWnd* pParent)
{
    if (pParent == nullptr) return nullptr;
    if (IDialogViewHost* host = dynamic_cast<IDialogViewHost*>(pParent)) return host;
    if (IDialogViewHostSource* source = dynamic_cast<IDialogViewHostSource*>(pParent))
        return source->GetDialogViewHost();
    return nullptr;
}

HICON GetWindowIcon(HWND hWnd)
{
    HICON h = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0));
    if (h == nullptr) h = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0));
    if (h == nullptr) h = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICONSM));
    if (h == nullptr) h = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICON));
    return h;
}

} // namespace

bool IsShellBalloonTipsOn()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", 0,
                        KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    DWORD value = 1, type = 0, size = sizeof value;
    const LONG rc = ::RegQueryValueExA(key, "EnableBalloonTips", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return true;
    return value != 0;
}

IMPLEMENT_DYNAMIC(CDialogView, CDialog)

BEGIN_MESSAGE_MAP(CDialogView, CDialog)
    ON_MESSAGE(WM_RECEIVER_EVENT, &CDialogView::OnReceiverEvent)
    ON_MESSAGE(WM_VIEW_UPDATEDATA, &CDialogView::OnViewUpdateData)
    ON_MESSAGE(WM_SIZING, &CDialogView::OnSizingEdge)
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CDialogView::CDialogView(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_bNoRetarget(false),
      m_pExtraWnd(nullptr),
      m_pMainWnd(FindViewHost(pParentWnd)),
      m_pOwnerSlot(nullptr),
      m_pfnClearSlot(nullptr),
      m_nInitialWidth(32),
      m_nInitialHeight(32),
      m_bCreating(false)
{
}

CDialogView::~CDialogView()
{
    if (m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.DestroyWindow();
}

CController* CDialogView::GetController() const
{
    return m_pMainWnd != nullptr ? m_pMainWnd->GetViewController() : nullptr;
}

BOOL CDialogView::CreateViewCommon(UINT nIDTemplate, LPCDLGTEMPLATE lpTemplate, CWnd* pParentWnd,
                                   void* pSlot, SlotClearer clear, bool bShow)
{
    m_pOwnerSlot = pSlot;
    m_pfnClearSlot = clear;
    if (pParentWnd != nullptr && m_pMainWnd == nullptr) m_pMainWnd = FindViewHost(pParentWnd);
    m_bCreating = true;
    const BOOL created = lpTemplate != nullptr ? CreateIndirect(lpTemplate, pParentWnd)
                                               : Create(nIDTemplate, pParentWnd);
    m_bCreating = false;
    if (!created) {
        AfxMessageBox("Failed to create a window!", MB_ICONERROR);
        if (m_pOwnerSlot != nullptr) {
            // The owner made this view to keep it; with no window it would
            // otherwise point at an object its next launch focuses in vain.
            ClearOwnerSlot();
            if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) DestroyWindow();
            delete this;
        }
        return FALSE;
    }
    if (pSlot != nullptr && bShow) ShowWindow(SW_SHOW);
    return TRUE;
}

void CDialogView::ClearOwnerSlot()
{
    if (m_pOwnerSlot != nullptr && m_pfnClearSlot != nullptr) m_pfnClearSlot(m_pOwnerSlot);
    m_pOwnerSlot = nullptr;
}

void CDialogView::CloseView()
{
    if (CController* controller = GetController()) controller->RemoveListener(m_hWnd);
    if (m_pOwnerSlot != nullptr)
        DestroyWindow();
    else
        EndDialog(IDCANCEL);
}

LRESULT CDialogView::OnModelUpdate(WPARAM, LPARAM) { return 0; }

LRESULT CDialogView::OnReceiverEvent(WPARAM wParam, LPARAM lParam) { return OnModelUpdate(wParam, lParam); }

LRESULT CDialogView::OnViewUpdateData(WPARAM wParam, LPARAM)
{
    UpdateData(static_cast<BOOL>(wParam));
    return 0;
}

void CDialogView::OnClose() { CloseView(); }

void CDialogView::OnOK()
{
    if (UpdateData(TRUE)) CloseView();
}

void CDialogView::OnCancel() {}

BOOL CDialogView::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pMainWnd != nullptr) {
        CWnd* pHost = m_pMainWnd->GetViewHostWnd();
        if (pHost != nullptr && pHost->GetSafeHwnd() != nullptr) {
            SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(GetWindowIcon(pHost->m_hWnd)));
        }
        if (CController* controller = GetController()) controller->AddListener(m_hWnd, WM_RECEIVER_EVENT);
        if (pHost != nullptr && pHost->GetSafeHwnd() != nullptr) CenterWindow(pHost);
    }
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    m_layout.Init(client);
    CRect outer;
    GetWindowRect(&outer);
    m_nInitialWidth = outer.Width();
    m_nInitialHeight = outer.Height();
    // Keeps the view on the desktop however the main window lies.
    SendMessage(DM_REPOSITION, 0, 0);
    return TRUE;
}

void CDialogView::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_pExtraWnd != nullptr) {
        if (m_pExtraWnd->GetSafeHwnd() != nullptr) m_pExtraWnd->DestroyWindow();
        m_pExtraWnd = nullptr;
    }
    // During CreateView a lost window is that call's failure to handle.
    if (m_pOwnerSlot != nullptr && !m_bCreating) {
        ClearOwnerSlot();
        delete this;
    }
}

BOOL CDialogView::CreateBubbleHelp(int nInitialDelayMs, int nShownMs, bool bBalloon)
{
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (bBalloon || (m_pMainWnd != nullptr && m_pMainWnd->IsBalloonTipsOn())) style |= TTS_BALLOON;
    if (!m_toolTip.Create(this, style)) return FALSE;
    m_toolTip.SetDelayTime(TTDT_INITIAL, nInitialDelayMs);
    m_toolTip.SetDelayTime(TTDT_RESHOW, 50);
    m_toolTip.SetDelayTime(TTDT_AUTOPOP, nShownMs);
    m_toolTip.SetMaxTipWidth(200);
    m_toolTip.SetTipTextColor(RGB(0, 0, 128));
    return TRUE;
}

void CDialogView::AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText)
{
    if (m_toolTip.GetSafeHwnd() == nullptr && !CreateBubbleHelp(600, 30000, false)) return;
    HWND hControl = ::GetDlgItem(m_hWnd, static_cast<int>(nIDControl));
    if (hControl == nullptr) return;
    TOOLINFOA ti = {};
    ti.cbSize = CToolTipCtrl::ToolInfoSize();
    ti.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
    ti.hwnd = hControl;
    ti.uId = reinterpret_cast<UINT_PTR>(hControl);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    m_toolTip.AddTool(&ti);
}

void CDialogView::AddResizeRule(UINT nIDControl, int leftKind, int rightKind, int topKind, int bottomKind,
                                int options, double h1, double h2, double v1, double v2)
{
    CRect control;
    HWND h = ::GetDlgItem(m_hWnd, static_cast<int>(nIDControl));
    if (h != nullptr) {
        ::GetWindowRect(h, &control);
        ScreenToClient(&control);
    }
    CRect client;
    GetClientRect(&client);
    m_layout.AddRule(MakeResizeRule(static_cast<int>(nIDControl), leftKind, rightKind, topKind, bottomKind,
                                    options, h1, h2, v1, v2, control, client.Width(), client.Height()));
}

BOOL CDialogView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE && m_toolTip.GetSafeHwnd() != nullptr &&
        (m_pMainWnd == nullptr || m_pMainWnd->IsWindowBubbleHelpOn())) {
        // Static controls let the mouse through to the dialog, so the tool
        // of the control under the cursor is found here and the relayed
        // message made to look as if that control had it.
        MSG relay = *pMsg;
        POINT pt = pMsg->pt;
        ScreenToClient(&pt);
        HWND hChild = ::ChildWindowFromPoint(m_hWnd, pt);
        if (hChild != nullptr && hChild != m_hWnd && !m_bNoRetarget) {
            POINT cpt = pMsg->pt;
            ::ScreenToClient(hChild, &cpt);
            relay.hwnd = hChild;
            relay.lParam = MAKELPARAM(cpt.x, cpt.y);
        }
        m_toolTip.RelayEvent(&relay);
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CDialogView::OnSizingEdge(WPARAM wParam, LPARAM)
{
    const LRESULT r = Default();
    m_layout.SetSizingEdge(static_cast<int>(wParam));
    return r;
}

void CDialogView::OnSysCommand(UINT, LPARAM)
{
    // Maximise and restore lay out as a sizing by the bottom-right corner.
    m_layout.SetSizingEdge(8);
    Default();
}

void CDialogView::OnSize(UINT nType, int, int)
{
    Default();
    if (nType == SIZE_MINIMIZED) {
        // An empty client area would squeeze every control; the restore then
        // measures from the size before minimising and moves nothing.
        m_layout.SetSizingEdge(0);
        return;
    }
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    ViewResizeTarget target(*this);
    m_layout.Layout(client, target);
}

BOOL CDialogView::OnEraseBkgnd(CDC* pDC)
{
    if ((GetStyle() & WS_CLIPCHILDREN) == 0 && pDC != nullptr) {
        for (int i = 0; i < m_layout.GetRuleCount(); ++i) {
            const ResizeRule& rule = m_layout.GetRule(i);
            if (!rule.ExcludesErase()) continue;
            HWND h = ::GetDlgItem(m_hWnd, rule.id);
            if (h == nullptr || !::IsWindowVisible(h)) continue;
            CRect r;
            ::GetWindowRect(h, &r);
            ScreenToClient(&r);
            ::ExcludeClipRect(pDC->GetSafeHdc(), r.left, r.top, r.right, r.bottom);
        }
    }
    return static_cast<BOOL>(Default());
}
