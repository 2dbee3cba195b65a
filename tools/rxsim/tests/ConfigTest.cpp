// What the receiver configuration pages ask and set: the navigation
// configuration (0xBB), the datum (0x8E-15), the filter (0x70) and the
// ports (0xBC), each query answered and each set taken over and confirmed,
// and queries a test leaves unanswered by id and sub-code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QbinReceiver.h"
#include "Silence.h"
#include "TestSupport.h"

namespace rxsim {
namespace {

using test::Hex;
using test::Scenario;
using test::Spaced;

QbinReceiver Config(const char* file = "sim1-config.txt")
{
    QbinReceiver r;
    std::string error;
    EXPECT_TRUE(r.Load(Scenario(file), error)) << error;
    return r;
}

// The replies to one packet (id and data, unstuffed), as spaced hex.
std::vector<std::string> Replies(QbinReceiver& r, const std::string& packet)
{
    std::vector<Segment> out;
    r.AnswerPacket(Hex(packet), out);
    std::vector<std::string> texts;
    for (const Segment& s : out) texts.push_back(Spaced(s.bytes));
    return texts;
}

std::string Ffs(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += " FF";
    return s;
}

std::string Zeros(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += " 00";
    return s;
}

struct Step {
    const char* packet;  // id and data as the program writes them
    std::string reply;   // "" when the receiver gives none
};

void Expect(QbinReceiver& r, const std::vector<Step>& steps)
{
    for (const Step& s : steps) {
        SCOPED_TRACE(s.packet);
        const std::vector<std::string> got = Replies(r, s.packet);
        if (s.reply.empty()) {
            EXPECT_TRUE(got.empty()) << (got.empty() ? "" : got[0]);
        } else {
            EXPECT_EQ(got, std::vector<std::string>{s.reply});
        }
    }
}

TEST(RxsimConfig, NavigationConfigurationIsAnsweredAndSet)
{
    // The report: sub-code, mode, DGPS, dynamics, 00, elevation, AMU, PDOP
    // mask and switch, age limit, reserved bytes (40 data bytes).
    const std::string head = "10 BB 00 ";
    const std::string fresh = head + "00 03 01 00 3D B2 B8 C2 40 80 00 00 41 40 00 00 41 00 00 00 1E" + Zeros(18) + " 10 03";
    const std::string set = head + "00 03 01 00 3E 32 B8 C2 40 80 00 00 41 40 00 00 41 00 00 00 1E" + Zeros(18) + " 10 03";
    const std::string setPacket = "BB 00 00 03 01 FF 3E 32 B8 C2 40 80 00 00 41 40 00 00 41 00 00 00" + Ffs(19);
    const std::string keepAll = "BB 00 FF FF FF FF" + Ffs(16) + Ffs(19);
    const std::string other = "BB 00 04 01 05 FF 00 00 00 00 41 A0 00 00 42 C8 00 00 3E 4C CC CD 05" + Ffs(18) + Ffs(3);
    QbinReceiver r = Config();
    Expect(r, {
               {"BB 00", fresh},
               {"BB 01", ""},
               // Elevation 10 degrees, the rest as they were: taken over.
               {setPacket.c_str(), set},
               {"BB 00", set},
               // Every byte FF: nothing changes.
               {keepAll.c_str(), set},
               // The long form (43 data bytes), every field new, age 5.
               {other.c_str(), head + "04 01 05 00 00 00 00 00 41 A0 00 00 42 C8 00 00 3E 4C CC CD 05" + Zeros(18) +
                                   " 10 03"},
               // A length of neither form is answered, not applied.
               {"BB 00 03 00 00", head + "04 01 05 00 00 00 00 00 41 A0 00 00 42 C8 00 00 3E 4C CC CD 05" + Zeros(18) +
                                      " 10 03"},
           });
}

TEST(RxsimConfig, DatumAndFilterAreAnsweredAndSet)
{
    const std::string wgs84 = " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 41 58 54 A6 40 "
                              "00 00 00 3F 7B 6B 90 F1 FE 8F 02 10 03";
    QbinReceiver r = Config();
    Expect(r, {
               {"8E 15", "10 8F 15 00 00" + wgs84},
               {"8E 15 00 01", "10 8F 15 00 01" + wgs84},
               {"8E 15", "10 8F 15 00 01" + wgs84},
               {"8E 14", ""},
               {"70", "10 70 00 00 00 00 10 03"},
               // The Divizuvozo filter: all four bytes set.
               {"70 01 01 01 01", "10 70 01 01 01 01 10 03"},
               {"70", "10 70 01 01 01 01 10 03"},
               {"70 01 01 01 00", "10 70 01 01 01 00 10 03"},
           });
}

TEST(RxsimConfig, PortsAreAnsweredAndSetAndTheLinkSpeedFollows)
{
    QbinReceiver r = Config();
    EXPECT_EQ(r.LinkBaud(), 9600u);
    Expect(r, {
               // Port FF is the one the program is on: A.
               {"BC FF", "10 BC 00 07 07 03 00 00 00 02 02 00 10 03"},
               {"BC 00", "10 BC 00 07 07 03 00 00 00 02 02 00 10 03"},
               {"BC 01", "10 BC 01 06 06 03 00 00 00 04 04 00 10 03"},
               {"BC 02", ""},
               {"BC", ""},
               // Port B: 19200, 7 data bits, odd parity, two stop bits.
               {"BC 01 08 08 02 01 01 00 01 01 00", "10 BC 01 08 08 02 01 01 00 01 01 00 10 03"},
           });
    EXPECT_EQ(r.LinkBaud(), 9600u);  // the link is on A
    Expect(r, {
               {"BC 00 09 09 03 00 00 00 02 02 00", "10 BC 00 09 09 03 00 00 00 02 02 00 10 03"},
               {"BC FF", "10 BC 00 09 09 03 00 00 00 02 02 00 10 03"},
               // Port FF in a set: the link's port too.
               {"BC FF 0B 0B 03 02 00 00 06 06 00", "10 BC 00 0B 0B 03 02 00 00 06 06 00 10 03"},
               {"BC 05 09 09 03 00 00 00 02 02 00", ""},
           });
    EXPECT_EQ(r.LinkBaud(), 115200u);

    QbinReceiver onB;
    std::string error;
    ASSERT_TRUE(onB.Load("port B 57600 8 E 1 06 04; link B", error)) << error;
    EXPECT_EQ(onB.LinkBaud(), 57600u);
    Expect(onB, {{"BC FF", "10 BC 01 0A 0A 03 02 00 00 06 04 00 10 03"}});
    for (const char* bad : {"port C 9600 8 N 1 02 02", "port A 9601 8 N 1 02 02", "port A 9600 6 N 1 02 02",
                            "port A 9600 8 X 1 02 02", "port A 9600 8 N 3 02 02", "port A 9600 8 N 1 02",
                            "port A 9600 8 N 1 02 GG", "link C", "link"})
        EXPECT_FALSE(onB.Load(bad, error)) << bad;
}

TEST(RxsimConfig, ProductOf3000FamilyHasTheConfigurationPagesValues)
{
    QbinReceiver r = Config("sim3007.txt");
    const std::vector<std::string> product = Replies(r, "1C 03");
    ASSERT_EQ(product.size(), 1u);
    // Serial, build date and hour, then the code 3007 (0x0BBF) and the name.
    EXPECT_NE(product[0].find("0B BF 12 53 49 4D 2D 33"), std::string::npos) << product[0];
    Expect(r, {{"BC FF", "10 BC 00 07 07 03 00 00 00 02 02 00 10 03"}});
}

Command Qbin(const std::string& wire)
{
    std::vector<Command> found = test::Collect(Hex(wire));
    return found.empty() ? Command() : found[0];
}

TEST(RxsimConfig, QueriesAreIgnoredByIdAndSubCode)
{
    Silence s;
    std::string reply, error;
    ASSERT_TRUE(s.Apply({"BB-00", "0x8e-15"}, reply, error)) << error;
    EXPECT_EQ(reply, "unanswered=8E-15,BB-00");
    struct Case {
        const char* wire;
        bool withheld;
    };
    const Case cases[] = {
        {"10 BB 00 10 03", true},
        {"10 BB 00 00 03 01 FF 10 03", true},  // a set of it too
        {"10 BB 01 10 03", false},
        {"10 BB 10 03", false},
        {"10 8E 15 10 03", true},
        {"10 8E 26 10 03", false},
        {"10 26 10 03", false},
    };
    for (const Case& c : cases) EXPECT_EQ(s.Withholds(Qbin(c.wire)), c.withheld) << c.wire;
    for (const char* bad : {"BB-", "-00", "BB-0", "BB-000", "BB-00-01", "BB--00"}) {
        error.clear();
        EXPECT_FALSE(s.Apply({bad}, reply, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(s.Describe(), "8E-15,BB-00");
    ASSERT_TRUE(s.Apply({"off"}, reply, error));
    EXPECT_FALSE(s.Withholds(Qbin("10 BB 00 10 03")));
}

}  // namespace
}  // namespace rxsim
