#pragma once
// The converter window's link: a CController of its own, used only for
// conversions, as the run sees it (IConversionLink). The controller keeps a
// conversion's outcome after its engine is gone; this adds the output names
// a folder run has taken, so that two recordings of one folder never write
// the same output.
#include <cstdint>

#include "data/DataConverterCore.h"
#include "framework/WinTypes.h"
#include "link/CController.h"
#include "link/PlaybackSettings.h"

class CPlaybackChannel;

class ControllerConversionLink : public IConversionLink {
public:
    explicit ControllerConversionLink(CController& controller);
    ~ControllerConversionLink() override;
    ControllerConversionLink(const ControllerConversionLink&) = delete;
    ControllerConversionLink& operator=(const ControllerConversionLink&) = delete;

    // What the conversions' channel and engine are made by (null: the real
    // parts); tests hand in a replay they can hold. Set while none runs.
    void SetParts(ILinkFactory* parts) { m_controller.SetLinkFactory(parts); }
    // Where the controller posts the end of data (WM_RECEIVER_EVENT to the window).
    void SetListener(HWND window, uint32_t message);

    void BeginRun() override { m_takenNames.Clear(); }
    bool Listen() override;
    void StopListening() override;
    int Open(const ConverterOptions& options, int32_t* error) override;
    void Abort() override;
    void Close() override { m_controller.Disconnect(); }
    CString GetFailedFile() override { return m_controller.GetConversionFailedFile(); }
    bool HasFailed() override { return m_controller.HasConversionFailed(); }
    int32_t GetRecordCount() override { return m_controller.GetConversionRecordCount(); }
    int64_t GetReadPosition() override;
    int64_t GetInputSize() override { return m_inputSize; }

private:
    CPlaybackChannel* Playback();

    CController& m_controller;
    HWND m_window = nullptr;
    uint32_t m_message = 0;
    // Every recording is read as fast as it can be.
    PlaybackSettings m_playback;
    // The outputs of the run's earlier files; kept while the run lasts.
    ConverterNameSet m_takenNames;
    int64_t m_inputSize = 0;
};
