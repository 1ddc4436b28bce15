// A client capturing for two server tabs on two audio threads calls the capture entry
// from both at once. The rings, their positions, the work arrays and the remap plan
// belong to one call at a time: an overlapping call hands back silence and touches none
// of them, without waiting.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "plugin/entry_points.h"
#include "tests/reliability/settings_read_hook.h"
#include "tests/support/gate.h"
#include "tests/support/silenced_stdout.h"
#include "voice/block_size.h"

namespace {

constexpr int kMenuTypeGlobal = 0;
constexpr int kNoEffectItem = 13;
constexpr int kRobotItem = 11;
constexpr int kStrengthUpItem = 18;
constexpr int kStrengthDownItem = 19;

wt::test::Gate* blockEntered = nullptr;
wt::test::Gate* blockMayGoOn = nullptr;

void holdBlock(const wt::EffectSnapshot&) {
    blockEntered->open();
    blockMayGoOn->wait();
}

std::vector<short> ramp(int count, short from) {
    std::vector<short> samples(count);
    for (int i = 0; i < count; ++i) samples[i] = static_cast<short>(from + i);
    return samples;
}

// One call is held inside its block step while another arrives on a second thread.
TEST(CaptureOverlap, SecondCallGetsSilenceAndLeavesTheRingsAlone) {
    ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, kNoEffectItem, 0);
    const std::vector<short> first = ramp(wt::kBlockSize, 1000);
    wt::test::Gate entered;
    wt::test::Gate mayGoOn;
    blockEntered = &entered;
    blockMayGoOn = &mayGoOn;
    std::thread held([&] {
        std::vector<short> samples = first;
        int flags = 0;
        wt::test::settingsReadHook = holdBlock;
        ts3plugin_onEditCapturedVoiceDataEvent(1, samples.data(), wt::kBlockSize, 1, &flags);
        wt::test::settingsReadHook = nullptr;
    });
    entered.wait();

    constexpr int kFrames = 480;
    constexpr int kChannels = wt::kRingChannels + 1;
    std::vector<short> overlapping(kFrames * kChannels, 7);
    int flags = 4;
    ts3plugin_onEditCapturedVoiceDataEvent(2, overlapping.data(), kFrames, kChannels, &flags);
    mayGoOn.open();
    held.join();

    EXPECT_EQ(flags, 4 | 1 | 2);
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int c = 0; c < kChannels; ++c) {
            ASSERT_EQ(overlapping[frame * kChannels + c], c < wt::kRingChannels ? 0 : 7)
                << "frame " << frame << ", channel " << c;
        }
    }
    // The overlapping call took no ring position: the next block out is the held call's
    // block in, exactly one block late.
    std::vector<short> next = ramp(wt::kBlockSize, -2000);
    ts3plugin_onEditCapturedVoiceDataEvent(1, next.data(), wt::kBlockSize, 1, &flags);
    EXPECT_EQ(next, first);
}

// Two capture threads at once while a third works the menu; the sanitizer builds fail on
// any access out of bounds or any data race.
TEST(CaptureOverlap, TwoCaptureThreadsAndTheMenuAtOnce) {
    constexpr int kCalls = 2000;
    constexpr int kFrames = 480;  // blocks straddle calls
    std::atomic<int> ready{0};
    std::atomic<int> running{2};
    auto capture = [&](uint64_t handler, int channels) {
        std::vector<short> samples(kFrames * channels);
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        for (int call = 0; call < kCalls; ++call) {
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<short>((call * 7919 + i * 104729) & 0x7fff);
            int flags = 0;
            ts3plugin_onEditCapturedVoiceDataEvent(handler, samples.data(), kFrames, channels,
                                                   &flags);
            EXPECT_EQ(flags, 3);
        }
        running.fetch_sub(1);
    };
    wt::test::SilencedStdout silenced;  // the menu echoes every event
    std::thread tabA(capture, 1, 1);
    std::thread tabB(capture, 2, 2);
    const int items[] = {kRobotItem, 6, kStrengthUpItem, 9, kStrengthDownItem, kNoEffectItem};
    for (int i = 0; running.load() > 0; ++i)
        ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, items[i % 6], 0);
    tabA.join();
    tabB.join();
}

}  // namespace
