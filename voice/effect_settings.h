#pragma once

#include <atomic>
#include <cstdint>

#include "voice/effects.h"

// The one datum shared between the menu, on [any thread], and the voice path, on the
// [audio thread]. Each field is a single lock-free 32-bit atomic written whole; the voice
// path reads both once per block through loadEffectSettings().
namespace wt {

inline constexpr EffectKind kInitialEffectKind = EffectKind::None;
inline constexpr float kInitialStrength = 0.25f;

struct EffectSettings {
    std::atomic<int32_t> kind{static_cast<int32_t>(kInitialEffectKind)};
    std::atomic<float> strength{kInitialStrength};  // always within [0.0, 1.0]
};

static_assert(std::atomic<int32_t>::is_always_lock_free);
static_assert(std::atomic<float>::is_always_lock_free);
static_assert(sizeof(float) == 4);

// What one block is processed with.
struct EffectSnapshot {
    EffectKind kind;
    float strength;
};

extern EffectSettings effectSettings;

EffectSnapshot loadEffectSettings();

void storeEffectKind(EffectKind kind);

// Stores a strength already within [0, 1]; anything else (NaN included) is clamped
// first, so the voice path never sees a value outside the range.
void storeEffectStrength(float strength);

// Stores `strength`, clamped as above, only if the stored strength is still `expected`
// (bit for bit), and returns true; otherwise changes nothing, puts the strength found in
// `expected` and returns false. A change computed from a strength read earlier is made
// this way, in a loop, so that a change another thread stored meanwhile is never lost.
bool replaceEffectStrength(float& expected, float strength);

}  // namespace wt
