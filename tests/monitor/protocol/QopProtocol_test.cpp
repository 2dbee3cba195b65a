// QOP: the exact messages the builders write and why typed hex is refused,
// and what the "Ha", "Bb" and "Cj" replies store and raise in a real model,
// in order; a reply of any other length, or garbage of any length, leaves the
// model as it was.
#include "protocol/QopProtocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "DecoderTestSupport.h"
#include "QopCommandGoldens.h"

using namespace decodertest;
using frametest::ToHex;

namespace {

const double kPi = 3.14159265358979323846;
const double kDegToRad = kPi / 180.0;
const double kMasToRad = kDegToRad / 3600000.0;

// Reply data written field by field, big-endian as on the wire.
struct Data {
    Bytes b;
    Data& u8(unsigned v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    Data& u16(unsigned v) { u8(v >> 8); return u8(v & 0xFF); }
    Data& u32(uint32_t v) { u16(v >> 16); return u16(v & 0xFFFF); }
    Data& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    Data& text(const char* s) { while (*s) u8(static_cast<uint8_t>(*s++)); return *this; }
    Data& fill(size_t upTo, uint8_t v = 0) { while (b.size() < upTo) u8(v); return *this; }
};

// A whole message: "@@", id, data, XOR checksum, CR LF.
Bytes Message(char id1, char id2, const Bytes& data)
{
    Bytes m{'@', '@', static_cast<uint8_t>(id1), static_cast<uint8_t>(id2)};
    m.insert(m.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (size_t i = 2; i < m.size(); ++i) sum ^= m[i];
    m.push_back(sum);
    m.push_back(0x0D);
    m.push_back(0x0A);
    return m;
}

const uint8_t kSvs[MODEL_CHANNEL_COUNT] = {5, 12, 17, 24, 2, 3, 7, 9, 10, 14, 30, 31};
enum : int { kHaData = 147, kBbData = 85, kCjData = 287 };

// "Ha" data: 5 March 2024 12:34:56, 47.5 N 122.25 W, 123.45 m, DOP word 25,
// the first `used` channels in the fix, the given status word, clock 1000.
Bytes HaData(uint16_t status, int used, uint16_t year = 2024)
{
    Data d;
    d.u8(3).u8(5).u16(year).u8(12).u8(34).u8(56).fill(11);
    d.i32(171000000).i32(-440100000).i32(12345).fill(49).u16(25).fill(53);
    for (int k = 0; k < MODEL_CHANNEL_COUNT; ++k) d.u8(kSvs[k]).u8(k < used ? 8 : 2).u8(40 + k).u8(0).u16(0);
    d.u16(status).fill(131).i32(1000).fill(kHaData);
    return d.b;
}

uint16_t Status(int bits13to15, uint16_t low = 0)
{
    return static_cast<uint16_t>((bits13to15 << 13) | low);
}

class QopTest : public ModelTest<RecordingSink> {
protected:
    void Dispatch(const Bytes& message)
    {
        const ExactFrame exact(message);
        DispatchQopMessage(exact.Data(), exact.Size(), &model);
    }
};

// ---- Builders ------------------------------------------------------------------

TEST(QopBuilders, WriteTheirGoldenBytesOrNothing)
{
    for (const QopCommandGolden& g : QopCommandGoldens()) {
        SCOPED_TRACE(g.call);
        CByteArray message;
        message.Add(0x55);  // a refusal must not leave old bytes behind
        const bool built = g.build(message);
        EXPECT_EQ(built, !g.expected.empty());
        EXPECT_EQ(ToHex(ToBytes(message)), g.expected);
    }
}

// Every message passes its own check. The recogniser collects a message to
// the reply length of its id, so a command comes through it as one frame
// when its id's command and reply are of one length.
TEST(QopBuilders, EveryMessagePassesItsCheckAndComesThroughTheRecogniser)
{
    int recognised = 0;
    for (const QopCommandGolden& g : QopCommandGoldens()) {
        if (g.expected.empty()) continue;
        SCOPED_TRACE(g.call);
        CByteArray message;
        ASSERT_TRUE(g.build(message));
        const int length = static_cast<int>(message.GetSize());
        EXPECT_TRUE(CheckQopMessage(message.GetData(), length));
        EXPECT_EQ(GetQopMessageLength(message.GetData(), QOP_LENGTH_COMMAND), length);
        if (GetQopMessageLength(message.GetData(), QOP_LENGTH_REPLY) != length) continue;
        const Bytes bytes = ToBytes(message);
        EXPECT_EQ(Recognise(bytes), std::vector<std::string>{"frame 7: " + ToHex(bytes)});
        ++recognised;
    }
    EXPECT_EQ(recognised, 3);  // "Cf", "Wb" and the typed "Gf"
}

TEST(QopBuilders, TypedHexNamesWhatItRefuses)
{
    struct Case {
        const char* text;
        const char* named;
    };
    const Case cases[] = {
        {"H", "\"H\""},          {"Ha 0G", "\"0G\""}, {"Ha 123", "\"123\""},
        {"Ha 00 x1", "\"x1\""},  {"Ha '00'", "'00'"}, {"", "empty"},
        {"   ", "empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CByteArray m;
        CString error("stale");
        EXPECT_FALSE(BuildQopFromHexText(m, c.text, &error));
        EXPECT_EQ(m.GetSize(), 0);
        EXPECT_NE(std::string(error.GetString()).find(c.named), std::string::npos) << error.GetString();
    }
    CByteArray m;
    CString error("stale");
    EXPECT_TRUE(BuildQopFromHexText(m, "Ha 00", &error));
    EXPECT_TRUE(error.IsEmpty());
    EXPECT_FALSE(BuildQopFromHexText(m, nullptr));
}

// ---- "Ha" ------------------------------------------------------------------------

TEST_F(QopTest, PositionStatusStoresTheFixInOrder)
{
    Dispatch(Message('H', 'a', HaData(Status(7, 0x0080 | 0x0002), 4)));

    EXPECT_EQ(model.GetHealthStatus(), 1u);
    EXPECT_EQ(model.GetMachineId(), 2u);
    FixModeRecord fix;
    model.GetFixModeAndDops(fix);
    EXPECT_EQ(fix.fixMode, 4);
    ASSERT_EQ(fix.svCount, 4);
    EXPECT_EQ(std::vector<int>(fix.svs, fix.svs + 4), (std::vector<int>{5, 12, 17, 24}));
    DopRecord dops;
    model.GetFixSvList(dops);
    EXPECT_DOUBLE_EQ(dops.pdop, 2.5);
    EXPECT_EQ(dops.hdop, -1.0);
    EXPECT_EQ(dops.vdop, -1.0);
    EXPECT_EQ(dops.tdop, -1.0);

    GpsTimeInfo t;
    model.GetTimeInfo(t);
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.minute, 34);
    EXPECT_EQ(t.second, 56);
    EXPECT_EQ(t.source, TIME_SOURCE_UTC_CALENDAR);
    EXPECT_EQ(t.week, 2304);

    const NavState nav = Nav();
    EXPECT_EQ(nav.fixValid, 1);
    EXPECT_EQ(nav.timeOfFix, 12 * 3600 + 34 * 60 + 56);
    EXPECT_NEAR(nav.latitude, 171000000 * kMasToRad, 1e-12);
    EXPECT_NEAR(nav.latitude, 47.5 * kDegToRad, 1e-12);
    EXPECT_NEAR(nav.longitude, -122.25 * kDegToRad, 1e-12);
    EXPECT_NEAR(nav.height, 123.45, 1e-9);
    EXPECT_NEAR(nav.clockBias, 1000 * 0.6347513678891978 * 0.299792458, 1e-9);
    EXPECT_EQ(nav.fixFlags & NAV_FIX_2D, 0);

    const TrackingTable tracking = Tracking();
    for (int k = 0; k < MODEL_CHANNEL_COUNT; ++k) {
        EXPECT_EQ(tracking.entries[k].sv, kSvs[k]);
        EXPECT_EQ(tracking.entries[k].signalLevel, 40.0f + k);
    }

    EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{Posted(12), Posted(9, 1), Posted(11), Posted(52),
                                                         Posted(14, 2), Posted(15, 255), Posted(8),
                                                         Posted(29, 1)}));
    for (int slot : {2, 4, 5, 6, 7, 8, 11, 12, 16}) EXPECT_EQ(Label(slot), "@@Ha") << slot;
}

TEST_F(QopTest, PositionStatusWordDecidesHealthFixAndDops)
{
    struct Case {
        const char* name;
        uint16_t status;
        int used;
        uint16_t year;
        uint32_t health;
        bool position;
        int fixMode;  // -1: as it was
        bool twoD;
        double hdop, pdop;
        int32_t antenna;
    };
    const Case cases[] = {
        {"acquiring", Status(2), 0, 2024, 4, false, -1, false, -1.0, -1.0, 0},
        {"tracking, none used", Status(3), 0, 2024, 5, false, -1, false, -1.0, -1.0, 0},
        {"tracking, 3 used", Status(3), 3, 2024, 8, false, -1, false, -1.0, -1.0, 0},
        {"tracking, 5 used, UTC known", Status(3), 5, 2024, 3, false, -1, false, -1.0, -1.0, 0},
        {"tracking, 5 used, before 2001", Status(3), 5, 2000, 2, false, -1, false, -1.0, -1.0, 0},
        {"position", Status(4), 4, 2024, 10, true, -1, false, -1.0, -1.0, 0},
        {"2-D fix", Status(6), 3, 2024, 1, true, 3, true, 2.5, -1.0, 0},
        {"3-D fix", Status(7), 4, 2024, 1, true, 4, false, -1.0, 2.5, 0},
        {"status 5", Status(5), 4, 2024, 0, false, -1, false, -1.0, -1.0, 0},
        {"status 0, antenna bit 2", Status(0, 0x0004), 0, 2024, 0, false, -1, false, -1.0, -1.0, 2},
        {"status 1, antenna bits 1 and 2", Status(1, 0x0006), 0, 2024, 0, false, -1, false, -1.0, -1.0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.ClearData(1);
        FixModeRecord before;
        std::memset(&before, 0, sizeof before);
        before.fixMode = 6;
        model.SetFixModeAndDops(before, false);
        sink.Clear();

        Dispatch(Message('H', 'a', HaData(c.status, c.used, c.year)));
        EXPECT_EQ(model.GetHealthStatus(), c.health);
        FixModeRecord fix;
        model.GetFixModeAndDops(fix);
        EXPECT_EQ(fix.fixMode, c.fixMode < 0 ? 6 : c.fixMode);
        EXPECT_EQ(fix.svCount, c.used);
        DopRecord dops;
        model.GetFixSvList(dops);
        EXPECT_DOUBLE_EQ(dops.hdop, c.hdop);
        EXPECT_DOUBLE_EQ(dops.pdop, c.pdop);
        const NavState nav = Nav();
        EXPECT_EQ(nav.fixValid, c.position ? 1 : 0);
        if (c.position) {
            EXPECT_EQ((nav.fixFlags & NAV_FIX_2D) != 0, c.twoD);
        }
        bool kind8 = false;
        for (const RecordedEvent& e : sink.Events()) kind8 = kind8 || e.event == 8;
        EXPECT_EQ(kind8, c.position);
        EXPECT_EQ(sink.Events().back(), Posted(29, c.antenna));
        EXPECT_EQ(model.GetMachineId(), 1u);
    }
}

TEST_F(QopTest, RepliesOfAnotherLengthStoreNothing)
{
    const Bytes ha = HaData(Status(7), 4);
    Bytes shorter(ha.begin(), ha.end() - 1);
    Bytes longer(ha);
    longer.push_back(0);
    const Bytes cases[] = {
        Message('H', 'a', shorter),  // 153 bytes
        Message('H', 'a', longer),   // 155 bytes
        Message('B', 'b', Bytes(kBbData - 1, 0)),
        Message('B', 'b', Bytes(kBbData + 1, 0)),
        Message('C', 'j', Data().text("SOFTWARE VER# 1.2.3\r\n").fill(kCjData - 1, ' ').b),
        Message('C', 'j', Data().text("SOFTWARE VER# 1.2.3\r\n").fill(kCjData + 1, ' ').b),
    };
    ASSERT_EQ(cases[0].size(), 153u);
    ASSERT_EQ(cases[1].size(), 155u);
    for (const Bytes& m : cases) {
        SCOPED_TRACE(m.size());
        const Snapshot before(model);
        Dispatch(m);
        EXPECT_TRUE(Snapshot(model).SameRecords(before));
        EXPECT_TRUE(sink.Events().empty());
    }
    // The parsers themselves hold to the length too.
    const Bytes m = Message('H', 'a', ha);
    ParseQopPositionStatus(m.data() + 4, static_cast<int>(m.size()) - 5, &model);
    ParseQopSatellites(m.data() + 4, 89, &model);
    ParseQopVersion(m.data() + 4, 150, &model);
    EXPECT_TRUE(sink.Events().empty());
    ParseQopPositionStatus(nullptr, 150, &model);
    ParseQopPositionStatus(m.data() + 4, 150, nullptr);
}

// ---- "Bb" and "Cj" ----------------------------------------------------------------

TEST_F(QopTest, SatellitesGiveTheTrackedChannelsTheirDirections)
{
    Dispatch(Message('H', 'a', HaData(Status(7), 4)));
    sink.Clear();

    Data d;
    d.u8(3);
    d.u8(12).u16(0).u8(45).u16(270).u8(0);
    d.u8(99).u16(0).u8(80).u16(10).u8(0);  // not tracked
    d.u8(5).u16(0).u8(10).u16(20).u8(0);
    d.fill(kBbData);  // the rest: empty records (satellite 0)
    Dispatch(Message('B', 'b', d.b));

    const TrackingTable t = Tracking();
    EXPECT_FLOAT_EQ(t.entries[1].elevation, static_cast<float>(45 * kDegToRad));
    EXPECT_FLOAT_EQ(t.entries[1].azimuth, static_cast<float>(270 * kDegToRad));
    EXPECT_FLOAT_EQ(t.entries[0].elevation, static_cast<float>(10 * kDegToRad));
    EXPECT_FLOAT_EQ(t.entries[0].azimuth, static_cast<float>(20 * kDegToRad));
    for (int k = 2; k < MODEL_CHANNEL_COUNT; ++k) {
        EXPECT_EQ(t.entries[k].elevation, 0.0f) << k;
        EXPECT_EQ(t.entries[k].sv, kSvs[k]) << k;
    }
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(15, 255)});
    EXPECT_EQ(Label(16), "@@Bb");
}

TEST_F(QopTest, VersionTextGivesTheFirmwareRecord)
{
    FirmwareVersionRecord core;
    std::memset(&core, 0, sizeof core);
    CopyRecordText(core.name, "old core");
    core.major = 3;
    model.IdentifyReceiver(core, 1);
    sink.Clear();

    Dispatch(Message('C', 'j',
                     Data().text("QOP RECEIVER\r\nSOFTWARE VER# 2.10.3\r\nSOFTWARE DATE: 06/15/05\r\nEND")
                         .fill(kCjData, 0).b));
    FirmwareVersionRecord fw;
    model.GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, "");
    EXPECT_EQ(fw.major, 2);
    EXPECT_EQ(fw.minor, 10);
    EXPECT_EQ(fw.build, 3);
    EXPECT_EQ(fw.month, 6);
    EXPECT_EQ(fw.day, 15);
    EXPECT_EQ(fw.year, 5);
    model.GetFirmwareVersion(fw, 1);
    EXPECT_STREQ(fw.name, "");
    EXPECT_EQ(fw.major, 0);
    EXPECT_EQ(fw.build, -1);
    EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{Posted(2)});
    EXPECT_EQ(Label(13), "@@Cj");

    // A version without its third number; the date on a line ended by the data.
    Dispatch(Message('C', 'j', Data().text("SOFTWARE DATE 1/2/3\rSOFTWARE VER #7.8").fill(kCjData, ' ').b));
    model.GetFirmwareVersion(fw, 0);
    EXPECT_EQ(fw.major, 7);
    EXPECT_EQ(fw.minor, 8);
    EXPECT_EQ(fw.build, -1);
    EXPECT_EQ(fw.month, 1);
    EXPECT_EQ(fw.year, 3);

    // Neither line: nothing.
    sink.Clear();
    const Snapshot before(model);
    Dispatch(Message('C', 'j', Data().text("SOFTWARE VERSION 1.2\r\nDATE 1/2/3").fill(kCjData, ' ').b));
    EXPECT_TRUE(Snapshot(model).SameRecords(before));
    EXPECT_TRUE(sink.Events().empty());
}

// ---- Garbage ---------------------------------------------------------------------

TEST_F(QopTest, GarbageOfAnyLengthIsNeverReadPastItsEnd)
{
    std::mt19937 random(12);
    for (const char* id : {"Ha", "Bb", "Cj", "Wb", "zz"}) {
        for (int length = 0; length <= 300; ++length) {
            Bytes m(static_cast<size_t>(length));
            for (uint8_t& b : m) b = static_cast<uint8_t>(random());
            if (length >= 4) {
                m[0] = m[1] = '@';
                m[2] = static_cast<uint8_t>(id[0]);
                m[3] = static_cast<uint8_t>(id[1]);
            }
            Dispatch(m);
        }
    }
    // Whole-length garbage decodes as what it says; the model stays usable.
    model.ClearData(1);
    EXPECT_EQ(model.GetHealthStatus(), 2u);
}

}  // namespace
