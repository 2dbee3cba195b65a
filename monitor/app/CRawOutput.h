#pragma once
// The "Raw Data Monitor" window: lists the frames the main window's link
// receives and the commands it sends, as hex bytes, as text, or as one
// identifier line per frame (app/RawLine.h makes the lines). Any number of
// them may be open; the main window keeps them in its list and each takes
// itself off when it goes. Windows build only.
//
// Frames and commands arrive as events the link sends and waits on (the
// stored frame is valid only while they are handled), often from inside the
// link's own write. Their handler therefore only formats and queues; a
// refresh timer appends the queued lines to the rich edit at most ten times
// a second, however fast the receiver talks, and nothing here calls the link.
#ifdef _WIN32

#include <cstdint>
#include <string>
#include <vector>

#include "app/RawLine.h"
#include "controls/CDialogView.h"
#include "framework/CArray.h"
#include "framework/CGdi.h"

class CMainWndDlg;

class CRawOutput : public CDialogView {
    DECLARE_DYNAMIC(CRawOutput)

public:
    explicit CRawOutput(CMainWndDlg* mainWindow);
    ~CRawOutput() override;

    // Creates the window on the desktop, shown. False when it could not be
    // made; the object is then still the caller's to delete.
    bool CreateRawWindow();

    // The display rule: frames (event 34) and sent commands (event 38) are
    // formatted and queued. Always 0.
    LRESULT OnModelUpdate(WPARAM event, LPARAM param) override;

    // Appends what waits to the rich edit: the refresh timer's work, at hand
    // for the tests.
    void FlushLines();

    bool IsPaused() const { return m_paused; }
    // The lines the rich edit holds once what waits is appended.
    int GetLinesShown() const { return m_queue.LinesShown(); }

    // The buttons' actions.
    void OnPauseResume();
    void OnClearText();
    void OnCopyToClipboard();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnCheckBox();
    afx_msg void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    RawMonitorState CurrentState() const;
    void QueueFrame(RawLineSource source);
    void ShowPlaybackHint();
    void CloseWindow();

    // The data exchange's check boxes, as the dialog reads them.
    int32_t m_showReceived = 1;
    int32_t m_showSent = 0;
    int32_t m_idsOnly = 0;
    CMainWndDlg* m_mainWindow;  // not owned; it outlives its raw data windows
    bool m_paused = false;
    // Made by CreateRawWindow: from then on the window deletes itself.
    bool m_created = false;

    RawLineQueue m_queue;
    // Reused per event, so a busy link allocates nothing here per frame.
    CByteArray m_frame;
    std::vector<uint8_t> m_unstuffed;
    std::string m_line;
    CFont m_font;
};

#endif  // _WIN32
