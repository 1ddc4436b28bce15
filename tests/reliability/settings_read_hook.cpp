#include "tests/reliability/settings_read_hook.h"

namespace wt::test {

thread_local void (*settingsReadHook)(const EffectSnapshot& read) = nullptr;

}  // namespace wt::test

extern "C" wt::EffectSnapshot __real__ZN2wt18loadEffectSettingsEv();

// The hook is taken off while it runs: what it does through the plugin reads the settings
// too, and those reads are not the ones it was called for.
extern "C" wt::EffectSnapshot __wrap__ZN2wt18loadEffectSettingsEv() {
    const wt::EffectSnapshot settings = __real__ZN2wt18loadEffectSettingsEv();
    if (auto hook = wt::test::settingsReadHook) {
        wt::test::settingsReadHook = nullptr;
        hook(settings);
        wt::test::settingsReadHook = hook;
    }
    return settings;
}
