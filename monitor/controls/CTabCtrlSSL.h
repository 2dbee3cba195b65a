// CTabCtrlSSL: the tab control of every tabbed tool window. Windows build
// only.
//
// A host dialog holds one (through a class of its own that overrides the
// hooks) and adds its pages, each a CTabPageSSL made from a template. The
// control keeps which page belongs to which tab, shows only the page of the
// selected tab, sizes it to fill the control beside the tabs, remembers the
// control of each page that last had the focus, and hands on to the host
// what the pages send to their parent.
//
// A user's tab change calls OnPageHiding for the tab left and OnPageShown
// for the tab chosen; ActivatePage, the program's own change, calls
// neither. Their defaults call OnLeavePage and OnActivatePage, which do
// nothing, so a host may override either pair.
#pragma once

#ifdef _WIN32

#include <vector>

#include "controls/CTabPageSSL.h"
#include "framework/CCommonCtrls.h"

class CTabCtrlSSL : public CTabCtrl {
    DECLARE_DYNAMIC(CTabCtrlSSL)

public:
    CTabCtrlSSL();
    ~CTabCtrlSSL() override;

    // Adds a tab at the end for the page (made from its template already),
    // which becomes a child of this control. The first page is shown;
    // later ones keep the visibility they were made with. The tab's index,
    // or -1 when the tab cannot be inserted or the page is null (the tables
    // are then as before). The page stays the caller's.
    int AddPage(LPCTSTR lpszTitle, int nPageID, CTabPageSSL* pPage);

    int GetPageCount() const { return GetItemCount(); }
    // False for an index out of range; the text is read up to 1024 characters.
    bool GetPageTitle(int nIndex, CString& strTitle) const;
    // Selects the tab and shows its page, giving the focus back to the page's
    // control that last had it. False for an index out of range, true at once
    // for the selected tab.
    bool ActivatePage(int nIndex);
    // -1 when no tab is selected.
    int GetActivePageIndex() const { return GetCurSel(); }
    // Nullptr for an index out of range.
    CTabPageSSL* GetPage(int nIndex) const;
    CTabPageSSL* GetActivePage() const { return GetPage(GetActivePageIndex()); }
    // The first tab whose page has the id, -1 when none.
    int FindPageById(int nPageID) const;
    // Places the tab's page in a client area of width x height beside the
    // rows of tabs (controls/TabLayout.h); nothing for -1 or a tab without a
    // page.
    void SizePage(int nIndex, int nWidth, int nHeight);

protected:
    // A page was added: true makes its first child the control that gets the
    // focus when the page is shown, false the window that has the focus now.
    virtual bool OnPageAdded(int nIndex, int nPageID);
    // The user chose the tab (also for a tab without a page).
    virtual void OnPageShown(int nIndex, int nPageID);
    // The user is leaving the tab.
    virtual void OnPageHiding(int nIndex, int nPageID);
    // The control is being destroyed, last tab first; the page still exists.
    virtual void OnPageClosing(int nIndex, int nPageID);
    // What OnPageShown and OnPageHiding do unless overridden: nothing.
    virtual void OnActivatePage(int nIndex, int nPageID);
    virtual void OnLeavePage(int nIndex, int nPageID);

    // What a page sends to its parent goes on to the host unchanged.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnDestroy();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    struct PageEntry {
        CTabPageSSL* page;
        bool deleteWithControl;  // the control deletes the page object at its end
    };

    bool IsValidIndex(int nIndex) const;
    int PageId(int nIndex) const;
    // Remembers hWnd as the page's focus control when it is inside the page:
    // the focus elsewhere (the host's buttons, the tabs) is not the page's.
    void RememberFocus(int nIndex, HWND hWnd);
    void HidePage(int nIndex);
    // Sizes the page to the control, shows it and focuses its control.
    void ShowPage(int nIndex);
    void SizePageToClient(int nIndex);

    // One entry per tab, in tab order.
    std::vector<PageEntry> m_pages;
    std::vector<HWND> m_focus;
    std::vector<int> m_pageIds;
};

#endif  // _WIN32
