// KESTO: the exact bytes of every command (and of the monitor-mode ones, which
// share the golden table), the escaping of every byte after the 0x81 checksum
// included, so that whatever a writer sends the reader rebuilds as one packet
// passing its check; and the decoder: what each class stores and raises, and
// that a packet too short for its class changes nothing.
#include "protocol/KestoProtocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DecoderTestSupport.h"
#include "KestoMonCommandGoldens.h"
#include "protocol/MonFrame.h"

using namespace decodertest;
using frametest::EventRecorder;
using frametest::Hex;
using frametest::ToHex;

namespace {

const double kPi = 3.14159265358979323846;
const double kDeg = kPi / 180.0;
const double kHeadingUnit = 0.00009587379924717687;  // about 2 pi / 65536

}  // namespace

// ---- Commands ------------------------------------------------------------------

TEST(KestoMonCommands, GoldenBytes)
{
    for (const KestoMonCommandGolden& g : KestoMonCommandGoldens()) {
        SCOPED_TRACE(g.call);
        CByteArray out;
        out.Add(0x55);  // left over from an earlier command: must go
        const bool built = g.build(out);
        EXPECT_EQ(built, !g.expected.empty());
        EXPECT_EQ(ToHex(ToBytes(out)), g.expected);
    }
}

TEST(KestoMonCommands, EachFrameIsRecognisedAsOneGoodFrame)
{
    for (const KestoMonCommandGolden& g : KestoMonCommandGoldens()) {
        if (g.expected.empty()) continue;
        SCOPED_TRACE(g.call);
        const Bytes wire = Hex(g.expected);
        const bool kesto = wire[0] == KESTO_START;
        const std::vector<std::string> found = Recognise(wire);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0], std::string(kesto ? "frame 6: " : "frame 20: ") + g.expected);
        EXPECT_TRUE(kesto ? CheckKestoFrame(wire.data(), static_cast<int>(wire.size()))
                          : CheckMonFrame(wire.data(), static_cast<int>(wire.size())));
    }
}

// ---- Framing -------------------------------------------------------------------

TEST(KestoFraming, ReservedBytesAreEscapedWhereverTheyStand)
{
    struct Case {
        const char* name;
        std::function<void(CByteArray&)> write;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"plain bytes around the reserved range",
         [](CByteArray& p) { KestoAppendByte(p, 0x7F); KestoAppendByte(p, 0x88); KestoAppendByte(p, 0xFF); },
         "7F 88 FF"},
        {"every reserved byte",
         [](CByteArray& p) { for (int b = 0x80; b <= 0x87; ++b) KestoAppendByte(p, static_cast<BYTE>(b)); },
         "80 00 80 01 80 02 80 03 80 04 80 05 80 06 80 07"},
        {"16 bits, low byte first", [](CByteArray& p) { KestoAppendU16(p, 0x8312); }, "12 80 03"},
        {"32 bits, low byte first", [](CByteArray& p) { KestoAppendU32(p, 0x81028384u); },
         "80 04 80 03 02 80 01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CByteArray p;
        c.write(p);
        EXPECT_EQ(ToHex(ToBytes(p)), c.expected);
    }

    // Class and sub-id are escaped too, and Begin forgets what was there.
    CByteArray p;
    p.Add(0x01);
    KestoBeginPacket(p, 0x85, 0x82);
    EXPECT_EQ(ToHex(ToBytes(p)), "81 80 05 80 02");
}

TEST(KestoFraming, AChecksumInTheReservedRangeIsEscapedAndStillPasses)
{
    CByteArray p;
    KestoBeginPacket(p, 0x70, 0x11);
    KestoAppendByte(p, 0xFA);
    KestoEndPacket(p);
    EXPECT_EQ(ToHex(ToBytes(p)), "81 70 11 FA 80 02 82");

    const std::vector<std::string> found = Recognise(ToBytes(p));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "frame 6: 81 70 11 FA 82 82");
    const Bytes received = Hex("81 70 11 FA 82 82");
    EXPECT_TRUE(CheckKestoFrame(received.data(), static_cast<int>(received.size())));
}

// Whatever one data byte is, the packet leaves as bytes the reader rebuilds
// into exactly the packet written, and that packet passes the check.
TEST(KestoFraming, EveryDataByteRoundTripsThroughTheRecogniser)
{
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        CByteArray p;
        KestoBeginPacket(p, 0x70, 0x11);
        KestoAppendByte(p, static_cast<BYTE>(b));
        KestoEndPacket(p);

        struct Frames : IFrameSink {
            std::vector<Bytes> frames;
            void OnFrame(ProtocolKind kind, const BYTE* f, int n) override
            {
                if (kind == PROTO_KESTO) frames.push_back(Bytes(f, f + n));
            }
            void OnBrokenQbinPacket(BYTE, BYTE, int) override {}
            void OnBangDigit(BYTE) override {}
        } frames;
        CFrameRecogniser reader(&frames);
        for (INT_PTR i = 0; i < p.GetSize(); ++i) reader.Feed(p[i]);

        ASSERT_EQ(frames.frames.size(), 1u);
        const Bytes& f = frames.frames[0];
        ASSERT_EQ(f.size(), 6u);
        EXPECT_EQ(f[1], 0x70);
        EXPECT_EQ(f[2], 0x11);
        EXPECT_EQ(f[3], b);
        EXPECT_TRUE(CheckKestoFrame(f.data(), static_cast<int>(f.size())));
    }
}

TEST(KestoFraming, LongerFieldsRoundTripToo)
{
    CByteArray p;
    KestoBeginPacket(p, 0x86, 0x80);
    KestoAppendU32(p, 0x87868584u);
    KestoAppendU16(p, 0x8180);
    KestoAppendByte(p, 0x82);
    KestoEndPacket(p);
    const std::vector<std::string> found = Recognise(ToBytes(p));
    ASSERT_EQ(found.size(), 1u);
    const Bytes frame = Hex(found[0].substr(std::string("frame 6: ").size()));
    EXPECT_EQ(ToHex(Bytes(frame.begin(), frame.end() - 2)), "81 86 80 84 85 86 87 80 81 82");
    EXPECT_TRUE(CheckKestoFrame(frame.data(), static_cast<int>(frame.size())));
}

// ---- Decoder -------------------------------------------------------------------

namespace {

// Packet data written field by field, little-endian as on the wire.
struct Data {
    Bytes b;
    Data& u8(unsigned v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    Data& u16(unsigned v) { u8(v & 0xFF); return u8(v >> 8); }
    Data& u32(uint32_t v) { u16(v & 0xFFFF); return u16(v >> 16); }
    Data& f32(float v) { uint32_t w; std::memcpy(&w, &v, 4); return u32(w); }
    Data& text(const char* s) { while (*s) u8(static_cast<uint8_t>(*s++)); return *this; }
    // Zeros up to the packet offset (data starts at offset 3).
    Data& at(int offset) { while (static_cast<int>(b.size()) + 3 < offset) u8(0); return *this; }
};

// The unescaped packet the reader hands over: 0x81, class, sub-id, data,
// checksum, 0x82.
Bytes Packet(uint8_t cls, uint8_t id, const Bytes& data)
{
    Bytes out{0x81, cls, id};
    out.insert(out.end(), data.begin(), data.end());
    unsigned sum = 0x82;
    for (uint8_t v : out) sum += v;
    out.push_back(static_cast<uint8_t>(0x100 - (sum & 0xFF)));
    out.push_back(0x82);
    return out;
}

class KestoDecoderTest : public ModelTest<EventRecorder> {
protected:
    void Decode(const Bytes& packet)
    {
        const ExactFrame exact(packet);
        DecodeKestoFrame(exact.Data(), exact.Size(), &model);
    }
    std::vector<std::pair<int32_t, int32_t>> Events() const
    {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const frametest::Event& e : sink.events) out.push_back({e.event, e.detail});
        return out;
    }
};

typedef std::vector<std::pair<int32_t, int32_t>> EventList;

struct ReportLabel {
    int slot;
    const char* text;
};

struct DecoderCase {
    const char* name;
    uint8_t cls, id;
    Bytes data;        // exactly the bytes the class needs
    EventList events;  // raised in this order (others may come between)
    std::vector<ReportLabel> labels;
    std::function<void(CModel&)> check;
};

bool InOrder(const EventList& wanted, const EventList& got)
{
    size_t i = 0;
    for (const auto& e : got)
        if (i < wanted.size() && e == wanted[i]) ++i;
    return i == wanted.size();
}

std::vector<DecoderCase> DecodedClasses()
{
    const double missing = -700000.0;
    return {
        {"0x11-01 version", 0x11, 0x01, Data().u8(2).u8(10).u8(3).u8(15).u8(3).u16(2007).b, {{2, 0}},
         {{13, "0x11-01"}},
         [](CModel& m) {
             FirmwareVersionRecord fw;
             m.GetFirmwareVersion(fw, 0);
             EXPECT_STREQ(fw.name, "KSX Module");
             EXPECT_EQ(fw.major, 2);
             EXPECT_EQ(fw.minor, 10);
             EXPECT_EQ(fw.build, 3);
             EXPECT_EQ(fw.day, 15);
             EXPECT_EQ(fw.month, 3);
             EXPECT_EQ(fw.year, 2007);
         }},
        {"0x12-03 product", 0x12, 0x03,
         Data().u32(123456789).u8(9).u8(11).u16(2006).text("KSX-2 GPS       ").b, {{20, 0}}, {{14, "0x12-04"}},
         [](CModel& m) {
             ProductRecord p;
             m.GetProductInfo(p);
             EXPECT_EQ(p.code, 9999);
             EXPECT_STREQ(p.name, "KSX-2 GPS");
             EXPECT_EQ(p.serialNumber, 123456789u);
             EXPECT_EQ(p.buildDay, 9);
             EXPECT_EQ(p.buildMonth, 11);
             EXPECT_EQ(p.buildYear, 2006);
         }},
        {"0x14-01 antenna", 0x14, 0x01, Data().at(11).u8(0x71).u8(0x20).b, {{29, 1}}, {{11, "0x14-01"}}, nullptr},
        {"0x16-02 status bits set", 0x16, 0x02, Data().at(6).u8(0x05).b, {{28, 1}, {30, 1}},
         {{9, "0x16-02"}, {10, "0x16-02"}},
         [](CModel& m) {
             EXPECT_EQ(m.GetHealthErrorBits(), 1u);
             EXPECT_EQ(m.GetStatusCode(), 1u);
         }},
        {"0x16-02 status bits clear", 0x16, 0x02, Data().at(6).u8(0xFA).b, {{28, 2}, {30, 2}},
         {{9, "0x16-02"}, {10, "0x16-02"}}, nullptr},
        {"0x30-02 position, heading and speed", 0x30, 0x02,
         Data().u8(0x0D).at(6).u32(345600123).u32(0x20000000).u32(0xC0000000u).u16(0xFFE7).u16(16384).u16(1000).b,
         {{3, 0}, {5, 0}}, {{2, "0x30-02"}, {3, "0x30-02"}},
         [](CModel& m) {
             NavState n, before;
             m.GetNavState(n);
             m.GetPreviousNavState(before);
             EXPECT_EQ(n.fixValid, 1);
             EXPECT_DOUBLE_EQ(n.timeOfFix, 345600.123);
             EXPECT_NEAR(n.latitude, kPi / 4, 1e-15);
             EXPECT_NEAR(n.longitude, -kPi / 2, 1e-15);
             EXPECT_EQ(n.height, -25.0);
             EXPECT_DOUBLE_EQ(n.velEast, 10.0);
             EXPECT_DOUBLE_EQ(n.velNorth, 16384 * kHeadingUnit);
             EXPECT_EQ(n.velUp, -700000.0);
             EXPECT_NEAR(n.groundSpeedKnots, 19.438444924406048, 1e-12);
             EXPECT_DOUBLE_EQ(n.heading, 16384 * kHeadingUnit);
             // The position was stored on its own first.
             EXPECT_NEAR(before.latitude, kPi / 4, 1e-15);
             EXPECT_EQ(before.velEast, 0.0);
         }},
        {"0x30-02 position without speed or heading", 0x30, 0x02,
         Data().u8(0x01).at(6).u32(1000).u32(0).u32(0).u16(0).u16(16384).u16(1000).b, {{3, 0}, {5, 0}},
         {{2, "0x30-02"}, {3, "0x30-02"}},
         [missing](CModel& m) {
             NavState n;
             m.GetNavState(n);
             EXPECT_EQ(n.timeOfFix, 1.0);
             EXPECT_EQ(n.velEast, missing);
             EXPECT_EQ(n.velNorth, missing);
             EXPECT_EQ(n.velUp, missing);
             EXPECT_EQ(n.groundSpeedKnots, missing);
             EXPECT_EQ(n.heading, missing);
         }},
        {"0x31-01 2-D fix", 0x31, 0x01, Data().at(7).u8('Q').b, {}, {{6, "0x31-01"}},
         [](CModel& m) {
             FixModeRecord fix;
             m.GetFixModeAndDops(fix);
             NavState n;
             m.GetNavState(n);
             EXPECT_EQ(fix.fixMode, 3);
             EXPECT_EQ(n.fixFlags & NAV_FIX_2D, NAV_FIX_2D);
         }},
        {"0x31-02 3-D fix with clock and DOP", 0x31, 0x02,
         Data().at(7).u8(0x91).u8(0xC1).at(31).u16(0xFF6A).at(35).f32(12345.0f).u16(13).b, {{17, 0}, {52, 0}},
         {{12, "0x31-02"}, {8, "0x31-02"}, {6, "0x31-02"}},
         [](CModel& m) {
             FixModeRecord fix;
             m.GetFixModeAndDops(fix);
             NavState n;
             m.GetNavState(n);
             DopRecord d;
             m.GetFixSvList(d);
             EXPECT_EQ(fix.fixMode, 4);
             EXPECT_EQ(n.fixFlags & NAV_FIX_2D, 0);
             EXPECT_NEAR(n.clockBias, 123.45, 1e-9);
             EXPECT_FLOAT_EQ(n.clockBiasRate, -1.5f);
             EXPECT_DOUBLE_EQ(d.pdop, 2.6);
         }},
        {"0x32-01 time, DOPs and status", 0x32, 0x01,
         Data().u16(2024).u8(3).u8(5).u8(12).u8(34).u8(56).u8(18).u16(512).u16(384).u16(320).at(18).u8(0x37).u8(0x80).b,
         {{9, 1}, {52, 0}, {12, 0}, {11, 0}, {14, 1}},
         {{4, "0x32-02"}, {8, "0x32-02"}, {5, "0x32-02"}, {6, "0x32-02"}, {7, "0x32-02"}},
         [](CModel& m) {
             GpsTimeInfo t;
             m.GetTimeInfo(t);
             EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
             EXPECT_EQ(t.year, 2024);
             EXPECT_EQ(t.month, 3);
             EXPECT_EQ(t.day, 5);
             EXPECT_EQ(t.hour, 12);
             EXPECT_EQ(t.minute, 34);
             EXPECT_EQ(t.second, 56);
             EXPECT_EQ(t.utcOffset, 18);
             EXPECT_EQ(t.week, 2304);
             EXPECT_EQ(t.timeOfWeek, 2u * 86400 + 12 * 3600 + 34 * 60 + 56);
             DopRecord d;
             m.GetFixSvList(d);
             EXPECT_EQ(d.pdop, 2.0);
             EXPECT_EQ(d.hdop, 1.5);
             EXPECT_EQ(d.vdop, 1.25);
             EXPECT_EQ(d.tdop, -1.0);
             EXPECT_EQ(m.GetHealthStatus(), 7u);
             FixModeRecord fix;
             m.GetFixModeAndDops(fix);
             EXPECT_EQ(fix.svCount, 2);
             EXPECT_EQ(m.GetMachineId(), 1u);
         }},
        {"0x33-01 channel", 0x33, 0x01, Data().u8(3).u8(0x25).u8(0).u8(200).u8(30).u8(0xA6).u8(0x0C).b, {{15, 3}},
         {{16, "0x33-01"}},
         [](CModel& m) {
             TrackingTable t;
             m.GetTrackingTable(t);
             const TrackingEntry& e = t.entries[3];
             EXPECT_EQ(e.sv, 5);
             EXPECT_FLOAT_EQ(e.signalLevel, 40.0f);
             EXPECT_FLOAT_EQ(e.elevation, static_cast<float>(60 * kDeg));
             EXPECT_FLOAT_EQ(e.azimuth, static_cast<float>(-90 * kDeg));
             EXPECT_EQ(e.status, 1);
             EXPECT_EQ(e.status2, 254);
         }},
    };
}

}  // namespace

TEST_F(KestoDecoderTest, EachClassStoresItsRecordsAndRaisesItsEvents)
{
    for (const DecoderCase& c : DecodedClasses()) {
        SCOPED_TRACE(c.name);
        model.ClearData(1);
        sink.events.clear();
        Decode(Packet(c.cls, c.id, c.data));
        EXPECT_TRUE(InOrder(c.events, Events())) << ::testing::PrintToString(Events());
        for (const ReportLabel& l : c.labels) EXPECT_STREQ(model.GetReportText(l.slot).GetString(), l.text) << l.slot;
        if (c.check) c.check(model);
    }
}

// Every class cut anywhere short of its last field (the checksum then stands
// where a field should be) stores and raises nothing.
TEST_F(KestoDecoderTest, APacketShortOfItsClassChangesNothing)
{
    for (const DecoderCase& c : DecodedClasses()) {
        for (size_t keep = 0; keep < c.data.size(); ++keep) {
            SCOPED_TRACE(std::string(c.name) + ", data bytes " + std::to_string(keep));
            model.ClearData(1);
            const Snapshot before(model);
            sink.events.clear();
            Decode(Packet(c.cls, c.id, Bytes(c.data.begin(), c.data.begin() + static_cast<long>(keep))));
            EXPECT_TRUE(sink.events.empty());
            EXPECT_TRUE(Snapshot(model).SameRecords(before));
        }
    }
}

TEST_F(KestoDecoderTest, PacketsOutsideTheDecodedSetChangeNothing)
{
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"position flag clear", Packet(0x30, 0x02, Data().u8(0x0C).at(23).u8(0).b)},
        {"fix kind not a solution", Packet(0x31, 0x01, Data().at(7).u8(0x12).b)},
        {"channel 12", Packet(0x33, 0x01, Data().u8(12).u8(5).u8(0).u8(200).u8(30).u8(10).u8(0x0C).b)},
        {"channel 255", Packet(0x33, 0x01, Data().u8(255).u8(5).u8(0).u8(200).u8(30).u8(10).u8(0x0C).b)},
        {"antenna group unknown", Packet(0x14, 0x01, Data().at(11).u8(0x72).u8(0x10).b)},
        {"antenna state unknown", Packet(0x14, 0x01, Data().at(11).u8(0x70).u8(0x40).b)},
        {"unknown sub-id", Packet(0x11, 0x02, Data().u8(7).u8(74).u8(3).u8(15).u8(3).u16(2007).b)},
        {"unknown class", Packet(0x70, 0x11, Bytes(40, 0x11))},
        {"a request echoed", Hex("81 02 11 01 E9 82")},
        {"shortest packet", Hex("81 16 02 67 82")},
        {"four bytes", Hex("81 16 02 82")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        model.ClearData(1);
        const Snapshot before(model);
        sink.events.clear();
        Decode(c.second);
        EXPECT_TRUE(sink.events.empty());
        EXPECT_TRUE(Snapshot(model).SameRecords(before));
    }
    DecodeKestoFrame(nullptr, 20, &model);
    const Bytes p = Packet(0x16, 0x02, Data().at(6).u8(1).b);
    DecodeKestoFrame(p.data(), static_cast<int>(p.size()), nullptr);
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(KestoDecoderTest, AntennaGroupsAndStates)
{
    struct Case {
        uint8_t group, state;
        int32_t detail;
    };
    const std::vector<Case> cases = {
        {0x70, 0x10, 2}, {0x70, 0x20, 2}, {0x70, 0x30, 0}, {0x71, 0x10, 1}, {0x71, 0x20, 1}, {0x71, 0x30, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.group) + "/" + std::to_string(c.state));
        sink.events.clear();
        Decode(Packet(0x14, 0x01, Data().at(11).u8(c.group).u8(c.state).b));
        EXPECT_EQ(Events(), (EventList{{29, c.detail}}));
    }
}

TEST_F(KestoDecoderTest, ReceiverStateGivesHealthAndSatellitesInUse)
{
    struct Case {
        uint8_t state;
        uint32_t health;
        int svCount;  // -1: the fix-mode record is left as it was
    };
    const std::vector<Case> cases = {
        {0, 1, -1}, {1, 0, -1}, {2, 2, 0}, {3, 4, -1}, {4, 0, -1}, {5, 5, 0},
        {6, 6, 1},  {7, 7, 2},  {8, 8, 3}, {9, 0, -1}, {15, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        model.ClearData(1);
        FixModeRecord fix = {};
        fix.svCount = 9;
        model.SetFixModeAndDops(fix, false);
        sink.events.clear();
        // Time bits clear: the time record's week, time of week, offset and
        // source are cleared.
        GpsTimeInfo t = {};
        t.week = 2000;
        t.timeOfWeek = 100;
        t.source = TIME_SOURCE_UTC_CALENDAR;
        t.year = 2018;
        model.SetTimeInfo(t, true, 0);
        Decode(Packet(0x32, 0x01, Data().at(18).u8(c.state).u8(0x7F).b));
        EXPECT_EQ(model.GetHealthStatus(), c.health);
        model.GetFixModeAndDops(fix);
        EXPECT_EQ(fix.svCount, c.svCount < 0 ? 9 : c.svCount);
        EXPECT_EQ(model.GetMachineId(), 2u);
        model.GetTimeInfo(t);
        EXPECT_EQ(t.week, 0);
        EXPECT_EQ(t.timeOfWeek, 0u);
        EXPECT_EQ(t.source, 0);
        EXPECT_EQ(t.year, 2018);  // the calendar fields stay
    }
}

TEST_F(KestoDecoderTest, NoSatelliteCountsAsUsedWhileNoneIsUsable)
{
    const Bytes channel = Packet(0x33, 0x01, Data().u8(0).u8(7).u8(0).u8(100).u8(10).u8(20).u8(0x0C).b);
    const Bytes notUsed = Packet(0x33, 0x01, Data().u8(1).u8(8).u8(0).u8(100).u8(10).u8(20).u8(0x04).b);
    model.SetHealthStatus(1);
    Decode(channel);
    Decode(notUsed);
    TrackingTable t;
    model.GetTrackingTable(t);
    EXPECT_EQ(t.entries[0].status, 1);
    EXPECT_EQ(t.entries[1].status, 0);

    model.SetHealthStatus(5);
    Decode(channel);
    model.GetTrackingTable(t);
    EXPECT_EQ(t.entries[0].status, 0);
    EXPECT_EQ(t.entries[1].sv, 8);  // the other channel stays
}

TEST_F(KestoDecoderTest, FixFlagsDecideWhatTheLongFixPacketStores)
{
    // Flags clear: only the DOP; the fix mode, clock and 2-D flag stay.
    const Bytes quiet =
        Packet(0x31, 0x02, Data().at(7).u8('Q').u8(0x00).at(31).u16(100).at(35).f32(500.0f).u16(10).b);
    Decode(quiet);
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 0);
    EXPECT_EQ(Nav().clockBias, 0.0);
    EXPECT_EQ(Nav().fixFlags, 0);
    DopRecord d;
    model.GetFixSvList(d);
    EXPECT_DOUBLE_EQ(d.pdop, 2.0);
    EXPECT_EQ(Events(), (EventList{{52, 0}}));

    // A bias that is no number is not stored, nor its event raised.
    sink.events.clear();
    const float nan = std::nanf("");
    Decode(Packet(0x31, 0x02, Data().at(7).u8('Q').u8(0x80).at(31).u16(0).at(35).f32(nan).u16(10).b));
    EXPECT_EQ(Nav().clockBias, 0.0);
    EXPECT_EQ(Events(), (EventList{{52, 0}}));
}
