#pragma once

// Observes the effect settings of a loaded plugin through the only way the client can:
// its voice. A probe block goes in, a silent block pushes it out again, and what comes
// back is compared with the engine linked into this test program, run with the settings
// the plugin should hold.

#include <array>
#include <cstdint>

#include "plugin/entry_points.h"
#include "tests/testhost/test_host.h"
#include "voice/capture_ring.h"
#include "voice/effect_settings.h"

namespace wt::probe {

using Block = std::array<short, kBlockSize>;

// Voice-like and wide-band: two tones and a little noise, from integer arithmetic only.
inline Block probeBlock() {
    Block block{};
    uint32_t state = 2024;
    for (int32_t j = 0; j < kBlockSize; ++j) {
        state = state * 1664525u + 1013904223u;
        const int32_t noise = static_cast<int32_t>(state >> 20) - 2048;
        const int32_t tone = ((j * 37) % 256 - 128) * 40 + ((j * 5) % 64 - 32) * 150;
        block[static_cast<size_t>(j)] = static_cast<short>(tone + noise);
    }
    return block;
}

// Feeds the probe, then silence; returns what came back for the silence: the probe as
// processed with the settings of that moment. Leaves the rings where they started.
template <typename Capture>
Block processedProbe(Capture capture) {
    Block input = probeBlock();
    Block output{};
    int edited = 0;
    capture(uint64_t{1}, input.data(), kBlockSize, 1, &edited);
    capture(uint64_t{1}, output.data(), kBlockSize, 1, &edited);
    return output;
}

inline Block fromPlugin(const testhost::TestHost& host) {
    return processedProbe(host.plugin.onEditCapturedVoiceDataEvent);
}

// The engine linked into this program, from its load state, with the given settings.
inline Block expected(EffectKind kind, float strength) {
    captureRing = CaptureRing{};
    storeEffectKind(kind);
    storeEffectStrength(strength);
    return processedProbe(ts3plugin_onEditCapturedVoiceDataEvent);
}

}  // namespace wt::probe
