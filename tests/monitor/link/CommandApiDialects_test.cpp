// The command API with the real builders behind it: what each protocol and
// vendor dialect actually puts on the wire, in order, with the gaps between
// packets. The routing itself is covered with spies in CProtocolCommandApi_test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProtocolFakes.h"
#include "framework/CArray.h"
#include "framework/CString.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "model/CModel.h"
#include "model/ModelRecords.h"
#include "monitor/model/RecordingSink.h"

using namespace prototest;

namespace {

// The log line of a sentence written with its CR LF.
std::string WroteSentence(const std::string& sentence)
{
    std::string bytes = sentence + "\r\n";
    return "write " + HexText(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<int>(bytes.size()));
}

std::string WroteHex(const std::string& hex) { return "write " + hex; }

class CommandApiDialectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Attach(&sink, &protocol));
        protocol.SetClock(&clock);
        protocol.SetTimerHost(&timers);
    }
    void TearDown() override
    {
        protocol.Stop();
        model.Detach();
    }

    // A serial link in `kind` (a vendor dialect sets the NMEA sub-mode).
    void Start(ProtocolKind kind)
    {
        ASSERT_TRUE(protocol.Start(&port, kind, &model, &logger));
        log.Clear();
    }

    CallLog log;
    FakeChannel port{CHANNEL_TYPE_SERIAL, &log};
    FakeClock clock{&log};
    CallLog timerLog;
    RecordingTimerHost timers{&timerLog};
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
};

TEST_F(CommandApiDialectTest, NmeaVersionQueryAsksBothProcessorsWithAGap)
{
    Start(PROTO_QBIN);
    EXPECT_TRUE(protocol.QueryVersionAs(PROTO_NMEA));
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{WroteSentence("$PZULQVR,S*39"), "sleep 10",
                                                       WroteSentence("$PZULQVR,N*24")}));
}

TEST_F(CommandApiDialectTest, UbloxResetsAndSavesInUbxAndSetsItsPortsInOneWrite)
{
    Start(PROTO_UBLOX_NMEA);
    EXPECT_TRUE(protocol.ResetReceiver(2));
    EXPECT_TRUE(protocol.SaveConfiguration());
    PortConfigRecord port{};
    port.baud = 9600;
    port.dataBits = 8;
    EXPECT_TRUE(protocol.SendPortConfig(1, &port));

    const std::vector<std::string> entries = log.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], WroteHex("B5 62 06 04 04 00 01 00 00 00 0F 68"));
    EXPECT_EQ(entries[1], WroteHex("B5 62 06 09 0C 00 00 00 00 00 03 00 00 00 00 00 00 00 1E A7"));
    // Three $PUBX,41 sentences, one per receiver port, in a single write.
    const std::string third = entries[2];
    std::string expected = "write ";
    for (int receiverPort = 0; receiverPort < 3; ++receiverPort) {
        std::string sentence = "PUBX,41," + std::to_string(receiverPort) + ",0003,0002,9600,0";
        BYTE sum = 0;
        for (char c : sentence) sum ^= static_cast<BYTE>(c);
        char tail[8];
        snprintf(tail, sizeof(tail), "*%02X\r\n", sum);
        std::string bytes = "$" + sentence + tail;
        if (receiverPort > 0) expected += ' ';
        expected += HexText(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<int>(bytes.size()));
    }
    EXPECT_EQ(third, expected);
}

TEST_F(CommandApiDialectTest, NemerixHasNoHealthQueryButAnswersTheHardwareQueryWithItsVersion)
{
    Start(PROTO_NEMERIX_NMEA);
    EXPECT_FALSE(protocol.QueryReceiverHealth());
    EXPECT_TRUE(protocol.QueryHardwareVersion());
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{WroteSentence("$PNMRX600*6F")}));
}

TEST_F(CommandApiDialectTest, QopKnowsOnlyTheFactoryResetAndAColdResetLeavesNoResetState)
{
    Start(PROTO_QOP);
    EXPECT_FALSE(protocol.ResetReceiver(1));
    EXPECT_FALSE(protocol.IsResetInProgress());
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_TRUE(protocol.ResetReceiver(4));
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{WroteHex("40 40 43 66 25 0D 0A")}));
}

TEST_F(CommandApiDialectTest, BootMonitorMemoryReadKeepsTheAddressForTheReply)
{
    Start(PROTO_MON);
    EXPECT_TRUE(protocol.AccessMemory(1, 0x1000, 0));
    EXPECT_EQ(model.GetMonReadAddress(), 0x1000u);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{WroteHex("02 00 80 05 00 00 10 00 02 97 03")}));

    log.Clear();
    EXPECT_FALSE(protocol.AccessMemory(0, 0x2000, 0));
    EXPECT_FALSE(protocol.AccessMemory(3, 0x2000, 0));
    EXPECT_TRUE(log.Entries().empty());
}

TEST_F(CommandApiDialectTest, TypedTextGoesOutWithItsChecksumOrIsRefusedWithAReason)
{
    struct Case {
        ProtocolKind kind;
        const char* text;
        const char* wrote;    // sentence text, hex bytes, or null for nothing
        bool hex;
    };
    const std::string longText(252, 'A');
    const Case cases[] = {
        {PROTO_NMEA, "  PZULQTF ", "$PZULQTF*50", false},
        {PROTO_NMEA, longText.c_str(), nullptr, false},
        {PROTO_NMEA, "PZUL\x01QTF", nullptr, false},
        {PROTO_NMEA, "   ", nullptr, false},
        {PROTO_QTXT, " QST ", ">QST;*79<", false},
        {PROTO_QTXT, "Q\tST", nullptr, false},
        {PROTO_QOP, "Ha 00", "40 40 48 61 00 29 0D 0A", true},
        {PROTO_QOP, "Ha 0G", nullptr, false},
        {PROTO_QOP, "H", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        protocol.Stop();
        Start(c.kind);
        CString error;
        const bool sent = protocol.SendRawCommandAs(c.kind, c.text, &error);
        if (c.wrote == nullptr) {
            EXPECT_FALSE(sent);
            EXPECT_TRUE(log.Entries().empty());
            EXPECT_FALSE(error.IsEmpty());
        } else {
            EXPECT_TRUE(sent);
            std::string line = c.hex ? WroteHex(c.wrote)
                                     : "write " + HexText(reinterpret_cast<const BYTE*>(c.wrote),
                                                          static_cast<int>(strlen(c.wrote))) +
                                           (c.kind == PROTO_NMEA ? " 0D 0A" : "");
            EXPECT_EQ(log.Entries(), std::vector<std::string>{line});
            EXPECT_TRUE(error.IsEmpty());
        }
    }
}

}  // namespace
