#pragma once
// The "Logging Calendar" dialog: a check box and a start and an end moment,
// each edited with a date picker and a time picker. The data logger runs it
// modally with its calendar values and takes them back after IDOK; the
// dialog only edits and checks them, the logger decides when to log.
#ifdef _WIN32

#include "data/LogCalendar.h"
#include "framework/CControls.h"
#include "framework/CDialog.h"

class CLogCalendar : public CDialog {
public:
    explicit CLogCalendar(CWnd* owner);

    // Set before DoModal; after IDOK the values chosen, after IDCANCEL as set.
    LogCalendarValues m_values;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Takes the controls only when they pass the checks; a refusal is told
    // in a box and the dialog stays open.
    void OnOK() override;

    afx_msg void OnPickerChanged(NMHDR* notify, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    // One moment: the date of one picker joined to the time of the other.
    struct MomentPickers {
        CDateTimeCtrl date;
        CDateTimeCtrl time;
    };
    static void ShowMoment(MomentPickers& pickers, int64_t seconds);
    static int64_t ReadMoment(const MomentPickers& pickers);
    LogCalendarValues ReadControls() const;

    MomentPickers m_start;
    MomentPickers m_end;
};

#endif  // _WIN32
