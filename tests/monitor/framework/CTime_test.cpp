// Time values and their formatting, with "now" from a fixed clock.
#include "framework/CTime.h"

#include <gtest/gtest.h>

#include "framework/MessagePrompter.h"

namespace {

int64_t g_fixedNow = 0;
int64_t FixedClock() { return g_fixedNow; }

TEST(FrameworkTime, FormatsLocalTimeWithEnglishNames) {
  CTime t(2007, 3, 15, 13, 2, 3);
  EXPECT_EQ(CString("03/15/07 01:02:03PM"), t.Format("%m/%d/%y %I:%M:%S%p"));
  EXPECT_EQ(CString("November 09, 2006"), CTime(2006, 11, 9, 0, 0, 0).Format("%B %d, %Y"));
  EXPECT_EQ(CString("12:00:00AM"), CTime(2006, 11, 9, 0, 0, 0).Format("%I:%M:%S%p"));
  EXPECT_EQ(2007, t.GetYear());
  EXPECT_EQ(3, t.GetMonth());
  EXPECT_EQ(15, t.GetDay());
  EXPECT_EQ(13, t.GetHour());
  EXPECT_EQ(5, t.GetDayOfWeek());  // a Thursday, Sunday being 1
  EXPECT_EQ(CString(), t.Format(""));
}

TEST(FrameworkTime, FieldsOutOfRangeAreNormalised) {
  // Second 60 is the next minute, as the clock-setting code expects.
  CTime t(2007, 3, 15, 23, 59, 60);
  EXPECT_EQ(CString("2007-03-16 00:00:00"), t.Format("%Y-%m-%d %H:%M:%S"));
}

TEST(FrameworkTime, NowComesFromTheClockSeam) {
  g_fixedNow = CTime(2006, 11, 9, 1, 2, 3).GetTime();
  CTime::SetClock(&FixedClock);
  EXPECT_EQ(CString("Thu 01:02:03"), CTime::GetCurrentTime().Format("%a %H:%M:%S"));
  CTime::SetClock(nullptr);
  EXPECT_GT(CTime::GetCurrentTime().GetYear(), 2020);
}

TEST(FrameworkTime, SpansSplitAndFormat) {
  CTimeSpan s(1, 2, 3, 4);
  EXPECT_EQ(93784, s.GetTotalSeconds());
  EXPECT_EQ(1, s.GetDays());
  EXPECT_EQ(2, s.GetHours());
  EXPECT_EQ(3, s.GetMinutes());
  EXPECT_EQ(4, s.GetSeconds());
  EXPECT_EQ(CString("1 days 02:03:04 100%"), s.Format("%D days %H:%M:%S 100%%"));
  CTime a(2007, 3, 15, 13, 2, 3);
  EXPECT_EQ(CTimeSpan(0, 0, 1, 0), (a + CTimeSpan(60)) - a);
}

TEST(FrameworkPrompter, ScriptedAnswersThenDefaultButtons) {
  ScriptedPrompter prompter;
  CPrompterScope scope(&prompter);
  prompter.Answer(IDNO);
  EXPECT_EQ(IDNO, AfxMessageBox("Save?", MB_YESNO));
  EXPECT_EQ(IDOK, AfxMessageBox("Done."));
  EXPECT_EQ(IDNO, AfxMessageBox("Really?", MB_YESNO | MB_DEFBUTTON2));
  EXPECT_EQ(IDCANCEL, AfxMessageBox("Go on?", MB_OKCANCEL | MB_DEFBUTTON2));
  ASSERT_EQ(4u, prompter.boxes.size());
  EXPECT_EQ("Save?", prompter.boxes[0].text);
  EXPECT_EQ(static_cast<UINT>(MB_YESNO), prompter.boxes[0].type);
}

}  // namespace
