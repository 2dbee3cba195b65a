// The engine's command API: which builder every method reaches on every
// protocol and vendor sub-mode, the exact QBIN packets and pauses of the
// multi-packet commands, and the side effects that must follow only a command
// that really left (event 38/47, the reset state) or any set (report texts,
// timer 15).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "ProtocolFakes.h"
#include "framework/CArray.h"
#include "framework/CString.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "link/CommandBuilders.h"
#include "model/CModel.h"
#include "model/ReceiverEvent.h"
#include "monitor/model/RecordingSink.h"

using namespace prototest;

namespace {

// ---- Builder spies ----------------------------------------------------------------
// Each spy records its call and builds a packet holding its own name, so the
// packets on the channel say which builders a method reached, in order.

std::vector<std::string> g_spyCalls;

template <typename T>
std::string ArgText(T value)
{
    if constexpr (std::is_same<T, const char*>::value) {
        return value != nullptr ? "\"" + std::string(value) + "\"" : "null";
    } else if constexpr (std::is_pointer<T>::value) {
        return value != nullptr ? "ptr" : "null";
    } else if constexpr (std::is_floating_point<T>::value) {
        return std::to_string(value);
    } else {
        return std::to_string(static_cast<long long>(value));
    }
}

template <typename... A>
bool Spy(CByteArray& packet, const char* name, A... args)
{
    std::string call = name;
    call += "(";
    bool first = true;
    for (const std::string& text : {std::string(), ArgText(args)...}) {
        if (text.empty()) continue;
        if (!first) call += ", ";
        call += text;
        first = false;
    }
    call += ")";
    g_spyCalls.push_back(call);
    packet.RemoveAll();
    for (const char* c = name; *c != '\0'; ++c) packet.Add(static_cast<BYTE>(*c));
    return true;
}

#define SPY(name) \
    table.name = [](CByteArray& packet, auto... args) -> bool { return Spy(packet, #name, args...); }

CommandBuilderTable MakeSpyTable()
{
    CommandBuilderTable table;
    SPY(BuildQbinHealthQuery); SPY(BuildQbinTrackingQuery); SPY(BuildQbinRawMeasurementQuery);
    SPY(BuildQbinSelectionQuery); SPY(BuildQbinVersionQuery); SPY(BuildQbinHardwareQuery);
    SPY(BuildQbinSoftwareVersionQuery); SPY(BuildQbinSystemInfoQuery); SPY(BuildQbinAlmanacHealthQuery);
    SPY(BuildQbinUtcQuery); SPY(BuildQbinIonosphereQuery); SPY(BuildQbinAlmanacQuery);
    SPY(BuildQbinEphemerisQuery); SPY(BuildQbinSaveConfig); SPY(BuildQbinSaveSegments);
    SPY(BuildQbinRestoreSegments); SPY(BuildQbinFromHexText); SPY(BuildQbinReset);
    SPY(BuildQbinInitialPosition); SPY(BuildQbinReceiverConfig); SPY(BuildQbinDatum); SPY(BuildQbinGpsTime);
    SPY(BuildQbinSatelliteState); SPY(BuildQbinSatelliteMask); SPY(BuildQbinIoOptions);
    SPY(BuildQbinFilterConfig); SPY(BuildQbinSelfSurveyParams); SPY(BuildQbinSelfSurveyCommand);
    SPY(BuildQbinSupplementalTimingQuery); SPY(BuildQbinPacketMask); SPY(BuildQbinAutoPacketMask);
    SPY(BuildQbinTimingSatellite); SPY(BuildQbinPpsSettings); SPY(BuildQbinPpsWidth);
    SPY(BuildQbinPpsOutputMode); SPY(BuildQbinTimingMode); SPY(BuildQbinDiscipliningParams);
    SPY(BuildQbinDiscipliningCommand); SPY(BuildQbinShutdownStandby); SPY(BuildQbinPortConfig);
    SPY(BuildQbinNmeaOutputConfig); SPY(BuildQbinQtxtConfig); SPY(BuildQbinReferenceAltitude);
    SPY(BuildQbinDiagFrequency); SPY(BuildQbinAdcAutoMode); SPY(BuildQbinTaskProfilingMask);
    SPY(BuildQbinPowerSavingMode); SPY(BuildQbinStackReportInterval); SPY(BuildQbinMessageQueueReportInterval);
    SPY(BuildQbinSerialIoReportInterval); SPY(BuildQbinCpuReportInterval); SPY(BuildQbinCustomOutputReport);
    SPY(BuildQbinTaskProfilingEnable); SPY(BuildQbinMessageQueueProfilingEnable); SPY(BuildQbinSimulatorMode);
    SPY(BuildQbinSimulatorControl); SPY(BuildQbinDiagReportState); SPY(BuildQbinGpioConfig);
    SPY(BuildQbinProductConfig); SPY(BuildQbinTrackingTest); SPY(BuildQbinMemoryAccess);
    SPY(BuildQbinErrorLogCommand); SPY(BuildQbinXoAgingCommand);

    SPY(BuildNmeaHealthQuery); SPY(BuildNmeaGsaQuery); SPY(BuildNmeaGsvQuery); SPY(BuildNmeaReset);
    SPY(BuildNmeaSaveConfig); SPY(BuildNmeaPortConfig); SPY(BuildNmeaReceiverConfig); SPY(BuildNmeaDatum);
    SPY(BuildNmeaGpsTime); SPY(BuildNmeaVersionQuery); SPY(BuildNmeaHardwareQuery); SPY(BuildNmeaOutputConfig);
    SPY(BuildNmeaFromText); SPY(BuildNmeaAlmanacStatusQuery); SPY(BuildNmeaEphemerisQuery);
    SPY(BuildNmeaAlmanacQuery); SPY(BuildNmeaAlmanacHealthQuery); SPY(BuildNmeaUtcQuery); SPY(BuildNmeaIonoQuery);
    SPY(BuildNmeaInitialPosition); SPY(BuildNmeaPpsConfig); SPY(BuildNmeaShutdown); SPY(BuildNmeaSatelliteMasks);

    SPY(BuildSirfReset); SPY(BuildSirfOutputConfig); SPY(BuildSirfPortConfig);
    SPY(BuildNemerixReset); SPY(BuildNemerixOutputConfig); SPY(BuildNemerixPortConfig);
    SPY(BuildNemerixVersionQuery); SPY(BuildQinetiqReset); SPY(BuildQinetiqOutputConfig);
    SPY(BuildQinetiqPortConfig); SPY(BuildQinetiqVersionQuery); SPY(BuildTycoReset); SPY(BuildTycoOutputConfig);
    SPY(BuildTycoPortConfig); SPY(BuildTycoVersionQuery); SPY(BuildUbxReset); SPY(BuildUbxSaveConfig);
    SPY(BuildUbloxOutputConfig); SPY(BuildUbloxPortConfig); SPY(BuildUnavReset); SPY(BuildUnavOutputConfig);
    SPY(BuildUnavPortConfig); SPY(BuildUnavVersionQuery);

    SPY(BuildQtxtStatusQuery); SPY(BuildQtxtLongNavQuery); SPY(BuildQtxtSaveConfig); SPY(BuildQtxtReset);
    SPY(BuildQtxtPortConfig); SPY(BuildQtxtProtocols); SPY(BuildQtxtTimeQuery); SPY(BuildQtxtVersionQuery);
    SPY(BuildQtxtFromText); SPY(BuildQtxtFrequencyReporting); SPY(BuildQtxtDistanceReporting);
    SPY(BuildQtxtVehicleId); SPY(BuildQtxtReportingFlags);

    SPY(BuildQopPositionQuery); SPY(BuildQopSatelliteQuery); SPY(BuildQopSetDefaults); SPY(BuildQopPortCommand);
    SPY(BuildQopVersionQuery); SPY(BuildQopFromHexText);

    SPY(BuildKestoRequest11); SPY(BuildKestoRequest16); SPY(BuildKestoRequest12); SPY(BuildKestoReset);
    SPY(BuildKestoSaveConfig);

    SPY(BuildMonVersionQuery); SPY(BuildMonMemoryRead);
    return table;
}

#undef SPY

// A serial port that keeps every packet written, as text (the spies' packets
// are their names).
class PacketChannel : public FakeChannel {
public:
    explicit PacketChannel(int type, CallLog* log) : FakeChannel(type, log) {}
    int Write(const BYTE* buf, uint16_t len, int32_t timeoutMs) override
    {
        packets.push_back(std::string(reinterpret_cast<const char*>(buf), len));
        return FakeChannel::Write(buf, len, timeoutMs);
    }
    std::vector<std::string> packets;
};

// Arguments handed to the commands; their values matter only where a test
// reads the packet.
const NavConfig kNav = {};
const FilterConfig kFilter = {};
const IoOptions kIo = {0x02, 0x00, 0x01, 0x00};
const PortConfigRecord kPort = {1, 115200, 1, 2, 7, 0, 0x02, 0x02};
const NmeaOutputConfig kOutput = {1, 0x1F};
const QtxtConfigRecord kQtxt = {};
const TimingConfig kTiming = {};
const ShutdownStandbyRecord kShutdown = {'S', 0, 0, 10};
const GpioConfig kGpio = {0, 1, 2, 3, 4, 5, 6};
const ProductionRecord kProduction = {};
const TrackingTestParams kTrackingTest = {};
const double kCoordinates[3] = {0.5, 0.25, 100.0};
const BYTE kNoStates[32] = {};

enum : int { kWholeWrite = 0x7FFFFFFF };

class CommandApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Attach(&sink, &protocol));
        protocol.SetClock(&clock);
        protocol.SetTimerHost(&timers);
        g_spyCalls.clear();
    }
    void TearDown() override
    {
        sink.onEvent = nullptr;
        protocol.Stop();
        model.Detach();
        protocol.SetCommandBuilders(nullptr);
    }

    // Starts the engine on a new channel that never delivers a byte (a
    // replay that never ends raises no event of its own). The fixture owns
    // the channel, so it outlives the reader until TearDown stops it.
    PacketChannel& Open(int channelType, ProtocolKind kind, int writeResult = kWholeWrite)
    {
        protocol.Stop();
        channel.reset(new PacketChannel(channelType, &log));
        channel->SetEndWhenEmpty(false);
        if (writeResult != kWholeWrite) channel->SetWriteResult(writeResult);
        EXPECT_TRUE(protocol.Start(channel.get(), kind, &model, &logger));
        Forget();
        return *channel;
    }
    void Forget()
    {
        log.Clear();
        sink.Clear();
        g_spyCalls.clear();
    }
    // The kinds recorded with the commands, in the order they were sent.
    void RecordSentKinds()
    {
        sink.onEvent = [this](int32_t event, int32_t) {
            if (event != EV_COMMAND_BYTES) return;
            CByteArray sent;
            sentKinds.push_back(model.GetLastSentCommand(sent));
        };
    }

    CallLog log;
    FakeClock clock{&log};
    RecordingTimerHost timers{&log};
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
    std::unique_ptr<PacketChannel> channel;
    std::vector<ProtocolKind> sentKinds;
};

// ---- Routing table -----------------------------------------------------------------

typedef std::map<std::string, std::vector<std::string>> Routes;

struct Link {
    const char* label;   // protocol, or "4/" and the vendor sub-mode
    ProtocolKind kind;   // what SetProtocol is given
};

const Link kLinks[] = {
    {"3", PROTO_QBIN}, {"4", PROTO_NMEA}, {"5", PROTO_QTXT}, {"6", PROTO_KESTO}, {"7", PROTO_QOP},
    {"18", PROTO_CUSTOM_BIN}, {"19", PROTO_CUSTOM_ASCII}, {"20", PROTO_MON},
    {"4/10", PROTO_SIRF_NMEA}, {"4/11", PROTO_UBLOX_NMEA}, {"4/12", PROTO_UNAV_NMEA},
    {"4/13", PROTO_NEMERIX_NMEA}, {"4/14", PROTO_QINETIQ_NMEA}, {"4/15", PROTO_TYCO_NMEA},
    {"4/16", PROTO_NAVMAN_NMEA},
};
const char* const kVendorLinks[] = {"4/10", "4/11", "4/12", "4/13", "4/14", "4/15", "4/16"};

// The NMEA form on the plain NMEA link and in every vendor dialect.
Routes WithNmeaEverywhere(Routes routes, const std::vector<std::string>& nmea)
{
    routes["4"] = nmea;
    for (const char* link : kVendorLinks) routes[link] = nmea;
    return routes;
}

// Every vendor dialect with its own builder, Navman taking SiRF's.
Routes WithVendors(Routes routes, const char* sirf, const char* ublox, const char* unav, const char* nemerix,
                   const char* qinetiq, const char* tyco)
{
    const char* names[] = {sirf, ublox, unav, nemerix, qinetiq, tyco, sirf};
    for (int i = 0; i < 7; ++i)
        if (names[i] != nullptr) routes[kVendorLinks[i]] = {names[i]};
    return routes;
}

struct MethodRoutes {
    const char* method;
    std::function<bool(CProtocol&)> call;
    Routes routes;  // links not listed send nothing
};

std::vector<MethodRoutes> RoutingTable()
{
    typedef std::vector<std::string> V;
    const V nmeaVersion = {"BuildNmeaVersionQuery", "BuildNmeaVersionQuery"};
    return {
        {"QueryReceiverHealth", [](CProtocol& p) { return p.QueryReceiverHealth(); },
         {{"3", {"BuildQbinHealthQuery"}}, {"4", {"BuildNmeaHealthQuery"}}, {"5", {"BuildQtxtStatusQuery"}}}},
        {"QuerySatelliteTracking", [](CProtocol& p) { return p.QuerySatelliteTracking(); },
         {{"3", {"BuildQbinTrackingQuery"}}, {"4", {"BuildNmeaGsvQuery"}}, {"5", {"BuildQtxtLongNavQuery"}},
          {"7", {"BuildQopSatelliteQuery"}}}},
        {"QueryRawMeasurements", [](CProtocol& p) { return p.QueryRawMeasurements(); },
         {{"3", {"BuildQbinRawMeasurementQuery"}}}},
        {"QuerySatelliteSelection", [](CProtocol& p) { return p.QuerySatelliteSelection(); },
         {{"3", {"BuildQbinSelectionQuery"}}, {"4", {"BuildNmeaGsaQuery"}}, {"7", {"BuildQopPositionQuery"}}}},
        {"QueryVersion", [](CProtocol& p) { return p.QueryVersion(); },
         WithVendors(WithNmeaEverywhere({{"3", {"BuildQbinVersionQuery", "BuildQbinSoftwareVersionQuery"}},
                                         {"5", {"BuildQtxtVersionQuery"}},
                                         {"6", {"BuildKestoRequest11", "BuildKestoRequest16"}},
                                         {"7", {"BuildQopVersionQuery"}}, {"20", {"BuildMonVersionQuery"}}},
                                        nmeaVersion),
                     nullptr, nullptr, "BuildUnavVersionQuery", "BuildNemerixVersionQuery",
                     "BuildQinetiqVersionQuery", "BuildTycoVersionQuery")},
        // The form of the kind asked for, on any link, unless the dialect has
        // its own query.
        {"QueryVersionAs(KESTO)", [](CProtocol& p) { return p.QueryVersionAs(PROTO_KESTO); },
         [] {
             Routes r;
             for (const Link& l : kLinks) r[l.label] = {"BuildKestoRequest11", "BuildKestoRequest16"};
             return WithVendors(r, nullptr, nullptr, "BuildUnavVersionQuery", "BuildNemerixVersionQuery",
                                "BuildQinetiqVersionQuery", "BuildTycoVersionQuery");
         }()},
        {"QuerySystemInfo", [](CProtocol& p) { return p.QuerySystemInfo(); }, {{"3", {"BuildQbinSystemInfoQuery"}}}},
        {"QueryHardwareVersion", [](CProtocol& p) { return p.QueryHardwareVersion(); },
         [] {
             Routes r = WithNmeaEverywhere({{"3", {"BuildQbinHardwareQuery"}}, {"6", {"BuildKestoRequest12"}}},
                                           {"BuildNmeaHardwareQuery"});
             r["4/13"] = {"BuildNemerixVersionQuery"};
             r["4/14"] = {"BuildQinetiqVersionQuery"};
             return r;
         }()},
        {"QueryAlmanacHealth", [](CProtocol& p) { return p.QueryAlmanacHealth(); },
         {{"3", {"BuildQbinAlmanacHealthQuery"}}, {"4", {"BuildNmeaAlmanacHealthQuery"}}}},
        {"QueryAlmanacStatus", [](CProtocol& p) { return p.QueryAlmanacStatus(); },
         {{"4", {"BuildNmeaAlmanacStatusQuery"}}}},
        {"QueryUtcParameters", [](CProtocol& p) { return p.QueryUtcParameters(); },
         {{"3", {"BuildQbinUtcQuery"}}, {"4", {"BuildNmeaUtcQuery"}}}},
        {"QueryIonosphere", [](CProtocol& p) { return p.QueryIonosphere(); },
         {{"3", {"BuildQbinIonosphereQuery"}}, {"4", {"BuildNmeaIonoQuery"}}}},
        {"QueryAlmanac", [](CProtocol& p) { return p.QueryAlmanac(5); },
         {{"3", {"BuildQbinAlmanacQuery"}}, {"4", {"BuildNmeaAlmanacQuery"}}}},
        {"QueryEphemeris", [](CProtocol& p) { return p.QueryEphemeris(5); },
         {{"3", {"BuildQbinEphemerisQuery"}}, {"4", {"BuildNmeaEphemerisQuery"}}}},
        {"RequestSupplementalTiming", [](CProtocol& p) { return p.RequestSupplementalTiming(0, 2); },
         {{"3", {"BuildQbinSupplementalTimingQuery"}}}},

        {"ResetReceiver", [](CProtocol& p) { return p.ResetReceiver(1); },
         WithVendors({{"3", {"BuildQbinReset"}}, {"4", {"BuildNmeaReset"}}, {"5", {"BuildQtxtReset"}},
                      {"6", {"BuildKestoReset"}}, {"7", {"BuildQopSetDefaults"}}},
                     "BuildSirfReset", "BuildUbxReset", "BuildUnavReset", "BuildNemerixReset", "BuildQinetiqReset",
                     "BuildTycoReset")},
        {"SaveConfiguration", [](CProtocol& p) { return p.SaveConfiguration(); },
         {{"3", {"BuildQbinSaveConfig"}}, {"4", {"BuildNmeaSaveConfig"}}, {"5", {"BuildQtxtSaveConfig"}},
          {"6", {"BuildKestoSaveConfig"}}, {"4/11", {"BuildUbxSaveConfig"}}}},
        {"SaveConfigSegments", [](CProtocol& p) { return p.SaveConfigSegments(1); },
         {{"3", {"BuildQbinSaveSegments"}}}},
        {"RestoreDefaultSegments", [](CProtocol& p) { return p.RestoreDefaultSegments(1); },
         {{"3", {"BuildQbinRestoreSegments"}}}},
        {"SetInitialPosition", [](CProtocol& p) { return p.SetInitialPosition(0, 1, true, kCoordinates); },
         {{"3", {"BuildQbinInitialPosition"}}, {"4", {"BuildNmeaInitialPosition"}}}},
        {"SendGpsTime", [](CProtocol& p) { return p.SendGpsTime(1, 345600, 1024); },
         {{"3", {"BuildQbinGpsTime"}}, {"4", {"BuildNmeaGpsTime"}}, {"5", {"BuildQtxtTimeQuery"}}}},
        {"SendShutdownStandby", [](CProtocol& p) { return p.SendShutdownStandby(1, &kShutdown); },
         WithNmeaEverywhere({{"3", {"BuildQbinShutdownStandby"}}}, {"BuildNmeaShutdown"})},
        // Raw text in the link's protocol; 18 and 19 are built here, not by a
        // builder of the table.
        {"SendRawCommand", [](CProtocol& p) { return p.SendRawCommand(" 52 41 57 "); },
         WithNmeaEverywhere({{"3", {"BuildQbinFromHexText"}}, {"5", {"BuildQtxtFromText"}},
                             {"7", {"BuildQopFromHexText"}}, {"18", {"RAW"}}, {"19", {"52 41 57"}}},
                            {"BuildNmeaFromText"})},
        {"AccessMemory", [](CProtocol& p) { return p.AccessMemory(1, 0x1000, 0); },
         {{"3", {"BuildQbinMemoryAccess"}}, {"20", {"BuildMonMemoryRead"}}}},

        {"SendReceiverConfig", [](CProtocol& p) { return p.SendReceiverConfig(1, &kNav); },
         {{"3", {"BuildQbinReceiverConfig"}}, {"4", {"BuildNmeaReceiverConfig"}}}},
        {"SendFilterConfig", [](CProtocol& p) { return p.SendFilterConfig(1, &kFilter); },
         {{"3", {"BuildQbinFilterConfig"}}, {"4", {"BuildNmeaReceiverConfig"}}}},
        {"SendDatum", [](CProtocol& p) { return p.SendDatum(1, 16); },
         {{"3", {"BuildQbinDatum"}}, {"4", {"BuildNmeaDatum"}}}},
        {"SendSatelliteMasks", [](CProtocol& p) { return p.SendSatelliteMasks(0, kNoStates, 0); },
         {{"3", {"BuildQbinSatelliteState", "BuildQbinSatelliteMask"}}, {"4", {"BuildNmeaSatelliteMasks"}}}},
        {"SendIoOptions", [](CProtocol& p) { return p.SendIoOptions(1, &kIo); }, {{"3", {"BuildQbinIoOptions"}}}},
        {"SendPortConfig", [](CProtocol& p) { return p.SendPortConfig(1, &kPort); },
         WithVendors({{"3", {"BuildQbinPortConfig"}}, {"4", {"BuildNmeaPortConfig"}}, {"5", {"BuildQtxtPortConfig"}},
                      {"7", {"BuildQopPortCommand"}}},
                     "BuildSirfPortConfig", "BuildUbloxPortConfig", "BuildUnavPortConfig", "BuildNemerixPortConfig",
                     "BuildQinetiqPortConfig", "BuildTycoPortConfig")},
        {"SendNmeaOutputConfig", [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); },
         WithVendors({{"3", {"BuildQbinNmeaOutputConfig"}}, {"4", {"BuildNmeaOutputConfig"}}},
                     "BuildSirfOutputConfig", "BuildUbloxOutputConfig", "BuildUnavOutputConfig",
                     "BuildNemerixOutputConfig", "BuildQinetiqOutputConfig", "BuildTycoOutputConfig")},
        {"SendQtxtProtocols", [](CProtocol& p) { return p.SendQtxtProtocols(1, &kPort); },
         {{"5", {"BuildQtxtProtocols"}}}},
        {"SendQtxtConfigByQbin", [](CProtocol& p) { return p.SendQtxtConfigByQbin(1, &kQtxt); },
         {{"3", {"BuildQbinQtxtConfig"}}}},
        {"SendQtxtFrequencyReporting", [](CProtocol& p) { return p.SendQtxtFrequencyReporting(1, &kQtxt); },
         {{"3", {"BuildQbinQtxtConfig"}}, {"5", {"BuildQtxtFrequencyReporting"}}}},
        {"SendQtxtDistanceReporting", [](CProtocol& p) { return p.SendQtxtDistanceReporting(1, &kQtxt); },
         {{"5", {"BuildQtxtDistanceReporting"}}}},
        {"SendQtxtVehicleId", [](CProtocol& p) { return p.SendQtxtVehicleId(1, &kQtxt); },
         {{"3", {"BuildQbinQtxtConfig"}}, {"5", {"BuildQtxtVehicleId"}}}},
        {"SendQtxtReportingFlags", [](CProtocol& p) { return p.SendQtxtReportingFlags(1, &kQtxt); },
         {{"3", {"BuildQbinQtxtConfig"}}, {"5", {"BuildQtxtReportingFlags"}}}},
        {"SendReferenceAltitude", [](CProtocol& p) { return p.SendReferenceAltitude(1, 12.5f, 0); },
         {{"3", {"BuildQbinReferenceAltitude"}}}},

        // The QBIN-only commands; the PPS settings also have an NMEA form.
        {"SendSelfSurveyParams", [](CProtocol& p) { return p.SendSelfSurveyParams(1, &kTiming); },
         {{"3", {"BuildQbinSelfSurveyParams"}}}},
        {"SendSelfSurveyCommand", [](CProtocol& p) { return p.SendSelfSurveyCommand(1, 0); },
         {{"3", {"BuildQbinSelfSurveyCommand"}}}},
        {"SendPacketMask", [](CProtocol& p) { return p.SendPacketMask(1, &kTiming); },
         {{"3", {"BuildQbinPacketMask"}}}},
        {"SendAutoPacketMask", [](CProtocol& p) { return p.SendAutoPacketMask(1, 5); },
         {{"3", {"BuildQbinAutoPacketMask"}}}},
        {"SelectTimingSatellite", [](CProtocol& p) { return p.SelectTimingSatellite(1, 7); },
         {{"3", {"BuildQbinTimingSatellite"}}}},
        {"SendPpsSettings", [](CProtocol& p) { return p.SendPpsSettings(1, &kTiming); },
         {{"3", {"BuildQbinPpsSettings"}}, {"4", {"BuildNmeaPpsConfig"}}}},
        {"SendPpsWidth", [](CProtocol& p) { return p.SendPpsWidth(1, &kTiming); }, {{"3", {"BuildQbinPpsWidth"}}}},
        {"SendPpsOutputMode", [](CProtocol& p) { return p.SendPpsOutputMode(1, 1); },
         {{"3", {"BuildQbinPpsOutputMode"}}}},
        {"SendTimingMode", [](CProtocol& p) { return p.SendTimingMode(1, 1); }, {{"3", {"BuildQbinTimingMode"}}}},
        {"SendDiscipliningParams", [](CProtocol& p) { return p.SendDiscipliningParams(1, 0, &kTiming); },
         {{"3", {"BuildQbinDiscipliningParams"}}}},
        {"SendDiscipliningCommand", [](CProtocol& p) { return p.SendDiscipliningCommand(1, 0); },
         {{"3", {"BuildQbinDiscipliningCommand"}}}},
        {"SendDiagFrequency", [](CProtocol& p) { return p.SendDiagFrequency(1, 3); },
         {{"3", {"BuildQbinDiagFrequency"}}}},
        {"SendAdcAutoMode", [](CProtocol& p) { return p.SendAdcAutoMode(1, 1); }, {{"3", {"BuildQbinAdcAutoMode"}}}},
        {"SendTaskProfilingMask", [](CProtocol& p) { return p.SendTaskProfilingMask(1, 9); },
         {{"3", {"BuildQbinTaskProfilingMask"}}}},
        {"SendPowerSavingMode", [](CProtocol& p) { return p.SendPowerSavingMode(1, 1); },
         {{"3", {"BuildQbinPowerSavingMode"}}}},
        {"SetStackReportInterval", [](CProtocol& p) { return p.SetStackReportInterval(1, 5); },
         {{"3", {"BuildQbinStackReportInterval"}}}},
        {"SetMessageQueueReportInterval", [](CProtocol& p) { return p.SetMessageQueueReportInterval(1, 5); },
         {{"3", {"BuildQbinMessageQueueReportInterval"}}}},
        {"SetSerialIoReportInterval", [](CProtocol& p) { return p.SetSerialIoReportInterval(1, 5); },
         {{"3", {"BuildQbinSerialIoReportInterval"}}}},
        {"SetCpuReportInterval", [](CProtocol& p) { return p.SetCpuReportInterval(1, 5); },
         {{"3", {"BuildQbinCpuReportInterval"}}}},
        {"EnableCustomOutputReport", [](CProtocol& p) { return p.EnableCustomOutputReport(1, 1); },
         {{"3", {"BuildQbinCustomOutputReport"}}}},
        {"EnableTaskProfiling", [](CProtocol& p) { return p.EnableTaskProfiling(1, 0); },
         {{"3", {"BuildQbinTaskProfilingEnable"}}}},
        {"EnableMessageQueueProfiling", [](CProtocol& p) { return p.EnableMessageQueueProfiling(1, 0); },
         {{"3", {"BuildQbinMessageQueueProfilingEnable"}}}},
        {"EnableSimulatorMode", [](CProtocol& p) { return p.EnableSimulatorMode(1, 1); },
         {{"3", {"BuildQbinSimulatorMode"}}}},
        {"SendSimulatorControl", [](CProtocol& p) { return p.SendSimulatorControl(1, 1); },
         {{"3", {"BuildQbinSimulatorControl"}}}},
        {"SendTrackingTestCommand", [](CProtocol& p) { return p.SendTrackingTestCommand(0, &kTrackingTest); },
         {{"3", {"BuildQbinTrackingTest"}}}},
        {"SetDiagReportState", [](CProtocol& p) { return p.SetDiagReportState(1, 2, 1); },
         {{"3", {"BuildQbinDiagReportState"}}}},
        {"SendGpioConfig", [](CProtocol& p) { return p.SendGpioConfig(1, &kGpio); },
         {{"3", {"BuildQbinGpioConfig"}}}},
        {"SendProductConfig", [](CProtocol& p) { return p.SendProductConfig(1, 1, &kProduction); },
         {{"3", {"BuildQbinProductConfig"}}}},
        {"SendErrorLogCommand", [](CProtocol& p) { return p.SendErrorLogCommand(1, 4); },
         {{"3", {"BuildQbinErrorLogCommand"}}}},
        {"SendXoAgingCommand", [](CProtocol& p) { return p.SendXoAgingCommand(1, 2, 3, 4); },
         {{"3", {"BuildQbinXoAgingCommand"}}}},
    };
}

TEST_F(CommandApiTest, EveryMethodReachesTheBuilderOfTheLinksProtocolAndDialectOrSendsNothing)
{
    const CommandBuilderTable spies = MakeSpyTable();
    protocol.SetCommandBuilders(&spies);
    PacketChannel& port = Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);

    for (const MethodRoutes& method : RoutingTable()) {
        for (const Link& link : kLinks) {
            SCOPED_TRACE(std::string(method.method) + " on " + link.label);
            ASSERT_TRUE(protocol.SetProtocol(link.kind));
            port.packets.clear();
            const auto found = method.routes.find(link.label);
            const std::vector<std::string> expected =
                found != method.routes.end() ? found->second : std::vector<std::string>();

            const bool sent = method.call(protocol);

            EXPECT_EQ(port.packets, expected);
            EXPECT_EQ(sent, !expected.empty());
        }
    }
}

TEST_F(CommandApiTest, ArgumentsReachTheBuilderAndNmeaConfigurationJoinsTheModelsOtherRecord)
{
    const CommandBuilderTable spies = MakeSpyTable();
    protocol.SetCommandBuilders(&spies);
    Open(CHANNEL_TYPE_SERIAL, PROTO_NMEA);
    model.SetNavConfig(kNav);
    model.SetFilterConfig(kFilter);
    Forget();

    struct Case {
        ProtocolKind link;
        std::function<bool(CProtocol&)> call;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {PROTO_NMEA, [](CProtocol& p) { return p.SendReceiverConfig(1, &kNav); },
         {"BuildNmeaReceiverConfig(1, ptr, ptr)"}},
        {PROTO_NMEA, [](CProtocol& p) { return p.SendFilterConfig(0, &kFilter); },
         {"BuildNmeaReceiverConfig(0, ptr, ptr)"}},
        {PROTO_NMEA, [](CProtocol& p) { return p.QueryVersion(); },
         {"BuildNmeaVersionQuery(0)", "BuildNmeaVersionQuery(1)"}},
        {PROTO_NMEA, [](CProtocol& p) { return p.ResetReceiver(4); }, {"BuildNmeaReset(4)"}},
        {PROTO_NMEA, [](CProtocol& p) { return p.SendGpsTime(0, 0, 0); }, {"BuildNmeaGpsTime(0, 0, 0)"}},
        {PROTO_QOP, [](CProtocol& p) { return p.ResetReceiver(1); }, {"BuildQopSetDefaults(1)"}},
        {PROTO_QTXT, [](CProtocol& p) { return p.SendRawCommand("  QST "); }, {"BuildQtxtFromText(\"  QST \", null)"}},
        {PROTO_MON, [](CProtocol& p) { return p.AccessMemory(1, 0x1000, 7); }, {"BuildMonMemoryRead(1, 4096)"}},
        // A replay has no port, hence no baud to repeat; here it is a plain
        // fake port, which has none either.
        {PROTO_TYCO_NMEA, [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); },
         {"BuildTycoOutputConfig(1, ptr, 0)"}},
        {PROTO_QBIN, [](CProtocol& p) { return p.SendXoAgingCommand(1, 2, 3, 4); },
         {"BuildQbinXoAgingCommand(1, 2, 3, 4)"}},
        {PROTO_QBIN, [](CProtocol& p) { return p.SetInitialPosition(1, 0, false, kCoordinates); },
         {"BuildQbinInitialPosition(1, 0, 0, ptr)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.calls.front());
        ASSERT_TRUE(protocol.SetProtocol(c.link));
        g_spyCalls.clear();
        EXPECT_TRUE(c.call(protocol));
        EXPECT_EQ(g_spyCalls, c.calls);
    }
}

// ---- QBIN packets ------------------------------------------------------------------

TEST_F(CommandApiTest, QbinCommandsWriteTheirPacketsWithTheirPausesAndTimers)
{
    BYTE oneEnabled[32] = {};
    oneEnabled[4] = 1;
    std::vector<std::string> thirtyThree;
    for (int sv = 1; sv <= 32; ++sv) {
        char line[40];
        // Satellite 0x10 is a DLE and goes out doubled.
        if (sv == 0x10)
            snprintf(line, sizeof(line), "write 10 39 02 10 10 10 03");
        else
            snprintf(line, sizeof(line), "write 10 39 %s %02X 10 03", sv == 5 ? "01" : "02", sv);
        thirtyThree.push_back(line);
        thirtyThree.push_back("sleep 10");
    }
    thirtyThree.push_back("sleep 10");
    thirtyThree.push_back("write 10 C2 10 10 00 00 10 10 10 03");

    struct Case {
        const char* name;
        std::function<bool(CProtocol&)> call;
        bool result;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"health", [](CProtocol& p) { return p.QueryReceiverHealth(); }, true, {"write 10 26 10 03"}},
        {"tracking", [](CProtocol& p) { return p.QuerySatelliteTracking(); }, true, {"write 10 3C 00 10 03"}},
        {"version", [](CProtocol& p) { return p.QueryVersionAs(PROTO_QBIN); }, true,
         {"write 10 1C 02 10 03", "sleep 10", "write 10 1F 10 03"}},
        {"hardware", [](CProtocol& p) { return p.QueryHardwareVersion(); }, true, {"write 10 1C 03 10 03"}},
        {"datum set 16", [](CProtocol& p) { return p.SendDatum(1, 16); }, true, {"write 10 8E 15 00 10 10 10 03"}},
        {"save", [](CProtocol& p) { return p.SaveConfiguration(); }, true, {"write 10 8E 26 10 03"}},
        {"memory read", [](CProtocol& p) { return p.AccessMemory(1, 0x1000, 0); }, true,
         {"write 10 3F 01 02 01 00 00 10 10 00 10 03"}},
        {"GPS time set", [](CProtocol& p) { return p.SendGpsTime(1, 345600, 1024); }, true,
         {"write 10 2E 48 A8 C0 00 04 00 10 03"}},
        {"reset hot", [](CProtocol& p) { return p.ResetReceiver(3); }, true,
         {"write 10 25 10 03", "set timer 29 3000"}},
        {"reset type 8", [](CProtocol& p) { return p.ResetReceiver(8); }, false, {}},
        {"masks, one satellite enabled", [&](CProtocol& p) { return p.SendSatelliteMasks(1, oneEnabled, 0x10000010); },
         true, thirtyThree},
        {"masks, all disabled", [](CProtocol& p) { return p.SendSatelliteMasks(1, kNoStates, 0x10000010); }, true,
         {"write 10 39 02 00 10 03", "sleep 10", "write 10 C2 10 10 00 00 10 10 10 03"}},
        {"masks query", [](CProtocol& p) { return p.SendSatelliteMasks(0, kNoStates, 0x10000010); }, true,
         {"write 10 39 03 00 10 03", "sleep 10", "write 10 C2 10 03"}},
        {"masks set without states", [](CProtocol& p) { return p.SendSatelliteMasks(1, nullptr, 1); }, false, {}},
        {"output config set", [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); }, true,
         {"write 10 7A 00 01 00 00 00 1F 10 03", "set timer 15 1000"}},
        {"output config query", [](CProtocol& p) { return p.SendNmeaOutputConfig(0, &kOutput); }, true,
         {"write 10 7A 00 10 03"}},
        {"raw hex", [](CProtocol& p) { return p.SendRawCommand("8E 26"); }, true, {"write 10 8E 26 10 03"}},
        {"raw hex with a bad token", [](CProtocol& p) { return p.SendRawCommand("8E zz"); }, false, {}},
        {"raw custom binary", [](CProtocol& p) { return p.SendRawCommandAs(PROTO_CUSTOM_BIN, "8E 26"); }, true,
         {"write 8E 26"}},
        {"raw custom ASCII", [](CProtocol& p) { return p.SendRawCommandAs(PROTO_CUSTOM_ASCII, "  AB  "); }, true,
         {"write 41 42"}},
        {"raw custom ASCII, blanks only", [](CProtocol& p) { return p.SendRawCommandAs(PROTO_CUSTOM_ASCII, " \t "); },
         false, {}},
        {"raw custom binary, empty", [](CProtocol& p) { return p.SendRawCommandAs(PROTO_CUSTOM_BIN, ""); }, false,
         {}},
        {"PPS width 0", [](CProtocol& p) { return p.SendPpsWidth(1, &kTiming); }, false, {}},
        {"PPS width query", [](CProtocol& p) { return p.SendPpsWidth(0, &kTiming); }, true, {"write 10 8E 4F 10 03"}},
    };

    Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Forget();
        EXPECT_EQ(c.call(protocol), c.result);
        EXPECT_EQ(log.Entries(), c.expected);
    }
}

TEST_F(CommandApiTest, TheKindRecordedIsTheKindTheCommandWasBuiltIn)
{
    Open(CHANNEL_TYPE_SERIAL, PROTO_NMEA);
    RecordSentKinds();

    EXPECT_TRUE(protocol.QueryVersionAs(PROTO_QBIN));
    EXPECT_TRUE(protocol.SendRawCommandAs(PROTO_CUSTOM_BIN, "41"));
    EXPECT_TRUE(protocol.SendRawCommandAs(PROTO_CUSTOM_ASCII, "A"));
    EXPECT_TRUE(protocol.SendRawCommandAs(PROTO_QBIN, "26"));

    EXPECT_EQ(sentKinds, (std::vector<ProtocolKind>{PROTO_QBIN, PROTO_QBIN, PROTO_CUSTOM_BIN, PROTO_CUSTOM_ASCII,
                                                    PROTO_QBIN}));
}

TEST_F(CommandApiTest, ARawTextThatBuildsNothingSaysWhy)
{
    PacketChannel& port = Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);
    struct Case {
        ProtocolKind kind;
        const char* text;
        const char* named;  // what the error must mention
    };
    const Case cases[] = {
        {PROTO_QBIN, "8E zz", "zz"},
        {PROTO_QBIN, "8E 1234", "1234"},
        {PROTO_CUSTOM_BIN, "41 g", "g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CString error;
        EXPECT_FALSE(protocol.SendRawCommandAs(c.kind, c.text, &error));
        EXPECT_NE(std::string(static_cast<const char*>(error)).find(c.named), std::string::npos)
            << static_cast<const char*>(error);
    }
    EXPECT_EQ(port.Writes(), 0);
    EXPECT_TRUE(sink.Events().empty());
}

// ---- Side effects ------------------------------------------------------------------

TEST_F(CommandApiTest, VersionQueriesForgetTheOldVersionBeforeAsking)
{
    Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);

    FirmwareVersionRecord firmware = {};
    CopyRecordText(firmware.name, "Old firmware");
    firmware.major = 2;
    ProductRecord product = {};
    CopyRecordText(product.name, "Old product");
    product.code = 77;

    struct Case {
        const char* name;
        std::function<bool(CProtocol&)> call;
    };
    const Case cases[] = {
        {"QueryVersion", [](CProtocol& p) { return p.QueryVersion(); }},
        {"QueryHardwareVersion", [](CProtocol& p) { return p.QueryHardwareVersion(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.IdentifyReceiver(firmware, 0);
        model.SetProductInfo(product);
        Forget();
        std::string firmwareAtFirstSend = "?", productAtFirstSend = "?";
        sink.onEvent = [&](int32_t event, int32_t) {
            if (event != EV_COMMAND_BYTES || firmwareAtFirstSend != "?") return;
            FirmwareVersionRecord f = {};
            ProductRecord r = {};
            model.GetFirmwareVersion(f, 0);
            model.GetProductInfo(r);
            firmwareAtFirstSend = f.name;
            productAtFirstSend = r.name;
        };
        EXPECT_TRUE(c.call(protocol));
        sink.onEvent = nullptr;
        if (std::string(c.name) == "QueryVersion") {
            EXPECT_EQ(firmwareAtFirstSend, "");
            EXPECT_EQ(productAtFirstSend, "Old product");
        } else {
            EXPECT_EQ(firmwareAtFirstSend, "Old firmware");
            EXPECT_EQ(productAtFirstSend, "");
        }
    }
}

TEST_F(CommandApiTest, OnAReplayNothingIsWrittenAnnouncedOrResetAndOnlyWholeWritesCount)
{
    struct Case {
        const char* name;
        int channelType;
        int writeResult;   // what the port's Write returns
    };
    const Case cases[] = {
        {"replay", CHANNEL_TYPE_PLAYBACK, kWholeWrite},
        {"failing port", CHANNEL_TYPE_SERIAL, -1},
        {"short write", CHANNEL_TYPE_SERIAL, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PacketChannel& link = Open(c.channelType, PROTO_QBIN, c.writeResult);

        EXPECT_FALSE(protocol.ResetReceiver(3));
        EXPECT_FALSE(protocol.QueryReceiverHealth());
        EXPECT_FALSE(protocol.QueryVersionAs(PROTO_QBIN));
        EXPECT_FALSE(protocol.IsResetInProgress());
        for (const std::string& entry : log.Entries()) EXPECT_EQ(entry.find("timer 29"), std::string::npos);
        EXPECT_TRUE(sink.Events().empty());
        EXPECT_EQ(link.Writes(), c.channelType == CHANNEL_TYPE_PLAYBACK ? 0 : 4);
    }
}

TEST_F(CommandApiTest, OnlyAResetThatLeftMarksTheResetUnderWay)
{
    Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);

    EXPECT_TRUE(protocol.ResetReceiver(1));
    EXPECT_TRUE(protocol.IsResetInProgress());
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"write 10 1E 4B 10 03", "set timer 29 3000"}));

    // A version report ended the reset before the timer fired: the data it
    // brought stays.
    model.SetHealthStatus(9);
    EXPECT_TRUE(protocol.EndResetInProgress());
    protocol.OnTimer(TIMER_RESET_DONE);
    EXPECT_EQ(model.GetHealthStatus(), 9u);

    // A reset type the link's protocol has no form for sends nothing and
    // starts nothing.
    const struct {
        ProtocolKind kind;
        int type;
    } unknown[] = {{PROTO_NMEA, 8}, {PROTO_QTXT, 3}, {PROTO_KESTO, 5},
                   {PROTO_QOP, 1}, {PROTO_MON, 1},   {PROTO_UBLOX_NMEA, 5}};
    for (const auto& c : unknown) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(protocol.SetProtocol(c.kind));
        log.Clear();
        EXPECT_FALSE(protocol.ResetReceiver(c.type));
        EXPECT_FALSE(protocol.IsResetInProgress());
        EXPECT_TRUE(log.Entries().empty());
    }
}

TEST_F(CommandApiTest, SetsThatChangeTheReportsClearTheReportTexts)
{
    Open(CHANNEL_TYPE_SERIAL, PROTO_QBIN);

    struct Case {
        const char* name;
        ProtocolKind link;
        std::function<bool(CProtocol&)> call;
        bool textsCleared;
        bool timer15;
    };
    std::vector<Case> cases;
    // The I/O options: after a set, whatever the link speaks.
    for (const Link& link : kLinks) {
        cases.push_back({"I/O options set", link.kind, [](CProtocol& p) { return p.SendIoOptions(1, &kIo); }, true,
                         false});
    }
    cases.push_back({"I/O options query", PROTO_QBIN, [](CProtocol& p) { return p.SendIoOptions(0, &kIo); }, false,
                     false});
    cases.push_back({"NMEA output set", PROTO_QBIN,
                     [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); }, true, true});
    cases.push_back({"NMEA output set, NMEA link", PROTO_NMEA,
                     [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); }, true, true});
    cases.push_back({"NMEA output set, vendor dialect", PROTO_SIRF_NMEA,
                     [](CProtocol& p) { return p.SendNmeaOutputConfig(1, &kOutput); }, false, false});
    cases.push_back({"NMEA output query", PROTO_QBIN,
                     [](CProtocol& p) { return p.SendNmeaOutputConfig(0, &kOutput); }, false, false});
    cases.push_back({"QTXT frequency set", PROTO_QTXT,
                     [](CProtocol& p) { return p.SendQtxtFrequencyReporting(1, &kQtxt); }, true, true});
    cases.push_back({"QTXT distance set", PROTO_QTXT,
                     [](CProtocol& p) { return p.SendQtxtDistanceReporting(1, &kQtxt); }, true, true});
    cases.push_back({"QTXT distance query", PROTO_QTXT,
                     [](CProtocol& p) { return p.SendQtxtDistanceReporting(0, &kQtxt); }, false, false});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " on " + std::to_string(c.link));
        ASSERT_TRUE(protocol.SetProtocol(c.link));
        model.SetReportText(2, "0x84");
        Forget();
        c.call(protocol);
        EXPECT_EQ(std::string(static_cast<const char*>(model.GetReportText(2))), c.textsCleared ? "" : "0x84");
        bool timerSet = false;
        for (const std::string& entry : log.Entries()) timerSet = timerSet || entry == "set timer 15 1000";
        EXPECT_EQ(timerSet, c.timer15);
    }
}

} // namespace
