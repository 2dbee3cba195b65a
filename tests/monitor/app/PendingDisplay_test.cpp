// What the display timer still has to show after a burst of events.
#include <gtest/gtest.h>

#include "app/PendingDisplay.h"

TEST(PendingDisplay, TrackingRowsCollectAndEveryRowCoversThemAll)
{
    CPendingDisplay pending;
    pending.MarkTrackingRow(3, 12);
    pending.MarkTrackingRow(0, 12);
    pending.MarkTrackingRow(12, 12);   // no such row
    pending.MarkTrackingRow(-1, 12);
    EXPECT_TRUE(pending.IsPending(DISPLAY_TRACKING));
    EXPECT_EQ((1u << 3) | 1u, pending.GetTrackingRows());
    pending.MarkTrackingRow(CPendingDisplay::kAllRows, 12);
    EXPECT_EQ(0xFFFu, pending.GetTrackingRows());

    CPendingDisplay bad;
    bad.MarkTrackingRow(40, 12);
    EXPECT_TRUE(bad.IsEmpty()) << "a detail naming no row marks nothing";
}

TEST(PendingDisplay, TheLatestDetailAndVelocityDecideAndAReportedTimeCounts)
{
    CPendingDisplay pending;
    pending.Mark(DISPLAY_ANTENNA, 2);
    pending.Mark(DISPLAY_ANTENNA, 1);
    pending.Mark(DISPLAY_ALMANAC, 1);
    pending.MarkVelocity(true);
    pending.MarkVelocity(false);
    pending.MarkTime(true);
    pending.MarkTime(false);
    EXPECT_EQ(1, pending.GetDetail(DISPLAY_ANTENNA));
    EXPECT_EQ(1, pending.GetDetail(DISPLAY_ALMANAC));
    EXPECT_FALSE(pending.IsVelocityValid());
    EXPECT_TRUE(pending.IsTimeFromReport()) << "the time query was answered within the burst";

    pending.Drop(DISPLAY_ANTENNA);
    EXPECT_FALSE(pending.IsPending(DISPLAY_ANTENNA));
    pending.Clear();
    EXPECT_TRUE(pending.IsEmpty());
    pending.MarkTime(false);
    EXPECT_FALSE(pending.IsTimeFromReport()) << "a shown report does not count for the next burst";
}

TEST(PendingDisplay, EveryGroupIsShownOnceInTheOrder)
{
    uint32_t seen = 0;
    for (int i = 0; i < kDisplayGroupCount; ++i) {
        EXPECT_EQ(0u, seen & kDisplayOrder[i]) << "twice: " << kDisplayOrder[i];
        seen |= kDisplayOrder[i];
    }
    EXPECT_EQ((DISPLAY_CLOCK << 1) - 1u, seen);
    // Fix mode and health come first: they decide whether a live receiver's
    // fields may be filled at all.
    EXPECT_EQ(DISPLAY_FIX_MODE, kDisplayOrder[0]);
    EXPECT_EQ(DISPLAY_HEALTH, kDisplayOrder[1]);
}
