// The plugin's three test hotkeys.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/plugin_records.h"
#include "plugin/entry_points.h"
#include "plugin/text_fit.h"

namespace {

struct HotkeyText {
    const char* keyword;
    const char* description;
};

constexpr HotkeyText kHotkeys[] = {
    {"keyword_1", "Test hotkey 1"},
    {"keyword_2", "Test hotkey 2"},
    {"keyword_3", "Test hotkey 3"},
};
constexpr size_t kHotkeyCount = sizeof kHotkeys / sizeof kHotkeys[0];

void copyBounded(char (&field)[kHotkeyTextSize], const char* text) {
    std::strncpy(field, text, kHotkeyTextSize - 1);
    field[kHotkeyTextSize - 1] = '\0';
}

}  // namespace

WT_EXPORT void ts3plugin_initHotkeys(PluginHotkey*** hotkeys) {
    if (hotkeys == nullptr) return;
    auto** list =
        static_cast<PluginHotkey**>(std::malloc((kHotkeyCount + 1) * sizeof(PluginHotkey*)));
    *hotkeys = list;
    if (list == nullptr) return;
    size_t count = 0;
    for (const HotkeyText& text : kHotkeys) {
        auto* record = static_cast<PluginHotkey*>(std::malloc(sizeof(PluginHotkey)));
        if (record == nullptr) break;
        copyBounded(record->keyword, text.keyword);
        copyBounded(record->description, text.description);
        list[count++] = record;
    }
    list[count] = nullptr;
}

WT_EXPORT void ts3plugin_onHotkeyEvent(const char* keyword) {
    std::printf("PLUGIN: Hotkey event: %s\n", wt::printable(keyword));
}

WT_EXPORT void ts3plugin_onHotkeyRecordedEvent(const char* /*keyword*/, const char* /*key*/) {}
