// The derived-output line builders over arbitrary model records: NaN,
// infinities, huge and marker values, any fix type, time and activity bits,
// one step after another as a conversion feeds them. Every line must be
// whole (never cut at the buffer), every GGA checksum right, every row the
// header's width, and nothing may reach undefined behaviour.
//
// Input: byte 0 the options (field separator, na, fill1Hz, protocol kind),
// bytes 1..4 the KML colour; then steps, each an opcode byte and the values
// it stores. A value is picked by a selector byte (special values are likely)
// and read from the bytes that follow; missing bytes read as 0.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "data/ConverterWriters.h"
#include "model/CModel.h"

namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    fprintf(stderr, "writer invariant broken: %s\n", what);
    abort();
}

class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Done() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return v;
    }
    double RawDouble()
    {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = (bits << 8) | Byte();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    int16_t S16() { return static_cast<int16_t>((Byte() << 8) | Byte()); }

    // A value: mostly special, else scaled small numbers or raw bit patterns.
    double Value(double scale)
    {
        const uint8_t selector = Byte();
        switch (selector % 12) {
        case 0: return std::numeric_limits<double>::quiet_NaN();
        case 1: return std::numeric_limits<double>::infinity();
        case 2: return -std::numeric_limits<double>::infinity();
        case 3: return 1e300;
        case 4: return -std::numeric_limits<double>::max();
        case 5: return RawDouble();
        case 6: return -700000.0;
        case 7: return -1.0;
        case 8: return 0.0;
        default: return S16() * scale;
        }
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

float ToFloat(double v)
{
    if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
    if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (v < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

const int32_t kNavKinds[] = {NAV_KIND_LLA, NAV_KIND_XYZ, NAV_KIND_VEL_ENU, NAV_KIND_FIX, NAV_KIND_SVS_ONLY};

void StoreNav(CModel& model, Input& in, uint8_t op)
{
    NavState nav;
    model.GetNavState(nav);
    const uint8_t fixByte = in.Byte();
    nav.fixValid = (fixByte & 0x80) != 0 ? fixByte : 1;
    // Times near the week's bounds and whole seconds, so the same time recurs.
    nav.timeOfFix = (in.Byte() & 1) != 0 ? in.Value(10.0) : static_cast<double>(in.U32() % 604810);
    nav.week = static_cast<uint16_t>(in.U32());
    nav.latitude = in.Value(1.0e-4);
    nav.longitude = in.Value(2.0e-4);
    nav.height = in.Value(1.0);
    nav.velEast = in.Value(0.01);
    nav.velNorth = in.Value(0.01);
    nav.velUp = in.Value(0.01);
    nav.clockBias = in.Value(1.0);
    nav.clockBiasRate = ToFloat(in.Value(0.01));
    nav.svCount = in.Byte();
    nav.geoidSeparation = in.Value(0.1);
    nav.groundSpeedKnots = in.Value(0.1);
    nav.heading = in.Value(1.0e-3);
    nav.ggaHdop = in.Value(0.1);
    model.UpdateNavState(nav, kNavKinds[(op >> 3) % (sizeof kNavKinds / sizeof kNavKinds[0])], nullptr);
}

void StoreFixMode(CModel& model, Input& in)
{
    FixModeRecord fix;
    std::memset(&fix, 0, sizeof fix);
    fix.fixMode = in.Byte();
    fix.svCount = in.Byte();
    fix.extra = static_cast<uint16_t>(in.S16());
    for (uint8_t& sv : fix.svs) sv = in.Byte();
    model.SetFixModeAndDops(fix, true);
    DopRecord dops = {in.Value(0.01), in.Value(0.01), in.Value(0.01), in.Value(0.01)};
    model.SetDops(dops);
}

void StoreTimeAndStatus(CModel& model, Input& in)
{
    GpsTimeInfo time;
    std::memset(&time, 0, sizeof time);
    time.timeOfWeek = in.U32();
    time.week = static_cast<uint16_t>(in.S16());
    time.year = static_cast<uint16_t>(in.S16());
    time.month = in.Byte();
    time.day = in.Byte();
    model.SetTimeInfo(time, true, 0);
    model.SetDgpsMode(in.Byte());
    model.SetMachineId(in.U32());
    model.SetStatusCode(in.U32());
    model.SetHealthErrorBits(in.U32());
}

void StoreTracking(CModel& model, Input& in)
{
    TrackingTable table;
    std::memset(&table, 0, sizeof table);
    table.head = in.U32();
    for (TrackingEntry& e : table.entries) {
        e.sv = in.Byte();
        e.signalLevel = ToFloat(in.Value(0.1));
        e.azimuth = ToFloat(in.Value(1.0e-3));
        e.elevation = ToFloat(in.Value(1.0e-3));
    }
    model.SetTrackingTable(table, 0);
}

const char kSeparators[] = {'\t', ' ', ','};

size_t CountFields(const OutputLine& line, char sep)
{
    size_t n = 1;
    for (size_t i = 0; i < line.GetLength(); ++i) n += line.GetText()[i] == sep ? 1 : 0;
    return n;
}

void RequireWhole(const OutputLine& line)
{
    Require(line.GetLength() + 1 < OutputLine::kCapacity, "a line is never cut at the buffer");
    Require(std::strlen(line.GetText()) == line.GetLength(), "a line holds no NUL");
}

void CheckGga(const OutputLine& line)
{
    RequireWhole(line);
    if (line.IsEmpty()) return;
    const std::string text(line.GetText(), line.GetLength());
    Require(text.compare(0, 7, "$GPGGA,") == 0, "GGA starts with $GPGGA");
    Require(text.size() > 5 && text.compare(text.size() - 2, 2, "\r\n") == 0, "GGA ends with CR LF");
    const size_t star = text.find('*');
    Require(star != std::string::npos && star + 5 == text.size(), "GGA has one checksum at its end");
    unsigned sum = 0;
    for (size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(text[i]);
    char hex[3];
    snprintf(hex, sizeof hex, "%02X", sum);
    Require(text.compare(star + 1, 2, hex) == 0, "GGA checksum is right");
    Require(CountFields(line, ',') == 15, "GGA has 15 fields");
}

void CheckPlacemark(const OutputLine& line, uint32_t before, uint32_t after)
{
    RequireWhole(line);
    Require(after == before + (line.IsEmpty() ? 0u : 1u), "each placemark counts one point");
    if (line.IsEmpty()) return;
    const std::string text(line.GetText(), line.GetLength());
    const size_t open = text.find("<coordinates>");
    const size_t close = text.find("</coordinates>");
    Require(open != std::string::npos && close != std::string::npos && open < close, "a point has coordinates");
    Require(text.substr(open, close - open).find(' ') == std::string::npos, "a tuple holds no blank");
    Require(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos,
            "a placemark holds only numbers");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t options = in.Byte();
    SpreadsheetState sheet;
    sheet.fieldSep = options % 3;
    sheet.na = (options & 0x04) != 0;
    sheet.fill1Hz = (options & 0x08) != 0;
    sheet.runCounter = static_cast<int32_t>(options >> 4);
    const ProtocolKind kind = (options & 0x40) != 0 ? PROTO_QBIN : PROTO_NMEA;
    const char sep = kSeparators[sheet.fieldSep];

    OutputLine line;
    FormatKmlHeader(in.U32(), line);
    RequireWhole(line);
    FormatSpreadsheetHeader(SPREADSHEET_SET_BINARY, sheet.fieldSep, line);
    Require(CountFields(line, sep) == 41, "the binary header has 41 names");
    FormatSpreadsheetHeader(SPREADSHEET_SET_NMEA, sheet.fieldSep, line);
    Require(CountFields(line, sep) == 84, "the NMEA header has 84 names");

    CModel model;
    double csvTime = -1.0, kmlTime = -1.0, ggaTime = -1.0;
    uint32_t points = 0;
    for (int step = 0; step < 64 && !in.Done(); ++step) {
        const uint8_t op = in.Byte();
        switch (op & 7) {
        case 0: case 1: case 2: StoreNav(model, in, op); break;
        case 3: StoreFixMode(model, in); break;
        case 4: StoreTimeAndStatus(model, in); break;
        case 5: StoreTracking(model, in); break;
        default: model.SetActivityFlag(in.Byte(), (op & 0x80) != 0); break;
        }

        NavState nav;
        model.GetNavState(nav);
        const double csvBefore = csvTime;
        FormatMapCsvPosition(nav, csvTime, kind, line);
        RequireWhole(line);
        Require(line.IsEmpty() == (csvTime == csvBefore), "a CSV line takes the fix time");
        Require(line.IsEmpty() || CountFields(line, ',') == 3, "a CSV line has 3 fields");

        const uint32_t before = points;
        FormatKmlPlacemark(nav, kmlTime, points, line);
        CheckPlacemark(line, before, points);

        FormatGgaSentence(model, ggaTime, line);
        CheckGga(line);

        const int32_t index = sheet.rowIndex;
        if ((op & 0x40) != 0)
            FormatNmeaSpreadsheetRow(model, sheet, line);
        else
            FormatSpreadsheetRow(model, sheet, line);
        RequireWhole(line);
        const size_t width = (op & 0x40) != 0 ? 84 : 41;
        Require(line.IsEmpty() || CountFields(line, sep) == width, "a row has the header's width");
        Require(sheet.rowIndex == index || sheet.rowIndex == index + 1, "a row advances the index by one at most");
        Require(model.GetActivityFlags() == 0, "a row clears the activity bits");
    }
    FormatKmlFooter(line);
    return 0;
}
