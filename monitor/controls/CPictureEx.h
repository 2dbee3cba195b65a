// Pictures stored as resources: the process-wide list of still pictures
// drawn at fixed places on windows, and CPictureEx, a static control that
// shows one picture and animates a GIF of several frames. Windows build
// only; the GIF structure work is portable (controls/GifFrames.h).
#pragma once

#ifdef _WIN32

#include "framework/afx.h"

#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "controls/GifFrames.h"

// Loads any picture the platform's OLE loader reads (GIF, JPEG, BMP, ICO,
// WMF) from bytes. nullptr when it cannot be read. The caller releases it.
IPicture* LoadOlePicture(const BYTE* data, size_t size);

// Resource pictures: loads the resource (id, type) of the program, adds it
// at the head of the list for hWnd at client position x, y and draws it at
// once. A missing resource or a picture that does not load adds nothing.
bool AddResourcePicture(HWND hWnd, UINT nResourceId, int x, int y, LPCTSTR lpszResourceType);
// The same for picture bytes already in memory.
bool AddMemoryPicture(HWND hWnd, const BYTE* data, size_t size, int x, int y);
// Draws every picture of hWnd at its place and pixel size (paint handler).
void DrawResourcePictures(HWND hWnd, HDC hDC);
// Releases every picture of hWnd.
void RemoveResourcePictures(HWND hWnd);
// How many pictures hWnd has (all windows' with nullptr).
int GetResourcePictureCount(HWND hWnd);
// The pixel size recorded for the i-th picture of hWnd, newest first.
bool GetResourcePictureSize(HWND hWnd, int index, SIZE* pSize);

class CPictureEx : public CStatic {
  DECLARE_DYNAMIC(CPictureEx)

public:
  CPictureEx();
  ~CPictureEx() override;

  // Loads a resource of this program; the bytes are copied into movable
  // global memory and loaded from there.
  BOOL Load(LPCTSTR szResourceName, LPCTSTR szResourceType);
  // Loads picture bytes held in global memory (never more than the block's
  // real size). Whatever was shown before is unloaded first. The control is
  // resized to the picture.
  BOOL Load(HGLOBAL hGlobal, DWORD dwSize);
  // Shows the picture. A GIF of several frames starts animating and returns
  // FALSE; anything else is drawn once and returns TRUE. FALSE with nothing
  // loaded.
  BOOL Draw();
  // Ends the animation; the current frame stays where it is, so Draw
  // resumes from it.
  void Stop();
  // Stops and releases everything loaded.
  void UnLoad();

  BOOL IsGIF() const { return m_bIsGIF; }
  BOOL IsAnimatedGIF() const { return m_bIsGIF && m_frames.size() > 1; }
  BOOL IsPlaying() const { return m_bIsPlaying; }
  BOOL IsLoaded() const { return m_bIsInitialized; }
  int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
  int GetCurrentFrame() const { return static_cast<int>(m_animator.GetCurrentFrame()); }
  CSize GetSize() const { return m_PictureSize; }
  COLORREF GetBkColor() const { return m_clrBackground; }
  void SetBkColor(COLORREF clr) { m_clrBackground = clr; }
  // Only this part of the picture is copied to the control (from its left
  // and top); nullptr paints the whole picture.
  void SetPaintRect(const RECT* lpRect);
  BOOL GetPaintRect(RECT* lpRect) const;

protected:
  afx_msg void OnPaint();
  afx_msg void OnDestroy();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()

private:
  struct TFrame {
    IPicture* m_pPicture = nullptr;
    CSize m_frameSize;
    CSize m_frameOffset;
    int m_nDelay = -1;
    int m_nDisposal = 0;
  };

  BOOL LoadBytes(const BYTE* data, size_t size);
  BOOL PrepareDC(int nWidth, int nHeight);
  void RenderPicture(IPicture* pPicture, HDC hDC, int x, int y, int cx, int cy);
  void RunSteps(const std::vector<GifDrawStep>& steps);
  void FillBackground(const RECT& rc);
  void FreeSavedArea();

  // Still pictures, and single-frame GIFs read as a whole.
  IPicture* m_pPicture;
  std::vector<TFrame> m_frames;
  GifAnimator m_animator;
  CSize m_PictureSize;
  COLORREF m_clrBackground;
  // The off-screen picture the control is painted from. Everything that
  // draws into it runs on the control's own (GUI) thread: the animation
  // is driven by a window timer, so painting never copies a half-drawn
  // frame and Stop never frees anything still in use.
  HDC m_hMemDC;
  HBITMAP m_hBitmap;
  HBITMAP m_hOldBitmap;
  // What a "restore to previous" frame covered, put back after it.
  HDC m_hDispMemDC;
  HBITMAP m_hDispMemBM;
  HBITMAP m_hDispOldBM;
  RECT m_rcDisp;
  BOOL m_bIsGIF;
  BOOL m_bIsPlaying;
  BOOL m_bIsInitialized;
  BOOL m_bHavePaintRect;
  RECT m_PaintRect;
};

#endif  // _WIN32
