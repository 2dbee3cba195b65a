#include "data/DataConverterCore.h"

#include <algorithm>
#include <cstring>

#include "app/MainWndProfile.h"
#include "framework/CFileFind.h"
#include "link/CController.h"
#include "link/TimerHost.h"
#include "model/FileAttributes.h"

const char kConvTextSelectLogFile[] = "Select a log file!";
const char kConvTextFileMissing[] = "Specified file does not exist or cannot be opened!";
const char kConvTextFolderMissing[] = "Specified directory does not exist!";
const char kConvTextNoFormat[] = "Select at least one file format to generate!";
const char kConvTextBlankIdUnderOptions[] = "Enter packet ID for blank line (under Options).";
const char kConvTextLinesUnderOptions[] = "Number of lines must be at least 1 (under Options).";
const char kConvTextNoDataFiles[] = "Could not find any valid data files (.log or .qbl).";
const char kConvTextBlankId[] = "Enter packet ID for blank line!";
const char kConvTextLines[] = "Number of lines must be at least 1.";
const char kConvTextBadInterval[] = "Invalid processing time interval specified.";
const char kConvTextInitFailed[] = "Failed to initialize the converter!";
const char kConvTextListenFailed[] = "Failed to register the playback event handler!";
const char kConvTextWriteFailedFormat[] = "Conversion failed: could not write %s";
const char kConvTextFileOfFilesFormat[] = "Converting file %d of %d...";
const char kConvTextWorking[] = "Working...";
const char kConvTextCompleted[] = "Conversion completed!";
const char kConvTextAborted[] = "Conversion aborted!";
const char kConvTextSomeFailedFormat[] = "%d of %d files could not be converted.";
const char kConvTextConvert[] = "Convert";
const char kConvTextAbort[] = "Abort!";

const char kConverterSection[] = "Monitor\\Converter";
const char kConverterWindowSection[] = "DataConverter";
const char kConverterFileTypeEntry[] = "FileType";

namespace {

// ---- Profile keys -----------------------------------------------------------------------

// One option and its profile entry; exactly one member pointer is set.
struct ConverterKey {
    const char* entry;
    bool ConverterOptions::*flag;
    int32_t ConverterOptions::*number;
    CString ConverterOptions::*text;
    uint32_t ConverterOptions::*colour;
};

#define CONV_FLAG(entry, member) {entry, &ConverterOptions::member, nullptr, nullptr, nullptr}
#define CONV_NUMBER(entry, member) {entry, nullptr, &ConverterOptions::member, nullptr, nullptr}
#define CONV_TEXT(entry, member) {entry, nullptr, nullptr, &ConverterOptions::member, nullptr}
#define CONV_COLOUR(entry, member) {entry, nullptr, nullptr, nullptr, &ConverterOptions::member}

// In the record's order.
const ConverterKey kConverterKeys[] = {
    CONV_TEXT("file", inputPath),
    CONV_FLAG("overwrite", overwrite),
    CONV_FLAG("convertAll", convertAll),
    CONV_FLAG("processRange", rangeOn),
    CONV_NUMBER("startTow", startTimeOfWeek),
    CONV_NUMBER("startWn", startWeek),
    CONV_NUMBER("endTow", endTimeOfWeek),
    CONV_NUMBER("endWn", endWeek),
    CONV_FLAG("csv", mapCsv),
    CONV_FLAG("txt", textTranslation),
    CONV_FLAG("pktIDs", packetId),
    CONV_FLAG("blankLine", blankLine),
    CONV_FLAG("prependDM", dmPrefix),
    CONV_TEXT("blankPktID", blankLinePacketId),
    CONV_TEXT("blankPktSubcode", blankLineSubcode),
    CONV_FLAG("addHdr", translationHeader),
    CONV_FLAG("badparses", rawData),
    CONV_FLAG("xlx", spreadsheet),
    CONV_FLAG("splitLines", spreadsheetSplit),
    CONV_NUMBER("numLines", linesPerPart),
    CONV_FLAG("fill1Hz", fill1Hz),
    CONV_FLAG("na", na),
    CONV_NUMBER("fieldSep", fieldSep),
    CONV_FLAG("kml", kml),
    CONV_COLOUR("kmlBulletClr", kmlDotColour),
    CONV_FLAG("nmea", nmeaGga),
};

#undef CONV_FLAG
#undef CONV_NUMBER
#undef CONV_TEXT
#undef CONV_COLOUR

// The Convert button keeps these for the next start.
const char* const kChoiceEntries[] = {"file", "convertAll", "csv", "txt", "xlx", "kml", "nmea", "kmlBulletClr"};
// The options dialog's OK keeps these.
const char* const kDialogEntries[] = {"pktIDs",  "blankLine", "blankPktID",   "blankPktSubcode", "prependDM",
                                      "addHdr",  "overwrite", "badparses",    "splitLines",      "fieldSep",
                                      "numLines", "fill1Hz",  "na",           "processRange",    "startTow",
                                      "startWn", "endTow",    "endWn"};

const int32_t kFieldSepCodes = 3;   // tab, space, comma

const ConverterKey* FindKey(const char* entry)
{
    for (const ConverterKey& key : kConverterKeys)
        if (std::strcmp(key.entry, entry) == 0) return &key;
    return nullptr;
}

void LoadKey(IMainWndProfile& profile, const ConverterKey& key, ConverterOptions& options)
{
    if (key.flag != nullptr) {
        options.*key.flag = profile.GetProfileInt(kConverterSection, key.entry, options.*key.flag ? 1 : 0) != 0;
    } else if (key.number != nullptr) {
        options.*key.number = profile.GetProfileInt(kConverterSection, key.entry, options.*key.number);
    } else if (key.text != nullptr) {
        options.*key.text = profile.GetProfileString(kConverterSection, key.entry, options.*key.text);
    } else {
        const int32_t stored =
            profile.GetProfileInt(kConverterSection, key.entry, static_cast<int32_t>(options.*key.colour));
        options.*key.colour = static_cast<uint32_t>(stored);
    }
}

void SaveKey(IMainWndProfile& profile, const ConverterKey& key, const ConverterOptions& options)
{
    if (key.flag != nullptr)
        profile.WriteProfileInt(kConverterSection, key.entry, options.*key.flag ? 1 : 0);
    else if (key.number != nullptr)
        profile.WriteProfileInt(kConverterSection, key.entry, options.*key.number);
    else if (key.text != nullptr)
        profile.WriteProfileString(kConverterSection, key.entry, options.*key.text);
    else
        profile.WriteProfileInt(kConverterSection, key.entry, static_cast<int32_t>(options.*key.colour));
}

template <size_t N>
void SaveKeys(IMainWndProfile& profile, const char* const (&entries)[N], const ConverterOptions& options)
{
    for (const char* entry : entries)
        if (const ConverterKey* key = FindKey(entry)) SaveKey(profile, *key, options);
}

// ---- Paths ----------------------------------------------------------------------------------

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

int LastSeparator(const CString& path)
{
    for (int i = path.GetLength() - 1; i >= 0; --i)
        if (IsSeparator(path[i])) return i;
    return -1;
}

// A name in the folder, joined with the separator the folder's path already
// uses ("\\" when it has none).
CString JoinPath(const CString& folder, const CString& name)
{
    if (folder.IsEmpty()) return name;
    if (IsSeparator(folder[folder.GetLength() - 1])) return folder + name;
    const int separator = LastSeparator(folder);
    const char join = separator >= 0 ? folder[separator] : '\\';
    return folder + join + name;
}

// The file system through the attribute calls and a folder search.
class SystemDataFolder : public IDataFolder {
public:
    bool IsDirectory(const CString& path) override { return DirectoryExists(path); }
    bool IsFile(const CString& path) override { return FileExists(path); }
    void List(const CString& folder, std::vector<DataFolderEntry>& entries) override
    {
        entries.clear();
        CFileFind finder;
        BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
        while (more) {
            more = finder.FindNextFile();
            if (finder.IsDots()) continue;
            DataFolderEntry entry;
            entry.name = finder.GetFileName();
            entry.directory = finder.IsDirectory() != FALSE;
            entries.push_back(entry);
        }
    }
};

CString Lowered(const CString& text)
{
    CString lower(text);
    lower.MakeLower();
    return lower;
}

const int64_t kSecondsPerWeek = 604800;
const int32_t kWeekNumberMask = 0x3FF;   // the receiver counts weeks modulo 1024
const int32_t kPercentFull = 100;
const int64_t kProgressMaxRange = 0xFFFF;

}  // namespace

// ---- Profile ----------------------------------------------------------------------------------

void LoadConverterOptions(IMainWndProfile& profile, ConverterOptions& options)
{
    for (const ConverterKey& key : kConverterKeys)
        LoadKey(profile, key, options);
    if (options.fieldSep < 0 || options.fieldSep >= kFieldSepCodes) options.fieldSep = 0;
}

void SaveConverterChoices(IMainWndProfile& profile, const ConverterOptions& options)
{
    SaveKeys(profile, kChoiceEntries, options);
}

void SaveConverterDialogOptions(IMainWndProfile& profile, const ConverterOptions& options)
{
    SaveKeys(profile, kDialogEntries, options);
}

// ---- Checks -------------------------------------------------------------------------------------

const char* CheckConvertRequest(const ConverterOptions& options, IDataFolder& folder)
{
    if (options.inputPath.IsEmpty()) return kConvTextSelectLogFile;
    if (!options.convertAll && !folder.IsFile(options.inputPath)) return kConvTextFileMissing;
    if (options.convertAll && !folder.IsDirectory(options.inputPath) && !folder.IsFile(options.inputPath))
        return kConvTextFolderMissing;
    if (!options.mapCsv && !options.spreadsheet && !options.textTranslation && !options.kml && !options.nmeaGga)
        return kConvTextNoFormat;
    if (options.blankLine && options.blankLinePacketId.IsEmpty()) return kConvTextBlankIdUnderOptions;
    if (options.spreadsheet && options.spreadsheetSplit && options.linesPerPart < 1)
        return kConvTextLinesUnderOptions;
    return nullptr;
}

bool IsValidProcessingInterval(const ConverterOptions& options)
{
    if (options.startTimeOfWeek < 0 || options.startWeek < 0 || options.endTimeOfWeek < 0 || options.endWeek < 0)
        return false;
    const int64_t start = options.startTimeOfWeek + (options.startWeek & kWeekNumberMask) * kSecondsPerWeek;
    const int64_t end = options.endTimeOfWeek + (options.endWeek & kWeekNumberMask) * kSecondsPerWeek;
    return start < end;
}

const char* CheckConverterOptions(const ConverterOptions& options)
{
    if (options.blankLine && options.blankLinePacketId.IsEmpty()) return kConvTextBlankId;
    if (options.linesPerPart < 1) return kConvTextLines;
    if (options.rangeOn && !IsValidProcessingInterval(options)) return kConvTextBadInterval;
    return nullptr;
}

// ---- Folder runs -----------------------------------------------------------------------------

IDataFolder& GetSystemDataFolder()
{
    static SystemDataFolder folder;
    return folder;
}

CString GetConversionFolder(const CString& path, IDataFolder& folder)
{
    if (folder.IsDirectory(path)) return path;
    const int separator = LastSeparator(path);
    if (separator < 0) return CString(".");
    // "C:\a.log" lives in "C:\", not in the current folder of drive C.
    if (separator == 0 || (separator == 2 && path[1] == ':')) return path.Left(separator + 1);
    return path.Left(separator);
}

bool IsDataFileName(const CString& name)
{
    const CString lower = Lowered(name);
    return lower.Find(".log") >= 0 || lower.Find(".qbl") >= 0;
}

std::vector<CString> ListDataFiles(const CString& folderPath, IDataFolder& folder)
{
    std::vector<DataFolderEntry> entries;
    folder.List(folderPath, entries);
    std::vector<CString> names;
    for (const DataFolderEntry& entry : entries)
        if (!entry.directory && IsDataFileName(entry.name)) names.push_back(entry.name);
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) {
        const int order = a.CompareNoCase(b);
        return order != 0 ? order < 0 : a.Compare(b) < 0;
    });
    std::vector<CString> paths;
    paths.reserve(names.size());
    for (const CString& name : names)
        paths.push_back(JoinPath(folderPath, name));
    return paths;
}

// ---- Progress --------------------------------------------------------------------------------

int32_t GetConversionPercent(int64_t position, int64_t size)
{
    if (size <= 0 || position <= 0) return 0;
    if (position >= size) return kPercentFull;
    return static_cast<int32_t>(position * kPercentFull / size);
}

CString FormatConversionPercent(int64_t position, int64_t size)
{
    CString text;
    text.Format("%d%%", GetConversionPercent(position, size));
    return text;
}

int32_t GetProgressShift(int64_t size)
{
    int32_t shift = 0;
    while (size > kProgressMaxRange) {
        size >>= 1;
        ++shift;
    }
    return shift;
}

int32_t ScaleProgress(int64_t value, int32_t shift)
{
    if (value <= 0) return 0;
    const int64_t scaled = value >> shift;
    return static_cast<int32_t>(std::min<int64_t>(scaled, kProgressMaxRange));
}

// ---- Unattended start -------------------------------------------------------------------------

void ApplyConverterCommandLine(const ConverterOptions& given, ConverterOptions& record)
{
    record.inputPath = given.inputPath;
    record.convertAll = given.convertAll;
    record.mapCsv = given.mapCsv;
    record.spreadsheet = given.spreadsheet;
    record.textTranslation = given.textTranslation;
    record.kml = given.kml;
    record.nmeaGga = given.nmeaGga;
    record.overwrite = given.overwrite;
    if (given.fill1Hz) record.fill1Hz = true;
    if (given.spreadsheetSplit) {
        record.spreadsheetSplit = true;
        record.linesPerPart = given.linesPerPart;
    }
}

// ---- A run ----------------------------------------------------------------------------------------

ConverterRun::ConverterRun(IConversionLink& link, IDataFolder& folder, IConverterRunView& view, ITimerHost& timers)
    : m_link(link), m_folder(folder), m_view(view), m_timers(timers)
{
}

void ConverterRun::Report(const CString& text, bool endsUnattended, int32_t exitCode)
{
    if (!m_unattended) {
        if (!text.IsEmpty()) m_view.ShowMessage(text);
        return;
    }
    if (!text.IsEmpty()) {
        m_view.SetStatus(text, CONV_STATUS_BAD);
        m_view.WriteErrorLine(text);
    }
    if (endsUnattended) {
        m_exitCode = exitCode;
        m_view.EndUnattended(exitCode);
    }
}

void ConverterRun::OnConvert(const ConverterOptions& options)
{
    if (m_abortPending) return;
    if (m_running) {
        // The engine stops writing at once; the finish waits a moment for
        // the reader's own end of data, then stops it.
        m_abortPending = true;
        m_link.Abort();
        m_timers.SetTimer(CONV_TIMER_ABORT, kConvAbortDelayMs);
        return;
    }
    m_view.SetStatus(CString(), CONV_STATUS_NORMAL);
    if (const char* refusal = CheckConvertRequest(options, m_folder)) {
        Report(refusal, true, CONV_EXIT_REFUSED);
        return;
    }
    m_options = options;
    m_failedFiles = 0;
    m_lastFailure.Empty();
    m_choicesSaved = false;
    m_files.clear();
    if (options.convertAll) {
        m_files = ListDataFiles(GetConversionFolder(options.inputPath, m_folder), m_folder);
        if (m_files.empty()) {
            Report(kConvTextNoDataFiles, true, CONV_EXIT_REFUSED);
            return;
        }
    } else {
        m_files.push_back(options.inputPath);
    }
    m_link.BeginRun();
    StartFrom(0);
}

CString ConverterRun::OpenFailureText(int result, int32_t error)
{
    const int kDeclined = 2;   // the user kept the existing outputs: nothing to say
    if (error == LINK_ERROR_PLAYBACK) return CString(kConvTextFileMissing);
    if (result == kDeclined) return CString();
    const CString failedFile = m_link.GetFailedFile();
    if (error == LINK_ERROR_CONVERTER && !failedFile.IsEmpty()) {
        CString text;
        text.Format(kConvTextWriteFailedFormat, failedFile.GetString());
        return text;
    }
    return CString(kConvTextInitFailed);
}

bool ConverterRun::StartFile(size_t index)
{
    m_options.inputPath = m_files[index];
    // Listening comes first: a short recording can end before the open returns.
    if (!m_link.Listen()) {
        m_lastFailure = kConvTextListenFailed;
        return false;
    }
    int32_t error = 0;
    const int result = m_link.Open(m_options, &error);
    if (result != 0) {
        m_link.StopListening();
        m_lastFailure = OpenFailureText(result, error);
        return false;
    }
    m_current = index;
    m_inputSize = m_link.GetInputSize();
    m_progressShift = GetProgressShift(m_inputSize);
    m_view.SetProgressRange(ScaleProgress(m_inputSize, m_progressShift));
    m_view.SetProgressPosition(0);
    m_timers.SetTimer(CONV_TIMER_PROGRESS, kConvProgressMs);
    m_running = true;
    CString status(kConvTextWorking);
    if (m_options.convertAll)
        status.Format(kConvTextFileOfFilesFormat, static_cast<int>(index + 1), static_cast<int>(m_files.size()));
    m_view.SetStatus(status, CONV_STATUS_NORMAL);
    return true;
}

void ConverterRun::StartFrom(size_t index)
{
    for (size_t i = index; i < m_files.size(); ++i) {
        if (StartFile(i)) {
            m_view.SetConvertButtonText(kConvTextAbort);
            if (!m_choicesSaved && !m_unattended) m_view.SaveChoices(m_options);
            m_choicesSaved = true;
            return;
        }
        if (!m_options.convertAll) {
            // One file: its message is the outcome.
            Report(m_lastFailure, true, CONV_EXIT_NOT_ALL_CONVERTED);
            return;
        }
        // A folder run goes on without waiting for anybody; the end counts it.
        ++m_failedFiles;
        if (!m_lastFailure.IsEmpty()) m_view.WriteErrorLine(m_files[i] + ": " + m_lastFailure);
    }
    End(FINISH_COMPLETED);
}

void ConverterRun::OnEndOfData()
{
    if (!m_running) return;
    // The reader may reach the end while an abort waits for its timer.
    if (m_abortPending) {
        m_timers.KillTimer(CONV_TIMER_ABORT);
        Finish(FINISH_ABORTED);
        return;
    }
    Finish(FINISH_COMPLETED);
}

void ConverterRun::OnAbortTimer()
{
    m_timers.KillTimer(CONV_TIMER_ABORT);
    Finish(FINISH_ABORTED);
}

void ConverterRun::OnClose()
{
    if (!m_running) return;
    m_link.Abort();
    m_timers.KillTimer(CONV_TIMER_ABORT);
    Finish(FINISH_ABORTED);
}

void ConverterRun::OnProgressTimer()
{
    if (!m_running) return;
    CString count;
    count.Format("%d", static_cast<int>(m_link.GetRecordCount()));
    m_view.SetRecordCountText(count);
    const int64_t position = m_link.GetReadPosition();
    m_view.SetPercentText(FormatConversionPercent(position, m_inputSize));
    m_view.SetProgressPosition(ScaleProgress(position, m_progressShift));
}

void ConverterRun::Finish(FinishKind kind)
{
    m_timers.KillTimer(CONV_TIMER_PROGRESS);
    if (!m_running) return;
    if (kind == FINISH_COMPLETED) {
        m_view.SetProgressPosition(ScaleProgress(m_inputSize, m_progressShift));
        m_view.SetPercentText(FormatConversionPercent(1, 1));
    }
    // The reader stops before the outputs are finished: nothing is written
    // beside the footer.
    m_link.StopListening();
    m_link.Close();
    CString count;
    count.Format("%d", static_cast<int>(m_link.GetRecordCount()));
    m_view.SetRecordCountText(count);
    m_running = false;
    m_abortPending = false;
    if (m_link.HasFailed()) {
        ++m_failedFiles;
        m_lastFailure.Format(kConvTextWriteFailedFormat, m_link.GetFailedFile().GetString());
        if (m_options.convertAll) m_view.WriteErrorLine(m_files[m_current] + ": " + m_lastFailure);
    }
    if (kind == FINISH_COMPLETED && m_current + 1 < m_files.size()) {
        StartFrom(m_current + 1);
        return;
    }
    End(kind);
}

void ConverterRun::End(FinishKind kind)
{
    CString text;
    ConverterStatusColour colour = CONV_STATUS_BAD;
    int32_t exitCode = CONV_EXIT_NOT_ALL_CONVERTED;
    if (kind == FINISH_ABORTED) {
        text = kConvTextAborted;
    } else if (m_failedFiles > 0 && !m_options.convertAll) {
        text = m_lastFailure;
    } else if (m_failedFiles > 0) {
        text.Format(kConvTextSomeFailedFormat, static_cast<int>(m_failedFiles), static_cast<int>(m_files.size()));
    } else {
        text = kConvTextCompleted;
        colour = CONV_STATUS_GOOD;
        exitCode = CONV_EXIT_ALL_CONVERTED;
    }
    m_view.SetStatus(text, colour);
    m_view.SetConvertButtonText(kConvTextConvert);
    m_exitCode = exitCode;
    if (m_unattended) {
        m_view.WriteErrorLine(text);
        m_view.EndUnattended(exitCode);
    }
}
