// The effect menu's table seen from both ends: the item that carries a kind's name is the
// item that selects that kind, for every kind and "No effect". And the menu when memory
// runs out: nothing half-built is handed over, nothing leaks. The same menu driven
// through the built library is effect_menu_abi_test.cpp.

#include "voice/effect_menu.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "tests/support/allocation_probe.h"
#include "voice/effect_settings.h"
#include "voice_fixture.h"

namespace {

using EffectMenuTable = VoiceTest;

TEST_F(EffectMenuTable, EveryKindIsSelectedByTheOneItemThatCarriesItsName) {
    PluginMenuItem** list = nullptr;
    char* icon = nullptr;
    ts3plugin_initMenus(&list, &icon);
    ASSERT_NE(list, nullptr);

    // No item selects this value, so an item that leaves it selected none.
    constexpr auto kUnselected = static_cast<wt::EffectKind>(INT32_MIN);
    std::map<int32_t, int> itemsSelecting;
    for (PluginMenuItem** item = list; *item != nullptr; ++item) {
        wt::storeEffectKind(kUnselected);
        ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, (*item)->id, 0);
        const wt::EffectKind kind = wt::loadEffectSettings().kind;
        if (kind == kUnselected) continue;  // a strength item
        ++itemsSelecting[static_cast<int32_t>(kind)];
        const char* name = wt::effectMenuText(kind);
        ASSERT_NE(name, nullptr) << (*item)->text;
        EXPECT_STREQ(name, (*item)->text) << "item " << (*item)->id;
    }
    for (PluginMenuItem** item = list; *item != nullptr; ++item) ts3plugin_freeMemory(*item);
    ts3plugin_freeMemory(list);
    ts3plugin_freeMemory(icon);

    for (int32_t kind = -1; kind < wt::kEffectKindCount; ++kind)
        EXPECT_EQ(itemsSelecting[kind], 1) << "kind " << kind;
    EXPECT_EQ(itemsSelecting.size(), static_cast<size_t>(wt::kEffectKindCount) + 1);
}

TEST(EffectMenuText, NoneIsNamedAndValuesNoItemSelectsAreNot) {
    EXPECT_STREQ(wt::effectMenuText(wt::EffectKind::None), "No effect");
    for (const int32_t kind : {-2, wt::kEffectKindCount, INT32_MIN, INT32_MAX})
        EXPECT_EQ(wt::effectMenuText(static_cast<wt::EffectKind>(kind)), nullptr) << kind;
}

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
