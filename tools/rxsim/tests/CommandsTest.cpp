// The collector of what the program writes: every framing found in one
// stream, in order, as the "commands" log shows it.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace rxsim {
namespace {

using test::Collect;
using test::Hex;

TEST(RxsimCommands, EveryFramingIsFoundInOrder)
{
    Bytes stream;
    auto add = [&](const Bytes& b) { stream.insert(stream.end(), b.begin(), b.end()); };
    add(Hex("10 26 10 03"));
    add(NmeaSentence("PZULQTF"));
    add(QtxtSentence("QVR"));
    add(QopMessage('H', 'a', {0x00}));
    add(KestoPacket(0x70, 0x11, {0xFA}));  // escaped checksum
    add(MonFrame(0x80, Hex("0000100002")));
    add(UbxMessage(0x06, 0x04, Hex("01000000")));
    add(QbinPacket(0x8E, {0x10, 0x15}));  // a doubled DLE in the data
    add(Hex("40 40 5A 7A 01 21 0D 0A"));    // an id outside the table ends at CR LF
    add(QtxtSentence("SRT", false));

    const std::vector<std::string> expected = {
        "10 26 10 03",
        "$PZULQTF*50",
        ">QVR;*7A<",
        "40 40 48 61 00 29 0D 0A",
        "81 70 11 FA 80 02 82",
        "02 00 80 05 00 00 10 00 02 97 03",
        "B5 62 06 04 04 00 01 00 00 00 0F 68",
        "10 8E 10 10 15 10 03",
        "40 40 5A 7A 01 21 0D 0A",
        ">SRT<",
    };
    std::vector<Command> found = Collect(stream);
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].LogText(), expected[i]);
        EXPECT_TRUE(found[i].valid);
    }
    EXPECT_EQ(test::Text(found[1].body), "PZULQTF");
    EXPECT_EQ(test::Text(found[2].body), "QVR");
    EXPECT_EQ(found[4].body, Hex("70 11 FA"));
    EXPECT_EQ(found[5].body, Hex("80 00 00 10 00 02"));
    EXPECT_EQ(found[7].body, Hex("8E 10 15"));
}

TEST(RxsimCommands, BrokenChecksumsAreLoggedButNotValid)
{
    const Bytes wrong[] = {
        NmeaSentence("PZULQTF", true, true),
        QtxtSentence("QST", true, true),
        QopMessage('C', 'j', {}, true),
        KestoPacket(0x02, 0x11, {0x01}, true),
        MonFrame(0x76, {}, true),
        UbxMessage(0x06, 0x09, Hex("000000000300000000000000"), true),
    };
    for (const Bytes& w : wrong) {
        SCOPED_TRACE(test::Spaced(w));
        std::vector<Command> found = Collect(w);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_FALSE(found[0].valid);
    }
}

TEST(RxsimCommands, CutCommandsGiveWayToTheNextOne)
{
    // A cut sentence, a cut KESTO packet and a stray start byte before
    // whole commands: only the whole ones are found.
    Bytes stream = Hex("24 50 5A 55");  // "$PZU"
    Bytes tail = NmeaSentence("GPGPQ,GSA");
    stream.insert(stream.end(), tail.begin(), tail.end());
    Bytes cut = Hex("81 02 11");
    stream.insert(stream.end(), cut.begin(), cut.end());
    Bytes whole = KestoPacket(0x02, 0x16, {0x02});
    stream.insert(stream.end(), whole.begin(), whole.end());
    std::vector<Command> found = Collect(stream);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].LogText(), "$GPGPQ,GSA*28");
    EXPECT_EQ(found[1].LogText(), "81 02 16 02 E3 82");
}

}  // namespace
}  // namespace rxsim
