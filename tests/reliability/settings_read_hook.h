#pragma once

// Every read of the effect settings by the plugin's objects linked into this program goes
// through a link-time wrapper (-Wl,--wrap) around wt::loadEffectSettings(): the engine
// reads them once per block, a strength step once per press. A thread that sets
// settingsReadHook has it run right after each of its own reads, with what was read, so a
// test can see every read and act at that very moment without a hook in the plugin.

#include "voice/effect_settings.h"

namespace wt::test {

extern thread_local void (*settingsReadHook)(const EffectSnapshot& read);

}  // namespace wt::test
