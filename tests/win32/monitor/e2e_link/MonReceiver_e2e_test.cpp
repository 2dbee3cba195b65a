// A receiver in its monitor mode on COM5: rxsim plays mon-boot.txt. The link
// speaks MON once it is told to; the version reply names the firmware and a
// memory read comes back to a listener as a QBIN memory reply (event 34).
#include <gtest/gtest.h>

#include <cstring>

#include "ReceiverLink.h"
#include "framework/CArray.h"

using namespace e2e;

namespace {

class MonReceiverE2e : public ReceiverLinkE2e {
protected:
    void OpenMon()
    {
        ASSERT_NO_FATAL_FAILURE(Open(PROTO_QBIN, "mon-boot.txt", false));
        ASSERT_TRUE(link.SetProtocolKind(PROTO_MON));
    }

    std::string Differences()
    {
        std::string d;
        FirmwareVersionRecord fw = Firmware(Model(), 0);
        Note(d,
             strcmp(fw.name, "Monitor Mode") == 0 && fw.major == 2 && fw.minor == 31 && fw.build == 0 &&
                 fw.month == 4 && fw.day == 22 && fw.year == 9,
             "firmware record 0 " + Describe(fw));
        return d;
    }
};

TEST_F(MonReceiverE2e, VersionAndMemoryReadReachModelAndListener)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(OpenMon());
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    EXPECT_TRUE(seen.WaitFor("02 00 76 00 76 03")) << seen.List();
    EXPECT_EQ(Hold([&] { return Differences(); }, 5000), "");

    const int before = listener.CountDetail(EV_RAW_FRAME, PROTO_QBIN, true);
    ASSERT_TRUE(link.GetProtocol().AccessMemory(1, 0x1000, 0));
    EXPECT_EQ(Model().GetMonReadAddress(), 0x1000u);
    EXPECT_TRUE(seen.WaitFor("02 00 80 05 00 00 10 00 02 97 03")) << seen.List();
    ASSERT_TRUE(PumpUntil([&] { return listener.CountDetail(EV_RAW_FRAME, PROTO_QBIN, true) > before; }, 5000))
        << "no memory reply at the listener";
    CByteArray raw;
    Model().GetLastRawFrame(raw);
    const uint8_t expected[] = {0x10, 0x5F, 0x01, 0x02, 0x01, 0x00, 0x00, 0x10, 0x00, 0x12, 0x34, 0x10, 0x03};
    ASSERT_EQ(raw.GetSize(), static_cast<INT_PTR>(sizeof expected));
    EXPECT_EQ(memcmp(raw.GetData(), expected, sizeof expected), 0);
}

TEST_F(MonReceiverE2e, FaultsChangeNothingAndEveryFrameReachesTheListener)
{
    E2E_REQUIRE_RXSIM(sim);
    ASSERT_NO_FATAL_FAILURE(OpenMon());
    ASSERT_TRUE(link.GetProtocol().QueryVersion());
    // MON frames touch no counter; each is shown to the listeners once.
    ASSERT_NO_FATAL_FAILURE(CheckFaultsChangeNothing([&] { return Differences(); }));
    RxsimTruth truth;
    ASSERT_TRUE(sim.Truth(truth));
    EXPECT_EQ(static_cast<uint64_t>(listener.CountDetail(EV_RAW_FRAME, PROTO_MON, true)), truth.Get("frames_mon"))
        << truth.text;
}

}  // namespace
