#pragma once
// One receiver link: its channel, protocol engine, data model, raw logger and,
// during a conversion, the converter engine; and the windows that listen to it.
//
// The open operations, Start, Disconnect and RestartReader run on the user
// interface thread. NotifyListeners runs mostly on the reader thread while the
// user interface adds and removes listeners, so the listener list sits under a
// lock; deliveries work on a copy taken under it and happen outside it, so a
// sent event never holds the lock while a window handles it.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "framework/WinTypes.h"
#include "link/CChannel.h"
#include "link/CConverterEngine.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "link/EventCoalescer.h"
#include "link/LinkPortSettings.h"
#include "link/PlaybackSettings.h"
#include "link/ProtocolKind.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "model/ReceiverEventSink.h"

// Error codes of the open operations.
enum : int32_t {
    LINK_ERROR_NONE = 0,
    LINK_ERROR_ATTACH = 2,       // the model or the link's hidden window could not be created
    LINK_ERROR_SERIAL = 3,       // the serial port refused to open with the settings
    LINK_ERROR_READER = 4,       // the reader thread could not be started
    LINK_ERROR_PLAYBACK = 5,     // the playback file could not be opened
    LINK_ERROR_CONVERTER = 6     // the converter engine could not create its outputs
};

// How the controller makes the parts of a link. The default makes the real
// serial port, playback channel and converter engine; tests hand in fakes that
// record what happens to them and can fail on demand.
struct ILinkFactory {
    virtual ~ILinkFactory() {}
    // An opened channel, or null when it cannot be opened (then nothing is left open).
    virtual CChannel* OpenSerial(const LinkPortSettings& settings) = 0;
    virtual CChannel* OpenPlayback(const PlaybackSettings& settings) = 0;
    virtual void DeleteChannel(CChannel* channel) { delete channel; }
    // A new engine, or null when none can be made.
    virtual CConverterEngine* CreateEngine() { return new CConverterEngine(); }
    virtual int OpenEngine(CConverterEngine& engine, const ConverterOptions& options, CModel* model)
    {
        return engine.Open(options, model);
    }
    virtual bool OnEngineEvent(CConverterEngine& engine, int32_t event)
    {
        return engine.OnModelEvent(event);
    }
    virtual void FinishEngine(CConverterEngine& engine) { engine.Finish(); }
    virtual void DeleteEngine(CConverterEngine* engine) { delete engine; }
};

// The real parts of this build.
ILinkFactory& GetSystemLinkFactory();

// The windows side: the link's hidden anchor window and message delivery to
// listeners. On Windows the real calls; natively nothing can be delivered.
struct IListenerWindows {
    virtual ~IListenerWindows() {}
    virtual bool CreateAnchor() = 0;
    virtual void DestroyAnchor() = 0;
    // PostMessage: false when the message could not be queued.
    virtual bool Post(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
    // SendMessage: the handler's result, 0 taken as failure.
    virtual LRESULT Send(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
};

// The windows side of this build for one controller; the caller owns it.
IListenerWindows* CreateListenerWindows();

class CController : public IReceiverEventSink {
public:
    CController();
    ~CController() override;
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    // Seams (not owned; null restores the default). Set while disconnected.
    void SetLinkFactory(ILinkFactory* factory);
    void SetListenerWindows(IListenerWindows* windows);

    // Each sets *error (when given) to 0 first and, on failure, to one of the
    // LINK_ERROR_* codes; a failed open always ends disconnected.
    bool OpenSerial(const LinkPortSettings& settings, ProtocolKind kind, int32_t* error);
    bool OpenPlayback(const PlaybackSettings& settings, ProtocolKind kind, int32_t* error);
    // 0 on success; otherwise non-zero: 1 with error 5 when the recording
    // cannot be opened (no output is made then), else the engine's own code
    // with error 6 (1: an output cannot be written, GetConversionFailedFile
    // names it; 2: the user would not have an output replaced). takenNames,
    // when given, holds the output names of the earlier files of a folder
    // run (see ConverterNameSet); it must outlive the conversion.
    int OpenConversion(const ConverterOptions& options, const PlaybackSettings& settings,
                       int32_t* error, ConverterNameSet* takenNames = nullptr);
    // The second half of every open: the anchor window, the model, the reader.
    // Kind 0 connects without a reader: commands go out, nothing is read.
    bool Start(ProtocolKind kind, int32_t* error);
    // Stops the logger and the reader, closes the channel, finishes the
    // engine, detaches the model. Listeners stay registered. Always true.
    bool Disconnect();
    // A new reader in `kind` on the same link; kind 0 leaves none running.
    bool RestartReader(ProtocolKind kind);
    // The protocol the link speaks, without restarting; false outside 0..21.
    bool SetProtocolKind(ProtocolKind kind);
    ProtocolKind GetProtocolKind();

    // A window once, with its message; a second add changes nothing.
    bool AddListener(HWND window, uint32_t message);
    bool RemoveListener(HWND window);
    int GetListenerCount();

    bool NotifyListeners(int32_t event, int32_t detail, bool send) override;
    // A replay's posted events thinned: a repeat of a state event within a
    // few milliseconds is held and its last one delivered later (see
    // CEventCoalescer). Position fixes, frames and the end of the data
    // always pass one by one. Off for every new link; set while connected.
    void SetEventCoalescing(bool on);

    // The raw terminal's passthroughs; -1 without a channel.
    int Read(BYTE* buffer, uint16_t length, int32_t timeoutMs);
    int Write(const BYTE* buffer, uint16_t length, int32_t timeoutMs);

    CProtocol& GetProtocol() { return m_protocol; }
    CModel& GetModel() { return m_model; }
    CRawLogger& GetRawLogger() { return m_rawLogger; }
    CChannel* GetChannel() { return m_channel; }
    CConverterEngine* GetConverterEngine() { return m_engine; }
    // The outcome of the conversion that runs, or of the last one once
    // Disconnect has finished its outputs: whether a create, write or
    // rename failed and which output it was, and the data lines written.
    bool HasConversionFailed() const;
    CString GetConversionFailedFile() const;
    int32_t GetConversionRecordCount() const;
    // The COM port number of a serial link or the playback settings' id; 0
    // while disconnected and during a conversion.
    uint32_t GetLinkId() const { return m_linkId.load(); }
    bool IsConnected() const { return m_connected; }
    // The logging gate: pauses the raw log without stopping it.
    void SetLoggingEnabled(bool enabled) { m_rawLogger.SetWriteEnabled(enabled); }
    bool IsLoggingEnabled() const { return m_rawLogger.IsWriteEnabled(); }

private:
    struct Listener {
        HWND window;
        uint32_t message;
    };

    ILinkFactory& Factory() { return m_factory ? *m_factory : GetSystemLinkFactory(); }
    IListenerWindows& Windows();
    void ReleaseChannel();
    void ReleaseEngine();

    // Held by value in this order: the model and logger outlive every reader.
    CProtocol m_protocol;
    CModel m_model;
    CRawLogger m_rawLogger;
    CConverterEngine* m_engine;
    CChannel* m_channel;

    std::mutex m_listenerLock;
    std::vector<Listener> m_listeners;

    bool m_connected;
    bool m_anchorCreated;
    std::atomic<uint32_t> m_linkId;
    // During a conversion: the end of the data has reached the listeners.
    std::atomic<bool> m_endDelivered;
    // The thinning of a replay's posted events (reader thread, under its lock).
    std::atomic<bool> m_coalesce{false};
    CEventCoalescer m_coalescer;
    std::mutex m_coalesceLock;
    bool Deliver(int32_t event, int32_t detail, bool send);
    // The outcome of the last conversion, kept when its engine goes.
    bool m_lastConversionFailed;
    CString m_lastConversionFailedFile;
    int32_t m_lastConversionRecords;

    ILinkFactory* m_factory;             // seam, not owned
    IListenerWindows* m_windows;         // seam in use
    IListenerWindows* m_ownWindows;      // this build's windows, owned
};
