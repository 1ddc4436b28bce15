// Fuzzes the captured-voice entry point: buffers of every shape a client might hand over
// (any sample count, negative and zero included, 0 to 200 channels, any samples), mixed
// with effect changes through the menu. The engine's state carries over from input to
// input, as it does in the client: the rings are never reset.
//
// Besides what the sanitizers catch, each call must keep the entry's promises: the flags
// word gains bits 1 and 2 and keeps the others, channels beyond the rings' columns pass
// unchanged, an empty buffer changes nothing, and the ring positions stay in range and
// equal between calls.

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_host.h"
#include "plugin/entry_points.h"
#include "voice/capture_ring.h"
#include "voice/effect_settings.h"

namespace {

using wt::fuzz::fail;

constexpr int kMaxChannels = 200;
constexpr int kMaxSamplesPerCall = 1 << 13;  // all channels together
constexpr int kMaxOperations = 16;
constexpr int kEditedFlags = 1 | 2;
constexpr int kMenuTypeGlobal = 0;

// Mostly menu events, the way the user changes the effect: the global menu's items, now
// and then another menu type or item ID. Sometimes a setting stored directly, with any
// float as strength: the store must keep the strength within [0, 1] whatever it is given.
void changeEffect(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegral<uint8_t>() % 8) {
        case 0:
            wt::storeEffectKind(static_cast<wt::EffectKind>(
                input.ConsumeIntegralInRange(-1, wt::kEffectKindCount - 1)));
            wt::storeEffectStrength(input.ConsumeFloatingPoint<float>());
            break;
        case 1:
            ts3plugin_onMenuItemEvent(input.ConsumeIntegral<uint64_t>(),
                                      input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                      input.ConsumeIntegral<uint64_t>());
            break;
        default: {
            constexpr int kItems[] = {6, 7, 8, 9, 10, 11, 12, 13, 18, 19};
            ts3plugin_onMenuItemEvent(1, kMenuTypeGlobal, input.PickValueInArray(kItems), 0);
            break;
        }
    }
    const wt::EffectSnapshot settings = wt::loadEffectSettings();
    if (settings.kind != wt::EffectKind::None && !wt::hasFormula(settings.kind))
        fail("a kind neither -1 nor one with a formula was stored");
    if (!(settings.strength >= 0.0f && settings.strength <= 1.0f))
        fail("a strength outside [0, 1] was stored");
}

int consumeSampleCount(FuzzedDataProvider& input, int channels) {
    switch (input.ConsumeIntegral<uint8_t>() % 8) {
        case 0:
            return input.ConsumeIntegralInRange(INT_MIN, -1);
        case 1:
            return 0;
        default:
            return input.ConsumeIntegralInRange(1,
                                                kMaxSamplesPerCall / (channels > 0 ? channels : 1));
    }
}

// Samples from the input as far as it reaches, then loud noise.
void fillSamples(FuzzedDataProvider& input, short* samples, size_t count) {
    const size_t fromInput = input.ConsumeData(samples, count * sizeof(short)) / sizeof(short);
    uint32_t state = input.ConsumeIntegral<uint32_t>();
    for (size_t i = fromInput; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        samples[i] = static_cast<short>(state >> 16);
    }
}

void checkPositions() {
    const int32_t write = wt::captureRing.writePosition;
    const int32_t read = wt::captureRing.readPosition;
    if (write < 0 || write >= wt::kBlockSize || read < 0 || read >= wt::kBlockSize)
        fail("a ring position left its range");
    if (write != read) fail("the ring positions differ between calls");
}

void capture(FuzzedDataProvider& input) {
    const int channels = input.ConsumeIntegralInRange(-2, kMaxChannels);
    const int sampleCount = consumeSampleCount(input, channels);
    const size_t size = sampleCount > 0 && channels > 0
                            ? static_cast<size_t>(sampleCount) * static_cast<size_t>(channels)
                            : 0;
    // Exactly the size the call announces: a sample read or written beyond it is caught.
    std::unique_ptr<short[]> samples(new short[size]);
    fillSamples(input, samples.get(), size);
    const std::vector<short> before(samples.get(), samples.get() + size);
    const int32_t positionBefore = wt::captureRing.writePosition;

    const bool withFlags = input.ConsumeIntegral<uint8_t>() % 8 != 0;
    int flags = input.ConsumeIntegral<int>();
    const int flagsBefore = flags;
    ts3plugin_onEditCapturedVoiceDataEvent(input.ConsumeIntegral<uint64_t>(), samples.get(),
                                           sampleCount, channels, withFlags ? &flags : nullptr);

    if (withFlags && flags != (flagsBefore | kEditedFlags)) fail("the flags word went wrong");
    for (size_t k = 0; k < size; ++k) {
        if (static_cast<int>(k % static_cast<size_t>(channels)) >= wt::kRingChannels &&
            samples[k] != before[k])
            fail("a channel beyond the rings was changed");
    }
    if (size == 0 && wt::captureRing.writePosition != positionBefore)
        fail("an empty buffer moved the rings");
    checkPositions();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    for (int operation = 0; operation < kMaxOperations && input.remaining_bytes() > 0;
         ++operation) {
        if (input.ConsumeIntegral<uint8_t>() % 4 == 0) {
            changeEffect(input);
        } else {
            capture(input);
        }
    }
    return 0;
}
