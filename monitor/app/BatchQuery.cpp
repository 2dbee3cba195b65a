#include "app/BatchQuery.h"

#include <cstring>

#include "app/InputValidation.h"

const char* const kBatchRunningText = "Running the batch query. Please wait...";
const char* const kBatchFinishedText = "The batch query is finished!";

namespace {

// The largest period a Win32 timer accepts (USER_TIMER_MAXIMUM).
const uint32_t kMaxPeriod = 0x7FFFFFFFu;

// atoi's reading of the text (leading blanks, a sign, digits) but saturating
// instead of overflowing, since the text comes from a user's file.
int64_t ReadNumber(const char* p)
{
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < static_cast<int64_t>(kMaxPeriod)) value = value * 10 + (*p - '0');
        ++p;
    }
    if (value > static_cast<int64_t>(kMaxPeriod)) value = kMaxPeriod;
    return negative ? -value : value;
}

// The number after the first space of the line; 0 without a space.
int64_t NumberAfterFirstSpace(const char* line)
{
    const char* space = std::strchr(line, ' ');
    return space == nullptr ? 0 : ReadNumber(space + 1);
}

} // namespace

bool CBatchFileSource::Open(LPCTSTR fileName)
{
    if (fileName == nullptr || *fileName == '\0') return false;
    return m_file.Open(fileName, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText);
}

bool CBatchFileSource::ReadLine(CString& line)
{
    return m_file.IsOpen() && m_file.ReadString(line);
}

CBatchTextSource::CBatchTextSource(const char* data, size_t length)
    : m_text(data != nullptr ? std::string(data, length) : std::string()), m_pos(0)
{
}

bool CBatchTextSource::ReadLine(CString& line)
{
    if (m_pos >= m_text.size()) return false;
    size_t end = m_text.find('\n', m_pos);
    const size_t next = end == std::string::npos ? m_text.size() : end + 1;
    if (end == std::string::npos) end = m_text.size();
    size_t stop = end;
    if (stop > m_pos && m_text[stop - 1] == '\r') --stop;
    line = CString(m_text.data() + m_pos, static_cast<int>(stop - m_pos));
    m_pos = next;
    return true;
}

bool IsBatchMarkerLine(const char* line)
{
    CString text(line);
    text.Trim();
    text.MakeUpper();
    return text == "!QZWPROTCMD";
}

bool ParseBatchSettingsLine(const char* line, ProtocolKind& protocol, uint32_t& delayMs)
{
    protocol = PROTO_NONE;
    delayMs = 0;
    CString text(line);
    text.Trim();
    const int space = text.Find(' ');
    if (space < 0) return false;  // no delay given
    const int64_t delay = ReadNumber(static_cast<LPCTSTR>(text) + space + 1);
    const ProtocolKind kind = ParseProtocolName(text.Left(space));
    if (delay <= 0 || kind == PROTO_NONE) return false;
    protocol = kind;
    delayMs = static_cast<uint32_t>(delay);
    return true;
}

bool IsBatchWaitLine(const char* line)
{
    if (line == nullptr) return false;
    CString lower(line);
    lower.MakeLower();
    return lower.Find("wait") >= 0;
}

uint32_t GetBatchWaitTime(const char* line)
{
    if (line == nullptr) return 0;
    // Indented lines are common in hand-written files; the indent is not the
    // space that separates the word from its number.
    CString text(line);
    text.Trim();
    const int64_t wait = NumberAfterFirstSpace(text);
    return wait > 0 ? static_cast<uint32_t>(wait) : 0;
}

CBatchQuery::CBatchQuery(ITimerHost* timers, IBatchCommandSender* sender, uint32_t timerId)
    : m_timers(timers),
      m_sender(sender),
      m_timerId(timerId),
      m_protocol(PROTO_NONE),
      m_delayMs(0),
      m_replyWindow(nullptr),
      m_sent(0)
{
}

CBatchQuery::~CBatchQuery() { Abort(); }

BatchStartResult CBatchQuery::Start(LPCTSTR fileName, HWND replyWindow)
{
    // Checked before opening, so a refused request never touches the file
    // the running batch reads.
    if (IsRunning()) return BATCH_BUSY;
    std::unique_ptr<CBatchFileSource> file(new CBatchFileSource);
    if (!file->Open(fileName)) return BATCH_OPEN_FAILED;
    return Start(std::unique_ptr<IBatchLineSource>(file.release()), replyWindow);
}

BatchStartResult CBatchQuery::Start(std::unique_ptr<IBatchLineSource> source, HWND replyWindow)
{
    if (IsRunning()) return BATCH_BUSY;
    if (source == nullptr) return BATCH_OPEN_FAILED;

    CString line;
    if (!source->ReadLine(line) || !IsBatchMarkerLine(line)) return BATCH_NOT_A_BATCH;
    for (;;) {
        if (!source->ReadLine(line)) return BATCH_NO_SETTINGS;
        if (!IsCommentLine(line)) break;
    }
    ProtocolKind protocol;
    uint32_t delay;
    if (!ParseBatchSettingsLine(line, protocol, delay)) return BATCH_BAD_SETTINGS;
    if (m_timers == nullptr || !m_timers->SetTimer(m_timerId, delay)) return BATCH_TIMER_FAILED;

    m_source = std::move(source);
    m_protocol = protocol;
    m_delayMs = delay;
    m_replyWindow = replyWindow;
    m_sent = 0;
    return BATCH_STARTED;
}

BatchTick CBatchQuery::OnTimer(uint32_t timerId)
{
    if (timerId != m_timerId) return BATCH_TICK_NOT_MINE;
    if (!IsRunning()) {
        // A tick queued before the batch ended: make sure no more follow.
        if (m_timers != nullptr) m_timers->KillTimer(m_timerId);
        return BATCH_TICK_NOT_MINE;
    }

    uint64_t period = m_delayMs;
    CString line;
    for (;;) {
        if (!m_source->ReadLine(line)) {
            End();
            return BATCH_TICK_FINISHED;
        }
        if (IsCommentLine(line)) continue;  // costs no pause
        if (IsBatchWaitLine(line)) {
            // The wait comes first, then the usual pause after a handled line.
            period += GetBatchWaitTime(line);
        } else {
            if (m_sender != nullptr) m_sender->SendBatchCommand(line);
            ++m_sent;
        }
        break;
    }
    if (period > kMaxPeriod) period = kMaxPeriod;
    if (!m_timers->SetTimer(m_timerId, static_cast<uint32_t>(period))) {
        // Without a timer the batch can never go on; end it rather than hang.
        End();
        return BATCH_TICK_FINISHED;
    }
    return BATCH_TICK_RUNNING;
}

void CBatchQuery::Abort()
{
    if (IsRunning()) End();
}

void CBatchQuery::End()
{
    if (m_timers != nullptr) m_timers->KillTimer(m_timerId);
    m_source.reset();  // closes the file
}
