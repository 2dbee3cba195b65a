#include "data/ConverterWriters.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void OutputLine::Append(const char* format, ...)
{
    if (m_length + 1 >= kCapacity) return;
    va_list args;
    va_start(args, format);
    const int n = vsnprintf(m_text + m_length, kCapacity - m_length, format, args);
    va_end(args);
    if (n < 0) {
        m_text[m_length] = '\0';
        return;
    }
    const size_t room = kCapacity - 1 - m_length;
    m_length += static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
}

void OutputLine::AppendText(const char* text)
{
    if (text == nullptr) return;
    const size_t room = kCapacity - 1 - m_length;
    size_t n = strlen(text);
    if (n > room) n = room;
    memcpy(m_text + m_length, text, n);
    m_length += n;
    m_text[m_length] = '\0';
}

// The builders below write nothing yet; the converter's outputs stay empty.
void FormatMapCsvHeader(OutputLine& out)
{
    out.Clear();
    out.AppendText("Longitude, Latitude, Name");
}
void FormatMapCsvPosition(const NavState&, double&, ProtocolKind, OutputLine& out) { out.Clear(); }
void FormatGgaSentence(CModel&, double&, OutputLine& out) { out.Clear(); }
void FormatKmlHeader(uint32_t, OutputLine& out) { out.Clear(); }
void FormatKmlPlacemark(const NavState&, double&, uint32_t&, OutputLine& out) { out.Clear(); }
void FormatKmlFooter(OutputLine& out) { out.Clear(); }
void FormatSpreadsheetHeader(int32_t, int32_t, OutputLine& out) { out.Clear(); }
void FormatSpreadsheetRow(CModel&, SpreadsheetState&, OutputLine& out) { out.Clear(); }
void FormatNmeaSpreadsheetRow(CModel&, SpreadsheetState&, OutputLine& out) { out.Clear(); }
