#include "controls/CTabPageSSL.h"

#include "link/CController.h"
#include "model/ReceiverEvent.h"

IMPLEMENT_DYNAMIC(CTabPageSSL, CDialog)

BEGIN_MESSAGE_MAP(CTabPageSSL, CDialog)
    ON_MESSAGE(WM_RECEIVER_EVENT, &CTabPageSSL::OnReceiverEvent)
END_MESSAGE_MAP()

CTabPageSSL::CTabPageSSL(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_bPageFlag(true), m_pMainWnd(nullptr)
{
}

// The bubble help's tooltip goes first, then the page's window.
CTabPageSSL::~CTabPageSSL()
{
    if (m_bubbleHelp.GetToolTip().GetSafeHwnd() != nullptr) m_bubbleHelp.GetToolTip().DestroyWindow();
}

void CTabPageSSL::EnableEvents(bool enable)
{
    if (m_pMainWnd == nullptr || m_hWnd == nullptr) return;
    CController* controller = m_pMainWnd->GetViewController();
    if (controller == nullptr) return;
    if (enable)
        controller->AddListener(m_hWnd, WM_RECEIVER_EVENT);
    else
        controller->RemoveListener(m_hWnd);
}

void CTabPageSSL::AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText)
{
    m_bubbleHelp.Add(this, m_pMainWnd, nIDControl, lpszText);
}

BOOL CTabPageSSL::CreateBubbleHelp(int nInitialDelayMs, int nShownMs)
{
    return m_bubbleHelp.Create(this, m_pMainWnd, nInitialDelayMs, nShownMs);
}

BOOL CTabPageSSL::PreTranslateMessage(MSG* pMsg)
{
    m_bubbleHelp.Relay(this, m_pMainWnd, pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CTabPageSSL::OnOK() {}
void CTabPageSSL::OnCancel() {}

void CTabPageSSL::OnQuery() {}
void CTabPageSSL::OnSet() {}
bool CTabPageSSL::CopyToClipboard() { return true; }
bool CTabPageSSL::InitPage() { return true; }
bool CTabPageSSL::CanClose() { return true; }
void CTabPageSSL::OnRawPacket(const BYTE*, int) {}
void CTabPageSSL::OnProtocolChanged(int) {}
LRESULT CTabPageSSL::OnModelUpdate(WPARAM, LPARAM) { return 0; }

LRESULT CTabPageSSL::OnReceiverEvent(WPARAM wParam, LPARAM lParam) { return OnModelUpdate(wParam, lParam); }
