#pragma once
// The multiport data logger without its window: the 64 port records, the
// checks and naming of a start, the companion CSV and KML files, the profile,
// the logging calendar's gate and the status a port shows. The window
// (CDataRecorderDlg) only copies values between its controls and this core
// and hands it the user's commands, its timer and the receiver events.
//
// The raw bytes are written by each link's own raw logger; this core asks it
// to start and stop, opens links of its own where the main window does not
// already hold the port, and writes the companion lines through the writers
// of ConverterWriters.h. Everything runs on the user-interface thread.
//
// What the core needs of the window, of the main window and of the profile
// comes through three small interfaces, so tests drive it with fakes.
#include <cstdint>
#include <vector>

#include "data/LogCalendar.h"
#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

class CController;

enum : int32_t {
    LOGGER_PORT_COUNT = 64,
    LOGGER_PLAYBACK_PORT = 0,  // the main window's playback channel
    LOGGER_NO_PORT = -1        // a record nobody uses
};

// The action code a running script receives for the logger's start/stop.
enum : int32_t { LOGGER_SCRIPT_ACTION = 15 };

// The six lamps of the status group.
enum LoggerLamp : int32_t {
    LOGGER_LAMP_TX = 0,
    LOGGER_LAMP_RX,
    LOGGER_LAMP_FIX,
    LOGGER_LAMP_ALM,
    LOGGER_LAMP_BB,
    LOGGER_LAMP_RTC
};

// One port's settings and its run.
struct LoggerPortState {
    int32_t port = LOGGER_NO_PORT;
    // The link being logged; null while the port does not log. Either the
    // main window's own link (borrowed) or one this record opened (owned).
    CController* controller = nullptr;
    bool ownsController = false;
    uint32_t bytesLogged = 0;
    double lastCsvTime = -1.0;
    double lastKmlTime = -1.0;
    CString fileName;
    CString dirName;
    int32_t logAppend = 0;
    int32_t stdFileNaming = 0;
    int32_t makeCsv = 0;
    CFile csvFile;
    int32_t makeKml = 0;
    CFile kmlFile;
    uint32_t kmlColour = 255;
    uint32_t kmlPoints = 0;
    CString unitId;
    CString testCase;
    ProtocolKind protocol = PROTO_QBIN;
    float chunkMb = 0.0f;
    int32_t logSig = 0;
    int32_t logTime = 0;
    // Kept, loaded and stored with the port; nothing here edits them.
    int32_t maxHorizErr = 0;
    int32_t maxVertErr = 0;
    int32_t maxOutages = 0;
    BYTE parity = 0;    // 0 none, 1 odd, 2 even
    BYTE stopBits = 0;  // 0 one stop bit, 2 two
    BYTE dataBits = 8;
    int32_t baud = 9600;
};

// The values the window's controls hold for the selected port; combo boxes
// as indexes, -1 for no selection.
struct LoggerForm {
    CString filePath;
    CString dirName;  // the folder of the chosen log file, ending in its separator
    int32_t stdFileNaming = 0;
    CString unitId;
    CString testCase;
    float chunkMb = 0.0f;
    int32_t logSig = 0;
    int32_t logTime = 0;
    int32_t logAppend = 0;
    int32_t makeKml = 0;
    int32_t makeCsv = 0;
    int32_t baudIndex = 6;
    int32_t dataBitsIndex = 1;
    int32_t parityIndex = 0;
    int32_t protocolIndex = 1;
    int32_t stopBitsIndex = 0;
    uint32_t kmlColour = 255;
};

// The logger window's controls.
struct ILoggerView {
    virtual ~ILoggerView() {}
    // Reads the controls into the form; false when one of them is refused
    // (the framework has shown its message).
    virtual bool ReadForm(LoggerForm& form) = 0;
    // The log path after the standard name was built.
    virtual void ShowFilePath(const CString& path) = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void SetSizeText(const char* text) = 0;
    virtual void SetFixTexts(const char* satellites, const char* dimension) = 0;
    // shade 1 or 2: the scheme's first or second colour; other values white.
    virtual void SetLamp(LoggerLamp lamp, int scheme, int shade) = 0;
    virtual void BlinkLamp(LoggerLamp lamp) = 0;
    // Off while the selected port logs: the settings stay as they were started.
    virtual void EnableSettings(bool enable) = 0;
};

// What the logger needs of the main window it belongs to.
struct ILoggerLinks {
    virtual ~ILoggerLinks() {}
    // The main window's link when it is the serial link of this port, or its
    // playback for port 0; else null.
    virtual CController* GetMainLinkFor(int32_t port) = 0;
    // A new link of the logger's own (null when none can be made), and its end.
    virtual CController* CreateLink() = 0;
    virtual void DeleteLink(CController* link) = 0;
    // The window that takes the receiver events of the logger's own links.
    virtual HWND GetEventWindow() = 0;
    // Tells a running script the outcome of its start or stop.
    virtual void ReportScriptResult(int32_t result, int32_t action) = 0;
    // The main window's status line shows whether anything is logged.
    virtual void RefreshLoggingStatus() = 0;
};

// The application profile, section "Monitor".
struct ILoggerProfile {
    virtual ~ILoggerProfile() {}
    virtual int32_t GetInt(const char* entry, int32_t defaultValue) = 0;
    virtual CString GetString(const char* entry, const char* defaultValue) = 0;
    virtual void WriteInt(const char* entry, int32_t value) = 0;
    virtual void WriteString(const char* entry, const char* value) = 0;
};

// Texts shown in message boxes and the status line.
extern const char kLoggerSelectPort[];         // "Please, select the COM port first."
extern const char kLoggerSelectFile[];         // "Select a log file."
extern const char kLoggerBadUnitOrTest[];      // the refusal of path characters in the naming fields
extern const char kLoggerCsvFailed[];          // "Failed to create the .CSV file!"
extern const char kLoggerKmlFailed[];          // "Failed to create the .KML file!"

// ---- Pure helpers ------------------------------------------------------------

// "TC_<unit>_yymmdd_hhmm_<test>.log" from the local time; an empty Unit ID
// reads "[ID#]", an empty Test Case # "[TC#]".
CString BuildStandardFileName(const CString& unitId, const CString& testCase);
// The path with its extension (after the last "." of the last component)
// replaced, or the extension appended when it has none.
CString ReplaceExtension(const CString& path, const char* extension);
// The path up to and including its last "/", else its last "\"; "" without either.
CString LogDirectoryOf(const CString& path);
// "%d bytes" up to 1024, "%.1f KB" below 1,024,001, else "%.2f MB".
CString FormatLogSize(uint32_t bytes);
// True when the text may go into a file name: none of \ / : * ? " < > |, no
// "..", no control characters.
bool IsFileNamePartValid(const CString& text);
// The number after the first three characters of a port list entry ("COM 7"
// gives 7, "Playback" gives 0).
int32_t PortOfListEntry(const CString& entry);
// The name a port's log takes without standard naming: "com%d_data.log", or
// "replay_data.log" for the playback channel.
CString DefaultLogFileName(int32_t port);
// The name the file chooser proposes: the playback channel's default, else
// the name part of the current path, else the port's default.
CString ProposeLogFileName(int32_t port, const CString& currentPath);
// The captions of the four group boxes, naming the port.
struct LoggerGroupTitles {
    CString status;
    CString logFile;
    CString portSettings;
    CString misc;
};
LoggerGroupTitles GetLoggerGroupTitles(int32_t port);
// The profile's integer for a split size (MB x 1000, rounded to nearest) and back.
int32_t ChunkToProfile(float chunkMb);
float ChunkFromProfile(int32_t value);

// Combo indexes and the codes they stand for; -1 (or false) where none fits.
int32_t BaudOfIndex(int32_t index);
int32_t IndexOfBaud(int32_t baud);
ProtocolKind ProtocolOfIndex(int32_t index);  // 0 without a command protocol
int32_t IndexOfProtocol(ProtocolKind kind);

class CDataLoggerCore {
public:
    // The three interfaces must outlive the core.
    CDataLoggerCore(ILoggerView& view, ILoggerLinks& links, ILoggerProfile& profile);
    // Stops every port that still logs (see Shutdown).
    ~CDataLoggerCore();
    CDataLoggerCore(const CDataLoggerCore&) = delete;
    CDataLoggerCore& operator=(const CDataLoggerCore&) = delete;

    // Gives the records their ports from the main window's list (one record
    // per entry, at most 64; a repeated entry leaves its record unused), adds
    // the playback channel when internal tools are on and a record is left,
    // loads each used record's profile keys and returns the list's texts.
    std::vector<CString> Initialise(const std::vector<uint32_t>& comPorts, bool internalTools);

    int FindPortIndex(int32_t port) const;
    const LoggerPortState* GetPort(int32_t port) const;

    // The form of a port's stored settings, for the controls.
    LoggerForm GetForm(int32_t port) const;

    // The checks and storing of a start, in the window's order; the first
    // failing check shows its message and returns false.
    bool PreparePort(int32_t port);
    bool StartPort(int32_t port);
    // False only for a port without a record.
    bool StopPort(int32_t port);
    void StopAllPorts();
    // Stops every port that logs without telling anybody: the window is
    // going away (closing the program).
    void Shutdown();

    // The start/stop button (also the script's way in).
    void OnStartStopLogging(int32_t port);
    // "Use Current Settings for All Ports".
    bool UseSettingsForAllPorts(int32_t port);

    // Once a second: the calendar, the selected port's status, the queries
    // and the logging gate of every port.
    void OnTimer(int32_t selectedPort);
    void RefreshPortStatus(int32_t port);
    // A receiver event of a link: positions go to the companion files.
    void OnModelUpdate(int32_t event, uint32_t param);

    bool IsPortLogging(int32_t port) const;
    // Any port, the playback channel included.
    bool IsAnyPortLogging() const;

    const LogCalendarValues& GetCalendar() const { return m_calendar; }
    void SetCalendar(const LogCalendarValues& values) { m_calendar = values; }

    // The size text of a port, from its byte count.
    void ShowFileSize(int32_t port);

private:
    LoggerPortState* Record(int32_t port);
    void LoadProfile(LoggerPortState& record);
    void SaveProfile(const LoggerPortState& record);
    bool CheckForm(const LoggerForm& form);
    bool TakeSerialCodes(const LoggerForm& form, LoggerPortState& record);
    bool OpenCompanions(LoggerPortState& record);
    bool OpenCompanionFile(CFile& file, const CString& path, bool append, bool readBack);
    void CloseCompanions(LoggerPortState& record);
    bool OpenOwnLink(LoggerPortState& record);
    void ReleaseLink(LoggerPortState& record);
    bool HasFallenIdle(const LoggerPortState& record) const;
    void ShowReceiverStatus(CController& link);
    void ShowIdleStatus();
    void ReportToScript(int32_t result);
    void WriteCsvPosition(LoggerPortState& record);
    void WriteKmlPosition(LoggerPortState& record);

    ILoggerView& m_view;
    ILoggerLinks& m_links;
    ILoggerProfile& m_profile;
    LoggerPortState m_ports[LOGGER_PORT_COUNT];
    LogCalendarValues m_calendar;
    bool m_allStopped = false;
    bool m_fileError = false;
    bool m_calendarEndHandled = false;
    bool m_scriptNotified = false;
};
