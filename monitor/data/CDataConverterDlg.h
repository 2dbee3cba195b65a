#pragma once
// The data converter window: turns a recorded log, or every data file of a
// folder, into map CSV, KML, spreadsheet, text translation and NMEA GGA files
// beside it, with progress and an abort.
//
// The logic lives in ConverterRun (data/DataConverterCore.h); this window
// reads and shows its controls, owns the timers and the link the run
// converts through (a CController of its own, never the main window's), and
// in an unattended command-line start runs by itself and ends the program.
// Views opened with it as their parent take its main window as their own.
#ifdef _WIN32

#include <memory>

#include "controls/CColourPickerXP.h"
#include "controls/CDialogView.h"
#include "controls/CMenuHelpTip.h"
#include "data/ConversionLink.h"
#include "data/DataConverterCore.h"
#include "framework/CGdi.h"
#include "link/CController.h"
#include "link/TimerHost.h"

class CMainWndDlg;

class CDataConverterDlg : public CDialogView,
                          public IDialogViewHostSource,
                          private IConverterRunView {
public:
    explicit CDataConverterDlg(CMainWndDlg* mainWindow, CWnd* parent = nullptr);
    ~CDataConverterDlg() override;

    CMainWndDlg* GetMainWindow() const { return m_mainWindow; }
    IDialogViewHost* GetDialogViewHost() override;

    // The record the controls show (and the options dialog edits).
    const ConverterOptions& GetOptions() const { return m_options; }
    bool IsRunning() const { return m_run.IsRunning(); }
    // What the conversions' channel and engine are made by (null: the real
    // parts); tests hold a replay with it. Set while no conversion runs.
    void SetLinkParts(ILinkFactory* parts) { m_link.SetParts(parts); }

    BOOL OnInitDialog() override;
    LRESULT OnModelUpdate(WPARAM event, LPARAM param) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnConvert();
    afx_msg void OnSelectFile();
    afx_msg void OnOptions();
    afx_msg void OnCloseCommand();
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    DECLARE_MESSAGE_MAP()

private:
    bool IsUnattended() const;
    void StartUnattended();
    void SetControlText(UINT id, const CString& text);

    // IConverterRunView
    void ShowMessage(const char* text) override;
    void WriteErrorLine(const char* text) override;
    void SetStatus(const CString& text, ConverterStatusColour colour) override;
    void SetConvertButtonText(const char* text) override;
    void SetProgressRange(int32_t range) override;
    void SetProgressPosition(int32_t position) override;
    void SetPercentText(const CString& text) override;
    void SetRecordCountText(const CString& text) override;
    void SaveChoices(const ConverterOptions& options) override;
    void EndUnattended(int32_t exitCode) override;

    // The run's timers are this window's.
    struct WindowTimers : ITimerHost {
        bool SetTimer(uint32_t id, uint32_t ms) override;
        void KillTimer(uint32_t id) override;
        CWnd* owner = nullptr;
    };

    CMainWndDlg* m_mainWindow;
    ConverterOptions m_options;
    // Conversions only: the main window's link is never touched.
    CController m_controller;
    ControllerConversionLink m_link;
    WindowTimers m_timers;
    ConverterRun m_run;

    CColourPickerXP m_colourPicker;
    CMenuHelpTip m_menuTip;
    CFont m_statusFont;
    COLORREF m_statusColour;
    bool m_statusSystemColour;
};

#endif  // _WIN32
