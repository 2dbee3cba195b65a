#include "data/CLogCalendar.h"

#include <commctrl.h>

#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "model/Clock.h"

namespace {

const char* const kCaption = "Logging Calendar";

// The program registers the common controls it uses at start-up, but the
// pickers are this dialog's alone: make sure their class exists before the
// template is created, as the framework does for the controls it wraps.
void RegisterPickerClass()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);
}

CalendarTime FromSystemTime(const SYSTEMTIME& st)
{
    CalendarTime t = MakeCalendarTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    t.wDayOfWeek = st.wDayOfWeek;
    return t;
}

SYSTEMTIME ToSystemTime(const CalendarTime& t)
{
    SYSTEMTIME st = {};
    st.wYear = t.wYear;
    st.wMonth = t.wMonth;
    st.wDayOfWeek = t.wDayOfWeek;
    st.wDay = t.wDay;
    st.wHour = t.wHour;
    st.wMinute = t.wMinute;
    st.wSecond = t.wSecond;
    return st;
}

CalendarTime ReadPicker(CWnd& dialog, int id)
{
    SYSTEMTIME st = {};
    dialog.SendDlgItemMessage(id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return FromSystemTime(st);
}

// A moment no picker can show leaves the picker on its own (today).
void ShowInPicker(CWnd& dialog, int id, const CalendarTime& t)
{
    if (t.wYear == 0)
        return;
    SYSTEMTIME st = ToSystemTime(t);
    dialog.SendDlgItemMessage(id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

// The two pickers of one moment.
struct MomentPickers {
    int date;
    int time;
};
const MomentPickers kStartPickers = {IDC_LOGCAL_START_DATE, IDC_LOGCAL_START_TIME};
const MomentPickers kEndPickers = {IDC_LOGCAL_END_DATE, IDC_LOGCAL_END_TIME};

void ShowMoment(CWnd& dialog, const MomentPickers& pickers, int64_t seconds)
{
    const CalendarTime local = LocalCalendarTime(seconds);
    ShowInPicker(dialog, pickers.date, local);
    ShowInPicker(dialog, pickers.time, local);
}

int64_t ReadMoment(CWnd& dialog, const MomentPickers& pickers)
{
    return ComposeLocalTime(ReadPicker(dialog, pickers.date), ReadPicker(dialog, pickers.time));
}

} // namespace

BEGIN_MESSAGE_MAP(CLogCalendar, CDialog)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_LOGCAL_START_DATE, &CLogCalendar::OnPickerChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_LOGCAL_START_TIME, &CLogCalendar::OnPickerChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_LOGCAL_END_DATE, &CLogCalendar::OnPickerChanged)
    ON_NOTIFY(DTN_DATETIMECHANGE, IDC_LOGCAL_END_TIME, &CLogCalendar::OnPickerChanged)
    // The template's Cancel button does not carry IDCANCEL; Escape and
    // closing the window do, and reach the same handler through the base map.
    ON_BN_CLICKED(IDC_LOGCAL_CANCEL, &CLogCalendar::OnCancel)
END_MESSAGE_MAP()

CLogCalendar::CLogCalendar(CWnd* owner) : CDialog(IDD_LOG_CALENDAR, owner)
{
    RegisterPickerClass();
}

BOOL CLogCalendar::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_LOGCAL_USE, m_values.use != 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowMoment(*this, kStartPickers, m_values.start);
    ShowMoment(*this, kEndPickers, m_values.end);
    CenterWindow();
    // Centred on an owner near a screen edge, the dialog may hang off the
    // screen: let the dialog manager pull it back into the work area.
    SendMessage(DM_REPOSITION);
    return TRUE;
}

LogCalendarValues CLogCalendar::ReadControls()
{
    LogCalendarValues values;
    values.use = IsDlgButtonChecked(IDC_LOGCAL_USE) == BST_CHECKED ? 1 : 0;
    values.start = ReadMoment(*this, kStartPickers);
    values.end = ReadMoment(*this, kEndPickers);
    return values;
}

void CLogCalendar::OnOK()
{
    const LogCalendarValues chosen = ReadControls();
    const char* refusal = CheckLogCalendar(chosen, GetClock().NowSeconds());
    if (refusal != nullptr) {
        MessageBox(refusal, kCaption, MB_OK | MB_ICONERROR);
        return;
    }
    m_values = chosen;
    EndDialog(IDOK);
}

// Editing a moment means the user wants the calendar: it is switched on
// without a separate click.
void CLogCalendar::OnPickerChanged(NMHDR*, LRESULT* result)
{
    CheckDlgButton(IDC_LOGCAL_USE, BST_CHECKED);
    *result = 0;
}
