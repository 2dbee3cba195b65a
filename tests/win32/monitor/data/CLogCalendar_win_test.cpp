// The logging calendar dialog from the program's own template, run modally:
// a script acts on it from inside the modal loop as a user would (a picker
// change, a click, closing the window) and the test reads what came back.
// The clock is fixed and message boxes go to a scripted prompter.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/resource.h"
#include "data/CLogCalendar.h"
#include "framework/afx.h"
#include "model/Clock.h"

namespace {

const int64_t kNow = 1893456000;  // 2030-01-01 00:00:00 UTC
const int64_t kHour = 3600;
const char* const kCaption = "Logging Calendar";
const UINT kScriptTimer = 1;        // ms: runs the script as soon as the loop pumps
const UINT kGuardTimeout = 10000;   // ms: a script that left the dialog open

const int kPickers[] = {IDC_LOGCAL_START_DATE, IDC_LOGCAL_START_TIME, IDC_LOGCAL_END_DATE,
                        IDC_LOGCAL_END_TIME};

std::function<void(CLogCalendar&)> g_script;
CLogCalendar* g_dialog = nullptr;
bool g_guardFired = false;

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    std::function<void(CLogCalendar&)> script;
    script.swap(g_script);
    if (script && g_dialog != nullptr && g_dialog->m_hWnd != nullptr)
        script(*g_dialog);
}

void CALLBACK Guard(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_guardFired = true;
    if (g_dialog != nullptr && g_dialog->m_hWnd != nullptr)
        g_dialog->EndDialog(-2);
}

// DoModal with `script` run once inside its loop.
INT_PTR RunModal(CLogCalendar& dialog, std::function<void(CLogCalendar&)> script)
{
    g_dialog = &dialog;
    g_script = std::move(script);
    g_guardFired = false;
    UINT_PTR scriptTimer = ::SetTimer(nullptr, 0, kScriptTimer, RunScript);
    UINT_PTR guardTimer = ::SetTimer(nullptr, 0, kGuardTimeout, Guard);
    INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, scriptTimer);
    ::KillTimer(nullptr, guardTimer);
    g_dialog = nullptr;
    EXPECT_FALSE(g_guardFired) << "the script left the dialog open";
    return result;
}

SYSTEMTIME ToSystemTime(const CalendarTime& t)
{
    SYSTEMTIME st = {};
    st.wYear = t.wYear;
    st.wMonth = t.wMonth;
    st.wDay = t.wDay;
    st.wHour = t.wHour;
    st.wMinute = t.wMinute;
    st.wSecond = t.wSecond;
    return st;
}

SYSTEMTIME PickerTime(CWnd& dialog, int id)
{
    SYSTEMTIME st = {};
    dialog.SendDlgItemMessage(id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

// What the picker does when the user edits it: takes the value and tells its
// owner.
void ChangePicker(CWnd& dialog, int id, const CalendarTime& t)
{
    HWND picker = ::GetDlgItem(dialog.m_hWnd, id);
    ASSERT_NE(nullptr, picker);
    NMDATETIMECHANGE change = {};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = ToSystemTime(t);
    ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&change.st));
    ::SendMessageA(dialog.m_hWnd, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
}

void PressKey(HWND window, WPARAM key)
{
    ::SendMessageA(window, WM_KEYDOWN, key, 0);
    ::SendMessageA(window, WM_KEYUP, key, 0);
}

// A user's edit from the keyboard: the picker itself tells its owner.
void StepPickerField(CWnd& dialog, int id)
{
    HWND picker = ::GetDlgItem(dialog.m_hWnd, id);
    ::SetFocus(picker);
    PressKey(picker, VK_RIGHT);  // onto a field
    PressKey(picker, VK_UP);     // one up
}

bool SameMoment(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

void Click(CWnd& dialog, int id)
{
    ::SendMessageA(::GetDlgItem(dialog.m_hWnd, id), BM_CLICK, 0, 0);
}

bool UseChecked(CWnd& dialog)
{
    return dialog.IsDlgButtonChecked(IDC_LOGCAL_USE) == BST_CHECKED;
}

class LogCalendarDialog : public ::testing::Test {
protected:
    LogCalendarDialog() : m_clockScope(&m_clock), m_prompterScope(&m_prompter)
    {
        m_clock.Set(CalendarTime(), CalendarTime(), kNow);
    }

    LogCalendarValues Values(int32_t use, int64_t start, int64_t end)
    {
        LogCalendarValues v;
        v.use = use;
        v.start = start;
        v.end = end;
        return v;
    }

    FixedClock m_clock;
    ScopedClock m_clockScope;
    ScriptedPrompter m_prompter;
    CPrompterScope m_prompterScope;
};

void ExpectSameValues(const LogCalendarValues& expected, const LogCalendarValues& actual)
{
    EXPECT_EQ(expected.use, actual.use);
    EXPECT_EQ(expected.start, actual.start);
    EXPECT_EQ(expected.end, actual.end);
}

void ExpectPickerShows(CWnd& dialog, int id, const CalendarTime& local, bool date)
{
    const SYSTEMTIME st = PickerTime(dialog, id);
    if (date) {
        EXPECT_EQ(local.wYear, st.wYear) << id;
        EXPECT_EQ(local.wMonth, st.wMonth) << id;
        EXPECT_EQ(local.wDay, st.wDay) << id;
    } else {
        EXPECT_EQ(local.wHour, st.wHour) << id;
        EXPECT_EQ(local.wMinute, st.wMinute) << id;
        EXPECT_EQ(local.wSecond, st.wSecond) << id;
    }
}

TEST_F(LogCalendarDialog, OpensWithTheCallersValuesCentredOnItsOwner)
{
    HWND ownerWnd = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 200, 500, 400,
                                      nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, ownerWnd);
    CWnd owner;
    owner.Attach(ownerWnd);
    CLogCalendar dialog(&owner);
    dialog.m_values = Values(1, kNow + kHour + 17, kNow + 30 * kHour + 42);
    const CalendarTime start = LocalCalendarTime(dialog.m_values.start);
    const CalendarTime end = LocalCalendarTime(dialog.m_values.end);
    INT_PTR result = RunModal(dialog, [&](CLogCalendar& d) {
        char caption[64] = {};
        ::GetWindowTextA(d.m_hWnd, caption, sizeof caption);
        EXPECT_STREQ(kCaption, caption);
        EXPECT_TRUE(UseChecked(d));
        ExpectPickerShows(d, IDC_LOGCAL_START_DATE, start, true);
        ExpectPickerShows(d, IDC_LOGCAL_START_TIME, start, false);
        ExpectPickerShows(d, IDC_LOGCAL_END_DATE, end, true);
        ExpectPickerShows(d, IDC_LOGCAL_END_TIME, end, false);
        RECT rd, ro;
        ::GetWindowRect(d.m_hWnd, &rd);
        ::GetWindowRect(ownerWnd, &ro);
        EXPECT_NEAR((ro.left + ro.right) / 2, (rd.left + rd.right) / 2, 1);
        EXPECT_NEAR((ro.top + ro.bottom) / 2, (rd.top + rd.bottom) / 2, 1);
        Click(d, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    // Shown and read back unchanged, to the second.
    ExpectSameValues(Values(1, kNow + kHour + 17, kNow + 30 * kHour + 42), dialog.m_values);
    EXPECT_TRUE(m_prompter.boxes.empty());
    owner.Detach();
    ::DestroyWindow(ownerWnd);
}

// Each dialog run costs a window closing under Wine: one run covers all pickers.
TEST_F(LogCalendarDialog, AnyPickerChangeSwitchesTheCalendarOn)
{
    CLogCalendar dialog(nullptr);
    const LogCalendarValues before = Values(0, kNow + kHour, kNow + 2 * kHour);
    dialog.m_values = before;
    INT_PTR result = RunModal(dialog, [&](CLogCalendar& d) {
        EXPECT_FALSE(UseChecked(d));
        for (int id : kPickers) {
            if (UseChecked(d))
                Click(d, IDC_LOGCAL_USE);  // the user clears it again
            ASSERT_FALSE(UseChecked(d));
            const SYSTEMTIME before = PickerTime(d, id);
            StepPickerField(d, id);
            EXPECT_FALSE(SameMoment(before, PickerTime(d, id))) << id;
            EXPECT_TRUE(UseChecked(d)) << id;
        }
        Click(d, IDC_LOGCAL_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    ExpectSameValues(before, dialog.m_values);
}

TEST_F(LogCalendarDialog, RefusedOkTellsWhyAndStaysOpen)
{
    struct Case {
        int64_t start;
        int64_t end;
        const char* message;
    } cases[] = {
        {kNow + 2 * kHour, kNow + kHour, "Start time cannot be later than the end time!"},
        {kNow - 2 * kHour, kNow - kHour, "End time cannot be in the past!"},
        {kNow + kHour, kNow + kHour, "Start and end times must be different!"},
    };
    CLogCalendar dialog(nullptr);
    const LogCalendarValues before = Values(0, kNow + kHour, kNow + 2 * kHour);
    dialog.m_values = before;
    INT_PTR result = RunModal(dialog, [&](CLogCalendar& d) {
        for (const Case& c : cases) {
            m_prompter.boxes.clear();
            const CalendarTime start = LocalCalendarTime(c.start);
            const CalendarTime end = LocalCalendarTime(c.end);
            ChangePicker(d, IDC_LOGCAL_START_DATE, start);
            ChangePicker(d, IDC_LOGCAL_START_TIME, start);
            ChangePicker(d, IDC_LOGCAL_END_DATE, end);
            ChangePicker(d, IDC_LOGCAL_END_TIME, end);
            Click(d, IDOK);
            EXPECT_TRUE(::IsWindowVisible(d.m_hWnd)) << c.message;
            ASSERT_EQ(1u, m_prompter.boxes.size()) << c.message;
            EXPECT_EQ(c.message, m_prompter.boxes[0].text);
            EXPECT_EQ(kCaption, m_prompter.boxes[0].caption);
            EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), m_prompter.boxes[0].type & MB_ICONMASK);
        }
        Click(d, IDC_LOGCAL_CANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    ExpectSameValues(before, dialog.m_values);
}

TEST_F(LogCalendarDialog, CancelAndCloseLeaveTheCallersValues)
{
    const UINT kCancelButton = 0, kCloseWindow = 1, kEscape = 2;
    for (UINT how : {kCancelButton, kCloseWindow, kEscape}) {
        CLogCalendar dialog(nullptr);
        const LogCalendarValues before = Values(0, kNow - 5 * kHour, kNow - 4 * kHour);
        dialog.m_values = before;
        INT_PTR result = RunModal(dialog, [&](CLogCalendar& d) {
            // Edits that would be accepted: still nothing goes back.
            ChangePicker(d, IDC_LOGCAL_END_DATE, LocalCalendarTime(kNow + 48 * kHour));
            if (how == kCancelButton) {
                Click(d, IDC_LOGCAL_CANCEL);
            } else if (how == kCloseWindow) {
                ::SendMessageA(d.m_hWnd, WM_CLOSE, 0, 0);
            } else {
                HWND focus = ::GetDlgItem(d.m_hWnd, IDC_LOGCAL_USE);
                ::SetFocus(focus);
                ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
            }
        });
        EXPECT_EQ(IDCANCEL, result) << how;
        ExpectSameValues(before, dialog.m_values);
        EXPECT_TRUE(m_prompter.boxes.empty());
    }
}

TEST_F(LogCalendarDialog, OkReturnsDateOfOnePickerWithTimeOfTheOther)
{
    // Winter dates on the time pickers, summer days on the date pickers.
    const CalendarTime startDate = MakeCalendarTime(2031, 7, 15, 23, 59, 59);
    const CalendarTime startTime = MakeCalendarTime(2031, 1, 10, 10, 0, 0);
    const CalendarTime endDate = MakeCalendarTime(2031, 7, 16, 0, 0, 1);
    const CalendarTime endTime = MakeCalendarTime(2031, 1, 10, 11, 30, 15);
    CLogCalendar dialog(nullptr);
    dialog.m_values = Values(0, 0, 0);
    INT_PTR result = RunModal(dialog, [&](CLogCalendar& d) {
        ChangePicker(d, IDC_LOGCAL_START_DATE, startDate);
        ChangePicker(d, IDC_LOGCAL_START_TIME, startTime);
        ChangePicker(d, IDC_LOGCAL_END_DATE, endDate);
        ChangePicker(d, IDC_LOGCAL_END_TIME, endTime);
        Click(d, IDOK);
    });
    ASSERT_EQ(IDOK, result);
    EXPECT_EQ(1, dialog.m_values.use);
    EXPECT_EQ(ComposeLocalTime(startDate, startTime), dialog.m_values.start);
    EXPECT_EQ(ComposeLocalTime(endDate, endTime), dialog.m_values.end);
    const CalendarTime start = LocalCalendarTime(dialog.m_values.start);
    EXPECT_EQ(15, start.wDay);
    EXPECT_EQ(10, start.wHour);
    EXPECT_EQ(0, start.wMinute);
    const CalendarTime end = LocalCalendarTime(dialog.m_values.end);
    EXPECT_EQ(16, end.wDay);
    EXPECT_EQ(11, end.wHour);
    EXPECT_EQ(30, end.wMinute);
    EXPECT_EQ(15, end.wSecond);
    EXPECT_TRUE(m_prompter.boxes.empty());
}

TEST_F(LogCalendarDialog, OkTakesWhatTheChecksAllow)
{
    struct Case {
        int32_t use;
        int64_t start;
        int64_t end;
    } cases[] = {
        {1, kNow - kHour, kNow + kHour},          // already running: logging starts at once
        {0, kNow - 2 * kHour, kNow - 3 * kHour},  // not in use: nothing is checked
    };
    for (const Case& c : cases) {
        CLogCalendar dialog(nullptr);
        dialog.m_values = Values(c.use, c.start, c.end);
        INT_PTR result = RunModal(dialog, [](CLogCalendar& d) { Click(d, IDOK); });
        EXPECT_EQ(IDOK, result) << c.use << " " << c.start - kNow << " " << c.end - kNow;
        ExpectSameValues(Values(c.use, c.start, c.end), dialog.m_values);
    }
    EXPECT_TRUE(m_prompter.boxes.empty());
}

} // namespace
