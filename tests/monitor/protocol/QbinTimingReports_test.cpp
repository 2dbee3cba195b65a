// The 0x8F and 0x5F report decoders: fixture reports → model records, events
// and source labels; truncated reports → nothing at all; translation texts.
#include "protocol/QbinTimingReports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/CFile.h"
#include "framework/CString.h"
#include "framework/MemoryFileBackend.h"
#include "link/CConverterEngine.h"
#include "model/CModel.h"
#include "../model/RecordingSink.h"
#include "monitor/link/ConverterTestSupport.h"

namespace {

// Report data (the bytes after the id) built field by field, big-endian.
class Data {
public:
    Data& u8(int v) { m_bytes.push_back(static_cast<BYTE>(v)); return *this; }
    Data& u16(uint32_t v) { return u8((v >> 8) & 0xFF).u8(v & 0xFF); }
    Data& u32(uint32_t v) { return u16(v >> 16).u16(v & 0xFFFF); }
    Data& f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Data& f64(double v)
    {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        return u32(static_cast<uint32_t>(bits >> 32)).u32(static_cast<uint32_t>(bits));
    }
    Data& text(const char* s)
    {
        while (*s) u8(*s++);
        return *this;
    }
    Data& zeros(int n)
    {
        for (int i = 0; i < n; ++i) u8(0);
        return *this;
    }
    const std::vector<BYTE>& bytes() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
};

enum Family { F8F, F5F };

bool Decode(Family family, const std::vector<BYTE>& bytes, int length, CModel* model,
            CConverterEngine* engine)
{
    // A heap copy of exactly `length` bytes, so ASan catches any read past it.
    std::vector<BYTE> copy(bytes.begin(), bytes.begin() + length);
    const BYTE* p = copy.empty() ? nullptr : copy.data();
    return family == F8F ? DecodeQbinTimingReport(p, length, model, engine)
                         : DecodeQbinDiagReport(p, length, model, engine);
}

struct Slot {
    int index;
    const char* label;
};

struct Case {
    const char* name;
    Family family;
    std::vector<BYTE> data;
    int minimum;                        // every shorter prefix must decode to nothing
    std::vector<RecordedEvent> events;  // in order
    std::vector<Slot> slots;
    std::function<void(CModel&)> check;
};

RecordedEvent Posted(int32_t event, int32_t detail = 0) { return RecordedEvent{event, detail, false}; }

// A stable picture of everything these decoders may touch.
std::string Snapshot(CModel& m)
{
    std::string s;
    auto add = [&s](const void* p, size_t n) { s.append(static_cast<const char*>(p), n); };
#define SNAP(Type, call)             \
    {                                \
        Type v;                      \
        std::memset(&v, 0, sizeof v); \
        m.call(v);                   \
        add(&v, sizeof v);           \
    }
    SNAP(NavState, GetNavState)
    SNAP(GpsTimeInfo, GetTimeInfo)
    SNAP(GpsTimeInfo, GetDiagTimeInfo)
    SNAP(TimingConfig, GetTimingConfig)
    SNAP(SupplementalTiming, GetSupplementalTiming)
    SNAP(DatumRecord, GetDatum)
    SNAP(NavConfig, GetNavConfig)
    SNAP(DiagStatusRecord, GetDiagStatus)
    SNAP(DiagTextRecord, GetDiagTextRecord)
#undef SNAP
    ComponentVersionTable table;
    std::memset(&table, 0, sizeof table);
    int count = 0;
    m.GetComponentVersions(table, count);
    add(&table, sizeof table);
    s += std::to_string(m.GetDiagMessageCount());
    for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) s += std::string("|") + m.GetReportText(i).GetString();
    return s;
}

const double kFine = 0.004999999888241291;
const double kCoarse = 0.019999999552965164;

// 0x8F-20 with the given velocity-scale byte and satellite entries (8 or 12
// entries give 56 or 64 bytes; other counts pad to the given length).
std::vector<BYTE> LastFix(int scaleByte, int entries, int length)
{
    Data d;
    d.u8(0x20).u8(0).u16(200).u16(static_cast<uint16_t>(-100)).u16(0);
    d.u32(345600123);          // ms
    d.u32(0x20000000);         // latitude: pi/4
    d.u32(0x80000001u);        // longitude: just past pi, so it wraps
    d.u32(1234567);            // height, mm
    d.u8(scaleByte).u8(0);
    d.u8(1);                   // datum 1 → index 0
    d.u8(0);                   // fix flags: good fix
    d.u8(static_cast<int>(entries));
    d.u8(18);                  // GPS-UTC
    d.u16(2100);
    for (int i = 0; i < entries; ++i) d.u8(0xC0 | (i + 1)).u8(0x12);
    std::vector<BYTE> v = d.bytes();
    v.resize(length, 0);
    return v;
}

std::vector<Case> Cases()
{
    std::vector<Case> c;

    c.push_back({"8F-14 datum", F8F,
                 Data().u8(0x14).u16(5).f64(1.5).f64(-2).f64(3).f64(6378137).f64(0.0066943799901).bytes(),
                 43, {Posted(EV_DATUM)}, {{24, "0x8F-14"}}, [](CModel& m) {
                     DatumRecord d;
                     m.GetDatum(d);
                     EXPECT_EQ(d.index, 5);
                     EXPECT_EQ(d.dx, 1.5);
                     EXPECT_EQ(d.dy, -2);
                     EXPECT_EQ(d.aAxis, 6378137);
                     EXPECT_EQ(d.eSquared, 0.0066943799901);
                 }});
    c.push_back({"8F-15 user datum", F8F, Data().u8(0x15).u16(0xFFFF).zeros(40).bytes(), 43,
                 {Posted(EV_DATUM)}, {{24, "0x8F-15"}}, [](CModel& m) {
                     DatumRecord d;
                     m.GetDatum(d);
                     EXPECT_EQ(d.index, -1);
                 }});

    c.push_back({"8F-20 fine velocity, 8 satellites", F8F, LastFix(0, 8, 56), 56,
                 {Posted(EV_FIX_REPORT)}, {{2, "0x8F-20"}, {3, "0x8F-20"}}, [](CModel& m) {
                     NavState n;
                     m.GetNavState(n);
                     EXPECT_DOUBLE_EQ(n.velEast, 0.9999999776482582);
                     EXPECT_DOUBLE_EQ(n.velNorth, -100 * kFine);
                     EXPECT_NEAR(n.longitude, -3.14159265212689, 1e-12);
                     EXPECT_GT(n.longitude, -3.14159265358979);
                     EXPECT_NEAR(n.latitude, 0.7853981633974483, 1e-9);
                     EXPECT_DOUBLE_EQ(n.height, 1234.567);
                     EXPECT_DOUBLE_EQ(n.timeOfFix, 345600.123);
                     EXPECT_EQ(n.week, 2100);
                     EXPECT_EQ(n.datum, 0);
                     EXPECT_EQ(n.svCount, 8);
                     EXPECT_EQ(n.utcOffset, 18);
                     EXPECT_EQ(n.fixValid, 1);
                     EXPECT_EQ(n.svs[0], 1);
                     EXPECT_EQ(n.svs[7], 8);
                     EXPECT_EQ(n.svs[8], 0);
                     EXPECT_EQ(n.iode[0], 0x312);
                     EXPECT_EQ(n.clockBias, 0);
                     // WGS-84 ellipsoid from the fix itself.
                     const double lat = n.latitude;
                     const double N = 6378137 / std::sqrt(1 - 0.00669437999013 * std::sin(lat) * std::sin(lat));
                     EXPECT_NEAR(n.z, (0.99330562000987 * N + 1234.567) * std::sin(lat), 1e-6);
                     EXPECT_NEAR(n.x, (N + 1234.567) * std::cos(lat) * std::cos(n.longitude), 1e-6);
                     EXPECT_LT(n.x, 0);  // longitude near 180 degrees
                 }});
    c.push_back({"8F-20 coarse velocity, 12 satellites", F8F, LastFix(1, 12, 64), 56,
                 {Posted(EV_FIX_REPORT)}, {{2, "0x8F-20"}, {3, "0x8F-20"}}, [](CModel& m) {
                     NavState n;
                     m.GetNavState(n);
                     EXPECT_DOUBLE_EQ(n.velEast, 200 * kCoarse);
                     EXPECT_EQ(n.svs[11], 12);
                 }});
    c.push_back({"8F-20 with 9 entries stores the fix without satellites", F8F, LastFix(0, 9, 58), 56,
                 {Posted(EV_FIX_REPORT)}, {{2, "0x8F-20"}}, [](CModel& m) {
                     NavState n;
                     m.GetNavState(n);
                     EXPECT_EQ(n.svCount, 9);
                     EXPECT_EQ(n.svs[0], 0);
                     EXPECT_EQ(n.fixValid, 1);
                 }});

    c.push_back({"8F-26 storage write", F8F, Data().u8(0x26).u32(0x00010002).bytes(), 5,
                 {Posted(EV_NVS_WRITE_RESULT, 2)}, {}, nullptr});

    c.push_back({"8F-4A PPS settings", F8F, Data().u8(0x4A).u8(1).u8(1).u8(0).f64(0.25).f32(300).bytes(), 16,
                 {Posted(EV_PPS_SETTINGS)}, {{18, "0x8F-4A"}}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.ppsEnabled, 1);
                     EXPECT_EQ(t.timeBase, 1);
                     EXPECT_EQ(t.ppsPolarity, 0);
                     EXPECT_EQ(t.ppsOffset, 0.25);
                     EXPECT_EQ(t.biasThreshold, 300.0f);
                 }});
    c.push_back({"8F-4D auto packet mask", F8F, Data().u8(0x4D).u32(0x12345678).bytes(), 5,
                 {Posted(EV_AUTO_PACKET_MASK)}, {}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.autoPacketMask, 0x12345678u);
                 }});
    c.push_back({"8F-4E PPS qualifier", F8F, Data().u8(0x4E).u8(0x85).bytes(), 2,
                 {Posted(EV_PPS_OUTPUT_MODE)}, {}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.ppsOutputMode, 0x85);
                 }});
    c.push_back({"8F-4F PPS width", F8F, Data().u8(0x4F).f64(1000.5).bytes(), 9, {Posted(EV_PPS_WIDTH)}, {},
                 [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.ppsWidth, 1000.5);
                 }});
    c.push_back({"8F-A2 timing mode", F8F, Data().u8(0xA2).u8(3).bytes(), 2, {Posted(EV_TIMING_MODE)}, {},
                 [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.timingMode, 3);
                 }});
    c.push_back({"8F-A5 broadcast mask", F8F, Data().u8(0xA5).u16(0x1234).u16(0xABCD).bytes(), 5,
                 {Posted(EV_PACKET_MASK)}, {}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.broadcastMask0, 0x1234);
                     EXPECT_EQ(t.broadcastMask1, 0xABCD);
                 }});
    c.push_back({"8F-A6 position deleted", F8F, Data().u8(0xA6).u8(2).bytes(), 2,
                 {Posted(EV_SELF_SURVEY_REPLY, 2)}, {}, nullptr});
    c.push_back({"8F-A8 type 1", F8F, Data().u8(0xA8).u8(1).f32(1).f32(2).f32(3).bytes(), 14,
                 {Posted(EV_DISCIPLINING_1)}, {}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.ko, 1.0f);
                     EXPECT_EQ(t.minVoltage, 2.0f);
                     EXPECT_EQ(t.maxVoltage, 3.0f);
                     EXPECT_EQ(t.timeConstant, 0.0f);
                 }});
    c.push_back({"8F-A8 type 3", F8F, Data().u8(0xA8).u8(3).f32(7).bytes(), 6, {Posted(EV_DISCIPLINING_3)}, {},
                 [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.initialDac, 7.0f);
                 }});
    c.push_back({"8F-A9 self-survey parameters", F8F, Data().u8(0xA9).u8(1).u8(0).u32(86400).bytes(), 7,
                 {Posted(EV_SELF_SURVEY_PARAMS)}, {}, [](CModel& m) {
                     TimingConfig t;
                     m.GetTimingConfig(t);
                     EXPECT_EQ(t.surveyEnable, 1);
                     EXPECT_EQ(t.surveySave, 0);
                     EXPECT_EQ(t.surveyLength, 86400u);
                 }});
    c.push_back({"8F-AB primary timing", F8F,
                 Data().u8(0xAB).u32(345600).u16(2100).u16(18).u8(0x03).u8(30).u8(15).u8(12).u8(10).u8(12).u16(2026).bytes(),
                 17, {Posted(EV_GPS_TIME, 1), Posted(EV_PRIMARY_TIMING)}, {{4, "0x8F-AB"}}, [](CModel& m) {
                     GpsTimeInfo t;
                     m.GetTimeInfo(t);
                     EXPECT_EQ(t.timeOfWeek, 345600u);
                     EXPECT_EQ(t.week, 2100);
                     EXPECT_EQ(t.utcOffset, 18);
                     EXPECT_EQ(t.timingFlags, 3);
                     EXPECT_EQ(t.year, 2026);
                     EXPECT_EQ(t.month, 12);
                     EXPECT_EQ(t.day, 10);
                     EXPECT_EQ(t.hour, 12);
                     EXPECT_EQ(t.minute, 15);
                     EXPECT_EQ(t.second, 30);
                     EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
                 }});
    c.push_back({"8F-AB with timing flag bit 2 stores nothing", F8F,
                 Data().u8(0xAB).u32(345600).u16(2100).u16(18).u8(0x04).zeros(7).bytes(), 17, {}, {},
                 [](CModel& m) {
                     GpsTimeInfo t;
                     m.GetTimeInfo(t);
                     EXPECT_EQ(t.timeOfWeek, 0u);
                 }});

    {
        Data d;
        d.u8(0xAC).u8(3).u8(1).u8(100).u32(60).u16(0x0081).u16(0x0002).u8(0).u8(4).u8(5).u8(6);
        d.f32(12.5f).f32(10.0f).u32(0x8000).f32(1.5f).f32(40.25f);
        d.f64(0.5).f64(-1.0).f64(100.0).f32(2.5f).u8(0).zeros(3);
        c.push_back({"8F-AC GPS status 0 updates the fix", F8F, d.bytes(), 68,
                     {Posted(EV_SUPPLEMENTAL_TIMING), Posted(EV_TIMING_FIX)},
                     {{19, "0x8F-AC"}, {12, "0x8F-AC"}, {2, "0x8F-AC"}}, [](CModel& m) {
                         SupplementalTiming s;
                         m.GetSupplementalTiming(s);
                         EXPECT_EQ(s.receiverMode, 3);
                         EXPECT_EQ(s.holdover, 60u);
                         EXPECT_EQ(s.criticalAlarms, 0x81);
                         EXPECT_EQ(s.spare15, 6);
                         EXPECT_EQ(s.clockOffset, 10.0f);
                         EXPECT_EQ(s.dacValue, 0x8000u);
                         EXPECT_DOUBLE_EQ(s.latitude, 0.5 * 57.29577951308232);
                         EXPECT_DOUBLE_EQ(s.longitude, -57.29577951308232);
                         EXPECT_EQ(s.ppsQuantError, 2.5f);
                         NavState n;
                         m.GetNavState(n);
                         EXPECT_EQ(n.latitude, 0.5);
                         EXPECT_EQ(n.longitude, -1.0);
                         EXPECT_EQ(n.height, 100.0);
                         EXPECT_FLOAT_EQ(n.clockBiasRate, static_cast<float>(10.0 * 0.299792458));
                         EXPECT_EQ(n.timeOfFix, 0);
                     }});
        std::vector<BYTE> noFix = d.bytes();
        noFix[12] = 1;   // still decoding: no fix
        c.push_back({"8F-AC GPS status 1 stores only the record", F8F, noFix, 68,
                     {Posted(EV_SUPPLEMENTAL_TIMING)}, {{19, "0x8F-AC"}}, [](CModel& m) {
                         NavState n;
                         m.GetNavState(n);
                         EXPECT_EQ(n.latitude, 0);
                         EXPECT_EQ(m.GetReportText(2), CString(""));
                     }});
    }

    {
        Data d;
        d.u8(1).u8(3).u8(3);
        d.u8(3).text("NAV").u8(1).u8(2).u8(12).u8(31).u16(2004);
        d.u8(2).text("RF").u8(3).u8(4).u8(1).u8(2).u16(2005);
        d.u8(4).text("BOOT").u8(5).u8(6).u8(7).u8(8).u16(2006);
        c.push_back({"5F-01-03 three components, one event", F5F, d.bytes(), 8,
                     {Posted(EV_COMPONENT_VERSION)}, {}, [](CModel& m) {
                         ComponentVersionTable t;
                         int count = 0;
                         m.GetComponentVersions(t, count);
                         EXPECT_EQ(count, 3);
                         EXPECT_STREQ(t.entries[0].name, "NAV");
                         EXPECT_EQ(t.entries[0].major, 1);
                         EXPECT_EQ(t.entries[0].build, -1);
                         EXPECT_EQ(t.entries[0].year, 2004);
                         EXPECT_STREQ(t.entries[2].name, "BOOT");
                         EXPECT_EQ(t.entries[2].day, 8);
                     }});
    }
    {
        Data d;
        d.u8(1).u8(3).u8(2).u8('Z').u8(0);
        d.u8(3).text("NAV").u8(1).u8(2).u8(9).u8(12).u8(31).u16(2004);
        d.u8(2).text("XX").u8(3).u8(4).u8(0).u8(1).u8(2).u16(0xFFFF);  // blank entry
        c.push_back({"5F-01-03 extended form skips a blank year", F5F, d.bytes(), 8,
                     {Posted(EV_COMPONENT_VERSION)}, {}, [](CModel& m) {
                         ComponentVersionTable t;
                         int count = 0;
                         m.GetComponentVersions(t, count);
                         EXPECT_EQ(count, 1);
                         EXPECT_EQ(t.entries[0].build, 9);
                         EXPECT_EQ(t.entries[0].month, 12);
                     }});
    }
    c.push_back({"5F-01-06 navigation configuration byte", F5F, Data().u8(1).u8(6).u8(4).bytes(), 3,
                 {Posted(EV_NAV_CONFIG)}, {}, [](CModel& m) {
                     NavConfig n;
                     m.GetNavConfig(n);
                     EXPECT_EQ(n.operatingMode, 4);
                 }});
    c.push_back({"5F-01-11 soft error", F5F, Data().u8(1).u8(11).u16(2).u16(0x8001).text("Oops").bytes(), 6,
                 {Posted(EV_DIAG_MESSAGE, 0)}, {}, [](CModel& m) {
                     int32_t code = 0;
                     CString text;
                     ASSERT_TRUE(m.GetDiagMessage(0, code, text));
                     EXPECT_EQ(code, 0x8001);
                     EXPECT_EQ(text, CString("Oops"));
                 }});
    c.push_back({"5F-01-11 with no message text", F5F, Data().u8(1).u8(11).u16(2).u16(1).bytes(), 6,
                 {Posted(EV_DIAG_MESSAGE, 0)}, {}, [](CModel& m) {
                     int32_t code = 0;
                     CString text;
                     ASSERT_TRUE(m.GetDiagMessage(0, code, text));
                     EXPECT_EQ(text, CString(""));
                 }});
    c.push_back({"5F-01-21 diagnostic report", F5F, Data().u8(1).u8(21).u8(9).bytes(), 3,
                 {Posted(EV_DIAG_REPORT, 9)}, {}, nullptr});
    c.push_back({"5F-02 periodic report carries the time", F5F,
                 Data().u8(2).u32(7).f64(1.0).f64(2.0).u32(4000).u16(2100).bytes(), 27,
                 {Posted(EV_GPS_TIME, 1)}, {}, [](CModel& m) {
                     GpsTimeInfo t;
                     m.GetTimeInfo(t);
                     EXPECT_EQ(t.timeOfWeek, 4000u);
                     EXPECT_EQ(t.week, 2100);
                 }});
    c.push_back({"5F-02 before the receiver has the time", F5F,
                 Data().u8(2).u32(7).f64(1.0).f64(2.0).u32(0).u16(0).bytes(), 27, {}, {}, nullptr});
    c.push_back({"5F-50-0006 diagnostic status", F5F,
                 Data().u8(0x50).u16(0x0006).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6).bytes(), 15,
                 {Posted(EV_DIAG_STATUS)}, {{35, "0x5F-50-0006"}}, [](CModel& m) {
                     DiagStatusRecord r;
                     m.GetDiagStatus(r);
                     EXPECT_EQ(r.values[0], 0x00010002u);
                     EXPECT_EQ(r.values[1], 0x00030004u);
                     EXPECT_EQ(r.values[2], 5u);
                     EXPECT_EQ(r.value16, 6);
                 }});
    c.push_back({"5F-50-F50F production text record", F5F,
                 Data().u8(0x50).u16(0xF50F).u8(10).u8(11).u8(12).u8(3).u16(2025).u16(77).u32(123456)
                     .u32(0).f32(1.5f).f32(-0.5f).text("PN-0123456789ABCDEF").text("HW-X1").zeros(11).bytes(),
                 59, {Posted(EV_DIAG_TEXT)}, {}, [](CModel& m) {
                     DiagTextRecord r;
                     m.GetDiagTextRecord(r);
                     EXPECT_EQ(r.buildDay, 10);
                     EXPECT_EQ(r.buildYear, 2025);
                     EXPECT_EQ(r.serialNumber, 123456u);
                     EXPECT_EQ(r.oscillatorOffset, -0.5f);
                     EXPECT_STREQ(r.productPartNumber, "PN-0123456789ABC");  // 16 characters
                     EXPECT_STREQ(r.hardwareId, "DEFHW-X1");
                 }});
    c.push_back({"5F-51 diagnostic clock", F5F,
                 Data().u8(0x51).u16(4).u8(1).u16(2024).u8(3).u8(5).u8(13).u8(7).u8(9).bytes(), 11,
                 {Posted(EV_DIAG_TIME)}, {}, [](CModel& m) {
                     GpsTimeInfo t;
                     m.GetDiagTimeInfo(t);
                     EXPECT_EQ(t.year, 2024);
                     EXPECT_EQ(t.day, 5);
                     EXPECT_EQ(t.second, 9);
                 }});
    return c;
}

class QbinTimingDecoderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(model.Attach(&sink, nullptr)); sink.Clear(); }
    void TearDown() override { model.Detach(); }
    RecordingSink sink;
    CModel model;
};

TEST_F(QbinTimingDecoderTest, FixturesFillTheModel)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        model.ClearData(1);
        model.ClearReportTexts();
        sink.Clear();
        EXPECT_TRUE(Decode(c.family, c.data, static_cast<int>(c.data.size()), &model, nullptr));
        EXPECT_EQ(sink.Events(), c.events);
        for (const Slot& s : c.slots) EXPECT_EQ(model.GetReportText(s.index), CString(s.label)) << s.index;
        if (c.check) c.check(model);
    }
}

// Every prefix shorter than a report's minimum stores nothing and raises
// nothing: this covers an empty 0x8F, a short 0x8F-A9, 0x5F-01-11 with 3
// bytes and each timing reply outside the length table.
TEST_F(QbinTimingDecoderTest, TruncatedReportsLeaveTheModelAlone)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string before = Snapshot(model);
        for (int length = 0; length < c.minimum; ++length) {
            EXPECT_FALSE(Decode(c.family, c.data, length, &model, nullptr)) << "length " << length;
        }
        EXPECT_TRUE(sink.Events().empty());
        EXPECT_EQ(Snapshot(model), before);
    }
}

TEST_F(QbinTimingDecoderTest, UnknownSubcodesAndClassesDecodeToNothing)
{
    struct Unknown {
        Family family;
        std::vector<BYTE> data;
    } unknown[] = {
        {F8F, {0x99, 1, 2, 3, 4, 5, 6, 7, 8}},
        {F8F, Data().u8(0xA8).u8(4).f32(1).f32(2).f32(3).bytes()},  // disciplining type 4
        {F5F, {0x01, 0x07, 1, 2}},
        {F5F, {0x04, 1, 2, 3}},
        {F5F, {0x50, 0x12, 0x34, 0, 0, 0, 0}},
        {F5F, {0x51, 0x00, 0x04, 0x02, 0, 0, 0, 0, 0, 0, 0}},
    };
    const std::string before = Snapshot(model);
    for (const Unknown& u : unknown)
        EXPECT_FALSE(Decode(u.family, u.data, static_cast<int>(u.data.size()), &model, nullptr));
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(Snapshot(model), before);
}

// 0x5F-01-03 entries that run past the data: the walk stops there, keeps the
// complete entries and never reads beyond the report.
TEST_F(QbinTimingDecoderTest, ComponentWalkStopsAtTheEndOfTheData)
{
    Data d;
    d.u8(1).u8(3).u8(200);  // claims 200 entries
    d.u8(3).text("NAV").u8(1).u8(2).u8(12).u8(31).u16(2004);
    d.u8(250).text("RF");   // name longer than what is left
    const std::vector<BYTE>& bytes = d.bytes();
    EXPECT_TRUE(Decode(F5F, bytes, static_cast<int>(bytes.size()), &model, nullptr));
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(EV_COMPONENT_VERSION)});
    ComponentVersionTable t;
    int count = 0;
    model.GetComponentVersions(t, count);
    EXPECT_EQ(count, 1);
}

// The diagnostic log gets class-3 data only when the report is long enough
// for the marker bytes the log inspects and, unless it is a marker, has one
// of the lengths such reports have.
TEST_F(QbinTimingDecoderTest, DiagLogTakesOnlyWellFormedReports)
{
    MemoryFileBackend files;
    CFile::SetBackend(&files);
    model.SetPlaybackFileName("run.qbl");

    struct Row {
        std::vector<BYTE> data;
        bool decoded;
        const char* logged;  // the log after this report
    } rows[] = {
        {{3, 1, 'a', 'b', 'c'}, false, ""},                          // too short for bytes 4..7
        {{3, 1, 'a', 'b', 'c', 'd', 'e', 'f', 'g'}, false, ""},       // 9: not a log length
        {{3, 1, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'}, true, "abcdefghij"},  // 12
        {{3, 2, 'x', 'x', 'x', 'x', 'x', 'x'}, true, "abcdefghij"},   // not a log report
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Decode(F5F, r.data, static_cast<int>(r.data.size()), &model, nullptr), r.decoded);
        EXPECT_EQ(files.GetFileText("run_GML_0001.qbl"), r.logged);
    }
    model.Detach();
    CFile::SetBackend(nullptr);
}

class QbinTimingTranslationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(rig.OpenTranslation(&model), 0); }
    std::string Translate(Family family, const std::vector<BYTE>& data, CModel* m)
    {
        Decode(family, data, static_cast<int>(data.size()), m, &engine);
        return rig.Translation();
    }
    CModel model;
    ConverterTestRig rig;
    CConverterEngine& engine = rig.engine;
};

TEST_F(QbinTimingTranslationTest, PpsSettings)
{
    EXPECT_EQ(Translate(F8F, Data().u8(0x4A).u8(1).u8(1).u8(0).f64(0.25).f32(300).bytes(), &model),
              "\r\nPPS Configuration:"
              "\r\n   Switch:   enabled"
              "\r\n   Timebase: UTC"
              "\r\n   Polarity: positive"
              "\r\n   Offset:   0.25"
              "\r\n   Bias unc: 300");
}

TEST_F(QbinTimingTranslationTest, PpsSettingsWithUnknownCodes)
{
    EXPECT_EQ(Translate(F8F, Data().u8(0x4A).u8(2).u8(3).u8(2).f64(1).f32(2).bytes(), nullptr),
              "\r\nPPS Configuration:"
              "\r\n   Switch:   unknown driver switch"
              "\r\n   Timebase: unknown timebase"
              "\r\n   Polarity: unknown polarity"
              "\r\n   Offset:   1"
              "\r\n   Bias unc: 2");
}

// The text is written whether or not the time is stored.
TEST_F(QbinTimingTranslationTest, PrimaryTiming)
{
    const char* expected[] = {
        "\r\n8FAB: TOW: 345600  WN: 2100"
        "\r\n      2026/12/10  12:15:30"
        "\r\n      UTC Offset: 18 s   Timing flag: 00000011",
        "\r\n8FAB: TOW: 345600  WN: 2100"
        "\r\n      2026/12/10  12:15:30"
        "\r\n      UTC Offset: 18 s   Timing flag: 00010100",
    };
    const int flags[] = {0x03, 0x14};
    std::string all;
    for (int i = 0; i < 2; ++i) {
        all += expected[i];
        EXPECT_EQ(Translate(F8F,
                            Data().u8(0xAB).u32(345600).u16(2100).u16(18).u8(flags[i]).u8(30).u8(15).u8(12)
                                .u8(10).u8(12).u16(2026).bytes(),
                            &model),
                  all);
    }
    GpsTimeInfo t;
    model.GetTimeInfo(t);
    EXPECT_EQ(t.timingFlags, 0x03);  // the second report, bit 2 set, stored nothing
}

TEST_F(QbinTimingTranslationTest, ErrorMessages)
{
    struct Row {
        uint16_t code;
        const char* text;
    } rows[] = {
        {0x8001, "SOFT ERROR (non-fatal): slot 2, error code: 0x8001 ***\r\n   Msg: Oops"},
        {0x0001, "FATAL ERROR: slot 2, error code: 0x0001 ***\r\n   Msg: Oops"},
    };
    std::string all;
    for (const Row& r : rows) {
        all += r.text;
        EXPECT_EQ(Translate(F5F, Data().u8(1).u8(11).u16(2).u16(r.code).text("Oops").bytes(), &model), all);
    }
}

TEST_F(QbinTimingTranslationTest, SelfSurveyReplies)
{
    std::string all;
    const char* texts[] = {"\r\nSelf-survey restarted!", "\r\nSelf-surveyed position saved!",
                           "\r\nSelf-surveyed position deleted!", "\r\nSelf-survey restarted!"};
    for (int i = 0; i < 4; ++i) {
        all += texts[i];
        EXPECT_EQ(Translate(F8F, Data().u8(0xA6).u8(i).bytes(), nullptr), all);
    }
}

TEST_F(QbinTimingTranslationTest, SupplementalTimingWithHostileFloats)
{
    // NaN and huge values must print without converting them to integers.
    Data d;
    d.u8(0xAC).u8(9).u8(0).u8(0).u32(0xFFFFFFFF).u16(0xFFFF).u16(0).u8(1).zeros(3);
    d.f32(std::nanf("")).f32(3.0e38f).u32(0).f32(-INFINITY).f32(1.0f);
    d.f64(std::nan("")).f64(1e300).f64(-1e300).f32(1.0f).u8(0).zeros(3);
    const std::string text = Translate(F8F, d.bytes(), &model);
    EXPECT_NE(text.find("RecvMode: unknown"), std::string::npos);
    EXPECT_NE(text.find("Crit: 1111.1111   Minr: 0000.0000"), std::string::npos);
    EXPECT_NE(text.find("Pos:  0:00"), std::string::npos);
}

TEST_F(QbinTimingTranslationTest, FixErrorReport)
{
    Data d;
    d.u8(3).u8(17).u8(5).u8(12).u8(2);
    d.u8(7).u8(8).u8(1).u8(2);
    d.u8(9).u8(31).u8(3).u8(4);
    EXPECT_EQ(Translate(F5F, d.bytes(), nullptr),
              "\r\nSV_USED LS: FIX_ERR_NOT_CONVERGED = 5; KF:     unknown value 12"
              "\r\n  7: REJECTION_CNO_LESS_THAN_AUTO = 8; 1 2"
              "\r\n  9:     unknown value 31; 3 4");
}

} // namespace
