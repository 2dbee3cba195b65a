// A live link on COM5 fed by rxsim's scripted streams: the reader's 13
// counters equal what rxsim says it sent, and a listener window sees each
// good frame posted once (event 13, detail = its framing) and each frame sent
// once as a raw frame (event 34).
#include <gtest/gtest.h>

#include "E2eSupport.h"

using namespace e2e;

namespace {

struct KindDetail {
    int detail;              // ProtocolKind in the event's low word
    const char* goodKey;     // rxsim's count of good frames of that kind
    const char* framesKey;   // rxsim's count of frames of that kind
};

const KindDetail kKinds[] = {
    {PROTO_QBIN, "qbin_good", "frames_qbin"},   {PROTO_NMEA, "nmea_good", "frames_nmea"},
    {PROTO_QTXT, "qtxt_good", "frames_qtxt"},   {PROTO_KESTO, "kesto_good", "frames_kesto"},
    {PROTO_QOP, "qop_good", "frames_qop"},      {20, "mon_good", "frames_mon"},
};

struct ScriptCase {
    const char* script;
    int count;
};

// "mixed": all six framings with garbage, broken DLE sequences, bad checksums
// after a first good frame, oversized frames and "!5". "badfirst": bad frames
// before the first good one, which must not be counted. "good": clean frames.
const ScriptCase kScripts[] = {{"mixed", 3}, {"badfirst", 1}, {"good", 20}};

TEST(LinkCountersE2e, CountersAndListenerEventsMatchWhatRxsimSent)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    for (const ScriptCase& sc : kScripts) {
        SCOPED_TRACE(sc.script);
        ASSERT_TRUE(sim.Quiet()) << sim.LastError();
        EventListener listener;
        ASSERT_TRUE(listener.Create());
        CController link;
        link.AddListener(listener.GetSafeHwnd(), WM_RECEIVER_EVENT);
        int32_t error = -1;
        ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;

        ASSERT_TRUE(sim.Ok("script " + std::string(sc.script) + " " + std::to_string(sc.count)))
            << sim.LastError();
        ASSERT_TRUE(sim.WaitSent()) << sim.LastError();
        RxsimTruth truth;
        ASSERT_TRUE(sim.Truth(truth)) << sim.LastError();
        ASSERT_GT(truth.Get("bytes"), 0u);

        // Every byte read, and every posted frame event delivered: the posts
        // of the last frame may still be queued when its bytes are counted.
        const uint64_t posted = truth.Get("good") + truth.Get("mon_good") + truth.Get("bang");
        ASSERT_TRUE(PumpUntil([&] {
            return link.GetProtocol().GetStatistic(LINK_BYTES) >= truth.Get("bytes") &&
                   static_cast<uint64_t>(listener.Count(EV_FRAME_RECEIVED)) >= posted;
        })) << "bytes " << link.GetProtocol().GetStatistic(LINK_BYTES) << " of " << truth.text;
        link.Disconnect();
        PumpPending();

        EXPECT_EQ(CounterDifferences(Counters(link.GetProtocol()), truth), "") << truth.text;

        for (const KindDetail& k : kKinds) {
            SCOPED_TRACE(k.detail);
            EXPECT_EQ(static_cast<uint64_t>(listener.CountDetail(EV_FRAME_RECEIVED, k.detail, false)),
                      truth.Get(k.goodKey));
            EXPECT_EQ(listener.CountDetail(EV_FRAME_RECEIVED, k.detail, true), 0);
            EXPECT_EQ(static_cast<uint64_t>(listener.CountDetail(EV_RAW_FRAME, k.detail, true)),
                      truth.Get(k.framesKey));
        }
        EXPECT_EQ(static_cast<uint64_t>(listener.CountDetail(EV_FRAME_RECEIVED, 17, false)),
                  truth.Get("bang"));
        EXPECT_EQ(static_cast<uint64_t>(listener.Count(EV_FRAME_RECEIVED)), posted);
        EXPECT_EQ(static_cast<uint64_t>(listener.Count(EV_RAW_FRAME)), truth.Get("frames"));
        for (const auto& s : listener.seen) {
            EXPECT_EQ(static_cast<uint32_t>(s.lParam) >> 16, 5u) << "event " << s.event;
            if (s.event == EV_RAW_FRAME) {
                EXPECT_TRUE(s.sent);
            }
        }
        listener.DestroyWindow();
    }
}

// The bundled recording (made by rxsim: 60 seconds, each with a QBIN time and
// health report and three NMEA sentences), replayed by rxsim over the line.
TEST(LinkCountersE2e, BundledRecordingReplayedOverTheLineCountsEveryFrame)
{
    RxsimClient sim(5);
    E2E_REQUIRE_RXSIM(sim);
    CController link;
    int32_t error = -1;
    ASSERT_TRUE(link.OpenSerial(Port(5), PROTO_QBIN, &error)) << error;
    // rxsim runs in the repository's root.
    ASSERT_TRUE(sim.Ok("replay tests/data/sample_qbin_nmea.log 50000")) << sim.LastError();
    ASSERT_TRUE(sim.WaitSent());
    ASSERT_TRUE(PumpUntil([&] { return link.GetProtocol().GetStatistic(LINK_GOOD) >= 300; }));
    link.Disconnect();
    std::vector<uint32_t> expected(LINK_COUNTER_COUNT, 0);
    expected[LINK_BYTES] = 12720;
    expected[LINK_GOOD] = 300;
    expected[LINK_QBIN_GOOD] = 120;
    expected[LINK_NMEA_GOOD] = 180;
    EXPECT_EQ(CounterDifferences(Counters(link.GetProtocol()), expected), "");
}

}  // namespace
