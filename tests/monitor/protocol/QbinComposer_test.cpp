#include "protocol/QbinComposer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "link/FrameRecogniser.h"

namespace {

std::string ToHex(const BYTE* bytes, size_t count)
{
    std::string s;
    char buf[4];
    for (size_t i = 0; i < count; ++i) {
        snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        s += buf;
    }
    return s;
}

std::string ToHex(const CByteArray& a)
{
    return ToHex(a.GetData(), static_cast<size_t>(a.GetSize()));
}

CByteArray Bytes(std::initializer_list<BYTE> list)
{
    CByteArray a;
    for (BYTE b : list) a.Add(b);
    return a;
}

struct ComposeRow {
    const char* what;
    std::function<void(CByteArray&)> compose;
    const char* expected;
};

// Each row composes into an array that already holds a stale packet, so a
// row that starts with BeginQbinPacket also shows that the array is emptied.
TEST(QbinComposer, ComposesGoldenBytes)
{
    const ComposeRow rows[] = {
        {"packet 0x26 without data", [](CByteArray& p) { BeginQbinPacket(p, 0x26); EndQbinPacket(p); },
         "10 26 10 03"},
        {"id 0x10 is not doubled, data 0x10 is",
         [](CByteArray& p) { BeginQbinPacket(p, 0x10); AppendQbinByte(p, 0x10); AppendQbinByte(p, 0x03); EndQbinPacket(p); },
         "10 10 10 10 03 10 03"},
        {"U16 0x1010", [](CByteArray& p) { p.RemoveAll(); AppendQbinU16(p, 0x1010); }, "10 10 10 10"},
        {"U16 0x0102", [](CByteArray& p) { p.RemoveAll(); AppendQbinU16(p, 0x0102); }, "01 02"},
        {"U32 float 1.0", [](CByteArray& p) { p.RemoveAll(); AppendQbinU32(p, 1.0f); }, "3F 80 00 00"},
        {"U32 float -2.5", [](CByteArray& p) { p.RemoveAll(); AppendQbinU32(p, -2.5f); }, "C0 20 00 00"},
        {"U32 integer with DLEs", [](CByteArray& p) { p.RemoveAll(); AppendQbinU32(p, 0x10203010u); },
         "10 10 20 30 10 10"},
        {"U32 from a signed int", [](CByteArray& p) { p.RemoveAll(); AppendQbinU32(p, -2); }, "FF FF FF FE"},
        {"U32 from a DWORD", [](CByteArray& p) { p.RemoveAll(); AppendQbinU32(p, static_cast<DWORD>(0x01020304)); },
         "01 02 03 04"},
        {"double 1.0", [](CByteArray& p) { p.RemoveAll(); AppendQbinDouble(p, 1.0); }, "3F F0 00 00 00 00 00 00"},
        {"double -0.1", [](CByteArray& p) { p.RemoveAll(); AppendQbinDouble(p, -0.1); }, "BF B9 99 99 99 99 99 9A"},
        {"double with a DLE byte", [](CByteArray& p) { p.RemoveAll(); AppendQbinDouble(p, 4.0); },
         "40 10 10 00 00 00 00 00 00"},
        {"reversed bytes",
         [](CByteArray& p) { const BYTE b[] = {0x01, 0x10, 0x03}; p.RemoveAll(); AppendQbinReversed(p, b, 3); },
         "03 10 10 01"},
        {"bytes in order",
         [](CByteArray& p) { const BYTE b[] = {0x10, 0x03, 0x10}; p.RemoveAll(); AppendQbinBytes(p, b, 3); },
         "10 10 03 10 10"},
        {"no bytes", [](CByteArray& p) { p.RemoveAll(); AppendQbinBytes(p, nullptr, 5); AppendQbinReversed(p, nullptr, 5); },
         ""},
        {"a whole packet",
         [](CByteArray& p) {
             BeginQbinPacket(p, 0x8E);
             AppendQbinByte(p, 0x4F);
             AppendQbinDouble(p, 0.5);
             AppendQbinU16(p, 16);
             EndQbinPacket(p);
         },
         "10 8E 4F 3F E0 00 00 00 00 00 00 00 10 10 10 03"},
    };
    for (const ComposeRow& row : rows) {
        CByteArray packet = Bytes({0xAA, 0xBB});
        row.compose(packet);
        EXPECT_EQ(ToHex(packet), row.expected) << row.what;
    }
}

TEST(QbinComposer, ReadersTakeTheFlaggedByteOrder)
{
    const CByteArray data = Bytes({0x01, 0x02, 0x3F, 0x80, 0x00, 0x00, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ReadPacketU16(data, 0, true), 0x0102);
    EXPECT_EQ(ReadPacketU16(data, 0, false), 0x0201);
    EXPECT_EQ(ReadPacketU32(data, 0, true), 0x01023F80u);
    EXPECT_EQ(ReadPacketU32(data, 0, false), 0x803F0201u);
    EXPECT_EQ(ReadPacketFloat(data, 2, true), 1.0f);
    EXPECT_EQ(ReadPacketDouble(data, 6, true), 1.0);

    const BYTE le[] = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F};
    EXPECT_EQ(UnpackFloat(le, false), 1.0f);
    EXPECT_EQ(UnpackDouble(le + 4, false), 1.0);
    EXPECT_EQ(UnpackU16(le + 2, true), 0x803F);
    EXPECT_EQ(UnpackU32(le, true), 0x0000803Fu);
}

// The packet readers never reach outside the array, even for a caller that
// skipped its length check: such a field reads as 0.
TEST(QbinComposer, PacketReadersOutsideTheArrayReadZero)
{
    const CByteArray data = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    const CByteArray empty;
    EXPECT_EQ(ReadPacketU16(data, 6, true), 0);
    EXPECT_EQ(ReadPacketU16(data, -1, true), 0);
    EXPECT_EQ(ReadPacketU32(data, 4, true), 0u);
    EXPECT_EQ(ReadPacketFloat(data, INT_MAX, true), 0.0f);
    EXPECT_EQ(ReadPacketDouble(data, 0, true), 0.0);
    EXPECT_EQ(ReadPacketU16(empty, 0, true), 0);
    EXPECT_EQ(ReadPacketU32(data, 3, true), 0xFFFFFFFFu);  // the last field that fits
}

struct BoundRow {
    int length;
    int offset;
    bool u8, u16, u32, dbl;  // present?
};

TEST(QbinComposer, BoundedReaderReportsMissingFields)
{
    const BYTE data[8] = {0x80, 0x01, 0xFF, 0xFE, 0x3F, 0xF0, 0x00, 0x00};
    const BoundRow rows[] = {
        {8, 0, true, true, true, true},
        {8, 4, true, true, true, false},
        {8, 6, true, true, false, false},
        {8, 7, true, false, false, false},
        {8, 8, false, false, false, false},
        {7, 0, true, true, true, false},
        {0, 0, false, false, false, false},
        {8, -1, false, false, false, false},
        {-4, 0, false, false, false, false},
        {8, INT_MAX, false, false, false, false},
        {8, INT_MIN, false, false, false, false},
        {INT_MAX, INT_MAX - 1, false, false, false, false},  // would need bytes past the end
    };
    for (const BoundRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "length " << r.length << " offset " << r.offset);
        // The large-length row must not touch memory: only its bounds are checked.
        if (r.length > 8) {
            EXPECT_FALSE(HasQbinField(r.length, r.offset, 2));
            continue;
        }
        uint8_t u8 = 0xAA;
        uint16_t u16 = 0xAAAA;
        uint32_t u32 = 0xAAAAAAAA;
        double dbl = -7.0;
        EXPECT_EQ(ReadQbinU8(data, r.length, r.offset, u8), r.u8);
        EXPECT_EQ(ReadQbinU16(data, r.length, r.offset, u16), r.u16);
        EXPECT_EQ(ReadQbinU32(data, r.length, r.offset, u32), r.u32);
        EXPECT_EQ(ReadQbinDouble(data, r.length, r.offset, dbl), r.dbl);
        // A missing field leaves the caller's value as it was.
        if (!r.u8) {
            EXPECT_EQ(u8, 0xAA);
        }
        if (!r.u16) {
            EXPECT_EQ(u16, 0xAAAA);
        }
        if (!r.u32) {
            EXPECT_EQ(u32, 0xAAAAAAAAu);
        }
        if (!r.dbl) {
            EXPECT_EQ(dbl, -7.0);
        }
    }
    uint16_t untouched = 0x5555;
    EXPECT_FALSE(ReadQbinU16(nullptr, 8, 0, untouched));  // no data at all
    EXPECT_EQ(untouched, 0x5555);

    // Values, including signed and floating fields, read big-endian.
    QbinFieldReader reader(data, 8);
    int16_t i16 = 0;
    int32_t i32 = 0;
    uint16_t u16 = 0;
    float f = 0;
    double d = 0;
    ASSERT_TRUE(reader.I16(2, i16));
    EXPECT_EQ(i16, -2);
    ASSERT_TRUE(reader.I32(0, i32));
    EXPECT_EQ(i32, -0x7FFE0002);  // 80 01 FF FE
    ASSERT_TRUE(reader.U16(0, u16));
    EXPECT_EQ(u16, 0x8001);
    ASSERT_TRUE(reader.Float(4, f));
    EXPECT_EQ(f, 1.875f);  // 3F F0 00 00
    EXPECT_FALSE(reader.Double(1, d));
    EXPECT_TRUE(reader.Has(0, 8));
    EXPECT_FALSE(reader.Has(1, 8));

    QbinFieldReader none(nullptr, 12);
    uint8_t u8 = 0;
    EXPECT_EQ(none.GetLength(), 0);
    EXPECT_FALSE(none.U8(0, u8));
}

TEST(QbinComposer, BoundedTextIsClampedToDataAndRoom)
{
    const BYTE data[] = {'A', 'B', 'C', 'D', 'E', 0, 'G'};
    QbinFieldReader reader(data, 5);  // the 0 and "G" lie beyond this report
    struct Row {
        int offset, count, room;
        const char* expected;
    } rows[] = {
        {0, 3, 16, "ABC"},
        {0, 200, 16, "ABCDE"},   // a count past the data stops at the data's end
        {3, -6, 16, ""},         // a negative count copies nothing
        {1, 10, 3, "BC"},        // room for two characters and the terminator
        {5, 1, 16, ""},
        {-1, 2, 16, ""},
    };
    for (const Row& r : rows) {
        char out[16];
        memset(out, 'x', sizeof out);
        const int n = reader.Text(r.offset, r.count, out, r.room);
        EXPECT_STREQ(out, r.expected) << r.offset << "/" << r.count;
        EXPECT_EQ(n, static_cast<int>(strlen(r.expected)));
    }
    QbinFieldReader withZero(data, 7);
    char out[16];
    EXPECT_EQ(withZero.Text(3, 4, out, sizeof out), 2);  // stops at the 0 byte
    EXPECT_STREQ(out, "DE");
}

// ---- Round trip through the receiving side -------------------------------------

class CollectingSink : public IFrameSink {
public:
    void OnFrame(ProtocolKind kind, const BYTE* frame, int length) override
    {
        kinds.push_back(kind);
        frames.emplace_back(frame, frame + length);
    }
    void OnBrokenQbinPacket(BYTE, BYTE, int) override { ++broken; }
    void OnBangDigit(BYTE) override { ++bangs; }

    std::vector<ProtocolKind> kinds;
    std::vector<std::vector<BYTE>> frames;
    int broken = 0;
    int bangs = 0;
};

// Data rich in DLE bytes and in every other value, without "@@" (which could
// open a QOP message among the data).
std::vector<BYTE> RichData(int length, uint32_t seed)
{
    std::vector<BYTE> out;
    uint32_t x = seed;
    for (int i = 0; i < length; ++i) {
        x = x * 1664525u + 1013904223u;
        BYTE b = static_cast<BYTE>(x >> 24);
        if ((x >> 8) % 3 == 0) b = QBIN_DLE;
        if (b == '@' && !out.empty() && out.back() == '@') b = 0x41;
        out.push_back(b);
    }
    return out;
}

TEST(QbinComposer, ComposedPacketsRoundTripThroughTheRecogniser)
{
    struct Packet {
        BYTE id;
        std::vector<BYTE> data;
    };
    std::vector<Packet> packets = {
        {0x26, {}},
        {0x8E, {0x10}},
        {0x45, {0x10, 0x10, 0x03, 0x10, 0x03, 0x10}},
        {0x1C, {0x03, 0x10, 0x10, 0x10}},
    };
    std::vector<BYTE> all;
    for (int v = 0; v < 256; ++v) all.push_back(static_cast<BYTE>(v));
    packets.push_back({0x5F, all});  // every byte value once ('@' stands alone)
    packets.push_back({0x41, RichData(60, 1)});
    packets.push_back({0xBB, RichData(200, 7)});
    packets.push_back({0xFF, RichData(31, 99)});

    // One packet of typed fields, as a builder composes it.
    CByteArray typed;
    BeginQbinPacket(typed, 0x8F);
    AppendQbinByte(typed, 0xAC);
    AppendQbinU16(typed, 0x1010);
    AppendQbinU32(typed, 0x10101010u);
    AppendQbinU32(typed, 2.25f);
    AppendQbinDouble(typed, -1.0 / 3.0);
    EndQbinPacket(typed);

    CollectingSink sink;
    CFrameRecogniser recogniser(&sink);
    std::vector<std::vector<BYTE>> expected;
    for (const Packet& p : packets) {
        CByteArray packet;
        BeginQbinPacket(packet, p.id);
        AppendQbinBytes(packet, p.data.data(), static_cast<int>(p.data.size()));
        EndQbinPacket(packet);
        for (INT_PTR i = 0; i < packet.GetSize(); ++i) recogniser.Feed(packet[i]);
        std::vector<BYTE> frame = {QBIN_DLE, p.id};
        frame.insert(frame.end(), p.data.begin(), p.data.end());
        frame.push_back(QBIN_DLE);
        frame.push_back(QBIN_ETX);
        expected.push_back(frame);
    }
    for (INT_PTR i = 0; i < typed.GetSize(); ++i) recogniser.Feed(typed[i]);

    ASSERT_EQ(sink.frames.size(), packets.size() + 1);
    EXPECT_EQ(sink.broken, 0);
    EXPECT_EQ(sink.bangs, 0);
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(sink.kinds[i], 3) << i;
        EXPECT_EQ(ToHex(sink.frames[i].data(), sink.frames[i].size()),
                  ToHex(expected[i].data(), expected[i].size()))
            << "packet " << i;
    }

    // The typed fields read back through the bounded reader of the received data.
    const std::vector<BYTE>& f = sink.frames.back();
    ASSERT_GE(f.size(), 4u);
    EXPECT_EQ(f[1], 0x8F);
    QbinFieldReader reader(f.data() + 2, static_cast<int>(f.size()) - 4);
    uint8_t sub = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    float fl = 0;
    double d = 0;
    EXPECT_EQ(reader.GetLength(), 19);
    ASSERT_TRUE(reader.U8(0, sub) && reader.U16(1, u16) && reader.U32(3, u32) && reader.Float(7, fl) &&
                reader.Double(11, d));
    EXPECT_EQ(sub, 0xAC);
    EXPECT_EQ(u16, 0x1010);
    EXPECT_EQ(u32, 0x10101010u);
    EXPECT_EQ(fl, 2.25f);
    EXPECT_EQ(d, -1.0 / 3.0);
    EXPECT_FALSE(reader.U8(19, sub));
}

} // namespace
