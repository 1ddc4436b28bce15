// The effect menu through the built library: the records handed over and given back, and
// menu events as the user hears them in the processed voice.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/voice_probe.h"
#include "tests/testhost/test_host.h"

namespace {

using wt::EffectKind;
using wt::probe::expected;
using wt::probe::fromPlugin;
using wt::testhost::MenuRecord;
using wt::testhost::TestHost;

constexpr int kHigher = 6, kRobot = 11, kAlien = 12, kNoEffect = 13;
constexpr int kUp = 18, kDown = 19;

class EffectMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << host.loadError();
        ASSERT_NE(host.plugin.initMenus, nullptr);
        ASSERT_NE(host.plugin.onMenuItemEvent, nullptr);
    }

    // A menu event of the global menu; returns its console output.
    std::string select(int id, int type = 0, uint64_t handler = 1, uint64_t selected = 0) {
        return host.run([&] { host.plugin.onMenuItemEvent(handler, type, id, selected); }).output;
    }

    TestHost host;
};

TEST_F(EffectMenu, HandsOverTheTenItemsAndTheIconAndTakesEveryBlockBack) {
    const std::vector<MenuRecord> items = {
        {0, 6, "Higher", ""},
        {0, 7, "Lower", ""},
        {0, 8, "Monster", ""},
        {0, 9, "Space Voice", ""},
        {0, 10, "Space Voice 2", ""},
        {0, 11, "Robot", ""},
        {0, 12, "Alien", ""},
        {0, 13, "No effect", ""},
        {0, 18, "Increase effect strength", ""},
        {0, 19, "Decrease effect strength", ""},
    };
    for (int call = 1; call <= 2; ++call) {  // every call builds a fresh set
        wt::testhost::Menus menus;
        const auto outcome = host.run([&] { menus = host.takeMenus(); });
        ASSERT_TRUE(menus.listHandedOver);
        EXPECT_EQ(menus.items, items);
        EXPECT_EQ(menus.icon, "t.png");
        // Ten records, the list and the icon name: twelve blocks, each given back once.
        EXPECT_EQ(host.blocksGivenBack(), 12u * call);
        EXPECT_EQ(outcome.output, "");
        EXPECT_TRUE(outcome.hostCalls.empty());
    }
}

TEST_F(EffectMenu, NullOutPointersGetNothingBuilt) {
    char* icon = reinterpret_cast<char*>(&icon);
    host.plugin.initMenus(nullptr, &icon);
    EXPECT_EQ(icon, nullptr);
    PluginMenuItem** list = reinterpret_cast<PluginMenuItem**>(&list);
    host.plugin.initMenus(&list, nullptr);
    EXPECT_EQ(list, nullptr);
}

TEST_F(EffectMenu, EveryEventPrintsItsArgumentsWhateverItDoes) {
    EXPECT_EQ(select(kRobot, 0, 3, 0),
              "PLUGIN: onMenuItemEvent: serverConnectionHandlerID=3, type=0, menuItemID=11, "
              "selectedItemID=0\n");
    EXPECT_EQ(select(-7, 2, UINT64_MAX, UINT64_MAX),
              "PLUGIN: onMenuItemEvent: serverConnectionHandlerID=18446744073709551615, type=2, "
              "menuItemID=-7, selectedItemID=18446744073709551615\n");
    EXPECT_TRUE(host.hostCalls().empty());
}

TEST_F(EffectMenu, TheVoicePassesUnchangedUntilAnEffectIsPicked) {
    EXPECT_EQ(fromPlugin(host), wt::probe::probeBlock());
}

TEST_F(EffectMenu, EachEffectItemSelectsItsKindAtTheCurrentStrength) {
    for (int id = kHigher; id <= kAlien; ++id) {
        select(id);
        EXPECT_EQ(fromPlugin(host), expected(static_cast<EffectKind>(id - 6), 0.25f))
            << "item " << id;
    }
}

TEST_F(EffectMenu, NoEffectKeepsTheStrengthForTheNextEffect) {
    select(kRobot);
    select(kUp);  // 0.75
    select(kNoEffect);
    EXPECT_EQ(fromPlugin(host), wt::probe::probeBlock());
    select(kAlien);
    EXPECT_EQ(fromPlugin(host), expected(EffectKind::Alien, 0.75f));
    select(kAlien);  // already selected: nothing changes
    EXPECT_EQ(fromPlugin(host), expected(EffectKind::Alien, 0.75f));
}

// Each walk starts from a fresh load (strength 0.25) with "Higher" picked; after every
// press the voice must be "Higher" at the strength of the table.
TEST_F(EffectMenu, StrengthStepsByHalvesAndStopsExactlyAtTheBounds) {
    struct Press {
        int item;
        float strength;  // after the press
    };

    const std::vector<std::vector<Press>> walks = {
        {{kUp, 0.75f},
         {kUp, 1.0f},
         {kUp, 1.0f},
         {kDown, 0.5f},
         {kUp, 1.0f},
         {kDown, 0.5f},
         {kDown, 0.0f},
         {kDown, 0.0f},
         {kUp, 0.5f},
         {kDown, 0.0f}},
        {{kUp, 0.75f}, {kDown, 0.25f}, {kDown, 0.0f}},
        {{kDown, 0.0f}, {kUp, 0.5f}, {kUp, 1.0f}},
    };
    // Distinct strengths must sound distinct, or the walk would prove nothing.
    for (float a : {0.0f, 0.25f, 0.5f, 0.75f}) {
        ASSERT_NE(expected(EffectKind::Higher, a), expected(EffectKind::Higher, a + 0.25f));
    }

    for (size_t w = 0; w < walks.size(); ++w) {
        TestHost fresh;
        ASSERT_TRUE(fresh.loaded()) << fresh.loadError();
        fresh.plugin.onMenuItemEvent(1, 0, kHigher, 0);
        EXPECT_EQ(fromPlugin(fresh), expected(EffectKind::Higher, 0.25f));
        for (size_t p = 0; p < walks[w].size(); ++p) {
            const Press& press = walks[w][p];
            fresh.run([&] { fresh.plugin.onMenuItemEvent(1, 0, press.item, 0); });
            EXPECT_EQ(fromPlugin(fresh), expected(EffectKind::Higher, press.strength))
                << "walk " << w << ", press " << p;
        }
    }
}

TEST_F(EffectMenu, OtherItemsAndOtherMenusChangeNothing) {
    select(kHigher);
    const auto before = fromPlugin(host);
    ASSERT_EQ(before, expected(EffectKind::Higher, 0.25f));

    for (int id : {INT_MIN, -1, 0, 5, 14, 15, 16, 17, 20, INT_MAX}) {
        EXPECT_FALSE(select(id).empty());
        EXPECT_EQ(fromPlugin(host), before) << "item " << id;
    }
    for (int type : {1, 2, -1, 3}) {
        for (int id : {kRobot, kNoEffect, kUp, kDown}) {
            EXPECT_FALSE(select(id, type).empty());
            EXPECT_EQ(fromPlugin(host), before) << "type " << type << ", item " << id;
        }
    }
}

}  // namespace
