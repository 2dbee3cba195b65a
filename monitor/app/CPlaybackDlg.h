// "Data Playback": chooses a recorded receiver log, the replay speed and the
// one-second marker of each protocol, and starts or stops its main window's
// FILE mode. It shows the replay's progress, which the main window feeds it.
// Windows build only.
#pragma once

#ifdef _WIN32

#include <cstdint>

#include "app/LinkStatisticsText.h"
#include "controls/CDialogView.h"
#include "framework/afx.h"

class CMainWndDlg;

// The speed the position map keeps up with.
const int32_t kPlaybackMapSpeedLimit = 100;

class CPlaybackDlg : public CDialogView {
public:
    explicit CPlaybackDlg(CMainWndDlg* mainWindow);
    ~CPlaybackDlg() override;

    // FILE mode has ended: the dialog can start again.
    void SetStopped();
    // With the position map showing and the speed above `limit`, the speed
    // becomes the limit and the user is told why.
    void LimitSpeedForMap(int32_t limit);
    // The replay's progress as the main window shows it.
    void ShowProgress(const PlaybackProgress& progress);
    // The end of the data: the bar at its upper bound and "100%".
    void ShowFinished();

    bool IsPlaying() const { return m_playing; }
    int32_t GetSpeed() const { return m_speed; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnBrowse();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnSpeedEdit();
    afx_msg void OnRawPassClicked();
    afx_msg void OnStartStop();
    afx_msg void OnShowMap();
    afx_msg void OnCloseButton();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    void OnSpeedScroll();
    void UpdateButtons();
    // In FILE mode a new speed reaches the settings, the profile and the
    // running replay.
    void ApplySpeedToReplay();
    bool IsPositionMapShown() const;
    void SetSliderPosition(int32_t position);

    CString m_fileName;
    CString m_nmeaMarker;
    CString m_qbinMarker;
    int m_speed = 1000;
    CString m_qopMarker;
    CString m_qtxtMarker;
    int m_rawPass = 0;
    CString m_kestoCode;
    CString m_kestoSubcode;
    CMainWndDlg* m_mainWindow;
    bool m_playing = false;
};

#endif  // _WIN32
