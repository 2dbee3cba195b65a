// Everything a receiver sends, faults included, must be unambiguous: no
// start byte among the bytes that carry no frame may open a candidate that
// a reader would deliver as a frame, whatever follows it. Otherwise the
// truth rxsim reports would not be the one right count.
#include <gtest/gtest.h>

#include "StreamCheck.h"
#include "TestSupport.h"

namespace rxsim {
namespace {

using test::Hex;
using test::Scenario;

struct ScenarioCase {
    const char* file;
    std::vector<std::string> faults;   // injects after which the stream goes on
    std::vector<Bytes> commands;       // what the program asks meanwhile
};

std::vector<ScenarioCase> Cases()
{
    const std::vector<std::string> all = {"garbage", "falsestart", "bad", "truncated", "burst"};
    auto nmea = [](const char* body) { return NmeaSentence(body); };
    return {
        {"sim1.txt", {"falsestart"}, {Hex("10 26 10 03"), Hex("10 1C 02 10 03")}},
        {"qbin-fix.txt", {"falsestart"}, {Hex("10 3C 00 10 03")}},
        {"nmea-maker.txt", all, {nmea("PZULQTF"), nmea("GPGPQ,GSV"), nmea("PZULQVR,S")}},
        {"nmea-sirf.txt", all, {}},
        {"nmea-nemerix.txt", all, {nmea("PNMRX600")}},
        {"nmea-qinetiq.txt", all, {nmea("PQNQQ,VERS")}},
        {"nmea-tyco.txt", all, {nmea("PSTMINFOREAD")}},
        {"nmea-unav.txt", all, {nmea("PUNV,GETCONFIG,09")}},
        {"nmea-navman.txt", all, {}},
        {"nmea-ublox.txt", all, {nmea("PZULQTF")}},
        {"qtxt-fix.txt", all, {QtxtSentence("QVR"), QtxtSentence("QST"), QtxtSentence("QLN")}},
        {"qop-fix.txt", all, {QopMessage('B', 'b', {0}), QopMessage('C', 'j', {}), QopMessage('H', 'a', {0})}},
        {"kesto-fix.txt", all, {Hex("81 02 11 01 E9 82"), Hex("81 02 12 03 E6 82"), Hex("81 02 16 02 E3 82")}},
        {"mon-boot.txt", all, {MonFrame(0x76, {}), MonFrame(0x80, Hex("0000100002"))}},
    };
}

TEST(RxsimStreams, NothingButTheFramesCanBeTakenForAFrame)
{
    for (const ScenarioCase& c : Cases()) {
        SCOPED_TRACE(c.file);
        std::string error;
        std::unique_ptr<Receiver> r = LoadReceiver(Scenario(c.file), error);
        ASSERT_TRUE(r != nullptr) << error;
        Garbage garbage;
        std::vector<Segment> stream;
        r->Start(stream);
        r->Tick(stream);
        for (const Bytes& command : c.commands) stream = [&] {
            std::vector<Segment> s = stream;
            std::vector<Segment> reply = test::Ask(*r, command);
            s.insert(s.end(), reply.begin(), reply.end());
            return s;
        }();
        for (const std::string& fault : c.faults) {
            SCOPED_TRACE(fault);
            std::vector<Segment> injected;
            ASSERT_TRUE(r->Inject(fault, 2, garbage, injected));
            // Each fault settles within itself: the next frame, whatever it
            // is, starts between frames.
            EXPECT_EQ(FalseFrames(injected, false), std::vector<size_t>());
            stream.insert(stream.end(), injected.begin(), injected.end());
            r->Tick(stream);
        }
        // Noise longer than any frame closes whatever is still open.
        AddNoise(stream, garbage.Run(600));
        std::vector<size_t> found = FalseFrames(stream, false);
        EXPECT_EQ(found, std::vector<size_t>());
        if (!found.empty()) {
            Bytes all = test::Join(stream);
            size_t at = found[0];
            ADD_FAILURE() << "at " << at << ": "
                          << test::Spaced(Bytes(all.begin() + at, all.begin() + std::min(all.size(), at + 24)));
        }
    }
}

TEST(RxsimStreams, CheckFindsNoiseThatWouldEndAsAFrame)
{
    struct Case {
        const char* noise;
        Bytes after;  // a good frame
        CandidateEnd end;
    };
    const Case cases[] = {
        {"3E", QtxtSentence("RST0C200000"), CANDIDATE_FRAME},           // ">>RST...<"
        {"3E 00", QtxtSentence("RST0C200000"), CANDIDATE_DIES},
        {"10 41 20", QbinPacket(0x46, {0x00, 0x00}), CANDIDATE_DIES},   // DLE 46 breaks it
        {"10 41 10 03", Bytes(), CANDIDATE_FRAME},
        {"10 41 20", Bytes(), CANDIDATE_OPEN},
        {"02 00 FF 00 55 03", Bytes(), CANDIDATE_FRAME},
        {"02 00 FF", NmeaSentence("GPGGA,010203.00,4730.0000,N,12215.0000,W"), CANDIDATE_DIES},  // 0x24 + 6 bytes
        {"81 05 20 20", Hex("82"), CANDIDATE_FRAME},
        {"81 05", KestoPacket(0x02, 0x11, {0x01}), CANDIDATE_DIES},     // starts over
        {"40 41", NmeaSentence("GPGGA,1"), CANDIDATE_DIES},             // id "$G"
        {"24 47 50", NmeaSentence("GPGGA,1"), CANDIDATE_DIES},          // a "$" starts over
        {"24 47 50 47 53 41 0D 0A", Bytes(), CANDIDATE_FRAME},
        {"21 35", Bytes(), CANDIDATE_FRAME},                            // "!5"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.noise);
        std::vector<Segment> s;
        AddNoise(s, Hex(c.noise));
        if (!c.after.empty()) AddGood(s, c.after, KIND_NONE + 1);
        EXPECT_EQ(CandidateAt(test::Join(s), 0), c.end);
        EXPECT_EQ(FalseFrames(s, false).empty(), c.end == CANDIDATE_DIES);
    }
}

TEST(RxsimStreams, FalseStartsStandRightBeforeSentences)
{
    std::string error;
    std::unique_ptr<Receiver> r = LoadReceiver(Scenario("nmea-maker.txt"), error);
    ASSERT_TRUE(r != nullptr) << error;
    Garbage garbage;
    std::vector<Segment> out;
    ASSERT_TRUE(r->Inject("falsestart", 1, garbage, out));
    Tally t;
    std::vector<std::string> starts;
    for (size_t i = 0; i < out.size(); ++i) {
        t.Apply(out[i]);
        if (out[i].kind == KIND_NMEA) {
            ASSERT_GT(i, 0u);
            starts.push_back(test::Spaced(out[i - 1].bytes));
        }
    }
    // Nothing in between: each candidate the start bytes open runs into the
    // sentence, which a reader must still find.
    EXPECT_EQ(starts, (std::vector<std::string>{"10 41", "02 00 FF", "81 05", "40 41", "3E"}));
    EXPECT_EQ(t.kindGood[KIND_NMEA], 5u);
    EXPECT_EQ(t.good, 5u);
    EXPECT_EQ(t.bad, 0u);
    EXPECT_EQ(t.frames, 5u);
}

TEST(RxsimStreams, AStartThatWouldCompleteAFrameGetsWhatEndsIt)
{
    // ">" before a QTXT sentence would make ">>RLN...<" one sentence: a
    // control character ends the false one first.
    std::string error;
    std::unique_ptr<Receiver> r = LoadReceiver(Scenario("qtxt-fix.txt"), error);
    ASSERT_TRUE(r != nullptr) << error;
    Garbage garbage;
    std::vector<Segment> out;
    ASSERT_TRUE(r->Inject("falsestart", 1, garbage, out));
    bool sawEnded = false;
    for (const Segment& s : out)
        if (s.bytes == Hex("3E 00")) sawEnded = true;
    EXPECT_TRUE(sawEnded);
    EXPECT_EQ(FalseFrames(out, false), std::vector<size_t>());
}

TEST(RxsimStreams, TruthCountsBadFramesAndNotCutOnes)
{
    std::string error;
    std::unique_ptr<Receiver> r = LoadReceiver(Scenario("kesto-fix.txt"), error);
    ASSERT_TRUE(r != nullptr) << error;
    Garbage garbage;
    std::vector<Segment> out;
    r->Tick(out);
    ASSERT_TRUE(r->Inject("bad", 1, garbage, out));
    ASSERT_TRUE(r->Inject("truncated", 1, garbage, out));
    Tally t;
    for (const Segment& s : out) t.Apply(s);
    EXPECT_EQ(t.kindGood[KIND_KESTO], 7u + 2u);  // a period, then a good packet after each cut one
    EXPECT_EQ(t.kindBad[KIND_KESTO], 2u);
}

TEST(RxsimStreams, SettlingEndsWhatABrokenFrameLeavesOpen)
{
    const char* kGarbage = "garbage";
    struct Case {
        const char* noise;
        const char* added;  // the ender's bytes, "" for nothing, or kGarbage
    };
    const Case cases[] = {
        // A QBIN packet broken by "10 01" with a KESTO start in its data.
        {"10 84 3F ED 8C 81 3F 91 10 01 B1 0F 10 03", "80 85"},
        {"10 84 3F ED 10 01 B1 0F", "10 00"},  // the packet after the break is still open
        {"41 24 47 50 47 47", "00"},           // a sentence cut short
        {"02 00 05 20", kGarbage},             // a MON frame waiting for its length
        {"10 84 3F 10 01 10 03", ""},          // nothing left open
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.noise);
        std::vector<Segment> fault(1);
        fault[0].bytes = Hex(c.noise);
        Garbage garbage;
        const size_t added = SettleNoise(fault, garbage);
        Bytes all = test::Join(fault);
        for (size_t i = 0; i < all.size(); ++i) EXPECT_NE(CandidateAt(all, i), CANDIDATE_OPEN) << i;
        if (c.added == kGarbage) {
            EXPECT_GE(added, 512u);
        } else {
            std::string ender;
            for (size_t i = 1; i < fault.size(); ++i) ender += test::Spaced(fault[i].bytes);
            EXPECT_EQ(ender, c.added);
        }
    }
}

}  // namespace
}  // namespace rxsim
