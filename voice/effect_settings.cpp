#include "voice/effect_settings.h"

namespace wt {

// Zero-initialised storage would read as kind 0 ("Higher"); the member initialisers
// give the load values instead, and are constant-initialised (no start-up code).
constinit EffectSettings effectSettings;

// Relaxed is enough: the two fields are independent and each is read whole.
EffectSnapshot loadEffectSettings() {
    return {static_cast<EffectKind>(effectSettings.kind.load(std::memory_order_relaxed)),
            effectSettings.strength.load(std::memory_order_relaxed)};
}

void storeEffectKind(EffectKind kind) {
    effectSettings.kind.store(static_cast<int32_t>(kind), std::memory_order_relaxed);
}

namespace {

float clampedStrength(float strength) {
    if (!(strength >= 0.0f)) return 0.0f;  // negative or NaN
    return strength > 1.0f ? 1.0f : strength;
}

}  // namespace

void storeEffectStrength(float strength) {
    effectSettings.strength.store(clampedStrength(strength), std::memory_order_relaxed);
}

// Relaxed as the plain store: the strength depends on no other datum.
bool replaceEffectStrength(float& expected, float strength) {
    return effectSettings.strength.compare_exchange_strong(expected, clampedStrength(strength),
                                                           std::memory_order_relaxed);
}

}  // namespace wt
