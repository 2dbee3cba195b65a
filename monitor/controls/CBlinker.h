// A round status lamp (the Tx/Rx lamps) in one of seven colour schemes,
// optionally blinking between the scheme's two shades. Windows build only.
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

class CBlinker : public CStatic {
  DECLARE_DYNAMIC(CBlinker)

public:
  CBlinker();
  // Scheme 0-6 (see GetBlinkerShades); shade 1 or 2 picks the scheme's first
  // or second shade, anything else white. With stop the blinking ends first
  // and the lamp is repainted.
  void SetColour(int scheme, int shade, bool stop);
  // Shows the starting shade at once (the second with once, else the
  // first) and then the other shade every period; with once only one
  // change follows.
  void StartBlinking(UINT periodMs, bool once);
  // Ends the blinking on the second shade (phase true) or the first.
  void StopBlinking(bool phase);

  int GetScheme() const { return m_nScheme; }
  bool IsBlinking() const { return m_bBlinking; }
  // The colour the lamp is filled with now.
  COLORREF GetCurrentColour() const { return m_crCurrent; }

protected:
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  void Show(bool second);

  CPen m_pen;
  CBrush m_brFirst;
  CBrush m_brSecond;
  CBrush m_brWhite;
  COLORREF m_crFirst;
  COLORREF m_crSecond;
  COLORREF m_crCurrent;
  int m_nScheme;
  UINT m_nPeriod;
  bool m_bPhase;  // true while the second shade is up
  bool m_bOnce;
  bool m_bBlinking;
  CBrush* m_pCurrent;  // one of the three brushes
};

#endif  // _WIN32
