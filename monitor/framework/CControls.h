// Control wrappers: CButton, CStatic, CEdit, CComboBox (owner-draw too),
// CListBox, CDateTimeCtrl, CProgressCtrl, CToolTipCtrl and CImageList.
// Windows build only.
//
// Each is a CWnd of the system's control class; created with Create or bound
// to a dialog's control with DDX_Control / SubclassDlgItem. Owner-draw
// controls get DrawItem / MeasureItem calls through reflection from the
// parent's WM_DRAWITEM / WM_MEASUREITEM.
#pragma once

#ifdef _WIN32

#include "framework/CTime.h"
#include "framework/CWnd.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)

public:
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
  }
  int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
  UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
  void SetState(BOOL bHighlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, bHighlight, 0); }
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { ::SendMessageA(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
  }
  // BS_OWNERDRAW buttons draw here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// List box: filling, selection and reading back entries.
class CListBox : public CWnd {
public:
  int GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  int AddString(LPCTSTR lpszItem) { return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem))); }
  int InsertString(int nIndex, LPCTSTR lpszItem) {
    return static_cast<int>(Send(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszItem)));
  }
  int DeleteString(UINT nIndex) { return static_cast<int>(Send(LB_DELETESTRING, nIndex)); }
  void ResetContent() { Send(LB_RESETCONTENT); }
  // Single-selection list boxes; LB_ERR when nothing is selected.
  int GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  int SetCurSel(int nSelect) { return static_cast<int>(Send(LB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return static_cast<int>(Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
  }
  DWORD_PTR GetItemData(int nIndex) const { return static_cast<DWORD_PTR>(Send(LB_GETITEMDATA, static_cast<WPARAM>(nIndex))); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(Send(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
  }
  int GetTextLen(int nIndex) const { return static_cast<int>(Send(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex))); }
  int GetText(int nIndex, CString& rString) const {
    int len = GetTextLen(nIndex);
    if (len < 0) { rString.Empty(); return LB_ERR; }
    int got = static_cast<int>(Send(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(rString.GetBuffer(len + 1))));
    rString.ReleaseBuffer(got < 0 ? 0 : got);
    return got;
  }

private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

// Date-time picker ("SysDateTimePick32"): a date (DTS_SHORTDATEFORMAT) or a
// time (DTS_TIMEFORMAT) in local time. Changes reach the parent as
// WM_NOTIFY DTN_DATETIMECHANGE (ON_NOTIFY).
class CDateTimeCtrl : public CWnd {
  DECLARE_DYNAMIC(CDateTimeCtrl)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  // TRUE when the control holds a time (with DTS_SHOWNONE it may hold none).
  BOOL GetTime(SYSTEMTIME* pTimeDest) const;
  BOOL GetTime(CTime& timeDest) const;
  // nullptr clears a DTS_SHOWNONE control. FALSE when the control refuses
  // the time (outside its range, or no such date).
  BOOL SetTime(const SYSTEMTIME* pTimeNew);
  BOOL SetTime(const CTime& timeNew);
};

// Registers the common control classes the dialogs' templates may name
// (date-time pickers among them); once per process, before a dialog or a
// control of those classes is created.
void AfxInitCommonControls();

// Rich edit control: selection and copy to the clipboard.
class CRichEditCtrl : public CWnd {
public:
  void SetSel(long nStartChar, long nEndChar) { ::SendMessageA(m_hWnd, EM_SETSEL, nStartChar, nEndChar); }
  void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
};

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)

public:
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF) {
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
  }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0)); }
  HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0)); }
  HICON GetIcon() const { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0)); }
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    ::SendMessageA(m_hWnd, EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
  }
  void LimitText(int nChars = 0) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, nChars, 0); }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    ::SendMessageA(m_hWnd, EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
  }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETREADONLY, bReadOnly, 0)); }
  int GetLineCount() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
  int SetCurSel(int nSelect) { return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
  int AddString(LPCTSTR lpszString) { return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString))); }
  int InsertString(int nIndex, LPCTSTR lpszString) {
    return static_cast<int>(Send(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszString)));
  }
  int DeleteString(UINT nIndex) { return static_cast<int>(Send(CB_DELETESTRING, nIndex)); }
  void ResetContent() { Send(CB_RESETCONTENT); }
  int GetLBTextLen(int nIndex) const { return static_cast<int>(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex))); }
  void GetLBText(int nIndex, CString& rString) const;
  int FindString(int nStartAfter, LPCTSTR lpszString) const {
    return static_cast<int>(Send(CB_FINDSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return static_cast<int>(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart), reinterpret_cast<LPARAM>(lpszFind)));
  }
  int SelectString(int nStartAfter, LPCTSTR lpszString) {
    return static_cast<int>(Send(CB_SELECTSTRING, static_cast<WPARAM>(nStartAfter), reinterpret_cast<LPARAM>(lpszString)));
  }
  DWORD_PTR GetItemData(int nIndex) const { return static_cast<DWORD_PTR>(Send(CB_GETITEMDATA, static_cast<WPARAM>(nIndex))); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(Send(CB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
  }
  void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
  int SetItemDataPtr(int nIndex, void* p) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(p)); }
  // nIndex -1: the selection field's height.
  int GetItemHeight(int nIndex) const { return static_cast<int>(Send(CB_GETITEMHEIGHT, static_cast<WPARAM>(nIndex))); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return static_cast<int>(Send(CB_SETITEMHEIGHT, static_cast<WPARAM>(nIndex), cyItemHeight));
  }
  BOOL GetDroppedState() const { return static_cast<BOOL>(Send(CB_GETDROPPEDSTATE)); }
  void ShowDropDown(BOOL bShowIt = TRUE) { Send(CB_SHOWDROPDOWN, bShowIt); }
  void GetDroppedControlRect(LPRECT lprect) const { Send(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(lprect)); }
  int SetDroppedWidth(UINT nWidth) { return static_cast<int>(Send(CB_SETDROPPEDWIDTH, nWidth)); }
  int GetDroppedWidth() const { return static_cast<int>(Send(CB_GETDROPPEDWIDTH)); }
  BOOL LimitText(int nMaxChars) { return static_cast<BOOL>(Send(CB_LIMITTEXT, static_cast<WPARAM>(nMaxChars))); }
  int GetTopIndex() const { return static_cast<int>(Send(CB_GETTOPINDEX)); }

  // Owner-draw combo boxes (CBS_OWNERDRAWFIXED/VARIABLE) draw and measure
  // their items here.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {}
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) { return 0; }
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
};

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)

public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  // The 16-bit range of the control: use SetRange32 for anything larger.
  void SetRange(short nLower, short nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, nLower, nUpper); }
  void GetRange(int& nLower, int& nUpper) const {
    PBRANGE r = {};
    ::SendMessageA(m_hWnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&r));
    nLower = r.iLow, nUpper = r.iHigh;
  }
  int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
  int SetPos(int nPos) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, nPos, 0)); }
  int OffsetPos(int nPos) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_DELTAPOS, nPos, 0)); }
  int SetStep(int nStep) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, nStep, 0)); }
  int StepIt() { return static_cast<int>(::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0)); }
  COLORREF SetBarColor(COLORREF clr) { return static_cast<COLORREF>(::SendMessageA(m_hWnd, PBM_SETBARCOLOR, 0, clr)); }
  COLORREF SetBkColor(COLORREF clr) { return static_cast<COLORREF>(::SendMessageA(m_hWnd, PBM_SETBKCOLOR, 0, clr)); }
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)

public:
  // A pop-up tooltip owned by pParentWnd; dwStyle adds TTS_* styles
  // (TTS_BALLOON, TTS_ALWAYSTIP, TTS_NOPREFIX).
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool for a window (TTF_IDISHWND) or a rectangle of it (nIDTool).
  // Tools with TTF_SUBCLASS see the mouse themselves; others need
  // RelayEvent from the owner's PreTranslateMessage.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKA, LPCRECT lpRectTool = nullptr,
               UINT_PTR nIDTool = 0);
  BOOL AddTool(TOOLINFOA* pToolInfo) { return static_cast<BOOL>(::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(pToolInfo))); }
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  BOOL GetToolInfo(TOOLINFOA* pToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
  void SetToolInfo(TOOLINFOA* pToolInfo) { ::SendMessageA(m_hWnd, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(pToolInfo)); }
  void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
  int GetToolCount() const { return static_cast<int>(::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0)); }
  void RelayEvent(LPMSG lpMsg) { ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
  void Activate(BOOL bActivate) { ::SendMessageA(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
  void SetDelayTime(UINT nDelay) { ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
  // dwDuration: TTDT_INITIAL, TTDT_AUTOPOP or TTDT_RESHOW.
  void SetDelayTime(DWORD dwDuration, int iTime) { ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0)); }
  int GetDelayTime(DWORD dwDuration) const { return static_cast<int>(::SendMessageA(m_hWnd, TTM_GETDELAYTIME, dwDuration, 0)); }
  int SetMaxTipWidth(int iWidth) { return static_cast<int>(::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, iWidth)); }
  int GetMaxTipWidth() const { return static_cast<int>(::SendMessageA(m_hWnd, TTM_GETMAXTIPWIDTH, 0, 0)); }
  void SetTipTextColor(COLORREF clr) { ::SendMessageA(m_hWnd, TTM_SETTIPTEXTCOLOR, clr, 0); }
  void SetTipBkColor(COLORREF clr) { ::SendMessageA(m_hWnd, TTM_SETTIPBKCOLOR, clr, 0); }
  COLORREF GetTipTextColor() const { return static_cast<COLORREF>(::SendMessageA(m_hWnd, TTM_GETTIPTEXTCOLOR, 0, 0)); }
  void Pop() { ::SendMessageA(m_hWnd, TTM_POP, 0, 0); }
  void Update() { ::SendMessageA(m_hWnd, TTM_UPDATE, 0, 0); }
  // Tracked tools (TTF_TRACK): shown where and while the owner says.
  void TrackActivate(BOOL bActivate, TOOLINFOA* pToolInfo) {
    ::SendMessageA(m_hWnd, TTM_TRACKACTIVATE, bActivate, reinterpret_cast<LPARAM>(pToolInfo));
  }
  void TrackPosition(int x, int y) { ::SendMessageA(m_hWnd, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y)); }

  // The TOOLINFO size every comctl32 version accepts.
  static UINT ToolInfoSize() { return TTTOOLINFOA_V2_SIZE; }
  void FillInToolInfo(TOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};

class CImageList : public CObject {
public:
  CImageList() : m_hImageList(nullptr) {}
  ~CImageList() override { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  // nFlags: ILC_COLOR24 | ILC_MASK and the like.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL Attach(HIMAGELIST h);
  HIMAGELIST Detach();
  BOOL DeleteImageList();
  // Adds the bitmap's images; crMask marks the transparent colour.
  int Add(CBitmap* pbmImage, COLORREF crMask) {
    return ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(pbmImage->m_hObject), crMask);
  }
  int Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Add(m_hImageList, static_cast<HBITMAP>(pbmImage->m_hObject),
                         pbmMask != nullptr ? static_cast<HBITMAP>(pbmMask->m_hObject) : nullptr);
  }
  int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
  BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
  }
  HICON ExtractIcon(int nImage) { return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }
  COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }

  HIMAGELIST m_hImageList;
};

#endif  // _WIN32
