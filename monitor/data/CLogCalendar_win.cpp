#include "data/CLogCalendar.h"

#include <commctrl.h>

#include "app/resource.h"
#include "framework/MessagePrompter.h"
#include "model/Clock.h"

namespace {

const char* const kCaption = "Logging Calendar";

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

CalendarTime ReadPicker(const CDateTimeCtrl& picker)
{
    SYSTEMTIME st = {};
    picker.GetTime(&st);
    return FromSystemTime(st);
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

CLogCalendar::CLogCalendar(CWnd* owner) : CDialog(IDD_LOG_CALENDAR, owner) {}

void CLogCalendar::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_LOGCAL_START_DATE, m_start.date);
    DDX_Control(pDX, IDC_LOGCAL_START_TIME, m_start.time);
    DDX_Control(pDX, IDC_LOGCAL_END_DATE, m_end.date);
    DDX_Control(pDX, IDC_LOGCAL_END_TIME, m_end.time);
}

BOOL CLogCalendar::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_LOGCAL_USE, m_values.use != 0 ? BST_CHECKED : BST_UNCHECKED);
    ShowMoment(m_start, m_values.start);
    ShowMoment(m_end, m_values.end);
    CenterWindow();
    // Centred on an owner near a screen edge, the dialog may hang off the
    // screen: let the dialog manager pull it back into the work area.
    SendMessage(DM_REPOSITION);
    return TRUE;
}

// A moment no picker can show leaves both pickers on their own (now).
void CLogCalendar::ShowMoment(MomentPickers& pickers, int64_t seconds)
{
    const CalendarTime local = LocalCalendarTime(seconds);
    if (local.wYear == 0)
        return;
    const SYSTEMTIME st = ToSystemTime(local);
    pickers.date.SetTime(&st);
    pickers.time.SetTime(&st);
}

int64_t CLogCalendar::ReadMoment(const MomentPickers& pickers)
{
    return ComposeLocalTime(ReadPicker(pickers.date), ReadPicker(pickers.time));
}

LogCalendarValues CLogCalendar::ReadControls() const
{
    LogCalendarValues values;
    values.use = IsDlgButtonChecked(IDC_LOGCAL_USE) == BST_CHECKED ? 1 : 0;
    values.start = ReadMoment(m_start);
    values.end = ReadMoment(m_end);
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
