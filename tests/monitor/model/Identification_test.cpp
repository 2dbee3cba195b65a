// Receiver identification: the model code and capability bits a version
// report or a model code leads to, the events raised, and the end of a
// receiver reset that a version report brings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/CString.h"
#include "link/CProtocol.h"
#include "link/CRawLogger.h"
#include "model/CModel.h"
#include "model/ResetControl.h"
#include "monitor/link/ProtocolFakes.h"
#include "monitor/model/RecordingSink.h"

namespace {

const RecordedEvent kCore = {EV_CORE_VERSION, 0, false};
const RecordedEvent kFirmware = {EV_FIRMWARE_VERSION, 0, false};
const RecordedEvent kProduct = {EV_PRODUCT_INFO, 0, false};
const RecordedEvent kModel = {EV_RECEIVER_MODEL, 0, false};

FirmwareVersionRecord Version(const char* name, int major, int minor, int month = 0, int day = 0,
                              int year = 0)
{
    FirmwareVersionRecord r;
    std::memset(&r, 0, sizeof r);
    CopyRecordText(r.name, name);
    r.major = static_cast<uint8_t>(major);
    r.minor = static_cast<uint8_t>(minor);
    r.build = 3;
    r.month = static_cast<uint8_t>(month);
    r.day = static_cast<uint8_t>(day);
    r.year = static_cast<uint16_t>(year);
    return r;
}

std::string FirmwareName(CModel& m, int which)
{
    FirmwareVersionRecord r;
    std::memset(&r, 0x55, sizeof r);
    EXPECT_TRUE(m.GetFirmwareVersion(r, which));
    return std::string(r.name);
}

ProductRecord Product(uint16_t code, const char* name)
{
    ProductRecord p;
    std::memset(&p, 0, sizeof p);
    p.code = code;
    CopyRecordText(p.name, name);
    p.serialNumber = 4242;
    return p;
}

// A reset control whose reset is under way until someone ends it.
class FakeResetControl : public IResetControl {
public:
    explicit FakeResetControl(bool inProgress) : inProgress(inProgress) {}
    bool EndResetInProgress() override
    {
        ++calls;
        bool was = inProgress;
        inProgress = false;
        return was;
    }
    bool inProgress;
    int calls = 0;
};

// ---- Model code to capability bits -----------------------------------------------

TEST(ReceiverModel, CodeGivesItsCapabilityBitsAndRaises54)
{
    struct Case {
        int32_t code;
        uint32_t bits;
    };
    // Run in this order on one model: each code must replace the bits of
    // the one before, not add to them.
    const Case cases[] = {
        {1, 0x009},    {3, 0x009},    {2, 0},        {999, 0},      {1001, 0x101}, {1002, 0x221},
        {1003, 0x221}, {1000, 0x021}, {1500, 0x021}, {1999, 0x021}, {2002, 0x422}, {2500, 0x022},
        {3001, 0x1044}, {3003, 0x844}, {3005, 0x844}, {3007, 0x844}, {3500, 0x044}, {4000, 0x008},
        {4500, 0x008}, {5001, 0x0D0}, {5500, 0x010}, {5999, 0x010}, {6000, 0},    {65535, 0},
        {-1, 0},       {0, 0},
    };
    RecordingSink sink;
    CModel m;
    ASSERT_TRUE(m.Attach(&sink, nullptr));
    m.SetProductInfo(Product(77, "Kept"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        sink.Clear();
        m.SetReceiverModel(c.code);
        EXPECT_EQ(m.GetCapabilityBits(), c.bits);
        EXPECT_EQ(m.GetReceiverModel(), c.code);
        EXPECT_EQ(sink.Events(), std::vector<RecordedEvent>{kModel});
    }
    // The product record is the decoders' to set; the model code leaves it.
    ProductRecord p;
    m.GetProductInfo(p);
    EXPECT_EQ(p.code, 77);
    EXPECT_STREQ(p.name, "Kept");
    m.Detach();
}

TEST(ReceiverModel, CapabilityQuestionsTheWindowsAsk)
{
    struct Case {
        int32_t code;
        uint32_t mask;
        bool has;
    };
    const Case cases[] = {
        {3003, 0x800, true},  // the timing monitor's controls
        {3001, 0x800, false}, {1002, 0x020, true}, {1001, 0x020, false}, {2002, 0x004, false},
        {3001, 0x004, true},  {5001, 0x070, true}, {4500, 0x001, false}, {6000, 0, true},
        {1, 0, false},
    };
    for (const Case& c : cases) {
        CModel m;
        m.SetReceiverModel(c.code);
        EXPECT_EQ(m.HasCapability(c.mask), c.has) << c.code << " mask " << std::hex << c.mask;
    }
}

// ---- Version reports --------------------------------------------------------------

struct IdentifyCase {
    const char* name;
    FirmwareVersionRecord record;
    int source;
    uint16_t presetCode;         // a product record stored before (0: none)
    bool result;
    std::vector<RecordedEvent> events;
    int32_t code;
    uint32_t bits;
    const char* firmware0;       // names expected afterwards
    const char* firmware1;
    const char* productName;
    const char* productSlot;     // source-label slot 14
};

std::vector<IdentifyCase> IdentifyCases()
{
    const std::vector<RecordedEvent> firmwareOnly = {kFirmware};
    const std::vector<RecordedEvent> guessed = {kFirmware, kModel};
    return {
        {"8.6 of year 0 on an unidentified link", Version("NAV", 8, 6), 0, 0, true, guessed, 1, 0x009,
         "Brevik F", "", "Brevik F", ""},
        {"the same with the product code already set", Version("NAV", 8, 6), 0, 77, true, firmwareOnly, 77,
         0, "NAV", "", "Hardware", ""},
        {"8.6 of another year", Version("NAV", 8, 6, 1, 1, 3), 0, 0, true, firmwareOnly, 0, 0, "NAV", "",
         "", ""},
        {"7.74", Version("NAV", 7, 74, 4, 4, 4), 0, 0, true, guessed, 1, 0x009, "Brevik F", "", "Brevik F",
         ""},
        {"8.8 of year 0", Version("NAV", 8, 8), 0, 0, true, guessed, 3, 0x009, "Brevik E", "", "Brevik E",
         ""},
        {"7.94", Version("NAV", 7, 94, 2, 2, 2), 0, 0, true, guessed, 3, 0x009, "Brevik E", "", "Brevik E",
         ""},
        {"1.6 of 26 September, year 5", Version("NAV", 1, 6, 9, 26, 5), 0, 0, true, guessed, 2, 0,
         "Brevik A", "", "Brevik A", ""},
        {"1.6 of another day", Version("NAV", 1, 6, 9, 27, 5), 0, 0, true, firmwareOnly, 0, 0, "NAV", "",
         "", ""},
        {"1.7 of 21 June, year 7", Version("NAV", 1, 7, 6, 21, 7), 0, 0, true, guessed, 2, 0, "Brevik A",
         "", "Brevik A", ""},
        {"3.6", Version("NAV", 3, 6, 5, 5, 5), 0, 0, true, guessed, 3001, 0x1044, "NAV", "", "", ""},
        {"source 0 1.5 named Zenthos", Version("Zenthos nav", 1, 5), 0, 0, true, guessed, 1002, 0x221,
         "Zenthos nav", "", "", ""},
        {"source 0 1.5 named zenthos (case counts)", Version("zenthos nav", 1, 5), 0, 0, true,
         firmwareOnly, 0, 0, "zenthos nav", "", "", ""},
        {"source 0 with no rule", Version("NAV", 2, 0), 0, 0, true, firmwareOnly, 0, 0, "NAV", "", "", ""},
        {"source 1 1.5 named Zenthos", Version("Zenthos core", 1, 5), 1, 0, true,
         {kFirmware, kProduct, kModel}, 1002, 0x221, "Zenthos core", "", "Zenthos GPS Receiver", "VR"},
        {"source 1 Zenthos replaces a product already set", Version("The Zenthos", 1, 5), 1, 77, true,
         {kFirmware, kProduct, kModel}, 1002, 0x221, "The Zenthos", "", "Zenthos GPS Receiver", "VR"},
        {"source 1 ZENTHOS (case counts)", Version("ZENTHOS core", 1, 5), 1, 0, true, {kCore}, 0, 0, "",
         "ZENTHOS core", "", ""},
        {"source 1 Zenthos of another version", Version("Zenthos core", 1, 6), 1, 0, true, {kCore}, 0, 0,
         "", "Zenthos core", "", ""},
        {"source 1 8.6 is not guessed", Version("CORE", 8, 6), 1, 0, true, {kCore}, 0, 0, "", "CORE", "",
         ""},
        {"source 2", Version("Zenthos", 1, 5), 2, 0, false, {}, 0, 0, "", "", "", ""},
        {"source -1", Version("NAV", 8, 6), -1, 0, false, {}, 0, 0, "", "", "", ""},
    };
}

TEST(IdentifyReceiver, VersionGivesModelNamesAndEvents)
{
    for (const IdentifyCase& c : IdentifyCases()) {
        SCOPED_TRACE(c.name);
        RecordingSink sink;
        CModel m;
        ASSERT_TRUE(m.Attach(&sink, nullptr));
        if (c.presetCode != 0) {
            m.SetProductInfo(Product(c.presetCode, "Hardware"));
            sink.Clear();
        }

        EXPECT_EQ(m.IdentifyReceiver(c.record, c.source), c.result);

        EXPECT_EQ(sink.Events(), c.events);
        EXPECT_EQ(m.GetReceiverModel(), c.code);
        EXPECT_EQ(m.GetCapabilityBits(), c.bits);
        EXPECT_EQ(FirmwareName(m, 0), c.firmware0);
        EXPECT_EQ(FirmwareName(m, 1), c.firmware1);
        ProductRecord product;
        m.GetProductInfo(product);
        EXPECT_STREQ(product.name, c.productName);
        EXPECT_EQ(product.code, c.code);
        EXPECT_STREQ(m.GetReceiverName(), c.productName);
        EXPECT_STREQ(m.GetReportText(14), c.productSlot);
        if (c.code == 1002 && c.source == 1) {
            // The Zenthos product record carries nothing but its code and name.
            EXPECT_EQ(product.serialNumber, 0u);
        }

        // The version fields stay as reported, whatever the names became.
        FirmwareVersionRecord stored;
        const int slot = c.firmware1[0] != '\0' ? 1 : 0;
        if (c.result) {
            m.GetFirmwareVersion(stored, slot);
            EXPECT_EQ(stored.major, c.record.major);
            EXPECT_EQ(stored.minor, c.record.minor);
            EXPECT_EQ(stored.build, c.record.build);
            EXPECT_EQ(stored.year, c.record.year);
        }
        m.Detach();
    }
}

TEST(IdentifyReceiver, NameWithoutTerminatorIsCutAndStillSearched)
{
    RecordingSink sink;
    CModel m;
    ASSERT_TRUE(m.Attach(&sink, nullptr));
    FirmwareVersionRecord r = Version("", 1, 5);
    std::memset(r.name, 'x', sizeof r.name);  // a decoder's unterminated copy
    std::memcpy(r.name + 10, "Zenthos", 7);
    EXPECT_TRUE(m.IdentifyReceiver(r, 1));
    EXPECT_EQ(FirmwareName(m, 0).size(), static_cast<size_t>(MODEL_NAME_LENGTH - 1));
    EXPECT_EQ(m.GetReceiverModel(), 1002);
    m.Detach();
}

TEST(IdentifyReceiver, AfterTheProductRecordIsEmptiedTheNextVersionIdentifiesAgain)
{
    CModel m;
    EXPECT_TRUE(m.IdentifyReceiver(Version("NAV", 3, 6), 0));
    EXPECT_EQ(m.GetReceiverModel(), 3001);
    m.ClearData(14);  // before a hardware query
    EXPECT_EQ(m.GetCapabilityBits(), 0x1044u);  // kept until the next identification
    EXPECT_TRUE(m.IdentifyReceiver(Version("NAV", 8, 8), 0));
    EXPECT_EQ(m.GetReceiverModel(), 3);
    EXPECT_EQ(m.GetCapabilityBits(), 0x009u);
}

// ---- The end of a receiver reset --------------------------------------------------

TEST(IdentifyReceiver, AVersionReportEndsAResetAndClearsTheStaleDataFirst)
{
    struct Case {
        const char* name;
        bool resetUnderWay;
        int source;
        bool cleared;
        int endCalls;
        const char* firmware1After;  // "OLD" before
    };
    const Case cases[] = {
        {"reset under way, navigation version", true, 0, true, 1, ""},
        {"reset under way, core version", true, 1, true, 1, "NAV"},
        {"no reset", false, 0, false, 1, "OLD"},
        // A call that stores nothing leaves the reset to its timer.
        {"not a version source", true, 2, false, 0, "OLD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSink sink;
        CModel m;
        ASSERT_TRUE(m.Attach(&sink, nullptr));
        m.SetHealthStatus(9);
        m.SetReportText(5, "0x46");
        m.IdentifyReceiver(Version("OLD", 2, 2), 1);
        FakeResetControl reset(c.resetUnderWay);
        m.SetResetControl(&reset);
        sink.Clear();

        m.IdentifyReceiver(Version("NAV", 8, 6), c.source);

        EXPECT_EQ(reset.calls, c.endCalls);
        EXPECT_EQ(m.GetHealthStatus(), c.cleared ? 2u : 9u);
        EXPECT_STREQ(m.GetReportText(5), c.cleared ? "" : "0x46");
        // Clearing raises nothing of its own, and what the report brought is
        // stored after the clearing, not wiped by it.
        if (c.source == 0) {
            EXPECT_EQ(sink.Events(), (std::vector<RecordedEvent>{kFirmware, kModel}));
            EXPECT_EQ(FirmwareName(m, 0), "Brevik F");
            EXPECT_EQ(m.GetReceiverModel(), 1);
        }
        EXPECT_EQ(FirmwareName(m, 1), c.firmware1After);
        EXPECT_EQ(reset.inProgress, c.source == 2);
        m.Detach();
    }
}

// The engine's own reset state: the reader ends it, and timer 29 then finds
// nothing to do, so the version just identified survives the timer.
class EngineResetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(model.Attach(&sink, &protocol));
        protocol.SetTimerHost(&timers);
        protocol.SetClock(&clock);
        channel.SetEndWhenEmpty(false);
        ASSERT_TRUE(protocol.Start(&channel, PROTO_QBIN, &model, &logger));
        log.Clear();
        sink.Clear();
    }
    void TearDown() override
    {
        protocol.Stop();
        model.Detach();
    }

    prototest::CallLog log;
    prototest::FakeClock clock{&log};
    prototest::RecordingTimerHost timers{&log};
    prototest::FakeChannel channel{CHANNEL_TYPE_SERIAL, &log};
    RecordingSink sink;
    CModel model;
    CRawLogger logger;
    CProtocol protocol;
};

TEST_F(EngineResetTest, VersionDuringResetSurvivesTheResetTimer)
{
    ASSERT_TRUE(protocol.ResetReceiver(3));
    ASSERT_TRUE(protocol.IsResetInProgress());
    model.SetHealthStatus(9);  // from before the reset

    EXPECT_TRUE(model.IdentifyReceiver(Version("NAV", 8, 6), 0));
    EXPECT_FALSE(protocol.IsResetInProgress());
    EXPECT_EQ(model.GetHealthStatus(), 2u);  // the reset's clearing happened now
    sink.Clear();
    log.Clear();

    protocol.OnTimer(TIMER_RESET_DONE);

    EXPECT_EQ(log.Entries(), std::vector<std::string>{"kill timer 29"});
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ(FirmwareName(model, 0), "Brevik F");
    EXPECT_EQ(model.GetReceiverModel(), 1);
    EXPECT_EQ(model.GetCapabilityBits(), 0x009u);
}

TEST_F(EngineResetTest, TimerFirstClearsOnceAndTheLateVersionClearsNothing)
{
    ASSERT_TRUE(protocol.ResetReceiver(3));
    model.SetHealthStatus(9);
    protocol.OnTimer(TIMER_RESET_DONE);
    EXPECT_EQ(model.GetHealthStatus(), 2u);
    EXPECT_FALSE(protocol.IsResetInProgress());

    model.SetHealthStatus(7);  // reported after the reset
    EXPECT_TRUE(model.IdentifyReceiver(Version("NAV", 7, 94), 0));
    EXPECT_EQ(model.GetHealthStatus(), 7u);
    EXPECT_EQ(FirmwareName(model, 0), "Brevik E");
}

} // namespace
