#include "data/ConversionLink.h"

#include "link/CPlaybackChannel.h"

ControllerConversionLink::ControllerConversionLink(CController& controller, ILinkFactory* parts)
    : m_controller(controller), m_parts(parts)
{
    m_playback.speed = CPlaybackChannel::kMaxSpeed;
    m_controller.SetLinkFactory(this);
}

ControllerConversionLink::~ControllerConversionLink()
{
    m_controller.Disconnect();
    m_controller.SetLinkFactory(nullptr);
}

void ControllerConversionLink::SetListener(HWND window, uint32_t message)
{
    m_window = window;
    m_message = message;
}

bool ControllerConversionLink::Listen()
{
    return m_window != nullptr && m_controller.AddListener(m_window, m_message);
}

void ControllerConversionLink::StopListening()
{
    if (m_window != nullptr) m_controller.RemoveListener(m_window);
}

int ControllerConversionLink::Open(const ConverterOptions& options, int32_t* error)
{
    m_inputSize = 0;
    m_finalCount = 0;
    m_failed = false;
    m_failedFile.Empty();
    PlaybackSettings settings = m_playback;
    settings.fileName = options.inputPath;
    const int result = m_controller.OpenConversion(options, settings, error);
    if (result == 0)
        if (CPlaybackChannel* channel = Playback()) m_inputSize = channel->GetFileLength();
    return result;
}

void ControllerConversionLink::Abort()
{
    if (CConverterEngine* engine = m_controller.GetConverterEngine()) engine->Abort();
}

void ControllerConversionLink::Close() { m_controller.Disconnect(); }

int32_t ControllerConversionLink::GetRecordCount()
{
    CConverterEngine* engine = m_controller.GetConverterEngine();
    return engine != nullptr ? engine->GetRecordCount() : m_finalCount;
}

int64_t ControllerConversionLink::GetReadPosition()
{
    CPlaybackChannel* channel = Playback();
    return channel != nullptr ? channel->GetReadCount() : m_inputSize;
}

CPlaybackChannel* ControllerConversionLink::Playback()
{
    CChannel* channel = m_controller.GetChannel();
    if (channel == nullptr || channel->GetType() != CHANNEL_TYPE_PLAYBACK) return nullptr;
    return static_cast<CPlaybackChannel*>(channel);
}

int ControllerConversionLink::OpenEngine(CConverterEngine& engine, const ConverterOptions& options, CModel* model)
{
    const int result = Parts().OpenEngine(engine, options, model);
    if (result != 0) m_failedFile = engine.GetFailedFile();
    return result;
}

void ControllerConversionLink::FinishEngine(CConverterEngine& engine)
{
    Parts().FinishEngine(engine);
    m_finalCount = engine.GetRecordCount();
    if (engine.HasFailed()) {
        m_failed = true;
        m_failedFile = engine.GetFailedFile();
    }
}
