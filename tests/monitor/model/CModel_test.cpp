// The receiver data model: stores, events, defaults, bounds and the CRC rule.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/CArray.h"
#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/MemoryFileBackend.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "model/Clock.h"
#include "monitor/link/ConverterTestSupport.h"
#include "monitor/model/RecordingSink.h"

namespace {

// A record filled with one byte everywhere, then made valid where the model
// would otherwise correct it (terminated texts, counts within their lists).
template <class T>
T Patterned(unsigned char byte)
{
    T r;
    std::memset(&r, byte, sizeof r);
    return r;
}
template <class T> void MakeValid(T&) {}
void MakeValid(FirmwareVersionRecord& r) { r.name[sizeof r.name - 1] = '\0'; }
void MakeValid(ProductRecord& r) { r.name[sizeof r.name - 1] = '\0'; }
void MakeValid(DiagTextRecord& r)
{
    r.productPartNumber[sizeof r.productPartNumber - 1] = '\0';
    r.hardwareId[sizeof r.hardwareId - 1] = '\0';
}
void MakeValid(QtxtConfigRecord& r)
{
    r.messageId[sizeof r.messageId - 1] = '\0';
    r.vehicleId[sizeof r.vehicleId - 1] = '\0';
}
void MakeValid(FixModeRecord& r) { r.svCount = 7; }
void MakeValid(SignalLevelTable& r) { r.count = 5; }
void MakeValid(GpsTimeInfo& r) { r.source = 0; }

template <class T>
T Filled(unsigned char byte)
{
    T r = Patterned<T>(byte);
    MakeValid(r);
    return r;
}

template <class T>
bool SameBytes(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

template <class T>
T Zeroed()
{
    T r;
    std::memset(&r, 0, sizeof r);
    return r;
}

struct AttachedModel {
    AttachedModel() { EXPECT_TRUE(model.Attach(&sink, nullptr)); }
    ~AttachedModel() { model.Detach(); }
    RecordingSink sink;
    CModel model;
};

// One row per store: how to store a patterned record, how to read it back,
// and the one event the store must raise (event 0: none).
struct StoreCase {
    const char* name;
    std::function<void(CModel&)> store;
    std::function<bool(CModel&)> readsBackWhole;
    RecordedEvent expected;
};

template <class T>
StoreCase RecordCase(const char* name, std::function<void(CModel&, const T&)> set,
                     std::function<bool(CModel&, T&)> get, RecordedEvent expected)
{
    StoreCase c;
    c.name = name;
    c.store = [set](CModel& m) { set(m, Filled<T>(0x5A)); };
    c.readsBackWhole = [get](CModel& m) {
        T out = Patterned<T>(0xC3);
        return get(m, out) && SameBytes(out, Filled<T>(0x5A));
    };
    c.expected = expected;
    return c;
}

template <class T>
StoreCase ValueCase(const char* name, std::function<void(CModel&, T)> set,
                    std::function<T(CModel&)> get, T value, RecordedEvent expected)
{
    StoreCase c;
    c.name = name;
    c.store = [set, value](CModel& m) { set(m, value); };
    c.readsBackWhole = [get, value](CModel& m) { return get(m) == value; };
    c.expected = expected;
    return c;
}

const RecordedEvent kNone = {0, 0, false};

std::vector<StoreCase> StoreCases()
{
    std::vector<StoreCase> cases;
    typedef CModel M;
    cases.push_back(RecordCase<GpsTimeInfo>(
        "SetTimeInfo", [](M& m, const GpsTimeInfo& r) { m.SetTimeInfo(r, false, 0x77); },
        [](M& m, GpsTimeInfo& r) { return m.GetTimeInfo(r); }, {EV_GPS_TIME, 0x77, false}));
    cases.push_back(RecordCase<GpsTimeInfo>(
        "SetDiagTimeInfo", [](M& m, const GpsTimeInfo& r) { m.SetDiagTimeInfo(r); },
        [](M& m, GpsTimeInfo& r) { return m.GetDiagTimeInfo(r); }, {EV_DIAG_TIME, 0, false}));
    cases.push_back(RecordCase<FixModeRecord>(
        "SetFixModeAndDops notify", [](M& m, const FixModeRecord& r) { m.SetFixModeAndDops(r, true); },
        [](M& m, FixModeRecord& r) { return m.GetFixModeAndDops(r); }, {EV_FIX_MODE, 0, false}));
    cases.push_back(RecordCase<FixModeRecord>(
        "SetFixModeAndDops quiet", [](M& m, const FixModeRecord& r) { m.SetFixModeAndDops(r, false); },
        [](M& m, FixModeRecord& r) { return m.GetFixModeAndDops(r); }, kNone));
    cases.push_back(RecordCase<DopRecord>(
        "SetDops", [](M& m, const DopRecord& r) { m.SetDops(r); },
        [](M& m, DopRecord& r) { return m.GetFixSvList(r); }, {EV_DOPS, 0, false}));
    cases.push_back(ValueCase<uint32_t>(
        "SetHealthStatus", [](M& m, uint32_t v) { m.SetHealthStatus(v); },
        [](M& m) { return m.GetHealthStatus(); }, 0x12345u, {EV_HEALTH, 0, false}));
    cases.push_back(ValueCase<uint32_t>(
        "SetHealthErrorBits", [](M& m, uint32_t v) { m.SetHealthErrorBits(v); },
        [](M& m) { return m.GetHealthErrorBits(); }, 0x30u, {EV_HEALTH_ERRORS, 0x30, false}));
    cases.push_back(ValueCase<uint32_t>(
        "SetMachineId", [](M& m, uint32_t v) { m.SetMachineId(v); },
        [](M& m) { return m.GetMachineId(); }, 0xABCDu, {EV_MACHINE_ID, 0xABCD, false}));
    cases.push_back(ValueCase<uint32_t>(
        "SetStatusCode", [](M& m, uint32_t v) { m.SetStatusCode(v); },
        [](M& m) { return m.GetStatusCode(); }, 0x1F00Du, {EV_STATUS_CODE, 0xF00D, false}));
    cases.push_back(ValueCase<uint8_t>(
        "SetDgpsMode", [](M& m, uint8_t v) { m.SetDgpsMode(v); },
        [](M& m) { return m.GetDgpsMode(); }, uint8_t(3), {EV_DGPS_MODE, 3, false}));
    cases.push_back(RecordCase<TrackingTable>(
        "SetTrackingTable", [](M& m, const TrackingTable& r) { m.SetTrackingTable(r, 7); },
        [](M& m, TrackingTable& r) { return m.GetTrackingTable(r); }, {EV_TRACKING, 7, false}));
    cases.push_back(RecordCase<TrackingTable>(
        "SetTrackingTable whole", [](M& m, const TrackingTable& r) { m.SetTrackingTable(r, 255); },
        [](M& m, TrackingTable& r) { return m.GetTrackingTable(r); }, {EV_TRACKING, 255, false}));
    cases.push_back(RecordCase<SignalLevelTable>(
        "SetSignalLevels", [](M& m, const SignalLevelTable& r) { m.SetSignalLevels(r); },
        [](M& m, SignalLevelTable& r) { return m.GetSignalLevels(r); }, {EV_SIGNAL_LEVELS, 0, false}));
    cases.push_back(RecordCase<RawMeasurement>(
        "SetRawMeasurement", [](M& m, const RawMeasurement& r) { m.SetRawMeasurement(r); },
        [](M& m, RawMeasurement& r) { return m.GetRawMeasurement(r); },
        {EV_RAW_MEASUREMENT, 0, true}));
    cases.push_back(RecordCase<IoOptions>(
        "SetIoOptions", [](M& m, const IoOptions& r) { m.SetIoOptions(r); },
        [](M& m, IoOptions& r) { return m.GetIoOptions(r); }, {EV_IO_OPTIONS, 0, false}));
    cases.push_back(RecordCase<FilterConfig>(
        "SetFilterConfig", [](M& m, const FilterConfig& r) { m.SetFilterConfig(r); },
        [](M& m, FilterConfig& r) { return m.GetFilterConfig(r); }, {EV_FILTER_CONFIG, 0, false}));
    {
        StoreCase c;
        c.name = "SetReferenceAltitude";
        c.store = [](M& m) { m.SetReferenceAltitude(5.25f, 3); };
        c.readsBackWhole = [](M& m) {
            float value = 0;
            uint8_t flag = 0;
            return m.GetReferenceAltitude(value, flag) && value == 5.25f && flag == 3;
        };
        c.expected = {EV_REFERENCE_ALTITUDE, 0, false};
        cases.push_back(c);
    }
    cases.push_back(RecordCase<AlmanacHealthPage>(
        "SetAlmanacHealthPage notify",
        [](M& m, const AlmanacHealthPage& r) { m.SetAlmanacHealthPage(r, true); },
        [](M& m, AlmanacHealthPage& r) { return m.GetAlmanacHealthPage(r); },
        {EV_ALMANAC_HEALTH, 0, false}));
    cases.push_back(RecordCase<AlmanacHealthPage>(
        "SetAlmanacHealthPage quiet",
        [](M& m, const AlmanacHealthPage& r) { m.SetAlmanacHealthPage(r, false); },
        [](M& m, AlmanacHealthPage& r) { return m.GetAlmanacHealthPage(r); }, kNone));
    cases.push_back(RecordCase<AlmanacRecord>(
        "SetAlmanac", [](M& m, const AlmanacRecord& r) { m.SetAlmanac(r); },
        [](M& m, AlmanacRecord& r) { return m.GetAlmanac(r); }, {EV_ALMANAC, 0, false}));
    cases.push_back(RecordCase<EphemerisRecord>(
        "SetEphemeris notify", [](M& m, const EphemerisRecord& r) { m.SetEphemeris(r, true); },
        [](M& m, EphemerisRecord& r) { return m.GetEphemeris(r); }, {EV_EPHEMERIS, 0, false}));
    cases.push_back(RecordCase<EphemerisRecord>(
        "SetEphemeris quiet", [](M& m, const EphemerisRecord& r) { m.SetEphemeris(r, false); },
        [](M& m, EphemerisRecord& r) { return m.GetEphemeris(r); }, kNone));
    cases.push_back(RecordCase<UtcParams>(
        "SetUtcParams", [](M& m, const UtcParams& r) { m.SetUtcParams(r); },
        [](M& m, UtcParams& r) { return m.GetUtcParams(r); }, {EV_UTC, 0, false}));
    cases.push_back(RecordCase<IonoParams>(
        "SetIonoParams", [](M& m, const IonoParams& r) { m.SetIonoParams(r); },
        [](M& m, IonoParams& r) { return m.GetIonoParams(r); }, {EV_IONOSPHERE, 0, false}));
    cases.push_back(RecordCase<SvFlags>(
        "SetSvFlags", [](M& m, const SvFlags& r) { m.SetSvFlags(r); },
        [](M& m, SvFlags& r) { return m.GetSvFlags(r); }, {EV_SV_FLAGS, 0, false}));
    cases.push_back(RecordCase<uint32_t>(
        "SetSvMaskWord", [](M& m, const uint32_t& v) { m.SetSvMaskWord(v); },
        [](M& m, uint32_t& v) { return m.GetSvMaskWord(v); }, {EV_SV_MASK, 0, false}));
    cases.push_back(RecordCase<NmeaOutputConfig>(
        "SetNmeaOutputConfig", [](M& m, const NmeaOutputConfig& r) { m.SetNmeaOutputConfig(r); },
        [](M& m, NmeaOutputConfig& r) { return m.GetNmeaOutputConfig(r); },
        {EV_NMEA_OUTPUT, 0, false}));
    cases.push_back(RecordCase<QtxtConfigRecord>(
        "SetQtxtConfig", [](M& m, const QtxtConfigRecord& r) { m.SetQtxtConfig(r, EV_QTXT_F_REPORT); },
        [](M& m, QtxtConfigRecord& r) { return m.GetQtxtConfig(r); },
        {EV_QTXT_F_REPORT, 0, false}));
    cases.push_back(RecordCase<DiagTextRecord>(
        "SetDiagTextRecord", [](M& m, const DiagTextRecord& r) { m.SetDiagTextRecord(r, 5); },
        [](M& m, DiagTextRecord& r) { return m.GetDiagTextRecord(r); }, {EV_DIAG_TEXT, 5, false}));
    cases.push_back(RecordCase<PortConfigRecord>(
        "SetPortConfig", [](M& m, const PortConfigRecord& r) { m.SetPortConfig(r); },
        [](M& m, PortConfigRecord& r) { return m.GetPortConfig(r); }, {EV_PORT_CONFIG, 0, false}));
    cases.push_back(RecordCase<NavConfig>(
        "SetNavConfig", [](M& m, const NavConfig& r) { m.SetNavConfig(r); },
        [](M& m, NavConfig& r) { return m.GetNavConfig(r); }, {EV_NAV_CONFIG, 0, false}));
    cases.push_back(RecordCase<DatumRecord>(
        "SetDatum", [](M& m, const DatumRecord& r) { m.SetDatum(r); },
        [](M& m, DatumRecord& r) { return m.GetDatum(r); }, {EV_DATUM, 0, false}));
    cases.push_back(RecordCase<SupplementalTiming>(
        "SetSupplementalTiming", [](M& m, const SupplementalTiming& r) { m.SetSupplementalTiming(r); },
        [](M& m, SupplementalTiming& r) { return m.GetSupplementalTiming(r); },
        {EV_SUPPLEMENTAL_TIMING, 0, false}));
    cases.push_back(RecordCase<TimingConfig>(
        "SetTimingConfig", [](M& m, const TimingConfig& r) { m.SetTimingConfig(r, EV_TIMING_MODE); },
        [](M& m, TimingConfig& r) { return m.GetTimingConfig(r); }, {EV_TIMING_MODE, 0, false}));
    cases.push_back(RecordCase<DiagStatusRecord>(
        "SetDiagStatus", [](M& m, const DiagStatusRecord& r) { m.SetDiagStatus(r, 0); },
        [](M& m, DiagStatusRecord& r) { return m.GetDiagStatus(r); }, {EV_DIAG_STATUS, 0, false}));
    cases.push_back(RecordCase<FirmwareVersionRecord>(
        "IdentifyReceiver source 0",
        [](M& m, const FirmwareVersionRecord& r) { EXPECT_TRUE(m.IdentifyReceiver(r, 0)); },
        [](M& m, FirmwareVersionRecord& r) { return m.GetFirmwareVersion(r, 0); },
        {EV_FIRMWARE_VERSION, 0, false}));
    cases.push_back(RecordCase<FirmwareVersionRecord>(
        "IdentifyReceiver source 1",
        [](M& m, const FirmwareVersionRecord& r) { EXPECT_TRUE(m.IdentifyReceiver(r, 1)); },
        [](M& m, FirmwareVersionRecord& r) { return m.GetFirmwareVersion(r, 1); },
        {EV_CORE_VERSION, 0, false}));
    cases.push_back(RecordCase<FirmwareVersionRecord>(
        "SetComponentVersion notify",
        [](M& m, const FirmwareVersionRecord& r) { m.SetComponentVersion(r, 19, true); },
        [](M& m, FirmwareVersionRecord& r) {
            ComponentVersionTable t;
            int count = 0;
            m.GetComponentVersions(t, count);
            r = t.entries[19];
            return count == 20 && t.count == 20;
        },
        {EV_COMPONENT_VERSION, 0, false}));
    cases.push_back(RecordCase<FirmwareVersionRecord>(
        "SetComponentVersion quiet",
        [](M& m, const FirmwareVersionRecord& r) { m.SetComponentVersion(r, 4, false); },
        [](M& m, FirmwareVersionRecord& r) {
            ComponentVersionTable t;
            int count = -1;
            m.GetComponentVersions(t, count);
            r = t.entries[4];
            return count == 0;  // the count moves only with notify
        },
        kNone));
    cases.push_back(RecordCase<NavState>(
        "UpdateNavState kind 17",
        [](M& m, const NavState& r) { EXPECT_TRUE(m.UpdateNavState(r, NAV_KIND_CLOCK, nullptr)); },
        [](M& m, NavState& r) { return m.GetNavState(r); }, {EV_CLOCK_BIAS, 0, false}));
    return cases;
}

TEST(CModelStore, EachStoreRaisesItsEventOnceAndReadsBackWhole)
{
    for (const StoreCase& c : StoreCases()) {
        SCOPED_TRACE(c.name);
        AttachedModel a;
        c.store(a.model);
        std::vector<RecordedEvent> expected;
        if (c.expected.event != 0) expected.push_back(c.expected);
        EXPECT_EQ(a.sink.Events(), expected);
        EXPECT_TRUE(c.readsBackWhole(a.model));
    }
}

TEST(CModelStore, ProductInfoRaises20Then54)
{
    AttachedModel a;
    ProductRecord p = Filled<ProductRecord>(0x41);
    p.code = 1002;
    a.model.SetProductInfo(p);
    EXPECT_EQ(a.sink.Events(),
              (std::vector<RecordedEvent>{{EV_PRODUCT_INFO, 0, false}, {EV_RECEIVER_MODEL, 0, false}}));
    ProductRecord out = Patterned<ProductRecord>(0);
    EXPECT_TRUE(a.model.GetProductInfo(out));
    EXPECT_TRUE(SameBytes(out, p));
    EXPECT_EQ(a.model.GetReceiverModel(), 1002);
    EXPECT_EQ(a.model.GetCapabilityBits(), 0x221u);
}

TEST(CModelStore, WithoutControllerStoresButRaisesNothing)
{
    CModel model;
    DopRecord d = {1, 2, 3, 4};
    model.SetDops(d);
    EXPECT_FALSE(model.Notify(EV_HEALTH, 0, false));
    DopRecord out = {};
    model.GetFixSvList(out);
    EXPECT_EQ(out.pdop, 4);
}

TEST(CModelStore, DiagMessagesCarryTheRequesterAndTheirPosition)
{
    AttachedModel a;
    a.model.AddDiagMessage(4, 0x18001, "abc");
    a.model.AddDiagMessage(-1, 7, "plain");
    EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{EV_DIAG_MESSAGE, 0, false},
                                                           {EV_DIAG_MESSAGE, 1, false}}));
    int32_t code = 0;
    CString text;
    ASSERT_TRUE(a.model.GetDiagMessage(0, code, text));
    EXPECT_EQ(code, 0x8001);
    EXPECT_STREQ(text, "abc (requested by idx: 4)");
    ASSERT_TRUE(a.model.GetDiagMessage(1, code, text));
    EXPECT_STREQ(text, "plain");
    EXPECT_FALSE(a.model.GetDiagMessage(2, code, text));
    EXPECT_FALSE(a.model.GetDiagMessage(-1, code, text));
}

TEST(CModelStore, DiagMessageListEmptiesPast65535Entries)
{
    CModel model;  // no controller: 65536 stores raise nothing to record
    for (int i = 0; i < 65536; ++i) model.AddDiagMessage(-1, i, "x");
    EXPECT_EQ(model.GetDiagMessageCount(), 65536);
    model.AddDiagMessage(-1, 1, "first again");  // the list is emptied first
    EXPECT_EQ(model.GetDiagMessageCount(), 1);
    int32_t code = 0;
    CString text;
    ASSERT_TRUE(model.GetDiagMessage(0, code, text));
    EXPECT_STREQ(text, "first again");
}

// ---- Clearing ---------------------------------------------------------------

void StoreEverything(CModel& m)
{
    m.IdentifyReceiver(Filled<FirmwareVersionRecord>(0x31), 0);
    m.IdentifyReceiver(Filled<FirmwareVersionRecord>(0x32), 1);
    m.SetProductInfo(Filled<ProductRecord>(0x33));
    m.SetReceiverModel(1002);  // capability bits 0x221
    m.SetComponentVersion(Filled<FirmwareVersionRecord>(0x34), 3, true);
    NavState nav = Filled<NavState>(0x35);
    nav.timeOfFix = 100;
    m.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    m.UpdateNavState(nav, NAV_KIND_FIX, nullptr);
    m.SetTimeInfo(Filled<GpsTimeInfo>(0x36), true, 0);
    m.SetDiagTimeInfo(Filled<GpsTimeInfo>(0x37));
    m.SetFixModeAndDops(Filled<FixModeRecord>(0x38), true);
    m.SetDops(Filled<DopRecord>(0x39));
    m.SetReferenceAltitude(5.0f, 1);
    m.SetHealthStatus(9);
    m.SetHealthErrorBits(9);
    m.SetMachineId(9);
    m.SetStatusCode(9);
    m.SetDgpsMode(9);
    m.SetDiagStatus(Filled<DiagStatusRecord>(0x3A), 0);
    m.SetDiagTextRecord(Filled<DiagTextRecord>(0x3B), 0);
    m.AddDiagMessage(1, 2, "m");
    m.SetTrackingTable(Filled<TrackingTable>(0x3C), 255);
    m.SetSignalLevels(Filled<SignalLevelTable>(0x3D));
    m.SetRawMeasurement(Filled<RawMeasurement>(0x3E));
    m.SetSvFlags(Filled<SvFlags>(0x3F));
    m.SetSvMaskWord(9);
    m.SetAlmanacHealthPage(Filled<AlmanacHealthPage>(0x40), true);
    m.SetAlmanac(Filled<AlmanacRecord>(0x41));
    m.SetEphemeris(Filled<EphemerisRecord>(0x42), true);
    m.SetUtcParams(Filled<UtcParams>(0x43));
    m.SetIonoParams(Filled<IonoParams>(0x44));
    m.SetFilterConfig(Filled<FilterConfig>(0x46));
    m.SetNavConfig(Filled<NavConfig>(0x47));
    m.SetDatum(Filled<DatumRecord>(0x48));
    m.SetPortConfig(Filled<PortConfigRecord>(0x49));
    m.SetNmeaOutputConfig(Filled<NmeaOutputConfig>(0x4A));
    m.SetQtxtConfig(Filled<QtxtConfigRecord>(0x4B), EV_QTXT_ID);
    m.SetSupplementalTiming(Filled<SupplementalTiming>(0x4C));
    m.SetTimingConfig(Filled<TimingConfig>(0x4D), EV_PPS_WIDTH);
    for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) m.SetReportText(i, "0x8F-AC");
    for (int i = 0; i < MODEL_REPORT_FLAG_COUNT; ++i) m.SetReportFlag(i, true);
    m.SetActivityFlag(0xFF, false);
    m.SetExpectedCrc(10, 0x1234);
    const uint8_t packet[] = {0x41, 1};
    m.CheckPacketCrc(packet, 2);  // fills the checked pair
    m.SetExpectedCrc(10, 0x1234);
    const uint8_t frame[] = {0x24};
    m.SetLastRawFrame(PROTO_NMEA, frame, 1);  // sets the checksum flag
    m.SetIoOptions(Filled<IoOptions>(0x45));  // byte 3 bit 6 set: checksum flag too
}

TEST(CModelClear, EverythingGoesToItsClearedDefault)
{
    CModel m;
    StoreEverything(m);
    m.ClearData(1);

    NavState nav;
    NavState expectedNav = Zeroed<NavState>();
    expectedNav.timeOfFix = -1.0;
    m.GetNavState(nav);
    EXPECT_TRUE(SameBytes(nav, expectedNav));
    m.GetPreviousNavState(nav);
    EXPECT_TRUE(SameBytes(nav, expectedNav));

    TrackingTable tracking;
    TrackingTable expectedTracking = Zeroed<TrackingTable>();
    for (int i = 0; i < MODEL_CHANNEL_COUNT; ++i) expectedTracking.entries[i].status2 = 254;
    m.GetTrackingTable(tracking);
    EXPECT_TRUE(SameBytes(tracking, expectedTracking));

    SvFlags flags;
    m.GetSvFlags(flags);
    for (int i = 0; i < MODEL_SV_COUNT; ++i) EXPECT_EQ(flags.flags[i], 1) << i;

    TimingConfig timing;
    TimingConfig expectedTiming = Zeroed<TimingConfig>();
    expectedTiming.ppsWidth = -1.0;
    m.GetTimingConfig(timing);
    EXPECT_TRUE(SameBytes(timing, expectedTiming));

    FirmwareVersionRecord fw;
    FirmwareVersionRecord expectedFw = Zeroed<FirmwareVersionRecord>();
    expectedFw.build = -1;
    for (int which = 0; which < 2; ++which) {
        ASSERT_TRUE(m.GetFirmwareVersion(fw, which));
        EXPECT_TRUE(SameBytes(fw, expectedFw)) << which;
    }

#define EXPECT_CLEARED(Type, call)                    \
    {                                                 \
        Type r = Patterned<Type>(0xEE);               \
        m.call(r);                                    \
        EXPECT_TRUE(SameBytes(r, Zeroed<Type>())) << #call; \
    }
    EXPECT_CLEARED(GpsTimeInfo, GetTimeInfo)
    EXPECT_CLEARED(GpsTimeInfo, GetDiagTimeInfo)
    EXPECT_CLEARED(FixModeRecord, GetFixModeAndDops)
    EXPECT_CLEARED(DopRecord, GetFixSvList)
    EXPECT_CLEARED(DiagStatusRecord, GetDiagStatus)
    EXPECT_CLEARED(DiagTextRecord, GetDiagTextRecord)
    EXPECT_CLEARED(SignalLevelTable, GetSignalLevels)
    EXPECT_CLEARED(RawMeasurement, GetRawMeasurement)
    EXPECT_CLEARED(AlmanacHealthPage, GetAlmanacHealthPage)
    EXPECT_CLEARED(AlmanacRecord, GetAlmanac)
    EXPECT_CLEARED(EphemerisRecord, GetEphemeris)
    EXPECT_CLEARED(UtcParams, GetUtcParams)
    EXPECT_CLEARED(IonoParams, GetIonoParams)
    EXPECT_CLEARED(IoOptions, GetIoOptions)
    EXPECT_CLEARED(FilterConfig, GetFilterConfig)
    EXPECT_CLEARED(NavConfig, GetNavConfig)
    EXPECT_CLEARED(DatumRecord, GetDatum)
    EXPECT_CLEARED(PortConfigRecord, GetPortConfig)
    EXPECT_CLEARED(NmeaOutputConfig, GetNmeaOutputConfig)
    EXPECT_CLEARED(QtxtConfigRecord, GetQtxtConfig)
    EXPECT_CLEARED(SupplementalTiming, GetSupplementalTiming)
    EXPECT_CLEARED(ProductRecord, GetProductInfo)
#undef EXPECT_CLEARED

    ComponentVersionTable components;
    int count = -1;
    m.GetComponentVersions(components, count);
    EXPECT_EQ(count, 0);
    float alt = 1;
    uint8_t altFlag = 1;
    m.GetReferenceAltitude(alt, altFlag);
    EXPECT_EQ(alt, 0.0f);
    EXPECT_EQ(altFlag, 0);
    uint32_t mask = 1;
    m.GetSvMaskWord(mask);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(m.GetHealthStatus(), 2u);
    EXPECT_EQ(m.GetHealthErrorBits(), 0u);
    EXPECT_EQ(m.GetMachineId(), 0u);
    EXPECT_EQ(m.GetStatusCode(), 0u);
    EXPECT_EQ(m.GetDgpsMode(), 0);
    EXPECT_EQ(m.GetCapabilityBits(), 0u);
    EXPECT_EQ(m.GetReceiverModel(), 0);
    EXPECT_EQ(m.GetActivityFlags(), 0u);
    EXPECT_FALSE(m.GetChecksumFlag());
    EXPECT_FALSE(m.IsInWindow());
    EXPECT_EQ(m.GetDiagMessageCount(), 0);
    EXPECT_STREQ(m.GetReceiverName(), "");
    for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) EXPECT_STREQ(m.GetReportText(i), "") << i;
    for (int i = 0; i < MODEL_REPORT_FLAG_COUNT; ++i) EXPECT_FALSE(m.GetReportFlag(i)) << i;
    uint16_t size = 1, crc = 1;
    m.GetExpectedCrc(size, crc);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(crc, 0);
    // The pending announcement is gone too: any packet passes.
    const uint8_t packet[] = {0x41, 0, 0};
    EXPECT_TRUE(m.CheckPacketCrc(packet, 3));
}

TEST(CModelClear, FirmwareAndProductSelectorsClearOnlyTheirRecords)
{
    CModel m;
    StoreEverything(m);
    m.ClearData(13);
    FirmwareVersionRecord fw;
    FirmwareVersionRecord expectedFw = Zeroed<FirmwareVersionRecord>();
    expectedFw.build = -1;
    m.GetFirmwareVersion(fw, 0);
    EXPECT_TRUE(SameBytes(fw, expectedFw));
    m.GetFirmwareVersion(fw, 1);
    EXPECT_TRUE(SameBytes(fw, expectedFw));
    ProductRecord product;
    m.GetProductInfo(product);
    EXPECT_TRUE(SameBytes(product, Filled<ProductRecord>(0x33)));
    EXPECT_EQ(m.GetHealthStatus(), 9u);

    m.ClearData(14);
    m.GetProductInfo(product);
    EXPECT_TRUE(SameBytes(product, Zeroed<ProductRecord>()));
    EXPECT_STREQ(m.GetReceiverName(), "");
    EXPECT_EQ(m.GetCapabilityBits(), 0x221u);  // kept until the next identification

    m.ClearData(2);  // not a selector: nothing changes
    EXPECT_EQ(m.GetHealthStatus(), 9u);
}

TEST(CModelClear, ReportFlagsAndTextsClearSeparately)
{
    CModel m;
    m.SetReportFlag(11, true);
    m.SetReportText(36, "0x7F");
    m.ClearReportFlags();
    EXPECT_FALSE(m.GetReportFlag(11));
    EXPECT_STREQ(m.GetReportText(36), "0x7F");
    m.ClearReportTexts();
    EXPECT_STREQ(m.GetReportText(36), "");
}

// ---- Indexes ------------------------------------------------------------------

TEST(CModelIndexes, OutsideTheirRangeChangeNothingAndRaiseNothing)
{
    AttachedModel a;
    CModel& m = a.model;
    FirmwareVersionRecord fw = Filled<FirmwareVersionRecord>(0x51);
    m.SetComponentVersion(fw, 20, true);
    m.SetComponentVersion(fw, -1, true);
    TrackingTable t = Filled<TrackingTable>(0x52);
    m.SetTrackingTable(t, 12);
    m.SetTrackingTable(t, -1);
    m.SetTrackingTable(t, 254);
    m.ClearTrackingEntry(12);
    m.ClearTrackingEntry(-1);
    m.SetReportText(37, "x");
    m.SetReportText(-1, "x");
    m.SetReportFlag(12, true);
    m.SetReportFlag(-1, true);
    EXPECT_FALSE(m.IdentifyReceiver(fw, 2));
    EXPECT_FALSE(m.IdentifyReceiver(fw, -1));
    EXPECT_TRUE(a.sink.Events().empty());

    ComponentVersionTable components;
    int count = -1;
    m.GetComponentVersions(components, count);
    EXPECT_EQ(count, 0);
    TrackingTable tracking;
    m.GetTrackingTable(tracking);
    EXPECT_EQ(tracking.entries[0].status2, 254);
    EXPECT_STREQ(m.GetReportText(37), "");
    EXPECT_STREQ(m.GetReportText(-1), "");
    EXPECT_FALSE(m.GetReportFlag(12));
    EXPECT_FALSE(m.GetReportFlag(-1));
    FirmwareVersionRecord out;
    EXPECT_FALSE(m.GetFirmwareVersion(out, 2));
    EXPECT_FALSE(m.GetFirmwareVersion(out, -1));
    int32_t code;
    CString text;
    EXPECT_FALSE(m.GetDiagMessage(0, code, text));
}

TEST(CModelIndexes, EdgesOfEachRangeAreStored)
{
    CModel m;
    m.SetReportText(0, "a");
    m.SetReportText(36, "b");
    m.SetReportFlag(0, true);
    m.SetReportFlag(11, true);
    EXPECT_STREQ(m.GetReportText(0), "a");
    EXPECT_STREQ(m.GetReportText(36), "b");
    EXPECT_TRUE(m.GetReportFlag(0));
    EXPECT_TRUE(m.GetReportFlag(11));
    TrackingTable t = Filled<TrackingTable>(0x52);
    m.SetTrackingTable(t, 11);
    m.ClearTrackingEntry(11);
    TrackingTable out;
    m.GetTrackingTable(out);
    EXPECT_EQ(out.entries[11].sv, 0);
    EXPECT_EQ(out.entries[10].sv, 0x52);
}

TEST(CModelIndexes, FixModeKeepsAtMostTwelveSatellites)
{
    CModel m;
    FixModeRecord r = Filled<FixModeRecord>(0x21);
    r.svCount = 14;
    m.SetFixModeAndDops(r, false);
    FixModeRecord out;
    m.GetFixModeAndDops(out);
    EXPECT_EQ(out.svCount, 12);
}

// ---- Frames, commands, flags ----------------------------------------------------

TEST(CModelFrames, LastRawFrameIsReadableOnlyWhileItsEventIsDelivered)
{
    AttachedModel a;
    const uint8_t frame[] = {0x10, 0x41, 0x00, 0x10, 0x03};
    ProtocolKind during = -1;
    CByteArray bytes;
    a.sink.onEvent = [&](int32_t event, int32_t) {
        if (event == EV_RAW_FRAME) during = a.model.GetLastRawFrame(bytes);
    };
    a.model.SetLastRawFrame(PROTO_QBIN, frame, 5);
    EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{EV_RAW_FRAME, PROTO_QBIN, true}}));
    EXPECT_EQ(during, PROTO_QBIN);
    ASSERT_EQ(bytes.GetSize(), 5);
    EXPECT_EQ(std::memcmp(bytes.GetData(), frame, 5), 0);
    CByteArray after;
    EXPECT_EQ(a.model.GetLastRawFrame(after), PROTO_NONE);
    EXPECT_EQ(after.GetSize(), 5);
    EXPECT_FALSE(a.model.GetChecksumFlag());  // QBIN frames do not show the checksum line

    a.model.SetLastRawFrame(PROTO_NMEA, nullptr, 3);  // bad input: stored empty
    EXPECT_EQ(a.model.GetLastRawFrame(after), PROTO_NONE);
    EXPECT_EQ(after.GetSize(), 0);
    EXPECT_TRUE(a.model.GetChecksumFlag());
}

TEST(CModelFrames, LastSentCommandIsSentWithDetailZero)
{
    AttachedModel a;
    const uint8_t command[] = {0x10, 0x26, 0x10, 0x03};
    ProtocolKind during = -1;
    CByteArray bytes;
    a.sink.onEvent = [&](int32_t event, int32_t) {
        if (event == EV_COMMAND_BYTES) during = a.model.GetLastSentCommand(bytes);
    };
    a.model.SetLastSentCommand(PROTO_QBIN, command, 4);
    EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{EV_COMMAND_BYTES, 0, true}}));
    EXPECT_EQ(during, PROTO_QBIN);
    ASSERT_EQ(bytes.GetSize(), 4);
    EXPECT_EQ(std::memcmp(bytes.GetData(), command, 4), 0);
    EXPECT_EQ(a.model.GetLastSentCommand(bytes), PROTO_NONE);
}

TEST(CModelFrames, ActivityFlags)
{
    struct Step {
        uint32_t mask;
        bool clear;
        uint32_t after;
    };
    const Step steps[] = {
        {ACT_BYTE_RECEIVED | ACT_TIME, false, 0x21},
        {ACT_BYTE_SENT, false, 0x23},
        {ACT_BYTE_RECEIVED, true, 0x22},
        {0, false, 0},  // mask 0 clears every flag whatever the clear switch
        {ACT_POSITION, false, 0x04},
        {0, true, 0},
    };
    CModel m;
    for (const Step& s : steps) {
        m.SetActivityFlag(s.mask, s.clear);
        EXPECT_EQ(m.GetActivityFlags(), s.after) << s.mask << " " << s.clear;
    }
}

TEST(CModelFrames, IoOptionsSetTheChecksumFlagFromBitSixOfTheLastByte)
{
    CModel m;
    IoOptions o = {0, 0, 0, 0x40};
    m.SetIoOptions(o);
    EXPECT_TRUE(m.GetChecksumFlag());
    o.auxiliary = 0xBF;
    m.SetIoOptions(o);
    EXPECT_FALSE(m.GetChecksumFlag());
}

// ---- CRC announcement ---------------------------------------------------------------

TEST(CModelCrc, OneAnnouncementCoversExactlyOnePacket)
{
    // 0xD746 is the low half of the CRC-32 of the ten data bytes 00..09.
    const uint8_t good[] = {0x41, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const uint8_t announcement[] = {0xAA, 0x00, 0x0A, 0xD7, 0x46};
    const uint8_t shortOne[] = {0x41, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t single[] = {0x41};
    struct Step {
        const char* what;
        bool announce;
        const uint8_t* packet;
        int length;
        bool pass;
        uint16_t checkedSize;
        uint16_t checkedCrc;
    };
    const Step steps[] = {
        {"no announcement: anything passes", false, shortOne, 10, true, 0, 0},
        {"matching size and CRC", true, good, 11, true, 10, 0xD746},
        {"announcement used up", false, shortOne, 10, true, 10, 0xD746},
        {"wrong size fails once", true, shortOne, 10, false, 10, 0xD746},
        {"then passes unannounced", false, shortOne, 10, true, 10, 0xD746},
        {"the announcement report itself", true, announcement, 5, true, 10, 0xD746},
        {"a lone id", false, single, 1, true, 10, 0xD746},
        {"nothing at all", false, single, 0, true, 10, 0xD746},
        {"null packet", false, nullptr, 11, true, 10, 0xD746},
        {"announcement still pending", false, good, 11, true, 10, 0xD746},
    };
    CModel m;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.announce) m.SetExpectedCrc(10, 0xD746);
        EXPECT_EQ(m.CheckPacketCrc(s.packet, s.length), s.pass);
        uint16_t size = 0, crc = 0;
        m.GetExpectedCrc(size, crc);
        EXPECT_EQ(size, s.checkedSize);
        EXPECT_EQ(crc, s.checkedCrc);
    }
}

TEST(CModelCrc, WrongCrcOfTheRightSizeFails)
{
    CModel m;
    const uint8_t good[] = {0x41, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    m.SetExpectedCrc(10, 0x1234);
    EXPECT_FALSE(m.CheckPacketCrc(good, 11));
    uint16_t size = 0, crc = 0;
    m.GetExpectedCrc(size, crc);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(crc, 0x1234);
    EXPECT_TRUE(m.CheckPacketCrc(good, 11));
}

// ---- Identification --------------------------------------------------------------------

TEST(CModelIdentification, FirmwareYearComparesTwoDigitYears)
{
    struct Case {
        int firmwareYear;
        int year;
        bool before;
    };
    const Case cases[] = {
        // Full years lose their century: 1999 compares as 99, so year 5 is before it.
        {2, 2003, true}, {3, 2003, false}, {5, 1999, true}, {98, 1999, true},
        {99, 1999, false}, {79, 2080, true}, {80, 1981, true}, {2, 3, true}, {5, 99, true},
        {2002, 2003, true},  // a full firmware year is cut the same way
    };
    for (const Case& c : cases) {
        CModel m;
        FirmwareVersionRecord fw = Zeroed<FirmwareVersionRecord>();
        fw.year = static_cast<uint16_t>(c.firmwareYear);
        m.IdentifyReceiver(fw, 0);
        EXPECT_EQ(m.IsFirmwareYearBefore(c.year), c.before) << c.firmwareYear << " vs " << c.year;
    }
}

TEST(CModelIdentification, CapabilityTest)
{
    struct Case {
        int32_t code;
        uint32_t mask;
        bool has;
    };
    const Case cases[] = {
        {1002, 0x20, true}, {1002, 0x4, false}, {0, 0, true}, {1500, 0, false}, {0, 0x800, false},
    };
    for (const Case& c : cases) {
        CModel m;
        m.SetReceiverModel(c.code);
        EXPECT_EQ(m.HasCapability(c.mask), c.has) << c.code << " " << std::hex << c.mask;
    }
}

TEST(CModelIdentification, ReceiverNameIsTheProductName)
{
    CModel m;
    ProductRecord p = Zeroed<ProductRecord>();
    CopyRecordText(p.name, "Zenthos GPS Receiver");
    m.SetProductInfo(p);
    EXPECT_STREQ(m.GetReceiverName(), "Zenthos GPS Receiver");
    m.ClearData(14);
    EXPECT_STREQ(m.GetReceiverName(), "");
}

TEST(CModelIdentification, OverlongTextsAreCutAndTerminated)
{
    CModel m;
    ProductRecord p = Patterned<ProductRecord>('A');  // no terminator anywhere
    m.SetProductInfo(p);
    EXPECT_EQ(std::string(m.GetReceiverName()), std::string(MODEL_NAME_LENGTH - 1, 'A'));
}

// ---- Time -------------------------------------------------------------------------

GpsTimeInfo CalendarRecord(int year, int month, int day)
{
    GpsTimeInfo t = Zeroed<GpsTimeInfo>();
    t.source = TIME_SOURCE_UTC_CALENDAR;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint8_t>(month);
    t.day = static_cast<uint8_t>(day);
    t.timeOfWeek = 7;
    t.week = 8;
    return t;
}

TEST(CModelTime, UtcCalendarIsTurnedIntoGpsWeekAndSeconds)
{
    struct Case {
        const char* what;
        int year;
        bool alreadyGps;
        uint16_t week;
        uint32_t seconds;
    };
    const Case cases[] = {
        {"UTC calendar", 1981, false, 51, 345600},
        {"no year", 30000, false, 8, 7},
        {"year 1900", 1900, false, 8, 7},
        {"already GPS", 1981, true, 8, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AttachedModel a;
        a.model.SetTimeInfo(CalendarRecord(c.year, 1, 1), c.alreadyGps, 0x4321);
        GpsTimeInfo out;
        a.model.GetTimeInfo(out);
        EXPECT_EQ(out.week, c.week);
        EXPECT_EQ(out.timeOfWeek, c.seconds);
        EXPECT_EQ(out.year, c.year);
        EXPECT_EQ(a.model.GetGpsWeek(), c.week);
        EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{EV_GPS_TIME, 0x4321, false}}));
        EXPECT_EQ(a.model.GetActivityFlags(), static_cast<uint32_t>(ACT_TIME));
    }
}

TEST(CModelTime, DiagTimeWithoutYearIsRefused)
{
    AttachedModel a;
    GpsTimeInfo before = CalendarRecord(2024, 3, 5);
    ASSERT_TRUE(a.model.SetDiagTimeInfo(before));
    a.sink.Clear();
    EXPECT_FALSE(a.model.SetDiagTimeInfo(CalendarRecord(0, 1, 1)));
    EXPECT_TRUE(a.sink.Events().empty());
    GpsTimeInfo out;
    a.model.GetDiagTimeInfo(out);
    EXPECT_EQ(out.year, 2024);

    // Unlike the main time record, the diagnostic one converts years up to 1900 too.
    ASSERT_TRUE(a.model.SetDiagTimeInfo(CalendarRecord(1981, 1, 1)));
    a.model.GetDiagTimeInfo(out);
    EXPECT_EQ(out.week, 51);
    EXPECT_EQ(out.timeOfWeek, 345600u);
}

// ---- Navigation state ------------------------------------------------------------

NavState Fix(double lat, double timeOfFix)
{
    NavState s = Zeroed<NavState>();
    s.latitude = lat;
    s.timeOfFix = timeOfFix;
    s.fixValid = 1;
    return s;
}

TEST(CModelNav, ReportsShiftThroughCurrentAndPrevious)
{
    AttachedModel a;
    ASSERT_TRUE(a.model.UpdateNavState(Fix(0.1, 10), NAV_KIND_LLA_DOUBLE, nullptr));
    ASSERT_TRUE(a.model.UpdateNavState(Fix(0.2, 11), NAV_KIND_XYZ_DOUBLE, nullptr));
    NavState current, previous;
    a.model.GetNavState(current);
    a.model.GetPreviousNavState(previous);
    EXPECT_EQ(current.latitude, 0.2);
    EXPECT_EQ(previous.latitude, 0.1);
    EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{EV_POSITION_LLA, 0, false},
                                                           {EV_POSITION_XYZ, 0, false}}));

    // Kind 0 (satellites only) replaces the current state and leaves the previous.
    a.sink.Clear();
    ASSERT_TRUE(a.model.UpdateNavState(Fix(0.3, 12), NAV_KIND_SVS_ONLY, nullptr));
    a.model.GetNavState(current);
    a.model.GetPreviousNavState(previous);
    EXPECT_EQ(current.latitude, 0.3);
    EXPECT_EQ(previous.latitude, 0.1);
    EXPECT_TRUE(a.sink.Events().empty());
}

TEST(CModelNav, ActivityFlagsFollowTheKindWhenTheTimeIsValid)
{
    struct Case {
        int32_t kind;
        double time;
        int32_t event;
        uint32_t flags;
    };
    const Case cases[] = {
        {NAV_KIND_LLA_SINGLE, 5, EV_POSITION_LLA, ACT_POSITION},
        {NAV_KIND_XYZ_SINGLE, 5, EV_POSITION_XYZ, ACT_POSITION},
        {NAV_KIND_VEL_ENU, 5, EV_VELOCITY_ENU, ACT_VELOCITY},
        {NAV_KIND_VEL_XYZ, 5, EV_VELOCITY_XYZ, ACT_VELOCITY},
        {NAV_KIND_FIX, 0, EV_FIX_REPORT, ACT_POSITION | ACT_VELOCITY | ACT_FIX_REPORT},
        {NAV_KIND_TIMING_FIX, 5, EV_TIMING_FIX, ACT_POSITION},
        {NAV_KIND_CLOCK, 5, EV_CLOCK_BIAS, 0},
        {NAV_KIND_FIX, -1, EV_FIX_REPORT, 0},  // stored and posted, but no activity
        {NAV_KIND_LLA, -0.5, EV_POSITION_LLA, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        AttachedModel a;
        ASSERT_TRUE(a.model.UpdateNavState(Fix(0.4, c.time), c.kind, nullptr));
        EXPECT_EQ(a.sink.Events(), (std::vector<RecordedEvent>{{c.event, 0, false}}));
        EXPECT_EQ(a.model.GetActivityFlags(), c.flags);
        NavState current;
        a.model.GetNavState(current);
        EXPECT_EQ(current.timeOfFix, c.time);
    }
}

TEST(CModelNav, KindsThatAreNotEventsAreRefused)
{
    AttachedModel a;
    for (int32_t kind : {1, 2, 9, 44, 56, 61, -3}) {
        EXPECT_FALSE(a.model.UpdateNavState(Fix(0.4, 1), kind, nullptr)) << kind;
    }
    EXPECT_TRUE(a.sink.Events().empty());
    NavState current;
    a.model.GetNavState(current);
    EXPECT_EQ(current.timeOfFix, -1.0);
}

TEST(CModelNav, SuppressedReportsAreRefusedLiveButKeptInAConversion)
{
    for (int32_t kind : {NAV_KIND_LLA, NAV_KIND_XYZ, NAV_KIND_VEL_ENU, NAV_KIND_VEL_XYZ,
                         NAV_KIND_LLA_DOUBLE, NAV_KIND_XYZ_SINGLE}) {
        SCOPED_TRACE(kind);
        AttachedModel a;
        IoOptions o = {0x20, 0, 0, 0};
        a.model.SetIoOptions(o);
        a.sink.Clear();
        EXPECT_FALSE(a.model.UpdateNavState(Fix(0.4, 1), kind, nullptr));
        NavState current;
        a.model.GetNavState(current);
        EXPECT_EQ(current.timeOfFix, -1.0);
        EXPECT_TRUE(a.sink.Events().empty());

        ConverterTestRig rig;
        ASSERT_EQ(rig.Open(&a.model), 0);
        EXPECT_TRUE(a.model.UpdateNavState(Fix(0.4, 1), kind, &rig.engine));
        a.model.GetNavState(current);
        EXPECT_EQ(current.timeOfFix, 1.0);
    }
    // Fix reports are never refused.
    AttachedModel a;
    IoOptions o = {0x20, 0, 0, 0};
    a.model.SetIoOptions(o);
    EXPECT_TRUE(a.model.UpdateNavState(Fix(0.4, 1), NAV_KIND_FIX, nullptr));
}

NavState TranslationRecord()
{
    NavState s = Zeroed<NavState>();
    s.latitude = 0.5;
    s.longitude = -1.0;
    s.height = 123.25;
    s.clockBias = -12.5;
    s.timeOfFix = 345600.5;
    s.x = 1234567.25;
    s.y = -2345678.5;
    s.z = 3456789.75;
    s.velEast = 1.5;
    s.velNorth = -2.25;
    s.velUp = 0.125;
    s.velX = -3.5;
    s.velY = 4.75;
    s.velZ = -0.25;
    s.clockBiasRate = 0.5f;
    s.week = 1234;
    s.utcOffset = 18;
    s.fixFlags = NAV_FIX_DIFFERENTIAL | NAV_FIX_FILTERED;
    s.svCount = 3;
    s.svs[0] = 5;
    s.svs[1] = 12;
    s.svs[2] = 30;
    s.iode[0] = 0x1A5;
    s.iode[1] = 0x22;
    s.iode[2] = 0xFF;
    return s;
}

TEST(CModelNav, TranslationLines)
{
    const std::string time = " Thu 00:00:00.50   345600";
    struct Case {
        int32_t kind;
        std::string text;
    };
    const Case cases[] = {
        {57, "\r\nDLLA: 28:38.87339 N;  57:17.74677 W;     123.25       -12.50" + time},
        {58, "\r\nSLLA:   28: 38.873  N   57:17.747  W    123.25        -12.50" + time},
        {59, "\r\nDXYZ:  1234567.25    -2345678.50     3456789.75       -12.50" + time},
        {60, "\r\nSXYZ:          1234567         -2345678          3456790    " + time},
        {5, "\r\nVel ENU:       1.500       -2.250        0.125         0.500" + time},
        {6, "\r\nVelECEF:      -3.500        4.750       -0.250         0.500" + time},
        {7, "\r\nFix at: 1234:345600500; Thu:00:00:00.500 GPS (=UTC+18s)  FixType: Diff3D-Filtrd"
            "\r\n   Pos:   28:38.873385 N    57:17.746771 W     123.25 m HAE (WGS-84)"
            "\r\n   Vel:        1.500 E          -2.250 N          0.125 U   (m/sec)"
            "\r\n   SVs:  05 12 30     (IODEs: A5 22 FF)"},
        {3, ""},
        {8, ""},
        {17, ""},
        {0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        CModel m;
        ConverterTestRig rig;
        ASSERT_EQ(rig.OpenTranslation(&m), 0);
        m.UpdateNavState(TranslationRecord(), c.kind, &rig.engine);
        EXPECT_EQ(rig.Translation(), c.text);
    }
}

TEST(CModelNav, FixTranslationNamesTheFixTypeAndDatum)
{
    struct Case {
        uint8_t flags;
        int16_t datum;
        const char* type;
        const char* datumText;
    };
    const Case cases[] = {
        {NAV_FIX_2D | NAV_FIX_BAD, -1, "FixType: 2D-BADFIX", "(Unknown )"},
        {0, 7, "FixType: 3D\r\n", "(Datum  7)"},
    };
    for (const Case& c : cases) {
        CModel m;
        ConverterTestRig rig;
        ASSERT_EQ(rig.OpenTranslation(&m), 0);
        NavState s = TranslationRecord();
        s.fixFlags = c.flags;
        s.datum = c.datum;
        m.UpdateNavState(s, NAV_KIND_FIX, &rig.engine);
        const std::string text = rig.Translation();
        EXPECT_NE(text.find(c.type), std::string::npos) << text;
        EXPECT_NE(text.find(c.datumText), std::string::npos);
    }
}

TEST(CModelNav, WithoutTranslationNothingIsWritten)
{
    CModel m;
    ConverterTestRig rig;
    ASSERT_EQ(rig.Open(&m), 0);
    m.UpdateNavState(TranslationRecord(), 57, &rig.engine);
    rig.engine.Finish();
    // Only the recording is there: no output was asked for.
    EXPECT_EQ(rig.files.ListFiles(), std::vector<std::string>{rig.options.inputPath.GetString()});
}

TEST(CModelNav, InWindowFollowsTheConvertersRange)
{
    struct Case {
        uint16_t week;
        double time;
        bool inside;
    };
    const Case cases[] = {
        {1400, 0, true}, {1400, 86400, true}, {1400, 86400.9, true}, {1400, 86401, false},
        {1399, 604799, false}, {376, 100, true},  // weeks are compared modulo 1024
    };
    for (const Case& c : cases) {
        CModel m;
        ConverterTestRig rig;
        CConverterEngine& engine = rig.engine;
        ConverterOptions& options = rig.options;
        options.rangeOn = true;
        options.startWeek = 1400;
        options.startTimeOfWeek = 0;
        options.endWeek = 1400;
        options.endTimeOfWeek = 86400;
        ASSERT_EQ(engine.Open(options, &m), 0);
        NavState s = Fix(0.1, c.time);
        s.week = c.week;
        m.UpdateNavState(s, NAV_KIND_LLA, &engine);
        EXPECT_EQ(m.IsInWindow(), c.inside) << c.week << " " << c.time;
    }
}

// ---- Lock -----------------------------------------------------------------------

TEST(CModelLock, ListenerMayReadTheModelWhileTheEventIsDelivered)
{
    AttachedModel a;
    double seen = 0;
    a.sink.onEvent = [&](int32_t event, int32_t) {
        DopRecord d;
        if (event == EV_DOPS && a.model.GetFixSvList(d)) seen = d.pdop;
        NavState s;
        a.model.GetNavState(s);
        a.model.GetActivityFlags();
    };
    DopRecord d = {1, 2, 3, 4};
    a.model.SetDops(d);
    a.model.UpdateNavState(Fix(0.1, 1), NAV_KIND_FIX, nullptr);
    const uint8_t frame[] = {1, 2, 3};
    a.model.SetLastRawFrame(PROTO_QBIN, frame, 3);
    EXPECT_EQ(seen, 4);
}

TEST(CModelLock, ReadersNeverSeeAHalfWrittenRecord)
{
    CModel m;
    std::atomic<bool> done(false);
    std::atomic<int> torn(0);
    std::thread writer([&] {
        for (int i = 1; i <= 20000; ++i) {
            NavState s;
            std::memset(&s, 0, sizeof s);
            double v = i;
            s.timeOfFix = s.latitude = s.longitude = s.height = s.x = s.y = s.z = v;
            s.velEast = s.velNorth = s.velUp = s.velX = s.velY = s.velZ = s.clockBias = v;
            s.geoidSeparation = s.groundSpeedKnots = s.heading = s.ggaHdop = v;
            m.UpdateNavState(s, NAV_KIND_FIX, nullptr);
        }
        done = true;
    });
    while (!done) {
        NavState s;
        m.GetNavState(s);
        const double fields[] = {s.latitude, s.longitude, s.height, s.x, s.y, s.z, s.velEast,
                                 s.velNorth, s.velUp, s.velX, s.velY, s.velZ, s.clockBias,
                                 s.geoidSeparation, s.groundSpeedKnots, s.heading, s.ggaHdop};
        for (double f : fields)
            if (f != s.timeOfFix && s.timeOfFix != -1.0) ++torn;
    }
    writer.join();
    EXPECT_EQ(torn.load(), 0);
}

// ---- Diagnostic log ---------------------------------------------------------------

class DiagLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CFile::SetBackend(&files);
        savedFolder = CModel::GetDiagLogFolder();
        CModel::SetDiagLogFolder("/logs");
        clock.Set(MakeCalendarTime(2024, 3, 5, 13, 7, 9), MakeCalendarTime(2024, 3, 5, 14, 7, 9),
                  0);
    }
    void TearDown() override
    {
        CFile::SetBackend(nullptr);
        CModel::SetDiagLogFolder(savedFolder.c_str());
    }
    MemoryFileBackend files;
    FixedClock clock;
    ScopedClock useClock{&clock};
    std::string savedFolder;
};

// A heap copy of exactly `length` bytes, so that a read past the end is caught.
std::vector<uint8_t> Report(std::initializer_list<uint8_t> bytes) { return bytes; }

TEST_F(DiagLogTest, PlaybackLogsAreNumberedBesideTheRecording)
{
    CModel m;
    m.SetPlaybackFileName("run.qbl");
    std::vector<uint8_t> first = Report({3, 0, 'a', 'b'});
    m.WriteDiagLog(first.data(), static_cast<int>(first.size()));
    EXPECT_EQ(files.GetFileText("run_GML_0001.qbl"), "ab");
    std::vector<uint8_t> other = Report({2, 1, 'c'});  // second byte 1 is logged too
    m.WriteDiagLog(other.data(), static_cast<int>(other.size()));
    std::vector<uint8_t> ignored = Report({2, 2, 'z'});
    m.WriteDiagLog(ignored.data(), static_cast<int>(ignored.size()));
    EXPECT_EQ(files.GetFileText("run_GML_0001.qbl"), "abc");

    // A session marker with end code 3 closes the file; its own record starts the next.
    std::vector<uint8_t> marker = Report({3, 0, 'M', 'K', '*', '*', 'X', 3, 'd'});
    m.WriteDiagLog(marker.data(), static_cast<int>(marker.size()));
    EXPECT_FALSE(files.IsOpen("run_GML_0001.qbl"));
    EXPECT_EQ(files.GetFileText("run_GML_0002.qbl"), std::string("MK**X\x03" "d"));

    m.Detach();  // closes the log
    EXPECT_FALSE(files.IsOpen("run_GML_0002.qbl"));
}

TEST_F(DiagLogTest, EndCodeElevenTakesOver)
{
    CModel m;
    m.SetPlaybackFileName("run.qbl");
    std::vector<uint8_t> data = Report({3, 0, 'a'});
    m.WriteDiagLog(data.data(), 3);
    std::vector<uint8_t> eleven = Report({3, 0, 0, 0, '*', '*', 'X', 11});
    m.WriteDiagLog(eleven.data(), 8);  // 11 becomes the end code and closes
    EXPECT_TRUE(files.Exists("run_GML_0002.qbl"));
    std::vector<uint8_t> three = Report({3, 0, 0, 0, '*', '*', 'X', 3});
    m.WriteDiagLog(three.data(), 8);  // 3 no longer ends a file
    EXPECT_FALSE(files.Exists("run_GML_0003.qbl"));
}

TEST_F(DiagLogTest, NamesInsertBeforeTheExtension)
{
    struct Case {
        const char* playback;
        const char* log;
    };
    const Case cases[] = {
        {"C:\\data\\run.qbl", "C:\\data\\run_GML_0001.qbl"},
        {"dir.v2/run", "dir.v2/run_GML_0001"},
        {"a", "a_GML_0001"},
        {"x.longext", "x_GML_0001.longext"},
    };
    for (const Case& c : cases) {
        CModel m;
        m.SetPlaybackFileName(c.playback);
        std::vector<uint8_t> data = Report({3, 0, 'q'});
        m.WriteDiagLog(data.data(), 3);
        EXPECT_EQ(files.GetFileText(c.log), "q") << c.playback;
    }
}

TEST_F(DiagLogTest, SerialLogsAreNamedByLocalTimeInTheFixedFolder)
{
    CModel m;
    std::vector<uint8_t> data = Report({3, 0, 'z'});
    m.WriteDiagLog(data.data(), 3);
    EXPECT_EQ(files.GetFileText("/logs/GML_240305_140709.log"), "z");
}

TEST_F(DiagLogTest, ShortReportsReadOnlyTheirBytes)
{
    for (int length = 0; length <= 7; ++length) {
        SCOPED_TRACE(length);
        files.RemoveAllFiles();
        CModel m;
        m.SetPlaybackFileName("s.qbl");
        std::vector<uint8_t> report(static_cast<size_t>(length), 3);
        m.WriteDiagLog(length ? report.data() : nullptr, length);
        if (length == 0) {
            EXPECT_FALSE(files.Exists("s_GML_0001.qbl"));
        } else {
            EXPECT_EQ(files.GetFileText("s_GML_0001.qbl").size(),
                      static_cast<size_t>(length > 2 ? length - 2 : 0));
        }
    }
}

TEST_F(DiagLogTest, FileErrorsAreSwallowed)
{
    CModel m;
    m.SetPlaybackFileName("f.qbl");
    files.FailOpen("f_GML_0001.qbl");
    std::vector<uint8_t> data = Report({3, 0, 'z'});
    m.WriteDiagLog(data.data(), 3);  // nothing logged, nothing thrown
    EXPECT_FALSE(files.Exists("f_GML_0001.qbl"));
    files.ClearFaults();
    files.FailWrite(1);
    m.WriteDiagLog(data.data(), 3);
    m.WriteDiagLog(data.data(), 3);
    EXPECT_TRUE(files.Exists("f_GML_0002.qbl"));
}

// ---- Event set -----------------------------------------------------------------------

TEST(ReceiverEvents, ClosedSetAndDelivery)
{
    int count = 0;
    for (int code = -1; code <= 80; ++code) {
        bool listed = code >= 1 && code <= 78 && code != 45 && code != 46 && !(code >= 57 && code <= 60);
        EXPECT_EQ(IsReceiverEvent(code), listed) << code;
        if (IsReceiverEvent(code)) ++count;
        bool sent = code == 34 || code == 38 || code == 56 || code == 62;
        EXPECT_EQ(IsSentEvent(code), sent) << code;
    }
    EXPECT_EQ(count, 72);
    EXPECT_EQ(WM_RECEIVER_EVENT, 0x464u);
}

} // namespace
