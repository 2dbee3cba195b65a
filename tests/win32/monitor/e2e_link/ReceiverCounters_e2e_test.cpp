// Every receiver rxsim plays, with every fault it can put into its stream:
// the link's 13 counters equal what rxsim says it sent (its truth). The
// faults are bad checksums, cut frames, garbage, and start bytes of every
// framing right before good frames, which a reader must rescan to find them.
#include <gtest/gtest.h>

#include "ReceiverLink.h"

using namespace e2e;

namespace {

struct ScenarioCase {
    const char* file;
    ProtocolKind kind;
    bool qbinFaults;  // the QBIN receiver's own faults instead
};

const ScenarioCase kScenarios[] = {
    {"sim1.txt", PROTO_QBIN, true},        {"nmea-maker.txt", PROTO_NMEA, false},
    {"nmea-sirf.txt", PROTO_NMEA, false},  {"nmea-nemerix.txt", PROTO_NMEA, false},
    {"nmea-qinetiq.txt", PROTO_NMEA, false}, {"nmea-tyco.txt", PROTO_NMEA, false},
    {"nmea-unav.txt", PROTO_NMEA, false},  {"nmea-navman.txt", PROTO_NMEA, false},
    {"nmea-ublox.txt", PROTO_NMEA, false}, {"qtxt-fix.txt", PROTO_QTXT, false},
    {"qop-fix.txt", PROTO_QOP, false},     {"kesto-fix.txt", PROTO_KESTO, false},
    {"mon-boot.txt", PROTO_QBIN, false},
};

class ReceiverCountersE2e : public ReceiverLinkE2e {};

TEST_F(ReceiverCountersE2e, EveryReceiverWithEveryFaultIsCountedAsTheTruthSays)
{
    E2E_REQUIRE_RXSIM(sim);
    for (const ScenarioCase& c : kScenarios) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(sim.Quiet());
        ASSERT_NO_FATAL_FAILURE(Open(c.kind, c.file, false));
        PumpFor(300);  // the first period
        if (c.qbinFaults) {
            ASSERT_TRUE(sim.Ok("scenario pause"));
            for (const char* fault : {"falsestart 2", "garbage 300", "announced"})
                ASSERT_TRUE(sim.Ok(std::string("inject ") + fault));
            EXPECT_EQ(CountersAgainstTruth(), "");
        } else {
            EXPECT_EQ(InjectEveryFault(), "");
        }
        link.Disconnect();
        PumpPending();
        listener.DestroyWindow();
    }
}

}  // namespace
