#pragma once
// The diagnostic log and the CRC error log of a monitored port: text files
// in the main window's data folder, one time-stamped line per entry, kept
// open until the link returns to IDLE.
//
// Lines carry the local time from the clock seam, so with a fixed clock
// their text is exact. Writing goes through the file layer; a log that
// cannot be opened is skipped silently, since logging must never get in the
// way of monitoring.
#include <cstdint>

#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "model/CalendarTime.h"

class CModel;

// "%m/%d/%y %I:%M:%S%p" of the given local time, e.g. "03/15/07 01:02:03PM".
CString FormatDiagTimestamp(const CalendarTime& local);

// The time, ": ", the text with every CR and LF removed, and CR LF.
CString FormatDiagLogLine(const CalendarTime& local, const char* text);

// "Err: 0x%04X " and the text: a diagnostic message of the receiver as it
// goes to the log (the code is shown as its low 16 bits).
CString FormatDiagMessageText(int32_t code, const char* text);

// The time, ": ", the CRC error report of the frame (FormatCrcErrorReport)
// and CR LF. `frame` is the whole frame as received.
CString FormatCrcLogLine(const CalendarTime& local, const BYTE* frame, int length, CModel* model);

// "diag_com%d.txt" for the port, and its CRC twin ("diag" -> "crcLog").
CString MakeDiagLogName(int port);
CString MakeCrcLogName(const CString& diagLogName);

// The folder and the name joined with one separator; the name alone when
// the folder is empty.
CString JoinLogPath(const CString& folder, const CString& name);

// One log file, opened for appending on first use (created when missing).
class CDiagLogFile {
public:
    // Writes the line, opening `path` first when the log is not open. False
    // when the file could not be opened or the write failed; an open failure
    // is tried again at the next line.
    bool Append(const CString& path, const CString& line);
    void Close();
    bool IsOpen() const { return m_file.IsOpen(); }

private:
    CFile m_file;
};

// Both logs of the main window's link.
class CDiagLogs {
public:
    CDiagLogs() : m_port(0) {}

    // The data folder (or the start-up folder when it could not be made).
    void SetFolder(const CString& folder) { m_folder = folder; }
    // A new link: the names follow its port. Open logs of an earlier port are closed.
    void SetPort(int port);

    CString GetDiagLogPath() const { return JoinLogPath(m_folder, MakeDiagLogName(m_port)); }
    CString GetCrcLogPath() const { return JoinLogPath(m_folder, MakeCrcLogName(MakeDiagLogName(m_port))); }

    // The diagnostic line for the text, with the time from the clock seam.
    bool AppendDiagLog(const char* text);
    // The CRC error line for the frame.
    bool LogCrcError(const BYTE* frame, int length, CModel* model);

    // The link returned to IDLE.
    void Close();
    bool IsDiagLogOpen() const { return m_diag.IsOpen(); }
    bool IsCrcLogOpen() const { return m_crc.IsOpen(); }

private:
    CString m_folder;
    int m_port;
    CDiagLogFile m_diag;
    CDiagLogFile m_crc;
};
