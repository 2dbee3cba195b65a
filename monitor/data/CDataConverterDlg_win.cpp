#include "data/CDataConverterDlg.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AppProfile.h"
#include "app/CMainApp.h"
#include "app/CMainWndDlg.h"
#include "app/MainWndProfile.h"
#include "app/resource.h"
#include "controls/WorkArea.h"
#include "data/CDataConverterOptionsDlg.h"
#include "framework/MessagePrompter.h"
#include "model/ReceiverEvent.h"
#include "model/WinHelpers.h"

namespace {

// The unattended window's title names the program's version.
const char kUnattendedTitleFormat[] = "Data Converter (QZW v%d.%02d.%d)";
const int kVersionMajor = 1;
const int kVersionMinor = 5;
const int kVersionBuild = 0;

const int kDockGap = 5;                 // pixels between the main window and this one
const UINT kMainWindowCloseMs = 500;    // the main window's closing timer after an unattended run
const int kStatusFontTenths = 100;      // 10 points
const char kStatusFontFace[] = "Tahoma";

const char kFileFilter[] = "Data Log Files (*.qbl,*.log,*.txt,*.bin)|*.qbl;*.log;*.txt;*.bin|All Files (*.*)|*.*|";
const char kChooseTitle[] = "Choose a log file to convert...";
const char kDefaultExtension[] = "log";

const BubbleHelpText kBubbleHelp[] = {
    {IDC_CONV_FILE, "Location of the file to convert."},
    {IDC_CONV_SELECT_FILE, "Browse and select the file to convert..."},
    {IDC_CONV_CSV,
     "Generates a file in the comma-separated value format (CSV) that can be directly imported into MS Streets & "
     "Trips application. The file contains only horizontal position information."},
    {IDC_CONV_KML,
     "Generates a file in the KML format that can be directly imported into Google Earth application. The file "
     "contains only horizontal/vertical position information."},
    {IDC_CONV_KML_COLOUR,
     "Select the color for the position dots shown in Google Earth when the .KML file is imported."},
    {IDC_CONV_XLX,
     "Generates a file in the spreadsheet format that can be opened directly in MS Excel. The file contains "
     "various types of information such as position, velocity, time, tracking status, receiver mode, used "
     "satellites, and more.\n\nNote: this conversion can only be performed on either QBIN or NMEA data files."},
    {IDC_CONV_TXT,
     "Generates a file in the ASCII text format that can be opened directly in any text viewer/editor. The file "
     "contains translation of each binary QBIN packet present in the data file.\n\nNote: this conversion can only "
     "be performed on QBIN data files."},
    {IDC_CONV_CONVERT_ALL, "Converts all .log and .qbl files located in the same directory as the selected file."},
    {IDC_CONV_NMEA,
     "Generates a file in the ASCII text format that contains NMEA GGA messages for each valid position in the raw "
     "data file."},
};

// The check boxes of the window and the options they show.
struct FlagControl {
    int id;
    bool ConverterOptions::*flag;
};

const FlagControl kFlagControls[] = {
    {IDC_CONV_CONVERT_ALL, &ConverterOptions::convertAll}, {IDC_CONV_CSV, &ConverterOptions::mapCsv},
    {IDC_CONV_KML, &ConverterOptions::kml},                {IDC_CONV_XLX, &ConverterOptions::spreadsheet},
    {IDC_CONV_TXT, &ConverterOptions::textTranslation},   {IDC_CONV_NMEA, &ConverterOptions::nmeaGga},
};

// The folder the file dialog opens in: the named path when it is a folder,
// else the folder of the file it names.
CString InitialFolder(const CString& named)
{
    if (named.IsEmpty()) return CString();
    return GetConversionFolder(named, GetSystemDataFolder());
}

}  // namespace

// ---- Timers --------------------------------------------------------------------------------

bool CDataConverterDlg::WindowTimers::SetTimer(uint32_t id, uint32_t ms)
{
    return owner->GetSafeHwnd() != nullptr && owner->SetTimer(id, ms, nullptr) != 0;
}

void CDataConverterDlg::WindowTimers::KillTimer(uint32_t id)
{
    if (owner->GetSafeHwnd() != nullptr) owner->KillTimer(id);
}

// ---- Construction ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDataConverterDlg, CDialogView)
    ON_BN_CLICKED(IDC_CONV_CONVERT, &CDataConverterDlg::OnConvert)
    ON_BN_CLICKED(IDC_CONV_SELECT_FILE, &CDataConverterDlg::OnSelectFile)
    ON_COMMAND(ID_CONV_OPTIONS, &CDataConverterDlg::OnOptions)
    ON_BN_CLICKED(IDC_CONV_CLOSE, &CDataConverterDlg::OnCloseCommand)
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_WM_CTLCOLOR()
    ON_WM_MENUSELECT()
END_MESSAGE_MAP()

CDataConverterDlg::CDataConverterDlg(CMainWndDlg* mainWindow, CWnd* parent)
    : CDialogView(IDD_DATA_CONVERTER, parent != nullptr ? parent : mainWindow),
      m_mainWindow(mainWindow),
      m_link(m_controller),
      m_run(m_link, GetSystemDataFolder(), *this, m_timers),
      m_statusColour(kConvColourGood),
      m_statusSystemColour(false)
{
    m_timers.owner = this;
}

CDataConverterDlg::~CDataConverterDlg() {}

IDialogViewHost* CDataConverterDlg::GetDialogViewHost() { return m_mainWindow; }

bool CDataConverterDlg::IsUnattended() const
{
    return m_mainWindow != nullptr && m_mainWindow->IsCommandLineMode(START_MODE_CONVERTER);
}

void CDataConverterDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogView::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CONV_FILE, m_options.inputPath);
    for (const FlagControl& control : kFlagControls) {
        int checked = (m_options.*control.flag) ? BST_CHECKED : BST_UNCHECKED;
        DDX_Check(pDX, control.id, checked);
        m_options.*control.flag = checked == BST_CHECKED;
    }
}

BOOL CDataConverterDlg::OnInitDialog()
{
    CDialogView::OnInitDialog();
    AddBubbleHelp(kBubbleHelp);
    // Only the end of this window's own conversions matters, never the main
    // window's link.
    if (IDialogViewHost* host = GetMainWnd())
        if (CController* mainLink = host->GetViewController()) mainLink->RemoveListener(m_hWnd);
    m_link.SetListener(m_hWnd, WM_RECEIVER_EVENT);
    m_run.SetUnattended(IsUnattended());

    m_menuTip.Create(this, GetMainWnd() != nullptr && GetMainWnd()->IsBalloonTipsOn());
    if (m_statusFont.CreatePointFont(kStatusFontTenths, kStatusFontFace)) {
        LOGFONTA font = {};
        m_statusFont.GetLogFont(&font);
        font.lfWeight = FW_BOLD;
        m_statusFont.DeleteObject();
        m_statusFont.CreateFontIndirect(&font);
        if (CWnd* status = GetDlgItem(IDC_CONV_STATUS)) status->SetFont(&m_statusFont);
    }

    AppProfile profile;
    LoadConverterOptions(profile, m_options);
    m_colourPicker.SubclassDlgItem(IDC_CONV_KML_COLOUR, this);
    m_colourPicker.SetColor(m_options.kmlDotColour);
    UpdateData(FALSE);
    SetControlText(IDC_CONV_PERCENT, CString());
    SetControlText(IDC_CONV_RECORDS, CString());

    if (IsUnattended()) {
        CString title;
        title.Format(kUnattendedTitleFormat, kVersionMajor, kVersionMinor, kVersionBuild);
        SetWindowText(title);
        // Brought to the top once, not kept there.
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RestoreWindowPosition(m_hWnd, kConverterWindowSection);
        SetTimer(CONV_TIMER_CMDLINE_START, kConvCmdLineStartMs, nullptr);
    } else if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr) {
        DockDialogToMainWindow(m_hWnd, m_mainWindow->m_hWnd, kDockGap, false, false, true);
        KeepWindowOnWorkArea(m_hWnd);
    }
    return TRUE;
}

// ---- Menu help ---------------------------------------------------------------------------------

void CDataConverterDlg::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    // The main window's setting decides; without a main window help is shown.
    if (m_mainWindow != nullptr && m_mainWindow->m_optMenuBubbleHelp == 0) return;
    m_menuTip.OnMenuSelect(nItemID, nFlags, hSysMenu);
}

// ---- Commands ------------------------------------------------------------------------------------

void CDataConverterDlg::OnConvert()
{
    if (!m_run.IsRunning() && !m_run.IsAbortPending()) {
        if (!UpdateData(TRUE)) return;
        m_options.kmlDotColour = m_colourPicker.GetColor();
    }
    m_run.OnConvert(m_options);
}

void CDataConverterDlg::OnSelectFile()
{
    UpdateData(TRUE);
    AppProfile profile;
    std::string filter(kFileFilter);
    for (char& c : filter)
        if (c == '|') c = '\0';
    std::vector<char> file(32768, '\0');
    const CString folder = InitialFolder(m_options.inputPath);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(profile.GetProfileInt(kConverterSection, kConverterFileTypeEntry,
                                                                kConverterFileTypeDefault));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : folder.GetString();
    ofn.lpstrTitle = kChooseTitle;
    ofn.lpstrDefExt = kDefaultExtension;
    // The program's working folder stays: relative paths keep their meaning.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&ofn)) return;
    m_options.inputPath = file.data();
    profile.WriteProfileInt(kConverterSection, kConverterFileTypeEntry, static_cast<int32_t>(ofn.nFilterIndex));
    UpdateData(FALSE);
}

void CDataConverterDlg::OnOptions()
{
    if (!UpdateData(TRUE)) return;
    CDataConverterOptionsDlg dialog(m_options, this);
    if (dialog.DoModal() != IDOK) return;
    m_options = dialog.GetOptions();
    AppProfile profile;
    SaveConverterDialogOptions(profile, m_options);
}

void CDataConverterDlg::OnCloseCommand() { OnClose(); }

void CDataConverterDlg::OnClose()
{
    ShowWindow(SW_HIDE);
    // A run still converting ends as aborted: its outputs stay complete.
    m_run.OnClose();
    m_link.Close();
    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr)
        UndockDialogFromMainWindow(m_hWnd, m_mainWindow->m_hWnd);
    if (IsUnattended()) {
        SaveWindowPosition(m_hWnd, kConverterWindowSection);
        EndUnattended(m_run.GetExitCode());
        return;
    }
    CloseView();
}

// ---- Events and timers --------------------------------------------------------------------------

LRESULT CDataConverterDlg::OnModelUpdate(WPARAM event, LPARAM)
{
    if (static_cast<int32_t>(event) == EV_END_OF_DATA) m_run.OnEndOfData();
    return 0;
}

void CDataConverterDlg::StartUnattended()
{
    const ConverterOptions& given = m_mainWindow->GetCmdLineSettings().converter.converter;
    ApplyConverterCommandLine(given, m_options);
    UpdateData(FALSE);
    OnConvert();
}

void CDataConverterDlg::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent) {
    case CONV_TIMER_CMDLINE_START:
        KillTimer(nIDEvent);
        if (m_mainWindow != nullptr) StartUnattended();
        break;
    case CONV_TIMER_ABORT: m_run.OnAbortTimer(); break;
    case CONV_TIMER_PROGRESS: m_run.OnProgressTimer(); break;
    default: CDialogView::OnTimer(nIDEvent); break;
    }
}

HBRUSH CDataConverterDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CDialogView::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pDC != nullptr && pWnd != nullptr && pWnd->GetDlgCtrlID() == IDC_CONV_STATUS)
        pDC->SetTextColor(m_statusSystemColour ? ::GetSysColor(COLOR_WINDOWTEXT) : m_statusColour);
    return brush;
}

// ---- What the run shows --------------------------------------------------------------------------

void CDataConverterDlg::SetControlText(UINT id, const CString& text)
{
    CWnd* control = GetDlgItem(static_cast<int>(id));
    if (control == nullptr) return;
    CString current;
    control->GetWindowText(current);
    // The progress timer runs at 50 Hz: unchanged texts are not redrawn.
    if (current != text) control->SetWindowText(text);
}

void CDataConverterDlg::ShowMessage(const char* text) { AfxMessageBox(text, MB_OK); }

void CDataConverterDlg::WriteErrorLine(const char* text) { WriteStandardErrorLine(text); }

void CDataConverterDlg::SetStatus(const CString& text, ConverterStatusColour colour)
{
    m_statusSystemColour = colour == CONV_STATUS_NORMAL;
    m_statusColour = colour == CONV_STATUS_BAD ? kConvColourBad : kConvColourGood;
    SetControlText(IDC_CONV_STATUS, text);
    if (CWnd* status = GetDlgItem(IDC_CONV_STATUS)) status->Invalidate();
}

void CDataConverterDlg::SetConvertButtonText(const char* text) { SetControlText(IDC_CONV_CONVERT, text); }

void CDataConverterDlg::SetProgressRange(int32_t range)
{
    ::SendDlgItemMessageA(m_hWnd, IDC_CONV_PROGRESS, PBM_SETRANGE32, 0, range);
}

void CDataConverterDlg::SetProgressPosition(int32_t position)
{
    ::SendDlgItemMessageA(m_hWnd, IDC_CONV_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void CDataConverterDlg::SetPercentText(const CString& text) { SetControlText(IDC_CONV_PERCENT, text); }

void CDataConverterDlg::SetRecordCountText(const CString& text) { SetControlText(IDC_CONV_RECORDS, text); }

void CDataConverterDlg::SaveChoices(const ConverterOptions& options)
{
    AppProfile profile;
    SaveConverterChoices(profile, options);
}

void CDataConverterDlg::EndUnattended(int32_t exitCode)
{
    SetProgramExitCode(exitCode);
    // The main window ends the program, as every command-line job does.
    if (m_mainWindow != nullptr && m_mainWindow->GetSafeHwnd() != nullptr)
        m_mainWindow->SetTimer(MWT_CLOSE, kMainWindowCloseMs, nullptr);
}
