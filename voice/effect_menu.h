#pragma once

#include "voice/effects.h"

// The effect menu's own names for the kinds, for programs linked with the voice objects
// that name effects as the user sees them (the benchmarks). The client gets the menu
// through ts3plugin_initMenus.
namespace wt {

// The text of the menu item that selects `kind` ("Higher", ..., "No effect"); null for a
// value no item selects. Static storage.
const char* effectMenuText(EffectKind kind);

}  // namespace wt
