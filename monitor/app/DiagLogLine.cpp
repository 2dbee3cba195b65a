#include "app/DiagLogLine.h"

#include "model/Clock.h"
#include "model/CrcErrorReport.h"

CString FormatDiagTimestamp(const CalendarTime& local)
{
    // Formatted by hand rather than through strftime so the text does not
    // depend on the C library's locale or time zone handling.
    const int hour = local.wHour % 24;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    CString text;
    text.Format("%02d/%02d/%02d %02d:%02d:%02d%s", static_cast<int>(local.wMonth),
                static_cast<int>(local.wDay), static_cast<int>(local.wYear % 100), hour12,
                static_cast<int>(local.wMinute), static_cast<int>(local.wSecond), hour < 12 ? "AM" : "PM");
    return text;
}

CString FormatDiagLogLine(const CalendarTime& local, const char* text)
{
    CString body(text);
    // One entry is one line, whatever the receiver put in its text.
    body.Remove('\r');
    body.Remove('\n');
    return FormatDiagTimestamp(local) + ": " + body + "\r\n";
}

CString FormatDiagMessageText(int32_t code, const char* text)
{
    CString result;
    result.Format("Err: 0x%04X ", static_cast<unsigned>(code) & 0xFFFFu);
    result += text;
    return result;
}

CString FormatCrcLogLine(const CalendarTime& local, const BYTE* frame, int length, CModel* model)
{
    CString report;
    FormatCrcErrorReport(report, "", frame, length, model);
    return FormatDiagTimestamp(local) + ": " + report + "\r\n";
}

CString MakeDiagLogName(int port)
{
    CString name;
    name.Format("diag_com%d.txt", port);
    return name;
}

CString MakeCrcLogName(const CString& diagLogName)
{
    CString name(diagLogName);
    name.Replace("diag", "crcLog");
    return name;
}

CString JoinLogPath(const CString& folder, const CString& name)
{
    if (folder.IsEmpty()) return name;
    const char last = folder[folder.GetLength() - 1];
    if (last == '\\' || last == '/') return folder + name;
#ifdef _WIN32
    return folder + "\\" + name;
#else
    return folder + "/" + name;
#endif
}

bool CDiagLogFile::Append(const CString& path, const CString& line)
{
    if (!m_file.IsOpen()) {
        if (!m_file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                   CFile::shareDenyWrite))
            return false;
        m_file.SeekToEnd();
    }
    return m_file.Write(static_cast<LPCTSTR>(line), static_cast<UINT>(line.GetLength()));
}

void CDiagLogFile::Close()
{
    if (m_file.IsOpen()) m_file.Close();
}

void CDiagLogs::SetPort(int port)
{
    if (port != m_port) Close();
    m_port = port;
}

bool CDiagLogs::AppendDiagLog(const char* text)
{
    return m_diag.Append(GetDiagLogPath(), FormatDiagLogLine(GetClock().NowLocal(), text));
}

bool CDiagLogs::LogCrcError(const BYTE* frame, int length, CModel* model)
{
    return m_crc.Append(GetCrcLogPath(), FormatCrcLogLine(GetClock().NowLocal(), frame, length, model));
}

void CDiagLogs::Close()
{
    m_diag.Close();
    m_crc.Close();
}
