// The texts of the main window's receiver fields, the stale limits, and the
// PC clock setting through the clock-setter seam.
#include "app/ReceiverFieldFormat.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/GpsTime.h"

namespace {

std::string S(const CString& s) { return std::string(static_cast<const char*>(s)); }

TEST(ReceiverFieldFormat, AngleFields)
{
    const struct {
        bool latitude;
        double radians;
        bool decimal;
        const char *hemisphere, *degrees, *minutes;
        bool sign;
    } cases[] = {
        {true, 0.8290313946973066, false, "N", "47", "30.00000'", true},
        {false, -2.133665010563068, false, "W", "122", "15.00000'", true},
        {true, -0.8290313946973066, false, "S", "47", "30.00000'", true},
        {false, 0.5, false, "E", "28", "38.87339'", true},
        {true, -700000.0, false, "-", "- -", "- - - -", false},
        {false, -700000.0, true, "-", "- -", "- - - -", false},
        {true, 0.8290313946973066, true, "", "47.500000000", "", false},
        {false, -2.133665010563068, true, "", "-122.250000000", "", false},
    };
    for (const auto& c : cases) {
        AngleFieldTexts t;
        t.degreeSign = !c.sign;
        ASSERT_TRUE(FormatAngleFields(c.latitude, c.radians, c.decimal, t)) << c.radians;
        EXPECT_EQ(c.hemisphere, S(t.hemisphere)) << c.radians;
        EXPECT_EQ(c.degrees, S(t.degrees)) << c.radians;
        EXPECT_EQ(c.minutes, S(t.minutes)) << c.radians;
        EXPECT_EQ(c.sign, t.degreeSign) << c.radians;
    }
    // No new value: the fields keep what they show.
    AngleFieldTexts kept;
    kept.hemisphere = "N";
    kept.degrees = "47";
    kept.minutes = "30.00000'";
    kept.degreeSign = true;
    EXPECT_FALSE(FormatAngleFields(true, -800000.0, false, kept));
    EXPECT_FALSE(FormatAngleFields(false, -800000.0, true, kept));
    EXPECT_EQ("N", S(kept.hemisphere));
    EXPECT_EQ("47", S(kept.degrees));
    EXPECT_EQ("30.00000'", S(kept.minutes));
    EXPECT_TRUE(kept.degreeSign);
}

TEST(ReceiverFieldFormat, AltitudeAndCopyTexts)
{
    CString s = "kept";
    EXPECT_FALSE(FormatAltitude(-800000.0, false, 0.0, s));
    EXPECT_EQ("kept", S(s));
    ASSERT_TRUE(FormatAltitude(-700000.0, true, 20.0, s));
    EXPECT_EQ("- - -", S(s));
    ASSERT_TRUE(FormatAltitude(100.0, false, 20.0, s));
    EXPECT_EQ("100.00", S(s));
    ASSERT_TRUE(FormatAltitude(100.0, true, 20.125, s));
    EXPECT_EQ("79.88", S(s));
    EXPECT_EQ("-2691540.13", S(FormatEcefCoordinate(-2691540.125001)));
    EXPECT_EQ("1.00 -2.50 3.13", S(FormatXyzCopyText(1.0, -2.5, 3.125001)));
    EXPECT_EQ("47.500000000 -122.250000000 100.00",
              S(FormatLlaCopyText(0.8290313946973066, -2.133665010563068, 100.0)));
}

TEST(ReceiverFieldFormat, VelocityAndSpeed)
{
    const struct {
        double v1, v2;
        int unit;
        const char* text;
    } speeds[] = {
        {0.4, 0.0, SPEED_UNIT_MPS, "0.0"},
        {0.3, 0.4, SPEED_UNIT_KMH, "0.0"},  // exactly 0.5 m/s
        {3.0, 4.0, SPEED_UNIT_MPS, "5.0"},
        {3.0, -4.0, SPEED_UNIT_KMH, "18.0"},
        {10.0, 0.0, SPEED_UNIT_MPH, "22.4"},
        {10.0, 0.0, 7, "10.0"},  // an unknown unit shows metres per second
    };
    for (const auto& c : speeds) EXPECT_EQ(c.text, S(FormatHorizontalSpeed(c.v1, c.v2, c.unit))) << c.v1 << "," << c.v2;

    const struct {
        bool enu;
        int axis;
        double v;
        const char *word, *value;
    } parts[] = {
        {true, 0, 1.25, "East", "1.250"},  {true, 0, -1.25, "West", "1.250"},
        {true, 1, 0.0, "North", "0.000"},  {true, 1, -0.001, "South", "0.001"},
        {true, 2, 2.0, "Up", "2.000"},     {true, 2, -2.0, "Down", "2.000"},
        {false, 0, -1.2344, "", "-1.234"}, {false, 2, 7.0, "", "7.000"},
    };
    for (const auto& p : parts) {
        CString word, value;
        FormatVelocityComponent(p.enu, p.axis, p.v, word, value);
        EXPECT_EQ(p.word, S(word)) << p.v;
        EXPECT_EQ(p.value, S(value)) << p.v;
    }

    CString speed, heading, vertical;
    EXPECT_EQ(VELOCITY_LAYOUT_SPEED_HEADING,
              FormatSpeedHeading(10.0, 1.0, -700000.0, speed, heading, vertical));
    EXPECT_EQ("36.000", S(speed));
    EXPECT_EQ("57.3", S(heading));
    EXPECT_EQ("n/a", S(vertical));
    EXPECT_EQ(VELOCITY_LAYOUT_SPEED_HEADING_VERTICAL,
              FormatSpeedHeading(1.0, 0.0, -0.25, speed, heading, vertical));
    EXPECT_EQ("-0.250", S(vertical));

    CString q = "kept";
    EXPECT_FALSE(FormatQtxtVelocityField(-800000.0, false, q));
    EXPECT_EQ("kept", S(q));
    ASSERT_TRUE(FormatQtxtVelocityField(-700000.0, true, q));
    EXPECT_EQ("- - -", S(q));
    ASSERT_TRUE(FormatQtxtVelocityField(10.0, false, q));
    EXPECT_EQ("22.4", S(q));
    ASSERT_TRUE(FormatQtxtVelocityField(1.0, true, q));
    EXPECT_EQ("57.3", S(q));
}

// NMEA and KESTO fill the ground speed in knots and the heading, or a marker
// when the report lacked them. A marker must read as dashes or leave the
// field, never as a scaled number.
TEST(ReceiverFieldFormat, SpeedHeadingMarkers)
{
    EXPECT_NEAR(5.144444, GroundSpeedMps(10.0), 1e-6);
    EXPECT_EQ(0.0, GroundSpeedMps(0.0));
    EXPECT_EQ(-700000.0, GroundSpeedMps(-700000.0));
    EXPECT_EQ(-800000.0, GroundSpeedMps(-800000.0));

    const double pi = 3.14159265358979323846;
    const struct {
        double knots, heading, vertical;
        const char *speed, *headingText, *verticalText;
        int layout;
    } cases[] = {
        {10.0, pi / 2, -700000.0, "18.520", "90.0", "n/a", VELOCITY_LAYOUT_SPEED_HEADING},
        {-700000.0, pi / 2, -700000.0, "- - -", "90.0", "n/a", VELOCITY_LAYOUT_SPEED_HEADING},
        {10.0, -700000.0, -700000.0, "18.520", "- - -", "n/a", VELOCITY_LAYOUT_SPEED_HEADING},
        {-800000.0, -800000.0, -700000.0, "old", "old", "n/a", VELOCITY_LAYOUT_SPEED_HEADING},
        {-700000.0, -800000.0, -800000.0, "- - -", "old", "n/a", VELOCITY_LAYOUT_SPEED_HEADING},
        {0.0, 0.0, 1.5, "0.000", "0.0", "1.500", VELOCITY_LAYOUT_SPEED_HEADING_VERTICAL},
    };
    for (const auto& c : cases) {
        CString speed = "old", heading = "old", vertical = "old";
        EXPECT_EQ(c.layout, FormatSpeedHeading(GroundSpeedMps(c.knots), c.heading, c.vertical, speed, heading,
                                               vertical))
            << c.knots;
        EXPECT_EQ(c.speed, S(speed)) << c.knots;
        EXPECT_EQ(c.headingText, S(heading)) << c.heading;
        EXPECT_EQ(c.verticalText, S(vertical)) << c.vertical;
    }
}

TEST(ReceiverFieldFormat, OscillatorAndDops)
{
    EXPECT_EQ("3.34", S(FormatOscillatorDrift(1.0)));
    EXPECT_EQ("-0.33", S(FormatOscillatorDrift(-0.1)));
    EXPECT_EQ("- - - - -", S(FormatOscillatorDrift(0.0)));
    EXPECT_EQ("0.00", S(FormatOscillatorDrift(1e-9)));  // not exactly 0: a value

    const struct {
        double value;
        int status;
        bool autoQuery;
        const char* text;
    } dops[] = {
        {2345.6, 1, true, "2346"}, {234.56, 1, true, "234.6"}, {23.456, 1, true, "23.46"},
        {999.0, 1, false, "999.0"}, {99.0, 1, false, "99.00"}, {1000.4, 4, true, "1000"},
        {0.0, 1, true, ""},         {-1.0, 1, true, "- - -"},  {-1.0, 3, true, "- - -"},
        {2.5, 10, false, "- - -"},  {2.5, 3, true, ""},        {2.5, 3, false, "2.50"},
        {2.5, 4, true, "2.50"},     {1.25, 1, true, "1.25"},
    };
    for (const auto& d : dops)
        EXPECT_EQ(d.text, S(FormatDop(d.value, d.status, d.autoQuery))) << d.value << " status " << d.status;
}

TEST(ReceiverFieldFormat, FixModeAndHealth)
{
    const struct {
        bool single;
        int code;
        bool manual;
        int svs, status, diff;
        const char* text;
    } modes[] = {
        {false, 4, false, 4, 1, DIFF_NONE, "3-D, Auto (4 SV)"},
        {false, 1, true, 1, 1, DIFF_NONE, "1-SV, Manual (1 SV)"},
        {false, 2, false, 3, 1, DIFF_NONE, "2-D Clk Hold, Auto (3 SV)"},
        {false, 3, false, 3, 1, DIFF_DGPS, "2-D, Auto (3 SV), DGPS"},
        {false, 5, false, 6, 1, DIFF_SBAS, "O-D, Auto (6 SV), SBAS"},
        {false, 6, true, 8, 1, DIFF_NONE, "DGPS, Manual (8 SV)"},
        {false, 0, false, 0, 1, DIFF_NONE, "Auto (0 SV)"},
        {false, 7, false, 5, 1, DIFF_NONE, "Auto (5 SV)"},
        {false, 4, false, 9, 10, DIFF_NONE, "O-D, Auto (9 SV)"},
        {false, 0, false, 9, 10, DIFF_NONE, "O-D, Auto (9 SV)"},
        {true, 4, false, 4, 1, DIFF_SBAS, "Single Sat, Time Only"},
    };
    for (const auto& m : modes)
        EXPECT_EQ(m.text, S(FormatFixMode(m.single, m.code, m.manual, m.svs, m.status, m.diff))) << m.text;

    const struct {
        int code;
        bool changes;
        const char* text;
    } health[] = {
        {1, true, "doing position fixes"},   {2, true, "don't have GPS time"},
        {3, true, "need initialization"},    {4, true, "PDOP too high"},
        {5, true, "no satellites usable"},   {6, true, "only 1 usable satellite"},
        {7, true, "only 2 usable satellites"}, {8, true, "only 3 usable satellites"},
        {10, true, "Over-determined clock"}, {11, true, "chosen SV unusable"},
        {9, true, ""},                       {12, true, ""},
        {-1, true, ""},                      {0, false, "unchanged"},
    };
    for (const auto& h : health) {
        CString s = "unchanged";
        EXPECT_EQ(h.changes, FormatReceiverHealth(h.code, s)) << h.code;
        EXPECT_EQ(h.text, S(s)) << h.code;
    }
}

TEST(ReceiverFieldFormat, FirmwareVersion)
{
    const struct {
        uint8_t major, minor;
        int16_t build;
        uint8_t month, day;
        uint16_t year;
        bool force;
        const char *version, *date;
    } cases[] = {
        {7, 74, 3, 3, 15, 7, false, "7.74.3", "03/15/07"},
        {7, 74, -1, 3, 15, 7, false, "7.74", "03/15/07"},
        {1, 5, 0, 12, 1, 95, false, "1.05.0", "12/01/95"},
        {2, 0, -1, 0, 9, 2005, false, "2.00", "00/09/05"},   // the year alone counts as a date
        {2, 10, 12, 6, 30, 105, false, "2.10.12", "06/30/05"},  // 1900 + 105 = 2005
        {3, 1, -1, 1, 2, 1999, false, "3.01", "01/02/99"},
        {3, 1, 4, 0, 0, 0, false, "- - - -", "- - - - -"},
        {3, 1, 4, 0, 0, 0, true, "3.01.4", "00/00/00"},
    };
    for (const auto& c : cases) {
        FirmwareVersionRecord r = {};
        r.major = c.major;
        r.minor = c.minor;
        r.build = c.build;
        r.month = c.month;
        r.day = c.day;
        r.year = c.year;
        CString version, date;
        FormatFirmwareVersion(r, c.force, version, date);
        EXPECT_EQ(c.version, S(version)) << c.version;
        EXPECT_EQ(c.date, S(date)) << c.version;
    }
}

TEST(ReceiverFieldFormat, ChannelRow)
{
    const struct {
        int sv;
        double level, az, el;
        int state;
        const char *tSv, *tLevel, *tAz, *tEl, *tState;
    } rows[] = {
        {5, 45.0, 1.0, 0.5, 0, "5", "45.0", "57.3", "28.6", "-ok-"},
        {7, -1.0, -1.0, -1.0, 254, "7", "- - -", "- - -", "- - -", "n/a"},
        {7, 38.25, -1.0, 0.25, 8, "7", "38.2", "-57.3", "14.3", "8"},  // one negative angle is shown
        {9, 40.0, 0.0, -0.1, 31, "9", "40.0", "0.0", "-5.7", "WAAS"},
        {120, 40.0, 1.0, 1.0, 8, "120", "40.0", "57.3", "57.3", "WAAS"},
        {138, 40.0, 1.0, 1.0, 0, "138", "40.0", "57.3", "57.3", "WAAS"},
        {139, 40.0, 1.0, 1.0, 0, "139", "40.0", "57.3", "57.3", "-ok-"},
        {119, 40.0, 1.0, 1.0, 254, "119", "40.0", "57.3", "57.3", "n/a"},
        {0, 45.0, 1.0, 0.5, 8, "", "", "", "", ""},
    };
    for (const auto& r : rows) {
        ChannelRowTexts t;
        t.sv = t.level = t.azimuth = t.elevation = t.state = "old";
        FormatChannelRow(r.sv, r.level, r.az, r.el, r.state, t);
        EXPECT_EQ(r.tSv, S(t.sv)) << r.sv;
        EXPECT_EQ(r.tLevel, S(t.level)) << r.sv;
        EXPECT_EQ(r.tAz, S(t.azimuth)) << r.sv;
        EXPECT_EQ(r.tEl, S(t.elevation)) << r.sv;
        EXPECT_EQ(r.tState, S(t.state)) << r.sv;
    }
}

// A tracking entry's first status byte is a used-in-fix flag only on KESTO;
// QBIN keeps its tracking bits (0x40 and others) there.
TEST(ReceiverFieldFormat, TrackingEntryUsedOnlyOnKesto)
{
    const struct {
        int32_t protocol;
        int status;
        bool used;
    } cases[] = {
        {6, 1, true}, {6, 0, false}, {6, 0x41, false}, {6, 254, false},
        {3, 1, false}, {3, 0x41, false}, {4, 1, false}, {5, 1, false}, {0, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.used, IsTrackingEntryUsed(c.protocol, c.status)) << c.protocol << " " << c.status;
}

TEST(ReceiverFieldFormat, GpsTimeFields)
{
    const struct {
        double tow;
        int32_t week;
        bool utc;
        int offset;
        const char *time, *weekText, *towText, *date;
    } cases[] = {
        {349323.0, 1400, false, 18, "Thu 01:02:03", "1400", "349323", "November 09, 2006"},
        {349323.0, 1400, true, 18, "Thu 01:01:45", "1400", "349323", "November 09, 2006"},
        // The offset taken off the first seconds of a week reaches back into the last one.
        {10.0, 1400, true, 18, "Sat 23:59:52", "1400", "10", "November 04, 2006"},
        {604799.5, 1399, false, 0, "Sat 23:59:59", "1399", "604799", "November 04, 2006"},
        {0.0, 0, false, 0, "Sun 00:00:00", "0", "0", "January 06, 1980"},
        {86400.0 * 3 + 43200.0, 2086, false, 0, "Wed 12:00:00", "2086", "302400", "January 01, 2020"},
    };
    for (const auto& c : cases) {
        GpsTimeTexts t;
        ASSERT_TRUE(FormatGpsTimeFields(c.tow, c.week, c.utc, c.offset, t)) << c.time;
        EXPECT_EQ(c.time, S(t.time));
        EXPECT_EQ(c.weekText, S(t.week));
        EXPECT_EQ(c.towText, S(t.timeOfWeek));
        EXPECT_EQ(c.date, S(t.date));
    }
    GpsTimeTexts untouched;
    untouched.time = "old";
    EXPECT_FALSE(FormatGpsTimeFields(5.0, 0, true, 18, untouched));  // before the GPS epoch
    EXPECT_EQ("old", S(untouched.time));

    EXPECT_TRUE(HasGpsWeekAndTime(0.0, 1400));
    EXPECT_FALSE(HasGpsWeekAndTime(-700000.0, 1400));
    EXPECT_FALSE(HasGpsWeekAndTime(349323.0, 30000));

    CString s = "old";
    EXPECT_TRUE(FormatTimeOfDay(1, 2, 3, s));
    EXPECT_EQ("01:02:03", S(s));
    EXPECT_FALSE(FormatTimeOfDay(254, 2, 3, s));
    EXPECT_FALSE(FormatTimeOfDay(1, 254, 3, s));
    EXPECT_FALSE(FormatTimeOfDay(1, 2, 254, s));
    EXPECT_EQ("01:02:03", S(s));
}

TEST(ReceiverFieldFormat, StaleLimits)
{
    int32_t limits[STALE_FIELD_COUNT];
    for (bool file : {false, true}) {
        GetStaleLimits(3, file, limits);
        for (int i = 0; i < STALE_FIELD_COUNT; ++i) {
            int32_t expect = 5;
            if (i == 2) expect = 8;
            if (i >= 5 && i <= 16 && file) expect = 10;
            EXPECT_EQ(expect, limits[i]) << "entry " << i << (file ? " file" : " monitor");
        }
    }
}

TEST(ReceiverFieldFormat, ProtocolDisplayNames)
{
    EXPECT_STREQ("NONE", GetProtocolDisplayName(0));
    EXPECT_STREQ("QBIN", GetProtocolDisplayName(3));
    EXPECT_STREQ("SIRF NMEA", GetProtocolDisplayName(10));
    EXPECT_STREQ("CUSTOM ASCII", GetProtocolDisplayName(19));
    EXPECT_STREQ("MON", GetProtocolDisplayName(20));
    EXPECT_STREQ("NONE", GetProtocolDisplayName(21));
    EXPECT_STREQ("NONE", GetProtocolDisplayName(22));
    EXPECT_STREQ("NONE", GetProtocolDisplayName(-1));
}

// ---- PC clock ----------------------------------------------------------------

class RecordingSetter : public IClockSetter {
public:
    bool result = true;
    std::vector<CalendarTime> calls;
    bool SetSystemClock(const CalendarTime& utc) override
    {
        calls.push_back(utc);
        return result;
    }
};

class SetterScope {
public:
    explicit SetterScope(IClockSetter* s) : m_prev(SetClockSetter(s)) {}
    ~SetterScope() { SetClockSetter(m_prev); }

private:
    IClockSetter* m_prev;
};

std::string Stamp(const CalendarTime& t)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d dow%d", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds, t.wDayOfWeek);
    return buf;
}

TEST(ReceiverFieldFormat, ShiftCalendarTimeCarriesLikeAFileTime)
{
    const struct {
        CalendarTime in;
        int64_t seconds;
        const char* out;
    } cases[] = {
        {MakeCalendarTime(2006, 11, 9, 1, 1, 59), 18, "2006-11-09 01:02:17.000 dow4"},
        {MakeCalendarTime(2006, 12, 31, 23, 59, 59), 18, "2007-01-01 00:00:17.000 dow1"},
        {MakeCalendarTime(2008, 2, 28, 23, 59, 50), 15, "2008-02-29 00:00:05.000 dow5"},
        {MakeCalendarTime(2100, 2, 28, 23, 59, 59), 1, "2100-03-01 00:00:00.000 dow1"},
        {MakeCalendarTime(2000, 2, 28, 23, 59, 59), 1, "2000-02-29 00:00:00.000 dow2"},
        {MakeCalendarTime(2007, 1, 1, 0, 0, 5), -10, "2006-12-31 23:59:55.000 dow0"},
        {MakeCalendarTime(1601, 1, 1, 0, 0, 0), 0, "1601-01-01 00:00:00.000 dow1"},
        {MakeCalendarTime(1980, 1, 6, 0, 0, 0), 0, "1980-01-06 00:00:00.000 dow0"},
    };
    for (const auto& c : cases) {
        CalendarTime out = {};
        ASSERT_TRUE(ShiftCalendarTime(c.in, c.seconds, out)) << c.out;
        EXPECT_EQ(c.out, Stamp(out));
    }
    CalendarTime withMs = MakeCalendarTime(2006, 11, 9, 1, 1, 59);
    withMs.wMilliseconds = 250;
    CalendarTime out = {};
    ASSERT_TRUE(ShiftCalendarTime(withMs, 1, out));
    EXPECT_EQ("2006-11-09 01:02:00.250 dow4", Stamp(out));

    const CalendarTime bad[] = {
        MakeCalendarTime(2006, 11, 9, 1, 1, 77),  // the unnormalised second the fault produced
        MakeCalendarTime(2006, 13, 1),
        MakeCalendarTime(2006, 0, 1),
        MakeCalendarTime(2006, 2, 29),
        MakeCalendarTime(2006, 4, 31),
        MakeCalendarTime(2006, 4, 0),
        MakeCalendarTime(2006, 4, 1, 24),
        MakeCalendarTime(1600, 12, 31),
    };
    for (const CalendarTime& b : bad) EXPECT_FALSE(ShiftCalendarTime(b, 1, out)) << Stamp(b);
    EXPECT_FALSE(ShiftCalendarTime(MakeCalendarTime(1601, 1, 1), -1, out));
}

// Shifting a converted GPS time must agree with converting the shifted GPS
// time, across minute, day, month, year and leap-day boundaries.
TEST(ReceiverFieldFormat, ShiftAgreesWithTheGpsCalendar)
{
    const struct {
        int32_t week;
        double tow;
    } starts[] = {{1400, 349323.0}, {1407, 604780.0}, {1464, 431990.0}, {1021, 0.0}, {2086, 259190.0}};
    const int64_t shifts[] = {0, 1, 18, 59, 61, 3600, 86399, 86400, -1, -18, -86401};
    for (const auto& s : starts) {
        for (int64_t k : shifts) {
            CalendarTime base = {}, expect = {}, got = {};
            ASSERT_TRUE(GpsTimeToSystemTime(s.tow, s.week, base));
            ASSERT_TRUE(GpsTimeToSystemTime(s.tow + static_cast<double>(k), s.week, expect));
            ASSERT_TRUE(ShiftCalendarTime(base, k, got));
            EXPECT_EQ(Stamp(expect), Stamp(got)) << s.week << "/" << s.tow << " + " << k;
        }
    }
}

TEST(ReceiverFieldFormat, PcClockSetInTheUtcBaseIsNormalised)
{
    RecordingSetter setter;
    SetterScope scope(&setter);
    // GPS Thu 01:02:17 shows as UTC 01:01:59 with offset 18.
    const double tow = 4 * 86400 + 3600 + 2 * 60 + 17;
    const struct {
        bool utc;
        int offset;
        const char* set;
    } cases[] = {
        {true, 18, "2006-11-09 01:02:17.000 dow4"},
        {false, 18, "2006-11-09 01:02:17.000 dow4"},
        {true, 0, "2006-11-09 01:02:17.000 dow4"},
    };
    for (const auto& c : cases) {
        CalendarTime shown = {};
        ASSERT_TRUE(GetDisplayedGpsTime(tow, 1400, c.utc, c.offset, shown));
        if (c.utc && c.offset == 18) EXPECT_EQ(59, shown.wSecond);
        setter.calls.clear();
        CString status;
        EXPECT_TRUE(SetPcClockToGpsTime(tow, 1400, c.utc, c.offset, status));
        EXPECT_EQ("PC clock synchronized to GPS time!", S(status));
        ASSERT_EQ(1u, setter.calls.size());
        EXPECT_EQ(c.set, Stamp(setter.calls[0]));
    }
}

TEST(ReceiverFieldFormat, PcClockFailures)
{
    RecordingSetter setter;
    setter.result = false;
    SetterScope scope(&setter);
    CString status;
    EXPECT_FALSE(SetPcClockToGpsTime(349323.0, 1400, true, 18, status));
    EXPECT_EQ("PC clock could not be set!", S(status));
    EXPECT_EQ(1u, setter.calls.size());

    // A time outside the calendar never reaches the setter.
    setter.result = true;
    setter.calls.clear();
    EXPECT_FALSE(SetPcClockToGpsTime(-5.0, 0, false, 0, status));
    EXPECT_EQ("PC clock could not be set!", S(status));
    EXPECT_TRUE(setter.calls.empty());
}

TEST(ReceiverFieldFormat, NativeBuildHasNoClockToSet)
{
    CString status;
    EXPECT_FALSE(SetPcClockToGpsTime(349323.0, 1400, false, 18, status));
    EXPECT_EQ("PC clock could not be set!", S(status));
}

} // namespace
