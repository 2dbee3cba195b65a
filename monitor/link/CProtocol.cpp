#include "link/CProtocol.h"

#include "framework/CArray.h"
#include "link/CChannel.h"
#include "link/CConverterEngine.h"
#include "link/CPlaybackChannel.h"
#include "link/CRawLogger.h"
#include "link/CommandBuilders.h"
#include "link/ReaderClock.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"

// What the frame handler asks of the link while the reader runs. Values the
// user interface may change under a running reader (speed, pass-raw, the
// protocol setting, the stop request) are read afresh each time.
class CProtocol::CReaderLink : public IFrameLink {
public:
    CReaderLink(CProtocol& engine, CPlaybackChannel* playback, const CConverterEngine* converter)
        : m_engine(engine), m_playback(playback), m_converter(converter), m_position(0)
    {
    }

    // A conversion that stopped writing ends the reader as a stop does.
    bool IsStopRequested() override { return m_engine.CheckReaderExit(m_converter) != READER_GO_ON; }
    bool IsPassRawData() override { return m_playback != nullptr && m_playback->IsPassRawData(); }
    uint32_t GetPlaybackSpeed() override
    {
        return m_playback != nullptr ? m_playback->GetSpeed() : static_cast<uint32_t>(CPlaybackChannel::kMaxSpeed);
    }
    // The file position just after the bytes handed to the handler; the
    // handler counts back from it to where a frame ended.
    uint32_t GetPlaybackReadCount() override { return m_playback != nullptr ? m_position : 0; }
    void SetPosition(uint32_t position) { m_position = position; }
    ProtocolKind GetLinkProtocol() override { return m_engine.m_protocol.load(); }
    ProtocolKind GetVendorSubMode() override { return m_engine.m_vendorSubMode.load(); }
    void SetVendorSubMode(ProtocolKind kind) override
    {
        // Checked here as well as by the handler: only an NMEA or automatic
        // link may switch its command dialect because of what it heard.
        ProtocolKind protocol = m_engine.m_protocol.load();
        if (protocol == PROTO_NMEA || protocol == PROTO_AUTO) m_engine.m_vendorSubMode.store(kind);
    }
    void SetLastProtocol(ProtocolKind kind) override { m_engine.m_lastProtocol.store(kind); }

private:
    CProtocol& m_engine;
    CPlaybackChannel* m_playback;
    const CConverterEngine* m_converter;
    uint32_t m_position;
};

CProtocol::CProtocol()
    : m_channel(nullptr),
      m_rawLogger(nullptr),
      m_converter(nullptr),
      m_model(nullptr),
      m_stopRequest(false),
      m_timeQueryEnabled(true),
      m_resetInProgress(false),
      m_lastProtocol(PROTO_NONE),
      m_vendorSubMode(PROTO_NONE),
      m_protocol(PROTO_NONE),
      m_started(false),
      m_inStop(false),
      m_injectedTimers(nullptr),
      m_timers(nullptr),
      m_timerWindow(nullptr),
      m_clock(&GetSystemReaderClock()),
      m_dispatch(nullptr),
      m_builders(&GetDefaultCommandBuilders())
{
}

CProtocol::~CProtocol()
{
    Stop();
}

void CProtocol::SetClock(IReaderClock* clock)
{
    m_clock = clock != nullptr ? clock : &GetSystemReaderClock();
}

bool CProtocol::Start(CChannel* channel, ProtocolKind kind, CModel* model, CRawLogger* rawLogger,
                      CConverterEngine* converter)
{
    if (channel == nullptr || model == nullptr || rawLogger == nullptr || !IsValidProtocolKind(kind)) return false;
    if (m_inStop) return false;  // reached from a handler while this engine is being stopped
    if (m_started.load() || m_thread.Exists()) Stop();

    if (!CreateTimerWindow()) return false;

    m_statistics.Reset();
    m_lastProtocol.store(PROTO_NONE);
    m_vendorSubMode.store(PROTO_NONE);
    {
        std::lock_guard<std::mutex> hold(m_writeLock);
        m_channel = channel;
        m_model = model;
        m_rawLogger = rawLogger;
        m_converter = converter;
    }
    m_stopRequest.store(false);
    m_stopEvent.Reset();

    if (!SetProtocol(kind)) {
        ForgetLink();
        return false;
    }

    if (m_thread.Start(&CProtocol::ReaderEntry, this, CReaderThread::PriorityForChannelType(channel->GetType()))) {
        m_started.store(true);
        return true;
    }
    Stop();
    return false;
}

void CProtocol::RequestStop()
{
    m_stopRequest.store(true);
    m_stopEvent.Set();
}

bool CProtocol::Stop()
{
    RequestStop();

    // On the reader thread itself (a listener called back synchronously) the
    // request is all that can be done: the reader leaves at its next check
    // and the owner's own Stop does the rest.
    if (m_thread.IsCurrentThread()) return true;
    // Reached from a handler that the wait below delivers: wait for the
    // reader too (the caller may close the channel next), but leave the
    // teardown to the Stop that is already under way.
    if (m_inStop) {
        m_thread.Join();
        return true;
    }

    m_inStop = true;
    m_thread.Join();   // no cut-off: the channel may be closed only after this
    m_started.store(false);
    ForgetLink();
    m_inStop = false;
    return true;
}

void CProtocol::ForgetLink()
{
    {
        std::lock_guard<std::mutex> hold(m_writeLock);
        m_channel = nullptr;
        m_model = nullptr;
        m_rawLogger = nullptr;
        m_converter = nullptr;
    }
    // The reset timer dies with the timers, so nothing would clear the flag.
    m_resetInProgress.store(false);
    if (m_timers != nullptr) {
        m_timers->KillTimer(TIMER_AUTO_QUERY);
        m_timers->KillTimer(TIMER_CLEAR_REPORT_FLAGS);
        m_timers->KillTimer(TIMER_RESET_DONE);
    }
    DestroyTimerWindow();
}

bool CProtocol::SetProtocol(ProtocolKind kind)
{
    if (!IsValidProtocolKind(kind)) return false;
    if (IsVendorDialect(kind)) {
        m_vendorSubMode.store(kind);
        m_protocol.store(PROTO_NMEA);
    } else {
        m_protocol.store(kind);
        m_vendorSubMode.store(PROTO_NONE);
    }
    return true;
}

void CProtocol::SetEngineTimer(uint32_t id, uint32_t ms)
{
    if (m_timers != nullptr) m_timers->SetTimer(id, ms);
}

void CProtocol::KillEngineTimer(uint32_t id)
{
    if (m_timers != nullptr) m_timers->KillTimer(id);
}

void CProtocol::OnTimer(UINT_PTR timerId)
{
    switch (timerId) {
    case TIMER_CLEAR_REPORT_FLAGS:
        KillEngineTimer(TIMER_CLEAR_REPORT_FLAGS);
        if (m_model != nullptr) m_model->ClearReportFlags();
        break;
    case TIMER_RESET_DONE:
        KillEngineTimer(TIMER_RESET_DONE);
        // A version report that arrived in the meantime has already ended the
        // reset (on the reader thread, which cannot kill this timer) and
        // identified the receiver: wiping the data now would lose it.
        if (m_resetInProgress.exchange(false) && m_model != nullptr) m_model->ClearData(1);
        break;
    case TIMER_AUTO_QUERY:
        PollReceiverStatus();
        break;
    default:
        break;
    }
}

void CProtocol::EnterResetInProgress()
{
    m_resetInProgress.store(true);
    SetEngineTimer(TIMER_RESET_DONE, kResetDoneMs);
}

bool CProtocol::SetAutoQuery(const AutoQuerySettings& settings)
{
    if (!m_started.load()) return false;
    m_autoQuery = settings;
    if (m_autoQuery.enabled) {
        PollReceiverStatus();
        // A period of 0 would make the system's minimum period of a few ms a
        // query storm; anything beyond what 32 bits of ms hold is capped.
        int32_t period = m_autoQuery.periodSeconds;
        if (period < 1) period = 1;
        if (period > 4000000) period = 4000000;
        SetEngineTimer(TIMER_AUTO_QUERY, static_cast<uint32_t>(period) * 1000u);
    } else {
        KillEngineTimer(TIMER_AUTO_QUERY);
    }
    if (m_model != nullptr) {
        SetEngineTimer(TIMER_CLEAR_REPORT_FLAGS, kClearReportFlagsMs);
        m_model->ClearReportTexts();
    }
    return true;
}

void CProtocol::PollReceiverStatus()
{
    // The receiver takes the queries apart only with a gap between them.
    if (m_autoQuery.queryHealth) QueryReceiverHealth();
    if (m_autoQuery.querySelection) {
        m_clock->Sleep(kQueryGapMs);
        QuerySatelliteSelection();
    }
    if (m_autoQuery.queryTracking) {
        m_clock->Sleep(kQueryGapMs);
        QuerySatelliteTracking();
    }
    if (m_autoQuery.queryRawMeasurements) {
        m_clock->Sleep(kQueryGapMs);
        QueryRawMeasurements();
    }
    if (m_autoQuery.queryTime && m_timeQueryEnabled.load()) {
        m_clock->Sleep(kQueryGapMs);
        SendGpsTime(0, 0, 0);
    }
}

int CProtocol::WritePacket(const CByteArray& packet)
{
    return WritePacket(packet, m_protocol.load());
}

int CProtocol::WritePacket(const CByteArray& packet, ProtocolKind kind)
{
    const INT_PTR size = packet.GetSize();
    CModel* model = nullptr;
    int written = -1;
    {
        std::lock_guard<std::mutex> hold(m_writeLock);
        if (m_channel == nullptr || m_channel->GetType() != CHANNEL_TYPE_SERIAL) return -1;
        // An empty array writes nothing; one longer than a single write can
        // carry is refused rather than cut short.
        if (size <= 0 || size > 0xFFFF) return -1;
        written = m_channel->Write(packet.GetData(), static_cast<uint16_t>(size), -1);
        model = m_model;
    }
    // The events leave the lock first: event 38 is sent and waits for the
    // user-interface thread, which may itself be waiting for the lock in Stop
    // when a second thread writes. The model outlives the link.
    if (written != size || model == nullptr) return written;
    model->SetLastSentCommand(kind, packet.GetData(), static_cast<int>(size));
    model->Notify(EV_COMMAND_WRITTEN, 0, false);
    model->SetActivityFlag(ACTIVITY_BYTE_TRANSMITTED, false);
    return written;
}

unsigned int CProtocol::ReaderEntry(void* self)
{
    static_cast<CProtocol*>(self)->RunReader();
    return 0;
}

CProtocol::ReaderExit CProtocol::CheckReaderExit(const CConverterEngine* converter) const
{
    if (m_stopRequest.load()) return READER_STOP;
    if (converter == nullptr || converter->IsActive()) return READER_GO_ON;
    return converter->HasFailed() ? READER_END_OF_DATA : READER_STOP;
}

void CProtocol::AnnounceEndOfData(CModel* model)
{
    // The pause lets the last frame's events reach the listeners before the
    // end is announced.
    m_clock->PauseUnlessStopped(m_stopEvent, kEndOfDataPauseMs);
    model->Notify(EV_END_OF_DATA, 0, false);
}

void CProtocol::RunReader()
{
    // Taken once: Start set them before the thread began, and Stop changes
    // them only after the thread has ended.
    CChannel* const channel = m_channel;
    CModel* const model = m_model;
    CRawLogger* const logger = m_rawLogger;
    CConverterEngine* const converter = m_converter;
    IReaderClock& clock = *m_clock;
    const int channelType = channel->GetType();
    const bool playback = channelType == CHANNEL_TYPE_PLAYBACK;
    CPlaybackChannel* const replay = playback ? dynamic_cast<CPlaybackChannel*>(channel) : nullptr;

    // While registered, stop requests wait for this thread's Service; the
    // registration ends only after the last Service below.
    CRawLoggerServicer servicer(logger);
    CReaderLink link(*this, replay, converter);
    FrameContext context;
    context.channelType = channelType;
    context.model = model;
    context.converter = converter;
    context.statistics = &m_statistics;
    context.link = &link;
    if (replay != nullptr) context.markers = replay->GetMarkers();
    CFrameHandler handler(context, m_dispatch != nullptr ? *m_dispatch : GetDefaultFrameDispatch());

    // A replay is read a block at a time: one system call per byte makes a
    // long recording crawl. A live port keeps its single-byte reads, which
    // return as soon as a byte has come.
    BYTE single = 0;
    ReaderExit exit = READER_GO_ON;
    while (exit == READER_GO_ON) {
        exit = CheckReaderExit(converter);
        if (exit != READER_GO_ON) break;
        logger->Service();

        const BYTE* block = &single;
        const int n = replay != nullptr ? replay->Peek(&block, kReplayBlockSize, m_stopEvent)
                                        : channel->ReadUntilStopped(&single, 1, m_stopEvent);
        if (n <= 0) {
            // A read cut short by the stop is not the end of the data.
            if (m_stopRequest.load()) break;
            if (playback) {
                exit = READER_END_OF_DATA;
                break;
            }
            // A read that fails (device gone, line dropped) may fail again at
            // once; without a pause this thread would spin above normal
            // priority.
            clock.PauseUnlessStopped(m_stopEvent, kFailedReadPauseMs);
            continue;
        }

        // The bytes handled are logged and taken from the replay before each
        // pause and when the reader leaves the block, so the log holds every
        // byte the listeners heard about, and a reader that stops part way
        // leaves the rest of the block to the next one. The logger writes
        // only with its gate open.
        const uint32_t blockStart = replay != nullptr ? replay->GetReadCount() : 0;
        int handled = 0;
        int settled = 0;
        auto settle = [&]() {
            logger->LogBytes(block + settled, static_cast<size_t>(handled - settled));
            if (replay != nullptr) replay->Take(static_cast<uint32_t>(handled - settled));
            settled = handled;
        };
        link.SetPosition(blockStart + static_cast<uint32_t>(n));
        if (replay != nullptr) replay->MarkHanded(blockStart + static_cast<uint32_t>(n));
        while (handled < n) {
            // The handler takes the block up to a frame that asks for a pause
            // or sees the stop; the rest is handed over again after it.
            const FrameStep step = handler.OnBytes(block + handled, static_cast<size_t>(n - handled));
            handled += static_cast<int>(step.taken);
            if (step.stopRequested) {
                // The handler saw a stop or a conversion that stopped writing.
                exit = CheckReaderExit(converter);
                if (exit == READER_GO_ON) exit = READER_STOP;
                break;
            }
            if (step.pauseMs != 0) {
                settle();
                clock.PauseUnlessStopped(m_stopEvent, step.pauseMs);
                if (m_stopRequest.load()) {
                    exit = READER_STOP;
                    break;
                }
            }
        }
        settle();
    }
    if (exit == READER_END_OF_DATA) AnnounceEndOfData(model);
    // Applies a stop (or the link's closing) that came while the reader ran,
    // also when it ends by itself at the end of a replay.
    logger->Service();
}

#ifndef _WIN32

namespace {

// Natively no window receives timers: they go nowhere unless a host is set.
class CNoTimerHost : public ITimerHost {
public:
    bool SetTimer(uint32_t, uint32_t) override { return true; }
    void KillTimer(uint32_t) override {}
};

} // namespace

bool CProtocol::CreateTimerWindow()
{
    static CNoTimerHost noTimers;
    m_timers = m_injectedTimers != nullptr ? m_injectedTimers : &noTimers;
    return true;
}

void CProtocol::DestroyTimerWindow()
{
    m_timers = nullptr;
}

#endif
