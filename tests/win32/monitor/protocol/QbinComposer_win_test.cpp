// The composer and readers in the i686 build give the same bytes and values
// as in the native build: byte order is made by shifts, never by the host.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "protocol/QbinCommands.h"
#include "protocol/QbinComposer.h"

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

TEST(QbinComposerWin32, SameGoldenBytes)
{
    CByteArray p;
    BeginQbinPacket(p, 0x26);
    EndQbinPacket(p);
    EXPECT_EQ(ToHex(p), "10 26 10 03");

    BeginQbinPacket(p, 0x10);
    AppendQbinU16(p, 0x1010);
    AppendQbinU32(p, 1.0f);
    AppendQbinU32(p, static_cast<DWORD>(0x01020304));
    AppendQbinDouble(p, 1.0);
    EndQbinPacket(p);
    EXPECT_EQ(ToHex(p), "10 10 10 10 10 10 3F 80 00 00 01 02 03 04 3F F0 00 00 00 00 00 00 10 03");

    CByteArray data;
    data.Add(0x01);
    data.Add(0x02);
    EXPECT_EQ(ReadPacketU16(data, 0, true), 0x0102);
    EXPECT_EQ(ReadPacketU16(data, 0, false), 0x0201);
    EXPECT_EQ(ReadPacketU16(data, 1, true), 0);  // outside the array

    const BYTE wire[] = {0xBF, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A};
    double d = 0;
    ASSERT_TRUE(ReadQbinDouble(wire, 8, 0, d));
    EXPECT_EQ(d, -0.1);
    EXPECT_FALSE(ReadQbinDouble(wire, 7, 0, d));
}

TEST(QbinCommandsWin32, SameBuilderBytes)
{
    CByteArray p;
    ASSERT_TRUE(BuildQbinGpsTime(p, 1, 345600, 1024));
    EXPECT_EQ(ToHex(p), "10 2E 48 A8 C0 00 04 00 10 03");
    ASSERT_TRUE(BuildQbinSatelliteMask(p, 1, 0x10000010));
    EXPECT_EQ(ToHex(p), "10 C2 10 10 00 00 10 10 10 03");
    ASSERT_TRUE(BuildQbinMemoryAccess(p, 1, 0x1000, 0));
    EXPECT_EQ(ToHex(p), "10 3F 01 02 01 00 00 10 10 00 10 03");
    ASSERT_TRUE(BuildQbinFromHexText(p, "8E 26"));
    EXPECT_EQ(ToHex(p), "10 8E 26 10 03");
    CString error;
    EXPECT_FALSE(BuildQbinFromHexText(p, "8E 1234", &error));
    EXPECT_NE(error.Find("1234"), -1);
    EXPECT_EQ(p.GetSize(), 0);
}

} // namespace
