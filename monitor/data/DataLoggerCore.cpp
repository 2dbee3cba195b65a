#include "data/DataLoggerCore.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "data/ConverterWriters.h"
#include "framework/MessagePrompter.h"
#include "link/CController.h"
#include "link/LinkPortSettings.h"
#include "model/Clock.h"
#include "model/ReceiverEvent.h"

const char kLoggerSelectPort[] = "Please, select the COM port first.";
const char kLoggerSelectFile[] = "Select a log file.";
const char kLoggerBadUnitOrTest[] = "Unit ID and Test Case # must not contain \\ / : * ? \" < > | or ..";
const char kLoggerCsvFailed[] = "Failed to create the .CSV file!";
const char kLoggerKmlFailed[] = "Failed to create the .KML file!";

namespace {

const char kBadSerialSetting[] = "Invalid serial port setting selected!";
const char kNoUnitId[] = "Enter Unit ID for standard file naming!";
const char kNoTestCase[] = "Enter Test Case # for standard file naming!";
const char kQueriesNeedProtocol[] =
    "To log SV tracking info or GPS time, a command protocol must be selected.";
const char kBadDataBits[] = "Invalid data bits option selected.";
const char kBadStopBits[] = "Invalid stop bits option selected.";
const char kBadParity[] = "Invalid parity option selected.";
const char kBadBaud[] = "Invalid baud rate option selected.";

const char kStatusFailedToStart[] = "Failed to start!";
const char kStatusCantOpen[] = "Can't open COM!";
const char kStatusFailedToInit[] = "Failed to init!";
const char kStatusInitializing[] = "Initializing...";
const char kStatusStopping[] = "Stopping...";
const char kStatusLogging[] = "Logging started";
const char kStatusWaiting[] = "Waiting...";
const char kStatusAllStopped[] = "All stopped!";
const char kStatusFileError[] = "File error!";
const char kStatusReady[] = "Ready to start";
const char kNotAvailable[] = "n/a";

const int32_t kBauds[] = {110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 128000, 256000};
const ProtocolKind kProtocols[] = {PROTO_NONE, PROTO_QBIN, PROTO_NMEA, PROTO_QTXT};
const BYTE kDataBits[] = {7, 8};
const BYTE kStopBitCodes[] = {0, 2};
const int32_t kParityCodes = 3;  // none, odd, even
const int kBaudCount = static_cast<int>(sizeof(kBauds) / sizeof(kBauds[0]));
const int kProtocolCount = static_cast<int>(sizeof(kProtocols) / sizeof(kProtocols[0]));

// A status value of the model as a receiver-status lamp: 1 and 2 light it.
const int kLampSchemeIdle = 1;
const int kLampSchemeWarning = 3;
const int kLampShadeOff = 0;
const int kLampShadeLit = 2;
const int kActivityScheme = 5;

// Health status code of a receiver that reports an overdetermined clock fix.
const uint32_t kHealthOverdetermined = 10;
const uint8_t kFixMode3D = 4;

// Activity bits of the model and the lamps they blink, in the order they are looked at.
const struct {
    uint32_t bit;
    LoggerLamp lamp;
} kActivityLamps[] = {{2, LOGGER_LAMP_TX}, {1, LOGGER_LAMP_RX}, {4, LOGGER_LAMP_FIX}};

CString Key(int32_t port, const char* suffix)
{
    CString key;
    key.Format("com%02d%s", static_cast<int>(port), suffix);
    return key;
}

template <class T, size_t N>
int IndexIn(const T (&table)[N], T value)
{
    for (size_t i = 0; i < N; ++i)
        if (table[i] == value) return static_cast<int>(i);
    return -1;
}

// Paths as Windows compares them: either separator, any case.
bool IsSamePath(const CString& a, const CString& b)
{
    CString left(a);
    CString right(b);
    left.Replace('/', '\\');
    right.Replace('/', '\\');
    return left.CompareNoCase(right) == 0;
}

bool WriteLine(CFile& file, const OutputLine& line)
{
    return line.IsEmpty() || file.Write(line.GetText(), static_cast<UINT>(line.GetLength()));
}

// An existing KML document is continued where its closing lines begin, so
// that the stop's footer closes it again; anything else is not ours to append to.
bool SeekToKmlFooter(CFile& file)
{
    OutputLine footer;
    FormatKmlFooter(footer);
    const ULONGLONG length = file.GetLength();
    const ULONGLONG footerLength = footer.GetLength();
    if (footerLength == 0 || length == CFile::posError || length < footerLength) return false;
    const ULONGLONG start = length - footerLength;
    if (file.Seek(static_cast<LONGLONG>(start), CFile::begin) != start) return false;
    std::vector<char> tail(static_cast<size_t>(footerLength));
    if (file.Read(tail.data(), static_cast<UINT>(footerLength)) != footerLength) return false;
    if (std::memcmp(tail.data(), footer.GetText(), tail.size()) != 0) return false;
    return file.Seek(static_cast<LONGLONG>(start), CFile::begin) == start;
}

void ShowStatusLamp(ILoggerView& view, LoggerLamp lamp, uint32_t value)
{
    if (value == 1)
        view.SetLamp(lamp, kLampSchemeIdle, kLampShadeLit);
    else if (value == 2)
        view.SetLamp(lamp, kLampSchemeWarning, kLampShadeLit);
    else
        view.SetLamp(lamp, kLampSchemeIdle, kLampShadeOff);
}

}  // namespace

// ---- Combo indexes ----------------------------------------------------------------

int32_t BaudOfIndex(int32_t index) { return index >= 0 && index < kBaudCount ? kBauds[index] : -1; }
int32_t IndexOfBaud(int32_t baud) { return IndexIn(kBauds, baud); }
ProtocolKind ProtocolOfIndex(int32_t index)
{
    return index >= 0 && index < kProtocolCount ? kProtocols[index] : PROTO_NONE;
}
int32_t IndexOfProtocol(ProtocolKind kind) { return IndexIn(kProtocols, kind); }

// ---- Records and profile -------------------------------------------------------

CDataLoggerCore::CDataLoggerCore(ILoggerView& view, ILoggerLinks& links, ILoggerProfile& profile)
    : m_view(view), m_links(links), m_profile(profile)
{
    const int64_t now = GetClock().NowSeconds();
    m_calendar.start = now;
    m_calendar.end = now;
}

CDataLoggerCore::~CDataLoggerCore() { Shutdown(); }

std::vector<CString> CDataLoggerCore::Initialise(const std::vector<uint32_t>& comPorts, bool internalTools)
{
    Shutdown();
    for (LoggerPortState& record : m_ports) record.port = LOGGER_NO_PORT;
    std::vector<CString> entries;
    const size_t count = std::min(comPorts.size(), static_cast<size_t>(LOGGER_PORT_COUNT));
    for (size_t i = 0; i < count; ++i) {
        CString text;
        text.Format("COM %d", static_cast<int>(comPorts[i]));
        bool listed = false;
        for (const CString& entry : entries) listed = listed || entry == text;
        if (listed) continue;
        entries.push_back(text);
        m_ports[i].port = static_cast<int32_t>(comPorts[i]);
    }
    if (internalTools && count < static_cast<size_t>(LOGGER_PORT_COUNT)) {
        entries.push_back("Playback");
        m_ports[count].port = LOGGER_PLAYBACK_PORT;
    }
    for (LoggerPortState& record : m_ports) LoadProfile(record);
    return entries;
}

int CDataLoggerCore::FindPortIndex(int32_t port) const
{
    if (port < 0) return -1;
    for (int i = 0; i < LOGGER_PORT_COUNT; ++i)
        if (m_ports[i].port == port) return i;
    return -1;
}

const LoggerPortState* CDataLoggerCore::GetPort(int32_t port) const
{
    const int index = FindPortIndex(port);
    return index < 0 ? nullptr : &m_ports[index];
}

LoggerPortState* CDataLoggerCore::Record(int32_t port)
{
    const int index = FindPortIndex(port);
    return index < 0 ? nullptr : &m_ports[index];
}

// Unused records take the defaults with empty texts.
void CDataLoggerCore::LoadProfile(LoggerPortState& record)
{
    const bool used = record.port != LOGGER_NO_PORT;
    auto getInt = [&](const char* suffix, int32_t defaultValue) {
        return used ? m_profile.GetInt(Key(record.port, suffix), defaultValue) : defaultValue;
    };
    auto getText = [&](const char* suffix) {
        return used ? m_profile.GetString(Key(record.port, suffix), "") : CString();
    };
    record.controller = nullptr;
    record.ownsController = false;
    record.bytesLogged = 0;
    record.kmlPoints = 0;
    record.lastCsvTime = -1.0;
    record.lastKmlTime = -1.0;
    record.chunkMb = ChunkFromProfile(getInt("fileChunk", 0));
    record.logSig = getInt("logSig", 0) != 0;
    record.makeKml = getInt("makeKML", 0) != 0;
    record.kmlColour = static_cast<uint32_t>(getInt("clrKML", 255));
    record.makeCsv = getInt("makeCSV", 0) != 0;
    record.logTime = getInt("logTime", 0) != 0;
    record.maxHorizErr = getInt("MaxHorizErr", 0);
    record.maxVertErr = getInt("MaxVertErr", 0);
    record.maxOutages = getInt("MaxOutages", 0);
    record.unitId = getText("ID");
    record.testCase = getText("TC");
    record.stdFileNaming = getInt("StdFileNaming", 0) != 0;
    record.fileName = getText("fileName");
    record.dirName = getText("dirName");
    record.logAppend = getInt("logAppend", 0) != 0;
    record.protocol = getInt("protocol", PROTO_QBIN);
    record.baud = getInt("baud", 9600);
    record.parity = static_cast<BYTE>(getInt("parity", 0));
    record.dataBits = static_cast<BYTE>(getInt("data", 8));
    record.stopBits = static_cast<BYTE>(getInt("stop", 0));
}

// The keys in the order the settings have always been written.
void CDataLoggerCore::SaveProfile(const LoggerPortState& record)
{
    auto putInt = [&](const char* suffix, int32_t value) { m_profile.WriteInt(Key(record.port, suffix), value); };
    auto putText = [&](const char* suffix, const CString& value) {
        m_profile.WriteString(Key(record.port, suffix), value);
    };
    putInt("fileChunk", ChunkToProfile(record.chunkMb));
    putInt("logSig", record.logSig);
    putInt("makeKML", record.makeKml);
    putInt("clrKML", static_cast<int32_t>(record.kmlColour));
    putInt("makeCSV", record.makeCsv);
    putInt("logTime", record.logTime);
    putInt("MaxHorizErr", record.maxHorizErr);
    putInt("MaxVertErr", record.maxVertErr);
    putInt("MaxOutages", record.maxOutages);
    putText("ID", record.unitId);
    putText("TC", record.testCase);
    putInt("StdFileNaming", record.stdFileNaming);
    putText("fileName", record.fileName);
    putText("dirName", record.dirName);
    putInt("logAppend", record.logAppend);
    putInt("protocol", record.protocol);
    putInt("baud", record.baud);
    putInt("parity", record.parity);
    putInt("data", record.dataBits);
    putInt("stop", record.stopBits);
}

LoggerForm CDataLoggerCore::GetForm(int32_t port) const
{
    LoggerForm form;
    const LoggerPortState* record = GetPort(port);
    if (record == nullptr) return form;
    form.filePath = record->fileName;
    form.dirName = record->dirName;
    form.stdFileNaming = record->stdFileNaming;
    form.unitId = record->unitId;
    form.testCase = record->testCase;
    form.chunkMb = record->chunkMb;
    form.logSig = record->logSig;
    form.logTime = record->logTime;
    form.logAppend = record->logAppend;
    form.makeKml = record->makeKml;
    form.makeCsv = record->makeCsv;
    form.baudIndex = IndexOfBaud(record->baud);
    form.dataBitsIndex = IndexIn(kDataBits, record->dataBits);
    form.parityIndex = record->parity < kParityCodes ? record->parity : -1;
    form.protocolIndex = IndexOfProtocol(record->protocol);
    form.stopBitsIndex = IndexIn(kStopBitCodes, record->stopBits);
    form.kmlColour = record->kmlColour;
    return form;
}

// ---- Preparing ------------------------------------------------------------------

bool CDataLoggerCore::CheckForm(const LoggerForm& form)
{
    const char* refusal = nullptr;
    if (form.filePath.IsEmpty())
        refusal = kLoggerSelectFile;
    else if (form.dataBitsIndex < 0 || form.stopBitsIndex < 0 || form.parityIndex < 0 || form.baudIndex < 0)
        refusal = kBadSerialSetting;
    else if (form.stdFileNaming && form.unitId.IsEmpty())
        refusal = kNoUnitId;
    else if (form.stdFileNaming && form.testCase.IsEmpty())
        refusal = kNoTestCase;
    else if (form.stdFileNaming && !(IsFileNamePartValid(form.unitId) && IsFileNamePartValid(form.testCase)))
        refusal = kLoggerBadUnitOrTest;
    else if (ProtocolOfIndex(form.protocolIndex) == PROTO_NONE && (form.logSig || form.logTime))
        refusal = kQueriesNeedProtocol;
    if (refusal == nullptr) return true;
    AfxMessageBox(refusal);
    return false;
}

bool CDataLoggerCore::TakeSerialCodes(const LoggerForm& form, LoggerPortState& record)
{
    const char* refusal = nullptr;
    if (form.dataBitsIndex < 0 || form.dataBitsIndex > 1)
        refusal = kBadDataBits;
    else if (form.stopBitsIndex < 0 || form.stopBitsIndex > 1)
        refusal = kBadStopBits;
    else if (form.parityIndex < 0 || form.parityIndex >= kParityCodes)
        refusal = kBadParity;
    else if (BaudOfIndex(form.baudIndex) < 0)
        refusal = kBadBaud;
    if (refusal != nullptr) {
        AfxMessageBox(refusal);
        return false;
    }
    record.dataBits = kDataBits[form.dataBitsIndex];
    record.stopBits = kStopBitCodes[form.stopBitsIndex];
    record.parity = static_cast<BYTE>(form.parityIndex);
    record.baud = BaudOfIndex(form.baudIndex);
    return true;
}

bool CDataLoggerCore::PreparePort(int32_t port)
{
    LoggerPortState* record = Record(port);
    if (record == nullptr) {
        AfxMessageBox(kLoggerSelectPort);
        return false;
    }
    LoggerForm form;
    if (!m_view.ReadForm(form) || !CheckForm(form)) return false;
    if (form.stdFileNaming) {
        form.filePath = form.dirName + BuildStandardFileName(form.unitId, form.testCase);
        m_view.ShowFilePath(form.filePath);
    }
    record->fileName = form.filePath;
    record->logAppend = form.logAppend;
    record->stdFileNaming = form.stdFileNaming;
    record->makeCsv = form.makeCsv;
    record->makeKml = form.makeKml;
    record->kmlColour = form.kmlColour;
    record->unitId = form.unitId;
    record->testCase = form.testCase;
    record->chunkMb = form.chunkMb;
    record->logSig = form.logSig;
    record->logTime = form.logTime;
    record->dirName = form.dirName;
    record->protocol = ProtocolOfIndex(form.protocolIndex);
    record->kmlPoints = 0;
    record->bytesLogged = 0;
    record->lastCsvTime = -1.0;
    record->lastKmlTime = -1.0;
    if (!TakeSerialCodes(form, *record) || !OpenCompanions(*record)) return false;
    SaveProfile(*record);
    return true;
}

bool CDataLoggerCore::OpenCompanionFile(CFile& file, const CString& path, bool append, bool readBack)
{
    file.Close();
    UINT flags = CFile::modeCreate | CFile::shareDenyWrite | CFile::typeBinary;
    flags |= readBack ? CFile::modeReadWrite : CFile::modeWrite;
    if (append) flags |= CFile::modeNoTruncate;
    if (!file.Open(path, flags)) return false;
    if (append && !readBack && file.SeekToEnd() == CFile::posError) {
        file.Close();
        return false;
    }
    return true;
}

// A companion never replaces the log it belongs to; appending adds records to
// the documents already there instead of starting them again. Whatever fails
// leaves no companion of this start open.
bool CDataLoggerCore::OpenCompanions(LoggerPortState& record)
{
    CloseCompanions(record);
    const bool append = record.logAppend != 0;
    if (record.makeCsv) {
        const CString path = ReplaceExtension(record.fileName, "csv");
        bool opened = !IsSamePath(path, record.fileName) && OpenCompanionFile(record.csvFile, path, append, false);
        if (opened && record.csvFile.GetLength() == 0) {
            OutputLine header;
            FormatMapCsvHeader(header);
            opened = WriteLine(record.csvFile, header);
        }
        if (!opened) {
            record.csvFile.Close();
            AfxMessageBox(kLoggerCsvFailed);
            return false;
        }
    }
    if (record.makeKml) {
        const CString path = ReplaceExtension(record.fileName, "kml");
        bool opened = !IsSamePath(path, record.fileName) && OpenCompanionFile(record.kmlFile, path, append, true);
        if (opened && record.kmlFile.GetLength() == 0) {
            OutputLine header;
            FormatKmlHeader(record.kmlColour, header);
            opened = WriteLine(record.kmlFile, header);
        } else if (opened) {
            opened = SeekToKmlFooter(record.kmlFile);
        }
        if (!opened) {
            record.kmlFile.Close();
            record.csvFile.Close();
            AfxMessageBox(kLoggerKmlFailed);
            return false;
        }
    }
    return true;
}

// An open KML document gets its closing lines, so it is always well-formed
// once closed.
void CDataLoggerCore::CloseCompanions(LoggerPortState& record)
{
    record.csvFile.Close();
    if (record.kmlFile.IsOpen()) {
        OutputLine footer;
        FormatKmlFooter(footer);
        WriteLine(record.kmlFile, footer);
        record.kmlFile.Close();
    }
}

// ---- Starting and stopping ---------------------------------------------------------

bool CDataLoggerCore::OpenOwnLink(LoggerPortState& record)
{
    CController* link = m_links.CreateLink();
    if (link == nullptr) {
        m_view.SetStatusText(kStatusFailedToStart);
        return false;
    }
    LinkPortSettings settings;
    settings.portNumber = static_cast<uint32_t>(record.port);
    settings.baudRate = static_cast<uint32_t>(record.baud);
    settings.parity = record.parity;
    settings.stopBits = record.stopBits;
    settings.dataBits = record.dataBits;
    int32_t error = LINK_ERROR_NONE;
    if (!link->OpenSerial(settings, PROTO_QBIN, &error)) {
        m_view.SetStatusText(error == LINK_ERROR_SERIAL ? kStatusCantOpen : kStatusFailedToInit);
        m_links.DeleteLink(link);
        return false;
    }
    link->SetProtocolKind(record.protocol);
    if (record.makeCsv || record.makeKml) link->AddListener(m_links.GetEventWindow(), WM_RECEIVER_EVENT);
    record.controller = link;
    record.ownsController = true;
    return true;
}

bool CDataLoggerCore::StartPort(int32_t port)
{
    LoggerPortState* record = Record(port);
    if (record == nullptr) return false;
    m_scriptNotified = false;
    if (CController* mainLink = m_links.GetMainLinkFor(port)) {
        record->controller = mainLink;
        record->ownsController = false;
    } else if (!OpenOwnLink(*record)) {
        // Nothing will be written: the companions are closed well-formed.
        CloseCompanions(*record);
        return false;
    }
    m_fileError = false;
    RawLogSettings settings;
    settings.fileName = record->fileName;
    settings.append = record->logAppend;
    settings.partLimitMiB = record->chunkMb;
    record->controller->GetRawLogger().Configure(RAWLOG_REQUEST_START, &settings);
    record->controller->SetLoggingEnabled(IsCalendarOpen(m_calendar, GetClock().NowSeconds()));
    m_calendarEndHandled = false;
    m_view.EnableSettings(false);
    m_links.RefreshLoggingStatus();
    m_view.SetStatusText(kStatusInitializing);
    m_view.SetSizeText("0");
    return true;
}

void CDataLoggerCore::ReleaseLink(LoggerPortState& record)
{
    CController* link = record.controller;
    record.controller = nullptr;
    if (link != nullptr) {
        CRawLogger& logger = link->GetRawLogger();
        logger.Configure(RAWLOG_REQUEST_STOP, nullptr);
        record.bytesLogged = logger.GetBytesLogged();
        if (record.ownsController) {
            if (record.makeCsv || record.makeKml) link->RemoveListener(m_links.GetEventWindow());
        }
    }
    CloseCompanions(record);
    if (link != nullptr && record.ownsController) {
        link->Disconnect();
        m_links.DeleteLink(link);
    }
    record.ownsController = false;
}

bool CDataLoggerCore::StopPort(int32_t port)
{
    LoggerPortState* record = Record(port);
    if (record == nullptr) return false;
    m_view.SetStatusText(kStatusStopping);
    ReleaseLink(*record);
    ShowFileSize(port);
    m_view.EnableSettings(true);
    m_links.RefreshLoggingStatus();
    return true;
}

void CDataLoggerCore::StopAllPorts()
{
    for (LoggerPortState& record : m_ports) {
        if (record.controller == nullptr) continue;
        StopPort(record.port);
        m_allStopped = true;
    }
}

void CDataLoggerCore::Shutdown()
{
    for (LoggerPortState& record : m_ports) ReleaseLink(record);
}

void CDataLoggerCore::ReportToScript(int32_t result)
{
    m_links.ReportScriptResult(result, LOGGER_SCRIPT_ACTION);
    m_scriptNotified = true;
}

void CDataLoggerCore::OnStartStopLogging(int32_t port)
{
    // The button reads "Stop Logging" while the port holds a link, also
    // before its log has opened.
    const LoggerPortState* record = GetPort(port);
    if (record != nullptr && record->controller != nullptr) {
        ReportToScript(StopPort(port) ? 0 : 1);
        // The port is idle now; a busy link must not leave "Stopping..." up
        // until the next tick.
        RefreshPortStatus(port);
        return;
    }
    // A start that went through reports later, from the status refresh.
    if (PreparePort(port) && StartPort(port)) return;
    ReportToScript(1);
}

bool CDataLoggerCore::UseSettingsForAllPorts(int32_t port)
{
    LoggerPortState* source = Record(port);
    if (source == nullptr) {
        AfxMessageBox(kLoggerSelectPort);
        return false;
    }
    // A port that logs keeps its files: its stored settings are the current ones.
    if (source->controller == nullptr) {
        if (!PreparePort(port)) return false;
        CloseCompanions(*source);
    }
    for (LoggerPortState& record : m_ports) {
        if (&record == source) continue;
        record.logAppend = source->logAppend;
        record.stdFileNaming = source->stdFileNaming;
        record.makeCsv = source->makeCsv;
        record.makeKml = source->makeKml;
        record.kmlColour = source->kmlColour;
        record.testCase = source->testCase;
        record.protocol = source->protocol;
        record.chunkMb = source->chunkMb;
        record.logSig = source->logSig;
        record.logTime = source->logTime;
        record.parity = source->parity;
        record.stopBits = source->stopBits;
        record.dataBits = source->dataBits;
        record.baud = source->baud;
    }
    return true;
}

// ---- Status, timer and events ----------------------------------------------------------

bool CDataLoggerCore::IsPortLogging(int32_t port) const
{
    const LoggerPortState* record = GetPort(port);
    return record != nullptr && record->controller != nullptr && record->controller->GetRawLogger().IsLogging();
}

bool CDataLoggerCore::IsAnyPortLogging() const
{
    for (const LoggerPortState& record : m_ports)
        if (record.port != LOGGER_NO_PORT && IsPortLogging(record.port)) return true;
    return false;
}

void CDataLoggerCore::ShowFileSize(int32_t port)
{
    const LoggerPortState* record = GetPort(port);
    m_view.SetSizeText(FormatLogSize(record != nullptr ? record->bytesLogged : 0));
}

// A log that ended without this logger asking (the main window's replay came
// to its end and closed the link) frees its port, so the next press starts
// a new log rather than stopping one that is gone.
bool CDataLoggerCore::HasFallenIdle(const LoggerPortState& record) const
{
    const CRawLogger& logger = record.controller->GetRawLogger();
    return logger.GetState() == RAWLOG_STATE_IDLE && logger.GetPendingRequest() == RAWLOG_REQUEST_NONE;
}

void CDataLoggerCore::ShowReceiverStatus(CController& link)
{
    CModel& model = link.GetModel();
    ShowStatusLamp(m_view, LOGGER_LAMP_ALM, model.GetMachineId());
    ShowStatusLamp(m_view, LOGGER_LAMP_RTC, model.GetStatusCode());
    ShowStatusLamp(m_view, LOGGER_LAMP_BB, model.GetHealthErrorBits());
    const uint32_t activity = model.GetActivityFlags();
    for (const auto& entry : kActivityLamps) {
        if ((activity & entry.bit) == 0) continue;
        model.SetActivityFlag(entry.bit, true);
        m_view.BlinkLamp(entry.lamp);
    }
    FixModeRecord fix = {};
    const bool haveFix = model.GetFixModeAndDops(fix);
    CString satellites(kNotAvailable);
    if (haveFix) satellites.Format("%d", static_cast<int>(fix.svCount));
    const char* dimension = kNotAvailable;
    if (model.GetHealthStatus() == kHealthOverdetermined)
        dimension = "O-D";
    else if (haveFix)
        dimension = fix.fixMode == kFixMode3D ? "3-D" : "2-D";
    m_view.SetFixTexts(satellites, dimension);
}

void CDataLoggerCore::ShowIdleStatus()
{
    for (LoggerLamp lamp : {LOGGER_LAMP_ALM, LOGGER_LAMP_RTC, LOGGER_LAMP_BB})
        m_view.SetLamp(lamp, kLampSchemeIdle, kLampShadeOff);
    m_view.SetFixTexts(kNotAvailable, kNotAvailable);
    if (m_allStopped) {
        m_allStopped = false;
        m_view.SetStatusText(kStatusAllStopped);
    } else {
        m_view.SetStatusText(m_fileError ? kStatusFileError : kStatusReady);
    }
}

void CDataLoggerCore::RefreshPortStatus(int32_t port)
{
    LoggerPortState* record = Record(port);
    CController* link = record != nullptr ? record->controller : nullptr;
    if (link != nullptr && link->GetRawLogger().IsLogging()) {
        record->bytesLogged = link->GetRawLogger().GetBytesLogged();
        if (!m_scriptNotified) ReportToScript(0);
        m_view.SetStatusText(link->IsLoggingEnabled() ? kStatusLogging : kStatusWaiting);
        ShowReceiverStatus(*link);
    } else {
        if (link != nullptr && link->GetRawLogger().GetState() == RAWLOG_STATE_FAILED) {
            m_fileError = true;
            StopPort(port);
            link = nullptr;
        }
        if (link == nullptr) ShowIdleStatus();
    }
    ShowFileSize(port);
    if (m_fileError && !m_scriptNotified) ReportToScript(1);
}

void CDataLoggerCore::OnTimer(int32_t selectedPort)
{
    const int64_t now = GetClock().NowSeconds();
    if (HasCalendarEnded(m_calendar, now) && !m_calendarEndHandled) {
        m_calendarEndHandled = true;
        StopAllPorts();
    }
    const bool gate = IsCalendarOpen(m_calendar, now);
    for (LoggerPortState& record : m_ports)
        if (record.controller != nullptr && HasFallenIdle(record)) StopPort(record.port);
    RefreshPortStatus(selectedPort);
    for (LoggerPortState& record : m_ports) {
        CController* link = record.controller;
        if (link == nullptr) continue;
        if (record.logSig) link->GetProtocol().QuerySatelliteTracking();
        if (record.logTime) link->GetProtocol().SendGpsTime(0, 0, 0);
        link->SetLoggingEnabled(gate);
    }
}

void CDataLoggerCore::OnModelUpdate(int32_t event, uint32_t param)
{
    switch (event) {
    case EV_POSITION_LLA:
    case EV_POSITION_XYZ:
    case EV_FIX_REPORT:
    case EV_TIMING_FIX: {
        LoggerPortState* record = Record(static_cast<int32_t>(param >> 16));
        if (record == nullptr) return;
        WriteCsvPosition(*record);
        WriteKmlPosition(*record);
        return;
    }
    default:
        return;
    }
}

void CDataLoggerCore::WriteCsvPosition(LoggerPortState& record)
{
    NavState nav;
    if (record.controller == nullptr || !record.makeCsv || !record.csvFile.IsOpen() ||
        !record.controller->GetModel().GetNavState(nav))
        return;
    OutputLine line;
    FormatMapCsvPosition(nav, record.lastCsvTime, record.controller->GetProtocolKind(), line);
    WriteLine(record.csvFile, line);
}

void CDataLoggerCore::WriteKmlPosition(LoggerPortState& record)
{
    NavState nav;
    if (record.controller == nullptr || !record.makeKml || !record.kmlFile.IsOpen() ||
        !record.controller->GetModel().GetNavState(nav))
        return;
    OutputLine line;
    FormatKmlPlacemark(nav, record.lastKmlTime, record.kmlPoints, line);
    WriteLine(record.kmlFile, line);
}
