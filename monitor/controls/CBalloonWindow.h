// The monitor's balloon: a rounded, borderless, top-most pop-up message
// filled with one colour, framed and lettered in another, that closes itself
// after a number of seconds or when clicked. At most one is shown in the
// process at a time. Windows build only.
//
// Show balloons with ShowBalloon / ShowBalloonOverWindow and close the shown
// one with CloseActiveBalloon (windows that close take their balloon with
// them). The balloon owns itself: its window going away deletes it and
// forgets it as the shown balloon, whichever way it closed. A balloon that
// cannot be made leaves nothing behind.
#pragma once

#ifdef _WIN32

#include "framework/CFrameWnd.h"
#include "framework/CGdi.h"

class CBalloonWindow : public CFrameWnd {
    DECLARE_DYNAMIC(CBalloonWindow)

public:
    CBalloonWindow();
    ~CBalloonWindow() override;

    // Creates the balloon in the screen rectangle, starts its timer of
    // `seconds` and shows it top-most without activating it, moved down by
    // the caption and the sizing frames' height. False when the window or
    // its shape cannot be made; the object is then the caller's to delete.
    BOOL Create(const CRect& rect, LPCTSTR lpszText, int seconds, COLORREF textColour, COLORREF fillColour);

    // The balloon and its hidden owner are of one class: drop-shadowed on
    // Windows XP and later NT (DetectWindowsVersion), plain otherwise. The
    // owner keeps the balloon off the task bar.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // What the last paint did: the text's rectangle and the DrawText format
    // (DT_SINGLELINE | DT_VCENTER for a text that fits on one line, else
    // DT_WORDBREAK; DT_CENTER when centred).
    const CRect& GetTextRect() const { return m_textRect; }
    UINT GetLastTextFormat() const { return m_lastTextFormat; }

    // Test seam: how the copy of the shape given to the window is made;
    // nullptr from it fails the creation. nullptr restores the real one.
    typedef HRGN (*RegionCopier)(HRGN shape);
    static void SetRegionCopier(RegionCopier copier);

    // The timer that closes the balloon.
    static const UINT_PTR kCloseTimer = 1;

protected:
    // Forgets the balloon as the shown one, then deletes it.
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void Close();

    CRect m_textRect;
    CString m_text;
    CFont m_font;
    COLORREF m_textColour;
    COLORREF m_fillColour;
    CRgn m_shape;
    CWnd m_owner;
    UINT m_lastTextFormat;
};

// Closes the shown balloon and shows a width x height one centred on the
// screen point (x, y), its text centred or left-aligned. The new balloon, or
// nullptr when it could not be made (then none is shown).
CBalloonWindow* ShowBalloon(int x, int y, int width, int height, LPCTSTR text, int seconds,
                            COLORREF textColour, COLORREF fillColour, bool centred);
// The same centred on the window's screen rectangle (the desktop's without
// a window).
CBalloonWindow* ShowBalloonOverWindow(CWnd* window, int width, int height, LPCTSTR text, int seconds,
                                      COLORREF textColour, COLORREF fillColour, bool centred);
// Closes the shown balloon, if any.
void CloseActiveBalloon();

// The shown balloon (nullptr for none) and whether one is shown.
CBalloonWindow* GetActiveBalloon();
bool IsBalloonShown();

#endif  // _WIN32
