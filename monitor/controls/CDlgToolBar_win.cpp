#include "controls/CDlgToolBar.h"

// ---- CDlgToolBar --------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDlgToolBar, CToolBar)

BEGIN_MESSAGE_MAP(CDlgToolBar, CToolBar)
END_MESSAGE_MAP()

CDlgToolBar::CDlgToolBar()
    : m_pCombos(nullptr),
      m_nComboCapacity(0),
      m_nCombosUsed(0),
      m_pButtons(nullptr),
      m_nButtonCapacity(0),
      m_nButtonsUsed(0),
      m_pPictures(nullptr),
      m_nPictureCapacity(0),
      m_nPicturesUsed(0) {}

CDlgToolBar::~CDlgToolBar() { FreePools(); }

void CDlgToolBar::FreePools() {
  delete[] m_pCombos;
  delete[] m_pButtons;
  delete[] m_pPictures;
  m_pCombos = nullptr;
  m_pButtons = nullptr;
  m_pPictures = nullptr;
  m_nCombosUsed = m_nButtonsUsed = m_nPicturesUsed = 0;
}

void CDlgToolBar::SetCapacities(int nCombos, int nButtons, int nPictures) {
  if (nCombos >= 0) m_nComboCapacity = nCombos;
  if (nButtons >= 0) m_nButtonCapacity = nButtons;
  if (nPictures >= 0) m_nPictureCapacity = nPictures;
}

BOOL CDlgToolBar::LoadDlgToolBar(UINT nIDResource) {
  if (nIDResource != 0 && !LoadToolBar(nIDResource)) return FALSE;
  SetBarStyle(GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
  ModifyStyle(0, TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
  FreePools();
  if (m_nComboCapacity > 0) m_pCombos = new CComboBox[m_nComboCapacity];
  if (m_nButtonCapacity > 0) m_pButtons = new CButtonST[m_nButtonCapacity];
  if (m_nPictureCapacity > 0) m_pPictures = new CPictureEx[m_nPictureCapacity];
  return TRUE;
}

CComboBox* CDlgToolBar::TakeCombo() {
  if (m_pCombos == nullptr || m_nCombosUsed >= m_nComboCapacity) return nullptr;
  return &m_pCombos[m_nCombosUsed++];
}

CButtonST* CDlgToolBar::TakeButton() {
  if (m_pButtons == nullptr || m_nButtonsUsed >= m_nButtonCapacity) return nullptr;
  return &m_pButtons[m_nButtonsUsed++];
}

CPictureEx* CDlgToolBar::TakePicture() {
  if (m_pPictures == nullptr || m_nPicturesUsed >= m_nPictureCapacity) return nullptr;
  return &m_pPictures[m_nPicturesUsed++];
}

// ---- CStatusBarEx -------------------------------------------------------------

IMPLEMENT_DYNAMIC(CStatusBarEx, CStatusBar)

BEGIN_MESSAGE_MAP(CStatusBarEx, CStatusBar)
  ON_WM_CREATE()
END_MESSAGE_MAP()

CStatusBarEx::CStatusBarEx() {}

CStatusBarEx::~CStatusBarEx() {}

void CStatusBarEx::MakeFont() {
  if (m_Font.m_hObject != nullptr) return;
  m_Font.CreatePointFont(90, "Courier New");
}

BOOL CStatusBarEx::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  if (!CStatusBar::Create(pParentWnd, dwStyle, nID)) return FALSE;
  // The window may have been created before its messages reached the map.
  MakeFont();
  return TRUE;
}

int CStatusBarEx::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  int r = CStatusBar::OnCreate(lpCreateStruct);
  if (r != -1) MakeFont();
  return r;
}

BOOL CStatusBarEx::CreateToolTip(int nInitialDelay, int nShownTime, BOOL bBalloon) {
  if (m_ToolTip.GetSafeHwnd() != nullptr) return TRUE;
  DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX | (bBalloon ? TTS_BALLOON : 0);
  if (!m_ToolTip.Create(this, style)) return FALSE;
  m_ToolTip.SetDelayTime(TTDT_INITIAL, nInitialDelay);
  m_ToolTip.SetDelayTime(TTDT_AUTOPOP, nShownTime);
  m_ToolTip.SetDelayTime(TTDT_RESHOW, 50);
  m_ToolTip.SetMaxTipWidth(500);
  m_ToolTip.SetTipTextColor(RGB(0, 0, 128));
  CRect rc;
  GetClientRect(&rc);
  m_strTip.Empty();
  m_ToolTip.AddTool(this, "", &rc, 1);
  if (m_Font.m_hObject != nullptr) m_ToolTip.SetFont(&m_Font);
  return TRUE;
}

void CStatusBarEx::SetToolTipText(LPCTSTR lpszText) {
  m_strTip = lpszText != nullptr ? lpszText : "";
  if (m_ToolTip.GetSafeHwnd() != nullptr) m_ToolTip.UpdateTipText(m_strTip, this, 1);
}

BOOL CStatusBarEx::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEMOVE && m_ToolTip.GetSafeHwnd() != nullptr) {
    RECT rcPane = {};
    ::SendMessageA(m_hWnd, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&rcPane));
    POINT pt = pMsg->pt;
    ScreenToClient(&pt);
    if (::PtInRect(&rcPane, pt)) m_ToolTip.RelayEvent(pMsg);
  }
  return CStatusBar::PreTranslateMessage(pMsg);
}
