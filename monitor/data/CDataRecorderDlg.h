#pragma once
// The "Multiport Data Logger" window: records the raw bytes of several COM
// ports (and the main window's playback) into log files, with companion CSV
// and KML files, per-second queries and a logging calendar.
//
// The window is a thin layer over CDataLoggerCore (data/DataLoggerCore.h):
// it copies values between its controls and the core, draws the lamps,
// shows the menu help and hands the core its commands, its one-second timer
// and the receiver events of the links it logs. The main window creates it
// on first use and asks it, before it closes or changes its own link,
// whether a port is logged. Closing it while a port logs only hides it; its
// destruction stops every port. Windows build only.
#ifdef _WIN32

#include "controls/CBlinker.h"
#include "controls/CColourPickerXP.h"
#include "controls/CDialogView.h"
#include "controls/CMenuHelpTip.h"
#include "data/DataLoggerCore.h"

class CMainWndDlg;

class CDataRecorderDlg : public CDialogView, private ILoggerView, private ILoggerLinks {
public:
    explicit CDataRecorderDlg(CMainWndDlg* mainWindow);
    ~CDataRecorderDlg() override;

    // True when any of its ports (the playback channel included) is logging.
    bool IsAnyPortLogging() const;
    // True when it has an open log file for COM `port` (0: the playback channel).
    bool IsPortLogging(int32_t port) const;

    // The start/stop button, also pressed by a running script.
    void OnStartStopLogging();

    LRESULT OnModelUpdate(WPARAM event, LPARAM param) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnPortSelected();
    afx_msg void OnSelectLogFile();
    afx_msg void OnStdFileNaming();
    afx_msg void OnNamingFieldChanged();
    afx_msg void OnLoggingCalendar();
    afx_msg void OnStopAll();
    afx_msg void OnUseSettingsForAllPorts();
    afx_msg void OnCloseCommand();
    DECLARE_MESSAGE_MAP()

private:
    // ILoggerView
    bool ReadForm(LoggerForm& form) override;
    void ShowFilePath(const CString& path) override;
    void SetStatusText(const char* text) override;
    void SetSizeText(const char* text) override;
    void SetFixTexts(const char* satellites, const char* dimension) override;
    void SetLamp(LoggerLamp lamp, int scheme, int shade) override;
    void BlinkLamp(LoggerLamp lamp) override;
    void EnableSettings(bool enable) override;

    // ILoggerLinks
    CController* GetMainLinkFor(int32_t port) override;
    CController* CreateLink() override;
    void DeleteLink(CController* link) override;
    HWND GetEventWindow() override { return m_hWnd; }
    void ReportScriptResult(int32_t result, int32_t action) override;
    void RefreshLoggingStatus() override;

    // The application profile's "Monitor" section.
    class Profile : public ILoggerProfile {
    public:
        int32_t GetInt(const char* entry, int32_t defaultValue) override;
        CString GetString(const char* entry, const char* defaultValue) override;
        void WriteInt(const char* entry, int32_t value) override;
        void WriteString(const char* entry, const char* value) override;
    };

    void FillChoices();
    int32_t GetSelectedPort();
    void ShowPortSettings(int32_t port);
    void EnableNamingFields();
    void RebuildStandardName();
    CString CurrentLogDirectory();
    void SetText(UINT id, const char* text);

    CMainWndDlg* m_mainWindow;
    Profile m_profile;
    CDataLoggerCore m_core;
    // The controls' values for the selected port.
    LoggerForm m_form;
    CListBox m_portList;
    CColourPickerXP m_colourPicker;
    CBlinker m_lamps[LOGGER_LAMP_RTC + 1];
    CMenuHelpTip m_menuTip;
    bool m_settingsEnabled;
};

#endif  // _WIN32
