#pragma once
// The output side of a data conversion: a recorded log replays through the
// normal reader and decoders, and what would have been shown is written to
// files instead.
//
// Only the members the reader thread and the frame handler use exist so far.
// The output files arrive with the converter; meanwhile the object remembers
// what it was asked to write, so the conversion branches of the reader can be
// tested against it.
#include <atomic>
#include <cstdint>
#include <string>

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

class CConverterEngine {
public:
    CConverterEngine();
    ~CConverterEngine();
    CConverterEngine(const CConverterEngine&) = delete;
    CConverterEngine& operator=(const CConverterEngine&) = delete;

    // Takes the options and the model and becomes active. 0 on success
    // (1: a file cannot be created, 2: the user declined to overwrite).
    int Open(const ConverterOptions& options, CModel* model);
    // Inactive; forgets the model.
    void Finish();
    // Every event of the conversion passes here; false asks to stop.
    bool OnModelEvent(int32_t event);

    bool IsActive() const { return m_active; }
    // The protocol the reader found in the log: 0 until its first good frame.
    ProtocolKind GetDetectedKind() const { return m_detectedKind.load(std::memory_order_relaxed); }
    void SetDetectedKind(ProtocolKind kind) { m_detectedKind.store(kind, std::memory_order_relaxed); }

    // One input byte for the raw copy of the processing range.
    void AppendRawCopy(BYTE b) { ++m_rawCopyCount; }
    // A translation line: to the CRC log with crcFlag, else to the text output
    // (after a line break, "DM: " marked with dmFlag). Empty texts write nothing.
    void WriteTranslationText(const char* text, bool dmFlag, bool crcFlag);
    // The line that opens each QBIN packet's translation (blank line, packet
    // id and the table heading when the id changes). packet: the id first,
    // then the data; length counts both.
    void WritePacketHeader(const BYTE* packet, int length);

    // The text-translation output is wanted: decoders build their lines only then.
    bool IsTranslationOn() const { return m_active && m_options.textTranslation; }
    // Untranslatable packets are dumped byte by byte after their message.
    bool IsRawDataOn() const { return IsTranslationOn() && m_options.rawData; }
    // A processing range is set, so the reader asks whether each fix lies in it.
    bool HasTimeFilter() const { return m_active && m_options.rangeOn; }
    // True without a range; otherwise whether (week mod 1024, seconds) lies in
    // the range, bounds included. Weeks roll over every 1024 in the reports.
    bool IsInRange(int32_t week, int32_t seconds) const;
    const ConverterOptions& GetOptions() const { return m_options; }

    // What was written so far, for tests and diagnostics.
    const std::string& GetWrittenText() const { return m_text; }
    const std::string& GetCrcLogText() const { return m_crcLog; }
    uint32_t GetRawCopyCount() const { return m_rawCopyCount; }

private:
    ConverterOptions m_options;
    CModel* m_model;
    bool m_active;
    std::atomic<ProtocolKind> m_detectedKind;
    uint32_t m_rawCopyCount;
    int m_lastHeaderId;                // id of the previous packet header; -1 none
    std::string m_text;
    std::string m_crcLog;
};
