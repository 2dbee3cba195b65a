// A colour button: a push button whose face shows a colour; a click opens
// the system's colour chooser and keeps the colour chosen there. Windows
// build only.
//
// It stands in for the full colour picker (a drop-down palette with
// "automatic" and "more colours" entries) that comes with the settings
// sheet; the dialogs that use it need only the colour, so the calls are the
// ones the full picker will keep: bind it to a dialog's push button with
// SubclassDlgItem or DDX_Control, then GetColor / SetColor.
//
// After a click the parent still receives the button's BN_CLICKED, with the
// new colour already in place (also when the chooser was cancelled).
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

class CColourPickerXP : public CButton {
  DECLARE_DYNAMIC(CColourPickerXP)

public:
  // Asks the user for a colour, starting from crInitial, for the window
  // hOwner; TRUE with *pChosen set when one was chosen.
  typedef BOOL (*ColourChooser)(HWND hOwner, COLORREF crInitial, COLORREF* pChosen);

  CColourPickerXP();

  COLORREF GetColor() const { return m_crColour; }
  // Shows the colour at once.
  void SetColor(COLORREF crColour);

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

  // The chooser every picker opens; tests install one that answers without
  // a modal window. nullptr restores the system's. Returns the previous one.
  static ColourChooser SetChooser(ColourChooser pfnChooser);
  // The system's colour chooser (ChooseColor), with the colours the user
  // saved as custom kept for the next time in this process.
  static BOOL ChooseWithSystemDialog(HWND hOwner, COLORREF crInitial, COLORREF* pChosen);

protected:
  // Makes the bound button owner-drawn.
  void PreSubclassWindow() override;
  afx_msg BOOL OnClicked();
  DECLARE_MESSAGE_MAP()

private:
  COLORREF m_crColour;
};

#endif  // _WIN32
