#pragma once
// The decoded state of one receiver link. Decoders on the reader thread store
// records here; listener windows read them back on the GUI thread in answer to
// the event the store raised. One model-wide lock guards every block and is
// held only while a record is copied in or out, never while an event is
// delivered, so a listener may read the model from inside its handler.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "link/ProtocolKind.h"
#include "model/ModelRecords.h"
#include "model/ReceiverEvent.h"
#include "model/ReceiverEventSink.h"

class CByteArray;
class CString;
class CProtocol;
class CConverterEngine;
class CFile;
struct IResetControl;

// Creates and destroys the hidden window the model keeps while attached. Only a
// seam: the model needs no messages, but a failed window is how the link owner
// learns the attach failed, and tests must be able to make it fail.
struct IModelWindow {
    virtual ~IModelWindow() {}
    virtual bool Create() = 0;
    virtual void Destroy() = 0;
};

// The window the current build gives a model: a real hidden window on
// Windows, one that always succeeds natively. The caller owns it.
IModelWindow* CreateModelWindow();

class CModel {
public:
    CModel();
    ~CModel();

    // ---- Lifecycle and notification ----
    // Creates the hidden window (false when that fails), keeps both pointers,
    // restarts the diagnostic log numbering and clears everything.
    bool Attach(IReceiverEventSink* controller, CProtocol* protocol);
    // Forgets both pointers, clears everything, closes the diagnostic log and
    // destroys the hidden window.
    void Detach();
    // Replaces the hidden-window seam (not owned; null restores the default).
    void SetWindow(IModelWindow* window);
    CProtocol* GetProtocol() const { return m_protocol; }
    // Replaces the link's reset control that Attach took from the protocol
    // (not owned; null: no reset ever ends here). For links without an engine
    // and for tests.
    void SetResetControl(IResetControl* control);

    // Hands an event to the owning controller; false without one.
    bool Notify(int32_t event, int32_t detail, bool send);

    // 1 everything, 13 the firmware records, 14 the product record.
    void ClearData(int selector);
    void ClearReportFlags();
    void ClearReportTexts();

    // ---- Frames and commands ----
    // Copies the frame, sends 34 with the kind, then forgets the kind.
    void SetLastRawFrame(ProtocolKind kind, const uint8_t* bytes, int length);
    // The kind is non-zero only while event 34 is being delivered.
    ProtocolKind GetLastRawFrame(CByteArray& out);
    void SetLastSentCommand(ProtocolKind kind, const uint8_t* bytes, int length);
    ProtocolKind GetLastSentCommand(CByteArray& out);

    uint32_t GetActivityFlags();
    // mask 0 clears every flag; else clear true clears the mask bits, false sets them.
    void SetActivityFlag(uint32_t mask, bool clear);
    bool GetChecksumFlag();

    // ---- QBIN CRC announcement ----
    void SetExpectedCrc(uint16_t size, uint16_t crc);
    // The pair that was checked last.
    void GetExpectedCrc(uint16_t& size, uint16_t& crc);
    // packet: id first; length counts id and data.
    bool CheckPacketCrc(const uint8_t* packet, int length);

    // ---- Identification ----
    // Takes a version report: source 0 the navigation firmware, source 1 a
    // second version (core or library) found beside it; false for any other
    // source. Ends a receiver reset under way (the receiver is back: the data
    // is cleared first), stores the firmware record (event 2, or 1 for a
    // plain source-1 record) and, while the product code is 0, derives the
    // receiver model from the version (event 54; 20 too for "Zenthos").
    bool IdentifyReceiver(const FirmwareVersionRecord& record, int source);
    bool GetFirmwareVersion(FirmwareVersionRecord& out, int which);
    // Firmware years are two digits: 2003 and 1999 compare as 3 and 99.
    bool IsFirmwareYearBefore(int year);
    void SetProductInfo(const ProductRecord& record);
    bool GetProductInfo(ProductRecord& out);
    CString GetReceiverName();
    // Takes the model code and derives the capability bits from it (event 54).
    void SetReceiverModel(int32_t code);
    int32_t GetReceiverModel();
    // True when the mask shares a bit with the capability bits, or both are 0.
    bool HasCapability(uint32_t mask);
    uint32_t GetCapabilityBits();
    void SetComponentVersion(const FirmwareVersionRecord& record, int index, bool notify);
    bool GetComponentVersions(ComponentVersionTable& out, int& count);

    // ---- Navigation ----
    bool UpdateNavState(const NavState& record, int32_t kind, CConverterEngine* converter);
    bool GetNavState(NavState& out);
    bool GetPreviousNavState(NavState& out);
    void SetTimeInfo(const GpsTimeInfo& record, bool alreadyGps, int32_t detail);
    bool GetTimeInfo(GpsTimeInfo& out);
    uint16_t GetGpsWeek();
    bool SetDiagTimeInfo(const GpsTimeInfo& record);
    bool GetDiagTimeInfo(GpsTimeInfo& out);
    void SetFixModeAndDops(const FixModeRecord& record, bool notify);
    bool GetFixModeAndDops(FixModeRecord& out);
    void SetDops(const DopRecord& dops);
    bool GetFixSvList(DopRecord& out);
    void SetReferenceAltitude(float value, uint8_t flag);
    bool GetReferenceAltitude(float& value, uint8_t& flag);
    bool IsInWindow() const;

    // ---- Receiver status ----
    void SetHealthStatus(uint32_t code);
    uint32_t GetHealthStatus();
    void SetHealthErrorBits(uint32_t value);
    uint32_t GetHealthErrorBits();
    void SetMachineId(uint32_t value);
    uint32_t GetMachineId();
    void SetStatusCode(uint32_t value);
    uint32_t GetStatusCode();
    void SetDgpsMode(uint8_t value);
    uint8_t GetDgpsMode();
    void SetDiagStatus(const DiagStatusRecord& record, int32_t detail);
    bool GetDiagStatus(DiagStatusRecord& out);
    void SetDiagTextRecord(const DiagTextRecord& record, int32_t detail);
    bool GetDiagTextRecord(DiagTextRecord& out);
    // index >= 0 adds " (requested by idx: %d)" to the text.
    void AddDiagMessage(int index, int32_t code, const char* text);
    bool GetDiagMessage(int n, int32_t& code, CString& text);
    int GetDiagMessageCount();
    // Keeps the diagnostic log file of the diagnostic report family.
    void WriteDiagLog(const uint8_t* report, int length);

    // ---- Satellites and signals ----
    void SetTrackingTable(const TrackingTable& table, int channel);
    bool GetTrackingTable(TrackingTable& out);
    void ClearTrackingEntry(int n);
    void SetSignalLevels(const SignalLevelTable& table);
    bool GetSignalLevels(SignalLevelTable& out);
    void SetRawMeasurement(const RawMeasurement& record);
    bool GetRawMeasurement(RawMeasurement& out);
    void SetSvFlags(const SvFlags& flags);
    bool GetSvFlags(SvFlags& out);
    void SetSvMaskWord(uint32_t value);
    bool GetSvMaskWord(uint32_t& out);

    // ---- System data ----
    void SetAlmanacHealthPage(const AlmanacHealthPage& record, bool notify);
    bool GetAlmanacHealthPage(AlmanacHealthPage& out);
    void SetAlmanac(const AlmanacRecord& record);
    bool GetAlmanac(AlmanacRecord& out);
    void SetEphemeris(const EphemerisRecord& record, bool notify);
    bool GetEphemeris(EphemerisRecord& out);
    void SetUtcParams(const UtcParams& record);
    bool GetUtcParams(UtcParams& out);
    void SetIonoParams(const IonoParams& record);
    bool GetIonoParams(IonoParams& out);

    // ---- Configuration ----
    void SetIoOptions(const IoOptions& options);
    // False until the receiver reported its options after the last
    // ClearData(1): the bytes are then zeros, not the receiver's.
    bool GetIoOptions(IoOptions& out);
    void SetFilterConfig(const FilterConfig& record);
    bool GetFilterConfig(FilterConfig& out);
    void SetNavConfig(const NavConfig& record);
    bool GetNavConfig(NavConfig& out);
    void SetDatum(const DatumRecord& record);
    bool GetDatum(DatumRecord& out);
    void SetPortConfig(const PortConfigRecord& record);
    bool GetPortConfig(PortConfigRecord& out);
    void SetNmeaOutputConfig(const NmeaOutputConfig& record);
    bool GetNmeaOutputConfig(NmeaOutputConfig& out);
    void SetQtxtConfig(const QtxtConfigRecord& record, int32_t event);
    bool GetQtxtConfig(QtxtConfigRecord& out);
    void SetSupplementalTiming(const SupplementalTiming& record);
    bool GetSupplementalTiming(SupplementalTiming& out);
    void SetTimingConfig(const TimingConfig& block, int32_t event);
    bool GetTimingConfig(TimingConfig& out);

    // ---- Monitor-mode memory reads ----
    // The address of the last memory read sent to the boot monitor; its reply
    // carries only the value.
    void SetMonReadAddress(uint32_t address);
    uint32_t GetMonReadAddress();

    // ---- Link bookkeeping ----
    void SetReportText(int n, const char* text);
    CString GetReportText(int n);
    void SetReportFlag(int n, bool value);
    bool GetReportFlag(int n);

    // ---- Diagnostic log set-up (process-wide) ----
    // The folder serial-link logs go to; fixed at start-up so file dialogs
    // moving the working directory do not scatter the logs.
    static void SetDiagLogFolder(const char* folder);
    static std::string GetDiagLogFolder();
    // The playback file the link reads, or "" on a serial link; decides the
    // diagnostic log's name.
    void SetPlaybackFileName(const char* name);

private:
    CModel(const CModel&);
    CModel& operator=(const CModel&);

    void ClearAllLocked();
    void ClearFirmwareLocked();
    void ClearProductLocked();
    void SetReceiverModelLocked(int32_t code);
    bool RaiseIf(bool notify, int32_t event, int32_t detail);
    void CloseDiagLog();
    bool OpenDiagLog();
    static void CalendarToGps(GpsTimeInfo& record);

    mutable std::mutex m_lock;
    // Read on every event the reader raises; atomic so that path takes no
    // lock (Attach and Detach run while no reader runs).
    std::atomic<IReceiverEventSink*> m_controller;
    CProtocol* m_protocol;
    IResetControl* m_resetControl;
    IModelWindow* m_window;       // the seam in use
    IModelWindow* m_ownWindow;    // the build's own window, made on first attach
    bool m_windowCreated;

    // Identification
    FirmwareVersionRecord m_firmware[2];
    ComponentVersionTable m_components;
    ProductRecord m_product;
    int32_t m_receiverModel;
    uint32_t m_capabilities;

    // Navigation
    NavState m_nav;
    NavState m_prevNav;
    FixModeRecord m_fixMode;
    DopRecord m_dops;
    GpsTimeInfo m_time;
    GpsTimeInfo m_diagTime;
    ReferenceAltitude m_refAltitude;

    // Receiver status
    uint32_t m_health;
    uint32_t m_healthErrors;
    uint32_t m_machineId;
    uint32_t m_statusCode;
    uint8_t m_dgpsMode;
    DiagStatusRecord m_diagStatus;
    DiagTextRecord m_diagText;
    std::vector<int32_t> m_diagCodes;
    std::vector<std::string> m_diagTexts;

    // Satellites and signals
    TrackingTable m_tracking;
    SignalLevelTable m_levels;
    RawMeasurement m_rawMeas;
    SvFlags m_svFlags;
    uint32_t m_svMask;

    // System data
    AlmanacHealthPage m_almHealth;
    AlmanacRecord m_almanac;
    EphemerisRecord m_ephemeris;
    UtcParams m_utc;
    IonoParams m_iono;

    // Configuration
    IoOptions m_ioOptions;
    bool m_ioOptionsReported = false;
    FilterConfig m_filter;
    NavConfig m_navConfig;
    DatumRecord m_datum;
    PortConfigRecord m_portConfig;
    NmeaOutputConfig m_nmeaOutput;
    QtxtConfigRecord m_qtxtConfig;
    SupplementalTiming m_suppTiming;
    TimingConfig m_timingConfig;

    // Link bookkeeping
    std::string m_reportTexts[MODEL_REPORT_TEXT_COUNT];
    bool m_reportFlags[MODEL_REPORT_FLAG_COUNT];
    std::vector<uint8_t> m_rawFrame;
    ProtocolKind m_rawFrameKind;
    std::vector<uint8_t> m_sentCommand;
    ProtocolKind m_sentCommandKind;
    std::atomic<uint32_t> m_activity;
    uint8_t m_checksumFlag;
    uint8_t m_inWindow;
    uint16_t m_expectedSize;
    uint16_t m_expectedCrc;
    uint16_t m_checkedSize;
    uint16_t m_checkedCrc;
    uint32_t m_monReadAddress;

    // Diagnostic log
    CFile* m_diagLog;
    int m_diagLogPart;
    int m_diagLogEnd;
    std::string m_playbackName;
};
