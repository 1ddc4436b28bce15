// The events the plugin leaves without effect: called with buffers and arbitrary
// arguments, none prints, calls the client, touches a buffer or changes what the plugin
// does afterwards.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/voice_probe.h"
#include "tests/testhost/test_host.h"

namespace {

using wt::testhost::TestHost;

// The entry points that do work; every other listed name is an event without effect.
const std::set<std::string> kWorking = {"ts3plugin_name",
                                        "ts3plugin_version",
                                        "ts3plugin_apiVersion",
                                        "ts3plugin_author",
                                        "ts3plugin_description",
                                        "ts3plugin_setFunctionPointers",
                                        "ts3plugin_init",
                                        "ts3plugin_shutdown",
                                        "ts3plugin_registerPluginID",
                                        "ts3plugin_freeMemory",
                                        "ts3plugin_requestAutoload",
                                        "ts3plugin_offersConfigure",
                                        "ts3plugin_configure",
                                        "ts3plugin_commandKeyword",
                                        "ts3plugin_processCommand",
                                        "ts3plugin_infoTitle",
                                        "ts3plugin_infoData",
                                        "ts3plugin_initMenus",
                                        "ts3plugin_initHotkeys",
                                        "ts3plugin_onMenuItemEvent",
                                        "ts3plugin_onHotkeyEvent",
                                        "ts3plugin_onHotkeyRecordedEvent",
                                        "ts3plugin_onConnectStatusChangeEvent",
                                        "ts3plugin_onEditCapturedVoiceDataEvent",
                                        "ts3plugin_onClientPokeEvent",
                                        "ts3plugin_onTalkStatusChangeEvent",
                                        "ts3plugin_onTextMessageEvent",
                                        "ts3plugin_onServerErrorEvent",
                                        "ts3plugin_onAvatarUpdated",
                                        "ts3plugin_onPluginCommandEvent",
                                        "ts3plugin_currentServerConnectionChanged"};

// The five that receive buffers, called with their own parameter lists.
const std::set<std::string> kWithBuffers = {"ts3plugin_onEditPlaybackVoiceDataEvent",
                                            "ts3plugin_onEditPostProcessVoiceDataEvent",
                                            "ts3plugin_onEditMixedPlaybackVoiceDataEvent",
                                            "ts3plugin_onCustom3dRolloffCalculationClientEvent",
                                            "ts3plugin_onCustom3dRolloffCalculationWaveEvent"};

std::vector<std::string> eventsWithoutEffect() {
    std::ifstream file(WT_EXPORTED_SYMBOLS_FILE);
    std::vector<std::string> names;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && kWorking.count(line) == 0) names.push_back(line);
    }
    return names;
}

// What a client might hand to any event: a frame of stereo voice, a speaker layout, a
// fill mask and a volume.
struct Buffers {
    static constexpr int kFrames = 480;
    static constexpr int kChannels = 2;
    short samples[kFrames * kChannels];
    unsigned int speakers[kChannels] = {1, 2};
    unsigned int fillMask = 3;
    float volume = 0.625f;
    uint64_t words[8];  // pointed to by arguments of unknown meaning

    Buffers() {
        for (int i = 0; i < kFrames * kChannels; ++i) {
            samples[i] = static_cast<short>(i * 77 - 30000);
        }
        for (int i = 0; i < 8; ++i) words[i] = 0x5A5A5A5A00000000u + static_cast<uint64_t>(i);
    }

    bool operator==(const Buffers& other) const {
        return std::memcmp(samples, other.samples, sizeof samples) == 0 &&
               std::memcmp(speakers, other.speakers, sizeof speakers) == 0 &&
               fillMask == other.fillMask && volume == other.volume &&
               std::memcmp(words, other.words, sizeof words) == 0;
    }
};

// Calls every event without effect once. The cdecl family lets the caller pass any
// argument list, so the others get six words, each the address of readable memory.
int callEveryEvent(const TestHost& host, Buffers& buffers) {
    const uint64_t handler = 1;
    int permissionErrorResult = -1;
    for (const std::string& name : eventsWithoutEffect()) {
        void* symbol = host.symbol(name.c_str());
        EXPECT_NE(symbol, nullptr) << name;
        if (symbol == nullptr) continue;
        if (name == "ts3plugin_onEditPlaybackVoiceDataEvent") {
            host.entry<void(WT_CALL*)(uint64_t, uint16_t, short*, int, int)>(name.c_str())(
                handler, 5, buffers.samples, Buffers::kFrames, Buffers::kChannels);
        } else if (name == "ts3plugin_onEditPostProcessVoiceDataEvent") {
            host.entry<void(WT_CALL*)(uint64_t, uint16_t, short*, int, int, const unsigned int*,
                                      unsigned int*)>(name.c_str())(
                handler, 5, buffers.samples, Buffers::kFrames, Buffers::kChannels, buffers.speakers,
                &buffers.fillMask);
        } else if (name == "ts3plugin_onEditMixedPlaybackVoiceDataEvent") {
            host.entry<void(WT_CALL*)(uint64_t, short*, int, int, const unsigned int*,
                                      unsigned int*)>(name.c_str())(
                handler, buffers.samples, Buffers::kFrames, Buffers::kChannels, buffers.speakers,
                &buffers.fillMask);
        } else if (name == "ts3plugin_onCustom3dRolloffCalculationClientEvent") {
            host.entry<void(WT_CALL*)(uint64_t, uint16_t, float, float*)>(name.c_str())(
                handler, 5, 12.5f, &buffers.volume);
        } else if (name == "ts3plugin_onCustom3dRolloffCalculationWaveEvent") {
            host.entry<void(WT_CALL*)(uint64_t, uint64_t, float, float*)>(name.c_str())(
                handler, 77, 12.5f, &buffers.volume);
        } else {
            using AnyEvent = int(WT_CALL*)(uint64_t, void*, void*, void*, void*, void*);
            void* word = buffers.words;
            const int result =
                host.entry<AnyEvent>(name.c_str())(handler, word, word, word, word, word);
            if (name == "ts3plugin_onServerPermissionErrorEvent") permissionErrorResult = result;
        }
    }
    return permissionErrorResult;
}

TEST(EventsWithoutEffect, ThereAreEightyOneAndFiveOfThemTakeBuffers) {
    const auto names = eventsWithoutEffect();
    EXPECT_EQ(names.size(), 81u);
    for (const auto& name : kWithBuffers) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
}

// Two loads driven alike, one of them also receiving every event without effect: from then
// on both must behave the same, and no event may print, call the client or write.
TEST(EventsWithoutEffect, LeaveBuffersAndStateUnchanged) {
    TestHost control;
    TestHost subject;
    ASSERT_TRUE(control.loaded()) << control.loadError();
    ASSERT_TRUE(subject.loaded()) << subject.loadError();
    for (TestHost* host : {&control, &subject}) {
        host->plugin.setFunctionPointers(host->functionTable());
        host->plugin.onMenuItemEvent(1, 0, 11, 0);  // "Robot"
        host->plugin.onMenuItemEvent(1, 0, 18, 0);  // 0.75
        // Half a block in the rings, so that a moved position would show.
        short half[wt::kBlockSize / 2] = {};
        int edited = 0;
        host->plugin.onEditCapturedVoiceDataEvent(1, half, wt::kBlockSize / 2, 1, &edited);
    }
    const char* name = subject.plugin.name();

    Buffers buffers;
    const Buffers untouched = buffers;
    int permissionErrorResult = -1;
    const auto outcome =
        subject.run([&] { permissionErrorResult = callEveryEvent(subject, buffers); });
    EXPECT_EQ(permissionErrorResult, 0);
    EXPECT_EQ(outcome.output, "");
    EXPECT_TRUE(outcome.hostCalls.empty());
    EXPECT_TRUE(buffers == untouched);

    EXPECT_EQ(subject.plugin.name(), name);
    EXPECT_EQ(wt::probe::fromPlugin(subject), wt::probe::fromPlugin(control));
    EXPECT_EQ(subject.run([&] { subject.plugin.shutdown(); }).output, "PLUGIN: shutdown\n");
}

TEST(EventsWithoutEffect, MayComeBeforeTheClientHandsOverItsFunctions) {
    TestHost host;
    ASSERT_TRUE(host.loaded()) << host.loadError();
    Buffers buffers;
    const Buffers untouched = buffers;
    const auto outcome = host.run([&] { callEveryEvent(host, buffers); });
    EXPECT_EQ(outcome.output, "");
    EXPECT_TRUE(buffers == untouched);
}

}  // namespace
