#include "link/CConverterEngine.h"

#include <cstdio>
#include <cstring>

#include "framework/CFile.h"
#include "framework/FileBackend.h"
#include "framework/MessagePrompter.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"

const char* const CConverterEngine::kLegalNotice = "Copyright (c) Velmara Systems. All rights reserved.";
const char* const CConverterEngine::kMakerName = "Velmara Systems";

namespace {

const char kTemporarySuffix[] = ".part";
// Where an existing output waits while the new ones take their names, so a
// refused rename can put everything back.
const char kReplacedSuffix[] = ".replaced.part";
const char kCollisionMark[] = "_out";
const char kSplitPartFormat[] = "_%03d";
const char kOverwriteQuestion[] =
    "%s file for this log already exists. Do you want to overwrite it and continue?";
const char kTranslationHeading[] = "Data Converter -- Protocol Translator\r\n   %s\r\n   %s\r\n";
const char kDmLineStart[] = "\r\nDM: ";
const char kLineStart[] = "\r\n";
const char kLineEnd[] = "\r\n";
const int32_t kWeekMask = 0x3FF;
const int64_t kSecondsPerWeek = 604800;
const uint32_t kAnnouncementId = 0xAA;   // sits between reports; never restarts a table

// The report families whose first data byte says which report it is.
bool HasSubcode(uint32_t id) { return id == 0x8F || id == 0x5F; }

// The table headings of the reports whose translations are tables.
struct PacketHeading {
    int id;
    const char* text;
};
const PacketHeading kPacketHeadings[] = {
    {0x5A, "\r\nRaw Measurement Data\r\n   SV  Sample   SNR  Code Phase   Doppler     "
           "Seconds     Time of Meas      TOW"},
    {0x5B, "\r\nEphemeris Status\r\n    SV     Time collected     Health  IODE        "
           "t oe         Fit   URA"},
    {0x5C, "\r\nTracking Info\r\n  SV     C S Acq Eph   SNR     Time of Meas      TOW    "
           "Elev   Azim  Old Msec BadD DCol"},
    {0x85, "\r\nDifferential Correction Status\r\n    SV  Status  StaH  SV H  IODE1  IODE2  "
           "Z-count time        PRC    RRC    DRC"},
};

bool IsPositionEvent(int32_t event)
{
    return event == EV_POSITION_LLA || event == EV_POSITION_XYZ || event == EV_FIX_REPORT ||
           event == EV_TIMING_FIX;
}

// A QBIN receiver closes each fix cycle with its DGPS mode report: the GGA
// and the spreadsheet row then see the whole cycle's state.
bool IsQbinCycleEvent(int32_t event) { return event == EV_DGPS_MODE; }

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// Index of the "." that starts the extension of a path, or -1 (a "." in a
// folder's name starts none).
int FindExtension(const CString& path)
{
    for (int i = path.GetLength() - 1; i >= 0; --i) {
        if (path[i] == '.') return i;
        if (IsSeparator(path[i])) return -1;
    }
    return -1;
}

CString InsertBeforeExtension(const CString& path, const char* text)
{
    const int dot = FindExtension(path);
    if (dot < 0) return path + text;
    return path.Left(dot) + text + path.Mid(dot);
}

CString ExtensionOf(const CString& path)
{
    const int dot = FindExtension(path);
    return dot < 0 ? CString() : path.Mid(dot + 1);
}

std::string KeyOf(const CString& fileName)
{
    const std::string full = CFile::GetBackend().GetFullPath(fileName.GetString());
    return FilePathKey(full.c_str());
}

// Whether a file (or anything else) is there under the name. A file that
// exists but cannot be read now (held unshared) still exists.
bool Exists(const CString& fileName)
{
    CFile probe;
    if (probe.Open(fileName, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return true;
    const int cause = probe.GetLastCause();
    return cause != CFileException::fileNotFound && cause != CFileException::badPath;
}

bool IsFolder(const CString& fileName)
{
    CFileStatus status;
    return CFile::GetStatus(fileName, status) && (status.m_attribute & CFile::directory) != 0;
}

uint32_t ParseHex(const CString& text)
{
    unsigned value = 0;
    if (sscanf(text.GetString(), "%x", &value) != 1) return 0;
    return value;
}

}  // namespace

// ---------------------------------------------------------------------------
// Folder-run names

void ConverterNameSet::Clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_keys.clear();
}

void ConverterNameSet::Add(const CString& fileName)
{
    const std::string key = KeyOf(fileName);
    std::lock_guard<std::mutex> hold(m_lock);
    m_keys.insert(key);
}

bool ConverterNameSet::Contains(const CString& fileName) const
{
    const std::string key = KeyOf(fileName);
    std::lock_guard<std::mutex> hold(m_lock);
    return m_keys.count(key) != 0;
}

// ---------------------------------------------------------------------------
// One output: a temporary written through a buffer

class CConverterEngine::COutputFile {
public:
    explicit COutputFile(const CString& finalName)
        : m_finalName(finalName), m_buffer(new char[kBufferSize]), m_used(0)
    {
    }

    bool Create(const CString& temporaryName)
    {
        return m_file.Open(temporaryName,
                           CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite | CFile::typeBinary);
    }

    bool Write(const char* text, size_t length)
    {
        while (length > 0) {
            if (m_used == kBufferSize && !Flush()) return false;
            size_t n = kBufferSize - m_used;
            if (n > length) n = length;
            memcpy(m_buffer.get() + m_used, text, n);
            m_used += n;
            text += n;
            length -= n;
        }
        return true;
    }

    bool Flush()
    {
        if (m_used == 0) return true;
        const bool ok = m_file.Write(m_buffer.get(), static_cast<UINT>(m_used));
        m_used = 0;
        return ok;
    }

    // Flushes and closes; true when both went through.
    bool Close()
    {
        const bool flushed = Flush();
        m_file.Close();
        return flushed && m_file.GetLastCause() == CFileException::none;
    }

    const CString& GetFinalName() const { return m_finalName; }

private:
    CString m_finalName;
    CFile m_file;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used;
};

// What Open means to make: an output, its final name, the extension its
// question names, and the names that make it "existing".
struct CConverterEngine::PlannedOutput {
    ConverterOutput output;
    CString name;
    CString extension;
    CString alsoExisting;   // the first split part's name, or empty
};

// ---------------------------------------------------------------------------
// Lifecycle

CConverterEngine::CConverterEngine()
    : m_model(nullptr), m_takenNames(nullptr), m_active(false), m_failed(false),
      m_detectedKind(PROTO_NONE), m_recordCount(0), m_translationBytes(0), m_primary(-1),
      m_lastCsvTime(-1.0), m_lastKmlTime(-1.0), m_lastGgaTime(-1.0), m_kmlPoints(0),
      m_kmlFooterDone(false), m_sheetPart(1), m_sheetTemporary(0), m_sheetNeedsHeader(true),
      m_sheetPartFull(false), m_blankLineId(0), m_blankLineSubcode(0), m_lastHeaderId(-1)
{
}

CConverterEngine::~CConverterEngine()
{
    Finish();
}

CString CConverterEngine::BuildOutputName(const CString& inputPath, const char* extension,
                                          const CString& suffix)
{
    const int dot = FindExtension(inputPath);
    CString name = dot < 0 ? inputPath : inputPath.Left(dot);
    if (!suffix.IsEmpty()) name += "_" + suffix;
    if (extension != nullptr && extension[0] != '\0') {
        name += '.';
        name += extension;
    }
    return name;
}

CString CConverterEngine::GetFailedFile() const
{
    // Written once, before the flag is raised.
    return HasFailed() ? m_failedFile : CString();
}

CString CConverterEngine::GetOutputName(ConverterOutput output) const
{
    if (output < 0 || output >= CONVERTER_OUTPUT_COUNT) return CString();
    return m_names[output];
}

int CConverterEngine::Open(const ConverterOptions& options, CModel* model)
{
    Finish();
    m_options = options;
    m_model = model;
    m_failed.store(false);
    m_failedFile.Empty();
    m_detectedKind.store(PROTO_NONE, std::memory_order_relaxed);
    m_recordCount.store(0);
    m_translationBytes = 0;
    m_primary = -1;
    m_temporaries.clear();
    for (CString& name : m_names) name.Empty();
    m_lastCsvTime = m_lastKmlTime = m_lastGgaTime = -1.0;
    m_kmlPoints = 0;
    m_kmlFooterDone = false;
    m_sheet = SpreadsheetState();
    m_sheet.fill1Hz = options.fill1Hz;
    m_sheet.na = options.na;
    m_sheet.fieldSep = options.fieldSep;
    m_sheetPart = 1;
    m_sheetNeedsHeader = true;
    m_sheetPartFull = false;
    m_blankLineId = ParseHex(options.blankLinePacketId);
    m_blankLineSubcode = ParseHex(options.blankLineSubcode);
    m_lastHeaderId = -1;

    std::vector<PlannedOutput> plan;
    if (!PlanOutputs(plan)) return CONVERTER_OPEN_CANNOT_WRITE;
    if (!ConfirmOverwrites(plan)) return CONVERTER_OPEN_DECLINED;
    for (const PlannedOutput& p : plan) {
        m_names[p.output] = p.name;
        // The CRC log is made when the first packet fails its CRC.
        if (p.output == CONVERTER_CRC_LOG) continue;
        if (!CreateOutput(p.output, p.name)) {
            DiscardOutputs();
            return CONVERTER_OPEN_CANNOT_WRITE;
        }
    }
    m_sheetBaseName = m_names[CONVERTER_SPREADSHEET];
    static const ConverterOutput kPrimaryOrder[] = {CONVERTER_MAP_CSV, CONVERTER_SPREADSHEET,
                                                    CONVERTER_KML, CONVERTER_GGA, CONVERTER_TEXT};
    for (ConverterOutput o : kPrimaryOrder) {
        if (m_files[o] != nullptr) {
            m_primary = o;
            break;
        }
    }
    if (!WriteHeaders()) {
        DiscardOutputs();
        return CONVERTER_OPEN_CANNOT_WRITE;
    }
    if (m_takenNames != nullptr) {
        for (const PlannedOutput& p : plan) m_takenNames->Add(p.name);
    }
    m_active.store(true);
    return CONVERTER_OPEN_OK;
}

bool CConverterEngine::PlanOutputs(std::vector<PlannedOutput>& plan)
{
    CString range;
    if (m_options.rangeOn) {
        range.Format("%d-%d_%d-%d", static_cast<int>(m_options.startWeek),
                     static_cast<int>(m_options.startTimeOfWeek), static_cast<int>(m_options.endWeek),
                     static_cast<int>(m_options.endTimeOfWeek));
    }
    const CString input = m_options.inputPath;
    const CString inputExtension = ExtensionOf(input);
    struct Entry {
        ConverterOutput output;
        bool on;
        CString extension;
        CString suffix;
    };
    const Entry entries[] = {
        {CONVERTER_MAP_CSV, m_options.mapCsv, "csv", range},
        {CONVERTER_KML, m_options.kml, "kml", range},
        {CONVERTER_GGA, m_options.nmeaGga, "txt", range.IsEmpty() ? CString("nmea") : "nmea_" + range},
        {CONVERTER_TEXT, m_options.textTranslation, "txt", range},
        {CONVERTER_SPREADSHEET, m_options.spreadsheet, "xlx", range},
        {CONVERTER_RAW_COPY, m_options.rangeOn, inputExtension, range},
        // CRC failures are logged only beside a translation.
        {CONVERTER_CRC_LOG, m_options.textTranslation, "txt", "crcLog"},
    };
    std::vector<std::string> taken;
    for (const Entry& e : entries) {
        if (!e.on) continue;
        PlannedOutput p;
        p.output = e.output;
        p.extension = e.extension;
        p.name = ResolveCollision(BuildOutputName(input, e.extension, e.suffix), taken);
        taken.push_back(KeyOf(p.name));
        if (p.output == CONVERTER_SPREADSHEET && m_options.spreadsheetSplit) {
            CString first;
            first.Format(kSplitPartFormat, 1);
            p.alsoExisting = InsertBeforeExtension(p.name, first);
        }
        // A folder under an output's name can never be replaced: better
        // said now than after the whole log was read.
        if (IsFolder(p.name)) {
            Fail(p.name);
            return false;
        }
        plan.push_back(p);
    }
    m_usedKeys = taken;
    return true;
}

bool CConverterEngine::IsNameTaken(const CString& name, const std::vector<std::string>& taken) const
{
    const CString& input = m_options.inputPath;
    const std::string key = KeyOf(name);
    if (key == KeyOf(input)) return true;
    for (const std::string& k : taken) {
        if (k == key) return true;
    }
    if (m_takenNames != nullptr && m_takenNames->Contains(name)) return true;
    // Another spelling of the input (a short name, a link).
    return CFile::GetBackend().IsSameFile(name.GetString(), input.GetString());
}

CString CConverterEngine::ResolveCollision(const CString& name, const std::vector<std::string>& taken) const
{
    CString resolved = name;
    while (IsNameTaken(resolved, taken)) resolved = InsertBeforeExtension(resolved, kCollisionMark);
    return resolved;
}

bool CConverterEngine::ConfirmOverwrites(const std::vector<PlannedOutput>& plan) const
{
    if (m_options.overwrite) return true;
    for (const PlannedOutput& p : plan) {
        const bool exists = Exists(p.name) || (!p.alsoExisting.IsEmpty() && Exists(p.alsoExisting));
        if (!exists) continue;
        CString extension = p.extension;
        extension.MakeUpper();
        CString question;
        question.Format(kOverwriteQuestion, extension.GetString());
        if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    return true;
}

bool CConverterEngine::CreateOutput(ConverterOutput output, const CString& finalName)
{
    std::unique_ptr<COutputFile> file(new COutputFile(finalName));
    const CString temporary = finalName + kTemporarySuffix;
    if (!file->Create(temporary)) {
        Fail(finalName);
        return false;
    }
    if (output == CONVERTER_SPREADSHEET) m_sheetTemporary = m_temporaries.size();
    m_temporaries.push_back(Temporary{temporary, finalName});
    m_files[output] = std::move(file);
    return true;
}

bool CConverterEngine::WriteHeaders()
{
    if (m_files[CONVERTER_MAP_CSV] != nullptr) {
        FormatMapCsvHeader(m_line);
        if (!EmitLine(CONVERTER_MAP_CSV, m_line)) return false;
    }
    if (m_files[CONVERTER_KML] != nullptr) {
        FormatKmlHeader(m_options.kmlDotColour, m_line);
        if (!EmitLine(CONVERTER_KML, m_line)) return false;
    }
    if (m_files[CONVERTER_TEXT] != nullptr && m_options.translationHeader) {
        m_line.Clear();
        m_line.Append(kTranslationHeading, kLegalNotice, kMakerName);
        if (!EmitLine(CONVERTER_TEXT, m_line)) return false;
        m_translationBytes += m_line.GetLength();
    }
    return true;
}

void CConverterEngine::DiscardOutputs()
{
    for (std::unique_ptr<COutputFile>& file : m_files) {
        if (file != nullptr) file->Close();
        file.reset();
    }
    for (const Temporary& t : m_temporaries) CFile::Remove(t.temporaryName);
    m_temporaries.clear();
}

bool CConverterEngine::CommitOutputs()
{
    // Existing outputs step aside first and come back if any new one cannot
    // take its name, so a refused rename leaves every final name as it was.
    const size_t count = m_temporaries.size();
    std::vector<bool> setAside(count, false);
    std::vector<bool> placed(count, false);
    bool ok = true;
    for (size_t i = 0; ok && i < count; ++i) {
        const Temporary& t = m_temporaries[i];
        if (!Exists(t.finalName)) continue;
        if (CFile::RenameReplacing(t.finalName, t.finalName + kReplacedSuffix)) {
            setAside[i] = true;
        } else {
            Fail(t.finalName);
            ok = false;
        }
    }
    for (size_t i = 0; ok && i < count; ++i) {
        const Temporary& t = m_temporaries[i];
        if (CFile::RenameReplacing(t.temporaryName, t.finalName)) {
            placed[i] = true;
        } else {
            Fail(t.finalName);
            ok = false;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        const Temporary& t = m_temporaries[i];
        const CString replaced = t.finalName + kReplacedSuffix;
        if (!setAside[i]) continue;
        if (ok) {
            CFile::Remove(replaced);
        } else {
            if (placed[i]) CFile::RenameReplacing(t.finalName, t.temporaryName);
            CFile::RenameReplacing(replaced, t.finalName);
        }
    }
    if (!ok) {
        // The new outputs that took names of outputs that did not exist go
        // back to being temporaries, which the caller removes.
        for (size_t i = 0; i < count; ++i) {
            const Temporary& t = m_temporaries[i];
            if (placed[i] && !setAside[i]) CFile::RenameReplacing(t.finalName, t.temporaryName);
        }
    }
    return ok;
}

void CConverterEngine::Finish()
{
    m_active.store(false);
    bool ok = !HasFailed();
    if (ok) ok = WriteKmlFooter();
    for (std::unique_ptr<COutputFile>& file : m_files) {
        if (file == nullptr) continue;
        if (!file->Close() && ok) {
            Fail(file->GetFinalName());
            ok = false;
        }
        file.reset();
    }
    if (!m_temporaries.empty()) {
        if (ok) ok = CommitOutputs();
        if (ok) {
            m_temporaries.clear();
        } else {
            DiscardOutputs();
        }
    }
    m_model = nullptr;
}

// ---------------------------------------------------------------------------
// Writing

void CConverterEngine::Fail(const CString& fileName)
{
    m_active.store(false);
    if (HasFailed()) return;
    m_failedFile = fileName;
    m_failed.store(true, std::memory_order_release);
}

bool CConverterEngine::Emit(ConverterOutput output, const char* text, size_t length)
{
    COutputFile* file = m_files[output].get();
    if (file == nullptr || length == 0) return true;
    if (file->Write(text, length)) return true;
    Fail(file->GetFinalName());
    return false;
}

bool CConverterEngine::EmitLine(ConverterOutput output, const OutputLine& line)
{
    return Emit(output, line.GetText(), line.GetLength());
}

bool CConverterEngine::EmitText(ConverterOutput output, const char* text)
{
    return Emit(output, text, strlen(text));
}

void CConverterEngine::CountDataLine(ConverterOutput output)
{
    if (output == m_primary) m_recordCount.fetch_add(1, std::memory_order_relaxed);
}

bool CConverterEngine::FlushOutputs()
{
    for (std::unique_ptr<COutputFile>& file : m_files) {
        if (file != nullptr && !file->Flush()) {
            Fail(file->GetFinalName());
            return false;
        }
    }
    return true;
}

void CConverterEngine::AppendRawCopy(const BYTE* bytes, size_t count)
{
    if (!IsRawCopyOn() || bytes == nullptr) return;
    Emit(CONVERTER_RAW_COPY, reinterpret_cast<const char*>(bytes), count);
}

// ---------------------------------------------------------------------------
// Range

bool CConverterEngine::IsInRange(int32_t week, int32_t seconds) const
{
    if (!m_options.rangeOn) return true;
    if (week == -1 && seconds == -1) {
        if (m_model == nullptr) return false;
        NavState nav;
        m_model->GetNavState(nav);
        return NavInRange(nav);
    }
    const int64_t value = static_cast<int64_t>(week & kWeekMask) * kSecondsPerWeek + seconds;
    const int64_t start = static_cast<int64_t>(m_options.startWeek & kWeekMask) * kSecondsPerWeek +
                          m_options.startTimeOfWeek;
    const int64_t end = static_cast<int64_t>(m_options.endWeek & kWeekMask) * kSecondsPerWeek +
                        m_options.endTimeOfWeek;
    return value >= start && value <= end;
}

bool CConverterEngine::NavInRange(const NavState& nav) const
{
    if (!m_options.rangeOn) return true;
    // Whole seconds, as the model takes them for its window; a time that is
    // no time of week is outside any range.
    const double tow = nav.timeOfFix;
    if (!(tow >= 0.0 && tow < static_cast<double>(kSecondsPerWeek))) return false;
    return IsInRange(nav.week, static_cast<int32_t>(tow));
}

// ---------------------------------------------------------------------------
// Events

bool CConverterEngine::OnModelEvent(int32_t event)
{
    if (!IsActive() || m_model == nullptr) return true;
    // The footer closes the document whatever the range.
    if (event == EV_END_OF_DATA) return WriteKmlFooter();

    const ProtocolKind kind = GetDetectedKind();
    const bool position = IsPositionEvent(event);
    const bool cycle = kind == PROTO_QBIN && IsQbinCycleEvent(event);
    if (!position && !cycle) return true;
    NavState nav;
    m_model->GetNavState(nav);
    if (!NavInRange(nav)) return true;
    return WriteMapCsvEvent(event, nav) && WriteKmlEvent(event, nav) && WriteGgaEvent(event) &&
           WriteSpreadsheetEvent(event);
}

bool CConverterEngine::WriteMapCsvEvent(int32_t event, const NavState& nav)
{
    if (m_files[CONVERTER_MAP_CSV] == nullptr || !IsPositionEvent(event)) return true;
    FormatMapCsvPosition(nav, m_lastCsvTime, GetDetectedKind(), m_line);
    if (m_line.IsEmpty()) return true;
    if (!EmitLine(CONVERTER_MAP_CSV, m_line)) return false;
    CountDataLine(CONVERTER_MAP_CSV);
    return true;
}

bool CConverterEngine::WriteKmlEvent(int32_t event, const NavState& nav)
{
    if (m_files[CONVERTER_KML] == nullptr || !IsPositionEvent(event)) return true;
    FormatKmlPlacemark(nav, m_lastKmlTime, m_kmlPoints, m_line);
    if (m_line.IsEmpty()) return true;
    if (!EmitLine(CONVERTER_KML, m_line)) return false;
    CountDataLine(CONVERTER_KML);
    return true;
}

bool CConverterEngine::WriteKmlFooter()
{
    if (m_files[CONVERTER_KML] == nullptr || m_kmlFooterDone) return true;
    m_kmlFooterDone = true;
    FormatKmlFooter(m_line);
    return EmitLine(CONVERTER_KML, m_line);
}

bool CConverterEngine::WriteGgaEvent(int32_t event)
{
    if (m_files[CONVERTER_GGA] == nullptr) return true;
    const bool due = GetDetectedKind() == PROTO_QBIN ? IsQbinCycleEvent(event) : IsPositionEvent(event);
    if (!due) return true;
    FormatGgaSentence(*m_model, m_lastGgaTime, m_line);
    if (m_line.IsEmpty()) return true;
    if (!EmitLine(CONVERTER_GGA, m_line)) return false;
    CountDataLine(CONVERTER_GGA);
    return true;
}

bool CConverterEngine::WriteSpreadsheetEvent(int32_t event)
{
    if (m_files[CONVERTER_SPREADSHEET] == nullptr) return true;
    const ProtocolKind kind = GetDetectedKind();
    int32_t columnSet;
    if (kind == PROTO_QBIN && IsQbinCycleEvent(event)) {
        columnSet = SPREADSHEET_SET_BINARY;
    } else if (kind == PROTO_NMEA && IsPositionEvent(event)) {
        columnSet = SPREADSHEET_SET_NMEA;
    } else {
        return true;
    }
    if (m_sheetPartFull && !StartNextSheetPart()) return false;
    if (m_sheetNeedsHeader) {
        FormatSpreadsheetHeader(columnSet, m_sheet.fieldSep, m_line);
        if (!EmitLine(CONVERTER_SPREADSHEET, m_line)) return false;
        m_sheetNeedsHeader = false;
        ++m_sheet.rowIndex;
    }
    const int32_t indexBefore = m_sheet.rowIndex;
    if (columnSet == SPREADSHEET_SET_BINARY)
        FormatSpreadsheetRow(*m_model, m_sheet, m_line);
    else
        FormatNmeaSpreadsheetRow(*m_model, m_sheet, m_line);
    if (!m_line.IsEmpty()) {
        if (!EmitLine(CONVERTER_SPREADSHEET, m_line)) return false;
        CountDataLine(CONVERTER_SPREADSHEET);
    }
    // Only a row that moved the index can fill a part: with one line per
    // part the header alone must not start part after part.
    const int32_t limit = m_options.linesPerPart;
    if (m_options.spreadsheetSplit && limit >= 1 && m_sheet.rowIndex != indexBefore &&
        m_sheet.rowIndex >= limit)
        m_sheetPartFull = true;
    return true;
}

bool CConverterEngine::StartNextSheetPart()
{
    m_sheetPartFull = false;
    std::unique_ptr<COutputFile>& current = m_files[CONVERTER_SPREADSHEET];
    if (!current->Close()) {
        Fail(current->GetFinalName());
        return false;
    }
    current.reset();
    if (m_sheetPart == 1) {
        // The first part learns that it is one: it ends as "_001".
        CString number;
        number.Format(kSplitPartFormat, 1);
        const CString firstName = ResolveCollision(InsertBeforeExtension(m_sheetBaseName, number), m_usedKeys);
        m_temporaries[m_sheetTemporary].finalName = firstName;
        m_usedKeys.push_back(KeyOf(firstName));
        if (m_takenNames != nullptr) m_takenNames->Add(firstName);
    }
    ++m_sheetPart;
    CString number;
    number.Format(kSplitPartFormat, static_cast<int>(m_sheetPart));
    const CString partName = ResolveCollision(InsertBeforeExtension(m_sheetBaseName, number), m_usedKeys);
    if (!CreateOutput(CONVERTER_SPREADSHEET, partName)) return false;
    m_usedKeys.push_back(KeyOf(partName));
    if (m_takenNames != nullptr) m_takenNames->Add(partName);
    m_sheet.rowIndex = 0;
    m_sheetNeedsHeader = true;
    return true;
}

// ---------------------------------------------------------------------------
// Translation

void CConverterEngine::WriteTranslationText(const char* text, bool dmFlag, bool crcFlag)
{
    if (!IsTranslationOn() || text == nullptr || text[0] == '\0') return;
    if (!IsInRange(-1, -1)) return;
    if (crcFlag) {
        if (m_files[CONVERTER_CRC_LOG] == nullptr && !CreateOutput(CONVERTER_CRC_LOG, m_names[CONVERTER_CRC_LOG]))
            return;
        EmitText(CONVERTER_CRC_LOG, text) && EmitText(CONVERTER_CRC_LOG, kLineEnd);
        return;
    }
    const uint64_t before = m_translationBytes;
    if (dmFlag) {
        const char* start = m_options.dmPrefix ? kDmLineStart : kLineStart;
        if (!EmitText(CONVERTER_TEXT, start)) return;
        m_translationBytes += strlen(start);
    }
    const size_t length = strlen(text);
    if (!Emit(CONVERTER_TEXT, text, length)) return;
    m_translationBytes += length;
    if (m_translationBytes != before) CountDataLine(CONVERTER_TEXT);
}

void CConverterEngine::WritePacketHeader(const BYTE* packet, int length)
{
    if (!IsTranslationOn() || packet == nullptr || length < 1) return;
    if (!IsInRange(-1, -1)) {
        // The first packet back inside the range opens its table afresh.
        m_lastHeaderId = -1;
        return;
    }
    const uint32_t id = packet[0];
    const int second = length >= 2 ? packet[1] : -1;
    const uint64_t before = m_translationBytes;
    m_line.Clear();
    if (m_options.blankLine && m_blankLineId != 0 && id == m_blankLineId &&
        (m_blankLineSubcode == 0 || static_cast<int>(m_blankLineSubcode) == second))
        m_line.AppendText(kLineStart);
    if (m_options.packetId) {
        m_line.Append("\r\nQBIN Pkt 0x%0X", static_cast<unsigned>(id));
        if (HasSubcode(id) && second >= 0) m_line.Append("-%02X", static_cast<unsigned>(second));
    }
    if (id != kAnnouncementId) {
        if (static_cast<int>(id) != m_lastHeaderId) {
            for (const PacketHeading& h : kPacketHeadings) {
                if (h.id == static_cast<int>(id)) m_line.AppendText(h.text);
            }
        }
        m_lastHeaderId = static_cast<int>(id);
    }
    if (!EmitLine(CONVERTER_TEXT, m_line)) return;
    m_translationBytes = before + m_line.GetLength();
}
