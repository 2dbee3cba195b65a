#include "data/CDataConverterOptionsDlg.h"

#include "app/resource.h"
#include "controls/WorkArea.h"
#include "framework/MessagePrompter.h"

namespace {

struct BubbleText {
    UINT id;
    const char* text;
};

const BubbleText kBubbleHelp[] = {
    {IDC_CONV_OPT_OVERWRITE,
     "If selected, the newly created files will automatically overwrite already existing files. If this option is "
     "not selected, user will be prompted to overwrite already existing files."},
    {IDC_CONV_OPT_HEADER,
     "If selected, a header describing the translation will be added at the beginning of the generated text file."},
    {IDC_CONV_OPT_DM_PREFIX,
     "If selected, any translation of internal Velmara diagnostic packets will be pre-pended with \"DM\" "
     "(Diagnostic Message)."},
    {IDC_CONV_OPT_BAD_PARSES,
     "If selected, when a broken/corrupted packet is present in the log file, the raw hex data bytes will be printed "
     "in the generated text file."},
    {IDC_CONV_OPT_PACKET_IDS,
     "If selected, the QBIN packet ID will be printed before textual translation of the packet data."},
    {IDC_CONV_OPT_BLANK_LINE,
     "If selected, a blank line will be inserted prior to translation of the specified QBIN packet. The hex packet "
     "ID must be specified in the field on the right."},
    {IDC_CONV_OPT_BLANK_ID,
     "Specifies the QBIN packet ID before which a blank line will be inserted in the generated text file if the "
     "checkbox on the left is selected."},
    {IDC_CONV_OPT_BLANK_SUBCODE,
     "Specifies the QBIN packet sub-code (optional) of the QBIN packet for inserting a blank line before translating "
     "it. Useful for identifying QBIN packets with the same packet ID, but different sub-codes (e.g. 0x8F-20, etc.)"},
    {IDC_CONV_OPT_SPLIT,
     "If selected, the generated spreadsheet file will be split into multiple files having no more than the "
     "specified number of lines each. _001, _002, etc will be appended to the generated file name for each file."},
    {IDC_CONV_OPT_LINES,
     "Specifies the number of lines for each generated spreadsheet file if the checkbox on the left is selected."},
    {IDC_CONV_OPT_FILL_1HZ,
     "If selected, when the position fix is unavailable, a data record will still be generated containing the "
     "fields that are available every second (such as time, number of tracked satellites, receiver mode, etc)."},
    {IDC_CONV_OPT_NA,
     "If selected, when a particular piece of data is unavailable, #N/A will be entered rather than leaving a blank "
     "cell in the spreadsheet."},
    {IDC_CONV_OPT_FIELD_SEP, "Specifies the field separator character for the generated spreadsheet file."},
    {IDC_CONV_OPT_RANGE,
     "If selected, only data within the specified time interval will be processed. The start and end times must be "
     "specified in the GPS format - week number and time of week (in seconds)."},
    {IDC_CONV_OPT_START_WN, "Start week number for the processing time interval."},
    {IDC_CONV_OPT_START_TOW, "Start time of week (in seconds) for the processing time interval."},
    {IDC_CONV_OPT_END_WN, "End week number for the processing time interval."},
    {IDC_CONV_OPT_END_TOW, "End time of week (in seconds) for the processing time interval."},
};

struct FlagControl {
    int id;
    bool ConverterOptions::*flag;
};

const FlagControl kFlagControls[] = {
    {IDC_CONV_OPT_OVERWRITE, &ConverterOptions::overwrite},
    {IDC_CONV_OPT_RANGE, &ConverterOptions::rangeOn},
    {IDC_CONV_OPT_HEADER, &ConverterOptions::translationHeader},
    {IDC_CONV_OPT_DM_PREFIX, &ConverterOptions::dmPrefix},
    {IDC_CONV_OPT_BAD_PARSES, &ConverterOptions::rawData},
    {IDC_CONV_OPT_PACKET_IDS, &ConverterOptions::packetId},
    {IDC_CONV_OPT_BLANK_LINE, &ConverterOptions::blankLine},
    {IDC_CONV_OPT_SPLIT, &ConverterOptions::spreadsheetSplit},
    {IDC_CONV_OPT_FILL_1HZ, &ConverterOptions::fill1Hz},
    {IDC_CONV_OPT_NA, &ConverterOptions::na},
};

struct NumberControl {
    int id;
    int32_t ConverterOptions::*number;
};

// The interval's edits, enabled only while the interval is on.
const NumberControl kIntervalControls[] = {
    {IDC_CONV_OPT_START_WN, &ConverterOptions::startWeek},
    {IDC_CONV_OPT_START_TOW, &ConverterOptions::startTimeOfWeek},
    {IDC_CONV_OPT_END_WN, &ConverterOptions::endWeek},
    {IDC_CONV_OPT_END_TOW, &ConverterOptions::endTimeOfWeek},
};

const char* const kFieldSeparators[] = {"Tab", "Space", "Comma"};

// Lines per spreadsheet part: an unsigned edit, kept within the record's range.
const UINT kMaxLinesPerPart = 0x7FFFFFFF;

}  // namespace

BEGIN_MESSAGE_MAP(CDataConverterOptionsDlg, CDialog)
    ON_BN_CLICKED(IDC_CONV_OPT_RANGE, &CDataConverterOptionsDlg::OnRangeClicked)
END_MESSAGE_MAP()

CDataConverterOptionsDlg::CDataConverterOptionsDlg(const ConverterOptions& options, CWnd* parent)
    : CDialog(IDD_DATA_CONVERTER_OPTIONS, parent), m_options(options)
{
}

void CDataConverterOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (const FlagControl& control : kFlagControls) {
        int checked = (m_options.*control.flag) ? BST_CHECKED : BST_UNCHECKED;
        DDX_Check(pDX, control.id, checked);
        m_options.*control.flag = checked == BST_CHECKED;
    }
    for (const NumberControl& control : kIntervalControls) {
        int value = m_options.*control.number;
        DDX_Text(pDX, control.id, value);
        m_options.*control.number = value;
    }
    DDX_Text(pDX, IDC_CONV_OPT_BLANK_ID, m_options.blankLinePacketId);
    DDX_Text(pDX, IDC_CONV_OPT_BLANK_SUBCODE, m_options.blankLineSubcode);
    UINT lines = m_options.linesPerPart < 0 ? 0u : static_cast<UINT>(m_options.linesPerPart);
    DDX_Text(pDX, IDC_CONV_OPT_LINES, lines);
    DDV_MinMaxUInt(pDX, lines, 0, kMaxLinesPerPart);
    m_options.linesPerPart = static_cast<int32_t>(lines);
    int separator = m_options.fieldSep;
    DDX_CBIndex(pDX, IDC_CONV_OPT_FIELD_SEP, separator);
    m_options.fieldSep = separator < 0 ? 0 : separator;
}

BOOL CDataConverterOptionsDlg::OnInitDialog()
{
    if (CComboBox* separators = static_cast<CComboBox*>(GetDlgItem(IDC_CONV_OPT_FIELD_SEP)))
        for (const char* name : kFieldSeparators) ::SendMessageA(separators->m_hWnd, CB_ADDSTRING, 0,
                                                                 reinterpret_cast<LPARAM>(name));
    CDialog::OnInitDialog();
    if (m_bubbleHelp.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX)) {
        m_bubbleHelp.SetMaxTipWidth(300);
        m_bubbleHelp.SetDelayTime(TTDT_AUTOPOP, 30000);
        for (const BubbleText& bubble : kBubbleHelp)
            if (CWnd* control = GetDlgItem(static_cast<int>(bubble.id))) m_bubbleHelp.AddTool(control, bubble.text);
    }
    if (GetParent() != nullptr) CenterWindow(GetParent());
    KeepWindowOnWorkArea(m_hWnd);
    EnableIntervalEdits();
    return TRUE;
}

BOOL CDataConverterOptionsDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_bubbleHelp.GetSafeHwnd() != nullptr && pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
        m_bubbleHelp.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CDataConverterOptionsDlg::EnableIntervalEdits()
{
    const BOOL on = ::IsDlgButtonChecked(m_hWnd, IDC_CONV_OPT_RANGE) == BST_CHECKED;
    for (const NumberControl& control : kIntervalControls)
        if (CWnd* edit = GetDlgItem(control.id)) edit->EnableWindow(on);
}

void CDataConverterOptionsDlg::OnRangeClicked() { EnableIntervalEdits(); }

void CDataConverterOptionsDlg::OnOK()
{
    if (!UpdateData(TRUE)) return;
    if (const char* refusal = CheckConverterOptions(m_options)) {
        AfxMessageBox(refusal, MB_OK);
        return;
    }
    EndDialog(IDOK);
}
