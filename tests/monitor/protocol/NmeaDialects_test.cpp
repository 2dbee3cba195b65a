// Other makers' sentences arriving through the reader's frame handler: which
// dialect each reveals (the link's vendor sub-mode, switched only on NMEA and
// AUTO links) and what each version sentence identifies in the model.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../model/RecordingSink.h"
#include "framework/CString.h"
#include "link/FrameHandler.h"
#include "link/LinkStatistics.h"
#include "model/CModel.h"

namespace {

const ProtocolKind kUntouched = -1;
// The sub-mode the link starts with; no sentence below reveals it.
const ProtocolKind kStartSubMode = PROTO_NONE;

struct DialectCase {
    const char* sentence;
    ProtocolKind subMode;   // kUntouched: stays as it was
    const char* name;       // firmware record 0; "" for nothing identified
    int major, minor, build;
    int month, day, year;
};

const DialectCase kCases[] = {
    {"$PSRFTXT,Version: 4.0.4-P1*5F", PROTO_SIRF_NMEA, "SiRF 4.0.4-P1", 0, 0, 0, 0, 0, 0},
    {"$PSRFTXT,Baud rate: 4800*65", PROTO_SIRF_NMEA, "", 0, 0, 0, 0, 0, 0},
    {"$PNMRX600,NMRX,1.05,ROM*00", PROTO_NEMERIX_NMEA, "1.05", 0, 0, 0, 0, 0, 0},
    {"$PTTK,NAVMAN SW VERSION 2.10.1*50", PROTO_NAVMAN_NMEA, "2.10.1", 0, 0, 0, 0, 0, 0},
    {"$PQNQQ,VERS,GPS,2.10,X,Jun 07 2005,x,y,12345*3D", PROTO_QINETIQ_NMEA, "QinetiQ GPS", 2, 10, 0, 6, 7, 2005},
    {"$PSTMVER,GPSLIB_07.01.15*29", PROTO_TYCO_NMEA, "Tyco GPS Receiver", 7, 1, 15, 0, 0, 0},
    {"$GPTXT,01,01,02,ANTARIS HW 00040001*05", kUntouched, "uBlox ANTARIS GPS Receiver", 0, 0, 0, 0, 0, 0},
    {"$GPTXT,01,01,01,PUBX inv format*23", PROTO_UBLOX_NMEA, "", 0, 0, 0, 0, 0, 0},
    {"$PUNV,CFG_R,9,1*76", PROTO_UNAV_NMEA, "uNAV-based GPS Receiver", 0, 0, 0, 0, 0, 0},
};

// One link: a model listened to by a recording sink, and the reader's frame
// handler on a link of the given protocol.
class DialectLink {
public:
    explicit DialectLink(ProtocolKind protocol)
    {
        m_model.Attach(&m_sink, nullptr);
        m_link.protocol = protocol;
        m_link.vendorSubMode = kStartSubMode;
        m_context.model = &m_model;
        m_context.statistics = &m_stats;
        m_context.link = &m_link;
        m_handler.reset(new CFrameHandler(m_context));
    }
    ~DialectLink() { m_model.Detach(); }

    void Feed(const std::string& text)
    {
        for (char c : text) m_handler->OnByte(static_cast<BYTE>(c));
    }
    ProtocolKind SubMode() const { return m_link.vendorSubMode.load(); }
    void SetSubMode(ProtocolKind kind) { m_link.vendorSubMode = kind; }
    uint32_t GoodNmea() const { return m_stats.Get(LINK_NMEA_GOOD); }
    CModel& Model() { return m_model; }

private:
    CModel m_model;
    RecordingSink m_sink;
    LinkStatistics m_stats;
    CFrameLinkState m_link;
    FrameContext m_context;
    std::unique_ptr<CFrameHandler> m_handler;
};

class NmeaDialectsTest : public ::testing::TestWithParam<ProtocolKind> {};

TEST_P(NmeaDialectsTest, EachMakersSentenceRevealsItsDialectAndIdentifiesTheReceiver)
{
    for (const DialectCase& c : kCases) {
        DialectLink link(GetParam());
        link.Feed(std::string(c.sentence) + "\r\n");
        ASSERT_EQ(link.GoodNmea(), 1u) << c.sentence;
        EXPECT_EQ(link.SubMode(), c.subMode == kUntouched ? kStartSubMode : c.subMode) << c.sentence;

        FirmwareVersionRecord fw;
        link.Model().GetFirmwareVersion(fw, 0);
        ProductRecord product;
        link.Model().GetProductInfo(product);
        EXPECT_STREQ(fw.name, c.name) << c.sentence;
        if (c.name[0] == '\0') {
            EXPECT_STREQ(product.name, "") << c.sentence;
            EXPECT_EQ(link.Model().GetReportText(13).GetString(), std::string()) << c.sentence;
            continue;
        }
        EXPECT_EQ(fw.major, c.major) << c.sentence;
        EXPECT_EQ(fw.minor, c.minor) << c.sentence;
        EXPECT_EQ(fw.build, c.build) << c.sentence;
        EXPECT_EQ(fw.month, c.month) << c.sentence;
        EXPECT_EQ(fw.day, c.day) << c.sentence;
        EXPECT_EQ(fw.year, c.year) << c.sentence;
        EXPECT_EQ(product.code, 9999) << c.sentence;
        EXPECT_STREQ(product.name, c.name) << c.sentence;
        EXPECT_EQ(link.Model().GetReportText(13).GetString(), std::string("VR")) << c.sentence;
        EXPECT_EQ(link.Model().GetReportText(14).GetString(), std::string("VR")) << c.sentence;
    }
}

// The maker's own reply switches back to the maker's commands; a standard
// sentence says nothing about the dialect.
TEST_P(NmeaDialectsTest, TheMakersOwnReplyRestoresItsDialect)
{
    DialectLink link(GetParam());
    link.SetSubMode(PROTO_SIRF_NMEA);
    link.Feed("$GPZDA,010203.00,09,11,2006,00,00*6B\r\n");
    EXPECT_EQ(link.SubMode(), PROTO_SIRF_NMEA);
    link.Feed("$PZULRPT,300,8,N,1,2,4*37\r\n");
    EXPECT_EQ(link.SubMode(), PROTO_NONE);
}

INSTANTIATE_TEST_SUITE_P(NmeaAndAutoLinks, NmeaDialectsTest, ::testing::Values(PROTO_NMEA, PROTO_AUTO));

// On a QBIN link a stray maker's sentence never switches the commands.
TEST(NmeaDialectsOnQbinTest, TheSubModeStays)
{
    for (const DialectCase& c : kCases) {
        DialectLink link(PROTO_QBIN);
        link.Feed(std::string(c.sentence) + "\r\n");
        EXPECT_EQ(link.SubMode(), kStartSubMode) << c.sentence;
    }
    DialectLink link(PROTO_QBIN);
    link.SetSubMode(PROTO_SIRF_NMEA);
    link.Feed("$PZULRPT,300,8,N,1,2,4*37\r\n");
    EXPECT_EQ(link.SubMode(), PROTO_SIRF_NMEA);
}

// The version text ends at the checksum or the line end, without blanks,
// and a product name already known is kept.
TEST(NmeaDialectsVersionTextTest, TextEndsAtTheChecksumAndAKnownProductStays)
{
    DialectLink link(PROTO_NMEA);
    ProductRecord known;
    std::memset(&known, 0, sizeof known);
    known.code = 42;
    std::strcpy(known.name, "Known");
    link.Model().SetProductInfo(known);
    link.Feed("$PSRFTXT,VERSION:  GSW3.5.0_3.5.00.00-SDK-3EP2.01  \r\n");
    FirmwareVersionRecord fw;
    link.Model().GetFirmwareVersion(fw, 0);
    EXPECT_STREQ(fw.name, "SiRF GSW3.5.0_3.5.00.00-SDK-3EP2.01");
    ProductRecord product;
    link.Model().GetProductInfo(product);
    EXPECT_STREQ(product.name, "Known");
    EXPECT_EQ(product.code, 42);
}

}  // namespace
