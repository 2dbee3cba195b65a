// Dock slots, dock geometry, restored-window centring and Windows version
// codes: the arithmetic behind the Win32 helpers.
#include <gtest/gtest.h>

#include "model/DockLayout.h"
#include "model/ProfileStore.h"
#include "model/WindowsVersion.h"

namespace {

TEST(DockLayout, GeometryPerSlot)
{
    const DockRect main = {100, 200, 500, 500};  // 400 x 300
    const DockRect dialog = {0, 0, 200, 100};    // 200 x 100
    const struct {
        int slot;
        bool centre, matchSize;
        DockRect expected;
    } cases[] = {
        {DOCK_RIGHT, false, false, {505, 200, 705, 300}},
        {DOCK_RIGHT, true, false, {505, 300, 705, 400}},
        {DOCK_RIGHT, true, true, {505, 200, 905, 500}},
        {DOCK_BELOW, false, false, {100, 505, 300, 605}},
        {DOCK_BELOW, true, false, {200, 505, 400, 605}},
        {DOCK_BELOW, false, true, {100, 505, 500, 805}},
        {DOCK_BELOW_RIGHT, true, false, {505, 505, 705, 605}},
        {DOCK_BELOW_RIGHT, false, true, {505, 505, 905, 805}},
    };
    for (const auto& c : cases) {
        const DockRect r = ComputeDockedRect(c.slot, main, dialog, 5, c.centre, c.matchSize);
        EXPECT_EQ(c.expected.left, r.left) << c.slot << c.centre << c.matchSize;
        EXPECT_EQ(c.expected.top, r.top) << c.slot << c.centre << c.matchSize;
        EXPECT_EQ(c.expected.right, r.right) << c.slot << c.centre << c.matchSize;
        EXPECT_EQ(c.expected.bottom, r.bottom) << c.slot << c.centre << c.matchSize;
    }
}

TEST(DockLayout, SlotsAreReservedAndReleased)
{
    int a, b, c, d;
    DockSlots slots;
    EXPECT_EQ(-1, slots.Choose(&a, false)) << "not docked, not reserving";
    EXPECT_EQ(0, slots.Choose(&a, true));
    slots.Hold(0, &a);
    EXPECT_EQ(0, slots.Choose(&a, false));
    EXPECT_EQ(0, slots.Choose(&a, true)) << "docking again keeps the slot";
    EXPECT_EQ(1, slots.Choose(&b, true));
    slots.Hold(1, &b);
    slots.Hold(2, &c);
    EXPECT_EQ(-1, slots.Choose(&d, true)) << "all full";
    slots.Release(&b);
    EXPECT_EQ(nullptr, slots.Get(1));
    EXPECT_EQ(1, slots.Choose(&d, true));
    EXPECT_EQ(nullptr, slots.Get(3));
    EXPECT_EQ(-1, slots.Choose(nullptr, true));

    int mainA, mainB;
    GetDockSlots(&mainA).Hold(0, &a);
    EXPECT_EQ(&a, GetDockSlots(&mainA).Get(0));
    EXPECT_EQ(nullptr, GetDockSlots(&mainB).Get(0));
    GetDockSlots(&mainA).Release(&a);
}

TEST(DockLayout, RestoredOriginCentresWhenUnset)
{
    const DockRect window = {10, 20, 310, 220};  // 300 x 200
    const DockRect desktop = {0, 0, 1024, 768};
    int32_t x = 0, y = 0;
    ComputeRestoredOrigin(0, 0, window, desktop, x, y);
    EXPECT_EQ(362, x);
    EXPECT_EQ(284, y);
    ComputeRestoredOrigin(0, 50, window, desktop, x, y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(50, y);
}

TEST(WindowsVersion, CodesForEveryVersion)
{
    const struct {
        WindowsVersionInfo info;
        int32_t code;
    } cases[] = {
        {{4, 0, 950, 1}, WINVER_95},     {{4, 10, 1998, 1}, WINVER_98},
        {{4, 90, 3000, 1}, WINVER_ME},   {{5, 0, 2195, 2}, WINVER_2000},
        {{4, 0, 1381, 2}, WINVER_NT4_OR_OLDER}, {{3, 51, 1057, 2}, WINVER_NT4_OR_OLDER},
        {{5, 1, 2600, 2}, WINVER_XP},    {{5, 2, 3790, 2}, WINVER_LATER_NT},
        {{6, 1, 7601, 2}, WINVER_LATER_NT}, {{10, 0, 19045, 2}, WINVER_LATER_NT},
        {{4, 20, 0, 1}, WINVER_UNKNOWN}, {{3, 10, 0, 0}, WINVER_UNKNOWN},
        {{5, 0, 0, 3}, WINVER_UNKNOWN},
    };
    for (const auto& c : cases) {
        SetInjectedWindowsVersion(&c.info);
        EXPECT_EQ(c.code, DetectWindowsVersion())
            << c.info.dwPlatformId << " " << c.info.dwMajorVersion << "." << c.info.dwMinorVersion;
        EXPECT_EQ(c.code, GetDetectedWindowsVersion());
    }
    SetInjectedWindowsVersion(nullptr);
}

TEST(ProfileStore, MemoryStoreKeepsSectionsApart)
{
    MemoryProfileStore store;
    IProfileStore* previous = SetProfileStore(&store);
    EXPECT_EQ(&store, &GetProfileStore());
    EXPECT_EQ(7, GetProfileStore().GetProfileInt("Pos", "x1", 7));
    EXPECT_TRUE(GetProfileStore().WriteProfileInt("Pos", "x1", -20));
    EXPECT_TRUE(GetProfileStore().WriteProfileInt("Po", "sx1", 5));
    EXPECT_EQ(-20, GetProfileStore().GetProfileInt("Pos", "x1", 7));
    EXPECT_EQ(5, GetProfileStore().GetProfileInt("Po", "sx1", 7));
    SetProfileStore(previous);
}

} // namespace
