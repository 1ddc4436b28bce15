#pragma once

// The one function the WebAssembly modules export beside the plugin's entry points (the
// native library has no such export): the effect setting the voice path processes its
// next block with. The plugin itself reports the setting only as console text; the page
// shows it and learns from it what each menu item does.

#include <cstdint>

extern "C" {

struct WebEffectReading {
    int32_t kind;    // the effect kind: -1 for none, else 0 .. the last kind
    float strength;  // 0.0 .. 1.0
};

// Writes the current setting to `out`, which must not be null; reads exactly what the
// next block of ts3plugin_onEditCapturedVoiceDataEvent will read. [any thread]
void wt_readEffect(WebEffectReading* out);

}  // extern "C"
