// The thinning of a fast replay's posted events: repeats within the interval
// are held, the held ones come out once due or when flushed, distinct events
// are never merged.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "link/EventCoalescer.h"

namespace {

typedef std::vector<std::pair<int32_t, int32_t>> Delivered;

Delivered Take(CEventCoalescer& c, uint32_t now, bool all)
{
    Delivered out;
    c.TakeHeld(now, all, [&](int32_t e, int32_t d) { out.push_back({e, d}); });
    return out;
}

}  // namespace

TEST(EventCoalescer, RepeatsWithinTheIntervalAreHeldAndComeOutOnceDue)
{
    CEventCoalescer c(20);
    EXPECT_TRUE(c.Admit(13, 3, 0));
    for (uint32_t t = 1; t < 20; ++t) EXPECT_FALSE(c.Admit(13, 3, t)) << t;
    EXPECT_EQ(1u, c.GetHeldCount());
    EXPECT_TRUE(Take(c, 19, false).empty()) << "not due yet";
    EXPECT_EQ((Delivered{{13, 3}}), Take(c, 20, false));
    EXPECT_EQ(0u, c.GetHeldCount());
    EXPECT_TRUE(Take(c, 100, true).empty()) << "each held event comes out once";
    // Counted as delivered at 20: the next repeat is held again until 40.
    EXPECT_FALSE(c.Admit(13, 3, 30));
    EXPECT_TRUE(c.Admit(13, 3, 40));
    EXPECT_EQ(0u, c.GetHeldCount()) << "passing again releases the hold";
}

TEST(EventCoalescer, DistinctCodesAndDetailsAreNeverMerged)
{
    CEventCoalescer c(20);
    // Tracking rows, positions, frames: each pair passes the first time.
    for (int32_t detail = 0; detail < 12; ++detail) EXPECT_TRUE(c.Admit(15, detail, 5)) << detail;
    EXPECT_TRUE(c.Admit(15, 255, 5));
    EXPECT_TRUE(c.Admit(3, 0, 5));
    EXPECT_TRUE(c.Admit(13, 3, 5));
    for (int32_t detail = 0; detail < 12; ++detail) EXPECT_FALSE(c.Admit(15, detail, 6)) << detail;
    EXPECT_EQ(12u, c.GetHeldCount());
    Delivered flushed = Take(c, 7, true);
    EXPECT_EQ(12u, flushed.size());
    for (const auto& e : flushed) EXPECT_EQ(15, e.first);
    EXPECT_EQ(0u, c.GetHeldCount());
}

TEST(EventCoalescer, ABurstBecomesOneEventPerIntervalAndTheLastStateArrives)
{
    CEventCoalescer c(20);
    int delivered = 0;
    // 100,000 position events in 100 ms, flushed as a reader would between blocks.
    for (uint32_t i = 0; i < 100000; ++i) {
        const uint32_t now = i / 1000;
        if (c.Admit(3, 0, now)) ++delivered;
        delivered += static_cast<int>(Take(c, now, false).size());
    }
    delivered += static_cast<int>(Take(c, 100, true).size());
    EXPECT_LE(delivered, 7);
    EXPECT_GE(delivered, 5);
    EXPECT_EQ(0u, c.GetHeldCount());
}

TEST(EventCoalescer, TheClockMayWrap)
{
    CEventCoalescer c(20);
    const uint32_t t = 0xFFFFFFF0u;
    EXPECT_TRUE(c.Admit(9, 0, t));
    EXPECT_FALSE(c.Admit(9, 0, t + 10));
    EXPECT_EQ((Delivered{{9, 0}}), Take(c, t + 25, false));
    c.Reset();
    EXPECT_TRUE(c.Admit(9, 0, 3));
}
