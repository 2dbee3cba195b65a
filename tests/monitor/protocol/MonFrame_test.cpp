// Monitor-mode frames: the framing helpers, and the two replies the decoder
// takes (the version into firmware record 0, the memory read handed to the
// listeners as a QBIN memory reply), each only when the frame holds what it
// needs.
#include "protocol/MonFrame.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DecoderTestSupport.h"
#include "protocol/QopProtocol.h"

using namespace decodertest;
using frametest::EventRecorder;
using frametest::Hex;
using frametest::ToHex;

TEST(MonFraming, LengthSumAndEndFollowTheData)
{
    struct Case {
        const char* name;
        std::function<void(CByteArray&)> data;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"no data", [](CByteArray&) {}, "02 00 41 00 41 03"},
        {"16 bits", [](CByteArray& f) { MonAppendU16(f, 0x1234); }, "02 00 41 02 12 34 89 03"},
        {"32 bits", [](CByteArray& f) { MonAppendU32(f, 0x01020304u); }, "02 00 41 04 01 02 03 04 4F 03"},
        {"three bytes of a value",
         [](CByteArray& f) { MonAppendBigEndian(f, 0xAABBCCDDu, 3); }, "02 00 41 03 BB CC DD A8 03"},
        {"single bytes, the sum kept to its low byte",
         [](CByteArray& f) { for (int i = 0; i < 3; ++i) AppendQopByte(f, 0xFF); }, "02 00 41 03 FF FF FF 41 03"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CByteArray f;
        f.Add(0x77);  // Begin forgets what was there
        MonBeginFrame(f, 0x41);
        c.data(f);
        MonEndFrame(f);
        const Bytes bytes = ToBytes(f);
        EXPECT_EQ(ToHex(bytes), c.expected);
        EXPECT_TRUE(CheckMonFrame(bytes.data(), static_cast<int>(bytes.size())));

        EXPECT_EQ(Recognise(bytes), (std::vector<std::string>{std::string("frame 20: ") + c.expected}));
    }
}

namespace {

class MonDecoderTest : public ModelTest<EventRecorder> {
protected:
    void Decode(const Bytes& frame)
    {
        const ExactFrame exact(frame);
        DecodeMonFrame(exact.Data(), exact.Size(), &model);
    }
};

}  // namespace

TEST_F(MonDecoderTest, VersionReplyNamesTheMonitorMode)
{
    // The receiver's product is known, so the version names only itself.
    ProductRecord product = {};
    product.code = 1001;
    model.SetProductInfo(product);
    sink.events.clear();

    Decode(Hex("02 00 96 06 07 4A 03 0F 00 07 06 03"));
    const FirmwareVersionRecord fw = Firmware();
    EXPECT_STREQ(fw.name, "Monitor Mode");
    EXPECT_EQ(fw.major, 7);
    EXPECT_EQ(fw.minor, 74);
    EXPECT_EQ(fw.build, 0);
    EXPECT_EQ(fw.month, 3);
    EXPECT_EQ(fw.day, 15);
    EXPECT_EQ(fw.year, 7);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].event, EV_FIRMWARE_VERSION);

    // On a link not yet identified the model's identification reads version
    // 7.74 as a receiver model and renames the record after it.
    model.ClearData(1);
    Decode(Hex("02 00 96 06 07 4A 03 0F 00 07 06 03"));
    EXPECT_STREQ(Firmware().name, "Brevik F");
    EXPECT_EQ(Firmware().minor, 74);
}

TEST_F(MonDecoderTest, VersionReplyOfAnyOtherLengthIsIgnored)
{
    for (const char* frame : {"02 00 96 07 07 4A 03 0F 00 07 00 0D 03", "02 00 96 05 07 4A 03 0F 00 07 03",
                              "02 00 96 00 96 03"}) {
        SCOPED_TRACE(frame);
        Decode(Hex(frame));
        EXPECT_TRUE(sink.events.empty());
        EXPECT_STREQ(Firmware().name, "");
        EXPECT_EQ(Firmware().build, -1);
    }
}

TEST_F(MonDecoderTest, MemoryReplyReachesListenersAsAQbinMemoryReply)
{
    model.SetMonReadAddress(0x1000);
    Decode(Hex("02 00 92 02 12 34 DA 03"));
    ASSERT_EQ(sink.events.size(), 1u);
    const frametest::Event& e = sink.events[0];
    EXPECT_EQ(e.event, EV_RAW_FRAME);
    EXPECT_EQ(e.detail, PROTO_QBIN);  // the recorder also saw kind 3 while handling it
    EXPECT_TRUE(e.send);
    EXPECT_EQ(ToHex(e.raw), "10 5F 01 02 01 00 00 10 00 12 34 10 03");
    CByteArray after;
    EXPECT_EQ(model.GetLastRawFrame(after), PROTO_NONE);  // valid only while handled

    // The address is the one stored last; a value byte 0x10 is not doubled.
    sink.events.clear();
    model.SetMonReadAddress(0xFEDCBA98u);
    Decode(Hex("02 00 92 03 10 10 55 0A 03"));
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(ToHex(sink.events[0].raw), "10 5F 01 02 01 FE DC BA 98 10 10 10 03");
}

TEST_F(MonDecoderTest, MemoryReplyWithoutTwoDataBytesIsIgnored)
{
    model.SetMonReadAddress(0x1000);
    for (const char* frame : {"02 00 92 00 92 03", "02 00 92 01 12 A5 03",
                              "02 00 92 02 12 A6 03",  // claims two bytes, holds one
                              "02 00 92 03", "02 00 92"}) {
        SCOPED_TRACE(frame);
        Decode(Hex(frame));
        EXPECT_TRUE(sink.events.empty());
    }
}

TEST_F(MonDecoderTest, OtherIdsAndShortFramesAreIgnored)
{
    for (const char* frame : {"02 00 76 00 76 03", "02 00 80 05 00 00 10 00 02 97 03", "02 00 95 02 12 34 DD 03",
                              "02 00", "02", ""}) {
        SCOPED_TRACE(frame);
        Decode(Hex(frame));
        EXPECT_TRUE(sink.events.empty());
    }
    DecodeMonFrame(nullptr, 12, &model);
    const Bytes version = Hex("02 00 96 06 07 4A 03 0F 00 07 06 03");
    DecodeMonFrame(version.data(), static_cast<int>(version.size()), nullptr);
    EXPECT_TRUE(sink.events.empty());
}
