#pragma once

// The records the plugin hands to the client: menu items and hotkeys. Laid out exactly as
// the client reads them; only fixed-width C types, no member may be reordered or resized.
// Each list the plugin hands over is a malloc-ed array of record pointers ending with a
// null pointer; the list, every record and every text come back through
// ts3plugin_freeMemory.

#include <cstddef>
#include <cstdint>

inline constexpr size_t kMenuTextSize = 128;    // PluginMenuItem::text, terminator included
inline constexpr size_t kMenuIconSize = 128;    // PluginMenuItem::icon and the menu icon name
inline constexpr size_t kHotkeyTextSize = 128;  // each text field of PluginHotkey

// Menu types the client reports in PluginMenuItem::type and in menu events.
inline constexpr int32_t kMenuTypeGlobal = 0;
inline constexpr int32_t kMenuTypeChannel = 1;
inline constexpr int32_t kMenuTypeClient = 2;

extern "C" {

struct PluginMenuItem {
    int32_t type;              // kMenuTypeGlobal for every item of this plugin
    int32_t id;                // reported back in ts3plugin_onMenuItemEvent
    char text[kMenuTextSize];  // shown in the menu, terminated
    char icon[kMenuIconSize];  // icon file name, terminated; empty for none
};

struct PluginHotkey {
    char keyword[kHotkeyTextSize];      // reported back in ts3plugin_onHotkeyEvent, terminated
    char description[kHotkeyTextSize];  // shown in the client's hotkey dialog, terminated
};

}  // extern "C"

static_assert(sizeof(PluginMenuItem) == 264);
static_assert(offsetof(PluginMenuItem, type) == 0);
static_assert(offsetof(PluginMenuItem, id) == 4);
static_assert(offsetof(PluginMenuItem, text) == 8);
static_assert(offsetof(PluginMenuItem, icon) == 136);
static_assert(sizeof(PluginHotkey) == 256);
static_assert(offsetof(PluginHotkey, keyword) == 0);
static_assert(offsetof(PluginHotkey, description) == 128);
