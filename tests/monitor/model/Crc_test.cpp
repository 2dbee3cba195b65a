#include "model/Crc.h"

#include <cstring>

#include <gtest/gtest.h>

#include "model/CModel.h"
#include "model/CrcErrorReport.h"

namespace {

const uint8_t* Bytes(const char* s)
{
    return reinterpret_cast<const uint8_t*>(s);
}

TEST(Crc, CheckValues)
{
    const struct {
        const char* text;
        uint32_t crc32;
        uint16_t crc16;
    } cases[] = {
        {"abc", 0x352441C2u, 0x5749},
        {"123456789", 0xCBF43926u, 0x4B37},
        {"", 0, 0xFFFF},
    };
    for (const auto& c : cases) {
        const int32_t n = static_cast<int32_t>(strlen(c.text));
        EXPECT_EQ(c.crc32, ComputeCrc32(Bytes(c.text), n)) << c.text;
        EXPECT_EQ(c.crc16, ComputeCrc16(Bytes(c.text), n)) << c.text;
    }
    // A negative count, as a short frame's arithmetic can give, reads nothing.
    EXPECT_EQ(0u, ComputeCrc32(Bytes("abc"), -3));
    EXPECT_EQ(0u, ComputeCrc32(nullptr, 10));
    EXPECT_EQ(0xFFFF, ComputeCrc16(Bytes("abc"), -1));
}

TEST(Crc, QbinDataOfTheSampleFrame)
{
    const uint8_t data[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(0xD746u, ComputeCrc32(data, 10) & 0xFFFFu);
}

const uint8_t kFrame[] = {0x10, 0x41, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                          0x07, 0x08, 0x09, 0x10, 0x03};

TEST(CrcErrorReport, ExplainsAFailedFrameWithTheCheckedAnnouncement)
{
    CModel model;
    model.SetExpectedCrc(10, 0x1234);
    EXPECT_FALSE(model.CheckPacketCrc(kFrame + 1, 11));

    CString text;
    FormatCrcErrorReport(text, "", kFrame, sizeof(kFrame), &model);
    EXPECT_STREQ("QBIN CRC error for Packet 0x41: \r\n"
                 "  Expected: data size:  10, CRC: 0x1234\r\n"
                 "  Actual:   data size:  10, CRC: 0xD746\r\n"
                 "  Raw Data: 10 41 00 01 02 03 04 05 06 07 08 09 10 03\r\n",
                 text);

    FormatCrcErrorReport(text, "  at 0x10\r\n", kFrame, sizeof(kFrame), nullptr);
    EXPECT_STREQ("QBIN CRC error for Packet 0x41: \r\n"
                 "  at 0x10\r\n"
                 "  Expected: data size:   0, CRC: 0x0000\r\n"
                 "  Actual:   data size:  10, CRC: 0xD746\r\n"
                 "  Raw Data: 10 41 00 01 02 03 04 05 06 07 08 09 10 03\r\n",
                 text);
}

TEST(CrcErrorReport, NamesReportFamiliesBySubCode)
{
    const struct {
        std::vector<uint8_t> frame;
        const char* name;
    } cases[] = {
        {{0x10, 0x8F, 0x20, 0x00, 0x10, 0x03}, "0x8F-20"},
        {{0x10, 0x5F, 0x01, 0x03, 0x10, 0x03}, "0x5F-01-03"},
        {{0x10, 0x5F, 0x03, 0x07, 0x10, 0x03}, "0x5F-03-07"},
        {{0x10, 0x5F, 0x02, 0x03, 0x10, 0x03}, "0x5F-02"},
        {{0x10, 0x5F, 0x01}, "0x5F-01"},  // short: the missing byte is left out
        {{0x10, 0x8F}, "0x8F"},
        {{0x10}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        CString text;
        FormatCrcErrorReportText(text, nullptr, c.frame.data(), static_cast<int>(c.frame.size()), 0, 0);
        CString first = text.Left(text.Find("\r\n"));
        EXPECT_STREQ((std::string("QBIN CRC error for Packet ") + c.name + ": ").c_str(), first);
    }
}

TEST(CrcErrorReport, ShortFramesCountNoDataAndLongOnesWrap)
{
    CString text;
    const uint8_t three[] = {0x10, 0x41, 0x10};
    FormatCrcErrorReportText(text, "", three, 3, 7, 0x12345678u);
    EXPECT_STREQ("QBIN CRC error for Packet 0x41: \r\n"
                 "  Expected: data size:   7, CRC: 0x5678\r\n"
                 "  Actual:   data size:   0, CRC: 0x0000\r\n"
                 "  Raw Data: 10 41 10\r\n",
                 text);

    FormatCrcErrorReportText(text, "", three, -5, 0, 0);
    EXPECT_STREQ("QBIN CRC error for Packet : \r\n"
                 "  Expected: data size:   0, CRC: 0x0000\r\n"
                 "  Actual:   data size:   0, CRC: 0x0000\r\n"
                 "  Raw Data:\r\n",
                 text);

    uint8_t frame[45];
    for (int i = 0; i < 45; ++i) frame[i] = static_cast<uint8_t>(i);
    FormatCrcErrorReportText(text, "", frame, 45, 0, 0);
    const int raw = text.Find("  Raw Data:");
    ASSERT_GE(raw, 0);
    EXPECT_STREQ("  Raw Data: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13"
                 "\r\n            14 15 16 17 18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27"
                 "\r\n            28 29 2A 2B 2C\r\n",
                 text.Mid(raw));
}

} // namespace
