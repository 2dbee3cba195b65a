#include "link/CController.h"

#include <chrono>

#include <algorithm>

#include "link/CCommPort.h"
#include "link/CPlaybackChannel.h"

// ---------------------------------------------------------------------------
// The real parts

namespace {

class SystemLinkFactory : public ILinkFactory {
public:
    CChannel* OpenSerial(const LinkPortSettings& s) override
    {
        CCommPort* port = new CCommPort();
        if (!port->Open(s.portNumber, s.baudRate, s.parity, s.dataBits, s.stopBits)) {
            port->Close();
            delete port;
            return nullptr;
        }
        return port;
    }
    CChannel* OpenPlayback(const PlaybackSettings& s) override
    {
        CPlaybackChannel* channel = new CPlaybackChannel();
        if (!channel->Open(s)) {
            channel->Close();
            delete channel;
            return nullptr;
        }
        return channel;
    }
};

#ifndef _WIN32
// No window system natively: the anchor is nothing to create, and a message
// has nowhere to go.
class NoListenerWindows : public IListenerWindows {
public:
    bool CreateAnchor() override { return true; }
    void DestroyAnchor() override {}
    bool Post(HWND, uint32_t, WPARAM, LPARAM) override { return false; }
    LRESULT Send(HWND, uint32_t, WPARAM, LPARAM) override { return 0; }
};
#endif

} // namespace

ILinkFactory& GetSystemLinkFactory()
{
    static SystemLinkFactory factory;
    return factory;
}

#ifndef _WIN32
IListenerWindows* CreateListenerWindows() { return new NoListenerWindows(); }
#endif

// ---------------------------------------------------------------------------
// Lifecycle

CController::CController()
    : m_engine(nullptr), m_channel(nullptr), m_connected(false), m_anchorCreated(false),
      m_linkId(0), m_endDelivered(false), m_lastConversionFailed(false), m_lastConversionRecords(0),
      m_factory(nullptr), m_windows(nullptr),
      m_ownWindows(CreateListenerWindows())
{
}

CController::~CController()
{
    Disconnect();
    delete m_ownWindows;
}

void CController::SetLinkFactory(ILinkFactory* factory) { m_factory = factory; }

void CController::SetListenerWindows(IListenerWindows* windows) { m_windows = windows; }

IListenerWindows& CController::Windows()
{
    return m_windows ? *m_windows : *m_ownWindows;
}

void CController::ReleaseChannel()
{
    if (m_channel == nullptr) return;
    m_channel->Close();
    Factory().DeleteChannel(m_channel);
    m_channel = nullptr;
}

void CController::ReleaseEngine()
{
    if (m_engine == nullptr) return;
    // Finishing renames the outputs into place, which can fail too.
    Factory().FinishEngine(*m_engine);
    m_lastConversionFailed = m_engine->HasFailed();
    m_lastConversionFailedFile = m_engine->GetFailedFile();
    m_lastConversionRecords = m_engine->GetRecordCount();
    Factory().DeleteEngine(m_engine);
    m_engine = nullptr;
}

bool CController::HasConversionFailed() const
{
    return m_engine != nullptr ? m_engine->HasFailed() : m_lastConversionFailed;
}

CString CController::GetConversionFailedFile() const
{
    return m_engine != nullptr ? m_engine->GetFailedFile() : m_lastConversionFailedFile;
}

int32_t CController::GetConversionRecordCount() const
{
    return m_engine != nullptr ? m_engine->GetRecordCount() : m_lastConversionRecords;
}

static void SetError(int32_t* error, int32_t code)
{
    if (error) *error = code;
}

namespace {

uint32_t SteadyMs()
{
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

// Events every one of which a listener keeps (the position plot's track, the
// raw data windows, the commands sent, the end of the data).
bool IsKeptOneByOne(int32_t event)
{
    return event == EV_POSITION_LLA || event == EV_POSITION_XYZ || event == EV_RAW_FRAME ||
           event == EV_COMMAND_BYTES || event == EV_END_OF_DATA;
}

}  // namespace

void CController::SetEventCoalescing(bool on)
{
    std::lock_guard<std::mutex> g(m_coalesceLock);
    m_coalescer.Reset();
    m_coalesce = on;
}

bool CController::OpenSerial(const LinkPortSettings& settings, ProtocolKind kind, int32_t* error)
{
    SetEventCoalescing(false);
    SetError(error, LINK_ERROR_NONE);
    if (m_connected) Disconnect();
    m_linkId = settings.portNumber & 0xFF;
    m_channel = Factory().OpenSerial(settings);
    if (m_channel == nullptr) {
        SetError(error, LINK_ERROR_SERIAL);
        m_linkId = 0;
        return false;
    }
    m_model.SetPlaybackFileName("");
    return Start(kind, error);
}

bool CController::OpenPlayback(const PlaybackSettings& settings, ProtocolKind kind, int32_t* error)
{
    SetEventCoalescing(false);
    SetError(error, LINK_ERROR_NONE);
    if (m_connected) Disconnect();
    m_linkId = settings.linkId;
    m_channel = Factory().OpenPlayback(settings);
    if (m_channel == nullptr) {
        SetError(error, LINK_ERROR_PLAYBACK);
        m_linkId = 0;
        return false;
    }
    m_model.SetPlaybackFileName(settings.fileName);
    return Start(kind, error);
}

int CController::OpenConversion(const ConverterOptions& options, const PlaybackSettings& settings,
                                int32_t* error, ConverterNameSet* takenNames)
{
    SetError(error, LINK_ERROR_NONE);
    if (m_connected) Disconnect();
    m_linkId = 0;
    m_endDelivered = false;
    m_lastConversionFailed = false;
    m_lastConversionFailedFile.Empty();
    m_lastConversionRecords = 0;
    // The input first: a missing recording must fail before any output file
    // exists, and an output can never be created over the recording it reads.
    m_channel = Factory().OpenPlayback(settings);
    if (m_channel == nullptr) {
        SetError(error, LINK_ERROR_PLAYBACK);
        return 1;
    }
    m_model.SetPlaybackFileName(settings.fileName);
    m_engine = Factory().CreateEngine();
    if (m_engine == nullptr) {
        SetError(error, LINK_ERROR_CONVERTER);
        ReleaseChannel();
        return 1;
    }
    m_engine->SetTakenNames(takenNames);
    int result = Factory().OpenEngine(*m_engine, options, &m_model);
    if (result != 0) {
        SetError(error, LINK_ERROR_CONVERTER);
        ReleaseEngine();
        ReleaseChannel();
        return result;
    }
    return Start(PROTO_QBIN, error) ? 0 : 1;
}

bool CController::Start(ProtocolKind kind, int32_t* error)
{
    int32_t code = LINK_ERROR_NONE;
    if (!m_anchorCreated) {
        if (Windows().CreateAnchor())
            m_anchorCreated = true;
        else
            code = LINK_ERROR_ATTACH;
    }
    if (code == LINK_ERROR_NONE && !m_model.Attach(this, &m_protocol)) code = LINK_ERROR_ATTACH;
    if (code == LINK_ERROR_NONE && kind != PROTO_NONE && m_channel != nullptr &&
        !m_protocol.Start(m_channel, kind, &m_model, &m_rawLogger, m_engine))
        code = LINK_ERROR_READER;
    if (code == LINK_ERROR_NONE && kind == PROTO_NONE) m_protocol.SetProtocol(kind);
    // Connected even after a failure, so that the teardown below runs in full.
    m_connected = true;
    if (code != LINK_ERROR_NONE) {
        SetError(error, code);
        Disconnect();
        return false;
    }
    return true;
}

bool CController::Disconnect()
{
    if (!m_connected) return true;
    m_connected = false;
    // With no reader servicing the logger this closes the log at once.
    m_rawLogger.Configure(RAWLOG_REQUEST_STOP_CLOSING, nullptr);
    m_protocol.Stop();
    // Only now: events the reader raised until it ended still name their link.
    m_linkId = 0;
    ReleaseChannel();
    ReleaseEngine();
    m_model.Detach();
    if (m_anchorCreated) {
        Windows().DestroyAnchor();
        m_anchorCreated = false;
    }
    return true;
}

bool CController::RestartReader(ProtocolKind kind)
{
    if (!m_connected || !IsValidProtocolKind(kind)) return false;
    if (kind == PROTO_NONE || m_channel == nullptr) {
        // As in Start: kind 0 runs no reader.
        m_protocol.Stop();
        m_protocol.SetProtocol(kind);
        return true;
    }
    return m_protocol.Start(m_channel, kind, &m_model, &m_rawLogger, m_engine);
}

bool CController::SetProtocolKind(ProtocolKind kind)
{
    if (!IsValidProtocolKind(kind)) return false;
    m_protocol.SetProtocol(kind);
    return true;
}

ProtocolKind CController::GetProtocolKind() { return m_protocol.GetProtocol(); }

// ---------------------------------------------------------------------------
// Listeners

bool CController::AddListener(HWND window, uint32_t message)
{
    std::lock_guard<std::mutex> g(m_listenerLock);
    for (const Listener& l : m_listeners)
        if (l.window == window) return true;
    m_listeners.push_back(Listener{window, message});
    return true;
}

bool CController::RemoveListener(HWND window)
{
    std::lock_guard<std::mutex> g(m_listenerLock);
    m_listeners.erase(std::remove_if(m_listeners.begin(), m_listeners.end(),
                                     [window](const Listener& l) { return l.window == window; }),
                      m_listeners.end());
    return true;
}

int CController::GetListenerCount()
{
    std::lock_guard<std::mutex> g(m_listenerLock);
    return static_cast<int>(m_listeners.size());
}

bool CController::NotifyListeners(int32_t event, int32_t detail, bool send)
{
    // During a conversion the engine takes every event; listeners only learn
    // that the data ended, once. A writer that asks to stop ends the run
    // there: the reader leaves quietly after its frame, and the listeners
    // hear of the end now.
    if (m_engine != nullptr) {
        const bool goOn = Factory().OnEngineEvent(*m_engine, event);
        if (event != EV_END_OF_DATA && goOn) return true;
        if (!goOn) m_protocol.RequestStop();
        if (m_endDelivered.exchange(true)) return true;
        event = EV_END_OF_DATA;
        send = IsSentEvent(EV_END_OF_DATA);
    }
    if (m_coalesce && !send && m_engine == nullptr) {
        // A replay at full speed raises state events by the hundred thousand
        // a second; each post is a round trip to the window system, and the
        // windows show only the latest state. Repeats are held, and the last
        // of each still arrives (at the latest with the end of the data).
        const uint32_t now = SteadyMs();
        const bool end = event == EV_END_OF_DATA;
        std::lock_guard<std::mutex> g(m_coalesceLock);
        m_coalescer.TakeHeld(now, end, [this](int32_t e, int32_t d) { Deliver(e, d, false); });
        if (!IsKeptOneByOne(event) && !m_coalescer.Admit(event, detail, now)) return true;
    }
    return Deliver(event, detail, send);
}

bool CController::Deliver(int32_t event, int32_t detail, bool send)
{
    // The reader raises an event for nearly every frame: the snapshot lives
    // on the stack for the usual handful of listeners, so delivering one
    // allocates nothing.
    enum { kInlineListeners = 16 };
    Listener inlineSnapshot[kInlineListeners];
    std::vector<Listener> bigSnapshot;
    const Listener* snapshot = inlineSnapshot;
    size_t count = 0;
    {
        std::lock_guard<std::mutex> g(m_listenerLock);
        count = m_listeners.size();
        if (count <= kInlineListeners) {
            std::copy(m_listeners.begin(), m_listeners.end(), inlineSnapshot);
        } else {
            bigSnapshot = m_listeners;
            snapshot = bigSnapshot.data();
        }
    }
    const uint32_t lParam = ((m_linkId.load() & 0xFFFFu) << 16) | (static_cast<uint32_t>(detail) & 0xFFFFu);
    IListenerWindows& windows = Windows();
    bool ok = true;
    for (size_t i = 0; i < count; ++i) {
        const Listener& l = snapshot[i];
        if (send) {
            if (windows.Send(l.window, l.message, static_cast<WPARAM>(event),
                             static_cast<LPARAM>(lParam)) == 0)
                ok = false;
        } else if (!windows.Post(l.window, l.message, static_cast<WPARAM>(event),
                                 static_cast<LPARAM>(lParam))) {
            ok = false;
        }
    }
    return ok;
}

// ---------------------------------------------------------------------------
// Raw terminal

int CController::Read(BYTE* buffer, uint16_t length, int32_t timeoutMs)
{
    if (m_channel == nullptr) return -1;
    return m_channel->Read(buffer, length, timeoutMs);
}

int CController::Write(const BYTE* buffer, uint16_t length, int32_t timeoutMs)
{
    if (m_channel == nullptr) return -1;
    return m_channel->Write(buffer, length, timeoutMs);
}
