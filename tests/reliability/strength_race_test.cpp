// Strength presses arriving on several client threads at once. One press is held right
// after it has read the strength, while the other presses run to the end on threads of
// their own; then it goes on. Every press must count: the strength afterwards is the one
// the same presses give one after the other.

#include <gtest/gtest.h>

#include <iterator>
#include <thread>
#include <vector>

#include "plugin/entry_points.h"
#include "tests/reliability/settings_read_hook.h"
#include "tests/support/gate.h"
#include "tests/support/silenced_stdout.h"
#include "voice/effect_settings.h"

namespace {

constexpr int kMenuTypeGlobal = 0;
constexpr int kStrengthUpItem = 18;
constexpr int kStrengthDownItem = 19;

wt::test::Gate* pressRead = nullptr;
wt::test::Gate* pressMayGoOn = nullptr;

// Gates stay open: a second read on the held thread passes straight through.
void holdAtRead(const wt::EffectSnapshot&) {
    pressRead->open();
    pressMayGoOn->wait();
}

void press(int item) {
    ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, item, 0);
}

float strengthNow() {
    return wt::loadEffectSettings().strength;
}

float oneAfterTheOther(float from, int item, int presses) {
    wt::storeEffectStrength(from);
    for (int i = 0; i < presses; ++i) press(item);
    return strengthNow();
}

// `presses` presses of `item` from `from`: the first held after its read, the others on
// threads of their own meanwhile.
float atOnce(float from, int item, int presses) {
    wt::storeEffectStrength(from);
    wt::test::Gate read;
    wt::test::Gate mayGoOn;
    pressRead = &read;
    pressMayGoOn = &mayGoOn;
    std::thread held([&] {
        wt::test::settingsReadHook = holdAtRead;
        press(item);
        wt::test::settingsReadHook = nullptr;
    });
    read.wait();
    std::vector<std::thread> others;
    for (int i = 1; i < presses; ++i) others.emplace_back([&] { press(item); });
    for (std::thread& other : others) other.join();
    mayGoOn.open();
    held.join();
    return strengthNow();
}

TEST(StrengthRace, PressesAtOnceOnSeveralThreadsGiveTheStrengthOfPressesInTurn) {
    const struct {
        float from;
        int item;
        int presses;
    } cases[] = {
        {0.0f, kStrengthUpItem, 2},
        {1.0f, kStrengthDownItem, 2},
        {0.25f, kStrengthUpItem, 4},
        {1.0f, kStrengthDownItem, 4},
    };

    float inTurn[std::size(cases)];
    float together[std::size(cases)];
    {
        wt::test::SilencedStdout silenced;  // the menu echoes every event
        for (size_t i = 0; i < std::size(cases); ++i) {
            inTurn[i] = oneAfterTheOther(cases[i].from, cases[i].item, cases[i].presses);
            together[i] = atOnce(cases[i].from, cases[i].item, cases[i].presses);
        }
        wt::storeEffectStrength(wt::kInitialStrength);
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(together[i], inTurn[i]) << cases[i].presses << " presses of item "
                                          << cases[i].item << " from " << cases[i].from;
    }
}

}  // namespace
