#pragma once
// The protocol engine of one receiver link: the single gateway to a receiver.
//
// It runs the reader thread (a replay is read in blocks of up to 64 KiB, a
// live port a byte at a time; each byte is recognised, checked, counted and
// decoded into the model, and logged raw), owns the link's protocol setting
// and vendor sub-mode, the statistics, the periodic auto-query with its three
// timers, and the one path by which every command leaves the program
// (WritePacket).
//
// Threads:
//   - The user-interface thread calls Start, Stop, SetProtocol, SetAutoQuery
//     and the commands, and receives the timers.
//   - The reader thread writes the statistics, the last protocol and the
//     vendor sub-mode, which the user interface reads while it runs; they are
//     atomics, as is the stop request.
//   - Other threads (a batch of queries) may send commands too: WritePacket is
//     serialised by the write lock, under which Stop also forgets the channel.
//
// Stopping is a hand-over: when Stop returns the reader thread has ended, so
// the caller may close and delete the channel. Every wait of the reader (the
// serial read, the pacing pause, the pause after a failed read, the pause at
// the end of a file) ends as soon as the stop event is set, and on Windows the
// wait in Stop keeps delivering messages sent to the waiting thread, so a
// reader that is sending an event to it can finish the send and leave.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "framework/WinTypes.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "link/ProtocolKind.h"
#include "link/ReaderThread.h"
#include "link/StopEvent.h"
#include "link/TimerHost.h"
#include "model/ModelRecords.h"
#include "model/ResetControl.h"
#include "protocol/QbinCommandRecords.h"

class CByteArray;
class CChannel;
class CString;
struct CommandBuilderTable;
class CConverterEngine;
class CModel;
class CRawLogger;
struct IReaderClock;

// The auto-query options; the main window copies its record in whole.
struct AutoQuerySettings {
    int32_t enabled = 1;
    int32_t querySelection = 1;        // satellite selection
    int32_t queryHealth = 1;
    int32_t queryRawMeasurements = 0;
    int32_t queryTime = 1;
    int32_t queryTracking = 1;
    int32_t periodSeconds = 1;
};

// The engine's timers.
enum : uint32_t {
    TIMER_CLEAR_REPORT_FLAGS = 15,  // 1 s after the output was reconfigured
    TIMER_RESET_DONE = 29,          // 3 s after a receiver reset
    TIMER_AUTO_QUERY = 100,         // every auto-query period
};

// Bits of CModel's activity flags that the engine sets.
enum : uint32_t {
    ACTIVITY_BYTE_RECEIVED = 1,
    ACTIVITY_BYTE_TRANSMITTED = 2,
};

class CProtocol : public IResetControl {
public:
    enum : uint32_t {
        kClearReportFlagsMs = 1000,
        kResetDoneMs = 3000,
        kQueryGapMs = 10,        // between two auto-query packets
        kFailedReadPauseMs = 10, // before a serial read is tried again
        kEndOfDataPauseMs = 10,  // before the end of a replay is announced
        kReplayBlockSize = 65536, // bytes of a replay read at once
    };

    CProtocol();
    // Stops a running reader: it uses this object.
    virtual ~CProtocol();
    CProtocol(const CProtocol&) = delete;
    CProtocol& operator=(const CProtocol&) = delete;

    // Starts the reader on `channel` with the protocol `kind`. Refused (false)
    // without a channel, model or raw logger, or for a kind outside 0..21. A
    // running reader is stopped first; the statistics, the last protocol and
    // the vendor sub-mode restart at 0. The reader runs above normal priority
    // on a live port and below normal on a replay. None of the objects is
    // owned; all must outlive the next Stop.
    bool Start(CChannel* channel, ProtocolKind kind, CModel* model, CRawLogger* rawLogger,
               CConverterEngine* converter = nullptr);

    // Asks the reader to stop, wakes it and waits until its thread has ended,
    // however long that takes; then forgets the channel, model, raw logger and
    // converter engine and drops the timers. Always true.
    // On Windows the wait delivers messages sent to this thread, and a Stop
    // called from the handler of a message the reader sent releases the
    // reader first (the event's data is then no longer valid). A Stop reached
    // from a handler that another Stop's wait delivers also waits for the
    // reader, and leaves the teardown to the outer Stop. Natively listeners
    // run on the reader thread, where Stop can only set the request.
    bool Stop();
    // Only asks the reader to stop (any thread, the reader's own included):
    // it leaves after the frame it is in, without announcing the end of the
    // data. Stop still has to wait for it.
    void RequestStop();

    // Kinds 10..16 are other makers' NMEA dialects: the protocol becomes 4 and
    // the kind the vendor sub-mode. Every other kind is taken as it is and
    // clears the sub-mode. False outside 0..21.
    bool SetProtocol(ProtocolKind kind);

    // The engine's timers (TIMER_*), delivered on the user-interface thread.
    void OnTimer(UINT_PTR timerId);

    // Takes the auto-query settings; only while started (false otherwise).
    // Enabled: one poll at once, then one every period. Either way the
    // report flags are cleared a second later and the report texts now.
    bool SetAutoQuery(const AutoQuerySettings& settings);
    const AutoQuerySettings& GetAutoQuery() const { return m_autoQuery; }

    // One auto-query cycle: health, then selection, tracking, raw
    // measurements and time, as enabled, the latter each after a 10 ms gap.
    void PollReceiverStatus();

    // Writes the whole array to a serial link: the bytes written, or -1. Only
    // a complete write of a non-empty array is recorded as the last command
    // (event 38, sent), announced (event 47, posted) and shown as transmit
    // activity. Nothing is ever written to a replay.
    // The command is recorded with the link's protocol.
    int WritePacket(const CByteArray& packet);
    // The same, recorded with `kind`: the protocol the packet was built in,
    // so that listeners label and un-stuff it correctly when it differs from
    // the link's (a version query or a raw command in another form).
    int WritePacket(const CByteArray& packet, ProtocolKind kind);
    // The same, for callers that compose a packet themselves.
    int SendPacket(const CByteArray& packet) { return WritePacket(packet); }

    // ---- Commands to the receiver ----
    // One method per command, named by what it does. Each builds the command
    // in the form of the link's protocol and vendor sub-mode and writes it
    // with WritePacket; a command the link's protocol cannot express, or an
    // argument its builder refuses, sends nothing. The result is true only
    // when every packet of the command was written in full (never on a
    // replay). setFlag: 1 sends the set form, any other value the query.
    // "QBIN only" commands send nothing on any other protocol; the ones
    // marked "no vendor dialect" send nothing while a vendor sub-mode is on.
    // Called on the user-interface thread; pauses between the packets of one
    // command block it for 10 ms each.

    // Queries (no vendor dialect).
    bool QueryReceiverHealth();
    bool QuerySatelliteTracking();
    bool QueryRawMeasurements();
    bool QuerySatelliteSelection();
    bool QueryAlmanacHealth();
    bool QueryAlmanacStatus();
    bool QueryUtcParameters();
    bool QueryIonosphere();
    bool QueryAlmanac(BYTE sv);
    bool QueryEphemeris(BYTE sv);
    // Forgets the model's version data, then asks in the link's protocol.
    bool QueryVersion();
    // Asks for the version in the form of `kind`; a vendor dialect with a
    // version query of its own uses that instead.
    bool QueryVersionAs(ProtocolKind kind);
    // Forgets the model's hardware data, then asks.
    bool QueryHardwareVersion();
    bool QuerySystemInfo();
    // The query form (flag 0) only.
    bool RequestSupplementalTiming(BYTE setFlag, BYTE request);

    // Receiver control.
    // Types 1 cold, 2 warm, 3 hot, 4 factory, 5 semi-warm, 6 semi-hot, 7.
    // Only a reset written in full marks the reset as under way (timer 29).
    bool ResetReceiver(int resetType);
    bool SaveConfiguration();
    bool SaveConfigSegments(BYTE segment);       // no vendor dialect
    bool RestoreDefaultSegments(BYTE segment);   // no vendor dialect
    // coordinateKind 0 latitude, longitude (radians), altitude (m); 1 ECEF
    // x, y, z (m). No vendor dialect.
    bool SetInitialPosition(int coordinateKind, int accuracy, bool doubles, const double coordinates[3]);
    // No vendor dialect; the auto-query uses the query form.
    bool SendGpsTime(BYTE setFlag, uint32_t timeOfWeek, uint16_t week);
    bool SendShutdownStandby(BYTE setFlag, const ShutdownStandbyRecord* record);
    // A command typed by the user, in the link's protocol or in `kind`:
    // QBIN and custom binary (18) take hex bytes, custom ASCII (19) the text
    // trimmed of blanks, NMEA, QTXT and QOP their sentence forms. error, when
    // given, says why a text built nothing.
    bool SendRawCommand(const char* text, CString* error = nullptr);
    bool SendRawCommandAs(ProtocolKind kind, const char* text, CString* error = nullptr);
    // QBIN: every access type; monitor mode: the 16-bit read (type 1) only.
    bool AccessMemory(BYTE accessType, uint32_t address, uint32_t value);

    // Configuration.
    bool SendReceiverConfig(BYTE setFlag, const NavConfig* config);       // no vendor dialect
    bool SendFilterConfig(BYTE setFlag, const FilterConfig* filter);      // no vendor dialect
    bool SendDatum(BYTE setFlag, uint16_t datumIndex);                    // no vendor dialect
    // states: one byte per satellite 1..32, non-zero = enabled. No vendor
    // dialect.
    bool SendSatelliteMasks(BYTE setFlag, const BYTE states[32], uint32_t mask);
    // No vendor dialect. A set also clears the model's report texts.
    bool SendIoOptions(BYTE setFlag, const IoOptions* options);
    bool SendPortConfig(BYTE setFlag, const PortConfigRecord* port);
    // Without a vendor sub-mode a set also clears the report texts now and
    // the report flags a second later.
    bool SendNmeaOutputConfig(BYTE setFlag, const NmeaOutputConfig* config);
    bool SendQtxtProtocols(BYTE setFlag, const PortConfigRecord* port);
    bool SendQtxtConfigByQbin(BYTE setFlag, const QtxtConfigRecord* config);
    // A set of either also clears the report texts and, later, the flags.
    bool SendQtxtFrequencyReporting(BYTE setFlag, const QtxtConfigRecord* config);
    bool SendQtxtDistanceReporting(BYTE setFlag, const QtxtConfigRecord* config);
    bool SendQtxtVehicleId(BYTE setFlag, const QtxtConfigRecord* config);
    bool SendQtxtReportingFlags(BYTE setFlag, const QtxtConfigRecord* config);
    // clearFlag -1 clears the reference altitude.
    bool SendReferenceAltitude(BYTE setFlag, float altitude, int clearFlag);

    // QBIN only (SendPpsSettings has an NMEA form too).
    bool SendSelfSurveyParams(BYTE setFlag, const TimingConfig* timing);
    bool SendSelfSurveyCommand(BYTE setFlag, BYTE code);
    bool SendPacketMask(BYTE setFlag, const TimingConfig* timing);
    bool SendAutoPacketMask(BYTE setFlag, uint32_t mask);
    bool SelectTimingSatellite(BYTE setFlag, BYTE sv);
    bool SendPpsSettings(BYTE setFlag, const TimingConfig* timing);
    bool SendPpsWidth(BYTE setFlag, const TimingConfig* timing);
    bool SendPpsOutputMode(BYTE setFlag, BYTE mode);
    bool SendTimingMode(BYTE setFlag, BYTE mode);
    bool SendDiscipliningParams(BYTE setFlag, BYTE type, const TimingConfig* timing);
    bool SendDiscipliningCommand(BYTE setFlag, BYTE code);
    bool SendDiagFrequency(BYTE setFlag, uint16_t frequencyCode);
    bool SendAdcAutoMode(BYTE setFlag, BYTE mode);
    bool SendTaskProfilingMask(BYTE setFlag, uint32_t taskMask);
    bool SendPowerSavingMode(BYTE setFlag, BYTE mode);
    bool SetStackReportInterval(BYTE setFlag, uint16_t interval);
    bool SetMessageQueueReportInterval(BYTE setFlag, uint16_t interval);
    bool SetSerialIoReportInterval(BYTE setFlag, uint16_t interval);
    bool SetCpuReportInterval(BYTE setFlag, uint16_t interval);
    bool EnableCustomOutputReport(BYTE setFlag, BYTE on);
    bool EnableTaskProfiling(BYTE setFlag, BYTE state);
    bool EnableMessageQueueProfiling(BYTE setFlag, BYTE state);
    bool EnableSimulatorMode(BYTE setFlag, BYTE mode);
    bool SendSimulatorControl(BYTE setFlag, BYTE control);
    bool SendTrackingTestCommand(BYTE type, const TrackingTestParams* params);
    bool SetDiagReportState(BYTE setFlag, BYTE reportType, BYTE state);
    bool SendGpioConfig(BYTE setFlag, const GpioConfig* config);
    bool SendProductConfig(BYTE setFlag, BYTE type, const ProductionRecord* record);
    bool SendErrorLogCommand(BYTE operation, uint16_t entry);
    bool SendXoAgingCommand(BYTE operation, BYTE zone, uint32_t value, uint16_t count);

    // Marks a receiver reset as under way until timer 29 clears it and the
    // receiver data with it. The reset command calls it once its packet left.
    void EnterResetInProgress();
    // Ends a reset under way, from any thread (a version report on the
    // reader thread ends it early): true when one was. Timer 29 then finds
    // the flag clear and leaves the data alone.
    bool EndResetInProgress() override { return m_resetInProgress.exchange(false); }

    // ---- State for the status display ----
    const LinkStatistics& GetStatistics() const { return m_statistics; }
    uint32_t GetStatistic(LinkCounter which) const { return m_statistics.Get(which); }
    ProtocolKind GetLastProtocol() const { return m_lastProtocol.load(); }
    ProtocolKind GetProtocol() const { return m_protocol.load(); }
    ProtocolKind GetVendorSubMode() const { return m_vendorSubMode.load(); }
    bool IsResetInProgress() const { return m_resetInProgress.load(); }
    bool IsStarted() const { return m_started.load(); }
    bool IsStopRequested() const { return m_stopRequest.load(); }
    // The reader's thread has been started and not yet waited for (it may
    // have ended by itself at the end of a replay).
    bool HasReaderThread() const { return m_thread.Exists(); }
    // The priority the reader was started with (READER_PRIORITY_*).
    int32_t GetReaderPriority() const { return m_thread.GetPriority(); }

    // The main window's 1 s tick sets it and its time display clears it: the
    // auto-query asks for the time only while it is set.
    void SetTimeQueryEnabled(bool enabled) { m_timeQueryEnabled.store(enabled); }
    bool IsTimeQueryEnabled() const { return m_timeQueryEnabled.load(); }

    // ---- Seams, set while stopped; null restores the default ----
    // Where the timers go. Default: a hidden window of the engine's own on
    // Windows (made at Start, destroyed at Stop); natively timers go nowhere.
    void SetTimerHost(ITimerHost* host) { m_injectedTimers = host; }
    // The pauses of the reader and of the auto-query. Default: the system's.
    void SetClock(IReaderClock* clock);
    // The checks and decoders the reader calls. Default: the real ones.
    void SetFrameDispatch(const FrameDispatchTable* dispatch) { m_dispatch = dispatch; }
    // The builders the commands call. Default: the real ones.
    void SetCommandBuilders(const CommandBuilderTable* builders);

private:
    class CReaderLink;
    friend class CReaderLink;

    static unsigned int ReaderEntry(void* self);
    void RunReader();
    // Why the reader leaves besides the end of a replay: a stop request, or a
    // conversion that stopped writing (aborted, or failed: then the end of
    // the data is announced all the same, so its owner finishes the run).
    enum ReaderExit { READER_GO_ON, READER_STOP, READER_END_OF_DATA };
    ReaderExit CheckReaderExit(const CConverterEngine* converter) const;
    void AnnounceEndOfData(CModel* model);
    // The command side's shared steps (CProtocolCommands.cpp).
    // Writes what a builder built, recorded as `kind`; nothing when it built
    // nothing. True when the whole packet was written.
    bool SendBuilt(bool built, const CByteArray& packet, ProtocolKind kind);
    // The 10 ms gap the receiver needs between two packets of one command.
    void PauseBetweenPackets();
    // After a command that changed what the receiver reports: the sources
    // shown are forgotten now and the sentence-seen flags a second later.
    void RestartReportTracking();
    void ClearModelReportTexts();
    void ClearModelData(int selector);
    CModel* LinkModel();
    // The baud of the serial port the link is open on; 0 on a replay.
    uint32_t GetLinkBaudRate();
    void ForgetLink();

    // The timer host's lifetime follows the started state. Defined per build:
    // the Windows build makes a hidden window unless a host was injected.
    bool CreateTimerWindow();
    void DestroyTimerWindow();
    void SetEngineTimer(uint32_t id, uint32_t ms);
    void KillEngineTimer(uint32_t id);

    // The link; read by the reader while it runs and by writers under the
    // write lock. Changed only while no reader runs (Start) or under the
    // write lock after the reader ended (Stop).
    CChannel* m_channel;
    CRawLogger* m_rawLogger;
    CConverterEngine* m_converter;
    CModel* m_model;
    std::mutex m_writeLock;

    std::atomic<bool> m_stopRequest;
    CStopEvent m_stopEvent;
    std::atomic<bool> m_timeQueryEnabled;
    std::atomic<bool> m_resetInProgress;
    CReaderThread m_thread;

    LinkStatistics m_statistics;
    std::atomic<ProtocolKind> m_lastProtocol;
    std::atomic<ProtocolKind> m_vendorSubMode;
    std::atomic<ProtocolKind> m_protocol;
    AutoQuerySettings m_autoQuery;
    std::atomic<bool> m_started;
    bool m_inStop;   // user-interface thread only

    ITimerHost* m_injectedTimers;
    ITimerHost* m_timers;     // the host in use while started, else null
    void* m_timerWindow;      // the build's own host object, when one was made
    IReaderClock* m_clock;
    const FrameDispatchTable* m_dispatch;
    const CommandBuilderTable* m_builders;
};
