// The control commands a test paces the receiver with, on a running rxsim:
// a hold, periods granted one run at a time, and the fixes that went out.
#include <gtest/gtest.h>

#include <termios.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "LiveRxsim.h"

namespace rxsim {
namespace {

using test::CountId;
using test::Has;
using test::PacketIds;
typedef test::LiveRxsim LiveControl;

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> w;
    std::istringstream in(text);
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

TEST_F(LiveControl, HeldReceiverSendsTheRunsItIsGrantedAndListsTheirFixes)
{
    EXPECT_EQ(Control("hold"), "ok");
    Talk(0.3, "");  // what was out before the hold
    EXPECT_NE(Control("status").find(" hold=on "), std::string::npos);
    // A scenario loaded while held starts held; queries are still answered.
    EXPECT_EQ(Control("scenario load sim1-still"), "ok");
    Control("fixes");
    std::vector<uint8_t> ids = PacketIds(Talk(1.2, "10 26 10 03"));
    EXPECT_FALSE(Has(ids, 0x84));
    EXPECT_TRUE(Has(ids, 0x46));
    EXPECT_EQ(Control("fixes"), "ok 0");

    EXPECT_EQ(Control("run 5"), "ok periods=5");
    EXPECT_EQ(Control("wait 5000").substr(0, 8), "ok bytes");  // all five are out
    EXPECT_NE(Control("status").find(" hold=on "), std::string::npos);
    ids = PacketIds(Talk(0.8, ""));
    EXPECT_EQ(CountId(ids, 0x84), 5u);
    EXPECT_EQ(CountId(ids, 0x56), 5u);
    const std::vector<std::string> fixes = Words(Control("fixes"));
    ASSERT_EQ(fixes.size(), 7u);  // "ok", the count, five fixes
    EXPECT_EQ(fixes[1], "5");
    for (size_t i = 2; i < fixes.size(); ++i) {
        EXPECT_EQ(fixes[i].substr(0, 5), "1400,") << fixes[i];
        EXPECT_EQ(fixes[i].substr(fixes[i].size() - 6), ",0,0,0") << fixes[i];
    }
    EXPECT_NE(fixes[2], fixes[3]);  // the jitter
    EXPECT_EQ(Control("fixes"), "ok 0");

    // Runs add up; "hold off" lets the periods go on by themselves.
    EXPECT_EQ(Control("run 2"), "ok periods=2");
    EXPECT_EQ(Control("wait 5000").substr(0, 8), "ok bytes");
    Talk(0.5, "");
    EXPECT_EQ(Words(Control("fixes")).at(1), "2");
    EXPECT_EQ(Control("hold off"), "ok");
    EXPECT_GE(CountId(PacketIds(Talk(1.0, "")), 0x84), 3u);
    EXPECT_NE(Control("status").find(" hold=off "), std::string::npos);

    for (const char* bad : {"run", "run 0", "run x", "run 1 2", "hold on"})
        EXPECT_EQ(Control(bad).substr(0, 10), "err usage:") << bad;
    EXPECT_EQ(Control("scenario off"), "ok");
    EXPECT_EQ(Control("run 1"), "err no scenario");
}

TEST_F(LiveControl, FullStopEndsTheHold)
{
    EXPECT_EQ(Control("hold"), "ok");
    EXPECT_EQ(Control("silent"), "ok");
    EXPECT_NE(Control("status").find(" hold=off "), std::string::npos);
    EXPECT_EQ(Control("scenario load sim1-track"), "ok");
    EXPECT_GE(CountId(PacketIds(Talk(1.0, "")), 0x84), 3u);
}

TEST_F(LiveControl, ChannelsListsTheTrackingReportsThatLeft)
{
    EXPECT_EQ(Control("hold"), "ok");
    EXPECT_EQ(Control("scenario load sim1-sky-moving"), "ok");
    Talk(0.3, "");
    Control("channels");
    EXPECT_EQ(Control("run 2"), "ok periods=2");
    EXPECT_EQ(Control("wait 5000").substr(0, 8), "ok bytes");
    const std::vector<std::string> w = Words(Control("channels"));
    ASSERT_EQ(w.size(), 14u);  // "ok", the count, six channels twice
    EXPECT_EQ(w[1], "12");
    EXPECT_EQ(w[2].substr(0, 13), "0,5,64,45,0.7");
    EXPECT_EQ(w[5].substr(0, 9), "3,135,64,");
    EXPECT_NE(w[2], w[8]);  // PRN 5 moved
    EXPECT_EQ(w[6], w[12]);  // the zenith one did not
    EXPECT_EQ(Control("channels"), "ok 0");
}

// Sets the far end's speed as a program's SetCommState does.
void SetSpeed(int fd, speed_t speed)
{
    termios t;
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
}

TEST_F(LiveControl, PortSetMovesTheReceiversSpeedAfterItsReply)
{
    EXPECT_EQ(Control("scenario load sim1-config"), "ok");
    SetSpeed(m_line, B9600);
    EXPECT_NE(Control("status").find(" baud=9600 line_baud=9600 speedcheck=off"), std::string::npos);
    EXPECT_EQ(Control("speedcheck on"), "ok");
    Talk(0.3, "");
    const Bytes a38400 = test::Hex("10 BC 00 09 09 03 00 00 00 02 02 00 10 03");
    // The confirmation still comes at the old speed...
    const Bytes confirmed = Talk(0.8, "10 BC 00 09 09 03 00 00 00 02 02 00 10 03");
    EXPECT_NE(std::search(confirmed.begin(), confirmed.end(), a38400.begin(), a38400.end()), confirmed.end());
    EXPECT_NE(Control("status").find(" baud=38400 line_baud=9600 speedcheck=on"), std::string::npos);
    // ...then a far end left at 9600 hears nothing, and is not heard.
    Control("commands");
    EXPECT_TRUE(Talk(1.5, "10 26 10 03").empty());
    EXPECT_EQ(Control("commands"), "ok");
    SetSpeed(m_line, B38400);
    EXPECT_TRUE(Has(PacketIds(Talk(1.2, "10 26 10 03")), 0x46));
    EXPECT_EQ(Control("commands"), "ok 10 26 10 03");
    // Unchecked, speeds do not matter.
    SetSpeed(m_line, B4800);
    EXPECT_EQ(Control("speedcheck off"), "ok");
    EXPECT_TRUE(Has(PacketIds(Talk(1.2, "10 26 10 03")), 0x46));
    EXPECT_EQ(Control("speedcheck"), "err usage: speedcheck on|off");
}

TEST_F(LiveControl, IgnoredQueryGoesUnansweredOthersAreAnswered)
{
    EXPECT_EQ(Control("scenario load sim1-config"), "ok");
    EXPECT_EQ(Control("ignore BB-00"), "ok unanswered=BB-00");
    Talk(0.3, "");
    EXPECT_FALSE(Has(PacketIds(Talk(1.2, "10 BB 00 10 03")), 0xBB));
    EXPECT_TRUE(Has(PacketIds(Talk(1.0, "10 8E 15 10 03")), 0x8F));
    EXPECT_NE(Control("status").find(" unanswered=BB-00 "), std::string::npos);
    EXPECT_EQ(Control("ignore off"), "ok unanswered=-");
    EXPECT_TRUE(Has(PacketIds(Talk(1.0, "10 BB 00 10 03")), 0xBB));
    for (const char* bad : {"ignore", "ignore all", "ignore purge", "ignore BB-0"})
        EXPECT_EQ(Control(bad).substr(0, 10), "err usage:") << bad;
}

}  // namespace
}  // namespace rxsim
