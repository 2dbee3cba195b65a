// The derived-output line builders: map CSV, GGA, KML and both spreadsheet
// column sets, from the model as the decoders leave it.
#include "data/ConverterWriters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "model/CModel.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180.0;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

NavState Fix(double latitude, double longitude, double t, double height = 0.0)
{
    NavState nav;
    std::memset(&nav, 0, sizeof nav);
    nav.fixValid = 1;
    nav.latitude = latitude;
    nav.longitude = longitude;
    nav.timeOfFix = t;
    nav.height = height;
    return nav;
}

// Stores a position as a decoder does: the position activity bit is set.
void StorePosition(CModel& model, const NavState& nav) { model.UpdateNavState(nav, NAV_KIND_LLA, nullptr); }

std::string Text(const OutputLine& line) { return std::string(line.GetText(), line.GetLength()); }

std::vector<std::string> Split(const std::string& text, char sep)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(sep, start);
        fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

// Fields of a spreadsheet row, its leading line end removed.
std::vector<std::string> RowFields(const OutputLine& line, char sep = '\t')
{
    std::string text = Text(line);
    const size_t body = text.find_first_not_of("\r\n");
    return Split(body == std::string::npos ? std::string() : text.substr(body), sep);
}

// The checksum a reader computes: XOR from after "$" up to "*", as two hex digits.
std::string ExpectedChecksum(const std::string& sentence)
{
    const size_t star = sentence.find('*');
    unsigned sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return hex;
}

// ---- Map CSV -------------------------------------------------------------------

TEST(ConverterWriters, MapCsvLines)
{
    const struct {
        double latitude, longitude, t;
        ProtocolKind kind;
        const char* expected;
    } cases[] = {
        {0.5, -1.0, 345600.5, PROTO_QBIN, "\r\n57:17:44.80W, 28:38:52.40N, 345600.5"},
        {0.5, -1.0, 3723.25, PROTO_NMEA, "\r\n57:17:44.80W, 28:38:52.40N, 3723250"},
        {-0.5, 1.0, 10.0, PROTO_QBIN, "\r\n57:17:44.80E, 28:38:52.40S, 10.0"},
        {0.0, 0.0, 0.0, PROTO_QBIN, "\r\n0:00:00.00E, 0:00:00.00N, 0.0"},
    };
    for (const auto& c : cases) {
        OutputLine line;
        double last = -1.0;
        FormatMapCsvPosition(Fix(c.latitude, c.longitude, c.t), last, c.kind, line);
        EXPECT_EQ(c.expected, Text(line));
        EXPECT_EQ(c.t, last);
        EXPECT_EQ(3u, Split(Text(line), ',').size());
    }
    OutputLine header;
    FormatMapCsvHeader(header);
    EXPECT_EQ("Longitude, Latitude, Name", Text(header));
}

// ---- The new-fix rule, shared by CSV, KML and GGA -------------------------------

TEST(ConverterWriters, OnlyNewValidFixesAreWritten)
{
    const double huge = 1e300;
    const struct {
        const char* what;
        uint8_t fixValid;
        double latitude, longitude, t;
    } refused[] = {
        {"fix type 0", 0, 0.5, 1.0, 100.0},
        {"time -1", 1, 0.5, 1.0, -1.0},
        {"the last time", 1, 0.5, 1.0, 50.0},
        {"time +inf", 1, 0.5, 1.0, kInf},
        {"time NaN", 1, 0.5, 1.0, kNaN},
        {"time 1e300", 1, 0.5, 1.0, huge},
        {"time past the week", 1, 0.5, 1.0, 604800.5},
        {"latitude beyond 90", 1, 91 * kDeg, 1.0, 100.0},
        {"longitude beyond 180", 1, 0.5, 181 * kDeg, 100.0},
        {"latitude NaN", 1, kNaN, 1.0, 100.0},
        {"longitude -inf", 1, 0.5, -kInf, 100.0},
        {"latitude 1e300", 1, huge, 1.0, 100.0},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        NavState nav = Fix(c.latitude, c.longitude, c.t);
        nav.fixValid = c.fixValid;
        OutputLine line;
        double csvTime = 50.0, kmlTime = 50.0, ggaTime = 50.0;
        uint32_t count = 7;
        FormatMapCsvPosition(nav, csvTime, PROTO_QBIN, line);
        EXPECT_TRUE(line.IsEmpty());
        FormatKmlPlacemark(nav, kmlTime, count, line);
        EXPECT_TRUE(line.IsEmpty());
        CModel model;
        StorePosition(model, nav);
        FormatGgaSentence(model, ggaTime, line);
        EXPECT_TRUE(line.IsEmpty());
        EXPECT_EQ(50.0, csvTime);
        EXPECT_EQ(50.0, kmlTime);
        EXPECT_EQ(50.0, ggaTime);
        EXPECT_EQ(7u, count);
    }

    // Two fixes of one time: one line, one placemark, one sentence.
    const NavState nav = Fix(0.5, 1.0, 604800.0);
    CModel model;
    StorePosition(model, nav);
    double csvTime = -1.0, kmlTime = -1.0, ggaTime = -1.0;
    uint32_t count = 0;
    int csv = 0, kml = 0, gga = 0;
    for (int i = 0; i < 2; ++i) {
        OutputLine line;
        FormatMapCsvPosition(nav, csvTime, PROTO_QBIN, line);
        csv += line.IsEmpty() ? 0 : 1;
        FormatKmlPlacemark(nav, kmlTime, count, line);
        kml += line.IsEmpty() ? 0 : 1;
        FormatGgaSentence(model, ggaTime, line);
        gga += line.IsEmpty() ? 0 : 1;
    }
    EXPECT_EQ(1, csv);
    EXPECT_EQ(1, kml);
    EXPECT_EQ(1, gga);
    EXPECT_EQ(1u, count);
}

// ---- GGA -----------------------------------------------------------------------

TEST(ConverterWriters, GgaSentences)
{
    const struct {
        double latitude, longitude, t, hdop, height;
        uint8_t svs, dgpsMode;
        const char* expected;
    } cases[] = {
        {0.8290313946973066, -2.133665010563068, 349323.75, 1.3, 100.0, 8, 0,
         "$GPGGA,010203.75,4730.0000,N,12215.0000,W,1,08,1.3,100.0,M,,M,,*6C\r\n"},
        {0.0, 0.0, 3723.0, 0.9, -12.3, 5, 5,
         "$GPGGA,010203.00,0000.0000,S,00000.0000,W,2,05,0.9,-12.3,M,,M,,*6F\r\n"},
    };
    for (const auto& c : cases) {
        CModel model;
        NavState nav = Fix(c.latitude, c.longitude, c.t, c.height);
        nav.svCount = c.svs;
        StorePosition(model, nav);
        DopRecord dops = {c.hdop, 1.0, 1.0, 2.0};
        model.SetDops(dops);
        model.SetDgpsMode(c.dgpsMode);
        OutputLine line;
        double last = -1.0;
        FormatGgaSentence(model, last, line);
        EXPECT_EQ(c.expected, Text(line));
        EXPECT_EQ(c.t, last);
    }
}

TEST(ConverterWriters, GgaRoundsBeforeSplitting)
{
    const struct {
        double latitude, longitude, t;
        const char* part;
    } cases[] = {
        {0.5, 1.0, 3599.996, ",010000.00,"},
        {0.5, 1.0, 86399.999, ",000000.00,"},  // the next day's midnight, not 24:00
        {10.99999933 * kDeg, 0.0, 100.0, ",1100.0000,N,"},
        {-10.99999933 * kDeg, 179.999999999 * kDeg, 100.0, ",1100.0000,S,18000.0000,E,"},
        {0.5, -1.0, 100.0, ",2838.8734,N,05717.7468,W,"},
    };
    for (const auto& c : cases) {
        CModel model;
        StorePosition(model, Fix(c.latitude, c.longitude, c.t));
        OutputLine line;
        double last = -1.0;
        FormatGgaSentence(model, last, line);
        const std::string text = Text(line);
        EXPECT_NE(std::string::npos, text.find(c.part)) << text;
        EXPECT_EQ(ExpectedChecksum(text), text.substr(text.find('*') + 1, 2)) << text;
    }
}

TEST(ConverterWriters, GgaLeavesUnknownHdopAndAltitudeEmpty)
{
    CModel model;
    StorePosition(model, Fix(0.5, 1.0, 10.0, -700000.0));
    DopRecord dops = {-1.0, -1.0, -1.0, -1.0};
    model.SetDops(dops);
    OutputLine line;
    double last = -1.0;
    FormatGgaSentence(model, last, line);
    const std::string text = Text(line);
    EXPECT_NE(std::string::npos, text.find(",E,1,00,,,M,,M,,*")) << text;
    EXPECT_EQ(ExpectedChecksum(text), text.substr(text.find('*') + 1, 2));
}

// ---- KML -----------------------------------------------------------------------

TEST(ConverterWriters, KmlHeaderAndFooter)
{
    const struct {
        uint32_t colour;
        const char* line;
    } cases[] = {
        {255, "  <color>ff0000ff</color>"},
        {0xFF000000u, "  <color>ff000000</color>"},  // a picker's "automatic"
        {0x00123456u, "  <color>ff123456</color>"},
    };
    for (const auto& c : cases) {
        OutputLine header;
        FormatKmlHeader(c.colour, header);
        const std::string text = Text(header);
        std::vector<std::string> lines = Split(text, '\n');
        ASSERT_EQ(24u, lines.size());
        EXPECT_EQ("", lines.back());  // the last line ends too
        lines.pop_back();
        for (const std::string& l : lines) EXPECT_EQ('\r', l.back());
        EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r", lines[0]);
        EXPECT_EQ("<kml xmlns=\"http://earth.google.com/kml/2.0\">\r", lines[1]);
        EXPECT_EQ(std::string(c.line) + "\r", lines[8]);
        EXPECT_NE(std::string::npos, lines[11].find("/mapfiles/kml/pal4/icon31.png</href>"));
        EXPECT_EQ("      <href>", lines[11].substr(0, 12));
        EXPECT_EQ("</Style>  \r", lines[22]);
    }
    OutputLine footer;
    FormatKmlFooter(footer);
    EXPECT_EQ("\r\n</Document>\r\n</Folder>\r\n</kml>\r\n", Text(footer));
}

TEST(ConverterWriters, KmlPlacemark)
{
    const NavState nav = Fix(0.8290313946973066, -2.133665010563068, 349323.0, 100.0);
    OutputLine line;
    double last = -1.0;
    uint32_t count = 0;
    FormatKmlPlacemark(nav, last, count, line);
    EXPECT_EQ(1u, count);
    EXPECT_EQ(349323.0, last);
    EXPECT_EQ("<Placemark>\r\n <description> <![CDATA[Point no. #1\r\n <br></br>01:02:03\r\n"
              " <br></br>lat 47.50000000\r\n <br></br>lon -122.25000000\r\n <br></br>alt 100.00]]>\r\n"
              " </description>\r\n <styleUrl>#dot</styleUrl>\r\n <Point>\r\n"
              "  <coordinates>-122.25000000,47.50000000,100.000000</coordinates>\r\n"
              " </Point>\r\n</Placemark>\r\n",
              Text(line));

    // The next one counts on; a point without an altitude keeps two coordinates.
    NavState next = Fix(0.5, 1.0, 349324.0, kNaN);
    FormatKmlPlacemark(next, last, count, line);
    EXPECT_EQ(2u, count);
    EXPECT_NE(std::string::npos, Text(line).find("Point no. #2\r\n"));
    EXPECT_NE(std::string::npos, Text(line).find("<coordinates>57.29577951,28.64788976</coordinates>"));
}

// ---- Spreadsheet header --------------------------------------------------------

TEST(ConverterWriters, SpreadsheetHeaders)
{
    const struct {
        int32_t set, code;
        char sep;
        size_t count;
        const char* first;
        const char* last;
    } cases[] = {
        {SPREADSHEET_SET_BINARY, 0, '\t', 41, "Index\tWeek\tTOW\tDay\tTime\tLon-Rad", "\tDGPS\tSV01\tSV02"},
        {SPREADSHEET_SET_BINARY, 7, '\t', 41, "Index\tWeek", "\tSV11\tSV12"},
        {SPREADSHEET_SET_BINARY, 1, ' ', 41, "Index Week", " SV12"},
        {SPREADSHEET_SET_NMEA, 2, ',', 84, "Index,TimeOfDay(s),Longitude", ",gpsqual,svid01,azim01,elev01"},
        {SPREADSHEET_SET_NMEA, 2, ',', 84, "Index", ",svid12,azim12,elev12,sgnl12,used12"},
    };
    for (const auto& c : cases) {
        OutputLine line;
        FormatSpreadsheetHeader(c.set, c.code, line);
        const std::string text = Text(line);
        EXPECT_EQ(c.count, Split(text, c.sep).size()) << text;
        EXPECT_EQ(0u, text.find(c.first)) << text;
        EXPECT_NE(std::string::npos, text.find(c.last)) << text;
        EXPECT_EQ(std::string::npos, text.find('\n'));
    }
    OutputLine line;
    FormatSpreadsheetHeader(SPREADSHEET_SET_NMEA, 2, line);
    EXPECT_EQ(",used12", Text(line).substr(Text(line).size() - 7));
    FormatSpreadsheetHeader(SPREADSHEET_SET_BINARY, 0, line);
    EXPECT_EQ("\tSV12", Text(line).substr(Text(line).size() - 5));
}

// ---- Binary spreadsheet rows ---------------------------------------------------

// Column numbers of the binary set.
enum { COL_INDEX = 0, COL_WEEK = 1, COL_TOW = 2, COL_DAY = 3, COL_TIME = 4, COL_LON = 5, COL_DEAST = 7,
       COL_DNORTH = 8, COL_VEL_EAST = 11, COL_IVE = 15, COL_RUN = 19, COL_ALM = 20, COL_PDOP = 21,
       COL_STATUS = 24, COL_BBERR = 25, COL_NSVS = 26, COL_DIM = 27, COL_DGPS = 28, COL_SV01 = 29,
       BINARY_COLUMNS = 41 };

struct BinarySheet {
    CModel model;
    SpreadsheetState state;
    OutputLine line;

    std::vector<std::string> Row()
    {
        FormatSpreadsheetRow(model, state, line);
        return RowFields(line);
    }
    std::vector<std::string> PositionRow(double latitude, double longitude, double t)
    {
        StorePosition(model, Fix(latitude, longitude, t));
        return Row();
    }
};

TEST(ConverterWriters, BinaryRowsMeasureFromTheFirstPosition)
{
    const struct {
        double latitude, longitude;
        const char* east;
        const char* north;
    } firsts[] = {
        {0.5, 1.0, "1217.00", "1613.28"},
        {-0.5, -1.0, "412.62", "233.88"},
    };
    for (const auto& c : firsts) {
        BinarySheet sheet;
        const std::vector<std::string> f = sheet.PositionRow(c.latitude, c.longitude, 100.0);
        ASSERT_EQ(size_t(BINARY_COLUMNS), f.size());
        EXPECT_EQ(c.east, f[COL_DEAST]);
        EXPECT_EQ(c.north, f[COL_DNORTH]);
    }

    BinarySheet sheet;
    sheet.PositionRow(0.5, 1.0, 100.0);
    const std::vector<std::string> f = sheet.PositionRow(0.5 + 1e-5, 1.0 + 2e-5, 101.0);
    EXPECT_EQ("1329.05", f[COL_DEAST]);
    EXPECT_EQ("1676.79", f[COL_DNORTH]);
    EXPECT_EQ("1.000020000", f[COL_LON]);
    EXPECT_EQ("1", f[COL_INDEX]);
    EXPECT_EQ(2, sheet.state.rowIndex);
}

TEST(ConverterWriters, BinaryRowIntegratesVelocity)
{
    // The integral starts at the first DEast (1216.997 m here) and grows by
    // the trapezoid: (2 + 4) / 2 over one second.
    BinarySheet sheet;
    const struct {
        double t, velEast;
        const char* deast;
        const char* ive;
    } samples[] = {{100.0, 2.0, "1217.00", "1216.997"}, {101.0, 4.0, "1217.00", "1219.997"}};
    for (const auto& s : samples) {
        NavState nav = Fix(0.5, 1.0, s.t);
        nav.velEast = s.velEast;
        sheet.model.UpdateNavState(nav, NAV_KIND_FIX, nullptr);  // position, velocity and fix report
        const std::vector<std::string> f = sheet.Row();
        ASSERT_EQ(size_t(BINARY_COLUMNS), f.size());
        EXPECT_EQ(s.deast, f[COL_DEAST]);
        EXPECT_EQ(s.ive, f[COL_IVE]);
        EXPECT_EQ(s.velEast, std::stod(f[COL_VEL_EAST]));
    }
}

TEST(ConverterWriters, BinaryRowColumns)
{
    BinarySheet sheet;
    NavState nav = Fix(0.5, 1.0, 349323.75);
    nav.week = 1400;
    sheet.model.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    fix.fixMode = 3;
    fix.svCount = 2;
    fix.svs[0] = 7;
    fix.svs[1] = 12;
    sheet.model.SetFixModeAndDops(fix, true);
    DopRecord dops = {1.25, 2.5, 3.0, 4.75};
    sheet.model.SetDops(dops);
    sheet.model.SetMachineId(1);
    sheet.model.SetStatusCode(3);
    sheet.model.SetHealthErrorBits(9);
    sheet.model.SetDgpsMode(5);
    sheet.state.runCounter = 4;

    const std::vector<std::string> f = sheet.Row();
    ASSERT_EQ(size_t(BINARY_COLUMNS), f.size());
    EXPECT_EQ(0u, Text(sheet.line).find("\r\n0\t1400\t349323.75\t4\t01:02:03.75\t"));
    EXPECT_EQ("4", f[COL_RUN]);
    EXPECT_EQ("1", f[COL_ALM]);
    EXPECT_EQ("4.75", f[COL_PDOP]);
    EXPECT_EQ("1.25", f[COL_PDOP + 1]);
    EXPECT_EQ("2.50", f[COL_PDOP + 2]);
    EXPECT_EQ("3", f[COL_STATUS]);
    EXPECT_EQ("9", f[COL_BBERR]);
    EXPECT_EQ("2", f[COL_NSVS]);
    EXPECT_EQ("2", f[COL_DIM]);
    EXPECT_EQ("1", f[COL_DGPS]);
    EXPECT_EQ("7", f[COL_SV01]);
    EXPECT_EQ("12", f[COL_SV01 + 1]);
    EXPECT_EQ("=na()", f[COL_SV01 + 2]);
    EXPECT_EQ("=na()", f[BINARY_COLUMNS - 1]);
    EXPECT_EQ(0u, sheet.model.GetActivityFlags());
}

TEST(ConverterWriters, BinaryRowDecision)
{
    // Without a new position nothing is written, and the bits are cleared all the same.
    BinarySheet sheet;
    sheet.model.SetActivityFlag(ACT_VELOCITY | ACT_FIX_MODE, false);
    EXPECT_TRUE(sheet.Row().size() == 1 && sheet.line.IsEmpty());
    EXPECT_EQ(0u, sheet.model.GetActivityFlags());

    // A second row at the time of the last velocity sample is refused.
    NavState nav = Fix(0.5, 1.0, 200.0);
    sheet.model.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    EXPECT_FALSE(sheet.Row().empty() || sheet.line.IsEmpty());
    sheet.model.SetActivityFlag(ACT_POSITION, false);
    sheet.Row();
    EXPECT_TRUE(sheet.line.IsEmpty());
    EXPECT_EQ(0u, sheet.model.GetActivityFlags());

    // Fixes with garbage times are no rows.
    for (double t : {kNaN, kInf, 1e300, -1.0}) {
        BinarySheet other;
        other.PositionRow(0.5, 1.0, t);
        EXPECT_TRUE(other.line.IsEmpty()) << t;
    }
}

TEST(ConverterWriters, BinaryRowsFillEverySecond)
{
    BinarySheet sheet;
    sheet.state.fill1Hz = true;
    sheet.state.na = false;
    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    time.timeOfWeek = 5000;
    time.week = 1399;
    sheet.model.SetTimeInfo(time, true, 0);

    // No fix at all: the GPS time record's seconds, then one more each row.
    std::vector<std::string> f = sheet.Row();
    ASSERT_EQ(size_t(BINARY_COLUMNS), f.size());
    EXPECT_EQ("5000.00", f[COL_TOW]);
    EXPECT_EQ("1399", f[COL_WEEK]);
    EXPECT_EQ("", f[COL_DEAST]);
    f = sheet.Row();
    EXPECT_EQ("5001.00", f[COL_TOW]);

    // A position sets the time; an invalid fix counts on from it and shows no position.
    f = sheet.PositionRow(0.5, 1.0, 6000.0);
    EXPECT_EQ("6000.00", f[COL_TOW]);
    EXPECT_NE("", f[COL_DEAST]);
    NavState bad = Fix(0.5, 1.0, 7000.0);
    bad.fixValid = 0;
    StorePosition(sheet.model, bad);
    f = sheet.Row();
    ASSERT_EQ(size_t(BINARY_COLUMNS), f.size());
    EXPECT_EQ("6001.00", f[COL_TOW]);
    EXPECT_EQ("", f[COL_DEAST]);
    EXPECT_EQ("1", f[COL_INDEX]);  // only rows with a position advance the index
}

// ---- NMEA spreadsheet rows -----------------------------------------------------

enum { NCOL_INDEX = 0, NCOL_TIME = 1, NCOL_LON = 2, NCOL_LAT = 3, NCOL_LON_DEG = 4, NCOL_ALT = 6,
       NCOL_MSL = 7, NCOL_SPEED = 8, NCOL_GGA_HDOP = 12, NCOL_GSA_MODE = 16, NCOL_YEAR = 17,
       NCOL_MONTH = 18, NCOL_DAY = 19, NCOL_IN_FIX = 20, NCOL_USED = 21, NCOL_IN_VIEW = 22,
       NCOL_QUALITY = 23, NCOL_SVID01 = 24, NMEA_COLUMNS = 84 };

// An NMEA epoch as the decoders leave it: the row reads the previous state.
void StoreNmeaEpoch(CModel& model, const NavState& nav)
{
    StorePosition(model, nav);
    NavState next = nav;
    next.timeOfFix = nav.timeOfFix + 1.0;
    model.UpdateNavState(next, NAV_KIND_LLA, nullptr);
}

TEST(ConverterWriters, NmeaRows)
{
    CModel model;
    NavState nav = Fix(-0.5, -1.0, 3723.5, 110.0);
    nav.geoidSeparation = 10.0;
    nav.groundSpeedKnots = 10.0;
    nav.heading = kPi / 2;
    nav.ggaHdop = 1.5;
    nav.svCount = 6;
    StoreNmeaEpoch(model, nav);
    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    time.year = 30000;
    time.month = 254;
    time.day = 254;
    model.SetTimeInfo(time, true, 0);
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    fix.fixMode = 4;
    fix.extra = 3;
    fix.svCount = 2;
    fix.svs[0] = 9;
    fix.svs[1] = 14;
    model.SetFixModeAndDops(fix, true);
    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    table.head = 11;
    table.entries[0] = TrackingEntry{14, 42.75f, 0, 254, static_cast<float>(45 * kDeg),
                                     static_cast<float>(30 * kDeg)};
    table.entries[1] = TrackingEntry{21, 30.0f, 0, 254, -1.0f, -1.0f};  // angles not known
    model.SetTrackingTable(table, 0);

    SpreadsheetState state;
    state.fieldSep = 2;
    state.rowIndex = 5;
    OutputLine line;
    FormatNmeaSpreadsheetRow(model, state, line);
    ASSERT_EQ('\n', Text(line)[0]);
    EXPECT_NE('\r', Text(line)[1]);
    const std::vector<std::string> f = RowFields(line, ',');
    ASSERT_EQ(size_t(NMEA_COLUMNS), f.size());
    EXPECT_EQ("5", f[NCOL_INDEX]);
    EXPECT_EQ("3723.5", f[NCOL_TIME]);
    EXPECT_EQ("57:17:44.80W", f[NCOL_LON]);
    EXPECT_EQ("28:38:52.40S", f[NCOL_LAT]);
    EXPECT_EQ("-57.295780", f[NCOL_LON_DEG]);
    EXPECT_EQ("110.0", f[NCOL_ALT]);
    EXPECT_EQ("100.0", f[NCOL_MSL]);
    const char* velocity[] = {"5.144", "90.000", "5.144", "0.000"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(velocity[i], f[NCOL_SPEED + i]);
    EXPECT_EQ("1.5", f[NCOL_GGA_HDOP]);
    const char* counts[] = {"3", "0", "0", "0", "2", "6", "11", "1"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(counts[i], f[NCOL_GSA_MODE + i]) << i;
    const char* channels[] = {"14", "45", "30", "42", "1", "21", "=na()", "=na()", "30", "0",
                              "0", "0", "0", "0", "0"};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(channels[i], f[NCOL_SVID01 + i]) << i;
    EXPECT_EQ(6, state.rowIndex);
    EXPECT_EQ(0u, model.GetActivityFlags());

    // Without a new position the row is written but the index stays.
    FormatNmeaSpreadsheetRow(model, state, line);
    EXPECT_EQ(size_t(NMEA_COLUMNS), RowFields(line, ',').size());
    EXPECT_EQ(6, state.rowIndex);
}

TEST(ConverterWriters, NmeaRowNeedsAPreviousTime)
{
    CModel model;
    model.SetActivityFlag(ACT_POSITION | ACT_FIX_MODE, false);
    SpreadsheetState state;
    OutputLine line;
    FormatNmeaSpreadsheetRow(model, state, line);
    EXPECT_TRUE(line.IsEmpty());
    EXPECT_EQ(0u, model.GetActivityFlags());

    // Unknown speed, heading and altitude are na fields, empty without na.
    NavState nav = Fix(0.1, 0.2, 10.0, -700000.0);
    nav.groundSpeedKnots = -700000.0;
    nav.heading = -800000.0;
    StoreNmeaEpoch(model, nav);
    state.na = false;
    FormatNmeaSpreadsheetRow(model, state, line);
    const std::vector<std::string> f = RowFields(line);
    ASSERT_EQ(size_t(NMEA_COLUMNS), f.size());
    for (int i = NCOL_ALT; i < NCOL_GGA_HDOP; ++i) EXPECT_EQ("", f[i]) << i;
}

// ---- Garbage in, well-formed lines out -----------------------------------------

// A float of a double, infinite beyond a float's range (a plain conversion
// of such a value is undefined).
float AsFloat(double v)
{
    if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (v < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// A model whose every value is v; its position too unless one is given.
void StoreGarbage(CModel& model, double v, bool validPosition)
{
    NavState nav = validPosition ? Fix(0.5, 1.0, 100.0, v) : Fix(v, v, v, v);
    nav.velEast = nav.velNorth = nav.velUp = nav.clockBias = v;
    nav.groundSpeedKnots = nav.heading = nav.geoidSeparation = nav.ggaHdop = v;
    nav.clockBiasRate = AsFloat(v);
    model.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    model.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    DopRecord dops = {v, v, v, v};
    model.SetDops(dops);
    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    for (TrackingEntry& e : table.entries) e.azimuth = e.elevation = e.signalLevel = AsFloat(v);
    model.SetTrackingTable(table, 0);
}

TEST(ConverterWriters, GarbageValuesKeepLinesWhole)
{
    const double values[] = {kNaN, kInf, -kInf, 1e300, -1e300, std::numeric_limits<double>::max()};
    for (bool validPosition : {false, true}) {
        for (double v : values) {
            SCOPED_TRACE(v);
            CModel model;
            StoreGarbage(model, v, validPosition);
            OutputLine line;
            double last = -1.0;
            FormatGgaSentence(model, last, line);
            EXPECT_EQ(validPosition, !line.IsEmpty());
            if (validPosition) {
                const std::string text = Text(line);
                EXPECT_EQ(15u, Split(text, ',').size()) << text;
                EXPECT_EQ(ExpectedChecksum(text), text.substr(text.find('*') + 1, 2));
                EXPECT_EQ(std::string::npos, text.find("nan")) << text;
                EXPECT_EQ(std::string::npos, text.find("inf")) << text;
            }

            SpreadsheetState state;
            state.fill1Hz = true;
            FormatSpreadsheetRow(model, state, line);
            EXPECT_EQ(size_t(BINARY_COLUMNS), RowFields(line).size());
            EXPECT_EQ(validPosition, state.rowIndex == 1);
            model.SetActivityFlag(ACT_POSITION | ACT_VELOCITY | ACT_FIX_MODE, false);
            FormatNmeaSpreadsheetRow(model, state, line);
            EXPECT_EQ(size_t(NMEA_COLUMNS), RowFields(line).size());
            EXPECT_LT(line.GetLength() + 1, size_t(OutputLine::kCapacity));
        }
    }
}

}  // namespace
