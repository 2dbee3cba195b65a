// The QBIN report decoder: where a packet starts, which lengths each report
// may have, what each report stores and raises, what short or hostile
// reports leave behind (nothing), and the translation texts of a conversion.
#include "protocol/QbinReports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "../link/FrameTestUtil.h"
#include "../model/RecordingSink.h"
#include "monitor/link/ConverterTestSupport.h"
#include "framework/CString.h"
#include "link/CConverterEngine.h"
#include "link/FrameHandler.h"
#include "model/CModel.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Report data written field by field, big-endian as on the wire.
struct Data {
    Bytes b;
    Data& u8(unsigned v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    Data& u16(unsigned v) { u8(v >> 8); return u8(v & 0xFF); }
    Data& u32(uint32_t v) { u16(v >> 16); return u16(v & 0xFFFF); }
    Data& f32(float v) { uint32_t w; std::memcpy(&w, &v, 4); return u32(w); }
    Data& f64(double v)
    {
        uint64_t w;
        std::memcpy(&w, &v, 8);
        u32(static_cast<uint32_t>(w >> 32));
        return u32(static_cast<uint32_t>(w));
    }
    Data& text(const char* s) { while (*s) u8(static_cast<uint8_t>(*s++)); return *this; }
    Data& zeros(int n) { for (int i = 0; i < n; ++i) u8(0); return *this; }
    Data& fill(int upTo) { while (static_cast<int>(b.size()) < upTo) u8(0); return *this; }
};

// The unstuffed packet the reader hands over: DLE, id, data, DLE ETX.
Bytes Packet(uint8_t id, const Bytes& data)
{
    Bytes out{0x10, id};
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(0x10);
    out.push_back(0x03);
    return out;
}

RecordedEvent Posted(int32_t event, int32_t detail = 0) { return RecordedEvent{event, detail, false}; }
RecordedEvent Sent(int32_t event, int32_t detail = 0) { return RecordedEvent{event, detail, true}; }

// Everything a decoder may store, copied out for before/after comparison.
struct Snapshot {
    struct Records {
        NavState nav;
        GpsTimeInfo time;
        FixModeRecord fix;
        DopRecord dops;
        FirmwareVersionRecord fw0, fw1;
        ProductRecord product;
        TrackingTable tracking;
        SignalLevelTable levels;
        RawMeasurement raw;
        TimingConfig timing;
        DiagStatusRecord diagStatus;
        DiagTextRecord diagText;
        QtxtConfigRecord qtxt;
        AlmanacRecord almanac;
        UtcParams utc;
        uint32_t health, healthErrors;
    } r;
    std::vector<std::string> texts;
    int diagMessages;

    explicit Snapshot(CModel& m)
    {
        std::memset(&r, 0, sizeof r);
        m.GetNavState(r.nav);
        m.GetTimeInfo(r.time);
        m.GetFixModeAndDops(r.fix);
        m.GetFixSvList(r.dops);
        m.GetFirmwareVersion(r.fw0, 0);
        m.GetFirmwareVersion(r.fw1, 1);
        m.GetProductInfo(r.product);
        m.GetTrackingTable(r.tracking);
        m.GetSignalLevels(r.levels);
        m.GetRawMeasurement(r.raw);
        m.GetTimingConfig(r.timing);
        m.GetDiagStatus(r.diagStatus);
        m.GetDiagTextRecord(r.diagText);
        m.GetQtxtConfig(r.qtxt);
        m.GetAlmanac(r.almanac);
        m.GetUtcParams(r.utc);
        r.health = m.GetHealthStatus();
        r.healthErrors = m.GetHealthErrorBits();
        for (int i = 0; i < MODEL_REPORT_TEXT_COUNT; ++i) texts.push_back(m.GetReportText(i).GetString());
        diagMessages = m.GetDiagMessageCount();
    }
    bool operator==(const Snapshot& o) const
    {
        return std::memcmp(&r, &o.r, sizeof r) == 0 && texts == o.texts && diagMessages == o.diagMessages;
    }
};

class QbinReportsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Attach(&sink, nullptr));
        sink.Clear();
    }
    void TearDown() override { model.Detach(); }

    void Decode(const Bytes& packet, CConverterEngine* converter = nullptr)
    {
        DecodeQbinReport(packet.data(), static_cast<int>(packet.size()), &model, converter);
    }

    CModel model;
    RecordingSink sink;
};

// ---- Decoder table -----------------------------------------------------------

struct DecoderCase {
    const char* name;
    uint8_t id;
    Bytes data;
    std::vector<RecordedEvent> events;
    bool exactEvents;      // false: the events must appear, others may follow
    int slot;              // -1: no source label
    const char* slotText;
    std::function<void(CModel&)> check;
};

Bytes Almanac()
{
    Data d;
    d.u8(2).u8(2).u8(7).u8(66).u8(0x90).u8(0);
    for (int i = 0; i < 15; ++i) d.f32(static_cast<float>(i + 1));
    return d.u16(1100).u16(100).b;
}

Bytes HealthPage()
{
    Data d;
    d.u8(2).u8(3).u8(0).u8(37).u8(0x44);
    for (int k = 0; k < 32; ++k) d.u8(k == 4 ? 0x3F : 0);
    return d.u8(144).u8(145).u16(2100).b;
}

Bytes Iono()
{
    Data d;
    d.u8(2).u8(4).u8(0).u8(40).zeros(8);
    for (int i = 0; i < 8; ++i) d.f32(static_cast<float>(i) * 0.5f);
    return d.b;
}

Bytes Utc(int length)
{
    Data d;
    d.u8(2).u8(5).u8(0).u8(39).zeros(13).f64(1.5e-9).f32(2.0e-15f).u16(18).f32(61440.0f);
    d.u16(2200).u16(2185).u16(7).u16(18);
    d.b.resize(static_cast<size_t>(length));
    return d.b;
}

Bytes Ephemeris()
{
    Data d;
    d.u8(2).u8(6).u8(17).u8(167).u8(17).f32(345600.0f).u16(2200).u8(1).u8(0).u8(2).u8(0);
    d.u16(77).f32(1e-9f).f32(1.0f).f32(0).f32(0).f32(0).f32(2.4f).u8(77).u8(0);
    d.fill(63).f64(0.0125).fill(75).f64(5153.7).fill(171);
    return d.b;
}

Bytes Tracking(uint8_t channelByte)
{
    return Data().u8(9).u8(channelByte).u8(1).u8(0x40).f32(45.5f).f32(3600.0f).f32(0.5f).f32(1.25f)
        .u8(0).u8(0).u8(0).u8(254).b;
}

TEST_F(QbinReportsTest, EachReportStoresItsRecordAndRaisesItsEvents)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<DecoderCase> cases = {
        {"0x13 packet refused", 0x13, {0x8E}, {Posted(48, 0x8E)}, true, -1, "", nullptr},
        {"0x1C-82 version with components", 0x1C,
         Data().u8(0x82).u8(3)
             .u8(1).u8(5).u8(7).u8(10).u8(20).u16(2022).u8(5).text("Brev!")
             .u8(9).u8(9).u8(9).u8(1).u8(1).u16(2020).u8(4).text("skip")
             .u8(2).u8(3).u8(4).u8(5).u8(6).u16(2021).u8(11).text("tandrel LIB").b,
         {Posted(2), Posted(1)}, false, 13, "0x1C",
         [](CModel& m) {
             FirmwareVersionRecord r;
             m.GetFirmwareVersion(r, 0);
             EXPECT_STREQ("Brev!", r.name);
             EXPECT_EQ(1, r.major);
             EXPECT_EQ(5, r.minor);
             EXPECT_EQ(7, r.build);
             EXPECT_EQ(2022, r.year);
             m.GetFirmwareVersion(r, 1);
             EXPECT_STREQ("tandrel LIB", r.name);  // matched whatever its case
             EXPECT_EQ(2, r.major);
         }},
        {"0x1C-83 hardware version", 0x1C,
         Data().u8(0x83).u32(12345).u8(15).u8(3).u16(2005).u8(12).u16(5).u8(3).text("ABC").b,
         {Posted(20)}, false, 14, "0x1C",
         [](CModel& m) {
             ProductRecord p;
             m.GetProductInfo(p);
             EXPECT_EQ(12345u, p.serialNumber);
             EXPECT_EQ(15, p.buildDay);
             EXPECT_EQ(3, p.buildMonth);
             EXPECT_EQ(2005, p.buildYear);
             EXPECT_EQ(12, p.buildHour);
             EXPECT_EQ(5, p.code);
             EXPECT_STREQ("ABC", p.name);
         }},
        {"0x41 GPS time", 0x41, Data().f32(1000.75f).u16(2048).f32(18.0f).b, {Posted(9)}, true, 4,
         "0x41",
         [](CModel& m) {
             GpsTimeInfo t;
             m.GetTimeInfo(t);
             EXPECT_EQ(1000u, t.timeOfWeek);
             EXPECT_EQ(2048, t.week);
             EXPECT_EQ(18, t.utcOffset);
             EXPECT_EQ(3, t.source);
         }},
        {"0x42 ECEF single", 0x42, Data().f32(6378137.0f).f32(0).f32(0).f32(500.0f).b,
         {Posted(4)}, true, 2, "0x42",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_DOUBLE_EQ(6378137.0, n.x);
             EXPECT_NEAR(0.0, n.latitude, 1e-12);
             EXPECT_NEAR(0.0, n.height, 1e-6);
             EXPECT_DOUBLE_EQ(500.0, n.timeOfFix);
             EXPECT_EQ(1, n.fixValid);
         }},
        {"0x43 ECEF velocity", 0x43, Data().f32(1).f32(2).f32(3).f32(0.5f).f32(600).b,
         {Posted(6)}, true, 3, "0x43",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_DOUBLE_EQ(2.0, n.velY);
             EXPECT_FLOAT_EQ(0.5f, n.clockBiasRate);
             EXPECT_EQ("0x43", std::string(m.GetReportText(12).GetString()));
         }},
        {"0x45 software version", 0x45, Data().u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).u8(9).u8(10).b,
         {Posted(2), Posted(1)}, false, 13, "0x45",
         [](CModel& m) {
             FirmwareVersionRecord r;
             m.GetFirmwareVersion(r, 0);
             EXPECT_STREQ("GPS Receiver", r.name);
             EXPECT_EQ(1, r.major);
             EXPECT_EQ(5, r.year);
             m.GetFirmwareVersion(r, 1);
             EXPECT_STREQ("GPS Core", r.name);
             EXPECT_EQ(6, r.major);
             EXPECT_EQ(10, r.year);
         }},
        {"0x46 antenna open", 0x46, {0x00, 0x30}, {Posted(12), Posted(28, 1), Posted(29, 1)}, true, 5,
         "0x46", [](CModel& m) { EXPECT_EQ(1u, m.GetHealthStatus()); }},
        {"0x46 antenna short", 0x46, {0x0C, 0x10}, {Posted(12), Posted(28, 1), Posted(29, 2)}, true, 11,
         "0x46", [](CModel& m) { EXPECT_EQ(11u, m.GetHealthStatus()); }},
        {"0x46 antenna fine, error bit", 0x46, {0x55, 0x01},
         {Posted(12), Posted(28, 2), Posted(29, 0)}, true, 9, "0x46",
         [](CModel& m) { EXPECT_EQ(0u, m.GetHealthStatus()); }},
        {"0x47 signal levels", 0x47, Data().u8(2).u8(5).f32(40.0f).u8(12).f32(30.5f).b,
         {Posted(16)}, true, 16, "0x47",
         [](CModel& m) {
             SignalLevelTable t;
             m.GetSignalLevels(t);
             ASSERT_EQ(2, t.count);
             EXPECT_EQ(12, t.entries[1].sv);
             EXPECT_FLOAT_EQ(30.5f, t.entries[1].signalLevel);
         }},
        {"0x4A 9 bytes: reference altitude only", 0x4A, Data().f32(120.5f).f32(0).u8(1).b,
         {Posted(76)}, true, -1, "",
         [](CModel& m) {
             float v = 0;
             uint8_t flag = 0;
             m.GetReferenceAltitude(v, flag);
             EXPECT_FLOAT_EQ(120.5f, v);
             EXPECT_EQ(1, flag);
             NavState n;
             m.GetNavState(n);
             EXPECT_EQ(0.0, n.height);
         }},
        {"0x4A 20 bytes: position", 0x4A, Data().f32(0.5f).f32(-1.5f).f32(100).f32(0).f32(700).b,
         {Posted(3)}, true, 2, "0x4A",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_DOUBLE_EQ(-1.5, n.longitude);
             EXPECT_EQ(0, n.fixValid);  // a clock bias of 0 means no fix
         }},
        {"0x4B machine status", 0x4B, {0x5A, 0x0A, 0x00}, {Posted(14, 2), Posted(30, 2)}, true, 7,
         "0x4B", nullptr},
        {"0x4E time set reply", 0x4E, {0x01}, {Posted(64, 1)}, true, -1, "", nullptr},
        {"0x54 clock bias", 0x54, Data().f32(12.5f).f32(0.25f).f32(100).b, {Posted(17)}, true, 12, "0x54",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_DOUBLE_EQ(12.5, n.clockBias);
         }},
        {"0x55 I/O options", 0x55, {0x12, 0x02, 0x00, 0x40}, {Posted(18)}, true, 26, "0x55",
         [](CModel& m) {
             IoOptions o;
             m.GetIoOptions(o);
             EXPECT_EQ(0x40, o.auxiliary);
         }},
        {"0x56 ENU velocity", 0x56, Data().f32(1).f32(2).f32(3).f32(0).f32(9).b, {Posted(5)}, true, 3,
         "0x56", nullptr},
        {"0x57 last fix: text only", 0x57, Data().u8(1).u8(2).f32(3).u16(4).b, {}, true, -1, "", nullptr},
        {"0x58 almanac", 0x58, Almanac(), {Posted(25)}, true, 29, "0x58",
         [](CModel& m) {
             AlmanacRecord a;
             m.GetAlmanac(a);
             EXPECT_EQ(7, a.sv);
             EXPECT_FLOAT_EQ(15.0f, a.tZc);
             EXPECT_EQ(1100, a.weekNumber);
             EXPECT_EQ(100, a.wnOa);
         }},
        {"0x58 health page", 0x58, HealthPage(), {Posted(22)}, true, 30, "0x58",
         [](CModel& m) {
             AlmanacHealthPage p;
             m.GetAlmanacHealthPage(p);
             EXPECT_EQ(0x3F, p.health[4]);
             EXPECT_EQ(2100, p.currentWnOa);
         }},
        {"0x58 ionosphere", 0x58, Iono(), {Posted(24)}, true, 32, "0x58",
         [](CModel& m) {
             IonoParams p;
             m.GetIonoParams(p);
             EXPECT_FLOAT_EQ(3.5f, p.beta[3]);
         }},
        {"0x58 UTC", 0x58, Utc(43), {Posted(23)}, true, 31, "0x58",
         [](CModel& m) {
             UtcParams u;
             m.GetUtcParams(u);
             EXPECT_DOUBLE_EQ(1.5e-9, u.a0);
             EXPECT_EQ(18, u.deltaTLs);
             EXPECT_EQ(18, u.deltaTLsf);
         }},
        {"0x58 UTC of the wrong length", 0x58, Utc(42), {}, true, -1, "", nullptr},
        {"0x58 ephemeris", 0x58, Ephemeris(), {Posted(26)}, true, 33, "0x58",
         [](CModel& m) {
             EphemerisRecord e;
             m.GetEphemeris(e);
             EXPECT_EQ(17, e.sv);
             EXPECT_EQ(77, e.iodc);
             EXPECT_DOUBLE_EQ(0.0125, e.e);
             EXPECT_DOUBLE_EQ(5153.7, e.sqrtA);
         }},
        {"0x59 satellite flags", 0x59, Data().u8(3).u8(0).u8(1).fill(33).b, {Posted(31)}, true, 25,
         "0x59",
         [](CModel& m) {
             SvFlags f;
             m.GetSvFlags(f);
             EXPECT_EQ(1, f.flags[0]);
             EXPECT_EQ(0, f.flags[1]);
         }},
        {"0x5A raw measurement", 0x5A, Data().u8(5).f32(3.9f).f32(40).f32(100).f32(-500).f64(12.5).b,
         {Sent(56)}, true, 17, "0x5A",
         [](CModel& m) {
             RawMeasurement r;
             m.GetRawMeasurement(r);
             EXPECT_EQ(3, r.sampleLength);
             EXPECT_DOUBLE_EQ(12.5, r.timeOfMeasurement);
         }},
        {"0x5A sample length NaN", 0x5A, Data().u8(5).f32(nan).f32(40).f32(100).f32(-500).f64(1).b,
         {Sent(56)}, true, 17, "0x5A",
         [](CModel& m) {
             RawMeasurement r;
             m.GetRawMeasurement(r);
             EXPECT_EQ(0, r.sampleLength);
         }},
        {"0x5A sample length 1e30", 0x5A, Data().u8(5).f32(1e30f).f32(40).f32(100).f32(-500).f64(1).b,
         {Sent(56)}, true, 17, "0x5A",
         [](CModel& m) {
             RawMeasurement r;
             m.GetRawMeasurement(r);
             EXPECT_EQ(0, r.sampleLength);
         }},
        {"0x5C channel code 0x58 is entry 11", 0x5C, Tracking(0x58), {Posted(15, 11)}, true, 16, "0x5C",
         [](CModel& m) {
             TrackingTable t;
             m.GetTrackingTable(t);
             EXPECT_EQ(9, t.entries[11].sv);
             EXPECT_EQ(254, t.entries[11].status2);
             EXPECT_FLOAT_EQ(1.25f, t.entries[11].azimuth);
             EXPECT_TRUE(m.GetReportFlag(11));
         }},
        {"0x5C channel code 0x60 is ignored", 0x5C, Tracking(0x60), {}, true, -1, "",
         [](CModel& m) { EXPECT_FALSE(m.GetReportFlag(11)); }},
        {"0x6D satellite selection", 0x6D,
         Data().u8(0x23).f32(2.0f).f32(1.5f).f32(1.2f).f32(0.9f).u8(4).u8(7).b,
         {Posted(11), Posted(52)}, true, 6, "0x6D",
         [](CModel& m) {
             FixModeRecord f;
             m.GetFixModeAndDops(f);
             EXPECT_EQ(3, f.fixMode);
             ASSERT_EQ(2, f.svCount);
             EXPECT_EQ(7, f.svs[1]);
             DopRecord d;
             m.GetFixSvList(d);
             EXPECT_DOUBLE_EQ(2.0, d.pdop);
             EXPECT_DOUBLE_EQ(1.5, d.hdop);
             NavState n;
             m.GetNavState(n);
             EXPECT_EQ(2, n.svCount);
             EXPECT_EQ(NAV_FIX_2D, n.fixFlags & NAV_FIX_2D);
         }},
        {"0x70 filters all on", 0x70, {1, 2, 3, 4}, {Posted(19)}, true, 20, "0x70",
         [](CModel& m) {
             FilterConfig c;
             m.GetFilterConfig(c);
             EXPECT_EQ(0, c.pv);
             EXPECT_EQ(1, c.extra);
         }},
        {"0x70 filters mixed", 0x70, {1, 0, 3, 4}, {Posted(19)}, true, 20, "0x70",
         [](CModel& m) {
             FilterConfig c;
             m.GetFilterConfig(c);
             EXPECT_EQ(3, c.altitude);
             EXPECT_EQ(0, c.extra);
         }},
        {"0x7B NMEA output", 0x7B, Data().u8(0).u8(5).u32(0x10000011).b, {Posted(40)}, true, 21, "0x7B",
         [](CModel& m) {
             NmeaOutputConfig c;
             m.GetNmeaOutputConfig(c);
             EXPECT_EQ(5u, c.interval & 0xFF);
             EXPECT_EQ(0x10000011u, c.mask);
         }},
        {"0x7F QTXT configuration", 0x7F,
         Data().u8(0).u8(0x15).u16(30).u16(1).u16(2).u16(3).u16(4).u16(5).u16(6).u16(7).u16(8).text("VH01").b,
         {Posted(78)}, true, 36, "0x7F",
         [](CModel& m) {
             QtxtConfigRecord q;
             m.GetQtxtConfig(q);
             EXPECT_EQ(1u, q.flagId);
             EXPECT_EQ(0u, q.flagCs);
             EXPECT_EQ(1u, q.flagEc);
             EXPECT_EQ(1u, q.flagCr);
             EXPECT_EQ(30, q.epoch);
             EXPECT_EQ(8, q.periods[QTXT_PERIOD_VR]);
             EXPECT_STREQ("VH01", q.vehicleId);
         }},
        {"0x82 DGPS mode", 0x82, {3}, {Posted(27, 3)}, true, -1, "", nullptr},
        {"0x83 ECEF double", 0x83, Data().f64(6378137.0).f64(0).f64(0).f64(3.5).f32(10).b, {Posted(4)},
         true, 2, "0x83",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_EQ(1, n.fixValid);
             EXPECT_NEAR(0.0, n.height, 1e-6);
         }},
        {"0x84 LLA double", 0x84, Data().f64(0.7).f64(-0.2).f64(55.5).f64(3.5).f32(10).b, {Posted(3)},
         true, 2, "0x84",
         [](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_DOUBLE_EQ(0.7, n.latitude);
             EXPECT_DOUBLE_EQ(55.5, n.height);
         }},
        {"0xAA CRC announcement", 0xAA, {0x00, 0x0A, 0x57, 0x7B}, {}, true, -1, "",
         [](CModel& m) {
             // The model shows an announcement once a packet was checked against it.
             const uint8_t next[11] = {0x41};
             m.CheckPacketCrc(next, 11);
             uint16_t size = 0, crc = 0;
             m.GetExpectedCrc(size, crc);
             EXPECT_EQ(10, size);
             EXPECT_EQ(0x577B, crc);
         }},
        {"0xBB navigation configuration", 0xBB,
         Data().u8(3).u8(4).u8(2).u8(1).u8(0).f32(0.175f).f32(2).f32(12).f32(5).u8(30).fill(40).b,
         {Posted(32)}, true, 23, "0xBB",
         [](CModel& m) {
             NavConfig c;
             m.GetNavConfig(c);
             EXPECT_EQ(4, c.operatingMode);
             EXPECT_EQ(30, c.dgpsAgeLimit);
             EXPECT_FLOAT_EQ(12.0f, c.dopMask);
         }},
        {"0xBC port configuration", 0xBC, {0x00, 0x0B, 0x0B, 0x02, 0x01, 0x01, 0x00, 0x02, 0x04, 0x00},
         {Posted(39)}, true, 22, "0xBC",
         [](CModel& m) {
             PortConfigRecord c;
             m.GetPortConfig(c);
             EXPECT_EQ(115200u, c.baud);
             EXPECT_EQ(7, c.dataBits);
             EXPECT_EQ(1, c.parity);
             EXPECT_EQ(2, c.stopBits);
             EXPECT_EQ(2, c.inputMask);
             EXPECT_EQ(4, c.outputMask);
         }},
        {"0xC2 satellite mask", 0xC2, {0x10, 0x00, 0x00, 0x10}, {Posted(72)}, true, 34, "0xC2",
         [](CModel& m) {
             uint32_t mask = 0;
             m.GetSvMaskWord(mask);
             EXPECT_EQ(0x10000010u, mask);
         }},
        {"unknown id", 0x99, {1, 2, 3}, {}, true, -1, "", nullptr},
        {"0x8F with an unknown sub-code", 0x8F, {0xEE, 1, 2}, {}, true, -1, "", nullptr},
    };
    for (const DecoderCase& c : cases) {
        SCOPED_TRACE(c.name);
        model.ClearData(1);
        model.ClearReportTexts();
        model.ClearReportFlags();
        sink.Clear();
        const Snapshot before(model);
        Decode(Packet(c.id, c.data));
        const std::vector<RecordedEvent> events = sink.Events();
        if (c.exactEvents) {
            EXPECT_EQ(c.events, events);
        } else {
            for (const RecordedEvent& e : c.events)
                EXPECT_NE(events.end(), std::find(events.begin(), events.end(), e)) << e.event;
        }
        if (c.slot >= 0) {
            EXPECT_EQ(std::string(c.slotText), model.GetReportText(c.slot).GetString());
        }
        if (c.events.empty() && c.check == nullptr) {
            EXPECT_TRUE(before == Snapshot(model));
        }
        if (c.check) c.check(model);
    }
}

TEST_F(QbinReportsTest, GpsTimeOutsideTheWeekOrNotANumberIsNoTime)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case { float tow; float offset; uint32_t seconds; uint16_t week; uint8_t utc; uint8_t source; };
    const Case cases[] = {
        {604800.0f, 18.0f, 604800, 2000, 18, 3},
        {-1.0f, 18.0f, 0, 0, 0, 0},
        {604801.0f, 18.0f, 0, 0, 0, 0},
        {nan, 18.0f, 0, 0, 0, 0},
        {1e30f, 18.0f, 0, 0, 0, 0},
        {-inf, 18.0f, 0, 0, 0, 0},
        {100.0f, nan, 100, 2000, 0, 3},
        {100.0f, 1e30f, 100, 2000, 0, 3},
        {100.0f, -3.0f, 100, 2000, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tow);
        sink.Clear();
        Decode(Packet(0x41, Data().f32(c.tow).u16(2000).f32(c.offset).b));
        GpsTimeInfo t;
        model.GetTimeInfo(t);
        EXPECT_EQ(c.seconds, t.timeOfWeek);
        EXPECT_EQ(c.week, t.week);
        EXPECT_EQ(c.utc, t.utcOffset);
        EXPECT_EQ(c.source, t.source);
        EXPECT_EQ(std::vector<RecordedEvent>{Posted(9)}, sink.Events());
    }
}

// ---- Short and hostile reports ------------------------------------------------

TEST_F(QbinReportsTest, ShortOrInconsistentReportsLeaveModelAndEventsUnchanged)
{
    // Give the model values a broken report could overwrite.
    Decode(Packet(0x41, Data().f32(1000).u16(2000).f32(18).b));
    Decode(Packet(0x6D, Data().u8(0x44).f32(2).f32(1).f32(1).f32(1).u8(1).u8(2).u8(3).u8(4).b));
    Decode(Packet(0x1C, Data().u8(0x83).u32(7).u8(1).u8(1).u16(2001).u8(1).u16(9).u8(2).text("HW").b));
    sink.Clear();
    struct Case { const char* name; uint8_t id; Bytes data; };
    const Case cases[] = {
        {"0x13 without data", 0x13, {}},
        {"0x8F without data", 0x8F, {}},
        {"0x5F without data", 0x5F, {}},
        {"0x6F without data", 0x6F, {}},
        {"0x1C without data", 0x1C, {}},
        {"0x1C-83 text length past the data", 0x1C,
         Data().u8(0x83).u32(1).u8(1).u8(1).u16(2001).u8(1).u16(9).u8(40).text("XY").b},
        {"0x1C-83 cut before the text length", 0x1C, Data().u8(0x83).u32(1).u8(1).u8(1).b},
        {"0x1C-82 name past the data", 0x1C, Data().u8(0x82).u8(1).u8(1).u8(2).u8(3).u8(4).u8(5).u16(9).u8(30).text("ab").b},
        {"0x1C-82 cut in the first component", 0x1C, Data().u8(0x82).u8(1).u8(1).u8(2).b},
        {"short 0x8F-A9", 0x8F, {0xA9, 0x01, 0x00}},
        {"short 0x8F-4D", 0x8F, {0x4D, 0x01}},
        {"0x5F-01-11 with 3 bytes", 0x5F, {0x01, 0x11, 0x80}},
        {"0x6D with 17 bytes and count 12", 0x6D, Data().u8(0xC4).f32(2).f32(1).f32(1).f32(1).b},
        {"0x6D count 3 with 2 satellites", 0x6D, Data().u8(0x34).f32(2).f32(1).f32(1).f32(1).u8(1).u8(2).b},
        {"0x47 count past the data", 0x47, Data().u8(3).u8(5).f32(40).b},
        {"0x41 with 9 bytes", 0x41, Data().f32(5).u16(1).u8(0).u8(0).u8(0).b},
        {"0x4A with 10 bytes", 0x4A, Data().f32(5).f32(5).u8(0).u8(0).b},
        {"0x58 without a type", 0x58, {2, 2}},
        {"0x58 type 6 with 170 bytes", 0x58, Data().u8(2).u8(6).fill(170).b},
        {"0x5C with 23 bytes", 0x5C, Data().fill(23).b},
        {"0xC2 with 3 bytes", 0xC2, {1, 2, 3}},
    };
    const Snapshot before(model);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes packet = Packet(c.id, c.data);
        Decode(packet);
        EXPECT_TRUE(before == Snapshot(model));
        EXPECT_TRUE(sink.Events().empty());
    }
    // Frames that cannot even hold an id and DLE ETX.
    const uint8_t tiny[] = {0x10, 0x41, 0x10};
    DecodeQbinReport(tiny, 3, &model, nullptr);
    DecodeQbinReport(nullptr, 10, &model, nullptr);
    EXPECT_TRUE(before == Snapshot(model));
    EXPECT_TRUE(sink.Events().empty());
}

// ---- Length table -------------------------------------------------------------

// The report bytes (id first) of a packet of this row at this data length:
// the sub-code in data 0 and, for 0x5F-03, the text form its rule covers.
Bytes RowPacketBody(const QbinLengthRule& r, int dataLength)
{
    Bytes body(static_cast<size_t>(dataLength) + 1, 0);
    body[0] = r.id;
    if (r.subcode != QBIN_ANY_SUBCODE && dataLength >= 1) body[1] = static_cast<uint8_t>(r.subcode);
    if (r.id == 0x5F && r.subcode == 0x03 && dataLength >= 2) body[2] = 1;
    return body;
}

bool LengthListed(const QbinLengthRule* table, int count, const QbinLengthRule& r, int length)
{
    for (int i = 0; i < count; ++i)
        if (table[i].id == r.id && table[i].subcode == r.subcode && length >= table[i].minAccepted &&
            length <= table[i].maxAccepted)
            return true;
    return false;
}

TEST(QbinLengthTable, AcceptedLengthsPassAndTheirNeighboursDoNot)
{
    int count = 0;
    const QbinLengthRule* table = GetQbinLengthTable(count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
        const QbinLengthRule& r = table[i];
        SCOPED_TRACE(testing::Message() << std::hex << "id " << int(r.id) << " sub " << r.subcode);
        EXPECT_LE(static_cast<int>(r.needed),
                  r.minAccepted == 0 ? static_cast<int>(QBIN_ANY_LENGTH) : static_cast<int>(r.minAccepted));
        int accepted = r.minAccepted > r.needed ? r.minAccepted : r.needed;
        if (r.subcode != QBIN_ANY_SUBCODE && accepted < 1) accepted = 1;
        Bytes body = RowPacketBody(r, accepted);
        EXPECT_TRUE(CheckQbinReportLength(body.data(), accepted, nullptr));
        EXPECT_EQ(r.needed, GetQbinNeededLength(body.data(), accepted));
        // The whole packet is found where it stands.
        Bytes packet = Packet(r.id, Bytes(body.begin() + 1, body.end()));
        int length = static_cast<int>(packet.size());
        int start = -1;
        EXPECT_TRUE(FindQbinPacketStart(packet.data(), length, start, nullptr));
        EXPECT_EQ(0, start);
        EXPECT_EQ(static_cast<int>(packet.size()), length);
        if (r.maxAccepted == QBIN_ANY_LENGTH) continue;
        for (int neighbour : {r.minAccepted - 1, r.maxAccepted + 1}) {
            // Below 1 byte a sub-code row has no sub-code to select it.
            if (neighbour < 1 || LengthListed(table, count, r, neighbour)) continue;
            SCOPED_TRACE(neighbour);
            Bytes other = RowPacketBody(r, neighbour);
            EXPECT_FALSE(CheckQbinReportLength(other.data(), neighbour, nullptr));
        }
    }
}

TEST(QbinLengthTable, SubTypeRulesApplyOnlyWhereTheyBind)
{
    // 0x5F-03 binary form ('X' at data 6) and other classes pass at any length.
    const Bytes x = {0x5F, 0x03, 0x01, 0, 0, 0, 0, 'X', 0};
    EXPECT_TRUE(CheckQbinReportLength(x.data(), 8, nullptr));
    const Bytes text = {0x5F, 0x03, 0x01, 0, 0, 0, 0, 'A', 0};
    EXPECT_FALSE(CheckQbinReportLength(text.data(), 8, nullptr));
    // Too short to hold data 6: judged by the rule, and refused.
    const Bytes shortText = {0x5F, 0x03, 0x01};
    EXPECT_FALSE(CheckQbinReportLength(shortText.data(), 2, nullptr));
    const Bytes other = {0x5F, 0x03, 0x02};
    EXPECT_TRUE(CheckQbinReportLength(other.data(), 2, nullptr));
    // An unlisted id passes with any length.
    const Bytes unknown = {0x99, 1, 2, 3};
    EXPECT_TRUE(CheckQbinReportLength(unknown.data(), 3, nullptr));
    // An unlisted 0x8F sub-code passes; a listed one is held to its length.
    const Bytes sub = {0x8F, 0xEE, 1};
    EXPECT_TRUE(CheckQbinReportLength(sub.data(), 2, nullptr));
    const Bytes datum = {0x8F, 0x14, 1};
    EXPECT_FALSE(CheckQbinReportLength(datum.data(), 2, nullptr));
}

// ---- Packet start --------------------------------------------------------------

TEST(QbinPacketStart, FindsTheTrueStartBehindGarbage)
{
    const Bytes time = Data().f32(1).u16(2).f32(3).b;  // 10 bytes: a good 0x41
    struct Case { const char* name; Bytes frame; bool found; int start; };
    const Case cases[] = {
        {"as it stands", Packet(0x41, time), true, 0},
        {"two garbage bytes before the DLE", frametest::Cat({{0xAB, 0xCD}, Packet(0x41, time)}), true, 2},
        {"a 0x41 of the wrong length before it", frametest::Cat({{0x10, 0x41, 0x22}, Packet(0x41, time)}), true, 3},
        {"no acceptable start", frametest::Cat({{0x10, 0x41, 0x22}, Packet(0x41, Bytes(3, 0))}), false, 0},
        {"too short", {0x10, 0x41, 0x10, 0x03}, false, 0},
        {"no DLE", {0x01, 0x02, 0x03, 0x04, 0x05}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int length = static_cast<int>(c.frame.size());
        int start = -1;
        EXPECT_EQ(c.found, FindQbinPacketStart(c.frame.data(), length, start, nullptr));
        if (c.found) {
            EXPECT_EQ(c.start, start);
            EXPECT_EQ(static_cast<int>(c.frame.size()) - c.start, length);
        }
    }
}

// ---- CRC announcement through the recogniser, model and decoder ------------------

TEST(QbinCrcAnnouncement, TheAnnouncedPacketPassesOnlyWithItsCrc)
{
    using frametest::Event;
    using frametest::Hex;
    CModel model;
    frametest::EventRecorder recorder(&model);
    ASSERT_TRUE(model.Attach(&recorder, nullptr));
    CFrameLinkState link;
    link.protocol = PROTO_QBIN;
    FrameContext context;
    context.model = &model;
    context.link = &link;
    CFrameHandler handler(context, GetDefaultFrameDispatch());
    auto feed = [&](const Bytes& bytes) {
        for (uint8_t b : bytes) handler.OnByte(b);
    };
    const Bytes announce = Hex("10 AA 00 0A 57 7B 10 03");
    const Bytes good = Hex("10 41 01 02 03 04 05 06 07 08 09 0A 10 03");
    const Bytes bad = Hex("10 41 01 02 03 04 05 06 07 08 09 0B 10 03");

    feed(announce);
    recorder.events.clear();
    feed(good);
    EXPECT_NE(recorder.events.end(),
              std::find(recorder.events.begin(), recorder.events.end(), Event{9, 0, false, Bytes()}));

    feed(announce);
    recorder.events.clear();
    feed(bad);
    const std::vector<Event> failed = {Event{34, PROTO_QBIN, true, bad}, Event{62, PROTO_QBIN, true, Bytes()}};
    EXPECT_EQ(failed, recorder.events);

    // The announcement was used up: the next packet passes without one.
    recorder.events.clear();
    feed(bad);
    EXPECT_NE(recorder.events.end(),
              std::find(recorder.events.begin(), recorder.events.end(), Event{9, 0, false, Bytes()}));
    model.Detach();
}

// ---- Translation goldens ---------------------------------------------------------

class QbinTranslationTest : public QbinReportsTest {
protected:
    void SetUp() override
    {
        QbinReportsTest::SetUp();
        rig.options.rawData = true;
        ASSERT_EQ(0, rig.OpenTranslation(&model));
    }
    // As the reader does: find the start, then decode from there.
    std::string Translate(const Bytes& frame)
    {
        const size_t before = rig.Translation().size();
        int length = static_cast<int>(frame.size());
        int start = 0;
        if (FindQbinPacketStart(frame.data(), length, start, &converter))
            DecodeQbinReport(frame.data() + start, length, &model, &converter);
        return rig.Translation().substr(before);
    }
    ConverterTestRig rig;
    CConverterEngine& converter = rig.engine;
};

TEST_F(QbinTranslationTest, ReportsWriteTheirTexts)
{
    struct Case { const char* name; Bytes frame; std::string text; };
    const Case cases[] = {
        {"0x41 of 9 bytes", Packet(0x41, {1, 2, 3, 4, 5, 6, 7, 8, 9}),
         "\r\nQBIN report packet ID 41h, data length 9 (excl. DLE, Pkt ID, DLE/ETX): Bad length"
         "\r\nRaw data:\r\n   10 41 01 02 03 04 05 06 07 08 09 10 03"},
        {"unknown id", Packet(0x99, {0xAB, 0x10}),
         "\r\nQBIN report packet ID 99h, length 2 (excl. DLE, Pkt ID, DLE/ETX): translation not supported"
         "\r\nRaw data:\r\n   10 99 AB 10 10 03"},
        {"a long raw dump breaks every 20 bytes", Packet(0x98, Bytes(20, 0x11)),
         "\r\nQBIN report packet ID 98h, length 20 (excl. DLE, Pkt ID, DLE/ETX): translation not supported"
         "\r\nRaw data:\r\n   10 98 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11"
         "\r\n   11 11 10 03"},
        {"0x1C-83", Packet(0x1C, Data().u8(0x83).u32(12345).u8(15).u8(3).u16(2005).u8(12).u16(5).u8(3).text("ABC").b),
         "\r\nHW Version Information:\r\n   Serial #:   12345\r\n   Build Date: 03/15/2005 12 hr"
         "\r\n   HW Code:    5\r\n   HW ID: ABC"},
        {"0xBB", Packet(0xBB, Data().u8(3).u8(4).u8(2).u8(5).u8(0).f32(0).f32(2).f32(12).f32(5).u8(30).fill(40).b),
         "\r\nReceiver configuration parameters (subcode 3):\r\n   Operating mode:   3-D"
         "\r\n   DGPS mode:        auto DGPS/GPS\r\n   Dynamics:         Automobile\r\n   Elevation mask:   0.00 deg"
         "\r\n   SNR mask:         2.00\r\n   DOP mask:         12.00\r\n   DOP switch:       5.00"
         "\r\n   DGPS age limit:   30 s"},
        {"0x57", Packet(0x57, Data().u8(1).u8(0x2C).f32(-1.0f).u16(2001).b),
         "\r\n source code 1;   diag code: 2Ch\r\n   Time of last fix:   <No time yet>        -1"
         "\r\n   Week of last fix: 2001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text, Translate(c.frame));
    }
}

TEST_F(QbinTranslationTest, TranslationWithoutAModelStoresNothingAnywhere)
{
    const Bytes frame = Packet(0x1C, Data().u8(0x83).u32(1).u8(1).u8(1).u16(2001).u8(1).u16(9).u8(2).text("HW").b);
    DecodeQbinReport(frame.data(), static_cast<int>(frame.size()), nullptr, &converter);
    EXPECT_NE(std::string::npos, rig.Translation().find("HW ID: HW"));
    EXPECT_TRUE(sink.Events().empty());
}

}  // namespace
