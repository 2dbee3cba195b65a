#include "data/CDataRecorderDlg.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>
#include <vector>

#include "app/AppProfile.h"
#include "app/CMainWndDlg.h"
#include "app/resource.h"
#include "controls/WorkArea.h"
#include "data/CLogCalendar.h"
#include "link/CCommPort.h"
#include "link/CController.h"
#include "model/FileHelpers.h"
#include "model/WinHelpers.h"
#include "tools/CScripter.h"

namespace {

// The one-second timer of the status, the calendar and the queries.
const UINT_PTR kSecondTimer = 6;
const UINT kSecondMs = 1000;
const char kProfileSection[] = "Monitor";

// Lamp colours at rest: activity lamps in scheme 5, receiver-status lamps in scheme 1.
const int kActivityScheme = 5;
const int kStatusScheme = 1;
const int kLampOff = 0;
const UINT kBlinkPeriodMs = 200;

const UINT kLampIds[] = {IDC_LOGGER_LAMP_TX,  IDC_LOGGER_LAMP_RX, IDC_LOGGER_LAMP_FIX,
                         IDC_LOGGER_LAMP_ALM, IDC_LOGGER_LAMP_BB, IDC_LOGGER_LAMP_RTC};

const char* const kBaudTexts[] = {"110",   "300",   "600",    "1200",   "2400",   "4800",  "9600",
                                  "19200", "38400", "57600",  "115200", "128000", "256000"};
const char* const kParityTexts[] = {"None", "Odd", "Even"};
const char* const kDataBitsTexts[] = {"7", "8"};
const char* const kStopBitsTexts[] = {"1", "2"};
const char* const kProtocolTexts[] = {"None", "QBIN", "NMEA", "QTXT"};

// The settings a running port keeps; the path edit is only made read-only.
const UINT kSettingIds[] = {IDC_LOGGER_BROWSE,    IDC_LOGGER_APPEND,    IDC_LOGGER_STD_NAMING, IDC_LOGGER_UNIT_ID,
                            IDC_LOGGER_TEST_CASE, IDC_LOGGER_BAUD,      IDC_LOGGER_PARITY,     IDC_LOGGER_DATA_BITS,
                            IDC_LOGGER_STOP_BITS, IDC_LOGGER_SPLIT,     IDC_LOGGER_LOG_SVS,    IDC_LOGGER_LOG_TIME,
                            IDC_LOGGER_PROTOCOL,  IDC_LOGGER_MAKE_CSV,  IDC_LOGGER_MAKE_KML,   IDC_LOGGER_KML_COLOUR};

const BubbleHelpText kBubbleHelp[] = {
    {IDC_LOGGER_PORTS,
     "Select the COM port to which the GPS receiver is connected.\n\nTo log multiple receivers at the same time, "
     "select the COM port of the first receiver, configure the logging options, click Start Logging, and repeat "
     "the same procedure for the rest of the receivers.\n\nIf all receivers need to use the same settings, "
     "configure the first receiver, and then select Options | Use Current Settings for All Ports. That will match "
     "the current settings on all COM ports so you don't need to repeat setting them."},
    {IDC_LOGGER_BROWSE, "Browse and select the log file to be created."},
    {IDC_LOGGER_FILE, "Location of the log file."},
    {IDC_LOGGER_APPEND,
     "If the log file with the same name already exists, new data will be appended to the end of the file."},
    {IDC_LOGGER_UNIT_ID, "This field can be any alpha-numeric character string."},
    {IDC_LOGGER_TEST_CASE, "This field can be any alpha-numeric character string."},
    {IDC_LOGGER_STD_NAMING,
     "If checked, the name of the file will be automatically formed based on the Unit ID and Test Case# fields as "
     "follows:\n\nTC_[Unit ID]_yymmdd_hhmm_[Test Case#].log\n\n'yymmdd' is the current year/month/day and 'hhmm' "
     "is hours/minutes when the log is started, and will be automatically inserted into the file name."},
    {IDC_LOGGER_PROTOCOL,
     "Specify the input protocol of the receiver in order to request various receiver data. See 'Log' checkboxes "
     "below."},
    {IDC_LOGGER_SPLIT,
     "If non-zero, the log file will be split in chunks of the specified number of megabytes. The chunk number "
     "will be inserted right before the file extension (e.g. test_log_00001.qbl, test_log_00002.qbl, etc)."},
    {IDC_LOGGER_LOG_SVS,
     "If selected, satellite tracking information will be queried once per second while logging data. The source "
     "of this data is QBIN packet 0x5C, NMEA sentence GSV, or QTXT message LN depending on the selected protocol."},
    {IDC_LOGGER_LOG_TIME,
     "If selected, GPS time information will be queried once per second while logging data. The source of this "
     "data is QBIN packet 0x41, NMEA sentence ZDA, or QTXT message TM depending on the selected protocol."},
    {IDC_LOGGER_MAKE_CSV,
     "If selected, in addition the raw log file, a comma-separated file will be generated that can be directly "
     "imported into the Microsoft Streets and Trips software."},
    {IDC_LOGGER_MAKE_KML,
     "If selected, in addition the raw log file, a .KML formatted file will be generated that can be directly "
     "imported into the Google Earth software."},
    {IDC_LOGGER_KML_COLOUR,
     "Select the color for the position dots shown in Google Earth when the .KML file is imported."},
    {IDC_LOGGER_CALENDAR,
     "This feature allows to log data only during a specified time interval.\n\nTo use this feature, first open "
     "the logging calendar, select the \"Use Logging Calendar\" checkbox, enter the start and end log times, and "
     "click OK. Next, configure the rest of the logging options and click Start Logging. The log file will be "
     "created right away, but the data will be logged only during the specified time interval."},
    {IDC_LOGGER_START,
     "Start logging data on the selected COM port. To log data on multiple ports simultaneously, start logging on "
     "the currently selected port, then choose a new port, configure the settings for it, and click Start Logging "
     "again to log data on the new port. Data will continue to be logged on the previously configured port."},
};

template <size_t N>
void FillCombo(CWnd& dialog, UINT id, const char* const (&texts)[N])
{
    for (const char* text : texts) dialog.SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

BEGIN_MESSAGE_MAP(CDataRecorderDlg, CDialogView)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_TIMER()
    ON_WM_MENUSELECT()
    ON_LBN_SELCHANGE(IDC_LOGGER_PORTS, &CDataRecorderDlg::OnPortSelected)
    ON_COMMAND(IDC_LOGGER_BROWSE, &CDataRecorderDlg::OnSelectLogFile)
    ON_COMMAND(IDC_LOGGER_START, &CDataRecorderDlg::OnStartStopLogging)
    ON_COMMAND(IDC_LOGGER_CALENDAR, &CDataRecorderDlg::OnLoggingCalendar)
    ON_COMMAND(ID_LOGGER_STOP_ALL, &CDataRecorderDlg::OnStopAll)
    ON_COMMAND(ID_LOGGER_SETTINGS_TO_ALL, &CDataRecorderDlg::OnUseSettingsForAllPorts)
    ON_COMMAND(IDC_LOGGER_CLOSE, &CDataRecorderDlg::OnCloseCommand)
    ON_BN_CLICKED(IDC_LOGGER_STD_NAMING, &CDataRecorderDlg::OnStdFileNaming)
    ON_EN_CHANGE(IDC_LOGGER_UNIT_ID, &CDataRecorderDlg::OnNamingFieldChanged)
    ON_EN_CHANGE(IDC_LOGGER_TEST_CASE, &CDataRecorderDlg::OnNamingFieldChanged)
END_MESSAGE_MAP()

CDataRecorderDlg::CDataRecorderDlg(CMainWndDlg* mainWindow)
    : CDialogView(IDD_DATA_LOGGER, mainWindow),
      m_mainWindow(mainWindow),
      m_core(*this, *this, m_profile),
      m_settingsEnabled(true)
{
}

CDataRecorderDlg::~CDataRecorderDlg()
{
    // The core's own clean-up would call back into this window's parts.
    m_core.Shutdown();
}

bool CDataRecorderDlg::IsAnyPortLogging() const { return m_core.IsAnyPortLogging(); }

bool CDataRecorderDlg::IsPortLogging(int32_t port) const { return m_core.IsPortLogging(port); }

void CDataRecorderDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGGER_PORTS, m_portList);
    DDX_Control(pDX, IDC_LOGGER_KML_COLOUR, m_colourPicker);
    for (int lamp = LOGGER_LAMP_TX; lamp <= LOGGER_LAMP_RTC; ++lamp) DDX_Control(pDX, kLampIds[lamp], m_lamps[lamp]);
    DDX_Text(pDX, IDC_LOGGER_FILE, m_form.filePath);
    DDX_Check(pDX, IDC_LOGGER_APPEND, m_form.logAppend);
    DDX_Check(pDX, IDC_LOGGER_STD_NAMING, m_form.stdFileNaming);
    DDX_Text(pDX, IDC_LOGGER_UNIT_ID, m_form.unitId);
    DDX_Text(pDX, IDC_LOGGER_TEST_CASE, m_form.testCase);
    DDX_CBIndex(pDX, IDC_LOGGER_BAUD, m_form.baudIndex);
    DDX_CBIndex(pDX, IDC_LOGGER_PARITY, m_form.parityIndex);
    DDX_CBIndex(pDX, IDC_LOGGER_DATA_BITS, m_form.dataBitsIndex);
    DDX_CBIndex(pDX, IDC_LOGGER_STOP_BITS, m_form.stopBitsIndex);
    DDX_CBIndex(pDX, IDC_LOGGER_PROTOCOL, m_form.protocolIndex);
    DDX_Text(pDX, IDC_LOGGER_SPLIT, m_form.chunkMb);
    DDV_MinMaxFloat(pDX, m_form.chunkMb, 0.0f, 100000.0f);
    DDX_Check(pDX, IDC_LOGGER_LOG_SVS, m_form.logSig);
    DDX_Check(pDX, IDC_LOGGER_LOG_TIME, m_form.logTime);
    DDX_Check(pDX, IDC_LOGGER_MAKE_CSV, m_form.makeCsv);
    DDX_Check(pDX, IDC_LOGGER_MAKE_KML, m_form.makeKml);
}

BOOL CDataRecorderDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    // The file chooser starts where the program was started.
    if (!m_mainWindow->m_startDir.IsEmpty()) ::SetCurrentDirectoryA(m_mainWindow->m_startDir);
    AddBubbleHelp(kBubbleHelp);
    m_menuTip.Create(this, GetMainWnd() != nullptr && GetMainWnd()->IsBalloonTipsOn());
    FillChoices();
    UpdateData(FALSE);  // binds the list, the picker and the lamps
    for (LoggerLamp lamp : {LOGGER_LAMP_TX, LOGGER_LAMP_RX, LOGGER_LAMP_FIX})
        m_lamps[lamp].SetColour(kActivityScheme, kLampOff, true);
    for (LoggerLamp lamp : {LOGGER_LAMP_ALM, LOGGER_LAMP_BB, LOGGER_LAMP_RTC})
        m_lamps[lamp].SetColour(kStatusScheme, kLampOff, true);

    std::vector<uint32_t> ports;
    for (int i = 0; i < AvailableComPorts.GetSize(); ++i) ports.push_back(AvailableComPorts[i]);
    for (const CString& entry : m_core.Initialise(ports, m_mainWindow->m_internalTools))
        m_portList.AddString(entry);

    // The main window's port when it has a link open, else the first entry.
    int selection = 0;
    if (m_mainWindow->GetLinkMode() != LINK_IDLE) {
        CString entry;
        entry.Format("COM %d", static_cast<int>(m_mainWindow->m_port));
        selection = std::max(0, m_portList.FindStringExact(-1, entry));
    }
    m_portList.SetCurSel(selection);
    const int32_t port = GetSelectedPort();
    ShowPortSettings(port);
    m_core.RefreshPortStatus(port);
    DockDialogToMainWindow(m_hWnd, m_mainWindow->GetSafeHwnd(), 0, false, false, true);
    // Beside a main window near the screen's edge the dock slot lies partly off it.
    KeepWindowOnWorkArea(m_hWnd);
    SetTimer(kSecondTimer, kSecondMs, nullptr);
    return TRUE;
}

void CDataRecorderDlg::FillChoices()
{
    FillCombo(*this, IDC_LOGGER_BAUD, kBaudTexts);
    FillCombo(*this, IDC_LOGGER_PARITY, kParityTexts);
    FillCombo(*this, IDC_LOGGER_DATA_BITS, kDataBitsTexts);
    FillCombo(*this, IDC_LOGGER_STOP_BITS, kStopBitsTexts);
    FillCombo(*this, IDC_LOGGER_PROTOCOL, kProtocolTexts);
}

// ---- The selected port ------------------------------------------------------------------

int32_t CDataRecorderDlg::GetSelectedPort()
{
    const int selection = m_portList.GetSafeHwnd() != nullptr ? m_portList.GetCurSel() : LB_ERR;
    if (selection == LB_ERR) return LOGGER_NO_PORT;
    CString entry;
    m_portList.GetText(selection, entry);
    return PortOfListEntry(entry);
}

void CDataRecorderDlg::ShowPortSettings(int32_t port)
{
    const LoggerGroupTitles titles = GetLoggerGroupTitles(port);
    SetText(IDC_LOGGER_GROUP_STATUS, titles.status);
    SetText(IDC_LOGGER_GROUP_FILE, titles.logFile);
    SetText(IDC_LOGGER_GROUP_PORT, titles.portSettings);
    SetText(IDC_LOGGER_GROUP_MISC, titles.misc);
    m_form = m_core.GetForm(port);
    m_colourPicker.SetColor(m_form.kmlColour);
    UpdateData(FALSE);
    m_core.ShowFileSize(port);
    const LoggerPortState* record = m_core.GetPort(port);
    EnableSettings(record == nullptr || record->controller == nullptr);
}

void CDataRecorderDlg::OnPortSelected()
{
    const int32_t port = GetSelectedPort();
    ShowPortSettings(port);
    m_core.RefreshPortStatus(port);
}

// ---- Commands ---------------------------------------------------------------------------

void CDataRecorderDlg::OnStartStopLogging() { m_core.OnStartStopLogging(GetSelectedPort()); }

void CDataRecorderDlg::OnStopAll() { m_core.StopAllPorts(); }

void CDataRecorderDlg::OnUseSettingsForAllPorts() { m_core.UseSettingsForAllPorts(GetSelectedPort()); }

void CDataRecorderDlg::OnSelectLogFile()
{
    const int32_t port = GetSelectedPort();
    if (port == LOGGER_NO_PORT) {
        AfxMessageBox(kLoggerSelectPort);
        return;
    }
    CString current;
    GetDlgItemText(IDC_LOGGER_FILE, current);
    FileChooserRequest request;
    request.title = "Create a log file ...";
    request.filter = "Log Files (.log)|*.log|ASCII Text (.txt)|*.txt|All Files (*.*)|*.*|";
    request.initialName = ProposeLogFileName(port, current);
    request.extension = "log";
    request.openDialog = false;
    request.parent = m_hWnd;
    CString path;
    CString name;
    if (GetFileChooser().Choose(request, path, name) != CHOOSE_FILE_OK) return;
    m_form.filePath = path;
    m_form.dirName = LogDirectoryOf(path);
    SetText(IDC_LOGGER_FILE, path);
    if (m_form.stdFileNaming) RebuildStandardName();
}

void CDataRecorderDlg::OnStdFileNaming()
{
    m_form.stdFileNaming = IsDlgButtonChecked(IDC_LOGGER_STD_NAMING) == BST_CHECKED;
    EnableNamingFields();
    if (m_form.stdFileNaming) {
        RebuildStandardName();
    } else {
        m_form.filePath = CurrentLogDirectory() + DefaultLogFileName(GetSelectedPort());
        SetText(IDC_LOGGER_FILE, m_form.filePath);
    }
}

void CDataRecorderDlg::OnNamingFieldChanged()
{
    if (IsDlgButtonChecked(IDC_LOGGER_STD_NAMING) == BST_CHECKED) RebuildStandardName();
}

void CDataRecorderDlg::RebuildStandardName()
{
    GetDlgItemText(IDC_LOGGER_UNIT_ID, m_form.unitId);
    GetDlgItemText(IDC_LOGGER_TEST_CASE, m_form.testCase);
    m_form.filePath = CurrentLogDirectory() + BuildStandardFileName(m_form.unitId, m_form.testCase);
    SetText(IDC_LOGGER_FILE, m_form.filePath);
}

// The folder of the path as it stands in its field, typed or chosen.
CString CDataRecorderDlg::CurrentLogDirectory()
{
    CString path;
    GetDlgItemText(IDC_LOGGER_FILE, path);
    m_form.dirName = LogDirectoryOf(path);
    return m_form.dirName;
}

void CDataRecorderDlg::EnableNamingFields()
{
    const BOOL naming = IsDlgButtonChecked(IDC_LOGGER_STD_NAMING) == BST_CHECKED && m_settingsEnabled;
    for (UINT id : {IDC_LOGGER_UNIT_ID, IDC_LOGGER_TEST_CASE})
        if (CWnd* field = GetDlgItem(id)) field->EnableWindow(naming);
}

void CDataRecorderDlg::OnLoggingCalendar()
{
    CLogCalendar calendar(this);
    calendar.m_values = m_core.GetCalendar();
    if (calendar.DoModal() == IDOK) m_core.SetCalendar(calendar.m_values);
}

// ---- Timer, events, closing -------------------------------------------------------------

void CDataRecorderDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kSecondTimer) {
        CDialogView::OnTimer(nIDEvent);
        return;
    }
    m_core.OnTimer(GetSelectedPort());
}

LRESULT CDataRecorderDlg::OnModelUpdate(WPARAM event, LPARAM param)
{
    m_core.OnModelUpdate(static_cast<int32_t>(event), static_cast<uint32_t>(param));
    return 0;
}

void CDataRecorderDlg::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (m_mainWindow->m_optMenuBubbleHelp != 0) m_menuTip.OnMenuSelect(nItemID, nFlags, hSysMenu);
}

// A logging port keeps its window: closing it only hides it.
void CDataRecorderDlg::OnClose()
{
    if (m_core.IsAnyPortLogging()) {
        ShowWindow(SW_HIDE);
        return;
    }
    UndockDialogFromMainWindow(m_hWnd, m_mainWindow->GetSafeHwnd());
    CloseView();
}

void CDataRecorderDlg::OnCloseCommand() { OnClose(); }

// Also when the program closes: every port stops and its documents are closed.
void CDataRecorderDlg::OnDestroy()
{
    KillTimer(kSecondTimer);
    m_core.Shutdown();
    m_mainWindow->GetLink().RemoveListener(m_hWnd);
    if (!m_mainWindow->m_closing) m_mainWindow->RefreshModeStatus();
    CDialogView::OnDestroy();
}

// ---- ILoggerView ------------------------------------------------------------------------

bool CDataRecorderDlg::ReadForm(LoggerForm& form)
{
    if (!UpdateData(TRUE)) return false;
    m_form.dirName = LogDirectoryOf(m_form.filePath);
    m_form.kmlColour = m_colourPicker.GetColor();
    form = m_form;
    return true;
}

void CDataRecorderDlg::ShowFilePath(const CString& path)
{
    m_form.filePath = path;
    SetText(IDC_LOGGER_FILE, path);
}

void CDataRecorderDlg::SetText(UINT id, const char* text)
{
    CString current;
    GetDlgItemText(id, current);
    if (current != text) SetDlgItemText(id, text);
}

void CDataRecorderDlg::SetStatusText(const char* text) { SetText(IDC_LOGGER_STATUS, text); }

void CDataRecorderDlg::SetSizeText(const char* text) { SetText(IDC_LOGGER_SIZE, text); }

void CDataRecorderDlg::SetFixTexts(const char* satellites, const char* dimension)
{
    SetText(IDC_LOGGER_SVS, satellites);
    SetText(IDC_LOGGER_DIM, dimension);
}

void CDataRecorderDlg::SetLamp(LoggerLamp lamp, int scheme, int shade)
{
    if (lamp >= LOGGER_LAMP_TX && lamp <= LOGGER_LAMP_RTC) m_lamps[lamp].SetColour(scheme, shade, true);
}

void CDataRecorderDlg::BlinkLamp(LoggerLamp lamp)
{
    if (lamp >= LOGGER_LAMP_TX && lamp <= LOGGER_LAMP_RTC) m_lamps[lamp].StartBlinking(kBlinkPeriodMs, true);
}

void CDataRecorderDlg::EnableSettings(bool enable)
{
    m_settingsEnabled = enable;
    SendDlgItemMessage(IDC_LOGGER_FILE, EM_SETREADONLY, enable ? FALSE : TRUE, 0);
    for (UINT id : kSettingIds)
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable);
    if (enable) EnableNamingFields();
    SetText(IDC_LOGGER_START, enable ? "Start Logging" : "Stop Logging");
    if (CMenu* menu = GetMenu()) {
        menu->ModifyMenu(IDC_LOGGER_START, MF_BYCOMMAND | MF_STRING, IDC_LOGGER_START,
                         enable ? "&Start Logging Selected Port" : "&Stop Logging Selected Port");
        menu->EnableMenuItem(IDC_LOGGER_BROWSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    }
}

// ---- ILoggerLinks -----------------------------------------------------------------------

CController* CDataRecorderDlg::GetMainLinkFor(int32_t port)
{
    const LinkMode mode = m_mainWindow->GetLinkMode();
    const bool serial = mode == LINK_MONITOR && port == static_cast<int32_t>(m_mainWindow->m_port);
    const bool playback = mode == LINK_FILE && port == LOGGER_PLAYBACK_PORT;
    return serial || playback ? &m_mainWindow->GetLink() : nullptr;
}

CController* CDataRecorderDlg::CreateLink() { return new (std::nothrow) CController(); }

void CDataRecorderDlg::DeleteLink(CController* link) { delete link; }

void CDataRecorderDlg::ReportScriptResult(int32_t result, int32_t action)
{
    CScripter* scripter = m_mainWindow->m_pScripter;
    if (scripter != nullptr && scripter->IsRunning()) scripter->ReportResult(result, action);
}

void CDataRecorderDlg::RefreshLoggingStatus() { m_mainWindow->SetTimer(MWT_TIMED_STATUS, kSecondMs, nullptr); }

// ---- Profile ----------------------------------------------------------------------------

int32_t CDataRecorderDlg::Profile::GetInt(const char* entry, int32_t defaultValue)
{
    return AppProfile().GetProfileInt(kProfileSection, entry, defaultValue);
}

CString CDataRecorderDlg::Profile::GetString(const char* entry, const char* defaultValue)
{
    return AppProfile().GetProfileString(kProfileSection, entry, defaultValue);
}

void CDataRecorderDlg::Profile::WriteInt(const char* entry, int32_t value)
{
    AppProfile().WriteProfileInt(kProfileSection, entry, value);
}

void CDataRecorderDlg::Profile::WriteString(const char* entry, const char* value)
{
    AppProfile().WriteProfileString(kProfileSection, entry, value);
}
