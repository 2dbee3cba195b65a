#pragma once
// The output side of a data conversion: a recorded log replays through the
// normal reader and decoders, and what would have been shown is written to
// files beside the log instead: the map CSV, the KML document, NMEA GGA
// sentences, the text translation of each QBIN packet, the spreadsheet (in
// parts when asked), a raw copy of the processing range and a log of the
// packets that failed their announced CRC.
//
// Files. Every output is written through the file layer (CFile and its
// backend) to a temporary, its final name + ".part", through a 64 KiB buffer;
// lines are built in place (data/ConverterWriters.h), without the heap. When
// the run ends, completed or aborted, Finish renames the temporaries over
// the final names. The first create, write or rename that fails stops the
// run: the temporaries are removed and no final name changes, so an output
// is never left half written under its own name.
//
// Names. An output is the input's name with another extension, and a range
// suffix when a processing range is set. A name that would be the input
// itself (the same full path without regard to case, or the same file by
// the file system's identity), or a name taken earlier in this conversion
// or in the folder run it belongs to, gets "_out" before its extension.
// Without the overwrite option every output that exists already is asked
// about before any file is created; a No creates nothing.
//
// Folder runs. The names taken by the earlier files of a folder run come in
// a ConverterNameSet that the caller keeps for the run (cleared when the run
// starts) and hands to each conversion before it opens
// (CController::OpenConversion passes it on through SetTakenNames). Each
// conversion adds the names it uses.
//
// Threads. Open, Finish and the destructor run on the user-interface thread
// while no reader runs; the reader thread writes everything else. The
// active flag, the failure flag and the record count are atomic: the user
// interface reads the count and may clear the active flag (Abort) while the
// reader runs; from then on nothing more is written, and Finish, called once
// the reader has stopped, completes the files.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "data/ConverterWriters.h"
#include "framework/CString.h"
#include "framework/WinTypes.h"
#include "link/ProtocolKind.h"

class CModel;

// The converter dialog's options, in the dialog's order, with the defaults
// the dialog starts from when the profile holds nothing.
struct ConverterOptions {
    CString inputPath;
    bool overwrite = false;            // replace existing outputs without asking
    bool convertAll = false;           // every data file of the input's folder
    bool rangeOn = false;              // processing range: only fixes inside it are converted
    int32_t startTimeOfWeek = -1;
    int32_t startWeek = -1;
    int32_t endTimeOfWeek = -1;
    int32_t endWeek = -1;
    bool mapCsv = false;
    bool textTranslation = false;
    bool packetId = false;
    bool blankLine = false;
    bool dmPrefix = true;
    CString blankLinePacketId;         // hexadecimal text
    CString blankLineSubcode;          // hexadecimal text
    bool translationHeader = true;
    bool rawData = true;               // bad or untranslated packets also dump their bytes
    bool spreadsheet = false;          // the "xlx" output
    bool spreadsheetSplit = false;
    int32_t linesPerPart = 32000;
    bool fill1Hz = false;              // without a fix, still a spreadsheet row every second
    bool na = true;                    // "=na()" in unavailable spreadsheet fields
    int32_t fieldSep = 0;              // spreadsheet separator: 0 tab, 1 space, 2 comma
    bool kml = false;
    uint32_t kmlDotColour = 255;       // COLORREF of the placemark dots
    bool nmeaGga = false;
};

// The output names taken in one folder run. Names are kept as FilePathKey
// of their full path, so spellings that reach one file count as one.
class ConverterNameSet {
public:
    void Clear();
    void Add(const CString& fileName);
    bool Contains(const CString& fileName) const;

private:
    mutable std::mutex m_lock;
    std::set<std::string> m_keys;
};

// The outputs of a conversion, in the order they are named and opened.
enum ConverterOutput : int {
    CONVERTER_MAP_CSV = 0,
    CONVERTER_KML,
    CONVERTER_GGA,
    CONVERTER_TEXT,
    CONVERTER_SPREADSHEET,
    CONVERTER_RAW_COPY,
    CONVERTER_CRC_LOG,
    CONVERTER_OUTPUT_COUNT
};

// Results of Open.
enum : int {
    CONVERTER_OPEN_OK = 0,
    CONVERTER_OPEN_CANNOT_WRITE = 1,   // GetFailedFile names the output
    CONVERTER_OPEN_DECLINED = 2        // the user would not have an output replaced
};

class CConverterEngine {
public:
    enum : uint32_t { kBufferSize = 65536 };

    CConverterEngine();
    // Finish.
    ~CConverterEngine();
    CConverterEngine(const CConverterEngine&) = delete;
    CConverterEngine& operator=(const CConverterEngine&) = delete;

    // The names taken earlier in this folder run (not owned; null for none).
    // Set before Open; kept until the next call.
    void SetTakenNames(ConverterNameSet* names) { m_takenNames = names; }

    // Takes the options and the model, names every output, asks about those
    // that exist, creates their temporaries and becomes active. On a failure
    // nothing is left behind and the engine stays inactive.
    int Open(const ConverterOptions& options, CModel* model);
    // Ends the run: writes the KML footer when it is still due, then renames
    // the temporaries over the final names, or removes them after a failure.
    // Deletes no output. Inactive afterwards; a second call does nothing.
    // Only while no reader uses the engine.
    void Finish();
    // Stops the writing (any thread); Finish then completes what was written.
    void Abort() { m_active.store(false); }

    // Every event of the conversion passes here. Does nothing (true) while
    // inactive. False when writing failed just now: the run must stop.
    bool OnModelEvent(int32_t event);

    bool IsActive() const { return m_active.load(); }
    bool HasFailed() const { return m_failed.load(std::memory_order_acquire); }
    // The output that could not be written (its final name); empty unless
    // HasFailed.
    CString GetFailedFile() const;
    // Data lines written to the primary output (the first of map CSV,
    // spreadsheet, KML, GGA, text translation that is on); headers and the
    // KML footer are not data lines.
    int32_t GetRecordCount() const { return m_recordCount.load(std::memory_order_relaxed); }
    // Bytes written to the text translation so far; a decoder compares it
    // before and after it ran to learn whether it wrote anything.
    uint64_t GetTranslationBytes() const { return m_translationBytes; }
    // The final name of an output chosen by Open; empty when it is off. The
    // spreadsheet's first part is named as without a split until a second
    // part begins.
    CString GetOutputName(ConverterOutput output) const;

    // The protocol the reader found in the log: 0 until its first good frame.
    ProtocolKind GetDetectedKind() const { return m_detectedKind.load(std::memory_order_relaxed); }
    void SetDetectedKind(ProtocolKind kind) { m_detectedKind.store(kind, std::memory_order_relaxed); }

    // Input bytes for the raw copy of the processing range.
    void AppendRawCopy(const BYTE* bytes, size_t count);
    // The raw copy is open and the run active (the caller also asks the model
    // whether the replay is inside the range).
    bool IsRawCopyOn() const { return IsActive() && m_files[CONVERTER_RAW_COPY] != nullptr; }
    // A translation line: to the CRC log with crcFlag, else to the text output
    // (after a line break, marked "DM: " with dmFlag and the prefix option).
    // Only inside the range; empty texts write nothing.
    void WriteTranslationText(const char* text, bool dmFlag, bool crcFlag);
    // The line that opens each QBIN packet's translation (blank line, packet
    // id and the table heading when the id changes). packet: the id first,
    // then the data; length counts both.
    void WritePacketHeader(const BYTE* packet, int length);

    // The text-translation output is being written: decoders build their
    // lines only then.
    bool IsTranslationOn() const { return IsActive() && m_files[CONVERTER_TEXT] != nullptr; }
    // Untranslatable packets are dumped byte by byte after their message.
    bool IsRawDataOn() const { return IsTranslationOn() && m_options.rawData; }
    // A processing range is set, so the reader asks whether each fix lies in it.
    bool HasTimeFilter() const { return IsActive() && m_options.rangeOn; }
    // True without a range; otherwise whether (week mod 1024, seconds) lies in
    // the range, bounds included. Weeks roll over every 1024 in the reports.
    // With -1 for both the model's navigation state gives them.
    bool IsInRange(int32_t week, int32_t seconds) const;
    const ConverterOptions& GetOptions() const { return m_options; }

    // Hands what the buffers hold to the temporaries, so a reader of the
    // files sees every line written so far. False when that failed.
    bool FlushOutputs();

    // The input path with its extension replaced by `extension` ("" for
    // none), and "_" + suffix before it when a suffix is given.
    static CString BuildOutputName(const CString& inputPath, const char* extension,
                                   const CString& suffix);
    // The two lines under the translation file's heading.
    static const char* const kLegalNotice;
    static const char* const kMakerName;

private:
    class COutputFile;
    struct PlannedOutput;

    bool PlanOutputs(std::vector<PlannedOutput>& plan);
    CString ResolveCollision(const CString& name, const std::vector<std::string>& taken) const;
    bool IsNameTaken(const CString& name, const std::vector<std::string>& taken) const;
    bool ConfirmOverwrites(const std::vector<PlannedOutput>& plan) const;
    bool CreateOutput(ConverterOutput output, const CString& finalName);
    bool WriteHeaders();
    void DiscardOutputs();
    bool CommitOutputs();

    bool Emit(ConverterOutput output, const char* text, size_t length);
    bool EmitLine(ConverterOutput output, const OutputLine& line);
    bool EmitText(ConverterOutput output, const char* text);
    void CountDataLine(ConverterOutput output);
    void Fail(const CString& fileName);

    bool WriteMapCsvEvent(int32_t event, const NavState& nav);
    bool WriteKmlEvent(int32_t event, const NavState& nav);
    bool WriteKmlFooter();
    bool WriteGgaEvent(int32_t event);
    bool WriteSpreadsheetEvent(int32_t event);
    bool StartNextSheetPart();
    bool NavInRange(const NavState& nav) const;

    ConverterOptions m_options;
    CModel* m_model;
    ConverterNameSet* m_takenNames;
    std::atomic<bool> m_active;
    std::atomic<bool> m_failed;
    CString m_failedFile;
    std::atomic<ProtocolKind> m_detectedKind;
    std::atomic<int32_t> m_recordCount;
    uint64_t m_translationBytes;

    std::unique_ptr<COutputFile> m_files[CONVERTER_OUTPUT_COUNT];
    CString m_names[CONVERTER_OUTPUT_COUNT];   // final names chosen by Open
    int m_primary;                             // the output whose data lines count, or -1
    // Every temporary made in this run, spreadsheet parts included, with the
    // name it takes when the run ends.
    struct Temporary {
        CString temporaryName;
        CString finalName;
    };
    std::vector<Temporary> m_temporaries;
    std::vector<std::string> m_usedKeys;   // FilePathKey of every name this run uses

    // Per-output state of the line builders: each fix is written once.
    double m_lastCsvTime;
    double m_lastKmlTime;
    double m_lastGgaTime;
    uint32_t m_kmlPoints;
    bool m_kmlFooterDone;
    SpreadsheetState m_sheet;
    CString m_sheetBaseName;       // the spreadsheet's name without a part number
    int32_t m_sheetPart;           // 1 for the first part
    size_t m_sheetTemporary;       // index in m_temporaries of the current part
    bool m_sheetNeedsHeader;       // the current part has no header row yet
    bool m_sheetPartFull;          // the next row starts a new part

    uint32_t m_blankLineId;        // parsed from the options' hexadecimal texts
    uint32_t m_blankLineSubcode;
    int m_lastHeaderId;            // id of the previous packet header; -1 none
    OutputLine m_line;             // the line being built (reader thread)
};
