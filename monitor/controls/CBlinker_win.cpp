#include "controls/CBlinker.h"

#include "controls/ControlText.h"

namespace {
const UINT_PTR kBlinkTimer = 1;
const COLORREF kOutline = 0x800000;  // navy
const COLORREF kWhite = 0xFFFFFF;
}  // namespace

IMPLEMENT_DYNAMIC(CBlinker, CStatic)

BEGIN_MESSAGE_MAP(CBlinker, CStatic)
  ON_WM_PAINT()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CBlinker::CBlinker()
    : m_crFirst(0), m_crSecond(0), m_crCurrent(kWhite), m_nScheme(0), m_nPeriod(0),
      m_bPhase(false), m_bOnce(false), m_bBlinking(false), m_pCurrent(nullptr) {
  m_pen.CreatePen(PS_SOLID, 1, kOutline);
  m_brWhite.CreateSolidBrush(kWhite);
  SetColour(0, 0, false);
}

void CBlinker::SetColour(int scheme, int shade, bool stop) {
  if (stop && m_bBlinking) {
    if (m_hWnd != nullptr) KillTimer(kBlinkTimer);
    m_bBlinking = false;
  }
  COLORREF first = 0, second = 0;
  if (!GetBlinkerShades(scheme, &first, &second)) return;  // unknown scheme: unchanged
  m_nScheme = scheme;
  m_crFirst = first;
  m_crSecond = second;
  m_brFirst.DeleteObject();
  m_brSecond.DeleteObject();
  m_brFirst.CreateSolidBrush(first);
  m_brSecond.CreateSolidBrush(second);
  m_crCurrent = shade == 1 ? first : shade == 2 ? second : kWhite;
  m_pCurrent = shade == 1 ? &m_brFirst : shade == 2 ? &m_brSecond : &m_brWhite;
  m_bPhase = shade == 2;
  if (stop && m_hWnd != nullptr) Invalidate(FALSE);
}

void CBlinker::Show(bool second) {
  m_crCurrent = second ? m_crSecond : m_crFirst;
  m_pCurrent = second ? &m_brSecond : &m_brFirst;
  if (m_hWnd != nullptr) {
    Invalidate(FALSE);
    UpdateWindow();
  }
}

void CBlinker::StartBlinking(UINT periodMs, bool once) {
  m_nPeriod = periodMs;
  m_bOnce = once;
  m_bPhase = once;
  Show(once);
  m_bBlinking = m_hWnd != nullptr && SetTimer(kBlinkTimer, periodMs) != 0;
}

void CBlinker::StopBlinking(bool phase) {
  if (m_hWnd != nullptr) KillTimer(kBlinkTimer);
  m_bBlinking = false;
  m_bPhase = phase;
  Show(phase);
}

void CBlinker::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kBlinkTimer) {
    CStatic::OnTimer(nIDEvent);
    return;
  }
  if (!m_bBlinking) return;
  m_bPhase = !m_bPhase;
  Show(m_bPhase);
  if (m_bOnce) {
    KillTimer(kBlinkTimer);
    m_bBlinking = false;
  }
}

void CBlinker::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CBrush* pBrush = m_pCurrent != nullptr ? m_pCurrent : &m_brWhite;
  CPen* pOldPen = dc.SelectObject(&m_pen);
  CBrush* pOldBrush = dc.SelectObject(pBrush);
  dc.Ellipse(&rc);
  dc.SelectObject(pOldBrush);
  dc.SelectObject(pOldPen);
}

void CBlinker::OnDestroy() {
  KillTimer(kBlinkTimer);
  m_bBlinking = false;
  CStatic::OnDestroy();
}
