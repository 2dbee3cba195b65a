// The monitor's main window: a modeless dialog with a tool bar and a status
// bar that shows one receiver link. It owns the link (a CController with its
// protocol engine and data model), shows the decoded receiver data in its
// fields, switches between the link modes IDLE, MONITOR and FILE, turns the
// link's receiver events into field updates, and offers the status line and
// balloon services the tool windows use.
//
// The code is split by concern:
//   CMainWndDlg_win.cpp        construction, initialisation, settings, closing,
//                              timers, status line, message map
//   CMainWndLink_win.cpp       link modes, port and protocol changes, auto-query
//   CMainWndFields_win.cpp     the receiver field updaters
//   CMainWndEvents_win.cpp     the receiver-event dispatcher, logs, batch runner
//   CMainWndLaunchers_win.cpp  tool windows, menus, balloons, update checks
// Everything that can be decided without a window lives in pure helpers
// (MainWndProfile, MainWndStatus, ReceiverFieldFormat, StaleFields,
// BatchQuery, DiagLogLine, DiagPacket, LinkStatisticsText) tested natively.
// Windows build only.
#pragma once

#ifdef _WIN32

#include <initializer_list>
#include <cstdint>
#include <memory>

#include "app/BatchQuery.h"
#include "app/CCmdLineOptions.h"
#include "app/CCmdLineSettings.h"
#include "app/CMainApp.h"
#include "app/DiagLogLine.h"
#include "app/LinkStatisticsText.h"
#include "app/MainWindowLayout.h"
#include "app/PendingDisplay.h"
#include "app/StaleFields.h"
#include "app/resource.h"
#include "controls/CDialogView.h"
#include "controls/CMenuHelpTip.h"
#include "controls/CModelessDialog.h"
#include "controls/CPictureEx.h"
#include "framework/afx.h"
#include "link/CController.h"
#include "link/LinkPortSettings.h"
#include "link/PlaybackSettings.h"
#include "link/TimerHost.h"

class CPositionDlg;
class CPositionMapWnd;
class CSkyPlot;
class CTimingMonitorDlg;
class CRcvrConfigDlg;
class CDiagDlg;
class CFlashLoaderDlg;
class CTtffToolDlg;
class CScripter;
class CAlmEphPosLoader;
class CDataRecorderDlg;
class CDataRecorderToolDlg;
class CUploadDownloadDlg;
class CDataConverterDlg;
class CConfiguratorDlg;
class CPlaybackDlg;
class CGenericPkts;
class CShutdownStandbyDlg;
class CQbinTester;
class CFastCorrDlg;
class CIonoDelayDlg;
class CVersionDlg;
class CDetectReceiverDlg;
class CReleaseNotesDlg;
class CScriptStatusDlg;
class CGpsDataDlg;
class CSettingsGeneral;

// The link modes.
enum LinkMode : int32_t { LINK_IDLE = 0, LINK_MONITOR = 1, LINK_FILE = 2 };

// Private messages of the main window.
const UINT WM_SHOW_RELEASE_NOTES = WM_USER + 104;
const UINT WM_UPDATE_FOLLOWUP = WM_USER + 105;
// Posted by the internal-tools gate when it has decided: the menu is
// rebuilt on the GUI thread.
const UINT WM_GATE_DONE = WM_USER + 140;

// The main-window timers.
enum MainWndTimer : UINT {
    MWT_CLEAR_FIELDS = 1,
    MWT_TX_PULSE = 2,
    MWT_RX_PULSE = 3,
    MWT_FIRST_QUERY = 4,
    MWT_TIMED_STATUS = 5,
    MWT_TICK = 6,
    MWT_START_CMDLINE = 7,
    MWT_CONNECT = 8,
    MWT_PLAYBACK_END = 9,
    MWT_CLOSE = 10,
    MWT_UPDATE_CHECK = 12,
    MWT_RESET_DONE = 13,
    MWT_ALMANAC_SEND = 18,
    MWT_EPHEMERIS_SEND = 19,
    MWT_HIDE_SELF = 20,
    MWT_SET_TIME_TIMEOUT = 26,
    MWT_BALLOON = 30,
    MWT_TIMING_VIEW = 31,
    MWT_AUTO_QUERY_STEP = 35,
    MWT_POSITION_MAP = 36,
    MWT_DISPLAY = 37,   // repaints the receiver fields while a link is open
    MWT_BATCH = 40   // the batch runner's line timer (CBatchQuery::kDefaultTimerId)
};

// The display timer's period: the fields repaint at most ten times a second,
// however fast the receiver events come.
const UINT kDisplayRefreshMs = 100;

// One row of the channel table: its highlight follows whether the satellite
// is used in the fix.
struct ChannelRow {
    bool highlighted = false;
};

// A balloon waiting for timer 30.
struct BalloonRequest {
    HWND anchor = nullptr;
    int x = 0;
    int y = 0;
    CString text;
    int seconds = 0;
    COLORREF textColour = 0;
    COLORREF backColour = 0;
    BYTE flags = 0;
    bool pending = false;
};

class CMainWndDlg : public CModelessDialog,
                    public IMainWindowStartup,
                    public IDialogViewHost,
                    public IBatchCommandSender {
    DECLARE_DYNAMIC(CMainWndDlg)

public:
    // pParentMain: the primary main window for "New Window...", else null.
    explicit CMainWndDlg(CMainWndDlg* pParentMain = nullptr);
    ~CMainWndDlg() override;

    // ---- Start-up (IMainWindowStartup) ---------------------------------------
    CCmdLineOptions& GetCmdLineOptions() override { return m_cmdLineOptions; }
    bool ParseCommandLine() override;
    void SetCommandLineFlag(bool on) override { m_cmdLine.SetCommandLine(on); }
    // Chooses the layout from the screen font and creates the dialog with its
    // five status panes and thirteen tool-bar buttons.
    bool CreateModeless(UINT templateId, CWnd* parent) override;
    CWnd* GetMainWnd() override { return this; }
    bool IsCommandLineMode(int32_t mode) const { return m_cmdLine.IsCommandLineMode(mode); }
    const CCmdLineSettings& GetCmdLineSettings() const { return m_cmdLine; }

    // ---- Tool-window host (IDialogViewHost) ----------------------------------
    CWnd* GetViewHostWnd() override { return this; }
    CController* GetViewController() override { return &m_link; }
    bool IsWindowBubbleHelpOn() override { return m_optWndBubbleHelp != 0; }
    bool IsBalloonTipsOn() override { return m_balloonTips; }

    // ---- Timers through the window, for the pure runners (the batch) ----------
    struct WindowTimerHost : public ITimerHost {
        CMainWndDlg* owner = nullptr;
        bool SetTimer(uint32_t id, uint32_t ms) override;
        void KillTimer(uint32_t id) override;
    };
    ITimerHost& GetTimerHost() { return m_timerHost; }

    // ---- Batch commands (IBatchCommandSender) ----------------------------------
    bool SendBatchCommand(const char* text) override;

    // ---- Status line and services (CMainWndDlg_win.cpp) -------------------------
    void SetStatusText(LPCTSTR text);
    void ShowStatusTextFor(LPCTSTR text, int seconds);
    void RefreshModeStatus();
    void ShowLinkPane();
    void CloseToolWindow(CWnd* window, bool close);
    bool ConfirmClose(bool ask);
    void SaveSettings();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    const CString& GetDataFolder() const { return m_dataFolder; }
    CController& GetLink() { return m_link; }
    bool IsLargeLayout() const { return m_layout.large; }
    LinkMode GetLinkMode() const { return m_linkMode; }
    bool IsInitialised() const { return m_initialised; }
    // A valid position has been shown since the link started; the position
    // plot pans only then.
    bool IsPositionValid() const { return m_positionValid; }
    // The receiver has been heard and has told its model.
    bool IsReceiverIdentified() { return m_receiverContact && m_link.GetModel().GetReceiverModel() != 0; }

    // ---- Link modes (CMainWndLink_win.cpp) ----------------------------------------
    bool EnterMonitorMode();
    bool OpenMonitorLink();
    bool DetectTracker(ProtocolKind protocol);
    void EnterIdleMode(int reconnect);
    bool StartPlayback(bool start, bool rawPass);
    bool StartScripter(int operation, LPCTSTR file);
    bool SelectComPort(int port, bool ask);
    void OnLinkComboSelect();
    void SetOutputProtocol();
    void ApplyProtocolSettings();
    void SetAutoQuery(int action);
    void OnToggleAutoQuery();
    void SendStartupQueries();
    void SetReceiverContact(bool gained);
    void ResetPlotViews();
    void SetTimingView(bool on);
    void SetOutputFormat(int format);
    void SyncOutputFormatChecks();
    void OnSaveConfiguration();
    void StartAlmEphPosTransfer(int operation, LPCTSTR file);
    void ShowTransferProgress(CAlmEphPosLoader* loader, bool counted, bool begin);
    bool IsPortLogged(int port);
    void ResetStaleTimeouts();
    void SetSurveyQueryMode(int32_t mode) { m_surveyQueryMode = mode; }
    // Starts the mode a command line asked for (timer 7).
    void StartCommandLineScript();

    // ---- Receiver fields (CMainWndFields_win.cpp) -----------------------------------
    void ShowPosition(bool force);
    void ShowVelocity(bool valid);
    void ShowOscillatorOffset();
    void ShowDops();
    void ShowGpsTime(bool fromReport);
    void ShowFixMode();
    void ShowReceiverHealth();
    void OnReceiverIdentified(int kind);
    void OnReceiverModelKnown();
    void ShowReceiverVersion(bool force);
    void ShowChannelRow(int row, int sv, double level, double azimuth, double elevation, int state, bool used);
    void ShowTrackingTable(int detail);
    void ShowSignalLevels();
    void ShowFixSatellites();
    void ClearChannelRow(int row);
    void PulseTxIndicator();
    void PulseRxIndicator();
    void ClearDisplayFields();
    // The display layouts of the position, velocity, time and signal fields.
    void ApplyDisplayFormat(int code);
    // The display timer (MWT_DISPLAY): the dispatcher marks field groups in
    // m_pendingDisplay, the timer shows each marked group once.
    void StartDisplayTimer();
    void StopDisplayTimer();
    void RefreshDisplay();
    // Marks the position fields and hands the fix to the position window.
    void QueuePosition();
    // The replay's progress on the main window and an open playback dialog.
    void ShowPlaybackProgress();

    // ---- Event dispatcher (CMainWndEvents_win.cpp) ------------------------------------
    LRESULT OnReceiverEvent(WPARAM code, LPARAM lParam);
    void OnRawFrame();
    void HandleDiagPacket(const CByteArray& frame);
    void FirstTextProtocolFrame(std::initializer_list<int> formats);
    void OnNmeaFrame(const CByteArray& frame);
    void OnTextFrame(const CByteArray& frame);
    void OnKestoFrame(const CByteArray& frame);
    void AppendDiagLog(LPCTSTR text);
    void LogCrcError();
    void CheckStaleFields(int field);
    void ShowSerialStatistics();
    void PushSkyPlotData();
    void ShowBalloonMessage(CWnd* anchor, int x, int y, LPCTSTR text, int seconds, COLORREF textColour,
                            COLORREF backColour, BYTE flag);
    void ShowDataSourceHint();
    bool IsLumbraTabActive();
    bool RunBatchQuery(LPCTSTR file, CWnd* replyWindow);
    LRESULT OnOpenDocument(WPARAM wParam, LPARAM lParam);
    void OnSetTimeResult(int detail);

    // ---- Tool windows, menus, balloons, updates (CMainWndLaunchers_win.cpp) -------------
    void ShowPlaybackDlg();
    void ShowTimingMonitorDlg();
    void ShowFlashLoaderDlg();
    void ShowDataRecorderToolDlg();
    // The data logger: made on first use; an open one is shown or hidden.
    void ShowDataRecorderDlg(bool show);
    void ShowTtffToolDlg();
    void ShowDataConverterDlg();
    void ShowScriptStatusDlg();
    void StartStartupUpdateCheck();
    void StartRegularUpdateCheck(CWnd* requester);
    // The launchers of the single-instance tools: an open tool is focused
    // (tabbed tools switch to the asked tab), otherwise made.
    void ShowGenericPkts();
    void ShowUploadDownloadDlg();
    void ShowShutdownStandbyDlg();
    void ShowPositionDlg();
    void ShowSkyPlot();
    void ShowQbinTester();
    void ShowFastCorrDlg();
    void ShowIonoDelayDlg();
    void ShowVersionDlg();
    void ShowRcvrConfigDlg(int tab);
    void ShowDiagDlg(int tab);
    void ShowConfiguratorDlg();
    void ShowDetectReceiverDlg();
    void ShowReleaseNotesDlg();
    void ShowGpsDataDlg(UINT command);
    void ShowSettingsSheet();
    void NewMainWindow();
    void RemoveMainWindow(CMainWndDlg* window);
    // The launcher of a launcher command (LauncherTable.h); false for any
    // other command.
    bool LaunchToolCommand(UINT command);
    // Closes the tools that stand on the desktop, which the main window's
    // own destruction would leave behind with their slots gone.
    void CloseDesktopTools();

    // ---- Raw data windows (CMainWndRawOutput_win.cpp) -----------------------------------
    // Every call opens one more raw data window.
    void OpenRawOutputWnd();
    void RemoveRawOutputWnd(CWnd* window);
    // Closes every raw data window this one opened (when it goes itself).
    void CloseRawOutputWnds();

    // ---- Menu state and internal tools (CMainWndMenus_win.cpp) ---------------------------
    void BuildMenu(int userLayout);
    void UpdateMenuState(int forceDefault);
    void RemoveMenuItem(UINT id, int submenu, int position);
    void InsertMenuItem(int submenu, int position, UINT id, LPCTSTR text, int separator, bool enabled);
    void PromptAccessCode();
    void EnterUserMode();
    void ShowInternalToolsNote();
    // The code PromptAccessCode asks for.
    static const char kAccessCode[];

    // ---- Menu commands (CMainWndCommands_win.cpp) ------------------------------------------
    // Only in MONITOR, and only a reset the link reports written marks the
    // reset as running (fields cleared by timer 13).
    void ResetReceiver(int kind);
    // Carries out a command of the menu command table; false for any other id.
    bool RunMenuCommand(UINT id);
    // Opens the context menu of the group box or status pane under a screen
    // point; false when there is none there.
    bool ShowContextMenuAt(CPoint screenPoint);

    // ---- Balloons (CMainWndBalloons_win.cpp): forward to the process-wide balloon ---------
    void ShowBalloon(LPCTSTR text, int x, int y, int seconds, COLORREF textColour, COLORREF backColour);
    void ShowBalloonOverWindow(CWnd* anchor, LPCTSTR text, int x, int y, int seconds, COLORREF textColour,
                               COLORREF backColour, BYTE flags = 1);
    void CloseActiveBalloon();

protected:
    BOOL OnInitDialog() override;
    void InitMainWindow();
    void PostNcDestroy() override;
    void OnCancel() override;
    void OnOK() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnMove(int x, int y);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnFileExit();
    afx_msg void OnConnect();
    afx_msg void OnGpsDataComboSelect();
    afx_msg void OnLinkComboCommand();
    afx_msg void OnDataLogger();
    afx_msg LRESULT OnUpdateFollowup(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnShowReleaseNotes(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGateDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReceiverEventMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnOpenDocumentMsg(WPARAM wParam, LPARAM lParam);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

    static UINT GateThread(LPVOID param);
    // Helpers of the core file: the gate's start, the one-second tick, the
    // speed-unit and always-on-top settings and the display-format commands.
    void StartGate();
    void OnSecondTick();
    void ApplySpeedUnits(int32_t units);
    void ApplyOnTop();
    void ApplyFormatCommand(int code);

public:
    // ---- State shared by the parts of the window -------------------------------------
    // Helpers for the parts: set a control's text only when it changed (no
    // flicker at 1 Hz), read it back, show or hide it.
    void SetFieldText(UINT id, LPCTSTR text);
    CString GetFieldText(UINT id);
    void ShowField(UINT id, bool show);
    void EnableField(UINT id, bool enable);

    // Layout and fonts.
    MainWindowLayout m_layout;
    CFont m_fontBold;       // Tahoma 8 bold
    CFont m_fontCourier10;
    CFont m_fontCourier9;
    CFont m_fontPoint;      // Verdana 7 (large layout) or 8
    bool m_closing = false;
    bool m_initialised = false;

    // Link settings.
    BYTE m_port = 1;
    uint32_t m_baud = 9600;
    BYTE m_parity = 0;
    BYTE m_stopBits = 0;
    BYTE m_dataBits = 8;
    BYTE m_inProtocol = 2;
    BYTE m_outProtocol = 2;
    BYTE m_autoOutput = 1;
    LinkMode m_linkMode = LINK_IDLE;
    PlaybackSettings m_playback;
    ProtocolKind m_commandProtocol = 3;
    ProtocolKind m_vendorSubKind = 0;
    int32_t m_followReceived = 0;
    ProtocolKind m_detectedProtocol = 0;
    bool m_receiverContact = false;
    bool m_positionValid = false;
    bool m_resetRunning = false;
    bool m_portOpenFailed = false;
    bool m_trackerFailed = false;
    bool m_portSettingsPending = false;
    bool m_startupMark = false;
    bool m_portChangedByDetection = false;

    // Display options.
    int32_t m_llaDecimal = 0;
    bool m_positionXyz = false;
    bool m_altitudeMsl = false;
    bool m_velocityEcef = false;
    bool m_timeUtc = false;
    bool m_signalAmu = false;
    int32_t m_speedUnits = 0;
    bool m_doublePrecision = false;
    int32_t m_onTop = 0;
    int m_positionFormatCode = 4;
    int m_velocityFormatCode = 1;
    int m_timeFormatCode = 8;

    // Auto-query.
    AutoQuerySettings m_autoQuery;
    int32_t m_autoQueryMeas = 0;
    int32_t m_autoQueryAllOff = 0;
    int32_t m_autoQueryRemembered = 1;
    int32_t m_surveyQueryMode = 3;

    // Options.
    int32_t m_optDataSource = 1;
    int32_t m_optWndBubbleHelp = 1;
    int32_t m_optMenuBubbleHelp = 0;
    int32_t m_optLogDiag = 1;
    COLORREF m_clrSvBackground = RGB(0, 255, 0);
    COLORREF m_clrSvText = 0;
    COLORREF m_clrRegText = 0;
    COLORREF m_clrGroupText = 0;
    int32_t m_clrThemeIndex = 1;
    int32_t m_checkUpdates = 0;
    bool m_internalTools = true;
    bool m_userMode = false;
    bool m_accessFlag = false;
    bool m_balloonTips = true;

    // Position map options.
    int32_t m_posMapEnabled = 1, m_posMapDashSize = 0, m_posMapStyle = 0, m_posMapZoom = 15;
    int32_t m_posMapUnit = 0, m_posMapMouseLoc = 0, m_posMapAutoCenter = 1, m_posMapRefPos = 0;
    int32_t m_posMapMaxMarkers = 2000, m_posMapTraceRoute = 1;
    double m_posMapRefLat = 0.0, m_posMapRefLon = 0.0;

    // Configurator port defaults and tracker options.
    int32_t m_cfgParity = 0, m_cfgBaud = 9600, m_cfgDataBits = 8, m_cfgStopBits = 0;
    int32_t m_trackerMode = 0, m_trackerAntenna = 0;

    // Folders and command line.
    CString m_dataFolder;
    CString m_startDir;
    CCmdLineOptions m_cmdLineOptions;
    CCmdLineSettings m_cmdLine;
    bool m_toolStartFlash = false, m_toolStartRecorder = false, m_toolStartTtff = false,
         m_toolStartConverter = false;

    // The link.
    CController m_link;
    CString m_receiverName;

    // Display controls.
    ChannelRow m_channelRows[CHANNEL_ROWS];
    CPictureEx m_txActive, m_txRest, m_rxActive, m_rxRest;
    CStatic m_txLabel, m_rxLabel;
    bool m_txBusy = false;
    bool m_rxBusy = false;
    HICON m_iconFirst = nullptr, m_iconNeutral = nullptr, m_iconSecond = nullptr;
    HICON m_iconLarge = nullptr, m_iconSmall = nullptr;
    HACCEL m_accel = nullptr;
    CBrush m_brushSv;
    CBrush m_brushFace;

    // Popup menus.
    CMenu m_menuPosition, m_menuVelocity, m_menuTimeBase, m_menuSignal, m_menuRcvrConfig,
        m_menuRcvrVersion, m_menuProtocol, m_menuPort;

    // Tool-bar combos (owned by the tool bar).
    CComboBox* m_linkCombo = nullptr;
    CComboBox* m_gpsDataCombo = nullptr;

    // Elapsed time and ticks.
    uint32_t m_elapsedSeconds = 0;
    int m_timedStatusSeconds = 0;
    int m_tickCount = 0;
    uint32_t m_timeQueryStart = 0;

    // Stale fields, validity marks, balloon, set-time, statistics, logs, batch.
    CStaleFields m_stale;
    CPendingDisplay m_pendingDisplay;   // field groups waiting for the display timer
    bool m_markPosition = false, m_markVelocity = false, m_markOscillator = false;
    bool m_profiling = false;
    bool m_setTimePending = false;
    bool m_setPcClockRequest = false;
    bool m_copyRequest = false;
    bool m_connectAnnouncement = false;
    bool m_timingView = false;
    bool m_timingViewAuto = false;
    bool m_diagValueHeld = false;
    uint32_t m_diagValue = 0;
    CSerialStatistics m_statistics;
    CDiagLogs m_diagLogs;
    CString m_diagLogName;
    BalloonRequest m_balloon;
    WindowTimerHost m_timerHost;
    std::unique_ptr<CBatchQuery> m_batch;
    CMenuHelpTip m_menuTip;
    CToolTipCtrl m_controlTip;  // bubble help of the window's own controls
    CString m_copyText;

    // Tool windows (null when closed).
    CPositionDlg* m_pPositionDlg = nullptr;
    CPositionMapWnd* m_pPositionMap = nullptr;
    CSkyPlot* m_pSkyPlot = nullptr;
    CTimingMonitorDlg* m_pTimingMonitor = nullptr;
    CRcvrConfigDlg* m_pRcvrConfig = nullptr;
    CDiagDlg* m_pDiagDlg = nullptr;
    CFlashLoaderDlg* m_pFlashLoader = nullptr;
    CTtffToolDlg* m_pTtffTool = nullptr;
    CScripter* m_pScripter = nullptr;
    CAlmEphPosLoader* m_pLoader = nullptr;
    CDataRecorderDlg* m_pDataRecorder = nullptr;
    CDataRecorderToolDlg* m_pDataRecorderTool = nullptr;
    CUploadDownloadDlg* m_pUploadDlg = nullptr;
    CDataConverterDlg* m_pDataConverter = nullptr;
    CConfiguratorDlg* m_pConfigurator = nullptr;
    CPlaybackDlg* m_pPlaybackDlg = nullptr;
    CGenericPkts* m_pGenericPkts = nullptr;
    CShutdownStandbyDlg* m_pShutdownStandby = nullptr;
    CQbinTester* m_pQbinTester = nullptr;
    CFastCorrDlg* m_pFastCorr = nullptr;
    CIonoDelayDlg* m_pIonoDelay = nullptr;
    CVersionDlg* m_pVersionDlg = nullptr;
    CDetectReceiverDlg* m_pDetectReceiver = nullptr;
    CReleaseNotesDlg* m_pReleaseNotes = nullptr;
    CScriptStatusDlg* m_pScriptStatus = nullptr;
    CGpsDataDlg* m_pGpsDataDlg = nullptr;
    // The settings sheet's General page while the sheet runs; null otherwise.
    CSettingsGeneral* m_pSettingsGeneral = nullptr;
    // Raw data windows, any number of them.
    CPtrArray m_rawOutputs;

    // Windows.
    CMainWndDlg* m_pParentMain = nullptr;
    CPtrArray m_secondaryWindows;
    static int s_windowCounter;
};

#endif  // _WIN32
