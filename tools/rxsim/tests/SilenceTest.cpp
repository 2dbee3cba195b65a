// Queries a test leaves unanswered while the receiver runs on, and a muted
// receiver: the rules, then a running rxsim driven over its control socket.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LiveRxsim.h"
#include "Silence.h"

namespace rxsim {
namespace {

Command Qbin(const std::string& wire)
{
    std::vector<Command> found = test::Collect(test::Hex(wire));
    return found.empty() ? Command() : found[0];
}

TEST(RxsimSilence, NamedIdsAreWithheldOthersAnswered)
{
    Silence s;
    std::string reply, error;
    ASSERT_TRUE(s.Apply({"0x35"}, reply, error)) << error;
    EXPECT_EQ(reply, "unanswered=35");
    ASSERT_TRUE(s.Apply({"3c", "35"}, reply, error)) << error;
    EXPECT_EQ(s.Describe(), "35,3C");
    EXPECT_TRUE(s.Withholds(Qbin("10 35 10 03")));
    EXPECT_TRUE(s.Withholds(Qbin("10 35 02 02 01 08 10 03")));  // a setting of that id too
    EXPECT_FALSE(s.Withholds(Qbin("10 26 10 03")));
    EXPECT_FALSE(s.Withholds(test::Collect(test::Sentence("PZULQTF"))[0]));  // no QBIN id at all
    EXPECT_FALSE(s.Muted());

    ASSERT_TRUE(s.Apply({"all"}, reply, error));
    EXPECT_EQ(reply, "unanswered=all");
    EXPECT_TRUE(s.Muted());
    EXPECT_TRUE(s.Withholds(Qbin("10 26 10 03")));
    EXPECT_TRUE(s.Withholds(test::Collect(test::Sentence("PZULQTF"))[0]));

    ASSERT_TRUE(s.Apply({"off"}, reply, error));
    EXPECT_EQ(reply, "unanswered=-");
    EXPECT_FALSE(s.Muted());
    EXPECT_FALSE(s.Withholds(Qbin("10 35 10 03")));
}

TEST(RxsimSilence, BadIdsChangeNothing)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"3"}, {"0x"}, {"355"}, {"zz"}, {"35", "on"}, {"0x1G"}, {}}) {
        Silence s;
        std::string reply, error;
        ASSERT_TRUE(s.Apply({"26"}, reply, error));
        error.clear();
        EXPECT_FALSE(s.Apply(args, reply, error)) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(s.Describe(), "26");
    }
}

typedef test::LiveRxsim LiveSilence;
using test::Has;
using test::PacketIds;

TEST_F(LiveSilence, ChosenQueryGoesUnansweredMuteSaysNothingOffAnswersAgain)
{
    Talk(0.3, "");  // the start-up output
    EXPECT_EQ(Control("silent 0x35"), "ok unanswered=35");
    EXPECT_NE(Control("status").find(" unanswered=35"), std::string::npos);
    std::vector<uint8_t> ids = PacketIds(Talk(1.5, "10 35 10 03"));
    EXPECT_FALSE(Has(ids, 0x55));
    EXPECT_TRUE(Has(ids, 0x41));  // the reports go on
    ids = PacketIds(Talk(1.0, "10 26 10 03"));
    EXPECT_TRUE(Has(ids, 0x46));  // other queries are answered

    EXPECT_EQ(Control("silent off"), "ok unanswered=-");
    EXPECT_TRUE(Has(PacketIds(Talk(1.0, "10 35 10 03")), 0x55));

    EXPECT_EQ(Control("silent all"), "ok unanswered=all");
    Talk(0.2, "");  // a frame that was half out when the mute came
    EXPECT_TRUE(Talk(2.2, "10 26 10 03").empty());
    EXPECT_TRUE(Talk(1.5, "10 25 10 03").empty());  // no reset, no version after it

    // A full stop forgets the mute; a scenario loaded then speaks.
    EXPECT_EQ(Control("silent purge"), "ok");
    EXPECT_NE(Control("status").find(" unanswered=-"), std::string::npos);
    EXPECT_EQ(Control("scenario load sim1"), "ok");
    EXPECT_TRUE(Has(PacketIds(Talk(1.5, "10 35 10 03")), 0x55));
    EXPECT_EQ(Control("silent 3"), "err usage: silent [purge] | silent ID[-SUB]... | silent all | silent off (ID, SUB: QBIN bytes in hex)");
}

}  // namespace
}  // namespace rxsim
