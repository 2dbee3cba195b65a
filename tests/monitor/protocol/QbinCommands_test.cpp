#include "protocol/QbinCommands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

namespace {

std::string ToHex(const CByteArray& a)
{
    std::string s;
    char buf[4];
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
        snprintf(buf, sizeof buf, i ? " %02X" : "%02X", a[i]);
        s += buf;
    }
    return s;
}

// "FF" n times, for the filler runs.
std::string Rep(const char* hexByte, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += hexByte;
    }
    return s;
}

// Data bytes of a packet after its id, DLE doubling undone.
int DataLength(const CByteArray& packet)
{
    int n = 0;
    for (INT_PTR i = 2; i + 2 < packet.GetSize(); ++i) {
        if (packet[i] == 0x10) ++i;  // the second of a doubled DLE
        ++n;
    }
    return n;
}

NavConfig Nav(uint8_t subcode)
{
    NavConfig n{};
    n.operatingMode = 4;
    n.dgpsMode = 1;
    n.dynamics = 2;
    n.elevationMask = 0.5f;
    n.snrMask = 1.0f;
    n.dopMask = 2.0f;
    n.dopSwitch = 4.0f;
    n.dgpsAgeLimit = 30;  // not part of the command
    n.subcode = subcode;
    return n;
}

TimingConfig Timing()
{
    TimingConfig t{};
    t.surveyEnable = 1;
    t.surveySave = 0;
    t.surveyLength = 2000;
    t.broadcastMask0 = 0x0010;
    t.broadcastMask1 = 0x1234;
    t.ppsEnabled = 1;
    t.timeBase = 1;
    t.ppsPolarity = 0;
    t.ppsOffset = 1.0;
    t.biasThreshold = 2.0f;
    t.ppsWidth = 5e8;  // ns
    t.timeConstant = 1.0f;
    t.damping = 0.5f;
    t.ko = 2.0f;
    t.minVoltage = -1.0f;
    t.maxVoltage = 4.0f;
    t.jamSyncThreshold = 0.5f;
    t.maxFreqOffset = 1.0f;
    t.initialDac = -2.0f;
    return t;
}

TimingConfig WithWidth(double ns)
{
    TimingConfig t = Timing();
    t.ppsWidth = ns;
    return t;
}

PortConfigRecord Port(uint32_t baud, uint8_t parity, uint8_t stopBits, uint8_t dataBits, uint8_t rxPort,
                      uint8_t inMask, uint8_t outMask)
{
    PortConfigRecord p{};
    p.comPort = 5;
    p.baud = baud;
    p.parity = parity;
    p.stopBits = stopBits;
    p.dataBits = dataBits;
    p.receiverPort = rxPort;
    p.inputMask = inMask;
    p.outputMask = outMask;
    return p;
}

QtxtConfigRecord Qtxt(const char* vehicle)
{
    QtxtConfigRecord q{};
    CopyRecordText(q.messageId, "PV");
    q.interval = 7;  // these three belong to the QTXT sentences, not this packet
    q.maxInterval = 8;
    q.distance = 9;
    q.epoch = 30;
    CopyRecordText(q.vehicleId, vehicle);
    q.flagId = 1;
    q.flagCs = 0;
    q.flagEc = 5;
    q.flagFr = 0;
    q.flagCr = 1;
    for (int i = 0; i < QTXT_PERIOD_COUNT; ++i) q.periods[i] = static_cast<uint16_t>(i + 1);
    return q;
}

ProductionRecord Production()
{
    ProductionRecord r{};
    r.buildDay = 9;
    r.buildMonth = 12;
    r.buildHour = 23;
    r.flags = 3;
    r.buildYear = 2024;
    r.machineId = 0x0102;
    r.serialNumber = 0x00012345;
    r.reserved = 0;
    r.searchRange = 1.0f;
    r.oscillatorOffset = -1.0f;
    CopyRecordText(r.productPartNumber, "PN-1");
    // A hardware id that fills the whole field, without terminator: the
    // builder must cut it at 16 and not read on.
    memset(r.hardwareId, 'H', sizeof r.hardwareId);
    return r;
}

const double kCoordsA[3] = {1.0, -2.0, 0.5};
const double kCoordsB[3] = {1.0, 2.0, -1.0};
const GpioConfig kGpio = {0, 1, 2, 3, 4, 5, 6};
const GpioConfig kGpioBad = {1, 1, 2, 3, 4, 5, 6};
const TrackingTestParams kTrack = {7, 1, 12, 2, 300, 1, 0};
const ShutdownStandbyRecord kStandby = {'S', 1, 2, 3600};
const IoOptions kIo = {1, 2, 3, 4};
const FilterConfig kFilter = {1, 0, 1, 0, 0};
const FilterConfig kFilterAll = {0, 0, 0, 0, 1};
const NmeaOutputConfig kNmea = {0x105, 0x10};

struct BuilderRow {
    const char* what;
    std::function<bool(CByteArray&)> build;
    std::string expected;  // empty: nothing is built
};

// Every builder and form. "" means the builder refuses: it returns false and
// leaves the array empty (each row starts from a stale packet to show that).
TEST(QbinCommands, BuilderGoldenTable)
{
    const std::string kF19 = Rep("FF", 19);
    const std::string kF22 = Rep("FF", 22);
    const BuilderRow rows[] = {
        // Queries and simple commands.
        {"health", [](CByteArray& p) { return BuildQbinHealthQuery(p); }, "10 26 10 03"},
        {"tracking", [](CByteArray& p) { return BuildQbinTrackingQuery(p); }, "10 3C 00 10 03"},
        {"raw measurements", [](CByteArray& p) { return BuildQbinRawMeasurementQuery(p); }, "10 3A 00 10 03"},
        {"selection", [](CByteArray& p) { return BuildQbinSelectionQuery(p); }, "10 24 10 03"},
        {"version", [](CByteArray& p) { return BuildQbinVersionQuery(p); }, "10 1C 02 10 03"},
        {"hardware", [](CByteArray& p) { return BuildQbinHardwareQuery(p); }, "10 1C 03 10 03"},
        {"software version", [](CByteArray& p) { return BuildQbinSoftwareVersionQuery(p); }, "10 1F 10 03"},
        {"system info", [](CByteArray& p) { return BuildQbinSystemInfoQuery(p); }, "10 3F 01 03 10 03"},
        {"almanac health", [](CByteArray& p) { return BuildQbinAlmanacHealthQuery(p); }, "10 38 01 03 00 10 03"},
        {"utc", [](CByteArray& p) { return BuildQbinUtcQuery(p); }, "10 38 01 05 00 10 03"},
        {"ionosphere", [](CByteArray& p) { return BuildQbinIonosphereQuery(p); }, "10 38 01 04 00 10 03"},
        {"almanac sv 16", [](CByteArray& p) { return BuildQbinAlmanacQuery(p, 16); }, "10 38 01 02 10 10 10 03"},
        {"ephemeris sv 5", [](CByteArray& p) { return BuildQbinEphemerisQuery(p, 5); }, "10 38 01 06 05 10 03"},
        {"save config", [](CByteArray& p) { return BuildQbinSaveConfig(p); }, "10 8E 26 10 03"},
        {"save segments 3", [](CByteArray& p) { return BuildQbinSaveSegments(p, 3); }, "10 8E 4C 03 10 03"},
        {"restore segments FF", [](CByteArray& p) { return BuildQbinRestoreSegments(p, 0xFF); }, "10 8E 45 FF 10 03"},
        {"hex text 8E 26", [](CByteArray& p) { return BuildQbinFromHexText(p, "8E 26"); }, "10 8E 26 10 03"},
        {"hex text, either case, single digits, DLE data",
         [](CByteArray& p) { return BuildQbinFromHexText(p, "  8e\t0a A 10 "); }, "10 8E 0A 0A 10 10 10 03"},
        {"hex text id 10", [](CByteArray& p) { return BuildQbinFromHexText(p, "10 10"); }, "10 10 10 10 10 03"},
        {"hex text empty", [](CByteArray& p) { return BuildQbinFromHexText(p, ""); }, ""},
        {"hex text bad token", [](CByteArray& p) { return BuildQbinFromHexText(p, "8E zz"); }, ""},
        {"hex text long token", [](CByteArray& p) { return BuildQbinFromHexText(p, "8E 1234"); }, ""},

        // Reset.
        {"reset 1", [](CByteArray& p) { return BuildQbinReset(p, 1); }, "10 1E 4B 10 03"},
        {"reset 2", [](CByteArray& p) { return BuildQbinReset(p, 2); }, "10 1E 0E 10 03"},
        {"reset 3", [](CByteArray& p) { return BuildQbinReset(p, 3); }, "10 25 10 03"},
        {"reset 4", [](CByteArray& p) { return BuildQbinReset(p, 4); }, "10 1E 46 10 03"},
        {"reset 5", [](CByteArray& p) { return BuildQbinReset(p, 5); }, "10 1E 0D 10 03"},
        {"reset 6", [](CByteArray& p) { return BuildQbinReset(p, 6); }, "10 1E 0C 10 03"},
        {"reset 7", [](CByteArray& p) { return BuildQbinReset(p, 7); }, "10 1E 4D 10 03"},
        {"reset 8", [](CByteArray& p) { return BuildQbinReset(p, 8); }, ""},
        {"reset 0", [](CByteArray& p) { return BuildQbinReset(p, 0); }, ""},

        // Initial position.
        {"position LLA floats", [](CByteArray& p) { return BuildQbinInitialPosition(p, 0, 0, false, kCoordsA); },
         "10 2B 3F 80 00 00 C0 00 00 00 3F 00 00 00 10 03"},
        {"position accurate LLA doubles", [](CByteArray& p) { return BuildQbinInitialPosition(p, 0, 1, true, kCoordsB); },
         "10 32 3F F0 00 00 00 00 00 00 40 00 00 00 00 00 00 00 BF F0 00 00 00 00 00 00 10 03"},
        {"position XYZ floats", [](CByteArray& p) { return BuildQbinInitialPosition(p, 1, 0, false, kCoordsB); },
         "10 23 3F 80 00 00 40 00 00 00 BF 80 00 00 10 03"},
        {"position accurate XYZ doubles", [](CByteArray& p) { return BuildQbinInitialPosition(p, 1, 1, true, kCoordsA); },
         "10 31 3F F0 00 00 00 00 00 00 C0 00 00 00 00 00 00 00 3F E0 00 00 00 00 00 00 10 03"},
        {"position accuracy 2", [](CByteArray& p) { return BuildQbinInitialPosition(p, 0, 2, false, kCoordsA); }, ""},
        {"position kind 2", [](CByteArray& p) { return BuildQbinInitialPosition(p, 2, 0, false, kCoordsA); }, ""},
        {"position without coordinates", [](CByteArray& p) { return BuildQbinInitialPosition(p, 0, 0, true, nullptr); }, ""},

        // Receiver (navigation) configuration: 40 data bytes, 43 with the extended flag.
        {"receiver config query", [](CByteArray& p) { return BuildQbinReceiverConfig(p, 0, nullptr); }, "10 BB 00 10 03"},
        {"receiver config set",
         [](CByteArray& p) { NavConfig n = Nav(0); return BuildQbinReceiverConfig(p, 1, &n); },
         "10 BB 00 04 01 02 FF 3F 00 00 00 3F 80 00 00 40 00 00 00 40 80 00 00 " + kF19 + " 10 03"},
        {"receiver config set, extended",
         [](CByteArray& p) { NavConfig n = Nav(1); return BuildQbinReceiverConfig(p, 1, &n); },
         "10 BB 00 04 01 02 FF 3F 00 00 00 3F 80 00 00 40 00 00 00 40 80 00 00 " + kF22 + " 10 03"},
        {"receiver config set without record", [](CByteArray& p) { return BuildQbinReceiverConfig(p, 1, nullptr); }, ""},

        {"datum query", [](CByteArray& p) { return BuildQbinDatum(p, 0, 16); }, "10 8E 15 10 03"},
        {"datum set 16", [](CByteArray& p) { return BuildQbinDatum(p, 1, 16); }, "10 8E 15 00 10 10 10 03"},
        {"gps time query", [](CByteArray& p) { return BuildQbinGpsTime(p, 0, 345600, 1024); }, "10 21 10 03"},
        {"gps time set", [](CByteArray& p) { return BuildQbinGpsTime(p, 1, 345600, 1024); },
         "10 2E 48 A8 C0 00 04 00 10 03"},
        {"satellite state query", [](CByteArray& p) { return BuildQbinSatelliteState(p, 0, 5, 1); }, "10 39 03 00 10 03"},
        {"satellite state enable", [](CByteArray& p) { return BuildQbinSatelliteState(p, 1, 5, 7); }, "10 39 01 05 10 03"},
        {"satellite state disable", [](CByteArray& p) { return BuildQbinSatelliteState(p, 1, 16, 0); },
         "10 39 02 10 10 10 03"},
        {"satellite state all off", [](CByteArray& p) { return BuildQbinSatelliteState(p, 1, 0, 0); }, "10 39 02 00 10 03"},
        {"satellite mask query", [](CByteArray& p) { return BuildQbinSatelliteMask(p, 2, 0x10000010); }, "10 C2 10 03"},
        {"satellite mask set", [](CByteArray& p) { return BuildQbinSatelliteMask(p, 1, 0x10000010); },
         "10 C2 10 10 00 00 10 10 10 03"},
        {"io options query", [](CByteArray& p) { return BuildQbinIoOptions(p, 0, &kIo); }, "10 35 10 03"},
        {"io options set", [](CByteArray& p) { return BuildQbinIoOptions(p, 1, &kIo); }, "10 35 01 02 03 04 10 03"},
        {"io options set without record", [](CByteArray& p) { return BuildQbinIoOptions(p, 1, nullptr); }, ""},
        {"filter query", [](CByteArray& p) { return BuildQbinFilterConfig(p, 0, nullptr); }, "10 70 10 03"},
        {"filter set", [](CByteArray& p) { return BuildQbinFilterConfig(p, 1, &kFilter); }, "10 70 01 00 01 00 10 03"},
        {"filter set, fifth byte", [](CByteArray& p) { return BuildQbinFilterConfig(p, 1, &kFilterAll); },
         "10 70 01 01 01 01 10 03"},
        {"self-survey params query", [](CByteArray& p) { return BuildQbinSelfSurveyParams(p, 0, nullptr); }, "10 8E A9 10 03"},
        {"self-survey params set", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinSelfSurveyParams(p, 1, &t); },
         "10 8E A9 01 00 00 00 07 D0 00 00 00 00 10 03"},
        {"self-survey command query", [](CByteArray& p) { return BuildQbinSelfSurveyCommand(p, 0, 2); }, ""},
        {"self-survey command set", [](CByteArray& p) { return BuildQbinSelfSurveyCommand(p, 1, 2); }, "10 8E A6 02 10 03"},
        {"supplemental timing flag 0", [](CByteArray& p) { return BuildQbinSupplementalTimingQuery(p, 0, 1); },
         "10 8E AC 01 10 03"},
        {"supplemental timing flag 1", [](CByteArray& p) { return BuildQbinSupplementalTimingQuery(p, 1, 1); }, ""},
        {"supplemental timing flag 2", [](CByteArray& p) { return BuildQbinSupplementalTimingQuery(p, 2, 1); }, ""},
        {"packet mask query", [](CByteArray& p) { return BuildQbinPacketMask(p, 0, nullptr); }, "10 8E A5 10 03"},
        {"packet mask set", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinPacketMask(p, 1, &t); },
         "10 8E A5 00 10 10 12 34 10 03"},
        {"auto packet mask query", [](CByteArray& p) { return BuildQbinAutoPacketMask(p, 0, 1); }, "10 8E 4D 10 03"},
        {"auto packet mask set", [](CByteArray& p) { return BuildQbinAutoPacketMask(p, 1, 1); }, "10 8E 4D 00 00 00 01 10 03"},
        {"timing satellite query", [](CByteArray& p) { return BuildQbinTimingSatellite(p, 0, 12); }, ""},
        {"timing satellite set", [](CByteArray& p) { return BuildQbinTimingSatellite(p, 1, 12); }, "10 34 0C 10 03"},
        {"pps settings query", [](CByteArray& p) { return BuildQbinPpsSettings(p, 0, nullptr); }, "10 8E 4A 10 03"},
        {"pps settings set", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinPpsSettings(p, 1, &t); },
         "10 8E 4A 01 01 00 3F F0 00 00 00 00 00 00 40 00 00 00 10 03"},
        {"pps width query", [](CByteArray& p) { return BuildQbinPpsWidth(p, 0, nullptr); }, "10 8E 4F 10 03"},
        {"pps width set 5e8 ns", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinPpsWidth(p, 1, &t); },
         "10 8E 4F 3F E0 00 00 00 00 00 00 10 03"},
        {"pps width set 0", [](CByteArray& p) { TimingConfig t = WithWidth(0); return BuildQbinPpsWidth(p, 1, &t); }, ""},
        {"pps width set unknown", [](CByteArray& p) { TimingConfig t = WithWidth(-1); return BuildQbinPpsWidth(p, 1, &t); }, ""},
        {"pps width set NaN",
         [](CByteArray& p) { TimingConfig t = WithWidth(std::numeric_limits<double>::quiet_NaN()); return BuildQbinPpsWidth(p, 1, &t); },
         ""},
        {"pps output mode query", [](CByteArray& p) { return BuildQbinPpsOutputMode(p, 0, 0x83); }, "10 8E 4E 10 03"},
        {"pps output mode set", [](CByteArray& p) { return BuildQbinPpsOutputMode(p, 1, 0x83); }, "10 8E 4E 83 10 03"},
        {"timing mode query", [](CByteArray& p) { return BuildQbinTimingMode(p, 0, 3); }, "10 8E A2 10 03"},
        {"timing mode set", [](CByteArray& p) { return BuildQbinTimingMode(p, 1, 3); }, "10 8E A2 03 10 03"},
        {"disciplining query type 1", [](CByteArray& p) { return BuildQbinDiscipliningParams(p, 0, 1, nullptr); },
         "10 8E A8 01 10 03"},
        {"disciplining set type 0", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinDiscipliningParams(p, 1, 0, &t); },
         "10 8E A8 00 3F 80 00 00 3F 00 00 00 10 03"},
        {"disciplining set type 1", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinDiscipliningParams(p, 1, 1, &t); },
         "10 8E A8 01 40 00 00 00 BF 80 00 00 40 80 00 00 10 03"},
        {"disciplining set type 2", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinDiscipliningParams(p, 1, 2, &t); },
         "10 8E A8 02 3F 00 00 00 3F 80 00 00 10 03"},
        {"disciplining set type 3", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinDiscipliningParams(p, 1, 3, &t); },
         "10 8E A8 03 C0 00 00 00 10 03"},
        {"disciplining set type 4", [](CByteArray& p) { TimingConfig t = Timing(); return BuildQbinDiscipliningParams(p, 1, 4, &t); },
         "10 8E A8 04 10 03"},
        {"disciplining set without record", [](CByteArray& p) { return BuildQbinDiscipliningParams(p, 1, 0, nullptr); }, ""},
        {"disciplining command query", [](CByteArray& p) { return BuildQbinDiscipliningCommand(p, 0, 5); }, "10 8E A3 10 03"},
        {"disciplining command set", [](CByteArray& p) { return BuildQbinDiscipliningCommand(p, 1, 5); }, "10 8E A3 05 10 03"},
        {"shutdown/standby set", [](CByteArray& p) { return BuildQbinShutdownStandby(p, 1, &kStandby); },
         "10 C0 53 01 02 00 00 0E 10 10 10 03"},
        {"shutdown/standby query", [](CByteArray& p) { return BuildQbinShutdownStandby(p, 0, &kStandby); }, ""},
        {"shutdown/standby without record", [](CByteArray& p) { return BuildQbinShutdownStandby(p, 1, nullptr); }, ""},

        // Port configuration.
        {"port config query",
         [](CByteArray& p) { PortConfigRecord r = Port(9600, 0, 0, 8, 1, 2, 2); return BuildQbinPortConfig(p, 0, &r); },
         "10 BC 01 10 03"},
        {"port config set 115200 7O2",
         [](CByteArray& p) { PortConfigRecord r = Port(115200, 1, 2, 7, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); },
         "10 BC 00 0B 0B 02 01 01 00 02 02 00 10 03"},
        {"port config set 9600 8N1 any port",
         [](CByteArray& p) { PortConfigRecord r = Port(9600, 0, 0, 8, 0xFF, 7, 4); return BuildQbinPortConfig(p, 1, &r); },
         "10 BC FF 07 07 03 00 00 00 07 04 00 10 03"},
        {"port config 1200 even",
         [](CByteArray& p) { PortConfigRecord r = Port(1200, 2, 0, 8, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); },
         "10 BC 00 04 04 03 02 00 00 02 02 00 10 03"},
        {"port config 14400",
         [](CByteArray& p) { PortConfigRecord r = Port(14400, 0, 0, 8, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); }, ""},
        {"port config 28800",
         [](CByteArray& p) { PortConfigRecord r = Port(28800, 0, 0, 8, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); }, ""},
        {"port config 6 data bits",
         [](CByteArray& p) { PortConfigRecord r = Port(9600, 0, 0, 6, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); }, ""},
        {"port config parity 3",
         [](CByteArray& p) { PortConfigRecord r = Port(9600, 3, 0, 8, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); }, ""},
        {"port config 1.5 stop bits",
         [](CByteArray& p) { PortConfigRecord r = Port(9600, 0, 1, 8, 0, 2, 2); return BuildQbinPortConfig(p, 1, &r); }, ""},
        {"port config without record", [](CByteArray& p) { return BuildQbinPortConfig(p, 0, nullptr); }, ""},

        {"nmea output query", [](CByteArray& p) { return BuildQbinNmeaOutputConfig(p, 0, nullptr); }, "10 7A 00 10 03"},
        {"nmea output set", [](CByteArray& p) { return BuildQbinNmeaOutputConfig(p, 1, &kNmea); },
         "10 7A 00 05 00 00 00 10 10 10 03"},
        {"qtxt config query", [](CByteArray& p) { return BuildQbinQtxtConfig(p, 0, nullptr); }, "10 7E 10 03"},
        {"qtxt config set",
         [](CByteArray& p) { QtxtConfigRecord q = Qtxt("VR12"); return BuildQbinQtxtConfig(p, 1, &q); },
         "10 7E 00 15 00 1E 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 56 52 31 32 10 03"},
        {"qtxt config set, short vehicle id",
         [](CByteArray& p) { QtxtConfigRecord q = Qtxt("AB"); return BuildQbinQtxtConfig(p, 1, &q); },
         "10 7E 00 15 00 1E 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 41 42 00 00 10 03"},
        {"reference altitude query", [](CByteArray& p) { return BuildQbinReferenceAltitude(p, 0, 1.0f, -1); }, "10 2A 10 03"},
        {"reference altitude clear -1", [](CByteArray& p) { return BuildQbinReferenceAltitude(p, 1, 1.0f, -1); }, "10 2A FF 10 03"},
        {"reference altitude clear FF", [](CByteArray& p) { return BuildQbinReferenceAltitude(p, 1, 1.0f, 0xFF); }, "10 2A FF 10 03"},
        {"reference altitude set", [](CByteArray& p) { return BuildQbinReferenceAltitude(p, 1, 1.0f, 1); },
         "10 2A 3F 80 00 00 10 03"},

        // Diagnostic commands.
        {"diag frequency query", [](CByteArray& p) { return BuildQbinDiagFrequency(p, 0, 0x1234); }, "10 3F 01 04 10 03"},
        {"diag frequency set", [](CByteArray& p) { return BuildQbinDiagFrequency(p, 1, 0x1234); }, "10 3F 01 04 12 34 10 03"},
        {"adc auto query", [](CByteArray& p) { return BuildQbinAdcAutoMode(p, 0, 1); }, "10 3F 01 05 10 03"},
        {"adc auto set", [](CByteArray& p) { return BuildQbinAdcAutoMode(p, 1, 1); }, "10 3F 01 05 01 10 03"},
        {"task mask query", [](CByteArray& p) { return BuildQbinTaskProfilingMask(p, 0, 0x80000001); }, "10 3F 01 0E 10 03"},
        {"task mask set", [](CByteArray& p) { return BuildQbinTaskProfilingMask(p, 1, 0x80000001); },
         "10 3F 01 0E 80 00 00 01 10 03"},
        {"power saving query", [](CByteArray& p) { return BuildQbinPowerSavingMode(p, 0, 2); }, "10 3F 01 0F 10 03"},
        {"power saving set", [](CByteArray& p) { return BuildQbinPowerSavingMode(p, 1, 2); }, "10 3F 01 0F 02 10 03"},
        {"stack interval set", [](CByteArray& p) { return BuildQbinStackReportInterval(p, 1, 10); }, "10 3F 01 08 00 0A 10 03"},
        {"stack interval query", [](CByteArray& p) { return BuildQbinStackReportInterval(p, 0, 10); }, ""},
        {"message queue interval set", [](CByteArray& p) { return BuildQbinMessageQueueReportInterval(p, 1, 0); },
         "10 3F 01 07 00 00 10 03"},
        {"message queue interval query", [](CByteArray& p) { return BuildQbinMessageQueueReportInterval(p, 0, 0); }, ""},
        {"serial io interval set", [](CByteArray& p) { return BuildQbinSerialIoReportInterval(p, 1, 0x0110); },
         "10 3F 01 1C 01 10 10 10 03"},
        {"serial io interval query", [](CByteArray& p) { return BuildQbinSerialIoReportInterval(p, 0, 1); }, ""},
        {"cpu interval set", [](CByteArray& p) { return BuildQbinCpuReportInterval(p, 1, 300); }, "10 3F 01 13 01 2C 10 03"},
        {"cpu interval query", [](CByteArray& p) { return BuildQbinCpuReportInterval(p, 0, 300); }, ""},
        {"custom output report set", [](CByteArray& p) { return BuildQbinCustomOutputReport(p, 1, 1); }, "10 3F 02 01 10 03"},
        {"custom output report query", [](CByteArray& p) { return BuildQbinCustomOutputReport(p, 0, 1); }, ""},
        {"task profiling state 0", [](CByteArray& p) { return BuildQbinTaskProfilingEnable(p, 1, 0); }, "10 3F 01 01 00 01 10 03"},
        {"task profiling state 1", [](CByteArray& p) { return BuildQbinTaskProfilingEnable(p, 1, 1); }, "10 3F 01 01 00 00 10 03"},
        {"task profiling query", [](CByteArray& p) { return BuildQbinTaskProfilingEnable(p, 0, 0); }, ""},
        {"queue profiling state 0", [](CByteArray& p) { return BuildQbinMessageQueueProfilingEnable(p, 1, 0); },
         "10 3F 01 01 01 01 10 03"},
        {"queue profiling state 5", [](CByteArray& p) { return BuildQbinMessageQueueProfilingEnable(p, 1, 5); },
         "10 3F 01 01 01 00 10 03"},
        {"queue profiling query", [](CByteArray& p) { return BuildQbinMessageQueueProfilingEnable(p, 0, 0); }, ""},
        {"simulator mode query", [](CByteArray& p) { return BuildQbinSimulatorMode(p, 0, 1); }, "10 3F 01 1A 10 03"},
        {"simulator mode set", [](CByteArray& p) { return BuildQbinSimulatorMode(p, 1, 1); }, "10 3F 01 1A 01 10 03"},
        {"simulator control query", [](CByteArray& p) { return BuildQbinSimulatorControl(p, 0, 0); }, "10 3F 01 15 10 03"},
        {"simulator control set", [](CByteArray& p) { return BuildQbinSimulatorControl(p, 1, 0); }, "10 3F 01 15 00 10 03"},
        {"diag report state set", [](CByteArray& p) { return BuildQbinDiagReportState(p, 1, 3, 1); },
         "10 3F 50 00 03 00 01 10 03"},
        {"diag report state query", [](CByteArray& p) { return BuildQbinDiagReportState(p, 0, 3, 1); }, ""},
        {"gpio {0, 1..6}", [](CByteArray& p) { return BuildQbinGpioConfig(p, 1, &kGpio); },
         "10 3F 50 00 06 00 00 01 00 05 00 03 00 02 00 06 00 04 10 03"},
        {"gpio first field 1", [](CByteArray& p) { return BuildQbinGpioConfig(p, 1, &kGpioBad); }, ""},
        {"gpio query", [](CByteArray& p) { return BuildQbinGpioConfig(p, 0, &kGpio); }, ""},
        {"gpio without record", [](CByteArray& p) { return BuildQbinGpioConfig(p, 1, nullptr); }, ""},

        // Production record: 61 data bytes before stuffing; texts padded or cut to 16.
        {"product config query", [](CByteArray& p) { return BuildQbinProductConfig(p, 0, 1, nullptr); },
         "10 3F 50 F5 0F 00 10 03"},
        {"product config type 1",
         [](CByteArray& p) { ProductionRecord r = Production(); return BuildQbinProductConfig(p, 1, 1, &r); },
         "10 3F 50 F5 0F 01 00 00 01 23 45 09 0C 07 E8 17 01 02 00 00 00 00 3F 80 00 00 BF 80 00 00 03 "
         "50 4E 2D 31 " + Rep("00", 12) + " " + Rep("48", 16) + " 10 03"},
        {"product config type 1 without record", [](CByteArray& p) { return BuildQbinProductConfig(p, 1, 1, nullptr); }, ""},
        {"product config type 2", [](CByteArray& p) { return BuildQbinProductConfig(p, 1, 2, nullptr); },
         "10 3F 50 F5 0F 02 10 03"},
        {"product config type 3", [](CByteArray& p) { return BuildQbinProductConfig(p, 1, 3, nullptr); },
         "10 3F 50 F5 0F 03 10 03"},
        {"product config type 4", [](CByteArray& p) { return BuildQbinProductConfig(p, 1, 4, nullptr); }, ""},

        {"tracking test start", [](CByteArray& p) { return BuildQbinTrackingTest(p, 0, &kTrack); },
         "10 3F 50 00 01 01 01 00 07 0C 02 01 2C 01 00 10 03"},
        {"tracking test start without record", [](CByteArray& p) { return BuildQbinTrackingTest(p, 0, nullptr); }, ""},
        {"tracking test stop", [](CByteArray& p) { return BuildQbinTrackingTest(p, 1, &kTrack); }, "10 3F 50 00 01 02 01 10 03"},
        {"tracking test stop without record", [](CByteArray& p) { return BuildQbinTrackingTest(p, 1, nullptr); },
         "10 3F 50 00 01 02 00 10 03"},
        {"tracking test end", [](CByteArray& p) { return BuildQbinTrackingTest(p, 2, nullptr); }, "10 3F 50 00 01 00 00 10 03"},
        {"tracking test type 3", [](CByteArray& p) { return BuildQbinTrackingTest(p, 3, &kTrack); }, ""},

        {"memory write 16", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 0, 0x1000, 0xBEEF); },
         "10 3F 01 02 00 00 00 10 10 00 BE EF 10 03"},
        {"memory read 16 at 0x1000", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 1, 0x1000, 0); },
         "10 3F 01 02 01 00 00 10 10 00 10 03"},
        {"memory write 32", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 2, 0x20000000, 0x10); },
         "10 3F 01 02 02 20 00 00 00 00 00 00 10 10 10 03"},
        {"memory read 32", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 3, 0x12345678, 9); },
         "10 3F 01 02 03 12 34 56 78 10 03"},
        {"io write", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 4, 0x0040, 1); }, "10 3F 01 02 04 00 40 00 01 10 03"},
        {"io read", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 5, 0x12345, 1); }, "10 3F 01 02 05 23 45 10 03"},
        {"memory type 6", [](CByteArray& p) { return BuildQbinMemoryAccess(p, 6, 0, 0); }, ""},

        {"error log count", [](CByteArray& p) { return BuildQbinErrorLogCommand(p, 0, 7); }, "10 3F 01 0A 10 03"},
        {"error log entry 16", [](CByteArray& p) { return BuildQbinErrorLogCommand(p, 1, 16); }, "10 3F 01 0B 00 10 10 10 03"},
        {"error log erase", [](CByteArray& p) { return BuildQbinErrorLogCommand(p, 2, 7); }, "10 3F 01 0C 10 03"},
        {"error log test error", [](CByteArray& p) { return BuildQbinErrorLogCommand(p, 3, 7); }, "10 3F 01 16 10 03"},
        {"error log 4", [](CByteArray& p) { return BuildQbinErrorLogCommand(p, 4, 7); }, ""},

        {"xo aging get", [](CByteArray& p) { return BuildQbinXoAgingCommand(p, 0, 2, 0, 0); }, "10 3F 01 10 10 01 02 10 03"},
        {"xo aging set", [](CByteArray& p) { return BuildQbinXoAgingCommand(p, 1, 1, 0x01020304, 5); },
         "10 3F 01 10 10 04 01 01 02 03 04 00 05 10 03"},
        {"xo aging erase zone", [](CByteArray& p) { return BuildQbinXoAgingCommand(p, 2, 3, 0, 0); }, "10 3F 01 10 10 02 03 10 03"},
        {"xo aging erase all", [](CByteArray& p) { return BuildQbinXoAgingCommand(p, 3, 3, 0, 0); }, "10 3F 01 10 10 03 10 03"},
        {"xo aging 4", [](CByteArray& p) { return BuildQbinXoAgingCommand(p, 4, 3, 0, 0); }, ""},
    };
    for (const BuilderRow& row : rows) {
        CByteArray packet;
        packet.Add(0xEE);  // a stale packet from an earlier command
        const bool built = row.build(packet);
        EXPECT_EQ(ToHex(packet), row.expected) << row.what;
        EXPECT_EQ(built, !row.expected.empty()) << row.what;
    }
}

// The lengths the receiver checks: the navigation configuration command is
// 40 data bytes (43 in the extended form), the production record 61.
TEST(QbinCommands, SetFormsHaveTheReceiversLengths)
{
    CByteArray packet;
    NavConfig nav = Nav(0);
    ASSERT_TRUE(BuildQbinReceiverConfig(packet, 1, &nav));
    EXPECT_EQ(DataLength(packet), 40);
    nav.subcode = 2;
    ASSERT_TRUE(BuildQbinReceiverConfig(packet, 1, &nav));
    EXPECT_EQ(DataLength(packet), 43);

    // With values that hold DLE bytes, the packet grows but the data does not.
    ProductionRecord r = Production();
    r.serialNumber = 0x10101010;
    r.machineId = 0x1010;
    CopyRecordText(r.productPartNumber, "\x10\x10");
    ASSERT_TRUE(BuildQbinProductConfig(packet, 1, 1, &r));
    EXPECT_EQ(DataLength(packet), 61);
    EXPECT_EQ(packet.GetSize(), 2 + 61 + 8 + 2);
}

struct HexTextRow {
    const char* text;
    const char* expectedBytes;  // "" when refused
    const char* namedToken;     // must appear in the error; null when accepted
};

// Typed hex text: every token one or two hex digits; anything else is refused
// as a whole, and the error names the offending token.
TEST(QbinCommands, HexTextIsCheckedTokenByToken)
{
    const HexTextRow rows[] = {
        {"8E 26", "8E 26", nullptr},
        {"0 f FF aB", "00 0F FF AB", nullptr},
        {"\r\n 3c\t00 \n", "3C 00", nullptr},
        {"", "", ""},
        {"   \t ", "", ""},
        {"8E zz", "", "\"zz\""},
        {"8E 1234", "", "\"1234\""},
        {"8E 0x26", "", "\"0x26\""},
        {"8E,26", "", "\"8E,26\""},
        {"8E -1", "", "\"-1\""},
        {"8E '26'", "", "'26'"},
        {"8E \"\"", "", "\"\"\"\""},
        {"8E g", "", "\"g\""},
        {"8E 26 \xFF 01", "", "\xFF"},
        {"8E 2\xFE", "", "2\xFE"},
    };
    for (const HexTextRow& row : rows) {
        CByteArray bytes;
        bytes.Add(0x77);
        CString error("stale");
        const bool ok = ParseHexBytesText(row.text, bytes, &error);
        EXPECT_EQ(ToHex(bytes), row.expectedBytes) << row.text;
        EXPECT_EQ(ok, row.namedToken == nullptr) << row.text;
        if (row.namedToken == nullptr) {
            EXPECT_TRUE(error.IsEmpty()) << row.text;
        } else {
            EXPECT_FALSE(error.IsEmpty()) << row.text;
            EXPECT_NE(error.Find(row.namedToken), -1) << row.text << " -> " << error.GetString();
        }

        // The QBIN form refuses exactly the same texts, with the same error.
        CByteArray packet;
        CString packetError;
        EXPECT_EQ(BuildQbinFromHexText(packet, row.text, &packetError), ok) << row.text;
        EXPECT_EQ(packetError, error) << row.text;
        if (!ok) {
            EXPECT_EQ(packet.GetSize(), 0) << row.text;
        }
    }
    CByteArray bytes;
    EXPECT_FALSE(ParseHexBytesText(nullptr, bytes));  // no error wanted: nothing to report into
    EXPECT_EQ(bytes.GetSize(), 0);
}

} // namespace
