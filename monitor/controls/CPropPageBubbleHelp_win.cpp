#include "controls/CPropPageBubbleHelp.h"

IMPLEMENT_DYNAMIC(CPropPageBubbleHelp, CPropertyPage)

CPropPageBubbleHelp::CPropPageBubbleHelp(IDialogViewHost* pMainWnd, UINT nIDTemplate)
    : CPropertyPage(nIDTemplate), m_pMainWnd(pMainWnd)
{
}

CPropPageBubbleHelp::~CPropPageBubbleHelp() {}

void CPropPageBubbleHelp::AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText)
{
    m_bubbleHelp.Add(this, m_pMainWnd, nIDControl, lpszText);
}

BOOL CPropPageBubbleHelp::CreateBubbleHelp(int nInitialDelayMs, int nShownMs)
{
    return m_bubbleHelp.Create(this, m_pMainWnd, nInitialDelayMs, nShownMs);
}

BOOL CPropPageBubbleHelp::PreTranslateMessage(MSG* pMsg)
{
    m_bubbleHelp.Relay(this, m_pMainWnd, pMsg);
    return CPropertyPage::PreTranslateMessage(pMsg);
}
