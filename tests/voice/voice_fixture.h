#pragma once

// Puts the engine back to its load state around every voice test: rings and positions
// zero, no effect, strength 0.25.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "voice/block_size.h"
#include "voice/capture_ring.h"
#include "voice/effect_settings.h"
#include "voice/effects.h"

using wt::kBlockSize;
using Block = std::array<int16_t, kBlockSize>;

// Every kind with a formula, in order.
inline constexpr auto kEffectKinds = [] {
    std::array<wt::EffectKind, wt::kEffectKindCount> kinds{};
    for (int32_t k = 0; k < wt::kEffectKindCount; ++k) kinds[k] = static_cast<wt::EffectKind>(k);
    return kinds;
}();

class VoiceTest : public ::testing::Test {
  protected:
    void SetUp() override { resetEngine(); }

    void TearDown() override { resetEngine(); }

    static void resetEngine() {
        wt::captureRing = wt::CaptureRing{};
        wt::storeEffectKind(wt::kInitialEffectKind);
        wt::storeEffectStrength(wt::kInitialStrength);
    }

    static void select(wt::EffectKind kind, float strength) {
        wt::storeEffectKind(kind);
        wt::storeEffectStrength(strength);
    }
};
