// The effect settings are the one datum two client threads share: the menu writes them
// while the capture thread reads them. Here one thread feeds the capture entry over many
// blocks while another selects effects and steps the strength through the menu entry.
// ThreadSanitizer (preset tsan) fails the run on any data race; in every build each block
// must have been processed with one admissible setting, read once for the whole block:
// the block that came out equals the literal block step under the setting read for it.
// Besides the menu thread's changes, which land wherever the scheduler puts them, every
// read is followed at once by a change of both settings, so a block that read them twice
// cannot go unnoticed.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "plugin/entry_points.h"
#include "reference_block.h"
#include "tests/reliability/settings_read_hook.h"
#include "tests/support/silenced_stdout.h"
#include "voice/block_size.h"
#include "voice/effect_settings.h"

namespace {

constexpr int kBlocks = 800;
constexpr int kFrames = 480;  // a common client buffer: blocks straddle calls
constexpr int kMenuTypeGlobal = 0;
constexpr int kFirstEffectItem = 6;  // items 6..12 select kinds 0..6
constexpr int kNoEffectItem = 13;
constexpr int kStrengthUpItem = 18;
constexpr int kStrengthDownItem = 19;
constexpr int kMenuItems[] = {
    6, 7, 8, 9, 10, 11, 12, kNoEffectItem, kStrengthUpItem, kStrengthDownItem};
constexpr float kReachableStrengths[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};

// Settings read on the capture thread, in order. Reserved before the run, so recording
// allocates nothing.
std::vector<wt::EffectSnapshot> readsOnCaptureThread;

// The menu item that selects the kind after `kind` (-1..6, cyclically).
int nextKindItem(wt::EffectKind kind) {
    const int32_t next = (static_cast<int32_t>(kind) + 2) % (wt::kEffectKindCount + 1) - 1;
    return next < 0 ? kNoEffectItem : kFirstEffectItem + next;
}

// The capture thread's hook: records the read when a block takes its settings, then
// changes both of them at once: a block that looked at the settings again later would
// see the change.
void recordAndChange(const wt::EffectSnapshot& settings) {
    readsOnCaptureThread.push_back(settings);
    ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, nextKindItem(settings.kind), 0);
    ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal,
                              settings.strength < 1.0f ? kStrengthUpItem : kStrengthDownItem, 0);
}

std::vector<int16_t> noise(size_t count) {
    std::vector<int16_t> samples(count);
    uint32_t state = 2024;
    for (int16_t& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<int16_t>(state >> 16);
    }
    return samples;
}

// Busy for a while without a system call, so the capture thread runs on meanwhile.
void spin(uint32_t rounds) {
    static std::atomic<uint32_t> sink{0};
    for (uint32_t i = 0; i < rounds; ++i) sink.store(i, std::memory_order_relaxed);
}

bool admissible(const wt::EffectSnapshot& settings) {
    const auto kind = static_cast<int32_t>(settings.kind);
    if (kind < -1 || kind >= wt::kEffectKindCount) return false;
    for (float strength : kReachableStrengths) {
        if (settings.strength == strength) return true;
    }
    return false;
}

TEST(MenuRace, EveryBlockIsProcessedWithOneSettingReadOnceForIt) {
    // One block more than is checked: block b comes back during block b + 1.
    const std::vector<int16_t> captured = noise((kBlocks + 1) * wt::kBlockSize);
    std::vector<int16_t> returned = captured;
    readsOnCaptureThread.clear();
    readsOnCaptureThread.reserve(kBlocks + 16);

    std::atomic<bool> go{false};
    std::atomic<int> buffersFed{0};
    std::atomic<int> menuSaw{0};
    std::atomic<bool> done{false};

    wt::test::SilencedStdout silenced;  // the menu echoes every event
    std::thread capture([&] {
        wt::test::settingsReadHook = recordAndChange;
        while (!go.load()) std::this_thread::yield();
        for (size_t at = 0; at < returned.size(); at += kFrames) {
            const int frames = static_cast<int>(std::min<size_t>(kFrames, returned.size() - at));
            int flags = 0;
            ts3plugin_onEditCapturedVoiceDataEvent(1, returned.data() + at, frames, 1, &flags);
            const int fed = buffersFed.fetch_add(1) + 1;
            // At most one buffer ahead of the menu, however the threads are scheduled.
            while (menuSaw.load() < fed - 1) std::this_thread::yield();
        }
        done.store(true);
    });

    // A few events per buffer, each after a varying spin, so that changes land between
    // buffers, inside them, and in the middle of a block's processing.
    int events = 0;
    std::thread menu([&] {
        uint32_t state = 7;
        int seen = -1;
        go.store(true);
        while (!done.load()) {
            const int fed = buffersFed.load();
            if (fed == seen) {
                std::this_thread::yield();
                continue;
            }
            seen = fed;
            menuSaw.store(fed);
            for (int k = 0; k < 3; ++k) {
                state = state * 1664525u + 1013904223u;
                spin(state >> 22);
                ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, kMenuItems[(state >> 8) % 10], 0);
                ++events;
            }
        }
    });
    capture.join();
    menu.join();
    silenced.restore();

    ASSERT_EQ(readsOnCaptureThread.size(), static_cast<size_t>(kBlocks) + 1)
        << "the settings must be read exactly once per processed block (none at all: the "
           "engine no longer reaches wt::loadEffectSettings by name, which the wrapper needs)";

    std::set<std::pair<int32_t, float>> settingsUsed;
    for (int b = 0; b < kBlocks; ++b) {
        const wt::EffectSnapshot settings = readsOnCaptureThread[b];
        ASSERT_TRUE(admissible(settings))
            << "block " << b << ": kind " << static_cast<int32_t>(settings.kind) << ", strength "
            << settings.strength;
        settingsUsed.insert({static_cast<int32_t>(settings.kind), settings.strength});

        int16_t expected[wt::kBlockSize];
        wt::reference::processBlock(captured.data() + b * wt::kBlockSize,
                                    static_cast<int32_t>(settings.kind), settings.strength,
                                    expected);
        const int16_t* out = returned.data() + (b + 1) * wt::kBlockSize;
        for (int q = 0; q < wt::kBlockSize; ++q) {
            ASSERT_EQ(out[q], expected[q])
                << "block " << b << " is not the block step under the setting it read (kind "
                << static_cast<int32_t>(settings.kind) << ", strength " << settings.strength
                << "), position " << q;
        }
    }
    // The menu thread ran alongside: the setting changed during the run.
    EXPECT_GT(events, 0);
    EXPECT_GE(settingsUsed.size(), 2u);
}

}  // namespace
