#include "controls/CColourPickerXP.h"

#include <commdlg.h>

namespace {

// The colour swatch sits inside the button's frame by this much; the focus
// rectangle runs between the two.
const int kFaceInset = 5;
const int kFocusInset = 3;
// Colours may carry a flag byte (an "automatic" colour); only the RGB part
// is drawn.
const COLORREF kRgbMask = 0x00FFFFFF;
const int kCustomColourCount = 16;
const COLORREF kWhite = RGB(255, 255, 255);

CColourPickerXP::ColourChooser g_pfnChooser = nullptr;

}  // namespace

IMPLEMENT_DYNAMIC(CColourPickerXP, CButton)

BEGIN_MESSAGE_MAP(CColourPickerXP, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, &CColourPickerXP::OnClicked)
END_MESSAGE_MAP()

CColourPickerXP::CColourPickerXP() : m_crColour(RGB(0, 0, 0)) {}

void CColourPickerXP::PreSubclassWindow() {
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CColourPickerXP::SetColor(COLORREF crColour) {
  m_crColour = crColour;
  if (m_hWnd != nullptr) Invalidate(FALSE);
}

void CColourPickerXP::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  HDC hdc = lpDIS->hDC;
  const bool pushed = (lpDIS->itemState & ODS_SELECTED) != 0;
  const bool disabled = (lpDIS->itemState & ODS_DISABLED) != 0;
  CRect rc(lpDIS->rcItem);
  ::DrawFrameControl(hdc, &rc, DFC_BUTTON,
                     DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));

  CRect face = rc;
  face.DeflateRect(kFaceInset, kFaceInset);
  if (pushed) face.OffsetRect(1, 1);
  if (!face.IsRectEmpty()) {
    // A disabled button shows no colour, only where the swatch would be.
    HBRUSH fill = ::CreateSolidBrush(disabled ? ::GetSysColor(COLOR_BTNFACE) : (m_crColour & kRgbMask));
    ::FillRect(hdc, &face, fill);
    ::DeleteObject(fill);
    ::FrameRect(hdc, &face, ::GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
  }
  if ((lpDIS->itemState & ODS_FOCUS) != 0) {
    CRect focus = rc;
    focus.DeflateRect(kFocusInset, kFocusInset);
    ::DrawFocusRect(hdc, &focus);
  }
}

BOOL CColourPickerXP::OnClicked() {
  ColourChooser choose = g_pfnChooser != nullptr ? g_pfnChooser : &ChooseWithSystemDialog;
  COLORREF chosen = m_crColour;
  // The chooser is modal to the whole window the button is in.
  if (choose(::GetAncestor(m_hWnd, GA_ROOT), m_crColour, &chosen)) SetColor(chosen);
  return FALSE;  // the parent hears about the click as well
}

CColourPickerXP::ColourChooser CColourPickerXP::SetChooser(ColourChooser pfnChooser) {
  ColourChooser previous = g_pfnChooser;
  g_pfnChooser = pfnChooser;
  return previous;
}

BOOL CColourPickerXP::ChooseWithSystemDialog(HWND hOwner, COLORREF crInitial, COLORREF* pChosen) {
  static COLORREF s_custom[kCustomColourCount] = {
      kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite,
      kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite};
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hOwner;
  cc.rgbResult = crInitial & kRgbMask;
  cc.lpCustColors = s_custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!::ChooseColorA(&cc)) return FALSE;
  if (pChosen != nullptr) *pChosen = cc.rgbResult;
  return TRUE;
}
