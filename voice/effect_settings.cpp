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

void storeEffectStrength(float strength) {
    if (!(strength >= 0.0f)) strength = 0.0f;  // negative or NaN
    if (strength > 1.0f) strength = 1.0f;
    effectSettings.strength.store(strength, std::memory_order_relaxed);
}

}  // namespace wt
