// CPropPageBubbleHelp: the base of the settings pages, a property page with
// the bubble help tool windows have. Windows build only.
//
// Mouse moves over the page's controls reach the tooltip only while the
// main window's "OptsWndBubbleHelp" setting is on; the relay runs in the
// page's PreTranslateMessage, inside the modal sheet's message loop.
#pragma once

#ifdef _WIN32

#include "controls/BubbleHelp.h"
#include "controls/CDialogView.h"
#include "framework/CPropertySheet.h"

class CPropPageBubbleHelp : public CPropertyPage {
    DECLARE_DYNAMIC(CPropPageBubbleHelp)

public:
    // pMainWnd: the main window (CMainWndDlg) whose settings the help
    // follows; not owned, may be null (help then always on).
    CPropPageBubbleHelp(IDialogViewHost* pMainWnd, UINT nIDTemplate);
    ~CPropPageBubbleHelp() override;

    // Bubble help for a control of the page; the tooltip is made on first
    // use (600 ms, 30 s) unless CreateBubbleHelp made it before.
    void AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText);
    template <size_t N>
    void AddBubbleHelp(const BubbleHelpText (&table)[N])
    {
        for (const BubbleHelpText& row : table) AddBubbleHelp(row.id, row.text);
    }
    BOOL CreateBubbleHelp(int nInitialDelayMs, int nShownMs);
    CToolTipCtrl& GetToolTip() { return m_bubbleHelp.GetToolTip(); }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    IDialogViewHost* GetMainWnd() const { return m_pMainWnd; }

protected:
    IDialogViewHost* m_pMainWnd;

private:
    CBubbleHelp m_bubbleHelp;
};

#endif  // _WIN32
