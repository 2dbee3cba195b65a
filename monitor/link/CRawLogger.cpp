#include "link/CRawLogger.h"

#include <math.h>

CRawLogger::CRawLogger()
    : m_state(RAWLOG_STATE_IDLE),
      m_request(RAWLOG_REQUEST_NONE),
      m_writeEnabled(true),
      m_servicers(0),
      m_requestedAppend(false),
      m_requestedLimit(0),
      m_append(false),
      m_partLimit(0),
      m_partNumber(1),
      m_bytesLogged(0),
      m_bytesInPart(0)
{
}

CRawLogger::~CRawLogger()
{
    CSingleLock hold(&m_lock, TRUE);
    ClosePartLocked();
}

uint32_t CRawLogger::LimitToBytes(float limitMiB)
{
    double mib = limitMiB;
    if (!(mib > 0.0)) return 0;  // also catches NaN
    double bytes = mib >= 1.0 ? mib * 1048576.0 : mib * 1024000.0;
    if (bytes >= 4294967295.0) return 0xFFFFFFFFu;
    // A float such as 0.1f is 0.100000001...: rounding, not truncation, keeps
    // 0.7 at 716800 bytes. A positive limit never becomes "no limit".
    uint32_t whole = (uint32_t)llround(bytes);
    return whole ? whole : 1;
}

CString CRawLogger::MakePartName(const CString& baseName, int32_t part, bool split)
{
    if (!split) return baseName;
    CString suffix;
    suffix.Format("_%05d", (int)part);
    int slash = baseName.ReverseFind('/');
    int backslash = baseName.ReverseFind('\\');
    int separator = slash > backslash ? slash : backslash;
    int dot = baseName.ReverseFind('.');
    // A dot in a directory name is not an extension.
    if (dot > separator) return baseName.Left(dot) + suffix + baseName.Mid(dot);
    return baseName + suffix;
}

void CRawLogger::Configure(int32_t request, const RawLogSettings* settings)
{
    if (request < RAWLOG_REQUEST_NONE || request > RAWLOG_REQUEST_STOP_CLOSING) return;
    CSingleLock hold(&m_lock, TRUE);
    if (settings) {
        m_requestedName = settings->fileName;
        m_requestedAppend = settings->append != 0;
        m_requestedLimit = LimitToBytes(settings->partLimitMiB);
    }
    m_request.store(request);
    // Nobody else will apply a stop while no reader runs; a start, in
    // contrast, has no bytes to log until a reader comes.
    if (m_servicers == 0 && (request == RAWLOG_REQUEST_STOP || request == RAWLOG_REQUEST_STOP_CLOSING)) ApplyLocked();
}

void CRawLogger::Service()
{
    // The common case, checked without the lock before every byte: nothing
    // asked for and no part to close.
    if (m_request.load(std::memory_order_acquire) == RAWLOG_REQUEST_NONE) {
        if (m_state.load(std::memory_order_relaxed) != RAWLOG_STATE_LOGGING) return;
        uint32_t limit = m_partLimit.load(std::memory_order_relaxed);
        if (limit == 0 || m_bytesInPart.load(std::memory_order_relaxed) < limit) return;
    }
    CSingleLock hold(&m_lock, TRUE);
    ApplyLocked();
}

void CRawLogger::ApplyLocked()
{
    const int32_t request = m_request.load();
    const bool stop = request == RAWLOG_REQUEST_STOP || request == RAWLOG_REQUEST_STOP_CLOSING;
    switch (m_state.load()) {
    case RAWLOG_STATE_IDLE:
    case RAWLOG_STATE_FAILED:
        // A failed logger is not a dead end: the user fixes the path and
        // starts again, or stops to clear the failure.
        if (request == RAWLOG_REQUEST_START && !m_requestedName.IsEmpty()) {
            m_request.store(RAWLOG_REQUEST_NONE);
            StartLocked();
            // The byte that follows must not go into a part that is already
            // full (appending to an earlier run).
            RollOverLocked();
        } else if (stop) {
            m_request.store(RAWLOG_REQUEST_NONE);
            m_state.store(RAWLOG_STATE_IDLE);
        }
        // A start without a name stays pending until one comes with it.
        break;
    case RAWLOG_STATE_LOGGING:
        if (stop) {
            m_request.store(RAWLOG_REQUEST_NONE);
            StopLocked();
            break;
        }
        if (request == RAWLOG_REQUEST_START) {
            // Already logging: dropping the request keeps it from restarting
            // (and truncating) the log after a later failure.
            m_request.store(RAWLOG_REQUEST_NONE);
        }
        RollOverLocked();
        break;
    default:
        break;
    }
}

void CRawLogger::RollOverLocked()
{
    // Parts that are already full (appending to earlier runs) are passed over
    // until one has room.
    while (m_state.load() == RAWLOG_STATE_LOGGING && m_partLimit.load() != 0 &&
           m_bytesInPart.load() >= m_partLimit.load()) {
        ClosePartLocked();
        m_partNumber.fetch_add(1);
        m_bytesInPart.store(0);
        if (!OpenPartLocked(false)) {
            m_request.store(RAWLOG_REQUEST_NONE);
            m_state.store(RAWLOG_STATE_FAILED);
        }
    }
}

void CRawLogger::StartLocked()
{
    m_baseName = m_requestedName;
    m_append = m_requestedAppend;
    m_partLimit.store(m_requestedLimit);
    m_partNumber.store(1);
    m_bytesLogged.store(0);
    m_bytesInPart.store(0);
    m_state.store(OpenPartLocked(true) ? RAWLOG_STATE_LOGGING : RAWLOG_STATE_FAILED);
}

void CRawLogger::StopLocked()
{
    ClosePartLocked();
    m_state.store(RAWLOG_STATE_IDLE);
}

bool CRawLogger::OpenPartLocked(bool firstPart)
{
    ClosePartLocked();
    CString name = MakePartName(m_baseName, m_partNumber.load(), m_partLimit.load() != 0);
    // Deny other writers, so two links never log into one file; readers (a
    // replay of the growing log) are welcome.
    UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite | CFile::typeBinary;
    if (m_append) flags |= CFile::modeNoTruncate;
    if (!m_file.Open(name, flags)) return false;
    m_currentName = name;
    if (m_append) {
        ULONGLONG size = m_file.SeekToEnd();
        if (size == CFile::posError) {
            ClosePartLocked();
            return false;
        }
        uint32_t size32 = size > 0xFFFFFFFFull ? 0xFFFFFFFFu : (uint32_t)size;
        m_bytesInPart.store(size32);
        // The total carries on across parts; only a start counts the old size.
        if (firstPart) m_bytesLogged.store(size32);
    }
    return true;
}

void CRawLogger::ClosePartLocked()
{
    if (m_file.IsOpen()) m_file.Close();
}

bool CRawLogger::LogByte(BYTE b)
{
    return LogBytes(&b, 1);
}

bool CRawLogger::LogBytes(const BYTE* bytes, size_t count)
{
    if (bytes == nullptr || count == 0) return false;
    if (m_state.load(std::memory_order_relaxed) != RAWLOG_STATE_LOGGING || !m_writeEnabled.load(std::memory_order_relaxed))
        return false;
    CSingleLock hold(&m_lock, TRUE);
    bool wrote = false;
    while (count > 0) {
        // A part filled by the bytes before goes before the next byte.
        RollOverLocked();
        if (m_state.load() != RAWLOG_STATE_LOGGING || !m_file.IsOpen()) break;
        size_t n = count;
        const uint32_t limit = m_partLimit.load();
        if (limit != 0 && n > limit - m_bytesInPart.load()) n = limit - m_bytesInPart.load();
        const size_t kMaxWrite = 0x40000000;  // one write's count must fit a UINT
        if (n > kMaxWrite) n = kMaxWrite;
        if (!m_file.Write(bytes, static_cast<UINT>(n))) {
            // A full disk or a vanished drive ends this log, not the link.
            ClosePartLocked();
            m_state.store(RAWLOG_STATE_FAILED);
            return false;
        }
        m_bytesLogged.fetch_add(static_cast<uint32_t>(n));
        m_bytesInPart.fetch_add(static_cast<uint32_t>(n));
        bytes += n;
        count -= n;
        wrote = true;
    }
    return wrote;
}

CString CRawLogger::GetCurrentFileName() const
{
    CSingleLock hold(&m_lock, TRUE);
    return m_currentName;
}

void CRawLogger::RegisterServicer()
{
    CSingleLock hold(&m_lock, TRUE);
    ++m_servicers;
}

void CRawLogger::UnregisterServicer()
{
    CSingleLock hold(&m_lock, TRUE);
    if (m_servicers > 0) --m_servicers;
    const int32_t request = m_request.load();
    if (m_servicers == 0 && (request == RAWLOG_REQUEST_STOP || request == RAWLOG_REQUEST_STOP_CLOSING)) ApplyLocked();
}

bool CRawLogger::HasServicer() const
{
    CSingleLock hold(&m_lock, TRUE);
    return m_servicers > 0;
}
