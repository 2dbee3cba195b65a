#include "controls/CPictureEx.h"

#include <string.h>

#include <list>

namespace {

const UINT_PTR kAnimationTimer = 1;
const int kHimetricPerInch = 2540;

// HIMETRIC size of a picture in pixels of the screen (or of hWnd's device).
SIZE PixelSize(IPicture* pPicture, HWND hWnd) {
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  pPicture->get_Width(&hmWidth);
  pPicture->get_Height(&hmHeight);
  HDC hDC = ::GetDC(hWnd);
  SIZE size;
  size.cx = MulDiv(hmWidth, ::GetDeviceCaps(hDC, LOGPIXELSX), kHimetricPerInch);
  size.cy = MulDiv(hmHeight, ::GetDeviceCaps(hDC, LOGPIXELSY), kHimetricPerInch);
  ::ReleaseDC(hWnd, hDC);
  return size;
}

// Renders the whole picture into the rectangle; OLE pictures are stored
// bottom-up, hence the source starting at the HIMETRIC height going up.
void Render(IPicture* pPicture, HDC hDC, int x, int y, int cx, int cy) {
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  pPicture->get_Width(&hmWidth);
  pPicture->get_Height(&hmHeight);
  pPicture->Render(hDC, x, y, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr);
}

// Copies a resource's bytes out of the module image.
bool FindResourceBytes(LPCTSTR name, LPCTSTR type, const BYTE** data, DWORD* size) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRes = ::FindResourceA(hInst, name, type);
  if (hRes == nullptr) return false;
  DWORD n = ::SizeofResource(hInst, hRes);
  HGLOBAL hData = ::LoadResource(hInst, hRes);
  const BYTE* p = hData != nullptr ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
  if (p == nullptr || n == 0) return false;
  *data = p;
  *size = n;
  return true;
}

}  // namespace

IPicture* LoadOlePicture(const BYTE* data, size_t size) {
  if (data == nullptr || size == 0 || size > 0x7FFFFFFF) return nullptr;
  HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (hCopy == nullptr) return nullptr;
  void* p = ::GlobalLock(hCopy);
  if (p == nullptr) {
    ::GlobalFree(hCopy);
    return nullptr;
  }
  memcpy(p, data, size);
  ::GlobalUnlock(hCopy);
  IStream* pStream = nullptr;
  // The stream frees the memory when it is released.
  if (FAILED(::CreateStreamOnHGlobal(hCopy, TRUE, &pStream))) {
    ::GlobalFree(hCopy);
    return nullptr;
  }
  // Some loaders create their decoders through COM; a thread that never
  // initialised it gets it for the duration of the load.
  HRESULT hrCom = ::CoInitialize(nullptr);
  IPicture* pPicture = nullptr;
  HRESULT hr = ::OleLoadPicture(pStream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<LPVOID*>(&pPicture));
  if (SUCCEEDED(hrCom)) ::CoUninitialize();
  pStream->Release();
  if (FAILED(hr)) {
    if (pPicture != nullptr) pPicture->Release();
    return nullptr;
  }
  return pPicture;
}

// ---- Resource pictures ----------------------------------------------------

namespace {

struct ResourcePicture {
  IPicture* pPicture;
  SIZE size;   // pixels
  POINT pos;   // client position
  HWND hWnd;
  OLE_XSIZE_HIMETRIC hmWidth;
  OLE_YSIZE_HIMETRIC hmHeight;
};

// Newest first. Touched from the GUI thread only, like the windows the
// pictures belong to.
std::list<ResourcePicture>& Pictures() {
  static std::list<ResourcePicture> list;
  return list;
}

void DrawOne(const ResourcePicture& rp, HDC hDC) {
  rp.pPicture->Render(hDC, rp.pos.x, rp.pos.y + rp.size.cy, rp.size.cx, -rp.size.cy, 0, 0,
                      rp.hmWidth, rp.hmHeight, nullptr);
}

}  // namespace

bool AddMemoryPicture(HWND hWnd, const BYTE* data, size_t size, int x, int y) {
  IPicture* pPicture = LoadOlePicture(data, size);
  if (pPicture == nullptr) return false;
  ResourcePicture rp = {};
  rp.pPicture = pPicture;
  rp.hWnd = hWnd;
  rp.pos.x = x;
  rp.pos.y = y;
  pPicture->get_Width(&rp.hmWidth);
  pPicture->get_Height(&rp.hmHeight);
  rp.size = PixelSize(pPicture, hWnd);
  Pictures().push_front(rp);
  if (hWnd != nullptr && ::IsWindow(hWnd)) {
    HDC hDC = ::GetDC(hWnd);
    DrawOne(rp, hDC);
    ::ReleaseDC(hWnd, hDC);
  }
  return true;
}

bool AddResourcePicture(HWND hWnd, UINT nResourceId, int x, int y, LPCTSTR lpszResourceType) {
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (!FindResourceBytes(MAKEINTRESOURCEA(nResourceId), lpszResourceType, &data, &size)) return false;
  return AddMemoryPicture(hWnd, data, size, x, y);
}

void DrawResourcePictures(HWND hWnd, HDC hDC) {
  for (const ResourcePicture& rp : Pictures()) {
    if (rp.hWnd == hWnd) DrawOne(rp, hDC);
  }
}

void RemoveResourcePictures(HWND hWnd) {
  std::list<ResourcePicture>& list = Pictures();
  for (auto it = list.begin(); it != list.end();) {
    if (it->hWnd == hWnd) {
      it->pPicture->Release();
      it = list.erase(it);
    } else {
      ++it;
    }
  }
}

int GetResourcePictureCount(HWND hWnd) {
  int n = 0;
  for (const ResourcePicture& rp : Pictures()) {
    if (hWnd == nullptr || rp.hWnd == hWnd) ++n;
  }
  return n;
}

bool GetResourcePictureSize(HWND hWnd, int index, SIZE* pSize) {
  for (const ResourcePicture& rp : Pictures()) {
    if (rp.hWnd != hWnd) continue;
    if (index-- == 0) {
      *pSize = rp.size;
      return true;
    }
  }
  return false;
}

// ---- CPictureEx -------------------------------------------------------------

IMPLEMENT_DYNAMIC(CPictureEx, CStatic)

BEGIN_MESSAGE_MAP(CPictureEx, CStatic)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CPictureEx::CPictureEx()
    : m_pPicture(nullptr),
      m_clrBackground(::GetSysColor(COLOR_BTNFACE)),
      m_hMemDC(nullptr),
      m_hBitmap(nullptr),
      m_hOldBitmap(nullptr),
      m_hDispMemDC(nullptr),
      m_hDispMemBM(nullptr),
      m_hDispOldBM(nullptr),
      m_rcDisp(),
      m_bIsGIF(FALSE),
      m_bIsPlaying(FALSE),
      m_bIsInitialized(FALSE),
      m_bHavePaintRect(FALSE),
      m_PaintRect() {}

CPictureEx::~CPictureEx() { UnLoad(); }

BOOL CPictureEx::Load(LPCTSTR szResourceName, LPCTSTR szResourceType) {
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (!FindResourceBytes(szResourceName, szResourceType, &data, &size)) return FALSE;
  HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (hGlobal == nullptr) return FALSE;
  void* p = ::GlobalLock(hGlobal);
  if (p == nullptr) {
    ::GlobalFree(hGlobal);
    return FALSE;
  }
  memcpy(p, data, size);
  ::GlobalUnlock(hGlobal);
  BOOL ok = Load(hGlobal, size);
  ::GlobalFree(hGlobal);
  return ok;
}

BOOL CPictureEx::Load(HGLOBAL hGlobal, DWORD dwSize) {
  UnLoad();
  if (hGlobal == nullptr || dwSize == 0) return FALSE;
  // The size handed in is trusted no further than the block itself.
  SIZE_T real = ::GlobalSize(hGlobal);
  size_t size = dwSize < real ? dwSize : real;
  const BYTE* data = static_cast<const BYTE*>(::GlobalLock(hGlobal));
  if (data == nullptr) return FALSE;
  BOOL ok = LoadBytes(data, size);
  ::GlobalUnlock(hGlobal);
  if (!ok) UnLoad();
  return ok;
}

BOOL CPictureEx::LoadBytes(const BYTE* data, size_t size) {
  if (IsGifSignature(data, size)) {
    GifInfo info;
    if (!ParseGif(data, size, info)) return FALSE;
    m_bIsGIF = TRUE;
    m_PictureSize = CSize(info.screenWidth, info.screenHeight);
    if (info.frames.size() == 1) {
      m_pPicture = LoadOlePicture(data, size);
    }
    if (m_pPicture == nullptr) {
      // Several images, or one the loader refused whole (a file cut short
      // after its image): one picture per frame.
      std::vector<GifFrameTiming> timing;
      for (size_t i = 0; i < info.frames.size(); ++i) {
        std::vector<uint8_t> one;
        if (!BuildGifFrame(data, size, info, i, one)) continue;
        IPicture* pFrame = LoadOlePicture(one.data(), one.size());
        if (pFrame == nullptr) continue;  // a frame that does not load is left out
        const GifFrameInfo& f = info.frames[i];
        TFrame frame;
        frame.m_pPicture = pFrame;
        frame.m_frameSize = CSize(f.width, f.height);
        frame.m_frameOffset = CSize(f.left, f.top);
        frame.m_nDelay = f.delay;
        frame.m_nDisposal = f.disposal;
        m_frames.push_back(frame);
        timing.push_back(GifFrameTiming{f.left, f.top, f.width, f.height, f.delay, f.disposal});
      }
      if (m_frames.empty()) return FALSE;
      m_animator.SetFrames(timing);
    }
  } else {
    m_pPicture = LoadOlePicture(data, size);
    if (m_pPicture == nullptr) return FALSE;
    m_PictureSize = PixelSize(m_pPicture, m_hWnd);
  }
  return PrepareDC(m_PictureSize.cx, m_PictureSize.cy);
}

BOOL CPictureEx::PrepareDC(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0 || m_hWnd == nullptr) return FALSE;
  SetWindowPos(nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER);
  HDC hWinDC = ::GetDC(m_hWnd);
  if (hWinDC == nullptr) return FALSE;
  m_hMemDC = ::CreateCompatibleDC(hWinDC);
  m_hBitmap = m_hMemDC != nullptr ? ::CreateCompatibleBitmap(hWinDC, nWidth, nHeight) : nullptr;
  ::ReleaseDC(m_hWnd, hWinDC);
  if (m_hMemDC == nullptr || m_hBitmap == nullptr) return FALSE;
  m_hOldBitmap = static_cast<HBITMAP>(::SelectObject(m_hMemDC, m_hBitmap));
  RECT rc = {0, 0, nWidth, nHeight};
  ::FillRect(m_hMemDC, &rc, ::GetSysColorBrush(COLOR_MENU));
  ::SetBkColor(m_hMemDC, m_clrBackground);
  m_bIsInitialized = TRUE;
  return TRUE;
}

void CPictureEx::RenderPicture(IPicture* pPicture, HDC hDC, int x, int y, int cx, int cy) {
  if (pPicture != nullptr && hDC != nullptr) Render(pPicture, hDC, x, y, cx, cy);
}

BOOL CPictureEx::Draw() {
  if (!m_bIsInitialized) return FALSE;
  if (IsAnimatedGIF()) {
    if (!m_bIsPlaying) {
      std::vector<GifDrawStep> steps;
      int ms = m_animator.Begin(steps);
      RunSteps(steps);
      m_bIsPlaying = SetTimer(kAnimationTimer, static_cast<UINT>(ms)) != 0;
    }
    return FALSE;
  }
  if (m_pPicture != nullptr) {
    RenderPicture(m_pPicture, m_hMemDC, 0, 0, m_PictureSize.cx, m_PictureSize.cy);
  } else if (!m_frames.empty()) {
    const TFrame& f = m_frames[0];
    RenderPicture(f.m_pPicture, m_hMemDC, f.m_frameOffset.cx, f.m_frameOffset.cy, f.m_frameSize.cx,
                  f.m_frameSize.cy);
  }
  Invalidate(FALSE);
  return TRUE;
}

void CPictureEx::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kAnimationTimer) {
    CStatic::OnTimer(nIDEvent);
    return;
  }
  if (!m_bIsPlaying) return;
  std::vector<GifDrawStep> steps;
  int ms = m_animator.Tick(steps);
  RunSteps(steps);
  // Re-arming replaces the period with the new frame's delay.
  SetTimer(kAnimationTimer, static_cast<UINT>(ms));
}

void CPictureEx::RunSteps(const std::vector<GifDrawStep>& steps) {
  for (const GifDrawStep& s : steps) {
    if (s.step == GifStep::ClearAll) {
      RECT all = {0, 0, m_PictureSize.cx, m_PictureSize.cy};
      FillBackground(all);
      continue;
    }
    if (s.frame < 0 || static_cast<size_t>(s.frame) >= m_frames.size()) continue;
    const TFrame& f = m_frames[s.frame];
    RECT rc = {f.m_frameOffset.cx, f.m_frameOffset.cy, f.m_frameOffset.cx + f.m_frameSize.cx,
               f.m_frameOffset.cy + f.m_frameSize.cy};
    switch (s.step) {
      case GifStep::SaveArea: {
        FreeSavedArea();
        HDC hWinDC = ::GetDC(m_hWnd);
        m_hDispMemDC = ::CreateCompatibleDC(hWinDC);
        m_hDispMemBM = ::CreateCompatibleBitmap(hWinDC, f.m_frameSize.cx, f.m_frameSize.cy);
        ::ReleaseDC(m_hWnd, hWinDC);
        if (m_hDispMemDC == nullptr || m_hDispMemBM == nullptr) {
          FreeSavedArea();
          break;
        }
        m_hDispOldBM = static_cast<HBITMAP>(::SelectObject(m_hDispMemDC, m_hDispMemBM));
        ::BitBlt(m_hDispMemDC, 0, 0, f.m_frameSize.cx, f.m_frameSize.cy, m_hMemDC, rc.left, rc.top,
                 SRCCOPY);
        m_rcDisp = rc;
        break;
      }
      case GifStep::DrawFrame:
        RenderPicture(f.m_pPicture, m_hMemDC, rc.left, rc.top, f.m_frameSize.cx, f.m_frameSize.cy);
        break;
      case GifStep::FillBackground:
        FillBackground(rc);
        break;
      case GifStep::RestoreArea:
        if (m_hDispMemDC != nullptr) {
          ::BitBlt(m_hMemDC, m_rcDisp.left, m_rcDisp.top, m_rcDisp.right - m_rcDisp.left,
                   m_rcDisp.bottom - m_rcDisp.top, m_hDispMemDC, 0, 0, SRCCOPY);
        }
        FreeSavedArea();
        break;
      case GifStep::Invalidate:
        Invalidate(FALSE);
        break;
      case GifStep::ClearAll:
        break;
    }
  }
}

void CPictureEx::FillBackground(const RECT& rc) {
  if (m_hMemDC == nullptr) return;
  HBRUSH hBrush = ::CreateSolidBrush(m_clrBackground);
  ::FillRect(m_hMemDC, &rc, hBrush);
  ::DeleteObject(hBrush);
}

void CPictureEx::FreeSavedArea() {
  if (m_hDispMemDC != nullptr && m_hDispOldBM != nullptr) ::SelectObject(m_hDispMemDC, m_hDispOldBM);
  if (m_hDispMemBM != nullptr) ::DeleteObject(m_hDispMemBM);
  if (m_hDispMemDC != nullptr) ::DeleteDC(m_hDispMemDC);
  m_hDispMemDC = nullptr;
  m_hDispMemBM = nullptr;
  m_hDispOldBM = nullptr;
}

void CPictureEx::Stop() {
  if (!m_bIsPlaying) return;
  if (m_hWnd != nullptr) KillTimer(kAnimationTimer);
  m_bIsPlaying = FALSE;
}

void CPictureEx::UnLoad() {
  Stop();
  if (m_pPicture != nullptr) {
    m_pPicture->Release();
    m_pPicture = nullptr;
  }
  for (TFrame& f : m_frames) {
    if (f.m_pPicture != nullptr) f.m_pPicture->Release();
  }
  m_frames.clear();
  m_animator.SetFrames({});
  FreeSavedArea();
  if (m_hMemDC != nullptr) {
    if (m_hOldBitmap != nullptr) ::SelectObject(m_hMemDC, m_hOldBitmap);
    ::DeleteDC(m_hMemDC);
  }
  if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
  m_hMemDC = nullptr;
  m_hBitmap = nullptr;
  m_hOldBitmap = nullptr;
  m_PictureSize = CSize();
  m_bIsGIF = FALSE;
  m_bIsInitialized = FALSE;
}

void CPictureEx::SetPaintRect(const RECT* lpRect) {
  m_bHavePaintRect = lpRect != nullptr;
  if (lpRect != nullptr) m_PaintRect = *lpRect;
}

BOOL CPictureEx::GetPaintRect(RECT* lpRect) const {
  if (!m_bHavePaintRect || lpRect == nullptr) return FALSE;
  *lpRect = m_PaintRect;
  return TRUE;
}

void CPictureEx::OnPaint() {
  CPaintDC dc(this);
  if (m_hMemDC == nullptr) return;
  if (m_bHavePaintRect) {
    ::BitBlt(dc.m_hDC, 0, 0, m_PaintRect.right - m_PaintRect.left, m_PaintRect.bottom - m_PaintRect.top,
             m_hMemDC, m_PaintRect.left, m_PaintRect.top, SRCCOPY);
  } else {
    ::BitBlt(dc.m_hDC, 0, 0, m_PictureSize.cx, m_PictureSize.cy, m_hMemDC, 0, 0, SRCCOPY);
  }
}

void CPictureEx::OnDestroy() {
  Stop();
  CStatic::OnDestroy();
}
