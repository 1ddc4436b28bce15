#include "web/module/effect_reading.h"

#include "voice/effect_settings.h"

extern "C" void wt_readEffect(WebEffectReading* out) {
    // The same load the voice path makes once per block.
    const wt::EffectSnapshot snapshot = wt::loadEffectSettings();
    out->kind = static_cast<int32_t>(snapshot.kind);
    out->strength = snapshot.strength;
}
