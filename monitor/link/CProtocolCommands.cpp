// The command API of the protocol engine: one method per receiver command.
//
// Every method builds into a fresh array with the builder of the link's
// protocol (or vendor dialect) and hands it to WritePacket, recorded with the
// kind it was built in. A builder that builds nothing (an argument the
// protocol cannot express, or a form not built yet) leaves the array empty,
// and an empty array never reaches WritePacket: it would otherwise be
// announced to the listeners as a command sent.
#include "link/CProtocol.h"

#include "framework/CArray.h"
#include "framework/CString.h"
#include "link/CChannel.h"
#include "link/CCommPort.h"
#include "link/CommandBuilders.h"
#include "link/ReaderClock.h"
#include "model/CModel.h"

const CommandBuilderTable& GetDefaultCommandBuilders()
{
    // Every member defaults to the real builder of its name.
    static const CommandBuilderTable builders;
    return builders;
}

void CProtocol::SetCommandBuilders(const CommandBuilderTable* builders)
{
    m_builders = builders != nullptr ? builders : &GetDefaultCommandBuilders();
}

// ---- Shared steps ---------------------------------------------------------------

bool CProtocol::SendBuilt(bool built, const CByteArray& packet, ProtocolKind kind)
{
    const INT_PTR size = packet.GetSize();
    if (!built || size <= 0) return false;
    return WritePacket(packet, kind) == static_cast<int>(size);
}

void CProtocol::PauseBetweenPackets()
{
    m_clock->Sleep(kQueryGapMs);
}

CModel* CProtocol::LinkModel()
{
    // Stop forgets the model under the write lock; a command from a second
    // thread must not catch it half-way.
    std::lock_guard<std::mutex> hold(m_writeLock);
    return m_model;
}

void CProtocol::ClearModelReportTexts()
{
    CModel* model = LinkModel();
    if (model != nullptr) model->ClearReportTexts();
}

void CProtocol::ClearModelData(int selector)
{
    CModel* model = LinkModel();
    if (model != nullptr) model->ClearData(selector);
}

void CProtocol::RestartReportTracking()
{
    // The receiver's reports change with its output settings: the sources
    // shown are wrong from now on, and the flags of sentences seen are
    // cleared once the new output has had a second to start.
    SetEngineTimer(TIMER_CLEAR_REPORT_FLAGS, kClearReportFlagsMs);
    ClearModelReportTexts();
}

uint32_t CProtocol::GetLinkBaudRate()
{
    std::lock_guard<std::mutex> hold(m_writeLock);
    if (m_channel == nullptr || m_channel->GetType() != CHANNEL_TYPE_SERIAL) return 0;
    CCommPort* port = dynamic_cast<CCommPort*>(m_channel);
    return port != nullptr ? port->GetBaudRate() : 0;
}

namespace {

// Methods marked "no vendor dialect" have no form in other makers' NMEA.
inline bool InVendorDialect(ProtocolKind subMode) { return subMode != PROTO_NONE; }

} // namespace

// The commands of the QBIN-only table: nothing on any other protocol, and so
// in no vendor dialect (those run on NMEA).
// builderCall names the builder with its arguments, the array as `packet`.
#define SEND_QBIN_ONLY(builderCall)                                                        \
    do {                                                                                   \
        if (m_protocol.load() != PROTO_QBIN) return false;                                 \
        CByteArray packet;                                                                 \
        return SendBuilt(m_builders->builderCall, packet, PROTO_QBIN);                     \
    } while (0)

// ---- Queries --------------------------------------------------------------------

bool CProtocol::QueryReceiverHealth()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinHealthQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaHealthQuery(packet), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtStatusQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QuerySatelliteTracking()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinTrackingQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaGsvQuery(packet), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtLongNavQuery(packet), packet, protocol);
    case PROTO_QOP: return SendBuilt(m_builders->BuildQopSatelliteQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryRawMeasurements()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    SEND_QBIN_ONLY(BuildQbinRawMeasurementQuery(packet));
}

bool CProtocol::QuerySatelliteSelection()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinSelectionQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaGsaQuery(packet), packet, protocol);
    // The position/status message also carries the satellites used.
    case PROTO_QOP: return SendBuilt(m_builders->BuildQopPositionQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryAlmanacHealth()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinAlmanacHealthQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaAlmanacHealthQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryAlmanacStatus()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    if (m_protocol.load() != PROTO_NMEA) return false;
    CByteArray packet;
    return SendBuilt(m_builders->BuildNmeaAlmanacStatusQuery(packet), packet, PROTO_NMEA);
}

bool CProtocol::QueryUtcParameters()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinUtcQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaUtcQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryIonosphere()
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinIonosphereQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaIonoQuery(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryAlmanac(BYTE sv)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinAlmanacQuery(packet, sv), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaAlmanacQuery(packet, sv), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryEphemeris(BYTE sv)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinEphemerisQuery(packet, sv), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaEphemerisQuery(packet, sv), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QueryVersion()
{
    // Forgotten first, so the version shown is the one that answers this
    // query, not one left from before.
    ClearModelData(13);
    return QueryVersionAs(m_protocol.load());
}

bool CProtocol::QueryVersionAs(ProtocolKind kind)
{
    CByteArray packet;
    // Dialects with a version query of their own; the others (SiRF, u-blox,
    // Navman) answer the form of the kind asked for.
    switch (m_vendorSubMode.load()) {
    case PROTO_UNAV_NMEA: return SendBuilt(m_builders->BuildUnavVersionQuery(packet), packet, PROTO_NMEA);
    case PROTO_NEMERIX_NMEA: return SendBuilt(m_builders->BuildNemerixVersionQuery(packet), packet, PROTO_NMEA);
    case PROTO_QINETIQ_NMEA: return SendBuilt(m_builders->BuildQinetiqVersionQuery(packet), packet, PROTO_NMEA);
    case PROTO_TYCO_NMEA: return SendBuilt(m_builders->BuildTycoVersionQuery(packet), packet, PROTO_NMEA);
    default: break;
    }

    bool first = false;
    bool second = false;
    switch (kind) {
    case PROTO_QBIN:
        // The firmware version, then the software version the receiver keeps
        // separately; it takes two packets apart only with a gap between.
        first = SendBuilt(m_builders->BuildQbinVersionQuery(packet), packet, kind);
        PauseBetweenPackets();
        second = SendBuilt(m_builders->BuildQbinSoftwareVersionQuery(packet), packet, kind);
        return first && second;
    case PROTO_NMEA:
        // The navigation firmware, then the second processor.
        first = SendBuilt(m_builders->BuildNmeaVersionQuery(packet, 0), packet, kind);
        PauseBetweenPackets();
        second = SendBuilt(m_builders->BuildNmeaVersionQuery(packet, 1), packet, kind);
        return first && second;
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtVersionQuery(packet), packet, kind);
    case PROTO_KESTO:
        // The module queues its requests, so no gap is needed.
        first = SendBuilt(m_builders->BuildKestoRequest11(packet), packet, kind);
        second = SendBuilt(m_builders->BuildKestoRequest16(packet), packet, kind);
        return first && second;
    case PROTO_QOP: return SendBuilt(m_builders->BuildQopVersionQuery(packet), packet, kind);
    case PROTO_MON: return SendBuilt(m_builders->BuildMonVersionQuery(packet), packet, kind);
    default: return false;
    }
}

bool CProtocol::QueryHardwareVersion()
{
    ClearModelData(14);
    CByteArray packet;
    // These two dialects report the hardware in their version reply.
    switch (m_vendorSubMode.load()) {
    case PROTO_NEMERIX_NMEA: return SendBuilt(m_builders->BuildNemerixVersionQuery(packet), packet, PROTO_NMEA);
    case PROTO_QINETIQ_NMEA: return SendBuilt(m_builders->BuildQinetiqVersionQuery(packet), packet, PROTO_NMEA);
    default: break;
    }
    const ProtocolKind protocol = m_protocol.load();
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinHardwareQuery(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaHardwareQuery(packet), packet, protocol);
    case PROTO_KESTO: return SendBuilt(m_builders->BuildKestoRequest12(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::QuerySystemInfo()
{
    SEND_QBIN_ONLY(BuildQbinSystemInfoQuery(packet));
}

bool CProtocol::RequestSupplementalTiming(BYTE setFlag, BYTE request)
{
    SEND_QBIN_ONLY(BuildQbinSupplementalTimingQuery(packet, setFlag, request));
}

// ---- Receiver control -----------------------------------------------------------

bool CProtocol::ResetReceiver(int resetType)
{
    CByteArray packet;
    bool sent = false;
    switch (m_vendorSubMode.load()) {
    case PROTO_UBLOX_NMEA: sent = SendBuilt(m_builders->BuildUbxReset(packet, resetType), packet, PROTO_NMEA); break;
    case PROTO_UNAV_NMEA: sent = SendBuilt(m_builders->BuildUnavReset(packet, resetType), packet, PROTO_NMEA); break;
    case PROTO_NEMERIX_NMEA:
        sent = SendBuilt(m_builders->BuildNemerixReset(packet, resetType), packet, PROTO_NMEA);
        break;
    case PROTO_QINETIQ_NMEA:
        sent = SendBuilt(m_builders->BuildQinetiqReset(packet, resetType), packet, PROTO_NMEA);
        break;
    case PROTO_TYCO_NMEA: sent = SendBuilt(m_builders->BuildTycoReset(packet, resetType), packet, PROTO_NMEA); break;
    // Navman receivers take the SiRF forms.
    case PROTO_SIRF_NMEA:
    case PROTO_NAVMAN_NMEA: sent = SendBuilt(m_builders->BuildSirfReset(packet, resetType), packet, PROTO_NMEA); break;
    default: {
        const ProtocolKind protocol = m_protocol.load();
        switch (protocol) {
        case PROTO_QBIN: sent = SendBuilt(m_builders->BuildQbinReset(packet, resetType), packet, protocol); break;
        case PROTO_NMEA: sent = SendBuilt(m_builders->BuildNmeaReset(packet, resetType), packet, protocol); break;
        case PROTO_QTXT: sent = SendBuilt(m_builders->BuildQtxtReset(packet, resetType), packet, protocol); break;
        case PROTO_KESTO: sent = SendBuilt(m_builders->BuildKestoReset(packet, resetType), packet, protocol); break;
        case PROTO_QOP: sent = SendBuilt(m_builders->BuildQopSetDefaults(packet, resetType), packet, protocol); break;
        default: break;
        }
        break;
    }
    }
    // Only a receiver that got the reset goes silent and comes back with new
    // data: marking a reset that was never sent would wipe the model 3 s
    // later for nothing (a replay, a type the protocol cannot express).
    if (sent) EnterResetInProgress();
    return sent;
}

bool CProtocol::SaveConfiguration()
{
    CByteArray packet;
    const ProtocolKind subMode = m_vendorSubMode.load();
    if (subMode == PROTO_UBLOX_NMEA) return SendBuilt(m_builders->BuildUbxSaveConfig(packet), packet, PROTO_NMEA);
    // The other dialects keep their settings without being told.
    if (InVendorDialect(subMode)) return false;
    const ProtocolKind protocol = m_protocol.load();
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinSaveConfig(packet), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaSaveConfig(packet), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtSaveConfig(packet), packet, protocol);
    case PROTO_KESTO: return SendBuilt(m_builders->BuildKestoSaveConfig(packet), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SaveConfigSegments(BYTE segment)
{
    SEND_QBIN_ONLY(BuildQbinSaveSegments(packet, segment));
}

bool CProtocol::RestoreDefaultSegments(BYTE segment)
{
    SEND_QBIN_ONLY(BuildQbinRestoreSegments(packet, segment));
}

bool CProtocol::SetInitialPosition(int coordinateKind, int accuracy, bool doubles, const double coordinates[3])
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinInitialPosition(packet, coordinateKind, accuracy, doubles, coordinates),
                         packet, protocol);
    case PROTO_NMEA:
        return SendBuilt(m_builders->BuildNmeaInitialPosition(packet, coordinateKind, coordinates), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendGpsTime(BYTE setFlag, uint32_t timeOfWeek, uint16_t week)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinGpsTime(packet, setFlag, timeOfWeek, week), packet, protocol);
    case PROTO_NMEA:
        return SendBuilt(m_builders->BuildNmeaGpsTime(packet, setFlag, timeOfWeek, week), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtTimeQuery(packet, setFlag), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendShutdownStandby(BYTE setFlag, const ShutdownStandbyRecord* record)
{
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinShutdownStandby(packet, setFlag, record), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaShutdown(packet, setFlag, record), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendRawCommand(const char* text, CString* error)
{
    return SendRawCommandAs(m_protocol.load(), text, error);
}

bool CProtocol::SendRawCommandAs(ProtocolKind kind, const char* text, CString* error)
{
    if (error != nullptr) error->Empty();
    if (text == nullptr) text = "";
    CByteArray packet;
    switch (kind) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinFromHexText(packet, text, error), packet, kind);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaFromText(packet, text, error), packet, kind);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtFromText(packet, text, error), packet, kind);
    case PROTO_QOP: return SendBuilt(m_builders->BuildQopFromHexText(packet, text, error), packet, kind);
    case PROTO_CUSTOM_BIN:
        // The bytes as typed, without any framing: the user speaks for a
        // protocol the monitor does not know.
        return SendBuilt(ParseHexBytesText(text, packet, error), packet, kind);
    case PROTO_CUSTOM_ASCII: {
        // Blanks around a typed text are never meant to be sent.
        CString trimmed(text);
        trimmed.Trim();
        if (trimmed.IsEmpty()) {
            if (error != nullptr) *error = "Nothing to send";
            return false;
        }
        for (int i = 0; i < trimmed.GetLength(); ++i) packet.Add(static_cast<BYTE>(trimmed[i]));
        return SendBuilt(true, packet, kind);
    }
    default: return false;
    }
}

bool CProtocol::AccessMemory(BYTE accessType, uint32_t address, uint32_t value)
{
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinMemoryAccess(packet, accessType, address, value), packet, protocol);
    case PROTO_MON: {
        // The boot monitor's reply carries the value but not the address;
        // the model keeps the address for the reply's decoder.
        CModel* model = LinkModel();
        if (model != nullptr) model->SetMonReadAddress(address);
        return SendBuilt(m_builders->BuildMonMemoryRead(packet, accessType, address), packet, protocol);
    }
    default: return false;
    }
}

// ---- Configuration --------------------------------------------------------------

bool CProtocol::SendReceiverConfig(BYTE setFlag, const NavConfig* config)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinReceiverConfig(packet, setFlag, config), packet, protocol);
    case PROTO_NMEA: {
        // One NMEA sentence sets both records: the filter part keeps what the
        // receiver last reported.
        FilterConfig filter = FilterConfig();
        CModel* model = LinkModel();
        const bool haveFilter = model != nullptr && model->GetFilterConfig(filter);
        return SendBuilt(m_builders->BuildNmeaReceiverConfig(packet, setFlag, config, haveFilter ? &filter : nullptr),
                         packet, protocol);
    }
    default: return false;
    }
}

bool CProtocol::SendFilterConfig(BYTE setFlag, const FilterConfig* filter)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN:
        return SendBuilt(m_builders->BuildQbinFilterConfig(packet, setFlag, filter), packet, protocol);
    case PROTO_NMEA: {
        // The same sentence as the receiver configuration: the navigation
        // part keeps what the receiver last reported.
        NavConfig config = NavConfig();
        CModel* model = LinkModel();
        const bool haveConfig = model != nullptr && model->GetNavConfig(config);
        return SendBuilt(m_builders->BuildNmeaReceiverConfig(packet, setFlag, haveConfig ? &config : nullptr, filter),
                         packet, protocol);
    }
    default: return false;
    }
}

bool CProtocol::SendDatum(BYTE setFlag, uint16_t datumIndex)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinDatum(packet, setFlag, datumIndex), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaDatum(packet, setFlag, datumIndex), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendSatelliteMasks(BYTE setFlag, const BYTE states[32], uint32_t mask)
{
    if (InVendorDialect(m_vendorSubMode.load())) return false;
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    if (protocol == PROTO_NMEA)
        return SendBuilt(m_builders->BuildNmeaSatelliteMasks(packet, setFlag, states, mask), packet, protocol);
    if (protocol != PROTO_QBIN) return false;

    const bool set = setFlag == 1;
    // A set without the states would have to guess which satellites to
    // disable.
    if (set && states == nullptr) return false;
    bool anyEnabled = false;
    for (int i = 0; set && i < 32; ++i) anyEnabled = anyEnabled || states[i] != 0;

    bool all = true;
    if (anyEnabled) {
        // The receiver takes one satellite per packet, and needs a gap after
        // each to apply it.
        for (BYTE sv = 1; sv <= 32; ++sv) {
            all = SendBuilt(m_builders->BuildQbinSatelliteState(packet, 1, sv, states[sv - 1]), packet, protocol) && all;
            PauseBetweenPackets();
        }
    } else {
        // Satellite 0 stands for all of them: disable all, or ask for all.
        all = SendBuilt(m_builders->BuildQbinSatelliteState(packet, set ? 1 : setFlag, 0, 0), packet, protocol);
    }
    PauseBetweenPackets();
    const bool maskSent = SendBuilt(m_builders->BuildQbinSatelliteMask(packet, setFlag, mask), packet, protocol);
    return all && maskSent;
}

bool CProtocol::SendIoOptions(BYTE setFlag, const IoOptions* options)
{
    bool sent = false;
    if (!InVendorDialect(m_vendorSubMode.load()) && m_protocol.load() == PROTO_QBIN) {
        CByteArray packet;
        sent = SendBuilt(m_builders->BuildQbinIoOptions(packet, setFlag, options), packet, PROTO_QBIN);
    }
    // The options decide which reports come, so the sources shown may be
    // stale whatever the link speaks.
    if (setFlag == 1) ClearModelReportTexts();
    return sent;
}

bool CProtocol::SendPortConfig(BYTE setFlag, const PortConfigRecord* port)
{
    CByteArray packet;
    switch (m_vendorSubMode.load()) {
    case PROTO_UBLOX_NMEA: return SendBuilt(m_builders->BuildUbloxPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    case PROTO_UNAV_NMEA: return SendBuilt(m_builders->BuildUnavPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    case PROTO_NEMERIX_NMEA:
        return SendBuilt(m_builders->BuildNemerixPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    case PROTO_QINETIQ_NMEA:
        return SendBuilt(m_builders->BuildQinetiqPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    case PROTO_TYCO_NMEA: return SendBuilt(m_builders->BuildTycoPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    case PROTO_SIRF_NMEA:
    case PROTO_NAVMAN_NMEA:
        return SendBuilt(m_builders->BuildSirfPortConfig(packet, setFlag, port), packet, PROTO_NMEA);
    default: break;
    }
    const ProtocolKind protocol = m_protocol.load();
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinPortConfig(packet, setFlag, port), packet, protocol);
    case PROTO_NMEA: return SendBuilt(m_builders->BuildNmeaPortConfig(packet, setFlag, port), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtPortConfig(packet, setFlag, port), packet, protocol);
    case PROTO_QOP: return SendBuilt(m_builders->BuildQopPortCommand(packet, setFlag, port), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendNmeaOutputConfig(BYTE setFlag, const NmeaOutputConfig* config)
{
    CByteArray packet;
    switch (m_vendorSubMode.load()) {
    case PROTO_UBLOX_NMEA:
        return SendBuilt(m_builders->BuildUbloxOutputConfig(packet, setFlag, config), packet, PROTO_NMEA);
    case PROTO_UNAV_NMEA:
        return SendBuilt(m_builders->BuildUnavOutputConfig(packet, setFlag, config, GetLinkBaudRate()), packet,
                         PROTO_NMEA);
    case PROTO_NEMERIX_NMEA:
        return SendBuilt(m_builders->BuildNemerixOutputConfig(packet, setFlag, config), packet, PROTO_NMEA);
    case PROTO_QINETIQ_NMEA:
        return SendBuilt(m_builders->BuildQinetiqOutputConfig(packet, setFlag, config), packet, PROTO_NMEA);
    case PROTO_TYCO_NMEA:
        return SendBuilt(m_builders->BuildTycoOutputConfig(packet, setFlag, config, GetLinkBaudRate()), packet,
                         PROTO_NMEA);
    case PROTO_SIRF_NMEA:
    case PROTO_NAVMAN_NMEA:
        return SendBuilt(m_builders->BuildSirfOutputConfig(packet, setFlag, config), packet, PROTO_NMEA);
    default: break;
    }
    const ProtocolKind protocol = m_protocol.load();
    bool sent = false;
    switch (protocol) {
    case PROTO_QBIN:
        sent = SendBuilt(m_builders->BuildQbinNmeaOutputConfig(packet, setFlag, config), packet, protocol);
        break;
    case PROTO_NMEA:
        sent = SendBuilt(m_builders->BuildNmeaOutputConfig(packet, setFlag, config), packet, protocol);
        break;
    default: break;
    }
    if (setFlag == 1) RestartReportTracking();
    return sent;
}

bool CProtocol::SendQtxtProtocols(BYTE setFlag, const PortConfigRecord* port)
{
    if (m_protocol.load() != PROTO_QTXT) return false;
    CByteArray packet;
    return SendBuilt(m_builders->BuildQtxtProtocols(packet, setFlag, port), packet, PROTO_QTXT);
}

bool CProtocol::SendQtxtConfigByQbin(BYTE setFlag, const QtxtConfigRecord* config)
{
    SEND_QBIN_ONLY(BuildQbinQtxtConfig(packet, setFlag, config));
}

bool CProtocol::SendQtxtFrequencyReporting(BYTE setFlag, const QtxtConfigRecord* config)
{
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    bool sent = false;
    switch (protocol) {
    case PROTO_QBIN: sent = SendBuilt(m_builders->BuildQbinQtxtConfig(packet, setFlag, config), packet, protocol); break;
    case PROTO_QTXT:
        sent = SendBuilt(m_builders->BuildQtxtFrequencyReporting(packet, setFlag, config), packet, protocol);
        break;
    default: break;
    }
    if (setFlag == 1) RestartReportTracking();
    return sent;
}

bool CProtocol::SendQtxtDistanceReporting(BYTE setFlag, const QtxtConfigRecord* config)
{
    bool sent = false;
    if (m_protocol.load() == PROTO_QTXT) {
        CByteArray packet;
        sent = SendBuilt(m_builders->BuildQtxtDistanceReporting(packet, setFlag, config), packet, PROTO_QTXT);
    }
    if (setFlag == 1) RestartReportTracking();
    return sent;
}

bool CProtocol::SendQtxtVehicleId(BYTE setFlag, const QtxtConfigRecord* config)
{
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinQtxtConfig(packet, setFlag, config), packet, protocol);
    case PROTO_QTXT: return SendBuilt(m_builders->BuildQtxtVehicleId(packet, setFlag, config), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendQtxtReportingFlags(BYTE setFlag, const QtxtConfigRecord* config)
{
    const ProtocolKind protocol = m_protocol.load();
    CByteArray packet;
    switch (protocol) {
    case PROTO_QBIN: return SendBuilt(m_builders->BuildQbinQtxtConfig(packet, setFlag, config), packet, protocol);
    case PROTO_QTXT:
        return SendBuilt(m_builders->BuildQtxtReportingFlags(packet, setFlag, config), packet, protocol);
    default: return false;
    }
}

bool CProtocol::SendReferenceAltitude(BYTE setFlag, float altitude, int clearFlag)
{
    SEND_QBIN_ONLY(BuildQbinReferenceAltitude(packet, setFlag, altitude, clearFlag));
}

// ---- QBIN only ------------------------------------------------------------------

bool CProtocol::SendSelfSurveyParams(BYTE setFlag, const TimingConfig* timing)
{
    SEND_QBIN_ONLY(BuildQbinSelfSurveyParams(packet, setFlag, timing));
}

bool CProtocol::SendSelfSurveyCommand(BYTE setFlag, BYTE code)
{
    SEND_QBIN_ONLY(BuildQbinSelfSurveyCommand(packet, setFlag, code));
}

bool CProtocol::SendPacketMask(BYTE setFlag, const TimingConfig* timing)
{
    SEND_QBIN_ONLY(BuildQbinPacketMask(packet, setFlag, timing));
}

bool CProtocol::SendAutoPacketMask(BYTE setFlag, uint32_t mask)
{
    SEND_QBIN_ONLY(BuildQbinAutoPacketMask(packet, setFlag, mask));
}

bool CProtocol::SelectTimingSatellite(BYTE setFlag, BYTE sv)
{
    SEND_QBIN_ONLY(BuildQbinTimingSatellite(packet, setFlag, sv));
}

bool CProtocol::SendPpsSettings(BYTE setFlag, const TimingConfig* timing)
{
    // The one command of the timing set that the maker's NMEA can also say.
    if (m_protocol.load() == PROTO_NMEA && !InVendorDialect(m_vendorSubMode.load())) {
        CByteArray packet;
        return SendBuilt(m_builders->BuildNmeaPpsConfig(packet, setFlag, timing), packet, PROTO_NMEA);
    }
    SEND_QBIN_ONLY(BuildQbinPpsSettings(packet, setFlag, timing));
}

bool CProtocol::SendPpsWidth(BYTE setFlag, const TimingConfig* timing)
{
    SEND_QBIN_ONLY(BuildQbinPpsWidth(packet, setFlag, timing));
}

bool CProtocol::SendPpsOutputMode(BYTE setFlag, BYTE mode)
{
    SEND_QBIN_ONLY(BuildQbinPpsOutputMode(packet, setFlag, mode));
}

bool CProtocol::SendTimingMode(BYTE setFlag, BYTE mode)
{
    SEND_QBIN_ONLY(BuildQbinTimingMode(packet, setFlag, mode));
}

bool CProtocol::SendDiscipliningParams(BYTE setFlag, BYTE type, const TimingConfig* timing)
{
    SEND_QBIN_ONLY(BuildQbinDiscipliningParams(packet, setFlag, type, timing));
}

bool CProtocol::SendDiscipliningCommand(BYTE setFlag, BYTE code)
{
    SEND_QBIN_ONLY(BuildQbinDiscipliningCommand(packet, setFlag, code));
}

bool CProtocol::SendDiagFrequency(BYTE setFlag, uint16_t frequencyCode)
{
    SEND_QBIN_ONLY(BuildQbinDiagFrequency(packet, setFlag, frequencyCode));
}

bool CProtocol::SendAdcAutoMode(BYTE setFlag, BYTE mode)
{
    SEND_QBIN_ONLY(BuildQbinAdcAutoMode(packet, setFlag, mode));
}

bool CProtocol::SendTaskProfilingMask(BYTE setFlag, uint32_t taskMask)
{
    SEND_QBIN_ONLY(BuildQbinTaskProfilingMask(packet, setFlag, taskMask));
}

bool CProtocol::SendPowerSavingMode(BYTE setFlag, BYTE mode)
{
    SEND_QBIN_ONLY(BuildQbinPowerSavingMode(packet, setFlag, mode));
}

bool CProtocol::SetStackReportInterval(BYTE setFlag, uint16_t interval)
{
    SEND_QBIN_ONLY(BuildQbinStackReportInterval(packet, setFlag, interval));
}

bool CProtocol::SetMessageQueueReportInterval(BYTE setFlag, uint16_t interval)
{
    SEND_QBIN_ONLY(BuildQbinMessageQueueReportInterval(packet, setFlag, interval));
}

bool CProtocol::SetSerialIoReportInterval(BYTE setFlag, uint16_t interval)
{
    SEND_QBIN_ONLY(BuildQbinSerialIoReportInterval(packet, setFlag, interval));
}

bool CProtocol::SetCpuReportInterval(BYTE setFlag, uint16_t interval)
{
    SEND_QBIN_ONLY(BuildQbinCpuReportInterval(packet, setFlag, interval));
}

bool CProtocol::EnableCustomOutputReport(BYTE setFlag, BYTE on)
{
    SEND_QBIN_ONLY(BuildQbinCustomOutputReport(packet, setFlag, on));
}

bool CProtocol::EnableTaskProfiling(BYTE setFlag, BYTE state)
{
    SEND_QBIN_ONLY(BuildQbinTaskProfilingEnable(packet, setFlag, state));
}

bool CProtocol::EnableMessageQueueProfiling(BYTE setFlag, BYTE state)
{
    SEND_QBIN_ONLY(BuildQbinMessageQueueProfilingEnable(packet, setFlag, state));
}

bool CProtocol::EnableSimulatorMode(BYTE setFlag, BYTE mode)
{
    SEND_QBIN_ONLY(BuildQbinSimulatorMode(packet, setFlag, mode));
}

bool CProtocol::SendSimulatorControl(BYTE setFlag, BYTE control)
{
    SEND_QBIN_ONLY(BuildQbinSimulatorControl(packet, setFlag, control));
}

bool CProtocol::SendTrackingTestCommand(BYTE type, const TrackingTestParams* params)
{
    SEND_QBIN_ONLY(BuildQbinTrackingTest(packet, type, params));
}

bool CProtocol::SetDiagReportState(BYTE setFlag, BYTE reportType, BYTE state)
{
    SEND_QBIN_ONLY(BuildQbinDiagReportState(packet, setFlag, reportType, state));
}

bool CProtocol::SendGpioConfig(BYTE setFlag, const GpioConfig* config)
{
    SEND_QBIN_ONLY(BuildQbinGpioConfig(packet, setFlag, config));
}

bool CProtocol::SendProductConfig(BYTE setFlag, BYTE type, const ProductionRecord* record)
{
    SEND_QBIN_ONLY(BuildQbinProductConfig(packet, setFlag, type, record));
}

bool CProtocol::SendErrorLogCommand(BYTE operation, uint16_t entry)
{
    SEND_QBIN_ONLY(BuildQbinErrorLogCommand(packet, operation, entry));
}

bool CProtocol::SendXoAgingCommand(BYTE operation, BYTE zone, uint32_t value, uint16_t count)
{
    SEND_QBIN_ONLY(BuildQbinXoAgingCommand(packet, operation, zone, value, count));
}

#undef SEND_QBIN_ONLY
