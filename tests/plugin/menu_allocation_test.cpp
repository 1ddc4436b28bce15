// The effect menu when memory runs out: nothing half-built is handed over, nothing leaks.

#include <gtest/gtest.h>

#include "plugin/entry_points.h"
#include "tests/plugin/allocation_probe.h"

namespace {

// The list, ten records and the icon name.
constexpr size_t kMenuBlocks = 12;

TEST(MenuAllocation, EveryBlockHandedOverComesBackThroughFreeMemory) {
    wt::test::AllocationProbe allocations;
    if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
    PluginMenuItem** list = nullptr;
    char* icon = nullptr;
    ts3plugin_initMenus(&list, &icon);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(allocations.live(), kMenuBlocks);
    for (PluginMenuItem** item = list; *item != nullptr; ++item) ts3plugin_freeMemory(*item);
    ts3plugin_freeMemory(list);
    ts3plugin_freeMemory(icon);
    EXPECT_EQ(allocations.live(), 0u);
}

TEST(MenuAllocation, AFailedAllocationHandsOverNothingAndReleasesWhatWasMade) {
    for (int failAt = 0; failAt < static_cast<int>(kMenuBlocks); ++failAt) {
        wt::test::AllocationProbe allocations(failAt);
        if (!wt::test::AllocationProbe::active()) GTEST_SKIP() << "allocations not visible here";
        PluginMenuItem** list = reinterpret_cast<PluginMenuItem**>(&list);
        char* icon = reinterpret_cast<char*>(&icon);
        ts3plugin_initMenus(&list, &icon);
        EXPECT_EQ(list, nullptr) << "allocation " << failAt << " failed";
        EXPECT_EQ(icon, nullptr) << "allocation " << failAt << " failed";
        EXPECT_EQ(allocations.live(), 0u) << "allocation " << failAt << " failed";
        EXPECT_EQ(allocations.allocations(), static_cast<size_t>(failAt) + 1);
    }
}

}  // namespace
