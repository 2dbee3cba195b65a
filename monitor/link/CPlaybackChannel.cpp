#include "link/CPlaybackChannel.h"

#include <string.h>

CPlaybackChannel::CPlaybackChannel()
    : m_speed(kMaxSpeed),
      m_linkId(0),
      m_progressCount(0),
      m_readCount(0),
      m_handedCount(0),
      m_fileLength(0),
      m_passRaw(false),
      m_aheadPos(0),
      m_aheadLen(0)
{
}

CPlaybackChannel::~CPlaybackChannel()
{
    Close();
}

bool CPlaybackChannel::Open(const PlaybackSettings& settings)
{
    Close();
    std::unique_ptr<CFile> file(new CFile);
    // Deny nothing: the log may be the one a raw logger is still writing.
    if (!file->Open(settings.fileName, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) return false;

    SetSpeed(settings.speed);
    m_fileName = settings.fileName;
    m_linkId = settings.linkId;
    m_markers.qbinId = settings.qbinMarker;
    m_markers.kestoClass = settings.kestoClass;
    m_markers.kestoId = settings.kestoId;
    m_markers.nmea = (LPCTSTR)settings.nmeaMarker;
    m_markers.qop = (LPCTSTR)settings.qopMarker;
    m_markers.qtxt = (LPCTSTR)settings.qtxtMarker;

    ULONGLONG length = file->GetLength();
    m_fileLength = length > 0xFFFFFFFFull ? 0xFFFFFFFFu : (uint32_t)length;
    m_readCount.store(0);
    m_handedCount.store(0);
    m_progressCount = 0;
    if (!m_ahead) m_ahead.reset(new BYTE[kReadAheadSize]);
    m_aheadPos = m_aheadLen = 0;
    m_file = std::move(file);
    return true;
}

bool CPlaybackChannel::Refill()
{
    uint32_t left = m_aheadLen - m_aheadPos;
    if (left > 0 && m_aheadPos > 0) memmove(m_ahead.get(), m_ahead.get() + m_aheadPos, left);
    m_aheadPos = 0;
    m_aheadLen = left;
    bool gotAny = false;
    while (m_aheadLen < kReadAheadSize) {
        UINT n = m_file->Read(m_ahead.get() + m_aheadLen, kReadAheadSize - m_aheadLen);
        if (n == 0) break;
        m_aheadLen += n;
        gotAny = true;
    }
    return gotAny;
}

int CPlaybackChannel::Read(BYTE* buf, uint16_t len, int32_t timeoutMs)
{
    if (!m_file || buf == nullptr) return -1;
    // A block shorter than asked stays where it is: -1 ends the replay anyway.
    if (m_aheadLen - m_aheadPos < len && (!Refill() || m_aheadLen - m_aheadPos < len)) return -1;
    memcpy(buf, m_ahead.get() + m_aheadPos, len);
    m_aheadPos += len;
    m_readCount.fetch_add(len, std::memory_order_relaxed);
    return len;
}

int CPlaybackChannel::Peek(const BYTE** bytes, uint32_t len, const CStopEvent&)
{
    if (!m_file || bytes == nullptr) return -1;
    if (m_aheadPos == m_aheadLen && !Refill()) return 0;
    uint32_t n = m_aheadLen - m_aheadPos;
    if (n > len) n = len;
    *bytes = m_ahead.get() + m_aheadPos;
    return static_cast<int>(n);
}

void CPlaybackChannel::Take(uint32_t count)
{
    const uint32_t left = m_aheadLen - m_aheadPos;
    if (count > left) count = left;
    m_aheadPos += count;
    // Only the reader moves the count: a plain store is enough for the
    // user interface that reads it.
    m_readCount.store(m_readCount.load(std::memory_order_relaxed) + count, std::memory_order_relaxed);
}

bool CPlaybackChannel::Close()
{
    if (m_file) {
        m_file->Close();
        m_file.reset();
    }
    m_aheadPos = m_aheadLen = 0;
    return true;
}

void CPlaybackChannel::SetSpeed(uint32_t speed)
{
    m_speed.store(speed == 0 || speed > kMaxSpeed ? 1 : speed, std::memory_order_relaxed);
}

bool CPlaybackChannel::IsProgressDue(uint32_t step)
{
    uint32_t count = GetProgressCount();
    if (count - m_progressCount <= step) return false;
    m_progressCount = count;
    return true;
}
