#pragma once
// The data converter window without the window: the checks of its Convert
// button and of its options dialog, which folder a folder run walks and which
// files it takes, the run over one file or a whole folder (start, progress,
// finish, abort, outcome), and where its options live in the profile.
//
// CDataConverterDlg binds it to controls, timers and a link of its own;
// tests drive it through the same seams with fakes: IDataFolder for the file
// system, IConversionLink for the link, IConverterRunView for what the window
// shows, ITimerHost for its timers.
#include <cstdint>
#include <vector>

#include "framework/CString.h"
#include "link/CConverterEngine.h"

struct IMainWndProfile;
struct ITimerHost;

// ---- Texts ----------------------------------------------------------------------------
// Convert button checks, in the order they are made.
extern const char kConvTextSelectLogFile[];      // "Select a log file!"
extern const char kConvTextFileMissing[];        // also a recording that cannot be opened
extern const char kConvTextFolderMissing[];
extern const char kConvTextNoFormat[];
extern const char kConvTextBlankIdUnderOptions[];
extern const char kConvTextLinesUnderOptions[];
extern const char kConvTextNoDataFiles[];
// Options dialog checks, in the order they are made.
extern const char kConvTextBlankId[];
extern const char kConvTextLines[];
extern const char kConvTextBadInterval[];
// Starting and ending a run.
extern const char kConvTextInitFailed[];
extern const char kConvTextListenFailed[];
extern const char kConvTextWriteFailedFormat[];  // "%s": the output that could not be written
extern const char kConvTextFileOfFilesFormat[];  // "%d of %d"
extern const char kConvTextWorking[];
extern const char kConvTextCompleted[];
extern const char kConvTextAborted[];
extern const char kConvTextSomeFailedFormat[];   // "%d of %d files could not be converted."
extern const char kConvTextConvert[];            // the button while idle
extern const char kConvTextAbort[];              // the button while a run is active

// ---- Timers of the converter window ---------------------------------------------------
enum ConverterTimer : uint32_t {
    CONV_TIMER_CMDLINE_START = 7,   // an unattended start converts by itself
    CONV_TIMER_ABORT = 27,          // one shot: the aborted run is finished
    CONV_TIMER_PROGRESS = 28        // while a run is active: count, percentage, bar
};
const uint32_t kConvCmdLineStartMs = 1000;
const uint32_t kConvAbortDelayMs = 250;
const uint32_t kConvProgressMs = 20;

// How the program ends after an unattended conversion.
enum ConverterExitCode : int32_t {
    CONV_EXIT_ALL_CONVERTED = 0,
    CONV_EXIT_NOT_ALL_CONVERTED = 1,   // a file failed, was declined or the run was aborted
    CONV_EXIT_REFUSED = 2              // the command line or the options were refused
};

// ---- Profile ------------------------------------------------------------------------------
extern const char kConverterSection[];         // "Monitor\Converter"
extern const char kConverterWindowSection[];   // "DataConverter": the unattended window's position
extern const char kConverterFileTypeEntry[];   // "FileType": the file dialog's filter index
const int32_t kConverterFileTypeDefault = 1;

// Every option from the profile; a missing entry keeps the record's value
// (in a new record, the defaults).
// Booleans read any non-zero value as on; a separator code outside 0..2 reads 0.
void LoadConverterOptions(IMainWndProfile& profile, ConverterOptions& options);
// After a run started from the window: file, folder run, the five outputs and
// the dot colour.
void SaveConverterChoices(IMainWndProfile& profile, const ConverterOptions& options);
// After the options dialog's OK: every option it edits.
void SaveConverterDialogOptions(IMainWndProfile& profile, const ConverterOptions& options);

// ---- Checks ---------------------------------------------------------------------------------
// One entry of a folder.
struct DataFolderEntry {
    CString name;
    bool directory = false;
};

// What the converter asks of the file system.
struct IDataFolder {
    virtual ~IDataFolder() {}
    virtual bool IsDirectory(const CString& path) = 0;
    // The path exists and is not a directory.
    virtual bool IsFile(const CString& path) = 0;
    // The entries of a folder, "." and ".." left out, in any order; none
    // when it cannot be read.
    virtual void List(const CString& folder, std::vector<DataFolderEntry>& entries) = 0;
};

// The file system of this build.
IDataFolder& GetSystemDataFolder();

// The Convert button's checks on the controls' values: nullptr, or the
// message of the first that fails.
const char* CheckConvertRequest(const ConverterOptions& options, IDataFolder& folder);
// The options dialog's OK: nullptr, or the message of the first check that fails.
const char* CheckConverterOptions(const ConverterOptions& options);
// Start before end, both given, weeks compared modulo 1024 as the receiver counts them.
bool IsValidProcessingInterval(const ConverterOptions& options);

// ---- Folder runs ----------------------------------------------------------------------------
// The folder a folder run walks: the path itself when it is a directory
// (whatever dots its name has), else the folder of the file it names ("."
// for a bare file name).
CString GetConversionFolder(const CString& path, IDataFolder& folder);
// A name the converter takes: it holds ".log" or ".qbl" in any case.
bool IsDataFileName(const CString& name);
// The data files of the folder as full paths, taken once before the run so
// that outputs written during it (a range's raw copy is a ".qbl") and names
// that change are never walked; sorted by name without regard to case.
std::vector<CString> ListDataFiles(const CString& folderPath, IDataFolder& folder);

// ---- Progress --------------------------------------------------------------------------------
// position x 100 / size, truncated, in 64 bits; 0 for an empty input.
int32_t GetConversionPercent(int64_t position, int64_t size);
CString FormatConversionPercent(int64_t position, int64_t size);
// The bar counts size >> shift so that its range fits 16 bits whatever the input's size.
int32_t GetProgressShift(int64_t size);
int32_t ScaleProgress(int64_t value, int32_t shift);

// ---- Unattended start ------------------------------------------------------------------------
// What a command line gives replaces the record's values: the file, the folder
// run, the five outputs and overwrite; 1 Hz filling and a split only when asked for.
void ApplyConverterCommandLine(const ConverterOptions& given, ConverterOptions& record);

// ---- A run ---------------------------------------------------------------------------------------
enum ConverterStatusColour : int32_t {
    CONV_STATUS_NORMAL = 0,    // the system's window text colour
    CONV_STATUS_GOOD = 1,      // green
    CONV_STATUS_BAD = 2        // red
};
const uint32_t kConvColourGood = 0x008000;   // COLORREF green
const uint32_t kConvColourBad = 0x0000FF;    // COLORREF red

// The link a run converts through: the window's own controller.
struct IConversionLink {
    virtual ~IConversionLink() {}
    // A Convert begins (one file or a folder): outputs of an earlier Convert
    // no longer count as taken.
    virtual void BeginRun() = 0;
    // The window hears the link's end of data from now on; false when it cannot.
    virtual bool Listen() = 0;
    virtual void StopListening() = 0;
    // Opens the recording options.inputPath and the outputs and starts
    // reading: 0, or non-zero with *error one of LINK_ERROR_* (2: the user
    // declined to overwrite).
    virtual int Open(const ConverterOptions& options, int32_t* error) = 0;
    // No more output is written; the reader goes on until it is closed.
    virtual void Abort() = 0;
    // Stops the reader, finishes the outputs (complete, or removed after a
    // failure) and closes the recording.
    virtual void Close() = 0;
    // The output a failed open or run could not write; "" when none did.
    virtual CString GetFailedFile() = 0;
    // After Close: a create, write or rename of this run failed.
    virtual bool HasFailed() = 0;
    // Data lines of the primary output so far (final after Close).
    virtual int32_t GetRecordCount() = 0;
    virtual int64_t GetReadPosition() = 0;
    virtual int64_t GetInputSize() = 0;
};

// What the run shows: the window's controls, or a recording in tests.
struct IConverterRunView {
    virtual ~IConverterRunView() {}
    virtual void ShowMessage(const char* text) = 0;      // a message box
    virtual void WriteErrorLine(const char* text) = 0;   // standard error
    virtual void SetStatus(const CString& text, ConverterStatusColour colour) = 0;
    virtual void SetConvertButtonText(const char* text) = 0;
    virtual void SetProgressRange(int32_t range) = 0;
    virtual void SetProgressPosition(int32_t position) = 0;
    virtual void SetPercentText(const CString& text) = 0;
    virtual void SetRecordCountText(const CString& text) = 0;
    // A run started from the window: its choices become the next start's.
    virtual void SaveChoices(const ConverterOptions& options) = 0;
    // An unattended run is over: the program ends with the code.
    virtual void EndUnattended(int32_t exitCode) = 0;
};

// One Convert at a time: a single file, or every data file of a folder in
// turn. A file that cannot start is skipped and counted; an abort ends the
// whole run with the outputs written so far complete.
//
// Unattended (command-line) runs wait for nobody: messages go to the status
// text and standard error instead of boxes, and every end hands the exit code
// to EndUnattended.
class ConverterRun {
public:
    ConverterRun(IConversionLink& link, IDataFolder& folder, IConverterRunView& view, ITimerHost& timers);

    void SetUnattended(bool unattended) { m_unattended = unattended; }
    bool IsUnattended() const { return m_unattended; }

    // The Convert button with the controls' values: an abort while a run is
    // active, nothing while an abort is pending, else the checks and a start.
    void OnConvert(const ConverterOptions& options);
    // The link's end of data.
    void OnEndOfData();
    void OnAbortTimer();
    void OnProgressTimer();
    // The window closes: a run still active is finished as aborted, without
    // going on to further files.
    void OnClose();

    bool IsRunning() const { return m_running; }
    bool IsAbortPending() const { return m_abortPending; }
    // The outcome for the program's exit code: "not all converted" until a
    // run ended with every file converted.
    int32_t GetExitCode() const { return m_exitCode; }

private:
    enum FinishKind { FINISH_COMPLETED, FINISH_ABORTED };

    void Report(const CString& text, bool endsUnattended, int32_t exitCode);
    bool StartFile(size_t index);
    void StartFrom(size_t index);
    void Finish(FinishKind kind);
    void End(FinishKind kind);
    CString OpenFailureText(int result, int32_t error);

    IConversionLink& m_link;
    IDataFolder& m_folder;
    IConverterRunView& m_view;
    ITimerHost& m_timers;
    bool m_unattended = false;

    ConverterOptions m_options;      // the record of the current run
    std::vector<CString> m_files;    // one file, or the folder's snapshot
    size_t m_current = 0;            // index of the file being converted
    int32_t m_failedFiles = 0;
    CString m_lastFailure;           // the last failed file's message
    bool m_choicesSaved = false;
    bool m_running = false;
    bool m_abortPending = false;
    int32_t m_progressShift = 0;
    int64_t m_inputSize = 0;
    int32_t m_exitCode = CONV_EXIT_NOT_ALL_CONVERTED;
};
