#pragma once
// The text builders of the derived outputs: the map CSV (Streets & Trips),
// the KML document (Google Earth), NMEA GGA sentences and the two
// spreadsheet column sets. They touch no file: each builds one line into an
// OutputLine that the caller writes (an empty line means nothing to write)
// and updates the small per-output state the caller keeps. The converter
// engine calls them for every event of a conversion, the data logger for its
// companion files, on the reader thread of a conversion, so a line is built
// in place, without the heap.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/ProtocolKind.h"
#include "model/ModelRecords.h"

class CModel;

// One line of output built in a fixed buffer. A line that would not fit is
// cut at the buffer's end (never past it); the longest line a builder makes
// is far below the capacity.
class OutputLine {
public:
    enum : size_t { kCapacity = 8192 };
    // The longest "%.*f" text AppendFixed builds: the largest double has 309
    // digits before the point, and the precision is at most kMaxPrecision.
    enum : int { kMaxPrecision = 17, kFixedRoom = 340 };

    OutputLine() { Clear(); }
    void Clear()
    {
        m_length = 0;
        m_text[0] = '\0';
    }
    // printf-style append; the result is cut at the capacity.
    void Append(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Inline, so that a literal's length is known where it is appended.
    void AppendText(const char* text)
    {
        if (text != nullptr) AppendText(text, strlen(text));
    }
    void AppendText(const char* text, size_t length)
    {
        if (text == nullptr) return;
        const size_t room = kCapacity - 1 - m_length;
        if (length > room) length = room;
        memcpy(m_text + m_length, text, length);
        m_length += length;
        m_text[m_length] = '\0';
    }
    void AppendChar(char c)
    {
        if (m_length + 1 >= kCapacity) return;
        m_text[m_length++] = c;
        m_text[m_length] = '\0';
    }
    // The text of printf's "%0*lld" (width 0: "%lld").
    void AppendDecimal(int64_t value, int width = 0);
    // The text of printf's "%0*.*f" (width 0: "%.*f"), without printf: the
    // writers build several of these per line for every fix.
    void AppendFixed(double value, int precision, int width = 0);

    const char* GetText() const { return m_text; }
    size_t GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }

private:
    char m_text[kCapacity];
    size_t m_length;
};

// The spreadsheet outputs' options and running state; owned by the engine,
// set afresh when a conversion opens.
struct SpreadsheetState {
    // Options, from the conversion's options record.
    bool fill1Hz = false;
    bool na = true;               // "=na()" in unavailable fields, else nothing
    int32_t fieldSep = 0;         // 0 tab, 1 space, 2 comma

    // Counters. The row index advances after each row that carries a position.
    int32_t rowIndex = 0;
    int32_t runCounter = 0;

    // Binary set: time of the last row (0 when the conversion starts).
    double lastRowTime = 0.0;
    // The reference point, fixed by the first position of the conversion.
    bool firstPosition = true;
    double latitude0 = 0.0, longitude0 = 0.0;
    double eastScale = 0.0, northScale = 0.0;
    // Velocity integrals, started by the first velocity of the conversion.
    bool firstVelocity = true;
    double previousVelocityTime = 0.0;
    double previousVelEast = 0.0, previousVelNorth = 0.0, previousVelUp = 0.0;
    double previousDrift = 0.0;
    double integralEast = 0.0, integralNorth = 0.0, integralUp = 0.0, integralDrift = 0.0;
};

// Column sets of the spreadsheet header.
enum : int32_t {
    SPREADSHEET_SET_BINARY = 3,
    SPREADSHEET_SET_NMEA = 4
};

// Each builder clears `out` first and leaves it empty when there is nothing
// to write. The time and count arguments are the caller's per-output state.
//
// CSV, KML and GGA write a fix once: a valid fix (type 1, a time within the
// week, latitude and longitude on the globe) whose time differs from the last
// one written there. Times and angles are rounded to the printed precision
// before they are split into hours, minutes and seconds or degrees and
// minutes. GGA takes HDOP from the model's DOP record; an HDOP or altitude
// the receiver did not give stays an empty field.
//
// The binary spreadsheet row shows the model's status code as "Status" and
// its health error bits as "BBErr", and `SpreadsheetState::runCounter` as
// "Run". The NMEA row shows tracking angles as whole degrees (rounded), and
// unknown speed, heading, altitude and angles as unavailable fields. Every
// row clears the model's activity bits, also when it writes nothing.
void FormatMapCsvHeader(OutputLine& out);
void FormatMapCsvPosition(const NavState& nav, double& lastCsvTime, ProtocolKind kind,
                          OutputLine& out);
void FormatGgaSentence(CModel& model, double& lastGgaTime, OutputLine& out);
void FormatKmlHeader(uint32_t dotColour, OutputLine& out);
void FormatKmlPlacemark(const NavState& nav, double& lastKmlTime, uint32_t& pointCount,
                        OutputLine& out);
void FormatKmlFooter(OutputLine& out);
void FormatSpreadsheetHeader(int32_t columnSet, int32_t fieldSep, OutputLine& out);
void FormatSpreadsheetRow(CModel& model, SpreadsheetState& state, OutputLine& out);
void FormatNmeaSpreadsheetRow(CModel& model, SpreadsheetState& state, OutputLine& out);
