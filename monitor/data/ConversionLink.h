#pragma once
// The converter window's link: a CController of its own, used only for
// conversions, as the run sees it (IConversionLink).
//
// The controller finishes and deletes its engine when it disconnects, so a
// factory between the controller and the real parts keeps what the run asks
// afterwards: the output that could not be written and the final record count.
#include <cstdint>

#include "data/DataConverterCore.h"
#include "framework/WinTypes.h"
#include "link/CController.h"
#include "link/PlaybackSettings.h"

class CPlaybackChannel;

class ControllerConversionLink : public IConversionLink, private ILinkFactory {
public:
    // parts: what makes the channel and the engine (null: the real ones).
    // The controller takes this link as its factory while it lives.
    explicit ControllerConversionLink(CController& controller, ILinkFactory* parts = nullptr);
    ~ControllerConversionLink() override;
    ControllerConversionLink(const ControllerConversionLink&) = delete;
    ControllerConversionLink& operator=(const ControllerConversionLink&) = delete;

    // The parts of the next conversions (null: the real ones); tests hand in
    // a replay they can hold. Set while no conversion runs.
    void SetParts(ILinkFactory* parts) { m_parts = parts; }
    // Where the controller posts the end of data (WM_RECEIVER_EVENT to the window).
    void SetListener(HWND window, uint32_t message);

    bool Listen() override;
    void StopListening() override;
    int Open(const ConverterOptions& options, int32_t* error) override;
    void Abort() override;
    void Close() override;
    CString GetFailedFile() override { return m_failedFile; }
    bool HasFailed() override { return m_failed; }
    int32_t GetRecordCount() override;
    int64_t GetReadPosition() override;
    int64_t GetInputSize() override { return m_inputSize; }

private:
    ILinkFactory& Parts() { return m_parts != nullptr ? *m_parts : GetSystemLinkFactory(); }
    CPlaybackChannel* Playback();

    // ILinkFactory: everything goes to the parts; opening and finishing the
    // engine also keep its outcome.
    CChannel* OpenSerial(const LinkPortSettings& settings) override { return Parts().OpenSerial(settings); }
    CChannel* OpenPlayback(const PlaybackSettings& settings) override { return Parts().OpenPlayback(settings); }
    void DeleteChannel(CChannel* channel) override { Parts().DeleteChannel(channel); }
    CConverterEngine* CreateEngine() override { return Parts().CreateEngine(); }
    int OpenEngine(CConverterEngine& engine, const ConverterOptions& options, CModel* model) override;
    bool OnEngineEvent(CConverterEngine& engine, int32_t event) override { return Parts().OnEngineEvent(engine, event); }
    void FinishEngine(CConverterEngine& engine) override;
    void DeleteEngine(CConverterEngine* engine) override { Parts().DeleteEngine(engine); }

    CController& m_controller;
    ILinkFactory* m_parts;
    HWND m_window = nullptr;
    uint32_t m_message = 0;
    // Every recording is read as fast as it can be.
    PlaybackSettings m_playback;

    int64_t m_inputSize = 0;
    int32_t m_finalCount = 0;
    bool m_failed = false;
    CString m_failedFile;
};
