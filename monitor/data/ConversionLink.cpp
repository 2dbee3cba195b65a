#include "data/ConversionLink.h"

#include "link/CPlaybackChannel.h"

ControllerConversionLink::ControllerConversionLink(CController& controller) : m_controller(controller)
{
    m_playback.speed = CPlaybackChannel::kMaxSpeed;
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
    PlaybackSettings settings = m_playback;
    settings.fileName = options.inputPath;
    const int result = m_controller.OpenConversion(options, settings, error, &m_takenNames);
    if (result == 0)
        if (CPlaybackChannel* channel = Playback()) m_inputSize = channel->GetFileLength();
    return result;
}

void ControllerConversionLink::Abort()
{
    if (CConverterEngine* engine = m_controller.GetConverterEngine()) engine->Abort();
}

int64_t ControllerConversionLink::GetReadPosition()
{
    CPlaybackChannel* channel = Playback();
    return channel != nullptr ? channel->GetProgressCount() : m_inputSize;
}

CPlaybackChannel* ControllerConversionLink::Playback()
{
    CChannel* channel = m_controller.GetChannel();
    if (channel == nullptr || channel->GetType() != CHANNEL_TYPE_PLAYBACK) return nullptr;
    return static_cast<CPlaybackChannel*>(channel);
}
