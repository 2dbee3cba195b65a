// CTabPageSSL: the base of every page of a tabbed tool window. Windows build
// only.
//
// A page is a child dialog that a host window creates from its template and
// adds to its CTabCtrlSSL. The base gives it bubble help, registration for
// receiver events at the main window's link, and the operations through
// which the host drives every page alike: query, set, copy, initialise,
// may-close, raw packet and protocol change. Enter and Escape inside a page
// close nothing.
#pragma once

#ifdef _WIN32

#include "controls/BubbleHelp.h"
#include "controls/CDialogView.h"
#include "framework/CDialog.h"

class CTabPageSSL : public CDialog {
    DECLARE_DYNAMIC(CTabPageSSL)

public:
    explicit CTabPageSSL(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CTabPageSSL() override;

    // The main window (CMainWndDlg) the page belongs to; the host sets it
    // before the page adds bubble help or registers for events. Not owned.
    void SetMainWnd(IDialogViewHost* pMainWnd) { m_pMainWnd = pMainWnd; }
    IDialogViewHost* GetMainWnd() const { return m_pMainWnd; }

    // Registers the page's window for WM_RECEIVER_EVENT at the main window's
    // link (true) or removes it (false); nothing without a main window.
    void EnableEvents(bool enable);

    // Bubble help for a control of the page; the tooltip is made on first use
    // (600 ms, 30 s) unless CreateBubbleHelp made it before.
    void AddBubbleHelp(UINT nIDControl, LPCTSTR lpszText);
    template <size_t N>
    void AddBubbleHelp(const BubbleHelpText (&table)[N])
    {
        for (const BubbleHelpText& row : table) AddBubbleHelp(row.id, row.text);
    }
    BOOL CreateBubbleHelp(int nInitialDelayMs, int nShownMs);
    CToolTipCtrl& GetToolTip() { return m_bubbleHelp.GetToolTip(); }

    // Relays mouse moves to the bubble help, then the dialog's keys.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Enter and Escape in a page do nothing.
    void OnOK() override;
    void OnCancel() override;

    // What hosts ask of their pages; the defaults do nothing and agree.
    // Query the receiver for the page's data (the host's Query button).
    virtual void OnQuery();
    // Send the page's selections to the receiver (the host's Set button).
    virtual void OnSet();
    // Copy the page's content as text (the host's Copy button).
    virtual bool CopyToClipboard();
    // Once per page from the host's OnInitDialog.
    virtual bool InitPage();
    // Asked of every page when the host closes; false keeps the host open.
    virtual bool CanClose();
    // A raw diagnostic packet the main window passes to the selected page.
    virtual void OnRawPacket(const BYTE* data, int length);
    // The link's command protocol (ProtocolKind) changed.
    virtual void OnProtocolChanged(int protocol);
    // Receiver events, once per posted WM_RECEIVER_EVENT: the code and
    // (link id << 16) | detail. The result is the message's result.
    virtual LRESULT OnModelUpdate(WPARAM event, LPARAM param);

    // Derived pages set and test it for their own use; true at first.
    bool m_bPageFlag;

protected:
    afx_msg LRESULT OnReceiverEvent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    IDialogViewHost* m_pMainWnd;

private:
    CBubbleHelp m_bubbleHelp;
};

#endif  // _WIN32
